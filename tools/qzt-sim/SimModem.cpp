#include "SimModem.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <algorithm>

namespace {
constexpr int REPLY_DELAY_MS = 5;
constexpr int CMD_LINE_MAX = 256;

bool Is_Digit(char c) { return c >= '0' && c <= '9'; }
} // namespace

Sim_Modem::Sim_Modem(Sim_Endpoint *controller) : Ctl(controller) {}

void Sim_Modem::Set_Dial_Result(Dial_Result r, int delay_ms)
{
    QMutexLocker l(&Mx);
    Dial = r;
    Dial_Delay_Ms = std::max(0, delay_ms);
}

void Sim_Modem::Set_Cpas(int state)
{
    QMutexLocker l(&Mx);
    Cpas = state;
}

void Sim_Modem::Set_Guard_Ms(int ms)
{
    QMutexLocker l(&Mx);
    Guard_Ms = std::max(20, ms);
}

void Sim_Modem::Set_Dead(bool dead)
{
    QMutexLocker l(&Mx);
    Dead = dead;
}

QStringList Sim_Modem::Command_Log() const
{
    QMutexLocker l(&Mx);
    return Cmd_Log;
}

void Sim_Modem::Clear_Log()
{
    QMutexLocker l(&Mx);
    Cmd_Log.clear();
}

bool Sim_Modem::Wait_For_Log(const QString &text, int timeout_ms) const
{
    QDeadlineTimer dl(timeout_ms);
    QMutexLocker l(&Mx);
    for (;;) {
        for (const QString &s : Cmd_Log)
            if (s.compare(text, Qt::CaseInsensitive) == 0) return true;
        if (!Log_Cond.wait(&Mx, dl)) return false;
    }
}

QByteArray Sim_Modem::Data_In() const
{
    QMutexLocker l(&Mx);
    return In_Data;
}

QByteArray Sim_Modem::Data_Out() const
{
    QMutexLocker l(&Mx);
    return Out_Data;
}

bool Sim_Modem::Online() const
{
    QMutexLocker l(&Mx);
    return Md == Mode::Data;
}

bool Sim_Modem::Off_Hook() const
{
    QMutexLocker l(&Mx);
    return Call_Up;
}

bool Sim_Modem::Echo() const
{
    QMutexLocker l(&Mx);
    return Echo_On;
}

void Sim_Modem::Log(const QString &s)
{
    Cmd_Log << s;
    Log_Cond.wakeAll();
}

void Sim_Modem::Result(const char *word, int code, int64_t at_ms, QList<Sim_Chunk> &out) const
{
    Sim_Chunk c;
    c.at_ms = at_ms;
    c.bytes = Verbose ? QByteArray("\r\n") + word + "\r\n" : QByteArray::number(code) + '\r';
    out << c;
}

QList<Sim_Chunk> Sim_Modem::Receive(const QByteArray &bytes, int64_t now_ms)
{
    QMutexLocker l(&Mx);
    QList<Sim_Chunk> out;
    if (Dead) return out;
    QByteArray data;
    for (char c : bytes) {
        switch (Md) {
        case Mode::Dialling:
            // A key pressed while dialling abandons the call; the key itself is lost.
            Md = Mode::Command;
            Log("DIAL ABORTED");
            Result("NO CARRIER", 3, now_ms + REPLY_DELAY_MS, out);
            break;
        case Mode::Data: {
            // "+++" counts only after a guard time of silence and with the pluses close
            // together; the guard time after it is awaited in Poll.
            const bool plus_ok = c == '+' && Pluses < 3
                                 && (Pluses > 0 ? now_ms - Last_Plus_Ms < Guard_Ms
                                                : now_ms - Last_Data_Ms >= Guard_Ms);
            if (plus_ok) {
                ++Pluses;
                Last_Plus_Ms = now_ms;
            } else {
                data.append(QByteArray(Pluses, '+'));
                data.append(c);
                Pluses = 0;
            }
            Last_Data_Ms = now_ms;
            break;
        }
        case Mode::Command:
            Command_Byte(c, now_ms, out);
            break;
        }
    }
    if (!data.isEmpty()) To_Controller(data, now_ms, out);
    return out;
}

void Sim_Modem::Command_Byte(char c, int64_t now_ms, QList<Sim_Chunk> &out)
{
    if (Echo_On) {
        // Echo goes out at once, ahead of any result (equal times keep their order).
        if (!out.isEmpty() && out.last().at_ms == now_ms) out.last().bytes.append(c);
        else out << Sim_Chunk{now_ms, QByteArray(1, c), false};
    }
    if (c == '\r') {
        const QByteArray line = Line;
        Line.clear();
        Run_Line(line, now_ms, out);
    } else if (c == '\b') {
        Line.chop(1);
    } else if (c != '\n' && Line.size() < CMD_LINE_MAX) {
        Line.append(c);
    }
}

