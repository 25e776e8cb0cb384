#pragma once
// Texts of the status flags stored in a chromatograph archive record: the controller
// status byte (measurement records and hourly/daily records have their own texts) and
// the chromatograph's 16-bit status word of measurement records. Bit numbers outside
// 0..7 give an empty text, never a read past a table.
#include <QString>
#include <QStringList>
#include <cstdint>

// Record kinds of the status details.
constexpr uint8_t CHR_ERR_MEAS = 0;   // measurement record
constexpr uint8_t CHR_ERR_HD = 1;     // hourly or daily record (any kind but 0)

// Text of controller status bit `bit` for a record kind; empty when that bit has no text.
QString Ctrl_Status_Text(uint8_t kind, int bit);
// Texts of the chromatograph status word, low byte and high byte.
QString Chrom_Status_Lo(int bit);
QString Chrom_Status_Hi(int bit);

// "  Статус контроллера: 0x%02X"
QString Ctrl_Status_Heading(uint8_t ctrl);
// "  Статус хроматографа: 0x%02X%02X", high byte first.
QString Chrom_Status_Heading(uint8_t lo, uint8_t hi);

// Lines under the controller heading: "Норма" for 0, else one per set bit with a text,
// in bit order.
QStringList Ctrl_Status_Lines(uint8_t kind, uint8_t ctrl);
// Lines under the chromatograph heading: "Норма" for 0, else the low byte's bits then
// the high byte's, in bit order.
QStringList Chrom_Status_Lines(uint8_t lo, uint8_t hi);
// The chromatograph part is shown for measurement records unless the controller was off
// (bit 1) or had no link with the chromatograph (bit 5).
bool Chrom_Part_Shown(uint8_t kind, uint8_t ctrl);
