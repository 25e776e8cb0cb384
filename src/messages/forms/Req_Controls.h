#pragma once
// Controls shared by the request dialogs: date pickers that keep to the dates the year byte
// can carry, number lists, buttons that Enter does not press, Enter in the choice group and in
// the period's fields, and the refusal message.
#include "core/Dtfun.h"

#include <QString>
#include <initializer_list>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QPushButton;
class QWidget;
struct Req_Refusal;

// A date picker from 1 January 2000 to 31 December 2099 with a calendar drop-down. It takes a
// date typed as it is shown, "dd.MM.yyyy", with or without the dots, a two-digit year as 20yy,
// Backspace as taking back what was typed, and a whole date with its dots from any section; it
// shows at every key the whole date it gives. A click on it moves the typing, never the date.
QDateEdit *Req_Date_Edit(QWidget *parent, const char *name);
// A drop-down list of the numbers 0..last as plain decimal texts.
QComboBox *Req_Number_List(QWidget *parent, const char *name, int last);
QPushButton *Req_Button(QWidget *parent, const char *name, const QString &caption);
// Enter on a button of the choice group does what it does where the choice puts the user: a
// preset is accepted as by `accept` (with its checks); on the choice `given`, whose bounds are
// typed, the focus goes to `first`, the first of them. Call once the group has its buttons.
void Req_Enter_In_Choice(QButtonGroup *choice, int given, QWidget *first, QPushButton *accept);
// Enter (Return or the keypad's) in any of `fields` (date boxes, hour, minute and second lists;
// null ones are skipped) accepts as `accept` does, its checks included.
void Req_Enter_Accepts(std::initializer_list<QWidget *> fields, QPushButton *accept);
// Date part (bytes 0-2) of a picker and back; a date the picker cannot show leaves it alone.
void Req_Set_Date(QDateEdit *e, const Date6 &d);
Date6 Req_Get_Date(const QDateEdit *e);
// The refusal through the message routine, as an input error (Ques_Kind 2).
void Req_Refuse(const Req_Refusal &r);
