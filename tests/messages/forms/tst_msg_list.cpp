// Both message lists from the menu to the list and back from a file, against the simulated
// controller: what reaches the controller, the wait form and Esc, the list (caption, rows,
// CRC note), the saved file's bytes and its replacement, the reopened file, the print button.
#include "archives/Arhiv_File.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Wait_Form.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Iniaud_Form.h"
#include "messages/forms/Msg_Menu.h"
#include "messages/forms/Period.h"
#include "messages/forms/Ques_prn.h"
#include "messages/forms/Readindex.h"

#include "FakePort.h"
#include "Menu_Run.h"
#include "Msg_Support.h"
#include "Sim.h"
#include "SimArchive.h"
#include "SimMessages.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

TFormWait *Find_Wait()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TFormWait *>(w); f && f->isVisible()) return f;
    return nullptr;
}

struct Shown_List {
    QString caption, note;
    QList<QStringList> cells;   // columns 0..7 of every row
    int current = -1;
    uint8_t mode = 9;
};

Shown_List Look(TFormMsg_List &f, uint8_t mode)
{
    Shown_List s;
    s.caption = f.windowTitle();
    QAbstractItemModel *m = f.StringGrid1->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c) row << m->index(r, c).data().toString();
        s.cells << row;
    }
    s.current = f.StringGrid1->currentIndex().row();
    s.note = f.Panel9->text();
    s.mode = mode;
    return s;
}

// The list dialog of either kind, with its mode.
TFormMsg_List *As_List(QDialog &d, uint8_t *mode)
{
    if (auto *a = qobject_cast<TFormAla *>(&d)) return *mode = a->Mode(), a;
    if (auto *a = qobject_cast<TFormAud *>(&d)) return *mode = a->Mode(), a;
    return nullptr;
}

Msg_Texts Decode(int kind, const QByteArray &rec)
{
    if (kind == 0) {
        Ala_Rec r;
        std::memcpy(&r, rec.constData(), sizeof r);
        return Decode_Ala_Record(r, 0);
    }
    Aud_Rec r;
    std::memcpy(&r, rec.constData(), sizeof r);
    return Decode_Aud_Record(r);
}

const char *const kExt[2] = {"ala", "aud"};
const char *const kInd[2] = {"NAlaInd", "NAudInd"};
const char *const kPer[2] = {"NAlaPer", "NAudPer"};

} // namespace

