// The whole road of the moisture meter's lists: the reader's menu command against the
// simulated controller hands its records to the viewer plugged in by Install_Wmt_Viewers.
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhmeas_Wmt_Form.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "messages/forms/Period.h"
#include "messages/forms/Shortdt.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
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
} // namespace

class Tst_Wmt_Read : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<Sim_Archive> arh;
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    // Runs a menu command; the request dialog gets the period, the viewer is looked at and closed.
    void Run(const char *item, const QDateTime &from, const QDateTime &to,
             const std::function<void(TFormArh_Wmt &)> &look)
    {
        int viewers = 0;
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArh_Wmt *>(&d)) {
                ++viewers;
                look(*v);
                v->BitBtn1->click();
            } else if (auto *p = qobject_cast<TFormPeriod *>(&d)) {
                p->Ok = 1;
                p->Start = D6(from);
                p->End = D6(to);
                d.accept();
            } else if (auto *s = qobject_cast<TFormShortDate *>(&d)) {
                s->Ok = 1;
                s->Start = D6(from);
                s->End = D6(to);
                s->Start.minute = s->Start.second = s->End.minute = s->End.second = 0;
                d.accept();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        main->Item(QLatin1String(item))->trigger();
        Set_Dialog_Runner(old);
        QCOMPARE(viewers, 1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
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
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        Install_Wmt_Viewers(main.get());
        Install_Archive_Commands(main.get());
        for (const char *n : {"NWmt_RdMeas", "NWmt_ReadHour", "NWmt_ReadDay"})
            QVERIFY2(main->Item(QLatin1String(n))->isEnabled(), n);
    }

    void momentary_read_shown()
    {
        const QDateTime from = arh->Date_Of(Sim_Arh::Wmt_Meas, 0), to = arh->Date_Of(Sim_Arh::Wmt_Meas, 19);
        Run("NWmt_RdMeas", from, to, [&](TFormArh_Wmt &v) {
            QCOMPARE(v.Kind(), WMT_KIND_MOM);
            QVERIFY(qobject_cast<TFormArhMeas_Wmt *>(&v));
            Wmt_Model *m = v.Grid_Model();
            QCOMPARE(m->rowCount(), 20);
            for (int r = 0; r < m->rowCount(); ++r) QVERIFY(m->Row_Valid(r));
            const Date6 first = D6(from);
            QCOMPARE(m->index(0, 0).data().toString(),
                     QString::asprintf("  %02d.%02d.%02d", first.day, first.month, first.year));
            QVERIFY(v.windowTitle().startsWith("Мгновенные данные влагомера за период  с  "));
        });
        QVERIFY(ques.asked.isEmpty());
    }

    void hourly_and_daily_read_shown()
    {
        const QDateTime hf = arh->Date_Of(Sim_Arh::Wmt_Hour, 0), ht = arh->Date_Of(Sim_Arh::Wmt_Hour, 15);
        Run("NWmt_ReadHour", hf, ht, [&](TFormArh_Wmt &v) {
            QCOMPARE(v.Kind(), WMT_KIND_HOUR);
            QVERIFY(qobject_cast<TFormArhivHD_Wmt *>(&v));
            QCOMPARE(v.Grid_Model()->rowCount(), 16);
            QVERIFY(v.Grid_Model()->Row_Valid(15));
            QVERIFY(v.windowTitle().startsWith("Часовые данные влагомера за период с "));
        });
        const QDateTime df = arh->Date_Of(Sim_Arh::Wmt_Day, 0), dt = arh->Date_Of(Sim_Arh::Wmt_Day, 4);
        Run("NWmt_ReadDay", df, dt, [&](TFormArh_Wmt &v) {
            QCOMPARE(v.Kind(), WMT_KIND_DAY);
            QCOMPARE(v.Grid_Model()->rowCount(), 5);
            QVERIFY(v.Grid_Model()->Row_Valid(0));
            QVERIFY(v.windowTitle().startsWith("Суточные данные влагомера за период с "));
        });
        QVERIFY(ques.asked.isEmpty());
    }

    void cleanupTestCase()
    {
        for (Arh_Reader r : {Arh_Reader::Wmt_Meas, Arh_Reader::Wmt_Hour, Arh_Reader::Wmt_Day})
            Set_Archive_Viewer(r, {});
        Set_Ques_Handler(nullptr);
        Connected = false;
        arh.reset();
        main.reset();
    }
};

QTEST_MAIN(Tst_Wmt_Read)
#include "tst_wmt_read.moc"
