// Spreadsheet export figures: the measurement viewer's grid of 20,000 records and 20
// parameters (22 columns) turned into the export sheet and written as a workbook: time to
// build the sheet, time to write it, the cells a second of both together, and the memory the
// sheet holds while it is written. The limit beside them, measured in the same run: the
// spreadsheet library alone writing the same cells, in the same looks, from texts prepared
// beforehand.
// Run it from a release build: the sanitizers slow every figure several times.
// Prints each figure with its target and a verdict; the exit code is 0 whatever the verdicts.
#include "Bench_Clock.h"
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
#include <string>
#include <ctime>
#include <sys/resource.h>
#include <vector>
#include <xlsxwriter.h>

namespace {
double Peak_Rss_Mb()
{
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

void Verdict(const char *what, double value, const char *unit, double target, bool at_least = false)
{
    const bool ok = at_least ? value >= target : value <= target;
    std::printf("%-44s %10.2f %-7s (target %s %g): %s\n", what, value, unit, at_least ? ">=" : "<=", target,
                ok ? "ok" : "OVER");
}

// The library alone: the same cells, rows, widths and looks from prepared texts.
double Library_Write_S(const QString &path, const Xls_Sheet &s)
{
    std::vector<std::string> texts;
    texts.reserve(s.cells.size());
    for (const Xls_Cell &c : s.cells) texts.emplace_back(c.text.data ? c.text.data : "");
    std::vector<QByteArray> fonts;
    for (const Xls_Style &st : s.styles) fonts.push_back(st.font.toUtf8());
    const QByteArray name = QFile::encodeName(path);

    const double t0 = Cpu_S();
    lxw_workbook *wb = workbook_new(name.constData());
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
    std::vector<lxw_format *> formats(s.styles.size(), nullptr);
    for (size_t i = 1; i < s.styles.size(); ++i) {
        const Xls_Style &st = s.styles[i];
        lxw_format *f = formats[i] = workbook_add_format(wb);
        format_set_font_name(f, fonts[i].constData());
        format_set_font_size(f, st.size);
        if (st.color) format_set_font_color(f, st.color);
        if (st.center) format_set_align(f, LXW_ALIGN_CENTER);
        if (st.borders & XLS_LEFT) format_set_left(f, LXW_BORDER_THIN);
        if (st.borders & XLS_RIGHT) format_set_right(f, LXW_BORDER_THIN);
        if (st.borders & XLS_TOP) format_set_top(f, LXW_BORDER_THIN);
        if (st.borders & XLS_BOTTOM) format_set_bottom(f, LXW_BORDER_THIN);
        if (st.filled) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, st.fill);
        }
        if (st.text_format) format_set_num_format(f, "@");
    }
    for (size_t c = 0; c < s.col_widths.size(); ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), s.col_widths[c], nullptr);
    for (const auto &[row, height] : s.row_heights) worksheet_set_row(ws, lxw_row_t(row), height, nullptr);
    for (size_t i = 0; i < s.cells.size(); ++i) {
        const Xls_Cell &c = s.cells[i];
        lxw_format *f = formats[size_t(c.style)];
        if (texts[i].empty()) worksheet_write_blank(ws, lxw_row_t(c.row), lxw_col_t(c.col), f);
        else worksheet_write_string(ws, lxw_row_t(c.row), lxw_col_t(c.col), texts[i].c_str(), f);
    }
    workbook_close(wb);
    return Cpu_S() - t0;
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
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    const double rss_before = Peak_Rss_Mb();

    double t0 = Wall_S(), c0 = Cpu_S();
    const Xls_Sheet sheet =
        Build_Xls_Sheet(Xls_Viewer::Meas, Xls_Grid_Of(QStringLiteral("bench"), h, model, sum.avg.data()));
    const double build = Wall_S() - t0, build_cpu = Cpu_S() - c0;
    const double held_mb = double(sheet.Bytes()) / 1048576.0;

    t0 = Wall_S();
    c0 = Cpu_S();
    const Xls_Write w = Write_Xls(path, sheet);
    const double write = Wall_S() - t0, write_cpu = Cpu_S() - c0;
    const double rss_grown = Peak_Rss_Mb() - rss_before;

    const double library = Library_Write_S(dir.filePath(QStringLiteral("library.xlsx")), sheet);
    const double cells = double(sheet.cells.size());

    std::printf("%d records x %d columns, %zu cells, workbook %lld bytes, %s\n", kRecs, kPars + 2,
                sheet.cells.size(), static_cast<long long>(QFileInfo(path).size()),
                w == Xls_Write::Ok ? "written" : "NOT WRITTEN");
    Verdict("build the export sheet (wall clock)", build, "s", 3.0);
    Verdict("write the workbook (wall clock)", write, "s", 5.0);
    std::printf("%-44s %10.2f s    build %.2f s, write %.2f s\n", "processor time", build_cpu + write_cpu, build_cpu,
                write_cpu);
    Verdict("export end to end, wall clock", cells / (build + write), "cells/s", 600000, true);
    Verdict("export end to end, processor time", cells / (build_cpu + write_cpu), "cells/s", 600000, true);
    Verdict("memory held by the sheet", held_mb, "MB", 200.0);
    std::printf("%-44s %10.2f MB\n", "peak resident growth (build and write)", rss_grown);
    std::printf("%-44s %10.2f s    (%.0f cells/s), processor time\n", "limit: the library alone, prepared texts",
                library, cells / library);
    std::printf("%-44s %10.2f x the limit (processor time)\n", "export end to end", (build_cpu + write_cpu) / library);
    return 0;
}
