#pragma once
// A whole configuration of the controller as one 4335-byte record, which is also the whole
// content of a ".cnf" file: the defaults of a new configuration, the scrambling of the
// flow-computer passwords inside the file, loading with its checks, and writing.
// Every table keeps its controller layout; texts keep their 1251 bytes.
#include "params/Access.h"
#include "params/Chr_Par.h"
#include "params/Floulist.h"

#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

constexpr int CNF_REC_SIZE = 4335;
constexpr uint8_t CNF_TYPE_CODE = 'I';
constexpr uint8_t CNF_VERSION = 16;
constexpr int CNF_FLOU_COUNT = 16;

#pragma pack(push, 1)
struct Cnf_Rec {
    uint8_t filled;              // 1: filled from the controller's tables
    uint8_t t0[18];              // identification; [1] type code, [3] software version
    uint8_t res19[10];
    Chr_Par t1[MAX_GAS_PARAMS];  // measured parameters
    uint8_t res1309[100];
    uint8_t t5[60];              // controller, line 1 and line 2 names, 20 bytes each
    uint8_t res1469[20];
    uint8_t t3[4];               // upper-level link
    uint8_t res1493[100];
    uint8_t t6[12];              // system parameters
    uint8_t res1605[100];
    uint8_t t14[16];             // chromatograph link; [14] number of measured parameters
    uint8_t res1721[46];
    uint8_t t15[8];              // moisture-meter link
    uint8_t res1775[50];
    Flou_Rec flou[CNF_FLOU_COUNT];   // tables 18, 17, 19, 20 and 13 per flow computer
    uint8_t res2145[200];
    uint8_t t21[20];             // write flags per parameter
    uint8_t res2365[100];
    uint8_t t22[80];             // insensitivity zone
    uint8_t res2545[100];
    uint8_t t23[80];             // lower warning set-point
    uint8_t res2725[100];
    uint8_t t24[80];             // upper warning set-point
    uint8_t res2905[100];
    uint8_t t25[80];             // lower limit for the flow computers
    uint8_t res3085[100];
    uint8_t t26[80];             // upper limit for the flow computers
    uint8_t res3265[100];
    uint8_t t28[2];              // averaging period
    uint8_t res3367[8];
    uint8_t t29[28];             // Ethernet
    uint8_t res3403[64];
    User_Rec users[USER_COUNT];  // table 4
    uint8_t res3819[100];
    uint8_t t9[6];               // flow-computer link; [0] number of flow computers
    uint8_t res3925[10];
    uint8_t t43[20];             // constants flags, line 1
    uint8_t t44[80];             // constant values, line 1
    uint8_t Line2_Const[100];    // the same pair for line 2; never sent to the controller
    uint8_t res4135[200];
};
#pragma pack(pop)

static_assert(sizeof(Cnf_Rec) == CNF_REC_SIZE);
static_assert(offsetof(Cnf_Rec, t0) == 1);
static_assert(offsetof(Cnf_Rec, t1) == 29);
static_assert(offsetof(Cnf_Rec, t5) == 1409);
static_assert(offsetof(Cnf_Rec, t3) == 1489);
static_assert(offsetof(Cnf_Rec, t6) == 1593);
static_assert(offsetof(Cnf_Rec, t14) == 1705);
static_assert(offsetof(Cnf_Rec, t15) == 1767);
static_assert(offsetof(Cnf_Rec, flou) == 1825);
static_assert(offsetof(Cnf_Rec, t21) == 2345);
static_assert(offsetof(Cnf_Rec, t22) == 2465);
static_assert(offsetof(Cnf_Rec, t23) == 2645);
static_assert(offsetof(Cnf_Rec, t24) == 2825);
static_assert(offsetof(Cnf_Rec, t25) == 3005);
static_assert(offsetof(Cnf_Rec, t26) == 3185);
static_assert(offsetof(Cnf_Rec, t28) == 3365);
static_assert(offsetof(Cnf_Rec, t29) == 3375);
static_assert(offsetof(Cnf_Rec, users) == 3467);
static_assert(offsetof(Cnf_Rec, t9) == 3919);
static_assert(offsetof(Cnf_Rec, t43) == 3935);
static_assert(offsetof(Cnf_Rec, t44) == 3955);
static_assert(offsetof(Cnf_Rec, Line2_Const) == 4035);

// Where table t lies in the record and how long it is there, for the tables copied as a
// whole between the record and the table image; -1 for any other table (13, 17..20 travel
// inside the flow-computer records, 2 and the read-only tables have no place).
int Cnf_Table_Offset(int t);

// The file name of the last configuration opened or proposed for saving.
extern QString Cnf_Name;

// The defaults of a new configuration.
void New_Cnf(Cnf_Rec &rec);

// The 16 password bytes of each flow-computer record: b -> (NOT b) + 5 in the file,
// b -> NOT (b - 5) back; the rest of the record is stored plain.
void Scramble_Cnf(Cnf_Rec &rec);
void Unscramble_Cnf(Cnf_Rec &rec);

// The controller name of a record: bytes 1409..1428, blanks around removed.
QString Cnf_Contr_Name(const Cnf_Rec &rec);

enum class Cnf_Load : uint8_t { Ok, Open_Failed, Bad_Size, Bad_Type, Bad_Version };
// Loads a file into the record and unscrambles the passwords. The record is left as it was
// unless the result is Ok; version is byte 4 of a file refused for its version.
Cnf_Load Load_Cnf_File(const QString &path, Cnf_Rec &rec, uint8_t *version = nullptr);
// Tells the user why a file was refused (nothing for Ok).
void Report_Cnf_Load(Cnf_Load r, const QString &path, uint8_t version);

enum class Cnf_Write : uint8_t { Ok, Open_Failed, Write_Failed };
// Writes the record with scrambled passwords, whole or not at all; the caller's record is
// not touched.
Cnf_Write Write_Cnf_File(const QString &path, const Cnf_Rec &rec);

// The name proposed for saving: CONFIG/qzt_VV-<controller name>-YYMMDDhhmm.cnf.
QString Cnf_Proposed_Name(const Cnf_Rec &rec, const QDateTime &now);
QString Cnf_Dir();
// Entry 1 of the main window's dialog filters: "Data Files (*.cnf)".
QString Cnf_Filter();

// The save sequence: the dialog (choose gets the name to show and gives the chosen one,
// nullopt on cancel), the extension and replace rules, the write and its message.
// True when the record was saved.
using Cnf_Chooser = std::function<std::optional<QString>(const QString &shown)>;
bool Save_Cnf_Run(const Cnf_Rec &rec, const QDateTime &now, const Cnf_Chooser &choose);
