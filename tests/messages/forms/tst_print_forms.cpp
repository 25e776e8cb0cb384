// The print heading dialog and the printed message lists: what the dialog keeps in "title.ini"
// and leaves alone; reports drawn into PDF files and read back with pdftotext (pages, columns,
// texts cut at their cell); every printed text measured against its cell; the print dialog when
// no printer is set up; failures; the preview.
#include "archives/Prnthdm_Wmt.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Dialogs.h"
#include "messages/Ques_prn.h"
#include "messages/forms/Prnarhiv.h"
#include "messages/forms/Ques_prn.h"

#include "Msg_Support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace {

Arhiv_Header header()
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, "ALA", 3);
    std::memcpy(h.contr_name, "\xD3\xE7\xE5\xEB 7     ", 11);   // "Узел 7" and blanks, 1251
    h.contr_adr = 3;
    h.contr_type = 16;
    h.made = Date6{26, 4, 20, 10, 11, 12};
    h.period_start = Date6{26, 4, 1, 0, 0, 0};
    h.period_end = Date6{26, 4, 19, 23, 59, 59};
    return h;
}

QList<QStringList> rows(int n)
{
    QList<QStringList> r;
    for (int i = 0; i < n; ++i)
        r << QStringList{QStringLiteral("%1.04.26").arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
                         QStringLiteral("12:00:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
                         QStringLiteral("Событие%1").arg(i), QStringLiteral("Объект%1").arg(i),
                         QStringLiteral("1.5"), QStringLiteral("2.5"), QStringLiteral("кПа")};
    return r;
}

QByteArray file_bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

ino_t inode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// pdftotext -layout of a file, pages separated by form feeds.
QString pdf_text(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// pdftotext puts its own spacing between words: a run of blanks matches any run.
bool has(const QString &text, const QString &words)
{
    QString re;
    for (const QString &w : words.split(u' ', Qt::SkipEmptyParts))
        re += (re.isEmpty() ? QString() : QStringLiteral("\\s+")) + QRegularExpression::escape(w);
    return text.contains(QRegularExpression(re));
}

using Make_Report = std::function<Rep_Report(const Arhiv_Header &, const char *)>;

// Rows as wide as the viewers write them.
QList<QStringList> wmt_rows(int n)
{
    QList<QStringList> r;
    for (int i = 0; i < n; ++i)
        r << QStringList{QStringLiteral("  30.04.26"), QStringLiteral("  23:59:59"), QStringLiteral("   23:59:59*"),
                         QStringLiteral(" Нет связи"), QStringLiteral("  -123.456"), QStringLiteral("  -123.456"),
                         QStringLiteral("  0x010A"), QStringLiteral("  -123.456")};
    return r;
}

// Heading dialog answered: name typed (null: left as shown), then "Печатать", "Отменить", Esc,
// or Enter in the name box, where the dialog opens with the focus.
enum Answer { Print, Cancel, Esc, Enter };
void answer_heading(QDialog &d, const QString *name, Answer a)
{
    auto *q = qobject_cast<TFormQues_Prn *>(&d);
    QVERIFY(q);
    if (name) q->Edit1->setText(*name);
    if (a == Enter) {
        QCOMPARE(q->focusWidget(), static_cast<QWidget *>(q->Edit1));
        QTest::keyClick(q->Edit1, Qt::Key_Return);
    } else if (a == Esc) {
        QTest::keyClick(&d, Qt::Key_Escape);
    } else {
        (a == Print ? q->BitBtn1 : q->BitBtn2)->click();
    }
}

// Runs the heading dialog so answered; returns its Ok and leaves its heading in `heading`.
int run_heading(const QString *name, Answer a, QString *shown = nullptr, QByteArray *heading = nullptr)
{
    const Arhiv_Header h = header();
    TFormQues_Prn q;
    q.Header = &h;
    Scripted_Dialogs run([&](QDialog &d) {
        if (shown) *shown = q.Edit1->text();
        answer_heading(d, name, a);
    });
    Set_Dialog_Runner(&run);
    Run_Dialog(q);
    if (heading) *heading = QByteArray(q.Heading, REP_HEADING_SIZE);
    return q.Ok;
}

QString render(const Rep_Report &r, const QString &pdf, QMarginsF *margins = nullptr)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    if (!Rep_Render(r, &printer)) return QStringLiteral("<not rendered>");
    if (margins) *margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    return pdf_text(pdf);
}

// The progress windows seen while something runs: each label text once, in order.
struct Progress_Seen : QObject {
    QStringList labels;
    QString title;
    bool eventFilter(QObject *o, QEvent *) override
    {
        auto *d = qobject_cast<QProgressDialog *>(o);
        if (!d || !d->isVisible()) return false;
        title = d->windowTitle();
        if (labels.isEmpty() || labels.last() != d->labelText()) labels << d->labelText();
        return false;
    }
};

bool progress_left_open()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog *>(w) && w->isVisible()) return true;
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Make_Report)

