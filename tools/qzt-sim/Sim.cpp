#include "Sim.h"

#include "core/Crc16.h"
#include "core/Tables.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <algorithm>

namespace {
constexpr uint8_t REQ_START = 0xCC;
constexpr uint8_t REPLY_START = 0x33;
constexpr int MAX_READ_BYTES = 245;   // 8 header bytes + data + 2 CRC bytes in 255
constexpr int WRITE_OVERHEAD = 26;

// Controller error codes this controller reports.
constexpr int E_UNKNOWN_FUNC = 1;
constexpr int E_BAD_LENGTH = 2;
constexpr int E_BAD_PASSWORD = 3;
constexpr int E_BAD_PARAMS = 4;
constexpr int E_NO_TABLE = 9;
constexpr int E_READ_ONLY = 12;
constexpr int E_NO_FIELD = 13;
constexpr int E_WRITE_NO_FIELD = 14;
constexpr int E_NOT_REGISTERED = 34;
constexpr int E_NO_CHANNEL = 39;

uint8_t U8(const QByteArray &b, int i) { return uint8_t(b.at(i)); }

bool Has_Fields(int t) { return t >= 0 && t < TAB_COUNT && Tab_Dir[t].field_count > 0; }

QByteArray Date_Bytes(const QDateTime &dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    QByteArray b(8, '\0');
    b[0] = char(uint8_t((d.year() - 2000) & 0xFF));
    b[1] = char(d.month());
    b[2] = char(d.day());
    b[3] = char(t.hour());
    b[4] = char(t.minute());
    b[5] = char(t.second());
    b[6] = char(d.dayOfWeek() % 7 + 1);          // 1 = Sunday .. 7 = Saturday
    b[7] = char(dt.isDaylightTime() ? 0 : 0x80);  // season byte: 0 summer time
    return b;
}
} // namespace

const char *Sim_Fault_Name(Sim_Fault_Kind k)
{
    switch (k) {
    case Sim_Fault_Kind::No_Reply: return "no-reply";
    case Sim_Fault_Kind::First_Byte_Late: return "first-byte-late";
    case Sim_Fault_Kind::Byte_Gap: return "byte-gap";
    case Sim_Fault_Kind::Bad_Crc: return "bad-crc";
    case Sim_Fault_Kind::Wrong_Address: return "wrong-address";
    case Sim_Fault_Kind::Noise_Before: return "noise";
    case Sim_Fault_Kind::Short_Length: return "short-length";
    case Sim_Fault_Kind::Truncated: return "truncated";
    case Sim_Fault_Kind::Late_Reply: return "late-reply";
    case Sim_Fault_Kind::Contr_Error: return "controller-error";
    case Sim_Fault_Kind::Close_Mid_Reply: return "close-mid-reply";
    }
    return "?";
}

Sim_Core::Sim_Core(uint8_t adr)
    : My_Adr(adr), Pass(Pad({}, 12)), User_Code(Pad({}, 4))
{
    Img = Default_Image(adr, Pass, User_Code);
}

// ---- settings -------------------------------------------------------------------------

uint8_t Sim_Core::Adr() const
{
    QMutexLocker l(&Mx);
    return My_Adr;
}

void Sim_Core::Set_Adr(uint8_t adr)
{
    QMutexLocker l(&Mx);
    My_Adr = adr;
    Img[Tab_Offset(3)] = char(adr);
}

void Sim_Core::Set_Password(const QByteArray &pass)
{
    QMutexLocker l(&Mx);
    Pass = Pad(pass, 12);
    Img.replace(Tab_Offset(4) + 6, 12, Pass);   // the registered manufacturer entry
}

void Sim_Core::Set_Code(const QByteArray &code)
{
    QMutexLocker l(&Mx);
    User_Code = Pad(code, 4);
    Img.replace(Tab_Offset(4) + 18, 4, User_Code);
}

QByteArray Sim_Core::Password() const
{
    QMutexLocker l(&Mx);
    return Pass;
}

QByteArray Sim_Core::Code() const
{
    QMutexLocker l(&Mx);
    return User_Code;
}

void Sim_Core::Set_Frame_Gap(int ms)
{
    QMutexLocker l(&Mx);
    Frame_Gap_Ms = std::max(1, ms);
}

void Sim_Core::Set_Handler(uint8_t func, Handler h)
{
    QMutexLocker l(&Mx);
    if (h) Handlers[func] = std::move(h);
    else Handlers.remove(func);
}

