#pragma once
// Grids and lists show whether they have the focus. The style in use draws a selection alike
// with and without the focus, and its focus frame, faint and around one cell, is not seen on a
// selected row (nor at all where a grid selects whole rows and hides it). Here a view with the
// focus frames its current row (a view that selects whole rows) or its current item with a
// dark line; one with no current item (an empty list) draws its own frame in the selection
// colour. The selection of a view without the focus is drawn in a pale shade of the selection
// colour with the normal text colour. A view that stands in for another through its focus
// proxy (the fixed columns of the archive grids) is drawn as part of that view.
// The same style keeps every view's current row in sight (Current_Row.h), and drops a combo
// box's list down below it, as many lines as the combo box is given, with its current item
// in view: the style underneath would open it over the whole screen for a long list.
#include <QProxyStyle>

class View_Focus_Style : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void polish(QWidget *widget) override;
    using QProxyStyle::polish;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};

// Wraps the application's style once; every item view of the program, and Qt's own dialogs'
// views with them, take the look.
void Install_View_Focus();