class tst_Print_Forms : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void headingKeptInFile();
    void headingLeftAlone();

    void pdfOfOneRow_data();
    void pdfOfOneRow();
    void pdfTwoPagesAndCutTexts();
    void noPrinterFallsBackToDialog();
    void pdfReplacedAfterTheProgramsQuestion();
    void printFailureReported();
    void pdfPrintsTheSheetsAsked();
    void printMessageListFromModel();
    void preview();
    void progressWhilePagesAreDrawn_data();
    void progressWhilePagesAreDrawn();
    void everyTextFitsItsCell_data();
    void everyTextFitsItsCell();

private:
    QTemporaryDir *Tmp = nullptr;
    Ques_Log Ques;
    Ques_Handler *Old_Ques = nullptr;
};

void tst_Print_Forms::init()
{
    Tmp = new QTemporaryDir;
    QVERIFY(Tmp->isValid());
    Set_Work_Dir(Tmp->path() + u'/');
    QVERIFY(QDir().mkpath(Ini_Dir()));
    Ques.asked.clear();
    Old_Ques = Set_Ques_Handler(&Ques);
}

void tst_Print_Forms::cleanup()
{
    Set_Dialog_Runner(nullptr);
    Set_Ques_Handler(Old_Ques);
    delete Tmp;
    Tmp = nullptr;
}

void tst_Print_Forms::headingKeptInFile()
{
    const QString path = Title_Ini_Path();
    const QString name = QStringLiteral("АО Газпром");
    QString shown = QStringLiteral("<none>");
    QByteArray heading;
    QCOMPARE(run_heading(&name, Print, &shown, &heading), 1);
    QCOMPARE(shown, QString());
    const QByteArray want = QByteArray("\xC0\xCE \xC3\xE0\xE7\xEF\xF0\xEE\xEC") + QByteArray(30, '\0');
    QCOMPARE(file_bytes(path), want);
    QCOMPARE(heading, want + QByteArray(1, '\0'));

    // Shown again; the same name is not written again (the same file, not a new one).
    const ino_t before = inode(path);
    QVERIFY(before != 0);
    QCOMPARE(run_heading(nullptr, Print, &shown), 1);
    QCOMPARE(shown, name);
    QCOMPARE(inode(path), before);

    // 40 characters (more are not taken by the box): no terminator in the file.
    const QString forty = QString(38, QChar(0x042F)) + QStringLiteral("12345");
    QCOMPARE(run_heading(&forty, Print, nullptr, &heading), 1);
    QCOMPARE(file_bytes(path), QByteArray(38, '\xDF') + "12");
    QCOMPARE(heading, QByteArray(38, '\xDF') + "12" + QByteArray(1, '\0'));
    // Emptied: forty zero bytes.
    const QString empty;
    QCOMPARE(run_heading(&empty, Print), 1);
    QCOMPARE(file_bytes(path), QByteArray(40, '\0'));
    // Enter in the name box prints as "Печатать" does.
    const QString north = QStringLiteral("North");
    QCOMPARE(run_heading(&north, Enter, nullptr, &heading), 1);
    QCOMPARE(heading, QByteArray("North") + QByteArray(36, '\0'));
    QCOMPARE(file_bytes(path), QByteArray("North") + QByteArray(35, '\0'));
    QVERIFY(Ques.asked.isEmpty());
}

void tst_Print_Forms::headingLeftAlone()
{
    // Cancelled or Esc: nothing written.
    const QString other = QStringLiteral("Другое");
    QCOMPARE(run_heading(&other, Cancel), 0);
    QCOMPARE(run_heading(&other, Esc), 0);
    QVERIFY(!QFile::exists(Title_Ini_Path()));
    // No INI directory: the heading is still used; the user is told that it is not kept.
    QVERIFY(QDir(Ini_Dir()).removeRecursively());
    QByteArray heading;
    const QString name = QStringLiteral("Name");
    QCOMPARE(run_heading(&name, Print, nullptr, &heading), 1);
    QCOMPARE(heading.left(5), QByteArray("Name\0", 5));
    QCOMPARE(Ques.Lines(), QStringList{"Ошибка записи файла|title.ini"});
    QVERIFY(!QFile::exists(Title_Ini_Path()));
}

