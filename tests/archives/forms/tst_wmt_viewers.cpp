// The moisture-meter viewers: grid texts and CRC notices as shown, the fixed width, save with
// the extension rule and the replace question, print through the heading dialog and the
// preview, the printed list as a PDF read back with pdftotext, and the plugging into readers.
#include "Arh_Builders.h"
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhmeas_Wmt_Form.h"
#include "archives/forms/Prnthdm_Wmt_Form.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "messages/Ques_prn.h"
#include "messages/forms/Ques_prn.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
Arhiv_Header header(const char *magic, uint8_t type, uint32_t count)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, magic, 3);
    h.device = 1;
    std::memcpy(h.contr_name, " \xD3\xE7\xE5\xEB 9 ", 8);   // "Узел 9", 1251
    h.contr_adr = 12;
    h.contr_type = 16;
    h.chrom_code = 8;
    h.wmt_type = type;
    h.rec_count = count;
    h.made = Date6{26, 5, 7, 8, 9, 10};
    h.period_start = Date6{26, 5, 1, 6, 30, 45};
    h.period_end = Date6{26, 5, 2, 18, 15, 59};
    return h;
}

Wmt_Meas_Rec meas(int k, uint8_t status)
{
    Wmt_Meas_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 5, uint8_t(1 + k / 1440), uint8_t(k / 60 % 24), uint8_t(k % 60), 7};
    r.status = status;
    for (int i = 0; i < 4; ++i) {
        const float v = float(k) + 0.25f * float(i + 1);
        std::memcpy(r.values + 4 * i, &v, 4);
    }
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

