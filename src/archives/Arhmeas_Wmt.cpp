#include "archives/Arhmeas_Wmt.h"

#include "core/Suplfunc.h"

#include <algorithm>

QStringList Wmt_Value_Heading(uint8_t wmt_type, int col)
{
    switch (col) {
    case 4: return {QStringLiteral("Т т.росы"), QStringLiteral("WDP"), QStringLiteral("при Рраб."), QStringLiteral("°С")};
    case 5: return {QStringLiteral("Т т.росы"), QStringLiteral("HDP"), QStringLiteral("при Рраб."), QStringLiteral("°С")};
    case 6:
        if (wmt_type == 2) return {QStringLiteral("Давление"), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("bar")};
        return {QStringLiteral("Р изб."), QStringLiteral("WDP"), QString(), QStringLiteral("bar")};
    case 7:
        return {QStringLiteral("Прив. Т т.росы"), QStringLiteral("по воде"), QStringLiteral("к Р абс."), QStringLiteral("°С")};
    default: return {};
    }
}

QStringList Wmt_Meas_Heading(const Arhiv_Header &h, int col)
{
    QStringList l;
    switch (col) {
    case 0: l = {QString(), QStringLiteral("Дата")}; break;
    case 1: l = {QString(), QStringLiteral("Время")}; break;
    case 2: l = {QStringLiteral("Статус"), QStringLiteral("контроллера")}; break;
    case 3: l = {QStringLiteral(" Признаки "), QStringLiteral("состояния"), QStringLiteral("влагомера")}; break;
    default: l = Wmt_Value_Heading(h.wmt_type, col); break;
    }
    while (l.size() < WMT_HEAD_LINES) l << QString();
    return l;
}

QString Wmt_Meas_Caption(const Arhiv_Header &h)
{
    auto d6 = [](const Date6 &d) {
        return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute,
                                 d.second);
    };
    return QStringLiteral("Мгновенные данные влагомера за период  с  %1  по  %2")
        .arg(d6(h.period_start), d6(h.period_end));
}

uint32_t Wmt_Meas_Row_Count(const Arhiv_Header &h, const QByteArray &recs)
{
    const qint64 held = recs.size() / WMT_MEAS_REC_SIZE;
    return uint32_t(std::min<qint64>(h.rec_count, held));
}

QString Wmt_Meas_Cell_Text(const Wmt_Meas_Rec &r, bool valid, int col)
{
    if (col < 0 || col >= WMT_COLS) return {};
    if (!valid) {
        if (col == 0) return QStringLiteral("     Данные");
        if (col == 1) return QStringLiteral(" недостов.");
        return {};
    }
    const Wmt_Show show = Wmt_Meas_Show(r.status);
    switch (col) {
    case 0: return QString::asprintf("  %02d.%02d.%02d", r.dt.day, r.dt.month, r.dt.year);
    case 1: return QString::asprintf("  %02d:%02d:%02d", r.dt.hour, r.dt.minute, r.dt.second);
    case 2: return r.status ? QString::asprintf("  0x%02X", r.status) : QStringLiteral("  Норма");
    case 3: {
        if (show == Wmt_Show::Off) return {};
        if (show == Wmt_Show::No_Link) return QStringLiteral(" Нет связи");
        const uint16_t state = r.state;   // high byte (byte 10) first
        return state ? QString::asprintf("  0x%04X", unsigned(state)) : QStringLiteral("  Норма");
    }
    default: break;
    }
    if (show == Wmt_Show::Off) return QStringLiteral("  Выкл.");
    if (show == Wmt_Show::No_Link) return QStringLiteral("       0");
    const Rec_Value v = Wmt_Meas_Value(r, col - WMT_FIXED_COLS);
    if (v.bad) return QStringLiteral("  NAN");
    return QStringLiteral("  ") + Float_To_Str_Wmt(v.value);
}

QString Wmt_Meas_Cell_Text(const Wmt_Meas_Rec &r, int col) { return Wmt_Meas_Cell_Text(r, Rec_Valid(r), col); }
