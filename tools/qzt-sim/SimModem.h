#pragma once
// Hayes modem front end of the simulator: the program talks AT commands to it over a
// pseudo-terminal (put it behind a Sim_Pty, which runs the line in its own thread); after a
// dial that the test lets connect, the bytes are bridged to the controller endpoint
// (normally the Sim_Core) until "+++" with its guard times brings the modem back to
// command mode. What the modem answers to AT+CPAS and to ATD is chosen by the test.
//
// Commands known: AT, E0/E1, V0/V1, Z, &F (defaults: echo on, verbose), other &x, S registers,
// Q/X/M/L/B/N/W with a digit, H (hang up), D (dial), +CPAS and other extended commands (OK).
// Anything else answers ERROR. A line without "AT" is ignored. Any byte while the modem
// dials abandons the dial ("NO CARRIER"; that byte is lost, as on a real modem).
// DTR is not visible on a pseudo-terminal, so a DTR drop cannot hang this modem up.
#include "Sim.h"

#include <QByteArray>
#include <QMutex>
#include <QStringList>
#include <QWaitCondition>
#include <cstdint>

class Sim_Modem final : public Sim_Endpoint {
public:
    enum class Dial_Result { Connect, Busy, No_Carrier, No_Dialtone, No_Answer, Error, Silent };

    // controller: where data-mode bytes go (not owned); null drops them.
    explicit Sim_Modem(Sim_Endpoint *controller = nullptr);

    // The answer to the next dials and the time the modem takes to give it.
    void Set_Dial_Result(Dial_Result r, int delay_ms = 50);
    // The answer to AT+CPAS: a state 0..9 ("+CPAS: n" and OK), or -1 for ERROR.
    void Set_Cpas(int state);
    // Escape guard time (default 1000 ms, the S12 register's factory value).
    void Set_Guard_Ms(int ms);
    // A modem that answers nothing at all (switched off).
    void Set_Dead(bool dead);

    // Every command line as received (from "AT" on, without CR), "+++" for an escape taken,
    // "DIAL ABORTED" when a byte ended a dial, "CONNECT" when a call came up,
    // "ON HOOK" when a call was hung up.
    QStringList Command_Log() const;
    void Clear_Log();
    // Blocks until an entry equal to text (case-insensitive) is logged or timeout_ms passed.
    bool Wait_For_Log(const QString &text, int timeout_ms) const;
    // Bytes handed to the controller and returned from it in data mode.
    QByteArray Data_In() const;
    QByteArray Data_Out() const;
    bool Online() const;      // data mode
    bool Off_Hook() const;    // a call is up (data mode, or command mode after "+++")
    bool Echo() const;

    // Sim_Endpoint.
    QList<Sim_Chunk> Receive(const QByteArray &bytes, int64_t now_ms) override;
    QList<Sim_Chunk> Poll(int64_t now_ms) override;
    int Poll_Interval_Ms() const override { return 10; }
    void Reset_Line() override;

private:
    enum class Mode { Command, Dialling, Data };
    void Command_Byte(char c, int64_t now_ms, QList<Sim_Chunk> &out);
    void Run_Line(const QByteArray &line, int64_t now_ms, QList<Sim_Chunk> &out);
    void Result(const char *word, int code, int64_t at_ms, QList<Sim_Chunk> &out) const;
    void Data_Bytes(const QByteArray &bytes, int64_t now_ms, QList<Sim_Chunk> &out);
    void To_Controller(const QByteArray &bytes, int64_t now_ms, QList<Sim_Chunk> &out);
    void Hang_Up_Locked();
    void Log(const QString &s);

    Sim_Endpoint *Ctl;
    mutable QMutex Mx;
    mutable QWaitCondition Log_Cond;
    // Settings.
    Dial_Result Dial = Dial_Result::Connect;
    int Dial_Delay_Ms = 50;
    int Cpas = 0;
    int Guard_Ms = 1000;
    bool Dead = false;
    // State.
    Mode Md = Mode::Command;
    bool Echo_On = true;
    bool Verbose = true;
    bool Call_Up = false;
    QByteArray Line;
    int64_t Dial_Due_Ms = 0;
    int64_t Last_Data_Ms = 0;
    int Pluses = 0;
    int64_t Last_Plus_Ms = 0;
    // Records.
    QStringList Cmd_Log;
    QByteArray In_Data, Out_Data;
};
