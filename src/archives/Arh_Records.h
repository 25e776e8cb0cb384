#pragma once
// Records of the chromatograph's and the moisture meter's archives, byte for byte as the
// controller sends them and the archive files keep them. Every record ends with the
// CRC-16 of the bytes before it (low byte first) and is valid when the CRC over the whole
// record is 0. Floats are read from their bytes; a packed member is never bound by reference.
#include "core/Dtfun.h"

#include <QByteArray>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

static_assert(std::endian::native == std::endian::little, "records are read as they lie");

#pragma pack(push, 1)
// One analysis of the measurement archive (.mch).
struct Chr_Meas_Rec {
    Date6 dt;
    uint8_t spare6;          // kept as received
    uint8_t ctrl_status;
    uint16_t chrom_status;
    uint8_t spare10[2];      // kept as received
    uint8_t values[80];      // 20 f32; lowest byte of each carries the zone marks
    uint16_t crc;
};

// One hour or day of the chromatograph (.hch, .dch).
struct Chr_HD_Rec {
    uint8_t date[3];         // Date3
    uint8_t start_time[3];   // hour, minute, second
    uint8_t end_time[3];     // daily: bit 7 of the hour is a flag
    uint8_t status;
    uint16_t valid_count;
    uint8_t values[80];      // 20 f32, no zone marks
    uint16_t crc;
};

// One calibration (.clb).
struct Clb_Rec {
    Date6 dt;
    uint8_t number;
    uint8_t result;          // 0 passed
    uint8_t values[80];      // 20 f32 with zone marks
    uint16_t crc;
};

// One momentary reading of the moisture meter (.mwm).
struct Wmt_Meas_Rec {
    Date6 dt;
    uint8_t status;          // link status: bit 1 meter off, bit 2 no link
    uint8_t spare7[2];       // carried unchanged
    uint16_t state;          // the meter's state word, 0 normal
    uint8_t values[16];      // f32: WDP, HDP, pressure, WDP at absolute pressure
    uint16_t crc;
};

// One hour or day of the moisture meter (.hwm, .dwm).
struct Wmt_HD_Rec {
    uint8_t date[3];
    uint8_t start_time[3];
    uint8_t end_time[3];     // daily: bit 7 of the hour is a flag
    uint8_t status;          // bit 1 meter off, bit 2 values shown as 0
    uint8_t values[16];      // f32 as in Wmt_Meas_Rec
    uint16_t crc;
};
#pragma pack(pop)

static_assert(sizeof(Chr_Meas_Rec) == 94 && offsetof(Chr_Meas_Rec, ctrl_status) == 7 &&
              offsetof(Chr_Meas_Rec, chrom_status) == 8 && offsetof(Chr_Meas_Rec, values) == 12 &&
              offsetof(Chr_Meas_Rec, crc) == 92);
static_assert(sizeof(Chr_HD_Rec) == 94 && offsetof(Chr_HD_Rec, start_time) == 3 &&
              offsetof(Chr_HD_Rec, end_time) == 6 && offsetof(Chr_HD_Rec, status) == 9 &&
              offsetof(Chr_HD_Rec, valid_count) == 10 && offsetof(Chr_HD_Rec, values) == 12 &&
              offsetof(Chr_HD_Rec, crc) == 92);
static_assert(sizeof(Clb_Rec) == 90 && offsetof(Clb_Rec, number) == 6 &&
              offsetof(Clb_Rec, result) == 7 && offsetof(Clb_Rec, values) == 8 &&
              offsetof(Clb_Rec, crc) == 88);
static_assert(sizeof(Wmt_Meas_Rec) == 29 && offsetof(Wmt_Meas_Rec, status) == 6 &&
              offsetof(Wmt_Meas_Rec, state) == 9 && offsetof(Wmt_Meas_Rec, values) == 11 &&
              offsetof(Wmt_Meas_Rec, crc) == 27);
