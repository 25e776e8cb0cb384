#include "archives/Xls_report.h"

#include <QCoreApplication>

#include <QFile>

#include "archives/Xlsx_Template.h"
#include "core/Globals.h"
#include "core/Suplfunc.h"

#include <QDir>
#include <cmath>
#include <cstring>

namespace {

const QString kNan = QStringLiteral(" NAN");
const QString kDash = QStringLiteral("--");

constexpr int COL_FIRST = 2;
constexpr int COL_WMT = 24;
constexpr int ROW_FIRST = 10;
constexpr int ROW_DAY_TOTAL = 34;
constexpr int ROW_MON_TOTAL = 41;

bool Is_Heat(uint8_t f) { return f == 11 || f == 13; }

void Header_Cells(Xlsx_Template &t, const QString &object, const QString &period)
{
    t.Merge(2, 7, 2, 28);
    t.Set_Text(2, 7, object);
    t.Merge(4, 22, 4, 28);
    t.Set_Text(4, 22, period);
}

template <class R> R Rec_Of(const QByteArray &recs, uint32_t i)
{
    return Rec_At<R>(recs, i).value_or(R{});
}

} // namespace

QString Passport_Template_Name(uint8_t kind)
{
    return kind == PASSPORT_MON ? QStringLiteral("mon_report_title.xlsx") : QStringLiteral("day_report_title.xlsx");
}

QString Passport_Template_Path(uint8_t kind)
{
    // The templates belong to the installation: a working directory set apart from the
    // program (QZT_WORK_DIR) without its own copy uses the program's.
    const QString name = Passport_Template_Name(kind);
    const QString own = Work_Dir() + name;
    if (QFile::exists(own) || !QCoreApplication::instance()) return own;
    const QString installed = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    return QFile::exists(installed) ? installed : own;
}

QString Passport_Report_Path(uint8_t kind, const uint8_t date[4], const QString &object)
{
    QString name = object;
    for (QChar &ch : name)
        if (ch.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(ch)) ch = QLatin1Char('_');
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) name = QStringLiteral("_");
    const QString file = kind == PASSPORT_MON
                             ? QString::asprintf("%s_mon_%02d%02d.xlsx", name.toUtf8().constData(), date[0], date[1])
                             : QString::asprintf("%s_day_%02d%02d%02d.xlsx", name.toUtf8().constData(), date[0],
                                                 date[1], date[2]);
    return Work_Dir() + QStringLiteral("REPORT/") + file;
}

bool Heat_Values(float v, uint8_t unit, float out[3])
{
    const long double x = v;
    switch (unit) {
    case 4:   // MJ/m3
        out[0] = float(x * 239.0800200827L);   // / 0.0041827
        out[1] = v;
        out[2] = float(x * 0.277778L);
        return true;
    case 5:   // kcal/m3
        out[0] = v;
        out[1] = float(x * 0.0041827L);
        out[2] = float(x * 0.0011619L);
        return true;
    case 6:   // kWh/m3
        out[0] = float(x * (1.0L / 0.0011619L));
        out[1] = float(x * (1.0L / 0.277778L));
        out[2] = v;
        return true;
    default: return false;
    }
}

bool Xls_Chr_Row_Valid(const Chr_HD_Rec &r)
{
    if (!Rec_Valid(r) || (r.status & 0x22) != 0) return false;
    const uint8_t *f8 = r.values + 4 * 8;
    return !Is_Nan(f8) && Float_At(f8) >= 0.001f;
}

void Xls_Chr_Row(Xlsx_Template &t, int row, const Chr_HD_Rec &r, const Param_Descr *descr)
{
    const bool valid = Xls_Chr_Row_Valid(r);
    int col = COL_FIRST;
    for (uint8_t f : Xls_Chr_Cols) {
        if (f == 255) {
            col += col == 15 ? 3 : 1;
            continue;
        }
        const int width = Is_Heat(f) ? 3 : 1;
        const uint8_t *p = r.values + 4 * f;
        if (!valid) {
            for (int k = 0; k < width; ++k) t.Set_Text(row, col + k, kDash);
        } else if (Is_Nan(p)) {
            for (int k = 0; k < width; ++k) t.Set_Text(row, col + k, kNan);
        } else if (Is_Heat(f)) {
            float h[3];
            // A heat value in a unit that is no heat unit leaves the three cells as they are.
            if (Heat_Values(Float_At(p), descr ? descr[f].unit : 0, h))
                for (int k = 0; k < 3; ++k) t.Set_Float(row, col + k, h[k]);
        } else {
            t.Set_Float(row, col, Float_At(p));
        }
        col += width;
    }
}

