#include "core/forms/Text_Focus.h"

#include <QComboBox>
#include <QLineEdit>

void Focus_Text(QWidget *box)
{
    if (!box) return;
    if (auto *e = qobject_cast<QLineEdit *>(box)) e->selectAll();
    else if (auto *c = qobject_cast<QComboBox *>(box); c && c->lineEdit()) c->lineEdit()->selectAll();
    // A window not yet active takes the selection as it stands when the focus arrives.
    box->setFocus(Qt::TabFocusReason);
}
