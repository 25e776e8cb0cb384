// The fixed set-point ranges, their texts and the accept rule.
#include "params/Limits.h"

#include <QtTest>

class Tst_Limits : public QObject {
    Q_OBJECT
private slots:
    void texts_and_tables()
    {
        QCOMPARE(Limit_Range_Text(1, 0), QString(" 0.000 - 18.000"));
        QCOMPARE(Limit_Range_Text(0, 12), QString(" 0.0001 - 0.0010"));
        QCOMPARE(Limit_Range_Text(2, 13), QString(" 40 - 55"));
        QCOMPARE(Limit_Value_Text(1, 15, 98.04), QString("98.0"));
        QCOMPARE(Limit_Table(5), -1);
        QVERIFY(Limit_Caption(-1).isEmpty());
        QVERIFY(Limit_Range_Text(0, 20).isEmpty());
    }

    void accept_rule_in_single_precision()
    {
        QVERIFY(Limit_Accepts(1, 0, 18.00001f));
        QVERIFY(!Limit_Accepts(1, 0, 18.0001f));
        QVERIFY(Limit_Accepts(1, 0, -0.00001f));
        QVERIFY(!Limit_Accepts(1, 0, -0.0001f));
        // Zero rows: only values within 0.00001 of 0.
        QVERIFY(Limit_Accepts(3, 17, 0.00001f));
        QVERIFY(!Limit_Accepts(3, 17, 0.0001f));
        // The bound rounded to a float passes.
        QVERIFY(Limit_Accepts(0, 12, float(0.001 + 0.00001)));
        QVERIFY(!Limit_Accepts(1, 0, std::numeric_limits<float>::quiet_NaN()));
        QVERIFY(!Limit_Accepts(7, 0, 1.0f));
        QVERIFY(!Limit_Accepts(1, 20, 0.0f));
    }
};

QTEST_GUILESS_MAIN(Tst_Limits)
#include "tst_limits.moc"
