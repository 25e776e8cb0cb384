// The template filler: cells and merges set on a copy of a workbook, styles kept, the
// calculation chain dropped, NaN never stored as a number; read back by unzipping the result
// and parsing its sheet.
#include "archives/Xlsx_Template.h"

#include "Xlsx_Readback.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

// A small template: a styled title, a formatted number, a merged area, a column style,
// a formula; with_merge false gives a sheet without merged areas.
bool Make_Template(const QString &path, bool with_merge)
{
    lxw_workbook *wb = workbook_new(path.toUtf8().constData());
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Лист");
    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format *num = workbook_add_format(wb);
    format_set_num_format(num, "0.00");
    lxw_format *colfmt = workbook_add_format(wb);
    format_set_italic(colfmt);
    format_set_num_format(colfmt, "0.000");
    worksheet_set_column(ws, 2, 2, 12, colfmt);   // column C
    worksheet_write_string(ws, 0, 0, "Title", bold);
    worksheet_write_number(ws, 1, 1, 5, num);
    worksheet_write_formula(ws, 4, 0, "=B2*2", nullptr);
    worksheet_write_blank(ws, 7, 27, num);         // AB8
    if (with_merge) worksheet_merge_range(ws, 0, 3, 0, 5, "M", bold);   // D1:F1
    worksheet_set_margins(ws, 0.5, 0.5, 0.5, 0.5);
    return workbook_close(wb) == LXW_NO_ERROR;
}

