#pragma once
// Scripted link for unit tests of everything that talks through a Port.
//
// FakeClock: a Clock whose time moves only when told (Advance_Us, Sleep_Us) or when a
//   FakePort waits on it. Give it to hgcbox::Clk so that time-outs are tested without
//   real waiting.
//
// FakePort: a Port that
//   - records every Write (Written: all bytes; Writes: one entry per call), and counts
//     Open/Close/Purge/Drain/Clear_Error and Set_Rts/Set_Dtr calls (Rts_Log keeps the
//     order of RTS changes and writes: "R+", "W", "D", "R-" ...);
//   - delivers bytes at fake times: Queue(bytes, delay, gap) schedules them after the
//     clock's present time, Queue_At() at an absolute time; Read_Byte hands out only
//     bytes whose time has come;
//   - On_Write lets a test answer each request like a controller would: the callback
//     gets the written block (preambles included) and usually calls Queue();
//   - Wait_Readable advances the clock to the next byte's time or by the whole time-out,
//     and keeps the longest slice asked for (Max_Wait_Ms) and the number of calls;
//   - fails on demand: Fail_Opens (that many Open calls fail), Fail_Write, Fail_Read
//     (Read_Byte returns -1 once per count).
// The engine owns its ports through unique_ptr; Borrow() gives an owning handle that
// forwards to this fake, so a test keeps the fake itself to inspect it afterwards.
//
// Frame helpers: Reply_Frame builds a controller reply (0x33, address, length, function
// byte, payload, CRC); Find_Request extracts the request frame (from 0xCC) from a written
// block that may start with preambles.
#include "core/Clock.h"
#include "core/Port.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

class FakeClock final : public Clock {
public:
    int64_t Now_Us() const override { return now_us; }
    void Sleep_Us(int64_t us) override
    {
        if (us > 0) {
            now_us += us;
            Slept_Us += us;
        }
        ++Sleeps;
    }
    void Advance_Us(int64_t us) { now_us += us; }

    int64_t now_us = 1000000;   // not 0, so that "time 0" bugs show
    int64_t Slept_Us = 0;       // total of Sleep_Us (the fixed pauses)
    int Sleeps = 0;
};

class FakePort final : public Port {
public:
    explicit FakePort(FakeClock *clock) : clk(clock) {}

    // Scripting.
    void Queue(const QByteArray &bytes, int64_t delay_us = 0, int64_t gap_us = 0);
    void Queue_At(int64_t at_us, const QByteArray &bytes, int64_t gap_us = 0);
    int Pending_Scheduled() const { return int(incoming.size()); }
    void Clear_Incoming() { incoming.clear(); }
    std::function<void(FakePort &, const QByteArray &)> On_Write;

    // Failures on demand.
    int Fail_Opens = 0;
    bool Fail_Write = false;
    int Fail_Read = 0;

    // Records.
    QByteArray Written;
    QList<QByteArray> Writes;
    QStringList Rts_Log;
    bool Opened = false;
    bool Rts = false, Dtr = false;
    uint32_t Rate = 0;
    int Opens = 0, Closes = 0, Purges = 0, Drains = 0, Clear_Errors = 0;
    int Rts_Calls = 0, Dtr_Calls = 0;
    int Waits = 0, Max_Wait_Ms = 0;
    int Reads = 0;

    // An owning handle for the engine that forwards to this fake.
    std::unique_ptr<Port> Borrow();

    // Port.
    bool Open() override;
    bool Is_Open() const override { return Opened; }
    void Close() override;
    bool Set_Rate(uint32_t rate) override;
    void Purge() override;
    bool Set_Rts(bool on) override;
    bool Set_Dtr(bool on) override;
    bool Write(const uint8_t *data, int len) override;
    void Drain() override;
    int Read_Byte(uint8_t &b) override;
    bool Wait_Readable(int timeout_ms) override;
    void Clear_Error() override { ++Clear_Errors; }

private:
    struct Timed_Byte {
        int64_t at;
        uint8_t b;
    };
    FakeClock *clk;
    std::deque<Timed_Byte> incoming;   // kept in time order
};

// Forwards every call to a Port it does not own.
class Port_Proxy final : public Port {
public:
    explicit Port_Proxy(Port *target) : t(target) {}
    bool Open() override { return t->Open(); }
    bool Is_Open() const override { return t->Is_Open(); }
    void Close() override { t->Close(); }
    bool Set_Rate(uint32_t rate) override { return t->Set_Rate(rate); }
    void Purge() override { t->Purge(); }
    bool Set_Rts(bool on) override { return t->Set_Rts(on); }
    bool Set_Dtr(bool on) override { return t->Set_Dtr(on); }
    bool Write(const uint8_t *data, int len) override { return t->Write(data, len); }
    void Drain() override { t->Drain(); }
    int Read_Byte(uint8_t &b) override { return t->Read_Byte(b); }
    bool Wait_Readable(int timeout_ms) override { return t->Wait_Readable(timeout_ms); }
    void Clear_Error() override { t->Clear_Error(); }

private:
    Port *t;
};

// A controller reply frame: 0x33, adr, total length, func_byte, payload, CRC low first.
QByteArray Reply_Frame(uint8_t adr, uint8_t func_byte, const QByteArray &payload);
// The request frame inside a written block (skips preambles and anything before 0xCC,
// cut to its length byte); empty when there is none.
QByteArray Find_Request(const QByteArray &written);
