#include "core/Crc16.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// Bit by bit, reflected 0xA001: the reference the byte-wise fold must equal.
uint16_t Bitwise(const uint8_t *p, int n)
{
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}
} // namespace

class Tst_Crc16 : public QObject {
    Q_OBJECT
private slots:
    void known_values()
    {
        const uint8_t abc[3] = {'a', 'b', 'c'};
        QCOMPARE(Crc16(abc, 3), uint16_t(0x5749));
        QCOMPARE(Crc16(abc, 0), uint16_t(0xFFFF));
        QCOMPARE(Crc16(nullptr, 0), uint16_t(0xFFFF));
        // A MODBUS request whose CRC bytes on the wire are C5 CD.
        uint8_t f[8] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0, 0};
        Put_Crc16(f, 6);
        QCOMPARE(f[6], uint8_t(0xC5));
        QCOMPARE(f[7], uint8_t(0xCD));
        QCOMPARE(Crc16(f, 8), uint16_t(0));
    }

    void every_byte_value_and_length_agrees_with_the_bitwise_crc()
    {
        uint8_t all[256];
        for (int i = 0; i < 256; ++i) all[i] = uint8_t(i);
        for (int n = 0; n <= 256; ++n) QCOMPARE(Crc16(all, uint16_t(n)), Bitwise(all, n));

        QRandomGenerator rng(1234);
        uint8_t buf[300];
        for (int round = 0; round < 200; ++round) {
            const int n = int(rng.bounded(298));
            for (int i = 0; i < n; ++i) buf[i] = uint8_t(rng.bounded(256));
            QCOMPARE(Crc16(buf, uint16_t(n)), Bitwise(buf, n));
            // Closed with its CRC, low byte first, the block checks to 0; one flipped bit does not.
            Put_Crc16(buf, uint16_t(n));
            QCOMPARE(Crc16(buf, uint16_t(n + 2)), uint16_t(0));
            const int at = int(rng.bounded(n + 2));
            buf[at] ^= uint8_t(1u << rng.bounded(8));
            QVERIFY(Crc16(buf, uint16_t(n + 2)) != 0);
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Crc16)
#include "tst_crc16.moc"
