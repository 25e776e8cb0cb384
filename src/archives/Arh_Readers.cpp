#include "archives/Arh_Readers.h"

#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>

namespace {

using K = Arh_File_Kind;

const std::array<Arh_Reader_Info, ARH_READER_COUNT> kReaders = {{
    {Arh_Reader::Chr_Meas, "NChrom_RdMeas", K::Chr_Meas, 8, ARH_KIND_MEAS, 0, UNIT_HOUR, 0, 0,
     "Измерительные данные", "в архиве измерительных данных"},
    // Moisture meter: (channel << 4) | 1, channel 0 (the menu item's tag).
    {Arh_Reader::Wmt_Meas, "NWmt_RdMeas", K::Wmt_Meas, 8, ARH_KIND_MEAS, 0x01, UNIT_HOUR, 0, 0,
     "Измерительные данные", "в архиве измерительных данных"},
    {Arh_Reader::Clb, "NChrom_RdClb", K::Clb, 8, ARH_KIND_CLB, 0, UNIT_HOUR, 0, 0,
     "Данные калибровки", "в архиве данных калибровки"},
    {Arh_Reader::Chr_Hour, "NChrom_RdHour", K::Chr_Hour, 15, 0, 0, UNIT_HOUR, 0, 0,
     "Часовые данные хроматографа из архива", ""},
    {Arh_Reader::Wmt_Hour, "NWmt_ReadHour", K::Wmt_Hour, 15, 0, 1, UNIT_HOUR, 0, 6,
     "Часовые данные влагомера из архива", ""},
    {Arh_Reader::Chr_Day, "NChrom_RdDay", K::Chr_Day, 16, 0, 0, UNIT_DAY, 1, 1,
     "Суточные данные хроматографа из архива", ""},
    {Arh_Reader::Wmt_Day, "NWmt_ReadDay", K::Wmt_Day, 16, 0, 1, UNIT_DAY, 1, 7,
     "Суточные данные влагомера из архива", ""},
}};

constexpr Tab_Req kClockReq{2, 0, 8};     // controller clock
constexpr Tab_Req kSysReq{6, 0, 12};      // system parameters (day-start hour)
constexpr int kFirstDatesTab = 27;        // first-record dates: measurement, hourly, daily
constexpr int kSerialTab = 41;            // chromatograph serial number

void Plain(const QString &l1, const QString &l2)
{
    Ques_Kind = 6;
    Show_Ques(l1, l2);
}

QString Date_Text(const uint8_t *d)
{
    return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d[2], d[1], d[0], d[3], d[4], d[5]);
}

void Msg_Bad_Date(const uint8_t *d)
{
    Plain(QStringLiteral("Прочитанные параметры даты и времени (%1)").arg(Date_Text(d)),
          QStringLiteral("не соответствуют допустимым значениям"));
}

Date6 Date_Of(const uint8_t *rec)
{
    Date6 d;
    std::memcpy(&d, rec, sizeof d);
    return d;
}

// Keeps only the date form of the unit: Date4 for hours, Date3 for days.
Date6 Cut_To_Unit(Date6 d, int unit)
{
    uint8_t *b = d.bytes();
    std::memset(b + (unit == UNIT_DAY ? 3 : 4), 0, unit == UNIT_DAY ? 3 : 2);
    return d;
}

// A record whose date may steer the read: it passes its CRC check and its date is valid.
bool Date_Sound(const uint8_t *rec, uint32_t size)
{
    return Crc16(rec, uint16_t(size)) == 0 && Valid_Date6(rec);
}

// Date of the last of n records that is sound, or null when none is.
const uint8_t *Last_Sound_Date(const uint8_t *recs, int n, uint32_t size)
{
    for (int i = n - 1; i >= 0; --i) {
        const uint8_t *r = recs + size_t(i) * size;
        if (Date_Sound(r, size)) return r;
    }
    return nullptr;
}

// One exchange whose reply must carry records of rec_size; n = their count. On failure
// err gets the text for the status bar.
bool Exchange_Records(uint8_t func, const uint8_t *req, int len, uint32_t rec_size, int &n, QString &err)
{
    if (!Exch_Box) {
        err.clear();
        return false;
    }
    if (!Exch_Box->Exchange(func, req, len)) {
        err = Exch_Box->Err_Text();
        return false;
    }
    const std::optional<int> c = Reply_Record_Count(Exch_Box->Resp_Buf, func, rec_size);
    if (!c) {
        err = Arh_Count_Error_Text(func);
        return false;
    }
    n = *c;
    return true;
}

