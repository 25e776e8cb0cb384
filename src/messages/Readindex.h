#pragma once
// The index dialog without its window: the caption by archive, the presets of a run of record
// indexes, the checks of an acceptance and the choice kept in Rd_Arh_Rec bytes 4-7.
//
// The bounds come from the controller (tables 10 and 11). Lengths are counted in 64 bits, so
// a run of 2^32 records or reversed bounds give honest numbers, never a wrapped count, and
// typed numbers are compared whole, never cut to 32 bits first.
#include "messages/Period.h"

#include <QString>
#include <cstdint>
#include <optional>

constexpr uint32_t INDEX_ALL = 0;
constexpr uint32_t INDEX_LAST_100 = 1;
constexpr uint32_t INDEX_LAST_50 = 2;
constexpr uint32_t INDEX_LAST_10 = 3;
constexpr uint32_t INDEX_GIVEN = 4;

// Caption by kind: 0 diagnostic, 1 operator intervention, 5 calibration; empty otherwise.
QString Index_Caption(uint8_t kind);

// Rd_Arh_Rec bytes 4-7: 0..4; a stored value outside the list gives "Последние 100 записей",
// the choice of a fresh record.
uint32_t Stored_Index_Choice();
void Store_Index_Choice(uint32_t choice);

// Records between the bounds (0 when the newest is below the oldest).
uint64_t Index_Total(uint32_t oldest, uint32_t newest);

// What the start and count boxes show for a choice and whether they can be edited.
struct Index_Preset {
    QString start;
    QString count;
    bool enabled;
};
Index_Preset Index_Preset_For(uint32_t choice, uint32_t oldest, uint32_t newest);

// "Принять": first index and count from the two boxes, in the dialog's order of checks. The
// count is cut to the records from first to newest.
std::optional<Req_Refusal> Check_Index(const QString &start_text, const QString &count_text, uint32_t oldest,
                                       uint32_t newest, uint32_t &first, uint32_t &count);
