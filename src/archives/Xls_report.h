#pragma once
// The daily and monthly gas-quality passports as spreadsheets: what the passport commands
// gather, the name of the report, and the filling of the template's active sheet.
//
// Sheet layout (both templates): the object name in the merged cells G2:AB2, the period in
// the merged cells V4:AB4; one row per hour (daily, rows 10..33, the date and hour in column
// A) or per day of the month (monthly, row 9 + day, rows 10..40); the day's row 34 or the
// month's row 41. Columns B..J floats 1, 3..10 of the chromatograph record; K empty; L, M, N
// floats 0, 2, 12; O..Q empty; R..T float 11 and U..W float 13 in kcal/m3, MJ/m3, kWh/m3;
// X..AA the moisture meter's floats 0, 3, 1, 2 (the last in kgf/cm2).
#include "archives/Arh_Records.h"
#include "archives/Arhiv.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

class Xlsx_Template;

constexpr uint8_t PASSPORT_DAY = 0;
constexpr uint8_t PASSPORT_MON = 1;
constexpr int PASSPORT_HOURS = 24;
constexpr int PASSPORT_DAYS = 31;
constexpr int XLS_PROGRESS_MAX = 30;

// Float of the chromatograph record written in each column slot; 255 leaves the slot empty.
inline constexpr uint8_t Xls_Chr_Cols[20] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 255, 0, 2, 12, 255, 11, 13, 255, 255, 255, 255};
// Floats of the moisture-meter record in columns 24..27.
inline constexpr uint8_t Xls_Wmt_Cols[4] = {0, 3, 1, 2};
constexpr double BAR_TO_KGF = 1.019716213;   // gauge pressure, bar -> kgf/cm2

// What a passport command hands to the export.
struct Passport_Data {
    uint8_t kind = PASSPORT_DAY;
    uint8_t date[4] = {};          // yy, mm, dd, hh of the report
    uint32_t count = 0;            // hourly records of the day / daily records of the month
    Param_Descr descr[ARH_PAR_MAX]{};
    QByteArray chr_recs;           // count records of 94 bytes
    Chr_HD_Rec chr_summary{};      // the day's record, or the month's summary
    bool wmt = false;              // a moisture meter is fitted
    QByteArray wmt_recs;           // count records of 28 bytes (with a moisture meter)
    Wmt_HD_Rec wmt_day{};          // the day's moisture record (daily, with a moisture meter)
};

// Template file names in the program directory.
QString Passport_Template_Name(uint8_t kind);
QString Passport_Template_Path(uint8_t kind);
// The report file: "<Work_Dir>REPORT/<object>_day_yymmdd.xlsx" or "..._mon_yymm.xlsx".
// Characters a file name cannot hold become '_'; an empty name gives "_".
QString Passport_Report_Path(uint8_t kind, const uint8_t date[4], const QString &object);

// The three heat values (kcal/m3, MJ/m3, kWh/m3) of a value stored in unit 4 (MJ/m3),
// 5 (kcal/m3) or 6 (kWh/m3); false for any other unit.
bool Heat_Values(float v, uint8_t unit, float out[3]);

// A chromatograph record's row may show values: status bits 1 and 5 clear, float 8 a number
// of at least 0.001, and the record passes its CRC check.
bool Xls_Chr_Row_Valid(const Chr_HD_Rec &r);

// The row writers: columns 2..23 from a chromatograph record, 24..27 from a moisture record.
void Xls_Chr_Row(Xlsx_Template &t, int row, const Chr_HD_Rec &r, const Param_Descr *descr);
void Xls_Wmt_Row(Xlsx_Template &t, int row, const Wmt_HD_Rec &r);

// Steps of the export's progress bar: opening the template, each row the sheet writer
// takes, and the summary row, so that the bar is full when the report is written.
int Xls_Progress_Steps(const Passport_Data &d);

// Fills the opened template with the passport; step is called once per row written.
// Record counts beyond 24 hours / 31 days, and records whose day lies outside the month's
// rows, are not written.
void Xls_Day_Sheet(Xlsx_Template &t, const Passport_Data &d, const QString &object,
                   const std::function<void()> &step = {});
void Xls_Mon_Sheet(Xlsx_Template &t, const Passport_Data &d, const QString &object,
                   const std::function<void()> &step = {});
