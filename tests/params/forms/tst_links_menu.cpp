// The link commands against the controller simulator: what reaches the controller, what the
// forms refuse, and the program's own link after the upper-level address and rate are written.
#include "core/Rd_wr_ini.h"
#include "core/forms/Statusbar.h"
#include "params/Chr_Par.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Links.h"

#include "Sim_Menu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// A request with the address it was sent to.
struct Req_At {
    int func, tab, first, count, adr;
    bool operator==(const Req_At &o) const
    {
        return func == o.func && tab == o.tab && first == o.first && count == o.count && adr == o.adr;
    }
};

QComboBox *Cb(const TFormField_List &f, const char *name)
{
    return f.List(f.Row_Of(name));
}
QLineEdit *Ed(const TFormField_List &f, const char *name)
{
    return f.Edit(f.Row_Of(name));
}
QRadioButton *Rb(const TFormField_List &f, int k)
{
    return f.Radio(f.Row_Of("rb"), k - 1);
}
QByteArray B(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

} // namespace

namespace QTest {
template <> char *toString(const Req_At &r)
{
    return qstrdup(
        QString::asprintf("{f%d t%d %d+%d @%d}", r.func, r.tab, r.first, r.count, r.adr).toLatin1().constData());
}
} // namespace QTest

class Tst_Links_Menu : public QObject {
    Q_OBJECT
    Sim_Menu m;

    QList<Req_At> Requests()
    {
        QList<Req_At> out;
        for (const Sim_Request_Log &l : m.sim.Log()) out << Req_At{l.func, l.table, l.first, l.count, l.adr};
        m.sim.Clear_Log();
        return out;
    }
    void Link_Ethernet()
    {
        Exch_Box->Port_Handle.reset();
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Sock = m.port.Borrow();
        Conn_Settings.Curr_Par.Conn_Prz = 2;
    }
    void Link_Direct()
    {
        Exch_Box->Sock.reset();
        Exch_Box->Conn_Prz = 0;
        Exch_Box->Do_Close_Port = 0;
        Exch_Box->Port_Handle = m.port.Borrow();
        Conn_Settings.Curr_Par.Conn_Prz = 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Exch_Box->Pause_Rts_Us = 0;
        Exch_Box->Pause_Close_Ms = 0;
        Install_Link_Commands(m.main.get());
    }
    void init()
    {
        m.sim.Set_Adr(1);
        m.Reset();
        Exch_Box->Adr = 1;
        Link_Ethernet();
        Conn_Settings.Ethernet_Conn_Par.Link.Adr = 1;
        Conn_Settings.Dir_Conn_Par.Adr = 1;
        Conn_Settings.Dir_Conn_Par.Rate = 9600;
        Exch_Box->Rate = 9600;
        Vrg_Count_Raised = nullptr;
    }