static_assert(sizeof(Wmt_HD_Rec) == 28 && offsetof(Wmt_HD_Rec, status) == 9 &&
              offsetof(Wmt_HD_Rec, values) == 10 && offsetof(Wmt_HD_Rec, crc) == 26);

constexpr int CHR_VALUES = 20;   // values per chromatograph record
constexpr int WMT_VALUES = 4;    // values per moisture-meter record

// --- Whole records ---

// CRC-16 over all bytes (CRC included) is 0. Blocks longer than 65535 bytes are never valid.
bool Rec_Crc_Ok(const void *rec, size_t size);
template <class R> bool Rec_Valid(const R &r) { return Rec_Crc_Ok(&r, sizeof r); }

// Record r of a list held back to back; nullopt when it lies outside the buffer.
template <class R> std::optional<R> Rec_At(const QByteArray &recs, uint32_t r)
{
    const qint64 at = qint64(r) * qint64(sizeof(R));
    if (at + qint64(sizeof(R)) > recs.size()) return std::nullopt;
    R rec;
    std::memcpy(&rec, recs.constData() + at, sizeof rec);
    return rec;
}

// --- Values ---

// The f32 at p (4 bytes, little-endian).
float Float_At(const uint8_t *p);
// True when the 8 exponent bits are all ones: NaN or infinity (Is_Nan of the support routines).
bool Float_Bad(const uint8_t *p);

enum class Zone_Mark : char { None = ' ', Warning = '*', Alarm = '#' };

// Zone marks of a value's lowest byte: bit 1 alarm (wins), else bit 0 warning.
Zone_Mark Zone_Of(uint8_t low_byte);

struct Rec_Value {
    float value = 0;                   // zone bits cleared; 0 when bad
    Zone_Mark mark = Zone_Mark::None;
    bool bad = true;                   // NaN, infinity, or no such value
};

// A value with zone marks (measurement and calibration records).
Rec_Value Zoned_Value(const uint8_t *p);
// A value stored as it is (hourly and daily records, moisture meter).
Rec_Value Plain_Value(const uint8_t *p);

// Value i (0..19) of a record; bad for an index outside.
Rec_Value Chr_Meas_Value(const Chr_Meas_Rec &r, int i);
Rec_Value Chr_HD_Value(const Chr_HD_Rec &r, int i);
Rec_Value Clb_Value(const Clb_Rec &r, int i);
// Value k of a moisture record: 0 WDP, 1 HDP, 2 pressure, 3 WDP at absolute pressure.
Rec_Value Wmt_Meas_Value(const Wmt_Meas_Rec &r, int k);
Rec_Value Wmt_HD_Value(const Wmt_HD_Rec &r, int k);

// --- Status flags ---

// What a grid row shows in place of the values.
enum class Row_Show : uint8_t {
    Values,    // the values themselves
    Zero,      // every value " 0"
    Blank,     // every value blank
};

// Measurement record: bit 1 (controller off) zero; else bit 5 (no chromatograph link)
// blank; else bit 7 zero.
Row_Show Chr_Meas_Row(uint8_t ctrl_status);
// Hourly/daily record: bit 1 or bit 5 zero; otherwise values.
Row_Show Chr_HD_Row(uint8_t status);
// Mark of every value of an hourly/daily record: '"' for any non-zero status, else ' '.
char Chr_HD_Mark(uint8_t status);
bool Clb_Passed(const Clb_Rec &r);

enum class Wmt_Show : uint8_t {
    Values,
    Off,       // bit 1: the meter was switched off ("Выкл.")
    No_Link,   // momentary, bit 2: no link with the meter; values 0
    Zero,      // hourly/daily, bit 2: values shown as 0
};
Wmt_Show Wmt_Meas_Show(uint8_t status);
Wmt_Show Wmt_HD_Show(uint8_t status);

// End hour of an hourly or daily record: daily records keep a flag in bit 7.
int Hd_End_Hour(const uint8_t end_time[3], bool daily);
bool Hd_End_Flag(const uint8_t end_time[3]);
