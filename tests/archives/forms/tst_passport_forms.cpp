// The passport windows: the objects list and the object form, the report date dialog, and the
// two "Отчеты" commands of the main window run end to end against the simulated controller,
// down to the workbook in "REPORT".
#include "Arh_Builders.h"
#include "archives/Excrep_date.h"
#include "archives/Objects_list.h"
#include "archives/forms/Excrep_date.h"
#include "archives/forms/Objects_list.h"
#include "archives/forms/Xls_report.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Wait_Form.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"
#include "testsupport.h"

#include "../Xlsx_Readback.h"
#include "../../../tools/make-templates/Passport_Templates.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

void Set_List(const QStringList &names, int current)
{
    std::memset(&Obj_List, 0, sizeof Obj_List);
    Obj_List.obj_num = uint8_t(names.size());
    Obj_List.obj_index = uint8_t(current);
    for (int i = 0; i < names.size(); ++i) Set_Object_Name(Obj_List.obj_name[i], names[i]);
}

QStringList Names()
{
    QStringList out;
    for (int i = 0; i < Obj_List.obj_num; ++i) out << Object_Name(Obj_List, i);
    return out;
}

QStringList Grid(const QTableWidget *g)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r) out << g->item(r, 0)->text() + QLatin1Char('|') + g->item(r, 1)->text();
    return out;
}

// "objects.ini" as another copy of the program leaves it.
void Put_Objects_File(const QStringList &names)
{
    QVERIFY(Put_List_File(Obj_Path, "OBJECT_LIST", "obj_num", "OBJECT_", "obj_name", names));
}

// Answers every TFormObject with the next name (a null string cancels, an empty one tries an
// empty name first, then cancels).
struct Object_Answers : Dialog_Runner {
    QStringList names;
    QStringList shown;   // what Edit1 held when each form came up
    int Run(QDialog &d) override
    {
        d.setResult(QDialog::Rejected);
        d.show();
        auto *f = qobject_cast<TFormObject *>(&d);
        if (f) {
            shown << f->Edit1->text();
            const QString n = names.isEmpty() ? QString() : names.takeFirst();
            if (!n.isNull()) {
                f->Edit1->setText(n);
                f->BitBtn4->click();
            }
        }
        if (d.isVisible()) d.reject();
        return d.result();
    }
};

} // namespace

