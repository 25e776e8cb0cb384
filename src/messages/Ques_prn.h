#pragma once
// What the print heading dialog shows and keeps: the three lines that describe a report, and
// the organisation name kept between runs in "title.ini" (exactly 40 bytes of 1251 text,
// zero-padded, no terminator when all 40 are used; not a sectioned ini file).
#include "archives/Arhiv.h"
#include "messages/Repklass.h"

#include <QString>

constexpr int TITLE_INI_SIZE = 40;

struct Ques_Prn_Lines {
    QString line1;
    QString line2;
    QString line3;   // the period
};

// The lines for a report kind (3, 4, 6, 7, 8); an unknown kind gives three empty lines.
Ques_Prn_Lines Ques_Prn_Title(uint8_t kind, const Arhiv_Header &h);

// "title.ini" in the settings directory.
QString Title_Ini_Path();
// heading = the file's first 40 bytes, the rest zero; a missing, short or unreadable file
// leaves what it lacks zero. False when nothing was read.
bool Read_Title_Ini(const QString &path, char heading[REP_HEADING_SIZE]);
// Writes the first 40 bytes whole or not at all; false when the file could not be written.
bool Write_Title_Ini(const QString &path, const char heading[REP_HEADING_SIZE]);
// A zeroed 41-byte buffer holding at most 40 characters of text in 1251.
void Heading_From_Text(const QString &text, char heading[REP_HEADING_SIZE]);
