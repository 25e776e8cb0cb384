#pragma once
// The clocks the benchmarks measure with.
#include <chrono>
#include <ctime>

inline double Wall_S()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of the process: on a machine shared with other work the wall-clock figures
// swing with the load, this one much less.
inline double Cpu_S()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
