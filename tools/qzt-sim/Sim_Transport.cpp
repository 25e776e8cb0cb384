#include "Sim_Transport.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMutex>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A thread with an event loop and one context object living in it.
class Worker_Thread {
public:
    ~Worker_Thread() { End(); }

    void Begin()
    {
        if (Ctx) return;
        Clock.start();
        Ctx = new QObject;
        Ctx->moveToThread(&Th);
        Th.start();
    }
    // Runs f on the worker thread and waits for it.
    template <class F> void Run(F &&f)
    {
        if (!Ctx) return;
        if (QThread::currentThread() == &Th) f();
        else QMetaObject::invokeMethod(Ctx, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
    void End()
    {
        if (!Ctx) return;
        Th.quit();
        Th.wait();
        delete Ctx;   // the thread has finished: its objects may go from here
        Ctx = nullptr;
    }
    int64_t Now_Ms() const { return Clock.isValid() ? Clock.elapsed() : 0; }
    QObject *Context() const { return Ctx; }

private:
    QThread Th;
    QObject *Ctx = nullptr;
    QElapsedTimer Clock;
};

// Output side of one line: the endpoint's chunks go out when they are due.
class Line_Out {
public:
    Line_Out(QObject *ctx, Sim_Endpoint &ep, const Worker_Thread &w,
             std::function<void(const QByteArray &)> write, std::function<void()> close)
        : Ep(ep), W(w), Write(std::move(write)), Close(std::move(close))
    {
        Timer.setSingleShot(true);
        Timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&Timer, &QTimer::timeout, ctx, [this] { Fire(); });
        const int poll = Ep.Poll_Interval_Ms();
        if (poll > 0) {
            Poll_Timer.setInterval(poll);
            QObject::connect(&Poll_Timer, &QTimer::timeout, ctx, [this] { Enqueue(Ep.Poll(W.Now_Ms())); });
            Poll_Timer.start();
        }
    }

    void Input(const QByteArray &b)
    {
        if (!b.isEmpty()) Enqueue(Ep.Receive(b, W.Now_Ms()));
    }
    void Enqueue(const QList<Sim_Chunk> &chunks)
    {
        for (const Sim_Chunk &c : chunks) {
            auto at = std::upper_bound(Queue.begin(), Queue.end(), c.at_ms,
                                       [](int64_t t, const Sim_Chunk &q) { return t < q.at_ms; });
            Queue.insert(at, c);
        }
        Arm();
    }
    bool Pending() const { return !Queue.empty(); }
    void Stop()
    {
        Queue.clear();
        Timer.stop();
        Poll_Timer.stop();
    }

private:
    void Arm()
    {
        if (Queue.empty()) {
            Timer.stop();
            return;
        }
        Timer.start(int(std::clamp<int64_t>(Queue.front().at_ms - W.Now_Ms(), 0, 24 * 3600 * 1000)));
    }
    void Fire()
    {
        const int64_t now = W.Now_Ms();
        while (!Queue.empty() && Queue.front().at_ms <= now) {
            const Sim_Chunk c = Queue.front();
            Queue.pop_front();
            if (!c.bytes.isEmpty()) Write(c.bytes);
            if (c.close_after) {
                Queue.clear();
                Close();
                return;
            }
        }
        Arm();
    }

    Sim_Endpoint &Ep;
    const Worker_Thread &W;
    std::function<void(const QByteArray &)> Write;
    std::function<void()> Close;
    std::list<Sim_Chunk> Queue;
    QTimer Timer;
    QTimer Poll_Timer;
};
} // namespace

// ---- TCP ------------------------------------------------------------------------------

struct Sim_Tcp::Impl {
    explicit Impl(Sim_Endpoint &e) : Ep(e) {}

    struct Conn {
        QPointer<QTcpSocket> Sock;
        std::unique_ptr<Line_Out> Out;
    };

