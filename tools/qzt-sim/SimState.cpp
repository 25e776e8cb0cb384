#include "SimState.h"

#include "core/Tables.h"

#include <cstring>

namespace Sim_State {
namespace {
constexpr int E_BAD_LENGTH = 2;
constexpr int E_BAD_PASSWORD = 3;
constexpr int E_NOT_REGISTERED = 34;
constexpr int USER_LEN = 22;
constexpr int SIT_LEN = 18;   // table 16

QByteArray Date6(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime c = t.time();
    QByteArray b(6, '\0');
    b[0] = char(uint8_t(d.year() - 2000));
    b[1] = char(uint8_t(d.month()));
    b[2] = char(uint8_t(d.day()));
    b[3] = char(uint8_t(c.hour()));
    b[4] = char(uint8_t(c.minute()));
    b[5] = char(uint8_t(c.second()));
    return b;
}

// {year, month, day, -, hour, minute, second, -} of tables 30 and 37.
QByteArray Poll_Time(const QDateTime &t)
{
    const QByteArray d = Date6(t);
    QByteArray b(8, '\0');
    b[0] = d[0];
    b[1] = d[1];
    b[2] = d[2];
    b[4] = d[3];
    b[5] = d[4];
    b[6] = d[5];
    return b;
}

QByteArray F32(float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((u >> (8 * i)) & 0xFF);
    return b;
}
} // namespace

Sim_Answer Reset_NV(const QByteArray &frame, QByteArray &image)
{
    if (frame.size() != 22) return {E_BAD_LENGTH, 0, {}};
    if (image.size() != CONTR_TABLES_SIZE) return {E_BAD_LENGTH, 0, {}};
    const QByteArray pass = frame.mid(4, 12), code = frame.mid(16, 4);
    // A registered user (access level not 0) with this password and code.
    const int t4 = Tab_Offset(4);
    bool pass_known = false, code_fits = false;
    for (int u = 0; u < Tab_Dir[4].field_count; ++u) {
        const int at = t4 + u * USER_LEN;
        if (image.at(at + 4) == 0 || image.mid(at + 6, 12) != pass) continue;
        pass_known = true;
        if (image.mid(at + 18, 4) == code) code_fits = true;
    }
    if (!pass_known) return {E_BAD_PASSWORD, 0, {}};
    if (!code_fits) return {E_NOT_REGISTERED, 0, {}};

    // The clock runs on and the users stay registered; every other configuration table is
    // gone, and the upper-level link is back at address 1, 9600 baud (index 11).
    for (int t = 0; t < TAB_COUNT; ++t) {
        if (!Tab_Dir[t].cfg_flag || t == 2 || t == 3 || t == 4) continue;
        image.replace(Tab_Offset(t), Tab_Length(t), QByteArray(Tab_Length(t), '\0'));
        image[Tab_Offset(7) + t] = char(1);
    }
    const int t3 = Tab_Offset(3);
    image[t3] = char(1);
    image[t3 + 1] = char(11);
    image[t3 + 2] = 0;
    image[t3 + 3] = 0;
    image[Tab_Offset(0)] = char(1);
    return {};
}

void Install(Sim_Core &sim)
{
    sim.Set_Handler(25, &Reset_NV);
}

void Follow_Reset(Sim_Core &sim)
{
    const QByteArray t3 = sim.Field(3, 0);
    if (t3.size() == 1 && uint8_t(t3[0]) != 0 && uint8_t(t3[0]) != 0xFF) sim.Set_Adr(uint8_t(t3[0]));
}

void Set_Situations(Sim_Core &sim, const Situations &s)
{
    QByteArray t(SIT_LEN, '\0');
    t.replace(0, 6, Date6(s.when.isValid() ? s.when : QDateTime::currentDateTime()));
    t[6] = char(s.vich);
    t[7] = char(s.chrom_err);
    t[8] = char(s.wmt_err);
    t[9] = char(s.diag);
    t[10] = char(s.line1);
    t[12] = char(s.word1[0]);
    t[13] = char(s.word1[1]);
    t[16] = char(s.word2[0]);
    t[17] = char(s.word2[1]);
    for (int k = 0; k < SIT_LEN; ++k) sim.Set_Field(16, k, t.mid(k, 1));
}

void Set_Links(Sim_Core &sim, uint8_t chrom, uint8_t wmt)
{
    sim.Set_Field(33, 0, QByteArray(1, char(chrom)));
    sim.Set_Field(33, 1, QByteArray(1, char(wmt)));
}

void Set_Vich_State(Sim_Core &sim, const QList<uint8_t> &link, const QList<uint8_t> &writing)
{
    for (int i = 0; i < 16; ++i) {
        sim.Set_Field(34, i, QByteArray(1, char(i < link.size() ? link[i] : 0)));
        sim.Set_Field(35, i, QByteArray(1, char(i < writing.size() ? writing[i] : 0)));
    }
}

void Set_Chrom_Mom(Sim_Core &sim, const QDateTime &polled, const QList<float> &values, const QList<uint8_t> &zones)
{
    const QByteArray pt = Poll_Time(polled);
    sim.Set_Field(30, 0, pt.left(4));
    sim.Set_Field(30, 1, pt.mid(4, 4));
    for (int i = 0; i < 20 && i < values.size(); ++i) sim.Set_Field(30, 2 + i, F32(values[i]));
    for (int i = 0; i < 20 && i < zones.size(); ++i) sim.Set_Field(32, i, QByteArray(1, char(zones[i])));
    const QByteArray d = Date6(polled);
    for (int k = 0; k < 6; ++k) sim.Set_Field(42, k, d.mid(k, 1));
}

void Set_Wmt_Mom(Sim_Core &sim, const QDateTime &at, const QList<float> &values)
{
    const QByteArray pt = Poll_Time(at);
    sim.Set_Field(37, 0, pt.left(4));
    sim.Set_Field(37, 1, pt.mid(4, 4));
    for (int i = 0; i < 5 && i < values.size(); ++i) sim.Set_Field(37, 2 + i, F32(values[i]));
}

void Set_Raw_Value(Sim_Core &sim, int table, int field, uint32_t bits)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((bits >> (8 * i)) & 0xFF);
    sim.Set_Field(table, field, b);
}

}  // namespace Sim_State
