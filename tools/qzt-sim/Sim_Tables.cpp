// The simulated controller's factory table image: a chromatograph with 20 gas parameters,
// a moisture meter and two flow computers, nothing destroyed.
#include "Sim.h"

#include "core/Codepage.h"
#include "core/Tables.h"

#include <cstring>

namespace {
class Image_Builder {
public:
    Image_Builder() : Img(CONTR_TABLES_SIZE, '\0') {}

    void Bytes(int t, int k, std::initializer_list<int> v)
    {
        int at = Tab_Offset(t) + k * Tab_Dir[t].field_size;
        for (int x : v) Img[at++] = char(uint8_t(x));
    }
    void Raw(int t, int byte_off, const QByteArray &b) { Img.replace(Tab_Offset(t) + byte_off, int(b.size()), b); }
    void U16(int t, int byte_off, uint16_t v) { Raw(t, byte_off, Le(&v, 2)); }
    void U32(int t, int byte_off, uint32_t v) { Raw(t, byte_off, Le(&v, 4)); }
    void F32(int t, int byte_off, float v)
    {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        U32(t, byte_off, u);
    }
    // Zero-padded text field (names of tables 1 and 5).
    void Text(int t, int byte_off, const QByteArray &s, int len) { Raw(t, byte_off, s.left(len) + QByteArray(len - std::min(len, int(s.size())), '\0')); }

    QByteArray Img;

private:
    static QByteArray Le(const void *p, int n)
    {
        // Little-endian on the wire whatever the host.
        uint32_t v = 0;
        std::memcpy(&v, p, size_t(n));
        QByteArray b;
        for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
        return b;
    }
};

struct Gas_Par {
    const char *name;
    const char *symbol;
    int unit;
    float min, max;
    int decimals;
    int type;
    float value;   // momentary value and constant
};

// Units: 1 "%", 4 "МДж/м3", 7 "кг/м3", 8 "°C", 0 none.
const Gas_Par kGasPars[20] = {
    {"Метан", "CH4", 1, 0, 100, 4, 0, 92.3512f},
    {"Этан", "C2H6", 1, 0, 15, 4, 0, 3.8120f},
    {"Пропан", "C3H8", 1, 0, 6, 4, 0, 1.1045f},
    {"изо-Бутан", "iC4H10", 1, 0, 2, 4, 0, 0.1520f},
    {"н-Бутан", "nC4H10", 1, 0, 2, 4, 0, 0.1811f},
    {"нео-Пентан", "neoC5H12", 1, 0, 0.5f, 4, 0, 0.0021f},
    {"изо-Пентан", "iC5H12", 1, 0, 0.5f, 4, 0, 0.0412f},
    {"н-Пентан", "nC5H12", 1, 0, 0.5f, 4, 0, 0.0376f},
    {"Гексаны+", "C6+", 1, 0, 0.5f, 4, 0, 0.0398f},
    {"Азот", "N2", 1, 0, 15, 4, 0, 1.4210f},
    {"Диоксид углерода", "CO2", 1, 0, 10, 4, 0, 0.7452f},
    {"Кислород", "O2", 1, 0, 1, 4, 0, 0.0083f},
    {"Гелий", "He", 1, 0, 0.5f, 4, 0, 0.0140f},
    {"Теплота сгорания низшая", "Hi", 4, 20, 50, 3, 3, 33.512f},
    {"Теплота сгорания высшая", "Hs", 4, 20, 55, 3, 4, 37.185f},
    {"Число Воббе высшее", "Ws", 4, 40, 60, 3, 5, 49.873f},
    {"Плотность абсолютная", "ro", 7, 0.6f, 1.1f, 4, 6, 0.7014f},
    {"Плотность относительная", "d", 0, 0.5f, 0.9f, 4, 7, 0.5823f},
    {"Коэффициент сжимаемости", "Z", 0, 0.9f, 1.0f, 5, 8, 0.99768f},
    {"Температура газа", "T", 8, -40, 60, 1, 1, 12.4f},
};
} // namespace

