#include "archives/Arh_Records.h"

#include "core/Crc16.h"
#include "core/Suplfunc.h"

namespace {
constexpr uint8_t ZONE_BITS = 0x03;
constexpr int VALUE_SIZE = 4;

template <size_t N> Rec_Value value_in(const uint8_t (&values)[N], int i, bool zoned)
{
    if (i < 0 || size_t(i) * VALUE_SIZE + VALUE_SIZE > N) return {};
    const uint8_t *p = values + size_t(i) * VALUE_SIZE;
    return zoned ? Zoned_Value(p) : Plain_Value(p);
}
} // namespace

bool Rec_Crc_Ok(const void *rec, size_t size)
{
    if (!rec || size > 0xFFFF) return false;
    return Crc16(static_cast<const uint8_t *>(rec), uint16_t(size)) == 0;
}

float Float_At(const uint8_t *p)
{
    const uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                       uint32_t(p[3]) << 24;
    return std::bit_cast<float>(u);
}

bool Float_Bad(const uint8_t *p) { return Is_Nan(p); }

Zone_Mark Zone_Of(uint8_t low_byte)
{
    if (low_byte & 0x02) return Zone_Mark::Alarm;
    if (low_byte & 0x01) return Zone_Mark::Warning;
    return Zone_Mark::None;
}

Rec_Value Zoned_Value(const uint8_t *p)
{
    Rec_Value v;
    v.mark = Zone_Of(p[0]);
    if (Float_Bad(p)) return v;
    const uint8_t clean[VALUE_SIZE] = {uint8_t(p[0] & ~ZONE_BITS), p[1], p[2], p[3]};
    v.value = Float_At(clean);
    v.bad = false;
    return v;
}

Rec_Value Plain_Value(const uint8_t *p)
{
    Rec_Value v;
    if (Float_Bad(p)) return v;
    v.value = Float_At(p);
    v.bad = false;
    return v;
}

Rec_Value Chr_Meas_Value(const Chr_Meas_Rec &r, int i) { return value_in(r.values, i, true); }
Rec_Value Chr_HD_Value(const Chr_HD_Rec &r, int i) { return value_in(r.values, i, false); }
Rec_Value Clb_Value(const Clb_Rec &r, int i) { return value_in(r.values, i, true); }
Rec_Value Wmt_Meas_Value(const Wmt_Meas_Rec &r, int k) { return value_in(r.values, k, false); }
Rec_Value Wmt_HD_Value(const Wmt_HD_Rec &r, int k) { return value_in(r.values, k, false); }

Row_Show Chr_Meas_Row(uint8_t ctrl_status)
{
    if (ctrl_status & 0x02) return Row_Show::Zero;
    if (ctrl_status & 0x20) return Row_Show::Blank;
    if (ctrl_status & 0x80) return Row_Show::Zero;
    return Row_Show::Values;
}

Row_Show Chr_HD_Row(uint8_t status) { return (status & 0x22) ? Row_Show::Zero : Row_Show::Values; }

char Chr_HD_Mark(uint8_t status) { return status ? '"' : ' '; }

bool Clb_Passed(const Clb_Rec &r) { return r.result == 0; }

Wmt_Show Wmt_Meas_Show(uint8_t status)
{
    if (status & 0x02) return Wmt_Show::Off;
    if (status & 0x04) return Wmt_Show::No_Link;
    return Wmt_Show::Values;
}

Wmt_Show Wmt_HD_Show(uint8_t status)
{
    if (status & 0x02) return Wmt_Show::Off;
    if (status & 0x04) return Wmt_Show::Zero;
    return Wmt_Show::Values;
}

int Hd_End_Hour(const uint8_t end_time[3], bool daily) { return daily ? end_time[0] & 0x7F : end_time[0]; }

bool Hd_End_Flag(const uint8_t end_time[3]) { return (end_time[0] & 0x80) != 0; }
