// The link commands against the controller simulator on a fake link: what is read, what the
// forms show and refuse, what reaches the controller, and the program's own link after the
// upper-level address and rate have been written.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/Chr_Par.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Links.h"

#include "FakePort.h"
#include "Sim.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include "Menu_Run.h"
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t answer = 0;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answer;
    }
};

struct Req {
    int func, tab, first, count, adr;
    bool operator==(const Req &o) const
    {
        return func == o.func && tab == o.tab && first == o.first && count == o.count && adr == o.adr;
    }
};

QComboBox *Cb(const TFormField_List *f, const char *name)
{
    return f->List(f->Row_Of(name));
}
QLineEdit *Ed(const TFormField_List *f, const char *name)
{
    return f->Edit(f->Row_Of(name));
}
QRadioButton *Rb(const TFormField_List *f, int k)
{
    return f->Radio(f->Row_Of("rb"), k - 1);
}

QByteArray B(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

} // namespace

namespace QTest {
template <> char *toString(const Req &r)
{
    return qstrdup(
        QString::asprintf("{f%d t%d %d+%d @%d}", r.func, r.tab, r.first, r.count, r.adr).toLatin1().constData());
}
} // namespace QTest

class Tst_Links_Menu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    QList<Req> Take_Requests()
    {
        QList<Req> out;
        for (const Sim_Request_Log &l : sim.Log()) out << Req{l.func, l.table, l.first, l.count, l.adr};
        sim.Clear_Log();
        return out;
    }
    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    void Image_From_Controller()
    {
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
    }
    template <class F> static F *As(QDialog &d)
    {
        auto *f = qobject_cast<F *>(&d);
        if (!f) qFatal("unexpected dialog %s", d.metaObject()->className());
        return f;
    }
    static void Set(QComboBox *cb, const QString &text)
    {
        if (cb->isEditable()) cb->setEditText(text);
        else cb->setCurrentIndex(cb->findText(text));
    }
    // The Ethernet link as the connect sequence leaves it.
    void Link_Ethernet()
    {
        Exch_Box->Port_Handle.reset();
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Sock = port.Borrow();
        Conn_Settings.Curr_Par.Conn_Prz = 2;
    }
    void Link_Direct()
    {
        Exch_Box->Sock.reset();
        Exch_Box->Conn_Prz = 0;
        Exch_Box->Do_Close_Port = 0;
        Exch_Box->Port_Handle = port.Borrow();
        Conn_Settings.Curr_Par.Conn_Prz = 0;
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
        Exch_Box->Pause_Rts_Us = 0;
        Exch_Box->Pause_Close_Ms = 0;
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        Install_Link_Commands(main.get());
        for (const char *n : {"NConVU", "NConHGC", "NVrgConn", "NConnWMT", "N_Ethernet", "NMac_Adr"})
            QVERIFY(main->Item(n)->isEnabled());
    }

    void init()
    {
        sim.Set_Adr(1);
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        Image_From_Controller();
        Exch_Box->Adr = 1;
        Link_Ethernet();
        Conn_Settings.Ethernet_Conn_Par.Link.Adr = 1;
        Conn_Settings.Dir_Conn_Par.Adr = 1;
        Conn_Settings.Dir_Conn_Par.Rate = 9600;
        Exch_Box->Rate = 9600;
        sim.Clear_Log();
        ques.asked.clear();
        ques.answer = 0;
        Vrg_Count_Raised = nullptr;
    }

    void unchanged_accept_writes_nothing()
    {
        const struct {
            const char *item;
            QList<Req> reads;
        } cmds[] = {
            {"NConVU", {{1, 3, 0, 4, 1}}},
            {"NVrgConn", {{1, 9, 0, 6, 1}}},
            {"NConHGC", {{1, 9, 0, 1, 1}, {1, 18, 0, 2, 1}, {1, 5, 1, 2, 1}, {1, 14, 0, 16, 1}}},
            {"NConnWMT", {{1, 15, 0, 8, 1}}},
            {"N_Ethernet", {{1, 29, 0, 7, 1}}},
        };
        for (const auto &c : cmds) {
            int seen = 0;
            Run(c.item, [&](QDialog &d) {
                auto *p = qobject_cast<TParam_Dialog *>(&d);
                if (!p || !p->BitBtnWrite) return;   // the parameter list is not opened here
                ++seen;
                QVERIFY(p->BitBtnWrite->isVisible());
                QVERIFY(!p->BitBtnAccept->isVisible());
                p->BitBtnWrite->click();
            });
            QCOMPARE(seen, 1);
            QCOMPARE(Take_Requests(), c.reads);
            QVERIFY2(ques.asked.isEmpty(), c.item);
        }
        QCOMPARE(Exch_Box->Adr, uint8_t(1));
    }

    void changed_fields_only()
    {
        // Moisture meter: time-out and type.
        Run("NConnWMT", [&](QDialog &d) {
            auto *f = As<TFormConWMT>(d);
            Set(Cb(f, "CBTimeout"), "33");
            Cb(f, "CBType")->setCurrentIndex(2);
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 15, 0, 8, 1}, {2, 15, 4, 3, 1}}));
        QCOMPARE(sim.Table(15), B({2, 11, 1, 0, 33, 3, 2, 0}));

        // Flow computers: fewer of them, and the writing mode.
        Run("NVrgConn", [&](QDialog &d) {
            auto *f = As<TFormConVich>(d);
            QVERIFY(Rb(f, 2)->isChecked());
            Cb(f, "CBCount")->setCurrentIndex(0);
            Rb(f, 3)->setChecked(true);
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 9, 0, 6, 1}, {2, 9, 0, 6, 1}}));
        QCOMPARE(sim.Table(9), B({1, 11, 3, 10, 0, 2}));

        // Ethernet: one octet of the gateway, one port.
        Run("N_Ethernet", [&](QDialog &d) {
            auto *f = As<TFormConEth>(d);
            QCOMPARE(f->Edit("ip4")->text(), QString("192"));
            QCOMPARE(f->Edit("ip1")->text(), QString("100"));
            QCOMPARE(f->Edit("e3")->text(), QString("7001"));
            f->Edit("is1")->setText("254");
            f->Edit("e4")->setText("4294967295");
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 29, 0, 7, 1}, {2, 29, 2, 5, 1}}));
        QCOMPARE(sim.Field(29, 2), B({254, 0, 168, 192}));
        QCOMPARE(sim.Field(29, 6), B({255, 255, 255, 255}));

        // Cancelled: nothing.
        Run("NConnWMT", [&](QDialog &d) {
            auto *f = As<TFormConWMT>(d);
            Cb(f, "CBType")->setCurrentIndex(1);
            f->BitBtnCancel->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 15, 0, 8, 1}}));
    }

    void refusals_keep_the_form_open_and_the_table()
    {
        // Each refusal, then the form is put right and accepted.
        struct Step {
            QString line1, line2;
        };
        const QByteArray t14 = sim.Table(14);
        QList<Step> shown;
        Run("NConHGC", [&](QDialog &d) {
            auto *f = qobject_cast<TFormConHGC *>(&d);
            if (!f) return;
            auto refused = [&](const char *l1, const char *l2) {
                f->BitBtnWrite->click();
                QVERIFY(!ques.asked.isEmpty());
                QCOMPARE(ques.asked.last().kind, 2u);
                QCOMPARE(ques.asked.last().line1, QString::fromUtf8(l1));
                QCOMPARE(ques.asked.last().line2, QString::fromUtf8(l2));
                QCOMPARE(f->Accepted, uint8_t(0));
                QVERIFY(std::memcmp(Tab_Dir[14].data, t14.constData(), 16) == 0);
            };
            Cb(f, "CBAdr")->setEditText("");
            refused("Введены не все параметры", "");
            Cb(f, "CBAdr")->setEditText("248");
            refused("Адрес должен быть", "в диапазоне 1...247");
            Cb(f, "CBAdr")->setEditText("247");
            Ed(f, "EPoll")->setText("9");
            refused("Цикл опроса хроматографа", "должен быть в диапазоне 10...255");
            Ed(f, "EPoll")->setText("256");
            refused("Цикл опроса хроматографа", "должен быть в диапазоне 10...255");
            Ed(f, "EPoll")->setText("255");
            Cb(f, "CBLine")->setCurrentIndex(-1);
            refused("Введены не все параметры", "");
            Cb(f, "CBLine")->setCurrentIndex(2);
            f->BitBtnWrite->click();
            QCOMPARE(f->Accepted, uint8_t(1));
        });
        QCOMPARE(ques.asked.size(), 5);
        // Three runs would cost more than one write of the span.
        QCOMPARE(Take_Requests().mid(4), (QList<Req>{{2, 14, 0, 16, 1}}));
        QCOMPARE(sim.Field(14, 0), B({247}));
        QCOMPARE(sim.Field(14, 11), B({3}));
        QCOMPARE(sim.Field(14, 15), B({255}));

        ques.asked.clear();
        Run("NConVU", [&](QDialog &d) {
            auto *f = As<TFormConVU>(d);
            Ed(f, "EPream")->setText("256");
            Cb(f, "CBAdr")->setEditText("255");
            f->BitBtnWrite->click();   // the preambles come first
            Ed(f, "EPream")->setText("255");
            f->BitBtnWrite->click();
            Cb(f, "CBAdr")->setEditText("0");
            f->BitBtnWrite->click();
            f->BitBtnCancel->click();
        });
        QCOMPARE(ques.asked.size(), 3);
        QCOMPARE(ques.asked[0].line1, QString("Количество преамбул не должно превышать 255"));
        QCOMPARE(ques.asked[0].line2, QString());
        QCOMPARE(ques.asked[1].line1, QString("Адрес должен быть"));
        QCOMPARE(ques.asked[1].line2, QString("в диапазоне 1...254"));
        QCOMPARE(ques.asked[2].line2, QString("в диапазоне 1...254"));

        ques.asked.clear();
        Run("NConnWMT", [&](QDialog &d) {
            auto *f = As<TFormConWMT>(d);
            Cb(f, "CBAdr")->setEditText("248");
            Cb(f, "CBTimeout")->setEditText("4");
            f->BitBtnWrite->click();
            Cb(f, "CBAdr")->setEditText("1");
            f->BitBtnWrite->click();
            Cb(f, "CBTimeout")->setEditText("99999999999999999999");
            f->BitBtnWrite->click();
            f->BitBtnCancel->click();
        });
        QCOMPARE(ques.asked.size(), 3);
        QCOMPARE(ques.asked[0].line2, QString("в диапазоне 1...247"));
        QCOMPARE(ques.asked[1].line1, QString("Таймаут должен быть"));
        QCOMPARE(ques.asked[1].line2, QString("в диапазоне 5...255"));
        QCOMPARE(ques.asked[2].line1, QString("\"99999999999999999999\" не является правильным целым числом"));

        ques.asked.clear();
        Run("NVrgConn", [&](QDialog &d) {
            auto *f = As<TFormConVich>(d);
            Ed(f, "EPream")->setText("300");
            f->BitBtnWrite->click();
            f->BitBtnCancel->click();
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Количество преамбул не должно превышать 255"));

        ques.asked.clear();
        Run("N_Ethernet", [&](QDialog &d) {
            auto *f = As<TFormConEth>(d);
            f->Edit("im2")->setText("");
            f->BitBtnWrite->click();
            f->Edit("im2")->setText("300");
            f->BitBtnWrite->click();
            f->Edit("im2")->setText("0");
            f->Edit("e1")->setText("4294967296");
            f->BitBtnWrite->click();
            f->BitBtnCancel->click();
        });
        QCOMPARE(ques.asked.size(), 3);
        QCOMPARE(ques.asked[0].line1, QString("Введены не все параметры"));
        QCOMPARE(ques.asked[1].line1, QString("Маска подсети"));
        QCOMPARE(ques.asked[1].line2, QString("Число должно быть в диапазоне 0...255"));
        QCOMPARE(ques.asked[2].line1, QString("\"4294967296\" не является правильным целым числом"));
        for (const Req &r : Take_Requests()) QCOMPARE(r.func, 1);
    }

    void damaged_values_show_no_selection_until_chosen()
    {
        sim.Set_Field(14, 6, B({3}));    // not the chromatograph type
        sim.Set_Field(9, 5, B({3}));     // no writing mode
        sim.Set_Field(15, 1, B({40}));   // no such rate
        Run("NConHGC", [&](QDialog &d) {
            auto *f = As<TFormConHGC>(d);
            QCOMPARE(Cb(f, "CBType")->currentIndex(), -1);
            f->BitBtnWrite->click();
            QCOMPARE(f->Accepted, uint8_t(0));
            Cb(f, "CBType")->setCurrentIndex(0);
            f->BitBtnWrite->click();
        });
        QCOMPARE(sim.Field(14, 6), B({8}));
        Run("NVrgConn", [&](QDialog &d) {
            auto *f = As<TFormConVich>(d);
            for (int k = 1; k <= 3; ++k) QVERIFY(!Rb(f, k)->isChecked());
            f->BitBtnWrite->click();
            QCOMPARE(f->Accepted, uint8_t(0));
            Rb(f, 1)->setChecked(true);
            f->BitBtnWrite->click();
        });
        QCOMPARE(sim.Field(9, 5), B({0}));
        Run("NConnWMT", [&](QDialog &d) {
            auto *f = As<TFormConWMT>(d);
            QCOMPARE(Cb(f, "CBRate")->currentIndex(), -1);
            f->BitBtnWrite->click();
            QCOMPARE(f->Accepted, uint8_t(0));
            Cb(f, "CBRate")->setCurrentIndex(21);
            f->BitBtnWrite->click();
        });
        QCOMPARE(sim.Field(15, 1), B({21}));
        QCOMPARE(ques.asked.size(), 3);
        for (const Ques_Setup &q : ques.asked) QCOMPARE(q.line1, QString("Введены не все параметры"));
    }

    void chromatograph_without_flow_computers()
    {
        sim.Set_Field(6, 9, B({0}));
        sim.Set_Field(14, 10, B({1}));
        sim.Set_Field(14, 11, B({2}));
        sim.Set_Field(14, 8, B({1}));   // time synchronisation flags stay as they are
        sim.Set_Field(14, 9, B({1}));
        Image_From_Controller();
        Run("NConHGC", [&](QDialog &d) {
            auto *f = As<TFormConHGC>(d);
            QVERIFY(!Cb(f, "CBVrg")->isEnabled());
            QVERIFY(!Cb(f, "CBLine")->isEnabled());
            QCOMPARE(Cb(f, "CBLine")->currentIndex(), -1);
            QVERIFY(!Cb(f, "CBCount")->isEnabled());
            QCOMPARE(f->GBTemp->palette().color(QPalette::WindowText), QColor(128, 128, 128));
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 5, 1, 2, 1}, {1, 14, 0, 16, 1}, {2, 14, 10, 2, 1}}));
        QCOMPARE(sim.Table(14).mid(8, 4), B({1, 1, 0, 0}));
    }

    void chromatograph_flow_computer_list_and_parameter_list()
    {
        sim.Set_Field(18, 1, B({42}));
        sim.Set_Field(14, 14, B({3}));
        Image_From_Controller();
        const QByteArray t1 = sim.Table(1);
        QStringList items;
        Run("NConHGC", [&](QDialog &d) {
            if (auto *l = qobject_cast<TFormChrPar_List *>(&d)) {
                QCOMPARE(l->Count(), 3);
                l->Work.par[1].reg = 777;
                l->BitBtnAccept->click();
                return;
            }
            auto *f = As<TFormConHGC>(d);
            for (int i = 0; i < Cb(f, "CBVrg")->count(); ++i) items << Cb(f, "CBVrg")->itemText(i);
            QCOMPARE(Cb(f, "CBVrg")->currentIndex(), 0);
            f->BitBtnParList->click();
            QCOMPARE(Cb(f, "CBCount")->currentText(), QString("3"));
            Cb(f, "CBVrg")->setCurrentIndex(1);
            f->BitBtnWrite->click();
        });
        QCOMPARE(items, (QStringList{"0 (адр. 1)", "1 (адр. 42)"}));
        QCOMPARE(Take_Requests().mid(4), (QList<Req>{{2, 14, 10, 1, 1}, {2, 1, 1, 1, 1}}));
        Chr_Par p;
        std::memcpy(&p, sim.Table(1).constData() + 64, 64);
        QCOMPARE(uint16_t(p.reg), uint16_t(777));
        QCOMPARE(sim.Table(1).left(64), t1.left(64));

        // The list changed but the form cancelled: nothing written and the image back to
        // what the controller holds.
        Image_From_Controller();
        const QByteArray now1 = sim.Table(1);
        Run("NConHGC", [&](QDialog &d) {
            if (auto *l = qobject_cast<TFormChrPar_List *>(&d)) {
                l->Work.par[0].reg = 5;
                l->BitBtnAccept->click();
                return;
            }
            auto *f = As<TFormConHGC>(d);
            f->BitBtnParList->click();
            f->BitBtnCancel->click();
        });
        for (const Req &r : Take_Requests()) QCOMPARE(r.func, 1);
        QVERIFY(std::memcmp(Tab_Dir[1].data, now1.constData(), 1280) == 0);
    }

    void raising_flow_computer_count_asks()
    {
        ques.answer = 0;
        Run("NVrgConn", [&](QDialog &d) {
            auto *f = As<TFormConVich>(d);
            Cb(f, "CBCount")->setCurrentIndex(4);
            f->BitBtnWrite->click();
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 3u);
        QCOMPARE(ques.asked[0].line1, QString("Количество вычислителей не может быть увеличено"));
        QCOMPARE(ques.asked[0].line2, QString("без ввода их параметров. Выполнить ввод параметров сейчас?"));
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 9, 0, 6, 1}}));
        QCOMPARE(int(Tab_Dir[9].data[0]), 2);

        // "Да": the flow-computer road takes over with the table as read.
        ques.answer = 1;
        QByteArray handed;
        Vrg_Count_Raised = [&](TFormMain *, const QByteArray &old) { handed = old; };
        Run("NVrgConn", [&](QDialog &d) {
            auto *f = As<TFormConVich>(d);
            Cb(f, "CBCount")->setCurrentIndex(4);
            f->BitBtnWrite->click();
        });
        QCOMPARE(handed, B({2, 11, 3, 10, 0, 1}));
        QCOMPARE(int(Tab_Dir[9].data[0]), 5);
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 9, 0, 6, 1}}));
    }

    void upper_level_address_moves_the_link()
    {
        Link_Direct();
        sim.Set_Field(0, 11, B({1}));
        Run("NConVU", [&](QDialog &d) {
            auto *f = As<TFormConVU>(d);
            QVERIFY(Cb(f, "CBRate")->isEnabled());
            QCOMPARE(Cb(f, "CBRate")->currentText(), QString("9600"));
            Cb(f, "CBAdr")->setEditText("7");
            Cb(f, "CBRate")->setCurrentIndex(15);   // 19200
            f->BitBtnWrite->click();
        });
        // The first write goes to the old address and is answered from the new one; the
        // second is sent to the new address.
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 3, 0, 4, 1}, {2, 3, 0, 2, 1}, {2, 3, 0, 2, 7}}));
        QVERIFY(ques.asked.isEmpty());
        QCOMPARE(sim.Table(3), B({7, 15, 0, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(7));
        QCOMPARE(Exch_Box->Rate, 19200u);
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Adr, uint8_t(7));
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Rate, 19200u);
        QCOMPARE(main->StatusBar1->Text(1), QString(" Адр. 7"));

        // The next command talks to the new address at the new rate.
        QString mac;
        Run("NMac_Adr", [&](QDialog &d) {
            auto *f = As<TFormMac_Adr>(d);
            mac = f->PMac->text();
            f->BitBtnCancel->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 40, 0, 1, 7}}));
        QCOMPARE(port.Rate, 19200u);
        QCOMPARE(mac, QString("0A:1B:2C:3D:4E:5F"));
        Link_Ethernet();
    }

    void upper_level_over_ethernet_keeps_rate()
    {
        sim.Set_Field(0, 11, B({1}));
        sim.Set_Field(3, 1, B({30}));   // a rate index the table does not have
        Run("NConVU", [&](QDialog &d) {
            auto *f = As<TFormConVU>(d);
            QVERIFY(!Cb(f, "CBRate")->isEnabled());
            Cb(f, "CBAdr")->setEditText("254");
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 3, 0, 4, 1}, {2, 3, 0, 1, 1}, {2, 3, 0, 1, 254}}));
        QCOMPARE(sim.Table(3), B({254, 30, 0, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(254));
        QCOMPARE(Conn_Settings.Ethernet_Conn_Par.Link.Adr, uint8_t(254));
        QCOMPARE(Exch_Box->Rate, 9600u);
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Adr, uint8_t(1));

        // A failed first write changes nothing of the link.
        Exch_Box->Adr = 1;
        sim.Set_Adr(1);
        sim.Set_Field(3, 0, B({1}));
        sim.Clear_Log();
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        Run("NConVU", [&](QDialog &d) {
            auto *f = As<TFormConVU>(d);
            Cb(f, "CBAdr")->setEditText("9");
            f->BitBtnWrite->click();
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Не выполнена запись в таблицу 3."));
        QCOMPARE(Exch_Box->Adr, uint8_t(1));
        QCOMPARE(Conn_Settings.Ethernet_Conn_Par.Link.Adr, uint8_t(254));
    }

    void upper_level_preambles_only()
    {
        // Written with the preambles only, table 3 still gives the program its address and
        // rate.
        Link_Direct();
        Exch_Box->Adr = 1;
        Exch_Box->Rate = 19200;
        Run("NConVU", [&](QDialog &d) {
            auto *f = As<TFormConVU>(d);
            Ed(f, "EPream")->setText("4");
            f->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(), (QList<Req>{{1, 3, 0, 4, 1}, {2, 3, 2, 1, 1}, {2, 3, 2, 1, 1}}));
        QCOMPARE(sim.Table(3), B({1, 11, 4, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(1));
        QCOMPARE(Exch_Box->Rate, 9600u);
        Link_Ethernet();
    }

    void mac_read_failure_shows_nothing()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Times(-1));
        QCOMPARE(Run("NMac_Adr", [](QDialog &) {}), 0);
        QCOMPARE(ques.asked.size(), 1);
        for (const Req &r : Take_Requests()) QCOMPARE(r.func, 1);
    }
};

QTEST_MAIN(Tst_Links_Menu)
#include "tst_links_menu.moc"
