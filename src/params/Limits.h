#pragma once
// Set-points of the measured gas parameters: the insensitivity zone (table 22), the warning
// set-points (23, 24) and the limits of a value allowed to the flow computers (25, 26), one
// float per parameter each, and the fixed ranges the program accepts for them. Row i of a
// range table applies to whatever parameter sits in position i of table 1.
#include "params/Chr_Par.h"

#include <QString>
#include <cstdint>

constexpr int LIMIT_KINDS = 5;            // kinds 0..4: tables 22..26
constexpr int LIMIT_FIRST_TABLE = 22;
constexpr int DISTR_TABLE = 21;           // write-to-flow-computer flags, one byte each

#pragma pack(push, 1)
struct Limit_Range {
    float min;
    float max;
    float def;          // what a new configuration record receives
    uint8_t decimals;   // digits after the point wherever the value is shown
};
#pragma pack(pop)
static_assert(sizeof(Limit_Range) == 13);

extern const Limit_Range (&Limit_Ranges)[LIMIT_KINDS][MAX_GAS_PARAMS];

// Table of a kind (22..26), or -1 outside 0..4.
int Limit_Table(int kind);
// Caption of the set-point form of a kind (empty outside 0..4).
QString Limit_Caption(int kind);
// Range row of a kind; null outside the tables.
const Limit_Range *Limit_Row(int kind, int row);
// A value in the row's digits: fixed point, precision 10.
QString Limit_Value_Text(int kind, int row, double v);
// " min - max" of the row.
QString Limit_Range_Text(int kind, int row);
// The accept rule: min - 0.00001 <= v <= max + 0.00001, the bounds in single precision.
bool Limit_Accepts(int kind, int row, float v);