// ---- table image ----------------------------------------------------------------------

QByteArray Sim_Core::Image() const
{
    QMutexLocker l(&Mx);
    Refresh_Clock();
    return Img;
}

void Sim_Core::Set_Image(const QByteArray &image)
{
    if (image.size() != CONTR_TABLES_SIZE) return;
    QMutexLocker l(&Mx);
    Img = image;
    // The address lives in table 3; an image without a usable one keeps the current address.
    const uint8_t a = U8(Img, Tab_Offset(3));
    if (a != 0 && a != 0xFF) My_Adr = a;
    else Img[Tab_Offset(3)] = char(My_Adr);
}

QByteArray Sim_Core::Table(int t) const
{
    if (!Has_Fields(t)) return {};
    QMutexLocker l(&Mx);
    Refresh_Clock();
    return Img.mid(Tab_Offset(t), Tab_Length(t));
}

QByteArray Sim_Core::Field(int t, int k) const
{
    if (!Has_Fields(t) || k < 0 || k >= Tab_Dir[t].field_count) return {};
    const int size = Tab_Dir[t].field_size;
    QMutexLocker l(&Mx);
    Refresh_Clock();
    return Img.mid(Tab_Offset(t) + k * size, size);
}

bool Sim_Core::Set_Field(int t, int k, const QByteArray &bytes)
{
    if (!Has_Fields(t) || k < 0 || k >= Tab_Dir[t].field_count) return false;
    const int size = Tab_Dir[t].field_size;
    if (bytes.size() != size) return false;
    QMutexLocker l(&Mx);
    Img.replace(Tab_Offset(t) + k * size, size, bytes);
    if (t == 3 && k == 0) My_Adr = uint8_t(bytes.at(0));
    return true;
}

void Sim_Core::Set_Clock_Offset(int64_t s)
{
    QMutexLocker l(&Mx);
    Clk_Offset = s;
}

int64_t Sim_Core::Clock_Offset() const
{
    QMutexLocker l(&Mx);
    return Clk_Offset;
}

void Sim_Core::Refresh_Clock() const
{
    const QByteArray now = Date_Bytes(QDateTime::currentDateTime().addSecs(Clk_Offset));
    Img.replace(Tab_Offset(2), 8, now);
}

// ---- faults and log -------------------------------------------------------------------

void Sim_Core::Add_Fault(const Sim_Fault &f)
{
    if (f.times == 0) return;
    QMutexLocker l(&Mx);
    Faults.append({f, std::max(0, f.skip), f.times});
}

void Sim_Core::Clear_Faults()
{
    QMutexLocker l(&Mx);
    Faults.clear();
}

int Sim_Core::Pending_Faults() const
{
    QMutexLocker l(&Mx);
    return int(Faults.size());
}

QList<Sim_Request_Log> Sim_Core::Log() const
{
    QMutexLocker l(&Mx);
    return Req_Log;
}

int Sim_Core::Request_Count() const
{
    QMutexLocker l(&Mx);
    return int(Req_Log.size());
}

void Sim_Core::Clear_Log()
{
    QMutexLocker l(&Mx);
    Req_Log.clear();
}

bool Sim_Core::Wait_For_Requests(int n, int timeout_ms) const
{
    QDeadlineTimer dl(timeout_ms);
    QMutexLocker l(&Mx);
    while (Req_Log.size() < n) {
        if (!Log_Cond.wait(&Mx, dl)) return Req_Log.size() >= n;
    }
    return true;
}

void Sim_Core::Set_Log_Hook(std::function<void(const Sim_Request_Log &)> hook)
{
    QMutexLocker l(&Mx);
    Log_Hook = std::move(hook);
}

QList<Sim_Fault> Sim_Core::Take_Faults(uint8_t func)
{
    QList<Sim_Fault> out;
    for (int i = 0; i < Faults.size();) {
        Pending_Fault &p = Faults[i];
        if (p.f.func != 0 && p.f.func != func) {
            ++i;
            continue;
        }
        if (p.left_skip > 0) {
            --p.left_skip;
            ++i;
            continue;
        }
        out.append(p.f);
        if (p.left_times > 0 && --p.left_times == 0) {
            Faults.removeAt(i);
            continue;
        }
        ++i;
    }
    return out;
}

// ---- frames ---------------------------------------------------------------------------

QByteArray Sim_Core::Pad(const QByteArray &s, int len)
{
    QByteArray b = s.left(len);
    b.append(QByteArray(len - b.size(), ' '));
    return b;
}

