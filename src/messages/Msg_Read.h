#pragma once
// Reading the controller's two message logs: the diagnostic messages and the
// operator-intervention messages, by a run of record indexes (function 7) or by a period
// (function 8, block by block). The raw records are gathered in the log's working file,
// read back and handed on behind an archive header; the list forms decode them.
//
// The long-read frame, the wait form, the status panel and the period dialog are those of
// the archive readers (Arh_Read_Ui, Arh_Long_Read); only the index dialog is asked for
// separately.
#include "archives/Arh_Readers.h"
#include "archives/Arhiv.h"
#include "core/Dtfun.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// The log, as the menu item's Tag and the Arh_Kind byte of the requests give it.
enum class Msg_Kind : uint8_t {
    Ala = 0,   // diagnostic messages
    Aud = 1,   // operator-intervention messages
};

#pragma pack(push, 1)
// One diagnostic message.
struct Ala_Rec {
    Date6 date;           // time of the event
    uint8_t code;         // diagnostic code: 1..81 have texts, 0 the empty one
    uint8_t spare1;
    uint8_t object;       // table number or object code (200, 201, 242..244)
    uint8_t index;        // field, parameter, bit, device number or flow-computer address
    uint8_t value_a[4];   // f32 current value, u32 device error or old checksum, by code
    uint8_t value_b[4];   // f32 set-point or u32 new checksum, by code
    uint8_t spare2[2];
    uint8_t crc[2];       // CRC-16 of bytes 0-19, low byte first
};

// One operator-intervention message.
struct Aud_Rec {
    Date6 date;           // time of the change
    uint8_t spare;
    uint8_t table;        // changed table, 0..46
    uint8_t field;        // field, or record index for tables of repeated records
    uint8_t unit;         // index into the unit names, 0..36
    uint8_t old_value[4];
    uint8_t new_value[4];
    char oper[4];         // operator name, no terminator
    uint8_t crc[2];       // CRC-16 of bytes 0-21, low byte first
};
#pragma pack(pop)

static_assert(sizeof(Ala_Rec) == 22);
static_assert(offsetof(Ala_Rec, code) == 6 && offsetof(Ala_Rec, object) == 8 && offsetof(Ala_Rec, index) == 9 &&
              offsetof(Ala_Rec, value_a) == 10 && offsetof(Ala_Rec, value_b) == 14 && offsetof(Ala_Rec, crc) == 20);
static_assert(sizeof(Aud_Rec) == 24);
static_assert(offsetof(Aud_Rec, table) == 7 && offsetof(Aud_Rec, field) == 8 && offsetof(Aud_Rec, unit) == 9 &&
              offsetof(Aud_Rec, old_value) == 10 && offsetof(Aud_Rec, new_value) == 14 &&
              offsetof(Aud_Rec, oper) == 18 && offsetof(Aud_Rec, crc) == 22);

constexpr uint8_t MSG_FUNC_IND = 7;
constexpr uint8_t MSG_FUNC_PER = 8;

struct Msg_Kind_Info {
    Msg_Kind kind;
    uint8_t arh_kind;            // byte [5] of the requests
    uint32_t rec_size;           // 22 or 24
    uint8_t per_request;         // records asked for at most in one request by index
    Arh_File_Kind file_kind;     // header signature, working file, saved files
    uint8_t bounds_table;        // oldest and newest index: table 10 or 11, fields 0 and 1
    const char *title;           // first line of the read messages
    const char *error_line;      // second line of the archive-error message
    const char *ind_item;        // menu items of the two commands
    const char *per_item;
};

const Msg_Kind_Info &Msg_Info(Msg_Kind k);
// The log a menu item's Tag names; nullopt for any other value.
std::optional<Msg_Kind> Msg_Kind_From_Tag(int tag);

// List modes of the list forms.
constexpr uint8_t MSG_MODE_INDEX = 0;
constexpr uint8_t MSG_MODE_PERIOD = 1;
constexpr uint8_t MSG_MODE_FILE = 2;

// What a reader hands to its list form.
struct Msg_Read_Result {
    Msg_Kind kind = Msg_Kind::Ala;
    uint8_t mode = MSG_MODE_INDEX;
    uint32_t first_index = 0;       // by index: the first index asked for
    Arhiv_Header header{};
    QByteArray records;             // header.rec_count raw records, as received
    bool aborted = false;           // Esc between requests
    bool partial = false;           // an exchange failed after something was read
    bool archive_error = false;     // by period: the controller marked an error in the log
};

// Records a function-7 reply carries (count at [10], records from [11]), checked against
// the reply's own length: nullopt when they do not fit it.
std::optional<int> Msg_Ind_Reply_Count(const uint8_t *resp, uint32_t rec_size);

// The readers. Each shows its own messages and returns nullopt when nothing is to be shown.
std::optional<Msg_Read_Result> Read_Msg_Ind(Msg_Kind k, uint32_t first, uint32_t count, Arh_Read_Ui &ui);
std::optional<Msg_Read_Result> Read_Msg_Per(Msg_Kind k, const Date6 &start, const Date6 &end, Arh_Read_Ui &ui);

inline std::optional<Msg_Read_Result> Read_Ala_Ind(uint32_t first, uint32_t count, Arh_Read_Ui &ui)
{
    return Read_Msg_Ind(Msg_Kind::Ala, first, count, ui);
}
inline std::optional<Msg_Read_Result> Read_Aud_Ind(uint32_t first, uint32_t count, Arh_Read_Ui &ui)
{
    return Read_Msg_Ind(Msg_Kind::Aud, first, count, ui);
}
inline std::optional<Msg_Read_Result> Read_Ala_Per(const Date6 &start, const Date6 &end, Arh_Read_Ui &ui)
{
    return Read_Msg_Per(Msg_Kind::Ala, start, end, ui);
}
inline std::optional<Msg_Read_Result> Read_Aud_Per(const Date6 &start, const Date6 &end, Arh_Read_Ui &ui)
{
    return Read_Msg_Per(Msg_Kind::Aud, start, end, ui);
}

// The index dialog: kind (0 or 1) and the bounds in, first index and count out; false when
// it was not accepted.
using Msg_Index_Ask =
    std::function<bool(uint8_t kind, uint32_t oldest, uint32_t newest, uint32_t &first, uint32_t &count)>;

// The two commands up to the list: the table reads, the dialog, the reader.
std::optional<Msg_Read_Result> Msg_Ind_Command(Msg_Kind k, Arh_Read_Ui &ui, const Msg_Index_Ask &ask);
std::optional<Msg_Read_Result> Msg_Per_Command(Msg_Kind k, Arh_Read_Ui &ui);
