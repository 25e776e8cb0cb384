#include "core/Stringi.h"

#include <QCryptographicHash>
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

    void whole_table_is_unchanged()
    {
        // Guards every text against an accidental edit (a "fixed" typo or a letter that
        // changed script): the users know these texts as they are.
        QCryptographicHash h(QCryptographicHash::Sha256);
        int assigned = 0;
        for (int k = 0; k < STR_TAB_SIZE; ++k) {
            if (!Str_Tab_Assigned(k)) {
                h.addData(QByteArrayView("\x01", 1));
                continue;
            }
            ++assigned;
            h.addData(Str_Tab(k).toUtf8());
            h.addData(QByteArrayView("\x00", 1));
        }
        QCOMPARE(assigned, 422);
        QCOMPARE(h.result().toHex(),
                 QByteArray("d76f3dfccaea32219d30886443ec35d8dc4de33a4571ab9136df2a98cf415642"));
    }

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

    void table_names()
    {
        for (int t = 0; t < 45; ++t) {
            const QString n = Tab_Names(t);
            if (t == 8 || t == 31 || t == 38 || t == 39) {
                QVERIFY2(n.isEmpty(), qPrintable(QString::number(t)));
                continue;
            }
            QVERIFY(n.size() > 1);
            QCOMPARE(n.startsWith(u' '), t != 15);
            QCOMPARE(n.endsWith(u' '), t == 32);
        }
        QCOMPARE(Tab_Names(0), QStringLiteral(" Общие параметры идентификации"));
        QCOMPARE(Tab_Names(15), QStringLiteral("Параметры связи с влагомером по MODBUS прот."));
        QCOMPARE(Tab_Names(32), QStringLiteral(" Зона параметра газа "));
        QCOMPARE(Tab_Names(33), QStringLiteral(" Наличие связи с  хроматографом"));
        QCOMPARE(Tab_Names(36),
                 QStringLiteral(" Скользящие средние значения данных нитки 1 хроматографа и влагомера"));
        QCOMPARE(Tab_Names(44), QStringLiteral(" Значения констант параметров газа. Нитка 1"));
    }

    void kept_oddities()
    {
        // Unit texts mix Latin and Cyrillic letters as the controller's users have them.
        QCOMPARE(Unit_Names(2), QStringLiteral(u"\u00B0\u0421"));           // Cyrillic Es
        QCOMPARE(Unit_Names(33), QStringLiteral(u"\u00B0C/\u043A\u041F\u0430"));  // Latin C
        QCOMPARE(Unit_Names(4), QStringLiteral("A"));
        QCOMPARE(Unit_Names(15), QStringLiteral("c"));
        QCOMPARE(Unit_Names(16), QStringLiteral(u"\u0441\u0441"));           // Cyrillic
        QCOMPARE(Unit_Names(19), QStringLiteral(u"\u043A\u041F\u0430/cc"));  // Latin
        QCOMPARE(Unit_Names(20), QStringLiteral(u"\u043A\u0433c/\u0441\u043C2"));
        QCOMPARE(Unit_Names(25), QStringLiteral("кгс/см2*сс)"));
        QCOMPARE(Unit_Names(36), QStringLiteral("°C/(кгс/см2)"));
        QCOMPARE(Wmt_Status_Names(22), QStringLiteral("Изменены  настройки"));
        QCOMPARE(Wmt_Par_Names(4), QStringLiteral(" Избыточное давление  газа HDP"));
        QCOMPARE(Chrom_Alarm_Names(4), Chrom_Alarm_Names(8));
        QCOMPARE(Diag_Texts(38), Diag_Texts(39));
    }

    void spot_checks()
    {
        QVERIFY(Unit_Names(0).isEmpty());
        QVERIFY(Gas_Units(0).isEmpty());
        QVERIFY(Diag_Texts(0).isEmpty());
        QCOMPARE(Gas_Units(11), QStringLiteral("МПа"));
        QCOMPARE(Month_Names(0), QStringLiteral("Переход запрещен"));
        QCOMPARE(Month_Names(12), QStringLiteral("Декабрь"));
        QCOMPARE(Month_Gen_Names(0), QStringLiteral("января"));
        QCOMPARE(Day_Names(0), QStringLiteral("Воскресенье"));
        QCOMPARE(Day_Short_Names(6), QStringLiteral("Сб"));
        QCOMPARE(Modbus_Modes(1), QStringLiteral(" RTU"));
        QCOMPARE(Byte_Orders(0), QStringLiteral("Мл. адрес -- ст. байт"));
        QCOMPARE(Zone_Names(4), QStringLiteral(" Верхняя аварийная зона"));
        QCOMPARE(Arh_Page_Names(9), QStringLiteral("Диап. вр. на стр. арх. качества калибр. хромат."));
        QCOMPARE(Chrom_Alarm_Names(0), QStringLiteral("Норма"));
        QCOMPARE(Chrom_Alarm_Names(5), QStringLiteral("? Coil number 5"));
        QCOMPARE(Chrom_Alarm_Names(107), QStringLiteral("ERR_CAL_CO2"));
        QCOMPARE(Chrom_Types(10), QStringLiteral("ФОГ-3Г"));
        QCOMPARE(Flou_Types(1), QStringLiteral("ФЛОУКОР, ПМ-3В"));
        QCOMPARE(Diag_Texts(22), QStringLiteral("Значение стало \"ИСТИНА\""));
        QCOMPARE(Diag_Texts(57), QStringLiteral("Знач. признака (бит поля) стало \"ИСТИНА\""));
        QCOMPARE(Diag_Texts(76),
                 QStringLiteral("Программа перевела контроллер в режим «Ручное управление»"));
        QCOMPARE(Diag_Texts(81), QStringLiteral("Нет данных для рассылки"));
        QCOMPARE(Access_Levels(4), QStringLiteral("Оператор"));
        QCOMPARE(Str_List(Str_Groups::Parity_Names),
                 QStringList({"Отсутств.", "Нечетный", "Четный", "Всегда 0", "Всегда 1"}));
    }
};

QTEST_GUILESS_MAIN(Tst_Stringi)
#include "tst_stringi.moc"
