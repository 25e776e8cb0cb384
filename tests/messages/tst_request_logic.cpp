// The request dialogs without windows: presets from the clocks and the archive range, every
// refusal of an acceptance, clamping into the range, and the choices kept in the last-request
// record, also across its file.
#include "core/Dtfun.h"
#include "core/Rd_wr_ini.h"
#include "messages/Period.h"
#include "messages/Readindex.h"
#include "messages/Shortdt.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Date6)

namespace {

Date6 D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date6{uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

QString Txt(const Date6 &d)
{
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", 2000 + d.year, d.month, d.day, d.hour, d.minute,
                             d.second);
}

Arh_Range R(const Date6 &a, const Date6 &b)
{
    Arh_Range r;
    std::memcpy(r.start, a.bytes(), 5);
    std::memcpy(r.end, b.bytes(), 5);
    return r;
}

Period_Input In(const Date6 &s, const Date6 &e)
{
    return Period_Input{s, QString::number(s.hour), QString::number(s.minute), QString::number(s.second),
                        e, QString::number(e.hour), QString::number(e.minute), QString::number(e.second)};
}

} // namespace

class tst_Request_Logic : public QObject {
    Q_OBJECT
private slots:
    void init() { Rd_Arh_Rec = Rd_Arh_Record{0, 1, 0.0, 0.0, {}}; }

    void periodPresets_data();
    void periodPresets();
    void periodChecks_data();
    void periodChecks();
    void storedValuesOutOfRange();
    void recordFileKeepsChoices();

    void hourlyPanel();
    void dailyPanelAndDayStartHour();
    void shortChecks();

    void indexPresets();
    void indexChecks_data();
    void indexChecks();
};

void tst_Request_Logic::periodPresets_data()
{
    QTest::addColumn<Date6>("now");
    QTest::addColumn<uint>("choice");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("hour at midnight") << D(2026, 3, 5, 0, 20, 5) << 0u << "2026-03-04 23:20:05"
                                      << "2026-03-05 00:20:05";
    QTest::newRow("day after leap day") << D(2024, 3, 1, 10, 0, 0) << 1u << "2024-02-29 10:00:00"
                                        << "2024-03-01 10:00:00";
    // A step back from the first day the pickers take stays on it.
    QTest::newRow("first day") << D(2000, 1, 1, 0, 10, 0) << 0u << "2000-01-01 00:00:00" << "2000-01-01 00:10:00";
}

void tst_Request_Logic::periodPresets()
{
    QFETCH(Date6, now);
    QFETCH(uint, choice);
    QFETCH(QString, start);
    QFETCH(QString, end);
    const Period_Preset p = Period_Preset_For(choice, now);
    QCOMPARE(Txt(p.start), start);
    QCOMPARE(Txt(p.end), end);
    QVERIFY(!p.enabled);
}

void tst_Request_Logic::periodChecks_data()
{
    QTest::addColumn<int>("box");        // 0..5: start h, m, s, end h, m, s
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line1");
    const char *lines[6] = {"Значение часа начала диапазона", "Значение минут начала диапазона",
                            "Значение секунд начала диапазона", "Значение часа конца диапазона",
                            "Значение минут конца диапазона", "Значение секунд конца диапазона"};
    const int limit[6] = {24, 60, 60, 24, 60, 60};
    for (int b = 0; b < 6; ++b)
        QTest::addRow("box %d over", b) << b << QString::number(limit[b]) << QString::fromUtf8(lines[b]);
    QTest::newRow("empty") << 2 << QString() << QString::fromUtf8(lines[2]);
    QTest::newRow("not a number") << 3 << QString("1%") << QString::fromUtf8(lines[3]);
    // Numbers are unsigned: no wrap of a huge or negative number into range.
    QTest::newRow("huge hour") << 0 << QString("4294967297") << QString::fromUtf8(lines[0]);
    QTest::newRow("negative minute") << 4 << QString("-1") << QString::fromUtf8(lines[4]);
}

