// The current-state form's timed reads against a slowly answering controller: every menu
// command started meanwhile is turned away (no second exchange, no question, no dialog), and
// the window keeps serving events while the replies are awaited.
#include "Program.h"
#include "Sim.h"
#include "Sim_Requests.h"
#include "Sim_Transport.h"

#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/Tcp_fun.h"
#include "core/forms/Main.h"
#include "params/forms/Curr_State.h"

#include "Menu_Run.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint8_t ADR = 3;
constexpr int SLOW_MS = 800;

struct Counting_Ques final : Ques_Handler {
    int asked = 0;
    uint8_t Ask(const Ques_Setup &) override { return ++asked, 0; }
};
} // namespace

class Tst_No_Overlap : public QObject {
    Q_OBJECT
private slots:
    void menu_commands_wait_for_the_timed_read()
    {
        QTemporaryDir dir;
        Set_Work_Dir(dir.path());
        Sim_Core core(ADR);
        Sim_Tcp tcp(core);
        QVERIFY(tcp.Start(0));
        TFormMain main;
        main.TimerStart.stop();
        Install_Commands(&main);
        Counting_Ques ques;
        Set_Ques_Handler(&ques);
        hgcbox &box = *Exch_Box;
        box.Pause_Tcp_Ms = 0;
        box.Conn_Prz = 2;
        box.Adr = ADR;
        box.WaitTime = 5000;
        box.Repeat = 1;
        box.Sock = std::make_unique<Tcp_Port>(Sock_Addr{0x7F000001u, tcp.Port()}, 5000, System_Clock());
        QVERIFY(box.Sock->Open());
        std::memcpy(Contr_Tables, core.Image().constData(), CONTR_TABLES_SIZE);
        Connected = true;
        main.Update_Menu();
        core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::First_Byte_Late, SLOW_MS).Times(-1));

        const QList<QAction *> items = main.findChildren<QAction *>();
        int tried = 0;
        qint64 longest = 0;
        const int dialogs = Run_Item(&main, "NSit", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPrz *>(&d);
            if (!f) return;
            f->Timer.setInterval(10);
            // A user at the menu: a command every 20 ms while the form reads.
            QTimer user;
            QElapsedTimer since;
            since.start();
            QObject::connect(&user, &QTimer::timeout, [&] {
                longest = std::max(longest, since.restart());
                if (!box.In_Exchange()) return;
                items[tried++ % items.size()]->trigger();
            });
            user.start(20);
            QTRY_VERIFY_WITH_TIMEOUT(core.Request_Count() >= 4, 20000);
            f->reject();
        });
        QCOMPARE(dialogs, 1);
        QVERIFY2(tried >= items.size(), qPrintable(QString::number(tried)));
        QCOMPARE(ques.asked, 0);
        const QList<Req> reqs = Take_Requests(core);
        for (int i = 0; i < reqs.size(); ++i) QCOMPARE(reqs[i].tab, i % 2 ? 33 : 16);
        QVERIFY2(longest < SLOW_MS / 2, qPrintable(QString::number(longest)));
        Set_Ques_Handler(nullptr);
        Connected = false;
    }
};

QTEST_MAIN(Tst_No_Overlap)
#include "tst_no_overlap.moc"
