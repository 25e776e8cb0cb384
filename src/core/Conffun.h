#pragma once
// Table access layer: the only road between the table image and the controller for table
// fields. Every request is checked against the table directory before anything is sent;
// progress and errors go to the caller's status panel; a failed exchange asks
// "Повторить попытку?" and repeats on yes. The exchange object is Exch_Box.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// {table, first field, field count}, as the controller takes it.
struct Tab_Req {
    uint8_t tab = 0;
    uint8_t first = 0;
    uint8_t count = 0;
};

// Sets the text of the caller's status panel 2 ("" clears it); may be empty.
using Tab_Status = std::function<void(const QString &)>;

constexpr int MAX_READ_BYTES = 245;    // field bytes in one read reply
constexpr int MAX_WRITE_BYTES = 229;   // field bytes in one write request
constexpr int WRITE_REQ_COST = 26;     // frame bytes of a write besides the field bytes

// Why a request cannot be sent (unknown table, table without fields, no fields asked,
// fields beyond the table, more than max_bytes field bytes), or empty when it can.
// max_bytes 0: no byte limit.
QString Check_Tab_Req(const Tab_Req &req, int max_bytes);

// Reads the fields into the table image. show clear: no status text and no question;
// a failure returns false silently.
bool Read_Table(const Tab_Req &req, const Tab_Status &status = {}, bool show = true);
// Writes the fields from the table image and checks the echoed header.
bool Write_Table(const Tab_Req &req, const Tab_Status &status = {}, bool show = true);

// The writes that carry the fields of req whose bytes in `now` differ from `old` (both
// point at the range's first field): one write of the changed span, or one per run of
// changed fields when the runs cost no more; each cut into whole-field pieces of at most
// MAX_WRITE_BYTES. Empty when nothing changed.
std::vector<Tab_Req> Changed_Field_Writes(const Tab_Req &req, int field_size, const uint8_t *now,
                                          const uint8_t *old);
// Writes only the fields of req that differ from the caller's copy of the range taken
// before editing (old_len must cover the range). True when all were written or nothing
// had changed.
bool Write_Changed_Fields(const Tab_Req &req, const uint8_t *old, int old_len, const Tab_Status &status = {});
