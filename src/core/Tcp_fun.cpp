#include "core/Tcp_fun.h"

#include "core/Abonents.h"
#include "core/Clock.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"

#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using sock_t = SOCKET;
constexpr sock_t kNoSock = INVALID_SOCKET;
#define QZT_POLL ::WSAPoll
#define QZT_CLOSE ::closesocket
static int Last_Sock_Error() { return ::WSAGetLastError(); }
static bool Would_Block(int e) { return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS; }
constexpr int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
using sock_t = int;
constexpr sock_t kNoSock = -1;
#define QZT_POLL ::poll
#define QZT_CLOSE ::close
static int Last_Sock_Error() { return errno; }
static bool Would_Block(int e) { return e == EINPROGRESS || e == EWOULDBLOCK || e == EAGAIN; }
#if defined(MSG_NOSIGNAL)
constexpr int kSendFlags = MSG_NOSIGNAL;   // a closed peer must not kill the program
#else
constexpr int kSendFlags = 0;
#endif
#endif

namespace {

sock_t S(intptr_t fd) { return sock_t(fd); }

bool Set_Nonblocking(sock_t s)
{
#if defined(_WIN32)
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
#else
    const int fl = ::fcntl(s, F_GETFL, 0);
    return fl >= 0 && ::fcntl(s, F_SETFL, fl | O_NONBLOCK) == 0;
#endif
}

// Waits for the socket's events at most timeout_ms; the events seen, 0 on time-out.
int Poll_One(sock_t s, short events, int timeout_ms)
{
    pollfd p {};
    p.fd = s;
    p.events = events;
    const int r = QZT_POLL(&p, 1, std::max(timeout_ms, 0));
    if (r <= 0) return 0;
    return p.revents;
}

void Notice(const QString &text)
{
    // A plain box with an empty title.
    Ques_Kind = 6;
    Show_Ques(text, QString());
}

} // namespace

bool Init_WinSock()
{
#if defined(_WIN32)
    WSADATA wd;
    if (::WSAStartup(MAKEWORD(2, 0), &wd) != 0) {
        Notice(QStringLiteral("Не удалось найти необходимую DLL-версию WinSock"));
        return false;
    }
    if (LOBYTE(wd.wVersion) != 2 || HIBYTE(wd.wVersion) != 0) {
        ::WSACleanup();
        Notice(QStringLiteral("Не удалось найти необходимую DLL-версию WinSock"));
        return false;
    }
#endif
    return true;
}

void Done_WinSock()
{
#if defined(_WIN32)
    ::WSACleanup();
#endif
}

bool Inet_Aton(const QString &text, uint32_t &ip)
{
    const QString t = text.trimmed();
    const QStringList parts = t.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    uint32_t v = 0;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3) return false;
        for (QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        const uint32_t n = p.toUInt();
        if (n > 255) return false;
        v = (v << 8) | n;
    }
    // Only the literal all-ones text gives the all-ones address.
    if (v == 0xFFFFFFFFu && t != QLatin1String("255.255.255.255")) return false;
    ip = v;
    return true;
}

bool Set_Address(const QString &host, const QString &service, Sock_Addr &out,
                 const QString &protocol)
{
    out = Sock_Addr {};
    const QString h = host.trimmed();
    if (!h.isEmpty()) {
        uint32_t ip = 0;
        if (Inet_Aton(h, ip)) {
            out.ip = ip;
        } else {
            addrinfo hints {};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo *res = nullptr;
            const QByteArray name = h.toUtf8();
            if (::getaddrinfo(name.constData(), nullptr, &hints, &res) != 0 || !res) {
                Notice(QStringLiteral("неизвестный хост: %1").arg(h));
                return false;
            }
            sockaddr_in sa {};
            std::memcpy(&sa, res->ai_addr, std::min<size_t>(sizeof sa, res->ai_addrlen));
            ::freeaddrinfo(res);
            out.ip = ntohl(sa.sin_addr.s_addr);
        }
    }

    const QString s = service.trimmed();
    bool num = false;
    const qulonglong v = s.toULongLong(&num, 0);   // C notation: decimal, 0x hex, 0 octal
    if (num) {
        if (v > 0xFFFF) {
            Notice(QStringLiteral("неизвестный сервис: %1").arg(s));
            return false;
        }
        out.port = uint16_t(v);
        return true;
    }
    const QByteArray sname = s.toUtf8();
    const QByteArray pname = protocol.trimmed().toLower().toUtf8();
    const servent *se = s.isEmpty() ? nullptr : ::getservbyname(sname.constData(), pname.constData());
    if (!se) {
        Notice(QStringLiteral("неизвестный сервис: %1").arg(s));
        return false;
    }
    out.port = ntohs(uint16_t(se->s_port));
    return true;
}

