// The diagnostic messages from the menu to the list and back from a file: the commands of the
// main window (by index and by period) against the simulated controller, the index dialog,
// the wait form and Esc, the list form (caption, rows, CRC note, current row), the save as
// ".ala" (the file's bytes), the reopened file in the same list, and the printed list.
#include "archives/Arhiv_File.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Wait_Form.h"
#include "messages/Iniala.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Msg_Menu.h"
#include "messages/forms/Period.h"
#include "messages/forms/Ques_prn.h"
#include "messages/forms/Readindex.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"
#include "SimMessages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include "Menu_Run.h"
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

Date6 D6(const QDateTime &t)
{
    return Date6{uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                 uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
}

TFormWait *Find_Wait()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TFormWait *>(w); f && f->isVisible()) return f;
    return nullptr;
}

// What a list showed while it was up.
struct Shown_List {
    QString caption;
    int rows = 0;
    QList<QStringList> cells;   // columns 0..7 of every row
    int current = -1;
    QString note;
    bool exit_focused = false;
    bool print_enabled = false;
    uint8_t mode = 9;
};

Shown_List Look(TFormAla &f)
{
    Shown_List s;
    s.caption = f.windowTitle();
    QAbstractItemModel *m = f.StringGrid1->model();
    s.rows = m->rowCount();
    for (int r = 0; r < s.rows; ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c) row << m->index(r, c).data().toString();
        s.cells << row;
    }
    s.current = f.StringGrid1->currentIndex().row();
    s.note = f.Panel9->text();
    s.exit_focused = f.focusWidget() == f.BitBtn1;
    s.print_enabled = f.BitBtn3->isEnabled();
    s.mode = f.Mode();
    return s;
}

} // namespace

