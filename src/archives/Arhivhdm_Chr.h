#pragma once
// What the chromatograph hourly and daily viewer shows, as pure functions over the archive
// header and the raw records: headings, caption, cell texts, the notice of a record that
// fails its CRC, the per-parameter means and the caption of a record's status details.
// Counts and indexes taken from the header or a record are bounded as in the measurement
// viewer's texts.
#include "archives/Arhmeas_Chr.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

constexpr int CHR_HD_REC_SIZE = int(sizeof(Chr_HD_Rec));
constexpr int HD_FIXED_COLS = 4;   // date, start, end, count of valid analyses

// Viewer kinds: hourly and daily lists (any non-zero kind is read as daily).
constexpr uint8_t HDM_KIND_HOUR = 0;
constexpr uint8_t HDM_KIND_DAY = 1;

int Hd_Col_Count(const Arhiv_Header &h);
// Records shown: rec_count, but never more than the record bytes hold.
uint32_t Hd_Row_Count(const Arhiv_Header &h, const QByteArray &recs);

// Heading lines 0 and 1 of a column.
QString Hd_Heading(const Arhiv_Header &h, int col, int line);

// "Часовые данные хроматографа за период с dd.mm.yy  hhч  по  dd.mm.yy  hhч" (hourly)
// or "Суточные данные хроматографа за период с dd.mm.yy  по  dd.mm.yy" (daily).
QString Hd_Caption(const Arhiv_Header &h, uint8_t kind);
// Caption of a record's status details.
QString Hd_Details_Caption(const Chr_HD_Rec &r, uint8_t kind);

// Text of column col of a record. A record that fails its check shows "     Данные" in
// the start-time column and "недостов." in the end-time column, nothing else.
QString Hd_Cell_Text(const Arhiv_Header &h, const Chr_HD_Rec &r, bool valid, int col, uint8_t kind);
QString Hd_Cell_Text(const Arhiv_Header &h, const Chr_HD_Rec &r, int col, uint8_t kind);

// CRC verdicts and means: records that fail the check, rows shown as " 0" (status bits 1
// or 5) and NaN or infinite values add nothing.
Meas_Summary Hd_Scan(const Arhiv_Header &h, const QByteArray &recs);
