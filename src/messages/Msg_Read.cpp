#include "messages/Msg_Read.h"

#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace {

const std::array<Msg_Kind_Info, 2> kKinds = {{
    {Msg_Kind::Ala, 0, sizeof(Ala_Rec), 11, Arh_File_Kind::Ala, 10, "Диагностические сообщения",
     "в архиве диагностических сообщений", "NAlaInd", "NAlaPer"},
    {Msg_Kind::Aud, 1, sizeof(Aud_Rec), 10, Arh_File_Kind::Aud, 11, "Сообщения о вмешательствах оператора",
     "в архиве сообщений о вмешательствах", "NAudInd", "NAudPer"},
}};

constexpr Tab_Req kClockReq{2, 0, 8};
constexpr int kMacTab = 40;

void Plain(const QString &l1, const QString &l2 = QString())
{
    Ques_Kind = 6;
    Show_Ques(l1, l2);
}

uint32_t U32(const uint8_t *b)
{
    uint32_t v;
    std::memcpy(&v, b, 4);
    return v;
}

// A record whose date may be relied on: it passes its CRC check and its date is valid.
bool Date_Sound(const uint8_t *rec, uint32_t size)
{
    return Crc16(rec, uint16_t(size)) == 0 && Valid_Date6(rec);
}

// The date of the first (or last) record that can be relied on; without any, the stored
// bytes of the first (or last) record.
Date6 Edge_Date(const QByteArray &recs, uint32_t size, bool last)
{
    const int n = int(recs.size() / qsizetype(size));
    const auto *base = reinterpret_cast<const uint8_t *>(recs.constData());
    Date6 d{};
    if (n == 0) return d;
    for (int j = 0; j < n; ++j) {
        const uint8_t *r = base + size_t(last ? n - 1 - j : j) * size;
        if (Date_Sound(r, size)) {
            std::memcpy(&d, r, sizeof d);
            return d;
        }
    }
    std::memcpy(&d, base + size_t(last ? n - 1 : 0) * size, sizeof d);
    return d;
}

struct Exchange_Out {
    int n = 0;
    const uint8_t *recs = nullptr;
    uint8_t flags = 0;    // by period: reply byte [4]
    bool more = false;    // by period: reply byte [7]
};

// One exchange; on failure err gets the text for the status panel.
bool Exchange_Block(uint8_t func, const uint8_t *req, int len, uint32_t size, Exchange_Out &out, QString &err)
{
    if (!Exch_Box) return false;
    if (!Exch_Box->Exchange(func, req, len)) {
        err = Exch_Box->Err_Text();
        return false;
    }
    const uint8_t *resp = Exch_Box->Resp_Buf;
    const std::optional<int> c =
        func == MSG_FUNC_IND ? Msg_Ind_Reply_Count(resp, size) : Reply_Record_Count(resp, func, size);
    if (!c) {
        err = Arh_Count_Error_Text(func);
        return false;
    }
    out.n = *c;
    if (func == MSG_FUNC_IND) {
        out.recs = resp + 11;
    } else {
        out.recs = resp + 8;
        out.flags = resp[4];
        out.more = resp[7] != 0;
    }
    return true;
}

struct Read_Args {
    bool by_period = false;
    uint32_t first = 0;
    uint32_t count = 0;
    Date6 start{};
    Date6 end{};
};

// The hourglass from the first request until the list is ready; let go before a message
// that follows the read, and at the latest on leaving.
class Busy_Cursor {
public:
    explicit Busy_Cursor(Arh_Read_Ui &ui) : Ui(ui) { Ui.Busy(true); }
    ~Busy_Cursor() { Release(); }
    Busy_Cursor(const Busy_Cursor &) = delete;
    Busy_Cursor &operator=(const Busy_Cursor &) = delete;
    void Release()
    {
        if (!On) return;
        On = false;
        Ui.Busy(false);
    }

private:
    Arh_Read_Ui &Ui;
    bool On = true;
};

