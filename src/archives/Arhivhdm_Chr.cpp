#include "archives/Arhivhdm_Chr.h"

#include "core/Stringi.h"

#include <algorithm>

namespace {
bool daily(uint8_t kind) { return kind != HDM_KIND_HOUR; }

QString hms(const uint8_t t[3], int hour)
{
    return QString::asprintf(" %02d:%02d:%02d", hour, t[1], t[2]);
}
} // namespace

int Hd_Col_Count(const Arhiv_Header &h) { return HD_FIXED_COLS + Arh_Par_Count(h); }

uint32_t Hd_Row_Count(const Arhiv_Header &h, const QByteArray &recs)
{
    const qint64 held = recs.size() / CHR_HD_REC_SIZE;
    return uint32_t(std::min<qint64>(h.rec_count, held));
}

QString Hd_Heading(const Arhiv_Header &h, int col, int line)
{
    static const char *const fixed[HD_FIXED_COLS][2] = {
        {"   Дата", "  начала"},
        {"   Время", "  начала"},
        {"  Время", "  конца"},
        {"Кол. ликв.", " данных"},
    };
    if (line < 0 || line > 1 || col < 0) return {};
    if (col < HD_FIXED_COLS) return QString::fromUtf8(fixed[col][line]);
    const int i = col - HD_FIXED_COLS;
    if (i >= Arh_Par_Count(h)) return {};
    return Meas_Center(line == 0 ? Param_Symbol(h, i) : Gas_Units(h.pars[i].unit));
}

QString Hd_Caption(const Arhiv_Header &h, uint8_t kind)
{
    const Date6 s = h.period_start, e = h.period_end;
    if (!daily(kind))
        return QString::asprintf("Часовые данные хроматографа за период с %02d.%02d.%02d  %02dч  по  "
                                 "%02d.%02d.%02d  %02dч",
                                 s.day, s.month, s.year, s.hour, e.day, e.month, e.year, e.hour);
    return QString::asprintf("Суточные данные хроматографа за период с %02d.%02d.%02d  по  %02d.%02d.%02d",
                             s.day, s.month, s.year, e.day, e.month, e.year);
}

QString Hd_Details_Caption(const Chr_HD_Rec &r, uint8_t kind)
{
    const uint8_t *d = r.date, *s = r.start_time, *e = r.end_time;
    if (!daily(kind))
        return QString::asprintf(" Часовые данные с %02d.%02d.%02d %02d:%02d:%02d по %02d:%02d:%02d", d[2],
                                 d[1], d[0], s[0], s[1], s[2], e[0], e[1], e[2]);
    return QString::asprintf(" Суточные данные с %02d.%02d.%02d %02d:%02d:%02d по %02d:%02d:%02d%c", d[2],
                             d[1], d[0], s[0], s[1], s[2], Hd_End_Hour(e, true), e[1], e[2],
                             Hd_End_Flag(e) ? '*' : ' ');
}

QString Hd_Cell_Text(const Arhiv_Header &h, const Chr_HD_Rec &r, bool valid, int col, uint8_t kind)
{
    if (col < 0 || col >= Hd_Col_Count(h)) return {};
    if (!valid) {
        if (col == 1) return QStringLiteral("     Данные");
        if (col == 2) return QStringLiteral("недостов.");
        return {};
    }
    switch (col) {
    case 0: return QString::asprintf(" %02d.%02d.%02d", r.date[2], r.date[1], r.date[0]);
    case 1: return hms(r.start_time, r.start_time[0]);
    case 2:
        if (!daily(kind)) return hms(r.end_time, r.end_time[0]);   // the whole byte, as stored
        // Daily: bit 7 of the hour is a flag; a clear flag is marked with an asterisk.
        return hms(r.end_time, Hd_End_Hour(r.end_time, true)) + (Hd_End_Flag(r.end_time) ? "" : "*");
    case 3: return QStringLiteral(" %1").arg(uint16_t(r.valid_count));
    default: break;
    }
    if (Chr_HD_Row(r.status) != Row_Show::Values) return QStringLiteral(" 0");
    const int i = col - HD_FIXED_COLS;
    const Rec_Value v = Chr_HD_Value(r, i);
    if (v.bad) return QStringLiteral("  NAN");
    return u' ' + Meas_Value_Text(v.value, Param_Decimals(h, i)) + u' ' + QChar(Chr_HD_Mark(r.status));
}

QString Hd_Cell_Text(const Arhiv_Header &h, const Chr_HD_Rec &r, int col, uint8_t kind)
{
    return Hd_Cell_Text(h, r, Rec_Valid(r), col, kind);
}

Meas_Summary Hd_Scan(const Arhiv_Header &h, const QByteArray &recs)
{
    return Scan_Records<Chr_HD_Rec>(h, recs, Hd_Row_Count(h, recs), [](const Chr_HD_Rec &r) { return Chr_HD_Row(r.status) == Row_Show::Values; },
                                  [](const Chr_HD_Rec &r, int i) { return Chr_HD_Value(r, i); });
}
