#pragma once
// The controller's 45 parameter tables as one 2925-byte image, and the directory
// that tells each table's field count, field size, configuration flag and place.
#include <cstddef>
#include <cstdint>

constexpr int TAB_COUNT = 45;
constexpr int CONTR_TABLES_SIZE = 2925;

#pragma pack(push, 1)
struct Tab_Descr {
    uint8_t field_count;   // 0 for a number without a table
    uint8_t field_size;    // bytes per field
    uint8_t cfg_flag;      // 1: part of a whole configuration
    uint16_t reserved;     // always 0
    uint8_t *data;         // first byte inside Contr_Tables, null for tables without fields
};
#pragma pack(pop)

extern uint8_t *Contr_Tables;
extern Tab_Descr Tab_Dir[TAB_COUNT];

// Allocates the image (once) and points every descriptor that has fields into it.
void Init_Tables();
// Frees the image and forgets the pointers (main window close).
void Free_Tables();

// Offset of table t inside the image, or -1 for a number outside 0..44.
int Tab_Offset(int t);
// Bytes of table t (field_count * field_size), 0 for a number outside 0..44.
int Tab_Length(int t);
// Field k of table t, or null when t or k is out of range or the image is not allocated.
uint8_t *Tab_Field(int t, int k);
// Number of configuration tables (cfg_flag == 1).
int Cfg_Table_Count();