Wmt_HD_Rec hd(int k, uint8_t end_hour)
{
    Wmt_HD_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date[0] = 26;
    r.date[1] = 5;
    r.date[2] = uint8_t(1 + k);
    r.end_time[0] = end_hour;
    r.end_time[1] = 59;
    r.end_time[2] = 59;
    const float v = 2.5f;
    std::memcpy(r.values, &v, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

template <class R> void append(QByteArray &b, const R &r) { b += Arh_Bytes(r); }

// n momentary records; record 1 damaged, record 2 without link.
QByteArray meas_list(int n)
{
    QByteArray b;
    for (int k = 0; k < n; ++k) {
        Wmt_Meas_Rec r = meas(k, k == 2 ? 0x04 : 0);
        if (k == 1) r.crc ^= 0x0100;
        append(b, r);
    }
    return b;
}

QString pdf_text(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Words in order with any spacing between them.
bool has(const QString &text, const QString &words)
{
    QString re;
    for (const QString &w : words.split(u' ', Qt::SkipEmptyParts))
        re += (re.isEmpty() ? QString() : QStringLiteral("\\s+")) + QRegularExpression::escape(w);
    return text.contains(QRegularExpression(re));
}

} // namespace

class Tst_Wmt_Viewers : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Arh_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path() + u'/');
        for (const char *d : {"MOMDATA", "HOURDATA", "DAYDATA"}) QVERIFY(QDir(Tmp.path()).mkpath(d));
        QVERIFY(QDir().mkpath(Ini_Dir()));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void init()
    {
        Ques.asked.clear();
        Ques.answers.clear();
    }
    void cleanup() { Set_Dialog_Runner(nullptr); }

    // What the form decides: headings fit their columns, the width stays fixed, the rows
    // follow the records read rather than the header's count.
    void momentary_grid()
    {
        TFormArhMeas_Wmt f(nullptr, header("MSA", 2, 50), meas_list(3));
        QCOMPARE(f.Grid_Model()->rowCount(), 3);
        const QFontMetrics fm(f.StringGrid1->horizontalHeader()->font());
        QVERIFY(f.StringGrid1->columnWidth(7) > fm.horizontalAdvance("Прив. Т т.росы"));
        f.show();
        const int w = f.width();
        QCOMPARE(w, f.Fixed_Width());
        f.resize(w + 200, f.height() + 50);
        QCOMPARE(f.width(), w);
    }

    // Every text of the grid whole in its column, the daily end time's "*" included.
    void cells_fit_their_columns()
    {
        QByteArray day;
        for (int k = 0; k < 3; ++k) append(day, hd(k, 10));
        TFormArhMeas_Wmt m(nullptr, header("MSA", 2, 3), meas_list(3));
        TFormArhivHD_Wmt d(nullptr, header("DAY", 2, 3), day, WMT_KIND_DAY);
        for (TFormArh_Wmt *f : {static_cast<TFormArh_Wmt *>(&m), static_cast<TFormArh_Wmt *>(&d)}) {
            const QFontMetrics fm(f->StringGrid1->font());
            const QAbstractItemModel *model = f->Grid_Model();
            for (int r = 0; r < model->rowCount(); ++r)
                for (int c = 0; c < model->columnCount(); ++c) {
                    const QString s = model->index(r, c).data().toString();
                    QVERIFY2(fm.horizontalAdvance(s) + 8 <= f->StringGrid1->columnWidth(c), qPrintable(s));
                }
        }
        QCOMPARE(d.Grid_Model()->index(0, 2).data().toString(), QString("   10:59:59*"));
    }

    // Every row in sight when the screen has room for them, whole rows when it has not, for
    // each of the three kinds: sized by the rows as the grid draws them.
    void rows_in_sight_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("records");
        for (int n : {20, 24, 400}) {
            QTest::addRow("momentary %d", n) << int(WMT_KIND_MOM) << n;
            QTest::addRow("hourly %d", n) << int(WMT_KIND_HOUR) << n;
            QTest::addRow("daily %d", n) << int(WMT_KIND_DAY) << n;
        }
    }
    void rows_in_sight()
    {
        QFETCH(int, kind);
        QFETCH(int, records);
        std::unique_ptr<TFormArh_Wmt> f;
        if (kind == WMT_KIND_MOM) {
            f = std::make_unique<TFormArhMeas_Wmt>(nullptr, header("MSA", 2, uint32_t(records)), meas_list(records));
        } else {
            QByteArray b;
            for (int k = 0; k < records; ++k) append(b, hd(k, 10));
            f = std::make_unique<TFormArhivHD_Wmt>(nullptr, header(kind == WMT_KIND_HOUR ? "HOU" : "DAY", 2,
                                                                   uint32_t(records)),
                                                   b, uint8_t(kind));
        }
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        const QRect avail = f->screen()->availableGeometry();
        QVERIFY(f->height() <= avail.height() - 60);
        const QHeaderView *rows = f->StringGrid1->verticalHeader();
        const int view_h = f->StringGrid1->viewport()->height();
        const int row_h = f->StringGrid1->rowHeight(0);
        if (records == 400) {
            QCOMPARE(view_h % row_h, 0);
            // No room left below for one more whole row.
            QVERIFY(f->height() + row_h > avail.height() - 60);
        } else {
            QCOMPARE(view_h, rows->length());
        }
    }

    void tall_list_fits_screen()
    {
        TFormArhMeas_Wmt f(nullptr, header("MSA", 1, 3000), meas_list(3000));
        const QRect avail = f.screen()->availableGeometry();
        QVERIFY(f.height() <= avail.height() - 60);
        QCOMPARE(f.Grid_Model()->index(2999, 1).data().toString(), QString("  01:59:07"));
    }

    void save_by_kind()
    {
        struct Case {
            uint8_t kind;
            const char *magic, *dir, *ext;
        };
        const QString stamp = QDate::currentDate().toString("yyMMdd");
        for (const Case c : {Case{WMT_KIND_MOM, "MSA", "MOMDATA", ".mwm"}, Case{WMT_KIND_HOUR, "HOU", "HOURDATA", ".hwm"},
                             Case{WMT_KIND_DAY, "DAY", "DAYDATA", ".dwm"}}) {
            const QString dir = Tmp.path() + '/' + c.dir;
            QByteArray recs;
            if (c.kind == WMT_KIND_MOM) recs = meas_list(4);
            else for (int k = 0; k < 4; ++k) append(recs, hd(k, 0x17));
            const Arhiv_Header h = header(c.magic, 2, 4);
            QStringList proposed, filters, dirs;
            Scripted_Dialogs runner([&](QDialog &d) {
                if (auto *v = qobject_cast<TFormArh_Wmt *>(&d)) {
                    v->BitBtn2->click();
                    v->BitBtn1->click();
                } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                    proposed << QFileInfo(fd->selectedFiles().value(0)).fileName();
                    dirs << QFileInfo(fd->selectedFiles().value(0)).absolutePath();
                    filters << fd->nameFilters().value(0);
                    fd->selectFile(dir + "/saved");   // typed without extension
                    d.accept();
                }
            });
            Set_Dialog_Runner(&runner);
            if (c.kind == WMT_KIND_MOM) Show_Wmt_Meas(nullptr, h, recs);
            else if (c.kind == WMT_KIND_HOUR) Show_Wmt_Hour(nullptr, h, recs);
            else Show_Wmt_Day(nullptr, h, recs);
            Set_Dialog_Runner(nullptr);
            QCOMPARE(filters.value(0), QString("DataFiles (*%1)").arg(c.ext));
            QCOMPARE(proposed.value(0), QString("qzt16_012_%1%2").arg(stamp, c.ext));
            QCOMPARE(QDir(dirs.value(0)), QDir(dir));
            const QString path = dir + "/saved" + c.ext;
            QCOMPARE(Arh_Read_Raw(path), Arh_Bytes(h) + recs);   // the damaged record kept
        }
    }

    void print_through_heading_and_preview()
    {
        int pages = -1, kind = -1, previews = 0;
        bool cancel = false;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArh_Wmt *>(&d)) {
                v->BitBtn3->click();
                v->BitBtn1->click();
            } else if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) {
                kind = q->Report_Kind;
                q->Edit1->setText(QStringLiteral("ООО Влага"));
                (cancel ? q->BitBtn2 : q->BitBtn1)->click();
            } else if (qobject_cast<QPrintPreviewDialog *>(&d)) {
                ++previews;
                auto *w = d.findChild<QPrintPreviewWidget *>();
                QVERIFY(w);
                w->updatePreview();
                pages = w->pageCount();
                d.reject();
            }
        });
        Set_Dialog_Runner(&runner);
        Show_Wmt_Meas(nullptr, header("MSA", 2, 53), meas_list(53));
        QCOMPARE(kind, int(WMT_KIND_MOM));
        QCOMPARE(previews, 1);
        QCOMPARE(pages, 2);
        QVERIFY(Ques.asked.isEmpty());

        QByteArray recs;
        for (int k = 0; k < 52; ++k) append(recs, hd(k % 28, 0x17));
        Show_Wmt_Hour(nullptr, header("HOU", 2, 52), recs);
        QCOMPARE(kind, int(WMT_KIND_HOUR));
        QCOMPARE(pages, 1);
        Show_Wmt_Day(nullptr, header("DAY", 2, 52), recs);
        QCOMPARE(kind, int(WMT_KIND_DAY));
        QCOMPARE(previews, 3);

        // The heading dialog cancelled: no report.
        cancel = true;
        Show_Wmt_Day(nullptr, header("DAY", 2, 52), recs);
        QCOMPARE(previews, 3);
        QVERIFY(Ques.asked.isEmpty());
    }

    void print_failure_reported()
    {
        // A grid of another kind cannot be built into a moisture report.
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) q->BitBtn1->click();
        });
        Set_Dialog_Runner(&runner);
        Wmt_Model m(header("MSA", 2, 1), meas_list(1), WMT_KIND_MOM);
        QCOMPARE(Print_Wmt_List(nullptr, 3, header("MSA", 2, 1), m), Rep_Print_Result::Failed);
        QCOMPARE(Ques.Lines(), QStringList{"Ошибка печати данных|"});
    }

    void printed_list_as_pdf()
    {
        const Arhiv_Header h = header("MSA", 2, 53);
        Wmt_Model m(h, meas_list(53), WMT_KIND_MOM);
        char heading[REP_HEADING_SIZE] = {};
        Heading_From_Text(QStringLiteral("ООО Влага"), heading);
        TFormPrnHDM_Wmt f;
        QVERIFY(!f.Prepare_Report(WMT_KIND_MOM));   // nothing given yet
        f.Header = &h;
        f.Grid = &m;
        f.Heading = heading;
        QVERIFY(f.Prepare_Report(WMT_KIND_MOM));
        QCOMPARE(f.Page_Count(), 2u);

        const QString pdf = Tmp.filePath(QStringLiteral("wmt.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(Rep_Render(f.Report, &printer));
        QCOMPARE(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(25, 10, 22, 10));

        const QStringList pages = pdf_text(pdf).split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        const QString &p1 = pages[0], &p2 = pages[1];
        for (const QString &s : {QStringLiteral("ООО Влага"), QStringLiteral("Мгновенные данные влагомера"),
                                 QStringLiteral("Данные недостов."), QStringLiteral("Нет связи")})
            QVERIFY2(has(p1, s), qPrintable(s + " not in:\n" + p1));
        QVERIFY(p1.contains(QRegularExpression(QStringLiteral("Лист\\s+1\\s+из 2"))));
        QVERIFY(p1.contains(QRegularExpression(QStringLiteral("^\\s+Узел 9\\s*$"), QRegularExpression::MultilineOption)));
        // Columns in order on the row of the first record; 52 rows on the first page.
        QVERIFY(p1.contains(QRegularExpression(QStringLiteral("01\\.05\\.26\\s+00:00:07\\s+Норма\\s+Норма\\s+0\\.250\\s+0\\.500\\s+0\\.750\\s+1\\.00"))));
        QCOMPARE(p1.count(QRegularExpression(QStringLiteral("00:\\d\\d:07"))), 51);   // and the damaged one
        QVERIFY(has(p1, QStringLiteral("00:51:07")));
        // The second page: its own table heading and the one row left.
        QVERIFY(!has(p2, QStringLiteral("Мгновенные данные влагомера")));
        QVERIFY(has(p2, QStringLiteral("Признаки")));
        QVERIFY(has(p2, QStringLiteral("Давление")));
        QCOMPARE(p2.count(QRegularExpression(QStringLiteral("00:\\d\\d:07"))), 1);
        QVERIFY(has(p2, QStringLiteral("00:52:07")));
        QVERIFY(p2.contains(QRegularExpression(QStringLiteral("Лист\\s+2\\s+из 2"))));
        QVERIFY(has(p2, QStringLiteral("Узел 9")));
    }

    void plugged_into_readers()
    {
        auto main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        for (Arh_Reader r : {Arh_Reader::Wmt_Meas, Arh_Reader::Wmt_Hour, Arh_Reader::Wmt_Day})
            Set_Archive_Viewer(r, {});
        Install_Wmt_Viewers(main.get());
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Wmt_Meas));
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Wmt_Hour));
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Wmt_Day));
        for (Arh_Reader r : {Arh_Reader::Wmt_Meas, Arh_Reader::Wmt_Hour, Arh_Reader::Wmt_Day})
            Set_Archive_Viewer(r, {});
    }
};

QTEST_MAIN(Tst_Wmt_Viewers)
#include "tst_wmt_viewers.moc"
