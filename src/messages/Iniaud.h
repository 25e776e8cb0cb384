#pragma once
// The operator-intervention messages as text: each Aud_Rec says when which parameter of which
// controller table was changed, from which value to which, in which unit and by whom. It
// becomes seven texts (date, time, parameter, old value, new value, unit, operator), kept as a
// 205-byte text row, the body record of ".aud" files. Decoding is a pure function of the
// record and the table image (gas parameter names and decimals, the code page of names).
#include "archives/Arhiv.h"
#include "messages/Msg_Read.h"
#include "messages/Msg_Rows.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct Aud_Text_Row {
    char date[20];
    char time[20];
    char param[100];
    char old_value[20];
    char new_value[20];
    char unit[20];
    char oper[5];   // four characters and a zero byte
};
#pragma pack(pop)

static_assert(sizeof(Aud_Text_Row) == 205);
static_assert(offsetof(Aud_Text_Row, time) == 20 && offsetof(Aud_Text_Row, param) == 40 &&
              offsetof(Aud_Text_Row, old_value) == 140 && offsetof(Aud_Text_Row, new_value) == 160 &&
              offsetof(Aud_Text_Row, unit) == 180 && offsetof(Aud_Text_Row, oper) == 200);

constexpr int AUD_ROW_SIZE = int(sizeof(Aud_Text_Row));
inline constexpr Msg_Slots AUD_SLOTS{20, 20, 100, 20, 20, 20, 5};

// True when the CRC-16 over the whole 24-byte record gives 0.
bool Aud_Rec_Valid(const Aud_Rec &r);

// Columns 3..7 (parameter, old value, new value, unit, operator) of one record; columns 1
// and 2 are left empty. Names of table 5 are taken from code page 866 when table 0 field 12
// of the image is 0; the record itself is not changed.
Msg_Texts Decode_Aud_Message(const Aud_Rec &r);

// Text of a day code of the daylight-saving rules (table 6 fields 1 and 4): a day of the
// month, or an ordinal ("1", "2", "3", "п", "пп", "") with a short weekday name; "?" for
// a code that names neither.
QString Aud_Day_Code(uint8_t v);

// All seven texts of one record: a record failing its CRC check gives "   ***" as its
// date and nothing else.
Msg_Texts Decode_Aud_Record(const Aud_Rec &r);

// The text rows of a list of raw records (rec_count of the header, at most what recs hold):
// rows × 205 bytes. bad gets the number of records that failed their CRC check.
QByteArray Decode_Aud_Records(const Arhiv_Header &h, const QByteArray &recs, int *bad = nullptr);

// Caption of the list: by index (mode 0) with the first and last index, otherwise the
// header's period.
QString Aud_Caption(uint8_t mode, const Arhiv_Header &h, uint32_t first_index);
