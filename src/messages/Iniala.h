#pragma once
// The diagnostic messages as text: each Ala_Rec becomes seven texts (date, time, event,
// object or cause, current value, set-point, unit), kept as a 300-byte text row, the body
// record of ".ala" files. Decoding is a pure function of the record, the list's header
// (moisture-meter type) and the gas parameters of the table image.
#include "archives/Arhiv.h"
#include "messages/Msg_Read.h"
#include "messages/Msg_Rows.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct Ala_Text_Row {
    char date[20];
    char time[20];
    char event[100];
    char object[100];
    char value[20];
    char setpoint[20];
    char unit[20];
};
#pragma pack(pop)

static_assert(sizeof(Ala_Text_Row) == 300);
static_assert(offsetof(Ala_Text_Row, time) == 20 && offsetof(Ala_Text_Row, event) == 40 &&
              offsetof(Ala_Text_Row, object) == 140 && offsetof(Ala_Text_Row, value) == 240 &&
              offsetof(Ala_Text_Row, setpoint) == 260 && offsetof(Ala_Text_Row, unit) == 280);

constexpr int ALA_ROW_SIZE = int(sizeof(Ala_Text_Row));
inline constexpr Msg_Slots ALA_SLOTS{20, 20, 100, 100, 20, 20, 20};

// True when the CRC-16 over the whole 22-byte record gives 0.
bool Ala_Rec_Valid(const Ala_Rec &r);

// Columns 3..7 (event, object or cause, current value, set-point, unit) of one record;
// columns 1 and 2 are left empty. wmt_type is the list header's moisture-meter type.
Msg_Texts Decode_Ala_Message(const Ala_Rec &r, uint8_t wmt_type);
// The moisture-meter state text of codes 22 and 23 with object 201.
QString Ala_Wmt_State(uint8_t wmt_type, uint8_t t, uint8_t k);

// All seven texts of one record: a record failing its CRC check gives "   ***" as its
// date and nothing else.
Msg_Texts Decode_Ala_Record(const Ala_Rec &r, uint8_t wmt_type);

// The text rows of a list of raw records (rec_count of the header, at most what recs hold):
// rows × 300 bytes. bad gets the number of records that failed their CRC check.
QByteArray Decode_Ala_Records(const Arhiv_Header &h, const QByteArray &recs, int *bad = nullptr);

// Caption of the list: by index (mode 0) with the first and last index, otherwise the
// header's period.
QString Ala_Caption(uint8_t mode, const Arhiv_Header &h, uint32_t first_index);
// "%02d.%02d.%02d %02d:%02d:%02d" (day, month, year, hour, minute, second).
QString Msg_Date_Text(const Date6 &d);