std::optional<Msg_Read_Result> Read_Messages(const Msg_Kind_Info &mi, const Read_Args &a, Arh_Read_Ui &ui)
{
    const uint32_t size = mi.rec_size;
    const QString title = QString::fromUtf8(mi.title);

    QFile wf(Work_Dir() + QLatin1String(Arh_Info(mi.file_kind).work_file));
    if (!wf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Arh_Msg_File_Error();
        return std::nullopt;
    }

    Busy_Cursor busy(ui);
    const int maximum = a.by_period ? Period_Units(a.start.bytes(), a.end.bytes(), UNIT_HOUR)
                                    : int(std::min<uint32_t>(a.count, uint32_t(INT_MAX)));
    Arh_Long_Read lr(ui, maximum);

    uint8_t req[15] = {};
    int req_len;
    if (a.by_period) {
        req[0] = 0;
        req[1] = mi.arh_kind;
        std::memcpy(req + 3, a.start.bytes(), 6);
        std::memcpy(req + 9, a.end.bytes(), 6);
        req_len = 15;
    } else {
        req[0] = 0;
        req[1] = mi.arh_kind;
        req_len = 7;
    }
    const uint8_t func = a.by_period ? MSG_FUNC_PER : MSG_FUNC_IND;

    uint32_t received = 0;
    uint32_t next = a.first, remaining = a.count;
    uint8_t block = 0;
    bool any = false, arh_error = false, aborted = false, partial = false;
    bool write_failed = false;
    for (int block_index = 0;; ++block_index) {
        if (a.by_period) {
            req[2] = block;
        } else {
            std::memcpy(req + 2, &next, 4);
            req[6] = uint8_t(std::min<uint32_t>(remaining, mi.per_request));
        }
        Exchange_Out out;
        QString err;
        if (!Exchange_Block(func, req, req_len, size, out, err)) {
            ui.Status(err);
            ui.Start_Message_Timer();
            if (any) {
                partial = true;
                Arh_Msg_Partly_Read(title);
            } else {
                Arh_Msg_Not_Read(title);
            }
            break;
        }
        int n = out.n;
        // A reply with more records than were asked for gives no more than were asked for.
        if (!a.by_period) n = int(std::min<uint32_t>(uint32_t(n), remaining));
        if (n == 0) {
            if (!any) {
                if (a.by_period)
                    Arh_Msg_No_Data();
                else
                    Plain(QStringLiteral("Нет сообщений с заданными индексами"));
            }
            break;
        }
        received += uint32_t(n);
        any = true;
        if (a.by_period) {
            if (out.flags & 0x80) arh_error = true;
            // The bar follows the last record of the block whose date can be trusted.
            const uint8_t *d = nullptr;
            for (int i = n - 1; i >= 0 && !d; --i)
                if (Date_Sound(out.recs + size_t(i) * size, size)) d = out.recs + size_t(i) * size;
            lr.Progress(block_index, d ? Hours_Between(a.start.bytes(), d) : lr.Position());
        } else {
            lr.Progress(block_index, int(std::min<uint32_t>(received, uint32_t(INT_MAX))));
        }
        const bool more = out.more;   // taken before events are served
        if (wf.write(reinterpret_cast<const char *>(out.recs), qint64(n) * size) != qint64(n) * size) {
            write_failed = true;
            break;
        }
        if (lr.Abort_Requested()) {
            Exch_Abort = false;
            aborted = true;
            break;
        }
        if (a.by_period) {
            if (!more) break;
            // 0, 1, ..., 255, then 1 again: 0 only opens a series.
            block = block == 255 ? 1 : uint8_t(block + 1);
        } else {
            if (uint32_t(n) >= remaining) break;
            remaining -= uint32_t(n);
            next += uint32_t(n);
        }
    }
    lr.Stop_Run();
    wf.close();
    write_failed = write_failed || wf.error() != QFileDevice::NoError;
    // An exchange error was in panel 2 while its message was up; the read is over now.
    ui.Status(QString());
    lr.End_Wait();

    if (!any) return std::nullopt;
    if (write_failed) {
        busy.Release();
        Arh_Msg_Write_Error(wf.fileName());
    }

    if (!wf.open(QIODevice::ReadOnly)) {
        busy.Release();
        Arh_Msg_File_Error();
        return std::nullopt;
    }
    QByteArray recs = wf.read(qint64(received) * size);
    wf.close();
    recs.truncate(recs.size() - recs.size() % qsizetype(size));
    if (recs.isEmpty()) return std::nullopt;

    if (a.by_period && arh_error) {
        busy.Release();
        Arh_Msg_Archive_Error(QString::fromUtf8(mi.error_line));
    }

    // The header names the chromatograph by its MAC address.
    const uint8_t *mac = Tab_Field(kMacTab, 0);
    if (mac && mac[0] == 0) Read_Table({kMacTab, 0, 1}, [&ui](const QString &s) { ui.Status(s); }, true);

    Arh_Header_Args h;
    h.contr_adr = Exch_Box ? Exch_Box->Adr : 0;
    Date6 made{};
    DateTime_To_Date6(Now_Date_Time(), made);
    h.made = made;
    if (a.by_period) {
        h.period_start = a.start;
        h.period_end = a.end;
    } else {
        h.period_start = Edge_Date(recs, size, false);
        h.period_end = Edge_Date(recs, size, true);
    }
    h.rec_count = uint32_t(recs.size() / qsizetype(size));

    Msg_Read_Result r;
    r.kind = mi.kind;
    r.mode = a.by_period ? MSG_MODE_PERIOD : MSG_MODE_INDEX;
    r.first_index = a.by_period ? 0 : a.first;
    r.header = Build_Arhiv_Header(mi.file_kind, h);
    r.records = std::move(recs);
    r.aborted = aborted;
    r.partial = partial;
    r.archive_error = arh_error;
    return r;
}

} // namespace

