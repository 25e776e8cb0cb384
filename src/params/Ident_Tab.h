#pragma once
// Texts of the identification table (table 0) as the identification dialog shows them,
// and the names table (table 5).
#include <QString>
#include <cstdint>

constexpr int IDENT_LEN = 18;      // table 0: 18 one-byte fields
constexpr int NAME_LEN = 20;       // table 5: three 20-byte names
constexpr int NAMES_LEN = 3 * NAME_LEN;

struct Ident_Texts {
    QString destroyed;      // field 0
    bool destroyed_alarm = false;   // a destroyed table: shown in red
    QString type_code;      // field 1
    QString hard_ver;       // field 2
    QString soft_ver;       // field 3
    QString build_date;     // fields 4..9
    QString byte_order;     // field 10
    QString rates;          // field 11
    QString adr_change;     // field 13
    QString protocol;       // fields 14..16
};

// dev_write clear (a configuration record): only the type code and the software version
// are filled, every other text stays empty.
Ident_Texts Format_Ident(const uint8_t *t0, bool dev_write);

// Table 0 field 12 clear: the controller keeps the names of table 5 in code page 866.
bool Names_In_866(const uint8_t *t0);

// Text of one 20-byte name (code page 1251): up to its first zero byte, blanks trimmed.
QString Name_Text(const char *field);
// The text's 1251 bytes (at most 20) into the field, the rest zero.
void Set_Name(char *field, const QString &text);
