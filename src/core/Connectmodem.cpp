#include "core/Connectmodem.h"

#include "core/Hgcbox.h"

#include <QtGlobal>
#include <algorithm>

namespace {

constexpr int COMMAND_TIMEOUT_MS = 5000;
constexpr int GSM_TIMEOUT_MS = 5000;
constexpr int HANG_UP_TIMEOUT_MS = 2000;
const QByteArray ESCAPE_REPLY = "Escape...";

void Pump(Modem_Io &io)
{
    if (io.Pump) io.Pump();
}

bool Aborted(const Modem_Io &io) { return io.Abort && *io.Abort; }

void Pause_Ms(Modem_Io &io, int ms) { io.Clk->Sleep_Us(int64_t(ms) * 1000); }

bool Is_Eol(uint8_t b) { return b == '\r' || b == '\n'; }

enum class Read_End { Done, Timeout, Escape };

// Reads one reply line: bytes before the first CR or LF (the command's echo, a leftover
// line end) are dropped; from that CR/LF on bytes are kept until more than 3 are held and
// the last is a CR/LF, or the buffer is full. Waits on the port in short slices and serves
// window events between them.
Read_End Read_Reply(Modem_Io &io, int64_t deadline_us, QByteArray &got, bool honour_esc)
{
    got.clear();
    bool collecting = false;
    for (;;) {
        Pump(io);
        if (honour_esc && Aborted(io)) return Read_End::Escape;
        uint8_t b = 0;
        const int r = io.Com->Read_Byte(b);
        if (r == 1) {
            if (!collecting) {
                if (!Is_Eol(b)) {
                    if (io.Clk->Now_Us() >= deadline_us) return Read_End::Timeout;
                    continue;
                }
                collecting = true;
            }
            got.append(char(b));
            if ((got.size() > 3 && Is_Eol(b)) || got.size() >= MODEM_REPLY_MAX)
                return Read_End::Done;
            if (io.Clk->Now_Us() >= deadline_us) return Read_End::Timeout;
            continue;
        }
        const int64_t now = io.Clk->Now_Us();
        if (now >= deadline_us) return Read_End::Timeout;
        const int left_ms = int(std::min<int64_t>((deadline_us - now + 999) / 1000, io.Slice_Ms));
        if (r < 0) {
            // A failing device answers at once; pause instead of asking again straight away.
            io.Com->Clear_Error();
            io.Clk->Sleep_Us(int64_t(std::max(1, left_ms)) * 1000);
        } else {
            io.Com->Wait_Readable(std::max(1, left_ms));
        }
    }
}

int Classify(const QByteArray &reply)
{
    auto has = [&](const char *a, const char *b) {
        return StrContains(reply, a) || (b && StrContains(reply, b));
    };
    if (has("ERRO", "erro")) return MODEM_ERROR;
    if (has("Time", nullptr)) return MODEM_TIME;
    if (has("DIAL", "dial")) return MODEM_NO_DIALTONE;
    if (has("NO CARRI", "no carri")) return MODEM_NO_CARRIER;
    if (has("BUSY", "busy")) return MODEM_BUSY;
    if (has("ANSW", "answ")) return MODEM_NO_ANSWER;
    if (has(ESCAPE_REPLY.constData(), nullptr)) return MODEM_ESCAPE;
    return MODEM_OK;
}

// The modem has taken the command: it echoed it or answered OK (verbose or numeric).
bool Acknowledged(const QByteArray &reply)
{
    for (const char *p : {"AT", "at", "OK", "ok", "\r\n", "0"})
        if (StrContains(reply, p)) return true;
    return false;
}

bool Has_Ok(const QByteArray &reply) { return StrContains(reply, "OK") || StrContains(reply, "ok"); }

bool Has_Connect(const QByteArray &reply)
{
    return StrContains(reply, "ONNE") || StrContains(reply, "onne");
}

QString Text_Of(const QByteArray &bytes) { return Clear_CrLf(QString::fromLatin1(bytes)); }

// The dialogue's own commands run without the Esc test: a hang-up must be completed.
Modem_Io Without_Esc(const Modem_Io &io)
{
    Modem_Io q = io;
    q.Abort = nullptr;
    return q;
}

// A dial that did not connect may leave the modem still dialling (no reply in time, Esc)
// and a late connection would hold the line: drop DTR and send ATH before going on.
void Hang_Up_Dial(Modem_Io &io)
{
    io.Com->Set_Dtr(false);   // a pty has no DTR: the ATH below does the work there
    Pause_Ms(io, 500);
    io.Com->Set_Dtr(true);
    Pause_Ms(io, 200);
    Modem_Io q = Without_Esc(io);
    QByteArray reply;
    Modem_Command(q, "ATH\r", reply, HANG_UP_TIMEOUT_MS, false);
}

// Keeps Exch_Run up while the modem is dialled so that the program's Esc hook sets the
// abort flag; restores both on the way out.
class Dial_Scope {
public:
    explicit Dial_Scope(Modem_Io &io) : Io(io), Was_Run(Exch_Run)
    {
        if (Io.Abort) *Io.Abort = false;
        Exch_Run = true;
    }
    ~Dial_Scope()
    {
        Exch_Run = Was_Run;
        if (Io.Abort) *Io.Abort = false;
    }
    Dial_Scope(const Dial_Scope &) = delete;
    Dial_Scope &operator=(const Dial_Scope &) = delete;

private:
    Modem_Io &Io;
    bool Was_Run;
};

} // namespace

