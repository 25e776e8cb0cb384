// The table-state check at connect against the controller simulator: what
// each choice of the table-state form leads to, what reaches the controller and in which
// order, and the messages shown.
#include "core/Cnf_Exchange.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Connect_Seq.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/Config.h"
#include "params/Tabinfo.h"
#include "params/forms/Access.h"
#include "params/forms/Config.h"
#include "params/forms/Restore.h"
#include "params/forms/Tabinfo.h"

#include "Sim_Menu.h"

#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <deque>
#include <memory>

namespace {

const QByteArray kPass = Sim_Core::Pad("secret", 12);
const QByteArray kCode = Sim_Core::Pad("1234", 4);
const QByteArray kBlank12(12, ' ');
const QByteArray kBlank4(4, ' ');

struct Ques_Log : Ques_Handler {
    QStringList asked;
    QList<uint32_t> kinds;
    std::deque<uint8_t> answers;   // then "Нет"
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q.line1 + " | " + q.line2;
        kinds << q.kind;
        if (answers.empty()) return 0;
        const uint8_t a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace

class Tst_Restore : public QObject {
    Q_OBJECT
    Sim_Menu m;
    Sim_Core &sim = m.sim;
    Ques_Log ques;

    // What the table-state form is to do: the tables to tick and the result it reports.
    QList<int> sel;
    uint8_t result = 0;
    // Seen in the form.
    QByteArray states_shown;
    // The configuration file offered in the open dialog; empty: the dialog is cancelled.
    QString cnf_file;
    // Editor / access form: accept or cancel, and a change made before accepting.
    std::deque<bool> editor_accepts;
    std::function<void(Cnf_Rec &)> editor_edit;
    bool access_accepts = true;
    QStringList dialogs;

    void Answer(QDialog &d)
    {
        if (auto *f = qobject_cast<TFormTableInfo *>(&d)) {
            dialogs << "tabinfo";
            states_shown = QByteArray(reinterpret_cast<const char *>(f->Tab_State->State), TAB_STATE_TABLES);
            // The write buttons serve only the direct line: their choice is made here.
            for (int t : sel) f->Tab_State->Write_Sel[t] = 1;
            if (result == 2) Select_All_Tables(*f->Tab_State);
            f->Result = result;
            f->accept();
        } else if (auto *c = qobject_cast<TFormConfig *>(&d)) {
            dialogs << "config";
            QCOMPARE(c->Dev_Write, uint8_t(1));
            const bool ok = editor_accepts.empty() ? false : editor_accepts.front();
            if (!editor_accepts.empty()) editor_accepts.pop_front();
            if (editor_edit) editor_edit(*c->Cnf);
            if (ok) c->Confirm_Button()->click();
        } else if (auto *a = qobject_cast<TFormAccess *>(&d)) {
            dialogs << "access";
            QCOMPARE(a->Dev_Write, uint8_t(1));
            if (access_accepts) a->Confirm_Button()->click();
        } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
            dialogs << (fd->acceptMode() == QFileDialog::AcceptOpen ? "open" : "save");
            if (fd->acceptMode() == QFileDialog::AcceptOpen && !cnf_file.isEmpty()) {
                fd->selectFile(cnf_file);
                d.accept();
            }
        } else {
            dialogs << d.metaObject()->className();
        }
    }

