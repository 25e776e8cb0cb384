#pragma once
// The configuration-file commands of the "Файл" menu: a new configuration and an existing
// file edited in the configuration editor, and the controller's configuration read and saved
// to a file; the open and save dialogs of ".cnf" files; the whole-configuration read and
// write under the wait form.
#include "params/Config.h"

#include <cstdint>
#include <functional>

class TFormMain;
struct Tab_State_Block;

// What the configuration editor reports when it is closed.
struct Cnf_Editor_Result {
    bool accepted = false;   // closed by "Принять" / "Записать в устройство"
    bool changed = false;    // the record differs from what it was when shown
};
// Opens the configuration editor modally on the record (owner m) with Dev_Write dev_write.
using Cnf_Editor_Fn = std::function<Cnf_Editor_Result(TFormMain *m, Cnf_Rec &rec, uint8_t dev_write)>;
// The editor, set by its builder (Set_Config_Editor); null: the commands that need it stay
// disabled.
extern Cnf_Editor_Fn Config_Editor;
// Sets the editor and enables the commands that open it.
void Set_Config_Editor(TFormMain *m, Cnf_Editor_Fn fn);

// The open dialog; true when a valid file was chosen and loaded into the record (Cnf_Name
// then names it). Refusals are shown; the record is unchanged unless true.
bool Open_Cnf(TFormMain *m, Cnf_Rec &rec);
// The save dialog with the proposed name, the replace question and the outcome message.
// The record itself is not changed. True when saved.
bool Save_Cnf(TFormMain *m, const Cnf_Rec &rec);

// Read_Config behind the wait form (mode 3) with the main window disabled.
bool Run_Read_Config(TFormMain *m);
// Write_Config of the block's flagged tables behind the wait form (mode 2) with the main
// window disabled; the link description follows a written table 3.
bool Run_Write_Config(TFormMain *m, Tab_State_Block &block);

// "Создание нового файла конфигурации" (tag 0) and "Просмотр/Корректировка файла
// конфигурации" (tag 1).
void NParCnfClick(TFormMain *m, int tag);
// "Сохранение параметров конфигурации в файле".
void NrdcnfClick(TFormMain *m);

// Attaches the commands to "NNewcnf", "NEditcnf" and "Nrdcnf"; the first two are enabled
// only once the editor is there.
void Install_Config_Commands(TFormMain *m);
