#pragma once
// Moving a whole configuration: every configuration table read from the controller into the
// table image, the tables flagged in a table-state block written to it, and the copies
// between the image and a configuration record (checked on the way in).
#include "core/Conffun.h"

#include <QString>
#include <cstdint>
#include <functional>

struct Cnf_Rec;
struct Tab_State_Block;

// Set while the link serves a controller that only takes a configuration restore: the
// program then keeps its own address and rate when table 3 is written.
extern bool Config_Only;

// Where the reader and the writer show what they do.
struct Cnf_Exch_Ui {
    Tab_Status status;                                  // status panel 2 (table layer texts)
    std::function<void(const QString &)> contr_name;    // status panel 1: the controller name
    std::function<void(int)> progress_max;
    std::function<void(int)> progress_pos;
    std::function<void()> link_changed;                 // the link description must be redrawn
    // The pause at the end, which serves no window events; null: a real wait.
    std::function<void(int ms)> pause;
};

constexpr int CNF_END_PAUSE_MS = 500;

// Fields per exchange of a table in whole-table reads and writes.
int Cnf_Read_Chunk(int t);
int Cnf_Write_Chunk(int t);

// Every configuration table except 13 (the flow-computer passwords cannot be read back)
// into the image, in number order, names turned to 1251 when the controller keeps 866.
// False at the first table that failed (the user declined to retry).
bool Read_Config(const Cnf_Exch_Ui &ui);

// Writes the tables whose write flag is set in the block: first table 9, then 17..20 and 13
// (as many fields as there are flow computers), each flag cleared once written; then every
// other flagged table in number order. False at the first table that failed.
bool Write_Config(Tab_State_Block &block, const Cnf_Exch_Ui &ui);

// Checks the record and copies it into the image (the user table only with check_users,
// after its checks); a broken rule is shown (kind 2) and gives false, with the tables
// copied before it left in the image. The record's user entries are tidied on the way.
bool Apply_Config(Cnf_Rec &rec, bool check_users);

// The image into the record (filled flag set, flow-computer passwords blank).
void Fill_Config(Cnf_Rec &rec);
