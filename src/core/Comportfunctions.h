#pragma once
// Serial line: the table of baud rates the controller stores by index, the serial
// implementation of Port (direct line and modem), the list of the system's serial ports
// and the factory the exchange engine opens its port with.
#include "core/Port.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QSerialPort;
class hgcbox;

constexpr int BAUD_COUNT = 22;
// Indexed as the controller stores a rate (table 3 field 1 and the link tables).
inline constexpr uint32_t Baud_Rates[BAUD_COUNT] = {
    300,   600,   1200,  2400,  3200,  3600,  4800,  5760,   6400,   7200,   7680,
    9600,  11520, 12800, 14400, 19200, 23040, 28800, 38400, 57600, 115200, 230400};

// Index of a rate in Baud_Rates, -1 when absent.
int Baud_Index(uint32_t baud);
// The rate at index 0..21; 0 for any other index.
uint32_t Baud_By_Index(int index);
// A rate clamped to what the port set-up accepts (110..256000).
uint32_t Clamp_Baud(uint32_t baud);

// The serial device of a port number (the settings keep the number): "COM%d" on Windows;
// on Linux the same port's device, "/dev/ttyS%d" of the number less one, so that the status
// bar, the link dialog and the port opened all name one device.
QString Com_Port_Name(int com_port);
// The number of a "COM%d" name (any case) or of the device Com_Port_Name gives for it;
// 0 for any other device path or text.
int Com_Port_Number(const QString &name);
// "Коммуникационный порт ... недоступен" for a device: "СОМ%d" where it is named that way.
QString Port_Unavailable_Text(const QString &device);
// The system's serial ports by device name ("COM3" on Windows, "/dev/ttyUSB0" elsewhere),
// sorted. Pseudo-terminals are not listed: the dialog also accepts a typed path.
QStringList Serial_Port_List();
// True when the device can be opened or is held by another program (busy still exists).
bool Com_Port_Exists(const QString &name);

// The device chosen for the direct (0) and telephone (1) links, kept beside their COMPort
// number for a device that has no COM number (/dev/ttyUSB0, a typed path); empty: the
// device is "COM%d" of COMPort.
extern QString Link_Port_Name[2];
// The device a port is opened as and named by: a name given for it (a COM-numbered name
// in its Com_Port_Name form), else Com_Port_Name of com_port.
QString Port_Device(const QString &name, int com_port);
// The device of a link type: Port_Device of its chosen name and com_port.
QString Link_Device(int conn_prz, int com_port);

// A serial port opened 8N1 without flow control; reads never block unless asked to wait.
class Serial_Port final : public Port {
public:
    Serial_Port(const QString &device, uint32_t rate);
    ~Serial_Port() override;
    Serial_Port(const Serial_Port &) = delete;
    Serial_Port &operator=(const Serial_Port &) = delete;

    // Opens, sets 8N1 and the rate, drops RTS and raises DTR (a device without those
    // lines is accepted). False when the device is missing, busy or cannot be set up.
    bool Open() override;
    bool Is_Open() const override;
    void Close() override;
    bool Set_Rate(uint32_t rate) override;
    void Purge() override;
    bool Set_Rts(bool on) override;
    bool Set_Dtr(bool on) override;
    bool Write(const uint8_t *data, int len) override;
    void Drain() override;
    int Read_Byte(uint8_t &b) override;
    bool Wait_Readable(int timeout_ms) override;
    void Clear_Error() override;

    // Why the last Open failed: busy (held by another program) or anything else.
    bool Was_Busy() const { return Busy; }
    QString Error_String() const { return Last_Error; }
    // The line went away (read or resource error); the port has been closed.
    bool Was_Lost() const { return Lost; }
    // Read and resource errors the device has reported since Open (stays small: the first
    // one closes the port).
    int Line_Errors() const { return Line_Error_Count; }
    const QString &Device() const { return Dev; }
    uint32_t Rate() const { return Cur_Rate; }

private:
    void On_Error(int code);
    bool Close_If_Lost();

    QString Dev;
    uint32_t Cur_Rate;
    std::unique_ptr<QSerialPort> Ser;
    bool Busy = false;
    bool Lost = false;
    bool Close_Posted = false;
    int Line_Error_Count = 0;
    QString Last_Error;
};

// The serial port the engine opens for a link: Port_Name when set, else "COM%d" of COMPort,
// at the engine's Rate. Install it with Exch_Box->Make_Serial_Port = Make_Serial_Port.
std::unique_ptr<Port> Make_Serial_Port(hgcbox &box);
