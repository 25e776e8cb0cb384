// The operator-intervention messages from the menu to the list and back from a file: the
// viewer plugged into the commands of the main window, by index (index dialog, wait form)
// and by period against the simulated controller, the list form (caption, rows, CRC note,
// current row), the save as ".aud" (the file's bytes, the replace question), the reopened
// file in the same list, and the printed list read back from a PDF.
#include "archives/Arhiv_File.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Wait_Form.h"
#include "messages/Iniala.h"
#include "messages/Iniaud.h"
#include "messages/forms/Iniaud_Form.h"
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
    uint8_t answer = 0;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return q.yes_no ? answer : 0;
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
    QStringList titles;         // of columns 1..7
    int current = -1;
    QString note;
    bool exit_focused = false;
    uint8_t mode = 9;
};

Shown_List Look(TFormAud &f)
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
    for (int c = 1; c < m->columnCount(); ++c) s.titles << m->headerData(c, Qt::Horizontal).toString();
    s.current = f.StringGrid1->currentIndex().row();
    s.note = f.Panel9->text();
    s.exit_focused = f.focusWidget() == f.BitBtn1;
    s.mode = f.Mode();
    return s;
}

QByteArray Aud(const QDateTime &t, uint8_t table, uint8_t field, uint8_t unit, uint32_t o, uint32_t n,
               const QString &oper)
{
    return Sim_Messages::Make_Aud(t, table, field, unit, o, n, Unicode_To_Cp1251(oper));
}

} // namespace

