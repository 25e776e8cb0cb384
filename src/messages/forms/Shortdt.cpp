#include "messages/forms/Shortdt.h"

#include "core/Tables.h"
#include "core/forms/Radio_Group.h"
#include "messages/Shortdt.h"
#include "messages/forms/Req_Controls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstring>

namespace {

QGroupBox *bound_group(QWidget *parent, const QString &title, QDateEdit *date, QComboBox *h, QComboBox *m)
{
    auto *g = new QGroupBox(title, parent);
    auto *l = new QGridLayout(g);
    l->addWidget(date, 1, 0);
    if (h) {
        l->addWidget(new QLabel(QStringLiteral("Часы"), g), 0, 1);
        l->addWidget(h, 1, 1);
    }
    if (m) {
        l->addWidget(new QLabel(QStringLiteral("Минуты"), g), 0, 2);
        l->addWidget(m, 1, 2);
    }
    return g;
}

void show_bound(QDateEdit *date, QComboBox *h, QComboBox *m, const Date6 &d)
{
    Req_Set_Date(date, d);
    if (h) h->setCurrentIndex(d.hour);
    if (m) m->setCurrentIndex(d.minute);
}

Date6 read_bound(const QDateEdit *date, const QComboBox *h, const QComboBox *m)
{
    Date6 d = Req_Get_Date(date);
    if (h) d.hour = uint8_t(qMax(0, h->currentIndex()));
    if (m) d.minute = uint8_t(qMax(0, m->currentIndex()));
    return d;
}

const Arh_Range kNoRange{};

} // namespace

TFormShortDate::TFormShortDate(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Ввод периода времени запрашиваемых данных"));
    auto *v = new QVBoxLayout(this);
    Build_Panel(Hour_Panel, SHORT_HOURLY);
    Build_Panel(Day_Panel, SHORT_DAILY);
    Build_Panel(Min_Panel, SHORT_MINUTES);
    for (Short_Panel *p : {&Hour_Panel, &Day_Panel, &Min_Panel}) {
        v->addWidget(p->Panel);
        p->Panel->hide();
    }
}

