// Printed message report figure: a diagnostic message list of 14,000 rows made into its
// report and drawn to a PDF file at the printer's resolution, as "Печать" does with a PDF
// printer, per report and per page. The limit beside it, measured in the same run: the same
// texts drawn at the same places on the same PDF device with one plain text call each (no
// cutting to the cell, no clipping), which is what the PDF writer itself costs.
// Run it from a release build. Prints each figure with its target and a verdict; the exit
// code is 0 whatever the verdicts.
#include "Bench_Clock.h"
#include "messages/Repklass.h"
#include "messages/forms/Prnarhiv.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
void Pdf_Printer(QPrinter &p, const QString &path, const Rep_Report &r)
{
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(path);
    Rep_Setup_Page(&p, r.page);
}

// The same texts at the same places, one plain call each.
double Plain_Draw_S(const Rep_Report &r, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    Pdf_Printer(printer, path, r);
    const double t0 = Cpu_S();
    QPainter p(&printer);
    const qreal sx = p.device()->logicalDpiX() / r.page.units_per_inch;
    const qreal sy = p.device()->logicalDpiY() / r.page.units_per_inch;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8);
    p.setFont(font);
    const qreal ascent = QFontMetricsF(font, p.device()).ascent();
    const std::vector<Rep_Sheet> sheets = Rep_Layout(r);
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) printer.newPage();
        for (const Rep_Placed &pl : sheets[i].bands)
            for (const Rep_Cell &c : pl.band->cells)
                for (qsizetype k = 0; k < c.lines.size(); ++k)
                    p.drawText(QPointF(c.left * sx, (pl.top + c.top + k * c.line_height) * sy + ascent), c.lines[k]);
    }
    p.end();
    return Cpu_S() - t0;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRows = 14000;
    QList<QStringList> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows << QStringList{QStringLiteral(" %1.04.26").arg(1 + i / 1000 % 28, 2, 10, QLatin1Char('0')),
                            QStringLiteral(" %1:%2:00").arg(i / 60 % 24, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                            i % 3 ? QStringLiteral("Превышение верхнего предела") : QStringLiteral("Отказ датчика"),
                            QStringLiteral("Метан CH4, канал %1").arg(i % 8),
                            QString::number(double(i % 997) / 7.0, 'f', 3),
                            QStringLiteral("95.000"),
                            QStringLiteral("% мол.")};
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.contr_name, "Controller", 10);
    char heading[REP_HEADING_SIZE] = "Bench";

    double t0 = Wall_S(), c0 = Cpu_S();
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, heading, rows);
    const double build = Wall_S() - t0, build_cpu = Cpu_S() - c0;
    const int pages = int(Rep_Layout(r).size());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    Pdf_Printer(printer, path, r);
    t0 = Wall_S();
    c0 = Cpu_S();
    const bool ok = Rep_Render(r, &printer);
    const double render = Wall_S() - t0, render_cpu = Cpu_S() - c0;
    const double plain = Plain_Draw_S(r, dir.filePath(QStringLiteral("plain.pdf")));

    std::printf("%d rows, %d pages, PDF %lld bytes, %s\n", kRows, pages,
                static_cast<long long>(QFileInfo(path).size()), ok ? "printed" : "NOT PRINTED");
    std::printf("%-44s %10.3f s   processor time %.3f s\n", "make the report", build, build_cpu);
    std::printf("%-44s %10.3f s   processor time %.3f s\n", "draw it to PDF", render, render_cpu);
    std::printf("%-44s %10.3f s   (target <= 3): %s\n", "report to PDF, 14,000 rows, wall clock", build + render,
                build + render <= 3.0 ? "ok" : "OVER");
    std::printf("%-44s %10.3f s   (target <= 3): %s\n", "report to PDF, 14,000 rows, processor time",
                build_cpu + render_cpu, build_cpu + render_cpu <= 3.0 ? "ok" : "OVER");
    std::printf("%-44s %10.2f ms  processor time\n", "per page", 1000.0 * (build_cpu + render_cpu) / pages);
    std::printf("%-44s %10.2f ms  processor time\n", "limit: the same texts, plain calls, per page",
                1000.0 * plain / pages);
    std::printf("%-44s %10.2f x the limit\n", "report per page", (build_cpu + render_cpu) / plain);
    return 0;
}
