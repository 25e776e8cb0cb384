#include "SimArchive.h"

#include "core/Crc16.h"
#include "core/Dtfun.h"

#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Controller error codes of the archive functions.
constexpr int E_BAD_LENGTH = 2;
constexpr int E_BAD_PARAMS = 4;
constexpr int E_SEQUENCE = 20;      // block out of sequence in a series
constexpr int E_OTHER_RANGE = 21;   // another period within a series
constexpr int E_BAD_RANGE = 22;
constexpr int E_UNKNOWN_DEVICE = 47;

constexpr int MAX_PAYLOAD = 255 - 6;   // reply frame: 4 header bytes and the CRC around it

enum Unit { U_SECOND, U_HOUR, U_DAY };

constexpr int kSizes[SIM_ARH_COUNT] = {94, 29, 90, 94, 28, 94, 28};
// Offset of the first value and the number of values of each record.
constexpr int kValueAt[SIM_ARH_COUNT] = {12, 11, 8, 12, 10, 12, 10};
constexpr int kValues[SIM_ARH_COUNT] = {20, 4, 20, 20, 4, 20, 4};

// Moisture meter: water dew point, hydrocarbon dew point, pressure, dew point at absolute pressure.
constexpr float kWmtBase[4] = {-18.4f, -12.1f, 5.31f, -9.7f};

int Idx(Sim_Arh a) { return int(a); }

QDateTime Naive(const QDateTime &t) { return QDateTime(t.date(), t.time(), Qt::UTC); }

QDateTime Cut(const QDateTime &t, int unit)
{
    switch (unit) {
    case U_HOUR: return QDateTime(t.date(), QTime(t.time().hour(), 0), Qt::UTC);
    case U_DAY: return QDateTime(t.date(), QTime(0, 0), Qt::UTC);
    default: return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()), Qt::UTC);
    }
}

void Put_Date(char *p, const QDateTime &t, int len)
{
    const uint8_t b[6] = {uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                          uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
    std::memcpy(p, b, size_t(len));
}

QByteArray Date_Bytes(const QDateTime &t, int len)
{
    QByteArray b(6, '\0');
    Put_Date(b.data(), t, len);
    return b;
}

// A date of a request (len bytes of year..second, the rest zero); invalid when it is no date.
QDateTime Req_Date(const QByteArray &frame, int at, int len)
{
    uint8_t d[6] = {};
    for (int i = 0; i < len; ++i) d[i] = uint8_t(frame.at(at + i));
    if (!Valid_Date6(d)) return {};
    return QDateTime(QDate(2000 + d[0], d[1], d[2]), QTime(d[3], d[4], d[5]), Qt::UTC);
}

void Put_F32(char *p, float v) { std::memcpy(p, &v, 4); }

void Seal(QByteArray &rec) { Put_Crc16(reinterpret_cast<uint8_t *>(rec.data()), uint16_t(rec.size() - 2)); }
} // namespace

Sim_Archive::Sim_Archive(Sim_Core &core) : Core(core) {}

Sim_Archive::~Sim_Archive()
{
    Core.Set_Handler(8, {});
    Core.Set_Handler(15, {});
    Core.Set_Handler(16, {});
}

int Sim_Archive::Record_Size(Sim_Arh a) { return kSizes[Idx(a)]; }

int Sim_Archive::Unit_Of(Sim_Arh a) const
{
    switch (a) {
    case Sim_Arh::Chr_Hour:
    case Sim_Arh::Wmt_Hour: return U_HOUR;
    case Sim_Arh::Chr_Day:
    case Sim_Arh::Wmt_Day: return U_DAY;
    default: return U_SECOND;
    }
}

