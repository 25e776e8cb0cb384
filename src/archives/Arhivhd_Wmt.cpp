#include "archives/Arhivhd_Wmt.h"

#include "core/Suplfunc.h"

#include <algorithm>

QStringList Wmt_HD_Heading(const Arhiv_Header &h, int col)
{
    QStringList l;
    switch (col) {
    case 0: l = {QString(), QStringLiteral("Дата"), QStringLiteral("начала  ")}; break;
    case 1: l = {QString(), QStringLiteral("Время"), QStringLiteral("начала  ")}; break;
    case 2: l = {QStringLiteral("Время"), QStringLiteral("конца")}; break;
    case 3: l = {QStringLiteral("Статус"), QStringLiteral("контроллера")}; break;
    default: l = Wmt_Value_Heading(h.wmt_type, col); break;
    }
    while (l.size() < WMT_HEAD_LINES) l << QString();
    return l;
}

QString Wmt_HD_Caption(const Arhiv_Header &h, uint8_t kind)
{
    const Date6 s = h.period_start, e = h.period_end;
    if (kind == WMT_KIND_HOUR)
        return QString::asprintf("Часовые данные влагомера за период с %02d.%02d.%02d  %02dч  по  %02d.%02d.%02d  %02dч",
                                 s.day, s.month, s.year, s.hour, e.day, e.month, e.year, e.hour);
    return QString::asprintf("Суточные данные влагомера за период с %02d.%02d.%02d  по  %02d.%02d.%02d", s.day,
                             s.month, s.year, e.day, e.month, e.year);
}

uint32_t Wmt_HD_Row_Count(const Arhiv_Header &h, const QByteArray &recs)
{
    const qint64 held = recs.size() / WMT_HD_REC_SIZE;
    return uint32_t(std::min<qint64>(h.rec_count, held));
}

QString Wmt_HD_Cell_Text(const Wmt_HD_Rec &r, bool valid, int col, uint8_t kind)
{
    if (col < 0 || col >= WMT_COLS) return {};
    if (!valid) {
        if (col == 0) return QStringLiteral("     Данные");
        if (col == 1) return QStringLiteral(" недостов.");
        return {};
    }
    const uint8_t *d = r.date, *s = r.start_time, *e = r.end_time;
    switch (col) {
    case 0: return QString::asprintf("  %02d.%02d.%02d", d[2], d[1], d[0]);
    case 1: return QString::asprintf("  %02d:%02d:%02d", s[0], s[1], s[2]);
    case 2:
        if (kind == WMT_KIND_HOUR) return QString::asprintf("   %02d:%02d:%02d", e[0], e[1], e[2]);   // as stored
        // Daily: bit 7 of the hour is a flag; a clear flag is marked with an asterisk.
        return QString::asprintf("   %02d:%02d:%02d", Hd_End_Hour(e, true), e[1], e[2]) +
               (Hd_End_Flag(e) ? QString() : QStringLiteral("*"));
    case 3: return r.status ? QString::asprintf("  0x%02X", r.status) : QStringLiteral("  Норма");
    default: break;
    }
    const Wmt_Show show = Wmt_HD_Show(r.status);
    if (show == Wmt_Show::Off) return QStringLiteral("  Выкл.");
    if (show == Wmt_Show::Zero) return QStringLiteral("       0");
    const Rec_Value v = Wmt_HD_Value(r, col - WMT_FIXED_COLS);
    if (v.bad) return QStringLiteral("  NAN");
    return QStringLiteral("  ") + Float_To_Str_Wmt(v.value);
}

QString Wmt_HD_Cell_Text(const Wmt_HD_Rec &r, int col, uint8_t kind)
{
    return Wmt_HD_Cell_Text(r, Rec_Valid(r), col, kind);
}
