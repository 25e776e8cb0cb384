#pragma once
// The program's main window and menu commands run against the controller simulator: a
// Sim_Core in the process answers every request written to a FakePort that stands for the
// TCP link, on a clock the test drives (no real waiting). Dialogs are answered by a script,
// yes/no questions by `ques`, and the simulator's request log is what reached the controller.
//
//     Sim_Menu m;                                   // a member of the test class
//     initTestCase: QVERIFY(m.Start()); Install_Link_Commands(m.main.get());
//     init:         m.Reset();                      // default image here and there, logs cleared
//     a test:       m.sim.Set_Field(5, 0, ...); m.Sync();      // change the controller, re-read
//                   m.Run("NContrName", [](QDialog &d) { ... click ... });
//                   QCOMPARE(m.Requests(), (QList<Req>{{1, 5, 0, 3}, {2, 5, 0, 1}}));
//                   m.ques.answers = {1};  ...  m.ques.asked
// m.on_request sees each request frame before the simulator answers it (to fail or stop there).
// For forms tests only (needs the forms library).
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"

#include "FakePort.h"
#include "Menu_Run.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <memory>

struct Ques_Script : Ques_Handler {
    QList<Ques_Setup> asked;
    QList<uint8_t> answers;   // taken in turn; "Нет" when none is left
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

struct Sim_Menu {
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Script ques;
    std::function<void(const QByteArray &)> on_request;

    // Work directory, main window (its start timer stopped) and a connected Ethernet link.
    bool Start()
    {
        if (!dir.isValid()) return false;
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
            const QByteArray req = Find_Request(w);
            if (on_request) on_request(req);
            for (const Sim_Chunk &c : sim.Receive(req, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        return true;
    }
    // The default controller, copied into the program's image; logs and answers cleared.
    void Reset()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        Sync();
        ques.asked.clear();
        ques.answers.clear();
        on_request = nullptr;
    }
    // The program's image as a read of the whole controller leaves it; the log is cleared.
    void Sync()
    {
        std::memcpy(Contr_Tables, sim.Image().constData(), CONTR_TABLES_SIZE);
        sim.Clear_Log();
    }
    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    QList<Req> Requests() { return Take_Requests(sim); }
    QList<Req> Writes()
    {
        QList<Req> out;
        for (const Req &r : Take_Requests(sim))
            if (r.func == 2) out << r;
        return out;
    }
    template <class F> static F &As(QDialog &d)
    {
        auto *f = qobject_cast<F *>(&d);
        if (!f) qFatal("unexpected dialog %s", d.metaObject()->className());
        return *f;
    }
};