QByteArray Sim_Archive::Make_Record(Sim_Arh a, const QDateTime &t, int serial) const
{
    const int size = kSizes[Idx(a)];
    QByteArray r(size, '\0');
    char *p = r.data();
    const bool daily = a == Sim_Arh::Chr_Day || a == Sim_Arh::Wmt_Day;
    const bool hd = a == Sim_Arh::Chr_Hour || a == Sim_Arh::Wmt_Hour || daily;
    if (hd) {
        // Date, start and end of the interval.
        Put_Date(p, t, 4);
        if (daily) {
            p[3] = char(Day_Hour);
            p[6] = char(Day_Hour);
        } else {
            p[6] = char((t.time().hour() + 1) % 24);
        }
    } else {
        Put_Date(p, t, 6);
    }
    if (a == Sim_Arh::Chr_Hour || a == Sim_Arh::Chr_Day) {
        const uint16_t valid = daily ? 480 : 20;   // analyses every 3 minutes
        std::memcpy(p + 10, &valid, 2);
    } else if (a == Sim_Arh::Clb) {
        p[6] = char(uint8_t(serial % 255 + 1));   // calibration number
    }
    const int at = kValueAt[Idx(a)];
    for (int k = 0; k < kValues[Idx(a)]; ++k) {
        const float base = kValues[Idx(a)] == 4 ? kWmtBase[k] : (k < Base.size() ? Base[k] : 1.0f);
        float v = base * float(1.0 + 0.002 * std::sin(0.1 * serial + k));
        if (a == Sim_Arh::Chr_Meas || a == Sim_Arh::Clb) {
            // The lowest byte carries the zone marks: none here.
            uint32_t u;
            std::memcpy(&u, &v, 4);
            u &= ~uint32_t(3);
            std::memcpy(&v, &u, 4);
        }
        Put_F32(p + at + 4 * k, v);
    }
    Seal(r);
    return r;
}

void Sim_Archive::Generate(const Sim_Archive_Span &span)
{
    const QDateTime now = Naive(span.now.isValid() ? span.now
                                                   : QDateTime::currentDateTime().addSecs(Core.Clock_Offset()));
    QVector<float> base;
    const QByteArray consts = Core.Table(44);
    for (int k = 0; k + 4 <= consts.size() && k < 80; k += 4) {
        float v;
        std::memcpy(&v, consts.constData() + k, 4);
        base.append(std::isfinite(v) && v != 0 ? v : 1.0f);
    }
    QByteArray first[3];
    {
        QMutexLocker l(&Mx);
        Base = base;
        Day_Hour = uint8_t(std::clamp<int>(span.day_start_hour, 0, 23));
        Ser = Series();
        for (auto &v : Arh) v.clear();

        // Every 3 minutes, the newest at the last whole 3 minutes.
        const QTime nt = now.time();
        const QDateTime last3(now.date(), QTime(nt.hour(), nt.minute() - nt.minute() % 3), Qt::UTC);
        const int n3 = std::max(0, span.meas_hours) * 20;
        for (int i = n3 - 1, s = 0; i >= 0; --i, ++s) {
            const QDateTime t = last3.addSecs(-180LL * i);
            Arh[Idx(Sim_Arh::Chr_Meas)].append({Make_Record(Sim_Arh::Chr_Meas, t, s), t});
            Arh[Idx(Sim_Arh::Wmt_Meas)].append({Make_Record(Sim_Arh::Wmt_Meas, t, s), t});
        }
        // Hours up to the one before the present hour.
        const QDateTime last_h = Cut(now, U_HOUR).addSecs(-3600);
        const int nh = std::max(0, span.hour_days) * 24;
        for (int i = nh - 1, s = 0; i >= 0; --i, ++s) {
            const QDateTime t = last_h.addSecs(-3600LL * i);
            Arh[Idx(Sim_Arh::Chr_Hour)].append({Make_Record(Sim_Arh::Chr_Hour, t, s), t});
            Arh[Idx(Sim_Arh::Wmt_Hour)].append({Make_Record(Sim_Arh::Wmt_Hour, t, s), t});
        }
        // Gas days closed by now: day D ends at the day-start hour of D + 1.
        const QDate last_d = now.date().addDays(nt.hour() >= Day_Hour ? -1 : -2);
        const int nd = std::max(0, span.day_days);
        for (int i = nd - 1, s = 0; i >= 0; --i, ++s) {
            const QDateTime t(last_d.addDays(-i), QTime(0, 0), Qt::UTC);
            Arh[Idx(Sim_Arh::Chr_Day)].append({Make_Record(Sim_Arh::Chr_Day, t, s), t});
            Arh[Idx(Sim_Arh::Wmt_Day)].append({Make_Record(Sim_Arh::Wmt_Day, t, s), t});
        }
        // One calibration a day at clb_hour:30, those already done.
        const int nc = std::max(0, span.clb_days);
        for (int i = nc - 1, s = 0; i >= 0; --i) {
            const QDateTime t(now.date().addDays(-i), QTime(std::clamp(span.clb_hour, 0, 23), 30), Qt::UTC);
            if (t > now) continue;
            Arh[Idx(Sim_Arh::Clb)].append({Make_Record(Sim_Arh::Clb, t, s), t});
            ++s;
        }

        static const QByteArray kNone = QByteArray::fromHex("010101000000");   // "no data"
        const auto &m = Arh[Idx(Sim_Arh::Chr_Meas)];
        const auto &h = Arh[Idx(Sim_Arh::Chr_Hour)];
        const auto &d = Arh[Idx(Sim_Arh::Chr_Day)];
        first[0] = m.isEmpty() ? kNone : Date_Bytes(m.first().when, 6);
        first[1] = h.isEmpty() ? kNone : Date_Bytes(h.first().when, 4);
        first[2] = d.isEmpty() ? kNone : Date_Bytes(d.first().when, 3);
        if (!d.isEmpty() && span.day_flag) first[2][5] = char(0x80);
    }
    // Tables outside the archive lock: the core's handlers take the locks the other way round.
    Core.Set_Field(6, 6, QByteArray(1, char(uint8_t(std::clamp<int>(span.day_start_hour, 0, 23)))));
    for (int k = 0; k < 3; ++k) Core.Set_Field(27, k, first[k]);
}