// Adds a calculation chain as a spreadsheet program leaves one.
bool Add_Calc_Chain(const QString &path)
{
    int err = 0;
    zip_t *za = zip_open(path.toUtf8().constData(), 0, &err);
    if (!za) return false;
    auto replace = [za](const char *name, const QByteArray &tail_old, const QByteArray &tail_new) {
        const zip_int64_t i = zip_name_locate(za, name, 0);
        if (i < 0) return false;
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), '\0');
        zip_file_t *f = zip_fopen_index(za, zip_uint64_t(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        data.replace(tail_old, tail_new);
        static QList<QByteArray> keep;   // libzip reads the data at close
        keep << data;
        zip_source_t *s = zip_source_buffer(za, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
        return zip_file_add(za, name, s, ZIP_FL_OVERWRITE) >= 0;
    };
    bool ok = replace("[Content_Types].xml", "</Types>",
                      "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
    ok = ok && replace("xl/_rels/workbook.xml.rels", "</Relationships>",
                       "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                       "relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
    static const char chain[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><c r=\"A5\" i=\"1\"/></calcChain>";
    zip_source_t *s = zip_source_buffer(za, chain, sizeof chain - 1, 0);
    ok = ok && zip_file_add(za, "xl/calcChain.xml", s, ZIP_FL_OVERWRITE) >= 0;
    return zip_close(za) == 0 && ok;
}

} // namespace

class Tst_Xlsx_Template : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    QString Tpl, Tpl_Plain;

    QString Out(const char *name) const { return Tmp.filePath(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Tpl = Out("tpl.xlsx");
        Tpl_Plain = Out("plain.xlsx");
        QVERIFY(Make_Template(Tpl, true));
        QVERIFY(Add_Calc_Chain(Tpl));
        QVERIFY(Make_Template(Tpl_Plain, false));
        QVERIFY(readback::Entries(Tpl).contains(QStringLiteral("xl/calcChain.xml")));
    }

    void cell_references()
    {
        QCOMPARE(Xlsx_Template::Cell_Ref(1, 1), QStringLiteral("A1"));
        QCOMPARE(Xlsx_Template::Cell_Ref(2, 28), QStringLiteral("AB2"));
        QCOMPARE(Xlsx_Template::Cell_Ref(41, 26), QStringLiteral("Z41"));
        QCOMPARE(Xlsx_Template::Cell_Ref(7, 703), QStringLiteral("AAA7"));
    }

    void cells_take_values_and_keep_styles()
    {
        const readback::Sheet before = readback::Read_Sheet(Tpl);
        QVERIFY(before.ok);
        const QString b2_style = before.cells.value("B2").style;
        const QString a1_style = before.cells.value("A1").style;
        QVERIFY(!b2_style.isEmpty() && !a1_style.isEmpty());
        QVERIFY(before.cells.value("A5").formula);

        Xlsx_Template t;
        QVERIFY(t.Open(Tpl));
        t.Set_Number(2, 2, 7.25);
        t.Set_Text(1, 1, QStringLiteral("Паспорт <газ> & \"кавычки\""));
        t.Set_Float(3, 3, 1.1f);                      // a new cell in the styled column C
        t.Set_Float(5, 1, 2.5f);                      // over the formula
        t.Set_Float(8, 2, 0.001f);                    // B8 before the template's AB8
        t.Set_Number(7, 4, std::nan(""));
        t.Set_Float(6, 4, std::numeric_limits<float>::infinity());
        t.Set_Number(9, 5, -std::numeric_limits<double>::infinity());
        t.Set_Text(10, 1, QStringLiteral("a\x01" "b"));   // a control character XML cannot carry
        t.Set_Number(0, 1, 1.0);                      // outside the sheet: ignored
        t.Set_Number(1, 16385, 1.0);
        QVERIFY(t.Save(Out("cells.xlsx")));

        const readback::Sheet s = readback::Read_Sheet(Out("cells.xlsx"));
        QVERIFY(s.ok);
        const readback::Cell b2 = s.cells.value("B2");
        QCOMPARE(b2.type, QString());
        QCOMPARE(b2.value.toDouble(), 7.25);
        QCOMPARE(b2.style, b2_style);
        const readback::Cell a1 = s.cells.value("A1");
        QCOMPARE(a1.type, QStringLiteral("inlineStr"));
        QCOMPARE(a1.value, QStringLiteral("Паспорт <газ> & \"кавычки\""));
        QCOMPARE(a1.style, a1_style);
        // A new cell takes its column's style; a float is written as its shortest decimal.
        const readback::Cell c3 = s.cells.value("C3");
        QCOMPARE(c3.value, QStringLiteral("1.1"));
        QVERIFY(!c3.style.isEmpty());
        const readback::Cell a5 = s.cells.value("A5");
        QVERIFY(!a5.formula);
        QCOMPARE(a5.value, QStringLiteral("2.5"));
        QCOMPARE(s.cells.value("B8").value, QStringLiteral("0.001"));
        // Never a NaN or an infinity as a number.
        for (const char *ref : {"D7", "D6", "E9"}) {
            QCOMPARE(s.cells.value(ref).type, QStringLiteral("inlineStr"));
            QCOMPARE(s.cells.value(ref).value, QStringLiteral(" NAN"));
        }
        QVERIFY(!s.xml.contains(">nan<") && !s.xml.contains(">inf<") && !s.xml.contains(">-inf<"));
        QCOMPARE(s.cells.value("A10").value, QStringLiteral("a b"));
        QVERIFY(!s.cells.contains("A0"));
        // Rows and cells stay in order: B8 comes before AB8, row 6 before row 7.
        QVERIFY(s.xml.indexOf("r=\"B8\"") < s.xml.indexOf("r=\"AB8\""));
        QVERIFY(s.xml.indexOf("<row r=\"6\"") < s.xml.indexOf("<row r=\"7\""));
        QVERIFY(s.xml.indexOf("<row r=\"9\"") < s.xml.indexOf("<row r=\"10\""));
        QCOMPARE(s.dimension, QStringLiteral("A1:AB10"));
    }

    void merges_go_in_their_place()
    {
        {
            Xlsx_Template t;
            QVERIFY(t.Open(Tpl));
            t.Set_Text(1, 6, QStringLiteral("lost"));   // F1: inside the new area, not its corner
            t.Merge(2, 7, 1, 5);                        // E1:G2 overlaps the template's D1:F1
            t.Set_Text(1, 5, QStringLiteral("kept"));
            t.Merge(4, 22, 4, 28);
            t.Merge(4, 22, 4, 28);                      // the same area again stays one
            t.Merge(3, 3, 3, 3);                        // a single cell is no area
            QVERIFY(t.Save(Out("merge.xlsx")));
            const readback::Sheet s = readback::Read_Sheet(Out("merge.xlsx"));
            QCOMPARE(s.merges, QStringList({"E1:G2", "V4:AB4"}));
            QCOMPARE(s.cells.value("E1").value, QStringLiteral("kept"));
            QCOMPARE(s.cells.value("F1").value, QString());
            QVERIFY(s.xml.contains("<mergeCells count=\"2\">"));
        }
        {
            // A sheet without merged areas gets them after the sheet data, before the margins.
            Xlsx_Template t;
            QVERIFY(t.Open(Tpl_Plain));
            t.Merge(2, 7, 2, 28);
            QVERIFY(t.Save(Out("merge2.xlsx")));
            const readback::Sheet s = readback::Read_Sheet(Out("merge2.xlsx"));
            QCOMPARE(s.merges, QStringList({"G2:AB2"}));
            const int data = int(s.children.indexOf("sheetData"));
            const int merge = int(s.children.indexOf("mergeCells"));
            const int margins = int(s.children.indexOf("pageMargins"));
            QVERIFY(data >= 0 && margins >= 0);
            QCOMPARE(merge, data + 1);
            QVERIFY(merge < margins);
        }
    }

    void calc_chain_is_dropped_the_rest_kept()
    {
        Xlsx_Template t;
        QVERIFY(t.Open(Tpl));
        t.Set_Number(2, 2, 1);
        QVERIFY(t.Save(Out("calc.xlsx")));
        const QMap<QString, QByteArray> in = readback::Entries(Tpl), out = readback::Entries(Out("calc.xlsx"));
        QVERIFY(!out.contains(QStringLiteral("xl/calcChain.xml")));
        QVERIFY(!out.value("[Content_Types].xml").contains("calcChain"));
        QVERIFY(!out.value("xl/_rels/workbook.xml.rels").contains("calcChain"));
        QVERIFY(out.value("xl/workbook.xml").contains("fullCalcOnLoad=\"1\""));
        // Styles and every other part come through unchanged.
        QCOMPARE(out.value("xl/styles.xml"), in.value("xl/styles.xml"));
        QCOMPARE(out.value("docProps/app.xml"), in.value("docProps/app.xml"));
        QCOMPARE(out.size(), in.size() - 1);
        // The package is a whole zip that opens again.
        Xlsx_Template again;
        QVERIFY(again.Open(Out("calc.xlsx")));
    }

    void bad_files_are_refused()
    {
        Xlsx_Template t;
        QVERIFY(!t.Open(Out("missing.xlsx")));
        QVERIFY(!t.Error().isEmpty());
        QVERIFY(!t.Save(Out("never.xlsx")));
        QVERIFY(!QFile::exists(Out("never.xlsx")));
        QFile f(Out("text.xlsx"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a workbook at all");
        f.close();
        QVERIFY(!t.Open(Out("text.xlsx")));
        QVERIFY(!t.Is_Open());
        // A zip that is no workbook.
        int err = 0;
        zip_t *za = zip_open(Out("nowb.xlsx").toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        QVERIFY(za);
        zip_file_add(za, "hello.txt", zip_source_buffer(za, "hi", 2, 0), 0);
        QCOMPARE(zip_close(za), 0);
        QVERIFY(!t.Open(Out("nowb.xlsx")));
        // A save that cannot be written leaves nothing behind.
        QVERIFY(t.Open(Tpl));
        QVERIFY(!t.Save(Out("no/such/dir/x.xlsx")));
        QVERIFY(!t.Error().isEmpty());
        QVERIFY(!QFile::exists(Out("no/such/dir/x.xlsx")));
    }

};

QTEST_GUILESS_MAIN(Tst_Xlsx_Template)
#include "tst_xlsx_template.moc"
