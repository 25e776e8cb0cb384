#include "core/Tables.h"

#include <array>

namespace {
struct Cat { uint8_t count, size, cfg; };

// Counts, sizes and configuration flags by table number.
constexpr std::array<Cat, TAB_COUNT> kCatalogue = {{
    {18, 1, 0},  {20, 64, 1}, {8, 1, 1},   {4, 1, 1},   {16, 22, 1}, // 0..4
    {3, 20, 1},  {12, 1, 1},  {45, 1, 0},  {0, 0, 0},   {6, 1, 1},   // 5..9
    {2, 4, 0},   {2, 4, 0},   {2, 4, 0},   {16, 16, 1}, {16, 1, 1},  // 10..14
    {8, 1, 1},   {18, 1, 0},  {16, 1, 1},  {16, 1, 1},  {16, 1, 1},  // 15..19
    {16, 1, 1},  {20, 1, 1},  {20, 4, 1},  {20, 4, 1},  {20, 4, 1},  // 20..24
    {20, 4, 1},  {20, 4, 1},  {3, 6, 0},   {2, 1, 1},   {7, 4, 1},   // 25..29
    {22, 4, 0},  {0, 0, 0},   {20, 1, 0},  {2, 1, 0},   {16, 1, 0},  // 30..34
    {16, 1, 0},  {0, 0, 0},   {7, 4, 0},   {0, 0, 0},   {0, 0, 0},   // 35..39
    {1, 6, 0},   {1, 4, 0},   {6, 1, 0},   {20, 1, 1},  {20, 4, 1},  // 40..44
}};

constexpr int total_length()
{
    int n = 0;
    for (const auto &c : kCatalogue) n += c.count * c.size;
    return n;
}
static_assert(total_length() == CONTR_TABLES_SIZE, "table lengths must add up to the image size");
static_assert(sizeof(Tab_Descr) == 5 + sizeof(void *), "Tab_Descr is packed");

constexpr int offset_of(int t)
{
    int n = 0;
    for (int i = 0; i < t; ++i) n += kCatalogue[i].count * kCatalogue[i].size;
    return n;
}
static_assert(offset_of(44) + 20 * 4 == CONTR_TABLES_SIZE, "table 44 ends the image");
static_assert(offset_of(1) == 18 && offset_of(13) == 1809 && offset_of(29) == 2611 && offset_of(44) == 2845,
              "catalogue offsets");

constexpr int cfg_count()
{
    int n = 0;
    for (const auto &c : kCatalogue) n += c.cfg;
    return n;
}
static_assert(cfg_count() == 24, "24 configuration tables");

Tab_Descr make_descr(int t)
{
    return Tab_Descr{kCatalogue[t].count, kCatalogue[t].size, kCatalogue[t].cfg, 0, nullptr};
}

std::array<Tab_Descr, TAB_COUNT> make_dir()
{
    std::array<Tab_Descr, TAB_COUNT> d{};
    for (int t = 0; t < TAB_COUNT; ++t) d[t] = make_descr(t);
    return d;
}

// Static initialisation allocates the image before any form exists.
struct Tables_Init {
    Tables_Init() { Init_Tables(); }
};
} // namespace

uint8_t *Contr_Tables = nullptr;
Tab_Descr Tab_Dir[TAB_COUNT];

void Init_Tables()
{
    if (!Contr_Tables) Contr_Tables = new uint8_t[CONTR_TABLES_SIZE]();
    const auto d = make_dir();
    for (int t = 0; t < TAB_COUNT; ++t) {
        Tab_Dir[t] = d[t];
        if (d[t].field_count) Tab_Dir[t].data = Contr_Tables + offset_of(t);
    }
}

void Free_Tables()
{
    for (auto &d : Tab_Dir) d.data = nullptr;
    delete[] Contr_Tables;
    Contr_Tables = nullptr;
}

int Tab_Offset(int t)
{
    if (t < 0 || t >= TAB_COUNT) return -1;
    return offset_of(t);
}

int Tab_Length(int t)
{
    if (t < 0 || t >= TAB_COUNT) return 0;
    return kCatalogue[t].count * kCatalogue[t].size;
}

uint8_t *Tab_Field(int t, int k)
{
    if (t < 0 || t >= TAB_COUNT || !Tab_Dir[t].data) return nullptr;
    if (k < 0 || k >= Tab_Dir[t].field_count) return nullptr;
    return Tab_Dir[t].data + k * Tab_Dir[t].field_size;
}

int Cfg_Table_Count() { return cfg_count(); }

static Tables_Init tables_init;