void TFormShortDate::Build_Panel(Short_Panel &p, uint8_t kind)
{
    const QString tag = QString::number(kind);
    p.Panel = new QWidget(this);
    p.Panel->setObjectName(QStringLiteral("Panel_") + tag);
    p.Lbl_Oldest = new QLabel(p.Panel);
    p.Lbl_Newest = new QLabel(p.Panel);
    // Made in the order Tab takes them: the start group whole, then the end group.
    const bool hours = kind != SHORT_DAILY, minutes = kind == SHORT_MINUTES;
    p.Start_Date = Req_Date_Edit(p.Panel, "Start_Date");
    if (hours) p.Start_Hour = Req_Number_List(p.Panel, "Start_Hour", 23);
    if (minutes) p.Start_Min = Req_Number_List(p.Panel, "Start_Min", 59);
    p.End_Date = Req_Date_Edit(p.Panel, "End_Date");
    if (hours) p.End_Hour = Req_Number_List(p.Panel, "End_Hour", 23);
    if (minutes) p.End_Min = Req_Number_List(p.Panel, "End_Min", 59);

    auto *choice_box = new QGroupBox(QStringLiteral(" Задание периода"), p.Panel);
    auto *cl = new QVBoxLayout(choice_box);
    p.Choice = new QButtonGroup(p.Panel);
    QStringList items;
    if (kind == SHORT_HOURLY) items = {QStringLiteral("За последние сутки"), QStringLiteral("Заданный период")};
    else if (kind == SHORT_DAILY) items = {QStringLiteral("За последний месяц"), QStringLiteral("Заданный период")};
    else
        items = {QStringLiteral("За последний час"), QStringLiteral("За последние сутки"),
                 QStringLiteral("Заданный период")};
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], choice_box);
        p.Choice->addButton(b, i);
        p.Choice_Btn << b;
        cl->addWidget(b);
    }
    p.Btn_Accept = Req_Button(p.Panel, "Btn_Accept", QStringLiteral("Принять"));
    p.Btn_Cancel = Req_Button(p.Panel, "Btn_Cancel", QStringLiteral("Отменить"));

    auto *l = new QVBoxLayout(p.Panel);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(p.Lbl_Oldest);
    l->addWidget(p.Lbl_Newest);
    l->addWidget(bound_group(p.Panel, QStringLiteral(" Начало периода "), p.Start_Date, p.Start_Hour, p.Start_Min));
    l->addWidget(bound_group(p.Panel, QStringLiteral(" Конец периода "), p.End_Date, p.End_Hour, p.End_Min));
    l->addWidget(choice_box);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(p.Btn_Accept);
    buttons->addWidget(p.Btn_Cancel);
    l->addLayout(buttons);

    // The last item is "Заданный период" on every panel.
    Req_Enter_In_Choice(p.Choice, int(items.size()) - 1, p.Start_Date, p.Btn_Accept);
    Req_Enter_Accepts({p.Start_Date, p.Start_Hour, p.Start_Min, p.End_Date, p.End_Hour, p.End_Min}, p.Btn_Accept);
    connect(p.Choice, &QButtonGroup::idClicked, this, &TFormShortDate::Apply_Choice);
    connect(p.Btn_Accept, &QPushButton::clicked, this, &TFormShortDate::Btn_Accept_Click);
    connect(p.Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Short_Panel *TFormShortDate::Panel()
{
    switch (Kind) {
    case SHORT_HOURLY: return &Hour_Panel;
    case SHORT_DAILY: return &Day_Panel;
    case SHORT_MINUTES: return &Min_Panel;
    default: return nullptr;
    }
}

void TFormShortDate::showEvent(QShowEvent *e)
{
    // The kind's panel first, so that the dialog is centred at the size it shows.
    if (!e->spontaneous()) {
        FormShow();
        adjustSize();
    }
    QDialog::showEvent(e);
}

void TFormShortDate::FormShow()
{
    // The controller's clock as read by the caller; without a valid one, the PC's.
    const uint8_t *clock = Tab_Field(2, 0);
    Date6 now{};
    if (clock) std::memcpy(now.bytes(), clock, sizeof now);
    Contr_Now = clock && Valid_Date6(now) ? now : Pc_Now();

    for (Short_Panel *p : {&Hour_Panel, &Day_Panel, &Min_Panel}) p->Panel->hide();
    Short_Panel *p = Panel();
    if (!p) return;   // no panel: the dialog can only be closed
    p->Panel->show();

    const Arh_Range &r = Range ? *Range : kNoRange;
    p->Lbl_Oldest->setText(Short_Range_Label(Kind, r.start, false));
    p->Lbl_Newest->setText(Short_Range_Label(Kind, r.end, true));
    if (Kind != SHORT_MINUTES) {
        const Short_Period init = Short_Initial(Kind, r, Contr_Now);
        show_bound(p->Start_Date, p->Start_Hour, p->Start_Min, init.start);
        show_bound(p->End_Date, p->End_Hour, p->End_Min, init.end);
    }
    const int item = Short_Stored_Item(Kind);
    p->Choice_Btn[item]->setChecked(true);
    Tab_Stops_On_Checked(p->Panel);
    Apply_Choice(item);
}

void TFormShortDate::Apply_Choice(int item)
{
    Short_Panel *p = Panel();
    if (!p || item < 0 || item >= Short_Items(Kind)) return;
    Short_Store_Item(item);
    const Short_Period shown{read_bound(p->Start_Date, p->Start_Hour, p->Start_Min),
                             read_bound(p->End_Date, p->End_Hour, p->End_Min), true};
    const Short_Period s = Short_Preset(Kind, item, Contr_Now, shown);
    show_bound(p->Start_Date, p->Start_Hour, p->Start_Min, s.start);
    show_bound(p->End_Date, p->End_Hour, p->End_Min, s.end);
    for (QWidget *w : {static_cast<QWidget *>(p->Start_Date), static_cast<QWidget *>(p->Start_Hour),
                       static_cast<QWidget *>(p->Start_Min), static_cast<QWidget *>(p->End_Date),
                       static_cast<QWidget *>(p->End_Hour), static_cast<QWidget *>(p->End_Min)})
        if (w) w->setEnabled(s.enabled);
}

void TFormShortDate::Btn_Accept_Click()
{
    Short_Panel *p = Panel();
    if (!p) return;
    Start = Date6{};
    End = Date6{};
    const Date6 s_in = read_bound(p->Start_Date, p->Start_Hour, p->Start_Min);
    const Date6 e_in = read_bound(p->End_Date, p->End_Hour, p->End_Min);
    Date6 s{}, e{};
    if (const auto refusal = Short_Accept(Kind, Range ? *Range : kNoRange, s_in, e_in, s, e)) {
        Req_Refuse(*refusal);
        return;
    }
    if (Kind == SHORT_MINUTES && p->Choice->checkedId() == int(PERIOD_GIVEN)) Store_Given_Period(s, e);
    Start = s;
    End = e;
    Ok = 1;
    accept();
}
