#include "core/Comportfunctions.h"

#include "core/Hgcbox.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>
#include <algorithm>

#if defined(Q_OS_UNIX)
#include <termios.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

int Baud_Index(uint32_t baud)
{
    for (int i = 0; i < BAUD_COUNT; ++i)
        if (Baud_Rates[i] == baud) return i;
    return -1;
}

uint32_t Baud_By_Index(int index)
{
    return (index >= 0 && index < BAUD_COUNT) ? Baud_Rates[index] : 0;
}

uint32_t Clamp_Baud(uint32_t baud)
{
    return std::clamp<uint32_t>(baud, 110, 256000);
}

QString Link_Port_Name[2];

QString Port_Device(const QString &name, int com_port)
{
    const QString n = name.trimmed();
    if (n.isEmpty()) return Com_Port_Name(com_port);
    const int com = Com_Port_Number(n);
    return com > 0 ? Com_Port_Name(com) : n;
}

QString Link_Device(int conn_prz, int com_port)
{
    return Port_Device(conn_prz >= 0 && conn_prz < 2 ? Link_Port_Name[conn_prz] : QString(), com_port);
}

QString Com_Port_Name(int com_port)
{
#if defined(Q_OS_LINUX)
    if (com_port >= 1) return QStringLiteral("/dev/ttyS%1").arg(com_port - 1);
#endif
    return QStringLiteral("COM%1").arg(com_port);
}

int Com_Port_Number(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,3})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    auto m = com.match(name.trimmed());
    int n = m.hasMatch() ? m.captured(1).toInt() : 0;
#if defined(Q_OS_LINUX)
    static const QRegularExpression tty(QStringLiteral("^/dev/ttyS([0-9]{1,3})$"));
    m = tty.match(name.trimmed());
    if (m.hasMatch()) n = m.captured(1).toInt() + 1;
#endif
    return (n >= 1 && n <= 255) ? n : 0;
}

QString Port_Unavailable_Text(const QString &device)
{
    const int com = Com_Port_Number(device);
    // "СОМ" in Cyrillic letters, as the message has always been written.
    if (com > 0 && device.trimmed().compare(QStringLiteral("COM%1").arg(com), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Коммуникационный порт СОМ%1 недоступен").arg(com);
    return QStringLiteral("Коммуникационный порт %1 недоступен").arg(device.trimmed());
}

QStringList Serial_Port_List()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#if defined(Q_OS_WIN)
        names << info.portName();
#else
        names << info.systemLocation();
#endif
    }
    // COM2 before COM10; device paths in plain order.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int na = Com_Port_Number(a), nb = Com_Port_Number(b);
        if (na && nb) return na < nb;
        if (na != nb) return na != 0;
        return a < b;
    });
    names.removeDuplicates();
    return names;
}

bool Com_Port_Exists(const QString &name)
{
    if (name.trimmed().isEmpty()) return false;
    QSerialPort p;
    p.setPortName(name.trimmed());
    if (p.open(QIODevice::ReadWrite)) {
        p.close();
        return true;
    }
    return p.error() == QSerialPort::PermissionError;  // held by another program
}

// ---------------------------------------------------------------------------------------

Serial_Port::Serial_Port(const QString &device, uint32_t rate)
    : Dev(device.trimmed()), Cur_Rate(Clamp_Baud(rate))
{
}

Serial_Port::~Serial_Port()
{
    Close();
}

bool Serial_Port::Open()
{
    Close();
    Busy = false;
    Lost = false;
    Close_Posted = false;
    Line_Error_Count = 0;
    Last_Error.clear();
    Ser = std::make_unique<QSerialPort>();
    Ser->setPortName(Dev);
    QObject::connect(Ser.get(), &QSerialPort::errorOccurred, Ser.get(),
                     [this](QSerialPort::SerialPortError e) { On_Error(int(e)); });
    if (!Ser->open(QIODevice::ReadWrite)) {
        Busy = Ser->error() == QSerialPort::PermissionError;
        Last_Error = Ser->errorString();
        Ser.reset();
        return false;
    }
    const bool ok = Ser->setDataBits(QSerialPort::Data8) && Ser->setParity(QSerialPort::NoParity)
                    && Ser->setStopBits(QSerialPort::OneStop)
                    && Ser->setFlowControl(QSerialPort::NoFlowControl)
                    && Ser->setBaudRate(qint32(Cur_Rate));
    if (!ok) {
        Last_Error = Ser->errorString();
        Ser->close();
        Ser.reset();
        return false;
    }
    // The link adapter keys its transmitter by RTS: keep it dropped until a send.
    // A device without modem lines (a pseudo-terminal) refuses both: not an error here.
    Set_Rts(false);
    Set_Dtr(true);
    Ser->clear(QSerialPort::AllDirections);
    Ser->clearError();
    return true;
}

bool Serial_Port::Is_Open() const
{
    return Ser && Ser->isOpen() && !Lost;
}

