#include "messages/forms/Req_Controls.h"

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
#include <QPointer>
#include <QPushButton>

namespace {

// A date box that takes what is typed in its shown form "dd.MM.yyyy", with or without the dots,
// from any section and over a whole selection. Qt's own typing passes through texts that are no
// date (a day alone, the year 0000) while the box still gives the last whole date, and a dot
// typed right after its move to the next section skips that section. Here the digits are taken
// section by section and the box shows at every key a whole date, the one it gives.
class Date_Box final : public QDateEdit {
public:
    explicit Date_Box(QWidget *parent) : QDateEdit(parent)
    {
        setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        lineEdit()->installEventFilter(this);
        connect(this, &QDateTimeEdit::dateChanged, this, [this] {
            if (!Own) Forget();   // arrows, the calendar, the caller: typing starts anew
        });
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        const QString text = e->text();
        const bool plain = !(e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        if (plain && text.size() == 1 && text[0].isPrint()) {
            const QChar c = text[0];
            if (c >= u'0' && c <= u'9') Digit(c);
            else if (c == u'.' || c == u',') Separator();   // ',' is the keypad's point in Russian layouts
            // Any other character is refused, as Qt refuses it, but the text is left whole.
            e->accept();
            return;
        }
        if (plain && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)) {
            if (e->key() == Qt::Key_Backspace) Back();   // Delete would only leave a gap
            e->accept();
            return;
        }
        const int k = e->key();
        if (!(k >= Qt::Key_Shift && k <= Qt::Key_ScrollLock) && k != Qt::Key_AltGr) Forget();   // a modifier alone keeps it
        QDateEdit::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent *e) override
    {
        Forget();
        QDateEdit::focusInEvent(e);
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        Forget();
        QDateEdit::focusOutEvent(e);
    }
    // A click in the text puts the typing where it lands.
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        if (watched == lineEdit() && (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick)) Forget();
        return QDateEdit::eventFilter(watched, e);
    }

private:
    enum { DAY, MONTH, YEAR };
    static constexpr int kPos[3] = {0, 3, 6};
    static constexpr int kLen[3] = {2, 2, 4};

    void Forget()
    {
        Section = -1;
        Typed.clear();
        Moved = false;
        Want_Day = 0;
    }

    // The section the next digit goes into: the first over a whole selection, else the
    // cursor's, or the one being typed.
    void Begin()
    {
        if (Section >= 0) return;
        const QLineEdit *le = lineEdit();
        const bool all = le->hasSelectedText() && le->selectedText().size() == le->text().size();
        Section = all ? int(DAY) : qBound(int(DAY), currentSectionIndex(), int(YEAR));
        Typed.clear();
        Before = date();
        if (!Want_Day) Want_Day = Before.day();
        Before_Want = Want_Day;
    }

    void Digit(QChar c)
    {
        Begin();
        Moved = false;
        const QString t = Typed + c;
        if (!Could_Be(t)) return;
        Typed = t;
        Show_Typed();
        if (Full()) Next(true);
    }

    // A dot right after the box moved on by itself is the one the user meant for that move;
    // otherwise it ends the section, as typed so far, and goes to the next.
    void Separator()
    {
        if (Moved) {
            Moved = false;
            return;
        }
        Begin();
        Next(false);
    }

    // Backspace takes back the last digit typed into the section.
    void Back()
    {
        if (Section < 0 || Typed.isEmpty()) return;
        Typed.chop(1);
        Show_Typed();
    }

    bool Could_Be(const QString &t) const
    {
        const int n = t.toInt();
        if (Section == DAY) return t.size() == 1 || (n >= 1 && n <= 31);
        if (Section == MONTH) return t.size() == 1 || (n >= 1 && n <= 12);
        for (int y = minimumDate().year(); y <= maximumDate().year(); ++y)
            if (QString::number(y).startsWith(t)) return true;
        return false;
    }

    // A section is full at its width, or at a first digit that no second one could follow.
    bool Full() const
    {
        if (Typed.size() == kLen[Section]) return true;
        return Section != YEAR && Typed.size() == 1 && Typed[0].digitValue() > (Section == DAY ? 3 : 1);
    }

    // The whole date the digits typed so far give: a day or month of "0" is not yet one and
    // leaves it as it was; a partly typed year replaces the year's leading digits; a day past
    // the month's end shows as its last day until the month is typed.
    void Show_Typed()
    {
        int y = Before.year(), m = Before.month();
        Want_Day = Before_Want;
        const int n = Typed.toInt();
        if (Section == DAY && n > 0) Want_Day = n;
        if (Section == MONTH && n > 0) m = n;
        if (Section == YEAR && !Typed.isEmpty()) {
            const QString old = QString::number(y);
            y = (Typed + old.mid(qMin(Typed.size(), old.size()))).toInt();
        }
        y = qBound(minimumDate().year(), y, maximumDate().year());
        const QDate d(y, m, qMin(Want_Day, QDate(y, m, 1).daysInMonth()));
        Own = true;
        setDate(qBound(minimumDate(), d, maximumDate()));
        Own = false;
        lineEdit()->setCursorPosition(kPos[Section] + (Section == YEAR ? int(Typed.size()) : kLen[Section]));
    }

    // Ends the section being typed: on to the next one, selected whole, or the year selected
    // again for a new one.
    void Next(bool by_itself)
    {
        const int to = qMin(Section + 1, int(YEAR));
        Moved = by_itself && to != Section;
        Section = -1;
        Typed.clear();
        setCurrentSectionIndex(to);
        lineEdit()->setSelection(kPos[to], kLen[to]);
    }

    int Section = -1;        // the section being typed, -1 none
    QString Typed;           // its digits so far
    QDate Before;            // the date before they were typed
    int Want_Day = 0;        // the day asked for, kept through a shorter month
    int Before_Want = 0;
    bool Moved = false;      // the box has just moved to the next section by itself
    bool Own = false;        // the date is being set from the typing
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
