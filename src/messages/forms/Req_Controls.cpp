#include "messages/forms/Req_Controls.h"

#include "core/Date_Typing.h"
#include "core/Ques.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Number_Search.h"
#include "messages/Period.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

// A date box that takes what is typed in its shown form "dd.MM.yyyy" through the program's
// one way of typing dates (Date_Typing): at every key it shows a whole date, the one it gives;
// Backspace takes back what was typed; a whole date typed with its dots is taken from wherever
// the typing began. Qt's own typing passes through texts that are no date while the box still
// gives the last whole one, so it never sees a typed key.
class Date_Box final : public QDateEdit {
public:
    explicit Date_Box(QWidget *parent) : QDateEdit(parent)
    {
        setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        lineEdit()->installEventFilter(this);
        connect(this, &QDateTimeEdit::dateChanged, this, [this] {
            if (!Own) Typing.Stop();   // arrows, the wheel, the calendar, the caller: typing starts anew
        });
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        const QString text = e->text();
        const bool plain = !(e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        if (plain && text.size() == 1 && text[0].isPrint()) {
            // ',' is the keypad's point in Russian layouts; any other character is refused, as
            // Qt refuses it, but the text is left whole.
            const QChar c = text[0];
            if ((c >= u'0' && c <= u'9') || c == u'.' || c == u',') {
                Begin(false);
                Typing.Key(c);
                Show();
            }
            e->accept();
            return;
        }
        if (plain && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)) {
            const bool back = e->key() == Qt::Key_Backspace;
            Begin(back);
            if (back ? Typing.Back() : Typing.Delete()) Show();
            e->accept();
            return;
        }
        const int k = e->key();
        if (!(k >= Qt::Key_Shift && k <= Qt::Key_ScrollLock) && k != Qt::Key_AltGr) Typing.Stop();   // a modifier alone keeps it
        QDateEdit::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent *e) override
    {
        Typing.Stop();
        QDateEdit::focusInEvent(e);
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        Typing.Stop();
        QDateEdit::focusOutEvent(e);
    }
    // A press on the box outside its text and calendar button (its frame) goes to the nearest
    // section: Qt's calendar-popup date box names that frame as its up button under Fusion
    // and would step the section.
    void mousePressEvent(QMouseEvent *e) override
    {
        if (e->button() != Qt::LeftButton || On_Calendar_Button(e->position().toPoint())) {
            QDateEdit::mousePressEvent(e);
            return;
        }
        e->accept();
        if (!hasFocus()) setFocus(Qt::MouseFocusReason);
        QLineEdit *le = lineEdit();
        Typing.Stop();
        Select(Date_Typing::Section_At(le->cursorPositionAt(le->mapFrom(this, e->position().toPoint()))));
    }
    // A click in the text puts the typing at the section it lands in, selected whole; a double
    // or triple click keeps the selection it makes.
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        if (watched == lineEdit()) {
            if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) Typing.Stop();
            if (t == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
                static_cast<QObject *>(lineEdit())->event(e);   // the line edit's own release first
                if (!lineEdit()->hasSelectedText()) Select(Date_Typing::Section_At(lineEdit()->cursorPosition()));
                return true;
            }
        }
        return QDateEdit::eventFilter(watched, e);
    }

