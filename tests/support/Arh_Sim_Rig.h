#pragma once
// A connected program and a simulated controller with generated archives, joined by a
// scripted port; the request log read back by function.
#include "Arh_Builders.h"
#include "core/Conffun.h"
#include "core/Hgcbox.h"
#include "core/Tables.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"

#include <QDateTime>

inline Date6 Arh_D6(const QDateTime &t)
{
    return Date6{uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                 uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
}
inline Date6 Arh_D4(const QDateTime &t)
{
    Date6 d = Arh_D6(t);
    d.minute = d.second = 0;
    return d;
}
inline Date6 Arh_D3(const QDateTime &t)
{
    Date6 d = Arh_D4(t);
    d.hour = 0;
    return d;
}
inline QByteArray Arh_Join(const QList<QByteArray> &l)
{
    QByteArray b;
    for (const QByteArray &x : l) b += x;
    return b;
}

struct Arh_Rig {
    FakeClock clk;
    FakePort port{&clk};
    hgcbox box{1};
    Sim_Core core{1};
    Sim_Archive arh{core};
    Arh_Ques ques;
    Ques_Handler *old_ques = nullptr;

    explicit Arh_Rig(const Sim_Archive_Span &span = {})
    {
        box.Clk = &clk;
        box.Do_Close_Port = 0;
        box.Port_Handle = port.Borrow();
        box.Repeat = 1;
        box.Pause_Rts_Us = box.Pause_Tcp_Ms = box.Pause_Close_Ms = 0;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : core.Receive(w, clk.Now_Us() / 1000)) p.Queue_At(c.at_ms * 1000, c.bytes);
        };
        arh.Generate(span);
        arh.Install();
        Exch_Box = &box;
        Exch_Run = false;
        Exch_Abort = false;
        Take_Image();   // the table image as the connect sequence leaves it
        old_ques = Set_Ques_Handler(&ques);
    }
    ~Arh_Rig()
    {
        Set_Ques_Handler(old_ques);
        Exch_Box = nullptr;
    }
    void Take_Image()
    {
        const QByteArray img = core.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
    }
    // Request frames of a function (and of a device, byte 6), in order.
    QList<QByteArray> Frames(int func, int device = -1) const
    {
        QList<QByteArray> out;
        for (const Sim_Request_Log &l : core.Log())
            if (l.func == func && (device < 0 || (l.raw.size() > 6 && uint8_t(l.raw.at(6)) == device))) out << l.raw;
        return out;
    }
    QList<Tab_Req> Table_Reads() const
    {
        QList<Tab_Req> out;
        for (const Sim_Request_Log &l : core.Log())
            if (l.func == 1) out << Tab_Req{uint8_t(l.table), uint8_t(l.first), uint8_t(l.count)};
        return out;
    }
};
