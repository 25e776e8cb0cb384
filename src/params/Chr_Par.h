#pragma once
// Table 1 of the controller: the gas parameters it reads from the chromatograph, one 64-byte
// record each, and the things every form needs to show them: the count in use (table 14
// field 14), the record texts, the types with the units they allow, and the fixed-point
// value texts.
#include <QString>
#include <QStringList>
#include <bit>
#include <cstddef>
#include <cstdint>

constexpr int MAX_GAS_PARAMS = 20;      // records in table 1
constexpr int CHR_PAR_NAME_LEN = 40;
constexpr int CHR_PAR_NAME_SHOWN = 25;  // what the parameter dialog shows of the name
constexpr int CHR_PAR_SYMBOL_LEN = 10;
constexpr int CHR_PAR_TYPES = 9;        // types 0..8
constexpr int CHR_PAR_MAX_DECIMALS = 7;

static_assert(std::endian::native == std::endian::little, "records are kept as the controller sends them");

#pragma pack(push, 1)
struct Chr_Par {
    char name[CHR_PAR_NAME_LEN];      // zero-padded
    char symbol[CHR_PAR_SYMBOL_LEN];  // zero-padded, no terminator when all 10 are used
    uint8_t unit;                     // index into Gas_Units
    float min;                        // lower end of the measuring range
    float max;                        // upper end
    uint16_t reg;                     // MODBUS register of the current value
    uint8_t decimals;                 // digits after the point wherever the value is shown
    uint8_t type;                     // 0..8
    uint8_t reserved;                 // kept as it is
};

// What the chromatograph link form hands to the parameter list.
struct Chr_Par_List {
    uint8_t count;
    Chr_Par par[MAX_GAS_PARAMS];
};
#pragma pack(pop)

static_assert(sizeof(Chr_Par) == 64);
static_assert(offsetof(Chr_Par, symbol) == 40);
static_assert(offsetof(Chr_Par, unit) == 50);
static_assert(offsetof(Chr_Par, min) == 51);
static_assert(offsetof(Chr_Par, max) == 55);
static_assert(offsetof(Chr_Par, reg) == 59);
static_assert(offsetof(Chr_Par, decimals) == 61);
static_assert(offsetof(Chr_Par, type) == 62);
static_assert(offsetof(Chr_Par, reserved) == 63);
static_assert(sizeof(Chr_Par_List) == 1281);

// A parameter count from the controller or a file, as a number of records: at most 20.
int Limit_Gas_Count(int n);
// N: table 14 field 14 of the image, at most 20 (0 when the image is not there).
int Gas_Par_Count();
// Record i of table 1 in the image, or null when i is outside 0..19 or there is no image.
const Chr_Par *Image_Chr_Par(int i);

// Texts of a record (code page 1251; a field ends at its first zero byte).
QString Chr_Par_Name(const Chr_Par &p);
// The name as stored, trailing blanks included: what the set-point and constant forms and
// the message texts quote.
QString Chr_Par_Stored_Name(const Chr_Par &p);
QString Chr_Par_Symbol(const Chr_Par &p);
// The record's decimals as shown: at most 7.
int Chr_Par_Decimals(const Chr_Par &p);
// Unit text of the record; "?" for an index outside the unit table.
QString Chr_Par_Unit_Text(const Chr_Par &p);

// The texts of the "Тип данных" list, types 0..8.
QStringList Chr_Type_Names();
// Units a type offers, as stored unit indexes in list order; empty for a type above 8.
QList<int> Chr_Type_Units(int type);
// Position of a stored unit in its type's list, or -1 when the type does not offer it.
int Chr_Unit_Position(int type, int unit);

// Fixed-point text of a value with the given decimals after rounding to `precision`
// significant digits; values too large for that many digits come in exponent form.
QString Fixed_Str(double v, int precision, int decimals);
