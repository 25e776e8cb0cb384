#pragma once
// What the moisture meter's hourly and daily viewer shows, as pure functions over the
// archive header and the raw records: headings, caption and cell texts, including the
// notice of a record that fails its CRC and the daily end-hour flag.
#include "archives/Arhmeas_Wmt.h"

constexpr int WMT_HD_REC_SIZE = int(sizeof(Wmt_HD_Rec));

// Kind: WMT_KIND_HOUR (6) hourly; any other kind is read as daily.
QStringList Wmt_HD_Heading(const Arhiv_Header &h, int col);

// "Часовые данные влагомера за период с dd.mm.yy  hhч  по  dd.mm.yy  hhч" or
// "Суточные данные влагомера за период с dd.mm.yy  по  dd.mm.yy".
QString Wmt_HD_Caption(const Arhiv_Header &h, uint8_t kind);

// Records shown: rec_count, but never more than the record bytes hold.
uint32_t Wmt_HD_Row_Count(const Arhiv_Header &h, const QByteArray &recs);

// Text of column col (0..7) of a record; valid: its CRC check passed.
QString Wmt_HD_Cell_Text(const Wmt_HD_Rec &r, bool valid, int col, uint8_t kind);
QString Wmt_HD_Cell_Text(const Wmt_HD_Rec &r, int col, uint8_t kind);