Arh_Read_Result Make_Result(const Arh_Reader_Info &ri, const Date6 &start, const Date6 &end, QByteArray records)
{
    const uint32_t size = Arh_Info(ri.file_kind).rec_size;
    Arh_Header_Args a;
    a.device = ri.device;
    a.contr_adr = Exch_Box ? Exch_Box->Adr : 0;
    Date6 made{};
    DateTime_To_Date6(Now_Date_Time(), made);
    a.made = made;
    a.period_start = start;
    a.period_end = end;
    a.rec_count = uint32_t(records.size()) / size;
    Arh_Read_Result r;
    r.reader = ri.reader;
    r.kind = ri.file_kind;
    r.viewer_kind = ri.viewer_kind;
    r.header = Build_Arhiv_Header(ri.file_kind, a);
    records.truncate(qsizetype(a.rec_count) * size);
    r.records = std::move(records);
    return r;
}

// Closes the working file; false when what was written did not all reach the disk.
bool Close_Work_File(QFile &f)
{
    f.close();
    return f.error() == QFileDevice::NoError;
}

// The working file read back: whole records only, never more than were written.
std::optional<QByteArray> Read_Back(QFile &f, uint32_t count, uint32_t size)
{
    if (!f.open(QIODevice::ReadOnly)) {
        Arh_Msg_File_Error();
        return std::nullopt;
    }
    QByteArray b = f.read(qint64(count) * size);
    f.close();
    b.truncate(b.size() - b.size() % qsizetype(size));
    return b;
}

// ---- period readers (function 8 by blocks) -----------------------------------------------

std::optional<Arh_Read_Result> Read_Period_Blocks(const Arh_Reader_Info &ri, Arh_Read_Ui &ui)
{
    const uint32_t size = Arh_Info(ri.file_kind).rec_size;
    const Tab_Status status = [&ui](const QString &s) { ui.Status(s); };

    ui.Busy(true);
    const bool clock_ok = Read_Table(kClockReq, status, true);
    ui.Busy(false);
    if (!clock_ok) return std::nullopt;

    Date6 start{}, end{};
    if (!ui.Ask_Period(start, end)) return std::nullopt;

    QFile wf(Work_Dir() + QLatin1String(Arh_Info(ri.file_kind).work_file));
    if (!wf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Arh_Msg_File_Error();
        return std::nullopt;
    }

    Arh_Long_Read lr(ui, Period_Units(start.bytes(), end.bytes(), UNIT_HOUR));
    uint8_t req[15] = {ri.device, ri.arh_kind, 0};
    std::memcpy(req + 3, start.bytes(), 6);
    std::memcpy(req + 9, end.bytes(), 6);
    uint32_t received = 0;
    bool any = false, arh_error = false, aborted = false, partial = false;
    bool write_failed = false;
    uint8_t block = 0;
    for (int block_index = 0;; ++block_index) {
        req[2] = block;
        int n = 0;
        QString err;
        if (!Exchange_Records(8, req, int(sizeof req), size, n, err)) {
            ui.Status(err);
            ui.Start_Message_Timer();
            if (any) {
                partial = true;
                Arh_Msg_Partly_Read(QString::fromUtf8(ri.line1));
            } else {
                Arh_Msg_Not_Read(QString::fromUtf8(ri.line1));
            }
            break;
        }
        const uint8_t *resp = Exch_Box->Resp_Buf;
        received += uint32_t(n);
        if (n == 0) {
            if (!any) Arh_Msg_No_Data();
            break;
        }
        any = true;
        if (resp[4] & 0x80) arh_error = true;
        // Taken before events are served: nothing else may touch the reply meanwhile.
        const bool more = resp[7] != 0;
        const uint8_t *recs = resp + 8;
        // The bar follows the last record of the block whose date can be trusted; a block of
        // damaged records leaves it where it was.
        if (const uint8_t *d = Last_Sound_Date(recs, n, size))
            lr.Progress(block_index, Hours_Between(start.bytes(), d));
        else
            lr.Progress(block_index, lr.Position());
        if (wf.write(reinterpret_cast<const char *>(recs), qint64(n) * size) != qint64(n) * size) {
            write_failed = true;
            break;
        }
        if (lr.Abort_Requested()) {
            Exch_Abort = false;
            aborted = true;
            break;
        }
        if (!more) break;
        // 0, 1, ..., 255, then 1 again: 0 only opens a series.
        block = block == 255 ? 1 : uint8_t(block + 1);
    }
    lr.Stop_Run();
    write_failed = !Close_Work_File(wf) || write_failed;
    // An exchange error was in panel 2 while its message was up; the read is over now.
    ui.Status(QString());
    lr.End_Wait();

    if (!any) return std::nullopt;
    if (write_failed) Arh_Msg_Write_Error(wf.fileName());
    std::optional<QByteArray> recs = Read_Back(wf, received, size);
    if (!recs || recs->isEmpty()) return std::nullopt;
    if (arh_error) Arh_Msg_Archive_Error(QString::fromUtf8(ri.error_line));
    Arh_Read_Result r = Make_Result(ri, start, end, std::move(*recs));
    r.aborted = aborted;
    r.partial = partial;
    r.archive_error = arh_error;
    return r;
}

