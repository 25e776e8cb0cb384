// Serial port on a pseudo-terminal pair: set-up, rates as the driver sees them, bytes both
// ways, purge, a busy second open and the other end going away.
#include "core/Comportfunctions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The kernel's termios with explicit speeds (asm/termbits.h clashes with termios.h).
struct Termios2 {
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};
const unsigned long Get_Termios2 = _IOR('T', 0x2A, Termios2);

struct Pty {
    int master = -1, slave = -1;
    QString path;
    bool Make()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
        path = QString::fromLocal8Bit(name);
        // The master side is ours: raw, so bytes pass unchanged.
        termios t {};
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
        return true;
    }
    void Close_Master()
    {
        if (master >= 0) ::close(master);
        master = -1;
    }
    ~Pty()
    {
        Close_Master();
        if (slave >= 0) ::close(slave);
    }
    // Reads up to n bytes from the master within a generous time.
    QByteArray Read_Master(int n)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < n && t.elapsed() < 10000) {
            pollfd p {master, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buf[256];
            const ssize_t r = ::read(master, buf, sizeof buf);
            if (r > 0) got.append(buf, int(r));
        }
        return got;
    }
};

uint32_t Slave_Speed(const Pty &p, tcflag_t *cflag = nullptr)
{
    Termios2 t {};
    if (::ioctl(p.slave, Get_Termios2, &t) != 0) return 0;
    if (cflag) *cflag = t.c_cflag;
    return t.c_ospeed;
}

} // namespace

class tst_Comport : public QObject {
    Q_OBJECT
private slots:
    void portNames();
    void openSetsLineAndEveryRate();
    void purgeDropsPendingInput();
    void secondOpenIsBusy();
    void otherEndGoneClosesOnce();
    void otherEndGoneWhileIdleInEventLoop();
};

