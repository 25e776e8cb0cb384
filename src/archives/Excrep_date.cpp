#include "archives/Excrep_date.h"

#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace {

constexpr int WAIT_MAX = 48;   // the progress bar over both devices' records
constexpr uint32_t CHR_SIZE = sizeof(Chr_HD_Rec);
constexpr uint32_t WMT_SIZE = sizeof(Wmt_HD_Rec);

void Plain(const QString &l1, const QString &l2)
{
    Ques_Kind = 6;
    Show_Ques(l1, l2);
}

const QString kNotRead = QStringLiteral("не прочитаны");

// One exchange of function 15 or 16 whose reply carries records of size; n = their count,
// err the status text of a failure.
bool Exchange_Hd(uint8_t func, const uint8_t *req, int len, uint32_t size, int &n, QString &err)
{
    err.clear();
    if (!Exch_Box) return false;
    if (!Exch_Box->Exchange(func, req, len)) {
        err = Exch_Box->Err_Text();
        return false;
    }
    const std::optional<int> c = Reply_Record_Count(Exch_Box->Resp_Buf, func, size);
    if (!c) {
        err = Arh_Count_Error_Text(func);
        return false;
    }
    n = *c;
    return true;
}

Date6 Cut(const uint8_t *d, int unit)
{
    Date6 r{};
    std::memcpy(r.bytes(), d, unit == UNIT_DAY ? 3 : 4);
    return r;
}

// The daily record of one device for the report's day: {3, 0, device, date3, date3}.
bool Read_Day_Record(uint8_t device, const uint8_t date[4], void *rec, uint32_t size, Arh_Read_Ui &ui)
{
    const bool chr = device == 0;
    uint8_t req[9] = {3, 0, device, date[0], date[1], date[2], date[0], date[1], date[2]};
    ui.Status(QString());
    int n = 0;
    QString err;
    if (!Exchange_Hd(16, req, int(sizeof req), size, n, err) || n == 0) {
        ui.Status(err);
        ui.Start_Message_Timer();
        Plain(QStringLiteral("Суточные данные из архива"),
              chr ? QStringLiteral(" хроматографа не прочитаны") : QStringLiteral("влагомера не прочитаны"));
        return false;
    }
    std::memcpy(rec, Exch_Box->Resp_Buf + 5, size);
    if (Crc16(static_cast<const uint8_t *>(rec), uint16_t(size)) != 0) {
        Plain(chr ? QStringLiteral("Суточные данные хроматографа недостоверны")
                  : QStringLiteral("Суточные данные влагомера недостоверны"),
              QStringLiteral("(не совпадает КС записи"));
        return false;
    }
    return true;
}

struct Pass {
    uint8_t func;        // 15 hourly, 16 daily
    uint8_t device;      // 0 chromatograph, 1 moisture meter
    uint32_t size;       // record bytes
    int unit;            // UNIT_HOUR or UNIT_DAY
    int slot_count;      // records the passport takes
    QString line1;       // first line of "... не прочитаны"
};

