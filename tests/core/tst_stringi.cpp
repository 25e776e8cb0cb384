#include "core/Stringi.h"

#include <QtTest>

#include <functional>

namespace {

struct Reader {
    const char *name;
    Str_Group group;
    std::function<QString(int64_t)> read;
    QString fallback_at_count;   // what an index just past the list gives
};

QList<Reader> Readers()
{
    namespace G = Str_Groups;
    const QString q = QStringLiteral("?");
    return {
        {"Tab_Names", G::Tab_Names, ::Tab_Names, QString()},
        {"Unit_Names", G::Unit_Names, ::Unit_Names, q},
        {"Gas_Units", G::Gas_Units, ::Gas_Units, q},
        {"Month_Names", G::Month_Names, ::Month_Names, q},
        {"Month_Gen_Names", G::Month_Gen_Names, ::Month_Gen_Names, q},
        {"Week_Nums", G::Week_Nums, ::Week_Nums, q},
        {"Day_Names", G::Day_Names, ::Day_Names, q},
        {"Day_Short_Names", G::Day_Short_Names, ::Day_Short_Names, q},
        {"Season_Names", G::Season_Names, ::Season_Names, q},
        {"Arh_Page_Names", G::Arh_Page_Names, ::Arh_Page_Names, q},
        {"Modbus_Modes", G::Modbus_Modes, ::Modbus_Modes, q},
        {"Parity_Names", G::Parity_Names, ::Parity_Names, q},
        {"Need_Names", G::Need_Names, ::Need_Names, q},
        {"Write_Modes", G::Write_Modes, ::Write_Modes, q},
        {"Est_Names", G::Est_Names, ::Est_Names, q},
        {"Yes_No_Names", G::Yes_No_Names, ::Yes_No_Names, q},
        {"Byte_Orders", G::Byte_Orders, ::Byte_Orders, q},
        {"Zone_Names", G::Zone_Names, ::Zone_Names, q},
        {"Calib_Modes", G::Calib_Modes, ::Calib_Modes, q},
        {"Year_Modes", G::Year_Modes, ::Year_Modes, q},
        {"Chrom_Alarm_Names", G::Chrom_Alarm_Names, ::Chrom_Alarm_Names,
         QStringLiteral("? Coil number 108")},
        {"Wmt_Par_Names", G::Wmt_Par_Names, ::Wmt_Par_Names, q},
        {"Wmt_Status_Names", G::Wmt_Status_Names, ::Wmt_Status_Names, q},
        {"Chrom_Types", G::Chrom_Types, ::Chrom_Types, q},
        {"Flou_Types", G::Flou_Types, ::Flou_Types, q},
        {"Distr_Modes", G::Distr_Modes, ::Distr_Modes, q},
        {"Diag_Texts", G::Diag_Texts, ::Diag_Texts, q},
        {"Access_Levels", G::Access_Levels, ::Access_Levels, q},
    };
}

}  // namespace

class Tst_Stringi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Init_Strings(); }

    void groups_cover_the_table()
    {
        QList<bool> seen(STR_TAB_SIZE, false);
        for (const Reader &r : Readers()) {
            for (int i = 0; i < r.group.count; ++i) {
                const int slot = r.group.first + i;
                QVERIFY2(Str_Tab_Assigned(slot), r.name);
                QVERIFY2(!seen[slot], r.name);
                seen[slot] = true;
            }
            QCOMPARE(Str_List(r.group).size(), r.group.count);
        }
        QCOMPARE(Time_Type_Label(), QStringLiteral("Тип времени"));
        seen[Str_Groups::Time_Type_Label.first] = true;
        for (int k = 0; k < STR_TAB_SIZE; ++k)
            QCOMPARE(bool(seen[k]), !(k >= 179 && k <= 198));
        for (int k = 179; k <= 198; ++k) {
            QVERIFY(!Str_Tab_Assigned(k));
            QVERIFY(Str_Tab(k).isEmpty());
        }
    }

    void every_reader_is_bounds_checked()
    {
        QVERIFY(Str_Tab(-1).isEmpty());
        QVERIFY(Str_Tab(STR_TAB_SIZE).isEmpty());
        QVERIFY(!Str_Tab_Assigned(-1) && !Str_Tab_Assigned(STR_TAB_SIZE));
        for (const Reader &r : Readers()) {
            const int64_t last = r.group.count - 1;
            QCOMPARE(r.read(0), Str_Tab(r.group.first));
            QCOMPARE(r.read(last), Str_Tab(r.group.first + int(last)));
            QCOMPARE(r.read(r.group.count), r.fallback_at_count);
            // Negative and huge codes from damaged data or files never reach a slot.
            for (int64_t bad : {int64_t(-1), int64_t(255), int64_t(0xFFFFFFFFll), INT64_MIN}) {
                if (bad >= 0 && bad < r.group.count)
                    continue;
                const QString got = r.read(bad);
                if (r.group.first == Str_Groups::Tab_Names.first)
                    QVERIFY2(got.isEmpty(), r.name);
                else if (r.group.first == Str_Groups::Chrom_Alarm_Names.first)
                    QCOMPARE(got, QStringLiteral("? Coil number %1").arg(bad));
                else
                    QCOMPARE(got, QStringLiteral("?"));
            }
        }
    }

};

QTEST_GUILESS_MAIN(Tst_Stringi)
#include "tst_stringi.moc"
