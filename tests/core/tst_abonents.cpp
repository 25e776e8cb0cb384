#include "core/Abonents.h"

#include <QtTest>
#include <cstring>
#include <memory>

namespace {

void fon(Fon_Abonents_List &l, int k, const QString &name, const char *phone)
{
    Set_Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN, name);
    l.rec[k].contr_adr = uint8_t(k + 1);
    std::memset(l.rec[k].phone_code, 0, PHONE_CODE_LEN);
    std::strncpy(l.rec[k].phone_code, phone, PHONE_CODE_LEN - 1);
}

void ethr(Ethr_Abonents_List &l, int k, const QString &name, uint32_t ip)
{
    Set_Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN, name);
    l.rec[k].contr_adr = uint8_t(k + 1);
    l.rec[k].ip_adr = ip;
    l.rec[k].port = 502;
}

QStringList names(const Fon_Abonents_List &l)
{
    QStringList out;
    for (int k = 0; k < l.hdr.users_num; ++k) out << Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN);
    return out;
}

} // namespace

class Tst_Abonents : public QObject {
    Q_OBJECT
private slots:
    void upper_case_compare()
    {
        // "ёлка" and "ЁЛКА" in 1251; "я" (0xFF) after "а" (0xE0) once both are upper case.
        QCOMPARE(Str_Compare_Upper("\xB8\xEB\xEA\xE0", "\xA8\xCB\xCA\xC0", 50), 0);
        QVERIFY(Str_Compare_Upper("\xE0", "\xDF", 50) < 0);
        QVERIFY(Str_Compare_Upper("abc", "ABD", 50) < 0);
        QVERIFY(Str_Compare_Upper("ab", "abc", 50) < 0);
        // Stale bytes after the terminating zero do not count.
        const char a[4] = {'a', 0, 'x', 0}, b[4] = {'A', 0, 'y', 0};
        QCOMPARE(Str_Compare_Upper(a, b, 4), 0);
        QCOMPARE(Compare_Ip(0xFFFFFFFFu, 1u), 1);
        QCOMPARE(Compare_Ip(1u, 0x80000000u), -1);
        QCOMPARE(Compare_Ip(7u, 7u), 0);
    }

    void sort_by_name_cyrillic_case()
    {
        auto l = std::make_unique<Fon_Abonents_List>();
        std::memset(l.get(), 0, sizeof *l);
        fon(*l, 0, QString::fromUtf8("ялта"), "3");
        fon(*l, 1, QString::fromUtf8("Бор"), "2");
        fon(*l, 2, QString::fromUtf8("аРЗАМАС"), "1");
        fon(*l, 3, QString::fromUtf8("БАЙКАЛ"), "4");
        l->hdr.users_num = 4;
        l->hdr.user_index = 1;   // "Бор"
        Sort_Fon_Abonents(l.get());
        QCOMPARE(names(*l), QStringList({QString::fromUtf8("аРЗАМАС"), QString::fromUtf8("БАЙКАЛ"),
                                         QString::fromUtf8("Бор"), QString::fromUtf8("ялта")}));
        QCOMPARE(int(l->hdr.user_index), 2);

        l->hdr.sort_prz = 1;
        Sort_Fon_Abonents(l.get());
        QCOMPARE(QByteArray(l->rec[0].phone_code), QByteArray("1"));
        QCOMPARE(QByteArray(l->rec[3].phone_code), QByteArray("4"));
        QCOMPARE(Abonent_Text(l->rec[l->hdr.user_index].user_name, ABONENT_NAME_LEN), QString::fromUtf8("Бор"));

        // Any other key keeps the order, and the key itself.
        const QStringList kept = names(*l);
        l->hdr.sort_prz = 9;
        Sort_Fon_Abonents(l.get());
        QCOMPARE(names(*l), kept);
        QCOMPARE(int(l->hdr.sort_prz), 9);
    }