void tst_Print_Forms::pdfOfOneRow_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("right_mm");
    QTest::newRow("diagnostic") << int(REP_KIND_ALA) << 9.0;
    QTest::newRow("operator") << int(REP_KIND_AUD) << 10.0;
}

void tst_Print_Forms::pdfOfOneRow()
{
    QFETCH(int, kind);
    QFETCH(double, right_mm);
    char heading[REP_HEADING_SIZE] = {};
    Heading_From_Text(QStringLiteral("ООО Газ"), heading);
    const Rep_Report r = Build_Arhiv_Report(uint8_t(kind), header(), heading, rows(1));
    QMarginsF margins;
    const QString t = render(r, Tmp->filePath(QStringLiteral("one.pdf")), &margins);
    QCOMPARE(margins, QMarginsF(10, 10, right_mm, 10));
    QCOMPARE(t.count(u'\f') <= 1, true);   // one page (a trailing form feed at most)
    QVERIFY2(has(t, QStringLiteral("ООО Газ")), qPrintable(t));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Лист\\s+1\\s+из 1"))));
    // The cells of a row stand in one line in column order.
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("01\\.04\\.26\\s+12:00:00\\s+Событие0\\s+Объект0\\s+1\\.5\\s+2\\.5\\s+кПа"))));
    // The page header: the trimmed name, right of anything else on its line.
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("^\\s+Узел 7\\s*$"), QRegularExpression::MultilineOption)));
}

void tst_Print_Forms::pdfTwoPagesAndCutTexts()
{
    const Arhiv_Header h = header();
    QList<QStringList> in = rows(59);
    // An event far wider than its cell is cut at the cell's edge, not wrapped.
    in[58][2] = QStringLiteral("НАЧАЛО") + QString(200, QLatin1Char('m')) + QStringLiteral("КОНЕЦ");
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, in);

    const QStringList pages = render(r, Tmp->filePath(QStringLiteral("two.pdf"))).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("Лист\\s+1\\s+из 2"))));
    QVERIFY(pages[1].contains(QRegularExpression(QStringLiteral("Лист\\s+2\\s+из 2"))));
    QVERIFY(pages[0].contains(QStringLiteral("Событие57")));
    QVERIFY(!pages[0].contains(QStringLiteral("НАЧАЛО")));
    // The second page: page header, its own table heading and the one row, no title.
    QVERIFY(pages[1].contains(QStringLiteral("Узел 7")));
    QVERIFY(pages[1].contains(QStringLiteral("Объект / Причина")));
    QVERIFY(!pages[1].contains(QStringLiteral("Перечень")));
    QVERIFY(pages[1].contains(QStringLiteral("НАЧАЛО")));
    QVERIFY(!pages[1].contains(QStringLiteral("КОНЕЦ")));
    QVERIFY(pages[1].contains(QRegularExpression(QStringLiteral("НАЧАЛОm+\\s+Объект58"))));
}

void tst_Print_Forms::noPrinterFallsBackToDialog()
{
    const Arhiv_Header h = header();
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, rows(2));
    const QString pdf = Tmp->filePath(QStringLiteral("chosen.pdf"));

    // Cancelled: nothing printed, nothing said.
    Scripted_Dialogs cancel([](QDialog &d) {
        QVERIFY(qobject_cast<QPrintDialog *>(&d));
        d.reject();
    });
    Set_Dialog_Runner(&cancel);
    QCOMPARE(Rep_Print(nullptr, r, QPrinterInfo()), Rep_Print_Result::Cancelled);
    QCOMPARE(cancel.Count, 1);

    // The user chooses a PDF file in the dialog.
    Scripted_Dialogs to_file([&](QDialog &d) {
        auto *pd = qobject_cast<QPrintDialog *>(&d);
        QVERIFY(pd);
        pd->printer()->setOutputFormat(QPrinter::PdfFormat);
        pd->printer()->setOutputFileName(pdf);
        pd->done(QDialog::Accepted);
    });
    Set_Dialog_Runner(&to_file);
    QCOMPARE(Rep_Print(nullptr, r, QPrinterInfo()), Rep_Print_Result::Printed);
    QVERIFY(pdf_text(pdf).contains(QStringLiteral("Событие1")));
    QVERIFY(Ques.asked.isEmpty());
}

