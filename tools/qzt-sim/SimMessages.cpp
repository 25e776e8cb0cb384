#include "SimMessages.h"

#include "SimArchive.h"
#include "core/Crc16.h"
#include "core/Dtfun.h"

#include <QMutexLocker>
#include <algorithm>
#include <cstring>

namespace {

constexpr int E_BAD_LENGTH = 2;
constexpr int E_BAD_PARAMS = 4;
constexpr int E_SEQUENCE = 20;      // block out of sequence in a series
constexpr int E_OTHER_RANGE = 21;   // another period within a series
constexpr int E_BAD_RANGE = 22;
constexpr int E_UNKNOWN_DEVICE = 47;
constexpr int MAX_PAYLOAD = 255 - 6;   // reply frame: 4 header bytes and the CRC around it
constexpr int kBoundsTab[2] = {10, 11};

void Put_Date(char *p, const QDateTime &t)
{
    const QDate d = t.date();
    const QTime h = t.time();
    p[0] = char(uint8_t(d.year() - 2000));
    p[1] = char(uint8_t(d.month()));
    p[2] = char(uint8_t(d.day()));
    p[3] = char(uint8_t(h.hour()));
    p[4] = char(uint8_t(h.minute()));
    p[5] = char(uint8_t(h.second()));
}

QDateTime Req_Date(const QByteArray &frame, int at)
{
    uint8_t d[6];
    for (int i = 0; i < 6; ++i) d[i] = uint8_t(frame.at(at + i));
    if (!Valid_Date6(d)) return {};
    return QDateTime(QDate(2000 + d[0], d[1], d[2]), QTime(d[3], d[4], d[5]), Qt::UTC);
}

void Seal(QByteArray &rec) { Put_Crc16(reinterpret_cast<uint8_t *>(rec.data()), uint16_t(rec.size() - 2)); }

QByteArray U32_Bytes(uint32_t v)
{
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &v, 4);
    return b;
}

uint32_t F_Bits(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

// A diagnostic record of code c with an object that fits it (i varies the choices).
QByteArray Sample_Ala(const QDateTime &t, int c, int i)
{
    switch (c) {
    case 4: return Sim_Messages::Make_Ala(t, 4, uint8_t(i % 11), 0);
    case 5: return Sim_Messages::Make_Ala(t, 5, 14, uint8_t(i % 110), uint32_t(1000 + i));
    case 10: case 11:
        return i % 3 == 2 ? Sim_Messages::Make_Ala(t, uint8_t(c), 34, uint8_t(1 + i % 16))
                          : Sim_Messages::Make_Ala(t, uint8_t(c), 33, uint8_t(i % 3));
    case 12: case 13: case 14: case 15: case 16: case 17:
    case 44: case 45: case 46: case 47:
    case 60: case 61: case 62: case 63: case 64: case 65: case 66: case 67: case 68:
        return Sim_Messages::Make_Ala_F(t, uint8_t(c), 1, uint8_t(i % 12), 1.5f + float(i), 2.25f);
    case 22: case 23:
        return Sim_Messages::Make_Ala(t, uint8_t(c), i % 2 ? 201 : 200, uint8_t(i % 20), uint32_t(i));
    case 40: case 41: return Sim_Messages::Make_Ala(t, uint8_t(c), uint8_t(241 + i % 4), 0);
    case 42: case 43: return Sim_Messages::Make_Ala(t, uint8_t(c), uint8_t(i % 45), 0);
    case 48: case 49: return Sim_Messages::Make_Ala(t, uint8_t(c), 0, uint8_t(1 + i % 16));
    case 59: return Sim_Messages::Make_Ala(t, 59, 0, 0, 0x1234ABCDu, 0xDEADBEEFu);
    default: return Sim_Messages::Make_Ala(t, uint8_t(c), uint8_t(i % 45), uint8_t(i % 20));
    }
}

} // namespace

Sim_Messages::Sim_Messages(Sim_Core &core, Sim_Archive &archive) : Core(core), Arh(archive) {}

Sim_Messages::~Sim_Messages()
{
    Arh.Set_Other_Kinds({});
    Core.Set_Handler(7, {});
}

int Sim_Messages::Record_Size(int kind) { return kind == 0 ? 22 : kind == 1 ? 24 : 0; }

int Sim_Messages::Per_Reply(int kind) { return kind == 0 ? 11 : kind == 1 ? 10 : 0; }

QByteArray Sim_Messages::Make_Ala(const QDateTime &t, uint8_t code, uint8_t object, uint8_t index, uint32_t a,
                                  uint32_t b)
{
    QByteArray r(22, '\0');
    Put_Date(r.data(), t);
    r[6] = char(code);
    r[8] = char(object);
    r[9] = char(index);
    std::memcpy(r.data() + 10, &a, 4);
    std::memcpy(r.data() + 14, &b, 4);
    Seal(r);
    return r;
}

