#pragma once
// The message and question routine. Callers set Ques_Kind, then call Show_Ques with two
// lines; a question's answer is left in Ques_Answer (1 "Да", 0 "Нет", Esc or close).
// The dialog itself lives in the forms library; tests install a handler of their own.
#include <QString>
#include <cstdint>

extern uint32_t Ques_Kind;
extern uint8_t Ques_Answer;

struct Ques_Setup {
    uint32_t kind = 0;
    QString caption;
    QString line1, line2, line3;
    bool yes_no = false;      // "Да"/"Нет" shown instead of OK
};

// What the dialog shows for a kind: caption, third line and buttons.
Ques_Setup Make_Ques_Setup(uint32_t kind, const QString &line1, const QString &line2);

class Ques_Handler {
public:
    virtual ~Ques_Handler() = default;
    // Shows the message modally and returns the answer (1 yes, 0 otherwise).
    virtual uint8_t Ask(const Ques_Setup &q) = 0;
};

// Installs the handler (the dialog in the program, a scripted one in tests);
// returns the previous one. With none installed messages go to the log and answer 0.
Ques_Handler *Set_Ques_Handler(Ques_Handler *h);

void Show_Ques(const QString &line1, const QString &line2);