void Serial_Port::Close()
{
    if (!Ser) return;
    if (Ser->isOpen()) Ser->close();
    // Deleted only here or in the destructor, never inside one of its own signals.
    Ser.reset();
}

void Serial_Port::On_Error(int code)
{
    const auto e = QSerialPort::SerialPortError(code);
    if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError) return;
    ++Line_Error_Count;
    // Once the other end has gone the device reports this error on every poll; the first
    // one closes the port. Closing is deferred out of the signal (the port object is still
    // inside its own read handler); every port call checks Lost first.
    if (Lost) return;
    Lost = true;
    Last_Error = Ser ? Ser->errorString() : QString();
    if (!Close_Posted && Ser) {
        Close_Posted = true;
        QSerialPort *s = Ser.get();
        QMetaObject::invokeMethod(
            s, [s] { if (s->isOpen()) s->close(); }, Qt::QueuedConnection);
    }
}

bool Serial_Port::Close_If_Lost()
{
    if (!Lost) return false;
    if (Ser && Ser->isOpen()) Ser->close();
    return true;
}

bool Serial_Port::Set_Rate(uint32_t rate)
{
    if (!Is_Open()) return false;
    const uint32_t r = Clamp_Baud(rate);
    if (r == Cur_Rate && Ser->baudRate() == qint32(r)) return true;
    if (!Ser->setBaudRate(qint32(r))) {
        Ser->clearError();
        return false;
    }
    Cur_Rate = r;
    return true;
}

void Serial_Port::Purge()
{
    if (!Is_Open()) return;
    Ser->clear(QSerialPort::AllDirections);
    Ser->clearError();
}

bool Serial_Port::Set_Rts(bool on)
{
    if (!Is_Open()) return false;
    const bool ok = Ser->setRequestToSend(on);
    if (!ok) Ser->clearError();
    return ok;
}

bool Serial_Port::Set_Dtr(bool on)
{
    if (!Is_Open()) return false;
    const bool ok = Ser->setDataTerminalReady(on);
    if (!ok) Ser->clearError();
    return ok;
}

bool Serial_Port::Write(const uint8_t *data, int len)
{
    if (!Is_Open() || len < 0 || (len > 0 && !data)) return false;
    if (len == 0) return true;
    if (Ser->write(reinterpret_cast<const char *>(data), len) != len) return false;
    // Without an event loop nothing leaves Qt's buffer by itself: push it into the driver,
    // bounded by the time the bytes take on the line plus a generous margin.
    const int64_t line_ms = int64_t(len + 1) * 10 * 1000 / std::max<uint32_t>(Cur_Rate, 1);
    const int64_t limit_ms = line_ms + 2000;
    QElapsedTimer t;
    t.start();
    while (Ser->bytesToWrite() > 0) {
        const int64_t left = limit_ms - t.elapsed();
        if (left <= 0 || Close_If_Lost()) return false;
        Ser->waitForBytesWritten(int(std::min<int64_t>(left, 100)));
        if (Close_If_Lost()) return false;
    }
    Ser->clearError();
    return true;
}

void Serial_Port::Drain()
{
    if (!Is_Open()) return;
    QElapsedTimer t;
    t.start();
    while (Ser->bytesToWrite() > 0 && t.elapsed() < 5000) {
        Ser->waitForBytesWritten(100);
        if (Close_If_Lost()) return;
    }
#if defined(Q_OS_UNIX)
    ::tcdrain(int(Ser->handle()));
#elif defined(Q_OS_WIN)
    ::FlushFileBuffers(Ser->handle());
#endif
    Ser->clearError();
}

int Serial_Port::Read_Byte(uint8_t &b)
{
    if (!Ser || Close_If_Lost() || !Ser->isOpen()) return -1;
    if (Ser->bytesAvailable() <= 0) {
        Ser->waitForReadyRead(0);  // takes what the driver holds, never waits
        if (Close_If_Lost()) return -1;
        if (Ser->bytesAvailable() <= 0) {
            Ser->clearError();
            return 0;
        }
    }
    char c = 0;
    if (!Ser->getChar(&c)) return -1;
    b = uint8_t(c);
    return 1;
}

bool Serial_Port::Wait_Readable(int timeout_ms)
{
    if (!Ser || Close_If_Lost() || !Ser->isOpen()) {
        // Nothing will ever arrive; sleep the slice so the caller's wait does not spin.
        if (timeout_ms > 0) QThread::msleep(ulong(timeout_ms));
        return false;
    }
    if (Ser->bytesAvailable() > 0) return true;
    Ser->waitForReadyRead(std::max(timeout_ms, 0));
    if (Close_If_Lost()) return false;
    const bool any = Ser->bytesAvailable() > 0;
    if (!any) Ser->clearError();
    return any;
}

void Serial_Port::Clear_Error()
{
    if (Ser) Ser->clearError();
}

std::unique_ptr<Port> Make_Serial_Port(hgcbox &box)
{
    return std::make_unique<Serial_Port>(Port_Device(box.Port_Name, box.COMPort), box.Rate);
}