void Sim_Archive::Install()
{
    Core.Set_Handler(8, [this](const QByteArray &frame, QByteArray &image) -> Sim_Answer {
        Sim_Core::Handler other;
        {
            QMutexLocker l(&Mx);
            other = Other;
        }
        const int kind = frame.size() > 5 ? uint8_t(frame.at(5)) : -1;
        if ((kind == 0 || kind == 1) && other) return other(frame, image);
        return Func8(frame);
    });
    Core.Set_Handler(15, [this](const QByteArray &frame, QByteArray &) { return Func15_16(frame); });
    Core.Set_Handler(16, [this](const QByteArray &frame, QByteArray &) { return Func15_16(frame); });
}

void Sim_Archive::Set_Other_Kinds(Sim_Core::Handler h)
{
    QMutexLocker l(&Mx);
    Other = std::move(h);
}

bool Sim_Archive::Take_Mismatch(int func)
{
    for (int i = 0; i < Mismatches.size(); ++i) {
        Mismatch &m = Mismatches[i];
        if (m.func != func) continue;
        if (m.skip > 0) {
            --m.skip;
            return false;
        }
        if (m.times > 0 && --m.times == 0) Mismatches.removeAt(i);
        return true;
    }
    return false;
}

Sim_Answer Sim_Archive::Func8(const QByteArray &frame)
{
    if (frame.size() != 21) return {E_BAD_LENGTH, 0, {}};
    const uint8_t device = uint8_t(frame.at(4));
    const uint8_t kind = uint8_t(frame.at(5));
    const int block = uint8_t(frame.at(6));
    QMutexLocker l(&Mx);
    Block_Log.append(block);
    Sim_Arh a;
    if (kind == 6) {
        if (device == 0) a = Sim_Arh::Chr_Meas;
        else if (device == 0x01) a = Sim_Arh::Wmt_Meas;   // the meter on channel 0
        else return {E_UNKNOWN_DEVICE, 0, {}};
    } else if (kind == 5) {
        if (device != 0) return {E_UNKNOWN_DEVICE, 0, {}};
        a = Sim_Arh::Clb;
    } else {
        return {E_BAD_PARAMS, 0, {}};
    }
    const QByteArray key = frame.mid(4, 2) + frame.mid(7, 12);
    if (block == 0) {
        const QDateTime from = Req_Date(frame, 7, 6), to = Req_Date(frame, 13, 6);
        if (!from.isValid() || !to.isValid() || from > to) return {E_BAD_RANGE, 0, {}};
        Ser = Series();
        Ser.active = true;
        Ser.key = key;
        const QVector<Rec> &v = Arh[Idx(a)];
        for (int i = 0; i < v.size(); ++i)
            if (In_Range(a, v[i].when, from, to)) Ser.idx.append(i);
    } else if (block == Ser.last_block && key == Ser.key) {
        // The same block again: its reply was lost on the line, send it once more.
        Ser.pos = Ser.last_pos;
    } else {
        if (!Ser.active || block != Ser.next_block) return {E_SEQUENCE, 0, {}};
        if (key != Ser.key) return {E_OTHER_RANGE, 0, {}};
    }
    Ser.last_block = block;
    Ser.last_pos = Ser.pos;
    const int size = kSizes[Idx(a)];
    const int fit = (MAX_PAYLOAD - 4) / size;
    if (Endless && Ser.pos >= Ser.idx.size()) Ser.pos = 0;   // over again, for ever
    const int n = std::min<int>(fit, int(Ser.idx.size()) - Ser.pos);
    QByteArray recs;
    recs.reserve(n * size);
    for (int i = 0; i < n; ++i) {
        const int k = Ser.idx[Ser.pos + i];
        if (k < Arh[Idx(a)].size()) recs += Arh[Idx(a)][k].bytes;
    }
    Ser.pos += n;
    const bool more = Endless || Ser.pos < Ser.idx.size();
    Ser.next_block = block == 255 ? 1 : block + 1;
    if (!more) Ser.active = false;
    const int sent = int(recs.size()) / size;
    const int shown_n = Take_Mismatch(8) ? sent + 1 : sent;
    QByteArray payload;
    payload.append(char(Arh_Error ? 0x80 : 0));
    payload.append(char(uint8_t(block)));
    payload.append(char(uint8_t(shown_n)));
    payload.append(char(more ? 1 : 0));
    return {0, 0, payload + recs};
}