    void On_New_Connection()
    {
        while (QTcpSocket *s = Server->nextPendingConnection()) {
            ++Accepted;
            ++Open;
            auto c = std::make_shared<Conn>();
            c->Sock = s;
            QPointer<QTcpSocket> ps(s);
            c->Out = std::make_unique<Line_Out>(
                W.Context(), Ep, W,
                [ps](const QByteArray &b) {
                    if (ps) ps->write(b);
                },
                [ps] {
                    if (ps) ps->disconnectFromHost();
                });
            Conns.push_back(c);
            QObject::connect(s, &QTcpSocket::disconnected, W.Context(), [this, c] {
                c->Out->Stop();
                // Not inside the writer that may have closed it: later.
                QMetaObject::invokeMethod(W.Context(), [this, c] { Forget(c); }, Qt::QueuedConnection);
            });
            const int delay = Accept_Delay.load();
            auto serve = [this, c] {
                if (!c->Sock) return;
                Ep.Reset_Line();
                QObject::connect(c->Sock.data(), &QTcpSocket::readyRead, W.Context(), [c] {
                    if (c->Sock) c->Out->Input(c->Sock->readAll());
                });
                if (c->Sock->bytesAvailable()) c->Out->Input(c->Sock->readAll());
            };
            if (delay > 0) QTimer::singleShot(delay, W.Context(), serve);
            else serve();
        }
    }
    void Forget(const std::shared_ptr<Conn> &c)
    {
        auto it = std::find(Conns.begin(), Conns.end(), c);
        if (it == Conns.end()) return;
        Conns.erase(it);
        --Open;
        if (c->Sock) c->Sock->deleteLater();
    }
    bool Listen()
    {
        if (!Server->listen(QHostAddress(QHostAddress::LocalHost), Port_No)) {
            QMutexLocker l(&Err_Mx);
            Err = Server->errorString();
            return false;
        }
        Port_No = Server->serverPort();
        return true;
    }

    Sim_Endpoint &Ep;
    Worker_Thread W;
    QTcpServer *Server = nullptr;   // worker thread
    std::list<std::shared_ptr<Conn>> Conns;   // worker thread
    std::atomic<uint16_t> Port_No{0};
    std::atomic<int> Accept_Delay{0};
    std::atomic<int> Accepted{0};
    std::atomic<int> Open{0};
    mutable QMutex Err_Mx;
    QString Err;
};

Sim_Tcp::Sim_Tcp(Sim_Endpoint &ep) : d(std::make_unique<Impl>(ep)) {}

Sim_Tcp::~Sim_Tcp() { Stop(); }

bool Sim_Tcp::Start(uint16_t port)
{
    if (d->Server) return true;
    d->W.Begin();
    d->Port_No = port;
    bool ok = false;
    d->W.Run([this, &ok] {
        d->Server = new QTcpServer(d->W.Context());
        QObject::connect(d->Server, &QTcpServer::newConnection, d->W.Context(), [this] { d->On_New_Connection(); });
        ok = d->Listen();
    });
    if (!ok) Stop();
    return ok;
}

void Sim_Tcp::Stop()
{
    d->W.Run([this] {
        for (auto &c : d->Conns) {
            c->Out->Stop();
            if (c->Sock) c->Sock->abort();
        }
        d->Conns.clear();
        d->Open = 0;
        delete d->Server;
        d->Server = nullptr;
    });
    d->W.End();
}

uint16_t Sim_Tcp::Port() const { return d->Port_No; }

QString Sim_Tcp::Error() const
{
    QMutexLocker l(&d->Err_Mx);
    return d->Err;
}

void Sim_Tcp::Refuse_For(int ms)
{
    d->W.Run([this, ms] {
        if (!d->Server) return;
        d->Server->close();
        QTimer::singleShot(std::max(0, ms), d->W.Context(), [this] {
            if (d->Server && !d->Server->isListening()) d->Listen();
        });
    });
}

void Sim_Tcp::Set_Accept_Delay(int ms) { d->Accept_Delay = std::max(0, ms); }

void Sim_Tcp::Drop_Clients()
{
    d->W.Run([this] {
        const auto conns = d->Conns;
        for (auto &c : conns) {
            c->Out->Stop();
            if (c->Sock) c->Sock->abort();
        }
    });
}

bool Sim_Tcp::Output_Pending() const
{
    bool any = false;
    d->W.Run([this, &any] {
        for (auto &c : d->Conns) any = any || c->Out->Pending() || (c->Sock && c->Sock->bytesToWrite() > 0);
    });
    return any;
}

int Sim_Tcp::Accepted_Count() const { return d->Accepted; }

int Sim_Tcp::Open_Count() const { return d->Open; }

void Sim_Tcp::Send(const QByteArray &bytes)
{
    d->W.Run([this, bytes] {
        for (auto &c : d->Conns)
            if (c->Sock && c->Sock->state() == QAbstractSocket::ConnectedState) c->Sock->write(bytes);
    });
}

// ---- pseudo-terminal ------------------------------------------------------------------

