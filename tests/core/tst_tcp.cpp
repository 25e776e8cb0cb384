// TCP link over loopback: address texts, connect, bytes both ways, a refused port retried
// until the connection wait ends (with events served and one message), an unset address
// never dialled.
#include "core/Abonents.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tcp_fun.h"

#include <QElapsedTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Recorder : Ques_Handler {
    QList<Ques_Setup> seen;
    uint8_t Ask(const Ques_Setup &q) override
    {
        seen << q;
        return 0;
    }
};

// A listening socket on 127.0.0.1 with an ephemeral port.
struct Listener {
    int fd = -1;
    uint16_t port = 0;
    bool Make()
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return false;
        sockaddr_in sa {};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0) return false;
        if (::listen(fd, 4) != 0) return false;
        socklen_t len = sizeof sa;
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
        port = ntohs(sa.sin_port);
        return true;
    }
    // A pending connection within ms, accepted; -1 when none came.
    int Accept(int ms)
    {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return -1;
        return ::accept(fd, nullptr, nullptr);
    }
    ~Listener()
    {
        if (fd >= 0) ::close(fd);
    }
};

// A loopback port nobody listens on: bound, then released.
uint16_t Refused_Port()
{
    Listener l;
    if (!l.Make()) return 0;
    const uint16_t p = l.port;
    ::close(l.fd);
    l.fd = -1;
    return p;
}

QByteArray Recv_N(int fd, int n)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < n && t.elapsed() < 10000) {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[512];
        const ssize_t r = ::recv(fd, buf, sizeof buf, 0);
        if (r <= 0) break;
        got.append(buf, int(r));
    }
    return got;
}

constexpr uint32_t kLoopback = 0x7F000001;

} // namespace

class tst_Tcp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addressTexts();
    void serviceTexts();
    void connectSendReceive();
    void peerCloseEndsReading();
    void refusedPortEndsAtDeadline();
    void unsetAddressNotDialled();

private:
    Recorder rec;
    Ques_Handler *old = nullptr;
};

void tst_Tcp::init()
{
    rec.seen.clear();
    old = Set_Ques_Handler(&rec);
}

void tst_Tcp::cleanup()
{
    Set_Ques_Handler(old);
}

void tst_Tcp::addressTexts()
{
    uint32_t ip = 0;
    QVERIFY(Inet_Aton(QStringLiteral("255.255.255.255"), ip));
    QCOMPARE(ip, 0xFFFFFFFFu);
    QVERIFY(Inet_Aton(QStringLiteral("10.0.1.200"), ip));
    QCOMPARE(ip, 0x0A0001C8u);
    QVERIFY(!Inet_Aton(QStringLiteral("controller.local"), ip));
    QVERIFY(!Inet_Aton(QStringLiteral("1.2.3"), ip));
    QVERIFY(!Inet_Aton(QStringLiteral("1.2.3.256"), ip));
    QVERIFY(!Inet_Aton(QStringLiteral("1.2..3"), ip));
    QVERIFY(!Inet_Aton(QStringLiteral("1.2.3.-4"), ip));
    QCOMPARE(Ip_Text(0xC0A80A01u), QStringLiteral("192.168.10.1"));

    Sock_Addr a;
    QVERIFY(Set_Address(QStringLiteral("192.168.10.1"), QStringLiteral("502"), a));
    QCOMPARE(a.ip, 0xC0A80A01u);
    QCOMPARE(int(a.port), 502);
    // A name goes to the look-up.
    QVERIFY(Set_Address(QStringLiteral("localhost"), QStringLiteral("502"), a));
    QCOMPARE(a.ip, kLoopback);
    // No host: any address.
    QVERIFY(Set_Address(QString(), QStringLiteral("1"), a));
    QCOMPARE(a.ip, 0u);
    QVERIFY(rec.seen.isEmpty());
}

void tst_Tcp::serviceTexts()
{
    Sock_Addr a;
    QVERIFY(Set_Address(QStringLiteral("127.0.0.1"), QStringLiteral("0x1F6"), a));
    QCOMPARE(int(a.port), 502);
    QVERIFY(Set_Address(QStringLiteral("127.0.0.1"), QStringLiteral("0766"), a));
    QCOMPARE(int(a.port), 502);
    if (Set_Address(QStringLiteral("127.0.0.1"), QStringLiteral("http"), a, QStringLiteral("TCP")))
        QCOMPARE(int(a.port), 80);   // where the system has a services list
    rec.seen.clear();

    QVERIFY(!Set_Address(QStringLiteral("127.0.0.1"), QStringLiteral("no-such-service-qzt"), a));
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QStringLiteral("неизвестный сервис: no-such-service-qzt"));
    QVERIFY(rec.seen[0].caption.isEmpty());

    rec.seen.clear();
    QVERIFY(!Set_Address(QStringLiteral("127.0.0.1"), QStringLiteral("70000"), a));
    QCOMPARE(rec.seen.size(), 1);
}

