#pragma once
// Table 4: the users the controller accepts writes from, one 22-byte record each, and the
// rules a whole table must keep.
#include <QString>
#include <cstddef>
#include <cstdint>

constexpr int USER_COUNT = 16;
constexpr int USER_NAME_LEN = 4;
constexpr int USER_PASS_LEN = 12;
constexpr int USER_CODE_LEN = 4;
constexpr int ACCESS_LEVEL_COUNT = 5;   // 0 "Нет доступа" .. 4 "Оператор"
constexpr int ACCESS_TABLE = 4;

#pragma pack(push, 1)
struct User_Rec {
    char name[USER_NAME_LEN];   // blank padded
    uint8_t level;              // 0..4; 0: the entry is free
    uint8_t flag;               // cleared by the whole-table editor, kept by the one-user editor
    char pass[USER_PASS_LEN];   // blank padded; all blanks: no password
    char code[USER_CODE_LEN];   // digits, blank padded
};
#pragma pack(pop)
static_assert(sizeof(User_Rec) == 22);
static_assert(offsetof(User_Rec, level) == 4);
static_assert(offsetof(User_Rec, flag) == 5);
static_assert(offsetof(User_Rec, pass) == 6);
static_assert(offsetof(User_Rec, code) == 18);
static_assert(sizeof(User_Rec) * USER_COUNT == 352);

// A refused table or entry: the two lines of the message; empty line1 when accepted.
struct Access_Refusal {
    QString line1, line2;
    bool Ok() const { return line1.isEmpty(); }
};

// Fills a fixed field with the text in 1251, blank padded (or cut).
void User_Field(char *dst, int len, const QString &text);
// A field's text, blanks around and zero bytes at the end removed.
QString User_Text(const char *src, int len);
// Whether a field holds blanks (or zero bytes) only.
bool User_Blank(const char *src, int len);
// How an entry is listed: its name, or "   --   " for a blank name.
QString User_List_Text(const User_Rec &u);
// Level names of the lists.
QString Access_Level_Text(int level);

// The rules of a whole table, in their order; the first one broken is returned.
Access_Refusal Check_Users(const User_Rec *users);
