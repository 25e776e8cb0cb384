// The configuration-file commands on the main window against the controller simulator: the
// controller's configuration read behind the wait form and saved, the open and save dialogs,
// and the editor hook of the new/edit commands.
#include "core/Cnf_Exchange.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Wait_Form.h"
#include "params/Tabinfo.h"
#include "params/forms/Config_Files.h"

#include "FakePort.h"
#include "Sim.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include "Menu_Run.h"
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    QList<uint8_t> answers;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

// What the wait form showed while the controller was asked.
struct Wait_Seen {
    int mode = -1;
    QString label2, label3;
    QList<int> values;
    int maximum = 0;
    bool main_disabled = false;
};

TFormWait *Find_Wait()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TFormWait *>(w)) return f;
    return nullptr;
}

QByteArray File_Bytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

} // namespace

class Tst_Cnf_Files : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;
    Wait_Seen seen;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    QString Cfg(const QString &name) const { return Work_Dir() + "CONFIG/" + name; }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path() + "/");
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        Set_Ques_Handler(&ques);
        Exch_Box->Adr = 1;
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Clk = &clk;
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Sock = port.Borrow();
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            // The wait form as it stands when the request goes out.
            if (TFormWait *f = Find_Wait()) {
                seen.mode = f->Wait_Mode;
                seen.label2 = f->Label2->text();
                seen.label3 = f->Label3->text();
                seen.values << f->ProgressBar1->value();
                seen.maximum = f->ProgressBar1->maximum();
                seen.main_disabled = !main->isEnabled();
            }
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        Install_Config_Commands(main.get());
    }
    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        main.reset();
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        sim.Clear_Log();
        std::memcpy(Contr_Tables, sim.Image().constData(), CONTR_TABLES_SIZE);
        for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), 20);
        ques.asked.clear();
        ques.answers.clear();
        seen = Wait_Seen();
    }

    void editor_commands_wait_for_the_editor()
    {
        QVERIFY(!Config_Editor);
        QVERIFY(!main->Item("NNewcnf")->isEnabled());
        QVERIFY(!main->Item("NEditcnf")->isEnabled());
        QVERIFY(main->Item("Nrdcnf")->isEnabled());
    }

    void read_and_save_the_controller_configuration()
    {
        sim.Set_Field(13, 0, QByteArray("secret-password!"));
        QString title, shown, filter;
        const int dialogs = Run("Nrdcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            title = fd->windowTitle();
            shown = fd->selectedFiles().value(0);
            filter = fd->selectedNameFilter();
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(title, QString("Выбор файла для записи параметров конфигурации"));
        QCOMPARE(filter, QString("Data Files (*.cnf)"));
        const QString name = QFileInfo(shown).fileName();
        QVERIFY2(name.startsWith("qzt_16-ГРС Северная-") && name.endsWith(".cnf"), qPrintable(name));
        QCOMPARE(QFileInfo(shown).absolutePath(), QFileInfo(Cfg("")).absolutePath());

        // The wait form in mode 3 over the disabled main window, advancing table by table.
        QCOMPARE(seen.mode, 3);
        QCOMPARE(seen.label2, QString("Выполняется чтение"));
        QCOMPARE(seen.label3, QString("таблиц параметров конфигурации"));
        QCOMPARE(seen.maximum, Cfg_Table_Count() + 1);
        QVERIFY(seen.main_disabled);
        QCOMPARE(seen.values.first(), 0);
        QCOMPARE(seen.values.last(), Cfg_Table_Count() - 2);
        QVERIFY(!Find_Wait());
        QVERIFY(main->isEnabled());
        for (const Sim_Request_Log &l : sim.Log()) {
            QCOMPARE(int(l.func), 1);
            QVERIFY(l.table != 13);
        }

        // The file: the controller's tables, names in 1251, passwords blank.
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line2, QString("сохранены в файле %1").arg(name));
        Cnf_Rec r;
        QCOMPARE(Load_Cnf_File(shown, r), Cnf_Load::Ok);
        QCOMPARE(int(r.filled), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.t6), 12), sim.Table(6));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.t1), 1280), sim.Table(1));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.users), 352), sim.Table(4));
        QCOMPARE(Cnf_Contr_Name(r), QString("ГРС Северная"));
        for (const Flou_Rec &f : r.flou) QCOMPARE(QByteArray(f.pass, 16), QByteArray(16, ' '));
        QCOMPARE(int(r.flou[1].adr), 2);
        QCOMPARE(main->StatusBar1->Text(1), QString("ГРС Северная"));
    }

    void failed_read_saves_nothing()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Skip(4).Times(-1));
        const QStringList before = QDir(Cfg("")).entryList(QDir::Files);
        const int dialogs = Run("Nrdcnf", [](QDialog &d) { d.accept(); });
        QCOMPARE(dialogs, 0);
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(ques.asked[0].kind, 7u);
        QCOMPARE(ques.asked[1].kind, 5u);
        QCOMPARE(ques.asked[1].line1, QString("Параметры конфигурации не прочитаны"));
        QCOMPARE(ques.asked[1].line2, QString());
        QVERIFY(!Find_Wait());
        QVERIFY(main->isEnabled());
        QCOMPARE(QDir(Cfg("")).entryList(QDir::Files), before);
    }

    void new_and_edit_through_the_editor_hook()
    {
        struct Call {
            QByteArray rec;
            int dev_write;
        };
        QList<Call> calls;
        Cnf_Editor_Result result{true, false};
        std::function<void(Cnf_Rec &)> edit;
        Set_Config_Editor(main.get(), [&](TFormMain *m, Cnf_Rec &rec, uint8_t dev_write) {
            [&] { QCOMPARE(m, main.get()); }();
            calls << Call{QByteArray(reinterpret_cast<const char *>(&rec), sizeof rec), dev_write};
            if (edit) edit(rec);
            return result;
        });
        QVERIFY(main->Item("NNewcnf")->isEnabled());
        QVERIFY(main->Item("NEditcnf")->isEnabled());

        // New: the editor gets the defaults; accepted unchanged, it is saved all the same.
        const QString fresh = Cfg("fresh.cnf");
        int dialogs = Run("NNewcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            fd->selectFile(fresh);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].dev_write, 0);
        Cnf_Rec defaults;
        New_Cnf(defaults);
        QCOMPARE(calls[0].rec, QByteArray(reinterpret_cast<const char *>(&defaults), sizeof defaults));
        QCOMPARE(File_Bytes(fresh).size(), 4335);

        // Edit: the open dialog; accepted without change: not saved again.
        QString title;
        dialogs = Run("NEditcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            title = fd->windowTitle();
            QCOMPARE(fd->fileMode(), QFileDialog::ExistingFile);
            fd->selectFile(fresh);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(title, QString("Выбор файла с параметрами конфигурации"));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].rec, calls[0].rec);
        QCOMPARE(Cnf_Name, fresh);

        // Edit with a change: saved (here under the file it came from, replaced on "Да").
        result = {true, true};
        edit = [](Cnf_Rec &r) { r.t6[3] = 17; };
        ques.answers = {1};
        int n = 0;
        dialogs = Run("NEditcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            fd->selectFile(fresh);
            d.accept();
            ++n;
        });
        QCOMPARE(dialogs, 2);
        QCOMPARE(int(uint8_t(File_Bytes(fresh).at(1593 + 3))), 17);

        // Cancelled by the editor: nothing saved.
        result = {false, true};
        edit = [](Cnf_Rec &r) { r.t6[3] = 18; };
        dialogs = Run("NEditcnf", [&](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(fresh);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(int(uint8_t(File_Bytes(fresh).at(1593 + 3))), 17);

        // A refused file never reaches the editor.
        QFile bad(Cfg("bad.cnf"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4334, 'I'));
        bad.close();
        const int before = int(calls.size());
        ques.asked.clear();
        Run("NEditcnf", [&](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(Cfg("bad.cnf"));
            d.accept();
        });
        QCOMPARE(int(calls.size()), before);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Файл bad.cnf не является файлом конфигурации"));
        QCOMPARE(ques.asked[0].line2, QString("контроллера QZT_15"));

        Set_Config_Editor(main.get(), nullptr);
        QVERIFY(!main->Item("NNewcnf")->isEnabled());
    }

    void write_behind_the_wait_form()
    {
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        for (int t : {6, 14, 44}) b.Write_Sel[t] = 1;
        QVERIFY(Run_Write_Config(main.get(), b));
        QCOMPARE(seen.mode, 2);
        QCOMPARE(seen.label2, QString("Выполняется запись параметров"));
        QCOMPARE(seen.label3, QString("конфигурации в контроллер"));
        QCOMPARE(seen.maximum, Cfg_Table_Count());
        QCOMPARE(seen.values, QList<int>({0, 1, 2}));
        QVERIFY(seen.main_disabled);
        QVERIFY(!Find_Wait());
        QVERIFY(main->isEnabled());
        QCOMPARE(sim.Log().size(), 3);
    }
};

QTEST_MAIN(Tst_Cnf_Files)
#include "tst_cnf_files.moc"
