#pragma once
// The connect-and-identify sequence run by the main window's start timer: choose and open
// the link, dial, identify the controller, fix its address, check the configuration tables,
// read what the rest of the program needs, and show the menus that fit.
#include <functional>

class TFormMain;

void Connect_Sequence(TFormMain *main);
// Dials the chosen telephone subscriber, asking whether to retry after a failure.
bool Modem_Connect(TFormMain *main);
// Post-connect reads: names, system parameters, chromatograph link, gas parameters, MAC,
// moisture-meter link.
bool Read_Init_Tables(TFormMain *main);
// Writes the PC's time into the controller clock after the user confirms. False when the
// clock was not written; *declined (when given) tells whether the user said "Нет".
bool Set_Contr_Time(TFormMain *main, bool *declined = nullptr);
// Destroyed configuration tables or a configuration-only controller: leaves Connected at 1
// (the sequence goes on) or sets it to 0.
void Check_Table_States(TFormMain *main);
// The restore from a configuration file, set by the parameters part (which the core
// forms do not include).
extern std::function<void(TFormMain *)> Table_State_Check;

// Installs the sequence, the login command and the hang-up into the main window.
void Install_Connect(TFormMain *main);
