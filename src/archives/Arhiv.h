#pragma once
// The 905-byte head of every archive and message list, in memory and in files, and
// the nine kinds of saved files: extensions, signatures, directories, default names.
#include "core/Dtfun.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>

static_assert(std::endian::native == std::endian::little,
              "headers and records are stored little-endian and read as they lie");

constexpr int ARH_PAR_MAX = 20;          // gas parameters a list can carry
constexpr int ARHIV_HEADER_SIZE = 905;
constexpr int PARAM_DESCR_SIZE = 41;
constexpr uint8_t ARH_CONTR_TYPE = 16;   // controller model written into every header
constexpr uint8_t ARH_CHROM_CODE = 8;    // the one chromatograph model a saved file may name

#pragma pack(push, 1)
// One gas parameter of a list. Archive readers fill symbol, unit and decimals;
// the passport gathering fills name, type, unit, decimals and modbus_reg.
struct Param_Descr {
    char name[26];
    char symbol[10];       // no terminator when all 10 are used
    uint8_t type;
    uint8_t unit;          // index into the gas units text table
    uint8_t decimals;
    uint16_t modbus_reg;
};

// Created zero-filled, then filled; bytes a kind does not use stay 0.
struct Arhiv_Header {
    char magic[3];         // "MSA", "HOU", "DAY", "CLB", "ALA", "AUD", no terminator
    uint8_t device;        // 0 chromatograph and messages; moisture meter: low nibble 1
    char contr_name[20];   // table 5 field 0 as held in the table image
    char line_name[20];    // table 5 field 1 for the lists that name a line, else zero
    uint8_t contr_adr;
    uint8_t contr_type;    // 16
    uint8_t chrom_code;    // table 14 field 6
    uint8_t wmt_type;      // table 15 field 6
    uint8_t reserved1[4];
    uint8_t par_count;     // table 14 field 14, at most 20
    Param_Descr pars[ARH_PAR_MAX];
    Date6 made;            // PC clock at composing
    Date6 period_start;    // Date6, or Date4/Date3 padded with zero bytes (by kind)
    Date6 period_end;
    uint32_t rec_count;
    uint8_t chrom_mac[6];  // table 40 field 0
    uint8_t reserved2[4];
};
#pragma pack(pop)

static_assert(sizeof(Param_Descr) == PARAM_DESCR_SIZE);
static_assert(offsetof(Param_Descr, symbol) == 26 && offsetof(Param_Descr, type) == 36 &&
              offsetof(Param_Descr, unit) == 37 && offsetof(Param_Descr, decimals) == 38 &&
              offsetof(Param_Descr, modbus_reg) == 39);
static_assert(sizeof(Arhiv_Header) == ARHIV_HEADER_SIZE);
static_assert(offsetof(Arhiv_Header, device) == 3 && offsetof(Arhiv_Header, contr_name) == 4 &&
              offsetof(Arhiv_Header, line_name) == 24 && offsetof(Arhiv_Header, contr_adr) == 44 &&
              offsetof(Arhiv_Header, contr_type) == 45 && offsetof(Arhiv_Header, chrom_code) == 46 &&
              offsetof(Arhiv_Header, wmt_type) == 47 && offsetof(Arhiv_Header, reserved1) == 48 &&
              offsetof(Arhiv_Header, par_count) == 52 && offsetof(Arhiv_Header, pars) == 53 &&
              offsetof(Arhiv_Header, made) == 873 && offsetof(Arhiv_Header, period_start) == 879 &&
              offsetof(Arhiv_Header, period_end) == 885 && offsetof(Arhiv_Header, rec_count) == 891 &&
              offsetof(Arhiv_Header, chrom_mac) == 895 && offsetof(Arhiv_Header, reserved2) == 901);

enum class Arh_File_Kind : uint8_t {
    Chr_Meas,   // .mch
    Chr_Hour,   // .hch
    Chr_Day,    // .dch
    Clb,        // .clb
    Wmt_Meas,   // .mwm
    Wmt_Hour,   // .hwm
    Wmt_Day,    // .dwm
    Ala,        // .ala
    Aud,        // .aud
};
constexpr int ARH_KIND_COUNT = 9;

