// qzt-sim: the controller simulator program.
//   qzt-sim --tcp PORT   listen on 127.0.0.1:PORT (0: any free port); prints the port
//   qzt-sim --pty        open a pseudo-terminal; prints the device the program should open
//   qzt-sim --pty --modem  the same with a simulated Hayes modem in front of the controller
// Options: --adr N (controller address), --password TEXT, --code TEXT, --verbose (one line
// per request on stderr), --archive-days N (span of the generated archives), --echo (the
// line echoes every byte it receives, as some line adapters do).
#include "Sim.h"
#include "SimModem.h"
#include "SimArchive.h"
#include "SimMessages.h"
#include "SimState.h"
#include "Sim_Transport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int Sig_Fd[2] = {-1, -1};

void On_Signal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(Sig_Fd[1], &c, 1);
}

QString Describe(const Sim_Request_Log &r)
{
    QString s = QStringLiteral("%1 adr=%2 func=%3").arg(r.when.toString(QStringLiteral("HH:mm:ss.zzz"))).arg(r.adr).arg(r.func);
    if (r.table >= 0) s += QStringLiteral(" table=%1 first=%2 count=%3").arg(r.table).arg(r.first).arg(r.count);
    // The period asked for by the readers by period (function 8: kind and block first), the
    // hourly (15) and the daily (16) archives, each date as day.month.yy to its unit.
    const QByteArray &f = r.raw;
    const int len = r.func == 8 ? 6 : r.func == 15 ? 4 : r.func == 16 ? 3 : 0;
    const int at = 7;
    if (len && f.size() >= at + 2 * len) {
        const auto date = [&](int p) {
            QString d = QString::asprintf("%02u.%02u.%02u", uint8_t(f.at(p + 2)), uint8_t(f.at(p + 1)), uint8_t(f.at(p)));
            if (len >= 4) d += QString::asprintf(" %02uh", uint8_t(f.at(p + 3)));
            if (len == 6) d = d.chopped(1) + QString::asprintf(":%02u:%02u", uint8_t(f.at(p + 4)), uint8_t(f.at(p + 5)));
            return d;
        };
        if (r.func == 8) s += QStringLiteral(" kind=%1 block=%2").arg(uint8_t(f.at(5))).arg(uint8_t(f.at(6)));
        else s += QStringLiteral(" device=%1").arg(uint8_t(f.at(6)));
        s += QStringLiteral(" from=%1 to=%2").arg(date(at), date(at + len));
    }
    if (!r.for_us) return s + QStringLiteral(" (not ours)");
    for (Sim_Fault_Kind k : r.faults) s += QStringLiteral(" fault=%1").arg(QLatin1String(Sim_Fault_Name(k)));
    if (r.error) s += QStringLiteral(" -> error %1").arg(r.error);
    else if (!r.reply.isEmpty()) s += QStringLiteral(" -> ok");
    return s;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qzt-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Gas-quality controller simulator"));
    p.addHelpOption();
    const QCommandLineOption tcp_opt(QStringLiteral("tcp"), QStringLiteral("Listen on 127.0.0.1:PORT (0: any free port)."),
                                     QStringLiteral("PORT"));
    const QCommandLineOption pty_opt(QStringLiteral("pty"), QStringLiteral("Serve a pseudo-terminal."));
    const QCommandLineOption modem_opt(QStringLiteral("modem"),
                                       QStringLiteral("With --pty: a Hayes modem on the line (dial any number)."));
    const QCommandLineOption adr_opt(QStringLiteral("adr"), QStringLiteral("Controller address (1..254)."),
                                     QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption pass_opt(QStringLiteral("password"), QStringLiteral("Expected write password."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption code_opt(QStringLiteral("code"), QStringLiteral("Expected identification code."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption verbose_opt(QStringLiteral("verbose"), QStringLiteral("One line per request on stderr."));
    const QCommandLineOption arh_opt(QStringLiteral("archive-days"),
                                     QStringLiteral("Days of archives to generate (measurement: at most 31)."),
                                     QStringLiteral("N"));
    const QCommandLineOption echo_opt(QStringLiteral("echo"),
                                      QStringLiteral("Send every received byte back before the reply (an echoing line adapter)."));
    p.addOptions({tcp_opt, pty_opt, modem_opt, adr_opt, pass_opt, code_opt, verbose_opt, arh_opt, echo_opt});
    p.process(app);

    const bool use_tcp = p.isSet(tcp_opt);
    if (p.isSet(modem_opt) && !p.isSet(pty_opt)) {
        std::fprintf(stderr, "qzt-sim: --modem goes with --pty\n");
        return 2;
    }
    if (use_tcp == p.isSet(pty_opt)) {
        std::fprintf(stderr, "qzt-sim: choose one transport: --tcp PORT or --pty\n");
        return 2;
    }
    bool ok = false;
    const int adr = p.value(adr_opt).toInt(&ok);
    if (!ok || adr < 1 || adr > 254) {
        std::fprintf(stderr, "qzt-sim: the address must be 1..254\n");
        return 2;
    }
    int port = 0;
    if (use_tcp) {
        port = p.value(tcp_opt).toInt(&ok);
        if (!ok || port < 0 || port > 65535) {
            std::fprintf(stderr, "qzt-sim: the port must be 0..65535\n");
            return 2;
        }
    }
    const QByteArray pass = p.value(pass_opt).toLocal8Bit();
    const QByteArray code = p.value(code_opt).toLocal8Bit();
    if (pass.size() > 12 || code.size() > 4) {
        std::fprintf(stderr, "qzt-sim: the password takes at most 12 bytes, the code at most 4\n");
        return 2;
    }

    // SIGTERM and SIGINT end the event loop, so the transports stop cleanly; set before
    // the port or device is announced, since a caller may stop us right after.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, Sig_Fd) == 0) {
        auto *sn = new QSocketNotifier(Sig_Fd[0], QSocketNotifier::Read, &app);
        QObject::connect(sn, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
        std::signal(SIGTERM, On_Signal);
        std::signal(SIGINT, On_Signal);
    }
    Sim_Core core{uint8_t(adr)};
    core.Set_Password(pass);
    core.Set_Code(code);
    core.Set_Echo(p.isSet(echo_opt));
    Sim_Archive archive(core);
    Sim_Archive_Span span;
    if (p.isSet(arh_opt)) {
        const int days = p.value(arh_opt).toInt(&ok);
        if (!ok || days < 0 || days > 3660) {
            std::fprintf(stderr, "qzt-sim: the archive span must be 0..3660 days\n");
            return 2;
        }
        span.meas_hours = 24 * std::min(days, 31);
        span.hour_days = span.day_days = span.clb_days = days;
    }
    archive.Generate(span);
    archive.Install();
    Sim_State::Install(core);
    Sim_Messages messages(core, archive);
    messages.Generate({});
    messages.Install();
    if (p.isSet(verbose_opt)) {
        core.Set_Log_Hook([](const Sim_Request_Log &r) {
            std::fprintf(stderr, "%s\n", qPrintable(Describe(r)));
            std::fflush(stderr);
        });
    }

    std::unique_ptr<Sim_Tcp> tcp;
    std::unique_ptr<Sim_Modem> modem;
    std::unique_ptr<Sim_Pty> pty;
    if (use_tcp) {
        tcp = std::make_unique<Sim_Tcp>(core);
        if (!tcp->Start(uint16_t(port))) {
            std::fprintf(stderr, "qzt-sim: cannot listen on port %d: %s\n", port, qPrintable(tcp->Error()));
            return 1;
        }
        std::printf("%u\n", unsigned(tcp->Port()));
    } else {
        if (p.isSet(modem_opt)) modem = std::make_unique<Sim_Modem>(&core);
        pty = modem ? std::make_unique<Sim_Pty>(*modem) : std::make_unique<Sim_Pty>(core);
        if (!pty->Start()) {
            std::fprintf(stderr, "qzt-sim: cannot open a pseudo-terminal: %s\n", qPrintable(pty->Error()));
            return 1;
        }
        std::printf("%s\n", qPrintable(pty->Slave_Path()));
    }
    std::fflush(stdout);

    const int rc = app.exec();
    tcp.reset();
    pty.reset();
    modem.reset();
    return rc;
}
