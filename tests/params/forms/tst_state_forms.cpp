// The table-state, current-state, flow-computer-state and momentary-data forms against the
// controller simulator: what is read and when, what the forms refuse, and the reset.
#include "core/Rd_wr_ini.h"
#include "core/Stringi.h"
#include "core/forms/Statusbar.h"
#include "params/forms/Curr_State.h"
#include "params/forms/Mom_Data.h"
#include "params/forms/Tabinfo.h"

#include "SimState.h"
#include "Sim_Menu.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QtTest>

namespace {
void Is_Vich_Form(QDialog &d)
{
    QVERIFY(qobject_cast<TFormVichInf *>(&d));
}
} // namespace

class Tst_State_Forms : public QObject {
    Q_OBJECT
    Sim_Menu m;
    Sim_Core &sim = m.sim;

    void Set_Image(int t, int k, uint8_t v)
    {
        sim.Set_Field(t, k, QByteArray(1, char(v)));
        *Tab_Field(t, k) = v;
    }
    static Tab_State_Block Block(std::initializer_list<int> destroyed)
    {
        uint8_t st[TAB_STATE_TABLES] = {};
        for (int t : destroyed) st[t] = 1;
        Tab_State_Block b;
        Fill_Tab_State_Block(b, st);
        return b;
    }
    void Login()
    {
        std::memcpy(Exch_Box->Write_Pass, sim.Password().constData(), 12);
        std::memcpy(Exch_Box->User_Code, sim.Code().constData(), 4);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Sim_State::Install(sim);
        Install_State_Commands(m.main.get());
    }

    void init()
    {
        sim.Set_Adr(1);
        m.Reset();
        Exch_Box->Adr = 1;
        if (!Exch_Box->Sock) Exch_Box->Sock = m.port.Borrow();
        Connected = true;
        Conn_Settings.Curr_Par.Conn_Prz = 0;
        Conn_Settings.Dir_Conn_Par.Adr = 5;
        Conn_Settings.Dir_Conn_Par.Rate = 19200;
        m.main->Update_Menu();
    }