bool Sim_Core::Crc_Ok(const QByteArray &frame)
{
    return frame.size() >= 2 && frame.size() <= 0xFFFF &&
           Crc16(reinterpret_cast<const uint8_t *>(frame.constData()), uint16_t(frame.size())) == 0;
}

static QByteArray Close_Frame(QByteArray f)
{
    f.append(2, '\0');
    f[2] = char(uint8_t(f.size()));
    Put_Crc16(reinterpret_cast<uint8_t *>(f.data()), uint16_t(f.size() - 2));
    return f;
}

QByteArray Sim_Core::Make_Request(uint8_t adr, uint8_t func, const QByteArray &data)
{
    QByteArray f;
    f.append(char(REQ_START)).append(char(adr)).append('\0').append(char(func)).append(data);
    return Close_Frame(f);
}

QByteArray Sim_Core::Make_Reply(uint8_t adr, uint8_t func_byte, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(REPLY_START)).append(char(adr)).append('\0').append(char(func_byte)).append(payload);
    return Close_Frame(f);
}

QByteArray Sim_Core::Make_Error(uint8_t adr, uint8_t func, int code, int table)
{
    // Function byte without bit 7 marks the error; byte 4 the code, byte 6 a table number.
    QByteArray p(3, '\0');
    p[0] = char(uint8_t(code));
    p[2] = char(uint8_t(table));
    return Make_Reply(adr, uint8_t(func & 0x7F), p);
}

// ---- functions ------------------------------------------------------------------------

Sim_Answer Sim_Core::Func_Read(const QByteArray &frame)
{
    if (frame.size() != 10) return {E_BAD_LENGTH, 0, {}};
    if (U8(frame, 4) != 0) return {E_NO_CHANNEL, 0, {}};
    const int t = U8(frame, 5), first = U8(frame, 6), count = U8(frame, 7);
    if (!Has_Fields(t)) return {E_NO_TABLE, 0, {}};
    const int size = Tab_Dir[t].field_size;
    if (count == 0 || first + count > Tab_Dir[t].field_count) return {E_NO_FIELD, 0, {}};
    if (count * size > MAX_READ_BYTES) return {E_BAD_PARAMS, 0, {}};
    if (t == 2) Refresh_Clock();
    Sim_Answer a;
    a.payload = frame.mid(4, 4) + Img.mid(Tab_Offset(t) + first * size, count * size);
    return a;
}

Sim_Answer Sim_Core::Func_Write(const QByteArray &frame)
{
    if (frame.size() < WRITE_OVERHEAD) return {E_BAD_LENGTH, 0, {}};
    if (frame.mid(4, 12) != Pass) return {E_BAD_PASSWORD, 0, {}};
    if (frame.mid(16, 4) != User_Code) return {E_NOT_REGISTERED, 0, {}};
    if (U8(frame, 20) != 0) return {E_NO_CHANNEL, 0, {}};
    const int t = U8(frame, 21), first = U8(frame, 22), count = U8(frame, 23);
    if (!Has_Fields(t)) return {E_NO_TABLE, 0, {}};
    const int size = Tab_Dir[t].field_size;
    if (count == 0 || first + count > Tab_Dir[t].field_count) return {E_WRITE_NO_FIELD, 0, {}};
    if (frame.size() != WRITE_OVERHEAD + count * size) return {E_BAD_LENGTH, 0, {}};
    // Identification, states, indexes and momentary data are the controller's own.
    if (!Tab_Dir[t].cfg_flag) return {E_READ_ONLY, 0, {}};
    const QByteArray data = frame.mid(24, count * size);
    if (t == 3 && first == 0) {
        const uint8_t na = uint8_t(data.at(0));
        if (na == 0 || na == 0xFF) return {E_BAD_PARAMS, 0, {}};
    }
    if (t == 2 && first == 0 && count >= 6) {
        const QDate d(2000 + U8(data, 0), U8(data, 1), U8(data, 2));
        const QTime tm(U8(data, 3), U8(data, 4), U8(data, 5));
        if (!d.isValid() || !tm.isValid()) return {E_BAD_PARAMS, 0, {}};
        Clk_Offset = QDateTime::currentDateTime().secsTo(QDateTime(d, tm));
    }
    Img.replace(Tab_Offset(t) + first * size, count * size, data);
    if (t == 3 && first == 0) My_Adr = uint8_t(data.at(0));   // the reply comes from the new address
    Sim_Answer a;
    a.payload = frame.mid(20, 4);
    return a;
}

