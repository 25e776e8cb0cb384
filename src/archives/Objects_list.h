#pragma once
// The measured objects a passport is made for: up to 50 names in Obj_List ("objects.ini"),
// one of them current. Names are kept as 1251 bytes, at most 50 and a terminating zero.
#include "core/Rd_wr_ini.h"

#include <QString>

// Sorts the obj_num names (upper-cased by the 1251 rules, then compared as bytes); the
// current object stays current (the last of equal names when names repeat). A damaged
// header (obj_num above 50, obj_index outside the list) is limited first.
void Sort_Objects(Obj_List_Rec &list);
// Removes the current object: the later names move up, the freed slot is zeroed, the current
// object becomes the one before (stays on the first). False on an empty list.
bool Delete_Object(Obj_List_Rec &list);
// obj_num at most 50, obj_index inside the list (0 for an empty one).
void Clamp_Objects(Obj_List_Rec &list);
// Byte-wise equality of the two lists (count, current object and every slot).
bool Same_Objects(const Obj_List_Rec &a, const Obj_List_Rec &b);

// Screen text of name slot i (empty outside 0..49).
QString Object_Name(const Obj_List_Rec &list, int i);
// Screen text of one 51-byte name slot (up to its zero, never past the slot).
QString Object_Name_Text(const char *slot);
// Name of the current object; empty when the list is empty.
QString Current_Object_Name(const Obj_List_Rec &list);
// Stores a screen text into a name slot: 1251 bytes cut to 50, zero-filled.
void Set_Object_Name(char *slot, const QString &text);
