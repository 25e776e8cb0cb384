#include "messages/forms/Req_Controls.h"

#include "core/Ques.h"
#include "messages/Period.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

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
