// Passport figure: the monthly gas-quality passport of 31 days (chromatograph and moisture
// meter) filled into a copy of its template and written, as the passport command does it,
// against the limit measured in the same run: copying the template file as it is.
// Run it from a release build. Prints each figure with its target and a verdict; the exit
// code is 0 whatever the verdicts.
#include "Bench_Clock.h"
#include "Passport_Templates.h"

#include "archives/Xls_report.h"
#include "archives/Xlsx_Template.h"
#include "core/Crc16.h"
#include "core/Globals.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Put(uint8_t *values, int i, float v) { std::memcpy(values + 4 * i, &v, 4); }

Passport_Data Month()
{
    Passport_Data d;
    d.kind = PASSPORT_MON;
    d.date[0] = 26;
    d.date[1] = 3;
    d.date[2] = 31;
    d.count = PASSPORT_DAYS;
    d.descr[11].unit = 4;
    d.descr[13].unit = 6;
    d.wmt = true;
    for (int day = 1; day <= PASSPORT_DAYS; ++day) {
        Chr_HD_Rec r{};
        r.date[0] = 26;
        r.date[1] = 3;
        r.date[2] = uint8_t(day);
        for (int k = 0; k < 20; ++k) Put(r.values, k, 90.0f + float(k) + float(day) / 7.0f);
        Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
        d.chr_recs.append(reinterpret_cast<const char *>(&r), sizeof r);
        Wmt_HD_Rec w{};
        std::memcpy(w.date, r.date, 3);
        for (int k = 0; k < 4; ++k) Put(w.values, k, -10.0f - float(k) - float(day) / 9.0f);
        Put_Crc16(reinterpret_cast<uint8_t *>(&w), uint16_t(sizeof w - 2));
        d.wmt_recs.append(reinterpret_cast<const char *>(&w), sizeof w);
    }
    d.chr_summary = *reinterpret_cast<const Chr_HD_Rec *>(d.chr_recs.constData());
    return d;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Set_Work_Dir(dir.path());
    if (!passport_templates::Make_All(dir.path().toStdString())) {
        std::printf("the templates could not be made\n");
        return 0;
    }
    const QString tpl = Passport_Template_Path(PASSPORT_MON);
    const Passport_Data d = Month();
    constexpr int kRuns = 7;
    std::vector<double> fill, copy;
    bool ok = true;
    for (int i = 0; i < kRuns; ++i) {
        const QString out = dir.filePath(QStringLiteral("mon_%1.xlsx").arg(i));
        const double t0 = Wall_S();
        Xlsx_Template t;
        ok = ok && t.Open(tpl);
        Xls_Mon_Sheet(t, d, QStringLiteral("Объект"));
        ok = ok && t.Save(out);
        fill.push_back(Wall_S() - t0);

        const QString plain = dir.filePath(QStringLiteral("copy_%1.xlsx").arg(i));
        const double t1 = Wall_S();
        ok = ok && QFile::copy(tpl, plain);
        copy.push_back(Wall_S() - t1);
    }
    const double passport = Median(fill), limit = Median(copy);
    std::printf("monthly passport, 31 days, template %lld bytes, %s\n", static_cast<long long>(QFile(tpl).size()),
                ok ? "written" : "NOT WRITTEN");
    std::printf("%-44s %10.4f s   (target <= 0.5): %s\n", "fill and write the monthly passport (median)", passport,
                passport <= 0.5 ? "ok" : "OVER");
    std::printf("%-44s %10.4f s\n", "limit: copying the template (median)", limit);
    std::printf("%-44s %10.1f x the limit\n", "monthly passport", passport / limit);
    return 0;
}
