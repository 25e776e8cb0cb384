#include "archives/Arhiv_Clb.h"

#include "core/Stringi.h"

#include <algorithm>

int Clb_Col_Count(const Arhiv_Header &h) { return CLB_FIXED_COLS + Arh_Par_Count(h); }

uint32_t Clb_Row_Count(const Arhiv_Header &h, const QByteArray &recs)
{
    const qint64 held = recs.size() / CLB_REC_SIZE;
    return uint32_t(std::min<qint64>(h.rec_count, held));
}

QString Clb_Heading(const Arhiv_Header &h, int col, int line)
{
    static const char *const fixed[CLB_FIXED_COLS][2] = {
        {"   Дата", ""},
        {"   Время", ""},
        {"   Номер", "    т/п"},
        {"  Статус", "  калибр."},
    };
    if (line < 0 || line > 1 || col < 0) return {};
    if (col < CLB_FIXED_COLS) return QString::fromUtf8(fixed[col][line]);
    const int i = col - CLB_FIXED_COLS;
    if (i >= Arh_Par_Count(h)) return {};
    return Meas_Center(line == 0 ? Param_Symbol(h, i) : Gas_Units(h.pars[i].unit));
}

QString Clb_Caption(const Arhiv_Header &h)
{
    const auto text = [](const Date6 &d) {
        return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour,
                                 d.minute, d.second);
    };
    return QStringLiteral("Калибровочные данные хроматографа за период  с  %1  по  %2")
        .arg(text(h.period_start), text(h.period_end));
}

QString Clb_Cell_Text(const Arhiv_Header &h, const Clb_Rec &r, bool valid, int col)
{
    if (col < 0 || col >= Clb_Col_Count(h)) return {};
    if (!valid) {
        if (col == 0) return QStringLiteral(" Данные");
        if (col == 1) return QStringLiteral("недостов.");
        return {};
    }
    const Date6 d = r.dt;
    switch (col) {
    case 0: return QString::asprintf(" %02d.%02d.%02d", d.day, d.month, d.year);
    case 1: return QString::asprintf(" %02d:%02d:%02d", d.hour, d.minute, d.second);
    case 2: return QStringLiteral("    %1").arg(int(r.number));
    case 3: return Clb_Passed(r) ? QStringLiteral(" Прошла") : QStringLiteral("Не прошла");
    default: break;
    }
    const int i = col - CLB_FIXED_COLS;
    const Rec_Value v = Clb_Value(r, i);
    if (v.bad) return QStringLiteral("  NAN");
    return u' ' + Meas_Value_Text(v.value, Param_Decimals(h, i)) + u' ' + QChar(char(v.mark));
}

QString Clb_Cell_Text(const Arhiv_Header &h, const Clb_Rec &r, int col)
{
    return Clb_Cell_Text(h, r, Rec_Valid(r), col);
}

std::vector<uint8_t> Clb_Scan(const Arhiv_Header &h, const QByteArray &recs)
{
    const uint32_t rows = Clb_Row_Count(h, recs);
    std::vector<uint8_t> valid(rows, 0);
    for (uint32_t k = 0; k < rows; ++k) {
        const std::optional<Clb_Rec> r = Rec_At<Clb_Rec>(recs, k);
        valid[k] = r && Rec_Valid(*r);
    }
    return valid;
}
