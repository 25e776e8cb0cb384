#pragma once
// Where windows appear. A window manager frames a window only once it is mapped, so a place
// computed before that can only guess the frame (title bar and borders); a window placed
// by its frame is put right once the real frame is known. A dialog shown again comes back
// where it was.
#include <QMargins>
#include <QRect>

class QWidget;

// The frame around a window: its own once the window manager has framed it, else that of its
// owner or of another framed window of the program, else a common title bar and borders.
// None for a window the window manager does not frame (the wait form, pop-ups).
QMargins Frame_Margins(const QWidget *w);

// The window's outer rectangle: its client area and the frame above (never a frame seen half
// built while the window manager framed it).
QRect Frame_Rect(const QWidget *w);

// The window's frame centred on the available area of its screen (its owner's screen when
// it has a shown owner) rather than on its owner: now when it is shown, else when it is
// first shown, at the size it is shown at. The frame is placed again when the window
// manager's frame turns out other than guessed.
void Centre_On_Screen(QWidget *w);

// Dialogs that place themselves nowhere in particular are centred on their owner by their
// frame (on the screen when they have none); a dialog hidden and shown again keeps its
// place, also one the user moved. Installed once on the application.
void Install_Window_Places();
