#include "core/Ques.h"

#include <QDebug>

uint32_t Ques_Kind = 0;
uint8_t Ques_Answer = 0;

namespace {
Ques_Handler *g_handler = nullptr;
}

Ques_Setup Make_Ques_Setup(uint32_t kind, const QString &line1, const QString &line2)
{
    Ques_Setup q;
    q.kind = kind;
    q.line1 = line1;
    q.line2 = line2;
    switch (kind) {
    case 1: q.caption = QStringLiteral("Ошибка"); break;
    case 2: q.caption = QStringLiteral("Ошибка ввода параметров"); break;
    case 3: q.yes_no = true; break;
    case 4: q.line3 = QStringLiteral("(см. текущее состояние контроллера)"); break;
    case 5: q.caption = QStringLiteral("Результат обмена с устройством"); break;
    case 7:
        q.line3 = QStringLiteral("Повторить попытку?");
        q.yes_no = true;
        break;
    default: break;  // 6 and unknown kinds: plain notice with OK
    }
    return q;
}

Ques_Handler *Set_Ques_Handler(Ques_Handler *h)
{
    Ques_Handler *old = g_handler;
    g_handler = h;
    return old;
}

void Show_Ques(const QString &line1, const QString &line2)
{
    Ques_Answer = 0;
    const Ques_Setup q = Make_Ques_Setup(Ques_Kind, line1, line2);
    if (g_handler) {
        Ques_Answer = g_handler->Ask(q) ? 1 : 0;
        return;
    }
    qWarning().noquote() << q.caption << '|' << q.line1 << '|' << q.line2 << '|' << q.line3;
}
