#pragma once
// The passport commands without their windows: the report date dialog's rules, and the
// gathering of the daily and hourly records of the chromatograph (and of the moisture meter
// when one is fitted) that a daily or monthly passport is made of.
#include "archives/Arh_Readers.h"
#include "archives/Xls_report.h"

#include <QString>
#include <cstdint>
#include <optional>

// Table 6: field 8 non-zero when a moisture meter is fitted; field 6 the gas day's first hour.
bool Wmt_Fitted();
uint8_t Day_Start_Hour();

// What the passport commands need of the window side besides a reader's.
class Passport_Ui : public Arh_Read_Ui {
public:
    // The period dialogs of the readers are not used here.
    bool Ask_Period(Date6 &, Date6 &) override { return false; }
    bool Ask_Short_Period(const Arh_Range &, uint8_t, Date6 &, Date6 &) override { return false; }
    // The report date dialog: the object and the day (kind 0) or month (kind 1) inside the
    // daily archive's range; date gets {yy, mm, dd, hh}. False when it was not accepted.
    virtual bool Ask_Report_Date(const Arh_Range &range, uint8_t kind, uint8_t date[4]) = 0;
};

// The date dialog's "Принять" check: the date (day or month) must lie inside the range.
bool Rep_Date_In_Range(const Arh_Range &range, uint8_t kind, const uint8_t date[5]);

// Mean of float 11 over the days whose float 11 is a number and whose float 2 is at least
// 0.001, in a record of the daily record's shape that is zero elsewhere (0 when no day counts).
// Records failing their CRC check do not count.
Chr_HD_Rec Mon_Summary(const QByteArray &chr_recs, uint32_t count);

// The 20 parameter descriptors of the passport from table 1 (the first N of table 14 field 14).
void Build_Passport_Descr(Param_Descr descr[ARH_PAR_MAX]);

// The whole gathering of a passport command, from the template check to the records:
// nullopt when a step failed or was refused (its message was shown) or the user stopped it.
std::optional<Passport_Data> Gather_Passport(uint8_t kind, Passport_Ui &ui);
