// The connect-and-identify sequence of the main window against the controller simulator:
// dialogs answered by a script, the requests checked in the simulator's log.
#include "Core_Fast_Clock.h"
#include "Sim.h"
#include "SimModem.h"
#include "Sim_Transport.h"

#include "SimArchive.h"
#include "archives/forms/Arh_Install.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "core/Codepage.h"
#include "messages/forms/Period.h"
#include "core/Comportfunctions.h"
#include "core/Conffun.h"
#include "core/Dtfun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Connect.h"
#include "core/forms/Connect_Seq.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Userpass.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint8_t ADR = 7;

class Recorder final : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked << (q.line1 + " | " + q.line2);
        if (On_Ask) On_Ask();
        return Answer;
    }
    std::function<void()> On_Ask;
    QStringList Asked;
    uint8_t Answer = 0;
};

// Presses "Связаться" in the connection dialog and logs in with code 1234.
void Answer_Dialogs(QDialog &d)
{
    if (auto *c = qobject_cast<TFormConnect *>(&d)) {
        c->BitBtn1->click();
    } else if (auto *u = qobject_cast<TFormShortUsPass *>(&d)) {
        u->Edit4->setText("1234");
        u->Edit1->setText("secret");
        u->BitBtn1->click();
    }
}

QList<QByteArray> Reads(const QList<Sim_Request_Log> &log)
{
    QList<QByteArray> r;
    for (const auto &e : log)
        if (e.func == 1) r << QByteArray::number(e.table) + "," + QByteArray::number(e.first) + "," + QByteArray::number(e.count);
    return r;
}
} // namespace

