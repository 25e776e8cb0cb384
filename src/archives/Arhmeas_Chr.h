#pragma once
// What the chromatograph measurement viewer shows, as pure functions over the archive
// header and the raw records: headings, caption, cell texts with decimals and zone marks,
// the notice of a record that fails its CRC, and the per-parameter means.
//
// Every count and index that comes from the header or a record is bounded here: at most
// 20 parameters, at most 7 decimals, unit codes through the text table's accessor, and
// never more rows than the record bytes hold.
#include "archives/Arh_Records.h"
#include "archives/Arhiv.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

constexpr int CHR_MEAS_REC_SIZE = int(sizeof(Chr_Meas_Rec));
constexpr int MEAS_FIXED_COLS = 2;    // date and time
constexpr int MEAS_HEAD_WIDTH = 10;   // headings are centred in this many characters

// Value text: exactly `decimals` digits after the point, at most 10 significant digits,
// halves away from zero; a value with more than 10 whole digits in exponent form.
// NaN and infinity give "NAN" (the cells never reach this: they show "  NAN").
QString Meas_Value_Text(float v, int decimals);

// A heading text centred in 10 characters: 10 or more get one leading blank, shorter
// ones (10 - length) / 2 leading blanks.
QString Meas_Center(const QString &text);

// Columns shown: date, time and the parameters (par_count bounded to 20).
int Meas_Col_Count(const Arhiv_Header &h);
// Records shown: rec_count, but never more than the record bytes hold.
uint32_t Meas_Row_Count(const Arhiv_Header &h, const QByteArray &recs);

// Heading of a column: line 0 "   Дата" / "   Время" / the parameter's symbol, line 1
// empty / empty / the parameter's unit; both centred as above for the parameters.
QString Meas_Heading(const Arhiv_Header &h, int col, int line);

// "Измерительные данные хроматографа за период  с  dd.mm.yy hh:mm:ss  по  ..."
QString Meas_Caption(const Arhiv_Header &h);
// " Измерительные данные (dd.mm.yy  hh:mm:ss)": caption of a record's status details.
QString Meas_Details_Caption(const Chr_Meas_Rec &r);

// Text of column col of a record (valid: its CRC check passed). A record that fails the
// check shows "  Данные" and " недостов." in the first two parameter columns and nothing
// else; with fewer parameter columns the notice moves left so it is never lost.
QString Meas_Cell_Text(const Arhiv_Header &h, const Chr_Meas_Rec &r, bool valid, int col);
QString Meas_Cell_Text(const Arhiv_Header &h, const Chr_Meas_Rec &r, int col);

// One pass over the records: the CRC verdict of each and the means.
struct Meas_Summary {
    std::vector<uint8_t> valid;                 // 1 per record whose CRC check passed
    std::array<float, ARH_PAR_MAX> avg{};       // means of the shown values; 0 when none
    std::array<uint32_t, ARH_PAR_MAX> count{};  // values averaged per parameter
};

// Means skip records that fail the check, rows whose status hides the values (" 0" or
// blank) and NaN or infinite values; zone bits are cleared before a value is added.
Meas_Summary Meas_Scan(const Arhiv_Header &h, const QByteArray &recs);

// The scan shared by the chromatograph lists: CRC of each of the first rows records, and the
// means of the values of rows whose status shows them (shown(rec)), skipping bad values.
template <class R, class Shown, class Value>
Meas_Summary Scan_Records(const Arhiv_Header &h, const QByteArray &recs, uint32_t rows, Shown shown, Value value)
{
    Meas_Summary s;
    const int n = Arh_Par_Count(h);
    std::array<double, ARH_PAR_MAX> sum{};
    s.valid.assign(rows, 0);
    for (uint32_t k = 0; k < rows; ++k) {
        const std::optional<R> r = Rec_At<R>(recs, k);
        if (!r || !Rec_Valid(*r)) continue;
        s.valid[k] = 1;
        if (!shown(*r)) continue;
        for (int i = 0; i < n; ++i) {
            const Rec_Value v = value(*r, i);
            if (v.bad) continue;
            sum[size_t(i)] += v.value;
            ++s.count[size_t(i)];
        }
    }
    for (int i = 0; i < n; ++i)
        if (s.count[size_t(i)]) s.avg[size_t(i)] = float(sum[size_t(i)] / s.count[size_t(i)]);
    return s;
}
