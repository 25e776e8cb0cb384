#pragma once
// The period dialogs without their windows: the preset periods, the checks of an acceptance
// with their messages, and the choice kept in the last-request record (Rd_Arh_Rec).
//
// Everything read back from Rd_Arh_Rec is brought into range first: a choice outside its list
// or a stored date that is not a finite date the pickers can show selects the default instead
// of indexing anything with it.
#include "core/Dtfun.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// A refused acceptance: the two lines shown with Ques_Kind 2; the dialog stays open.
struct Req_Refusal {
    QString line1;
    QString line2;
};

// Period choices of the period dialog and the minutes panel.
constexpr uint32_t PERIOD_LAST_HOUR = 0;
constexpr uint32_t PERIOD_LAST_DAY = 1;
constexpr uint32_t PERIOD_GIVEN = 2;

// Dates the pickers take: the year byte counts from 2000, and the step routines know the
// leap years of this century only.
constexpr int REQ_YEAR_MIN = 2000;
constexpr int REQ_YEAR_MAX = 2099;

// A valid Date6 of the pickers' years (seconds included).
bool Req_Date_Ok(const Date6 &d);
// A stepped date brought back into the pickers' years: a step back from 1 January 2000 (the
// year byte wraps) gives that day, a date past 2099 the last second of 2099.
Date6 Req_Fit(const Date6 &d);
// The date as the pickers show it, and back (year byte = year - 2000). A QDateTime outside the
// pickers' years gives false.
QDateTime Date6_To_QDateTime(const Date6 &d);
bool QDateTime_To_Date6(const QDateTime &t, Date6 &d);

// The PC's clock as a Date6 (the base of the period dialog's presets). Tests set their own.
using Pc_Clock_Fn = std::function<QDateTime()>;
Pc_Clock_Fn Set_Pc_Clock(Pc_Clock_Fn f);   // null: the real clock; returns the previous one
Date6 Pc_Now();

// Steps back one month keeping the day number where the month has it, else taking the
// month's last day (31 March gives 28 or 29 February, never a 31 February).
void Dec_Month_Fit(Date6 &d);

// Rd_Arh_Rec bytes 0-3: the stored period choice, 0..2 (anything else: the last hour).
uint32_t Stored_Period_Choice();
void Store_Period_Choice(uint32_t choice);
// Rd_Arh_Rec bytes 8-23: the given period to the second; a stored value that is not a date
// the pickers take gives the fallback.
Date6 Stored_Period_Start(const Date6 &fallback);
Date6 Stored_Period_End(const Date6 &fallback);
void Store_Given_Period(const Date6 &start, const Date6 &end);

// What the controls of the period dialog show for a choice (now = the PC's clock), and
// whether they can be edited. The given period comes from Rd_Arh_Rec.
struct Period_Preset {
    Date6 start;
    Date6 end;
    bool enabled;
};
Period_Preset Period_Preset_For(uint32_t choice, const Date6 &now);

// The controls at acceptance: the pickers' dates (bytes 0-2 used) and the six number texts.
struct Period_Input {
    Date6 start_date;
    QString start_hour, start_min, start_sec;
    Date6 end_date;
    QString end_hour, end_min, end_sec;
};
// Builds start and end and runs the checks in the dialog's order; the first failure is
// returned. A box that is empty or not a number is refused as out of range.
std::optional<Req_Refusal> Check_Period(const Period_Input &in, Date6 &start, Date6 &end);

// The messages shared by the period dialogs.
Req_Refusal Refusal_End_Before_Start();
Req_Refusal Refusal_No_Data();
