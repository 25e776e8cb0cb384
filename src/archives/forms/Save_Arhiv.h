#pragma once
// The window side of "Сохранить в файле" of every archive and message viewer: the save
// dialog (run through Run_Dialog, so tests answer it) and the hourglass while writing.
#include "archives/Arhiv_File.h"

class QFileDialog;
class QWidget;

class File_Dialog_Save_Ui : public Save_Ui {
public:
    explicit File_Dialog_Save_Ui(QWidget *parent) : Parent(parent) {}
    std::optional<QString> Choose_Name(const Save_Dialog_Setup &s) override;
    void Busy(bool on) override;

private:
    QWidget *Parent;
    bool Cursor_Set = false;
};

// Sets up a save dialog: title, directory, filter, proposed name; the dialog asks nothing
// before a file is replaced (the saves ask their own question).
void Setup_Save_Dialog(QFileDialog &d, const Save_Dialog_Setup &s);

// Saves header and records with the save dialog parented to the viewer, dated today.
Arh_Save Save_Archive_File(QWidget *parent, Arh_File_Kind kind, const Arhiv_Header &h,
                           const QByteArray &recs);