class Tst_Connect : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Sim_Core> core;
    std::unique_ptr<Sim_Tcp> tcp;
    std::unique_ptr<TFormMain> main;
    Recorder ques;
    std::unique_ptr<Scripted_Dialogs> dialogs;
    // The link's fixed pauses (after the TCP connect, the modem's guard times) run ten
    // times fast; the simulated modem's guard time is shrunk to match.
    Fast_Clock clock{10};

    void Setup_Ethernet()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        l.hdr.users_num = 1;
        l.hdr.user_index = 0;
        std::strcpy(l.rec[0].user_name, "Sim");
        l.rec[0].contr_adr = ADR;
        l.rec[0].ip_adr = 0x7F000001;
        l.rec[0].port = tcp->Port();
        Conn_Settings.Ethernet_Conn_Par.ConnectWaitTime = 10;
        Conn_Settings.Ethernet_Conn_Par.Link.WaitTime = 100;
        Conn_Settings.Ethernet_Conn_Par.Link.TimeOut = 20000;
        Conn_Settings.Ethernet_Conn_Par.Link.Repeat = 1;
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        core = std::make_unique<Sim_Core>(ADR);
        tcp = std::make_unique<Sim_Tcp>(*core);
        QVERIFY(tcp->Start());
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        Install_Connect(main.get());
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Clk = &clock;
        Set_Ques_Handler(&ques);
        ques.Asked.clear();
        ques.Answer = 0;
        ques.On_Ask = nullptr;
        dialogs = std::make_unique<Scripted_Dialogs>(Answer_Dialogs);
        Set_Dialog_Runner(dialogs.get());
        Setup_Ethernet();
    }
    void cleanup()
    {
        Set_Dialog_Runner(nullptr);
        Set_Ques_Handler(nullptr);
        if (main) main->Disconnect();
        main.reset();
        tcp->Stop();
        tcp.reset();
        core.reset();
        Connected = false;
        Init_Tables();
        Set_Work_Dir(dir.path());
    }

    void ethernet_connect_reads_in_order()
    {
        Connect_Sequence(main.get());
        QVERIFY2(Connected, qPrintable(ques.Asked.join('\n')));
        QVERIFY(ques.Asked.isEmpty());
        const QList<QByteArray> expected = {"0,0,18", "5,0,3", "6,0,12", "14,0,16", "1,0,3", "1,3,3", "1,6,3",
                                            "1,9,3", "1,12,3", "1,15,3", "1,18,2", "40,0,1", "15,6,1"};
        QCOMPARE(Reads(core->Log()), expected);
        // The controller's name, stored in code page 866, is shown converted.
        QByteArray name866(reinterpret_cast<const char *>(core->Image().constData()) + Tab_Offset(5), 20);
        QCOMPARE(main->StatusBar1->Text(1), Field_To_Unicode(name866.constData(), 20, true).trimmed());
        QVERIFY(!main->StatusBar1->Text(1).isEmpty());
        QVERIFY(main->Item("NWorkPar")->isVisible());
        QVERIFY(main->Item("NConnWMT")->isVisible());
        // The login pair is what the next write carries.
        QCOMPARE(QByteArray(Exch_Box->User_Code, 4), QByteArray("1234"));
        QCOMPARE(QByteArray(Exch_Box->Write_Pass, 12), QByteArray("secret      "));
    }

    void measurement_archive_read_into_its_viewer()
    {
        Sim_Archive arh(*core);
        arh.Generate({});
        arh.Install();
        Install_Archives(main.get());
        Connect_Sequence(main.get());
        QVERIFY(Connected);
        int rows = -1;
        int dialogs_seen = 0;
        Scripted_Dialogs read([&](QDialog &d) {
            ++dialogs_seen;
            if (auto *p = qobject_cast<TFormPeriod *>(&d)) {
                p->Ok = 1;
                DateTime_To_Date6(Now_TDateTime() - 2.0 / 24 - 600.0 / 86400, p->Start.bytes());
                DateTime_To_Date6(Now_TDateTime() - 600.0 / 86400, p->End.bytes());
                d.accept();
            } else if (auto *v = qobject_cast<TFormArhMeas_Chr *>(&d)) {
                rows = v->Grid_Model()->rowCount();
                v->BitBtn1->click();
            }
        });
        Set_Dialog_Runner(&read);
        main->Item("NChrom_RdMeas")->trigger();
        QVERIFY2(rows >= 38 && rows <= 42, qPrintable(QString::number(rows) + " | " + ques.Asked.join('\n')));
        QCOMPARE(dialogs_seen, 2);
        bool func8 = false;
        for (const auto &e : core->Log()) func8 |= e.func == 8;
        QVERIFY(func8);
        QVERIFY(main->isEnabled());
        QVERIFY(!Exch_Run);
    }

    void menus_follow_fitted_devices_data()
    {
        QTest::addColumn<int>("wmt");
        QTest::addColumn<int>("vrg");
        QTest::newRow("both") << 1 << 1;
        QTest::newRow("no moisture meter") << 0 << 1;
        QTest::newRow("no flow computers") << 1 << 0;
        QTest::newRow("neither") << 0 << 0;
    }
    void menus_follow_fitted_devices()
    {
        QFETCH(int, wmt);
        QFETCH(int, vrg);
        QVERIFY(core->Set_Field(6, 8, QByteArray(1, char(wmt))));
        QVERIFY(core->Set_Field(6, 9, QByteArray(1, char(vrg))));
        Connect_Sequence(main.get());
        QVERIFY(Connected);
        for (const char *n : {"NConnWMT", "NWmt_Data"}) QCOMPARE(main->Item(n)->isVisible(), wmt != 0);
        for (const char *n : {"NCurrVich", "NVrgConn", "NDistr", "Ndistrpar"}) QCOMPARE(main->Item(n)->isVisible(), vrg != 0);
        bool read15 = false;
        for (const auto &e : core->Log()) read15 |= e.func == 1 && e.table == 15;
        QCOMPARE(read15, wmt != 0);
        // Without the link the reduced menu.
        main->Disconnect();
        main->Update_Menu();
        QVERIFY(!main->Item("NWorkPar")->isVisible());
        QVERIFY(!main->Item("Nexcreport")->isVisible());
        QVERIFY(main->Item("NData")->isVisible());
        QVERIFY(main->Item("NAudPrn")->isVisible());
        QVERIFY(!main->Item("NAudInd")->isVisible());
        QVERIFY(main->Item("Nconnect")->isVisible());
    }

    void refused_controllers_leave_no_link_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("type") << 0 << 1 << int('J') << "Код типа подключенного контроллера  74 | Программа обслуживает контроллеры QZT";
        QTest::newRow("version 15") << 0 << 3 << 15
                                    << "Версия ПО подключенного контроллера 15 | Программа обслуживает контроллеры QZT только с версией ПО 16";
        QTest::newRow("chromatograph 7") << 14 << 6 << 7
                                         << "Код подключенного хроматографа равен 7. | Должен быть 8 (XRM5170)\n"
                                            "Не прочитаны данные, для организации | дальнейшего обмена с устройством";
    }
    void refused_controllers_leave_no_link()
    {
        QFETCH(int, tab);
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(QString, message);
        QVERIFY(core->Set_Field(tab, field, QByteArray(1, char(value))));
        Connect_Sequence(main.get());
        QVERIFY(!Connected);
        QCOMPARE(ques.Asked.join('\n'), message);
        QVERIFY(!Exch_Box->Sock);
        QVERIFY(!main->Item("NWorkPar")->isVisible());
        QVERIFY(main->Item("Nconnect")->isVisible());
    }

    void failed_mac_read_keeps_the_link()
    {
        core->Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 11).For_Func(1).Skip(11));
        Connect_Sequence(main.get());
        QVERIFY(Connected);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(40, 0)), 6), QByteArray(6, '\0'));
    }

    void failed_moisture_read_drops_the_link()
    {
        core->Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 11).For_Func(1).Skip(12));
        Connect_Sequence(main.get());
        QVERIFY(!Connected);
        QVERIFY(ques.Asked.contains("Не прочитаны данные, для организации | дальнейшего обмена с устройством"));
    }

    void unread_names_are_replaced_padded()
    {
        // The names request (the second read) fails: the link goes on with our own names.
        core->Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Contr_Error, 11).For_Func(1).Skip(1));
        Connect_Sequence(main.get());
        QVERIFY(Connected);
        QCOMPARE(main->StatusBar1->Text(1), QStringLiteral("Контроллер QZT_16"));
        const auto field = [](int k) { return QByteArray(reinterpret_cast<const char *>(Tab_Field(5, k)), 20); };
        QCOMPARE(field(0), Unicode_To_Cp1251(QStringLiteral("Контроллер QZT_16")).leftJustified(20, ' '));
        QCOMPARE(field(1), Unicode_To_Cp1251(QStringLiteral("Нитка 1")).leftJustified(20, ' '));
        QCOMPARE(field(2), Unicode_To_Cp1251(QStringLiteral("Нитка 2")).leftJustified(20, ' '));
    }

    void login_pair_reaches_the_controller_on_a_write()
    {
        core->Set_Password("secret");
        core->Set_Code("1234");
        Connect_Sequence(main.get());
        QVERIFY(Connected);
        ques.Answer = 1;   // "Вы уверены, что часы ЭВМ показывают правильное время?"
        QVERIFY2(Set_Contr_Time(main.get()), qPrintable(ques.Asked.join('\n')));
        const Sim_Request_Log &w = core->Log().constLast();
        QCOMPARE(int(w.func), 2);
        QCOMPARE(w.table, 2);
        QCOMPARE(w.error, 0);
        QVERIFY(w.raw.contains("secret      1234"));
        // Another pair is refused by the controller.
        std::memcpy(Exch_Box->Write_Pass, "wrong       ", 12);
        ques.Answer = 0;
        QVERIFY(!Write_Table(Tab_Req{2, 0, 8}, {}, false));
        QVERIFY(core->Log().constLast().error != 0);
    }

    void cancelled_dialog_leaves_no_link()
    {
        Scripted_Dialogs cancel([](QDialog &d) {
            if (auto *c = qobject_cast<TFormConnect *>(&d)) c->BitBtn2->click();
        });
        Set_Dialog_Runner(&cancel);
        Connect_Sequence(main.get());
        QVERIFY(!Connected);
        QCOMPARE(core->Request_Count(), 0);
        QVERIFY(main->Item("Nconnect")->isVisible());
        QVERIFY(!main->Item("NWorkPar")->isVisible());
    }

    void direct_line_adopts_the_answering_address()
    {
        Sim_Pty pty(*core);
        QVERIFY(pty.Start());
        Conn_Settings.Curr_Par.Conn_Prz = 0;
        Conn_Settings.Curr_Par.Do_Close_Port = 0;
        Conn_Settings.Dir_Conn_Par.Adr = 255;
        Conn_Settings.Dir_Conn_Par.Rate = 38400;
        Conn_Settings.Dir_Conn_Par.WaitTime = 100;
        Conn_Settings.Dir_Conn_Par.TimeOut = 20000;
        Conn_Settings.Dir_Conn_Par.Repeat = 1;
        Link_Port_Name[0] = pty.Slave_Path();
        Scripted_Dialogs any([](QDialog &d) {
            if (auto *c = qobject_cast<TFormConnect *>(&d)) c->ComboBox1->setEditText("255");
            Answer_Dialogs(d);
        });
        Set_Dialog_Runner(&any);
        Exch_Box->Pause_Rts_Us = 0;
        Connect_Sequence(main.get());
        QVERIFY2(Connected, qPrintable(ques.Asked.join('\n')));
        QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), int(ADR));
        QCOMPARE(int(Exch_Box->Adr), int(ADR));
        // A device without a COM number is named as it is set, not as "COM1".
        QCOMPARE(main->StatusBar1->Text(0), QStringLiteral(" %1,   38400 бит/с").arg(pty.Slave_Path()));
        main->Disconnect();
        pty.Stop();
        Link_Port_Name[0].clear();
    }

    void close_during_a_slow_reply_waits_for_the_exchange()
    {
        core->Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::First_Byte_Late, 1500).For_Func(1));
        const QString work = Work_Dir() + "datafile.ala";
        {
            QFile f(work);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        QTimer::singleShot(400, main.get(), [this] { main->close(); });
        main->TimerStart.start();
        // The close is carried out once the sequence has ended: the link is released and
        // the working files are deleted.
        QTRY_VERIFY_WITH_TIMEOUT(Exch_Box == nullptr, 30000);
        QVERIFY(core->Request_Count() >= 1);
        QVERIFY(!QFile::exists(work));
        QVERIFY(!Connected);
    }

    void unchanged_settings_are_not_written_at_exit()
    {
        main.reset();
        QTemporaryDir fresh;
        Set_Work_Dir(fresh.path());
        {
            TFormMain m;
            m.TimerStart.stop();
            QVERIFY(QDir(fresh.path() + "/INI").exists());
            m.close();
        }
        QVERIFY(!QFile::exists(fresh.path() + "/INI/qzt.ini"));
        QVERIFY(!QFile::exists(fresh.path() + "/INI/fon_abonents.ini"));
        QVERIFY(!QFile::exists(fresh.path() + "/INI/ethr_abonents.ini"));
    }

    static void Setup_Telephone(const QString &tty)
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon_Conn_Par_Rec &f = Conn_Settings.Fon_Conn_Par;
        f.Link.Rate = 38400;
        f.Link.WaitTime = 100;
        f.Link.TimeOut = 20000;
        f.Link.Repeat = 1;
        f.ConnectWaitTime = 20;
        f.Conn_Repeat = 1;
        f.Command[0] = 0;
        f.Fon_Abonents.hdr.users_num = 1;
        f.Fon_Abonents.hdr.user_index = 0;
        std::strcpy(f.Fon_Abonents.rec[0].user_name, "Site");
        std::strcpy(f.Fon_Abonents.rec[0].phone_code, "123-45");
        f.Fon_Abonents.rec[0].contr_adr = ADR;
        Link_Port_Name[1] = tty;
        Exch_Box->Pause_Rts_Us = 0;
    }

    void telephone_link_through_the_modem_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("retry");   // the answer to the retry question
        QTest::newRow("connects") << false << 0;
        QTest::newRow("busy, retried on yes") << true << 1;
        QTest::newRow("busy, not retried") << true << 0;
    }
    void telephone_link_through_the_modem()
    {
        QFETCH(bool, busy);
        QFETCH(int, retry);
        Sim_Modem modem(core.get());
        modem.Set_Guard_Ms(50);
        Sim_Pty pty(modem);
        QVERIFY(pty.Start());
        Setup_Telephone(pty.Slave_Path());
        if (busy) modem.Set_Dial_Result(Sim_Modem::Dial_Result::Busy);
        // The second dial gets through.
        ques.Answer = uint8_t(retry);
        ques.On_Ask = [&] { modem.Set_Dial_Result(Sim_Modem::Dial_Result::Connect); };
        Connect_Sequence(main.get());
        const bool linked = !busy || retry;
        QCOMPARE(Connected, linked);
        QCOMPARE(main->Modem_Up, linked);
        QCOMPARE(main->pnmodem->isVisibleTo(main.get()), linked);
        QCOMPARE(ques.Asked, busy ? QStringList{QStringLiteral("Номер абонента занят | Повторить попытку соединения?")}
                                  : QStringList());
        bool dialled = false;
        for (const QString &c : modem.Command_Log()) dialled |= c.toUpper().startsWith("ATD") && c.contains("12345");
        QVERIFY2(dialled, qPrintable(modem.Command_Log().join(" ")));
        if (!linked) {
            QCOMPARE(core->Request_Count(), 0);
            QVERIFY(!Exch_Box->Port_Handle);
            QVERIFY(main->Item("Nconnect")->isVisible());
        } else if (busy) {
            // Closing the window hangs the modem up.
            main->close();
            QVERIFY(Exch_Box == nullptr);
            QVERIFY2(modem.Command_Log().contains("+++", Qt::CaseInsensitive) &&
                         modem.Command_Log().contains("ATH", Qt::CaseInsensitive),
                     qPrintable(modem.Command_Log().join(" ")));
            QVERIFY(!modem.Off_Hook());
        } else {
            QCOMPARE(main->pntime->text(), QStringLiteral("00:00:00"));
            main->Disconnect();
            QVERIFY(!main->pnmodem->isVisibleTo(main.get()));
            QVERIFY(!Exch_Box->Port_Handle);
        }
        pty.Stop();
        Link_Port_Name[1].clear();
    }
};

QTEST_MAIN(Tst_Connect)
#include "tst_connect.moc"
