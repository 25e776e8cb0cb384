#include "messages/Shortdt.h"

#include <cstring>

namespace {

// The first n bytes of a date, the rest zero.
Date6 cut(const uint8_t *d, int n)
{
    Date6 r{};
    std::memcpy(r.bytes(), d, size_t(n));
    return r;
}

int compare(const Date6 &a, const Date6 &b, int n)
{
    for (int i = 0; i < n; ++i) {
        if (a.bytes()[i] < b.bytes()[i]) return -1;
        if (a.bytes()[i] > b.bytes()[i]) return 1;
    }
    return 0;
}

// A range bound the pickers can show, else the controller's clock at the kind's resolution.
Date6 bound_or_now(const uint8_t *bound, int n, const Date6 &contr_now)
{
    const Date6 d = cut(bound, n);
    return Req_Date_Ok(d) ? d : cut(Req_Fit(contr_now).bytes(), n);
}

} // namespace

bool Short_Kind_Known(uint8_t kind) { return Short_Date_Bytes(kind) != 0; }

int Short_Date_Bytes(uint8_t kind)
{
    switch (kind) {
    case SHORT_HOURLY: return 4;
    case SHORT_DAILY: return 3;
    case SHORT_MINUTES: return 5;
    default: return 0;
    }
}

int Short_Items(uint8_t kind)
{
    switch (kind) {
    case SHORT_HOURLY:
    case SHORT_DAILY: return 2;
    case SHORT_MINUTES: return 3;
    default: return 0;
    }
}

int Short_Stored_Item(uint8_t kind)
{
    const int items = Short_Items(kind);
    const uint32_t stored = Stored_Period_Choice();   // 0..2
    if (items == 0) return 0;
    return int(stored) >= items ? items - 1 : int(stored);
}

void Short_Store_Item(int item) { Store_Period_Choice(uint32_t(item)); }

QString Short_Range_Label(uint8_t kind, const uint8_t *d, bool newest)
{
    QString text = newest ? QStringLiteral("Дата и время последней записи в архиве:  ")
                          : QStringLiteral("Дата и время самой старой записи в архиве:  ");
    text += QString::asprintf("%02d.%02d.%02d", d[2], d[1], d[0] % 100);
    if (kind == SHORT_HOURLY) text += QString::asprintf(" %02dч", d[3]);
    else if (kind == SHORT_MINUTES) text += QString::asprintf(" %02d:%02d", d[3], d[4]);
    return text;
}

Short_Period Short_Initial(uint8_t kind, const Arh_Range &range, const Date6 &contr_now)
{
    const int n = Short_Date_Bytes(kind);
    if (kind != SHORT_HOURLY && kind != SHORT_DAILY) {
        const Date6 now = cut(Req_Fit(contr_now).bytes(), n ? n : 6);
        return Short_Period{now, now, true};
    }
    Short_Period p{};
    p.enabled = true;
    p.end = bound_or_now(range.end, n, contr_now);
    p.start = p.end;
    if (kind == SHORT_HOURLY) Dec_Date6(p.start, UNIT_DAY);
    else Dec_Month_Fit(p.start);
    p.start = cut(Req_Fit(p.start).bytes(), n);
    const Date6 first = cut(range.start, n);
    if (Req_Date_Ok(first) && compare(p.start, first, n) < 0) p.start = first;
    return p;
}

Short_Period Short_Preset(uint8_t kind, int item, const Date6 &contr_now, const Short_Period &shown)
{
    const int n = Short_Date_Bytes(kind);
    const Date6 now = Req_Fit(contr_now);
    Short_Period p{};
    switch (kind) {
    case SHORT_HOURLY:
        if (item != 0) break;
        // 24 hourly records ending with the last closed hour.
        p.end = cut(now.bytes(), n);
        Dec_Date6(p.end, UNIT_HOUR);
        p.end = cut(Req_Fit(p.end).bytes(), n);
        p.start = p.end;
        Dec_Date6(p.start, UNIT_DAY);
        Inc_Date6(p.start, UNIT_HOUR);
        p.start = cut(Req_Fit(p.start).bytes(), n);
        return p;
    case SHORT_DAILY:
        if (item != 0) break;
        p.end = cut(now.bytes(), n);
        Dec_Date6(p.end, UNIT_DAY);
        p.end = cut(Req_Fit(p.end).bytes(), n);
        p.start = p.end;
        Dec_Month_Fit(p.start);
        p.start = cut(Req_Fit(p.start).bytes(), n);
        return p;
    case SHORT_MINUTES:
        if (item == int(PERIOD_GIVEN)) {
            p.start = cut(Stored_Period_Start(now).bytes(), n);
            p.end = cut(Stored_Period_End(now).bytes(), n);
            p.enabled = true;
            return p;
        }
        p.end = cut(now.bytes(), n);
        p.start = p.end;
        Dec_Date6(p.start, item == int(PERIOD_LAST_DAY) ? UNIT_DAY : UNIT_HOUR);
        p.start = cut(Req_Fit(p.start).bytes(), n);
        return p;
    default: break;
    }
    p = shown;
    p.enabled = true;
    return p;
}

std::optional<Req_Refusal> Short_Accept(uint8_t kind, const Arh_Range &range, const Date6 &start_in,
                                        const Date6 &end_in, Date6 &start, Date6 &end)
{
    const int n = Short_Date_Bytes(kind);
    if (n == 0) return std::nullopt;
    Date6 s = cut(start_in.bytes(), n);
    Date6 e = cut(end_in.bytes(), n);
    if (compare(e, s, n) < 0) return Refusal_End_Before_Start();

    const Date6 first = cut(range.start, n);
    const Date6 last = cut(range.end, n);
    // A range that is no period (damaged or reversed) holds no data to clamp into.
    if (!Req_Date_Ok(first) || !Req_Date_Ok(last) || compare(first, last, n) > 0) return Refusal_No_Data();
    if ((compare(s, first, n) < 0 && compare(e, first, n) < 0) || (compare(s, last, n) > 0 && compare(e, last, n) > 0))
        return Refusal_No_Data();
    if (compare(s, first, n) < 0) s = first;
    if (compare(e, last, n) > 0) e = last;
    start = s;
    end = e;
    return std::nullopt;
}
