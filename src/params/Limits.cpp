#include "params/Limits.h"

namespace {
constexpr int ROWS_USED = 16;   // rows 16..19 stay zero in every kind

struct Row_Src {
    float zone_max, zone_def;
    float min, max;
    float def[4];   // kinds 1..4
};

constexpr Row_Src kRows[ROWS_USED] = {
    {10, 0.05f, 0, 18, {0.2f, 12, 0, 18}},                      // nitrogen
    {50, 5, 40, 100, {95, 100, 90, 100}},                       // methane
    {10, 0.05f, 0, 12, {0.01f, 8, 0, 12}},                      // carbon dioxide
    {0.5f, 0.05f, 0, 12, {0.1f, 10, 0.01f, 12}},                // ethane
    {0.5f, 0.05f, 0, 6, {0.05f, 6, 0.01f, 6}},                  // propane
    {0.1f, 0.01f, 0, 1.2f, {0.002f, 1.2f, 0.001f, 1.2f}},       // i-butane
    {0.1f, 0.01f, 0, 1.2f, {0.002f, 1.2f, 0.001f, 1.2f}},       // n-butane
    {0.1f, 0.01f, 0, 1.2f, {0.0002f, 1.2f, 0.0001f, 1.2f}},     // neo-pentane
    {0.1f, 0.01f, 0, 1.2f, {0.0002f, 1.2f, 0.0001f, 1.2f}},     // i-pentane
    {0.1f, 0.01f, 0, 1.2f, {0.0002f, 1.2f, 0.0001f, 1.2f}},     // n-pentane
    {0.1f, 0.01f, 0, 0.6f, {0.002f, 0.6f, 0.001f, 0.6f}},       // hexanes and heavier
    {50, 5, 35, 45, {36, 45, 35, 45}},                          // higher heating value
    {0.001f, 0.0001f, 0.66f, 1.05f, {0.67f, 1.0f, 0.66f, 1.05f}},   // absolute density
    {50, 5, 40, 55, {45, 55, 40, 55}},                          // Wobbe index
    {0.01f, 0.001f, 0.997f, 1.0f, {0.998f, 0.999f, 0.997f, 1.0f}},  // compressibility factor
    {0.1f, 0.01f, 97, 103, {98, 103, 97, 103}},                 // sum of molar fractions
};

// Digits after the point by kind 1..4.
constexpr uint8_t kDecimals[4][ROWS_USED] = {
    {3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 3, 0, 3, 0, 4, 1},
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 3, 0, 4, 0},
    {3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 3, 0, 3, 0, 4, 1},
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 3, 0, 4, 1},
};

struct Ranges {
    Limit_Range r[LIMIT_KINDS][MAX_GAS_PARAMS] = {};
    constexpr Ranges()
    {
        for (int i = 0; i < ROWS_USED; ++i) {
            const Row_Src &s = kRows[i];
            r[0][i] = {0.0001f, s.zone_max, s.zone_def, 4};
            for (int k = 1; k < LIMIT_KINDS; ++k) r[k][i] = {s.min, s.max, s.def[k - 1], kDecimals[k - 1][i]};
        }
    }
};
constexpr Ranges kRanges;
} // namespace

const Limit_Range (&Limit_Ranges)[LIMIT_KINDS][MAX_GAS_PARAMS] = kRanges.r;

int Limit_Table(int kind)
{
    return kind >= 0 && kind < LIMIT_KINDS ? LIMIT_FIRST_TABLE + kind : -1;
}

QString Limit_Caption(int kind)
{
    switch (kind) {
    case 0: return QStringLiteral("Параметры газа. Зона нечувствительности изменений");
    case 1: return QStringLiteral("Нижняя предупредительная уставка параметра газа");
    case 2: return QStringLiteral("Верхняя предупредительная уставка параметра газа");
    case 3: return QStringLiteral("Нижний предел знач. парам. газа, допускаемого к записи в ВРГ");
    case 4: return QStringLiteral("Верхний предел знач. парам. газа, допускаемого к записи в ВРГ");
    default: return QString();
    }
}

const Limit_Range *Limit_Row(int kind, int row)
{
    if (kind < 0 || kind >= LIMIT_KINDS || row < 0 || row >= MAX_GAS_PARAMS) return nullptr;
    return &Limit_Ranges[kind][row];
}

QString Limit_Value_Text(int kind, int row, double v)
{
    const Limit_Range *r = Limit_Row(kind, row);
    return Fixed_Str(v, 10, r ? r->decimals : 0);
}

QString Limit_Range_Text(int kind, int row)
{
    const Limit_Range *r = Limit_Row(kind, row);
    if (!r) return QString();
    return QStringLiteral(" %1 - %2").arg(Limit_Value_Text(kind, row, r->min), Limit_Value_Text(kind, row, r->max));
}

bool Limit_Accepts(int kind, int row, float v)
{
    const Limit_Range *r = Limit_Row(kind, row);
    if (!r) return false;
    const float lo = float(double(r->min) - 0.00001);
    const float hi = float(double(r->max) + 0.00001);
    return lo <= v && v <= hi;   // false for NaN
}
