#pragma once
// Transports of the simulator. Each runs its own thread with an event loop, so that a test
// on the main thread can run the program's blocking exchange engine against it. Both feed
// a Sim_Endpoint (the core, or a front end such as a modem that bridges to the core) and
// send its timed chunks.
#include "Sim.h"

#include <QString>
#include <cstdint>
#include <memory>

// TCP server on 127.0.0.1. One line: the endpoint sees the bytes of every client as one
// stream (the program keeps one connection at a time).
class Sim_Tcp {
public:
    explicit Sim_Tcp(Sim_Endpoint &ep);
    ~Sim_Tcp();
    Sim_Tcp(const Sim_Tcp &) = delete;
    Sim_Tcp &operator=(const Sim_Tcp &) = delete;

    // Listens on 127.0.0.1:port (0: an ephemeral port); returns once listening or failed.
    bool Start(uint16_t port = 0);
    void Stop();
    uint16_t Port() const;
    QString Error() const;

    // Stops listening for ms (connections are refused), then listens on the same port again.
    void Refuse_For(int ms);
    // Each new connection is served only ms after it came (0: at once).
    void Set_Accept_Delay(int ms);
    // Closes every open connection.
    void Drop_Clients();
    // Connections accepted since Start, and those still open.
    int Accepted_Count() const;
    int Open_Count() const;
    // True while reply bytes wait for their time or for the socket.
    bool Output_Pending() const;
    // Sends bytes to every served connection now.
    void Send(const QByteArray &bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Pseudo-terminal: the program opens Slave_Path() as its serial port; the simulator holds
// the master (and keeps a slave descriptor open, so that the program may close and reopen).
class Sim_Pty {
public:
    explicit Sim_Pty(Sim_Endpoint &ep);
    ~Sim_Pty();
    Sim_Pty(const Sim_Pty &) = delete;
    Sim_Pty &operator=(const Sim_Pty &) = delete;

    bool Start();
    void Stop();
    QString Slave_Path() const;
    QString Error() const;
    // The baud rate the program set on the line (read back from the terminal settings),
    // 0 when not known.
    uint32_t Rate() const;
    // The rate the line had when bytes last came in (QSerialPort puts the old settings back
    // when the program closes the port, so Rate() alone misses a port opened per exchange).
    uint32_t Input_Rate() const;
    // True while reply bytes wait for their time.
    bool Output_Pending() const;
    // Sends bytes to the program now.
    void Send(const QByteArray &bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};
