#pragma once
// The commands of the "Параметры" menu and the road they share: read the table range into
// the image (hourglass), keep a copy of the bytes as read, open the dialog on the image with
// Dev_Write = 1, and after acceptance write back only the fields that changed.
#include "core/Conffun.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/forms/Param_Dialog.h"

#include <QByteArray>
#include <initializer_list>


// Progress and error texts of the table layer into panel 2 of the main status bar.
Tab_Status Road_Status(TFormMain *m);
// Reads the ranges in order under the hourglass; false at the first failure (the table
// layer has asked about retrying already). A range of no fields moves nothing.
bool Road_Read(TFormMain *m, std::initializer_list<Tab_Req> reqs);
// First byte of a range in the image (null when the image or the table is not there).
uint8_t *Range_Data(const Tab_Req &req);
// The bytes of a range in the image, as a copy.
QByteArray Range_Bytes(const Tab_Req &req);
// Write_Changed_Fields under the hourglass against the copy taken after the read;
// a range of no fields has nothing to write.
bool Road_Write_Changed(TFormMain *m, const Tab_Req &req, const QByteArray &old);
// Shows a parameter dialog modally on the controller's data; true when it was accepted.
bool Road_Show(TParam_Dialog &d);

// The whole road for one table range: read, copy, the dialog (made by the caller's setup
// on Tab_Data = the range's table in the image), then the changed fields written.
// Returns true when the dialog was accepted and the write succeeded.
template <class Form, class Setup>
bool Edit_Table(TFormMain *m, const Tab_Req &req, Setup setup)
{
    if (!Road_Read(m, {req})) return false;
    const QByteArray old = Range_Bytes(req);
    Form f(m);
    f.Tab_Data = Tab_Dir[req.tab].data;
    setup(f);
    if (!Road_Show(f)) return false;
    return Road_Write_Changed(m, req, old);
}

// Handlers.
void NidentClick(TFormMain *m);
void NContrNameClick(TFormMain *m);
void N_ConstClick(TFormMain *m);

// Attaches the commands above to their menu items.
void Install_Param_Commands(TFormMain *m);
