#pragma once
// Typing filters of the number edits, built on the key rules Key_Press_Int and
// Key_Press_Float. Integer edits take digits only, typed or pasted; float edits
// follow the float rule key by key; text boxes whose text is stored in a code page take only
// what that page holds. Navigation, editing and shortcut keys pass.
#include <QObject>
#include <QValidator>

class QAbstractButton;
class QComboBox;
class QKeyEvent;
class QLineEdit;

// Accepts a text of digits only (empty included: the dialogs report empty fields).
class Int_Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// A text box whose text is stored in a code page (Page_Holds): a typed character the page
// cannot hold is refused, as one past the length limit is; a pasted, dropped or composed text
// keeps the characters the page holds, as many as the length limit leaves room for (a paste
// is filtered before the box cuts it to the room left). What the box shows is what is stored.
class Page_Filter : public QValidator {
    Q_OBJECT
public:
    explicit Page_Filter(QLineEdit *edit);
    bool Cp866 = false;
    State validate(QString &input, int &pos) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *Edit;
    void Paste(const QString &clip);
};

// Event filter of a float edit: swallows keys the rule refuses, turns "," into ".".
class Float_Key_Filter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Enter (Return or the keypad's Enter) on a focused push button presses it, in every window
// of the program, as Space does; Enter elsewhere is left to the window (a default button, or
// a box that moves the focus on). A button that gets the focus otherwise than by a click shows
// its focus frame, as after Tab: the style draws the frame only in a window marked as led by
// the keyboard, and Qt sets that mark for Tab and the arrow keys alone, not when Enter in a
// box, the program or the opening of a window puts the focus on a button. Installed once on
// the application.
class Enter_Button_Filter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
void Install_Enter_Presses_Button();

// Return, or the keypad's Enter, with no other modifier.
bool Is_Enter(const QKeyEvent *e);

// Enter in a dialog's only text box presses its accept button, checks and all, as a click would.
void Enter_Presses(QLineEdit *edit, QAbstractButton *button);

// An editable list whose typed text is taken as typed: nothing completed from the items,
// nothing added to them.
void Set_Typed_List(QComboBox *combo);

// The filters are owned by the edit they are installed on.
void Install_Int_Filter(QLineEdit *edit);
void Install_Int_Filter(QComboBox *combo);   // editable combos; others are left alone
void Install_Float_Filter(QLineEdit *edit);
// Installs the code-page rule on a text box, or changes the page of the one installed.
void Install_Page_Filter(QLineEdit *edit, bool cp866 = false);
void Install_Page_Filter(QComboBox *combo, bool cp866 = false);   // editable combos
