#include "core/Dtfun.h"
#include "core/Tables.h"

#include <QDate>
#include <QtTest>

namespace {
Date6 D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date6{uint8_t(y), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

QString Txt(const uint8_t *b, int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i) l << QString::number(b[i]);
    return l.join(',');
}
QString Txt(const Date6 &d) { return Txt(d.bytes(), 6); }

Ymd_Rec Ymd(int y, int m, int d) { return Ymd_Rec{y, uint8_t(d), uint8_t(m)}; }

// 1 = Sunday .. 7 = Saturday from Qt's Monday = 1 .. Sunday = 7.
int Qt_Weekday(const QDate &d) { return d.dayOfWeek() % 7 + 1; }
} // namespace

class Tst_Dtfun : public QObject {
    Q_OBJECT
private slots:
    void date_time_conversion()
    {
        Date6 d = D(9, 9, 9, 9, 9, 9);
        QVERIFY(DateTime_To_Date6(36526.0, d));
        QCOMPARE(Txt(d), QString("0,1,1,0,0,0"));
        QCOMPARE(Date6_To_DateTime(d), 36526.0);

        // Noon and the last second of a day.
        QVERIFY(DateTime_To_Date6(45000.5, d));
        QCOMPARE(Txt(d), QString("23,3,15,12,0,0"));
        QVERIFY(DateTime_To_Date6(45000.0 + 86399.0 / 86400.0, d));
        QCOMPARE(Txt(d), QString("23,3,15,23,59,59"));
        // A fraction a hair short of midnight rounds into the next day, not to second 60.
        QVERIFY(DateTime_To_Date6(45000.0 + 86399.9996 / 86400.0, d));
        QCOMPARE(Txt(d), QString("23,3,16,0,0,0"));

        // Year byte = (full year + 48) mod 256.
        QVERIFY(DateTime_To_Date6(36525.0, d));   // 31 December 1999
        QCOMPARE(Txt(d), QString("255,12,31,0,0,0"));

        // Not a date: the output is left alone.
        d = D(1, 2, 3, 4, 5, 6);
        QVERIFY(!DateTime_To_Date6(qQNaN(), d));
        QVERIFY(!DateTime_To_Date6(qInf(), d));
        QVERIFY(!DateTime_To_Date6(1e12, d));
        QCOMPARE(Txt(d), QString("1,2,3,4,5,6"));

        // Round trip over the years the controller uses, against Qt's calendar.
        const QDate base(1899, 12, 30);
        for (int y = 2000; y < 2100; y += 3) {
            for (int m = 1; m <= 12; m += 5) {
                const QDate q(y, m, 28 - m);
                const Date6 x = D(y - 2000, m, 28 - m, m, 2 * m, 3 * m);
                const double dt = Date6_To_DateTime(x);
                QCOMPARE(int(std::floor(dt)), int(base.daysTo(q)));
                Date6 back{};
                QVERIFY(DateTime_To_Date6(dt, back));
                QCOMPARE(Txt(back), Txt(x));
            }
        }
    }

    void compare()
    {
        const Date6 a = D(24, 5, 10, 13, 20, 30), b = D(24, 5, 10, 13, 20, 31), c = D(24, 5, 10, 14, 0, 0);
        QCOMPARE(Compare_Date6(a, a), 0);
        QCOMPARE(Compare_Date6(a, b), -1);
        QCOMPARE(Compare_Date6(b, a), 1);
        QCOMPARE(Compare_Date5(a.bytes(), b.bytes()), 0);
        QCOMPARE(Compare_Date6_Unit(a, c, UNIT_HOUR), -1);
        QCOMPARE(Compare_Date6_Unit(a, c, UNIT_DAY), 0);
        QCOMPARE(Compare_Date6_Unit(D(24, 5, 1), D(24, 5, 30), UNIT_MONTH), 0);
        QCOMPARE(Compare_Date6_Unit(D(25, 1, 1), D(24, 12, 31), UNIT_MONTH), 1);
        // Year first.
        QCOMPARE(Compare_Date6(D(23, 12, 31, 23, 59, 59), D(24, 1, 1)), -1);
    }

