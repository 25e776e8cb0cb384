#include "core/Clock.h"

#include <chrono>
#include <thread>

namespace {
class Steady_Clock final : public Clock {
public:
    int64_t Now_Us() const override
    {
        using namespace std::chrono;
        return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void Sleep_Us(int64_t us) override
    {
        if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
    }
};
} // namespace

Clock &System_Clock()
{
    static Steady_Clock c;
    return c;
}