    void table_info_write_choices()
    {
        Set_Image(0, 3, 14);
        {
            // Nothing ticked: refused, the form stays open.
            Tab_State_Block b = Block({});
            TFormTableInfo f(m.main.get());
            f.Tab_State = &b;
            f.show();
            f.BitBtnSel->click();
            QCOMPARE(m.ques.asked.size(), 1);
            QCOMPARE(m.ques.asked[0].line1, QString("Не заданы таблицы для записи"));
            QVERIFY(f.isVisible());
            QCOMPARE(int(f.Result), 0);
        }
        {
            // Ticked: the clock only when destroyed, the users whenever destroyed.
            Tab_State_Block b = Block({4, 9});
            TFormTableInfo f(m.main.get());
            f.Tab_State = &b;
            f.show();
            // The focus on the first destroyed table's box; over another link (below) on "Выход",
            // and the rows' area is no Tab stop that shows nothing.
            QVERIFY(QTest::qWaitForWindowActive(&f));
            QCOMPARE(QApplication::focusWidget()->property("tag").toInt(), 4);
            for (auto &r : f.Rows) {
                if (r.tab == 2 || r.tab == 14) r.cb->setChecked(true);
                if (r.tab == 4) r.cb->setChecked(false);
            }
            f.BitBtnSel->click();
            QCOMPARE(int(f.Result), 1);
            for (int t = 0; t < TAB_STATE_TABLES; ++t)
                QCOMPARE(int(b.Write_Sel[t]), (t == 4 || t == 9 || t == 14) ? 1 : 0);
        }
        {
            // Another link: nothing can be chosen.
            Conn_Settings.Curr_Par.Conn_Prz = 2;
            Tab_State_Block b = Block({5, 6, 4});
            TFormTableInfo f(m.main.get());
            f.Tab_State = &b;
            f.show();
            for (int k = 0; k < f.Used; ++k) QVERIFY(!f.Rows[size_t(k)].cb->isEnabled());
            QVERIFY(!f.BitBtnSel->isEnabled() && !f.BitBtnAll->isEnabled() && !f.BitBtnReset->isEnabled());
            QVERIFY(QTest::qWaitForWindowActive(&f));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), f.BitBtnExit);
        }
        QVERIFY(m.Requests().isEmpty());   // the form writes nothing itself
    }

    void table_info_reset()
    {
        Tab_State_Block b = Block({5});
        {
            // "Нет": nothing is sent.
            TFormTableInfo f(m.main.get());
            f.Tab_State = &b;
            f.Status_Bar = m.main->StatusBar1;
            f.show();
            f.BitBtnReset->click();
            QCOMPARE(m.ques.asked.size(), 1);
            QVERIFY(m.Requests().isEmpty());
            QVERIFY(f.isVisible());
        }
        {
            // Refused by the controller: the error is shown, the form stays, settings unchanged.
            m.ques.asked.clear();
            m.ques.answers = {1};
            sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 3).For_Func(25).Times(-1));
            TFormTableInfo f(m.main.get());
            f.Tab_State = &b;
            f.Status_Bar = m.main->StatusBar1;
            f.show();
            f.BitBtnReset->click();
            QCOMPARE(m.ques.asked.size(), 2);
            QCOMPARE(m.ques.asked[1].line1, QString("Команда не может быть выполнена."));
            QVERIFY(f.isVisible() && f.BitBtnReset->isEnabled());
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 5);
            sim.Clear_Faults();
        }
    }

    void current_state_tick_reads_16_then_33()
    {
        Sim_State::Situations s;
        s.chrom_err = 12;
        s.word1[0] = 0x12;
        s.word1[1] = 0x34;
        Sim_State::Set_Situations(sim, s);
        Sim_State::Set_Links(sim, 0, 1);
        Set_Image(0, 10, 0);   // words in the other byte order

        TFormPrz f(m.main.get());
        f.show();
        f.TimerTimer();
        QCOMPARE(m.Requests(), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}}));
        QCOMPARE(f.pnChrom->text(), QString("Код ошибки 12"));
        QCOMPARE(f.pnChromLink->text(), QString("Связи нет"));
        // Swapped once per read.
        const uint8_t *t16 = Tab_Dir[16].data;
        QCOMPARE(int(t16[12]), 0x34);
        f.TimerTimer();
        QCOMPARE(int(t16[12]), 0x34);
        Set_Image(0, 10, 1);   // byte order 1: kept as read
        f.TimerTimer();
        QCOMPARE(int(t16[12]), 0x12);

        // A failed read leaves the panels and asks nothing; the timer goes on.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).Times(-1));
        Sim_State::Set_Links(sim, 1, 1);
        f.TimerTimer();
        QVERIFY(m.ques.asked.isEmpty());
        QCOMPARE(f.pnChromLink->text(), QString("Связи нет"));
        QVERIFY(f.Timer.isActive());
        sim.Clear_Faults();

        f.BitBtnExit->click();
        QVERIFY(!f.Timer.isActive());
        m.Requests();
        f.TimerTimer();   // a tick that was already queued when the form closed
        QVERIFY(m.Requests().isEmpty());
    }

    void current_state_stop_during_the_tick_skips_table_33()
    {
        TFormPrz f(m.main.get());
        f.show();
        m.on_request = [&](const QByteArray &req) {
            if (uint8_t(req[3]) == 1 && uint8_t(req[5]) == 16) f.BitBtnRefresh->click();
        };
        f.TimerTimer();
        m.on_request = nullptr;
        QCOMPARE(m.Requests(), (QList<Req>{{1, 16, 0, 18}}));
        QVERIFY(!f.Timer.isActive());
        f.TimerTimer();
        QVERIFY(m.Requests().isEmpty());
        f.BitBtnRefreshClick();
        QVERIFY(f.Timer.isActive());
    }

    // A button clicked while the tick's exchange runs is kept: its reads follow that exchange,
    // nothing of the tick comes after them.
    void current_state_click_during_the_tick_is_kept_data()
    {
        QTest::addColumn<bool>("tables");
        QTest::addColumn<int>("during");
        QTest::addColumn<QList<int>>("read");
        QTest::newRow("table states, table 16") << true << 16 << QList<int>{16, 7};
        QTest::newRow("table states, table 33") << true << 33 << QList<int>{16, 33, 7};
        QTest::newRow("flow computers, table 16") << false << 16 << QList<int>{16, 9, 18, 34, 35};
        QTest::newRow("flow computers, table 33") << false << 33 << QList<int>{16, 33, 9, 18, 34, 35};
    }
    void current_state_click_during_the_tick_is_kept()
    {
        QFETCH(bool, tables);
        QFETCH(int, during);
        QFETCH(QList<int>, read);
        Set_Image(6, 9, 1);
        Set_Image(9, 0, 2);
        Tab_State_Block b{};
        TFormPrz f(m.main.get());
        f.Tab_State = &b;
        f.show();
        QPushButton *button = tables ? f.BitBtnTables : f.BitBtnVich;
        m.on_request = [&](const QByteArray &req) {
            if (uint8_t(req[3]) == 1 && uint8_t(req[5]) == during && button->isEnabled()) button->click();
        };
        Scripted_Dialogs run([](QDialog &d) { Is_Vich_Form(d); });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.TimerTimer();
        Set_Dialog_Runner(old);
        m.on_request = nullptr;
        QList<int> tabs;
        for (const Req &r : m.Requests()) tabs << r.tab;
        QCOMPARE(tabs, read);
        QCOMPARE(int(f.Result), tables ? 1 : 0);
        QCOMPARE(f.isVisible(), !tables);
        QCOMPARE(run.Count, tables ? 0 : 1);
        if (!tables) {
            QVERIFY(f.Timer.isActive() && f.BitBtnTables->isEnabled());
            f.close();
        }
    }

    void current_state_tick_never_overlaps_an_exchange_or_command()
    {
        TFormPrz f(m.main.get());
        f.show();
        // A tick arriving while the table-16 exchange runs reads nothing.
        int nested = 0;
        m.on_request = [&](const QByteArray &req) {
            if (uint8_t(req[5]) == 16 && nested++ == 0) f.TimerTimer();
        };
        f.TimerTimer();
        m.on_request = nullptr;
        QCOMPARE(m.Requests(), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}}));
        QCOMPARE(Exch_Box->Err_Code, uint32_t(ERR_OK));

        // A command of the main window is running (this form was opened outside it).
        QVERIFY(m.main->Run_Command([&] { f.TimerTimer(); }));
        QVERIFY(m.Requests().isEmpty());

        Connected = false;
        f.TimerTimer();
        QVERIFY(m.Requests().isEmpty());
        Connected = true;
    }

    void sit_command_loops_until_a_choice_and_disconnects_after_a_reset()
    {
        // Prz -> table states -> "Выход" -> Prz again -> "Выход": the link stays.
        QStringList seen;
        m.Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                seen << "prz";
                if (seen.size() == 1) p->BitBtnTables->click();
                else p->BitBtnExit->click();
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                seen << "tab";
                t->BitBtnExit->click();
            }
        });
        QCOMPARE(seen, (QStringList{"prz", "tab", "prz"}));
        QVERIFY(Connected);

        // The reset: disconnect and menus for no link.
        m.ques.answers = {1};
        Login();
        m.Requests();
        m.Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                p->TimerTimer();   // the form's timer works inside the command that opened it
                p->BitBtnTables->click();
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                t->BitBtnReset->click();
            }
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 16, 0, 18}, {1, 33, 0, 2}, {1, 7, 0, 45}, {25, -1, -1, -1}}));
        QVERIFY(!Connected);
        QVERIFY(!Exch_Box->Sock);
        QVERIFY(!m.main->Item("NSit")->isVisible());
    }

    // The "..." that opened a form has the focus again when the form closes, also when the
    // current-state form itself comes back after the table states; Tab goes on to the next "...".
    void current_state_focus_back_on_the_button()
    {
        Set_Image(6, 9, 1);
        Set_Image(9, 0, 2);
        QStringList focus;
        const auto name = [](const QWidget *w) { return w ? w->objectName() : QStringLiteral("<none>"); };
        int shown = 0;
        m.Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                p->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(p));
                if (++shown == 2) {
                    focus << name(p->focusWidget());
                    p->BitBtnExit->click();
                    return;
                }
                // The flow computers' form, left by Esc.
                p->BitBtnVich->setFocus(Qt::TabFocusReason);
                p->BitBtnVich->click();
                focus << name(p->focusWidget());
                QTest::keyClick(p, Qt::Key_Tab);
                focus << name(p->focusWidget());
                // The table states, left by "Выход": this form comes back.
                p->BitBtnTables->setFocus(Qt::TabFocusReason);
                p->BitBtnTables->click();
            } else if (auto *v = qobject_cast<TFormVichInf *>(&d)) {
                QTest::keyClick(v, Qt::Key_Escape);
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                t->BitBtnExit->click();
            }
        });
        QCOMPARE(shown, 2);
        QCOMPARE(focus, (QStringList{"BitBtnVich", "BitBtnTables", "BitBtnTables"}));
    }

    // Shown again after the table states, the form is where it was, here where the user put it.
    void sit_form_keeps_its_place_when_shown_again()
    {
        QList<QPoint> at;
        m.Run("NSit", [&](QDialog &d) {
            if (auto *p = qobject_cast<TFormPrz *>(&d)) {
                QVERIFY(QTest::qWaitForWindowExposed(p));
                QTest::qWait(400);   // under a window manager: framed and placed by its frame
                if (at.isEmpty()) {
                    // Moved as a window manager moves it, not by the program.
                    const QPoint to = p->geometry().topLeft() + QPoint(37, 23);
                    p->windowHandle()->setPosition(to);
                    QTRY_COMPARE(p->geometry().topLeft(), to);
                    at << to;
                    p->BitBtnTables->click();
                } else {
                    at << p->geometry().topLeft();
                    p->BitBtnExit->click();
                }
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                t->BitBtnExit->click();
            }
        });
        QCOMPARE(at.size(), 2);
        QCOMPARE(at[1], at[0]);
    }

    void chrom_momentary_form()
    {
        Set_Image(14, 14, 3);
        sim.Set_Field(41, 0, QByteArray("\x12\x34\x56\x00", 4));
        std::memset(Tab_Dir[41].data, 0, 4);
        Sim_State::Set_Chrom_Mom(sim, QDateTime(QDate(2024, 5, 17), QTime(11, 57, 3)), {92.35124f, 3.812f, 1.1f},
                                 {0, 1, 7});
        Sim_State::Set_Raw_Value(sim, 30, 3, 0x7FC00000);   // value 1 is no number
        QStringList values;
        QCOMPARE(m.Run("NChrom_Mom", [&](QDialog &d) {
            auto &f = m.As<TFormMom>(d);
            QTRY_VERIFY(!f.pnTime->text().isEmpty());   // the refresh at once
            for (int i = 0; i < 3; ++i) values << f.Rows[i].v->text();
            f.BitBtnExit->click();
            QVERIFY(!f.Timer.isActive());
        }), 1);
        QCOMPARE(m.Requests(), (QList<Req>{{1, 33, 0, 1}, {1, 41, 0, 1}, {1, 30, 0, 22}, {1, 32, 0, 20}}));
        QCOMPARE(values, (QStringList{"92.3512", "?", "1.1000"}));

        // The serial number is known now: table 41 is not read again. A tick during the
        // table-30 exchange reads nothing more.
        m.Run("NChrom_Mom", [&](QDialog &d) {
            auto &f = m.As<TFormMom>(d);
            QTRY_VERIFY(!f.pnTime->text().isEmpty());
            m.Requests();
            m.on_request = [&](const QByteArray &req) {
                if (uint8_t(req[5]) == 30) f.TimerTimer();
            };
            f.TimerTimer();
            m.on_request = nullptr;
            QCOMPARE(m.Requests(), (QList<Req>{{1, 30, 0, 22}, {1, 32, 0, 20}}));
            f.BitBtnRefresh->click();
            f.TimerTimer();
            QVERIFY(m.Requests().isEmpty());
        });

        // No link with the chromatograph: the message instead of the form.
        m.Requests();
        sim.Set_Field(33, 0, QByteArray(1, '\0'));
        QCOMPARE(m.Run("NChrom_Mom", [](QDialog &) {}), 0);
        QCOMPARE(m.Requests(), (QList<Req>{{1, 33, 0, 1}}));
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, QString("Нет связи с хроматографом"));
    }

    // Long texts show whole in the font here: every table name, the moisture captions with
    // their units.
    void texts_show_whole()
    {
        Tab_State_Block b = Block({42});
        std::fill(std::begin(b.Cfg), std::end(b.Cfg), uint8_t(1));
        TFormTableInfo f(m.main.get());
        f.Tab_State = &b;
        f.show();
        for (int k = 0; k < f.Used; ++k) {
            const QLabel *name = f.Rows[size_t(k)].name;
            QVERIFY2(name->fontMetrics().horizontalAdvance(name->text()) < name->contentsRect().width(),
                     qPrintable(name->text()));
        }
        f.close();
        Set_Image(15, 6, 0);
        int shown = 0;
        m.Run("NWmt_MomData", [&](QDialog &d) {
            for (const auto &r : m.As<TFormMomWmt>(d).Rows) {
                if (!r.pn->isVisible()) continue;
                ++shown;
                QVERIFY2(r.pn->fontMetrics().horizontalAdvance(r.pn->text()) < r.pn->minimumWidth(),
                         qPrintable(r.pn->text()));
            }
        });
        QCOMPARE(shown, 5);
    }

    // The table names start at one place in every row, one-digit numbers or two.
    void table_names_line_up()
    {
        Tab_State_Block b = Block({});
        std::fill(std::begin(b.Cfg), std::end(b.Cfg), uint8_t(1));
        TFormTableInfo f(m.main.get());
        f.Tab_State = &b;
        f.show();
        QSet<int> starts;
        for (int k = 0; k < f.Used; ++k) {
            const auto &r = f.Rows[size_t(k)];
            const QString text = r.name->text();
            const QString name = Tab_Names(r.tab).trimmed();
            if (name.isEmpty()) continue;
            starts << r.name->fontMetrics().horizontalAdvance(text.left(text.indexOf(name)));
        }
        QCOMPARE(f.Used, TAB_COUNT);
        QCOMPARE(starts.size(), 1);
    }

    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        m.main.reset();
    }
};

QTEST_MAIN(Tst_State_Forms)
#include "tst_state_forms.moc"