// ---- date-range readers (functions 15 and 16) --------------------------------------------

std::optional<Arh_Read_Result> Read_Date_Range(const Arh_Reader_Info &ri, Arh_Read_Ui &ui)
{
    const uint32_t size = Arh_Info(ri.file_kind).rec_size;
    const int unit = ri.unit;
    const int date_len = unit == UNIT_DAY ? 3 : 4;
    const Tab_Status status = [&ui](const QString &s) { ui.Status(s); };

    Arh_Range range{};
    uint8_t first[6] = {};
    ui.Busy(true);
    const bool pre_ok = Arh_Precheck(range, first, ri.dialog_kind, status);
    ui.Busy(false);
    if (!pre_ok) return std::nullopt;

    Date6 start{}, end{};
    if (!ui.Ask_Short_Period(range, ri.dialog_kind, start, end)) return std::nullopt;
    start = Cut_To_Unit(start, unit);
    end = Cut_To_Unit(end, unit);

    uint8_t req[11] = {3, 0, ri.device};
    std::memcpy(req + 3 + date_len, end.bytes(), size_t(date_len));
    const int req_len = 3 + 2 * date_len;

    QFile wf(Work_Dir() + QLatin1String(Arh_Info(ri.file_kind).work_file));
    if (!wf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Arh_Msg_File_Error();
        return std::nullopt;
    }

    ui.Status(QString());
    // The hourglass from the first request until the records are read back.
    struct Busy_Scope {
        Arh_Read_Ui &ui;
        explicit Busy_Scope(Arh_Read_Ui &u) : ui(u) { ui.Busy(true); }
        ~Busy_Scope() { ui.Busy(false); }
        Busy_Scope(const Busy_Scope &) = delete;
        Busy_Scope &operator=(const Busy_Scope &) = delete;
    } busy(ui);
    Arh_Long_Read lr(ui, Period_Units(start.bytes(), end.bytes(), unit));
    Date6 expected = start;   // where the next record should lie: after the last one stored
    Date6 ask_from = start;   // start of the next request
    Date6 last{};             // date of the last sound record stored
    bool have_last = false;
    uint32_t stored = 0;
    bool checking = true, good = true, aborted = false, partial = false, write_failed = false;
    const QString line1 = QString::fromUtf8(ri.line1);
    for (int block_index = 0;; ++block_index) {
        std::memcpy(req + 3, ask_from.bytes(), size_t(date_len));
        int n = 0;
        QString err;
        if (!Exchange_Records(ri.func, req, req_len, size, n, err)) {
            ui.Status(err);
            Ques_Kind = 7;
            Show_Ques(QStringLiteral("Не выполнено чтение"), QStringLiteral("очередного блока данных"));
            ui.Status(QString());
            if (Ques_Answer) {
                --block_index;
                continue;
            }
            if (stored == 0) {
                Arh_Msg_Not_Read(line1);
                good = false;
            } else {
                partial = true;
                Arh_Msg_Partly_Read(line1);
            }
            break;
        }
        if (n == 0) break;
        const uint8_t *recs = Exch_Box->Resp_Buf + 5;
        // Copied first: a question below serves events while the reply buffer waits.
        const QByteArray reply(reinterpret_cast<const char *>(recs), qsizetype(n) * size);
        bool stop = false;
        for (int i = 0; i < n && !stop; ++i) {
            const char *rec = reply.constData() + qsizetype(i) * size;
            const Date6 d = Cut_To_Unit(Date_Of(reinterpret_cast<const uint8_t *>(rec)), unit);
            // A damaged record is kept as received, but its date steers nothing: it is not
            // checked, not compared with what was stored, and it takes the expected place.
            const bool sound = Crc16(reinterpret_cast<const uint8_t *>(rec), uint16_t(size)) == 0 && Valid_Date6(d);
            lr.Step(block_index);
            bool in_place = false;   // checked and found where it belongs
            if (checking && sound) {
                bool out;
                if (unit == UNIT_HOUR) {
                    out = Compare_Date6_Unit(d, expected, unit) < 0 || Compare_Date6_Unit(d, end, unit) > 0;
                } else {
                    // Daily records may lie one day either side (the gas day).
                    Date6 lo = expected, hi = end;
                    Dec_Date6(lo, UNIT_DAY);
                    Inc_Date6(hi, UNIT_DAY);
                    out = Compare_Date6_Unit(d, lo, unit) < 0 || Compare_Date6_Unit(d, hi, unit) > 0;
                }
                if (out) {
                    Ques_Kind = 3;
                    Show_Ques(QStringLiteral("Передаваемые контроллером данные не соответствуют"),
                              QStringLiteral("запрошенному периоду.    Продолжить чтение?"));
                    if (!Ques_Answer) {
                        // Kept as the last record of the list.
                        Exch_Abort = true;
                        aborted = true;
                        stop = true;
                    } else {
                        checking = false;
                    }
                } else {
                    in_place = true;
                }
            }
            // A daily record may repeat the day stored last (the day's tolerance): unasked,
            // it is one we have. Whatever the user let through is stored as it came.
            if (in_place && have_last && Compare_Date6_Unit(d, last, unit) <= 0) continue;
            if (wf.write(rec, size) != qint64(size)) {
                write_failed = true;
                break;
            }
            ++stored;
            if (sound) {
                last = d;
                have_last = true;
                // The next record is due after this one, also after a gap forward: stepping
                // from the previous expected date would ask for stored records again. A
                // record earlier than that (let through unchecked) moves nothing back.
                Date6 next = d;
                Inc_Date6(next, unit);
                if (Compare_Date6_Unit(next, expected, unit) > 0) expected = next;
            } else {
                Inc_Date6(expected, unit);
            }
        }
        if (write_failed) break;
        if (lr.Abort_Requested()) aborted = true;
        if (Exch_Abort || n < 2 || Compare_Date6_Unit(expected, end, unit) > 0) break;
        // A reply that brought the read no further would be asked for again and again.
        if (Compare_Date6_Unit(expected, ask_from, unit) <= 0) break;
        ask_from = expected;
    }
    lr.Stop_Run();
    write_failed = !Close_Work_File(wf) || write_failed;
    ui.Start_Message_Timer();

    if (!good || stored == 0) {
        lr.End_Wait();
        if (write_failed) Arh_Msg_Write_Error(wf.fileName());
        return std::nullopt;
    }
    if (lr.Position() < lr.Maximum()) lr.Progress(0, lr.Maximum());
    ui.Pause_Ms(500);
    lr.End_Wait();
    if (write_failed) Arh_Msg_Write_Error(wf.fileName());
    std::optional<QByteArray> recs = Read_Back(wf, stored, size);
    if (!recs || recs->isEmpty()) return std::nullopt;

    if (ri.reader == Arh_Reader::Chr_Day) {
        // The daily viewer names the chromatograph by its serial number.
        const uint8_t *sn = Tab_Field(kSerialTab, 0);
        if (sn && sn[0] == 0 && sn[1] == 0 && sn[2] == 0 && sn[3] == 0)
            Read_Table({kSerialTab, 0, 1}, status, true);
    }
    Arh_Read_Result r = Make_Result(ri, start, end, std::move(*recs));
    r.aborted = aborted;
    r.partial = partial;
    return r;
}

} // namespace