class Tst_Msg_List : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<Sim_Archive> arh;
    std::unique_ptr<Sim_Messages> msg;
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;
    int requests = 0;
    bool wait_seen = true, main_disabled = true;
    std::function<void()> on_request;

    QList<QByteArray> Frames(int func) const
    {
        QList<QByteArray> out;
        for (const Sim_Request_Log &l : sim.Log())
            if (l.func == func) out << l.raw;
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("ALAFILES")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("AUDFILES")));
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        main->show();
        Set_Ques_Handler(&ques);
        Exch_Box->Adr = 1;
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Clk = &clk;
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Repeat = 1;
        Exch_Box->Sock = port.Borrow();
        Connected = true;
        arh = std::make_unique<Sim_Archive>(sim);
        arh->Install();
        msg = std::make_unique<Sim_Messages>(sim, *arh);
        msg->Generate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), 200, 120, 1000, 600);
        msg->Install();
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            const QByteArray req = Find_Request(w);
            const int func = req.size() > 3 ? uint8_t(req.at(3)) : 0;
            if (func == 7 || func == 8) {
                ++requests;
                wait_seen = wait_seen && Find_Wait();
                main_disabled = main_disabled && !main->isEnabled();
                if (on_request) on_request();
            }
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        std::memset(Tab_Field(40, 0), 1, 6);   // a MAC: no extra table read after the messages

        // The operator list is plugged in before the commands: they come up on with it.
        Install_Aud_Viewer(main.get());
        QVERIFY(!main->Item(QStringLiteral("NAudInd"))->isEnabled());
        Install_Message_Commands(main.get());
        for (const char *n : {"NAlaInd", "NAlaPer", "NAudInd", "NAudPer"})
            QVERIFY2(main->Item(QLatin1String(n))->isEnabled(), n);
    }

    void init()
    {
        requests = 0;
        wait_seen = main_disabled = true;
        on_request = {};
        ques.asked.clear();
        ques.answer = 0;
        sim.Clear_Log();
        sim.Clear_Faults();
        msg->Clear_Faults();
    }

    void by_index_saved_and_reopened_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("row_size");
        QTest::addColumn<QString>("caption");
        QTest::newRow("diagnostic") << 0 << 300 << QStringLiteral("Диагностические сообщения");
        QTest::newRow("operator") << 1 << 205 << QStringLiteral("Сообщения о вмешательствах оператора");
    }
    void by_index_saved_and_reopened()
    {
        QFETCH(int, kind);
        QFETCH(int, row_size);
        QFETCH(QString, caption);
        const QString ext = QLatin1String(kExt[kind]);
        msg->Spoil_Crc(kind, 12);
        Shown_List shown;
        QString saved, proposed;
        uint32_t oldest = 0, newest = 0;
        const int dialogs = Run_Item(main.get(), kInd[kind], [&](QDialog &d) {
            uint8_t mode = 9;
            if (auto *f = qobject_cast<TFormIndex *>(&d)) {
                oldest = f->Oldest;
                newest = f->Newest;
                f->Choice_Btn[4]->click();
                f->Start_Edit->setText(QStringLiteral("1010"));
                f->Count_Edit->setText(QStringLiteral("25"));
                f->Btn_Accept->click();
            } else if (TFormMsg_List *l = As_List(d, &mode)) {
                QVERIFY(main->isEnabled());   // the wait form is gone before the list shows
                QVERIFY(!Find_Wait());
                shown = Look(*l, mode);
                l->BitBtn2->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                proposed = fd->selectedFiles().value(0);
                saved = dir.path() + QStringLiteral("/%1/list").arg(ext.toUpper() + QStringLiteral("FILES"));
                fd->selectFile(saved);
                d.accept();
            } else {
                QFAIL("unexpected dialog");
            }
        });
        QCOMPARE(dialogs, 3);
        QCOMPARE(oldest, 1000u);
        QCOMPARE(newest, kind ? 1119u : 1199u);
        QCOMPARE(requests, 3);
        for (const QByteArray &f : Frames(7)) QCOMPARE(int(uint8_t(f.at(5))), kind);
        QVERIFY(wait_seen && main_disabled);
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);

        QCOMPARE(shown.mode, uint8_t(0));
        QCOMPARE(shown.caption, caption + QStringLiteral(" с индексами от 1010 до 1034"));
        QCOMPARE(shown.cells.size(), 25);
        QCOMPARE(shown.current, 24);
        QCOMPARE(shown.note, QStringLiteral("  ***  Данные в записи недостоверны (не совпадает КС)"));
        QCOMPARE(shown.cells[2].mid(1), (QStringList{QStringLiteral("   ***"), {}, {}, {}, {}, {}, {}}));
        const Msg_Texts t = Decode(kind, msg->Record(kind, 10));
        QCOMPARE(shown.cells[0], (QStringList{{}, t[0], t[1], t[2], t[3], t[4], t[5], t[6]}));
        QVERIFY2(proposed.endsWith(QLatin1Char('.') + ext), qPrintable(proposed));
        QCOMPARE(QFileInfo(QFileInfo(proposed).path()).fileName(), ext.toUpper() + QStringLiteral("FILES"));

        // The header, then a text row for each record; the extension added to a bare name.
        QFile f(saved + QLatin1Char('.') + ext);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QCOMPARE(bytes.size(), 905 + 25 * row_size);
        QCOMPARE(bytes.left(3), ext.toUpper().toLatin1());
        QCOMPARE(int(uint8_t(bytes.at(44))), 1);
        QCOMPARE(int(uint8_t(bytes.at(45))), 16);
        uint32_t count;
        std::memcpy(&count, bytes.constData() + 891, 4);
        QCOMPARE(count, 25u);
        QCOMPARE(bytes.mid(879, 6), msg->Record(kind, 10).left(6));
        QCOMPARE(bytes.mid(885, 6), msg->Record(kind, 34).left(6));
        QByteArray raw;
        for (int i = 10; i < 35; ++i) raw += msg->Record(kind, i);
        Arhiv_Header fh;
        std::memcpy(&fh, bytes.constData(), sizeof fh);
        QCOMPARE(bytes.mid(905), kind ? Decode_Aud_Records(fh, raw) : Decode_Ala_Records(fh, raw));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QStringLiteral("Данные сохранены в файле list.%1.").arg(ext));

        // Reopened as the open-from-file command does, then saved over itself ("Да").
        const Arh_File_Data fd = Read_Arhiv_File(f.fileName(), kind ? Arh_File_Kind::Aud : Arh_File_Kind::Ala);
        QCOMPARE(fd.status, Arh_Read::Ok);
        Shown_List again;
        Scripted_Dialogs run([&](QDialog &d) {
            uint8_t mode = 9;
            if (TFormMsg_List *l = As_List(d, &mode)) {
                again = Look(*l, mode);
                l->BitBtn2->click();
            } else if (auto *fd2 = qobject_cast<QFileDialog *>(&d)) {
                fd2->selectFile(f.fileName());
                d.accept();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        ques.asked.clear();
        ques.answer = 1;
        kind ? Show_Aud_File(main.get(), fd.header, fd.records) : Show_Ala_File(main.get(), fd.header, fd.records);
        Set_Dialog_Runner(old);
        QCOMPARE(again.mode, uint8_t(2));
        QCOMPARE(again.cells, shown.cells);
        QVERIFY(again.note.isEmpty());   // no CRC note for rows of a file
        QCOMPARE(again.caption, caption + QStringLiteral(" за период с %1 по %2")
                                              .arg(Msg_Date_Text(fh.period_start), Msg_Date_Text(fh.period_end)));
        QCOMPARE(ques.asked.value(0).line1, QStringLiteral("Файл list.%1 уже есть.").arg(ext));
        QVERIFY(ques.asked[0].yes_no);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    void by_period_with_esc_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("rows");   // three blocks taken
        QTest::newRow("diagnostic") << 0 << 33;
        QTest::newRow("operator") << 1 << 30;
    }
    void by_period_with_esc()
    {
        QFETCH(int, kind);
        QFETCH(int, rows);
        msg->Set_Endless(true);
        on_request = [this] {
            if (requests == 3) QTest::keyClick(Find_Wait(), Qt::Key_Escape);
        };
        Shown_List shown;
        const QDateTime from = msg->Date_Of(kind, 0), to = msg->Date_Of(kind, 99);
        const int dialogs = Run_Item(main.get(), kPer[kind], [&](QDialog &d) {
            uint8_t mode = 9;
            if (auto *f = qobject_cast<TFormPeriod *>(&d)) {
                f->Ok = 1;
                f->Start = D6(from);
                f->End = D6(to);
                d.accept();
            } else if (TFormMsg_List *l = As_List(d, &mode)) {
                shown = Look(*l, mode);
            }
        });
        msg->Set_Endless(false);
        QCOMPARE(dialogs, 2);
        QCOMPARE(requests, 3);   // the third block was still taken
        for (const QByteArray &f : Frames(8)) QCOMPARE(int(uint8_t(f.at(5))), kind);
        QCOMPARE(shown.mode, uint8_t(1));
        QCOMPARE(shown.cells.size(), rows);
        QVERIFY(shown.caption.endsWith(
            QStringLiteral("за период с %1 по %2").arg(Msg_Date_Text(D6(from)), Msg_Date_Text(D6(to)))));
        QVERIFY(!Exch_Abort);
        QVERIFY(!Exch_Run);
        QVERIFY(main->isEnabled());
        QVERIFY(ques.asked.isEmpty());
    }

    void failed_read_or_left_dialog_shows_no_list()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8));
        const QDateTime from = msg->Date_Of(0, 0), to = msg->Date_Of(0, 9);
        int dialogs = Run_Item(main.get(), "NAlaPer", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPeriod *>(&d);
            QVERIFY(f);
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line2, QStringLiteral("не прочитаны"));
        QVERIFY(main->TimerMessage.isActive());
        QVERIFY(main->isEnabled());

        // The index dialog left: nothing asked of the message log.
        sim.Clear_Log();
        dialogs = Run_Item(main.get(), "NAudInd", [](QDialog &d) { static_cast<TFormIndex &>(d).Btn_Exit->click(); });
        QCOMPARE(dialogs, 1);
        QVERIFY(Frames(7).isEmpty());
    }

    void rows_of_a_short_file()
    {
        // The header claims more rows than the file holds: the missing rows are empty.
        Arhiv_Header h{};
        h.rec_count = 3;
        Msg_Texts t;
        t[0] = QStringLiteral("  01.02.26");
        TFormAla f(main.get(), h, MSG_MODE_FILE, Make_Msg_Row(ALA_SLOTS, t));
        const Shown_List s = Look(f, f.Mode());
        QCOMPARE(s.cells.size(), 3);
        QCOMPARE(s.cells[0][1], t[0]);
        QVERIFY(s.cells[2][1].isEmpty());
        // Raw records fewer than the header counts, a cut one at the end: only whole ones.
        h.rec_count = 9;
        TFormAud g(main.get(), h, MSG_MODE_INDEX, msg->Record(1, 0) + QByteArray(10, '\x55'), 40);
        QCOMPARE(g.StringGrid1->model()->rowCount(), 1);
    }

    void columns_and_height_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("texts");   // the widest of each column
        QTest::newRow("diagnostic") << 0
            << QStringList{"  01.02.26", "  12:00:00", "Значение стало ниже нижней АУ", "Теплота сгорания высшая",
                           "-12345.678", "-12345.678", "кВт*ч/м3"};
        QTest::newRow("operator") << 1
            << QStringList{"    01.02.26", "    12:00:00", "Месяц перехода на летнее время", "Переход запрещен",
                           "Переход запрещен", "°C/(кгс/см2)", "Иван"};
    }
    // Titles and texts whole, the last column's too, on a screen 1024 wide; the grid grows no
    // taller than its rows; the last column makes room for the scroll bar only while needed.
    void columns_and_height()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, texts);
        Arhiv_Header h{};
        h.rec_count = 6;
        Msg_Texts t;
        std::copy(texts.begin(), texts.end(), t.begin());
        const QByteArray rows = Make_Msg_Row(kind ? AUD_SLOTS : ALA_SLOTS, t).repeated(6);
        std::unique_ptr<TFormMsg_List> f;
        if (kind) f = std::make_unique<TFormAud>(nullptr, h, MSG_MODE_FILE, rows);
        else f = std::make_unique<TFormAla>(nullptr, h, MSG_MODE_FILE, rows);
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        QTableView *g = f->StringGrid1;
        QScrollBar *bar = g->verticalScrollBar();
        QFont bold = g->horizontalHeader()->font();   // titles over a selected row are bold
        bold.setBold(true);
        const int pad = 2 * g->style()->pixelMetric(QStyle::PM_HeaderMargin);
        const auto fits = [&] {
            int sum = 0;
            for (int c = 0; c <= MSG_COLS; ++c) sum += g->columnWidth(c);
            QVERIFY(sum <= g->viewport()->width());
            for (int c = 1; c <= MSG_COLS; ++c) {
                const QString &text = texts[c - 1];
                QVERIFY2(g->fontMetrics().horizontalAdvance(text) + pad <= g->columnWidth(c), qPrintable(text));
                for (const QString &s : g->model()->headerData(c, Qt::Horizontal).toString().split(u'\n'))
                    QVERIFY2(QFontMetrics(bold).horizontalAdvance(s) + pad <= g->columnWidth(c), qPrintable(s));
            }
        };
        fits();
        QVERIFY(f->frameGeometry().width() <= 1024);
        QCOMPARE(bar->maximum(), 0);
        const int wide = g->columnWidth(MSG_COLS), all_rows = g->height();

        f->resize(f->width(), f->height() + 150);
        QTRY_VERIFY(g->y() + g->height() < f->Panel9->y() - 100);
        QCOMPARE(g->height(), all_rows);

        f->resize(f->width(), f->height() - 150 - 3 * g->rowHeight(0));
        QTRY_COMPARE(g->columnWidth(MSG_COLS), wide - bar->sizeHint().width());
        fits();

        f->resize(f->width(), f->height() + 300);
        QTRY_COMPARE(g->columnWidth(MSG_COLS), wide);
        QCOMPARE(g->height(), all_rows);
    }

    void print_button_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("diagnostic") << 0;
        QTest::newRow("operator") << 1;
    }
    void print_button()
    {
        QFETCH(int, kind);
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up here: nothing is printed by tests");
        Arhiv_Header h{};
        h.contr_type = 16;
        h.rec_count = 3;
        const QByteArray recs = msg->Record(kind, 0) + msg->Record(kind, 1) + msg->Record(kind, 2);
        std::unique_ptr<TFormMsg_List> f;
        if (kind)
            f = std::make_unique<TFormAud>(main.get(), h, MSG_MODE_INDEX, recs, 7);
        else
            f = std::make_unique<TFormAla>(main.get(), h, MSG_MODE_INDEX, recs, 7);
        const QString pdf = dir.filePath(QStringLiteral("list%1.pdf").arg(kind));
        int kind_seen = -1;
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) {
                kind_seen = q->Report_Kind;
                q->BitBtn1->click();
            } else if (auto *p = qobject_cast<QPrintDialog *>(&d)) {
                p->printer()->setOutputFormat(QPrinter::PdfFormat);
                p->printer()->setOutputFileName(pdf);
                p->done(QDialog::Accepted);   // accept() would take the dialog's own settings back
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f->BitBtn3->click();
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 2);
        QCOMPARE(kind_seen, kind ? 4 : 3);
        QVERIFY(ques.asked.isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        Connected = false;
        msg.reset();
        arh.reset();
        main.reset();
    }
};

QTEST_MAIN(Tst_Msg_List)
#include "tst_msg_list.moc"