const Msg_Kind_Info &Msg_Info(Msg_Kind k) { return kKinds[k == Msg_Kind::Aud ? 1 : 0]; }

std::optional<Msg_Kind> Msg_Kind_From_Tag(int tag)
{
    if (tag == 0) return Msg_Kind::Ala;
    if (tag == 1) return Msg_Kind::Aud;
    return std::nullopt;
}

std::optional<int> Msg_Ind_Reply_Count(const uint8_t *resp, uint32_t rec_size)
{
    if (!resp || rec_size == 0) return std::nullopt;
    constexpr int kCountAt = 10, kRecsAt = 11;
    const int len = resp[2];   // the whole frame, CRC included
    if (len < kRecsAt + 2) return std::nullopt;
    const int n = resp[kCountAt];
    if (int64_t(n) * rec_size > int64_t(len - 2 - kRecsAt)) return std::nullopt;
    return n;
}

std::optional<Msg_Read_Result> Read_Msg_Ind(Msg_Kind k, uint32_t first, uint32_t count, Arh_Read_Ui &ui)
{
    if (count == 0) return std::nullopt;
    Read_Args a;
    a.first = first;
    a.count = count;
    return Read_Messages(Msg_Info(k), a, ui);
}

std::optional<Msg_Read_Result> Read_Msg_Per(Msg_Kind k, const Date6 &start, const Date6 &end, Arh_Read_Ui &ui)
{
    Read_Args a;
    a.by_period = true;
    a.start = start;
    a.end = end;
    return Read_Messages(Msg_Info(k), a, ui);
}

std::optional<Msg_Read_Result> Msg_Ind_Command(Msg_Kind k, Arh_Read_Ui &ui, const Msg_Index_Ask &ask)
{
    const Msg_Kind_Info &mi = Msg_Info(k);
    const Tab_Status status = [&ui](const QString &s) { ui.Status(s); };
    ui.Busy(true);
    const bool ok = Read_Table({mi.bounds_table, 0, 2}, status, true);
    ui.Busy(false);
    if (!ok) return std::nullopt;
    const uint8_t *f0 = Tab_Field(mi.bounds_table, 0);
    const uint8_t *f1 = Tab_Field(mi.bounds_table, 1);
    if (!f0 || !f1) return std::nullopt;
    const uint32_t oldest = U32(f0), newest = U32(f1);
    if (oldest == newest && oldest != 0) {
        Plain(QStringLiteral("В архиве нет ни одной записи"));
        return std::nullopt;
    }
    uint32_t first = 0, count = 0;
    if (!ask || !ask(uint8_t(k), oldest, newest, first, count)) return std::nullopt;
    return Read_Msg_Ind(k, first, count, ui);
}

std::optional<Msg_Read_Result> Msg_Per_Command(Msg_Kind k, Arh_Read_Ui &ui)
{
    const Tab_Status status = [&ui](const QString &s) { ui.Status(s); };
    ui.Busy(true);
    const bool ok = Read_Table(kClockReq, status, true);
    ui.Busy(false);
    if (!ok) return std::nullopt;
    Date6 start{}, end{};
    if (!ui.Ask_Period(start, end)) return std::nullopt;
    return Read_Msg_Per(k, start, end, ui);
}
