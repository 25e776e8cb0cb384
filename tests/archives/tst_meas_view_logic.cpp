#include "Arh_Builders.h"
#include "archives/Arhmeas_Chr.h"
#include "archives/Chrom_Error.h"
#include "core/Crc16.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
Arhiv_Header header(int n, int decimals = 2) { return Arh_Test_Header(Arh_File_Kind::Chr_Meas, 0, n, decimals); }

Chr_Meas_Rec record(uint8_t ctrl = 0)
{
    Chr_Meas_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 4, 12, 9, 5, 7};
    r.ctrl_status = ctrl;
    return r;
}

QByteArray list(std::initializer_list<Chr_Meas_Rec> recs)
{
    QByteArray b;
    for (const Chr_Meas_Rec &r : recs) b.append(reinterpret_cast<const char *>(&r), sizeof r);
    return b;
}
} // namespace

class Tst_Meas_View_Logic : public QObject {
    Q_OBJECT
private slots:
    void value_text_has_exactly_the_decimals()
    {
        QCOMPARE(Meas_Value_Text(12.3456f, 2), QString("12.35"));
        QCOMPARE(Meas_Value_Text(12.0f, 3), QString("12.000"));
        QCOMPARE(Meas_Value_Text(0.125f, 2), QString("0.13"));      // halves away from zero
        QCOMPARE(Meas_Value_Text(-0.125f, 2), QString("-0.13"));
        QCOMPARE(Meas_Value_Text(-0.001f, 2), QString("0.00"));
        QCOMPARE(Meas_Value_Text(7.6f, 0), QString("8"));
        QCOMPARE(Meas_Value_Text(12.345f, 2), QString("12.35"));     // rounded once, from the float
        // Ten significant digits: whole digits first, the rest of the decimals zeros.
        QCOMPARE(Meas_Value_Text(123456792.0f, 4), QString("123456792.0000"));
        QCOMPARE(Meas_Value_Text(1234567.875f, 7), QString("1234567.8750000"));
        QCOMPARE(Meas_Value_Text(123456.789f, 7), QString("123456.7891000"));
        // More than ten whole digits: exponent form.
        QVERIFY(Meas_Value_Text(3.0e12f, 2).contains('E'));
        QVERIFY(Meas_Value_Text(9999999999.0f, 0).contains('E'));    // a float above 1e10
        QCOMPARE(Meas_Value_Text(std::numeric_limits<float>::quiet_NaN(), 2), QString("NAN"));
        QCOMPARE(Meas_Value_Text(std::numeric_limits<float>::infinity(), 2), QString("NAN"));
        // Decimals from a damaged header are bounded.
        QCOMPARE(Meas_Value_Text(1.5f, 255).size(), qsizetype(12));
        QCOMPARE(Meas_Value_Text(1.5f, -3), QString("2"));
    }

    void headings_come_from_the_header()
    {
        Arhiv_Header h = header(3);
        std::memcpy(h.pars[1].symbol, "ABCDEFGHIJ", 10);   // all 10 bytes, no terminator
        h.pars[2].unit = 200;                               // no such unit
        QCOMPARE(Meas_Col_Count(h), 5);
        QCOMPARE(Meas_Heading(h, 3, 0), QString(" ABCDEFGHIJ"));
        QCOMPARE(Meas_Heading(h, 4, 1), QString("    ?"));
        QCOMPARE(Meas_Heading(h, 5, 0), QString());

        h = header(20);
        h.par_count = 250;   // damaged: never more than 20 columns of parameters
        QCOMPARE(Meas_Col_Count(h), 22);
        QCOMPARE(Meas_Heading(h, 21, 0), QString("   P19"));
        QCOMPARE(Meas_Heading(h, 22, 0), QString());
        QVERIFY(Meas_Caption(h).endsWith("01.04.26 00:00:00  по  02.04.26 00:00:00"));
    }

