#pragma once
// The controller's own link tables: upper level (3), flow computers (9), chromatograph (14),
// moisture meter (15), Ethernet (29) and the MAC address (40); what the program does with its
// own link after table 3 has been written.
#include <QString>
#include <cstdint>

class hgcbox;
struct Conn_Settings_Rec;

constexpr int VU_FIELDS = 4;      // table 3
constexpr int VICH_FIELDS = 6;    // table 9
constexpr int HGC_FIELDS = 16;    // table 14
constexpr int WMT_FIELDS = 8;     // table 15
constexpr int ETH_FIELDS = 7;     // table 29, 4 bytes each
constexpr int ETH_LEN = 28;
constexpr int MAC_LEN = 6;        // table 40, one field
constexpr int CONN_VICH_MAX = 16;      // flow computers
constexpr uint8_t HGC_TYPE_CODE = 8;

// "0A:1B:2C:3D:4E:5F": the six bytes in stored order.
QString Mac_Text(const uint8_t *b);

// Whether the upper-level rate may be edited: always in a configuration; on the controller
// only over the direct line and when the controller can work at different rates
// (table 0 field 11).
bool Upper_Rate_Enabled(uint8_t dev_write, uint8_t conn_prz, uint8_t multi_rate);

// After a successful write of table 3 (address adr, rate index rate_idx): the exchange object
// and the active link's settings take the new address and, on the direct line only, the new
// rate (an address outside 1..254 or a rate index outside the rate table changes nothing).
void Upper_Link_Take(hgcbox &box, Conn_Settings_Rec &s, uint8_t adr, uint8_t rate_idx);
