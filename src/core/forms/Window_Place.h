#pragma once
// Where windows appear. A window manager frames a window only once it is mapped, so a place
// computed before that can only guess the frame (title bar and borders); a window placed
// by its frame is put right once the real frame is known. A dialog shown again comes back
// where it was. Every window placed here stands inside the free area of its screen, and stays
// there when its size changes while it is shown.
#include <QMargins>
#include <QRect>
#include <QSize>

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

// The window takes `size` (its size hint when none is given), within its minimum and maximum
// size. Once shown it stays wholly inside the free area of its screen: where it stands, or
// moved up and left only as far as it must; a window larger than the area is cut to it as far
// as its minimum size lets it, so that what it lists scrolls and its buttons stay in view. A
// window not yet shown is only resized: it is placed, and cut to the area, when it appears.
// Dialogs placed here get the same whenever the program resizes them while they are shown;
// a window that asks for a size of its own (its rows) asks it here.
void Fit_To_Screen(QWidget *w, QSize size = QSize());

// Dialogs that place themselves nowhere in particular are centred on their owner by their
// frame (on the screen when they have none); a dialog hidden and shown again keeps its
// place, also one the user moved. Installed once on the application.
void Install_Window_Places();
