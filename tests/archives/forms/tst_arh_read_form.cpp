// The window side of the archive readers: menu commands only where a viewer is plugged in,
// the wait form in mode 1 with its progress bar, the main window disabled during the read,
// Esc through the main window's filter, the status panel, and the hand-off to the viewer.
#include "archives/Arh_Readers.h"
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Wait_Form.h"
#include "messages/forms/Period.h"
#include "messages/forms/Shortdt.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
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

// What the test saw while a request was on its way.
struct Seen {
    int requests = 0;
    bool wait_shown = true;
    bool main_disabled = true;
    bool run = true;
    QString label2, label3;
    int maximum = -1;
    QList<int> values;
};

} // namespace

class Tst_Arh_Read_Form : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<Sim_Archive> arh;
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;
    Seen seen;
    std::function<void(int func)> on_request;
    QList<Arh_Read_Result> viewed;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
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
        arh->Generate({});
        arh->Install();
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            const QByteArray req = Find_Request(w);
            const int func = req.size() > 3 ? uint8_t(req.at(3)) : 0;
            if (func == 8 || func == 15 || func == 16) {
                ++seen.requests;
                TFormWait *f = Find_Wait();
                seen.wait_shown = seen.wait_shown && f;
                seen.main_disabled = seen.main_disabled && !main->isEnabled();
                seen.run = seen.run && Exch_Run;
                if (f) {
                    seen.label2 = f->Label2->text();
                    seen.label3 = f->Label3->text();
                    seen.maximum = f->ProgressBar1->maximum();
                    seen.values << f->ProgressBar1->value();
                }
                if (on_request) on_request(func);
            }
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);

        // Only the readers whose viewer is plugged in get their command.
        Set_Archive_Viewer(Arh_Reader::Chr_Meas, [this](const Arh_Read_Result &r) { viewed << r; });
        Install_Archive_Commands(main.get());
        QVERIFY(main->Item(QStringLiteral("NChrom_RdMeas"))->isEnabled());
        QVERIFY(!main->Item(QStringLiteral("NWmt_ReadHour"))->isEnabled());
        // A viewer plugged in later gets its command at once.
        Set_Archive_Viewer(Arh_Reader::Wmt_Hour, [this](const Arh_Read_Result &r) { viewed << r; });
        QVERIFY(main->Item(QStringLiteral("NWmt_ReadHour"))->isEnabled());
        for (const char *n : {"NWmt_RdMeas", "NChrom_RdClb", "NChrom_RdHour", "NChrom_RdDay", "NWmt_ReadDay"})
            QVERIFY2(!main->Item(QLatin1String(n))->isEnabled(), n);
    }

    void init()
    {
        seen = Seen();
        on_request = {};
        viewed.clear();
        ques.asked.clear();
        sim.Clear_Log();
        sim.Clear_Faults();
        arh->Clear_Faults();
    }

    void period_read_with_the_wait_form_and_the_viewer()
    {
        const QDateTime from = arh->Date_Of(Sim_Arh::Chr_Meas, 0), to = arh->Date_Of(Sim_Arh::Chr_Meas, 59);
        const int dialogs = Run("NChrom_RdMeas", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPeriod *>(&d);
            QVERIFY(f);
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(seen.requests, 30);
        QVERIFY(seen.wait_shown);
        QVERIFY(seen.main_disabled);
        QVERIFY(seen.run);
        QCOMPARE(seen.label2, QStringLiteral("Выполняется чтение данных"));
        QCOMPARE(seen.label3, QStringLiteral("Esc - прервать чтение"));
        QCOMPARE(seen.maximum, Period_Units(D6(from).bytes(), D6(to).bytes(), UNIT_HOUR));
        QVERIFY(seen.values.last() > 0);
        // Afterwards: no wait form, the main window usable, the records with the viewer.
        QVERIFY(!Find_Wait());
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);
        QCOMPARE(viewed.size(), 1);
        QCOMPARE(viewed[0].header.rec_count, 60u);
        QCOMPARE(viewed[0].kind, Arh_File_Kind::Chr_Meas);
        QVERIFY(ques.asked.isEmpty());
    }

    void esc_on_the_wait_form_stops_the_read()
    {
        arh->Set_Endless(true);
        on_request = [this](int) {
            if (seen.requests == 4) QTest::keyClick(Find_Wait(), Qt::Key_Escape);
        };
        const QDateTime from = arh->Date_Of(Sim_Arh::Chr_Meas, 0), to = arh->Date_Of(Sim_Arh::Chr_Meas, 9);
        Run("NChrom_RdMeas", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPeriod *>(&d);
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            d.accept();
        });
        QCOMPARE(seen.requests, 4);   // the fourth block was still taken
        QCOMPARE(viewed.size(), 1);
        QVERIFY(viewed[0].aborted);
        QCOMPARE(viewed[0].header.rec_count, 8u);
        QVERIFY(!Exch_Abort);
        QVERIFY(main->isEnabled());
    }

    void failure_is_told_and_the_panel_cleared_after()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8));
        const QDateTime from = arh->Date_Of(Sim_Arh::Chr_Meas, 0), to = arh->Date_Of(Sim_Arh::Chr_Meas, 9);
        Run("NChrom_RdMeas", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPeriod *>(&d);
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            d.accept();
        });
        QVERIFY(viewed.isEmpty());
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line2, QStringLiteral("не прочитаны"));
        QVERIFY(main->StatusBar1->Text(2).isEmpty());
        QVERIFY(main->TimerMessage.isActive());
        QVERIFY(main->isEnabled());
    }

    void date_range_read_gets_the_available_period()
    {
        const QDateTime from = arh->Date_Of(Sim_Arh::Wmt_Hour, 0), to = arh->Date_Of(Sim_Arh::Wmt_Hour, 15);
        const Arh_Range *range = nullptr;
        int kind = -1;
        Arh_Range seen_range{};
        Run("NWmt_ReadHour", [&](QDialog &d) {
            auto *f = qobject_cast<TFormShortDate *>(&d);
            QVERIFY(f);
            range = f->Range;
            kind = f->Kind;
            if (range) seen_range = *range;
            f->Ok = 1;
            f->Start = D6(from);
            f->End = D6(to);
            f->Start.minute = f->Start.second = f->End.minute = f->End.second = 0;
            d.accept();
        });
        QVERIFY(range);
        QCOMPARE(kind, 0);
        const Date6 first = D6(arh->Date_Of(Sim_Arh::Wmt_Hour, 0));
        QVERIFY(std::memcmp(seen_range.start, first.bytes(), 4) == 0);
        QCOMPARE(seen.requests, 2);
        QVERIFY(seen.wait_shown && seen.main_disabled);
        QCOMPARE(viewed.size(), 1);
        QCOMPARE(viewed[0].header.rec_count, 16u);
        QCOMPARE(viewed[0].viewer_kind, uint8_t(6));
        QVERIFY(!Find_Wait());
        QVERIFY(main->isEnabled());
    }

    // The moisture meter's three commands hand their records to the viewers plugged in by
    // Install_Wmt_Viewers, each of its own kind.
    void moisture_readers_reach_their_viewers_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("archive");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("kind");
        QTest::newRow("momentary") << "NWmt_RdMeas" << int(Sim_Arh::Wmt_Meas) << 20 << int(WMT_KIND_MOM);
        QTest::newRow("hourly") << "NWmt_ReadHour" << int(Sim_Arh::Wmt_Hour) << 16 << int(WMT_KIND_HOUR);
        QTest::newRow("daily") << "NWmt_ReadDay" << int(Sim_Arh::Wmt_Day) << 5 << int(WMT_KIND_DAY);
    }
    void moisture_readers_reach_their_viewers()
    {
        QFETCH(QString, item);
        QFETCH(int, archive);
        const int arh_kind = archive;
        QFETCH(int, count);
        QFETCH(int, kind);
        Install_Wmt_Viewers(main.get());
        const QDateTime from = arh->Date_Of(Sim_Arh(arh_kind), 0), to = arh->Date_Of(Sim_Arh(arh_kind), count - 1);
        int viewers = 0;
        Run(qPrintable(item), [&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArh_Wmt *>(&d)) {
                ++viewers;
                QCOMPARE(int(v->Kind()), kind);
                QCOMPARE(v->Grid_Model()->rowCount(), count);
                for (int r = 0; r < count; ++r) QVERIFY(v->Grid_Model()->Row_Valid(r));
                v->BitBtn1->click();
                return;
            }
            Date6 s = D6(from), e = D6(to);
            if (kind != WMT_KIND_MOM) s.minute = s.second = e.minute = e.second = 0;
            if (auto *p = qobject_cast<TFormPeriod *>(&d)) {
                p->Ok = 1;
                p->Start = s;
                p->End = e;
            } else if (auto *f = qobject_cast<TFormShortDate *>(&d)) {
                f->Ok = 1;
                f->Start = s;
                f->End = e;
            }
            d.accept();
        });
        QCOMPARE(viewers, 1);
        QVERIFY(ques.asked.isEmpty());
    }

    void cleanupTestCase()
    {
        for (Arh_Reader r : {Arh_Reader::Wmt_Meas, Arh_Reader::Wmt_Hour, Arh_Reader::Wmt_Day}) Set_Archive_Viewer(r, {});
        Set_Ques_Handler(nullptr);
        Connected = false;
        arh.reset();
        main.reset();
    }
};

QTEST_MAIN(Tst_Arh_Read_Form)
#include "tst_arh_read_form.moc"