QString Modem_Result_Text(int code)
{
    if (code < 0 || code >= MODEM_RESULT_COUNT) return QString();
    return QString::fromUtf8(Modem_Result_Texts[code]);
}

Modem_Io Make_Modem_Io(hgcbox &box, std::function<void(const QString &)> status)
{
    Modem_Io io;
    io.Com = box.Port_Handle.get();
    io.Clk = box.Clk;
    io.Pump = box.Pump;
    io.Status = std::move(status);
    return io;
}

int Modem_Command(Modem_Io &io, const QByteArray &command, QByteArray &reply, int timeout_ms,
                  bool with_status)
{
    reply.clear();
    const bool show = with_status && bool(io.Status);
    const QString cmd_text = Text_Of(command);
    if (show) {
        io.Status(QString(" Установление связи по телефону. Команда %1.").arg(cmd_text));
        Pump(io);
    }
    if (!io.Com) return MODEM_TIMEOUT;
    io.Com->Purge();
    Pump(io);
    if (Aborted(io)) {
        // Esc came before the command left: do not start what is to be abandoned.
        reply = ESCAPE_REPLY;
        return MODEM_ESCAPE;
    }
    Pause_Ms(io, 2);
    if (!command.isEmpty()
        && !io.Com->Write(reinterpret_cast<const uint8_t *>(command.constData()),
                          int(command.size()))) {
        io.Com->Clear_Error();
        return MODEM_TIMEOUT;   // nothing was sent: no reply can come
    }

    const int64_t deadline = io.Clk->Now_Us() + int64_t(std::max(0, timeout_ms)) * 1000;
    QByteArray got;
    switch (Read_Reply(io, deadline, got, true)) {
    case Read_End::Timeout:
        return MODEM_TIMEOUT;
    case Read_End::Escape:
        got = ESCAPE_REPLY;
        break;
    case Read_End::Done:
        break;
    }
    reply = got;
    if (show)
        io.Status(QString(" Установление связи по телефону. Команда %1.  Ответ %2")
                      .arg(cmd_text, Text_Of(reply)));
    return Classify(reply);
}

int Modem_Init(Modem_Io &io)
{
    QByteArray reply;
    int tries = 2;
    bool escape_answered = false;
    enum { Ate0_First, Atv1, Escape, Ate0 } step = Ate0_First;

    for (;;) {
        switch (step) {
        case Ate0_First: {
            const int code = Modem_Command(io, "ATE0\r", reply, COMMAND_TIMEOUT_MS);
            if (code == MODEM_OK && Acknowledged(reply)) {
                step = Atv1;
            } else if (code == MODEM_TIMEOUT || code == MODEM_OK) {
                step = Escape;
            } else {
                return code;
            }
            break;
        }
        case Atv1: {
            const int code = Modem_Command(io, "ATV1\r", reply, COMMAND_TIMEOUT_MS);
            if (code != MODEM_OK) return code;
            if (Acknowledged(reply)) return MODEM_OK;
            if (--tries <= 0) return MODEM_OK;
            step = escape_answered ? Ate0 : Escape;
            break;
        }
        case Escape: {
            // The modem may be on line: the escape needs a silent guard time either side.
            Pause_Ms(io, 1200);
            const int code = Modem_Command(io, "+++", reply, COMMAND_TIMEOUT_MS, false);
            if (code != MODEM_OK) return code == MODEM_TIMEOUT ? MODEM_ABSENT : code;
            if (Acknowledged(reply)) escape_answered = true;
            step = Ate0;
            break;
        }
        case Ate0: {
            Pause_Ms(io, 1200);
            const int code = Modem_Command(io, "ATE0\r", reply, COMMAND_TIMEOUT_MS, false);
            if (code != MODEM_OK) return code;
            if (Acknowledged(reply)) return MODEM_OK;
            step = Atv1;
            break;
        }
        }
    }
}

