// Day codes of the daylight-saving rules as the system-parameter dialog edits them, and the
// clock correction sent with function 12.
#include "core/Dtfun.h"
#include "core/Tables.h"
#include "params/Sinhr.h"
#include "params/Syspar.h"

#include <QtTest>
#include <cstring>

class Tst_Syspar_Logic : public QObject {
    Q_OBJECT

    static int16_t Corr(std::initializer_list<int> c, std::initializer_list<int> p)
    {
        uint8_t a[6], b[6];
        std::transform(c.begin(), c.end(), a, [](int x) { return uint8_t(x); });
        std::transform(p.begin(), p.end(), b, [](int x) { return uint8_t(x); });
        return Clock_Correction(a, b);
    }

private slots:
    void day_code_picks_change_only_their_bits()
    {
        // "Последний" + "Воскресенье": 0x80 | 0x40 | 1 * 8 | 1.
        uint8_t code = Day_Code_Set_Method(0, 1);
        code = Day_Code_Set_Ordinal(code, 4);
        code = Day_Code_Set_Weekday(code, 0);
        QCOMPARE(int(code), 0xC9);
        QCOMPARE(Day_Code_Ordinal_Index(code), 4);
        QCOMPARE(Day_Code_Weekday_Index(code), 0);
        // "Предпоследний" then "Второй": bit 6 goes and comes, the weekday stays.
        code = Day_Code_Set_Ordinal(code, 3);
        QCOMPARE(int(code), 0xCA);
        code = Day_Code_Set_Ordinal(code, 1);
        QCOMPARE(int(code), 0x8A);
        QCOMPARE(Day_Code_Ordinal_Index(code), 1);
        code = Day_Code_Set_Weekday(code, 6);
        QCOMPARE(int(code), 0x80 | (7 << 3) | 2);
        // Method 0 and back keeps the other bits; a day keeps bit 7 as it is.
        QCOMPARE(int(Day_Code_Set_Method(Day_Code_Set_Method(code, 0), 1)), int(code));
        QCOMPARE(int(Day_Code_Set_Day(0x80, 14)), 0x80 | 15);
        QCOMPARE(int(Day_Code_Set_Day(0x00, 30)), 31);
    }

    void day_code_read_back_names_only_what_the_lists_hold()
    {
        QCOMPARE(Day_Code_Method(0x1F), 0);
        QCOMPARE(Day_Code_Method(0x81), 1);
        QCOMPARE(Day_Code_Ordinal_Index(0x83), 2);    // "Третий"
        QCOMPARE(Day_Code_Ordinal_Index(0x84), -1);   // no fourth
        QCOMPARE(Day_Code_Ordinal_Index(0xC3), -1);   // no third from the end
        QCOMPARE(Day_Code_Ordinal_Index(0x80), -1);
        QCOMPARE(Day_Code_Weekday_Index(0x81), -1);   // weekday 0
        // February never offers its 29th; April has no 31st.
        QCOMPARE(Day_Code_Day_Index(28, 2), 27);
        QCOMPARE(Day_Code_Day_Index(29, 2), -1);
        QCOMPARE(Day_Code_Day_Index(31, 4), -1);
        QCOMPARE(Day_Code_Day_Index(31, 3), 30);
        QCOMPARE(Day_Code_Day_Index(0, 3), -1);
    }

    void rules_built_here_are_read_by_the_date_functions()
    {
        // Last Sunday of March at 2:00 to last Sunday of October at 3:00, year 2026:
        // 29 March and 25 October.
        uint8_t summer[3] = {3, Day_Code_Set_Weekday(Day_Code_Set_Ordinal(0x80, 4), 0), 2};
        uint8_t winter[3] = {10, summer[1], 3};
        uint8_t d[6] = {26, 3, 29, 1, 59, 0};
        QCOMPARE(int(Dst_Flag(d, summer, winter)), 0x80);
        d[3] = 2;
        QCOMPARE(int(Dst_Flag(d, summer, winter)), 0);
        uint8_t o[6] = {26, 10, 25, 3, 0, 0};
        QCOMPARE(int(Dst_Flag(o, summer, winter)), 0x80);
    }

