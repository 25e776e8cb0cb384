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
    void last_table_ends_the_image()
    {
        QCOMPARE(Tab_Field(44, 19) + 4, Contr_Tables + CONTR_TABLES_SIZE);
        QVERIFY(Tab_Field(44, 20) == nullptr);
        QVERIFY(Tab_Field(45, 0) == nullptr);
        QVERIFY(Tab_Field(-1, 0) == nullptr);
    }
};

QTEST_GUILESS_MAIN(Tst_Tables)
#include "tst_tables.moc"
