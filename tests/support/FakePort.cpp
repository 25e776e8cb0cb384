#include "FakePort.h"

#include "core/Crc16.h"

#include <algorithm>

void FakePort::Queue(const QByteArray &bytes, int64_t delay_us, int64_t gap_us)
{
    Queue_At(clk->Now_Us() + delay_us, bytes, gap_us);
}

void FakePort::Queue_At(int64_t at_us, const QByteArray &bytes, int64_t gap_us)
{
    int64_t t = at_us;
    for (char c : bytes) {
        Timed_Byte tb{t, uint8_t(c)};
        // Keep time order; bytes of equal time stay in the order they were queued.
        auto it = std::upper_bound(incoming.begin(), incoming.end(), tb,
                                   [](const Timed_Byte &a, const Timed_Byte &b) { return a.at < b.at; });
        incoming.insert(it, tb);
        t += gap_us;
    }
}

std::unique_ptr<Port> FakePort::Borrow()
{
    return std::make_unique<Port_Proxy>(this);
}

bool FakePort::Open()
{
    ++Opens;
    if (Fail_Opens > 0) {
        --Fail_Opens;
        return false;
    }
    Opened = true;
    return true;
}

void FakePort::Close()
{
    ++Closes;
    Opened = false;
}

bool FakePort::Set_Rate(uint32_t rate)
{
    Rate = rate;
    return true;
}

void FakePort::Purge()
{
    ++Purges;
    // Only what has already arrived is dropped; scripted future bytes are still to come.
    const int64_t now = clk->Now_Us();
    while (!incoming.empty() && incoming.front().at <= now) incoming.pop_front();
}

bool FakePort::Set_Rts(bool on)
{
    ++Rts_Calls;
    Rts = on;
    Rts_Log << (on ? QStringLiteral("R+") : QStringLiteral("R-"));
    return true;
}

bool FakePort::Set_Dtr(bool on)
{
    ++Dtr_Calls;
    Dtr = on;
    return true;
}

bool FakePort::Write(const uint8_t *data, int len)
{
    Rts_Log << QStringLiteral("W");
    if (Fail_Write) return false;
    const QByteArray block(reinterpret_cast<const char *>(data), len);
    Written += block;
    Writes << block;
    if (On_Write) On_Write(*this, block);
    return true;
}

void FakePort::Drain()
{
    ++Drains;
    Rts_Log << QStringLiteral("D");
}

int FakePort::Read_Byte(uint8_t &b)
{
    ++Reads;
    if (Fail_Read > 0) {
        --Fail_Read;
        return -1;
    }
    if (incoming.empty() || incoming.front().at > clk->Now_Us()) return 0;
    b = incoming.front().b;
    incoming.pop_front();
    return 1;
}

bool FakePort::Wait_Readable(int timeout_ms)
{
    ++Waits;
    Max_Wait_Ms = std::max(Max_Wait_Ms, timeout_ms);
    const int64_t now = clk->Now_Us();
    const int64_t until = now + int64_t(std::max(0, timeout_ms)) * 1000;
    if (!incoming.empty() && incoming.front().at <= until) {
        if (incoming.front().at > now) clk->Advance_Us(incoming.front().at - now);
        return true;
    }
    clk->Advance_Us(until - now);
    return false;
}

QByteArray Reply_Frame(uint8_t adr, uint8_t func_byte, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(0x33));
    f.append(char(adr));
    f.append(char(uint8_t(payload.size() + 6)));
    f.append(char(func_byte));
    f.append(payload);
    const uint16_t c = Crc16(reinterpret_cast<const uint8_t *>(f.constData()), uint16_t(f.size()));
    f.append(char(c & 0xFF));
    f.append(char(c >> 8));
    return f;
}

QByteArray Find_Request(const QByteArray &written)
{
    const int at = written.indexOf(char(0xCC));
    if (at < 0 || at + 3 > written.size()) return {};
    const int len = uint8_t(written[at + 2]);
    return written.mid(at, len);
}