Gsm_State Modem_Check_Gsm(Modem_Io &io)
{
    if (!io.Com) return Gsm_State::Not_Ready;
    io.Com->Purge();
    if (io.Status) io.Status(" Проверка готовности GSM. Команда AT+CPAS");
    const QByteArray cmd = "AT+CPAS\r";
    if (!io.Com->Write(reinterpret_cast<const uint8_t *>(cmd.constData()), int(cmd.size()))) {
        io.Com->Clear_Error();
        return Gsm_State::Not_Ready;
    }
    bool first = true;
    for (const char *expected : {"+CPAS: 0", "OK"}) {
        QByteArray reply;
        const int64_t deadline = io.Clk->Now_Us() + int64_t(GSM_TIMEOUT_MS) * 1000;
        if (Read_Reply(io, deadline, reply, false) != Read_End::Done) return Gsm_State::Not_Ready;
        if (io.Status)
            io.Status(QString(" Проверка готовности GSM. Команда AT+CPAS. Ответ %1").arg(Text_Of(reply)));
        if (StrContains(reply, expected)) {
            first = false;
            continue;
        }
        // A modem that does not know the command is a plain telephone modem, not a GSM
        // modem that is not ready: let it dial.
        if (first && !StrContains(reply, "+CPAS") && (StrContains(reply, "ERRO") || StrContains(reply, "erro")))
            return Gsm_State::Not_Gsm;
        return Gsm_State::Not_Ready;
    }
    return Gsm_State::Ready;
}

int Modem_Dial(Modem_Io &io, const QString &number, const QString &command_line, int attempts,
               int wait_s)
{
    if (!io.Com) return MODEM_ABSENT;
    Dial_Scope scope(io);

    int code = Modem_Init(io);
    if (code != MODEM_OK) return code;

    const QList<QByteArray> commands = Split_Modem_Commands(command_line);
    const QByteArray dial = "ATD" + Clear_Phone(number).toLatin1() + "\r";
    // Settings come from files: keep the wait and the attempts to what the dialog offers.
    const int wait_ms = qBound(1, wait_s, 360) * 1000;
    int left = qBound(1, attempts, 10);

    Pause_Ms(io, 2000);
    QByteArray reply;
    for (;;) {
        code = MODEM_OK;
        for (const QByteArray &c : commands) {
            Pump(io);
            code = Modem_Command(io, c, reply, wait_ms);
            if (code == MODEM_OK && !Has_Ok(reply)) code = MODEM_NOT_CONNECTED;
            if (code != MODEM_OK) break;
            Pause_Ms(io, 200);
        }
        // Esc means the user gave up this connection, not just the present attempt.
        if (code == MODEM_ESCAPE) return code;
        if (code != MODEM_OK) {
            if (--left <= 0) return code;
            continue;
        }

        if (Modem_Check_Gsm(io) == Gsm_State::Not_Ready) return MODEM_NO_GSM;

        code = Modem_Command(io, dial, reply, wait_ms);
        if (code == MODEM_OK && Has_Connect(reply)) {
            Pause_Ms(io, 200);
            return MODEM_OK;
        }
        if (code == MODEM_OK) code = MODEM_NOT_CONNECTED;
        Hang_Up_Dial(io);
        if (code == MODEM_ESCAPE) return code;
        if (--left <= 0) return code;
    }
}

void Modem_Hang_Up(Modem_Io &io)
{
    if (!io.Com) return;
    Modem_Io q = Without_Esc(io);
    QByteArray reply;
    Pause_Ms(q, 1000);
    Modem_Command(q, "+++", reply, HANG_UP_TIMEOUT_MS, false);
    const int code = Modem_Command(q, "ath\r", reply, HANG_UP_TIMEOUT_MS, false);
    if (code != MODEM_OK || !Has_Ok(reply)) {
        // The modem did not confirm: DTR low makes it hang up (HUPCL does the same at close).
        q.Com->Set_Dtr(false);
        Pause_Ms(q, 500);
        q.Com->Set_Dtr(true);
    }
}

QList<QByteArray> Split_Modem_Commands(const QString &command_line)
{
    constexpr int MAX_COMMAND = 300;   // with its CR
    const QByteArray s = command_line.toLatin1();
    QList<QByteArray> out;
    const int n = int(s.size());
    int i = 0;
    while (i + 1 < n) {
        const bool at = (s[i] == 'A' || s[i] == 'a') && (s[i + 1] == 'T' || s[i + 1] == 't');
        if (!at) {
            ++i;
            continue;
        }
        int end = int(s.indexOf('^', i));
        if (end < 0) end = n;
        out.append(s.mid(i, std::min(end - i, MAX_COMMAND - 1)) + '\r');
        i = end + 1;
    }
    return out;
}

QString Clear_Phone(const QString &number)
{
    QString out;
    out.reserve(number.size());
    for (QChar c : number)
        if (c != ' ' && c != '-' && c != '(' && c != ')') out.append(c);
    return out;
}

QString Clear_CrLf(const QString &text)
{
    QString out = text;
    out.remove('\r');
    out.remove('\n');
    return out;
}

QByteArray Clear_CrLf(const QByteArray &text)
{
    QByteArray out = text;
    out.replace("\r", "");
    out.replace("\n", "");
    return out;
}

bool StrContains(const QByteArray &text, const char *part)
{
    const qsizetype len = qstrlen(part);
    if (text.isEmpty() || len > text.size()) return false;
    return text.contains(part);
}