const Arh_Reader_Info &Reader_Info(Arh_Reader r)
{
    const size_t i = size_t(r);
    return kReaders[i < kReaders.size() ? i : 0];
}

// ---- the long-read frame -------------------------------------------------------------------

Arh_Long_Read::Arh_Long_Read(Arh_Read_Ui &ui, int maximum) : Ui(ui), Max(std::max(maximum, 1))
{
    // A stale Esc of an earlier read must not stop this one before its first request.
    Exch_Abort = false;
    Exch_Run = true;
    Ui.Wait_Begin(Max);
}

Arh_Long_Read::~Arh_Long_Read()
{
    Stop_Run();
    End_Wait();
}

void Arh_Long_Read::Progress(int block_index, int position)
{
    Pos = std::clamp(position, 0, Max);
    if (Waiting) Ui.Wait_Progress(block_index, Pos, Max);
}

void Arh_Long_Read::Step(int block_index) { Progress(block_index, Pos + 1); }

bool Arh_Long_Read::Abort_Requested()
{
    Ui.Process_Events();
    return Exch_Abort;
}

void Arh_Long_Read::Stop_Run()
{
    if (!Running) return;
    Running = false;
    Exch_Run = false;
}

void Arh_Long_Read::End_Wait()
{
    Stop_Run();
    if (!Waiting) return;
    Waiting = false;
    Ui.Wait_End();
}

