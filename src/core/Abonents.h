#pragma once
// Subscriber lists: sorting by name, telephone number or IP address, the selection kept on
// the chosen subscriber, deletion, and the texts the list windows show.
#include "core/Rd_wr_ini.h"

#include <QString>
#include <cstdint>

// Texts compared after upper-casing both by the Windows 1251 rules, byte by byte, up to
// their terminating zero or width bytes: <0, 0, >0.
int Str_Compare_Upper(const char *a, const char *b, int width);
// Unsigned comparison of two IPv4 addresses: -1, 0, 1.
int Compare_Ip(uint32_t a, uint32_t b);

// users_num at most 200; user_index inside the list (0 for an empty one). sort_prz is left
// as it is: a key other than 0 or 1 keeps the list's order.
void Clamp_Abonent_Hdr(Abonent_Hdr &h);

// Sorts the entries in use by sort_prz (stable); user_index moves with its own subscriber,
// also when other subscribers have the same name.
void Sort_Fon_Abonents(Fon_Abonents_List *list);
void Sort_Ethr_Abonents(Ethr_Abonents_List *list);

// Removes the entry at user_index: the later ones move up, the freed last slot is zeroed,
// the selection moves to the entry before (stays on the first). False on an empty list.
bool Delete_Fon_Abonent(Fon_Abonents_List *list);
bool Delete_Ethr_Abonent(Ethr_Abonents_List *list);

// Screen text of a 1251 text field (up to its terminating zero).
QString Abonent_Text(const char *field, int width);
// Stores a screen text into a 1251 text field, cut to width - 1 bytes, zero-filled.
void Set_Abonent_Text(char *field, int width, const QString &text);
// "a.b.c.d:port", the first part from the most significant byte.
QString Ethr_Address_Text(const Ethr_Abonent &a);
// "a.b.c.d".
QString Ip_Text(uint32_t ip);
