#pragma once
// The focus back on the control that opened a form or started a read, once that is over. Qt
// takes the focus from a control that is disabled meanwhile (alone or with its window) and,
// when the window is enabled or activated again, gives it to the window's first control. And
// a window of the program active again after the active one closed.
#include <QPointer>
#include <QWidget>

// Gives `control` its window's focus: at once when the window is active, else when it is
// activated again. Nothing (false) when the control is gone, hidden or disabled.
bool Focus_Back(QWidget *control);

// The same for a list's button whose own action may disable it ("Удалить" once the last entry
// it may delete is gone, "Добавить" once the list is full): then the focus goes to the list it
// acts on, never on to the next button, which may accept the dialog at the next Enter.
void Focus_Back_Or(QWidget *control, QWidget *instead);

// Gives the focus back to `control` (usually the one that has it as an action starts) by
// Restore, at the latest when the keeper ends.
class Focus_Keeper {
public:
    explicit Focus_Keeper(QWidget *control);
    ~Focus_Keeper() { Restore(); }
    Focus_Keeper(const Focus_Keeper &) = delete;
    Focus_Keeper &operator=(const Focus_Keeper &) = delete;
    // Once: the control is enabled again by now.
    void Restore();

private:
    QPointer<QWidget> Control;
};

// When the active window of the program closes and a moment later (Return_Delay_Ms) no window
// of the program is active, one is activated: a modal window that is up, else the nearest
// window up the closed one's owner chain that is still shown, else the one a message would
// stand over (Message_Owner); the control that had its focus has it again. Installed once on
// the application.
inline constexpr int Return_Delay_Ms = 150;
void Install_Focus_Return();
