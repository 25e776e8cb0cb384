#pragma once
// What the table-state, current-state and momentary-data forms work with, without windows:
// the block of configuration-table states and write choices, the non-volatile data reset,
// and the texts and colours of tables 16, 30, 32, 33, 34, 35 and 37.
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

constexpr int TAB_STATE_TABLES = 45;
constexpr uint8_t VERSION_CFG_ONLY = 14;   // a controller that only takes a configuration restore

#pragma pack(push, 1)
// Handed to the table-state form by its caller.
struct Tab_State_Block {
    uint8_t Cfg[TAB_STATE_TABLES];         // 1: table t is a configuration table (listed)
    uint8_t State[TAB_STATE_TABLES];       // state byte of table t from table 7 (non-zero: destroyed)
    uint8_t Write_Sel[TAB_STATE_TABLES];   // 1: table t is to be written (the form's choice)
};

// Exchange state with the flow computers, as the flow-computer state form shows it.
constexpr int VICH_MAX = 16;
struct Vich_State_Block {
    uint8_t Adr[VICH_MAX];       // table 18: addresses
    uint8_t Link[VICH_MAX];      // table 34: link present
    uint8_t Writing[VICH_MAX];   // table 35: parameter writing in progress
};
#pragma pack(pop)
static_assert(sizeof(Tab_State_Block) == 135);
static_assert(sizeof(Vich_State_Block) == 48);

// Configuration flags from the table directory, the 45 state bytes (null: none destroyed),
// no write choice.
void Fill_Tab_State_Block(Tab_State_Block &b, const uint8_t *states);
// Tables the form lists (configuration flag set), in number order.
QList<int> Tab_State_Rows(const Tab_State_Block &b);
bool Tab_Destroyed(const Tab_State_Block &b, int t);
// The clock (table 2) is written only when it is destroyed; the user table (4) exactly when
// it is destroyed, whatever was chosen.
void Adjust_Write_Sel(Tab_State_Block &b);
// "Записать все таблицы": every listed table, then the adjustments above.
void Select_All_Tables(Tab_State_Block &b);
// Name panel of a row: " Табл. %2d.  %s", one-digit numbers padded to the width of two and
// every name one blank further on.
QString Tab_Row_Name(int t);

// Which buttons of the table-state form can be used: only a configuration-only controller on
// the direct line may be written to; the reset needs a controller that runs (or the direct
// line).
struct Tab_Info_Buttons {
    bool write;   // "Записать все таблицы", "Записать избранные таблицы"
    bool reset;   // "Сбросить энергонезависимые данные"
};
Tab_Info_Buttons Tab_Info_Buttons_For(uint8_t version, bool direct_link);

// After a non-volatile data reset the controller answers here.
constexpr uint8_t RESET_ADR = 1;
constexpr uint32_t RESET_RATE = 9600;
// Function 25 with the logged-in user's password and code. On success the exchange object
// and the settings of the active link type take address 1 and 9600 bit/s; on failure nothing
// changes (the exchange object keeps the error).
bool Reset_NV_Data();

// ---- current state and momentary data -------------------------------------------------

constexpr uint32_t RGB_BLACK = 0x000000;
constexpr uint32_t RGB_RED = 0xFF0000;
constexpr uint32_t RGB_LIGHT_GREY = 0xD3D3D3;   // panels of a device that is not fitted
constexpr uint32_t RGB_WARN_ZONE = 0x723838;    // warning zones
constexpr uint32_t RGB_GREEN = 0x008000;        // a zone the program does not know

struct State_Text {
    QString text;
    uint32_t rgb = RGB_BLACK;
    bool operator==(const State_Text &o) const { return text == o.text && rgb == o.rgb; }
};

// Table 16, as the current-state form uses it.
constexpr int SIT_FIELDS = 18;
enum Sit_Field : int {
    SIT_DATE = 0,        // Date6 of the last change of the flags
    SIT_VICH = 6,        // exchange with the flow computers
    SIT_CHROM = 7,       // chromatograph polling error code
    SIT_WMT = 8,         // moisture-meter polling error code
    SIT_DIAG = 9,        // self-diagnostics
    SIT_LINE1 = 10,      // abnormal value of monitored quantities, chromatograph line 1
};
// "%02d.%02d.%02d  %02d:%02d:%02d" (day, month, year, hour, minute, second) of a Date6.
QString Sit_Date_Text(const uint8_t *d6);
// A flag: "Есть" in red, or "Норма".
State_Text Sit_Flag_Text(uint8_t v);
// An error code: "Код ошибки %d" in red, or "Норма".
State_Text Sit_Error_Text(uint8_t code);
// Table 33 field: "Связи нет" in red, or "Норма".
State_Text Link_State_Text(uint8_t v);
// The words at fields 12..13 and 16..17 come in the other byte order when table 0 field 10
// is 0; they are turned round in place after each read.
bool Sit_Words_Swapped(const uint8_t *t0);
void Swap_Sit_Words(uint8_t *t16);

// Tables 34 and 35 per flow computer.
State_Text Vich_Link_Text(uint8_t v);      // "Есть" / "Нет" in red
State_Text Vich_Write_Text(uint8_t v);     // "Записываются" / "Не записываются" in red

// Poll time of tables 30 and 37 {year, month, day, -, hour, minute, second, -}:
// "%02d.%02d.%02d %02d:%02d:%02d" (day, month, year, hour, minute, second).
QString Poll_Time_Text(const uint8_t *t8);
// Table 32: the zone's name and colour; "?" in green for a zone above 4.
State_Text Zone_Text(uint8_t zone);
// A stored chromatograph value with the parameter's decimals; "?" when it is no number.
QString Chrom_Value_Text(const uint8_t *b4, int decimals);
// A stored moisture-meter value: "  " + its text; "   ?" when it is no number.
QString Wmt_Value_Text(const uint8_t *b4);
// Captions of the moisture-meter rows for a meter type (table 15 field 6): type 2 has four.
QStringList Wmt_Row_Captions(uint8_t type);
