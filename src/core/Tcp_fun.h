#pragma once
// TCP link: the program is a client of the controller (or of a gateway in front of it).
// Address resolution, a connect bounded by the user's connection wait, and the TCP
// implementation of Port that the exchange engine sends and receives through.
#include "core/Port.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class Clock;
class hgcbox;
struct Ethr_Abonent;
struct Ethernet_Conn_Par_Rec;

// An IPv4 socket address, both parts in host byte order.
struct Sock_Addr {
    uint32_t ip = 0;      // first dotted part in the most significant byte
    uint16_t port = 0;
};

// Starts the socket library (Windows); shows "Не удалось найти необходимую DLL-версию
// WinSock" and gives false when it cannot. Elsewhere always true.
bool Init_WinSock();
// Releases the socket library (Windows); nothing elsewhere.
void Done_WinSock();

// The address of a dotted IPv4 text. The all-ones address counts only as the literal
// "255.255.255.255".
bool Inet_Aton(const QString &text, uint32_t &ip);

// Fills the address from a host text (dotted or a name to look up; empty: any address)
// and a service text (a number in C notation: decimal, 0x hex, 0 octal; or a service name
// looked up for the protocol). Shows "неизвестный хост: %s" / "неизвестный сервис: %s"
// and gives false when either cannot be resolved.
bool Set_Address(const QString &host, const QString &service, Sock_Addr &out,
                 const QString &protocol = QStringLiteral("tcp"));

// A connected TCP stream: requests go out in one piece, replies are read byte by byte.
class Tcp_Port final : public Port {
public:
    enum class Result { Connected, No_Socket, Timed_Out, Bad_Address };

    // connect_wait_ms bounds the whole connect; pump (may be empty) serves window events
    // while it waits; clock gives the deadline.
    Tcp_Port(const Sock_Addr &addr, int64_t connect_wait_ms, Clock &clock,
             std::function<void()> pump = {});
    ~Tcp_Port() override;
    Tcp_Port(const Tcp_Port &) = delete;
    Tcp_Port &operator=(const Tcp_Port &) = delete;

    // Tries to connect until the wait has passed: a fresh non-blocking socket per attempt,
    // each attempt bounded by what is left, a short pause after a refusal. The unset
    // address 0.0.0.0 (and a zero port) is refused without dialling.
    Result Connect();
    // Port: Open is Connect() == Connected.
    bool Open() override;
    bool Is_Open() const override;
    void Close() override;
    bool Set_Rate(uint32_t) override { return true; }
    // Drops whatever has arrived and not been read.
    void Purge() override;
    bool Set_Rts(bool) override { return false; }
    bool Set_Dtr(bool) override { return false; }
    bool Write(const uint8_t *data, int len) override;
    void Drain() override {}
    int Read_Byte(uint8_t &b) override;
    bool Wait_Readable(int timeout_ms) override;
    void Clear_Error() override {}

    // Connect attempts made by the last Connect (one per fresh socket).
    int Attempts() const { return Attempt_Count; }
    // The connection was closed by the other side or failed while reading or writing.
    bool Was_Lost() const { return Lost; }

    // Pause after a refused attempt, ms; tests may shorten it.
    int Retry_Pause_Ms = 200;

private:
    void Drop();

    Sock_Addr Addr;
    int64_t Wait_Ms;
    Clock &Clk;
    std::function<void()> Pump;
    intptr_t Fd = -1;        // -1: no socket
    bool Lost = false;
    int Attempt_Count = 0;
};

// Connects the exchange object to an Ethernet subscriber (address kept as in the list,
// port, controller address) with the Ethernet link parameters, waiting up to
// connect_wait_s seconds. On success the engine holds the socket as its link, no serial
// port, Conn_Prz 2, Do_Close_Port 0, Adr = contr_adr, WaitTime in ms, TimeOut, Preambles
// and Repeat; after a pause of pause_ms (no events served). Failures are shown at once
// ("Ошибка вызова socket", "Превышено время ожидания соединения сервер/клиент", or the
// unknown-host text for an unset address) and leave no socket open. Events are served
// through box.Pump while it waits; time comes from box.Clk.
struct Ethr_Link {
    uint32_t ip_adr = 0;
    uint32_t port = 0;
    uint8_t contr_adr = 1;
    uint32_t connect_wait_s = 10;
    uint32_t wait_time_s = 5;       // first reply byte, seconds
    uint32_t time_out_ms = 300;     // between reply bytes
    uint8_t preambles = 5;
    uint8_t repeat = 1;
};
bool Connect_Ethernet(hgcbox &box, const Ethr_Link &link, int pause_ms = 1000);
// The same for a subscriber of the Ethernet list with the Ethernet part of the settings.
bool Connect_Ethernet(hgcbox &box, const Ethr_Abonent &abonent, const Ethernet_Conn_Par_Rec &par,
                      int pause_ms = 1000);
