#pragma once
// The window side of "Просмотр/Печать из файла": the open dialog (run through Run_Dialog, so
// tests answer it), the hourglass, the viewer of each kind and the nine menu commands.
#include "archives/Open_Files.h"

#include <functional>

class QFileDialog;
class QWidget;
class TFormMain;

class File_Dialog_Open_Ui : public Open_Ui {
public:
    explicit File_Dialog_Open_Ui(QWidget *parent) : Parent(parent) {}
    ~File_Dialog_Open_Ui() override;
    std::optional<QString> Choose_File(const Open_Dialog_Setup &s) override;
    void Busy(bool on) override;

private:
    QWidget *Parent;
    bool Cursor_Set = false;
};

// Title, directory, filter list with the kind's entry selected, empty name, existing
// files only.
void Setup_Open_Dialog(QFileDialog &d, const Open_Dialog_Setup &s);

// A viewer of a kind: shows the header and the records (message kinds: the text rows)
// modally over owner. Show_Arh_Meas_Chr, Show_Arhiv_Clb, Show_Ala_File fit as they are.
using File_Viewer = std::function<void(QWidget *owner, const Arhiv_Header &, const QByteArray &)>;

// Plugs in (or, with an empty function, removes) the viewer of a kind and returns the one it
// replaces. Once the commands are installed, the kind's menu item is enabled exactly while
// it has a viewer.
File_Viewer Set_File_Viewer(Arh_File_Kind kind, File_Viewer viewer);
bool Has_File_Viewer(Arh_File_Kind kind);

// The command of one kind with the window side; nothing happens while the kind has no viewer.
Open_Result Run_Open_File(TFormMain *main, Arh_File_Kind kind);

// Plugs in the viewers of the nine kinds where none is set yet and attaches the commands;
// a kind whose viewer is removed keeps its item disabled until Set_File_Viewer gives it one.
void Install_Open_File_Commands(TFormMain *main);
