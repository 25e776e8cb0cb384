// The connection dialog: layout by link type, the subscriber combo, what "Связаться" refuses,
// the serial port and TCP roads into the exchange object.
#include "Sim.h"
#include "Sim_Transport.h"
#include "testsupport.h"

#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Abonent.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/View_Focus.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstring>

namespace {
class Record_Ques : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked.append(q);
        return Answer;
    }
    QList<Ques_Setup> Asked;
    uint8_t Answer = 0;
};

// A subscriber file as another copy of the program leaves it.
void Put_Fon_File(const QStringList &names)
{
    QVERIFY(Put_List_File(Fon_Path, "FON_CONN_PAR", "users_num", "FON_ABONENT_", "user_name", names));
}

QStringList Items(const QComboBox *c)
{
    QStringList r;
    for (int i = 0; i < c->count(); ++i) r << c->itemText(i);
    return r;
}

void Fon(int k, const char *name, const char *phone, int adr)
{
    Fon_Abonent &a = Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[k];
    std::memset(&a, 0, sizeof a);
    std::strncpy(a.user_name, name, ABONENT_NAME_LEN - 1);
    std::strncpy(a.phone_code, phone, PHONE_CODE_LEN - 1);
    a.contr_adr = uint8_t(adr);
}
} // namespace

