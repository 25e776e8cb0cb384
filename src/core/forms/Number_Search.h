#pragma once
#include <QStringList>

// Digits typed into a drop-down list of numbers (hours, minutes, days; an item may go on after
// its number, as "10:00" does) select the number typed, every time. Qt's own keyboard search
// in such a list takes Ctrl+A's control character into its search text (the digits typed next
// then match nothing), and a first character typed again moves to the next item beginning with
// it ("11" gave 10). Here the digits typed within the application's keyboard input interval
// form the number (Number_Typed): "11" is 11, "00" is 0, "25" in the hours is 5. Keys other
// than digits are never taken into the number: they do what they do in any list, and the next
// digit begins a new number. In the closed list the number becomes the current item (as a
// choice the user made: `activated`); in the open list it is the item highlighted, taken by
// Enter or a click as any other.
class QComboBox;

// For a list that is not editable (an editable one takes typing as text, and is left alone).
// The search is owned by the list.
void Install_Number_Search(QComboBox *combo);
// Whether every item of a list is a number that digits typed one by one can reach (each with a
// number shorter by its last digit in the list too): hours, days, addresses, "1".."24"; not
// baud rates, whose "9600" has no "960".
bool Numbers_Typed_Reach(const QStringList &items);
