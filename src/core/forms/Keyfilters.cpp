#include "core/forms/Keyfilters.h"

#include "core/Codepage.h"
#include "core/Suplfunc.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
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

Page_Filter::Page_Filter(QLineEdit *edit) : QValidator(edit), Edit(edit) {}

QValidator::State Page_Filter::validate(QString &input, int &pos) const
{
    QString kept;
    kept.reserve(input.size());
    int before = 0;   // dropped ahead of the caret
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (Page_Holds(input.at(i), Cp866))
            kept.append(input.at(i));
        else if (i < pos)
            ++before;
    }
    if (kept.size() != input.size()) {
        input = kept;
        pos -= before;
    }
    return Acceptable;
}

void Page_Filter::Paste(const QString &clip)
{
    const QString kept = Page_Text(clip, Cp866);
    if (!kept.isEmpty()) Edit->insert(kept);
}

bool Page_Filter::eventFilter(QObject *watched, QEvent *event)
{
    // Only the events below are looked at: others also come while the box is being destroyed.
    const QEvent::Type t = event->type();
    if (t != QEvent::KeyPress && t != QEvent::ContextMenu && t != QEvent::MouseButtonRelease) return false;
    if (watched != Edit || Edit->isReadOnly()) return false;
    switch (t) {
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->matches(QKeySequence::Paste)) {
            Paste(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
            return true;
        }
        const QString typed = ke->text();
        // Editing keys (Backspace, Enter, Tab, Esc) carry control characters: the box's own.
        for (QChar c : typed)
            if (c.category() == QChar::Other_Control) return false;
        const QString kept = Page_Text(typed, Cp866);
        if (kept == typed) return false;
        if (!kept.isEmpty()) Edit->insert(kept);
        return true;
    }
    case QEvent::ContextMenu: {
        // The menu's "Paste" goes through the same filter as the key.
        QMenu *menu = Edit->createStandardContextMenu();
        if (!menu) return false;
        for (QAction *a : menu->actions()) {
            // Qt 6.4 connects it by name; a later Qt may connect the member function.
            const bool paste = QObject::disconnect(a, SIGNAL(triggered()), Edit, SLOT(paste())) ||
                               QObject::disconnect(a, &QAction::triggered, Edit, &QLineEdit::paste);
            if (paste)
                connect(a, &QAction::triggered, Edit,
                        [this] { Paste(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        // The middle button pastes the selection where the system has one (X11).
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection()) return false;
        Edit->deselect();
        Paste(QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
    }
    default:
        return false;
    }
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

void Install_Page_Filter(QLineEdit *edit, bool cp866)
{
    if (!edit) return;
    auto *f = edit->findChild<Page_Filter *>(QString(), Qt::FindDirectChildrenOnly);
    if (!f) {
        f = new Page_Filter(edit);
        edit->setValidator(f);
        edit->installEventFilter(f);
    }
    f->Cp866 = cp866;
}

void Install_Page_Filter(QComboBox *combo, bool cp866)
{
    if (combo && combo->isEditable()) Install_Page_Filter(combo->lineEdit(), cp866);
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
