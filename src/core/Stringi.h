#pragma once
// The program's fixed vocabularies: table names, units, month and day names, choice lists of
// the parameter dialogs, device models, status-bit texts, alarm names, diagnostic texts and
// access levels. All live in one table of 442 slots; each vocabulary is a run of slots.
//
// Indexes come from controller data and files, so every reader below is bounds-checked and
// never hands out a missing text:
//  - Tab_Names gives an empty name outside 0..44 (as for the numbers that have no table);
//  - Chrom_Alarm_Names gives "? Coil number N" outside 0..107, the form the controller's
//    unnamed coils already have;
//  - every other reader gives "?" for an index outside its list, so an unknown code shows
//    up as unknown instead of as a blank that looks like "no unit" or "no message".
// The texts are kept exactly as the controller's users know them, oddities included.
#include <QString>
#include <QStringList>
#include <cstdint>

constexpr int STR_TAB_SIZE = 442;

// One vocabulary: its first slot and its number of texts.
struct Str_Group {
    int first;
    int count;
};

namespace Str_Groups {
inline constexpr Str_Group Tab_Names{0, 45};
inline constexpr Str_Group Unit_Names{45, 37};
inline constexpr Str_Group Gas_Units{82, 12};
inline constexpr Str_Group Month_Names{94, 13};
inline constexpr Str_Group Month_Gen_Names{107, 12};
inline constexpr Str_Group Week_Nums{119, 5};
inline constexpr Str_Group Day_Names{124, 7};
inline constexpr Str_Group Day_Short_Names{131, 7};
inline constexpr Str_Group Season_Names{138, 2};
inline constexpr Str_Group Arh_Page_Names{140, 10};
inline constexpr Str_Group Modbus_Modes{150, 2};
inline constexpr Str_Group Parity_Names{152, 5};
inline constexpr Str_Group Need_Names{157, 2};
inline constexpr Str_Group Write_Modes{159, 4};
inline constexpr Str_Group Est_Names{163, 2};
inline constexpr Str_Group Yes_No_Names{165, 2};
inline constexpr Str_Group Byte_Orders{167, 2};
inline constexpr Str_Group Zone_Names{169, 5};
inline constexpr Str_Group Calib_Modes{174, 2};
inline constexpr Str_Group Year_Modes{176, 2};
inline constexpr Str_Group Time_Type_Label{178, 1};
inline constexpr Str_Group Chrom_Alarm_Names{199, 108};
inline constexpr Str_Group Wmt_Par_Names{307, 5};
inline constexpr Str_Group Wmt_Status_Names{312, 24};
inline constexpr Str_Group Chrom_Types{336, 12};
inline constexpr Str_Group Flou_Types{348, 4};
inline constexpr Str_Group Distr_Modes{352, 3};
inline constexpr Str_Group Diag_Texts{355, 82};
inline constexpr Str_Group Access_Levels{437, 5};
}  // namespace Str_Groups

// Builds the table once; called by the main window at start-up. The readers also build it
// on first use, so nothing can see an unfilled table.
void Init_Strings();

// The text of one slot; empty for the never-assigned slots 179..198 and outside 0..441.
QString Str_Tab(int slot);
// True for a slot that holds a text (even an empty one).
bool Str_Tab_Assigned(int slot);
// Text `index` of a group, or `fallback` when the index is outside the group.
QString Str_Text(Str_Group g, int64_t index, const QString &fallback);
// Every text of a group in index order (for the choice lists of the dialogs).
QStringList Str_List(Str_Group g);

// Readers by vocabulary; the index is what the controller or the dialog gives.
QString Tab_Names(int64_t table);            // table number 0..44
QString Unit_Names(int64_t code);            // unit code of operator-intervention messages
QString Gas_Units(int64_t code);             // unit code of a measured gas parameter
QString Month_Names(int64_t n);              // 0 = no change, 1..12
QString Month_Gen_Names(int64_t n);          // month - 1
QString Week_Nums(int64_t n);                // week of a daylight-saving rule
QString Day_Names(int64_t n);                // day of week - 1, Sunday first
QString Day_Short_Names(int64_t n);          // idem
QString Season_Names(int64_t n);
QString Arh_Page_Names(int64_t n);           // archive area
QString Modbus_Modes(int64_t n);
QString Parity_Names(int64_t n);
QString Need_Names(int64_t n);
QString Write_Modes(int64_t n);              // flow-computer write mode
QString Est_Names(int64_t n);
QString Yes_No_Names(int64_t n);
QString Byte_Orders(int64_t n);              // flow-computer byte order
QString Zone_Names(int64_t n);               // zone of a gas parameter
QString Calib_Modes(int64_t n);
QString Year_Modes(int64_t n);
QString Time_Type_Label();
QString Chrom_Alarm_Names(int64_t coil);     // 0 = normal, 1..107 alarm coil number
QString Wmt_Par_Names(int64_t n);            // moisture-meter quantity
QString Wmt_Status_Names(int64_t n);         // status bits 0..15, then 8 event texts
QString Chrom_Types(int64_t n);              // device model
QString Flou_Types(int64_t n);               // flow-computer type 0..3
QString Distr_Modes(int64_t n);
QString Diag_Texts(int64_t code);            // diagnostic message code 0..81
QString Access_Levels(int64_t level);        // user access level 0..4
