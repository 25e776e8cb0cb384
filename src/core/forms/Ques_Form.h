#pragma once
// The message and question dialog behind Show_Ques, and the handler that shows it.
#include "core/Ques.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TFormQues : public QDialog {
    Q_OBJECT
public:
    explicit TFormQues(QWidget *parent = nullptr);

    // Caption, lines, buttons, size and focus for one message.
    void Setup(const Ques_Setup &q);

    uint8_t Answer = 0;   // 1 after "Да"; "Нет", Esc and the close box leave 0

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *BitBtn1;   // "Да"
    QPushButton *BitBtn2;   // "Нет", also Esc
    QPushButton *BitBtn3;   // OK

    static constexpr int BTN_W = 80;
    static constexpr int BTN_H = 25;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

protected:
    void changeEvent(QEvent *e) override;
};

// The window a message speaks about: the modal dialog or window that is active; when none is
// (right after a file dialog closed) the window that opened the one last active, else the
// latest active window still shown, else the main window.
QWidget *Message_Owner();

// Shows TFormQues modally over Message_Owner().
class Ques_Dialog_Handler : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override;
};

// Makes Show_Ques use the dialog (called once at start-up).
void Install_Ques_Dialog();