Sim_Answer Sim_Archive::Func15_16(const QByteArray &frame)
{
    const int func = uint8_t(frame.at(3));
    const bool hourly = func == 15;
    if (frame.size() != (hourly ? 17 : 15)) return {E_BAD_LENGTH, 0, {}};
    if (uint8_t(frame.at(4)) != 3) return {E_BAD_PARAMS, 0, {}};
    const uint8_t device = uint8_t(frame.at(6));
    if (device > 1) return {E_UNKNOWN_DEVICE, 0, {}};
    const Sim_Arh a = hourly ? (device ? Sim_Arh::Wmt_Hour : Sim_Arh::Chr_Hour)
                             : (device ? Sim_Arh::Wmt_Day : Sim_Arh::Chr_Day);
    const int len = hourly ? 4 : 3;
    const QDateTime from = Req_Date(frame, 7, len), to = Req_Date(frame, 7 + len, len);
    if (!from.isValid() || !to.isValid() || from > to) return {E_BAD_RANGE, 0, {}};
    QMutexLocker l(&Mx);
    const int size = kSizes[Idx(a)];
    const int fit = (MAX_PAYLOAD - 1) / size;
    QByteArray recs;
    int n = 0;
    for (const Rec &r : std::as_const(Arh[Idx(a)])) {
        if (n == fit) break;
        if (!In_Range(a, r.when, from, to)) continue;
        recs += r.bytes;
        ++n;
    }
    const int shown_n = Take_Mismatch(func) ? n + 1 : n;
    return {0, 0, QByteArray(1, char(uint8_t(shown_n))) + recs};
}

bool Sim_Archive::In_Range(Sim_Arh a, const QDateTime &t, const QDateTime &from, const QDateTime &to) const
{
    const int u = Unit_Of(a);
    const QDateTime c = Cut(t, u);
    return c >= Cut(from, u) && c <= Cut(to, u);
}

