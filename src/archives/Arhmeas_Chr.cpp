#include "archives/Arhmeas_Chr.h"

#include "core/Stringi.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
constexpr int kSignificant = 10;
constexpr double kFixedLimit = 1e10;   // 11 whole digits: exponent form

QString date_text(const Date6 &d)
{
    return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour,
                             d.minute, d.second);
}

QString exponent_text(double v) { return QString::asprintf("%.*E", kSignificant - 1, v); }
} // namespace

namespace {
// The value formatter's text of v: fixed-point into buf, its length returned; 0 with
// *exponent the value to write in exponent form; -1 for a value that is no number.
int value_chars(float v, int decimals, char (&buf)[64], double *exponent)
{
    if (!std::isfinite(v)) return -1;
    const int dec = std::clamp(decimals, 0, kSignificant);
    const double x = double(v);
    if (std::fabs(x) >= kFixedLimit) {
        *exponent = x;
        return 0;
    }
    // Whole digits use up the 10 significant ones first; the rest of the decimals are zeros.
    int whole = 1;
    for (double a = std::fabs(x); a >= 10 && whole < kSignificant; a /= 10) ++whole;
    const int kept = std::min(dec, kSignificant - whole);
    double p = 1;
    for (int i = 0; i < kept; ++i) p *= 10;
    // A float times 10^kept stays exact in a double, so the halves are the stored value's.
    double r = std::round(x * p) / p;
    if (std::fabs(r) >= kFixedLimit) {
        *exponent = r;
        return 0;
    }
    if (r == 0) r = 0;   // no "-0.00"
    // Exactly rounded like "%.*f", without the formatter's own work: lists show and export
    // hundreds of thousands of these.
    const std::to_chars_result out = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, dec);
    return int(out.ptr - buf);
}
} // namespace

QString Meas_Value_Text(float v, int decimals)
{
    char buf[64];
    double e = 0;
    const int n = value_chars(v, decimals, buf, &e);
    if (n < 0) return QStringLiteral("NAN");
    if (n == 0) return exponent_text(e);
    return QString::fromLatin1(buf, n);
}

QString Meas_Center(const QString &text)
{
    const int len = int(text.size());
    const int lead = len >= MEAS_HEAD_WIDTH ? 1 : (MEAS_HEAD_WIDTH - len) / 2;
    return QString(lead, u' ') + text;
}

int Meas_Col_Count(const Arhiv_Header &h) { return MEAS_FIXED_COLS + Arh_Par_Count(h); }

uint32_t Meas_Row_Count(const Arhiv_Header &h, const QByteArray &recs)
{
    const qint64 held = recs.size() / CHR_MEAS_REC_SIZE;
    return uint32_t(std::min<qint64>(h.rec_count, held));
}

QString Meas_Heading(const Arhiv_Header &h, int col, int line)
{
    if (col == 0) return line == 0 ? QStringLiteral("   Дата") : QString();
    if (col == 1) return line == 0 ? QStringLiteral("   Время") : QString();
    const int i = col - MEAS_FIXED_COLS;
    if (i < 0 || i >= Arh_Par_Count(h)) return {};
    if (line == 0) return Meas_Center(Param_Symbol(h, i));
    if (line == 1) return Meas_Center(Gas_Units(h.pars[i].unit));
    return {};
}

QString Meas_Caption(const Arhiv_Header &h)
{
    return QStringLiteral("Измерительные данные хроматографа за период  с  %1  по  %2")
        .arg(date_text(h.period_start), date_text(h.period_end));
}

QString Meas_Details_Caption(const Chr_Meas_Rec &r)
{
    const Date6 d = r.dt;
    return QString::asprintf(" Измерительные данные (%02d.%02d.%02d  %02d:%02d:%02d)", d.day,
                             d.month, d.year, d.hour, d.minute, d.second);
}

QString Meas_Cell_Text(const Arhiv_Header &h, const Chr_Meas_Rec &r, bool valid, int col)
{
    const int cols = Meas_Col_Count(h);
    if (col < 0 || col >= cols) return {};
    if (!valid) {
        static const QString first = QStringLiteral("  Данные");
        static const QString second = QStringLiteral(" недостов.");
        if (cols >= MEAS_FIXED_COLS + 2) {
            if (col == MEAS_FIXED_COLS) return first;
            if (col == MEAS_FIXED_COLS + 1) return second;
            return {};
        }
        // One parameter: both words in its column; none: in the date and time columns.
        if (cols == MEAS_FIXED_COLS + 1) return col == MEAS_FIXED_COLS ? first + second : QString();
        return col == 0 ? first : second;
    }
    const Date6 d = r.dt;
    if (col == 0) return QString::asprintf(" %02d.%02d.%02d", d.day, d.month, d.year);
    if (col == 1) return QString::asprintf(" %02d:%02d:%02d", d.hour, d.minute, d.second);
    switch (Chr_Meas_Row(r.ctrl_status)) {
    case Row_Show::Zero: return QStringLiteral(" 0");
    case Row_Show::Blank: return QStringLiteral(" ");
    case Row_Show::Values: break;
    }
    const int i = col - MEAS_FIXED_COLS;
    const Rec_Value v = Chr_Meas_Value(r, i);
    if (v.bad) return QStringLiteral("  NAN");
    const int dec = Param_Decimals(h, i);
    char buf[64];
    double e = 0;
    const int n = value_chars(v.value, dec, buf, &e);
    if (n <= 0) return u' ' + Meas_Value_Text(v.value, dec) + u' ' + QChar(char(v.mark));
    // " value mark" made in one piece.
    QString t(n + 3, Qt::Uninitialized);
    QChar *o = t.data();
    o[0] = u' ';
    for (int k = 0; k < n; ++k) o[k + 1] = QLatin1Char(buf[k]);
    o[n + 1] = u' ';
    o[n + 2] = QChar(char(v.mark));
    return t;
}

QString Meas_Cell_Text(const Arhiv_Header &h, const Chr_Meas_Rec &r, int col)
{
    return Meas_Cell_Text(h, r, Rec_Valid(r), col);
}

Meas_Summary Meas_Scan(const Arhiv_Header &h, const QByteArray &recs)
{
    return Scan_Records<Chr_Meas_Rec>(h, recs, Meas_Row_Count(h, recs), [](const Chr_Meas_Rec &r) { return Chr_Meas_Row(r.ctrl_status) == Row_Show::Values; },
                                  [](const Chr_Meas_Rec &r, int i) { return Chr_Meas_Value(r, i); });
}
