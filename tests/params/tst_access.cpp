// The user record of table 4, the level texts and the rules of a whole table.
#include "core/Codepage.h"
#include "params/Access.h"

#include <QtTest>
#include <cstring>

namespace {
User_Rec Free_User()
{
    User_Rec u;
    std::memset(&u, ' ', sizeof u);
    u.level = 0;
    u.flag = 0;
    return u;
}
User_Rec User(const char *name, int level, const char *code, const char *pass = "")
{
    User_Rec u = Free_User();
    User_Field(u.name, USER_NAME_LEN, QString::fromUtf8(name));
    u.level = uint8_t(level);
    User_Field(u.pass, USER_PASS_LEN, QString::fromUtf8(pass));
    User_Field(u.code, USER_CODE_LEN, QString::fromUtf8(code));
    return u;
}
} // namespace

class Tst_Access : public QObject {
    Q_OBJECT
private slots:
    void record_layout()
    {
        const QByteArray b = Unicode_To_Cp1251(QStringLiteral("ИВАН")) + char(3) + char(0x5A) +
                             QByteArray("secret      ") + QByteArray("12  ");
        QCOMPARE(b.size(), 22);
        User_Rec u;
        std::memcpy(&u, b.constData(), sizeof u);
        QCOMPARE(User_Text(u.name, USER_NAME_LEN), QString("ИВАН"));
        QCOMPARE(int(u.level), 3);
        QCOMPARE(int(u.flag), 0x5A);
        QCOMPARE(User_Text(u.pass, USER_PASS_LEN), QString("secret"));
        QCOMPARE(User_Text(u.code, USER_CODE_LEN), QString("12"));
        QCOMPARE(User_List_Text(u), QString("ИВАН"));
        std::memset(u.name, ' ', 4);
        QCOMPARE(User_List_Text(u), QString("   --   "));
        std::memset(u.name, 0, 4);   // a table never written
        QCOMPARE(User_List_Text(u), QString("   --   "));
        std::memcpy(u.name, "AB\0\0", 4);
        QCOMPARE(User_List_Text(u), QString("AB"));
        // Blank padded, cut at the field's length.
        char f[4];
        User_Field(f, 4, QStringLiteral("AB"));
        QCOMPARE(QByteArray(f, 4), QByteArray("AB  "));
        User_Field(f, 4, QStringLiteral("ABCDEF"));
        QCOMPARE(QByteArray(f, 4), QByteArray("ABCD"));
    }

    void level_texts()
    {
        QCOMPARE(Access_Level_Text(0), QString("Нет доступа"));
        QCOMPARE(Access_Level_Text(1), QString("Производитель-наладчик"));
        QCOMPARE(Access_Level_Text(2), QString("Администратор"));
        QCOMPARE(Access_Level_Text(3), QString("Инженер"));
        QCOMPARE(Access_Level_Text(4), QString("Оператор"));
        QCOMPARE(Access_Level_Text(5), QString("?"));
    }

    void table_rules_in_order()
    {
        User_Rec t[USER_COUNT];
        for (auto &u : t) u = Free_User();
        Access_Refusal r = Check_Users(t);
        QCOMPARE(r.line1, QString("В списке зарегистрированных пользователей"));
        QCOMPARE(r.line2, QString("не зарегистрирован производитель-наладчик"));

        t[0] = User("ADM", 1, "1111");
        t[3] = User("ADM2", 1, "2222");
        r = Check_Users(t);
        QCOMPARE(r.line1, QString("Может быть зарегистрирован"));
        QCOMPARE(r.line2, QString("только один производитель-наладчик"));

        t[3] = User("", 3, "2222");
        std::memset(t[3].name, 0, 4);
        r = Check_Users(t);
        QCOMPARE(r.line1, QString("Номер пользователя в таблице: 4."));
        QCOMPARE(r.line2, QString("Не задано имя пользователя"));

        t[3] = User("ENG", 3, "");
        r = Check_Users(t);
        QCOMPARE(r.line1, QString("Номер пользователя в таблице: 4."));
        QCOMPARE(r.line2, QString("Не задан код идентификации пользователя"));

        // "ADM" and "ADM " are the same four bytes.
        t[3] = User("ADM ", 3, "2222");
        r = Check_Users(t);
        QCOMPARE(r.line1, QString("Пользователи   1 и 4."));
        QCOMPARE(r.line2, QString("Совпадение имен пользователей"));

        t[3] = User("ENG", 3, "1111");
        r = Check_Users(t);
        QCOMPARE(r.line1, QString("Пользователи   1 и 4."));
        QCOMPARE(r.line2, QString("Совпадение кодов идентификации пользователя"));

        // An empty password is fine.
        t[3] = User("ENG", 3, "2222");
        QVERIFY(Check_Users(t).Ok());
    }
};

QTEST_GUILESS_MAIN(Tst_Access)
#include "tst_access.moc"
