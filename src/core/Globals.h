#pragma once
// Program-wide state shared by every subsystem.
#include <QString>
#include <QStringList>

class hgcbox;

extern hgcbox *Exch_Box;   // the one exchange object
extern bool Connected;     // the link is up
extern bool Exch_Run;      // an archive or message read is running
extern bool Exch_Abort;    // the user pressed Esc during it

// The program directory with a trailing separator; QZT_WORK_DIR overrides it.
QString Work_Dir();
// Sets the program directory (start-up: from the program path; tests).
void Set_Work_Dir(const QString &dir);

// The filters of the main window's open and save dialogs in their order, as a file dialog
// takes them; entry 1 (the first) is that of configuration files.
QStringList File_Dialog_Filters();