    void clock_correction()
    {
        // Same hour: the plain difference.
        QCOMPARE(Corr({26, 5, 4, 10, 20, 30}, {26, 5, 4, 10, 21, 0}), int16_t(30));
        QCOMPARE(Corr({26, 5, 4, 10, 21, 0}, {26, 5, 4, 10, 20, 30}), int16_t(-30));
        QCOMPARE(Corr({26, 5, 4, 10, 20, 30}, {26, 5, 4, 10, 20, 30}), int16_t(0));
        // Across an hour: no further than the controller's next or current hour start.
        QCOMPARE(Corr({26, 5, 4, 10, 59, 50}, {26, 5, 4, 11, 0, 5}), int16_t(10));
        QCOMPARE(Corr({26, 5, 4, 11, 0, 5}, {26, 5, 4, 10, 59, 50}), int16_t(-5));
        QCOMPARE(Corr({26, 5, 4, 10, 0, 0}, {26, 5, 5, 10, 0, 0}), int16_t(3600));
        QCOMPARE(Corr({26, 5, 4, 10, 59, 59}, {25, 5, 4, 10, 0, 0}), int16_t(-3599));
        // Year over: a later year wins however the months stand.
        QCOMPARE(Corr({27, 1, 1, 0, 0, 7}, {26, 12, 31, 23, 59, 59}), int16_t(-7));

        uint8_t b[2];
        Put_Correction(-5, b);
        QCOMPARE(int(b[0]), 0xFB);
        QCOMPARE(int(b[1]), 0xFF);
        Put_Correction(3600, b);
        QCOMPARE(int(b[0]), 0x10);
        QCOMPARE(int(b[1]), 0x0E);
    }

    void pc_clock_weekday_and_season()
    {
        // 2026-07-05 (a Sunday) 12:34:56 inside summer time; 2026-01-05 (a Monday) outside.
        uint8_t sys[12] = {3, 0xC9, 2, 10, 0xC9, 3};
        const uint8_t jul[6] = {26, 7, 5, 12, 34, 56};
        uint8_t c[CLOCK_LEN];
        QVERIFY(Pc_Clock(Date6_To_DateTime(jul) + 0.1 / 86400, sys, c));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(c), 8), QByteArray("\x1a\x07\x05\x0c\x22\x38\x01\x00", 8));
        const uint8_t jan[6] = {26, 1, 5, 8, 0, 0};
        QVERIFY(Pc_Clock(Date6_To_DateTime(jan), sys, c));
        QCOMPARE(int(c[6]), 2);
        QCOMPARE(int(c[7]), 0x80);
        // No rules: winter time all year.
        QVERIFY(Pc_Clock(Date6_To_DateTime(jul), nullptr, c));
        QCOMPARE(int(c[7]), 0x80);
        QVERIFY(!Pc_Clock(std::nan(""), sys, c));
    }

    void sync_block_round_trip()
    {
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        Tab_Field(6, 9)[0] = 0x55;
        Tab_Field(6, 10)[0] = 1;
        Tab_Field(6, 11)[0] = 0;
        Tab_Field(14, 8)[0] = 1;
        Tab_Field(14, 9)[0] = 1;
        Tab_Field(14, 10)[0] = 0x66;
        uint8_t b[SYNC_BLOCK_LEN];
        QVERIFY(Sync_Block_From_Image(b));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(b), 4), QByteArray("\x01\x00\x01\x01", 4));
        const uint8_t n[4] = {0, 1, 0, 1};
        QVERIFY(Sync_Block_To_Image(n));
        QCOMPARE(int(Tab_Field(6, 10)[0]), 0);
        QCOMPARE(int(Tab_Field(6, 11)[0]), 1);
        QCOMPARE(int(Tab_Field(14, 8)[0]), 0);
        QCOMPARE(int(Tab_Field(14, 9)[0]), 1);
        QCOMPARE(int(Tab_Field(6, 9)[0]), 0x55);
        QCOMPARE(int(Tab_Field(14, 10)[0]), 0x66);
    }
};

QTEST_GUILESS_MAIN(Tst_Syspar_Logic)
#include "tst_syspar_logic.moc"