Sim_Answer Sim_Core::Func_Clock(const QByteArray &frame)
{
    // {password 12, code 4, s16 seconds little-endian}: the controller clock moves by that much.
    if (frame.size() != 24) return {E_BAD_LENGTH, 0, {}};
    if (frame.mid(4, 12) != Pass) return {E_BAD_PASSWORD, 0, {}};
    if (frame.mid(16, 4) != User_Code) return {E_NOT_REGISTERED, 0, {}};
    const int16_t corr = int16_t(uint16_t(U8(frame, 20) | (U8(frame, 21) << 8)));
    Clk_Offset += corr;
    return {};
}

QByteArray Sim_Core::Answer_Locked(const QByteArray &frame, Sim_Request_Log &log)
{
    const uint8_t func = U8(frame, 3);
    Sim_Answer a;
    if (func == 1) a = Func_Read(frame);
    else if (func == 2) a = Func_Write(frame);
    else if (Handlers.contains(func)) a = Handlers[func](frame, Img);
    else if (func == 12) a = Func_Clock(frame);
    else a = {E_UNKNOWN_FUNC, 0, {}};
    log.error = a.error;
    if (a.error) return Make_Error(My_Adr, func, a.error, a.err_table);
    if (a.payload.size() > 255 - 6) return Make_Error(My_Adr, func, E_BAD_PARAMS);
    return Make_Reply(My_Adr, uint8_t(func | 0x80), a.payload);
}

QByteArray Sim_Core::Answer(const QByteArray &frame)
{
    if (frame.size() < 6 || U8(frame, 0) != REQ_START || U8(frame, 2) != frame.size() || !Crc_Ok(frame))
        return {};
    QMutexLocker l(&Mx);
    if (U8(frame, 1) != My_Adr && U8(frame, 1) != 0xFF) return {};
    Sim_Request_Log dummy;
    return Answer_Locked(frame, dummy);
}

QList<Sim_Chunk> Sim_Core::Spoil(QByteArray reply, const QList<Sim_Fault> &faults, uint8_t req_adr,
                                 int64_t now_ms)
{
    int64_t start = now_ms;
    int gap = 0;
    int keep = int(reply.size());
    bool close = false;
    QByteArray noise;
    auto keep_of = [&](int v) { return v > 0 ? std::min(v, int(reply.size())) : int(reply.size()) / 2; };
    for (const Sim_Fault &f : faults) {
        switch (f.kind) {
        case Sim_Fault_Kind::No_Reply:
        case Sim_Fault_Kind::Contr_Error:
            break;   // dealt with before the reply was built
        case Sim_Fault_Kind::First_Byte_Late:
        case Sim_Fault_Kind::Late_Reply:
            start += std::max(0, f.value);
            break;
        case Sim_Fault_Kind::Byte_Gap:
            gap = std::max(gap, f.value);
            break;
        case Sim_Fault_Kind::Bad_Crc:
            reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0x5A);
            break;
        case Sim_Fault_Kind::Wrong_Address: {
            const uint8_t wa = f.value >= 0 ? uint8_t(f.value) : uint8_t(My_Adr + 1);
            reply[1] = char(wa);
            Put_Crc16(reinterpret_cast<uint8_t *>(reply.data()), uint16_t(reply.size() - 2));
            break;
        }
        case Sim_Fault_Kind::Noise_Before:
            if (!f.noise.isEmpty()) {
                noise += f.noise;
            } else {
                noise += QByteArray::fromHex("005aa5");
                // A false start: the engine must drop it on the address byte. Not for a
                // request to 0xFF, which takes any address.
                if (req_adr != 0xFF) noise.append(char(REPLY_START)).append(char(My_Adr ^ 0x80));
            }
            break;
        case Sim_Fault_Kind::Short_Length:
            reply[2] = char(uint8_t(f.value > 0 ? f.value : 5));
            break;
        case Sim_Fault_Kind::Truncated:
            keep = std::min(keep, keep_of(f.value));
            break;
        case Sim_Fault_Kind::Close_Mid_Reply:
            keep = std::min(keep, keep_of(f.value));
            close = true;
            break;
        }
    }
    const QByteArray out = noise + reply.left(keep);
    QList<Sim_Chunk> chunks;
    if (gap > 0) {
        for (int i = 0; i < out.size(); ++i) chunks.append({start + int64_t(i) * gap, out.mid(i, 1), false});
    } else if (!out.isEmpty()) {
        chunks.append({start, out, false});
    }
    if (close) {
        if (chunks.isEmpty()) chunks.append({start, {}, true});
        chunks.last().close_after = true;
    }
    return chunks;
}

