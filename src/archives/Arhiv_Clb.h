#pragma once
// What the calibration archive viewer shows, as pure functions over the archive header
// and the raw records: headings, caption, cell texts with decimals and zone marks, and
// the notice of a record that fails its CRC. The list has no means.
#include "archives/Arhmeas_Chr.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

constexpr int CLB_REC_SIZE = int(sizeof(Clb_Rec));
constexpr int CLB_FIXED_COLS = 4;   // date, time, number, result

int Clb_Col_Count(const Arhiv_Header &h);
// Records shown: rec_count, but never more than the record bytes hold.
uint32_t Clb_Row_Count(const Arhiv_Header &h, const QByteArray &recs);

QString Clb_Heading(const Arhiv_Header &h, int col, int line);
// "Калибровочные данные хроматографа за период  с  dd.mm.yy hh:mm:ss  по  ..."
QString Clb_Caption(const Arhiv_Header &h);

// Text of column col of a record. A record that fails its check shows " Данные" in the
// date column and "недостов." in the time column, nothing else.
QString Clb_Cell_Text(const Arhiv_Header &h, const Clb_Rec &r, bool valid, int col);
QString Clb_Cell_Text(const Arhiv_Header &h, const Clb_Rec &r, int col);

// 1 per record whose CRC check passed.
std::vector<uint8_t> Clb_Scan(const Arhiv_Header &h, const QByteArray &recs);
