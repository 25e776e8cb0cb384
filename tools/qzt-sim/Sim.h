#pragma once
// Controller simulator core: the controller's own table image, the request parser and the
// replies of functions 1 and 2 and of the clock correction (12), faults chosen per request
// by the tests, and the request log.
// It does no I/O: a transport (TCP, pseudo-terminal, modem front end) feeds it the bytes it
// received and sends the timed chunks it returns.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <cstdint>
#include <functional>

// Bytes to put on the line at a moment of the caller's monotonic clock (ms).
struct Sim_Chunk {
    int64_t at_ms = 0;
    QByteArray bytes;
    bool close_after = false;   // TCP: drop the connection once these bytes are out
};

// What a transport talks to: the core itself or a front end (a modem) that bridges to it.
// Implementations must be thread-safe: control calls come from the test thread.
class Sim_Endpoint {
public:
    virtual ~Sim_Endpoint() = default;
    // Bytes arrived at now_ms; returns what to send and when.
    virtual QList<Sim_Chunk> Receive(const QByteArray &bytes, int64_t now_ms) = 0;
    // Called by the transport every Poll_Interval_Ms() (when non-zero), for output that is
    // due without any input (modem result codes after a guard time).
    virtual QList<Sim_Chunk> Poll(int64_t now_ms)
    {
        Q_UNUSED(now_ms);
        return {};
    }
    virtual int Poll_Interval_Ms() const { return 0; }
    // A new connection or a closed line: half-received input belongs to nobody.
    virtual void Reset_Line() {}
};

enum class Sim_Fault_Kind {
    No_Reply,         // the request is ignored (not carried out, no reply)
    First_Byte_Late,  // value: ms before the first reply byte
    Byte_Gap,         // value: ms between reply bytes
    Bad_Crc,          // last CRC byte corrupted
    Wrong_Address,    // value: address byte of the reply (-1: own address + 1); CRC fits it
    Noise_Before,     // noise: bytes sent ahead of the frame (empty: a default with a false start)
    Short_Length,     // value: length byte of the reply (default 5)
    Truncated,        // value: bytes of the reply sent (<= 0: half), the rest never comes
    Late_Reply,       // value: ms; the reply comes after the program's time-out
    Contr_Error,      // value: controller error code; table: byte 6 (for code 60)
    Close_Mid_Reply,  // value: bytes sent (<= 0: half), then a TCP connection is closed
};

struct Sim_Fault {
    Sim_Fault_Kind kind = Sim_Fault_Kind::No_Reply;
    int value = 0;
    int table = 0;
    QByteArray noise;
    int func = 0;     // 0: any function; otherwise only requests with this function code
    int times = 1;    // matching requests it spoils; below 0: until cleared
    int skip = 0;     // matching requests let through untouched first

    static Sim_Fault Make(Sim_Fault_Kind k, int value = 0)
    {
        Sim_Fault f;
        f.kind = k;
        f.value = value;
        return f;
    }
    Sim_Fault &For_Func(int f) { func = f; return *this; }
    Sim_Fault &Times(int n) { times = n; return *this; }
    Sim_Fault &Skip(int n) { skip = n; return *this; }
    Sim_Fault &Table(int t) { table = t; return *this; }
    Sim_Fault &Noise(const QByteArray &b) { noise = b; return *this; }
};

// One request frame the core recognised (CRC checked), answered or not.
struct Sim_Request_Log {
    int64_t at_ms = 0;          // the transport's clock
    QDateTime when;             // wall clock
    QByteArray raw;             // the frame as received, preambles excluded
    uint8_t adr = 0;
    uint8_t func = 0;
    int table = -1, first = -1, count = -1;   // functions 1 and 2
    bool for_us = false;        // addressed to this controller (or to 0xFF)
    int error = 0;              // controller error code replied, 0 for success or no reply
    QList<Sim_Fault_Kind> faults;
    QByteArray reply;           // the frame as built, before any fault spoiled it
};

// Result of a function handler: error 0 with the reply payload from byte 4 on,
// or a controller error code (and for code 60 the table number of reply byte 6).
struct Sim_Answer {
    int error = 0;
    int err_table = 0;
    QByteArray payload;
};

class Sim_Core : public Sim_Endpoint {
public:
    // Handler for a function code beyond 1 and 2 (one for 12 replaces the built-in clock
    // correction): gets the request frame and the table image (locked: do not call back
    // into the core).
    using Handler = std::function<Sim_Answer(const QByteArray &frame, QByteArray &image)>;

