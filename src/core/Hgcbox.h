#pragma once
// hgcbox: the one request/response exchange object between the program and the controller.
// Builds a request frame for a function code, sends it through a Port, receives and
// validates the reply byte by byte, repeats on failure, keeps the last error and its text.
#include "core/Clock.h"
#include "core/Port.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

constexpr int ERR_MES_COUNT = 87;      // engine texts 0..22, controller errors 1..64 at 23..86

// Engine error codes (Err_Code). Controller errors are reported as ERR_CONTR with the
// controller's own code in Resp_Buf[4].
enum : uint32_t {
    ERR_OK = 0,
    ERR_START = 1,          // request frame does not start with 0xCC
    ERR_FUNC = 2,           // unknown function code, nothing sent
    ERR_WRITE = 3,          // serial write failed
    ERR_REQ_LEN = 4,        // request data length impossible for the frame, nothing sent
    ERR_GAP = 5,            // gap between reply bytes too long
    ERR_PORT = 6,           // serial port could not be opened
    ERR_CRC = 7,            // reply CRC wrong
    ERR_CONTR = 8,          // controller reported an error
    ERR_REQ_DATA = 9,       // request data missing, nothing sent
    ERR_NO_ANSWER = 10,     // no reply started in time
    ERR_BUSY = 11,          // another exchange is running (nested call), nothing sent
    ERR_STOPPED = 19,       // End_Prz
    ERR_SEND = 20,          // TCP send failed
    ERR_RECV = 21,          // TCP receive failed
};

class hgcbox {
public:
    explicit hgcbox(uint8_t adr);
    ~hgcbox();
    hgcbox(const hgcbox &) = delete;
    hgcbox &operator=(const hgcbox &) = delete;

    // One complete exchange; on success the reply is in Resp_Buf.
    // Functions 1, 7, 8, 12, 14, 15 and 16 take their fixed number of bytes from data
    // (3, 7, 15, 2, 13, 11, 9): len 0 or at least that count (a shorter len is refused,
    // nothing sent), data must hold that many;
    // function 2 takes len bytes (table, first, count, field bytes: 3..232);
    // 25, 32 and 33 take none.
    bool Exchange(uint8_t func, const uint8_t *data, int len, uint8_t link_chan = 0);
    // One attempt (send and receive) of the frame of the given length already in Req_Buf;
    // used by Exchange.
    bool Transact(int frame_len);
    // "Команда %d.  %s" for the last exchange, also left in Mes_Buf.
    QString Err_Text();
    // Formats a controller error code into Mes_Buf and sets entry 8 to it.
    void Set_Contr_Err(int code);
    // Opens the serial port for an exchange (retrying a busy port for Free_Port_Wait s).
    bool Open_Port();
    // The text of error 6: "COM%d" for a COM port, else the device path.
    QString Port_Text() const;
    // Releases whatever link is open (socket and serial port).
    void Close_Link();
    // True while an exchange runs (a nested one is refused).
    bool In_Exchange() const { return Busy; }

    // Fields, in the controller program's order.
    uint8_t End_Prz = 0;
    uint8_t Req_Buf[256] = {};
    uint8_t Resp_Buf[256] = {};
    uint8_t Conn_Prz = 0;              // 0 direct line, 1 modem, 2 Ethernet
    uint8_t COMPort = 1;               // serial port number, kept for the ini file
    QString Port_Name;                 // serial device name (e.g. /dev/ttyUSB0, COM3)
    std::unique_ptr<Port> Port_Handle; // open serial port (direct line or modem), or null
    std::unique_ptr<Port> Sock;        // connected TCP socket, or null
    uint32_t Free_Port_Wait = 1;
    uint8_t Do_Close_Port = 1;
    uint8_t Adr;
    uint32_t Rate = 1200;
    uint8_t Preambles = 0;
    char Write_Pass[12];
    char User_Code[4];
    uint32_t TimeOut = 10;             // ms between reply bytes
    uint32_t WaitTime = 2000;          // ms for the start of the reply
    uint8_t Repeat = 2;                // attempts; 0 is taken as 1
    QString Err_Mes[ERR_MES_COUNT];
    uint32_t Err_Code = 0;
    double Last_Exch_Time = 0;         // end of the last exchange: days since 1899-12-30, local time
    static QString Busy_Text() { return QStringLiteral("Обмен..."); }
    std::function<void(const QString &)> Status_Panel;  // shows Busy_Text() during an exchange
    QString Mes_Buf;
    uint8_t Func = 0;

    // Seams for the program and the tests.
    Clock *Clk = &System_Clock();
    // Serves pending window events while the reply is awaited. It may close the link
    // (Close_Link) or set End_Prz; a nested Exchange from it is refused.
    std::function<void()> Pump;
    // Makes the (not yet opened) serial port for Open_Port from Port_Name, Rate...;
    // set by the link code.
    std::function<std::unique_ptr<Port>(hgcbox &)> Make_Serial_Port;
    // Fixed pauses: before a send on the direct line (2 ms), before a TCP send (500 ms),
    // after closing the port (150 ms), after raising DTR on open (100 ms), between two
    // tries to open a busy port. Tests and the benchmark shorten them.
    int Pause_Rts_Us = 2000;
    int Pause_Tcp_Ms = 500;
    int Pause_Close_Ms = 150;
    int Pause_Dtr_Ms = 100;
    int Open_Retry_Ms = 50;

private:
    Port *Link_Port() const;
    bool Send_Frame(int frame_len);
    uint32_t Receive_Reply();
    bool Busy = false;
};

// Current local date and time as days since 1899-12-30 (the controller program's
// date-time value).
double Now_Date_Time();