    QList<Req> Take() { return m.Requests(); }
    static QList<Req> Writes(const QList<Req> &all)
    {
        QList<Req> w;
        for (const Req &r : all)
            if (r.func == 2) w << r;
        return w;
    }
    // Runs the check as the connect sequence does.
    void Check()
    {
        Scripted_Dialogs run([this](QDialog &d) { Answer(d); });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        Check_Table_States(m.main.get());
        Set_Dialog_Runner(old);
    }
    void Set_Version(uint8_t v)
    {
        QVERIFY(sim.Set_Field(0, 3, QByteArray(1, char(v))));
        *Tab_Field(0, 3) = v;
    }
    // A configuration file (for the present software version) made of the controller's own
    // configuration with its system parameters changed (byte 3), so that the restore shows
    // in the controller.
    QString Make_File(uint8_t t6_3 = 17)
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        Fill_Config(rec);
        rec.t6[3] = t6_3;
        const QString path = m.dir.filePath("restore.cnf");
        [&] { QCOMPARE(Write_Cnf_File(path, rec), Cnf_Write::Ok); }();
        return path;
    }
    // The controller with a destroyed user table knows no password; once its user table is
    // written it takes the login pair.
    void Blank_Users_Until_Written()
    {
        sim.Set_Password(kBlank12);
        sim.Set_Code(kBlank4);
        sim.Set_Log_Hook([this](const Sim_Request_Log &l) {
            if (l.func == 2 && l.table == 4 && l.first == 10 && l.error == 0) {
                sim.Set_Password(kPass);
                sim.Set_Code(kCode);
            }
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Set_Ques_Handler(&ques);
        Install_Restore(m.main.get());
        QVERIFY(bool(Table_State_Check));
    }
    void cleanupTestCase()
    {
        Table_State_Check = nullptr;
        Set_Ques_Handler(nullptr);
    }

    void init()
    {
        sim.Set_Log_Hook(nullptr);
        sim.Set_Password(kPass);
        sim.Set_Code(kCode);
        sim.Set_Image(Sim_Core::Default_Image(1, kPass, kCode));
        sim.Clear_Faults();
        std::memcpy(Exch_Box->Write_Pass, kPass.constData(), 12);
        std::memcpy(Exch_Box->User_Code, kCode.constData(), 4);
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        Set_Version(16);
        sim.Clear_Log();
        ques.asked.clear();
        ques.kinds.clear();
        ques.answers.clear();
        sel.clear();
        result = 0;
        states_shown.clear();
        cnf_file.clear();
        editor_accepts.clear();
        editor_edit = nullptr;
        access_accepts = true;
        dialogs.clear();
        Connected = true;
        Config_Only = false;
    }

    // Version 16: the states are read; closing the form keeps the link.
    void states_read_and_exit_keeps_the_link()
    {
        QVERIFY(sim.Set_Field(7, 6, QByteArray(1, char(1))));
        Check();
        QVERIFY(Connected);
        QCOMPARE(Take(), (QList<Req>{{1, 7, 0, 45}}));
        QCOMPARE(dialogs, QStringList{"tabinfo"});
        QCOMPARE(int(states_shown.at(6)), 1);
        QCOMPARE(int(states_shown.at(5)), 0);
        QVERIFY(ques.asked.isEmpty());
    }

    // Version 14: every table shown destroyed without a read; no choice closes the link.
    void configuration_only_controller_shown_all_destroyed()
    {
        Set_Version(14);
        Check();
        QVERIFY(!Connected);
        QVERIFY(Take().isEmpty());
        QCOMPARE(states_shown, QByteArray(TAB_STATE_TABLES, char(1)));
        QVERIFY(!Config_Only);
    }

    void reset_closes_and_write_all_is_ignored_for_a_running_controller()
    {
        result = 3;
        Check();
        QVERIFY(!Connected);

        Connected = true;
        dialogs.clear();
        result = 2;
        sel = {6};
        Check();
        QVERIFY(Connected);
        QCOMPARE(dialogs, QStringList{"tabinfo"});
        QVERIFY(Writes(Take()).isEmpty());
    }

    // Only the clock: no file, the system parameters read and the PC time written after
    // the confirmation.
    void clock_only_sets_the_time()
    {
        result = 1;
        sel = {2};
        ques.answers = {1};
        Check();
        QVERIFY(Connected);
        QCOMPARE(dialogs, QStringList{"tabinfo"});
        QCOMPARE(Take(), (QList<Req>{{1, 7, 0, 45}, {1, 6, 0, 12}, {2, 2, 0, 8}}));
        QCOMPARE(ques.asked, QStringList{"В контроллер будет записано время ЭВМ. | Вы уверены, что часы ЭВМ показывают правильное время?"});
    }

    // A cancelled file dialog and a cancelled editor write nothing.
    void cancelled_file_or_editor_writes_nothing()
    {
        result = 1;
        sel = {6, 9};
        Check();
        QVERIFY(Connected);
        QCOMPARE(dialogs, (QStringList{"tabinfo", "open"}));
        QVERIFY(Writes(Take()).isEmpty());

        dialogs.clear();
        cnf_file = Make_File();
        editor_accepts = {false};
        Check();
        QVERIFY(Connected);
        QCOMPARE(dialogs, (QStringList{"tabinfo", "open", "config"}));
        QVERIFY(Writes(Take()).isEmpty());
        // Each restore left unwritten says so.
        QCOMPARE(ques.asked, QStringList(2, "Запись таблиц не выполнена | "));
    }

    // Version 14, "Записать все таблицы": the user table with a blank pair in two requests,
    // the clock, then table 9, 17..20, 13 and the others in number order; the link closes.
    void configuration_only_restore_writes_all_in_order()
    {
        cnf_file = Make_File(17);
        Set_Version(14);
        Blank_Users_Until_Written();
        result = 2;
        editor_accepts = {true};
        ques.answers = {1};   // the clock
        bool cfg_only_seen = false;
        sim.Set_Log_Hook([&](const Sim_Request_Log &l) {
            if (l.func == 2 && l.table == 4 && l.first == 10 && l.error == 0) {
                sim.Set_Password(kPass);
                sim.Set_Code(kCode);
            }
            if (l.func == 2 && l.table == 3) cfg_only_seen = Config_Only;
        });
        Check();
        QVERIFY2(!Connected, qPrintable(ques.asked.join('\n')));
        QVERIFY(!Config_Only);
        QCOMPARE(dialogs, (QStringList{"tabinfo", "open", "config"}));
        QCOMPARE(ques.asked, (QStringList{"В контроллер будет записано время ЭВМ. | Вы уверены, что часы ЭВМ показывают правильное время?",
                                          "Команда выполнена | "}));

        const QList<Sim_Request_Log> log = sim.Log();
        QList<int> tables;
        for (const Sim_Request_Log &l : log) {
            if (l.func != 2) continue;
            QCOMPARE(l.error, 0);
            if (tables.isEmpty() || tables.constLast() != l.table) tables << l.table;
        }
        QList<int> expected{4, 2, 9, 17, 18, 19, 20, 13};
        Tab_State_Block all;
        const QByteArray ones(TAB_STATE_TABLES, char(1));
        Fill_Tab_State_Block(all, reinterpret_cast<const uint8_t *>(ones.constData()));
        Select_All_Tables(all);
        for (int t = 0; t < TAB_STATE_TABLES; ++t)
            if (all.Write_Sel[t] && !expected.contains(t)) expected << t;
        QCOMPARE(tables, expected);
        QVERIFY(cfg_only_seen);

        // The user table went with the blank pair in fields 0..9 and 10..15; the rest with
        // the login pair, which the exchange object holds again.
        int users = 0;
        for (const Sim_Request_Log &l : log) {
            if (l.func != 2) continue;
            const QByteArray pair = l.raw.mid(4, 16);
            if (l.table == 4) {
                QCOMPARE(pair, kBlank12 + kBlank4);
                QCOMPARE(l.first, users == 0 ? 0 : 10);
                QCOMPARE(l.count, users == 0 ? 10 : 6);
                ++users;
            } else {
                QCOMPARE(pair, kPass + kCode);
            }
        }
        QCOMPARE(users, 2);
        QCOMPARE(QByteArray(Exch_Box->Write_Pass, 12), kPass);
        QCOMPARE(QByteArray(Exch_Box->User_Code, 4), kCode);
        QCOMPARE(int(uint8_t(sim.Field(6, 3).at(0))), 17);
    }

    // "Записать избранные таблицы" with every table ticked: "Нет" to the PC's time skips only
    // the clock; how the restore ended is said in every case.
    void restore_end_is_said_data()
    {
        QTest::addColumn<uint8_t>("clock");         // the answer to the PC's time
        QTest::addColumn<bool>("refuse_writes");    // the controller refuses the writes after table 4
        QTest::addColumn<bool>("clock_written");
        QTest::addColumn<QString>("last");
        QTest::addColumn<uint32_t>("kind");
        QTest::newRow("clock declined") << uint8_t(0) << false << false << "Команда выполнена | " << 5u;
        QTest::newRow("clock set") << uint8_t(1) << false << true << "Команда выполнена | " << 5u;
        QTest::newRow("writes refused") << uint8_t(0) << true << false << "Запись таблиц не выполнена | " << 6u;
    }
    void restore_end_is_said()
    {
        QFETCH(uint8_t, clock);
        QFETCH(bool, refuse_writes);
        QFETCH(bool, clock_written);
        QFETCH(QString, last);
        QFETCH(uint32_t, kind);
        cnf_file = Make_File(17);
        Set_Version(14);
        Blank_Users_Until_Written();
        Tab_State_Block all;
        const QByteArray ones(TAB_STATE_TABLES, char(1));
        Fill_Tab_State_Block(all, reinterpret_cast<const uint8_t *>(ones.constData()));
        Select_All_Tables(all);
        for (int t = 0; t < TAB_STATE_TABLES; ++t)
            if (all.Write_Sel[t]) sel << t;
        result = 1;
        editor_accepts = {true};
        ques.answers = {clock};   // then "Нет" to any retry
        if (refuse_writes)
            sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 12).For_Func(2).Skip(2).Times(-1));
        Check();
        QVERIFY(!Connected);
        QCOMPARE(ques.asked.constLast(), last);
        QCOMPARE(ques.kinds.constLast(), kind);

        QSet<int> written;
        for (const Sim_Request_Log &l : sim.Log())
            if (l.func == 2 && l.error == 0 && l.faults.isEmpty()) written << int(l.table);
        QCOMPARE(written.contains(2), clock_written);
        if (refuse_writes) return;
        for (int t : sel)
            if (t != 2) QVERIFY2(written.contains(t), qPrintable(QString::number(t)));
    }