void tst_Request_Logic::periodChecks()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, line1);
    Period_Input in = In(D(2026, 3, 5, 10, 0, 0), D(2026, 3, 5, 11, 0, 0));
    QString *boxes[6] = {&in.start_hour, &in.start_min, &in.start_sec, &in.end_hour, &in.end_min, &in.end_sec};
    *boxes[box] = text;
    Date6 s = D(2001, 1, 1), e = D(2001, 1, 1);
    const auto r = Check_Period(in, s, e);
    QVERIFY(r);
    QCOMPARE(r->line1, line1);
    QCOMPARE(r->line2, QString("вне допустимого диапазона"));
    QCOMPARE(Txt(s), QString("2001-01-01 00:00:00"));   // nothing returned on refusal

    // The number checks come before the order check.
    in = In(D(2026, 3, 5, 10, 0, 0), D(2026, 3, 4, 11, 0, 0));
    in.end_sec = "60";
    QCOMPARE(Check_Period(in, s, e)->line1, QString("Значение секунд конца диапазона"));
    // A later second alone makes the end earlier.
    const auto rev = Check_Period(In(D(2026, 3, 5, 10, 0, 1), D(2026, 3, 5, 10, 0, 0)), s, e);
    QVERIFY(rev);
    QCOMPARE(rev->line1, QString("Дата и время конца опроса должны быть"));
    // Equal bounds pass; blanks around a number are no fault.
    in = In(D(2026, 12, 31, 23, 59, 59), D(2026, 12, 31, 23, 59, 59));
    in.start_hour = " 23 ";
    QVERIFY(!Check_Period(in, s, e));
    QCOMPARE(Txt(e), QString("2026-12-31 23:59:59"));
}

void tst_Request_Logic::storedValuesOutOfRange()
{
    const Date6 now = D(2026, 6, 1, 12, 0, 0);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double y1999 = Date6_To_DateTime(D(2000, 1, 1)) - 0.5;
    const double y2100 = Date6_To_DateTime(D(2099, 12, 31, 23, 59, 59)) + 1.0;
    // 1792 maps onto year byte 48 when cut to a byte: it must not pass as 2048.
    const double y1792 = Date6_To_DateTime(D(2000, 1, 1)) - 208.0 * 365.2425;
    for (double bad : {nan, inf, -inf, y1999, y2100, y1792, 1e300, -1e300}) {
        Rd_Arh_Rec.start_dt = bad;
        Rd_Arh_Rec.end_dt = bad;
        QCOMPARE(Txt(Stored_Period_Start(now)), Txt(now));
        QCOMPARE(Txt(Stored_Period_End(now)), Txt(now));
        const Period_Preset p = Period_Preset_For(PERIOD_GIVEN, now);
        QCOMPARE(Txt(p.start), Txt(now));
    }
    for (uint32_t c : {3u, 255u, 0xFFFFFFFFu}) {
        Rd_Arh_Rec.period_choice = c;
        QCOMPARE(Stored_Period_Choice(), PERIOD_LAST_HOUR);
        QCOMPARE(Short_Stored_Item(SHORT_HOURLY), 0);
        QCOMPARE(Short_Stored_Item(SHORT_MINUTES), 0);
    }
    for (uint32_t c : {5u, 100u, 0x80000000u}) {
        Rd_Arh_Rec.index_choice = c;
        QCOMPARE(Stored_Index_Choice(), INDEX_LAST_100);
    }
}

