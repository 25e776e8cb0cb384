#pragma once
// The gas flow computers the controller writes gas quality to: one 20-byte record each,
// spread over tables 18 (address), 17 (type), 19 (pipeline mask), 20 (byte order) and
// 13 (write password). Table 9 field 0 says how many are in use.
#include <QString>
#include <cstddef>
#include <cstdint>

constexpr int MAX_FLOU = 16;
constexpr int FLOU_PASS_LEN = 16;
constexpr int FLOU_SOU_PASS_LEN = 12;   // "SOU": write password, then a 4-character code
constexpr int FLOU_SOU_CODE_LEN = 4;
constexpr int FLOU_TYPE_COUNT = 4;
constexpr int FLOU_ORDER_COUNT = 2;
constexpr int FLOU_PIPES = 3;

constexpr int FLOU_COUNT_TABLE = 9;
constexpr int FLOU_PASS_TABLE = 13;
constexpr int FLOU_TYPE_TABLE = 17;
constexpr int FLOU_ADR_TABLE = 18;
constexpr int FLOU_MASK_TABLE = 19;
constexpr int FLOU_ORDER_TABLE = 20;

#pragma pack(push, 1)
struct Flou_Rec {
    uint8_t adr;    // 1..254
    uint8_t type;   // 0..3
    uint8_t mask;   // bit n: write for pipeline n + 1; bit n + 4: from chromatograph line 2
    uint8_t order;  // 0..1
    char pass[FLOU_PASS_LEN];
};
#pragma pack(pop)
static_assert(sizeof(Flou_Rec) == 20);
static_assert(offsetof(Flou_Rec, pass) == 4);

// A flow-computer count from the controller or a file: 0..16.
int Limit_Flou_Count(int n);
// F: table 9 field 0 of the image, at most 16 (0 without an image).
int Flou_Count();
// Records 0..count-1 from tables 18, 17, 19, 20 of the image; passwords are blanks (the
// controller never gives them out). Records from count on are zeroed.
void Flou_From_Image(Flou_Rec *recs, int count);
// Records 0..count-1 back into tables 18, 17, 19, 20 and 13 of the image.
void Flou_To_Image(const Flou_Rec *recs, int count);

// Pipelines a type has: 1 for type 1, 3 for the others.
int Flou_Pipes(int type);

// Grid cells of a record.
QString Flou_Adr_Text(const Flou_Rec &r);
QString Flou_Type_Text(const Flou_Rec &r);
QString Flou_Order_Text(const Flou_Rec &r);
QString Flou_Mask_Text(const Flou_Rec &r);

// The list's accept rules over count records; empty line1 when they pass.
struct Flou_Refusal {
    QString line1, line2;
    bool Ok() const { return line1.isEmpty(); }
};
Flou_Refusal Check_Flou_List(const Flou_Rec *recs, int count);
