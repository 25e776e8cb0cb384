#include "core/forms/Keyfilters.h"

#include "core/Suplfunc.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

QValidator::State Int_Validator::validate(QString &input, int &) const
{
    for (QChar c : input)
        if (c == QChar(8) || Key_Press_Int(c).isNull()) return Invalid;
    return Acceptable;
}

bool Float_Key_Filter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || edit->isReadOnly()) return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    // Shortcuts (copy, paste, undo) and keys without a printable character pass.
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString typed = ke->text();
    if (typed.size() != 1 || !typed.at(0).isPrint()) return false;

    // Typing replaces a selection: judge the key against the text without it.
    QString text = edit->text();
    int caret = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        caret = edit->selectionStart();
        text.remove(caret, edit->selectedText().size());
    }
    const QChar out = Key_Press_Float(text, caret, typed.at(0));
    if (out.isNull()) return true;
    if (out != typed.at(0)) {
        edit->insert(QString(out));
        return true;
    }
    return false;
}

void Install_Int_Filter(QLineEdit *edit)
{
    if (edit) edit->setValidator(new Int_Validator(edit));
}

void Install_Int_Filter(QComboBox *combo)
{
    if (combo && combo->isEditable()) combo->setValidator(new Int_Validator(combo));
}

void Set_Typed_List(QComboBox *combo)
{
    if (!combo) return;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would turn a typed "4" into the listed "40".
    combo->setCompleter(nullptr);
}

void Install_Float_Filter(QLineEdit *edit)
{
    if (edit) edit->installEventFilter(new Float_Key_Filter(edit));
}

bool Enter_Button_Filter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::MouseFocusReason && why != Qt::PopupFocusReason)
            if (auto *b = qobject_cast<QAbstractButton *>(watched))
                b->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    if (!Is_Enter(static_cast<QKeyEvent *>(event))) return false;
    auto *b = qobject_cast<QPushButton *>(watched);
    if (!b || !b->isEnabled()) return false;
    b->click();
    return true;
}

void Install_Enter_Presses_Button()
{
    static QPointer<Enter_Button_Filter> filter;
    if (filter || !qApp) return;
    filter = new Enter_Button_Filter(qApp);
    qApp->installEventFilter(filter);
}

bool Is_Enter(const QKeyEvent *e)
{
    return e && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !(e->modifiers() & ~Qt::KeypadModifier);
}

void Enter_Presses(QLineEdit *edit, QAbstractButton *button)
{
    if (!edit || !button) return;
    QObject::connect(edit, &QLineEdit::returnPressed, button, [button] {
        if (button->isEnabled() && button->isVisible()) button->click();
    });
}