void tst_Request_Logic::recordFileKeepsChoices()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("rd_arh.ini");
    for (int i = 0; i < 50; ++i) Rd_Arh_Rec.rest[i] = uint8_t(i + 1);
    Store_Period_Choice(PERIOD_GIVEN);
    Store_Index_Choice(INDEX_LAST_10);
    Store_Given_Period(D(2024, 2, 29, 23, 0, 59), D(2024, 3, 1, 0, 0, 0));
    QVERIFY(Write_Rd_Arh(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    QCOMPARE(raw.size(), 74);
    QCOMPARE(uint8_t(raw[0]), uint8_t(2));
    QCOMPARE(uint8_t(raw[4]), uint8_t(3));

    Rd_Arh_Rec = Rd_Arh_Record{0, 0, 0.0, 0.0, {}};
    QVERIFY(Read_Rd_Arh(path, 0.0));
    QCOMPARE(Stored_Period_Choice(), PERIOD_GIVEN);
    QCOMPARE(Stored_Index_Choice(), INDEX_LAST_10);
    QCOMPARE(Txt(Stored_Period_Start(D(2030, 1, 1))), QString("2024-02-29 23:00:59"));
    QCOMPARE(Txt(Stored_Period_End(D(2030, 1, 1))), QString("2024-03-01 00:00:00"));
    QCOMPARE(int(Rd_Arh_Rec.rest[49]), 50);
}

void tst_Request_Logic::hourlyPanel()
{
    // Controller clock 10:25 on 5 March: 24 records, 4 March 10 h .. 5 March 9 h.
    Short_Period p = Short_Preset(SHORT_HOURLY, 0, D(2026, 3, 5, 10, 25, 40), {});
    QCOMPARE(Txt(p.start), QString("2026-03-04 10:00:00"));
    QCOMPARE(Txt(p.end), QString("2026-03-05 09:00:00"));
    QVERIFY(!p.enabled);
    // Just after the new year the last closed hour is 23 h of 31 December.
    p = Short_Preset(SHORT_HOURLY, 0, D(2026, 1, 1, 0, 5), {});
    QCOMPARE(Txt(p.start), QString("2025-12-31 00:00:00"));
    QCOMPARE(Txt(p.end), QString("2025-12-31 23:00:00"));

    // At show: the last day of the range, not before its start.
    Arh_Range r = R(D(2026, 2, 1, 6, 0), D(2026, 3, 5, 9, 0));
    p = Short_Initial(SHORT_HOURLY, r, D(2026, 3, 5, 10));
    QCOMPARE(Txt(p.start), QString("2026-03-04 09:00:00"));
    QCOMPARE(Txt(p.end), QString("2026-03-05 09:00:00"));
    // Range minutes never reach the hourly dates.
    r = R(D(2026, 3, 1, 2, 33), D(2026, 3, 5, 9, 17));
    p = Short_Initial(SHORT_HOURLY, r, D(2026, 3, 5, 10));
    QCOMPARE(Txt(p.end), QString("2026-03-05 09:00:00"));
}

void tst_Request_Logic::dailyPanelAndDayStartHour()
{
    // Preset: the month before yesterday; on 31 March that starts on the last day of February.
    Short_Period p = Short_Preset(SHORT_DAILY, 0, D(2025, 4, 1, 12), {});
    QCOMPARE(Txt(p.start), QString("2025-02-28 00:00:00"));
    QCOMPARE(Txt(p.end), QString("2025-03-31 00:00:00"));

    // The gas day starts at 10 h: at 05 h on 1 January the last closed day is 30 December,
    // so the preset's 31 December is brought back to the range end at acceptance.
    const Date6 first = D(2024, 6, 1);
    const Date6 clock = D(2026, 1, 1, 5, 0);
    Arh_Range r{};
    QVERIFY(Calc_Arh_Period(first.bytes(), clock.bytes(), r, UNIT_DAY, false, 10));
    QCOMPARE(int(r.end[2]), 30);
    p = Short_Preset(SHORT_DAILY, 0, clock, {});
    Date6 s{}, e{};
    QVERIFY(!Short_Accept(SHORT_DAILY, r, p.start, p.end, s, e));
    QCOMPARE(Txt(s), QString("2025-11-30 00:00:00"));
    QCOMPARE(Txt(e), QString("2025-12-30 00:00:00"));
    // After the day start the 31st is closed and stays.
    const Date6 later = D(2026, 1, 1, 11, 0);
    QVERIFY(Calc_Arh_Period(first.bytes(), later.bytes(), r, UNIT_DAY, false, 10));
    QVERIFY(!Short_Accept(SHORT_DAILY, r, p.start, p.end, s, e));
    QCOMPARE(Txt(e), QString("2025-12-31 00:00:00"));

    // At show: a month back from the range end, raised to the range start.
    r = R(D(2024, 3, 10, 10), D(2025, 3, 31, 10));
    p = Short_Initial(SHORT_DAILY, r, clock);
    QCOMPARE(Txt(p.start), QString("2025-02-28 00:00:00"));
}

void tst_Request_Logic::shortChecks()
{
    const Arh_Range r = R(D(2026, 3, 1, 6), D(2026, 3, 5, 9));
    Date6 s = D(2001, 1, 1), e = D(2001, 1, 1);
    // End before start, by the hour only: minutes do not count.
    auto ref = Short_Accept(SHORT_HOURLY, r, D(2026, 3, 3, 5), D(2026, 3, 3, 4, 59), s, e);
    QVERIFY(ref);
    QCOMPARE(ref->line1, QString("Дата и время конца опроса должны быть"));
    QVERIFY(!Short_Accept(SHORT_HOURLY, r, D(2026, 3, 3, 5, 40), D(2026, 3, 3, 5, 10), s, e));
    QCOMPARE(Txt(s), QString("2026-03-03 05:00:00"));   // bytes past the hour are zero
    QCOMPARE(Txt(e), QString("2026-03-03 05:00:00"));

    // Wholly before or after the range.
    for (const auto &pe : {std::pair{D(2026, 2, 1, 0), D(2026, 3, 1, 5)}, std::pair{D(2026, 3, 5, 10), D(2026, 4, 1)}}) {
        ref = Short_Accept(SHORT_HOURLY, r, pe.first, pe.second, s, e);
        QVERIFY(ref);
        QCOMPARE(ref->line1, QString("В архиве нет данных за указанный период"));
        QCOMPARE(ref->line2, QString("(см. период имеющихся в архиве данных)"));
    }
    // Overlapping at the start or the end: clamped to the range.
    QVERIFY(!Short_Accept(SHORT_HOURLY, r, D(2026, 2, 1, 0), D(2026, 3, 1, 6), s, e));
    QCOMPARE(Txt(s), QString("2026-03-01 06:00:00"));
    QCOMPARE(Txt(e), QString("2026-03-01 06:00:00"));
    QVERIFY(!Short_Accept(SHORT_HOURLY, r, D(2026, 3, 4, 0), D(2027, 1, 1), s, e));
    QCOMPARE(Txt(e), QString("2026-03-05 09:00:00"));

    // Daily: by the day, hours ignored.
    QVERIFY(!Short_Accept(SHORT_DAILY, r, D(2026, 3, 1, 0), D(2026, 3, 1, 0), s, e));
    QCOMPARE(Txt(s), QString("2026-03-01 00:00:00"));
    QVERIFY(Short_Accept(SHORT_DAILY, r, D(2026, 3, 6, 0), D(2026, 3, 9, 0), s, e));

    // Minutes: compared and clamped to the minute.
    const Arh_Range m = R(D(2026, 2, 1, 1, 30), D(2026, 2, 3, 0, 0));
    QVERIFY(!Short_Accept(SHORT_MINUTES, m, D(2026, 2, 1, 1, 29, 59), D(2026, 2, 3, 0, 1), s, e));
    QCOMPARE(Txt(s), QString("2026-02-01 01:30:00"));
    QCOMPARE(Txt(e), QString("2026-02-03 00:00:00"));
    QVERIFY(Short_Accept(SHORT_MINUTES, m, D(2026, 2, 1, 1, 0), D(2026, 2, 1, 1, 29), s, e));

    // A reversed or damaged range holds nothing.
    const Arh_Range rev = R(D(2026, 3, 5, 9), D(2026, 3, 1, 6));
    QCOMPARE(Short_Accept(SHORT_HOURLY, rev, D(2026, 3, 2), D(2026, 3, 3), s, e)->line1,
             QString("В архиве нет данных за указанный период"));
    Arh_Range bad = r;
    bad.end[1] = 13;
    QVERIFY(Short_Accept(SHORT_HOURLY, bad, D(2026, 3, 2), D(2026, 3, 3), s, e));
    const Arh_Range zero{};
    QVERIFY(Short_Accept(SHORT_DAILY, zero, D(2026, 3, 2), D(2026, 3, 3), s, e));
    // A damaged range bound is not shown: the controller's clock stands in.
    const Short_Period init = Short_Initial(SHORT_HOURLY, bad, D(2026, 3, 5, 10, 25));
    QCOMPARE(Txt(init.end), QString("2026-03-05 10:00:00"));
}

void tst_Request_Logic::indexPresets()
{
    struct Case {
        uint32_t choice, oldest, newest;
        const char *start, *count;
    };
    const Case cases[] = {
        {2, 1, 40, "1", "40"},         {3, 1, 40, "31", "10"},  {1, 5, 105, "6", "100"},
        {2, 0, 0, "0", "1"},           {0, 0, 0xFFFFFFFFu, "0", "4294967296"},
        {1, 0, 0xFFFFFFFFu, "4294967196", "100"},
        {0, 50, 10, "50", "0"},        {3, 50, 10, "50", "0"},   // reversed bounds: nothing to read
    };
    for (const Case &c : cases) {
        const Index_Preset p = Index_Preset_For(c.choice, c.oldest, c.newest);
        QCOMPARE(p.start, QString(c.start));
        QCOMPARE(p.count, QString(c.count));
        QVERIFY(!p.enabled);
    }
    const Index_Preset g = Index_Preset_For(INDEX_GIVEN, 1, 40);
    QVERIFY(g.enabled);
    QVERIFY(g.start.isEmpty() && g.count.isEmpty());
}

void tst_Request_Logic::indexChecks_data()
{
    QTest::addColumn<uint>("oldest");
    QTest::addColumn<uint>("newest");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("line1");   // empty: accepted
    QTest::addColumn<uint>("first");
    QTest::addColumn<uint>("cnt");
    const QString no_start = "Не введен индекс записи начала чтения";
    const QString bad_start = "Нелогичное значение индекса записи начала чтения";
    const QString no_count = "Не введено количество записей для чтения";
    const QString bad_count = "Нелогичное значение количества записей для чтения";
    QTest::newRow("count cut") << 100u << 1000u << "991" << "500" << "" << 991u << 10u;
    QTest::newRow("newest only") << 1u << 40u << "40" << "1" << "" << 40u << 1u;
    QTest::newRow("empty start") << 1u << 40u << "" << "" << no_start << 0u << 0u;
    QTest::newRow("below oldest") << 10u << 40u << "9" << "1" << bad_start << 0u << 0u;
    // 2^32 + 11 would be 11 when cut to 32 bits.
    QTest::newRow("past 32 bits") << 10u << 40u << "4294967307" << "1" << bad_start << 0u << 0u;
    QTest::newRow("start not a number") << 10u << 40u << "1%" << "1" << bad_start << 0u << 0u;
    QTest::newRow("empty count") << 10u << 40u << "20" << "" << no_count << 0u << 0u;
    QTest::newRow("zero count") << 10u << 40u << "20" << "0" << bad_count << 0u << 0u;
    // 2^32 would be 0 when cut to 32 bits: it reads the rest.
    QTest::newRow("count 2^32") << 10u << 40u << "20" << "4294967296" << "" << 20u << 21u;
    QTest::newRow("full u32 run") << 0u << 0xFFFFFFFFu << "0" << "4294967296" << "" << 0u << 0xFFFFFFFFu;
    QTest::newRow("reversed bounds") << 50u << 10u << "50" << "1" << bad_start << 0u << 0u;
    QTest::newRow("both zero") << 0u << 0u << "0" << "5" << "" << 0u << 1u;
}

void tst_Request_Logic::indexChecks()
{
    QFETCH(QString, line1);
    QFETCH(QString, start);
    QFETCH(QString, count);
    QFETCH(uint, oldest);
    QFETCH(uint, newest);
    QFETCH(uint, first);
    QFETCH(uint, cnt);
    uint32_t got_first = 0, got_count = 0;
    const auto r = Check_Index(start, count, oldest, newest, got_first, got_count);
    if (line1.isEmpty()) {
        QVERIFY(!r);
        QCOMPARE(got_first, first);
        QCOMPARE(got_count, cnt);
        return;
    }
    QVERIFY(r);
    QCOMPARE(r->line1, line1);
    QCOMPARE(r->line2, line1.startsWith("Нелогичное значение индекса")
                           ? QString("(см. значения индексов начала и конца архива).")
                           : QString());
}

QTEST_GUILESS_MAIN(tst_Request_Logic)
#include "tst_request_logic.moc"
