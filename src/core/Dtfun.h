#pragma once
// The controller's compact date and the calendar arithmetic done on it.
// Dates travel as byte pointers (they sit inside frames and records); the Date6
// struct is the same six bytes for code that keeps a date of its own.
#include <cstdint>

#pragma pack(push, 1)
// {year - 2000, month 1..12, day 1..31, hour, minute, second}. Date4 and Date3 are
// its first 4 and 3 bytes; the archive period routines use the first 5.
struct Date6 {
    uint8_t year;
    uint8_t month;
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;

    uint8_t *bytes() { return reinterpret_cast<uint8_t *>(this); }
    const uint8_t *bytes() const { return reinterpret_cast<const uint8_t *>(this); }
};

// Working date of the day counts: full year, then day before month.
struct Ymd_Rec {
    int32_t year;
    uint8_t day;
    uint8_t month;
};

// Period an archive can deliver: start and end, each year..minute.
struct Arh_Range {
    uint8_t start[5];
    uint8_t end[5];
};
#pragma pack(pop)

static_assert(sizeof(Date6) == 6, "Date6 is 6 bytes");
static_assert(sizeof(Ymd_Rec) == 6, "Ymd_Rec is 6 bytes");
static_assert(sizeof(Arh_Range) == 10, "Arh_Range is 10 bytes");

// Step units of the date routines.
constexpr int UNIT_HOUR = 0;
constexpr int UNIT_DAY = 1;
constexpr int UNIT_MONTH = 2;
constexpr int UNIT_3MIN = 3;

// Date-time values are days since 30 December 1899, the fraction being the time of day.
// Decodes to a Date6 (year byte = (full year + 48) mod 256); false, date untouched, for
// a value that is not a finite date of years 1..9999.
bool DateTime_To_Date6(double dt, uint8_t *date);
double Date6_To_DateTime(const uint8_t *date);

// -1, 0 or 1: all six bytes; year..minute; down to the hour (unit 0), day (1),
// month (2). Any other unit compares all six bytes.
int Compare_Date6(const uint8_t *a, const uint8_t *b);
int Compare_Date5(const uint8_t *a, const uint8_t *b);
int Compare_Date6_Unit(const uint8_t *a, const uint8_t *b, int unit);

bool Is_Leap_Year(int year);
// 0 for a month outside 1..12.
int Days_In_Month(int year, int month);
int Day_Of_Year(const Ymd_Rec &d);
int Days_In_Year(int year);
int Days_Left_In_Year(const Ymd_Rec &d);
// Signed: negative when to is earlier than from.
int Days_Between(const Ymd_Rec &from, const Ymd_Rec &to);
// 1 = Sunday .. 7 = Saturday.
int Day_Of_Week(const Ymd_Rec &d);
Ymd_Rec Date6_To_Ymd(const uint8_t *date);

// Daylight-saving change rule: {month, day selector, hour}. Day of the year the rule
// falls on, or 0 for a rule that names no day (month outside 1..12, weekday or week 0).
int Dst_Day(uint8_t year_byte, const uint8_t *rule);
// Season bit of a date: 0 inside summer time, 0x80 outside (also when a rule is void).
uint8_t Dst_Flag(const uint8_t *date, const uint8_t *summer, const uint8_t *winter);

// One hour (0), day (1) or month (2) forward / back with roll-over. In these steps a
// year byte divisible by 4 has a 29-day February; a month step keeps the day.
void Inc_Date6(uint8_t *date, int unit);
void Dec_Date6(uint8_t *date, int unit);
// Unit 3: three minutes forward (minute 57 rolls to 0 of the next hour); unit 0: one
// hour forward; other units leave the date alone.
void Step_Date6(uint8_t *date, int unit);
// Month 1..12, day 1..31 (February by its Gregorian length), hour, minute, second in range.
bool Valid_Date6(const uint8_t *date);

// Period an hourly (0), daily (1) or monthly (2) archive can deliver, from the first
// record's date and the current date (both Date4). day_start_hour is the controller's
// start of the gas day. True when start is not later than end.
bool Calc_Arh_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range, int unit, bool flag,
                     uint8_t day_start_hour);
// The same, with the day-start hour read from the table image (table 6 field 6).
bool Calc_Arh_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range, int unit, bool flag);
// Period of the 3-minute measurement archive (first and current year..minute).
bool Calc_Meas_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range);

// Date6 conveniences.
inline bool DateTime_To_Date6(double dt, Date6 &d) { return DateTime_To_Date6(dt, d.bytes()); }
inline double Date6_To_DateTime(const Date6 &d) { return Date6_To_DateTime(d.bytes()); }
inline int Compare_Date6(const Date6 &a, const Date6 &b) { return Compare_Date6(a.bytes(), b.bytes()); }
inline int Compare_Date6_Unit(const Date6 &a, const Date6 &b, int unit)
{
    return Compare_Date6_Unit(a.bytes(), b.bytes(), unit);
}
inline void Inc_Date6(Date6 &d, int unit) { Inc_Date6(d.bytes(), unit); }
inline void Dec_Date6(Date6 &d, int unit) { Dec_Date6(d.bytes(), unit); }
inline void Step_Date6(Date6 &d, int unit) { Step_Date6(d.bytes(), unit); }
inline bool Valid_Date6(const Date6 &d) { return Valid_Date6(d.bytes()); }
inline Ymd_Rec Date6_To_Ymd(const Date6 &d) { return Date6_To_Ymd(d.bytes()); }