class Tst_Connect_Dialog : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    Record_Ques Ques;

    void Expect_Refusal(TFormConnect &f, uint32_t kind, const QString &l1, const QString &l2)
    {
        Ques.Asked.clear();
        f.BitBtn1->click();
        QCOMPARE(int(f.Accepted), 0);
        QVERIFY(f.isVisible());
        QCOMPARE(Ques.Asked.size(), 1);
        QCOMPARE(Ques.Asked[0].kind, kind);
        QCOMPARE(Ques.Asked[0].line1, l1);
        QCOMPARE(Ques.Asked[0].line2, l2);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        QDir().mkpath(dir.path() + "/INI");
        Set_Ini_Paths();
        Set_Ques_Handler(&Ques);
        Install_Enter_Presses_Button();
        Install_View_Focus();   // the program's style, its drop-downs included
    }
    void init()
    {
        Conn_Settings = Conn_Settings_Rec{};
        Conn_Settings.Curr_Par.Free_Port_Wait = 0;
        Conn_Settings.Dir_Conn_Par.Adr = 5;
        Conn_Settings.Dir_Conn_Par.Rate = 9600;
        Conn_Settings.Dir_Conn_Par.Repeat = 1;
        Conn_Settings.Fon_Conn_Par.Link.Rate = 9600;
        Conn_Settings.Fon_Conn_Par.Link.COMPort = 7;
        Conn_Settings_Shadow = Conn_Settings;
        Exch_Box = new hgcbox(0);
        Exch_Box->Pump = [] { QCoreApplication::processEvents(); };
        Ques.Asked.clear();
    }
    void cleanup()
    {
        delete Exch_Box;
        Exch_Box = nullptr;
        Link_Port_Name[0].clear();
        Link_Port_Name[1].clear();
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }

    void direct_link_address_range()
    {
        TFormConnect f;
        f.show();
        QCOMPARE(f.ComboBox3->currentIndex(), 0);
        QVERIFY(f.ComboBox1->isEnabled());
        QCOMPARE(f.ComboBox1->count(), 255);
        QCOMPARE(f.ComboBox1->currentText(), QString("5"));
        const QString range = QStringLiteral("Адрес вне допустимого диапазона");
        f.ComboBox1->setEditText("0");
        Expect_Refusal(f, 2, range, QStringLiteral("(1...255)"));
        f.ComboBox1->setEditText("256");
        Expect_Refusal(f, 2, range, QStringLiteral("(1...255)"));
        f.ComboBox1->setEditText("");
        Expect_Refusal(f, 2, QStringLiteral("Введены не все параметры"), QString());
        // The focus is on "Связаться" at show, and Enter there presses it.
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.BitBtn1));
        Ques.Asked.clear();
        QTest::keyClick(f.BitBtn1, Qt::Key_Return);
        QCOMPARE(Ques.Asked.size(), 1);
        QCOMPARE(Ques.Asked[0].line1, QStringLiteral("Введены не все параметры"));
        // Nothing was opened and the typed address is not stored.
        QVERIFY(!Exch_Box->Port_Handle);
        QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 5);

        // A stored link type the dialog does not know: none is chosen, and none is connected.
        Conn_Settings.Curr_Par.Conn_Prz = 7;
        TFormConnect g;
        g.show();
        QCOMPARE(g.ComboBox3->currentIndex(), -1);
        Expect_Refusal(g, 2, QStringLiteral("Введены не все параметры"), QString());
    }

    // Centred on the screen, not on the main window, at the size of the link type shown.
    void centred_on_the_screen()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        QWidget main;
        main.setGeometry(0, 0, 300, 200);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TFormConnect f(&main);
        f.show();
        // Under a window manager the frame comes a moment after the show.
        const QPoint s = f.screen()->availableGeometry().center();
        QTRY_VERIFY((f.frameGeometry().center() - s).manhattanLength() <= 2);
    }

    void empty_telephone_list_offers_only_a_new_subscriber()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        TFormConnect f;
        f.show();
        QVERIFY(!f.ComboBox1->isEnabled());
        QCOMPARE(Items(f.ComboBox2), QStringList{QStringLiteral("Новый абонент")});
        QCOMPARE(f.ComboBox2->currentIndex(), -1);
        // "Связаться" is refused until a subscriber exists.
        QVERIFY(f.BitBtn1->isEnabled());
        Expect_Refusal(f, 2, QStringLiteral("Введены не все параметры"), QString());
        QVERIFY(!Exch_Box->Port_Handle);
        // Back to the direct link: one line, the address box editable again.
        f.ComboBox3->setCurrentIndex(0);
        f.ComboBox3Change();
        QCOMPARE(int(Conn_Settings.Curr_Par.Conn_Prz), 0);
        QVERIFY(f.ComboBox1->isEnabled());
    }

    void new_subscriber_only_below_200()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
        for (int k = 0; k < ABONENTS_MAX; ++k) Fon(k, qPrintable(QString("S%1").arg(k, 3, 10, QChar('0'))), "1", 1 + k);
        l.hdr.users_num = 200;
        l.hdr.user_index = 150;
        {
            TFormConnect f;
            f.show();
            QCOMPARE(f.ComboBox2->count(), 200);
            QVERIFY(!Items(f.ComboBox2).contains(QStringLiteral("Новый абонент")));
            QCOMPARE(f.ComboBox2->currentIndex(), 150);
            QCOMPARE(f.ComboBox1->currentText(), QString("151"));
            // Dropped down: 15 lines, the current subscriber among them.
            f.ComboBox2->showPopup();
            const QAbstractItemView *v = f.ComboBox2->view();
            QTRY_VERIFY(v->isVisible());
            const QRect r = v->visualRect(v->currentIndex());
            QCOMPARE((v->viewport()->height() + r.height() / 2) / r.height(), 15);
            QVERIFY(r.top() >= 0 && r.bottom() < v->viewport()->height());
            f.ComboBox2->hidePopup();
        }
        l.hdr.users_num = 199;
        l.hdr.user_index = 0;
        TFormConnect f;
        f.show();
        QCOMPARE(f.ComboBox2->count(), 200);
        QCOMPARE(f.ComboBox2->itemText(199), QStringLiteral("Новый абонент"));
    }

    void new_subscriber_is_added_selected_and_written()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon(0, "Zeta", "555", 3);
        Fon(1, "", "", 1);   // the free entry as the file gives it
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[1].adr_modbus = 1;
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr.users_num = 1;
        bool cancel = true;
        Scripted_Dialogs run([&cancel](QDialog &d) {
            if (cancel) return;
            auto &a = static_cast<TFormAbonent &>(d);
            a.Edit1->setText("Alpha");
            a.ComboBox1->setEditText("12");
            a.Edit2->setText("777");
            a.BitBtn4Click();
        });
        Set_Dialog_Runner(&run);
        TFormConnect f;
        f.show();
        const Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
        const Fon_Abonents_List before = l;
        // Cancelled: the list is untouched, so nothing is written at exit.
        f.ComboBox2->setCurrentIndex(1);   // "Новый абонент"
        f.ComboBox2Change();
        QVERIFY(std::memcmp(&l, &before, sizeof l) == 0);
        QCOMPARE(f.ComboBox2->currentIndex(), 0);
        cancel = false;
        f.ComboBox2->setCurrentIndex(1);
        f.ComboBox2Change();
        Set_Dialog_Runner(nullptr);
        QCOMPARE(run.Count, 2);
        QCOMPARE(int(l.hdr.users_num), 2);
        QCOMPARE(int(l.rec[l.hdr.user_index].adr_modbus), 1);
        // Sorted by name; the new subscriber stays the chosen one.
        QCOMPARE(QByteArray(l.rec[l.hdr.user_index].user_name), QByteArray("Alpha"));
        QCOMPARE(Items(f.ComboBox2), (QStringList{"Alpha", "Zeta", QStringLiteral("Новый абонент")}));
        QCOMPARE(f.ComboBox2->currentIndex(), int(l.hdr.user_index));
        QCOMPARE(f.ComboBox1->currentText(), QString("12"));
        QVERIFY(QFile::exists(Fon_Path));
    }

    // The names follow their file when the link type is chosen and when the list window opens;
    // deleting there a subscriber another copy changed meanwhile is reported.
    void subscriber_list_follows_its_file()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        TFormConnect f;
        f.show();
        Put_Fon_File({"B1", "X"});
        emit f.ComboBox3->activated(1);
        QCOMPARE(Items(f.ComboBox2), (QStringList{"B1", "X", QStringLiteral("Новый абонент")}));
        Put_Fon_File({"B1", "W", "X"});
        Scripted_Dialogs run([](QDialog &d) {
            auto &l = static_cast<TFormAbonents_List &>(d);
            QCOMPARE(l.StringGrid1->rowCount(), 3);   // "W" is there
            Put_Fon_File({"B1", "W", "X2"});   // meanwhile "X" changed; here deleted
            l.Row_Click(2);
            l.BitBtn3->click();
            l.BitBtn4->click();
        });
        Ques.Answer = 1;
        Set_Dialog_Runner(&run);
        f.BitBtn6Click();
        Set_Dialog_Runner(nullptr);
        Ques.Answer = 0;
        QCOMPARE(Ques.Asked.value(1).line1, QStringLiteral("Другая копия программы изменила или удалила абонент «X»,"));
        QFile::remove(Fon_Path);
    }

    void missing_telephone_port_is_named()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon(0, "Site", "123", 4);
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr.users_num = 1;
        Link_Port_Name[1] = dir.path() + "/no-such-tty";
        TFormConnect f;
        f.show();
        Expect_Refusal(f, 1, QStringLiteral("Коммуникационный порт %1/no-such-tty недоступен").arg(dir.path()), QString());
        QVERIFY(!Exch_Box->Port_Handle);
        // The settings written before the failed open stay written.
        QVERIFY(QFile::exists(Ini_Path));
        QCOMPARE(int(Conn_Settings.Fon_Conn_Par.Link.Adr), 4);
    }

    void ethernet_time_out_and_no_input_while_connecting()
    {
        Sim_Core core(9);
        Sim_Tcp tcp(core);
        QVERIFY(tcp.Start());
        tcp.Refuse_For(60000);
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        std::strcpy(l.rec[0].user_name, "Down");
        l.rec[0].contr_adr = 9;
        l.rec[0].ip_adr = 0x7F000001;
        l.rec[0].port = tcp.Port();
        l.hdr.users_num = 1;
        Conn_Settings.Ethernet_Conn_Par.ConnectWaitTime = 2;
        TFormConnect f;
        f.show();
        bool tried = false;
        // While the connect waits: a second "Связаться" and "Выход" (or Esc, or the close box).
        QTimer::singleShot(300, &f, [&] {
            tried = true;
            QVERIFY(!f.isEnabled());
            f.BitBtn1Click();
            f.reject();
            f.close();
        });
        f.BitBtn1->setFocus(Qt::TabFocusReason);
        f.BitBtn1->click();
        QVERIFY(tried);
        QCOMPARE(Ques.Asked.size(), 1);
        QCOMPARE(Ques.Asked[0].line1, QStringLiteral("Превышено время ожидания соединения сервер/клиент"));
        QCOMPARE(int(f.Accepted), 0);
        QVERIFY(f.isVisible());
        QVERIFY(f.isEnabled());
        // The dialog was disabled meanwhile: "Связаться" has the focus back.
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.BitBtn1));
        QVERIFY(!Exch_Box->Sock);
        tcp.Stop();
    }
};

QTEST_MAIN(Tst_Connect_Dialog)
#include "tst_connect_dialog.moc"