    void calendar()
    {
        QVERIFY(Is_Leap_Year(2000));
        QVERIFY(Is_Leap_Year(2024));
        QVERIFY(!Is_Leap_Year(1900));
        QVERIFY(!Is_Leap_Year(2100));
        QVERIFY(!Is_Leap_Year(2023));
        QCOMPARE(Days_In_Month(2024, 0), 0);
        QCOMPARE(Days_In_Month(2024, 13), 0);
        QCOMPARE(Days_In_Month(2024, 2), 29);
        QCOMPARE(Days_In_Month(2100, 2), 28);
        QCOMPARE(Days_In_Month(2023, 4), 30);
        QCOMPARE(Days_In_Month(2023, 12), 31);
        QCOMPARE(Days_In_Year(2024), 366);
        QCOMPARE(Days_In_Year(2100), 365);
        QCOMPARE(Day_Of_Year(Ymd(2024, 3, 1)), 61);
        QCOMPARE(Day_Of_Year(Ymd(2023, 3, 1)), 60);
        QCOMPARE(Day_Of_Year(Ymd(2024, 12, 31)), 366);
        QCOMPARE(Days_Left_In_Year(Ymd(2024, 12, 31)), 0);
        QCOMPARE(Days_Left_In_Year(Ymd(2023, 1, 1)), 364);
        // A damaged month indexes nothing.
        QCOMPARE(Day_Of_Year(Ymd(2023, 0, 5)), 5);
        QCOMPARE(Day_Of_Year(Ymd(2023, 200, 5)), 370);

        // Days between and day of week against Qt's calendar, both directions.
        const QDate from(2000, 2, 27);
        for (int n = -800; n <= 40000; n += 37) {
            const QDate to = from.addDays(n);
            const Ymd_Rec f = Ymd(from.year(), from.month(), from.day());
            const Ymd_Rec t = Ymd(to.year(), to.month(), to.day());
            QCOMPARE(Days_Between(f, t), n);
            QCOMPARE(Days_Between(t, f), -n);
            QCOMPARE(Day_Of_Week(t), Qt_Weekday(to));
        }
        QCOMPARE(Day_Of_Week(Ymd(2002, 1, 6)), 1);
        QCOMPARE(Day_Of_Week(Ymd(2002, 1, 5)), 7);
        QCOMPARE(Day_Of_Week(Ymd(2000, 1, 1)), 7);
    }

