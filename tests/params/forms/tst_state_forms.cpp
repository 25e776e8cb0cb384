// The table-state form, the current-state form with its timer, the flow-computer state, the
// momentary-data forms and their commands, against the controller simulator on a fake link.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/forms/Curr_State.h"
#include "params/forms/Mom_Data.h"
#include "params/forms/Tabinfo.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"
#include "SimState.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include "Menu_Run.h"
#include <cstring>
#include <memory>

namespace {

struct Ques_Script : Ques_Handler {
    QList<Ques_Setup> asked;
    QList<uint8_t> answers;   // taken in turn; "Нет" when empty
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

QColor Text_Color(const QLabel *l) { return l->palette().color(QPalette::WindowText); }
QColor Back_Color(const QLabel *l) { return l->palette().color(QPalette::Window); }

} // namespace

class Tst_State_Forms : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Script ques;
    std::function<void(const QByteArray &)> on_request;   // called with each request before its answer

    void Image_From_Controller()
    {
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
    }
    void Set_Image(int t, int k, uint8_t v)
    {
        sim.Set_Field(t, k, QByteArray(1, char(v)));
        *Tab_Field(t, k) = v;
    }
    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    static Tab_State_Block Block(std::initializer_list<int> destroyed)
    {
        uint8_t st[TAB_STATE_TABLES] = {};
        for (int t : destroyed) st[t] = 1;
        Tab_State_Block b;
        Fill_Tab_State_Block(b, st);
        return b;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        Set_Ques_Handler(&ques);
        Exch_Box->Clk = &clk;
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Conn_Prz = 2;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            const QByteArray req = Find_Request(w);
            if (on_request) on_request(req);
            for (const Sim_Chunk &c : sim.Receive(req, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        Sim_State::Install(sim);
        Install_State_Commands(main.get());
        for (const char *n : {"NSit", "NChrom_Mom", "NWmt_MomData"}) QVERIFY(main->Item(n)->isEnabled());
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Set_Adr(1);
        sim.Clear_Faults();
        Image_From_Controller();
        sim.Clear_Log();
        ques.asked.clear();
        ques.answers.clear();
        on_request = nullptr;
        Exch_Box->Adr = 1;
        if (!Exch_Box->Sock) Exch_Box->Sock = port.Borrow();
        Connected = true;
        Conn_Settings.Curr_Par.Conn_Prz = 0;
        Conn_Settings.Dir_Conn_Par.Adr = 5;
        Conn_Settings.Dir_Conn_Par.Rate = 19200;
        main->Update_Menu();
    }

    // ---- table-state form ---------------------------------------------------------------

    void table_info_rows_states_and_size()
    {
        Tab_State_Block b = Block({5, 6});
        TFormTableInfo f(main.get());
        f.Tab_State = &b;
        f.show();
        const QList<int> tabs = Tab_State_Rows(b);
        QCOMPARE(f.Used, int(tabs.size()));
        QVERIFY(f.Used < TFormTableInfo::ROWS_SHOWN);
        for (int k = 0; k < f.Used; ++k) {
            const auto &r = f.Rows[size_t(k)];
            const int t = tabs[k];
            QCOMPARE(r.tab, t);
            QCOMPARE(r.cb->property("tag").toInt(), t);
            QCOMPARE(r.name->property("tag").toInt(), t);
            QCOMPARE(r.name->text(), Tab_Row_Name(t));
            const bool d = t == 5 || t == 6;
            QCOMPARE(r.state->text(), d ? QString("Да") : QString("Нет"));
            QCOMPARE(Text_Color(r.state), d ? QColor(255, 0, 0) : QColor(0, 0, 0));
            QCOMPARE(r.cb->isChecked(), d);
            QCOMPARE(r.cb->isEnabled(), t != 4);
            QVERIFY(r.cb->isVisible());
        }
        QCOMPARE(f.Rows[0].name->text(), QString(" Табл.  1.   Измеряемые параметры хроматографа"));
        QCOMPARE(f.First_Destroyed, int(tabs.indexOf(5)) + 1);
        for (int k = f.Used; k < TFormTableInfo::ROWS; ++k) QVERIFY(!f.Rows[size_t(k)].cb->isVisible());
        // Fewer rows than fit: the scroll area holds exactly the used rows, without a scroll bar.
        QCOMPARE(f.ScrollBox->height(), f.Used * 17 + 1);
        QCOMPARE(f.ScrollBox->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(f.height() < 588);
        // Software version 16: only the reset and "Выход".
        QVERIFY(!f.BitBtnAll->isEnabled());
        QVERIFY(!f.BitBtnSel->isEnabled());
        QVERIFY(f.BitBtnReset->isEnabled());
        QVERIFY(f.BitBtnExit->isEnabled());
        f.BitBtnExit->click();
        QCOMPARE(int(f.Result), 0);
    }

    void table_info_many_rows_scroll_to_the_first_destroyed()
    {
        Tab_State_Block b = Block({42});
        std::fill(std::begin(b.Cfg), std::end(b.Cfg), uint8_t(1));
        TFormTableInfo f(main.get());
        f.Tab_State = &b;
        f.show();
        QCOMPARE(f.Used, 45);
        QCOMPARE(f.First_Destroyed, 43);
        QCOMPARE(f.height(), 588);
        // Every table's name shows whole, in the font here.
        for (int k = 0; k < f.Used; ++k) {
            const QLabel *name = f.Rows[size_t(k)].name;
            QVERIFY2(name->fontMetrics().horizontalAdvance(name->text()) < name->contentsRect().width(),
                     qPrintable(name->text()));
        }
        QCOMPARE(f.ScrollBox->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(f.ScrollBox->verticalScrollBar()->value() > 0);
        f.close();
    }

    void table_info_write_choices_version_14()
    {
        Set_Image(0, 3, 14);
        {
            // Nothing ticked: refused, the form stays open.
            Tab_State_Block b = Block({});
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.show();
            QVERIFY(f.BitBtnSel->isEnabled() && f.BitBtnAll->isEnabled() && f.BitBtnReset->isEnabled());
            for (int k = 0; k < f.Used; ++k) QCOMPARE(f.Rows[size_t(k)].state->text(), QString("Нет"));
            f.BitBtnSel->click();
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].kind, uint32_t(6));
            QCOMPARE(ques.asked[0].line1, QString("Не заданы таблицы для записи"));
            QCOMPARE(ques.asked[0].line2, QString());
            QVERIFY(f.isVisible());
            QCOMPARE(int(f.Result), 0);
            f.close();
        }
        {
            // Ticked: the clock only when destroyed, the users whenever destroyed.
            Tab_State_Block b = Block({4, 9});
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.show();
            for (auto &r : f.Rows) {
                if (r.tab == 2 || r.tab == 14) r.cb->setChecked(true);
                if (r.tab == 4) r.cb->setChecked(false);
            }
            f.BitBtnSel->click();
            QCOMPARE(int(f.Result), 1);
            QVERIFY(!f.isVisible());
            for (int t = 0; t < TAB_STATE_TABLES; ++t)
                QCOMPARE(int(b.Write_Sel[t]), (t == 4 || t == 9 || t == 14) ? 1 : 0);
        }
        {
            Tab_State_Block b = Block({2});
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.show();
            f.BitBtnAll->click();
            QCOMPARE(int(f.Result), 2);
            for (int t = 0; t < TAB_STATE_TABLES; ++t)
                QCOMPARE(int(b.Write_Sel[t]), (Tab_Dir[t].cfg_flag && t != 4) ? 1 : 0);
        }
        QVERIFY(Take_Requests(sim).isEmpty());   // the form writes nothing itself
    }

    void table_info_other_link_no_box_can_be_ticked()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Set_Image(0, 3, 14);
        Tab_State_Block b = Block({5, 6, 4});
        TFormTableInfo f(main.get());
        f.Tab_State = &b;
        f.show();
        for (int k = 0; k < f.Used; ++k) {
            QVERIFY(!f.Rows[size_t(k)].cb->isChecked());
            QVERIFY(!f.Rows[size_t(k)].cb->isEnabled());
        }
        QVERIFY(!f.BitBtnSel->isEnabled() && !f.BitBtnAll->isEnabled() && !f.BitBtnReset->isEnabled());
        f.close();

        Set_Image(0, 3, 16);
        TFormTableInfo g(main.get());
        g.Tab_State = &b;
        g.show();
        QVERIFY(!g.BitBtnSel->isEnabled() && !g.BitBtnAll->isEnabled() && g.BitBtnReset->isEnabled());
        g.close();
    }

    void table_info_reset()
    {
        Tab_State_Block b = Block({5});
        {
            // "Нет": nothing is sent.
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.Status_Bar = main->StatusBar1;
            f.show();
            f.BitBtnReset->click();
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].kind, uint32_t(3));
            QCOMPARE(ques.asked[0].line1, QString("Вы уверены, что хотите выполнить сброс"));
            QCOMPARE(ques.asked[0].line2, QString("всех энергонезависимых данных?"));
            QVERIFY(Take_Requests(sim).isEmpty());
            QVERIFY(f.isVisible());
            f.close();
        }
        {
            // Refused by the controller: the error is shown, the form stays, settings unchanged.
            ques.asked.clear();
            ques.answers = {1};
            sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 3).For_Func(25).Times(-1));
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.Status_Bar = main->StatusBar1;
            f.show();
            f.BitBtnReset->click();
            QCOMPARE(ques.asked.size(), 2);
            QCOMPARE(ques.asked[1].kind, uint32_t(6));
            QCOMPARE(ques.asked[1].line1, QString("Команда не может быть выполнена."));
            QCOMPARE(ques.asked[1].line2, QString("Команда 25.  Неправильный пароль на запись"));
            QVERIFY(f.isVisible());
            QVERIFY(f.BitBtnReset->isEnabled());
            QCOMPARE(int(f.Result), 0);
            QCOMPARE(int(Exch_Box->Adr), 1);
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 5);
            QCOMPARE(Conn_Settings.Dir_Conn_Par.Rate, uint32_t(19200));
            f.close();
            sim.Clear_Faults();
        }
        {
            ques.asked.clear();
            ques.answers = {1};
            Take_Requests(sim);
            std::memcpy(Exch_Box->Write_Pass, sim.Password().constData(), 12);
            std::memcpy(Exch_Box->User_Code, sim.Code().constData(), 4);
            Exch_Box->Rate = 19200;
            TFormTableInfo f(main.get());
            f.Tab_State = &b;
            f.Status_Bar = main->StatusBar1;
            f.show();
            f.BitBtnReset->click();
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(int(f.Result), 3);
            QVERIFY(!f.isVisible());
            QVERIFY(!f.BitBtnReset->isEnabled());
            const QList<Sim_Request_Log> log = sim.Log();
            QCOMPARE(log.size(), 1);
            QCOMPARE(int(log[0].func), 25);
            QCOMPARE(log[0].raw.mid(4, 16), sim.Password() + sim.Code());
            QCOMPARE(Exch_Box->Rate, uint32_t(9600));
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 1);
            QCOMPARE(Conn_Settings.Dir_Conn_Par.Rate, uint32_t(9600));
            QVERIFY(main->StatusBar1->Text(0).contains("9600 бит/с"));
            QCOMPARE(main->StatusBar1->Text(1), QString(" Адр. 1"));
            QCOMPARE(int(uint8_t(sim.Field(7, 5)[0])), 1);   // the controller did reset
        }
    }

    // ---- current-state form -------------------------------------------------------------

    void current_state_tick_reads_16_then_33_and_shows_them()
    {
        Sim_State::Situations s;
        s.when = QDateTime(QDate(2024, 5, 1), QTime(8, 7, 9));
        s.vich = 1;
        s.chrom_err = 12;
        s.wmt_err = 0;
        s.diag = 0;
        s.line1 = 2;
        s.word1[0] = 0x12;
        s.word1[1] = 0x34;
        s.word2[0] = 0x56;
        s.word2[1] = 0x78;
        Sim_State::Set_Situations(sim, s);
        Sim_State::Set_Links(sim, 0, 1);
        Set_Image(0, 10, 0);   // words in the other byte order

        TFormPrz f(main.get());
        f.show();
        QCOMPARE(f.BitBtnRefresh->text(), QString("Не обновлять данные"));
        QVERIFY(f.Timer.isActive());
        QCOMPARE(f.Timer.interval(), 1000);
        QVERIFY(!f.LLine2->isEnabled());
        f.TimerTimer();
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}}));
        QVERIFY(ques.asked.isEmpty());
        QVERIFY(f.Timer.isActive());
        QCOMPARE(f.pnDate->text(), QString("01.05.24  08:07:09"));
        QCOMPARE(f.pnVich->text(), QString("Есть"));
        QCOMPARE(Text_Color(f.pnVich), QColor(255, 0, 0));
        QCOMPARE(f.pnChrom->text(), QString("Код ошибки 12"));
        QCOMPARE(Text_Color(f.pnChrom), QColor(255, 0, 0));
        QCOMPARE(f.pnWmt->text(), QString("Норма"));
        QCOMPARE(Text_Color(f.pnWmt), QColor(0, 0, 0));
        QCOMPARE(f.pnDiag->text(), QString("Норма"));
        QCOMPARE(f.pnLine1->text(), QString("Есть"));
        QCOMPARE(f.pnChromLink->text(), QString("Связи нет"));
        QCOMPARE(Text_Color(f.pnChromLink), QColor(255, 0, 0));
        QCOMPARE(f.pnWmtLink->text(), QString("Норма"));
        // Swapped once per read.
        const uint8_t *t16 = Tab_Dir[16].data;
        QCOMPARE(int(t16[12]), 0x34);
        QCOMPARE(int(t16[13]), 0x12);
        QCOMPARE(int(t16[16]), 0x78);
        QCOMPARE(int(t16[17]), 0x56);
        f.TimerTimer();
        QCOMPARE(int(t16[12]), 0x34);
        QCOMPARE(int(t16[17]), 0x56);
        Take_Requests(sim);

        // Byte order 1: kept as read.
        Set_Image(0, 10, 1);
        f.TimerTimer();
        QCOMPARE(int(t16[12]), 0x12);

        // A failed read leaves the panels; the timer goes on.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).Times(-1));
        Sim_State::Set_Links(sim, 1, 1);
        f.TimerTimer();
        QVERIFY(ques.asked.isEmpty());
        QCOMPARE(f.pnChromLink->text(), QString("Связи нет"));
        QVERIFY(f.Timer.isActive());
        sim.Clear_Faults();

        f.BitBtnExit->click();
        QVERIFY(!f.Timer.isActive());
        QCOMPARE(int(f.Result), 0);
        Take_Requests(sim);
        f.TimerTimer();   // a tick that was already queued when the form closed
        QVERIFY(Take_Requests(sim).isEmpty());
    }

    void current_state_without_moisture_meter_or_flow_computers()
    {
        Set_Image(6, 8, 0);
        Set_Image(6, 9, 0);
        Sim_State::Situations s;
        s.vich = 1;
        s.wmt_err = 5;
        Sim_State::Set_Situations(sim, s);
        TFormPrz f(main.get());
        f.show();
        QVERIFY(!f.LWmt->isEnabled() && !f.LWmtLink->isEnabled());
        QCOMPARE(Back_Color(f.pnWmt), QColor(211, 211, 211));
        QCOMPARE(Back_Color(f.pnWmtLink), QColor(211, 211, 211));
        QVERIFY(!f.LVich1->isEnabled() && !f.LVich2->isEnabled() && !f.BitBtnVich->isEnabled());
        f.TimerTimer();
        QCOMPARE(f.pnWmt->text(), QString());
        QCOMPARE(f.pnWmtLink->text(), QString());
        QCOMPARE(f.pnVich->text(), QString());
        QCOMPARE(f.pnChrom->text(), QString("Норма"));
        f.close();
    }

    void current_state_stop_during_the_tick_skips_table_33()
    {
        TFormPrz f(main.get());
        f.show();
        on_request = [&](const QByteArray &req) {
            if (uint8_t(req[3]) == 1 && uint8_t(req[5]) == 16) f.BitBtnRefresh->click();
        };
        f.TimerTimer();
        on_request = nullptr;
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 16, 0, 18}}));
        QCOMPARE(int(f.Refresh), 0);
        QVERIFY(!f.Timer.isActive());
        QCOMPARE(f.BitBtnRefresh->text(), QString("Обновлять данные"));
        f.TimerTimer();
        QVERIFY(Take_Requests(sim).isEmpty());
        f.BitBtnRefreshClick();
        QVERIFY(f.Timer.isActive());
        QCOMPARE(f.BitBtnRefresh->text(), QString("Не обновлять данные"));
        f.close();
    }

    void current_state_tick_never_overlaps_an_exchange_or_command()
    {
        TFormPrz f(main.get());
        f.show();
        // A tick arriving while the table-16 exchange runs reads nothing.
        int nested = 0;
        on_request = [&](const QByteArray &req) {
            if (uint8_t(req[5]) == 16 && nested++ == 0) {
                QVERIFY(Exch_Box->In_Exchange());
                f.TimerTimer();
            }
        };
        f.TimerTimer();
        on_request = nullptr;
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}}));
        QCOMPARE(Exch_Box->Err_Code, uint32_t(ERR_OK));

        // A command of the main window is running (this form was opened outside it).
        bool ran = main->Run_Command([&] { f.TimerTimer(); });
        QVERIFY(ran);
        QVERIFY(Take_Requests(sim).isEmpty());
        QVERIFY(f.Timer.isActive());

        // No link: nothing read.
        Connected = false;
        f.TimerTimer();
        QVERIFY(Take_Requests(sim).isEmpty());
        Connected = true;
        f.close();
    }

    void current_state_timer_runs_until_closed()
    {
        TFormPrz f(main.get());
        f.Timer.setInterval(5);
        f.show();
        f.Timer.setInterval(5);
        QTRY_VERIFY_WITH_TIMEOUT(sim.Request_Count() >= 6, 20000);
        f.close();
        QVERIFY(!f.Timer.isActive());
        const QList<Req> reqs = Take_Requests(sim);
        for (int i = 0; i + 1 < reqs.size(); i += 2) {
            QCOMPARE(reqs[i], (Req{1, 16, 0, 18}));
            QCOMPARE(reqs[i + 1], (Req{1, 33, 0, 2}));
        }
        QTest::qWait(30);
        QVERIFY(Take_Requests(sim).isEmpty());
    }

    void current_state_table_states_button()
    {
        Tab_State_Block b;
        std::memset(&b, 0x55, sizeof b);
        sim.Set_Field(7, 6, QByteArray(1, char(1)));
        sim.Set_Field(7, 8, QByteArray(1, char(3)));
        TFormPrz f(main.get());
        f.Tab_State = &b;
        f.Status_Bar = main->StatusBar1;
        f.Message_Timer = &main->TimerMessage;
        main->TimerMessage.stop();
        f.show();
        // A failed read: the question, then the form stays and refreshes again.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).Times(-1));
        f.BitBtnTablesClick();
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Не выполнено чтение из таблицы 7."));
        QVERIFY(f.isVisible());
        QVERIFY(f.Timer.isActive());
        QVERIFY(f.BitBtnTables->isEnabled() && f.BitBtnExit->isEnabled());
        QCOMPARE(int(f.Result), 0);
        sim.Clear_Faults();
        Take_Requests(sim);

        f.BitBtnTablesClick();
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 7, 0, 45}}));
        QCOMPARE(int(f.Result), 1);
        QVERIFY(!f.isVisible());
        QVERIFY(!f.Timer.isActive());
        QVERIFY(main->TimerMessage.isActive());
        for (int t = 0; t < TAB_STATE_TABLES; ++t) {
            QCOMPARE(int(b.Cfg[t]), int(Tab_Dir[t].cfg_flag));
            QCOMPARE(int(b.State[t]), t == 6 ? 1 : t == 8 ? 3 : 0);
            QCOMPARE(int(b.Write_Sel[t]), 0);
        }
    }

    void flow_computer_state()
    {
        Sim_State::Set_Vich_State(sim, {1, 0, 1}, {0, 1, 1});
        Set_Image(9, 0, 3);
        sim.Set_Field(9, 0, QByteArray(1, char(3)));
        sim.Set_Field(18, 2, QByteArray(1, char(17)));
        TFormPrz f(main.get());
        f.show();
        QVERIFY(f.BitBtnVich->isEnabled());
        QList<std::array<QString, 3>> rows;
        QList<QColor> colors;
        int shown = -1, height = 0;
        Scripted_Dialogs run([&](QDialog &d) {
            auto *v = qobject_cast<TFormVichInf *>(&d);
            QVERIFY(v);
            shown = 0;
            for (const auto &r : v->Rows) {
                if (!r.pn->isVisible()) continue;
                ++shown;
                rows << std::array<QString, 3>{r.la->text(), r.lc->text(), r.lw->text()};
                colors << Text_Color(r.lc) << Text_Color(r.lw);
            }
            height = v->height();
            v->BitBtnExit->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtnVichClick();
        Set_Dialog_Runner(old);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 9, 0, 1}, {1, 18, 0, 3}, {1, 34, 0, 3}, {1, 35, 0, 3}}));
        QCOMPARE(shown, 3);
        QCOMPARE(rows[0], (std::array<QString, 3>{"1", "Есть", "Не записываются"}));
        QCOMPARE(rows[1], (std::array<QString, 3>{"2", "Нет", "Записываются"}));
        QCOMPARE(rows[2], (std::array<QString, 3>{"17", "Есть", "Записываются"}));
        QCOMPARE(colors[1], QColor(255, 0, 0));
        QCOMPARE(colors[2], QColor(255, 0, 0));
        QCOMPARE(colors[0], QColor(0, 0, 0));
        QCOMPARE(height, 3 * 21 + 44 + 94);
        QVERIFY(f.isVisible());
        QVERIFY(f.Timer.isActive());

        // A count beyond the 16 flow computers the tables hold is cut to 16.
        sim.Set_Field(9, 0, QByteArray(1, char(200)));
        Scripted_Dialogs run2([&](QDialog &d) {
            auto *v = qobject_cast<TFormVichInf *>(&d);
            shown = 0;
            for (const auto &r : v->Rows) shown += r.pn->isVisible() ? 1 : 0;
        });
        old = Set_Dialog_Runner(&run2);
        f.BitBtnVichClick();
        Set_Dialog_Runner(old);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 9, 0, 1}, {1, 18, 0, 16}, {1, 34, 0, 16}, {1, 35, 0, 16}}));
        QCOMPARE(shown, 16);
        f.close();
    }

    // ---- the command "Текущее состояние контроллера" -------------------------------------

    void sit_command_loops_until_a_choice_and_disconnects_after_a_reset()
    {
        // Prz -> table states -> "Выход" -> Prz again -> "Выход": the link stays.
        QStringList seen;
        Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                seen << "prz";
                if (seen.size() == 1) p->BitBtnTables->click();
                else p->BitBtnExit->click();
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                seen << "tab";
                QCOMPARE(t->Status_Bar, main->StatusBar1);
                QCOMPARE(t->Used, Cfg_Table_Count());
                t->BitBtnExit->click();
            }
        });
        QCOMPARE(seen, (QStringList{"prz", "tab", "prz"}));
        QVERIFY(Connected);
        QVERIFY(main->Item("NSit")->isVisible());

        // The reset: disconnect and menus for no link.
        seen.clear();
        ques.answers = {1};
        std::memcpy(Exch_Box->Write_Pass, sim.Password().constData(), 12);
        std::memcpy(Exch_Box->User_Code, sim.Code().constData(), 4);
        Take_Requests(sim);
        Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                seen << "prz";
                // The form's timer works inside the command that opened it.
                p->TimerTimer();
                p->BitBtnTables->click();
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                seen << "tab";
                t->BitBtnReset->click();
            }
        });
        QCOMPARE(seen, (QStringList{"prz", "tab"}));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}, {1, 7, 0, 45}, {25, -1, -1, -1}}));
        QVERIFY(!Connected);
        QVERIFY(!Exch_Box->Sock);
        QVERIFY(!main->Item("NSit")->isVisible());
    }

    // ---- momentary data -----------------------------------------------------------------

    void chrom_momentary_form()
    {
        Set_Image(14, 14, 3);
        sim.Set_Field(41, 0, QByteArray("\x12\x34\x56\x00", 4));
        std::memset(Tab_Dir[41].data, 0, 4);
        Sim_State::Set_Chrom_Mom(sim, QDateTime(QDate(2024, 5, 17), QTime(11, 57, 3)), {92.35124f, 3.812f, 1.1f},
                                 {0, 1, 7});
        Sim_State::Set_Raw_Value(sim, 30, 3, 0x7FC00000);   // value 1 is no number
        main->TimerMessage.stop();
        QString caption, time;
        QStringList names, values, zones;
        QList<QColor> zone_colors;
        bool grey_hidden = true;
        const int dialogs = Run("NChrom_Mom", [&](QDialog &d) {
            auto *f = qobject_cast<TFormMom *>(&d);
            QVERIFY(f);
            QCOMPARE(f->Timer.interval(), 10000);
            QVERIFY(f->Timer.isActive());
            QTRY_VERIFY(!f->pnTime->text().isEmpty());   // the refresh at once
            caption = f->windowTitle();
            time = f->pnTime->text();
            for (int i = 0; i < 3; ++i) {
                names << f->Rows[i].pn->text();
                values << f->Rows[i].v->text();
                zones << f->Rows[i].z->text();
                zone_colors << Text_Color(f->Rows[i].z);
            }
            for (int i = 3; i < 20; ++i)
                grey_hidden = grey_hidden && !f->Rows[i].pn->isEnabled() && !f->Rows[i].v->isVisible() &&
                              !f->Rows[i].z->isVisible() && Back_Color(f->Rows[i].pn) == QColor(211, 211, 211);
            f->BitBtnExit->click();
            QVERIFY(!f->Timer.isActive());
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 33, 0, 1}, {1, 41, 0, 1}, {1, 30, 0, 22}, {1, 32, 0, 20}}));
        QCOMPARE(caption, QString("Мгновенные данные хроматографа (сер. № 5649426), зоны параметров газа"));
        QCOMPARE(time, QString("17.05.24 11:57:03"));
        QCOMPARE(names[0], QString(" Метан, %"));
        QCOMPARE(values, (QStringList{"92.3512", "?", "1.1000"}));
        QCOMPARE(zones, (QStringList{" Норма", " Нижняя предупредительная зона", "?"}));
        QCOMPARE(zone_colors, (QList<QColor>{QColor(0, 0, 0), QColor(114, 56, 56), QColor(0, 128, 0)}));
        QVERIFY(grey_hidden);
        QVERIFY(main->TimerMessage.isActive());

        // The serial number is known now: table 41 is not read again. A tick during the
        // table-30 exchange reads nothing more.
        Run("NChrom_Mom", [&](QDialog &d) {
            auto *f = qobject_cast<TFormMom *>(&d);
            QTRY_VERIFY(!f->pnTime->text().isEmpty());
            Take_Requests(sim);
            on_request = [&](const QByteArray &req) {
                if (uint8_t(req[5]) == 30) f->TimerTimer();
            };
            f->TimerTimer();
            on_request = nullptr;
            QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 30, 0, 22}, {1, 32, 0, 20}}));
            f->BitBtnRefresh->click();
            QVERIFY(!f->Timer.isActive());
            f->TimerTimer();
            QVERIFY(Take_Requests(sim).isEmpty());
        });

        // No link with the chromatograph: the message instead of the form.
        Take_Requests(sim);
        sim.Set_Field(33, 0, QByteArray(1, '\0'));
        QCOMPARE(Run("NChrom_Mom", [](QDialog &) {}), 0);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 33, 0, 1}}));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, uint32_t(6));
        QCOMPARE(ques.asked[0].line1, QString("Нет связи с хроматографом"));
        QCOMPARE(ques.asked[0].line2, QString("(см. текущее состояние контроллера)"));
    }

    void wmt_momentary_form()
    {
        Sim_State::Set_Wmt_Mom(sim, QDateTime(QDate(2024, 5, 17), QTime(11, 59, 0)), {-18.4f, 0.5f, 5.31f, 150.f, 2.f});
        Sim_State::Set_Raw_Value(sim, 37, 6, 0xFF800000);
        for (uint8_t type : {uint8_t(0), uint8_t(2)}) {
            Set_Image(15, 6, type);
            QStringList captions, values;
            int visible = 0;
            Run("NWmt_MomData", [&](QDialog &d) {
                auto *f = qobject_cast<TFormMomWmt *>(&d);
                QVERIFY(f);
                QCOMPARE(f->windowTitle(), QString(" Мгновенные данные влагомера"));
                QTRY_VERIFY(!f->pnTime->text().isEmpty());
                QCOMPARE(f->pnTime->text(), QString("17.05.24 11:59:00"));
                for (const auto &r : f->Rows) {
                    if (!r.pn->isVisible()) continue;
                    ++visible;
                    // The long captions keep their units: the layout gives them their whole text.
                    QVERIFY(r.pn->fontMetrics().horizontalAdvance(r.pn->text()) < r.pn->minimumWidth());
                    captions << r.pn->text();
                    values << r.v->text();
                }
            });
            QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 33, 1, 1}, {1, 37, 0, 7}}));
            if (type == 2) {
                QCOMPARE(visible, 4);
                QCOMPARE(captions[2], QString(" PV23 – Давление газа,  bar"));
                QCOMPARE(values, (QStringList{"  -18.40", "  0.500", "  5.31", "  150.0"}));
            } else {
                QCOMPARE(visible, 5);
                QCOMPARE(captions, Wmt_Row_Captions(0));
                QCOMPARE(values, (QStringList{"  -18.40", "  0.500", "  5.31", "  150.0", "   ?"}));
            }
        }
        sim.Set_Field(33, 1, QByteArray(1, '\0'));
        QCOMPARE(Run("NWmt_MomData", [](QDialog &) {}), 0);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Нет связи с влагомером"));
        QCOMPARE(ques.asked[0].line2, QString("(см. текущее состояние контроллера)"));
    }

    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        main.reset();
    }
};

QTEST_MAIN(Tst_State_Forms)
#include "tst_state_forms.moc"
