#pragma once
// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR).
// Stored in frames and records low byte first; a block followed by its CRC gives 0.
#include <cstdint>

uint16_t Crc16(const uint8_t *data, uint16_t len);
// Appends the CRC of data[0..len) at data[len], data[len+1], low byte first.
void Put_Crc16(uint8_t *data, uint16_t len);
