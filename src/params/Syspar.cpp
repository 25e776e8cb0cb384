#include "params/Syspar.h"

int Dst_Month_Days(int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? days[month - 1] : 0;
}

int Dst_Month_Index(const Dst_Kind &k, int month)
{
    if (month == 0) return 0;
    const int i = month - k.first_month + 1;
    return i >= 1 && i <= 4 ? i : -1;
}

int Dst_Index_Month(const Dst_Kind &k, int index)
{
    return index >= 1 && index <= 4 ? index + k.first_month - 1 : 0;
}

int Dst_Hour_Index(const Dst_Kind &k, int hour)
{
    return hour >= k.hour_min && hour <= k.hour_max ? hour - k.hour_min : -1;
}

int Day_Code_Method(uint8_t code)
{
    return code & 0x80 ? 1 : 0;
}

int Day_Code_Day_Index(uint8_t code, int month)
{
    const int day = code & 0x7F;
    return day >= 1 && day <= Dst_Month_Days(month) ? day - 1 : -1;
}

int Day_Code_Ordinal_Index(uint8_t code)
{
    const int n = code & 0x07;
    // Counted from the end only the last and the second last exist.
    if (code & 0x40) return n == 1 || n == 2 ? 5 - n : -1;
    return n >= 1 && n <= 3 ? n - 1 : -1;
}

int Day_Code_Weekday_Index(uint8_t code)
{
    const int w = (code >> 3) & 0x07;
    return w >= 1 ? w - 1 : -1;
}

uint8_t Day_Code_Set_Method(uint8_t code, int method)
{
    return method ? uint8_t(code | 0x80) : uint8_t(code & 0x7F);
}

uint8_t Day_Code_Set_Day(uint8_t code, int index)
{
    return uint8_t((code & 0x80) | ((index + 1) & 0x7F));
}

uint8_t Day_Code_Set_Ordinal(uint8_t code, int index)
{
    code &= 0xF8;
    if (index >= 3) return uint8_t((code | 0x40) | (5 - index));
    return uint8_t((code & ~0x40) | (index + 1));
}

uint8_t Day_Code_Set_Weekday(uint8_t code, int index)
{
    return uint8_t((code & 0xC7) | (((index + 1) & 7) << 3));
}
