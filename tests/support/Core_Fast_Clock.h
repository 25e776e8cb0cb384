#pragma once
// A real clock that runs `factor` times fast: the link's fixed pauses and time-outs shrink
// by that factor while bytes still travel through real ports. Peers with their own timing
// (a modem's guard time) must be set to the shrunk scale.
#include "core/Clock.h"

#include <QElapsedTimer>
#include <QThread>

class Fast_Clock final : public Clock {
public:
    explicit Fast_Clock(int factor = 10) : k(factor) { t.start(); }
    int64_t Now_Us() const override { return t.nsecsElapsed() / 1000 * k; }
    void Sleep_Us(int64_t us) override
    {
        if (us > 0) QThread::usleep(qMax<int64_t>(1, us / k));
    }

private:
    int k;
    QElapsedTimer t;
};