    void increment_and_decrement_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("step");   // +1 Inc_Date6, -1 Dec_Date6
        QTest::addColumn<QString>("to");
        QTest::newRow("hour over the year end") << "24,12,31,23,10,5" << int(UNIT_HOUR) << 1 << "25,1,1,0,10,5";
        QTest::newRow("hour back over the year end") << "25,1,1,0,10,5" << int(UNIT_HOUR) << -1 << "24,12,31,23,10,5";
        QTest::newRow("28 Feb leap") << "24,2,28,0,0,0" << int(UNIT_DAY) << 1 << "24,2,29,0,0,0";
        QTest::newRow("29 Feb") << "24,2,29,0,0,0" << int(UNIT_DAY) << 1 << "24,3,1,0,0,0";
        QTest::newRow("28 Feb plain") << "23,2,28,0,0,0" << int(UNIT_DAY) << 1 << "23,3,1,0,0,0";
        QTest::newRow("1 Mar back leap") << "24,3,1,5,0,0" << int(UNIT_DAY) << -1 << "24,2,29,5,0,0";
        QTest::newRow("1 Mar back plain") << "23,3,1,0,0,0" << int(UNIT_DAY) << -1 << "23,2,28,0,0,0";
        // The year byte divisible by 4 counts as leap in the steps.
        QTest::newRow("1 Mar back byte 100") << "100,3,1,0,0,0" << int(UNIT_DAY) << -1 << "100,2,29,0,0,0";
        QTest::newRow("1 May back") << "24,5,1,0,0,0" << int(UNIT_DAY) << -1 << "24,4,30,0,0,0";
        // A month step keeps the day.
        QTest::newRow("month keeps 31") << "24,1,31,0,0,0" << int(UNIT_MONTH) << 1 << "24,2,31,0,0,0";
        QTest::newRow("month over the year end") << "24,12,15,0,0,0" << int(UNIT_MONTH) << 1 << "25,1,15,0,0,0";
        QTest::newRow("month back over the year end") << "25,1,15,0,0,0" << int(UNIT_MONTH) << -1 << "24,12,15,0,0,0";
        QTest::newRow("other unit up") << "24,5,5,5,5,5" << 7 << 1 << "24,5,5,5,5,5";
        QTest::newRow("other unit down") << "24,5,5,5,5,5" << 3 << -1 << "24,5,5,5,5,5";
    }
    void increment_and_decrement()
    {
        QFETCH(QString, from);
        QFETCH(int, unit);
        QFETCH(int, step);
        QFETCH(QString, to);
        const QStringList f = from.split(',');
        Date6 d = D(f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt());
        if (step > 0) Inc_Date6(d, unit);
        else Dec_Date6(d, unit);
        QCOMPARE(Txt(d), to);
    }

    void damaged_dates_step_inside_the_month_table()
    {
        Date6 d = D(24, 0, 40, 30);
        Inc_Date6(d, UNIT_HOUR);
        Dec_Date6(d, UNIT_DAY);
        d = D(24, 13, 0, 0);
        Dec_Date6(d, UNIT_HOUR);
        Inc_Date6(d, UNIT_MONTH);
        QCOMPARE(int(d.month), 1);
    }

    void three_minute_step()
    {
        Date6 d = D(24, 5, 10, 13, 57, 0);
        Step_Date6(d, UNIT_3MIN);
        QCOMPARE(Txt(d), QString("24,5,10,14,0,0"));
        Step_Date6(d, UNIT_3MIN);
        QCOMPARE(Txt(d), QString("24,5,10,14,3,0"));
        d = D(24, 12, 31, 23, 57);
        Step_Date6(d, UNIT_3MIN);
        QCOMPARE(Txt(d), QString("25,1,1,0,0,0"));
        d = D(24, 2, 28, 23, 30);
        Step_Date6(d, UNIT_HOUR);
        QCOMPARE(Txt(d), QString("24,2,29,0,30,0"));
        Step_Date6(d, UNIT_DAY);
        Step_Date6(d, UNIT_MONTH);
        QCOMPARE(Txt(d), QString("24,2,29,0,30,0"));
    }

    void validity()
    {
        QVERIFY(Valid_Date6(D(24, 4, 31)));   // only February is held to its length
        QVERIFY(Valid_Date6(D(24, 2, 29, 23, 59, 59)));
        QVERIFY(!Valid_Date6(D(23, 2, 29)));
        QVERIFY(!Valid_Date6(D(100, 2, 29)));   // 2100
        QVERIFY(Valid_Date6(D(0, 2, 29)));      // 2000
        QVERIFY(!Valid_Date6(D(24, 0, 1)));
        QVERIFY(!Valid_Date6(D(24, 13, 1)));
        QVERIFY(!Valid_Date6(D(24, 1, 0)));
        QVERIFY(!Valid_Date6(D(24, 1, 32)));
        QVERIFY(!Valid_Date6(D(24, 1, 1, 24)));
        QVERIFY(!Valid_Date6(D(24, 1, 1, 0, 60)));
        QVERIFY(!Valid_Date6(D(24, 1, 1, 0, 0, 60)));
    }

    void daylight_saving_days()
    {
        // Last Sunday of March, 2:00.
        const uint8_t last_sun_march[3] = {3, 0x80 | 0x40 | (1 << 3) | 1, 2};
        for (int yb = 0; yb < 100; ++yb) {
            const int doy = Dst_Day(uint8_t(yb), last_sun_march);
            const QDate q = QDate(2000 + yb, 1, 1).addDays(doy - 1);
            QCOMPARE(q.month(), 3);
            QVERIFY2(q.day() >= 25 && q.day() <= 31, qPrintable(q.toString()));
            QCOMPARE(q.dayOfWeek(), 7);
        }
        // First, second and third weekday rules, and "second to last".
        for (int yb = 0; yb < 30; ++yb) {
            for (int m = 1; m <= 12; ++m) {
                for (int wd = 1; wd <= 7; ++wd) {
                    for (int week = 1; week <= 3; ++week) {
                        const uint8_t rule[3] = {uint8_t(m), uint8_t(0x80 | (wd << 3) | week), 3};
                        const QDate q = QDate(2000 + yb, 1, 1).addDays(Dst_Day(uint8_t(yb), rule) - 1);
                        QCOMPARE(q.month(), m);
                        QVERIFY(q.day() >= 1 + 7 * (week - 1) && q.day() <= 7 * week);
                        QCOMPARE(Qt_Weekday(q), wd);
                    }
                    const uint8_t rule[3] = {uint8_t(m), uint8_t(0xC0 | (wd << 3) | 2), 3};
                    const QDate q = QDate(2000 + yb, 1, 1).addDays(Dst_Day(uint8_t(yb), rule) - 1);
                    QCOMPARE(q.month(), m);
                    QVERIFY(q.day() > q.daysInMonth() - 14 && q.day() <= q.daysInMonth() - 7);
                    QCOMPARE(Qt_Weekday(q), wd);
                }
            }
        }
        // A plain day of the month.
        const uint8_t fixed[3] = {3, 15, 2};
        QCOMPARE(Dst_Day(24, fixed), 31 + 29 + 15);
        // Rules that name no day.
        const uint8_t no_month[3] = {0, 0xC9, 2}, bad_month[3] = {13, 5, 2}, no_weekday[3] = {3, 0xC1, 2},
                      no_week[3] = {3, 0xC8, 2};
        QCOMPARE(Dst_Day(24, no_month), 0);
        QCOMPARE(Dst_Day(24, bad_month), 0);
        QCOMPARE(Dst_Day(24, no_weekday), 0);
        QCOMPARE(Dst_Day(24, no_week), 0);
    }

    void daylight_saving_flag()
    {
        const uint8_t summer[3] = {3, 0xC9, 2};    // last Sunday of March, 2:00
        const uint8_t winter[3] = {10, 0xC9, 3};   // last Sunday of October, 3:00
        // 2024: 31 March and 27 October.
        QCOMPARE(Dst_Flag(D(24, 1, 15, 12).bytes(), summer, winter), uint8_t(0x80));
        QCOMPARE(Dst_Flag(D(24, 3, 30, 12).bytes(), summer, winter), uint8_t(0x80));
        QCOMPARE(Dst_Flag(D(24, 3, 31, 1).bytes(), summer, winter), uint8_t(0x80));
        QCOMPARE(Dst_Flag(D(24, 3, 31, 2).bytes(), summer, winter), uint8_t(0));
        QCOMPARE(Dst_Flag(D(24, 7, 1, 0).bytes(), summer, winter), uint8_t(0));
        QCOMPARE(Dst_Flag(D(24, 10, 27, 2).bytes(), summer, winter), uint8_t(0));
        QCOMPARE(Dst_Flag(D(24, 10, 27, 3).bytes(), summer, winter), uint8_t(0x80));
        QCOMPARE(Dst_Flag(D(24, 12, 31, 23).bytes(), summer, winter), uint8_t(0x80));
        const uint8_t off[3] = {0, 0, 0};
        QCOMPARE(Dst_Flag(D(24, 7, 1, 0).bytes(), off, off), uint8_t(0x80));
    }

    void archive_period_data()
    {
        // Dates as "y,m,d,h"; start and end compared over `n` bytes; empty start: no period.
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<int>("day_start");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        const int H = UNIT_HOUR, D = UNIT_DAY, M = UNIT_MONTH;
        QTest::newRow("hourly, a year") << H << "20,1,1,0" << "24,5,10,13" << false << 10 << 5 << "23,5,10,13,0" << "24,5,10,12,0";
        QTest::newRow("hourly, younger archive") << H << "24,5,1,7" << "24,5,10,13" << true << 10 << 5 << "24,5,1,7,0" << "24,5,10,12,0";
        QTest::newRow("hourly, from 29 Feb") << H << "20,1,1,0" << "24,2,29,6" << false << 0 << 5 << "23,3,1,6,0" << "24,2,29,5,0";
        QTest::newRow("hourly, nothing closed") << H << "24,5,10,13" << "24,5,10,13" << false << 0 << 5 << "" << "";
        QTest::newRow("unknown unit") << 3 << "20,1,1,0" << "24,5,10,13" << false << 0 << 5 << "" << "";
        // Before the gas day starts yesterday is not closed yet.
        QTest::newRow("daily, before the gas day") << D << "19,1,1,0" << "24,5,10,8" << false << 10 << 3 << "20,5,9" << "24,5,8";
        QTest::newRow("daily, after the gas day") << D << "19,1,1,0" << "24,5,10,8" << false << 8 << 3 << "20,5,10" << "24,5,9";
        // The flag takes one day more before a later first record.
        QTest::newRow("daily, younger, flag") << D << "24,3,5,12" << "24,5,10,8" << true << 0 << 3 << "24,3,4" << "24,5,9";
        QTest::newRow("daily, younger") << D << "24,3,5,12" << "24,5,10,8" << false << 0 << 3 << "24,3,5" << "24,5,9";
        QTest::newRow("daily, year byte within the depth") << D << "1,6,1,0" << "3,2,1,12" << false << 0 << 3 << "1,6,1" << "3,1,31";
        // On the 1st before the gas day starts, last month is not closed yet.
        QTest::newRow("monthly, before the gas day") << M << "20,1,1,0" << "24,3,1,5" << false << 10 << 2 << "22,2" << "24,1";
        QTest::newRow("monthly, after the gas day") << M << "20,1,1,0" << "24,3,1,5" << false << 5 << 2 << "22,3" << "24,2";
        QTest::newRow("monthly, first on the 1st, flag") << M << "23,6,1,0" << "24,3,1,5" << true << 0 << 2 << "23,5" << "24,2";
        QTest::newRow("monthly, first on the 2nd, flag") << M << "23,6,2,0" << "24,3,1,5" << true << 0 << 2 << "23,6" << "24,2";
        QTest::newRow("monthly, 31st into a shorter month") << M << "20,1,1,0" << "23,5,31,12" << false << 0 << 3 << "21,5,31" << "23,4,31";
    }
    void archive_period()
    {
        QFETCH(int, unit);
        QFETCH(QString, first);
        QFETCH(QString, now);
        QFETCH(bool, flag);
        QFETCH(int, day_start);
        QFETCH(int, n);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const auto bytes = [](const QString &t) {
            QList<uint8_t> b;
            for (const QString &x : t.split(',')) b << uint8_t(x.toInt());
            return b;
        };
        const QList<uint8_t> f = bytes(first), c = bytes(now);
        Arh_Range r{};
        QCOMPARE(Calc_Arh_Period(f.constData(), c.constData(), r, unit, flag, day_start), !start.isEmpty());
        if (start.isEmpty()) return;
        QCOMPARE(Txt(r.start, n), start);
        QCOMPARE(Txt(r.end, n), end);
    }

    void day_start_from_the_table_image()
    {
        const uint8_t first[4] = {19, 1, 1, 0};
        const uint8_t morning[4] = {24, 5, 10, 8};
        QVERIFY(Tab_Field(6, 6));
        *Tab_Field(6, 6) = 10;
        Arh_Range from_table{}, r{};
        QVERIFY(Calc_Arh_Period(first, morning, from_table, UNIT_DAY, false));
        QVERIFY(Calc_Arh_Period(first, morning, r, UNIT_DAY, false, 10));
        QCOMPARE(Txt(from_table.start, 5), Txt(r.start, 5));
        QCOMPARE(Txt(from_table.end, 5), Txt(r.end, 5));
        *Tab_Field(6, 6) = 0;
    }

    void measurement_period()
    {
        Arh_Range r{};
        const uint8_t first[5] = {20, 1, 1, 0, 0};
        const uint8_t now[5] = {24, 5, 10, 13, 47};
        QVERIFY(Calc_Meas_Period(first, now, r));
        QCOMPARE(Txt(r.end, 5), QString("24,5,10,13,45"));
        QCOMPARE(Txt(r.start, 5), QString("24,3,10,13,48"));

        // Across the year end.
        const uint8_t jan[5] = {24, 1, 31, 23, 58};
        QVERIFY(Calc_Meas_Period(first, jan, r));
        QCOMPARE(Txt(r.end, 5), QString("24,1,31,23,57"));
        QCOMPARE(Txt(r.start, 5), QString("23,12,1,0,0"));

        // 30 April two months back is past February's end: 1 March.
        const uint8_t apr[5] = {24, 4, 30, 10, 0};
        QVERIFY(Calc_Meas_Period(first, apr, r));
        QCOMPARE(Txt(r.start, 5), QString("24,3,1,10,3"));

        // A later first record, its minute cut to the 3-minute grid.
        const uint8_t young[5] = {24, 5, 10, 13, 20};
        QVERIFY(Calc_Meas_Period(young, now, r));
        QCOMPARE(Txt(r.start, 5), QString("24,5,10,13,18"));
        const uint8_t future[5] = {24, 5, 10, 13, 50};
        QVERIFY(!Calc_Meas_Period(future, now, r));
    }
};

QTEST_GUILESS_MAIN(Tst_Dtfun)
#include "tst_dtfun.moc"