QByteArray Sim_Messages::Make_Ala_F(const QDateTime &t, uint8_t code, uint8_t object, uint8_t index, float a, float b)
{
    return Make_Ala(t, code, object, index, F_Bits(a), F_Bits(b));
}

QByteArray Sim_Messages::Make_Aud(const QDateTime &t, uint8_t table, uint8_t field, uint8_t unit, uint32_t old_v,
                                  uint32_t new_v, const QByteArray &oper)
{
    QByteArray r(24, '\0');
    Put_Date(r.data(), t);
    r[7] = char(table);
    r[8] = char(field);
    r[9] = char(unit);
    std::memcpy(r.data() + 10, &old_v, 4);
    std::memcpy(r.data() + 14, &new_v, 4);
    const QByteArray name = Sim_Core::Pad(oper, 4);
    std::memcpy(r.data() + 18, name.constData(), 4);
    Seal(r);
    return r;
}

void Sim_Messages::Generate(const QDateTime &newest, int ala_count, int aud_count, uint32_t first_index, int step_s)
{
    const QDateTime end = newest.isValid() ? newest : QDateTime::currentDateTimeUtc();
    QList<QByteArray> ala, aud;
    for (int i = 0; i < ala_count; ++i) {
        const QDateTime t = end.addSecs(-qint64(ala_count - 1 - i) * step_s);
        const int c = i % 84 < 82 ? i % 84 : (i % 84 == 82 ? 90 : 200);
        ala << Sample_Ala(t, c, i / 84 + i);
    }
    static const uint8_t kTabs[] = {2, 3, 6, 7, 13, 22};
    for (int i = 0; i < aud_count; ++i) {
        const QDateTime t = end.addSecs(-qint64(aud_count - 1 - i) * step_s);
        aud << Make_Aud(t, kTabs[i % 6], uint8_t(i % 4), uint8_t(i % 37), uint32_t(i), uint32_t(i + 1), "OPER");
    }
    Set_Records(0, first_index, ala);
    Set_Records(1, first_index, aud);
}

void Sim_Messages::Set_Records(int kind, uint32_t first_index, const QList<QByteArray> &recs)
{
    if (kind != 0 && kind != 1) return;
    {
        QMutexLocker l(&Mx);
        QVector<Rec> &v = Log[kind];
        v.clear();
        for (const QByteArray &b : recs) {
            Rec r;
            r.bytes = b;
            r.when = Req_Date(b, 0);
            v.append(r);
        }
        First[kind] = first_index;
        Ser[kind] = Series();
    }
    const uint32_t n = uint32_t(recs.size());
    Set_Bounds(kind, first_index, n ? first_index + n - 1 : first_index);
}

void Sim_Messages::Set_Bounds(int kind, uint32_t oldest, uint32_t newest)
{
    if (kind != 0 && kind != 1) return;
    Core.Set_Field(kBoundsTab[kind], 0, U32_Bytes(oldest));
    Core.Set_Field(kBoundsTab[kind], 1, U32_Bytes(newest));
}

void Sim_Messages::Install()
{
    Core.Set_Handler(7, [this](const QByteArray &frame, QByteArray &) { return Func7(frame); });
    Arh.Set_Other_Kinds([this](const QByteArray &frame, QByteArray &) { return Func8(frame); });
}

int Sim_Messages::Count(int kind) const
{
    QMutexLocker l(&Mx);
    return kind == 0 || kind == 1 ? int(Log[kind].size()) : 0;
}

uint32_t Sim_Messages::First_Index(int kind) const
{
    QMutexLocker l(&Mx);
    return kind == 0 || kind == 1 ? First[kind] : 0;
}

QByteArray Sim_Messages::Record(int kind, int i) const
{
    QMutexLocker l(&Mx);
    if ((kind != 0 && kind != 1) || i < 0 || i >= Log[kind].size()) return {};
    return Log[kind][i].bytes;
}

QDateTime Sim_Messages::Date_Of(int kind, int i) const
{
    QMutexLocker l(&Mx);
    if ((kind != 0 && kind != 1) || i < 0 || i >= Log[kind].size()) return {};
    return Log[kind][i].when;
}

void Sim_Messages::Spoil_Crc(int kind, int i)
{
    QMutexLocker l(&Mx);
    if ((kind != 0 && kind != 1) || i < 0 || i >= Log[kind].size()) return;
    QByteArray &b = Log[kind][i].bytes;
    b[b.size() - 1] = char(b.at(b.size() - 1) ^ 0x5A);
}

void Sim_Messages::Set_Archive_Error(bool on)
{
    QMutexLocker l(&Mx);
    Arh_Error = on;
}

