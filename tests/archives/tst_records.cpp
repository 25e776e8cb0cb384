#include "Arh_Builders.h"
#include "archives/Arh_Records.h"

#include <QtTest>
#include <cmath>
#include <cstring>

namespace {
// Bytes 0, 1, 2, ... of a record of size n.
QByteArray counting(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) b[i] = char(i);
    return b;
}

void put_float(uint8_t *p, float f) { std::memcpy(p, &f, 4); }
void put_bits(uint8_t *p, uint32_t u) { std::memcpy(p, &u, 4); }

template <class R> R from_bytes(const QByteArray &b)
{
    R r;
    std::memcpy(&r, b.constData(), sizeof r);
    return r;
}

} // namespace

Q_DECLARE_METATYPE(Row_Show)
Q_DECLARE_METATYPE(Wmt_Show)

class Tst_Records : public QObject {
    Q_OBJECT
private slots:
    void crc_decides_validity()
    {
        Chr_Meas_Rec m = Arh_Seal(from_bytes<Chr_Meas_Rec>(counting(94)));
        QVERIFY(Rec_Valid(m));
        m.values[40] ^= 0x10;
        QVERIFY(!Rec_Valid(m));

        Clb_Rec c = Arh_Seal(from_bytes<Clb_Rec>(counting(90)));
        QVERIFY(Rec_Valid(c));
        c.crc = uint16_t(c.crc ^ 0x0100);
        QVERIFY(!Rec_Valid(c));

        QVERIFY(Rec_Valid(Arh_Seal(from_bytes<Chr_HD_Rec>(counting(94)))));
        QVERIFY(Rec_Valid(Arh_Seal(from_bytes<Wmt_Meas_Rec>(counting(29)))));
        QVERIFY(Rec_Valid(Arh_Seal(from_bytes<Wmt_HD_Rec>(counting(28)))));

        // A zero-filled record (the tail of a short file) is invalid.
        Wmt_HD_Rec z{};
        QVERIFY(!Rec_Valid(z));
        QVERIFY(!Rec_Crc_Ok(nullptr, 10));
        QVERIFY(!Rec_Crc_Ok(&z, 0x10000));
    }

    void records_from_a_list()
    {
        const QByteArray list = counting(29 * 2 + 10);
        QVERIFY(Rec_At<Wmt_Meas_Rec>(list, 0).has_value());
        QCOMPARE(int(Rec_At<Wmt_Meas_Rec>(list, 1)->dt.year), 29);
        QVERIFY(!Rec_At<Wmt_Meas_Rec>(list, 2).has_value());        // only 10 bytes of it
        QVERIFY(!Rec_At<Wmt_Meas_Rec>(list, 0xFFFFFFFFu).has_value());
    }

    void zone_marks()
    {
        Chr_Meas_Rec m{};
        put_float(m.values, 12.3456f);
        m.values[0] |= 0x01;                      // warning
        put_float(m.values + 4, 5.0f);
        m.values[4] |= 0x03;                      // alarm and warning: alarm wins
        put_float(m.values + 8, -1.5f);
        m.values[8] |= 0x02;                      // alarm
        put_float(m.values + 12, 7.25f);          // no mark

        Rec_Value v = Chr_Meas_Value(m, 0);
        QVERIFY(!v.bad);
        QCOMPARE(v.mark, Zone_Mark::Warning);
        QVERIFY(std::fabs(v.value - 12.3456f) < 1e-5f);
        uint32_t bits;
        std::memcpy(&bits, &v.value, 4);
        QCOMPARE(bits & 3u, 0u);                  // both bits cleared before use

        v = Chr_Meas_Value(m, 1);
        QCOMPARE(v.mark, Zone_Mark::Alarm);
        QCOMPARE(v.value, 5.0f);
        v = Chr_Meas_Value(m, 2);
        QCOMPARE(v.mark, Zone_Mark::Alarm);
        QCOMPARE(v.value, -1.5f);
        v = Chr_Meas_Value(m, 3);
        QCOMPARE(v.mark, Zone_Mark::None);
        QCOMPARE(v.value, 7.25f);

        // Calibration values carry the same marks; hourly values are taken unchanged.
        Clb_Rec c{};
        std::memcpy(c.values, m.values, 16);
        QCOMPARE(Clb_Value(c, 1).mark, Zone_Mark::Alarm);
        QCOMPARE(Clb_Value(c, 1).value, 5.0f);
        Chr_HD_Rec hd{};
        put_bits(hd.values + 4, 0x40A00003);      // 5.0 with the two low bits set
        const Rec_Value p = Chr_HD_Value(hd, 1);
        QCOMPARE(p.mark, Zone_Mark::None);
        uint32_t pbits;
        std::memcpy(&pbits, &p.value, 4);
        QCOMPARE(pbits, 0x40A00003u);

        // Indexes outside the record give no value.
        QVERIFY(Chr_Meas_Value(m, 20).bad);
        QVERIFY(Chr_Meas_Value(m, -1).bad);
        QVERIFY(Wmt_Meas_Value(Wmt_Meas_Rec{}, 4).bad);
        QVERIFY(!Wmt_Meas_Value(Wmt_Meas_Rec{}, 3).bad);
    }