    void cells_show_values_with_zone_marks()
    {
        const Arhiv_Header h = header(4);
        Chr_Meas_Rec r = record();
        Arh_Put_Value(r, 0, 12.3456f, 0x01);
        Arh_Put_Value(r, 1, 5.0f, 0x03);   // alarm wins over warning
        Arh_Put_Value(r, 2, 1.0f, 0x00);
        uint32_t nan = 0x7FC00000;
        std::memcpy(r.values + 12, &nan, 4);
        r = Arh_Seal(r);
        QCOMPARE(Meas_Cell_Text(h, r, 0), QString(" 12.04.26"));
        QCOMPARE(Meas_Cell_Text(h, r, 1), QString(" 09:05:07"));
        QCOMPARE(Meas_Cell_Text(h, r, 2), QString(" 12.35 *"));
        QCOMPARE(Meas_Cell_Text(h, r, 3), QString(" 5.00 #"));
        QCOMPARE(Meas_Cell_Text(h, r, 4), QString(" 1.00  "));
        QCOMPARE(Meas_Cell_Text(h, r, 5), QString("  NAN"));
        QCOMPARE(Meas_Cell_Text(h, r, 6), QString());
        QCOMPARE(Meas_Cell_Text(h, r, -1), QString());
        QCOMPARE(Meas_Details_Caption(r), QString(" Измерительные данные (12.04.26  09:05:07)"));
    }

    void status_decides_before_the_values()
    {
        const Arhiv_Header h = header(2);
        const struct {
            uint8_t ctrl;
            const char *text;
        } cases[] = {{0x22, " 0"}, {0x20, " "}, {0x80, " 0"}, {0xA0, " "}, {0x02, " 0"}};
        for (const auto &c : cases) {
            Chr_Meas_Rec r = record(c.ctrl);
            Arh_Put_Value(r, 0, 3.0f);
            r = Arh_Seal(r);
            QCOMPARE(Meas_Cell_Text(h, r, 2), QString(c.text));
            QCOMPARE(Meas_Cell_Text(h, r, 0), QString(" 12.04.26"));   // date still shown
        }
    }

    void bad_crc_record_is_marked_not_dropped()
    {
        Chr_Meas_Rec r = record();
        Arh_Put_Value(r, 0, 3.0f);
        r = Arh_Seal(r);
        r.values[5] ^= 0x40;   // damaged after sealing
        Arhiv_Header h = header(3);
        QCOMPARE(Meas_Cell_Text(h, r, 0), QString());
        QCOMPARE(Meas_Cell_Text(h, r, 1), QString());
        QCOMPARE(Meas_Cell_Text(h, r, 2), QString("  Данные"));
        QCOMPARE(Meas_Cell_Text(h, r, 3), QString(" недостов."));
        QCOMPARE(Meas_Cell_Text(h, r, 4), QString());
        // Too few parameter columns: the notice moves left instead of vanishing.
        h = header(1);
        QCOMPARE(Meas_Cell_Text(h, r, 2), QString("  Данные недостов."));
        h = header(0);
        QCOMPARE(Meas_Cell_Text(h, r, 0), QString("  Данные"));
        QCOMPARE(Meas_Cell_Text(h, r, 1), QString(" недостов."));

        Arhiv_Header h3 = header(3);
        h3.rec_count = 2;
        const QByteArray recs = list({r, Arh_Seal(record())});
        const Meas_Summary s = Meas_Scan(h3, recs);
        QCOMPARE(s.valid.size(), size_t(2));
        QCOMPARE(int(s.valid[0]), 0);
        QCOMPARE(int(s.valid[1]), 1);
    }

