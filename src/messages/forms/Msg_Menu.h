#pragma once
// The message commands of the "Данные" menu: "Запрос по индексу" and "Запрос за период"
// of the diagnostic messages (Tag 0) and of the operator-intervention messages (Tag 1).
// Each log's list form is plugged in as its viewer; a log without one keeps its commands
// disabled.
#include "messages/Msg_Read.h"

#include <functional>

class QAction;
class TFormMain;
class Arh_Read_Ui;

using Msg_Viewer = std::function<void(const Msg_Read_Result &)>;

// Plugs in (or, with an empty function, removes) the list form of a log. Once the commands
// are installed, plugging in a viewer attaches its log's two commands at once.
void Set_Message_Viewer(Msg_Kind k, Msg_Viewer viewer);
bool Has_Message_Viewer(Msg_Kind k);

// The index dialog (TFormIndex through Run_Dialog).
bool Ask_Msg_Index(TFormMain *main, uint8_t kind, uint32_t oldest, uint32_t newest, uint32_t &first,
                   uint32_t &count);

// The two commands; the log is the Tag of the menu item (any other value: nothing happens).
void NArhIndClick(TFormMain *main, QAction *sender);
void NArhPerClick(TFormMain *main, QAction *sender);

// Plugs in the diagnostic list (TFormAla) and attaches the commands of every log that has
// its viewer: "NAlaInd" and "NAlaPer", and "NAudInd" and "NAudPer" once a viewer of the
// operator-intervention messages is plugged in.
void Install_Message_Commands(TFormMain *main);
