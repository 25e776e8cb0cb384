#include "core/Tables.h"
#include "params/Chr_Par.h"
#include "params/Ident_Tab.h"

#include <QtTest>
#include <cstring>

class Tst_Chr_Par : public QObject {
    Q_OBJECT
private slots:
    void record_layout()
    {
        // A record as the controller sends it: every field at its byte.
        uint8_t raw[64];
        for (int i = 0; i < 64; ++i) raw[i] = uint8_t(i);
        std::memcpy(raw, "Метан", 5);
        const float lo = -1.5f, hi = 250.25f;
        std::memcpy(raw + 51, &lo, 4);
        std::memcpy(raw + 55, &hi, 4);
        raw[50] = 4;
        raw[59] = 0x59;
        raw[60] = 0x1B;
        raw[61] = 3;
        raw[62] = 5;
        raw[63] = 0xA5;
        Chr_Par p;
        std::memcpy(&p, raw, sizeof p);
        QCOMPARE(int(p.unit), 4);
        QCOMPARE(float(p.min), lo);
        QCOMPARE(float(p.max), hi);
        QCOMPARE(uint16_t(p.reg), uint16_t(0x1B59));
        QCOMPARE(int(p.decimals), 3);
        QCOMPARE(int(p.type), 5);
        QCOMPARE(int(p.reserved), 0xA5);
        QCOMPARE(p.symbol[0], char(40));

        Chr_Par_List l;
        QCOMPARE(reinterpret_cast<uint8_t *>(&l.par[1]) - reinterpret_cast<uint8_t *>(&l), std::ptrdiff_t(65));

        // Table 1 of the image is read as records in place.
        uint8_t *t1 = Tab_Field(1, 0);
        QVERIFY(t1);
        std::memcpy(t1 + 19 * 64, raw, 64);
        QVERIFY(Image_Chr_Par(19));
        QCOMPARE(uint16_t(Image_Chr_Par(19)->reg), uint16_t(0x1B59));
        QVERIFY(!Image_Chr_Par(20));
        QVERIFY(!Image_Chr_Par(-1));
    }

    void count_limited_to_twenty()
    {
        uint8_t *n = Tab_Field(14, 14);
        QVERIFY(n);
        *n = 7;
        QCOMPARE(Gas_Par_Count(), 7);
        *n = 20;
        QCOMPARE(Gas_Par_Count(), 20);
        *n = 21;
        QCOMPARE(Gas_Par_Count(), 20);
        *n = 255;
        QCOMPARE(Gas_Par_Count(), 20);
        QCOMPARE(Limit_Gas_Count(-3), 0);
        QCOMPARE(Limit_Gas_Count(0), 0);
    }

    void texts_of_a_record()
    {
        Chr_Par p{};
        // A 40-character name has no terminator and is read whole; the symbol ends at its zero.
        std::memset(p.name, 'N', sizeof p.name);
        std::memcpy(p.symbol, "CH4\0junk!!", 10);
        QCOMPARE(Chr_Par_Name(p), QString(40, 'N'));
        QCOMPARE(Chr_Par_Symbol(p), QString("CH4"));
        std::memcpy(p.symbol, "0123456789", 10);
        QCOMPARE(Chr_Par_Symbol(p), QString("0123456789"));

        p.unit = 11;
        QCOMPARE(Chr_Par_Unit_Text(p), QString("МПа"));
        p.unit = 12;
        QCOMPARE(Chr_Par_Unit_Text(p), QString("?"));
        p.unit = 255;
        QCOMPARE(Chr_Par_Unit_Text(p), QString("?"));
        p.decimals = 200;
        QCOMPARE(Chr_Par_Decimals(p), 7);
    }