// ---------------------------------------------------------------------------------------

Tcp_Port::Tcp_Port(const Sock_Addr &addr, int64_t connect_wait_ms, Clock &clock,
                   std::function<void()> pump)
    : Addr(addr), Wait_Ms(std::max<int64_t>(connect_wait_ms, 0)), Clk(clock), Pump(std::move(pump))
{
}

Tcp_Port::~Tcp_Port()
{
    Drop();
}

void Tcp_Port::Drop()
{
    if (Fd != -1) QZT_CLOSE(S(Fd));
    Fd = -1;
}

Tcp_Port::Result Tcp_Port::Connect()
{
    Drop();
    Lost = false;
    Attempt_Count = 0;
    // 0.0.0.0 reaches a local listener on some systems: an unset address is never dialled.
    if (Addr.ip == 0 || Addr.port == 0) return Result::Bad_Address;

    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(Addr.ip);
    sa.sin_port = htons(Addr.port);

    const int64_t deadline = Clk.Now_Us() + Wait_Ms * 1000;
    constexpr int kSliceMs = 50;   // events are served at least this often

    // Sleeps up to ms (never past the deadline) while serving events.
    auto pause = [&](int ms) {
        const int64_t until = std::min(deadline, Clk.Now_Us() + int64_t(ms) * 1000);
        for (;;) {
            if (Pump) Pump();
            const int64_t left = until - Clk.Now_Us();
            if (left <= 0) break;
            Clk.Sleep_Us(std::min<int64_t>(left, kSliceMs * 1000));
        }
    };

    do {
        const sock_t s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == kNoSock) return Result::No_Socket;
        if (!Set_Nonblocking(s)) {
            QZT_CLOSE(s);
            return Result::No_Socket;
        }
        ++Attempt_Count;
        bool up = false;
        if (::connect(s, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) == 0) {
            up = true;
        } else if (Would_Block(Last_Sock_Error())) {
            // The attempt lives as long as what is left of the wait, in slices.
            for (;;) {
                if (Pump) Pump();
                const int64_t left_ms = (deadline - Clk.Now_Us()) / 1000;
                if (left_ms <= 0) break;
                const int ev = Poll_One(s, POLLOUT, int(std::min<int64_t>(left_ms, kSliceMs)));
                if (ev == 0) continue;
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&err), &len);
                up = err == 0 && !(ev & (POLLERR | POLLHUP));
                break;
            }
        }
        if (up) {
            Fd = intptr_t(s);
            return Result::Connected;
        }
        QZT_CLOSE(s);
        // Refused at once: wait a little before the next attempt instead of spinning.
        pause(Retry_Pause_Ms);
    } while (Clk.Now_Us() < deadline);
    return Result::Timed_Out;
}

bool Tcp_Port::Open()
{
    return Connect() == Result::Connected;
}

bool Tcp_Port::Is_Open() const
{
    return Fd != -1 && !Lost;
}

void Tcp_Port::Close()
{
    Drop();
}

void Tcp_Port::Purge()
{
    if (!Is_Open()) return;
    char buf[256];
    for (int i = 0; i < 1000; ++i) {
        const auto r = ::recv(S(Fd), buf, sizeof buf, 0);
        if (r > 0) continue;
        if (r == 0 || !Would_Block(Last_Sock_Error())) Lost = true;
        break;
    }
}

