#include "core/Tables.h"

#include <QtTest>

class Tst_Tables : public QObject {
    Q_OBJECT
private slots:
    void catalogue_places_every_table()
    {
        QVERIFY(Contr_Tables != nullptr);
        int expected = 0;
        for (int t = 0; t < TAB_COUNT; ++t) {
            const Tab_Descr &d = Tab_Dir[t];
            QCOMPARE(uint16_t(d.reserved), uint16_t(0));
            if (d.field_count == 0) {
                QVERIFY2(d.data == nullptr, qPrintable(QString("table %1").arg(t)));
                continue;
            }
            QCOMPARE(int(d.data - Contr_Tables), expected);
            expected += d.field_count * d.field_size;
        }
        QCOMPARE(expected, CONTR_TABLES_SIZE);
    }
    void tables_without_fields()
    {
        for (int t : {8, 31, 36, 38, 39}) {
            QCOMPARE(Tab_Dir[t].field_count, uint8_t(0));
            QCOMPARE(Tab_Length(t), 0);
            QVERIFY(Tab_Field(t, 0) == nullptr);
        }
    }
    void last_table_ends_the_image()
    {
        QCOMPARE(Tab_Field(44, 19) + 4, Contr_Tables + CONTR_TABLES_SIZE);
        QVERIFY(Tab_Field(44, 20) == nullptr);
        QVERIFY(Tab_Field(45, 0) == nullptr);
        QVERIFY(Tab_Field(-1, 0) == nullptr);
    }
    void configuration_tables()
    {
        QList<int> cfg;
        for (int t = 0; t < TAB_COUNT; ++t)
            if (Tab_Dir[t].cfg_flag) cfg << t;
        QCOMPARE(cfg, (QList<int>{1, 2, 3, 4, 5, 6, 9, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                                  28, 29, 43, 44}));
        QCOMPARE(Cfg_Table_Count(), 24);
    }
    void known_offsets()
    {
        QCOMPARE(Tab_Offset(5), 1662);
        QCOMPARE(Tab_Offset(27), 2591);
        QCOMPARE(Tab_Offset(40), 2809);
        QCOMPARE(Tab_Dir[4].field_size, uint8_t(22));
    }
};

QTEST_GUILESS_MAIN(Tst_Tables)
#include "tst_tables.moc"
