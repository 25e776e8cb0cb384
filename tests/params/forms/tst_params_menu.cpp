// The Parameters-menu road against the controller simulator on a fake link: what is read,
// what the dialogs see, and that only the changed fields are written.
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/Ident_Tab.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Ident.h"
#include "params/forms/Params_Menu.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
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
        return 0;   // "Нет": no retry
    }
};

QByteArray Padded(const QByteArray &b, int len)
{
    return b.left(len) + QByteArray(qMax(0, len - int(b.size())), '\0');
}

} // namespace

class Tst_Params_Menu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    // The program's image as the connect sequence leaves it (names in 1251).
    void Image_From_Controller()
    {
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        if (Contr_Tables[Tab_Offset(0) + 12] == 0)
            for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), NAME_LEN);
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
        Exch_Box->Sock = port.Borrow();
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        Install_Param_Commands(main.get());
        for (const char *n : {"Nident", "NContrName", "NConst"}) QVERIFY(main->Item(n)->isEnabled());
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        Image_From_Controller();
        sim.Clear_Log();
        ques.asked.clear();
    }

    void ident_reads_and_never_writes()
    {
        sim.Set_Field(0, 0, QByteArray(1, char(6)));
        QString type, destroyed;
        const int dialogs = Run("Nident", [&](QDialog &d) {
            auto *f = qobject_cast<TFormIdent *>(&d);
            QVERIFY(f);
            QCOMPARE(f->Dev_Write, uint8_t(1));
            type = f->LType->text();
            destroyed = f->LDestr->text();
            f->BitBtnCancel->click();
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(type, QString("73"));
        QCOMPARE(destroyed, QString("Разрушена таблица 6"));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 0, 0, 18}}));
        QVERIFY(ques.asked.isEmpty());
    }

    void names_write_only_the_changed_name_in_866()
    {
        // Line 2 holds bytes that do not survive 866 -> 1251 -> 866: it must not be touched.
        const QByteArray odd = Padded(QByteArray("\xB0\xB1\xB2 line", 8), 20);
        sim.Set_Field(5, 2, odd);
        Image_From_Controller();
        const QByteArray line1 = sim.Field(5, 1);

        QString shown;
        Run("NContrName", [&](QDialog &d) {
            auto *f = qobject_cast<TFormContrName *>(&d);
            QVERIFY(f);
            QVERIFY(f->BitBtnWrite->isVisible());
            shown = f->Edit1->text();
            f->Edit1->setText(QStringLiteral("ГРС Южная"));
            f->BitBtnWrite->click();
        });
        QCOMPARE(shown, QString("ГРС Северная"));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 0, 3}, {2, 5, 0, 1}}));
        QCOMPARE(sim.Field(5, 0), Padded(Unicode_To_Cp866(QStringLiteral("ГРС Южная")), 20));
        QCOMPARE(sim.Field(5, 1), line1);
        QCOMPARE(sim.Field(5, 2), odd);
        // The image keeps the names in the Windows code page; the status bar shows the name.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(5, 0)), 20),
                 Padded(Unicode_To_Cp1251(QStringLiteral("ГРС Южная")), 20));
        QCOMPARE(main->StatusBar1->Text(1), QString("ГРС Южная"));

        // Accepted without a change: nothing is written.
        Run("NContrName", [&](QDialog &d) { qobject_cast<TFormContrName *>(&d)->BitBtnWrite->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 0, 3}}));
        QCOMPARE(sim.Field(5, 2), odd);
    }

    void names_padded_with_blanks_unchanged_send_no_write()
    {
        QByteArray blanks(20, ' ');
        const QByteArray name = Unicode_To_Cp866(QStringLiteral("ГРС Восток"));
        sim.Set_Field(5, 0, name + blanks.left(20 - int(name.size())));
        sim.Set_Field(5, 1, QByteArray("Line 1") + blanks.left(14));
        const QByteArray f0 = sim.Field(5, 0), f1 = sim.Field(5, 1);
        Image_From_Controller();
        QString shown;
        Run("NContrName", [&](QDialog &d) {
            auto *f = qobject_cast<TFormContrName *>(&d);
            shown = f->Edit1->text();
            f->BitBtnWrite->click();
        });
        QCOMPARE(shown, QString("ГРС Восток"));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 0, 3}}));
        QCOMPARE(sim.Field(5, 0), f0);
        QCOMPARE(sim.Field(5, 1), f1);
    }

    void names_failed_write_leaves_the_image_in_1251()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        main->StatusBar1->Set_Text(1, QStringLiteral("before"));
        Run("NContrName", [&](QDialog &d) {
            auto *f = qobject_cast<TFormContrName *>(&d);
            f->Edit2->setText(QStringLiteral("Нитка Запад"));
            f->BitBtnWrite->click();
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Не выполнена запись в таблицу 5."));
        QCOMPARE(main->StatusBar1->Text(1), QString("before"));
        QCOMPARE(sim.Field(5, 1), Padded(Unicode_To_Cp866(QStringLiteral("Нитка 1")), 20));
        // The edited names stay in the image, readable, in the Windows code page.
        QCOMPARE(Name_Text(reinterpret_cast<const char *>(Tab_Field(5, 1))), QString("Нитка Запад"));
        QCOMPARE(Name_Text(reinterpret_cast<const char *>(Tab_Field(5, 0))), QString("ГРС Северная"));

        // Cancelled: nothing written.
        sim.Clear_Faults();
        Take_Requests(sim);
        Run("NContrName", [&](QDialog &d) { qobject_cast<TFormContrName *>(&d)->BitBtnCancel->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 0, 3}}));
    }

    void names_in_1251_are_written_as_typed()
    {
        sim.Set_Field(0, 12, QByteArray(1, char(1)));
        sim.Set_Field(5, 0, Padded(Unicode_To_Cp1251(QStringLiteral("Станция")), 20));
        Image_From_Controller();
        QString shown;
        Run("NContrName", [&](QDialog &d) {
            auto *f = qobject_cast<TFormContrName *>(&d);
            shown = f->Edit1->text();
            f->Edit1->setText(QStringLiteral("Станция 2"));
            f->BitBtnWrite->click();
        });
        QCOMPARE(shown, QString("Станция"));
        QCOMPARE(sim.Field(5, 0), Padded(Unicode_To_Cp1251(QStringLiteral("Станция 2")), 20));
    }

    void constants_write_changed_fields_values_first()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(3)));
        Image_From_Controller();
        const QByteArray v0 = sim.Field(44, 0);
        int count = -1;
        Run("NConst", [&](QDialog &d) {
            auto *f = qobject_cast<TFormConst_Par *>(&d);
            QVERIFY(f);
            count = f->Count();
            QVERIFY(f->BitBtnWrite->isVisible());
            f->findChild<QCheckBox *>("cb2")->setChecked(true);
            f->findChild<QLineEdit *>("ev2")->setText("4.5");
            f->BitBtnWrite->click();
        });
        QCOMPARE(count, 3);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 43, 0, 3}, {1, 44, 0, 3}, {2, 44, 1, 1}, {2, 43, 1, 1}}));
        float v;
        std::memcpy(&v, sim.Field(44, 1).constData(), 4);
        QCOMPARE(v, 4.5f);
        QCOMPARE(int(sim.Field(43, 1).at(0)), 1);
        QCOMPARE(sim.Field(44, 0), v0);

        // Accepted untouched: no write, although the shown texts are rounded.
        Run("NConst", [&](QDialog &d) { qobject_cast<TFormConst_Par *>(&d)->BitBtnWrite->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 43, 0, 3}, {1, 44, 0, 3}}));
    }

    void constants_count_above_twenty_reads_twenty()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(40)));
        Image_From_Controller();
        Run("NConst", [&](QDialog &d) {
            auto *f = qobject_cast<TFormConst_Par *>(&d);
            f->findChild<QCheckBox *>("cb20")->setChecked(true);
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 43, 0, 20}, {1, 44, 0, 20}, {2, 43, 19, 1}}));
    }

    void constants_failed_value_write_stops_the_chain()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(2)));
        Image_From_Controller();
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        Run("NConst", [&](QDialog &d) {
            auto *f = qobject_cast<TFormConst_Par *>(&d);
            f->findChild<QCheckBox *>("cb1")->setChecked(true);
            f->findChild<QLineEdit *>("ev1")->setText("1.5");
            f->BitBtnWrite->click();
        });
        const QList<Req> reqs = Take_Requests(sim);
        QVERIFY(!reqs.contains(Req{2, 43, 0, 1}));
        QVERIFY(reqs.contains(Req{2, 44, 0, 1}));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(int(sim.Field(43, 0).at(0)), 0);
    }

    void generic_road_for_one_table()
    {
        // Any dialog on one table range: read, dialog on the image, changed fields written.
        sim.Set_Field(5, 1, Padded("Line A", 20));
        sim.Set_Field(5, 2, Padded("Line B", 20));
        Scripted_Dialogs run([](QDialog &d) {
            auto *f = qobject_cast<TFormContrName *>(&d);
            QVERIFY(f);
            QCOMPARE(f->Dev_Write, uint8_t(1));
            QCOMPARE(f->Tab_Data, Tab_Dir[5].data + 20);
            f->Edit1->setText("Line C");   // the dialog's field 0 is table field 1 here
            f->BitBtnWrite->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        bool setup_ran = false;
        const bool ok = Edit_Table<TFormContrName>(main.get(), Tab_Req{5, 1, 2}, [&](TFormContrName &f) {
            f.Tab_Data = Tab_Dir[5].data + 20;
            setup_ran = true;
        });
        Set_Dialog_Runner(old);
        QVERIFY(ok && setup_ran);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 1, 2}, {2, 5, 1, 1}}));
        QCOMPARE(sim.Field(5, 1), Padded("Line C", 20));
        QCOMPARE(sim.Field(5, 2), Padded("Line B", 20));

        // Cancelled: false, nothing written.
        Scripted_Dialogs cancel([](QDialog &d) { d.reject(); });
        old = Set_Dialog_Runner(&cancel);
        QVERIFY(!Edit_Table<TFormContrName>(main.get(), Tab_Req{5, 0, 3}, [](TFormContrName &) {}));
        Set_Dialog_Runner(old);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 5, 0, 3}}));
    }

    void failed_read_opens_no_dialog()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Times(-1));
        QCOMPARE(Run("NConst", [](QDialog &) {}), 0);
        QCOMPARE(Run("NContrName", [](QDialog &) {}), 0);
        QCOMPARE(Run("Nident", [](QDialog &) {}), 0);
        for (const Req &r : Take_Requests(sim)) QCOMPARE(r.func, 1);
        QCOMPARE(ques.asked.size(), 3);
    }
};

QTEST_MAIN(Tst_Params_Menu)
#include "tst_params_menu.moc"
