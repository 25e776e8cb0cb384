// Typing a date as keys replayed: what each run of keys gives, what Backspace and Delete take
// back, where a whole date is recognised, how a year is read from its digits.
#include "core/Date_Typing.h"

#include <QtTest>

class tst_Date_Typing : public QObject {
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("section");   // where the typing begins, selected whole (-1: the year alone)
        QTest::addColumn<QString>("keys");  // '<' Backspace, 'x' Delete
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("next");      // the section the next digit goes into
        QTest::addColumn<bool>("selected");
        const QDate d(2026, 3, 5);
        // Taken back across the box's own move, a dot at a time, refused digits with the one before.
        QTest::newRow("19, one back") << d << 0 << "19<" << QDate(2026, 3, 1) << 0 << false;
        QTest::newRow("19, two back") << d << 0 << "19<<" << d << 0 << true;
        QTest::newRow("19 and its dot, one back") << d << 0 << "19.<" << QDate(2026, 3, 19) << 1 << true;
        QTest::newRow("a refused digit goes with the one before") << d << 0 << "35<" << d << 0 << true;
        // Over a section nobody typed: into it, then into the one before less its last digit.
        QTest::newRow("back over the month") << d << 1 << "<" << d << 1 << false;
        QTest::newRow("back into the day") << QDate(2026, 3, 19) << 1 << "<<" << QDate(2026, 3, 1) << 0 << false;
        QTest::newRow("back into the day, its digit too") << QDate(2026, 3, 19) << 1 << "<<<" << QDate(2026, 3, 19) << 0 << false;
        QTest::newRow("delete, then back into the month") << d << 2 << "x<7" << QDate(2026, 7, 5) << 2 << true;
        // A whole date with its dots (or commas) wherever the typing began, of the keys typed only.
        QTest::newRow("whole date from the month") << d << 1 << "02.11.2026" << QDate(2026, 11, 2) << 2 << true;
        QTest::newRow("whole date over a reopened day") << QDate(2026, 3, 19) << 1 << "<<04.12.2026" << QDate(2026, 12, 4) << 2 << true;
        QTest::newRow("commas from the month") << d << 1 << "02,11,2026" << QDate(2026, 11, 2) << 2 << true;
        QTest::newRow("whole date, its year taken back") << d << 1 << "02.11.2027<<<<" << QDate(2026, 11, 2) << 2 << true;
        QTest::newRow("the 31st through February") << QDate(2026, 2, 5) << 0 << "31" << QDate(2026, 2, 28) << 1 << true;
        // The year: one digit keeps the rest when a year begins so, two are 20yy, three keep the last.
        QTest::newRow("year 20") << d << 2 << "20" << QDate(2020, 3, 5) << 2 << false;
        QTest::newRow("year 25, full") << d << 2 << "25" << QDate(2025, 3, 5) << 2 << true;
        QTest::newRow("year alone, 2026, two back, 25") << d << -1 << "2026<<25" << QDate(2025, 1, 1) << 2 << true;
        QTest::newRow("year alone takes no dots") << d << -1 << "2.7" << QDate(2027, 1, 1) << 2 << true;
        QTest::newRow("year alone, back before anything") << d << -1 << "<<<" << QDate(2026, 1, 1) << 2 << false;
    }
    void keys()
    {
        QFETCH(QDate, from);
        QFETCH(int, section);
        QFETCH(QString, keys);
        QFETCH(QDate, date);
        QFETCH(int, next);
        QFETCH(bool, selected);
        const bool year_only = section < 0;
        Date_Typing t(QDate(2000, 1, 1), QDate(2099, 12, 31), year_only);
        t.Start(year_only ? QDate(from.year(), 1, 1) : from, year_only ? 2 : section, true);
        for (const QChar c : keys) {
            if (c == u'<') t.Back();
            else if (c == u'x') t.Delete();
            else t.Key(c);
            QVERIFY(t.Shown().date.isValid());
        }
        QCOMPARE(t.Shown().date, date);
        QCOMPARE(t.Shown().section, next);
        QCOMPARE(t.Shown().selected, selected);
    }

    // Backspace with the cursor inside a section takes its digits before the cursor as typed.
    void back_from_inside()
    {
        Date_Typing t;
        t.Start_Inside(QDate(2026, 3, 5), Date_Typing::YEAR, 4);
        QVERIFY(t.Back());
        QCOMPARE(t.Shown().date, QDate(2026, 3, 5));
        QCOMPARE(t.Shown().typed, QStringLiteral("202"));
        t.Back();
        QCOMPARE(t.Shown().date, QDate(2020, 3, 5));
        // A key that shows nothing says so; a stopped typing takes none.
        QVERIFY(!t.Key(u'a'));
        t.Stop();
        QVERIFY(!t.Key(u'1') && !t.Back() && !t.Delete());
    }

    void years()
    {
        QCOMPARE(Date_Typing::Typed_Year("2", 2026, 2000, 2099), 2026);
        QCOMPARE(Date_Typing::Typed_Year("5", 2026, 2000, 2099), 2005);
        QCOMPARE(Date_Typing::Typed_Year("202", 2026, 2000, 2099), 2026);
        QCOMPARE(Date_Typing::Typed_Year("2", 2099, 2000, 2099), 2099);
        QCOMPARE(Date_Typing::Typed_Year("0", 2026, 2000, 2099), 2000);
        QCOMPARE(Date_Typing::Typed_Year("99", 2026, 2000, 2099), 2099);
        QCOMPARE(Date_Typing::Typed_Year("209", 2026, 2000, 2099), 2096);
        QCOMPARE(Date_Typing::Typed_Year("210", 2026, 2000, 2099), 0);
        QCOMPARE(Date_Typing::Typed_Year("2100", 2026, 2000, 2099), 0);
        // A narrower range: the shown year's rest is kept only where it stays inside.
        QCOMPARE(Date_Typing::Typed_Year("202", 2019, 2000, 2025), 2020);
        QCOMPARE(Date_Typing::Typed_Year("30", 2019, 2000, 2025), 0);
        QCOMPARE(Date_Typing::Section_At(2), int(Date_Typing::DAY));
        QCOMPARE(Date_Typing::Section_At(3), int(Date_Typing::MONTH));
        QCOMPARE(Date_Typing::Section_At(6), int(Date_Typing::YEAR));
    }
};

QTEST_GUILESS_MAIN(tst_Date_Typing)
#include "tst_date_typing.moc"
