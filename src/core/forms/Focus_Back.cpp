#include "core/forms/Focus_Back.h"

bool Focus_Back(QWidget *control)
{
    if (!control || !control->isVisible() || !control->isEnabled()) return false;
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

void Focus_Back_Or(QWidget *control, QWidget *instead)
{
    if (!Focus_Back(control)) Focus_Back(instead);
}

Focus_Keeper::Focus_Keeper(QWidget *control) : Control(control) {}

void Focus_Keeper::Restore()
{
    Focus_Back(Control);
    Control = nullptr;
}
