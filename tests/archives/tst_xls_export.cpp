#include "Xlsx_Readback.h"
#include "archives/Xls_Export.h"
#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
Arhiv_Header header(int n)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.line_name, "  Line 1  ", 10);
    h.contr_adr = 7;
    h.par_count = uint8_t(n);
    return h;
}

// A grid of R records: texts as a viewer shows them.
Xls_Grid grid(int lead, int params, int rows, const float *avg)
{
    Xls_Grid g;
    g.caption = "Заголовок";
    g.cols = lead + params;
    g.rows = rows;
    g.heading = [](int col, int line) { return QString("  h%1_%2 ").arg(col).arg(line); };
    g.cell = [lead](int row, int col) {
        if (col < lead) return QString(" r%1c%2").arg(row).arg(col);
        if (row == 1) return col == lead ? QString(" 0") : QString("  NAN");
        return QString(" 12.35 *");
    };
    g.decimals = [](int i) { return i == 0 ? 3 : 2; };
    g.avg = avg;
    return g;
}
} // namespace

class Tst_Xls_Export : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
    }

    void names_and_extension()
    {
        const QDate d(2026, 4, 12);
        const Arhiv_Header h = header(2);
        QCOMPARE(Xls_Default_Name(Xls_Viewer::Meas, "/x", h, d), QString("/x/qzt16-007_Line 1_260412_mom.xlsx"));
        QCOMPARE(Xls_Default_Name(Xls_Viewer::Hour, "/x", h, d), QString("/x/qzt16-007_Line 1_260412_hou.xlsx"));
        QCOMPARE(Xls_Default_Name(Xls_Viewer::Day, "/x", h, d), QString("/x/qzt16-007_Line 1_260412_day.xlsx"));
        Arhiv_Header c = h;
        std::memset(c.line_name, 0, sizeof c.line_name);
        QCOMPARE(Xls_Default_Name(Xls_Viewer::Clb, "/x", c, d), QString("/x/qzt16-007__260412_clb.xlsx"));
        std::memcpy(c.line_name, "a/b:c", 5);   // never a path of its own
        QCOMPARE(Xls_Default_Name(Xls_Viewer::Clb, "/x", c, d), QString("/x/qzt16-007_a_b_c_260412_clb.xlsx"));
        QVERIFY(Xls_Dir(Xls_Viewer::Clb).endsWith("CALIBRARHIV"));
        QCOMPARE(Xls_Apply_Ext("/x/name"), QString("/x/name.xlsx"));
        QCOMPARE(Xls_Apply_Ext("/x/name."), QString("/x/name.xlsx"));
        QCOMPARE(Xls_Apply_Ext("/x/name.txt"), QString("/x/name.txt"));
    }

    void parameter_texts_leave_the_marks()
    {
        QCOMPARE(Xls_Param_Text(" 12.35 *", 2), QString("12.35"));
        QCOMPARE(Xls_Param_Text(" 12.35 #", 2), QString("12.35"));
        QCOMPARE(Xls_Param_Text(" 5.00 \"", 2), QString("5.00"));
        QCOMPARE(Xls_Param_Text(" 1234567.891  ", 3), QString("1234567.891"));   // kept digit for digit
        QCOMPARE(Xls_Param_Text(" 1.234567890E+10  ", 2), QString("1.234567890E+10"));
        QCOMPARE(Xls_Param_Text(" 0", 3), QString("0.000"));
        QCOMPARE(Xls_Param_Text(" 0", 0), QString("0"));
        QCOMPARE(Xls_Param_Text("  NAN", 2), QString("NAN"));
        QCOMPARE(Xls_Param_Text(" inf", 2), QString("inf"));
        QCOMPARE(Xls_Param_Text(" ", 2), QString());
        QCOMPARE(Xls_Param_Text(" недостов.", 2), QString("недостов."));
    }

    // Where the grid lands: headings, records, a blank row, then the means (none for
    // calibration); one progress step a record cell.
    void sheet_layout_of_each_viewer()
    {
        const float avg[ARH_PAR_MAX] = {1.5f, 2.25f};
        int progressed = 0;
        const Xls_Sheet s = Build_Xls_Sheet(Xls_Viewer::Hour, grid(4, 2, 3, avg), [&](int) { ++progressed; });
        QCOMPARE(progressed, 3 * 6);
        const Xls_Sheet m = Build_Xls_Sheet(Xls_Viewer::Meas, grid(2, 2, 1, avg));
        const auto at = [](const Xls_Sheet &x, int row, int col) -> const Xls_Cell * {
            for (const Xls_Cell &c : x.cells)
                if (c.row == row && c.col == col) return &c;
            return nullptr;
        };
        QCOMPARE(at(m, 5, 0)->text, QString("Среднее значение"));
        // The label in the caption's face, in the "@" format like the rest of the data range.
        const Xls_Style &label = m.styles[size_t(at(m, 5, 0)->style)];
        QVERIFY(label.text_format);
        QCOMPARE(label.font, QString("Arial"));
        QVERIFY(!label.center);
        QCOMPARE(at(m, 5, 2)->text, QString("1.500"));
        const Xls_Sheet c = Build_Xls_Sheet(Xls_Viewer::Clb, grid(4, 2, 2, nullptr));
        for (const Xls_Cell &cell : c.cells) QVERIFY(cell.row < 7 && (cell.row < 5 || cell.type == Xls_Cell::Blank));
    }

    void written_workbook_reads_back()
    {
        const float avg[ARH_PAR_MAX] = {1.5f, 2.25f};
        const QString path = Tmp.filePath("hour.xlsx");
        QCOMPARE(Write_Xls(path, Build_Xls_Sheet(Xls_Viewer::Hour, grid(4, 2, 3, avg))), Xls_Write::Ok);
        const readback::Sheet r = readback::Read_Sheet(path);
        QCOMPARE(r.cells.value("B1").value, QString("Заголовок"));
        QCOMPARE(r.cells.value("A2").value, QString("h0_0"));
        QCOMPARE(r.cells.value("F3").value, QString("h5_1"));
        QCOMPARE(r.cells.value("A4").value, QString("r0c0"));
        QCOMPARE(r.cells.value("E4").value, QString("12.350"));
        QCOMPARE(r.cells.value("E4").type, QString("s"));   // every value a text
        QCOMPARE(r.cells.value("F5").value, QString("NAN"));
        QCOMPARE(r.cells.value("B8").value, QString("   Среднее значение"));
        QCOMPARE(r.cells.value("F8").value, QString("2.25"));
        QVERIFY(r.cells.contains("A7") && r.cells.value("A7").value.isEmpty());
        QVERIFY(!QFileInfo::exists(path + ".tmp"));

        // NaN and infinity given as numbers are written as texts, never as numbers.
        Xls_Sheet s;
        s.Number(0, 0, 2.5);
        s.Number(0, 1, std::numeric_limits<double>::quiet_NaN());
        s.Number(0, 2, -std::numeric_limits<double>::infinity());
        const QString p2 = Tmp.filePath("nums.xlsx");
        QCOMPARE(Write_Xls(p2, s), Xls_Write::Ok);
        const readback::Sheet n = readback::Read_Sheet(p2);
        QCOMPARE(n.cells.value("A1").type, QString());
        QCOMPARE(n.cells.value("A1").value.toDouble(), 2.5);
        QCOMPARE(n.cells.value("B1").value, QString("NAN"));
        QCOMPARE(n.cells.value("B1").type, QString("s"));
        QCOMPARE(n.cells.value("C1").value, QString("-INF"));
    }

    void failure_keeps_the_old_file()
    {
        // A directory that does not exist: nothing made.
        QCOMPARE(Write_Xls(Tmp.filePath("none/x.xlsx"), Xls_Sheet{}), Xls_Write::Open_Failed);
        // A cell the sheet cannot hold: the file already there stays as it was.
        const QString path = Tmp.filePath("keep.xlsx");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        Xls_Sheet bad;
        bad.Text(0, 0, "a");
        bad.Text(2000000, 0, "b");
        QCOMPARE(Write_Xls(path, bad), Xls_Write::Write_Failed);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QCOMPARE(QDir(Tmp.path()).entryList(QStringList{"keep*"}, QDir::Files | QDir::Hidden).size(), 1);
    }

    // Another reader of the format takes the workbook: values, text format, the shape.
    void independent_reader_reads_it()
    {
        const QString py = "/usr/bin/python3";
        if (!QFileInfo::exists(py) || QProcess::execute(py, {"-c", "import openpyxl"}) != 0)
            QSKIP("openpyxl is not installed");
        const float avg[ARH_PAR_MAX] = {1.5f, 2.25f};
        const QString path = Tmp.filePath("clb.xlsx");
        QCOMPARE(Write_Xls(path, Build_Xls_Sheet(Xls_Viewer::Clb, grid(4, 2, 2, avg))), Xls_Write::Ok);
        const char *script = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(ws['B1'].value)
print(ws['E4'].value + ' ' + ws['E4'].number_format)
print(ws.max_row)
)";
        QProcess p;
        p.start(py, {"-c", script, path});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).split('\n'), (QStringList{"Заголовок", "12.350 @", "7", ""}));
    }
};

QTEST_GUILESS_MAIN(Tst_Xls_Export)
#include "tst_xls_export.moc"