// ---- messages ------------------------------------------------------------------------------

void Arh_Msg_Not_Read(const QString &line1) { Plain(line1, QStringLiteral("не прочитаны")); }

void Arh_Msg_Partly_Read(const QString &line1) { Plain(line1, QStringLiteral("прочитаны не полностью")); }

void Arh_Msg_Archive_Error(const QString &line2) { Plain(QStringLiteral("Обнаружена ошибка"), line2); }

void Arh_Msg_No_Data() { Plain(QStringLiteral("Нет данных за указанный период"), QString()); }

void Arh_Msg_File_Error() { Plain(QStringLiteral("Ошибка открытия файла"), QString()); }

void Arh_Msg_Write_Error(const QString &path)
{
    Plain(QStringLiteral("Ошибка записи файла"), QFileInfo(path).fileName());
}

QString Arh_Count_Error_Text(uint8_t func)
{
    return QStringLiteral("Команда %1.  Число записей не соответствует длине ответа").arg(func);
}

std::optional<int> Reply_Record_Count(const uint8_t *resp, uint8_t func, uint32_t rec_size)
{
    if (!resp || rec_size == 0) return std::nullopt;
    int count_at, recs_at;
    if (func == 8) {
        count_at = 6;
        recs_at = 8;
    } else if (func == 15 || func == 16) {
        count_at = 4;
        recs_at = 5;
    } else {
        return std::nullopt;
    }
    const int len = resp[2];   // the whole frame, CRC included
    if (len < recs_at + 2) return std::nullopt;
    const int n = resp[count_at];
    if (int64_t(n) * rec_size > int64_t(len - 2 - recs_at)) return std::nullopt;
    return n;
}

bool Arh_Precheck(Arh_Range &range, uint8_t first[6], uint8_t kind, const Tab_Status &status)
{
    if (kind > 1) return false;
    const uint8_t field = uint8_t(kind + 1);   // 1 hourly, 2 daily
    if (!Read_Table({kFirstDatesTab, field, 1}, status, true)) return false;
    const uint8_t *f = Tab_Field(kFirstDatesTab, field);
    if (!f) return false;
    std::memcpy(first, f, 6);
    bool flag = false;
    if (kind == 1) {
        flag = (first[5] & 0x80) != 0;
        first[5] &= 0x7F;
    }
    static const uint8_t kEmpty[6] = {1, 1, 1, 0, 0, 0};
    if (std::memcmp(first, kEmpty, 6) == 0) {
        Plain(QStringLiteral("В архиве нет данных"), QString());
        return false;
    }
    if (!Valid_Date6(first)) {
        Msg_Bad_Date(first);
        return false;
    }
    if (!Read_Table(kClockReq, status, true)) return false;
    uint8_t now[6];
    const uint8_t *clk = Tab_Field(2, 0);
    if (!clk) return false;
    std::memcpy(now, clk, 6);
    if (!Valid_Date6(now)) {
        Msg_Bad_Date(now);
        return false;
    }
    if (!Read_Table(kSysReq, status, true)) return false;
    if (!Calc_Arh_Period(first, now, range, kind == 0 ? UNIT_HOUR : UNIT_DAY, flag)) {
        Plain(QStringLiteral("В архиве еще нет ни одной записи"), QString());
        return false;
    }
    return true;
}

std::optional<Arh_Read_Result> Read_Archive(Arh_Reader r, Arh_Read_Ui &ui)
{
    const Arh_Reader_Info &ri = Reader_Info(r);
    return ri.func == 8 ? Read_Period_Blocks(ri, ui) : Read_Date_Range(ri, ui);
}
