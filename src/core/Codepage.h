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

// Whether a character of a text box can be stored in the code page and read back as itself:
// a printable character that 1251 holds and, for an 866 field, that Win_To_Dos and Dos_To_Win
// bring back unchanged (866 lacks "€", "¦", the no-break space...). Control and format
// characters and either half of a character outside the BMP never can.
bool Page_Holds(QChar c, bool cp866 = false);
// The text without the characters the code page cannot hold.
QString Page_Text(const QString &s, bool cp866 = false);
