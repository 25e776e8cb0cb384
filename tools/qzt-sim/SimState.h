#pragma once
// The simulated controller's running state: the abnormal-situation flags (table 16), the
// momentary data of the chromatograph (30, zones 32, clock 42) and the moisture meter (37),
// the link states (33, and per flow computer 34 and 35), and the reset of the non-volatile
// data (function 25).
//
// The reset checks the password and identification code against the registered users of
// table 4, then does what a controller does after one: every configuration table but the
// link and user tables is cleared and reported destroyed (table 7, table 0 field 0), and the
// upper-level link goes back to address 1 at 9600 baud (table 3). The core keeps answering at
// its old address until Follow_Reset moves it (a controller restarts; the program has closed
// the link by then).
#include "Sim.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <cstdint>

namespace Sim_State {

// Answers function 25 from now on.
void Install(Sim_Core &sim);
// Function 25 on a frame and an image (what Install puts in the core).
Sim_Answer Reset_NV(const QByteArray &frame, QByteArray &image);
// The core answers at the address of table 3 field 0 (after a reset: 1).
void Follow_Reset(Sim_Core &sim);

// Table 16: flags changed at `when`; fields 6..10; the two words at fields 12..13 and 16..17
// as the controller keeps them (first byte first).
struct Situations {
    QDateTime when;
    uint8_t vich = 0;        // exchange with the flow computers
    uint8_t chrom_err = 0;   // chromatograph polling error code
    uint8_t wmt_err = 0;     // moisture-meter polling error code
    uint8_t diag = 0;        // self-diagnostics
    uint8_t line1 = 0;       // monitored quantities, line 1
    uint8_t word1[2] = {0, 0};
    uint8_t word2[2] = {0, 0};
};
void Set_Situations(Sim_Core &sim, const Situations &s);

// Table 33: links with the chromatograph and the moisture meter.
void Set_Links(Sim_Core &sim, uint8_t chrom, uint8_t wmt);
// Tables 34 and 35 for the first flow computers (the rest 0).
void Set_Vich_State(Sim_Core &sim, const QList<uint8_t> &link, const QList<uint8_t> &writing);
// Table 30 (poll time and up to 20 values) and table 32 (zones); the chromatograph clock of
// table 42 follows the poll time.
void Set_Chrom_Mom(Sim_Core &sim, const QDateTime &polled, const QList<float> &values,
                   const QList<uint8_t> &zones);
// Table 37: time and up to 5 values.
void Set_Wmt_Mom(Sim_Core &sim, const QDateTime &at, const QList<float> &values);
// A stored float with exactly these bytes (NaN patterns for tests).
void Set_Raw_Value(Sim_Core &sim, int table, int field, uint32_t bits);

}  // namespace Sim_State