    void selection_follows_the_entry_with_a_duplicate_name()
    {
        auto l = std::make_unique<Fon_Abonents_List>();
        std::memset(l.get(), 0, sizeof *l);
        fon(*l, 0, "Same", "30");
        fon(*l, 1, "Other", "20");
        fon(*l, 2, "same", "10");
        l->hdr.users_num = 3;
        for (int chosen : {0, 2}) {
            auto c = std::make_unique<Fon_Abonents_List>(*l);
            c->hdr.user_index = uint8_t(chosen);
            const QByteArray phone = c->rec[chosen].phone_code;
            Sort_Fon_Abonents(c.get());
            // Both stay; the selection is the very entry chosen, not the first or last namesake.
            QCOMPARE(int(c->hdr.users_num), 3);
            QCOMPARE(QByteArray(c->rec[c->hdr.user_index].phone_code), phone);
        }
    }

    void sort_ethernet_by_unsigned_address()
    {
        auto l = std::make_unique<Ethr_Abonents_List>();
        std::memset(l.get(), 0, sizeof *l);
        ethr(*l, 0, "c", 0xC0A80001);   // 192.168.0.1 (negative as a signed number)
        ethr(*l, 1, "a", 0x0A000001);   // 10.0.0.1
        ethr(*l, 2, "b", 0xFFFFFFFE);
        l->hdr.users_num = 3;
        l->hdr.user_index = 0;
        l->hdr.sort_prz = 1;
        Sort_Ethr_Abonents(l.get());
        QCOMPARE(uint32_t(l->rec[0].ip_adr), 0x0A000001u);
        QCOMPARE(uint32_t(l->rec[1].ip_adr), 0xC0A80001u);
        QCOMPARE(uint32_t(l->rec[2].ip_adr), 0xFFFFFFFEu);
        QCOMPARE(int(l->hdr.user_index), 1);
        QCOMPARE(Ethr_Address_Text(l->rec[2]), QString("255.255.255.254:502"));
        l->hdr.sort_prz = 0;
        Sort_Ethr_Abonents(l.get());
        QCOMPARE(Abonent_Text(l->rec[0].user_name, ABONENT_NAME_LEN), QString("a"));
        QCOMPARE(int(l->hdr.user_index), 2);
    }

    void sort_limits_a_damaged_header()
    {
        auto l = std::make_unique<Ethr_Abonents_List>();
        std::memset(l.get(), 0, sizeof *l);
        l->hdr.users_num = 255;
        l->hdr.user_index = 254;
        Sort_Ethr_Abonents(l.get());
        QCOMPARE(int(l->hdr.users_num), 200);
        QCOMPARE(int(l->hdr.user_index), 199);
    }

    void delete_entries()
    {
        auto l = std::make_unique<Fon_Abonents_List>();
        std::memset(l.get(), 0, sizeof *l);
        fon(*l, 0, "A", "1");
        fon(*l, 1, "B", "2");
        fon(*l, 2, "C", "3");
        l->hdr.users_num = 3;
        l->hdr.user_index = 0;
        QVERIFY(Delete_Fon_Abonent(l.get()));
        QCOMPARE(names(*l), QStringList({"B", "C"}));
        QCOMPARE(int(l->hdr.user_index), 0);   // the new first entry
        QCOMPARE(l->rec[2].user_name[0], '\0');
        l->hdr.user_index = 1;
        QVERIFY(Delete_Fon_Abonent(l.get()));
        QCOMPARE(names(*l), QStringList({"B"}));
        QCOMPARE(int(l->hdr.user_index), 0);
        QVERIFY(Delete_Fon_Abonent(l.get()));
        QCOMPARE(int(l->hdr.users_num), 0);
        QVERIFY(!Delete_Fon_Abonent(l.get()));
    }

    void texts_of_fields()
    {
        char f[ABONENT_NAME_LEN];
        Set_Abonent_Text(f, ABONENT_NAME_LEN, QString(60, QChar(0x0416)));   // "Ж" × 60
        QCOMPARE(int(qstrlen(f)), 49);
        QCOMPARE(uint8_t(f[0]), uint8_t(0xC6));
        QCOMPARE(Abonent_Text(f, ABONENT_NAME_LEN), QString(49, QChar(0x0416)));
    }
};

QTEST_GUILESS_MAIN(Tst_Abonents)
#include "tst_abonents.moc"