void Sim_Modem::Run_Line(const QByteArray &line, int64_t now_ms, QList<Sim_Chunk> &out)
{
    const int start = int(line.toUpper().indexOf("AT"));
    if (start < 0) return;
    const QByteArray cmd = line.mid(start);
    const QByteArray up = cmd.toUpper();
    Log(QString::fromLatin1(cmd));

    const int64_t at = now_ms + REPLY_DELAY_MS;
    const int n = int(up.size());
    int pos = 2;
    auto number = [&]() {
        int v = 0;
        bool any = false;
        while (pos < n && Is_Digit(up[pos])) {
            v = std::min(v * 10 + (up[pos++] - '0'), 9999);
            any = true;
        }
        return any ? v : 0;
    };
    auto defaults = [&]() {
        Echo_On = true;
        Verbose = true;
    };

    QByteArray info;   // information lines ahead of the final result
    bool error = false;
    while (pos < n && !error) {
        const char c = up[pos++];
        switch (c) {
        case ' ':
            break;
        case 'E':
            Echo_On = number() != 0;
            break;
        case 'V':
            Verbose = number() != 0;
            break;
        case 'Z':
            number();
            defaults();
            break;
        case '&':
            if (pos < n && up[pos++] == 'F') defaults();
            number();
            break;
        case 'S':
            number();
            if (pos < n && (up[pos] == '=' || up[pos] == '?')) ++pos;
            number();
            break;
        case 'Q': case 'X': case 'M': case 'L': case 'B': case 'N': case 'W':
            number();
            break;
        case 'H':
            number();
            Hang_Up_Locked();
            break;
        case 'D':
            // The rest of the line is the number: the result comes when the call is decided.
            Md = Mode::Dialling;
            Dial_Due_Ms = now_ms + Dial_Delay_Ms;
            return;
        case '+': {
            int end = int(up.indexOf(';', pos));
            if (end < 0) end = n;
            const QByteArray ext = up.mid(pos - 1, end - pos + 1);
            pos = end + 1;
            if (ext == "+CPAS") {
                if (Cpas < 0) error = true;
                else info += Verbose ? "\r\n+CPAS: " + QByteArray::number(Cpas) + "\r\n"
                                     : "+CPAS: " + QByteArray::number(Cpas) + "\r\n";
            }
            break;
        }
        default:
            error = true;
            break;
        }
    }
    if (error) {
        Result("ERROR", 4, at, out);
        return;
    }
    if (!info.isEmpty()) out << Sim_Chunk{at, info, false};
    Result("OK", 0, at, out);
}

void Sim_Modem::Hang_Up_Locked()
{
    if (Call_Up) {
        Log("ON HOOK");
        if (Ctl) Ctl->Reset_Line();
    }
    Call_Up = false;
    Pluses = 0;
    Md = Mode::Command;
}

void Sim_Modem::To_Controller(const QByteArray &bytes, int64_t now_ms, QList<Sim_Chunk> &out)
{
    In_Data += bytes;
    if (!Ctl) return;
    for (const Sim_Chunk &c : Ctl->Receive(bytes, now_ms)) {
        Out_Data += c.bytes;
        out << c;
    }
}

QList<Sim_Chunk> Sim_Modem::Poll(int64_t now_ms)
{
    QMutexLocker l(&Mx);
    QList<Sim_Chunk> out;
    if (Dead) return out;
    if (Md == Mode::Dialling && Dial != Dial_Result::Silent && now_ms >= Dial_Due_Ms) {
        Md = Mode::Command;
        switch (Dial) {
        case Dial_Result::Connect:
            Md = Mode::Data;
            Call_Up = true;
            Pluses = 0;
            Last_Data_Ms = now_ms;
            Log("CONNECT");
            Result("CONNECT 9600", 1, now_ms, out);
            break;
        case Dial_Result::Busy: Result("BUSY", 7, now_ms, out); break;
        case Dial_Result::No_Carrier: Result("NO CARRIER", 3, now_ms, out); break;
        case Dial_Result::No_Dialtone: Result("NO DIALTONE", 6, now_ms, out); break;
        case Dial_Result::No_Answer: Result("NO ANSWER", 8, now_ms, out); break;
        case Dial_Result::Error: Result("ERROR", 4, now_ms, out); break;
        case Dial_Result::Silent: break;
        }
    } else if (Md == Mode::Data && Pluses > 0 && now_ms - Last_Plus_Ms >= Guard_Ms) {
        if (Pluses == 3) {
            // Escape taken: command mode with the call still up.
            Pluses = 0;
            Md = Mode::Command;
            Line.clear();
            Log("+++");
            Result("OK", 0, now_ms, out);
        } else {
            // Too few pluses: they were data after all.
            const QByteArray held(Pluses, '+');
            Pluses = 0;
            To_Controller(held, now_ms, out);
        }
    }
    return out;
}

void Sim_Modem::Reset_Line()
{
    QMutexLocker l(&Mx);
    Line.clear();
    Pluses = 0;
    if (Ctl) Ctl->Reset_Line();
}