    // A record the image refuses: the question to correct it; "Да" opens the editor again,
    // the corrected record (offered for saving) is written.
    void refused_record_corrected_in_the_editor()
    {
        cnf_file = Make_File();
        Set_Version(14);
        result = 1;
        sel = {14};
        editor_accepts = {true, true, true};
        int shown = 0;
        editor_edit = [&](Cnf_Rec &r) {
            ++shown;
            r.t6[7] = 1;
            r.t14[0] = shown == 1 ? 0 : 5;   // no chromatograph address, then one
        };
        ques.answers = {0, 1};   // the refusal, then "Да" to the correction
        Check();
        QVERIFY(!Connected);
        QCOMPARE(shown, 2);
        QVERIFY(ques.asked.contains("Неверно задан адрес хроматографа | "));
        QVERIFY(ques.asked.contains("Корректировать параметры конфигурации? | "));
        QVERIFY(dialogs.contains("save"));
        const QList<Req> w = Writes(Take());
        QVERIFY(!w.isEmpty());
        for (const Req &r : w) QCOMPARE(r.tab, 14);
        QCOMPARE(int(uint8_t(sim.Field(14, 0).at(0))), 5);
    }

    // Only the user table selected: the access form on the record, then the table.
    void user_table_restored_through_the_access_form()
    {
        cnf_file = Make_File();
        Set_Version(14);
        Blank_Users_Until_Written();
        result = 1;
        sel = {4};
        Check();
        QVERIFY(!Connected);
        QCOMPARE(dialogs, (QStringList{"tabinfo", "open", "access"}));
        QCOMPARE(Writes(Take()), (QList<Req>{{2, 4, 0, 10}, {2, 4, 10, 6}}));

    }

    // A refused user-table write stops at the first request, puts the pair back and says so.
    void failed_user_table_write()
    {
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[4] = 1;
        b.Write_Sel[6] = 1;
        QVERIFY(!Restore_Users(m.main.get(), b));   // the controller wants its own pair
        // Only the first request went (the exchange may repeat it), never fields 10..15.
        const QList<Req> w = Writes(Take());
        QVERIFY(!w.isEmpty());
        for (const Req &r : w) QCOMPARE(r, (Req{2, 4, 0, 10}));
        QCOMPARE(ques.asked.constLast(),
                 QString("Таблица зарегистрированных пользователей не восстановлена | Запись в таблицы параметров конфигурации недопустима"));
        QCOMPARE(QByteArray(Exch_Box->Write_Pass, 12), kPass);
        QCOMPARE(QByteArray(Exch_Box->User_Code, 4), kCode);
        QCOMPARE(int(b.Write_Sel[6]), 1);
    }
};

QTEST_MAIN(Tst_Restore)
#include "tst_restore.moc"
