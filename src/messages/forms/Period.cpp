#include "messages/forms/Period.h"

#include "core/Ques.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Radio_Group.h"
#include "messages/Period.h"
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

namespace {

QComboBox *number_box(QWidget *parent, const char *name, int last)
{
    auto *c = Req_Number_List(parent, name, last);
    Set_Typed_List(c);
    Install_Int_Filter(c);
    return c;
}

QGroupBox *bound_group(QWidget *parent, const QString &title, QDateEdit *date, QComboBox *h, QComboBox *m,
                       QComboBox *s)
{
    auto *g = new QGroupBox(title, parent);
    auto *l = new QGridLayout(g);
    l->addWidget(date, 1, 0);
    const char *caps[3] = {"Часы", "Минуты", "Секунды"};
    QComboBox *boxes[3] = {h, m, s};
    for (int i = 0; i < 3; ++i) {
        l->addWidget(new QLabel(QString::fromUtf8(caps[i]), g), 0, i + 1);
        l->addWidget(boxes[i], 1, i + 1);
    }
    return g;
}

void show_bound(QDateEdit *date, QComboBox *h, QComboBox *m, QComboBox *s, const Date6 &d)
{
    Req_Set_Date(date, d);
    h->setEditText(QString::number(d.hour));
    m->setEditText(QString::number(d.minute));
    s->setEditText(QString::number(d.second));
}

} // namespace

TFormPeriod::TFormPeriod(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Ввод периода времени запрашиваемых данных"));

    Start_Date = Req_Date_Edit(this, "Start_Date");
    Start_Hour = number_box(this, "Start_Hour", 23);
    Start_Min = number_box(this, "Start_Min", 59);
    Start_Sec = number_box(this, "Start_Sec", 59);
    End_Date = Req_Date_Edit(this, "End_Date");
    End_Hour = number_box(this, "End_Hour", 23);
    End_Min = number_box(this, "End_Min", 59);
    End_Sec = number_box(this, "End_Sec", 59);

    auto *choice_box = new QGroupBox(QStringLiteral(" Задание периода"), this);
    choice_box->setObjectName("Choice_Box");
    auto *cl = new QVBoxLayout(choice_box);
    Choice = new QButtonGroup(this);
    const char *items[3] = {"За последний час", "За последние сутки", "Заданный период"};
    for (int i = 0; i < 3; ++i) {
        Choice_Btn[i] = new QRadioButton(QString::fromUtf8(items[i]), choice_box);
        Choice->addButton(Choice_Btn[i], i);
        cl->addWidget(Choice_Btn[i]);
    }

    Btn_Accept = Req_Button(this, "Btn_Accept", QStringLiteral("Принять"));
    Btn_Exit = Req_Button(this, "Btn_Exit", QStringLiteral("Выход"));

    auto *v = new QVBoxLayout(this);
    v->addWidget(bound_group(this, QStringLiteral(" Начало периода "), Start_Date, Start_Hour, Start_Min, Start_Sec));
    v->addWidget(bound_group(this, QStringLiteral(" Конец периода "), End_Date, End_Hour, End_Min, End_Sec));
    v->addWidget(choice_box);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Btn_Accept);
    buttons->addWidget(Btn_Exit);
    v->addLayout(buttons);

    Req_Enter_In_Choice(Choice, int(PERIOD_GIVEN), Start_Date, Btn_Accept);
    Req_Enter_Accepts({Start_Date, Start_Hour, Start_Min, Start_Sec, End_Date, End_Hour, End_Min, End_Sec}, Btn_Accept);
    connect(Choice, &QButtonGroup::idClicked, this, &TFormPeriod::Apply_Choice);
    connect(Btn_Accept, &QPushButton::clicked, this, &TFormPeriod::Btn_Accept_Click);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormPeriod::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TFormPeriod::FormShow()
{
    Ok = 0;
    const uint32_t c = Stored_Period_Choice();
    Choice_Btn[c]->setChecked(true);
    Tab_Stops_On_Checked(this);
    Apply_Choice(int(c));
}

void TFormPeriod::Apply_Choice(int choice)
{
    if (choice < 0 || choice > int(PERIOD_GIVEN)) return;
    // Kept at once, so the choice survives leaving by "Выход".
    Store_Period_Choice(uint32_t(choice));
    const Period_Preset p = Period_Preset_For(uint32_t(choice), Pc_Now());
    show_bound(Start_Date, Start_Hour, Start_Min, Start_Sec, p.start);
    show_bound(End_Date, End_Hour, End_Min, End_Sec, p.end);
    for (QWidget *w : {static_cast<QWidget *>(Start_Date), static_cast<QWidget *>(Start_Hour),
                       static_cast<QWidget *>(Start_Min), static_cast<QWidget *>(Start_Sec),
                       static_cast<QWidget *>(End_Date), static_cast<QWidget *>(End_Hour),
                       static_cast<QWidget *>(End_Min), static_cast<QWidget *>(End_Sec)})
        w->setEnabled(p.enabled);
}

void TFormPeriod::Btn_Accept_Click()
{
    Period_Input in;
    in.start_date = Req_Get_Date(Start_Date);
    in.start_hour = Start_Hour->currentText();
    in.start_min = Start_Min->currentText();
    in.start_sec = Start_Sec->currentText();
    in.end_date = Req_Get_Date(End_Date);
    in.end_hour = End_Hour->currentText();
    in.end_min = End_Min->currentText();
    in.end_sec = End_Sec->currentText();
    Date6 s{}, e{};
    if (const auto refusal = Check_Period(in, s, e)) {
        Req_Refuse(*refusal);
        return;
    }
    if (Choice->checkedId() == int(PERIOD_GIVEN)) Store_Given_Period(s, e);
    Start = s;
    End = e;
    Ok = 1;
    accept();
}
