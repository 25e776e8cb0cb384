#include "core/forms/Focus_Back.h"

void Focus_Back(QWidget *control)
{
    if (!control || !control->isVisible() || !control->isEnabled()) return;
    control->setFocus(Qt::OtherFocusReason);
}

void Focus_Back_Or(QWidget *control, QWidget *instead)
{
    if (control && control->isVisible() && control->isEnabled()) Focus_Back(control);
    else Focus_Back(instead);
}

Focus_Keeper::Focus_Keeper(QWidget *control) : Control(control) {}

void Focus_Keeper::Restore()
{
    Focus_Back(Control);
    Control = nullptr;
}
