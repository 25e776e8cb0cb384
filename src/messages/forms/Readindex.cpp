#include "messages/forms/Readindex.h"

#include "core/forms/Keyfilters.h"
#include "core/forms/Radio_Group.h"
#include "messages/Readindex.h"
#include "messages/forms/Req_Controls.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QLabel *framed(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(100);
    return l;
}

QLineEdit *index_edit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    // Digits only (typed or pasted): the acceptance reads them as numbers.
    Install_Int_Filter(e);
    return e;
}

} // namespace

TFormIndex::TFormIndex(QWidget *owner) : QDialog(owner)
{
    Oldest_Text = framed(this, "Oldest_Text");
    Newest_Text = framed(this, "Newest_Text");
    Start_Edit = index_edit(this, "Start_Edit");
    Count_Edit = index_edit(this, "Count_Edit");

    auto *g = new QGridLayout;
    g->addWidget(new QLabel(QStringLiteral("Индекс самой старой записи"), this), 0, 0);
    g->addWidget(Oldest_Text, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Индекс самой новой записи"), this), 1, 0);
    g->addWidget(Newest_Text, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Индекс записи начала чтения"), this), 2, 0);
    g->addWidget(Start_Edit, 2, 1);
    g->addWidget(new QLabel(QStringLiteral("Количество записей для чтения"), this), 3, 0);
    g->addWidget(Count_Edit, 3, 1);

    auto *choice_box = new QGroupBox(QStringLiteral(" Задание для чтения данных "), this);
    choice_box->setObjectName("Choice_Box");
    auto *cl = new QVBoxLayout(choice_box);
    Choice = new QButtonGroup(this);
    const char *items[5] = {"Весь диапазон данных", "Последние 100 записей", "Последние 50 записей",
                            "Последние 10 записей", "Заданный диапазон данных"};
    for (int i = 0; i < 5; ++i) {
        Choice_Btn[i] = new QRadioButton(QString::fromUtf8(items[i]), choice_box);
        Choice->addButton(Choice_Btn[i], i);
        cl->addWidget(Choice_Btn[i]);
    }

    Btn_Accept = Req_Button(this, "Btn_Accept", QStringLiteral("Принять"));
    Btn_Exit = Req_Button(this, "Btn_Exit", QStringLiteral("Выход"));

    auto *v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addWidget(choice_box);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Btn_Accept);
    buttons->addWidget(Btn_Exit);
    v->addLayout(buttons);

    connect(Start_Edit, &QLineEdit::returnPressed, this, [this] { Count_Edit->setFocus(); });
    connect(Count_Edit, &QLineEdit::returnPressed, this, [this] { Btn_Accept->setFocus(); });
    Req_Enter_In_Choice(Choice, int(INDEX_GIVEN), Start_Edit, Btn_Accept);
    connect(Choice, &QButtonGroup::idClicked, this, &TFormIndex::Apply_Choice);
    connect(Btn_Accept, &QPushButton::clicked, this, &TFormIndex::Btn_Accept_Click);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormIndex::showEvent(QShowEvent *e)
{
    // The caption first, so that the dialog is centred at the width it needs.
    if (!e->spontaneous()) FormShow();
    QDialog::showEvent(e);
}

void TFormIndex::FormShow()
{
    setWindowTitle(Index_Caption(Kind));
    Oldest_Text->setText(QString::number(Oldest));
    Newest_Text->setText(QString::number(Newest));
    const uint32_t c = Stored_Index_Choice();
    Choice_Btn[c]->setChecked(true);
    Tab_Stops_On_Checked(this);
    Apply_Choice(int(c));
}

void TFormIndex::Apply_Choice(int choice)
{
    if (choice < 0 || choice > int(INDEX_GIVEN)) return;
    Store_Index_Choice(uint32_t(choice));
    const Index_Preset p = Index_Preset_For(uint32_t(choice), Oldest, Newest);
    Start_Edit->setText(p.start);
    Count_Edit->setText(p.count);
    Start_Edit->setEnabled(p.enabled);
    Count_Edit->setEnabled(p.enabled);
    // A preset chosen with an arrow key leaves the focus in the group, so that the arrows go on
    // through the choices; a range to give takes it to the start box however it was chosen.
    if (p.enabled) Focus_After_Choice(Start_Edit);
    else Btn_Accept->setFocus();
}

void TFormIndex::Btn_Accept_Click()
{
    uint32_t first = 0, count = 0;
    if (const auto refusal = Check_Index(Start_Edit->text(), Count_Edit->text(), Oldest, Newest, first, count)) {
        Req_Refuse(*refusal);
        return;
    }
    First = first;
    Count = count;
    Ok = 1;
    accept();
}
