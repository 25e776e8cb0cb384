#include "core/Crc16.h"

namespace {
// Odd parity of each byte value, for the byte-wise fold.
constexpr bool parity(unsigned v)
{
    v ^= v >> 4; v ^= v >> 2; v ^= v >> 1;
    return v & 1;
}
} // namespace

uint16_t Crc16(const uint8_t *data, uint16_t len)
{
    // Byte-wise parity method: gives the bit-wise reflected 0xA001 result exactly.
    uint16_t crc = 0xFFFF;
    for (uint16_t i = 0; i < len; ++i) {
        uint16_t t = (crc ^ data[i]) & 0xFF;
        crc >>= 8;
        if (parity(t)) crc ^= 0xC001;
        t <<= 6;
        crc ^= t;
        t <<= 1;
        crc ^= t;
    }
    return crc;
}

void Put_Crc16(uint8_t *data, uint16_t len)
{
    const uint16_t c = Crc16(data, len);
    data[len] = uint8_t(c & 0xFF);
    data[len + 1] = uint8_t(c >> 8);
}
