#pragma once
// "Просмотр/Печать из файла" of every archive and message area: a file saved earlier is
// chosen in the kind's directory, its header checked, its records read and handed to the
// same viewer the controller readers use. No link to the controller is needed.
#include "archives/Arhiv_File.h"

#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// What the open dialog is given.
struct Open_Dialog_Setup {
    QString title;         // "Выберите файл с данными"
    QString dir;           // the kind's directory
    QStringList filters;   // the main window's open filter list
    int filter_index = 1;  // 1-based entry of the kind in filters
};

Open_Dialog_Setup Open_Setup(Arh_File_Kind kind);

// The window side of the command: the open dialog and the busy cursor.
class Open_Ui {
public:
    virtual ~Open_Ui() = default;
    // Runs the dialog; nullopt (or an empty name) on cancel.
    virtual std::optional<QString> Choose_File(const Open_Dialog_Setup &s) = 0;
    virtual void Busy(bool) {}
};

// Shows a header and its records (message kinds: the text rows) modally.
using Open_Show = std::function<void(const Arhiv_Header &, const QByteArray &)>;

enum class Open_Result : uint8_t { Shown, Cancelled, Open_Failed, Refused };

// The command: dialog, open, check, read, viewer. Failures are told through Show_Ques with
// the error caption: "Ошибка открытия файла", or the two lines of the refusal.
Open_Result Open_Archive_File(Arh_File_Kind kind, Open_Ui &ui, const Open_Show &show);

// The nine menu items of the command and their kinds.
struct Open_File_Command {
    const char *item;      // component name of the menu item
    Arh_File_Kind kind;
};
constexpr int OPEN_FILE_COMMAND_COUNT = 9;
const std::array<Open_File_Command, OPEN_FILE_COMMAND_COUNT> &Open_File_Commands();
// Item name of a kind's command.
const char *Open_File_Item(Arh_File_Kind kind);