    void types_and_units()
    {
        QCOMPARE(Chr_Type_Names().size(), 9);
        QCOMPARE(Chr_Type_Names().at(8), QString("Фактор сжим.  "));
        QCOMPARE(Chr_Type_Units(2), (QList<int>{9, 10, 11}));
        QCOMPARE(Chr_Type_Units(5), (QList<int>{4, 5, 6}));
        QCOMPARE(Chr_Type_Units(7), (QList<int>{0}));
        QVERIFY(Chr_Type_Units(9).isEmpty());
        QVERIFY(Chr_Type_Units(255).isEmpty());
        QCOMPARE(Chr_Unit_Position(2, 10), 1);
        QCOMPARE(Chr_Unit_Position(0, 8), -1);
        QCOMPARE(Chr_Unit_Position(9, 0), -1);
    }

    void fixed_texts()
    {
        QCOMPARE(Fixed_Str(18.0, 10, 3), QString("18.000"));
        QCOMPARE(Fixed_Str(0.0, 12, 0), QString("0"));
        QCOMPARE(Fixed_Str(-2.5, 12, 2), QString("-2.50"));
        QCOMPARE(Fixed_Str(1234567890123.0, 12, 2), QString("1.23456789012E+12"));
        QCOMPARE(Fixed_Str(std::nan(""), 12, 2), QString("NAN"));
    }

    void identification_texts()
    {
        uint8_t t0[18] = {0, 'I', 3, 16, 24, 5, 17, 12, 7, 9, 1, 1, 0, 0, 1, 2, 0, 0};
        Ident_Texts t = Format_Ident(t0, true);
        QCOMPARE(t.destroyed, QString("Разрушенных таблиц нет"));
        QVERIFY(!t.destroyed_alarm);
        QCOMPARE(t.type_code, QString("73"));
        QCOMPARE(t.hard_ver, QString("3"));
        QCOMPARE(t.soft_ver, QString("16"));
        QCOMPARE(t.build_date, QString("17.05.24  12:07:09"));
        QCOMPARE(t.byte_order, QString("Мл. адрес - мл. байт"));
        QCOMPARE(t.rates, QString("Есть"));
        QCOMPARE(t.adr_change, QString("Есть"));
        QCOMPARE(t.protocol, QString("1.2.0"));

        // Out-of-range date parts, a destroyed table, a fixed address, an unknown byte order.
        const uint8_t bad[18] = {6, 'I', 3, 16, 100, 13, 32, 24, 60, 60, 2, 0, 0, 5, 1, 2, 3, 0};
        t = Format_Ident(bad, true);
        QCOMPARE(t.destroyed, QString("Разрушена таблица 6"));
        QVERIFY(t.destroyed_alarm);
        QCOMPARE(t.build_date, QString("**.**.**  **:**:**"));
        QCOMPARE(t.byte_order, QString(" ? "));
        QCOMPARE(t.rates, QString("Нет"));
        QCOMPARE(t.adr_change, QString("Нет. Адрес = 5"));

        // All date bytes zero: day and month are impossible, the rest read 00.
        std::memset(t0 + 4, 0, 6);
        QCOMPARE(Format_Ident(t0, true).build_date, QString("**.**.00  00:00:00"));

        // A configuration record: only the type code and the software version.
        t = Format_Ident(bad, false);
        QCOMPARE(t.type_code, QString("73"));
        QCOMPARE(t.soft_ver, QString("16"));
        QVERIFY(t.destroyed.isEmpty() && t.hard_ver.isEmpty() && t.build_date.isEmpty() && t.protocol.isEmpty());
    }

    void names()
    {
        char f[NAME_LEN];
        Set_Name(f, QStringLiteral("ГРС Южная"));
        QCOMPARE(uint8_t(f[0]), uint8_t(0xC3));   // 1251
        QCOMPARE(f[9], '\0');
        QCOMPARE(f[19], '\0');
        QCOMPARE(Name_Text(f), QString("ГРС Южная"));
        // Twenty characters: no terminator.
        Set_Name(f, QString(25, QChar(0x0416)));
        QCOMPARE(uint8_t(f[19]), uint8_t(0xC6));
        QCOMPARE(Name_Text(f), QString(20, QChar(0x0416)));
        std::memcpy(f, "  Name  \0garbage....", 20);
        QCOMPARE(Name_Text(f), QString("Name"));
    }
};

QTEST_GUILESS_MAIN(Tst_Chr_Par)
#include "tst_chr_par.moc"
