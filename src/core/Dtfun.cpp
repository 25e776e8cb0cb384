#include "core/Dtfun.h"

#include "core/Tables.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Month length as the step routines see it: a year byte divisible by 4 is a leap year.
// A month outside 1..12 (a damaged date) is taken as 31 days so nothing is indexed with it.
int step_month_len(uint8_t year_byte, uint8_t month)
{
    if (month < 1 || month > 12) return 31;
    if (month == 2 && year_byte % 4 == 0) return 29;
    return kMonthDays[month - 1];
}

// Days from 1 January of year 1 to 1 January of year y (proleptic Gregorian).
int64_t days_before_year(int64_t y)
{
    const int64_t p = y - 1;
    auto fdiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return 365 * p + fdiv(p, 4) - fdiv(p, 100) + fdiv(p, 400);
}

int compare_bytes(const uint8_t *a, const uint8_t *b, int n)
{
    for (int i = 0; i < n; ++i) {
        if (a[i] < b[i]) return -1;
        if (a[i] > b[i]) return 1;
    }
    return 0;
}

void month_up(uint8_t *d)
{
    if (d[1] >= 12) {
        d[1] = 1;
        d[0] = uint8_t(d[0] + 1);
    } else {
        d[1] = uint8_t(d[1] + 1);
    }
}

void month_down(uint8_t *d)
{
    if (d[1] <= 1) {
        d[1] = 12;
        d[0] = uint8_t(d[0] - 1);
    } else {
        d[1] = uint8_t(d[1] - 1);
    }
}

void day_up(uint8_t *d)
{
    if (d[2] + 1 > step_month_len(d[0], d[1])) {
        d[2] = 1;
        month_up(d);
    } else {
        d[2] = uint8_t(d[2] + 1);
    }
}

void day_down(uint8_t *d)
{
    if (d[2] <= 1) {
        month_down(d);
        d[2] = uint8_t(step_month_len(d[0], d[1]));
    } else {
        d[2] = uint8_t(d[2] - 1);
    }
}

void hour_up(uint8_t *d)
{
    if (d[3] >= 23) {
        d[3] = 0;
        day_up(d);
    } else {
        d[3] = uint8_t(d[3] + 1);
    }
}

// Civil date of a day count since 1970-01-01 (Gregorian).
void civil_from_days(int64_t z, int64_t &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
}

// Day 0 of the date-time scale is 30 December 1899, 25569 days before 1 January 1970.
constexpr int64_t kUnixEpochDay = 25569;
} // namespace

bool DateTime_To_Date6(double dt, uint8_t *date)
{
    // 1 January 0001 .. 31 December 9999.
    if (!date || !std::isfinite(dt) || dt < -693593.0 || dt >= 2958466.0) return false;
    int64_t day = int64_t(std::trunc(dt));
    // Before day 0 the fraction is still the time of day, counted forward.
    int64_t ms = std::llround(std::fabs(dt - double(day)) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++day;
    }
    int64_t y;
    unsigned m, d;
    civil_from_days(day - kUnixEpochDay, y, m, d);
    if (y < 1 || y > 9999) return false;
    const int64_t s = ms / 1000;
    date[0] = uint8_t((y + 48) % 256);
    date[1] = uint8_t(m);
    date[2] = uint8_t(d);
    date[3] = uint8_t(s / 3600);
    date[4] = uint8_t(s / 60 % 60);
    date[5] = uint8_t(s % 60);
    return true;
}

double Date6_To_DateTime(const uint8_t *date)
{
    const Ymd_Rec base{1899, 30, 12};
    const int days = Days_Between(base, Date6_To_Ymd(date));
    return double(days) + double(date[3] * 3600 + date[4] * 60 + date[5]) / 86400.0;
}

int Compare_Date6(const uint8_t *a, const uint8_t *b) { return compare_bytes(a, b, 6); }

int Compare_Date5(const uint8_t *a, const uint8_t *b) { return compare_bytes(a, b, 5); }

