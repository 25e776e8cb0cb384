// Exchange engine figures against the simulator over loopback TCP:
//  1. per-exchange overhead of function 1 (one field of table 0) with every fixed pause
//     set to 0: median and 95th percentile of the round trip;
//  2. CPU used by the waiting thread during a 2 s wait for a reply that never comes.
#include "Bench_Clock.h"
#include "Sim.h"
#include "Sim_Transport.h"

#include "core/Clock.h"
#include "core/Hgcbox.h"
#include "core/Tcp_fun.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
double Thread_Cpu_S()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;

    Sim_Core core(1);
    Sim_Tcp server(core);
    if (!server.Start(0)) {
        std::fprintf(stderr, "simulator did not start: %s\n", qPrintable(server.Error()));
        return 1;
    }

    hgcbox box(1);
    box.Conn_Prz = 2;
    box.Do_Close_Port = 0;
    box.Pause_Tcp_Ms = 0;
    box.Pause_Rts_Us = 0;
    box.Pause_Close_Ms = 0;
    box.Repeat = 1;
    box.WaitTime = 2000;
    box.TimeOut = 300;
    box.Pump = [] { QCoreApplication::processEvents(); };
    auto sock = std::make_unique<Tcp_Port>(Sock_Addr{0x7F000001u, server.Port()}, 5000, System_Clock());
    if (!sock->Open()) {
        std::fprintf(stderr, "cannot connect to the simulator\n");
        return 1;
    }
    box.Sock = std::move(sock);

    const uint8_t req[3] = {0, 0, 1};
    for (int i = 0; i < 50; ++i) {
        if (!box.Exchange(1, req, 3)) {
            std::fprintf(stderr, "warm-up exchange failed: %s\n", qPrintable(box.Err_Text()));
            return 1;
        }
    }
    std::vector<double> us;
    us.reserve(size_t(rounds));
    for (int i = 0; i < rounds; ++i) {
        const double t0 = Wall_S();
        if (!box.Exchange(1, req, 3)) {
            std::fprintf(stderr, "exchange %d failed: %s\n", i, qPrintable(box.Err_Text()));
            return 1;
        }
        us.push_back((Wall_S() - t0) * 1e6);
    }
    std::sort(us.begin(), us.end());
    const double median_ms = us[us.size() / 2] / 1000.0;
    const double p95_ms = us[us.size() * 95 / 100] / 1000.0;

    core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply));
    const double c0 = Thread_Cpu_S(), w0 = Wall_S();
    const bool answered = box.Exchange(1, req, 3);
    const double cpu = Thread_Cpu_S() - c0, wall = Wall_S() - w0;
    const double cpu_pct = wall > 0 ? 100.0 * cpu / wall : 0;

    std::printf("function 1 over loopback TCP, pauses 0, %d exchanges: median %.3f ms, p95 %.3f ms "
                "(target median <= 0.2 ms) %s\n",
                rounds, median_ms, p95_ms, median_ms <= 0.2 ? "OK" : "OVER");
    std::printf("waiting %.2f s for a reply that never comes (%s): CPU %.3f s = %.2f %% of a core "
                "(target <= 5 %%) %s\n",
                wall, answered ? "answered?!" : qPrintable(box.Err_Text()), cpu, cpu_pct,
                cpu_pct <= 5.0 ? "OK" : "OVER");
    box.Close_Link();
    server.Stop();
    return 0;
}