// One device's records from start to end, each in its place: a record earlier than the one
// expected or later than the end fails the gathering; with pair (the chromatograph's records)
// each record must bear the date of the chromatograph record in the same slot.
bool Gather_Pass(const Pass &p, const Date6 &start, const Date6 &end, Arh_Long_Read &lr, Arh_Read_Ui &ui,
                 QByteArray &out, int &count, const QByteArray *pair)
{
    const int date_len = p.unit == UNIT_DAY ? 3 : 4;
    uint8_t req[11] = {3, 0, p.device};
    std::memcpy(req + 3 + date_len, end.bytes(), size_t(date_len));
    const int req_len = 3 + 2 * date_len;
    const int pair_count = pair ? int(pair->size() / CHR_SIZE) : 0;

    out = QByteArray(qsizetype(p.slot_count) * p.size, '\0');
    count = 0;
    Exch_Abort = false;
    ui.Status(QString());
    Date6 expected = start;
    for (int block = 0;; ++block) {
        std::memcpy(req + 3, expected.bytes(), size_t(date_len));
        int n = 0;
        QString err;
        if (!Exchange_Hd(p.func, req, req_len, p.size, n, err)) {
            ui.Status(err);
            ui.Start_Message_Timer();
            Plain(p.line1, kNotRead);
            return false;
        }
        if (n == 0) break;
        // Copied first: serving events below may bring another reply into the buffer.
        const QByteArray reply(reinterpret_cast<const char *>(Exch_Box->Resp_Buf + 5), qsizetype(n) * p.size);
        bool complete = false;
        for (int i = 0; i < n && !complete; ++i) {
            const char *rec = reply.constData() + qsizetype(i) * p.size;
            std::memcpy(out.data() + qsizetype(count) * p.size, rec, p.size);
            lr.Step(block);
            const Date6 d = Cut(reinterpret_cast<const uint8_t *>(rec), p.unit);
            if (Compare_Date6_Unit(d, expected, p.unit) < 0 || Compare_Date6_Unit(d, end, p.unit) > 0) {
                Plain(QStringLiteral("Передаваемые контроллером данные не соответствуют"),
                      QStringLiteral("запрошенному периоду"));
                return false;
            }
            if (pair) {
                const bool same = count < pair_count &&
                                  Compare_Date6_Unit(d.bytes(),
                                                     reinterpret_cast<const uint8_t *>(pair->constData()) +
                                                         qsizetype(count) * CHR_SIZE,
                                                     p.unit) == 0;
                if (!same) {
                    Plain(QStringLiteral("Несоответствие дат в записях"),
                          QStringLiteral("архивов данных хроматографа и влагомера"));
                    return false;
                }
            }
            expected = d;
            ++count;
            if (count >= p.slot_count) {
                complete = true;
            } else {
                Inc_Date6(expected, p.unit);
                if (Compare_Date6_Unit(expected, end, p.unit) > 0) complete = true;
            }
        }
        if (lr.Abort_Requested()) return false;
        if (complete) break;
    }
    return true;
}

} // namespace

bool Wmt_Fitted()
{
    const uint8_t *f = Tab_Field(6, 8);
    return f && *f != 0;
}

uint8_t Day_Start_Hour()
{
    const uint8_t *f = Tab_Field(6, 6);
    return f && *f < 24 ? *f : 0;
}

bool Rep_Date_In_Range(const Arh_Range &range, uint8_t kind, const uint8_t date[5])
{
    const int unit = kind == PASSPORT_MON ? UNIT_MONTH : UNIT_DAY;
    return Compare_Date6_Unit(date, range.start, unit) >= 0 && Compare_Date6_Unit(date, range.end, unit) <= 0;
}

Chr_HD_Rec Mon_Summary(const QByteArray &chr_recs, uint32_t count)
{
    Chr_HD_Rec s{};
    double sum = 0;
    int days = 0;
    const uint32_t n = std::min<uint32_t>(count, uint32_t(chr_recs.size() / CHR_SIZE));
    for (uint32_t i = 0; i < n; ++i) {
        const std::optional<Chr_HD_Rec> r = Rec_At<Chr_HD_Rec>(chr_recs, i);
        if (!r || !Rec_Valid(*r)) continue;
        const uint8_t *f11 = r->values + 4 * 11;
        const uint8_t *f2 = r->values + 4 * 2;
        if (Is_Nan(f11) || Is_Nan(f2) || Float_At(f2) < 0.001f) continue;
        sum += double(Float_At(f11));
        ++days;
    }
    const float mean = days ? float(sum / days) : 0.0f;
    std::memcpy(s.values + 4 * 11, &mean, 4);
    return s;
}

void Build_Passport_Descr(Param_Descr descr[ARH_PAR_MAX])
{
    std::memset(descr, 0, sizeof(Param_Descr) * ARH_PAR_MAX);
    const int n = Gas_Par_Count();
    for (int i = 0; i < n && i < ARH_PAR_MAX; ++i) {
        const Chr_Par *p = Image_Chr_Par(i);
        if (!p) continue;
        std::memcpy(descr[i].name, p->name, CHR_PAR_NAME_SHOWN);
        descr[i].type = p->type;
        descr[i].unit = p->unit;
        descr[i].decimals = p->decimals;
        descr[i].modbus_reg = p->reg;
    }
}