void Xls_Wmt_Row(Xlsx_Template &t, int row, const Wmt_HD_Rec &r)
{
    int col = COL_WMT;
    const bool valid = (r.status & 6) == 0 && Rec_Valid(r);
    for (uint8_t f : Xls_Wmt_Cols) {
        if (!valid) {
            t.Set_Text(row, col, kDash);
        } else {
            const uint8_t *p = r.values + 4 * f;
            if (Is_Nan(p)) t.Set_Text(row, col, kNan);
            else if (f == 2) t.Set_Float(row, col, float(double(Float_At(p)) * BAR_TO_KGF));
            else t.Set_Float(row, col, Float_At(p));
        }
        ++col;
    }
}

namespace {
// Rows the sheet takes: as many as counted, held and the sheet has.
uint32_t Sheet_Rows(const Passport_Data &d, int most)
{
    return std::min<uint32_t>({d.count, uint32_t(most), uint32_t(d.chr_recs.size() / 94)});
}
} // namespace

int Xls_Progress_Steps(const Passport_Data &d)
{
    return int(Sheet_Rows(d, d.kind == PASSPORT_MON ? PASSPORT_DAYS : PASSPORT_HOURS)) + 2;
}

void Xls_Day_Sheet(Xlsx_Template &t, const Passport_Data &d, const QString &object, const std::function<void()> &step)
{
    const uint32_t n = Sheet_Rows(d, PASSPORT_HOURS);
    QString period;
    if (n > 0) {
        const Chr_HD_Rec a = Rec_Of<Chr_HD_Rec>(d.chr_recs, 0), b = Rec_Of<Chr_HD_Rec>(d.chr_recs, n - 1);
        period = QString::asprintf("За період з %02d.%02d.%02d %02d:00  по  %02d.%02d.%02d %02d:00", a.date[2],
                                   a.date[1], a.date[0], a.start_time[0], b.date[2], b.date[1], b.date[0],
                                   b.start_time[0]);
    }
    Header_Cells(t, object, period);
    for (uint32_t i = 0; i < n; ++i) {
        const int row = ROW_FIRST + int(i);
        const Chr_HD_Rec r = Rec_Of<Chr_HD_Rec>(d.chr_recs, i);
        t.Set_Text(row, 1, QString::asprintf("%02d.%02d.%02d  %02d:00", r.date[2], r.date[1], r.date[0], r.start_time[0]));
        Xls_Chr_Row(t, row, r, d.descr);
        if (d.wmt && i < uint32_t(d.wmt_recs.size() / 28)) Xls_Wmt_Row(t, row, Rec_Of<Wmt_HD_Rec>(d.wmt_recs, i));
        if (step) step();
    }
    Xls_Chr_Row(t, ROW_DAY_TOTAL, d.chr_summary, d.descr);
    if (d.wmt) Xls_Wmt_Row(t, ROW_DAY_TOTAL, d.wmt_day);
    if (step) step();
}

void Xls_Mon_Sheet(Xlsx_Template &t, const Passport_Data &d, const QString &object, const std::function<void()> &step)
{
    const uint32_t n = Sheet_Rows(d, PASSPORT_DAYS);
    QString period;
    if (n > 0) {
        const Chr_HD_Rec a = Rec_Of<Chr_HD_Rec>(d.chr_recs, 0), b = Rec_Of<Chr_HD_Rec>(d.chr_recs, n - 1);
        period = QString::asprintf("За період з %02d.%02d.%02d по  %02d.%02d.%02d", a.date[2], a.date[1], a.date[0],
                                   b.date[2], b.date[1], b.date[0]);
    }
    Header_Cells(t, object, period);
    bool sound_day[PASSPORT_DAYS + 1] = {};
    for (uint32_t i = 0; i < n; ++i) {
        const Chr_HD_Rec r = Rec_Of<Chr_HD_Rec>(d.chr_recs, i);
        // Each day goes to its own row, also after a day the archive does not hold.
        const int day = r.date[2];
        // A damaged record's day can't be trusted: it never covers a day a sound record holds.
        const bool sound = Rec_Valid(r);
        if (day >= 1 && day <= PASSPORT_DAYS && (sound || !sound_day[day])) {
            sound_day[day] = sound_day[day] || sound;
            const int row = 9 + day;
            Xls_Chr_Row(t, row, r, d.descr);
            if (d.wmt && i < uint32_t(d.wmt_recs.size() / 28)) Xls_Wmt_Row(t, row, Rec_Of<Wmt_HD_Rec>(d.wmt_recs, i));
        }
        if (step) step();
    }
    // The month's mean of float 11 in the three heat units.
    float h[3];
    if (Heat_Values(Float_At(d.chr_summary.values + 4 * 11), d.descr[11].unit, h))
        for (int k = 0; k < 3; ++k) t.Set_Float(ROW_MON_TOTAL, 18 + k, h[k]);
    if (step) step();
}
