#pragma once
// Code pages of controller and file texts: 1251 (Windows) and 866 (DOS).
// The screen shows Unicode; files keep their 1251 bytes.
#include <QByteArray>
#include <QString>
#include <cstdint>

// In-place conversion of a fixed-width controller text field.
void Win_To_Dos(char *field, uint8_t len);
void Dos_To_Win(char *field, uint8_t len);

// Our own tables, so that no ICU is needed (Windows builds of Qt often lack it).
QString Cp1251_To_Unicode(const char *s, int len);
QString Cp1251_To_Unicode(const QByteArray &s);
QByteArray Unicode_To_Cp1251(const QString &s);      // characters without a code give '?'
QString Cp866_To_Unicode(const char *s, int len);
QByteArray Unicode_To_Cp866(const QString &s);
// Upper-casing of 1251 letters (Latin and Cyrillic), as the subscriber sort uses.
uint8_t Cp1251_Upper(uint8_t c);
// Text of a fixed-width 1251 field with trailing blanks and NULs removed.
QString Field_To_Unicode(const char *s, int len, bool cp866 = false);
// Fills a fixed-width field: the text's bytes, blank-padded (or cut) to len.
void Unicode_To_Field(const QString &s, char *field, int len, bool cp866 = false);
