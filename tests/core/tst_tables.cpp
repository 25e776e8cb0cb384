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
    void every_table_count_size_and_offset()
    {
        // {fields, size, offset} by table number; -1: no table.
        const int cat[TAB_COUNT][3] = {
            {18, 1, 0},     {20, 64, 18},   {8, 1, 1298},   {4, 1, 1306},   {16, 22, 1310}, {3, 20, 1662},
            {12, 1, 1722},  {45, 1, 1734},  {0, 0, -1},     {6, 1, 1779},   {2, 4, 1785},   {2, 4, 1793},
            {2, 4, 1801},   {16, 16, 1809}, {16, 1, 2065},  {8, 1, 2081},   {18, 1, 2089},  {16, 1, 2107},
            {16, 1, 2123},  {16, 1, 2139},  {16, 1, 2155},  {20, 1, 2171},  {20, 4, 2191},  {20, 4, 2271},
            {20, 4, 2351},  {20, 4, 2431},  {20, 4, 2511},  {3, 6, 2591},   {2, 1, 2609},   {7, 4, 2611},
            {22, 4, 2639},  {0, 0, -1},     {20, 1, 2727},  {2, 1, 2747},   {16, 1, 2749},  {16, 1, 2765},
            {0, 0, -1},     {7, 4, 2781},   {0, 0, -1},     {0, 0, -1},     {1, 6, 2809},   {1, 4, 2815},
            {6, 1, 2819},   {20, 1, 2825},  {20, 4, 2845},
        };
        for (int t = 0; t < TAB_COUNT; ++t) {
            const Tab_Descr &d = Tab_Dir[t];
            const QByteArray where = QByteArray::number(t);
            QVERIFY2(d.field_count == cat[t][0] && d.field_size == (cat[t][0] ? cat[t][1] : d.field_size), where);
            if (cat[t][2] < 0) QVERIFY2(!d.data, where);
            else QVERIFY2(d.data == Contr_Tables + cat[t][2], where);
        }
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