    void unchanged_accept_writes_nothing_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QList<Req>>("reads");
        QTest::newRow("upper level") << "NConVU" << QList<Req>{{1, 3, 0, 4}};
        QTest::newRow("flow computers") << "NVrgConn" << QList<Req>{{1, 9, 0, 6}};
        QTest::newRow("chromatograph")
            << "NConHGC" << QList<Req>{{1, 9, 0, 1}, {1, 18, 0, 2}, {1, 5, 1, 2}, {1, 14, 0, 16}};
        QTest::newRow("moisture meter") << "NConnWMT" << QList<Req>{{1, 15, 0, 8}};
        QTest::newRow("ethernet") << "N_Ethernet" << QList<Req>{{1, 29, 0, 7}};
    }
    void unchanged_accept_writes_nothing()
    {
        QFETCH(QString, item);
        QFETCH(QList<Req>, reads);
        m.Run(item.toLatin1().constData(), [&](QDialog &d) {
            if (auto *p = qobject_cast<TParam_Dialog *>(&d); p && p->BitBtnWrite) p->BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), reads);
        QVERIFY(m.ques.asked.isEmpty());
    }

    void changed_fields_only()
    {
        m.Run("NConnWMT", [&](QDialog &d) {
            auto &f = m.As<TFormConWMT>(d);
            Cb(f, "CBTimeout")->setEditText("33");
            Cb(f, "CBType")->setCurrentIndex(2);
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 15, 0, 8}, {2, 15, 4, 3}}));
        QCOMPARE(m.sim.Table(15), B({2, 11, 1, 0, 33, 3, 2, 0}));

        m.Run("NVrgConn", [&](QDialog &d) {
            auto &f = m.As<TFormConVich>(d);
            Cb(f, "CBCount")->setCurrentIndex(0);
            Rb(f, 3)->setChecked(true);
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 9, 0, 6}, {2, 9, 0, 6}}));
        QCOMPARE(m.sim.Table(9), B({1, 11, 3, 10, 0, 2}));

        // Ethernet: one octet of the gateway, one port.
        m.Run("N_Ethernet", [&](QDialog &d) {
            auto &f = m.As<TFormConEth>(d);
            f.Edit("is1")->setText("254");
            f.Edit("e4")->setText("4294967295");
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 29, 0, 7}, {2, 29, 2, 5}}));
        QCOMPARE(m.sim.Field(29, 2), B({254, 0, 168, 192}));
        QCOMPARE(m.sim.Field(29, 6), B({255, 255, 255, 255}));
    }

    void refusals_keep_the_form_open_and_the_table()
    {
        const QByteArray t14 = m.sim.Table(14);
        m.Run("NConHGC", [&](QDialog &d) {
            auto *f = qobject_cast<TFormConHGC *>(&d);
            if (!f) return;
            auto refused = [&](const char *l1) {
                f->BitBtnWrite->click();
                QVERIFY(!m.ques.asked.isEmpty());
                QCOMPARE(m.ques.asked.last().line1, QString::fromUtf8(l1));
                QCOMPARE(f->Accepted, uint8_t(0));
                QVERIFY(std::memcmp(Tab_Dir[14].data, t14.constData(), 16) == 0);
            };
            Cb(*f, "CBAdr")->setEditText("");
            refused("Введены не все параметры");
            Cb(*f, "CBAdr")->setEditText("248");
            refused("Адрес должен быть");
            Cb(*f, "CBAdr")->setEditText("247");
            Ed(*f, "EPoll")->setText("9");
            refused("Цикл опроса хроматографа");
            Ed(*f, "EPoll")->setText("256");
            refused("Цикл опроса хроматографа");
            Ed(*f, "EPoll")->setText("255");
            Cb(*f, "CBLine")->setCurrentIndex(2);
            f->BitBtnWrite->click();
            QCOMPARE(f->Accepted, uint8_t(1));
        });
        QCOMPARE(m.ques.asked.size(), 4);
        // Three runs would cost more than one write of the span.
        QCOMPARE(m.Requests().mid(4), (QList<Req>{{2, 14, 0, 16}}));
        QCOMPARE(m.sim.Field(14, 0), B({247}));
        QCOMPARE(m.sim.Field(14, 15), B({255}));
    }

    void upper_level_address_moves_the_link()
    {
        Link_Direct();
        m.sim.Set_Field(0, 11, B({1}));
        m.Run("NConVU", [&](QDialog &d) {
            auto &f = m.As<TFormConVU>(d);
            Cb(f, "CBAdr")->setEditText("7");
            Cb(f, "CBRate")->setCurrentIndex(15);   // 19200
            f.BitBtnWrite->click();
        });
        // The first write goes to the old address and is answered from the new one; the
        // second is sent to the new address.
        QCOMPARE(Requests(), (QList<Req_At>{{1, 3, 0, 4, 1}, {2, 3, 0, 2, 1}, {2, 3, 0, 2, 7}}));
        QVERIFY(m.ques.asked.isEmpty());
        QCOMPARE(m.sim.Table(3), B({7, 15, 0, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(7));
        QCOMPARE(Exch_Box->Rate, 19200u);
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Adr, uint8_t(7));
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Rate, 19200u);
        QCOMPARE(m.main->StatusBar1->Text(1), QString(" Адр. 7"));

        // The next command talks to the new address at the new rate.
        m.Run("NMac_Adr", [&](QDialog &d) { d.reject(); });
        QCOMPARE(Requests(), (QList<Req_At>{{1, 40, 0, 1, 7}}));
        QCOMPARE(m.port.Rate, 19200u);
        Link_Ethernet();
    }

    void upper_level_over_ethernet_keeps_rate()
    {
        m.sim.Set_Field(0, 11, B({1}));
        m.sim.Set_Field(3, 1, B({30}));   // a rate index the table does not have
        m.Run("NConVU", [&](QDialog &d) {
            auto &f = m.As<TFormConVU>(d);
            Cb(f, "CBAdr")->setEditText("254");
            f.BitBtnWrite->click();
        });
        QCOMPARE(Requests(), (QList<Req_At>{{1, 3, 0, 4, 1}, {2, 3, 0, 1, 1}, {2, 3, 0, 1, 254}}));
        QCOMPARE(m.sim.Table(3), B({254, 30, 0, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(254));
        QCOMPARE(Conn_Settings.Ethernet_Conn_Par.Link.Adr, uint8_t(254));
        QCOMPARE(Exch_Box->Rate, 9600u);
        QCOMPARE(Conn_Settings.Dir_Conn_Par.Adr, uint8_t(1));

        // A failed first write changes nothing of the link.
        Exch_Box->Adr = 1;
        m.sim.Set_Adr(1);
        m.sim.Set_Field(3, 0, B({1}));
        m.sim.Clear_Log();
        m.sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        m.Run("NConVU", [&](QDialog &d) {
            auto &f = m.As<TFormConVU>(d);
            Cb(f, "CBAdr")->setEditText("9");
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, QString("Не выполнена запись в таблицу 3."));
        QCOMPARE(Exch_Box->Adr, uint8_t(1));
        QCOMPARE(Conn_Settings.Ethernet_Conn_Par.Link.Adr, uint8_t(254));
    }

    void upper_level_preambles_only()
    {
        // Written with the preambles only, table 3 still gives the program its address and
        // rate.
        Link_Direct();
        Exch_Box->Rate = 19200;
        m.Run("NConVU", [&](QDialog &d) {
            auto &f = m.As<TFormConVU>(d);
            Ed(f, "EPream")->setText("4");
            f.BitBtnWrite->click();
        });
        QCOMPARE(Requests(), (QList<Req_At>{{1, 3, 0, 4, 1}, {2, 3, 2, 1, 1}, {2, 3, 2, 1, 1}}));
        QCOMPARE(m.sim.Table(3), B({1, 11, 4, 0}));
        QCOMPARE(Exch_Box->Adr, uint8_t(1));
        QCOMPARE(Exch_Box->Rate, 9600u);
        Link_Ethernet();
    }
};

QTEST_MAIN(Tst_Links_Menu)
#include "tst_links_menu.moc"
