// The fixed set-point ranges, their texts and the accept rule.
#include "params/Limits.h"

#include <QtTest>

class Tst_Limits : public QObject {
    Q_OBJECT
private slots:
    void range_rows_as_built_in()
    {
        QCOMPARE(int(sizeof(Limit_Ranges)), LIMIT_KINDS * MAX_GAS_PARAMS * 13);
        // Kind 0: the insensitivity zone, 4 digits everywhere.
        QCOMPARE(float(Limit_Ranges[0][0].min), 0.0001f);
        QCOMPARE(float(Limit_Ranges[0][1].max), 50.0f);
        QCOMPARE(float(Limit_Ranges[0][12].max), 0.001f);
        QCOMPARE(float(Limit_Ranges[0][12].def), 0.0001f);
        for (int i = 0; i < 16; ++i) QCOMPARE(int(Limit_Ranges[0][i].decimals), 4);
        // Kinds 1..4 share min and max; defaults and digits differ.
        for (int k = 1; k < LIMIT_KINDS; ++k) {
            QCOMPARE(float(Limit_Ranges[k][1].min), 40.0f);
            QCOMPARE(float(Limit_Ranges[k][12].max), 1.05f);
            QCOMPARE(float(Limit_Ranges[k][15].min), 97.0f);
        }
        QCOMPARE(float(Limit_Ranges[1][7].def), 0.0002f);
        QCOMPARE(float(Limit_Ranges[2][12].def), 1.0f);
        QCOMPARE(float(Limit_Ranges[3][3].def), 0.01f);
        QCOMPARE(float(Limit_Ranges[4][14].def), 1.0f);
        const int dec1[16] = {3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 3, 0, 3, 0, 4, 1};
        const int dec2[16] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 3, 0, 4, 0};
        const int dec4[16] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 3, 0, 4, 1};
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(int(Limit_Ranges[1][i].decimals), dec1[i]);
            QCOMPARE(int(Limit_Ranges[3][i].decimals), dec1[i]);
            QCOMPARE(int(Limit_Ranges[2][i].decimals), dec2[i]);
            QCOMPARE(int(Limit_Ranges[4][i].decimals), dec4[i]);
        }
        // Rows 16..19 are zero in every kind.
        for (int k = 0; k < LIMIT_KINDS; ++k)
            for (int i = 16; i < MAX_GAS_PARAMS; ++i) {
                const Limit_Range &r = Limit_Ranges[k][i];
                QVERIFY(r.min == 0 && r.max == 0 && r.def == 0 && r.decimals == 0);
            }
    }

    void texts_and_tables()
    {
        QCOMPARE(Limit_Range_Text(1, 0), QString(" 0.000 - 18.000"));
        QCOMPARE(Limit_Range_Text(0, 12), QString(" 0.0001 - 0.0010"));
        QCOMPARE(Limit_Range_Text(2, 13), QString(" 40 - 55"));
        QCOMPARE(Limit_Value_Text(1, 15, 98.04), QString("98.0"));
        QCOMPARE(Limit_Table(0), 22);
        QCOMPARE(Limit_Table(4), 26);
        QCOMPARE(Limit_Table(5), -1);
        QCOMPARE(Limit_Caption(3), QString("Нижний предел знач. парам. газа, допускаемого к записи в ВРГ"));
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
