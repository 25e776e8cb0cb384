#pragma once
// The short-period dialog without its windows: a period inside the archive's available
// period (Arh_Range) in whole hours (kind 0), whole days (kind 1) or minutes (kind 3). The
// presets follow the controller's clock; the choice is kept in Rd_Arh_Rec bytes 0-3.
#include "core/Dtfun.h"
#include "messages/Period.h"

#include <QString>
#include <cstdint>
#include <optional>

constexpr uint8_t SHORT_HOURLY = 0;
constexpr uint8_t SHORT_DAILY = 1;
constexpr uint8_t SHORT_MINUTES = 3;

bool Short_Kind_Known(uint8_t kind);
// Bytes of a date at the kind's resolution: 4 (hourly), 3 (daily), 5 (minutes); 0 otherwise.
int Short_Date_Bytes(uint8_t kind);
// Radio items of the kind's panel (the last one is "Заданный период"); 0 for an unknown kind.
int Short_Items(uint8_t kind);

// Radio item taken at show from the stored choice. The hourly and daily panels have two items:
// a stored 2 (the three-item dialogs' given period) selects their last item. A stored value
// outside the list selects the first item.
int Short_Stored_Item(uint8_t kind);
// At every change of the choice (also at show) the item goes into bytes 0-3.
void Short_Store_Item(int item);

// "Дата и время самой старой записи в архиве: ..." (newest false) or "... последней записи ..."
// for a range bound (year..minute).
QString Short_Range_Label(uint8_t kind, const uint8_t *date5, bool newest);

struct Short_Period {
    Date6 start;   // bytes past the kind's resolution are zero
    Date6 end;
    bool enabled;  // the controls can be edited
};
// Hourly and daily panels at show, before the stored choice is applied: the given period is
// the last day (hourly) or month (daily) of the range, not reaching before the range start.
// A range bound that is not a date the pickers take is replaced by the controller's clock.
Short_Period Short_Initial(uint8_t kind, const Arh_Range &range, const Date6 &contr_now);
// What the controls show for a choice. shown is what they show now: the hourly and daily
// panels keep it for "Заданный период"; the minutes panel takes the given period from
// Rd_Arh_Rec (the controller's clock when none is stored).
Short_Period Short_Preset(uint8_t kind, int item, const Date6 &contr_now, const Short_Period &shown);

// "Принять": start and end from the controls (bytes past the kind's resolution ignored);
// checks (end not before start, some overlap with the range) and clamping into the range.
// Start and End come back zero past the kind's resolution.
std::optional<Req_Refusal> Short_Accept(uint8_t kind, const Arh_Range &range, const Date6 &start_in,
                                        const Date6 &end_in, Date6 &start, Date6 &end);
