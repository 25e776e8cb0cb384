// The rules a whole user table must keep before it is written.
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
