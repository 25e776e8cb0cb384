// Values of the gas-parameter records, the identification table and the names, as the
// program reads them: counts and codes from the controller are clamped, texts cut at their field.
#include "core/Tables.h"
#include "params/Chr_Par.h"
#include "params/Ident_Tab.h"

#include <QtTest>
#include <cmath>
#include <cstring>

class Tst_Chr_Par : public QObject {
    Q_OBJECT
private slots:
    void counts_and_codes_from_the_controller_are_clamped()
    {
        uint8_t *n = Tab_Field(14, 14);
        QVERIFY(n);
        for (int v : {7, 20, 21, 255}) {
            *n = uint8_t(v);
            QCOMPARE(Gas_Par_Count(), qMin(v, 20));
        }
        QCOMPARE(Limit_Gas_Count(-3), 0);
        QVERIFY(Image_Chr_Par(19));
        QVERIFY(!Image_Chr_Par(20));
        QVERIFY(!Image_Chr_Par(-1));

        Chr_Par p{};
        // A 40-character name has no terminator and is read whole; the symbol ends at its zero.
        std::memset(p.name, 'N', sizeof p.name);
        std::memcpy(p.symbol, "CH4\0junk!!", 10);
        QCOMPARE(Chr_Par_Name(p), QString(40, 'N'));
        QCOMPARE(Chr_Par_Symbol(p), QString("CH4"));
        p.unit = 12;
        QCOMPARE(Chr_Par_Unit_Text(p), QString("?"));
        p.unit = 255;
        QCOMPARE(Chr_Par_Unit_Text(p), QString("?"));
        p.decimals = 200;
        QCOMPARE(Chr_Par_Decimals(p), 7);
        QVERIFY(Chr_Type_Units(9).isEmpty());
        QCOMPARE(Chr_Unit_Position(9, 0), -1);
    }

    void fixed_texts_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("dec");
        QTest::addColumn<QString>("text");
        QTest::newRow("three places") << 18.0 << 3 << "18.000";
        QTest::newRow("none") << 0.0 << 0 << "0";
        QTest::newRow("negative") << -2.5 << 2 << "-2.50";
        QTest::newRow("too wide") << 1234567890123.0 << 2 << "1.23456789012E+12";
        QTest::newRow("not a number") << std::nan("") << 2 << "NAN";
    }
    void fixed_texts()
    {
        QFETCH(double, v);
        QFETCH(int, dec);
        QFETCH(QString, text);
        QCOMPARE(Fixed_Str(v, 12, dec), text);
    }

    void identification_out_of_range_bytes()
    {
        const uint8_t bad[18] = {6, 'I', 3, 16, 100, 13, 32, 24, 60, 60, 2, 0, 0, 5, 1, 2, 3, 0};
        Ident_Texts t = Format_Ident(bad, true);
        QCOMPARE(t.destroyed, QString("Разрушена таблица 6"));
        QVERIFY(t.destroyed_alarm);
        QCOMPARE(t.build_date, QString("**.**.**  **:**:**"));
        QCOMPARE(t.byte_order, QString(" ? "));
        QCOMPARE(t.adr_change, QString("Нет. Адрес = 5"));
        uint8_t zero[18] = {0, 'I', 3, 16, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 2, 0, 0};
        QCOMPARE(Format_Ident(zero, true).build_date, QString("**.**.00  00:00:00"));
        // A configuration record: only the type code and the software version.
        t = Format_Ident(bad, false);
        QCOMPARE(t.soft_ver, QString("16"));
        QVERIFY(t.destroyed.isEmpty() && t.hard_ver.isEmpty() && t.build_date.isEmpty() && t.protocol.isEmpty());
    }

    void names_cut_at_twenty_without_terminator()
    {
        char f[NAME_LEN];
        Set_Name(f, QStringLiteral("ГРС Южная"));
        QCOMPARE(uint8_t(f[0]), uint8_t(0xC3));   // 1251
        QCOMPARE(f[19], '\0');
        QCOMPARE(Name_Text(f), QString("ГРС Южная"));
        Set_Name(f, QString(25, QChar(0x0416)));
        QCOMPARE(uint8_t(f[19]), uint8_t(0xC6));
        QCOMPARE(Name_Text(f), QString(20, QChar(0x0416)));
        std::memcpy(f, "  Name  \0garbage....", 20);
        QCOMPARE(Name_Text(f), QString("Name"));
    }
};

QTEST_GUILESS_MAIN(Tst_Chr_Par)
#include "tst_chr_par.moc"