class Tst_Passport_Forms : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<Sim_Archive> arh;
    std::unique_ptr<TFormMain> main;
    Arh_Ques ques;

    QDate Last_Day() const { return arh->Date_Of(Sim_Arh::Chr_Day, arh->Count(Sim_Arh::Chr_Day) - 1).date(); }

    // Runs a command of the main window; the date dialog is answered by `date`, the export form
    // runs its timer.
    void Run(const char *item, const std::function<void(TFormExcRep_Date &)> &date, bool *export_shown = nullptr)
    {
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *f = qobject_cast<TFormExcRep_Date *>(&d)) {
                date(*f);
            } else if (auto *x = qobject_cast<TFormXls_Report *>(&d)) {
                if (export_shown) *export_shown = true;
                // A title of its own, not the program's file name the window manager shows.
                QVERIFY(!x->windowTitle().trimmed().isEmpty());
                QTRY_VERIFY_WITH_TIMEOUT(!x->isVisible(), 60000);
                // A report written: the bar ended full.
                if (!x->Saved.isEmpty()) QCOMPARE(x->ProgressBar1->value(), x->ProgressBar1->maximum());
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        main->Item(QLatin1String(item))->trigger();
        Set_Dialog_Runner(old);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        QVERIFY(passport_templates::Make_All(dir.path().toStdString()));
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
        sim.Set_Field(6, 8, QByteArray(1, 1));   // a moisture meter is fitted
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        // The passport's heat values are floats 11 and 13, here in MJ/m3.
        Tab_Field(1, 11)[50] = 4;
        Tab_Field(1, 13)[50] = 4;
        QVERIFY(!main->Item(QStringLiteral("NExcDay"))->isEnabled());
        Install_Passport_Commands(main.get());
        QVERIFY(main->Item(QStringLiteral("NExcDay"))->isEnabled());
        QVERIFY(main->Item(QStringLiteral("NExcMon"))->isEnabled());
    }

    void init()
    {
        ques.asked.clear();
        ques.answers.clear();
        sim.Clear_Log();
        QFile::remove(Obj_Path);
    }

    // ---- objects -------------------------------------------------------------------------------

    void object_form_refuses_an_empty_name()
    {
        char slot[OBJ_NAME_LEN];
        Set_Object_Name(slot, QStringLiteral("Старое"));
        TFormObject f;
        f.Obj_Name = slot;
        f.Obj_Mode = 1;
        f.show();
        QCOMPARE(f.Edit1->text(), QStringLiteral("Старое"));
        QCOMPARE(f.Edit1->selectedText(), f.Edit1->text());   // typing replaces it
        QCOMPARE(f.Edit1->maxLength(), 50);
        f.Edit1->clear();
        f.BitBtn4->click();
        QCOMPARE(ques.Lines(), QStringList({"Не введено наименование|"}));
        QCOMPARE(int(ques.asked[0].kind), 2);
        QVERIFY(f.isVisible());
        QCOMPARE(int(f.Accepted), 0);
        QCOMPARE(Object_Name_Text(slot), QStringLiteral("Старое"));
        f.Edit1->setText(QStringLiteral("Новое"));
        f.BitBtn4->click();
        QVERIFY(!f.isVisible());
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(Object_Name_Text(slot), QStringLiteral("Новое"));
        // A new object starts empty.
        TFormObject g;
        g.Obj_Name = slot;
        g.show();
        QCOMPARE(g.Edit1->text(), QString());
        g.BitBtn5->click();
        QCOMPARE(Object_Name_Text(slot), QStringLiteral("Новое"));
    }

    // The form opens in its name box; Enter there is "Принять", refusal included.
    void object_form_enter_accepts_as_its_button()
    {
        char slot[OBJ_NAME_LEN] = {};
        TFormObject f;
        f.Obj_Name = slot;
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Edit1));
        QTest::keyClick(f.Edit1, Qt::Key_Return);
        QCOMPARE(ques.Lines(), QStringList({"Не введено наименование|"}));
        QVERIFY(f.isVisible());
        f.Edit1->setText(QStringLiteral("Север"));
        QTest::keyClick(f.Edit1, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!f.isVisible() && f.Accepted == 1);
        QCOMPARE(Object_Name_Text(slot), QStringLiteral("Север"));
    }

    void objects_list_add_edit_delete()
    {
        Set_List({"Южная", "Восток", "Марьино"}, 1);
        Object_Answers answers;
        Dialog_Runner *old = Set_Dialog_Runner(&answers);
        TFormObjects_List f;
        f.show();
        QCOMPARE(Grid(f.StringGrid1), QStringList({"  1| Восток", "  2| Марьино", "  3| Южная"}));
        QCOMPARE(f.StringGrid1->currentRow(), 0);   // "Восток" stays current
        QVERIFY(f.BitBtn1->isEnabled() && f.BitBtn2->isEnabled() && f.BitBtn3->isEnabled());

        // A name that sorts first becomes row 1 and current.
        answers.names = {QStringLiteral("Алмаз")};
        f.BitBtn2->click();
        QCOMPARE(answers.shown, QStringList({QString()}));
        QCOMPARE(Names(), QStringList({"Алмаз", "Восток", "Марьино", "Южная"}));
        QCOMPARE(int(Obj_List.obj_index), 0);
        QCOMPARE(f.StringGrid1->currentRow(), 0);

        // Edit the clicked row.
        f.StringGrid1->setCurrentCell(2, 1);
        QCOMPARE(int(Obj_List.obj_index), 2);
        answers.names = {QStringLiteral("Яхрома")};
        f.BitBtn1->click();
        QCOMPARE(answers.shown.last(), QStringLiteral("Марьино"));
        QCOMPARE(Names(), QStringList({"Алмаз", "Восток", "Южная", "Яхрома"}));
        QCOMPARE(int(Obj_List.obj_index), 3);
        // A cancelled edit changes nothing.
        answers.names = {QString()};
        f.BitBtn1->click();
        QCOMPARE(Names(), QStringList({"Алмаз", "Восток", "Южная", "Яхрома"}));

        // Delete asks; "Нет" keeps the object, "Да" removes it and the one before becomes current.
        ques.answers = {0};
        f.BitBtn3->click();
        QCOMPARE(Obj_List.obj_num, uint8_t(4));
        QCOMPARE(ques.Lines().last(), QStringLiteral("Вы действительно хотите|удалить этот объект?"));
        QCOMPARE(int(ques.asked.last().kind), 3);
        ques.answers = {1};
        f.BitBtn3->click();
        QCOMPARE(Names(), QStringList({"Алмаз", "Восток", "Южная"}));
        QCOMPARE(int(Obj_List.obj_index), 2);

        // "Принять" writes the file.
        f.BitBtn4->click();
        QCOMPARE(int(f.Changed), 1);
        const Obj_List_Rec accepted = Obj_List;
        std::memset(&Obj_List, 0, sizeof Obj_List);
        QVERIFY(Read_Objects(Obj_Path));
        QVERIFY(Same_Objects(Obj_List, accepted));
        Set_Dialog_Runner(old);
    }

    void objects_list_cancel_restores()
    {
        Set_List({"Б", "А", "В"}, 2);
        Sort_Objects(Obj_List);
        const Obj_List_Rec before = Obj_List;
        Object_Answers answers;
        Dialog_Runner *old = Set_Dialog_Runner(&answers);
        TFormObjects_List f;
        f.show();
        answers.names = {QStringLiteral("Г")};
        f.BitBtn2->click();
        ques.answers = {1};
        f.StringGrid1->setCurrentCell(0, 0);
        f.BitBtn3->click();
        QVERIFY(!Same_Objects(Obj_List, before));
        f.BitBtn5->click();
        QVERIFY(Same_Objects(Obj_List, before));
        QCOMPARE(int(f.Changed), 0);
        QVERIFY(!QFile::exists(Obj_Path));
        // Accepted unchanged: nothing is written.
        TFormObjects_List g;
        g.show();
        g.BitBtn4->click();
        QCOMPARE(int(g.Changed), 1);
        QVERIFY(!QFile::exists(Obj_Path));
        Set_Dialog_Runner(old);
    }

    void objects_list_limits()
    {
        QStringList fifty;
        for (int i = 0; i < OBJECTS_MAX; ++i) fifty << QStringLiteral("Объект %1").arg(i, 2, 10, QLatin1Char('0'));
        Set_List(fifty, 0);
        {
            TFormObjects_List f;
            f.show();
            QVERIFY(!f.BitBtn2->isEnabled());
            QVERIFY(f.BitBtn3->isEnabled());
            f.BitBtn2->click();   // not even when called
            QCOMPARE(int(Obj_List.obj_num), OBJECTS_MAX);
            f.BitBtn5->click();
        }
        Set_List({"Один"}, 0);
        {
            TFormObjects_List f;
            f.show();
            QVERIFY(f.BitBtn2->isEnabled());
            QVERIFY(!f.BitBtn3->isEnabled());
            f.BitBtn5->click();
        }
        Set_List({}, 0);
        {
            TFormObjects_List f;
            f.show();
            QCOMPARE(f.StringGrid1->rowCount(), 0);
            QVERIFY(!f.BitBtn1->isEnabled());
            QVERIFY(f.BitBtn3->isEnabled());
            f.BitBtn3->click();   // deleting on an empty list changes nothing
            QCOMPARE(int(Obj_List.obj_num), 0);
            QVERIFY(ques.asked.isEmpty());
            f.BitBtn5->click();
        }
    }

    // The date dialog and the objects list read "objects.ini" again when they open.
    void objects_follow_their_file()
    {
        Obj_List_Shadow = Obj_List = Obj_List_Rec{};
        Put_Objects_File({"North"});
        const Arh_Range range{{24, 2, 10, 0, 0}, {24, 3, 31, 0, 0}};
        TFormExcRep_Date d;
        d.Range = &range;
        d.show();
        QCOMPARE(d.ComboBox1->count(), 2);   // then "Новый объект"
        Put_Objects_File({"North", "South"});
        TFormObjects_List f;
        f.show();
        QCOMPARE(f.StringGrid1->rowCount(), 2);
    }

    // ---- the date dialog ---------------------------------------------------------------------

    void date_dialog()
    {
        *Tab_Field(6, 6) = 10;
        const Arh_Range range{{24, 2, 10, 0, 0}, {24, 3, 31, 0, 0}};
        Set_List({}, 0);
        Object_Answers answers;
        Dialog_Runner *old = Set_Dialog_Runner(&answers);
        TFormExcRep_Date f;
        f.Range = &range;
        f.Passport_Kind = 0;
        f.show();
        QCOMPARE(f.Label4->text(), QStringLiteral("Дата самой старой записи в архиве суточных данных:  10.02.24"));
        QCOMPARE(f.Panel3->text(), QStringLiteral("2024"));
        QCOMPARE(f.UpDown1->value(), 24);
        QCOMPARE(f.ComboBox2->currentIndex(), 2);
        QCOMPARE(f.ComboBox3->count(), 31);
        QCOMPARE(f.ComboBox3->currentText(), QStringLiteral("31"));
        QVERIFY(f.ComboBox3->isVisible());
        // No object yet: only "Новый объект", none chosen.
        QCOMPARE(f.ComboBox1->count(), 1);
        QCOMPARE(f.ComboBox1->itemText(0), QStringLiteral("Новый объект"));
        QCOMPARE(f.ComboBox1->currentIndex(), -1);
        f.BitBtn5->click();
        QCOMPARE(ques.Lines(), QStringList({"Не введено наименование объекта|"}));
        QCOMPARE(int(ques.asked[0].kind), 2);

        // "Новый объект", cancelled: nothing changes, nothing written.
        answers.names = {QString()};
        f.ComboBox1->setCurrentIndex(0);
        emit f.ComboBox1->activated(0);
        QCOMPARE(int(Obj_List.obj_num), 0);
        QVERIFY(!QFile::exists(Obj_Path));
        f.BitBtn5->click();
        QCOMPARE(ques.asked.size(), 2);
        // Given a name: the new object is current and written.
        answers.names = {QStringLiteral("ГРС-7")};
        emit f.ComboBox1->activated(0);
        QCOMPARE(Names(), QStringList({"ГРС-7"}));
        QCOMPARE(f.ComboBox1->currentText(), QStringLiteral("ГРС-7"));
        QCOMPARE(f.ComboBox1->count(), 2);
        QVERIFY(QFile::exists(Obj_Path));

        // February: the day is lowered to its last day; a year step keeps to real days.
        f.ComboBox2->setCurrentIndex(1);
        emit f.ComboBox2->activated(1);
        QCOMPARE(f.ComboBox3->count(), 29);
        QCOMPARE(int(f.Rep_Date[2]), 29);
        f.UpDown1->setValue(25);
        QCOMPARE(f.Panel3->text(), QStringLiteral("2025"));
        QCOMPARE(int(f.Rep_Date[0]), 25);
        QCOMPARE(int(f.Rep_Date[2]), 28);
        QCOMPARE(f.ComboBox3->count(), 28);   // the day list refilled for the year
        // A year typed as the panel shows it, or with two digits as the titles show it.
        QTest::keyClicks(f.UpDown1, "2023");
        QCOMPARE(f.Panel3->text(), QStringLiteral("2023"));
        QTest::keyClicks(f.UpDown1, "39");
        QCOMPARE(f.Panel3->text(), QStringLiteral("2039"));
        QTest::keyClicks(f.UpDown1, "2025");
        QCOMPARE(int(f.Rep_Date[0]), 25);

        // Outside the archive.
        ques.asked.clear();
        f.BitBtn5->click();
        QCOMPARE(ques.Lines(), QStringList({"В архиве нет данных за указанную дату|(см. период имеющихся в архиве данных)"}));
        QCOMPARE(int(ques.asked[0].kind), 2);
        QVERIFY(f.isVisible());
        f.UpDown1->setValue(24);
        f.ComboBox3->setCurrentIndex(8);
        emit f.ComboBox3->activated(8);   // 9 February: before the oldest day
        f.BitBtn5->click();
        QCOMPARE(ques.asked.size(), 2);
        f.ComboBox3->setCurrentIndex(9);
        emit f.ComboBox3->activated(9);
        f.BitBtn5->click();
        QCOMPARE(ques.asked.size(), 2);
        QVERIFY(!f.isVisible());
        QCOMPARE(int(f.Ok), 1);
        const uint8_t want[4] = {24, 2, 10, 10};
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.Rep_Date), 4), QByteArray(reinterpret_cast<const char *>(want), 4));

        // The month passport: no day list; the month is compared only.
        TFormExcRep_Date m;
        m.Range = &range;
        m.Passport_Kind = 1;
        m.show();
        QVERIFY(!m.ComboBox3->isVisible());
        QCOMPARE(m.ComboBox1->currentIndex(), 0);
        m.ComboBox2->setCurrentIndex(1);
        emit m.ComboBox2->activated(1);
        m.BitBtn5->click();
        QCOMPARE(int(m.Ok), 1);
        QCOMPARE(int(m.Rep_Date[1]), 2);
        Set_Dialog_Runner(old);
    }

    // ---- the commands ------------------------------------------------------------------------

    void daily_passport_command_writes_the_workbook()
    {
        Set_List({"ГРС Южная"}, 0);
        const QDate day = Last_Day();
        bool shown = false;
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn5->click(); }, &shown);
        QVERIFY(shown);
        const QString name = QStringLiteral("ГРС Южная_day_%1.xlsx").arg(day.toString("yyMMdd"));
        QCOMPARE(ques.Lines(), QStringList({QStringLiteral("Данные сохранены в файле %1|").arg(name)}));
        QCOMPARE(int(ques.asked[0].kind), 6);
        const QString path = Work_Dir() + QStringLiteral("REPORT/") + name;
        const readback::Sheet s = readback::Read_Sheet(path);
        QVERIFY(s.ok);
        QCOMPARE(s.cells.value("G2").value, QStringLiteral("ГРС Южная"));
        // Values of the simulator's records: the first hour's float 1 in B10.
        const QByteArray rec = arh->Record(Sim_Arh::Chr_Hour, arh->Index_Of(Sim_Arh::Chr_Hour, QDateTime(day, QTime(10, 0), Qt::UTC)));
        float f1;
        std::memcpy(&f1, rec.constData() + 12 + 4, 4);
        QCOMPARE(s.cells.value("B10").value.toFloat(), f1);
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);
        QVERIFY(sim.Request_Count() > 0);

        // Once more: the report is there; "Нет" keeps it untouched.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray old_bytes = f.readAll();
        f.close();
        ques.asked.clear();
        ques.answers = {0};
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn5->click(); });
        QCOMPARE(ques.Lines(), QStringList({QStringLiteral("Файл отчета %1 уже есть.|Вы хотите заменить существующий отчет?").arg(name)}));
        QCOMPARE(int(ques.asked[0].kind), 3);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old_bytes);
        f.close();
        // "Да" replaces it.
        ques.asked.clear();
        ques.answers = {1};
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn5->click(); });
        QCOMPARE(ques.asked.size(), 2);
        QVERIFY(ques.asked[1].line1.startsWith(QStringLiteral("Данные сохранены в файле")));
        QVERIFY(readback::Read_Sheet(path).ok);
    }

    void cancelled_or_failed_commands_write_nothing()
    {
        Set_List({"Объект Х"}, 0);
        QDir(Work_Dir() + QStringLiteral("REPORT")).removeRecursively();
        bool shown = false;
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn6->click(); }, &shown);
        QVERIFY(!shown);
        QVERIFY(ques.asked.isEmpty());
        // The daily record does not come: the message, no workbook.
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(16));
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn5->click(); }, &shown);
        QVERIFY(!shown);
        QCOMPARE(ques.Lines(), QStringList({"Суточные данные из архива| хроматографа не прочитаны"}));
        QVERIFY(main->StatusBar1 != nullptr);
        QVERIFY(main->TimerMessage.isActive());
        QVERIFY(QDir(Work_Dir() + QStringLiteral("REPORT")).entryList(QDir::Files).isEmpty());
        // A template that cannot be read: "Ошибка работы с файлом!", nothing written.
        sim.Clear_Faults();
        ques.asked.clear();
        const QString tpl = Work_Dir() + QStringLiteral("day_report_title.xlsx");
        QVERIFY(QFile::rename(tpl, tpl + ".keep"));
        QFile bad(tpl);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("damaged");
        bad.close();
        Run("NExcDay", [](TFormExcRep_Date &f) { f.BitBtn5->click(); }, &shown);
        QVERIFY(QFile::remove(tpl));
        QVERIFY(QFile::rename(tpl + ".keep", tpl));
        QVERIFY(shown);
        QCOMPARE(ques.Lines(), QStringList({"Ошибка работы с файлом!|"}));
        QCOMPARE(int(ques.asked[0].kind), 1);
        QVERIFY(QDir(Work_Dir() + QStringLiteral("REPORT")).entryList(QDir::Files).isEmpty());
    }

    void monthly_passport_command()
    {
        Set_List({"ГРС-2"}, 0);
        const QDate day = Last_Day();
        Run("NExcMon", [](TFormExcRep_Date &f) {
            QVERIFY(!f.ComboBox3->isVisible());
            f.BitBtn5->click();
        });
        const QString name = QStringLiteral("ГРС-2_mon_%1.xlsx").arg(day.toString("yyMM"));
        QCOMPARE(ques.Lines(), QStringList({QStringLiteral("Данные сохранены в файле %1|").arg(name)}));
        const readback::Sheet s = readback::Read_Sheet(Work_Dir() + QStringLiteral("REPORT/") + name);
        QVERIFY(s.ok);
        // Every day of the month up to the archive's last one, each in its row.
        const int first_day = std::max(1, arh->Date_Of(Sim_Arh::Chr_Day, 0).date().month() == day.month() &&
                                                  arh->Date_Of(Sim_Arh::Chr_Day, 0).date().year() == day.year()
                                              ? arh->Date_Of(Sim_Arh::Chr_Day, 0).date().day()
                                              : 1);
        for (int d = first_day; d <= day.day(); ++d)
            QVERIFY2(!s.cells.value(QStringLiteral("B%1").arg(9 + d)).value.isEmpty(), qPrintable(QString::number(d)));
        if (day.day() < 31) QCOMPARE(s.cells.value(QStringLiteral("B%1").arg(10 + day.day())).value, QString());
        QVERIFY(!s.cells.value("R41").value.isEmpty());
        QCOMPARE(s.cells.value("R41").type, QString());
        // Daily records only, of both devices.
        for (const Sim_Request_Log &l : sim.Log()) QVERIFY(l.func != 15);
    }
};

QTEST_MAIN(Tst_Passport_Forms)
#include "tst_passport_forms.moc"
