#pragma once
// What a box does with its text when the user leaves it: by Tab, a click elsewhere, a shortcut.
// Qt's `editingFinished` fires on Enter as well, and a box that rewrites its text then drops
// the selection the user had, so that the digits typed next are added to the old value. Enter
// leaves the text and its selection as they were. Neither a context menu nor another window
// taking the focus for a moment is leaving the box: the focus comes back to it as it was.
#include <functional>

class QLineEdit;

// `left` runs each time the focus leaves `edit` for another control. The watch is owned by the edit.
void On_Edit_Left(QLineEdit *edit, std::function<void()> left);