void tst_Comport::portNames()
{
    // One device for a port number: the name the status bar shows, the link dialog selects
    // and the port is opened as.
#if defined(Q_OS_LINUX)
    QCOMPARE(Com_Port_Name(3), QStringLiteral("/dev/ttyS2"));
#endif
    for (int n : {1, 10, 255}) QCOMPARE(Com_Port_Number(Com_Port_Name(n)), n);
    QCOMPARE(Port_Device(QStringLiteral("com12"), 1), Com_Port_Name(12));
    QCOMPARE(Port_Unavailable_Text(QStringLiteral("COM3")), QStringLiteral("Коммуникационный порт СОМ3 недоступен"));
    QCOMPARE(Port_Unavailable_Text(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("Коммуникационный порт /dev/ttyUSB0 недоступен"));
    QCOMPARE(Com_Port_Number(QStringLiteral("COM12")), 12);
    QCOMPARE(Com_Port_Number(QStringLiteral("com7")), 7);
    QCOMPARE(Com_Port_Number(QStringLiteral("COM0")), 0);
    QCOMPARE(Com_Port_Number(QStringLiteral("COM256")), 0);
    QCOMPARE(Com_Port_Number(QStringLiteral("/dev/ttyUSB0")), 0);
    QVERIFY(!Com_Port_Exists(QStringLiteral("/dev/qzt-no-such-port")));
    QVERIFY(!Com_Port_Exists(QString()));
    // Whatever the system lists can at least be named again.
    for (const QString &n : Serial_Port_List()) QVERIFY(!n.isEmpty());
}

void tst_Comport::openSetsLineAndEveryRate()
{
    Pty pty;
    QVERIFY(pty.Make());
    Serial_Port sp(pty.path, 9600);
    QVERIFY(!sp.Is_Open());
    QVERIFY(sp.Open());
    QVERIFY(sp.Is_Open());

    tcflag_t cf = 0;
    QCOMPARE(Slave_Speed(pty, &cf), 9600u);
    QCOMPARE(cf & CSIZE, tcflag_t(CS8));
    QVERIFY(!(cf & PARENB));
    QVERIFY(!(cf & CSTOPB));
    QVERIFY(!(cf & CRTSCTS));

    // Every rate of the table, the non-standard ones included, reaches the driver.
    for (int i = 0; i < BAUD_COUNT; ++i) {
        QVERIFY2(sp.Set_Rate(Baud_Rates[i]), qPrintable(QString::number(Baud_Rates[i])));
        QCOMPARE(Slave_Speed(pty), Baud_Rates[i]);
    }
    QVERIFY(sp.Set_Rate(7200));
    QCOMPARE(Slave_Speed(pty), 7200u);
    QVERIFY(sp.Set_Rate(11520));
    QCOMPARE(Slave_Speed(pty), 11520u);
    // Out-of-range rates are clamped like the port set-up does.
    QVERIFY(sp.Set_Rate(500000));
    QCOMPARE(Slave_Speed(pty), 256000u);
    QVERIFY(sp.Set_Rate(50));
    QCOMPARE(Slave_Speed(pty), 110u);

    // A pseudo-terminal has no modem lines: refused, and the port stays usable.
    sp.Set_Rts(true);
    sp.Set_Dtr(true);
    QVERIFY(sp.Is_Open());

    sp.Close();
    QVERIFY(!sp.Is_Open());
    uint8_t b = 0;
    QCOMPARE(sp.Read_Byte(b), -1);
    QVERIFY(!sp.Write(&b, 1));

    // Opening with a rate above the limit sets the limit.
    Serial_Port hi(pty.path, 500000);
    QVERIFY(hi.Open());
    QCOMPARE(Slave_Speed(pty), 256000u);
}

void tst_Comport::purgeDropsPendingInput()
{
    Pty pty;
    QVERIFY(pty.Make());
    Serial_Port sp(pty.path, 9600);
    QVERIFY(sp.Open());
    QCOMPARE(::write(pty.master, "stale", 5), ssize_t(5));
    QElapsedTimer t;
    t.start();
    while (!sp.Wait_Readable(100) && t.elapsed() < 10000) {}
    sp.Purge();
    uint8_t b = 0;
    QCOMPARE(sp.Read_Byte(b), 0);
    // Fresh bytes after the purge arrive normally.
    QCOMPARE(::write(pty.master, "\x33", 1), ssize_t(1));
    t.restart();
    while (!sp.Wait_Readable(100) && t.elapsed() < 10000) {}
    QCOMPARE(sp.Read_Byte(b), 1);
    QCOMPARE(int(b), 0x33);
}

void tst_Comport::secondOpenIsBusy()
{
    Pty pty;
    QVERIFY(pty.Make());
    Serial_Port first(pty.path, 9600);
    QVERIFY(first.Open());
    Serial_Port second(pty.path, 9600);
    QVERIFY(!second.Open());
    QVERIFY(second.Was_Busy());
    QVERIFY(!second.Is_Open());
    // A busy port still exists for the port list.
    QVERIFY(Com_Port_Exists(pty.path));
    first.Close();
    QVERIFY(second.Open());
    QVERIFY(!second.Was_Busy());
    QVERIFY(Com_Port_Exists(QStringLiteral("/dev/qzt-no-such-port")) == false);
}

void tst_Comport::otherEndGoneClosesOnce()
{
    Pty pty;
    QVERIFY(pty.Make());
    Serial_Port sp(pty.path, 9600);
    QVERIFY(sp.Open());
    pty.Close_Master();

    // The waits keep returning (no byte) and the port ends closed after the first error.
    bool lost = false;
    for (int i = 0; i < 50 && !lost; ++i) {
        sp.Wait_Readable(20);
        uint8_t b;
        sp.Read_Byte(b);
        lost = sp.Was_Lost();
    }
    QVERIFY(lost);
    QVERIFY(!sp.Is_Open());
    for (int i = 0; i < 100; ++i) {
        uint8_t b;
        QCOMPARE(sp.Read_Byte(b), -1);
        QVERIFY(!sp.Wait_Readable(1));
        QCoreApplication::processEvents();
    }
    QVERIFY2(sp.Line_Errors() <= 2, qPrintable(QString::number(sp.Line_Errors())));
    uint8_t b = 1;
    QVERIFY(!sp.Write(&b, 1));
}

void tst_Comport::otherEndGoneWhileIdleInEventLoop()
{
    // Between exchanges the port stays open while the window serves events: the device's
    // read notifier must not keep firing once the other end has gone.
    Pty pty;
    QVERIFY(pty.Make());
    Serial_Port sp(pty.path, 9600);
    QVERIFY(sp.Open());
    pty.Close_Master();
    QElapsedTimer t;
    t.start();
    while (!sp.Was_Lost() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QVERIFY(sp.Was_Lost());
    for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
    QVERIFY(!sp.Is_Open());
    QVERIFY2(sp.Line_Errors() <= 2, qPrintable(QString::number(sp.Line_Errors())));
    // Reopening after the loss is possible once a device is there again.
    Pty other;
    QVERIFY(other.Make());
    Serial_Port again(other.path, 9600);
    QVERIFY(again.Open());
}

QTEST_GUILESS_MAIN(tst_Comport)
#include "tst_comport.moc"
