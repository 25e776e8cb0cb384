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

#include "Sim_Menu.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

// What the wait form showed while the controller was asked.
struct Wait_Seen {
    int mode = -1;
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

// The main window's whole filter list, on its first entry.
void Check_Filters(const QFileDialog &fd)
{
    const QStringList f = fd.nameFilters();
    QCOMPARE(f.size(), 13);
    QCOMPARE(f.first(), QString("Data Files (*.cnf)"));
    QCOMPARE(f.at(1), QString("DataFiles(*.srt)"));
    QCOMPARE(f.last(), QString("DataFiles(*.*)"));
    QCOMPARE(fd.selectedNameFilter(), f.first());
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
    Sim_Menu m;
    Sim_Core &sim = m.sim;
    Ques_Script &ques = m.ques;
    Wait_Seen seen;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return m.Run(item, each); }
    QString Cfg(const QString &name) const { return Work_Dir() + "CONFIG/" + name; }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Set_Work_Dir(m.dir.path() + "/");
        Install_Config_Commands(m.main.get());
    }
    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        m.main.reset();
    }

    void init()
    {
        m.Reset();
        for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), 20);
        seen = Wait_Seen();
        // The wait form as it stands when each request goes out.
        m.on_request = [this](const QByteArray &) {
            if (TFormWait *f = Find_Wait()) {
                seen.mode = f->Wait_Mode;
                seen.values << f->ProgressBar1->value();
                seen.maximum = f->ProgressBar1->maximum();
                seen.main_disabled = !m.main->isEnabled();
            }
        };
    }

    void read_and_save_the_controller_configuration()
    {
        sim.Set_Field(13, 0, QByteArray("secret-password!"));
        QString shown, filter;
        const int dialogs = Run("Nrdcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            shown = fd->selectedFiles().value(0);
            filter = fd->selectedNameFilter();
            d.accept();
        });
        QCOMPARE(dialogs, 1);
        const QString name = QFileInfo(shown).fileName();
        QVERIFY2(name.startsWith("qzt_16-ГРС Северная-") && name.endsWith(".cnf"), qPrintable(name));
        QCOMPARE(QFileInfo(shown).absolutePath(), QFileInfo(Cfg("")).absolutePath());

        // The wait form in mode 3 over the disabled main window, advancing table by table.
        QCOMPARE(seen.mode, 3);
        QCOMPARE(seen.maximum, Cfg_Table_Count() + 1);
        QVERIFY(seen.main_disabled);
        QCOMPARE(seen.values.first(), 0);
        QCOMPARE(seen.values.last(), Cfg_Table_Count() - 2);
        QVERIFY(!Find_Wait());
        QVERIFY(m.main->isEnabled());
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
        QCOMPARE(m.main->StatusBar1->Text(1), QString("ГРС Северная"));
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
        QVERIFY(m.main->isEnabled());
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
        Set_Config_Editor(m.main.get(), [&](TFormMain *w, Cnf_Rec &rec, uint8_t dev_write) {
            [&] { QCOMPARE(w, m.main.get()); }();
            calls << Call{QByteArray(reinterpret_cast<const char *>(&rec), sizeof rec), dev_write};
            if (edit) edit(rec);
            return result;
        });
        QVERIFY(m.main->Item("NNewcnf")->isEnabled());
        QVERIFY(m.main->Item("NEditcnf")->isEnabled());

        // New: the editor gets the defaults; accepted unchanged, it is saved all the same.
        const QString fresh = Cfg("fresh.cnf");
        int dialogs = Run("NNewcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            Check_Filters(*fd);
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
        dialogs = Run("NEditcnf", [&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            QVERIFY(fd);
            QCOMPARE(fd->fileMode(), QFileDialog::ExistingFile);
            Check_Filters(*fd);
            fd->selectFile(fresh);
            d.accept();
        });
        QCOMPARE(dialogs, 1);
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

        Set_Config_Editor(m.main.get(), nullptr);
        QVERIFY(!m.main->Item("NNewcnf")->isEnabled());
    }

    void write_behind_the_wait_form()
    {
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        for (int t : {6, 14, 44}) b.Write_Sel[t] = 1;
        QVERIFY(Run_Write_Config(m.main.get(), b));
        QCOMPARE(seen.mode, 2);
        QCOMPARE(seen.maximum, Cfg_Table_Count());
        QCOMPARE(seen.values, QList<int>({0, 1, 2}));
        QVERIFY(seen.main_disabled);
        QVERIFY(!Find_Wait());
        QVERIFY(m.main->isEnabled());
        QCOMPARE(sim.Log().size(), 3);
    }
};

QTEST_MAIN(Tst_Cnf_Files)
#include "tst_cnf_files.moc"
