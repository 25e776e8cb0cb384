// Typing a date as keys replayed, where the request dialogs' table cannot look: what is shown
// selected, Backspace from inside a section, years of three digits and of a narrower range.
#include "core/Date_Typing.h"

#include <QtTest>

class tst_Date_Typing : public QObject {
    Q_OBJECT

private slots:
    void shown_and_taken_back()
    {
        Date_Typing t;
        t.Start(QDate(2026, 3, 5), Date_Typing::DAY, true);
        for (const QChar c : QStringLiteral("19.")) t.Key(c);
        t.Back();   // the dot meant for the box's move: the month selected as the move left it
        QCOMPARE(t.Shown().date, QDate(2026, 3, 19));
        QVERIFY(t.Shown().section == Date_Typing::MONTH && t.Shown().selected);
        t.Back();   // the day open after its "1"
        QCOMPARE(t.Shown().date, QDate(2026, 3, 1));
        QVERIFY(t.Shown().section == Date_Typing::DAY && !t.Shown().selected);
        // With the cursor inside a section, Backspace takes its digits before the cursor as typed.
        t.Start_Inside(QDate(2026, 3, 5), Date_Typing::YEAR, 4);
        t.Back();
        t.Back();
        QCOMPARE(t.Shown().date, QDate(2020, 3, 5));
    }

    void years()
    {
        QCOMPARE(Date_Typing::Typed_Year("209", 2026, 2000, 2099), 2096);
        QCOMPARE(Date_Typing::Typed_Year("210", 2026, 2000, 2099), 0);
        QCOMPARE(Date_Typing::Typed_Year("202", 2019, 2000, 2025), 2020);   // the shown year's rest only inside
        QCOMPARE(Date_Typing::Typed_Year("30", 2019, 2000, 2025), 0);
        QCOMPARE(Date_Typing::Section_At(2), int(Date_Typing::DAY));   // the dot touching the day is the day's
    }
};

QTEST_GUILESS_MAIN(tst_Date_Typing)
#include "tst_date_typing.moc"
