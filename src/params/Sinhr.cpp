#include "params/Sinhr.h"

#include "core/Dtfun.h"
#include "core/Tables.h"

#include <cstring>

bool Sync_Block_From_Image(uint8_t *block)
{
    const uint8_t *t6 = Tab_Field(Sync_Contr_Req.tab, Sync_Contr_Req.first);
    const uint8_t *t14 = Tab_Field(Sync_Chrom_Req.tab, Sync_Chrom_Req.first);
    if (!t6 || !t14 || !block) return false;
    std::memcpy(block, t6, 2);
    std::memcpy(block + 2, t14, 2);
    return true;
}

bool Sync_Block_To_Image(const uint8_t *block)
{
    uint8_t *t6 = Tab_Field(Sync_Contr_Req.tab, Sync_Contr_Req.first);
    uint8_t *t14 = Tab_Field(Sync_Chrom_Req.tab, Sync_Chrom_Req.first);
    if (!t6 || !t14 || !block) return false;
    std::memcpy(t6, block, 2);
    std::memcpy(t14, block + 2, 2);
    return true;
}

bool Pc_Clock(double date_time, const uint8_t *sys, uint8_t *clock)
{
    uint8_t c[CLOCK_LEN] = {};
    if (!DateTime_To_Date6(date_time, c)) return false;
    c[6] = uint8_t(Day_Of_Week(Date6_To_Ymd(c)));
    static constexpr uint8_t no_rule[3] = {};
    c[7] = Dst_Flag(c, sys ? sys : no_rule, sys ? sys + 3 : no_rule);
    std::memcpy(clock, c, CLOCK_LEN);
    return true;
}

int16_t Clock_Correction(const uint8_t *c, const uint8_t *p)
{
    const int c_sec = c[4] * 60 + c[5];
    if (Compare_Date6_Unit(c, p, UNIT_HOUR) == 0) return int16_t(p[4] * 60 + p[5] - c_sec);
    if (Compare_Date6(c, p) > 0) return int16_t(-c_sec);
    return int16_t((59 - c[4]) * 60 + (60 - c[5]));
}

void Put_Correction(int16_t corr, uint8_t *data)
{
    const uint16_t u = uint16_t(corr);
    data[0] = uint8_t(u & 0xFF);
    data[1] = uint8_t(u >> 8);
}
