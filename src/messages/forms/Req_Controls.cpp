#include "messages/forms/Req_Controls.h"

#include "core/Ques.h"
#include "core/forms/Keyfilters.h"
#include "messages/Period.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace {

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

} // namespace

QDateEdit *Req_Date_Edit(QWidget *parent, const char *name)
{
    auto *e = new QDateEdit(parent);
    e->setObjectName(name);
    e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
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