bool Tcp_Port::Write(const uint8_t *data, int len)
{
    if (!Is_Open() || len < 0 || (len > 0 && !data)) return false;
    int sent = 0;
    const int64_t until = Clk.Now_Us() + 10'000'000;   // a stalled peer does not hang us
    while (sent < len) {
        const auto r = ::send(S(Fd), reinterpret_cast<const char *>(data + sent), len - sent, kSendFlags);
        if (r > 0) {
            sent += int(r);
            continue;
        }
        if (r < 0 && Would_Block(Last_Sock_Error()) && Clk.Now_Us() < until) {
            Poll_One(S(Fd), POLLOUT, 50);
            continue;
        }
        Lost = r < 0 && !Would_Block(Last_Sock_Error());
        return false;
    }
    return true;
}

int Tcp_Port::Read_Byte(uint8_t &b)
{
    if (!Is_Open()) return -1;
    char c = 0;
    const auto r = ::recv(S(Fd), &c, 1, 0);
    if (r == 1) {
        b = uint8_t(c);
        return 1;
    }
    if (r < 0 && Would_Block(Last_Sock_Error())) return 0;
    Lost = true;   // closed by the other side (0) or failed
    return -1;
}

bool Tcp_Port::Wait_Readable(int timeout_ms)
{
    if (!Is_Open()) {
        // Nothing will arrive: sleep the slice so a waiting caller does not spin.
        if (timeout_ms > 0) Clk.Sleep_Us(int64_t(timeout_ms) * 1000);
        return false;
    }
    const int ev = Poll_One(S(Fd), POLLIN, timeout_ms);
    return ev != 0;   // data, or a close that Read_Byte reports
}

bool Connect_Ethernet(hgcbox &box, const Ethr_Link &link, int pause_ms)
{
    box.Close_Link();
    if (!Init_WinSock()) return false;

    Sock_Addr addr;
    if (!Set_Address(Ip_Text(link.ip_adr), QString::number(link.port), addr, QStringLiteral("TCP")))
        return false;
    if (addr.ip == 0) {
        // An unset subscriber address: refused, not dialled.
        Notice(QStringLiteral("неизвестный хост: %1").arg(Ip_Text(link.ip_adr)));
        return false;
    }
    if (addr.port == 0) {
        Notice(QStringLiteral("неизвестный сервис: %1").arg(link.port));
        return false;
    }

    auto port = std::make_unique<Tcp_Port>(addr, int64_t(link.connect_wait_s) * 1000, *box.Clk, box.Pump);
    switch (port->Connect()) {
    case Tcp_Port::Result::Connected: break;
    case Tcp_Port::Result::No_Socket:
        Notice(QStringLiteral("Ошибка вызова socket"));
        return false;
    case Tcp_Port::Result::Bad_Address:
    case Tcp_Port::Result::Timed_Out:
        Notice(QStringLiteral("Превышено время ожидания соединения сервер/клиент"));
        return false;
    }

    if (pause_ms > 0) box.Clk->Sleep_Us(int64_t(pause_ms) * 1000);
    box.Port_Handle.reset();
    box.Sock = std::move(port);
    box.Conn_Prz = 2;
    box.Do_Close_Port = 0;
    box.Adr = link.contr_adr;
    box.WaitTime = link.wait_time_s * 1000;
    box.TimeOut = link.time_out_ms;
    box.Preambles = link.preambles;
    box.Repeat = link.repeat;
    return true;
}

bool Connect_Ethernet(hgcbox &box, const Ethr_Abonent &abonent, const Ethernet_Conn_Par_Rec &par,
                      int pause_ms)
{
    Ethr_Link link;
    link.ip_adr = abonent.ip_adr;
    link.port = abonent.port;
    link.contr_adr = abonent.contr_adr;
    link.connect_wait_s = par.ConnectWaitTime;
    link.wait_time_s = par.Link.WaitTime;
    link.time_out_ms = par.Link.TimeOut;
    link.preambles = par.Link.Preambles;
    link.repeat = par.Link.Repeat;
    return Connect_Ethernet(box, link, pause_ms);
}
