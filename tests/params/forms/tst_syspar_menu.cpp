// The system-parameter, synchronisation, clock and averaging commands against the controller
// simulator: what reaches the controller, in which order, and what a failure leaves.
#include "core/Conffun.h"
#include "core/forms/Statusbar.h"
#include "params/Sinhr.h"
#include "params/Syspar.h"
#include "params/forms/Contrdt.h"
#include "params/forms/Sinhr.h"
#include "params/forms/Syspar.h"

#include "Sim_Menu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
QByteArray One(int v)
{
    return QByteArray(1, char(uint8_t(v)));
}
} // namespace

class Tst_Syspar_Menu : public QObject {
    Q_OBJECT
    Sim_Menu m;
    Sim_Core &sim = m.sim;
    Ques_Script &ques = m.ques;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return m.Run(item, each); }
    TFormMain *Main() { return m.main.get(); }
    QStringList Asked()
    {
        QStringList l;
        for (const Ques_Setup &q : ques.asked) l << q.line1 + "|" + q.line2 + "|" + QString::number(q.kind);
        ques.asked.clear();
        return l;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        sim.Set_Password("secret");
        sim.Set_Code("1234");
        std::memcpy(Exch_Box->Write_Pass, "secret      ", 12);
        std::memcpy(Exch_Box->User_Code, "1234", 4);
        Install_Syspar_Commands(Main());
    }

    void init()
    {
        m.Reset();
        sim.Set_Clock_Offset(0);
        Main()->Update_Menu();
        Main()->StatusBar1->Set_Text(2, QString());
        Main()->TimerMessage.stop();
    }

    void system_parameters_changed_fields_written_and_menu_refreshed()
    {
        // The controller holds field 7 = 0 and odd synchronisation flags: field 7 is written 1,
        // fields 10 and 11 are left alone.
        sim.Set_Field(6, 7, One(0));
        sim.Set_Field(6, 10, One(5));
        const QByteArray old = sim.Table(6);
        Main()->Update_Menu();
        QVERIFY(Main()->Item("NConnWMT")->isVisible());
        Run("Nsys", [&](QDialog &d) {
            auto *f = qobject_cast<TFormSys *>(&d);
            f->ComboBox1->setCurrentIndex(6);
            f->CheckBox2->setChecked(false);
            f->Winter->Hour->setCurrentIndex(0);
            f->BitBtnWrite->click();
        });
        QByteArray want = old;
        want[5] = 1;
        want[6] = 6;
        want[7] = 1;
        want[8] = 0;
        QCOMPARE(sim.Table(6), want);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 6, 0, 12}, {2, 6, 5, 4}}));
        // The moisture-meter items follow field 8.
        QVERIFY(!Main()->Item("NConnWMT")->isVisible());
        QVERIFY(Main()->Item("NCurrVich")->isVisible());

        // A failed write is reported by the table layer and leaves the menu as it was.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        Run("Nsys", [&](QDialog &d) {
            auto *f = qobject_cast<TFormSys *>(&d);
            f->CheckBox2->setChecked(true);
            f->BitBtnWrite->click();
        });
        QCOMPARE(Asked().size(), 1);
        QVERIFY(!Main()->Item("NConnWMT")->isVisible());
        QCOMPARE(sim.Field(6, 8), One(0));
    }

    void synchronisation_written_whole_in_order()
    {
        sim.Set_Field(6, 10, One(0));
        sim.Set_Field(6, 11, One(1));
        sim.Set_Field(14, 8, One(0));
        sim.Set_Field(14, 9, One(1));
        bool shown = false;
        Run("NSinhr", [&](QDialog &d) {
            auto *f = qobject_cast<TFormTime_Sinhr *>(&d);
            QVERIFY(f);
            shown = !f->CheckBox1->isChecked() && f->CheckBox2->isChecked() && !f->CheckBox3->isEnabled() &&
                    f->CheckBox4->isChecked();
            f->CheckBox1->setChecked(true);
            f->CheckBox3->setChecked(true);
            f->BitBtnWrite->click();
        });
        QVERIFY(shown);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 6, 10, 2}, {1, 14, 8, 2}, {2, 6, 10, 2}, {2, 14, 8, 2}}));
        QCOMPARE(sim.Field(6, 10) + sim.Field(6, 11), QByteArray("\x01\x01", 2));
        QCOMPARE(sim.Field(14, 8) + sim.Field(14, 9), QByteArray("\x01\x01", 2));

        // Unchanged: still written whole; cancelled: not at all.
        Run("NSinhr", [](QDialog &d) { qobject_cast<TFormTime_Sinhr *>(&d)->BitBtnWrite->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 6, 10, 2}, {1, 14, 8, 2}, {2, 6, 10, 2}, {2, 14, 8, 2}}));
        Run("NSinhr", [](QDialog &d) { qobject_cast<TFormTime_Sinhr *>(&d)->BitBtnCancel->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 6, 10, 2}, {1, 14, 8, 2}}));

        // A failed first write ends the chain.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 1).For_Func(2).Times(-1));
        Run("NSinhr", [](QDialog &d) {
            auto *f = qobject_cast<TFormTime_Sinhr *>(&d);
            f->CheckBox2->setChecked(false);
            f->BitBtnWrite->click();
        });
        const QList<Req> reqs = Take_Requests(sim);
        QVERIFY(reqs.contains(Req{2, 6, 10, 2}));
        QVERIFY(!reqs.contains(Req{2, 14, 8, 2}));
        QCOMPARE(Asked().size(), 1);
        QCOMPARE(sim.Field(14, 9), One(1));
    }

    void averaging_period_written_when_changed()
    {
        sim.Set_Field(28, 0, One(24));
        Run("Ndistrpar", [](QDialog &d) { qobject_cast<TFormDistr *>(&d)->BitBtnWrite->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 28, 0, 2}}));

        // Field 1 held 3: it goes out as 0 with the new period.
        sim.Set_Field(28, 1, One(3));
        Run("Ndistrpar", [](QDialog &d) {
            auto *f = qobject_cast<TFormDistr *>(&d);
            f->ComboBox1->setCurrentIndex(1);
            f->BitBtnWrite->click();
        });
        QCOMPARE(sim.Table(28), QByteArray("\x02\x00", 2));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 28, 0, 2}, {2, 28, 0, 2}}));

        // No period: refused, the dialog stays, nothing written.
        sim.Set_Field(28, 0, One(5));
        Run("Ndistrpar", [](QDialog &d) {
            auto *f = qobject_cast<TFormDistr *>(&d);
            f->BitBtnWrite->click();
            QVERIFY(!f->Accepted);
        });
        QCOMPARE(Asked(), QStringList{"Не введен период||2"});
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 28, 0, 2}}));
    }

    void clock_correction_frame()
    {
        sim.Set_Clock_Offset(-5);
        ques.answers = {1};
        int16_t corr = 0, expect = 0;
        Run("NContrDt", [&](QDialog &d) {
            auto *f = qobject_cast<TFormDt *>(&d);
            QVERIFY(f);
            QVERIFY(f->BitBtnCorr->isEnabled());
            expect = Clock_Correction(f->Clock_Tab, f->Pc_Clock_Bytes());
            f->BitBtnCorr->click();
            corr = f->Corr_Sec;
        });
        QCOMPARE(corr, expect);
        QVERIFY(corr >= -3599 && corr <= 3600);
        QCOMPARE(Asked(), QStringList{"Вы уверены, что часы ЭВМ показывают правильное время?||3"});
        const QList<Sim_Request_Log> log = sim.Log();
        QCOMPARE(log.size(), 4);
        QCOMPARE((Req{log[0].func, log[0].table, log[0].first, log[0].count}), (Req{1, 7, 0, 14}));
        QCOMPARE((Req{log[1].func, log[1].table, log[1].first, log[1].count}), (Req{1, 6, 0, 12}));
        QCOMPARE((Req{log[2].func, log[2].table, log[2].first, log[2].count}), (Req{1, 2, 0, 8}));
        const QByteArray f12 = log[3].raw;
        QCOMPARE(f12.size(), 24);
        QCOMPARE(f12.left(4), QByteArray("\xCC\x01\x18\x0C", 4));
        QCOMPARE(f12.mid(4, 12), QByteArray("secret      "));
        QCOMPARE(f12.mid(16, 4), QByteArray("1234"));
        QCOMPARE(int16_t(uint16_t(uint8_t(f12[20]) | (uint8_t(f12[21]) << 8))), corr);
        QVERIFY(Sim_Core::Crc_Ok(f12));
        QCOMPARE(log[3].error, 0);
        QCOMPARE(sim.Clock_Offset(), int64_t(-5 + corr));
        QCOMPARE(Main()->StatusBar1->Text(2), QString("Корректировка времени выполнена"));
        QVERIFY(Main()->TimerMessage.isActive());
    }

    void clock_correction_failure_reported()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 2).For_Func(12).Times(-1));
        ques.answers = {1};
        Run("NContrDt", [](QDialog &d) { qobject_cast<TFormDt *>(&d)->BitBtnCorr->click(); });
        const QStringList asked = Asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1], QString("Корректировка времени не выполнена||6"));
        QCOMPARE(Main()->StatusBar1->Text(2), Exch_Box->Err_Text());
        QVERIFY(Main()->StatusBar1->Text(2).startsWith("Команда 12."));
        QVERIFY(Main()->TimerMessage.isActive());
        QCOMPARE(sim.Clock_Offset(), int64_t(0));

        // "Нет" to the question sends nothing.
        sim.Clear_Log();
        Run("NContrDt", [](QDialog &d) { qobject_cast<TFormDt *>(&d)->BitBtnCorr->click(); });
        for (const Req &r : Take_Requests(sim)) QCOMPARE(r.func, 1);
    }

    void clock_with_destroyed_tables()
    {
        // System parameters destroyed: a message, no dialog.
        sim.Set_Field(7, 6, One(1));
        QCOMPARE(Run("NContrDt", [](QDialog &) {}), 0);
        QCOMPARE(Asked(), QStringList{"Разрушена таблица системных параметров.|"
                                      "Информация о текущих дате и времени не может быть представлена|4"});
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 7, 0, 14}}));

        // Clock table destroyed: "Нет" leaves it; "Да" writes the PC time after its question.
        sim.Set_Field(7, 6, One(0));
        sim.Set_Field(7, 2, One(1));
        QCOMPARE(Run("NContrDt", [](QDialog &) {}), 0);
        QCOMPARE(Asked(), QStringList{"Таблица даты и времени разрушена.|Воcстановить сейчас?|3"});
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 7, 0, 14}, {1, 6, 0, 12}}));
        ques.answers = {1, 1};
        QCOMPARE(Run("NContrDt", [](QDialog &) {}), 0);
        QCOMPARE(Asked().size(), 2);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 7, 0, 14}, {1, 6, 0, 12}, {2, 2, 0, 8}}));

        // A sound table whose clock holds no date (month 13): shown, with no correction.
        sim.Set_Field(7, 2, One(0));
        const auto keep = m.port.On_Write;
        m.port.On_Write = [keep](FakePort &p, const QByteArray &w) {
            const QByteArray r = Find_Request(w);
            if (r.size() == 10 && r[3] == 1 && r[5] == CLOCK_TAB)
                p.Queue(Reply_Frame(1, 0x81, r.mid(4, 4) + QByteArray("\x1A\x0D\x05\x08\0\0\x02\0", 8)), 1000);
            else
                keep(p, w);
        };
        bool corr = true;
        QCOMPARE(Run("NContrDt", [&](QDialog &d) {
                     auto *f = qobject_cast<TFormDt *>(&d);
                     corr = f->BitBtnCorr->isEnabled();
                     f->BitBtnCancel->click();
                 }),
                 1);
        m.port.On_Write = keep;
        QVERIFY(!corr);
        QVERIFY(Asked().isEmpty());
    }
};

QTEST_MAIN(Tst_Syspar_Menu)
#include "tst_syspar_menu.moc"
