// The table-state check inside the whole connect sequence against the simulated controller
// on a TCP link: the sequence goes on with its reads or ends without a link.
#include "Sim.h"
#include "Sim_Transport.h"

#include "core/Cnf_Exchange.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Connect.h"
#include "core/forms/Connect_Seq.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Userpass.h"
#include "params/forms/Restore.h"
#include "params/forms/Tabinfo.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint8_t ADR = 7;

struct Recorder final : Ques_Handler {
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked << (q.line1 + " | " + q.line2);
        return 0;
    }
    QStringList Asked;
};

QList<QByteArray> Reads(const QList<Sim_Request_Log> &log)
{
    QList<QByteArray> r;
    for (const auto &e : log)
        if (e.func == 1) r << QByteArray::number(e.table) + "," + QByteArray::number(e.first) + "," + QByteArray::number(e.count);
    return r;
}
} // namespace

class Tst_Restore_Connect : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Sim_Core> core;
    std::unique_ptr<Sim_Tcp> tcp;
    std::unique_ptr<TFormMain> main;
    Recorder ques;
    QStringList shown;

    // Connects and logs in; the table-state form is closed without a choice.
    void Run()
    {
        Scripted_Dialogs run([this](QDialog &d) {
            if (auto *c = qobject_cast<TFormConnect *>(&d)) {
                c->BitBtn1->click();
            } else if (auto *u = qobject_cast<TFormShortUsPass *>(&d)) {
                u->Edit4->setText("1234");
                u->Edit1->setText("secret");
                u->BitBtn1->click();
            } else if (auto *t = qobject_cast<TFormTableInfo *>(&d)) {
                shown << "tabinfo";
                t->BitBtnExit->click();
            } else {
                shown << d.metaObject()->className();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        Connect_Sequence(main.get());
        Set_Dialog_Runner(old);
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
        Install_Restore(main.get());
        Exch_Box->Pause_Tcp_Ms = 0;
        Set_Ques_Handler(&ques);
        ques.Asked.clear();
        shown.clear();
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        l.hdr.users_num = 1;
        l.hdr.user_index = 0;
        std::strcpy(l.rec[0].user_name, "Sim");
        l.rec[0].contr_adr = ADR;
        l.rec[0].ip_adr = 0x7F000001;
        l.rec[0].port = tcp->Port();
        Conn_Settings.Ethernet_Conn_Par.ConnectWaitTime = 10;
        Conn_Settings.Ethernet_Conn_Par.Link.WaitTime = 10;
        Conn_Settings.Ethernet_Conn_Par.Link.TimeOut = 2000;
        Conn_Settings.Ethernet_Conn_Par.Link.Repeat = 1;
    }
    void cleanup()
    {
        Table_State_Check = nullptr;
        Set_Ques_Handler(nullptr);
        if (main) main->Disconnect();
        main.reset();
        tcp->Stop();
        tcp.reset();
        core.reset();
        Connected = false;
        Config_Only = false;
        Init_Tables();
        Set_Work_Dir(dir.path());
    }

    // Destroyed tables of a running controller: the form, then the usual reads on.
    void running_controller_keeps_its_link()
    {
        QVERIFY(core->Set_Field(0, 0, QByteArray(1, char(1))));
        QVERIFY(core->Set_Field(7, 6, QByteArray(1, char(1))));
        Run();
        QVERIFY2(Connected, qPrintable(ques.Asked.join('\n')));
        QCOMPARE(shown, QStringList{"tabinfo"});
        const QList<QByteArray> reads = Reads(core->Log());
        QVERIFY(reads.size() > 3);
        QCOMPARE(reads.mid(0, 3), (QList<QByteArray>{"0,0,18", "7,0,45", "5,0,3"}));
        QVERIFY(ques.Asked.isEmpty());
        QVERIFY(main->Item("NWorkPar")->isVisible());
    }

    // A configuration-only controller: no state read, the form, and no link afterwards.
    void configuration_only_controller_ends_without_a_link()
    {
        QVERIFY(core->Set_Field(0, 3, QByteArray(1, char(14))));
        Run();
        QVERIFY(!Connected);
        QCOMPARE(shown, QStringList{"tabinfo"});
        QCOMPARE(Reads(core->Log()), QList<QByteArray>{"0,0,18"});
        QVERIFY(!Exch_Box->Sock);
        QVERIFY(main->Item("Nconnect")->isVisible());
    }
};

QTEST_MAIN(Tst_Restore_Connect)
#include "tst_restore_connect.moc"
