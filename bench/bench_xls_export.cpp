// Spreadsheet export figures: the measurement viewer's grid of 20,000 records and 20
// parameters (22 columns) turned into the export sheet and written as a workbook: time to
// build the sheet, time to write it, and the memory the sheet holds while it is written.
// Run it from a release build: the sanitizers slow every figure several times.
// Prints each figure with its target and a verdict; the exit code is 0 whatever the verdicts.
#include "archives/Xls_Export.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/Crc16.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
double Wall_S()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Bytes the sheet holds: its cells and their texts (counted, so the figure is the same
// under the sanitizers' allocator).
size_t Sheet_Bytes(const Xls_Sheet &s)
{
    size_t n = s.cells.capacity() * sizeof(Xls_Cell);
    for (const Xls_Cell &c : s.cells) n += size_t(c.text.capacity()) * sizeof(QChar) + (c.text.isEmpty() ? 0 : 24);
    return n;
}

void Verdict(const char *what, double value, const char *unit, double target)
{
    std::printf("%-44s %10.2f %-3s (target <= %g): %s\n", what, value, unit, target,
                value <= target ? "ok" : "OVER");
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kRecs = 20000, kPars = 20;
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, "MSA", 3);
    h.par_count = kPars;
    h.rec_count = kRecs;
    for (int i = 0; i < kPars; ++i) {
        h.pars[i].symbol[0] = char('A' + i);
        h.pars[i].decimals = 3;
    }
    QByteArray recs(qsizetype(kRecs) * qsizetype(sizeof(Chr_Meas_Rec)), '\0');
    for (int k = 0; k < kRecs; ++k) {
        Chr_Meas_Rec r;
        std::memset(&r, 0, sizeof r);
        r.dt = Date6{26, 4, uint8_t(1 + k / 1440 % 28), uint8_t(k / 60 % 24), uint8_t(k % 60), 0};
        for (int i = 0; i < kPars; ++i) {
            const float v = float(k % 1000) / 7.0f + float(i);
            std::memcpy(r.values + 4 * i, &v, 4);
        }
        Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
        std::memcpy(recs.data() + qsizetype(k) * qsizetype(sizeof r), &r, sizeof r);
    }
    Meas_Chr_Model model(h, recs);
    const Meas_Summary &sum = model.Summary();

    double t0 = Wall_S();
    const Xls_Sheet sheet =
        Build_Xls_Sheet(Xls_Viewer::Meas, Xls_Grid_Of(QStringLiteral("bench"), h, model, sum.avg.data()));
    const double build = Wall_S() - t0;
    const double held_mb = double(Sheet_Bytes(sheet)) / 1048576.0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    t0 = Wall_S();
    const Xls_Write w = Write_Xls(path, sheet);
    const double write = Wall_S() - t0;

    std::printf("%d records x %d columns, %zu cells, workbook %lld bytes, %s\n", kRecs, kPars + 2,
                sheet.cells.size(), static_cast<long long>(QFileInfo(path).size()),
                w == Xls_Write::Ok ? "written" : "NOT WRITTEN");
    Verdict("build the export sheet", build, "s", 3.0);
    Verdict("write the workbook", write, "s", 5.0);
    Verdict("memory held by the sheet", held_mb, "MB", 200.0);
    return 0;
}
