#include "archives/Arhiv_Clb.h"
#include "core/Crc16.h"

#include <QtTest>
#include <cstring>
#include <limits>

namespace {
Arhiv_Header header(int n, int decimals = 2)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, "CLB", 3);
    h.par_count = uint8_t(n);
    for (int i = 0; i < std::min(n, ARH_PAR_MAX); ++i) {
        const QByteArray s = QByteArray("P") + QByteArray::number(i);
        std::memcpy(h.pars[i].symbol, s.constData(), size_t(s.size()));
        h.pars[i].unit = 1;
        h.pars[i].decimals = uint8_t(decimals);
    }
    h.period_start = Date6{26, 4, 1, 0, 0, 0};
    h.period_end = Date6{26, 4, 30, 23, 59, 59};
    return h;
}

Clb_Rec record(uint8_t number, uint8_t result)
{
    Clb_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 4, 12, 9, 5, 7};
    r.number = number;
    r.result = result;
    return r;
}

void put_value(Clb_Rec &r, int i, float v, uint8_t zone = 0)
{
    uint8_t *p = r.values + 4 * i;
    std::memcpy(p, &v, 4);
    p[0] = uint8_t((p[0] & 0xFC) | zone);
}

void seal(Clb_Rec &r) { Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2)); }
} // namespace

class Tst_Clb_View_Logic : public QObject {
    Q_OBJECT
private slots:
    void headings_and_caption()
    {
        const Arhiv_Header h = header(1);
        QCOMPARE(Clb_Col_Count(h), 5);
        QCOMPARE(Clb_Heading(h, 4, 0), QString("    P0"));   // the parameters' symbols after the fixed columns
        QVERIFY(Clb_Caption(h).endsWith("01.04.26 00:00:00  по  30.04.26 23:59:59"));
    }

    void cells_results_and_marks()
    {
        const Arhiv_Header h = header(3);
        Clb_Rec r = record(7, 0);
        put_value(r, 0, 12.3456f, 0x01);
        put_value(r, 1, 1.5f, 0x03);
        put_value(r, 2, std::numeric_limits<float>::quiet_NaN());
        seal(r);
        QCOMPARE(Clb_Cell_Text(h, r, 0), QString(" 12.04.26"));
        QCOMPARE(Clb_Cell_Text(h, r, 1), QString(" 09:05:07"));
        QCOMPARE(Clb_Cell_Text(h, r, 2), QString("    7"));
        QCOMPARE(Clb_Cell_Text(h, r, 3), QString(" Прошла"));
        QCOMPARE(Clb_Cell_Text(h, r, 4), QString(" 12.35 *"));
        QCOMPARE(Clb_Cell_Text(h, r, 5), QString(" 1.50 #"));
        QCOMPARE(Clb_Cell_Text(h, r, 6), QString("  NAN"));
        QCOMPARE(Clb_Cell_Text(h, r, 7), QString());
        for (uint8_t res : {uint8_t(1), uint8_t(255)}) {
            Clb_Rec f = record(200, res);
            seal(f);
            QCOMPARE(Clb_Cell_Text(h, f, 3), QString("Не прошла"));
            QCOMPARE(Clb_Cell_Text(h, f, 2), QString("    200"));
        }
    }

    void bad_crc_and_bounds()
    {
        Arhiv_Header h = header(2);
        Clb_Rec good = record(1, 0), bad = record(2, 0);
        seal(good);
        seal(bad);
        bad.number = 3;
        QCOMPARE(Clb_Cell_Text(h, bad, 0), QString(" Данные"));
        QCOMPARE(Clb_Cell_Text(h, bad, 1), QString("недостов."));
        for (int c = 2; c < 6; ++c) QCOMPARE(Clb_Cell_Text(h, bad, c), QString());
        QByteArray recs(reinterpret_cast<const char *>(&good), sizeof good);
        recs.append(reinterpret_cast<const char *>(&bad), sizeof bad);
        h.rec_count = 7;
        QCOMPARE(Clb_Row_Count(h, recs), 2u);
        QCOMPARE(Clb_Scan(h, recs), (std::vector<uint8_t>{1, 0}));
        h.rec_count = 1;
        QCOMPARE(Clb_Scan(h, recs), (std::vector<uint8_t>{1}));
    }
};

QTEST_GUILESS_MAIN(Tst_Clb_View_Logic)
#include "tst_clb_view_logic.moc"