std::optional<Passport_Data> Gather_Passport(uint8_t kind, Passport_Ui &ui)
{
    if (kind > PASSPORT_MON) return std::nullopt;
    const QString tpl = Passport_Template_Path(kind);
    if (!QFile::exists(tpl)) {
        Plain(QStringLiteral("В рабочем каталоге отсутствует файл %1").arg(QFileInfo(tpl).fileName()),
              QStringLiteral("Обратитесь к разработчику программного обеспечения"));
        return std::nullopt;
    }
    const Tab_Status status = [&ui](const QString &s) { ui.Status(s); };
    Arh_Range range{};
    uint8_t first[6] = {};
    ui.Busy(true);
    const bool pre_ok = Arh_Precheck(range, first, 1, status);
    ui.Busy(false);
    if (!pre_ok) return std::nullopt;

    Passport_Data d;
    d.kind = kind;
    if (!ui.Ask_Report_Date(range, kind, d.date)) return std::nullopt;
    d.wmt = Wmt_Fitted();

    struct Busy_Scope {
        Arh_Read_Ui &ui;
        explicit Busy_Scope(Arh_Read_Ui &u) : ui(u) { ui.Busy(true); }
        ~Busy_Scope() { ui.Busy(false); }
    } busy(ui);

    Date6 start{}, end{};
    Pass chr, wmt;
    if (kind == PASSPORT_DAY) {
        if (!Read_Day_Record(0, d.date, &d.chr_summary, CHR_SIZE, ui)) return std::nullopt;
        if (d.wmt && !Read_Day_Record(1, d.date, &d.wmt_day, WMT_SIZE, ui)) return std::nullopt;
        // From the gas day's first hour (not before the archive) to the hour before the next one.
        start = Date6{d.date[0], d.date[1], d.date[2], d.date[3], 0, 0};
        const Date6 oldest = Cut(range.start, UNIT_HOUR);
        if (Compare_Date6_Unit(start, oldest, UNIT_HOUR) < 0) start = oldest;
        end = Date6{d.date[0], d.date[1], d.date[2], d.date[3], 0, 0};
        Inc_Date6(end, UNIT_DAY);
        Dec_Date6(end, UNIT_HOUR);
        chr = {15, 0, CHR_SIZE, UNIT_HOUR, PASSPORT_HOURS, QStringLiteral("Часовые данные хроматографа из архива")};
        wmt = {15, 1, WMT_SIZE, UNIT_HOUR, PASSPORT_HOURS, QStringLiteral("Часовые данные влагомера из архива")};
    } else {
        const int days = Days_In_Month(2000 + d.date[0], d.date[1]);
        if (days == 0) return std::nullopt;
        start = Date6{d.date[0], d.date[1], 1, 0, 0, 0};
        end = Date6{d.date[0], d.date[1], uint8_t(days), 0, 0, 0};
        const Date6 oldest = Cut(range.start, UNIT_DAY), newest = Cut(range.end, UNIT_DAY);
        if (Compare_Date6_Unit(start, oldest, UNIT_DAY) < 0) start = oldest;
        if (Compare_Date6_Unit(end, newest, UNIT_DAY) > 0) end = newest;
        chr = {16, 0, CHR_SIZE, UNIT_DAY, days, QStringLiteral("Суточные данные хроматографа из архива")};
        wmt = {16, 1, WMT_SIZE, UNIT_DAY, days, QStringLiteral("Суточные данные влагомера из архива")};
    }

    bool good;
    int chr_count = 0;
    {
        Arh_Long_Read lr(ui, WAIT_MAX);
        good = Gather_Pass(chr, start, end, lr, ui, d.chr_recs, chr_count, nullptr);
        if (good && chr_count == 0) {
            Plain(chr.line1, kNotRead);
            good = false;
        }
        if (good && d.wmt) {
            int wmt_count = 0;
            good = Gather_Pass(wmt, start, end, lr, ui, d.wmt_recs, wmt_count, &d.chr_recs);
            if (good && wmt_count == 0) {
                Plain(wmt.line1, kNotRead);
                good = false;
            }
            if (wmt_count != chr_count) {
                Plain(QStringLiteral("Несоответствие количества прочитанных данных"),
                      QStringLiteral("хроматографа (%1) и влагомера (%2)").arg(chr_count).arg(wmt_count));
                good = false;
            }
            d.wmt_recs.truncate(qsizetype(wmt_count) * WMT_SIZE);
        }
        lr.Stop_Run();
        ui.Start_Message_Timer();
        lr.End_Wait();
    }
    if (!good) return std::nullopt;

    d.count = uint32_t(chr_count);
    d.chr_recs.truncate(qsizetype(chr_count) * CHR_SIZE);
    if (kind == PASSPORT_MON) d.chr_summary = Mon_Summary(d.chr_recs, d.count);
    Build_Passport_Descr(d.descr);
    return d;
}