    void nan_and_infinity_are_caught()
    {
        const uint32_t bad[] = {0x7FC00000, 0x7F800000, 0xFF800000, 0x7F800001, 0xFFFFFFFF};
        for (uint32_t b : bad) {
            Chr_Meas_Rec m{};
            put_bits(m.values + 8, b);
            QVERIFY2(Chr_Meas_Value(m, 2).bad, qPrintable(QString::number(b, 16)));
            QCOMPARE(Chr_Meas_Value(m, 2).value, 0.0f);
            Chr_HD_Rec hd{};
            put_bits(hd.values + 8, b);
            QVERIFY(Chr_HD_Value(hd, 2).bad);
            Wmt_HD_Rec w{};
            put_bits(w.values + 12, b);
            QVERIFY(Wmt_HD_Value(w, 3).bad);
            Wmt_Meas_Rec wm{};
            put_bits(wm.values, b);
            QVERIFY(Wmt_Meas_Value(wm, 0).bad);
        }
        // The largest finite values and the smallest denormals are values.
        uint8_t f[4];
        put_bits(f, 0x7F7FFFFF);
        QVERIFY(!Float_Bad(f));
        QCOMPARE(Float_At(f), std::numeric_limits<float>::max());
        put_bits(f, 0x80000001);
        QVERIFY(!Float_Bad(f));
        QVERIFY(!Plain_Value(f).bad);
    }

    void measurement_status_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<Row_Show>("show");
        QTest::newRow("normal") << 0x00 << Row_Show::Values;
        QTest::newRow("other bits") << 0x5D << Row_Show::Values;
        QTest::newRow("controller off") << 0x02 << Row_Show::Zero;
        QTest::newRow("off and no link") << 0x22 << Row_Show::Zero;
        QTest::newRow("no link") << 0x20 << Row_Show::Blank;
        QTest::newRow("no link and bit 7") << 0xA0 << Row_Show::Blank;
        QTest::newRow("bit 7") << 0x80 << Row_Show::Zero;
    }
    void measurement_status()
    {
        QFETCH(int, status);
        QFETCH(Row_Show, show);
        QCOMPARE(Chr_Meas_Row(uint8_t(status)), show);
    }

    void hourly_status()
    {
        QCOMPARE(Chr_HD_Row(0x02), Row_Show::Zero);
        QCOMPARE(Chr_HD_Row(0x20), Row_Show::Zero);
        QCOMPARE(Chr_HD_Row(0x81), Row_Show::Values);
        QCOMPARE(Chr_HD_Mark(0x81), '"');
        QCOMPARE(Chr_HD_Mark(0x00), ' ');
        QCOMPARE(Chr_HD_Row(0x00), Row_Show::Values);

        // Daily records keep a flag in bit 7 of the end hour; hourly ones are taken as stored.
        const uint8_t plain[3] = {0x17, 0, 0};
        const uint8_t flagged[3] = {0x97, 59, 59};
        QCOMPARE(Hd_End_Hour(plain, true), 23);
        QVERIFY(!Hd_End_Flag(plain));
        QCOMPARE(Hd_End_Hour(flagged, true), 23);
        QVERIFY(Hd_End_Flag(flagged));
        QCOMPARE(Hd_End_Hour(flagged, false), 0x97);

        Clb_Rec c{};
        QVERIFY(Clb_Passed(c));
        c.result = 1;
        QVERIFY(!Clb_Passed(c));
        c.result = 255;
        QVERIFY(!Clb_Passed(c));
    }

    void moisture_status_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<Wmt_Show>("meas");
        QTest::addColumn<Wmt_Show>("hd");
        QTest::newRow("normal") << 0x00 << Wmt_Show::Values << Wmt_Show::Values;
        QTest::newRow("off") << 0x02 << Wmt_Show::Off << Wmt_Show::Off;
        QTest::newRow("off wins") << 0x06 << Wmt_Show::Off << Wmt_Show::Off;
        QTest::newRow("no link") << 0x04 << Wmt_Show::No_Link << Wmt_Show::Zero;
        QTest::newRow("other bit") << 0x08 << Wmt_Show::Values << Wmt_Show::Values;
    }
    void moisture_status()
    {
        QFETCH(int, status);
        QFETCH(Wmt_Show, meas);
        QFETCH(Wmt_Show, hd);
        QCOMPARE(Wmt_Meas_Show(uint8_t(status)), meas);
        QCOMPARE(Wmt_HD_Show(uint8_t(status)), hd);
    }

    void moisture_values()
    {
        Wmt_Meas_Rec m{};
        const float v[4] = {-12.5f, 3.25f, 54.0f, -20.75f};
        for (int k = 0; k < 4; ++k) put_float(m.values + 4 * k, v[k]);
        for (int k = 0; k < 4; ++k) QCOMPARE(Wmt_Meas_Value(m, k).value, v[k]);

        Wmt_HD_Rec h{};
        for (int k = 0; k < 4; ++k) put_float(h.values + 4 * k, v[k]);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(Wmt_HD_Value(h, k).value, v[k]);
            QCOMPARE(Wmt_HD_Value(h, k).mark, Zone_Mark::None);
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Records)
#include "tst_records.moc"
