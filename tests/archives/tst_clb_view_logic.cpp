#include "Arh_Builders.h"
#include "archives/Arhiv_Clb.h"
#include "core/Crc16.h"

#include <QtTest>
#include <cstring>
#include <limits>

namespace {
Arhiv_Header header(int n) { return Arh_Test_Header(Arh_File_Kind::Clb, 0, n); }

Clb_Rec record(uint8_t number, uint8_t result)
{
    Clb_Rec r{};
    r.dt = Date6{26, 4, 12, 9, 5, 7};
    r.number = number;
    r.result = result;
    return r;
}
} // namespace

class Tst_Clb_View_Logic : public QObject {
    Q_OBJECT
private slots:
    void headings_and_caption()
    {
        const Arhiv_Header h = header(1);
        QCOMPARE(Clb_Col_Count(h), 5);
        QCOMPARE(Clb_Heading(h, 4, 0), QString("    P0"));   // the parameters' symbols after the fixed columns
        QVERIFY(Clb_Caption(h).endsWith("01.04.26 00:00:00  по  02.04.26 00:00:00"));
    }

    void cells_results_and_marks()
    {
        const Arhiv_Header h = header(3);
        Clb_Rec r = record(7, 0);
        Arh_Put_Value(r, 0, 12.3456f, 0x01);
        Arh_Put_Value(r, 1, 1.5f, 0x03);
        Arh_Put_Value(r, 2, std::numeric_limits<float>::quiet_NaN());
        r = Arh_Seal(r);
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
            f = Arh_Seal(f);
            QCOMPARE(Clb_Cell_Text(h, f, 3), QString("Не прошла"));
            QCOMPARE(Clb_Cell_Text(h, f, 2), QString("    200"));
        }
    }

    void bad_crc_and_bounds()
    {
        Arhiv_Header h = header(2);
        Clb_Rec good = record(1, 0), bad = record(2, 0);
        good = Arh_Seal(good);
        bad = Arh_Seal(bad);
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
