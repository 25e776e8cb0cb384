#pragma once
// Time source of the engine and the link: a steady clock in the program,
// a fake one in tests so time-outs are tested without real waiting.
#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t Now_Us() const = 0;
    // Busy-free pause (the fixed waits around a send; they do not serve events).
    virtual void Sleep_Us(int64_t us) = 0;
};

// The program's steady clock.
Clock &System_Clock();