void tst_Tcp::connectSendReceive()
{
    Listener l;
    QVERIFY(l.Make());
    int pumped = 0;
    Tcp_Port tp({kLoopback, l.port}, 10000, System_Clock(), [&] { ++pumped; });
    QVERIFY(!tp.Is_Open());
    QCOMPARE(tp.Connect(), Tcp_Port::Result::Connected);
    QVERIFY(tp.Is_Open());
    const int peer = l.Accept(10000);
    QVERIFY(peer >= 0);

    QByteArray out;
    for (int i = 0; i < 260; ++i) out.append(char(uint8_t(i)));
    QVERIFY(tp.Write(reinterpret_cast<const uint8_t *>(out.constData()), int(out.size())));
    QCOMPARE(Recv_N(peer, int(out.size())), out);

    uint8_t b = 0;
    QCOMPARE(tp.Read_Byte(b), 0);
    QVERIFY(!tp.Wait_Readable(10));
    const QByteArray in("\x33\x05\x07\x81\x01\x02\x03", 7);
    QCOMPARE(::send(peer, in.constData(), size_t(in.size()), 0), ssize_t(in.size()));
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < in.size() && t.elapsed() < 10000) {
        if (!tp.Wait_Readable(100)) continue;
        while (tp.Read_Byte(b) == 1) got.append(char(b));
    }
    QCOMPARE(got, in);

    // Purge drops what arrived unread.
    QCOMPARE(::send(peer, "junk", 4, 0), ssize_t(4));
    t.restart();
    while (!tp.Wait_Readable(100) && t.elapsed() < 10000) {}
    tp.Purge();
    QCOMPARE(tp.Read_Byte(b), 0);
    QVERIFY(tp.Is_Open());

    tp.Close();
    QVERIFY(!tp.Is_Open());
    QCOMPARE(tp.Read_Byte(b), -1);
    QVERIFY(!tp.Write(&b, 1));
    ::close(peer);
}

void tst_Tcp::peerCloseEndsReading()
{
    Listener l;
    QVERIFY(l.Make());
    Tcp_Port tp({kLoopback, l.port}, 10000, System_Clock());
    QVERIFY(tp.Open());
    const int peer = l.Accept(10000);
    QVERIFY(peer >= 0);
    ::close(peer);
    QVERIFY(tp.Wait_Readable(10000));
    uint8_t b = 0;
    QCOMPARE(tp.Read_Byte(b), -1);
    QVERIFY(tp.Was_Lost());
    QVERIFY(!tp.Is_Open());
    QVERIFY(!tp.Wait_Readable(1));
    // Sending into a closed connection fails without a signal ending the program.
    QVERIFY(!tp.Write(&b, 1));
}

void tst_Tcp::refusedPortEndsAtDeadline()
{
    const uint16_t port = Refused_Port();
    QVERIFY(port != 0);

    // The port alone: retried with pauses until the wait has passed, not thousands of times.
    int pumped = 0;
    Tcp_Port tp({kLoopback, port}, 1000, System_Clock(), [&] { ++pumped; });
    QElapsedTimer t;
    t.start();
    QCOMPARE(tp.Connect(), Tcp_Port::Result::Timed_Out);
    QVERIFY(t.elapsed() >= 950);
    QVERIFY(tp.Attempts() >= 1);
    QVERIFY2(tp.Attempts() <= 20, qPrintable(QString::number(tp.Attempts())));
    QVERIFY(pumped > 0);
    QVERIFY(!tp.Is_Open());

    // Through the connect procedure: one message when the wait is over, no socket kept.
    hgcbox box(1);
    int box_pumped = 0;
    box.Pump = [&] { ++box_pumped; };
    Ethr_Link link;
    link.ip_adr = kLoopback;
    link.port = port;
    link.connect_wait_s = 1;
    QVERIFY(!Connect_Ethernet(box, link, 0));
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QStringLiteral("Превышено время ожидания соединения сервер/клиент"));
    QVERIFY(rec.seen[0].caption.isEmpty());
    QVERIFY(box_pumped > 0);
    QVERIFY(!box.Sock);
}

void tst_Tcp::unsetAddressNotDialled()
{
    Listener l;
    QVERIFY(l.Make());

    Tcp_Port tp({0, l.port}, 1000, System_Clock());
    QCOMPARE(tp.Connect(), Tcp_Port::Result::Bad_Address);
    QCOMPARE(tp.Attempts(), 0);

    hgcbox box(1);
    Ethr_Link link;
    link.ip_adr = 0;
    link.port = l.port;
    link.connect_wait_s = 1;
    QVERIFY(!Connect_Ethernet(box, link, 0));
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QStringLiteral("неизвестный хост: 0.0.0.0"));
    QVERIFY(!box.Sock);
    // Nothing reached the listener.
    QCOMPARE(l.Accept(300), -1);

    rec.seen.clear();
    link.ip_adr = kLoopback;
    link.port = 0;
    QVERIFY(!Connect_Ethernet(box, link, 0));
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(l.Accept(300), -1);
}

QTEST_GUILESS_MAIN(tst_Tcp)
#include "tst_tcp.moc"