namespace {
// The kernel's termios2 (asm/termbits.h cannot be included beside termios.h):
// c_ospeed holds the rate also when it is not one of the B constants.
struct Kernel_Termios2 {
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};

uint32_t Speed_Of(speed_t s)
{
    static const std::pair<speed_t, uint32_t> kMap[] = {
        {B300, 300},       {B600, 600},       {B1200, 1200},     {B2400, 2400},     {B4800, 4800},
        {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
        {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
    };
    for (const auto &[b, r] : kMap)
        if (b == s) return r;
    return 0;
}
} // namespace

namespace {
uint32_t Rate_Of(int fd);
}

struct Sim_Pty::Impl {
    explicit Impl(Sim_Endpoint &e) : Ep(e) {}

    void On_Readable()
    {
        char buf[512];
        QByteArray got;
        for (;;) {
            const ssize_t n = ::read(Master, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                // No slave side (cannot happen while we hold one): do not spin on it.
                Notifier->setEnabled(false);
                QTimer::singleShot(50, W.Context(), [this] {
                    if (Notifier) Notifier->setEnabled(true);
                });
            }
            break;
        }
        if (!got.isEmpty()) In_Rate = Rate_Of(Master);
        if (Out) Out->Input(got);
    }
    void Write(const QByteArray &b)
    {
        int done = 0;
        while (done < b.size()) {
            const ssize_t n = ::write(Master, b.constData() + done, size_t(b.size() - done));
            if (n > 0) done += int(n);
            else if (n < 0 && errno == EINTR) continue;
            else break;   // the program does not read: what does not fit is lost, as on a wire
        }
    }

    Sim_Endpoint &Ep;
    Worker_Thread W;
    int Master = -1;
    int Slave = -1;
    std::atomic<int> Master_Fd{-1};
    std::atomic<uint32_t> In_Rate{0};
    QString Path;
    QString Err;
    QSocketNotifier *Notifier = nullptr;   // worker thread
    std::unique_ptr<Line_Out> Out;         // worker thread
};

Sim_Pty::Sim_Pty(Sim_Endpoint &ep) : d(std::make_unique<Impl>(ep)) {}

Sim_Pty::~Sim_Pty() { Stop(); }

bool Sim_Pty::Start()
{
    if (d->Master >= 0) return true;
    char name[256] = {};
    if (::openpty(&d->Master, &d->Slave, name, nullptr, nullptr) != 0) {
        d->Err = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    termios tio{};
    if (::tcgetattr(d->Slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(d->Slave, TCSANOW, &tio);
    }
    ::fcntl(d->Master, F_SETFL, ::fcntl(d->Master, F_GETFL) | O_NONBLOCK);
    ::fcntl(d->Master, F_SETFD, FD_CLOEXEC);
    ::fcntl(d->Slave, F_SETFD, FD_CLOEXEC);
    d->Path = QString::fromLocal8Bit(name);
    d->Master_Fd = d->Master;
    d->W.Begin();
    d->W.Run([this] {
        d->Out = std::make_unique<Line_Out>(
            d->W.Context(), d->Ep, d->W, [this](const QByteArray &b) { d->Write(b); }, [] {});
        d->Notifier = new QSocketNotifier(d->Master, QSocketNotifier::Read, d->W.Context());
        QObject::connect(d->Notifier, &QSocketNotifier::activated, d->W.Context(), [this] { d->On_Readable(); });
    });
    return true;
}

void Sim_Pty::Stop()
{
    d->W.Run([this] {
        if (d->Out) d->Out->Stop();
        d->Out.reset();
        delete d->Notifier;
        d->Notifier = nullptr;
    });
    d->W.End();
    d->Master_Fd = -1;
    if (d->Master >= 0) ::close(d->Master);
    if (d->Slave >= 0) ::close(d->Slave);
    d->Master = d->Slave = -1;
}

QString Sim_Pty::Slave_Path() const { return d->Path; }

QString Sim_Pty::Error() const { return d->Err; }

uint32_t Sim_Pty::Rate() const { return Rate_Of(d->Master_Fd); }

bool Sim_Pty::Output_Pending() const
{
    bool any = false;
    d->W.Run([this, &any] { any = d->Out && d->Out->Pending(); });
    return any;
}

uint32_t Sim_Pty::Input_Rate() const { return d->In_Rate; }

namespace {
uint32_t Rate_Of(int fd)
{
    if (fd < 0) return 0;
    Kernel_Termios2 t2{};
    if (::ioctl(fd, _IOR('T', 0x2A, Kernel_Termios2), &t2) == 0 && t2.c_ospeed) return t2.c_ospeed;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return 0;
    return Speed_Of(::cfgetospeed(&tio));
}
} // namespace

void Sim_Pty::Send(const QByteArray &bytes)
{
    d->W.Run([this, bytes] {
        if (d->Master >= 0) d->Write(bytes);
    });
}