void Sim_Messages::Set_Reply_Limit(int n)
{
    QMutexLocker l(&Mx);
    Limit = std::max(n, 0);
}

void Sim_Messages::Set_Count_Mismatch(int func, int skip, int times)
{
    QMutexLocker l(&Mx);
    Mismatches.append({func, skip, times});
}

void Sim_Messages::Set_Endless(bool on)
{
    QMutexLocker l(&Mx);
    Endless = on;
}

void Sim_Messages::Clear_Faults()
{
    QMutexLocker l(&Mx);
    Arh_Error = false;
    Endless = false;
    Limit = 0;
    Mismatches.clear();
}

bool Sim_Messages::Take_Mismatch(int func)
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

int Sim_Messages::Fit(int kind) const
{
    const int n = Per_Reply(kind);
    return Limit > 0 ? std::min(n, Limit) : n;
}

Sim_Answer Sim_Messages::Func7(const QByteArray &frame)
{
    if (frame.size() != 4 + 7 + 2) return {E_BAD_LENGTH, 0, {}};
    const int kind = uint8_t(frame.at(5));
    if (uint8_t(frame.at(4)) != 0) return {E_UNKNOWN_DEVICE, 0, {}};
    if (kind != 0 && kind != 1) return {E_BAD_PARAMS, 0, {}};
    uint32_t first;
    std::memcpy(&first, frame.constData() + 6, 4);
    const int asked = uint8_t(frame.at(10));
    QMutexLocker l(&Mx);
    const QVector<Rec> &v = Log[kind];
    QByteArray recs;
    int n = 0;
    // Indexes outside the log give no records, as a controller whose log has moved on.
    if (first >= First[kind]) {
        const uint64_t from = uint64_t(first) - First[kind];
        const int take = std::min(asked, Fit(kind));
        for (uint64_t i = from; i < uint64_t(v.size()) && n < take; ++i, ++n) recs += v[qsizetype(i)].bytes;
    }
    const int shown_n = Take_Mismatch(7) ? n + 1 : n;
    QByteArray payload = frame.mid(4, 6);
    payload.append(char(uint8_t(shown_n)));
    return {0, 0, payload + recs};
}

Sim_Answer Sim_Messages::Func8(const QByteArray &frame)
{
    if (frame.size() != 4 + 15 + 2) return {E_BAD_LENGTH, 0, {}};
    const uint8_t device = uint8_t(frame.at(4));
    const int kind = uint8_t(frame.at(5));
    const int block = uint8_t(frame.at(6));
    if (device != 0) return {E_UNKNOWN_DEVICE, 0, {}};
    if (kind != 0 && kind != 1) return {E_BAD_PARAMS, 0, {}};
    QMutexLocker l(&Mx);
    Series &s = Ser[kind];
    const QByteArray key = frame.mid(4, 2) + frame.mid(7, 12);
    if (block == 0) {
        const QDateTime from = Req_Date(frame, 7), to = Req_Date(frame, 13);
        if (!from.isValid() || !to.isValid() || from > to) return {E_BAD_RANGE, 0, {}};
        s = Series();
        s.active = true;
        s.key = key;
        const QVector<Rec> &v = Log[kind];
        for (int i = 0; i < v.size(); ++i)
            if (v[i].when.isValid() && v[i].when >= from && v[i].when <= to) s.idx.append(i);
    } else if (block == s.last_block && key == s.key) {
        // The same block again: its reply was lost on the line, send it once more.
        s.pos = s.last_pos;
    } else {
        if (!s.active || block != s.next_block) return {E_SEQUENCE, 0, {}};
        if (key != s.key) return {E_OTHER_RANGE, 0, {}};
    }
    s.last_block = block;
    s.last_pos = s.pos;
    const int size = Record_Size(kind);
    const int fit = std::min((MAX_PAYLOAD - 4) / size, Fit(kind));
    if (Endless && s.pos >= s.idx.size()) s.pos = 0;
    const int n = std::max(0, std::min<int>(fit, int(s.idx.size()) - s.pos));
    QByteArray recs;
    for (int i = 0; i < n; ++i) recs += Log[kind][s.idx[s.pos + i]].bytes;
    s.pos += n;
    const bool more = Endless || s.pos < s.idx.size();
    s.next_block = block == 255 ? 1 : block + 1;
    if (!more) s.active = false;
    const int shown_n = Take_Mismatch(8) ? n + 1 : n;
    QByteArray payload;
    payload.append(char(Arh_Error ? 0x80 : 0));
    payload.append(char(uint8_t(block)));
    payload.append(char(uint8_t(shown_n)));
    payload.append(char(more ? 1 : 0));
    return {0, 0, payload + recs};
}