QByteArray Sim_Core::Default_Image(uint8_t adr, const QByteArray &pass, const QByteArray &code)
{
    Image_Builder b;
    // 0: type 'I', hardware 3, software 16, built 17.05.24 12:00:00, byte order 1,
    // several rates, names in 866, address changeable, protocol 1.2.0.
    b.Bytes(0, 0, {0, 'I', 3, 16, 24, 5, 17, 12, 0, 0, 1, 1, 0, 0, 1, 2, 0, 0});
    // 1: the gas parameters; names in 1251, registers from 7001 by two.
    for (int i = 0; i < 20; ++i) {
        const Gas_Par &p = kGasPars[i];
        const int o = i * 64;
        b.Text(1, o, Unicode_To_Cp1251(QString::fromUtf8(p.name)), 40);
        b.Text(1, o + 40, QByteArray(p.symbol), 10);
        b.Raw(1, o + 50, QByteArray(1, char(p.unit)));
        b.F32(1, o + 51, p.min);
        b.F32(1, o + 55, p.max);
        b.U16(1, o + 59, uint16_t(7001 + 2 * i));
        b.Raw(1, o + 61, QByteArray(1, char(p.decimals)));
        b.Raw(1, o + 62, QByteArray(1, char(p.type)));
    }
    // 2: the clock is filled on every read.
    // 3: address, 9600 baud (index 11), no preambles.
    b.Bytes(3, 0, {adr, 11, 0, 0});
    // 4: one registered manufacturer whose password and code the core expects.
    b.Raw(4, 0, QByteArray("ADM "));
    b.Raw(4, 4, QByteArray(1, char(1)));
    b.Raw(4, 6, Sim_Core::Pad(pass, 12));
    b.Raw(4, 18, Sim_Core::Pad(code, 4));
    for (int u = 1; u < 16; ++u) b.Raw(4, u * 22, QByteArray(4, ' ') + QByteArray(2, '\0') + QByteArray(16, ' '));
    // 5: names in code page 866, zero-padded.
    b.Text(5, 0, Unicode_To_Cp866(QStringLiteral("ГРС Северная")), 20);
    b.Text(5, 20, Unicode_To_Cp866(QStringLiteral("Нитка 1")), 20);
    b.Text(5, 40, Unicode_To_Cp866(QStringLiteral("Нитка 2")), 20);
    // 6: summer time last Sunday of March 2:00, winter last Sunday of October 3:00,
    // contract hour 10, chromatograph, moisture meter and flow computers fitted,
    // clock synchronised with the PC allowed.
    b.Bytes(6, 0, {3, 0xC9, 2, 10, 0xC9, 3, 10, 1, 1, 1, 0, 1});
    // 7: no table destroyed (all zero).
    // 9: two flow computers, 9600 baud, 3 failures, 10 ds, no preambles, write on deviation.
    b.Bytes(9, 0, {2, 11, 3, 10, 0, 1});
    // 10..12: first and last record indexes of the three archives.
    b.U32(10, 0, 1);
    b.U32(10, 4, 1520);
    b.U32(11, 0, 1);
    b.U32(11, 4, 312);
    b.U32(12, 0, 1);
    b.U32(12, 4, 48);
    // 13: flow-computer write passwords, blank.
    b.Raw(13, 0, QByteArray(256, ' '));
    // 14: chromatograph at MODBUS address 1, 9600 baud, RTU, no parity, time-out 20,
    // 3 failed polls, type code 8, temperature from flow computer 0 line 1,
    // 20 parameters, 30 s poll cycle.
    b.Bytes(14, 0, {1, 11, 1, 0, 20, 3, 8, 1, 0, 0, 0, 1, 0, 0, 20, 30});
    // 15: moisture meter at address 2, 9600 baud, RTU, time-out 20, 3 failures, type 0.
    b.Bytes(15, 0, {2, 11, 1, 0, 20, 3, 0, 0});
    // 16: flags changed 01.05.24 08:00:00, no abnormal situation.
    b.Bytes(16, 0, {24, 5, 1, 8, 0, 0});
    // 17..20: flow-computer types, addresses 1 and 2, pipelines, byte order.
    b.Bytes(17, 0, {1, 1});
    b.Bytes(18, 0, {1, 2});
    b.Bytes(19, 0, {1, 1});
    b.Bytes(20, 0, {0, 0});
    // 21..26 and 43..44 per parameter: write flags, dead zones, set-points, limits, constants.
    for (int i = 0; i < 20; ++i) {
        const Gas_Par &p = kGasPars[i];
        const float span = p.max - p.min;
        b.Raw(21, i, QByteArray(1, char(i < 19 ? 1 : 0)));
        b.F32(22, i * 4, span / 1000);
        b.F32(23, i * 4, p.min + span / 10);
        b.F32(24, i * 4, p.max - span / 10);
        b.F32(25, i * 4, p.min);
        b.F32(26, i * 4, p.max);
        b.F32(44, i * 4, p.value);
        b.F32(30, 8 + i * 4, p.value);
    }
    // 27: first records of the measurement archives.
    b.Bytes(27, 0, {24, 3, 1, 0, 0, 0, 24, 3, 1, 1, 0, 0, 24, 3, 1, 0, 0, 0});
    // 28: hourly averages every hour.
    b.Bytes(28, 0, {1, 0});
    // 29: 192.168.0.100/24, gateway 192.168.0.1, ports (last octet first).
    b.Bytes(29, 0, {100, 0, 168, 192, 0, 255, 255, 255, 1, 0, 168, 192});
    b.U32(29, 12, 502);
    b.U32(29, 16, 503);
    b.U32(29, 20, 7001);
    b.U32(29, 24, 7002);
    // 30: last chromatograph poll 17.05.24 11:57:00 (values above).
    b.Bytes(30, 0, {24, 5, 17, 0, 11, 57, 0, 0});
    // 33..35: links up, writing in progress for both flow computers.
    b.Bytes(33, 0, {1, 1});
    b.Bytes(34, 0, {1, 1});
    b.Bytes(35, 0, {1, 1});
    // 37: moisture meter 17.05.24 11:59:00: dew points and pressures.
    b.Bytes(37, 0, {24, 5, 17, 0, 11, 59, 0, 0});
    const float wmt[5] = {-18.4f, -12.1f, 5.31f, -9.7f, 5.29f};
    for (int i = 0; i < 5; ++i) b.F32(37, 8 + i * 4, wmt[i]);
    // 40: MAC address; 41: chromatograph serial number; 42: chromatograph time.
    b.Bytes(40, 0, {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F});
    b.U32(41, 0, 51701234);
    b.Bytes(42, 0, {24, 5, 17, 11, 57, 0});
    return b.Img;
}