// How a period field is stored: whole Date6, Date4 + 2 zero bytes, Date3 + 3 zero bytes.
enum class Arh_Period_Form : uint8_t { Date6, Date4, Date3 };

struct Arh_Kind_Info {
    Arh_File_Kind kind;
    const char *ext;           // with the dot: ".mch"
    const char *magic;         // three letters
    uint8_t device;            // device byte a reader writes by default
    int8_t device_nibble;      // low nibble an opened file must carry; -1 = not tested
    const char *dir;           // directory name under the program directory
    uint32_t rec_size;         // bytes of one record (message files: one text row)
    bool line_name;            // the header carries the line-1 name
    bool name_has_line;        // the default file name carries the trimmed line name
    char name_sep;             // separator after the model number in the default name
    Arh_Period_Form period;
    const char *work_file;     // working file of a read, in the program directory
    int open_filter_index;     // 1-based entry in the main window's open filter list
    const char *refusal;       // second line when an opened file is not of this kind
};

const Arh_Kind_Info &Arh_Info(Arh_File_Kind kind);
// Kind of the i-th entry (0..8); false outside.
bool Arh_Kind_From_Index(int i, Arh_File_Kind *kind);

// Work_Dir() + the kind's directory, no trailing separator.
QString Arh_Dir(Arh_File_Kind kind);
// "DataFiles (*.mch)|*.mch" as the settings of the save dialog keep it.
QString Arh_Filter_Pipe(Arh_File_Kind kind);
// The same filter as a file dialog takes it: "DataFiles (*.mch)".
QString Arh_Filter(Arh_File_Kind kind);
// The main window's open dialog filters in their order (13 entries, file dialog form);
// a kind's entry is at Arh_Info(kind).open_filter_index - 1.
QStringList Arh_Open_Filters();

// Default save name "<dir>/qzt16_005_Line_260412.mch" from the header's address and
// line name and the PC date. Characters a file name cannot hold become '_'.
QString Arh_Default_Name(Arh_File_Kind kind, const QString &dir, const Arhiv_Header &h,
                         const QDate &today);
QString Arh_Default_Name(Arh_File_Kind kind, const Arhiv_Header &h, const QDate &today);

// What a reader knows besides the table image.
struct Arh_Header_Args {
    std::optional<uint8_t> device;   // request device byte; default: the kind's
    uint8_t contr_adr = 0;           // the exchange object's address
    Date6 made{};                    // PC clock now
    Date6 period_start{};            // as requested; cut to the kind's date form here
    Date6 period_end{};
    uint32_t rec_count = 0;
};

// Composes a header from the table image (names of table 5, chromatograph code and
// parameter count of table 14, meter type of table 15, parameter records of table 1,
// MAC of table 40). A parameter count above 20 in the image is cut to 20.
Arhiv_Header Build_Arhiv_Header(Arh_File_Kind kind, const Arh_Header_Args &a);

// Why an opened file is refused.
enum class Arh_Check : uint8_t {
    Ok,
    Too_Short,       // shorter than the header
    Bad_Magic,
    Bad_Model,       // contr_type is not 16
    Bad_Chrom,       // chrom_code is not 8
    Bad_Device,      // device low nibble is not the kind's
    Bad_Par_Count,   // more than 20 parameters
    Too_Many,        // rec_count records would pass the limit of an opened file
};

Arh_Check Check_Arhiv_Header(Arh_File_Kind kind, const Arhiv_Header &h);

// Text of a fixed field up to its first zero byte (names, symbols: code page 1251).
QString Arh_Field_Text(const char *field, int len);
// Symbol of parameter i (empty for i outside 0..19).
QString Param_Symbol(const Arhiv_Header &h, int i);
// Decimals of parameter i as shown: at most 7, as the parameter dialog allows.
int Param_Decimals(const Arhiv_Header &h, int i);
// Parameters a viewer may show: par_count, never above 20.
int Arh_Par_Count(const Arhiv_Header &h);
