// Flow-computer records: the tables they come from and go to, grid texts, the list's rules.
#include "core/Tables.h"
#include "params/Floulist.h"

#include <QtTest>
#include <cstring>

class Tst_Flou : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Init_Tables(); }

    void record_from_and_to_the_tables()
    {
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        *Tab_Field(9, 0) = 2;
        const uint8_t adr[2] = {5, 7}, type[2] = {1, 3}, mask[2] = {0x11, 0x07}, order[2] = {0, 1};
        for (int i = 0; i < 2; ++i) {
            *Tab_Field(18, i) = adr[i];
            *Tab_Field(17, i) = type[i];
            *Tab_Field(19, i) = mask[i];
            *Tab_Field(20, i) = order[i];
        }
        std::memset(Tab_Field(13, 0), 'x', 16);   // never taken: the controller keeps it
        *Tab_Field(18, 2) = 9;                    // beyond the count
        Flou_Rec r[MAX_FLOU];
        std::memset(r, 0x55, sizeof r);
        QCOMPARE(Flou_Count(), 2);
        Flou_From_Image(r, Flou_Count());
        QCOMPARE(int(r[1].adr), 7);
        QCOMPARE(int(r[1].type), 3);
        QCOMPARE(int(r[1].mask), 7);
        QCOMPARE(int(r[1].order), 1);
        QCOMPARE(QByteArray(r[0].pass, 16), QByteArray(16, ' '));
        QCOMPARE(int(r[2].adr), 0);
        // The raw layout: address, type, mask, order, password.
        const uint8_t *raw = reinterpret_cast<const uint8_t *>(&r[0]);
        QCOMPARE(int(raw[0]), 5);
        QCOMPARE(int(raw[1]), 1);
        QCOMPARE(int(raw[2]), 0x11);
        QCOMPARE(int(raw[3]), 0);

        std::memcpy(r[1].pass, "PASSWORD12345678", 16);
        r[1].adr = 44;
        Flou_To_Image(r, 2);
        QCOMPARE(int(*Tab_Field(18, 1)), 44);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(13, 1)), 16), QByteArray("PASSWORD12345678"));
        QCOMPARE(int(*Tab_Field(18, 2)), 9);

        // A count beyond 16 from the controller counts as 16.
        *Tab_Field(9, 0) = 200;
        QCOMPARE(Flou_Count(), 16);
        Flou_From_Image(r, 200);
        Flou_To_Image(r, 200);
    }

    void unknown_codes_shown_as_questions()
    {
        Flou_Rec r{};
        r.type = 7;
        r.order = 2;
        QCOMPARE(Flou_Type_Text(r), QString(" ?"));
        QCOMPARE(Flou_Order_Text(r), QString(" ?"));
    }

    void list_rules()
    {
        Flou_Rec r[MAX_FLOU] = {};
        Flou_Refusal why = Check_Flou_List(r, 1);
        QCOMPARE(why.line1, QString("Вычислитель № 1"));
        QCOMPARE(why.line2, QString("Неверно заданы параметры"));
        r[0].adr = 5;
        r[1].adr = 6;
        r[2].adr = 5;
        QVERIFY(Check_Flou_List(r, 2).Ok());
        why = Check_Flou_List(r, 3);
        QCOMPARE(why.line1, QString("Повтор адреса 5"));
        QVERIFY(why.line2.isEmpty());
        r[2].adr = 8;
        r[1].type = 7;
        QCOMPARE(Check_Flou_List(r, 3).line1, QString("Вычислитель № 2"));
        r[1].type = 3;
        r[1].order = 2;
        QCOMPARE(Check_Flou_List(r, 3).line1, QString("Вычислитель № 2"));
        r[1].order = 1;
        r[1].adr = 255;
        QCOMPARE(Check_Flou_List(r, 3).line1, QString("Вычислитель № 2"));
    }
};

QTEST_GUILESS_MAIN(Tst_Flou)
#include "tst_flou.moc"