    void means_skip_bad_records_hidden_rows_and_nan()
    {
        Arhiv_Header h = header(3);
        Chr_Meas_Rec a = record(), b = record(), bad = record(), off = record(0x02),
                     nolink = record(0x20);
        Arh_Put_Value(a, 0, 10.0f, 0x03);
        Arh_Put_Value(b, 0, 20.0f, 0x01);
        Arh_Put_Value(a, 1, 4.0f);
        uint32_t inf = 0x7F800000;
        std::memcpy(b.values + 4, &inf, 4);
        for (Chr_Meas_Rec *r : {&bad, &off, &nolink}) Arh_Put_Value(*r, 0, 1000.0f);
        bad = Arh_Seal(bad);
        bad.crc ^= 1;
        const QByteArray recs = list({Arh_Seal(a), bad, Arh_Seal(b), Arh_Seal(off), Arh_Seal(nolink)});
        h.rec_count = 5;
        const Meas_Summary s = Meas_Scan(h, recs);
        QCOMPARE(s.count[0], 2u);
        QVERIFY(std::fabs(s.avg[0] - 15.0f) < 1e-4f);   // zone bits cleared before adding
        QCOMPARE(s.count[1], 1u);
        QCOMPARE(s.avg[1], 4.0f);
        QCOMPARE(s.count[2], 2u);                       // zeros are values
        QCOMPARE(s.avg[2], 0.0f);
        QCOMPARE(s.count[3], 0u);                       // not a parameter of the list
        QCOMPARE(s.avg[3], 0.0f);

        // NaN only: no mean, shown as 0.
        Chr_Meas_Rec n = record();
        uint32_t nan = 0xFFFFFFFF;
        for (int i = 0; i < 3; ++i) std::memcpy(n.values + 4 * i, &nan, 4);
        h.rec_count = 1;
        const Meas_Summary sn = Meas_Scan(h, list({Arh_Seal(n)}));
        QCOMPARE(sn.count[0], 0u);
        QCOMPARE(sn.avg[0], 0.0f);
    }

    void rows_never_exceed_the_record_bytes()
    {
        Arhiv_Header h = header(2);
        h.rec_count = 0xFFFFFFFF;
        QByteArray recs = list({Arh_Seal(record()), Arh_Seal(record())});
        recs.append(50, '\0');   // a partial record is not a row
        QCOMPARE(Meas_Row_Count(h, recs), 2u);
        QCOMPARE(Meas_Scan(h, recs).valid.size(), size_t(2));
        h.rec_count = 1;
        QCOMPARE(Meas_Row_Count(h, recs), 1u);
        QCOMPARE(Meas_Row_Count(h, QByteArray()), 0u);
    }

    void status_detail_lines()
    {
        QCOMPARE(Ctrl_Status_Heading(0), QString("  Статус контроллера: 0x00"));
        QCOMPARE(Ctrl_Status_Lines(CHR_ERR_MEAS, 0), QStringList{"Норма"});
        QCOMPARE(Chrom_Status_Heading(0, 0), QString("  Статус хроматографа: 0x0000"));
        QCOMPARE(Chrom_Status_Lines(0, 0), QStringList{"Норма"});
        QVERIFY(Chrom_Part_Shown(CHR_ERR_MEAS, 0));

        QCOMPARE(Ctrl_Status_Lines(CHR_ERR_MEAS, 0x22),
                 (QStringList{"Контроллер был выключен", "Не было связи с хроматографом"}));
        QVERIFY(!Chrom_Part_Shown(CHR_ERR_MEAS, 0x22));
        QVERIFY(!Chrom_Part_Shown(CHR_ERR_MEAS, 0x20));
        QVERIFY(!Chrom_Part_Shown(CHR_ERR_HD, 0));

        QCOMPARE(Chrom_Status_Heading(0x01, 0x80), QString("  Статус хроматографа: 0x8001"));
        QCOMPARE(Chrom_Status_Lines(0x01, 0x80),
                 (QStringList{" Неудачная автокалибровка", " Не поступают данные от хроматографа"}));
        QCOMPARE(Chrom_Status_Lines(0xFF, 0xFF).size(), qsizetype(16));

        QCOMPARE(Ctrl_Status_Heading(0x85), QString("  Статус контроллера: 0x85"));
        QCOMPARE(Ctrl_Status_Lines(CHR_ERR_HD, 0x85), QStringList{});
        QCOMPARE(Ctrl_Status_Lines(CHR_ERR_HD, 0x08),
                 QStringList{"Использовалась ЗПЗ - был нештатный режим работы хроматографа"});
        QCOMPARE(Ctrl_Status_Lines(CHR_ERR_MEAS, 0xFF).size(), qsizetype(8));

        QCOMPARE(Chrom_Status_Lo(8), QString());
        QCOMPARE(Chrom_Status_Hi(-1), QString());
        QCOMPARE(Ctrl_Status_Text(CHR_ERR_MEAS, 99), QString());
    }
};

QTEST_GUILESS_MAIN(Tst_Meas_View_Logic)
#include "tst_meas_view_logic.moc"
