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

class hgcbox {
public:
    explicit hgcbox(uint8_t adr);
    ~hgcbox();
    hgcbox(const hgcbox &) = delete;
    hgcbox &operator=(const hgcbox &) = delete;

    // One complete exchange; on success the reply is in Resp_Buf.
    bool Exchange(uint8_t func, const uint8_t *data, int len, uint8_t link_chan = 0);
    // One attempt (send and receive) of a frame of the given length; used by Exchange.
    bool Transact(int frame_len);
    // "Команда %d.  %s" for the last exchange, also left in Mes_Buf.
    QString Err_Text();
    // Formats a controller error code into Mes_Buf and points entry 8 at it.
    void Set_Contr_Err(int code);
    // Opens the serial port for an exchange (retrying a busy port for Free_Port_Wait s).
    bool Open_Port();
    // Releases whatever link is open.
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
    uint8_t Repeat = 2;
    QString Err_Mes[ERR_MES_COUNT];
    uint32_t Err_Code = 0;
    double Last_Exch_Time = 0;         // date-time value of the end of the last exchange
    std::function<void(const QString &)> Status_Panel;  // shows "Обмен..." during an exchange
    QString Mes_Buf;
    uint8_t Func = 0;

    // Seams for the program and the tests.
    Clock *Clk = &System_Clock();
    // Serves pending window events while the reply is awaited.
    std::function<void()> Pump;
    // Makes the serial port for Open_Port from Port_Name, Rate...; set by the link code.
    std::function<std::unique_ptr<Port>(hgcbox &)> Make_Serial_Port;
    // Fixed pauses in ms: before a send on the direct line (2), before a TCP send (500),
    // after closing the port (150). Tests shorten them.
    int Pause_Rts_Us = 2000;
    int Pause_Tcp_Ms = 500;
    int Pause_Close_Ms = 150;

private:
    bool Busy = false;
};