private:
    bool On_Calendar_Button(const QPoint &p) const
    {
        QStyleOptionComboBox opt;
        opt.initFrom(this);
        opt.editable = true;
        opt.frame = true;
        opt.subControls = QStyle::SC_All;
        return style()->hitTestComplexControl(QStyle::CC_ComboBox, &opt, p, this) == QStyle::SC_ComboBoxArrow;
    }

    // Typing begins where the user left the text: a whole selection from the day, a selected
    // section in it; with the cursor inside a section, Backspace takes its digits before the
    // cursor as typed.
    void Begin(bool back)
    {
        if (Typing.Typing()) return;
        const QLineEdit *le = lineEdit();
        Typing = Date_Typing(minimumDate(), maximumDate());
        if (le->hasSelectedText()) {
            const bool all = le->selectedText().size() == le->text().size();
            Typing.Start(date(), all ? int(Date_Typing::DAY) : Date_Typing::Section_At(le->selectionStart()), true);
            return;
        }
        const int s = Date_Typing::Section_At(le->cursorPosition());
        const int inside = qBound(0, le->cursorPosition() - Date_Typing::Pos(s), Date_Typing::Width(s));
        if (back && inside > 0) Typing.Start_Inside(date(), s, inside);
        else Typing.Start(date(), s, false);
    }

    // The date the keys give, and where the next one goes.
    void Show()
    {
        const Date_Typing::View v = Typing.Shown();
        Own = true;
        setDate(v.date);
        Own = false;
        if (v.selected) {
            Select(v.section);
            return;
        }
        const int at = v.typed.isEmpty() ? 0 : v.section == Date_Typing::YEAR ? int(v.typed.size())
                                                                               : Date_Typing::Width(v.section);
        setCurrentSectionIndex(v.section);
        lineEdit()->setCursorPosition(Date_Typing::Pos(v.section) + at);
    }

    void Select(int section)
    {
        setCurrentSectionIndex(section);
        lineEdit()->setSelection(Date_Typing::Pos(section), Date_Typing::Width(section));
    }

    Date_Typing Typing;
    bool Own = false;   // the date is being set from the typing
};

class Choice_Enter : public QObject {
public:
    Choice_Enter(QButtonGroup *choice, int given, QWidget *first, QPushButton *accept)
        : QObject(choice), Choice(choice), Given(given), First(first), Accept(accept)
    {
    }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || !Is_Enter(static_cast<QKeyEvent *>(e))) return false;
        if (Choice->checkedId() == Given) {
            if (First) First->setFocus(Qt::TabFocusReason);
        } else if (Accept && Accept->isEnabled()) {
            Accept->click();
        }
        return true;
    }

private:
    QButtonGroup *Choice;   // the filter's parent
    int Given;
    QPointer<QWidget> First;
    QPointer<QPushButton> Accept;
};

// Enter in a field of the period accepts as the accept button does. A date box's own text is
// taken first, as leaving it would; an open calendar or list has the keys and keeps its Enter.
class Fields_Enter : public QObject {
public:
    explicit Fields_Enter(QPushButton *accept) : QObject(accept), Accept(accept) {}

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || !Is_Enter(static_cast<QKeyEvent *>(e))) return false;
        if (auto *box = qobject_cast<QAbstractSpinBox *>(watched)) box->interpretText();
        if (Accept->isEnabled()) Accept->click();
        return true;
    }

private:
    QPushButton *Accept;   // the filter's parent
};

} // namespace

QDateEdit *Req_Date_Edit(QWidget *parent, const char *name)
{
    auto *e = new Date_Box(parent);
    e->setObjectName(name);
    e->setCalendarPopup(true);
    e->setDateRange(QDate(REQ_YEAR_MIN, 1, 1), QDate(REQ_YEAR_MAX, 12, 31));
    return e;
}

QComboBox *Req_Number_List(QWidget *parent, const char *name, int last)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    for (int i = 0; i <= last; ++i) c->addItem(QString::number(i));
    c->setMaxVisibleItems(12);
    Install_Number_Search(c);   // digits typed select the number typed
    return c;
}

QPushButton *Req_Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void Req_Enter_In_Choice(QButtonGroup *choice, int given, QWidget *first, QPushButton *accept)
{
    if (!choice) return;
    auto *filter = new Choice_Enter(choice, given, first, accept);
    for (QAbstractButton *b : choice->buttons()) b->installEventFilter(filter);
}

void Req_Enter_Accepts(std::initializer_list<QWidget *> fields, QPushButton *accept)
{
    if (!accept) return;
    auto *filter = new Fields_Enter(accept);
    for (QWidget *w : fields)
        if (w) w->installEventFilter(filter);
}

void Req_Set_Date(QDateEdit *e, const Date6 &d)
{
    const QDate day(REQ_YEAR_MIN + d.year, d.month, d.day);
    if (day.isValid()) e->setDate(day);
}

Date6 Req_Get_Date(const QDateEdit *e)
{
    Date6 d{};
    QDateTime_To_Date6(QDateTime(e->date(), QTime(0, 0)), d);
    return d;
}

void Req_Refuse(const Req_Refusal &r)
{
    Ques_Kind = 2;
    Show_Ques(r.line1, r.line2);
}
