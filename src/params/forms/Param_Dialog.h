#pragma once
// Base of every parameter dialog. The caller sets Tab_Data (the table bytes the dialog edits:
// the table image or a configuration record) and Dev_Write before showing it, and reads
// Accepted afterwards. The dialog never talks to the controller: its caller writes.
//
// Dev_Write 1: the confirm button reads "Записать в устройство"; 0: "Принять". Both run
// Accept_Click: the dialog's checks in their order (a refusal is shown as a kind-2 message and
// the dialog stays open), then, only when every check passed, the store into Tab_Data and
// Accepted = 1. "Отменить" (or Esc) closes without storing.
//
// Keyboard: the dialog opens with the focus in its first field; Tab goes through the fields
// as they are laid out, top to bottom, and only then to the buttons; in a group of radio
// buttons it stops on the checked one.
#include <QDialog>
#include <cstdint>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class TParam_Dialog : public QDialog {
    Q_OBJECT
public:
    enum class Buttons {
        By_Dev_Write,   // "Записать в устройство" or "Принять" by Dev_Write, and "Отменить"
        Accept_Only,    // "Принять" and "Отменить" (dialogs on a caller's working record)
        Exit_Only,      // "Выход" only (display dialogs)
    };
    explicit TParam_Dialog(QWidget *owner, Buttons buttons = Buttons::By_Dev_Write);

    uint8_t *Tab_Data = nullptr;
    uint8_t Dev_Write = 0;
    uint8_t Accepted = 0;

    QPushButton *BitBtnWrite = nullptr;    // "Записать в устройство"
    QPushButton *BitBtnAccept = nullptr;   // "Принять"
    QPushButton *BitBtnCancel = nullptr;   // "Отменить" / "Выход"
    QPushButton *Confirm_Button() const;   // the one shown for Dev_Write

    void Accept_Click();

protected:
    // Fills the controls from Tab_Data; runs once, when the dialog is first shown.
    virtual void Load() {}
    // The checks in their order; each refusal goes through Refuse. May take the values into a
    // working copy, never into Tab_Data.
    virtual bool Check() { return true; }
    // Stores into Tab_Data; false when there was nothing to accept (the dialog closes anyway).
    virtual bool Store() { return true; }

    // A kind-2 message; returns false so that checks can `return Refuse(...)`.
    static bool Refuse(const QString &line1, const QString &line2 = QString());
    // Reads a float edit ("." separator, blanks around ignored). A text that is no number
    // (or none a float can hold) is refused with the edit's text and the given second line.
    static bool Take_Float(const QLineEdit *edit, float &v, const QString &what);
    // The same reading without a message: false for no number or none a float can hold.
    static bool Parse_Float(const QString &text, float &v);

    void showEvent(QShowEvent *e) override;

    // Orders Tab through the fields by their layout, buttons last. Runs after Load at the
    // first show; a dialog that rebuilds its controls later calls it again.
    void Order_Tab();
    // The focus into the first field that takes it (the confirm button when there is none).
    void Focus_First();

    QVBoxLayout *Body = nullptr;          // the dialog's own controls go here
    QHBoxLayout *Button_Row = nullptr;

private:
    Buttons Kind;
    bool Loaded = false;
};
