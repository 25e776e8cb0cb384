#pragma once
// Text rows of the message lists: seven zero-terminated 1251 texts, each padded with zero
// bytes to its slot. They are what the list shows, what ".ala" and ".aud" files hold after
// their header, and what the printed list is made of.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

constexpr int MSG_COLS = 7;   // data columns 1..7 of the list

using Msg_Texts = std::array<QString, MSG_COLS>;
using Msg_Slots = std::array<int, MSG_COLS>;   // slot widths in bytes, in column order

// Total bytes of a row of these widths.
int Msg_Row_Size(const Msg_Slots &widths);

// Fills a row (Msg_Row_Size bytes): zero first, then each text's 1251 bytes, at most the
// slot less one byte, so that every slot keeps its terminator.
void Put_Msg_Row(char *row, const Msg_Slots &widths, const Msg_Texts &texts);
QByteArray Make_Msg_Row(const Msg_Slots &widths, const Msg_Texts &texts);

// The texts of a row: each ends at its slot's first zero byte, at the latest at the slot's end.
Msg_Texts Msg_Row_Texts(const char *row, const Msg_Slots &widths);

// A text as a slot of `width` bytes keeps it (what the list shows once saved).
QString Fit_Slot(const QString &text, int width);

// Date cell of a record that fails its CRC check ("   ***"), and the note the list shows
// once any record failed it.
QString Bad_Rec_Date();
QString Bad_Crc_Note();