// A PDF file that is there is replaced after the question every save asks, not Qt's own.
void tst_Print_Forms::pdfReplacedAfterTheProgramsQuestion()
{
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up on this machine");
    const QString pdf = Tmp->filePath(QStringLiteral("old.pdf"));
    QVERIFY(QFile(pdf).open(QIODevice::WriteOnly));
    QTimer qt_box;   // Qt's own question would hold the test in its modal loop
    connect(&qt_box, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) box->close();
    });
    qt_box.start(50);
    Ques.answer = 0;
    Scripted_Dialogs run([&](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("filename"))->setText(pdf);
        QPushButton *print = d.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        print->click();   // "Нет": the dialog stays for another name
        Ques.answer = 1;
        if (d.isVisible()) print->click();
    });
    Set_Dialog_Runner(&run);
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, header(), nullptr, rows(2));
    QCOMPARE(Rep_Print(nullptr, r, QPrinterInfo()), Rep_Print_Result::Printed);
    QCOMPARE(Ques.Lines(), QStringList(2, "Файл old.pdf уже есть.|Вы хотите заменить существующий файл?"));
    QCOMPARE(Ques.asked[0].kind, 3u);
    QVERIFY(pdf_text(pdf).contains(QStringLiteral("Событие1")));
}

// A PDF file gets the sheets of the print dialog's range in the copies the program makes (no
// printer system does), collated or not, the last first. A range past the end leaves it alone.
void tst_Print_Forms::pdfPrintsTheSheetsAsked()
{
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, header(), nullptr, rows(200));   // 4 sheets
    const QString pdf = Tmp->filePath(QStringLiteral("job.pdf"));
    const auto sheets = [&](int from, bool collate, bool last_first) {
        Scripted_Dialogs run([&](QDialog &d) {
            QPrinter *pr = qobject_cast<QPrintDialog *>(&d)->printer();
            pr->setOutputFileName(pdf);
            pr->setPrintRange(QPrinter::PageRange);
            pr->setFromTo(from, from + 1);
            pr->setCopyCount(2);
            pr->setCollateCopies(collate);
            pr->setPageOrder(last_first ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
            d.done(QDialog::Accepted);
        });
        Set_Dialog_Runner(&run);
        if (Rep_Print(nullptr, r, QPrinterInfo()) != Rep_Print_Result::Printed) return QStringLiteral("not printed");
        QStringList got;   // the sheet number on each page of the file
        const QRegularExpression sheet(QStringLiteral("Лист\\s+(\\d+)\\s+из\\s+4"));
        for (QRegularExpressionMatchIterator m = sheet.globalMatch(pdf_text(pdf)); m.hasNext();) got << m.next().captured(1);
        return got.join(u' ');
    };
    QCOMPARE(sheets(2, true, false), QStringLiteral("2 3 2 3"));
    QCOMPARE(sheets(2, false, true), QStringLiteral("3 3 2 2"));
    const QByteArray before = file_bytes(pdf);
    QCOMPARE(sheets(5, true, false), QStringLiteral("not printed"));
    QCOMPARE(file_bytes(pdf), before);
}

void tst_Print_Forms::printFailureReported()
{
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up on this machine");
    const Arhiv_Header h = header();
    const QList<QStringList> in = rows(2);
    // Heading accepted, then a PDF file in a directory that does not exist.
    const QString bad = Tmp->filePath(QStringLiteral("no/such/dir/x.pdf"));
    Scripted_Dialogs run([&](QDialog &d) {
        if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) {
            q->BitBtn1->click();
            return;
        }
        auto *pd = qobject_cast<QPrintDialog *>(&d);
        QVERIFY(pd);
        pd->printer()->setOutputFormat(QPrinter::PdfFormat);
        pd->printer()->setOutputFileName(bad);
        pd->done(QDialog::Accepted);
    });
    Set_Dialog_Runner(&run);
    QCOMPARE(Print_Message_List(nullptr, REP_KIND_ALA, h, in), Rep_Print_Result::Failed);
    QCOMPARE(run.Count, 2);
    QCOMPARE(Ques.asked.size(), 1);
    QCOMPARE(Ques.asked[0].kind, 1u);
    QCOMPARE(Ques.asked[0].line1, QStringLiteral("Ошибка печати данных"));

    // A heading dialog cancelled prints nothing and says nothing.
    Ques.asked.clear();
    Scripted_Dialogs cancel([](QDialog &d) { d.reject(); });
    Set_Dialog_Runner(&cancel);
    QCOMPARE(Print_Message_List(nullptr, REP_KIND_ALA, h, in), Rep_Print_Result::Cancelled);
    QCOMPARE(cancel.Count, 1);
    QVERIFY(Ques.asked.isEmpty());

    // A kind that is no message list is a failure, reported.
    Scripted_Dialogs ok([](QDialog &d) {
        if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) q->BitBtn1->click();
    });
    Set_Dialog_Runner(&ok);
    QCOMPARE(Print_Message_List(nullptr, REP_KIND_WMT_DAY, h, in), Rep_Print_Result::Failed);
    QCOMPARE(ok.Count, 1);
    QCOMPARE(Ques.asked.size(), 1);
}