class Tst_Aud_List : public QObject {
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
        msg->Generate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), 50, 120, 500, 600);
        msg->Install();
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            const QByteArray req = Find_Request(w);
            const int func = req.size() > 3 ? uint8_t(req.at(3)) : 0;
            if (func == 7 || func == 8) {
                ++requests;
                wait_seen = wait_seen && Find_Wait();
                main_disabled = main_disabled && !main->isEnabled();
            }
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        std::memset(Tab_Field(40, 0), 1, 6);
    }

    void init()
    {
        requests = 0;
        wait_seen = main_disabled = true;
        ques.asked.clear();
        ques.answer = 0;
        sim.Clear_Log();
        sim.Clear_Faults();
        msg->Clear_Faults();
    }

    void viewer_enables_the_commands()
    {
        // The viewer may be plugged in before the commands are installed...
        Install_Aud_Viewer(main.get());
        QVERIFY(Has_Message_Viewer(Msg_Kind::Aud));
        for (const char *n : {"NAudInd", "NAudPer"}) QVERIFY2(!main->Item(QLatin1String(n))->isEnabled(), n);
        Install_Message_Commands(main.get());
        for (const char *n : {"NAudInd", "NAudPer", "NAlaInd", "NAlaPer"}) {
            QVERIFY2(main->Item(QLatin1String(n))->isEnabled(), n);
        }
        QCOMPARE(main->Item(QStringLiteral("NAudInd"))->data().toInt(), 1);
        // ...or again after: nothing doubles.
        Install_Aud_Viewer(main.get());
        QVERIFY(main->Item(QStringLiteral("NAudPer"))->isEnabled());
    }

    void by_index_to_the_list_and_saved()
    {
        msg->Spoil_Crc(1, 23);
        Shown_List shown;
        QString saved, title, filter, proposed;
        uint32_t oldest = 0, newest = 0;
        int kind = -1;
        const int dialogs = Run("NAudInd", [&](QDialog &d) {
            if (auto *f = qobject_cast<TFormIndex *>(&d)) {
                oldest = f->Oldest;
                newest = f->Newest;
                kind = f->Kind;
                f->Choice_Btn[4]->click();
                f->Start_Edit->setText(QStringLiteral("520"));
                f->Count_Edit->setText(QStringLiteral("12"));
                f->Btn_Accept->click();
            } else if (auto *f = qobject_cast<TFormAud *>(&d)) {
                QVERIFY(main->isEnabled());
                QVERIFY(!Find_Wait());
                shown = Look(*f);
                f->BitBtn2->click();
                f->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                title = fd->windowTitle();
                filter = fd->nameFilters().join(QLatin1Char('|'));
                proposed = fd->selectedFiles().value(0);
                saved = dir.path() + QStringLiteral("/AUDFILES/list");
                fd->selectFile(saved);
                d.accept();
            } else {
                QFAIL("unexpected dialog");
            }
        });
        QCOMPARE(dialogs, 3);
        QCOMPARE(kind, 1);
        QCOMPARE(oldest, 500u);
        QCOMPARE(newest, 619u);
        QCOMPARE(requests, 2);   // 10 and 2 records
        for (const QByteArray &f : Frames(7)) QCOMPARE(int(uint8_t(f.at(5))), 1);   // the operator log
        QVERIFY(wait_seen && main_disabled);
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);

        QCOMPARE(shown.mode, uint8_t(0));
        QCOMPARE(shown.caption, QStringLiteral("Сообщения о вмешательствах оператора с индексами от 520 до 531"));
        QCOMPARE(shown.titles,
                 QStringList({QStringLiteral("Дата"), QStringLiteral("Время"),
                              QStringLiteral("Наименование\nизмененного параметра"), QStringLiteral("Старое\nзначение"),
                              QStringLiteral("Новое\nзначение"), QStringLiteral("Единица\nизмер."),
                              QStringLiteral("Имя\nоператора")}));
        QCOMPARE(shown.rows, 12);
        QCOMPARE(shown.current, 11);
        QVERIFY(shown.exit_focused);
        QCOMPARE(shown.note, QStringLiteral("  ***  Данные в записи недостоверны (не совпадает КС)"));
        // Record 23 of the log (row 3) failed its check.
        QCOMPARE(shown.cells[3][1], QStringLiteral("   ***"));
        for (int c = 2; c < 8; ++c) QVERIFY(shown.cells[3][c].isEmpty());
        for (int r = 0; r < 12; ++r) {
            if (r == 3) continue;
            Aud_Rec rec;
            std::memcpy(&rec, msg->Record(1, 20 + r).constData(), sizeof rec);
            const Msg_Texts t = Decode_Aud_Record(rec);
            QVERIFY(shown.cells[r][0].isEmpty());
            for (int c = 0; c < 7; ++c) QCOMPARE(shown.cells[r][c + 1], t[size_t(c)]);
            QCOMPARE(shown.cells[r][7], QStringLiteral("OPER"));
        }
        // The log's first table in this run is table 2 field 0: the year.
        QCOMPARE(shown.cells[4][3], QStringLiteral("Время, год"));

        // The save dialog as the users know it, with the name of today's file.
        QCOMPARE(title, QStringLiteral("Введите имя файла для сохранения данных"));
        QVERIFY2(filter.contains(QStringLiteral("*.aud")), qPrintable(filter));
        QVERIFY2(QFileInfo(proposed).fileName().startsWith(QStringLiteral("qzt16_001_")), qPrintable(proposed));
        QVERIFY2(proposed.endsWith(QStringLiteral(".aud")), qPrintable(proposed));
        QCOMPARE(QFileInfo(QFileInfo(proposed).path()).fileName(), QStringLiteral("AUDFILES"));

        // The file: the header, then 12 rows of 205 bytes; ".aud" added to a bare name.
        QFile f(saved + QStringLiteral(".aud"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QCOMPARE(bytes.size(), 905 + 12 * 205);
        QCOMPARE(bytes.left(3), QByteArray("AUD"));
        QCOMPARE(int(uint8_t(bytes.at(44))), 1);
        QCOMPARE(int(uint8_t(bytes.at(45))), 16);
        uint32_t count;
        std::memcpy(&count, bytes.constData() + 891, 4);
        QCOMPARE(count, 12u);
        QByteArray raw;
        for (int i = 20; i < 32; ++i) raw += msg->Record(1, i);
        Arhiv_Header fh;
        std::memcpy(&fh, bytes.constData(), sizeof fh);
        QCOMPARE(bytes.mid(905), Decode_Aud_Records(fh, raw));
        QCOMPARE(bytes.mid(905 + 3 * 205, 205), QByteArray("   ***") + QByteArray(199, '\0'));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QStringLiteral("Данные сохранены в файле list.aud."));

        // Reopened as the open-from-file command does: the same texts in the same list.
        const Arh_File_Data fd = Read_Arhiv_File(f.fileName(), Arh_File_Kind::Aud);
        QCOMPARE(fd.status, Arh_Read::Ok);
        Shown_List again;
        QString resaved_title;
        {
            Scripted_Dialogs run([&](QDialog &d) {
                if (auto *l = qobject_cast<TFormAud *>(&d)) {
                    again = Look(*l);
                    l->BitBtn2->click();   // saved again over the same file
                } else if (auto *fd2 = qobject_cast<QFileDialog *>(&d)) {
                    resaved_title = fd2->windowTitle();
                    fd2->selectFile(f.fileName());
                    d.accept();
                }
            });
            Dialog_Runner *old = Set_Dialog_Runner(&run);
            ques.asked.clear();
            ques.answer = 1;
            Show_Aud_File(main.get(), fd.header, fd.records);
            Set_Dialog_Runner(old);
        }
        QCOMPARE(again.mode, uint8_t(2));
        QCOMPARE(again.rows, 12);
        QCOMPARE(again.cells, shown.cells);
        QCOMPARE(again.current, 11);
        QVERIFY(again.note.isEmpty());
        QCOMPARE(again.caption, QStringLiteral("Сообщения о вмешательствах оператора за период с %1 по %2")
                                    .arg(Msg_Date_Text(fh.period_start), Msg_Date_Text(fh.period_end)));
        // The replace question, answered "Да": the same bytes again.
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(ques.asked[0].line1, QStringLiteral("Файл list.aud уже есть."));
        QCOMPARE(ques.asked[0].line2, QStringLiteral("Вы хотите заменить существующий файл?"));
        QVERIFY(ques.asked[0].yes_no);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    void by_period()
    {
        Shown_List shown;
        const QDateTime from = msg->Date_Of(1, 100), to = msg->Date_Of(1, 119);
        const int dialogs = Run("NAudPer", [&](QDialog &d) {
            if (auto *f = qobject_cast<TFormPeriod *>(&d)) {
                f->Ok = 1;
                f->Start = D6(from);
                f->End = D6(to);
                d.accept();
            } else if (auto *f = qobject_cast<TFormAud *>(&d)) {
                shown = Look(*f);
            }
        });
        QCOMPARE(dialogs, 2);
        QVERIFY(requests >= 2);
        for (const QByteArray &f : Frames(8)) QCOMPARE(int(uint8_t(f.at(5))), 1);
        QCOMPARE(shown.mode, uint8_t(1));
        QCOMPARE(shown.rows, 20);
        QCOMPARE(shown.caption, QStringLiteral("Сообщения о вмешательствах оператора за период с %1 по %2")
                                    .arg(Msg_Date_Text(D6(from)), Msg_Date_Text(D6(to))));
        QVERIFY(shown.note.isEmpty());
        for (int r = 0; r < 20; ++r) {
            Aud_Rec rec;
            std::memcpy(&rec, msg->Record(1, 100 + r).constData(), sizeof rec);
            QCOMPARE(shown.cells[r][3], Decode_Aud_Record(rec)[2]);
        }
        QVERIFY(!Exch_Run);
        QVERIFY(main->isEnabled());
        QVERIFY(ques.asked.isEmpty());
    }

    void bad_rows_of_a_file()
    {
        // A file whose header claims more rows than it holds: the missing rows are empty;
        // a slot without its zero byte ends at the slot's end.
        Arhiv_Header h{};
        std::memcpy(h.magic, "AUD", 3);
        h.rec_count = 3;
        QByteArray rows(205, '\0');
        rows.replace(0, 20, QByteArray(20, '7'));
        rows.replace(200, 5, QByteArray("ABCDE"));
        TFormAud f(main.get(), h, MSG_MODE_FILE, rows);
        const Shown_List s = Look(f);
        QCOMPARE(s.rows, 3);
        QCOMPARE(s.cells[0][1], QString(20, QLatin1Char('7')));
        QCOMPARE(s.cells[0][7], QStringLiteral("ABCDE"));
        QVERIFY(s.cells[2][1].isEmpty());
        QVERIFY(s.note.isEmpty());

        // Raw records fewer than the header counts: only those are listed.
        h.rec_count = 9;
        const QDateTime t0(QDate(2026, 3, 5), QTime(8, 0), Qt::UTC);
        const QByteArray recs = Aud(t0, 3, 0, 0, 1, 2, QStringLiteral("Иван")) + QByteArray(10, '\x55');
        TFormAud g(main.get(), h, MSG_MODE_INDEX, recs, 40);
        QCOMPARE(g.StringGrid1->model()->rowCount(), 1);
        QCOMPARE(g.windowTitle(), QStringLiteral("Сообщения о вмешательствах оператора с индексами от 40 до 40"));
        QCOMPARE(g.StringGrid1->model()->index(0, 7).data().toString(), QStringLiteral("Иван"));

        // Nothing at all.
        h.rec_count = 0;
        TFormAud e(main.get(), h, MSG_MODE_FILE, QByteArray());
        QCOMPARE(e.StringGrid1->model()->rowCount(), 0);
    }

    void print_to_pdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is set up here: nothing is printed by tests");
        Arhiv_Header h{};
        std::memcpy(h.magic, "AUD", 3);
        std::memcpy(h.contr_name, "KS-7", 4);
        h.contr_type = 16;
        h.rec_count = 3;
        const QDateTime t0(QDate(2026, 3, 5), QTime(8, 0), Qt::UTC);
        QByteArray recs = Aud(t0, 3, 1, 0, 11, 20, QStringLiteral("Иван"));
        recs += Aud(t0.addSecs(60), 6, 7, 0, 0, 1, QStringLiteral("Петр"));
        recs += Aud(t0.addSecs(120), 29, 0, 0, 0xC0A80001u, 0x0A000002u, QStringLiteral("Adm "));
        TFormAud f(main.get(), h, MSG_MODE_INDEX, recs, 7);

        const QString pdf = dir.path() + QStringLiteral("/aud.pdf");
        int kind_seen = -1;
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *q = qobject_cast<TFormQues_Prn *>(&d)) {
                kind_seen = q->Report_Kind;
                q->Edit1->setText(QStringLiteral("ООО Газ"));
                q->BitBtn1->click();
            } else if (auto *p = qobject_cast<QPrintDialog *>(&d)) {
                p->printer()->setOutputFormat(QPrinter::PdfFormat);
                p->printer()->setOutputFileName(pdf);
                p->done(QDialog::Accepted);
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtn3->click();
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 2);
        QCOMPARE(kind_seen, 4);
        QVERIFY2(ques.asked.isEmpty(), qPrintable(ques.asked.value(0).line1));
        QVERIFY(QFileInfo(pdf).size() > 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!text.waitForStarted(10000)) QSKIP("pdftotext is not installed");
        QVERIFY(text.waitForFinished(60000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        for (const char *want : {"ООО Газ", "Скорость обмена с ВУ", "9600", "115200", "бит/с", "Иван",
                                 "Наличие подключенного хроматографа", "Есть", "Петр",
                                 "Параметры Ethernet: Ip адрес", "192.168.0.1", "10.0.0.2", "Adm"})
            QVERIFY2(out.contains(QString::fromUtf8(want)), want);
        QVERIFY(out.contains(QStringLiteral("Перечень сообщений о вмешательствах оператора")));
    }

    void cleanupTestCase()
    {
        Set_Message_Viewer(Msg_Kind::Aud, {});
        Set_Ques_Handler(nullptr);
        Connected = false;
        msg.reset();
        arh.reset();
        main.reset();
    }
};

QTEST_MAIN(Tst_Aud_List)
#include "tst_aud_list.moc"