int Sim_Archive::Count(Sim_Arh a) const
{
    QMutexLocker l(&Mx);
    return int(Arh[Idx(a)].size());
}

QByteArray Sim_Archive::Record(Sim_Arh a, int i) const
{
    QMutexLocker l(&Mx);
    const auto &v = Arh[Idx(a)];
    return i >= 0 && i < v.size() ? v[i].bytes : QByteArray();
}

QDateTime Sim_Archive::Date_Of(Sim_Arh a, int i) const
{
    QMutexLocker l(&Mx);
    const auto &v = Arh[Idx(a)];
    return i >= 0 && i < v.size() ? v[i].when : QDateTime();
}

int Sim_Archive::Index_Of(Sim_Arh a, const QDateTime &t) const
{
    QMutexLocker l(&Mx);
    const auto &v = Arh[Idx(a)];
    const int u = Unit_Of(a);
    const QDateTime c = Cut(Naive(t), u);
    for (int i = 0; i < v.size(); ++i)
        if (Cut(v[i].when, u) == c) return i;
    return -1;
}

QList<QByteArray> Sim_Archive::Records_Between(Sim_Arh a, const QDateTime &from, const QDateTime &to) const
{
    QMutexLocker l(&Mx);
    QList<QByteArray> out;
    for (const Rec &r : Arh[Idx(a)])
        if (In_Range(a, r.when, Naive(from), Naive(to))) out.append(r.bytes);
    return out;
}

void Sim_Archive::Spoil_Crc(Sim_Arh a, int i)
{
    QMutexLocker l(&Mx);
    auto &v = Arh[Idx(a)];
    if (i < 0 || i >= v.size()) return;
    QByteArray &r = v[i].bytes;
    r[r.size() - 1] = char(r.at(r.size() - 1) ^ 0x5A);
}

void Sim_Archive::Set_Value(Sim_Arh a, int i, int k, float value)
{
    QMutexLocker l(&Mx);
    auto &v = Arh[Idx(a)];
    if (i < 0 || i >= v.size() || k < 0 || k >= kValues[Idx(a)]) return;
    QByteArray &r = v[i].bytes;
    Put_F32(r.data() + kValueAt[Idx(a)] + 4 * k, value);
    Seal(r);
}

int Sim_Archive::Remove_Between(Sim_Arh a, const QDateTime &from, const QDateTime &to)
{
    QMutexLocker l(&Mx);
    auto &v = Arh[Idx(a)];
    Ser = Series();   // its record indexes no longer hold
    const auto n0 = v.size();
    v.removeIf([&](const Rec &r) { return In_Range(a, r.when, Naive(from), Naive(to)); });
    return int(n0 - v.size());
}

void Sim_Archive::Swap(Sim_Arh a, int i, int j)
{
    QMutexLocker l(&Mx);
    auto &v = Arh[Idx(a)];
    if (i < 0 || j < 0 || i >= v.size() || j >= v.size()) return;
    Ser = Series();
    std::swap(v[i], v[j]);
}

void Sim_Archive::Set_Archive_Error(bool on)
{
    QMutexLocker l(&Mx);
    Arh_Error = on;
}

void Sim_Archive::Set_Endless(bool on)
{
    QMutexLocker l(&Mx);
    Endless = on;
}

void Sim_Archive::Set_Count_Mismatch(int func, int skip, int times)
{
    if (times == 0) return;
    QMutexLocker l(&Mx);
    Mismatches.append({func, std::max(0, skip), times});
}

void Sim_Archive::Clear_Faults()
{
    QMutexLocker l(&Mx);
    Arh_Error = false;
    Endless = false;
    Mismatches.clear();
}

QList<int> Sim_Archive::Blocks() const
{
    QMutexLocker l(&Mx);
    return Block_Log;
}

void Sim_Archive::Clear_Blocks()
{
    QMutexLocker l(&Mx);
    Block_Log.clear();
}
