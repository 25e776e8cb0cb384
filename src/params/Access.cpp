#include "params/Access.h"

#include "core/Codepage.h"
#include "core/Stringi.h"

#include <cstring>

void User_Field(char *dst, int len, const QString &text)
{
    Unicode_To_Field(text, dst, len);
}

QString User_Text(const char *src, int len)
{
    return Field_To_Unicode(src, len).trimmed();
}

bool User_Blank(const char *src, int len)
{
    // A never-written table holds zeros: they count as blanks.
    for (int i = 0; i < len; ++i)
        if (src[i] != ' ' && src[i] != '\0') return false;
    return true;
}

QString User_List_Text(const User_Rec &u)
{
    if (User_Blank(u.name, USER_NAME_LEN)) return QStringLiteral("   --   ");
    return User_Text(u.name, USER_NAME_LEN);
}

QString Access_Level_Text(int level)
{
    return Access_Levels(level);
}

Access_Refusal Check_Users(const User_Rec *users)
{
    int makers = 0;
    for (int i = 0; i < USER_COUNT; ++i)
        if (users[i].level == 1) ++makers;
    if (makers == 0)
        return {QStringLiteral("В списке зарегистрированных пользователей"),
                QStringLiteral("не зарегистрирован производитель-наладчик")};
    if (makers > 1)
        return {QStringLiteral("Может быть зарегистрирован"), QStringLiteral("только один производитель-наладчик")};
    for (int i = 0; i < USER_COUNT; ++i) {
        const User_Rec &u = users[i];
        if (u.level == 0) continue;
        const QString no = QStringLiteral("Номер пользователя в таблице: %1.").arg(i + 1);
        if (User_Blank(u.name, USER_NAME_LEN)) return {no, QStringLiteral("Не задано имя пользователя")};
        if (User_Blank(u.code, USER_CODE_LEN))
            return {no, QStringLiteral("Не задан код идентификации пользователя")};
        for (int j = i + 1; j < USER_COUNT; ++j) {
            const User_Rec &v = users[j];
            // Free entries hold blank names and codes: they clash with nobody.
            if (v.level == 0) continue;
            const QString pair = QStringLiteral("Пользователи   %1 и %2.").arg(i + 1).arg(j + 1);
            if (std::memcmp(u.name, v.name, USER_NAME_LEN) == 0)
                return {pair, QStringLiteral("Совпадение имен пользователей")};
            if (std::memcmp(u.code, v.code, USER_CODE_LEN) == 0)
                return {pair, QStringLiteral("Совпадение кодов идентификации пользователя")};
        }
    }
    return {};
}
