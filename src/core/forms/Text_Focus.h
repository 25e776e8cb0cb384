#pragma once
// A text box given the focus when its window opens, or by the program, holds a value the user
// is to replace: its text is selected, as Tab leaves it, so that what is typed replaces it.
// Qt selects a line edit's text when the focus comes by Tab or a shortcut, not when a window
// opens on it, nor when the program moves the focus there.
class QWidget;

// Gives the box (a line edit or an editable combo box; any other control is only focused) the
// focus with its whole text selected. Call it once the box holds its value.
void Focus_Text(QWidget *box);
