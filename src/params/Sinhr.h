#pragma once
// The controller's time: its clock (table 2), the four synchronisation switches (table 6
// fields 10, 11 and table 14 fields 8, 9, gathered in a Sync_Block) and the period of the
// hourly averages written to the flow computers (table 28).
#include "core/Conffun.h"

#include <cstdint>

constexpr int CLOCK_TAB = 2;
constexpr int CLOCK_LEN = 8;   // Date6, weekday 1..7 (Sunday first), season byte (0 summer)

// {table 6 field 10, table 6 field 11, table 14 field 8, table 14 field 9}.
constexpr int SYNC_BLOCK_LEN = 4;
inline constexpr Tab_Req Sync_Contr_Req{6, 10, 2};
inline constexpr Tab_Req Sync_Chrom_Req{14, 8, 2};
// From the image into a block and back; false when a table is not there.
bool Sync_Block_From_Image(uint8_t *block);
bool Sync_Block_To_Image(const uint8_t *block);

constexpr int DISTR_TAB = 28;
inline constexpr uint8_t Distr_Periods[] = {1, 2, 3, 4, 6, 12, 24};

// The PC clock as the controller keeps it: Date6, weekday, season byte by the change rules of
// table 6 (sys: its first 6 bytes; null: no summer time). False for a value that is no date.
bool Pc_Clock(double date_time, const uint8_t *sys, uint8_t *clock);

// Seconds function 12 moves the controller clock c towards the PC clock p (both Date6):
// within the hour the difference; otherwise to the start of the controller's current hour
// (c later) or of its next one (c earlier), so -3599..3600.
int16_t Clock_Correction(const uint8_t *c, const uint8_t *p);
// Function 12 data: the correction, little-endian.
void Put_Correction(int16_t corr, uint8_t *data);
