#pragma once
// Sizes taken from the texts a control shows, in its font on this platform. The designed sizes
// were set for narrower faces than the ones found here; where a text needs more room than the
// designed size it gets it, elsewhere the design stays as it is.
#include <QStringList>

class QWidget;

// The width a framed label, a line edit (from the text's first character) or a plain control
// needs to show each of the texts whole.
int Text_Fit_Width(const QWidget *w, const QStringList &texts);
// The designed width, or the width the texts need where that is more.
int Text_Fit_Width(const QWidget *w, const QStringList &texts, int designed);
// Gives the control at least the width its texts need.
void Fit_Min_Width(QWidget *w, const QStringList &texts);

// The width a window needs for its title bar to show the caption whole: the caption in a
// bold title font and the room of the window icon and three buttons.
int Caption_Width(const QWidget *w, const QString &caption);

// Every dialog made wide enough for its caption when it is shown or its caption changes
// (the window manager cuts a caption wider than the title bar with "..."), a dialog of
// fixed width included. Installed once on the application.
void Install_Caption_Fit();