class Tst_Ala_List : public QObject {
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

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }

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
        msg->Generate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), 200, 50, 1000, 600);
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
        // A MAC in the image: no extra table read after the messages.
        std::memset(Tab_Field(40, 0), 1, 6);

        Install_Message_Commands(main.get());
    }

    void init()
    {
        requests = 0;
        wait_seen = main_disabled = true;
        on_request = {};
        ques.asked.clear();
        sim.Clear_Log();
        sim.Clear_Faults();
        msg->Clear_Faults();
    }

    void commands_of_the_menu()
    {
        for (const char *n : {"NAlaInd", "NAlaPer"}) {
            QVERIFY2(main->Item(QLatin1String(n))->isEnabled(), n);
            QCOMPARE(main->Item(QLatin1String(n))->data().toInt(), 0);
        }
        // No list of the operator-intervention messages yet: their commands stay off.
        for (const char *n : {"NAudInd", "NAudPer"}) QVERIFY2(!main->Item(QLatin1String(n))->isEnabled(), n);
        QVERIFY(Has_Message_Viewer(Msg_Kind::Ala));
        QVERIFY(!Has_Message_Viewer(Msg_Kind::Aud));

        // An item with another tag does nothing.
        QAction other;
        other.setData(5);
        Scripted_Dialogs run([](QDialog &) {});
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        NArhIndClick(main.get(), &other);
        NArhPerClick(main.get(), &other);
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 0);
        QVERIFY(sim.Log().isEmpty());
    }

    void by_index_to_the_list_and_saved()
    {
        msg->Spoil_Crc(0, 12);
        Shown_List shown;
        QString saved;
        int index_dialogs = 0;
        uint32_t oldest = 0, newest = 0;
        const int dialogs = Run("NAlaInd", [&](QDialog &d) {
            if (auto *f = qobject_cast<TFormIndex *>(&d)) {
                ++index_dialogs;
                oldest = f->Oldest;
                newest = f->Newest;
                QCOMPARE(int(f->Kind), 0);
                f->Choice_Btn[4]->click();
                f->Start_Edit->setText(QStringLiteral("1010"));
                f->Count_Edit->setText(QStringLiteral("25"));
                f->Btn_Accept->click();
            } else if (auto *f = qobject_cast<TFormAla *>(&d)) {
                QVERIFY(main->isEnabled());   // the wait form is gone before the list shows
                QVERIFY(!Find_Wait());
                shown = Look(*f);
                f->BitBtn2->click();
                f->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                saved = dir.path() + QStringLiteral("/ALAFILES/list");
                fd->selectFile(saved);
                d.accept();
            } else {
                QFAIL("unexpected dialog");
            }
        });
        QCOMPARE(dialogs, 3);
        QCOMPARE(index_dialogs, 1);
        QCOMPARE(oldest, 1000u);
        QCOMPARE(newest, 1199u);
        QCOMPARE(requests, 3);   // 11, 11, 3
        QVERIFY(wait_seen && main_disabled);
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);

        QCOMPARE(shown.mode, uint8_t(0));
        QCOMPARE(shown.caption, QStringLiteral("Диагностические сообщения с индексами от 1010 до 1034"));
        QCOMPARE(shown.rows, 25);
        QCOMPARE(shown.current, 24);   // the last row
        QVERIFY(shown.exit_focused);
        QVERIFY(shown.print_enabled);
        QCOMPARE(shown.note, QStringLiteral("  ***  Данные в записи недостоверны (не совпадает КС)"));
        // Record 12 of the log (row 2) failed its check.
        QCOMPARE(shown.cells[2][1], QStringLiteral("   ***"));
        for (int c = 2; c < 8; ++c) QVERIFY(shown.cells[2][c].isEmpty());
        // The others as decoded, column 0 the empty margin.
        Arhiv_Header h{};
        for (int r = 0; r < 25; ++r) {
            if (r == 2) continue;
            Ala_Rec rec;
            std::memcpy(&rec, msg->Record(0, 10 + r).constData(), sizeof rec);
            const Msg_Texts t = Decode_Ala_Record(rec, h.wmt_type);
            QCOMPARE(shown.cells[r][0], QString());
            for (int c = 0; c < 7; ++c) QCOMPARE(shown.cells[r][c + 1], t[size_t(c)]);
        }

        // The file: the header, then 25 rows of 300 bytes; ".ala" added to a bare name.
        QFile f(saved + QStringLiteral(".ala"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 905 + 25 * 300);
        QCOMPARE(bytes.left(3), QByteArray("ALA"));
        QCOMPARE(int(uint8_t(bytes.at(44))), 1);    // controller address
        QCOMPARE(int(uint8_t(bytes.at(45))), 16);   // model
        uint32_t count;
        std::memcpy(&count, bytes.constData() + 891, 4);
        QCOMPARE(count, 25u);
        // Period: the dates of the first and last record read.
        QCOMPARE(bytes.mid(879, 6), msg->Record(0, 10).left(6));
        QCOMPARE(bytes.mid(885, 6), msg->Record(0, 34).left(6));
        QByteArray raw;
        for (int i = 10; i < 35; ++i) raw += msg->Record(0, i);
        Arhiv_Header fh;
        std::memcpy(&fh, bytes.constData(), sizeof fh);
        QCOMPARE(bytes.mid(905), Decode_Ala_Records(fh, raw));
        QCOMPARE(bytes.mid(905 + 2 * 300, 300), QByteArray("   ***") + QByteArray(294, '\0'));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QStringLiteral("Данные сохранены в файле list.ala."));

        // Reopened as the open-from-file command does: the same texts in the same list.
        const Arh_File_Data fd = Read_Arhiv_File(f.fileName(), Arh_File_Kind::Ala);
        QCOMPARE(fd.status, Arh_Read::Ok);
        Shown_List again;
        Scripted_Dialogs run([&](QDialog &d) {
            auto *l = qobject_cast<TFormAla *>(&d);
            QVERIFY(l);
            again = Look(*l);
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        Show_Ala_File(main.get(), fd.header, fd.records);
        Set_Dialog_Runner(old);
        QCOMPARE(again.mode, uint8_t(2));
        QCOMPARE(again.rows, 25);
        QCOMPARE(again.cells, shown.cells);
        QCOMPARE(again.current, 24);
        QVERIFY(again.note.isEmpty());   // no CRC note for rows of a file
        QCOMPARE(again.caption, QStringLiteral("Диагностические сообщения за период с %1 по %2")
                                    .arg(Msg_Date_Text(fh.period_start), Msg_Date_Text(fh.period_end)));
    }

    void index_dialog_left()
    {
        const int dialogs = Run("NAlaInd", [&](QDialog &d) {
            auto *f = qobject_cast<TFormIndex *>(&d);
            QVERIFY(f);
            f->Btn_Exit->click();
        });
        QCOMPARE(dialogs, 1);
        QVERIFY(Frames(7).isEmpty());
        QCOMPARE(Frames(1).size(), 1);   // table 10 only
    }

    void by_period_with_esc_on_the_wait_form()
    {
        msg->Set_Endless(true);
        on_request = [this] {
            if (requests == 3) QTest::keyClick(Find_Wait(), Qt::Key_Escape);
        };
        Shown_List shown;
        const QDateTime from = msg->Date_Of(0, 0), to = msg->Date_Of(0, 199);
        const int dialogs = Run("NAlaPer", [&](QDialog &d) {
            if (auto *f = qobject_cast<TFormPeriod *>(&d)) {
                f->Ok = 1;
                f->Start = D6(from);
                f->End = D6(to);
                d.accept();
            } else if (auto *f = qobject_cast<TFormAla *>(&d)) {
                shown = Look(*f);
            }
        });
        QCOMPARE(dialogs, 2);
        QCOMPARE(requests, 3);   // the third block was still taken
        QCOMPARE(shown.mode, uint8_t(1));
        QCOMPARE(shown.rows, 33);
        QCOMPARE(shown.caption, QStringLiteral("Диагностические сообщения за период с %1 по %2")
                                    .arg(Msg_Date_Text(D6(from)), Msg_Date_Text(D6(to))));
        QVERIFY(!Exch_Abort);
        QVERIFY(!Exch_Run);
        QVERIFY(main->isEnabled());
        QVERIFY(ques.asked.isEmpty());
    }

    void failed_read_shows_no_list()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8));
        const QDateTime from = msg->Date_Of(0, 0), to = msg->Date_Of(0, 9);
        const int dialogs = Run("NAlaPer", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPeriod *>(&d);
            QVERIFY(f);
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QStringLiteral("Диагностические сообщения"));
        QCOMPARE(ques.asked[0].line2, QStringLiteral("не прочитаны"));
        QVERIFY(main->TimerMessage.isActive());
        QVERIFY(main->isEnabled());
    }

    void list_of_a_short_file()
    {
        // A file whose header claims more rows than it holds: the missing rows are empty.
        Arhiv_Header h{};
        std::memcpy(h.magic, "ALA", 3);
        h.rec_count = 3;
        Msg_Texts t;
        t[0] = QStringLiteral("  01.02.26");
        t[2] = QStringLiteral("Реинициализация");
        const QByteArray rows = Make_Msg_Row(ALA_SLOTS, t);
        TFormAla f(main.get(), h, MSG_MODE_FILE, rows);
        const Shown_List s = Look(f);
        QCOMPARE(s.rows, 3);
        QCOMPARE(s.cells[0][1], QStringLiteral("  01.02.26"));
        QCOMPARE(s.cells[0][3], QStringLiteral("Реинициализация"));
        QVERIFY(s.cells[2][1].isEmpty());

        // An empty list opens too.
        h.rec_count = 0;
        TFormAla e(main.get(), h, MSG_MODE_FILE, QByteArray());
        QCOMPARE(e.StringGrid1->model()->rowCount(), 0);
    }

    void print_with_a_heading()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up here: nothing is printed by tests");
        Arhiv_Header h{};
        std::memcpy(h.magic, "ALA", 3);
        std::memcpy(h.contr_name, "KS-7", 4);
        h.contr_type = 16;
        h.rec_count = 3;
        QByteArray recs;
        const QDateTime t0(QDate(2026, 3, 5), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < 3; ++i) recs += Sim_Messages::Make_Ala(t0.addSecs(60 * i), uint8_t(2 + i), 0, 0);
        TFormAla f(main.get(), h, MSG_MODE_INDEX, recs, 7);
        QVERIFY(f.BitBtn3->isEnabled());

        // The heading dialog left: nothing printed, nothing said.
        {
            Scripted_Dialogs run([](QDialog &d) {
                auto *q = qobject_cast<TFormQues_Prn *>(&d);
                QVERIFY(q);
                q->BitBtn2->click();
            });
            Dialog_Runner *old = Set_Dialog_Runner(&run);
            f.BitBtn3->click();
            Set_Dialog_Runner(old);
            QCOMPARE(run.Count, 1);
            QVERIFY(ques.asked.isEmpty());
        }
        // Accepted: no printer is set up, so the print dialog offers a PDF file.
        const QString pdf = dir.path() + QStringLiteral("/list.pdf");
        int kind_seen = -1;
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) {
                kind_seen = q->Report_Kind;
                q->Edit1->setText(QStringLiteral("ООО Газ"));
                q->BitBtn1->click();
            } else if (auto *p = qobject_cast<QPrintDialog *>(&d)) {
                p->printer()->setOutputFormat(QPrinter::PdfFormat);
                p->printer()->setOutputFileName(pdf);
                p->done(QDialog::Accepted);   // accept() would take the dialog's own settings back
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtn3->click();
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 2);
        QCOMPARE(kind_seen, 3);
        QVERIFY2(ques.asked.isEmpty(), qPrintable(ques.asked.value(0).line1 + QLatin1Char('|') + ques.asked.value(0).line2));
        QVERIFY(QFileInfo(pdf).size() > 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!text.waitForStarted(10000)) QSKIP("pdftotext is not installed");
        QVERIFY(text.waitForFinished(60000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("Перечень диагностических сообщений")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("Снято напряжение питания")));
        QVERIFY(out.contains(QStringLiteral("Реинициализация")));
        QVERIFY(out.contains(QStringLiteral("ООО Газ")));
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

QTEST_MAIN(Tst_Ala_List)
#include "tst_ala_list.moc"
