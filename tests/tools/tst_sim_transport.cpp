// The simulator's transports with plain clients: a QTcpSocket, a raw terminal descriptor,
// and the qzt-sim program itself.
#include "Sim.h"
#include "Sim_Transport.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int LONG_MS = 30000;   // generous: a loaded machine must not fail the tests

QByteArray Read_Req(uint8_t adr, int t, int first, int count)
{
    return Sim_Core::Make_Request(adr, 1, Bytes({0, t, first, count}));
}

QByteArray Read_Tcp(QTcpSocket &s, int n)
{
    QDeadlineTimer dl(LONG_MS);
    QByteArray b;
    while (b.size() < n && !dl.hasExpired()) {
        if (s.bytesAvailable() || s.waitForReadyRead(50)) b += s.readAll();
        else if (s.state() != QAbstractSocket::ConnectedState) break;
    }
    return b;
}

QByteArray Read_Fd(int fd, int n)
{
    QDeadlineTimer dl(LONG_MS);
    QByteArray b;
    while (b.size() < n && !dl.hasExpired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buf[256];
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got > 0) b.append(buf, got);
    }
    return b;
}

int Open_Raw(const QString &path, speed_t speed)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, speed);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

bool Connect(QTcpSocket &s, uint16_t port)
{
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    return s.waitForConnected(LONG_MS);
}
} // namespace

class Tst_Sim_Transport : public QObject {
    Q_OBJECT
private slots:
    void program_over_tcp()
    {
        const QString bin = qEnvironmentVariable("QZT_SIM_BIN");
        if (bin.isEmpty()) QSKIP("QZT_SIM_BIN is not set");
        QProcess p;
        p.start(bin, {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--adr"), QStringLiteral("9"),
                      QStringLiteral("--password"), QStringLiteral("pw"), QStringLiteral("--code"), QStringLiteral("77"),
                      QStringLiteral("--verbose")});
        QVERIFY(p.waitForStarted(LONG_MS));
        QDeadlineTimer dl(LONG_MS);
        while (!p.canReadLine() && !dl.hasExpired()) p.waitForReadyRead(50);
        bool ok = false;
        const int port = QString::fromLatin1(p.readLine()).trimmed().toInt(&ok);
        QVERIFY(ok && port > 0);

        QTcpSocket s;
        QVERIFY(Connect(s, uint16_t(port)));
        s.write(Read_Req(9, 3, 0, 1));
        const QByteArray r = Read_Tcp(s, 11);
        QCOMPARE(r.left(9), Bytes({0x33, 9, 11, 0x81, 0, 3, 0, 1, 9}));
        // The password and code given on the command line are expected on writes.
        s.write(Sim_Core::Make_Request(9, 2, Sim_Core::Pad("pw", 12) + Sim_Core::Pad("77", 4) + Bytes({0, 28, 0, 2, 2, 0})));
        QCOMPARE(Read_Tcp(s, 10).left(4), Bytes({0x33, 9, 10, 0x82}));
        s.write(Sim_Core::Make_Request(9, 2, Sim_Core::Pad("px", 12) + Sim_Core::Pad("77", 4) + Bytes({0, 28, 0, 2, 2, 0})));
        QCOMPARE(Read_Tcp(s, 9).mid(3, 2), Bytes({0x02, 3}));
        s.close();

        p.terminate();
        QVERIFY(p.waitForFinished(LONG_MS));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("adr=9 func=1 table=3 first=0 count=1")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("error 3")), qPrintable(err));
    }

    void program_over_pty_and_bad_arguments()
    {
        const QString bin = qEnvironmentVariable("QZT_SIM_BIN");
        if (bin.isEmpty()) QSKIP("QZT_SIM_BIN is not set");
        QProcess p;
        p.start(bin, {QStringLiteral("--pty")});
        QVERIFY(p.waitForStarted(LONG_MS));
        QDeadlineTimer dl(LONG_MS);
        while (!p.canReadLine() && !dl.hasExpired()) p.waitForReadyRead(50);
        const QString path = QString::fromLocal8Bit(p.readLine()).trimmed();
        QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));
        const int fd = Open_Raw(path, B9600);
        QVERIFY(fd >= 0);
        const QByteArray req = Read_Req(1, 0, 0, 18);
        QCOMPARE(::write(fd, req.constData(), size_t(req.size())), ssize_t(req.size()));
        const QByteArray r = Read_Fd(fd, 28);
        QCOMPARE(r.size(), 28);
        QVERIFY(Sim_Core::Crc_Ok(r));
        QCOMPARE(r.at(9), 'I');
        ::close(fd);
        p.terminate();
        QVERIFY(p.waitForFinished(LONG_MS));

        for (const QStringList &args : {QStringList{}, QStringList{"--tcp", "0", "--pty"}, QStringList{"--tcp", "x"},
                                        QStringList{"--pty", "--adr", "255"}, QStringList{"--pty", "--code", "12345"}}) {
            QProcess b;
            b.start(bin, args);
            QVERIFY(b.waitForFinished(LONG_MS));
            QVERIFY2(b.exitCode() != 0, qPrintable(args.join(' ')));
            QVERIFY(!b.readAllStandardError().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Sim_Transport)
#include "tst_sim_transport.moc"
