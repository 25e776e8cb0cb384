#pragma once
// The keyboard in the program's radio groups (a button group, or auto-exclusive buttons of one
// parent). Qt keeps one Tab stop in such a group: the button that last had the focus, at first
// the group's first. Here it is the checked one, as the user expects to land on the choice
// in force. The arrow keys move the choice within the group.
class QWidget;

// Every exclusive radio group below `root`: its Tab stop is its checked button, now and
// whenever the choice changes. Call once the buttons exist and show their choice; a later
// call takes in buttons made since.
void Tab_Stops_On_Checked(QWidget *root);

// Gives `w` the focus now and again once the key or click that made a choice is through: an
// arrow key gives the focus to the chosen button only after the choice is made, which would
// take back a focus given at once.
void Focus_After_Choice(QWidget *w);
