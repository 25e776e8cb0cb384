#include "messages/Period.h"

#include "core/Rd_wr_ini.h"

#include <cmath>

namespace {

Pc_Clock_Fn g_clock;

const Date6 kFirstDay{0, 1, 1, 0, 0, 0};
const Date6 kPastLastDay{REQ_YEAR_MAX - REQ_YEAR_MIN + 1, 1, 1, 0, 0, 0};

// A stored TDateTime as a Date6 the pickers take, or nothing.
std::optional<Date6> stored_date(double dt)
{
    if (!std::isfinite(dt) || dt < Date6_To_DateTime(kFirstDay) || dt >= Date6_To_DateTime(kPastLastDay))
        return std::nullopt;
    Date6 d{};
    if (!DateTime_To_Date6(dt, d) || !Req_Date_Ok(d)) return std::nullopt;
    return d;
}

// One number box: unsigned decimal not above max.
bool box_number(const QString &text, uint64_t max, uint8_t &out)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 10);
    if (!ok || v > max) return false;
    out = uint8_t(v);
    return true;
}

Req_Refusal out_of_range(const char *line1)
{
    return Req_Refusal{QString::fromUtf8(line1), QStringLiteral("вне допустимого диапазона")};
}

} // namespace

bool Req_Date_Ok(const Date6 &d)
{
    return d.year <= REQ_YEAR_MAX - REQ_YEAR_MIN && Valid_Date6(d);
}

Date6 Req_Fit(const Date6 &d)
{
    if (Req_Date_Ok(d)) return d;
    if (d.year >= 0x80) return kFirstDay;
    return Date6{REQ_YEAR_MAX - REQ_YEAR_MIN, 12, 31, 23, 59, 59};
}

QDateTime Date6_To_QDateTime(const Date6 &d)
{
    return QDateTime(QDate(REQ_YEAR_MIN + d.year, d.month, d.day), QTime(d.hour, d.minute, d.second));
}

bool QDateTime_To_Date6(const QDateTime &t, Date6 &d)
{
    const QDate day = t.date();
    const QTime time = t.time();
    if (!day.isValid() || !time.isValid() || day.year() < REQ_YEAR_MIN || day.year() > REQ_YEAR_MAX) return false;
    d = Date6{uint8_t(day.year() - REQ_YEAR_MIN), uint8_t(day.month()), uint8_t(day.day()),
              uint8_t(time.hour()), uint8_t(time.minute()), uint8_t(time.second())};
    return true;
}

Pc_Clock_Fn Set_Pc_Clock(Pc_Clock_Fn f)
{
    Pc_Clock_Fn old = std::move(g_clock);
    g_clock = std::move(f);
    return old;
}

Date6 Pc_Now()
{
    const QDateTime t = g_clock ? g_clock() : QDateTime::currentDateTime();
    Date6 d{};
    if (QDateTime_To_Date6(t, d)) return d;
    // A PC clock outside the pickers' years shows what the pickers can: their nearest end.
    if (t.date().isValid() && t.date().year() > REQ_YEAR_MAX) return Req_Fit(Date6{100, 1, 1, 0, 0, 0});
    return kFirstDay;
}

void Dec_Month_Fit(Date6 &d)
{
    Dec_Date6(d, UNIT_MONTH);
    const int last = Days_In_Month(REQ_YEAR_MIN + d.year, d.month);
    if (last > 0 && d.day > last) d.day = uint8_t(last);
}

uint32_t Stored_Period_Choice()
{
    const uint32_t c = Rd_Arh_Rec.period_choice;
    return c <= PERIOD_GIVEN ? c : PERIOD_LAST_HOUR;
}

void Store_Period_Choice(uint32_t choice) { Rd_Arh_Rec.period_choice = choice; }

Date6 Stored_Period_Start(const Date6 &fallback)
{
    return stored_date(Rd_Arh_Rec.start_dt).value_or(fallback);
}

Date6 Stored_Period_End(const Date6 &fallback)
{
    return stored_date(Rd_Arh_Rec.end_dt).value_or(fallback);
}

void Store_Given_Period(const Date6 &start, const Date6 &end)
{
    Rd_Arh_Rec.start_dt = Date6_To_DateTime(start);
    Rd_Arh_Rec.end_dt = Date6_To_DateTime(end);
}

Period_Preset Period_Preset_For(uint32_t choice, const Date6 &now)
{
    const Date6 n = Req_Fit(now);
    Period_Preset p{n, n, false};
    switch (choice) {
    case PERIOD_LAST_HOUR:
        Dec_Date6(p.start, UNIT_HOUR);
        p.start = Req_Fit(p.start);
        break;
    case PERIOD_LAST_DAY:
        Dec_Date6(p.start, UNIT_DAY);
        p.start = Req_Fit(p.start);
        break;
    default:
        p.start = Stored_Period_Start(n);
        p.end = Stored_Period_End(n);
        p.enabled = true;
        break;
    }
    return p;
}

std::optional<Req_Refusal> Check_Period(const Period_Input &in, Date6 &start, Date6 &end)
{
    Date6 s{in.start_date.year, in.start_date.month, in.start_date.day, 0, 0, 0};
    Date6 e{in.end_date.year, in.end_date.month, in.end_date.day, 0, 0, 0};
    if (!box_number(in.start_hour, 23, s.hour)) return out_of_range("Значение часа начала диапазона");
    if (!box_number(in.start_min, 59, s.minute)) return out_of_range("Значение минут начала диапазона");
    if (!box_number(in.start_sec, 59, s.second)) return out_of_range("Значение секунд начала диапазона");
    if (!box_number(in.end_hour, 23, e.hour)) return out_of_range("Значение часа конца диапазона");
    if (!box_number(in.end_min, 59, e.minute)) return out_of_range("Значение минут конца диапазона");
    if (!box_number(in.end_sec, 59, e.second)) return out_of_range("Значение секунд конца диапазона");
    if (Compare_Date6(e, s) < 0) return Refusal_End_Before_Start();
    start = s;
    end = e;
    return std::nullopt;
}

Req_Refusal Refusal_End_Before_Start()
{
    return Req_Refusal{QStringLiteral("Дата и время конца опроса должны быть"),
                       QStringLiteral("больше даты и времени начала опроса")};
}

Req_Refusal Refusal_No_Data()
{
    return Req_Refusal{QStringLiteral("В архиве нет данных за указанный период"),
                       QStringLiteral("(см. период имеющихся в архиве данных)")};
}