void tst_Print_Forms::printMessageListFromModel()
{
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up on this machine");
    const Arhiv_Header h = header();
    QStandardItemModel m(2, 8);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 8; ++c) m.setItem(r, c, new QStandardItem(QStringLiteral("m%1_%2").arg(r).arg(c)));
    const QList<QStringList> got = Msg_Rows_From_Model(m);
    QCOMPARE(got.size(), 2);
    QCOMPARE(got[1].join(u','), QStringLiteral("m1_1,m1_2,m1_3,m1_4,m1_5,m1_6,m1_7"));
    QStandardItemModel narrow(1, 3);
    QCOMPARE(Msg_Rows_From_Model(narrow)[0].size(), 7);

    const QString pdf = Tmp->filePath(QStringLiteral("model.pdf"));
    const QString org = QStringLiteral("Организация");
    Scripted_Dialogs run([&](QDialog &d) {
        if (qobject_cast<TFormQues_Prn *>(&d)) {
            answer_heading(d, &org, Print);
            return;
        }
        auto *pd = qobject_cast<QPrintDialog *>(&d);
        QVERIFY(pd);
        pd->printer()->setOutputFormat(QPrinter::PdfFormat);
        pd->printer()->setOutputFileName(pdf);
        pd->done(QDialog::Accepted);
    });
    Set_Dialog_Runner(&run);
    QCOMPARE(Print_Message_List(nullptr, REP_KIND_ALA, h, m), Rep_Print_Result::Printed);
    const QString t = pdf_text(pdf);
    QVERIFY(t.contains(org));
    QVERIFY(t.contains(QStringLiteral("m0_1")));
    QVERIFY(t.contains(QStringLiteral("m1_7")));
    QVERIFY(!t.contains(QStringLiteral("m0_0")));   // the margin column is not printed
    QCOMPARE(file_bytes(Title_Ini_Path()).left(11), Unicode_To_Cp1251(org));
}

void tst_Print_Forms::preview()
{
    const Arhiv_Header h = header();
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_AUD, h, nullptr, rows(58));
    int pages = -1;
    Scripted_Dialogs run([&](QDialog &d) {
        QVERIFY(qobject_cast<QPrintPreviewDialog *>(&d));
        auto *w = d.findChild<QPrintPreviewWidget *>();
        QVERIFY(w);
        w->updatePreview();
        pages = w->pageCount();
        d.reject();
    });
    Set_Dialog_Runner(&run);
    QCOMPARE(Rep_Preview(nullptr, r), Rep_Print_Result::Printed);
    QCOMPARE(run.Count, 1);
    QCOMPARE(pages, 2);
}

void tst_Print_Forms::progressWhilePagesAreDrawn_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<Make_Report>("make");
    QTest::newRow("messages, print dialog") << false << Make_Report([](const Arhiv_Header &h, const char *hd) {
        return Build_Arhiv_Report(REP_KIND_ALA, h, hd, rows(58 + 65 + 1));
    });
    QTest::newRow("moisture meter, preview") << true << Make_Report([](const Arhiv_Header &h, const char *hd) {
        Rep_Report r;
        Build_Wmt_Report(REP_KIND_WMT_HOUR, h, hd, wmt_rows(52 + 59 + 1), r);
        return r;
    });
}