QList<Sim_Chunk> Sim_Core::Process_Frame(const QByteArray &frame, int64_t now_ms, QList<Sim_Request_Log> &logs)
{
    Sim_Request_Log log;
    log.at_ms = now_ms;
    log.when = QDateTime::currentDateTime();
    log.raw = frame;
    log.adr = U8(frame, 1);
    log.func = U8(frame, 3);
    if (log.func == 1 && frame.size() >= 8) {
        log.table = U8(frame, 5), log.first = U8(frame, 6), log.count = U8(frame, 7);
    } else if (log.func == 2 && frame.size() >= 24) {
        log.table = U8(frame, 21), log.first = U8(frame, 22), log.count = U8(frame, 23);
    }
    log.for_us = log.adr == My_Adr || log.adr == 0xFF;
    QList<Sim_Chunk> chunks;
    if (log.for_us) {
        const QList<Sim_Fault> faults = Take_Faults(log.func);
        for (const Sim_Fault &f : faults) log.faults.append(f.kind);
        const auto has = [&](Sim_Fault_Kind k) {
            return std::any_of(faults.begin(), faults.end(), [k](const Sim_Fault &f) { return f.kind == k; });
        };
        if (!has(Sim_Fault_Kind::No_Reply)) {
            QByteArray reply;
            auto err = std::find_if(faults.begin(), faults.end(),
                                    [](const Sim_Fault &f) { return f.kind == Sim_Fault_Kind::Contr_Error; });
            if (err != faults.end()) {
                log.error = err->value;
                reply = Make_Error(My_Adr, log.func, err->value, err->table);
            } else {
                reply = Answer_Locked(frame, log);
            }
            log.reply = reply;
            chunks = Spoil(reply, faults, log.adr, now_ms);
        }
    }
    Req_Log.append(log);
    logs.append(log);
    return chunks;
}

QList<Sim_Chunk> Sim_Core::Receive(const QByteArray &bytes, int64_t now_ms)
{
    QList<Sim_Chunk> out;
    QList<Sim_Request_Log> logs;
    std::function<void(const Sim_Request_Log &)> hook;
    {
        QMutexLocker l(&Mx);
        if (!In_Buf.isEmpty() && now_ms - Last_In_Ms > Frame_Gap_Ms) In_Buf.clear();
        if (!bytes.isEmpty()) Last_In_Ms = now_ms;
        if (Echo && !bytes.isEmpty()) out.append(Sim_Chunk{now_ms, bytes, false});
        In_Buf += bytes;
        for (;;) {
            // Each 0xCC may start a frame; a complete frame with a good CRC is taken even
            // when an earlier candidate still waits for bytes (that one was noise).
            int pending = -1;
            int taken_at = -1, taken_len = 0;
            for (int i = 0; i < In_Buf.size(); ++i) {
                if (U8(In_Buf, i) != REQ_START) continue;
                if (i + 3 > In_Buf.size()) {
                    if (pending < 0) pending = i;
                    break;
                }
                const int len = U8(In_Buf, i + 2);
                if (len < 6) continue;
                if (i + len > In_Buf.size()) {
                    if (pending < 0) pending = i;
                    continue;
                }
                if (Crc_Ok(In_Buf.mid(i, len))) {
                    taken_at = i;
                    taken_len = len;
                    break;
                }
            }
            if (taken_at < 0) {
                // Keep what may still become a frame; drop the noise before it.
                if (pending < 0) In_Buf.clear();
                else In_Buf.remove(0, pending);
                break;
            }
            const QByteArray frame = In_Buf.mid(taken_at, taken_len);
            In_Buf.remove(0, taken_at + taken_len);
            out += Process_Frame(frame, now_ms, logs);
        }
        hook = Log_Hook;
        if (!logs.isEmpty()) Log_Cond.wakeAll();
    }
    if (hook)
        for (const auto &l : logs) hook(l);
    std::stable_sort(out.begin(), out.end(), [](const Sim_Chunk &a, const Sim_Chunk &b) { return a.at_ms < b.at_ms; });
    return out;
}

void Sim_Core::Set_Echo(bool on)
{
    QMutexLocker l(&Mx);
    Echo = on;
}

void Sim_Core::Reset_Line()
{
    QMutexLocker l(&Mx);
    In_Buf.clear();
}
