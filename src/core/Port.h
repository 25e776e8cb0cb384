#pragma once
// The one interface the exchange engine talks through: a serial line (direct or
// through a modem), a TCP socket, or a scripted fake in tests.
#include <cstdint>

class Port {
public:
    virtual ~Port() = default;

    // Opens the underlying device (serial: the device given at construction;
    // TCP: connects). False with the reason left for the caller's error text.
    virtual bool Open() = 0;
    virtual bool Is_Open() const = 0;
    virtual void Close() = 0;

    // Serial only; other ports accept any rate.
    virtual bool Set_Rate(uint32_t rate) = 0;
    // Drops both queues.
    virtual void Purge() = 0;
    // Modem-control lines. False when the device has no such line (a pty):
    // callers treat that as non-fatal.
    virtual bool Set_Rts(bool on) = 0;
    virtual bool Set_Dtr(bool on) = 0;

    // Writes the whole block or returns false.
    virtual bool Write(const uint8_t *data, int len) = 0;
    // Returns once every written byte has left the port (the direct line drops
    // RTS right after the last stop bit).
    virtual void Drain() = 0;
    // Takes one byte when one is pending: 1 taken, 0 nothing pending, -1 failure.
    virtual int Read_Byte(uint8_t &b) = 0;
    // Sleeps until a byte is pending or timeout_ms have passed; true when one is.
    // The engine waits on this in short slices so that no core spins.
    virtual bool Wait_Readable(int timeout_ms) = 0;
    // Clears the device's error state after a failed read or write.
    virtual void Clear_Error() = 0;
};
