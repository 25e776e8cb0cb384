#include "Arh_Builders.h"
#include "archives/Arhivhdm_Chr.h"
#include "core/Crc16.h"

#include <QtTest>
#include <cstring>
#include <limits>

namespace {
// Hourly list 12.04.26 09h .. 13.04.26 17h.
Arhiv_Header header(int n)
{
    Arhiv_Header h = Arh_Test_Header(Arh_File_Kind::Chr_Hour, 0, n);
    h.period_start = Date6{26, 4, 12, 9, 0, 0};
    h.period_end = Date6{26, 4, 13, 17, 0, 0};
    return h;
}

Chr_HD_Rec record(uint8_t status = 0, uint8_t end_hour = 10)
{
    Chr_HD_Rec r;
    std::memset(&r, 0, sizeof r);
    const uint8_t date[3] = {26, 4, 12}, start[3] = {9, 0, 0}, end[3] = {end_hour, 0, 0};
    std::memcpy(r.date, date, 3);
    std::memcpy(r.start_time, start, 3);
    std::memcpy(r.end_time, end, 3);
    r.status = status;
    r.valid_count = 12;
    return r;
}
} // namespace

class Tst_Hdm_View_Logic : public QObject {
    Q_OBJECT
private slots:
    void headings_and_captions()
    {
        const Arhiv_Header h = header(2);
        QCOMPARE(Hd_Col_Count(h), 6);
        QCOMPARE(Hd_Heading(h, 4, 0), QString("    P0"));
        QCOMPARE(Hd_Heading(h, 6, 0), QString());
        QCOMPARE(Hd_Heading(h, 0, 2), QString());
        QVERIFY(Hd_Caption(h, HDM_KIND_HOUR).endsWith("12.04.26  09ч  по  13.04.26  17ч"));
        QVERIFY(Hd_Caption(h, HDM_KIND_DAY).endsWith("12.04.26  по  13.04.26"));
    }

    void daily_end_hour_flag_in_grid_and_details()
    {
        const Arhiv_Header h = header(1);
        Chr_HD_Rec clear = record(0, 0x17);
        clear = Arh_Seal(clear);
        QCOMPARE(Hd_Cell_Text(h, clear, 2, HDM_KIND_DAY), QString(" 23:00:00*"));
        QVERIFY(Hd_Details_Caption(clear, HDM_KIND_DAY).endsWith("23:00:00 "));
        Chr_HD_Rec set = record(0, 0x97);
        set = Arh_Seal(set);
        QCOMPARE(Hd_Cell_Text(h, set, 2, HDM_KIND_DAY), QString(" 23:00:00"));
        QCOMPARE(Hd_Details_Caption(set, HDM_KIND_DAY),
                 QString(" Суточные данные с 12.04.26 09:00:00 по 23:00:00*"));
        // Hourly records are printed as stored, flag bit and all.
        QCOMPARE(Hd_Cell_Text(h, set, 2, HDM_KIND_HOUR), QString(" 151:00:00"));
        QCOMPARE(Hd_Details_Caption(set, HDM_KIND_HOUR),
                 QString(" Часовые данные с 12.04.26 09:00:00 по 151:00:00"));
    }

    void cells_by_status()
    {
        const Arhiv_Header h = header(2);
        Chr_HD_Rec r = record(0);
        r.valid_count = 65535;
        Arh_Put_Value(r, 0, 12.3456f);
        Arh_Put_Value(r, 1, std::numeric_limits<float>::infinity());
        r = Arh_Seal(r);
        QCOMPARE(Hd_Cell_Text(h, r, 0, 0), QString(" 12.04.26"));
        QCOMPARE(Hd_Cell_Text(h, r, 1, 0), QString(" 09:00:00"));
        QCOMPARE(Hd_Cell_Text(h, r, 3, 0), QString(" 65535"));
        QCOMPARE(Hd_Cell_Text(h, r, 4, 0), QString(" 12.35  "));
        QCOMPARE(Hd_Cell_Text(h, r, 5, 0), QString("  NAN"));
        QCOMPARE(Hd_Cell_Text(h, r, 6, 0), QString());

        for (uint8_t st : {uint8_t(0x02), uint8_t(0x20), uint8_t(0x22)}) {
            Chr_HD_Rec z = record(st);
            Arh_Put_Value(z, 0, 5.0f);
            z = Arh_Seal(z);
            QCOMPARE(Hd_Cell_Text(h, z, 4, 0), QString(" 0"));
            QCOMPARE(Hd_Cell_Text(h, z, 5, 0), QString(" 0"));
        }
        Chr_HD_Rec q = record(0x08);
        Arh_Put_Value(q, 0, 5.0f);
        q = Arh_Seal(q);
        QCOMPARE(Hd_Cell_Text(h, q, 4, 0), QString(" 5.00 \""));
    }

    void bad_crc_notice_and_means()
    {
        const Arhiv_Header h0 = header(2);
        Chr_HD_Rec a = record(0), b = record(0x08), off = record(0x02), bad = record(0);
        Arh_Put_Value(a, 0, 10.0f);
        Arh_Put_Value(a, 1, std::numeric_limits<float>::quiet_NaN());
        Arh_Put_Value(b, 0, 20.0f);
        Arh_Put_Value(b, 1, 4.0f);
        Arh_Put_Value(off, 0, 1000.0f);
        Arh_Put_Value(bad, 0, 1000.0f);
        a = Arh_Seal(a);
        b = Arh_Seal(b);
        off = Arh_Seal(off);
        bad = Arh_Seal(bad);
        bad.values[3] ^= 0x40;   // damaged after sealing
        QVERIFY(!Rec_Valid(bad));
        QCOMPARE(Hd_Cell_Text(h0, bad, 0, 0), QString());
        QCOMPARE(Hd_Cell_Text(h0, bad, 1, 0), QString("     Данные"));
        QCOMPARE(Hd_Cell_Text(h0, bad, 2, 0), QString("недостов."));
        QCOMPARE(Hd_Cell_Text(h0, bad, 3, 0), QString());
        QCOMPARE(Hd_Cell_Text(h0, bad, 4, 0), QString());

        QByteArray recs = Arh_Bytes(a) + Arh_Bytes(b) + Arh_Bytes(off) + Arh_Bytes(bad);
        Arhiv_Header h = h0;
        h.rec_count = 4;
        const Meas_Summary s = Hd_Scan(h, recs);
        QCOMPARE(s.valid, (std::vector<uint8_t>{1, 1, 1, 0}));
        QCOMPARE(s.avg[0], 15.0f);
        QCOMPARE(s.avg[1], 4.0f);
        QCOMPARE(s.count[1], 1u);
        QCOMPARE(s.avg[2], 0.0f);

        // A header claiming more than the bytes hold, or a part record, stays bounded.
        h.rec_count = 1000;
        QCOMPARE(Hd_Row_Count(h, recs + QByteArray(50, '\0')), 4u);
        h.par_count = 200;
        QCOMPARE(Hd_Col_Count(h), 24);
    }
};

QTEST_GUILESS_MAIN(Tst_Hdm_View_Logic)
#include "tst_hdm_view_logic.moc"