void tst_Print_Forms::progressWhilePagesAreDrawn()
{
    QFETCH(bool, preview);
    QFETCH(Make_Report, make);
    const Rep_Report r = make(header(), nullptr);
    QCOMPARE(r.page_count, 3u);
    const QString pdf = Tmp->filePath(QStringLiteral("progress.pdf"));
    Scripted_Dialogs run([&](QDialog &d) {
        if (auto *pv = qobject_cast<QPrintPreviewDialog *>(&d)) {
            // Shown first, then printed from the preview into a file.
            auto *w = d.findChild<QPrintPreviewWidget *>();
            w->updatePreview();
            pv->printer()->setOutputFormat(QPrinter::PdfFormat);
            pv->printer()->setOutputFileName(pdf);
            w->print();
        } else if (auto *pd = qobject_cast<QPrintDialog *>(&d)) {
            pd->printer()->setOutputFormat(QPrinter::PdfFormat);
            pd->printer()->setOutputFileName(pdf);
            pd->done(QDialog::Accepted);
        }
    });
    Set_Dialog_Runner(&run);
    Progress_Seen seen;
    qApp->installEventFilter(&seen);
    const Rep_Print_Result res = preview ? Rep_Preview(nullptr, r) : Rep_Print(nullptr, r, QPrinterInfo());
    qApp->removeEventFilter(&seen);
    QCOMPARE(res, Rep_Print_Result::Printed);
    QCOMPARE(pdf_text(pdf).count(u'\f'), 3);
    QCOMPARE(seen.labels, (QStringList{QStringLiteral("Лист 1 из 3"), QStringLiteral("Лист 2 из 3"),
                                       QStringLiteral("Лист 3 из 3")}));
    QCOMPARE(seen.title, QStringLiteral("Печать"));
    QVERIFY(!progress_left_open());
}

// Every text on paper whole: measured in the printed font at the printer's resolution against
// its cell (the PDF's text layer would hold a cut word whole).
void tst_Print_Forms::everyTextFitsItsCell_data()
{
    QTest::addColumn<Make_Report>("make");
    QTest::addColumn<uint8_t>("wmt_type");
    auto msg = [](uint8_t kind) {
        return Make_Report([kind](const Arhiv_Header &h, const char *heading) {
            return Build_Arhiv_Report(kind, h, heading, rows(3));
        });
    };
    auto wmt = [](uint8_t kind) {
        return Make_Report([kind](const Arhiv_Header &h, const char *heading) {
            Rep_Report r;
            Build_Wmt_Report(kind, h, heading, wmt_rows(3), r);
            return r;
        });
    };
    QTest::newRow("diagnostic") << msg(REP_KIND_ALA) << uint8_t(0);
    QTest::newRow("operator") << msg(REP_KIND_AUD) << uint8_t(0);
    QTest::newRow("moisture hourly, type 2") << wmt(WMT_KIND_HOUR) << uint8_t(2);
    QTest::newRow("moisture daily") << wmt(WMT_KIND_DAY) << uint8_t(1);
    QTest::newRow("moisture momentary") << wmt(WMT_KIND_MOM) << uint8_t(1);
}

void tst_Print_Forms::everyTextFitsItsCell()
{
    QFETCH(Make_Report, make);
    QFETCH(uint8_t, wmt_type);
    Arhiv_Header h = header();
    h.wmt_type = wmt_type;
    std::memcpy(h.contr_name, "\xD3\xE7\xE5\xEB \xE8\xE7\xEC\xE5\xF0\xE5\xED\xE8\xFF 12345", 20);
    char heading[REP_HEADING_SIZE] = {};
    Heading_From_Text(QStringLiteral("ООО \"Газпром трансгаз Екатеринбург\" ЛПУ"), heading);
    const Rep_Report r = make(h, heading);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    Rep_Setup_Page(&printer, r.page);
    const std::vector<Rep_Drawn_Text> texts = Rep_Texts(r, &printer);
    QVERIFY(texts.size() > 30);
    const qreal slack = 0.5;
    for (const Rep_Drawn_Text &t : texts) {
        const QFontMetricsF fm(t.font, &printer);
        const QString what = QStringLiteral("\"%1\" in %2").arg(t.text, QFontInfo(t.font).family());
        QVERIFY2(fm.horizontalAdvance(t.text) <= t.line.width(), qPrintable(what + " is cut at the side"));
        QCOMPARE(t.shown, t.text);
        QVERIFY2(t.line.left() >= t.clip.left() - slack && t.line.right() <= t.clip.right() + slack,
                 qPrintable(what + " leaves its band"));
        QVERIFY2(t.line.top() + fm.height() <= t.clip.bottom() + slack, qPrintable(what + " is cut at the foot"));
    }
}

QTEST_MAIN(tst_Print_Forms)
#include "tst_print_forms.moc"
