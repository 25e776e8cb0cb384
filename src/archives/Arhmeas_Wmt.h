#pragma once
// What the moisture-meter viewers show, as pure functions over the archive header and the
// raw records: the four-line column headings (the value headings chosen by the meter type),
// the caption of the momentary list and the cell texts of a momentary record, including the
// notice of a record that fails its CRC. Shared by the hourly/daily texts and the report.
#include "archives/Arh_Records.h"
#include "archives/Arhiv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

constexpr int WMT_MEAS_REC_SIZE = int(sizeof(Wmt_Meas_Rec));
constexpr int WMT_COLS = 8;          // four fixed columns and the four values
constexpr int WMT_FIXED_COLS = 4;
constexpr int WMT_HEAD_LINES = 4;    // lines of every column heading

// Viewer and report kinds of the moisture meter's lists.
constexpr uint8_t WMT_KIND_HOUR = 6;
constexpr uint8_t WMT_KIND_DAY = 7;
constexpr uint8_t WMT_KIND_MOM = 8;

// Heading lines of value column col (4..7) for the meter type (header byte 47): type 2 names
// the pressure "Давление", any other type "Р изб." of WDP. Empty outside the value columns.
QStringList Wmt_Value_Heading(uint8_t wmt_type, int col);

// The four heading lines of a column of the momentary viewer.
QStringList Wmt_Meas_Heading(const Arhiv_Header &h, int col);

// "Мгновенные данные влагомера за период  с  dd.mm.yy hh:mm:ss  по  dd.mm.yy hh:mm:ss"
QString Wmt_Meas_Caption(const Arhiv_Header &h);

// Records shown: rec_count, but never more than the record bytes hold.
uint32_t Wmt_Meas_Row_Count(const Arhiv_Header &h, const QByteArray &recs);

// Text of column col (0..7) of a record; valid: its CRC check passed. A record that fails
// the check shows "     Данные" / " недостов." in the first two columns and nothing else.
QString Wmt_Meas_Cell_Text(const Wmt_Meas_Rec &r, bool valid, int col);
QString Wmt_Meas_Cell_Text(const Wmt_Meas_Rec &r, int col);