    explicit Sim_Core(uint8_t adr = 1);

    // Settings.
    uint8_t Adr() const;
    void Set_Adr(uint8_t adr);
    // Expected write password (12 bytes) and identification code (4 bytes), blank padded.
    void Set_Password(const QByteArray &pass);
    void Set_Code(const QByteArray &code);
    QByteArray Password() const;
    QByteArray Code() const;
    // Silence (ms) after which a half-received request is dropped.
    void Set_Frame_Gap(int ms);
    // A line adapter that echoes: every byte received is sent back at once, before the reply.
    void Set_Echo(bool on);
    void Set_Handler(uint8_t func, Handler h);

    // Table image.
    QByteArray Image() const;
    // Ignored unless it is 2925 bytes; the address follows table 3 field 0 (1..254).
    void Set_Image(const QByteArray &image);
    QByteArray Table(int t) const;             // empty for a table without fields
    QByteArray Field(int t, int k) const;
    bool Set_Field(int t, int k, const QByteArray &bytes);   // false when t, k or the size is wrong
    // Seconds the controller clock runs ahead of the host clock.
    void Set_Clock_Offset(int64_t s);
    int64_t Clock_Offset() const;
    // The plausible factory image (clock taken from the host clock).
    static QByteArray Default_Image(uint8_t adr, const QByteArray &pass, const QByteArray &code);

    // Faults.
    void Add_Fault(const Sim_Fault &f);
    void Clear_Faults();
    int Pending_Faults() const;

    // Request log.
    QList<Sim_Request_Log> Log() const;
    int Request_Count() const;
    void Clear_Log();
    // Blocks until the log holds at least n entries or timeout_ms passed.
    bool Wait_For_Requests(int n, int timeout_ms) const;
    // Called (on the transport's thread, outside the lock) for every logged request.
    void Set_Log_Hook(std::function<void(const Sim_Request_Log &)> hook);

    // Sim_Endpoint.
    QList<Sim_Chunk> Receive(const QByteArray &bytes, int64_t now_ms) override;
    void Reset_Line() override;

    // The fault-free reply to one CRC-checked request frame (empty when it is not for us);
    // carries out writes.
    QByteArray Answer(const QByteArray &frame);

    // Frame helpers (also for tests and front ends).
    static QByteArray Make_Request(uint8_t adr, uint8_t func, const QByteArray &data);
    static QByteArray Make_Reply(uint8_t adr, uint8_t func_byte, const QByteArray &payload);
    static QByteArray Make_Error(uint8_t adr, uint8_t func, int code, int table = 0);
    static bool Crc_Ok(const QByteArray &frame);
    static QByteArray Pad(const QByteArray &s, int len);   // blank padded / cut

private:
    struct Pending_Fault {
        Sim_Fault f;
        int left_skip;
        int left_times;
    };
    Sim_Answer Func_Read(const QByteArray &frame);
    Sim_Answer Func_Write(const QByteArray &frame);
    Sim_Answer Func_Clock(const QByteArray &frame);
    void Refresh_Clock() const;
    QByteArray Answer_Locked(const QByteArray &frame, Sim_Request_Log &log);
    QList<Sim_Chunk> Process_Frame(const QByteArray &frame, int64_t now_ms, QList<Sim_Request_Log> &logs);
    QList<Sim_Fault> Take_Faults(uint8_t func);
    QList<Sim_Chunk> Spoil(QByteArray reply, const QList<Sim_Fault> &faults, uint8_t req_adr, int64_t now_ms);

    mutable QMutex Mx;
    mutable QWaitCondition Log_Cond;
    uint8_t My_Adr;
    QByteArray Pass;
    QByteArray User_Code;
    mutable QByteArray Img;   // table 2 follows the clock on every look
    int64_t Clk_Offset = 0;
    int Frame_Gap_Ms = 1000;
    bool Echo = false;
    QByteArray In_Buf;
    int64_t Last_In_Ms = 0;
    QList<Pending_Fault> Faults;
    QList<Sim_Request_Log> Req_Log;
    QMap<int, Handler> Handlers;
    std::function<void(const Sim_Request_Log &)> Log_Hook;
};

const char *Sim_Fault_Name(Sim_Fault_Kind k);
