#pragma once
// Table 6, the system parameters: the two daylight-saving change rules, the contract hour and
// the connected devices. Here are the rules' day codes as the system-parameter dialog edits
// them; the date routines read the same bits when the PC clock goes into the controller.
//
// Day_Code, one byte:
//   bit 7 clear: bits 0..6 are the day of the month;
//   bit 7 set:   bits 5..3 the weekday 1..7 (1 = Sunday), bits 2..0 the ordinal, bit 6 the
//                ordinal counted from the end of the month (1 = last, 2 = second last).
#include <cstdint>

constexpr int SYS_TAB = 6;
constexpr int SYS_FIELDS = 12;

// Field numbers of table 6.
enum : int {
    SYS_SUMMER = 0,        // summer rule: month, Day_Code, hour
    SYS_WINTER = 3,        // winter rule: month, Day_Code, hour
    SYS_CONTRACT_HOUR = 6,
    SYS_CHROM = 7,         // always 1
    SYS_WMT = 8,           // moisture meter connected
    SYS_FLOU = 9,          // flow computers connected
    SYS_SYNC_FLOU = 10,    // clock synchronised with a flow computer
    SYS_SYNC_PC = 11,      // clock synchronised with the PC
};

// One change rule's place in the dialog: its months and its hours.
struct Dst_Kind {
    int first_month;   // month of list index 1 (the list has four months after "no change")
    int hour_min;      // hour of list index 0
    int hour_max;
};
inline constexpr Dst_Kind Dst_Summer{2, 0, 22};
inline constexpr Dst_Kind Dst_Winter{9, 1, 23};

// Days a rule may name in a month: February always 28.
int Dst_Month_Days(int month);
// Month list index of a month: 0 for no change, 1..4, or -1 for a month the list lacks.
int Dst_Month_Index(const Dst_Kind &k, int month);
int Dst_Index_Month(const Dst_Kind &k, int index);   // 0 for index 0
// Hour list index, -1 outside the list.
int Dst_Hour_Index(const Dst_Kind &k, int hour);

// Indexes of a code's parts in the dialog's lists, -1 where the code names nothing the list
// holds. Day: 0 .. Dst_Month_Days(month) - 1. Ordinal: "Первый", "Второй", "Третий",
// "Предпоследний", "Последний". Weekday: Sunday first.
int Day_Code_Method(uint8_t code);
int Day_Code_Day_Index(uint8_t code, int month);
int Day_Code_Ordinal_Index(uint8_t code);
int Day_Code_Weekday_Index(uint8_t code);

// Picks: each changes only its own bits.
uint8_t Day_Code_Set_Method(uint8_t code, int method);
uint8_t Day_Code_Set_Day(uint8_t code, int index);
uint8_t Day_Code_Set_Ordinal(uint8_t code, int index);
uint8_t Day_Code_Set_Weekday(uint8_t code, int index);