int Compare_Date6_Unit(const uint8_t *a, const uint8_t *b, int unit)
{
    switch (unit) {
    case UNIT_HOUR: return compare_bytes(a, b, 4);
    case UNIT_DAY: return compare_bytes(a, b, 3);
    case UNIT_MONTH: return compare_bytes(a, b, 2);
    default: return compare_bytes(a, b, 6);
    }
}

bool Is_Leap_Year(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int Days_In_Month(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    if (month == 2 && Is_Leap_Year(year)) return 29;
    return kMonthDays[month - 1];
}

int Day_Of_Year(const Ymd_Rec &d)
{
    const int year = d.year;
    // A month outside 1..12 counts no months (0) or all twelve (13 and above).
    const int before = d.month < 1 ? 0 : (d.month > 12 ? 12 : d.month - 1);
    int n = 0;
    for (int m = 1; m <= before; ++m) n += Days_In_Month(year, m);
    return n + d.day;
}

int Days_In_Year(int year) { return Is_Leap_Year(year) ? 366 : 365; }

int Days_Left_In_Year(const Ymd_Rec &d) { return Days_In_Year(d.year) - Day_Of_Year(d); }

int Days_Between(const Ymd_Rec &from, const Ymd_Rec &to)
{
    // Same count as adding day of year of to, days left in from's year and the whole
    // years between, but closed-form so any year is cheap and an earlier to gives a
    // negative count instead of nonsense.
    const int64_t a = days_before_year(from.year) + Day_Of_Year(from);
    const int64_t b = days_before_year(to.year) + Day_Of_Year(to);
    const int64_t n = b - a;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return int(n);
}

int Day_Of_Week(const Ymd_Rec &d)
{
    const Ymd_Rec sunday{2002, 6, 1};   // Sunday 6 January 2002
    const int n = Days_Between(sunday, d) % 7;
    return (n < 0 ? n + 7 : n) + 1;
}

Ymd_Rec Date6_To_Ymd(const uint8_t *date) { return Ymd_Rec{2000 + date[0], date[2], date[1]}; }

int Dst_Day(uint8_t year_byte, const uint8_t *rule)
{
    const int month = rule[0];
    const uint8_t sel = rule[1];
    const int year = 2000 + year_byte;
    if (month < 1 || month > 12) return 0;
    if (!(sel & 0x80)) return Day_Of_Year(Ymd_Rec{year, sel, uint8_t(month)});

    const int weekday = (sel >> 3) & 7;
    const int week = sel & 3;
    if (weekday < 1 || week < 1) return 0;
    if (sel & 0x40) {
        // Counted back from the last day of the month.
        int last = kMonthDays[month - 1];
        if (month == 2 && year_byte % 4 == 0) ++last;
        const Ymd_Rec l{year, uint8_t(last), uint8_t(month)};
        int k = weekday - Day_Of_Week(l);
        if (k < 1) k += 7;
        return Day_Of_Year(l) + k - 7 * week;
    }
    const Ymd_Rec f{year, 1, uint8_t(month)};
    int k = Day_Of_Week(f) - weekday;
    if (k < 1) k += 7;
    return Day_Of_Year(f) - k + 7 * week;
}

uint8_t Dst_Flag(const uint8_t *date, const uint8_t *summer, const uint8_t *winter)
{
    const int d1 = Dst_Day(date[0], summer);
    const int d2 = Dst_Day(date[0], winter);
    if (d1 == 0 || d2 == 0) return 0x80;   // no summer time without both change days
    const int d = Day_Of_Year(Date6_To_Ymd(date));
    const uint8_t hour = date[3];
    if (d < d1 || d > d2) return 0x80;
    if (d == d1) return summer[2] > hour ? 0x80 : 0;
    if (d == d2) return winter[2] <= hour ? 0x80 : 0;
    return 0;
}

void Inc_Date6(uint8_t *date, int unit)
{
    switch (unit) {
    case UNIT_HOUR: hour_up(date); break;
    case UNIT_DAY: day_up(date); break;
    case UNIT_MONTH: month_up(date); break;
    default: break;
    }
}

void Dec_Date6(uint8_t *date, int unit)
{
    switch (unit) {
    case UNIT_HOUR:
        if (date[3] == 0) {
            date[3] = 23;
            day_down(date);
        } else {
            date[3] = uint8_t(date[3] - 1);
        }
        break;
    case UNIT_DAY: day_down(date); break;
    case UNIT_MONTH: month_down(date); break;
    default: break;
    }
}

void Step_Date6(uint8_t *date, int unit)
{
    if (unit == UNIT_3MIN) {
        const int m = date[4] + 3;
        if (m >= 58) {
            date[4] = 0;
            hour_up(date);
        } else {
            date[4] = uint8_t(m);
        }
    } else if (unit == UNIT_HOUR) {
        hour_up(date);
    }
}

bool Valid_Date6(const uint8_t *date)
{
    const int month = date[1], day = date[2];
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    if (month == 2 && day > Days_In_Month(2000 + date[0], 2)) return false;
    return date[3] <= 23 && date[4] <= 59 && date[5] <= 59;
}

bool Calc_Arh_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range, int unit, bool flag,
                     uint8_t day_start_hour)
{
    if (unit < UNIT_HOUR || unit > UNIT_MONTH) return false;
    uint8_t end[6] = {current[0], current[1], current[2], current[3], 0, 0};
    Dec_Date6(end, unit);
    // Before the gas day starts, the day (and on the 1st the month) is not closed yet.
    if (current[3] < day_start_hour && (unit == UNIT_DAY || (unit == UNIT_MONTH && current[2] == 1)))
        Dec_Date6(end, unit);

    uint8_t start[6];
    std::memcpy(start, end, 6);
    const int depth = unit == UNIT_HOUR ? 1 : (unit == UNIT_DAY ? 4 : 2);   // years kept
    if (start[0] > depth) {
        Inc_Date6(start, unit);
        start[0] = uint8_t(start[0] - depth);
    } else {
        std::memcpy(start, first, 4);
    }
    if (start[2] > Days_In_Month(2000 + start[0], start[1])) {
        start[2] = 1;
        Inc_Date6(start, UNIT_MONTH);
    }
    if (Compare_Date6_Unit(first, start, unit) > 0) {
        std::memcpy(start, first, 4);
        start[4] = 0;
        if (flag && (unit == UNIT_DAY || (unit == UNIT_MONTH && first[2] == 1))) Dec_Date6(start, unit);
    }
    std::memcpy(range.start, start, 5);
    std::memcpy(range.end, end, 5);
    return Compare_Date6_Unit(start, end, unit) <= 0;
}

bool Calc_Arh_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range, int unit, bool flag)
{
    const uint8_t *f = Tab_Field(6, 6);
    return Calc_Arh_Period(first, current, range, unit, flag, f ? *f : 0);
}

bool Calc_Meas_Period(const uint8_t *first, const uint8_t *current, Arh_Range &range)
{
    uint8_t end[6] = {current[0], current[1], current[2], current[3], uint8_t(current[4] - current[4] % 3), 0};
    uint8_t start[6];
    std::memcpy(start, end, 6);
    Step_Date6(start, UNIT_3MIN);
    // The archive holds two months.
    month_down(start);
    month_down(start);
    if (start[2] > Days_In_Month(2000 + start[0], start[1])) {
        start[2] = 1;
        month_up(start);
    }
    if (Compare_Date5(first, start) > 0) std::memcpy(start, first, 5);
    start[4] = uint8_t(start[4] - start[4] % 3);
    std::memcpy(range.start, start, 5);
    std::memcpy(range.end, end, 5);
    return Compare_Date5(start, end) <= 0;
}
