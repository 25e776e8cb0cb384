#pragma once
// The table-state check at connect: when the controller reports destroyed configuration
// tables (or only takes a configuration restore) the states are shown and, by the user's
// choice, the selected tables are restored from a configuration file, the user table and
// the clock written, or the link closed.
class TFormMain;
struct Cnf_Rec;
struct Tab_State_Block;

// What the connect sequence runs for the check: leaves Connected at 1 (the sequence goes on
// with its reads) or sets it to 0. A restore ends with a word either way: "Команда
// выполнена" when every selected table was written, "Запись таблиц не выполнена" otherwise.
void Table_States_Restore(TFormMain *m);

// The record edited in the configuration editor and put into the image (the tables other
// than 2 and 4 selected), or the user table edited and the clock checked. False: nothing is
// to be written.
bool Restore_Config(TFormMain *m, Cnf_Rec &rec, Tab_State_Block &b);
// The record's user table edited and copied into the image.
bool Restore_Access(TFormMain *m, Cnf_Rec &rec);
// The clock can be set only with sound system parameters, read from the controller first.
bool Can_Set_Time(TFormMain *m, const Tab_State_Block &b);
// Writes the user table, the clock (unless the user declines the PC's time) and then every
// other selected table.
bool Restore_Users(TFormMain *m, Tab_State_Block &b);
// Table 4 of the image in two requests, with a blank write password and code (a destroyed
// user table knows nobody); the login pair is put back afterwards.
bool Write_User_Table(TFormMain *m);

// Makes the connect sequence use the check above.
void Install_Restore(TFormMain *m);
