// The reply receiver and its checks: the first input byte picks the request (function,
// address 0xFF search, a write that moves the controller to another address), an adapter
// echoing the request first, a late start or slow bytes; the rest is what comes back.
#include "Fuzz.h"
#include "FakePort.h"
#include "core/Hgcbox.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t sel = data[0];
    FakeClock clk;
    FakePort port(&clk);
    hgcbox box((sel & 0x10) ? 0xFF : 5);
    box.Clk = &clk;
    box.Do_Close_Port = 0;
    box.Rate = 1000000;
    box.Repeat = 1;
    box.Port_Handle = port.Borrow();
    const QByteArray reply = fuzz::Bytes(data + 1, size - 1);
    port.On_Write = [&](FakePort &p, const QByteArray &w) {
        p.Queue((sel & 0x08) ? w + reply : reply, (sel & 0x20) ? 3000000 : 1000, (sel & 0x40) ? 20000 : 0);
    };
    const uint8_t func = fuzz::Reply_Funcs[sel & 7];
    uint8_t args[16];
    std::memcpy(args, fuzz::Reply_Args, sizeof args);
    if (sel & 0x80) args[0] = 3;
    if (box.Exchange(func, args, func == 25 ? 0 : 16)) {
        // A frame taken as good: its length byte covers at least the header and CRC.
        if (box.Resp_Buf[0] != 0x33 || box.Resp_Buf[2] < 6) __builtin_trap();
    }
    box.Err_Text();
    return 0;
}
