#include "messages/forms/Ques_prn.h"

#include "core/Suplfunc.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Text_Focus.h"
#include "messages/Ques_prn.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstring>

TFormQues_Prn::TFormQues_Prn(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral(" Данные для печати"));
    auto *v = new QVBoxLayout(this);

    QFont bold = font();
    bold.setBold(true);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    for (QLabel *l : {Label1, Label2, Label3}) {
        l->setAlignment(Qt::AlignHCenter);
        v->addWidget(l);
    }
    Label1->setFont(bold);
    Label2->setFont(bold);

    auto *name_row = new QHBoxLayout;
    name_row->addWidget(new QLabel(QStringLiteral("Наименование организации"), this));
    name_row->addStretch();
    name_row->addWidget(new QLabel(QStringLiteral("( до 40 символов )"), this));
    v->addSpacing(8);
    v->addLayout(name_row);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(TITLE_INI_SIZE);
    Install_Page_Filter(Edit1);
    Edit1->setMinimumWidth(Edit1->fontMetrics().averageCharWidth() * 48);
    v->addWidget(Edit1);

    BitBtn1 = new QPushButton(QStringLiteral("Печатать"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    v->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormQues_Prn::BitBtn1Click);
    Enter_Presses(Edit1, BitBtn1);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormQues_Prn::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TFormQues_Prn::FormShow()
{
    Ok = 0;
    Read_Title_Ini(Title_Ini_Path(), Heading);
    Edit1->setText(Rep_Heading_Text(Heading));

    Ques_Prn_Lines lines;
    if (Header) lines = Ques_Prn_Title(Report_Kind, *Header);
    Label1->setText(lines.line1);
    Label2->setText(lines.line2);
    Label3->setText(lines.line3);
    Focus_Text(Edit1);
}

void TFormQues_Prn::BitBtn1Click()
{
    char buf[REP_HEADING_SIZE];
    Heading_From_Text(Edit1->text(), buf);
    if (std::memcmp(buf, Heading, REP_HEADING_SIZE) != 0) {
        std::memcpy(Heading, buf, REP_HEADING_SIZE);
        // The report gets the name either way; a settings file that cannot be written is no
        // reason to stop a print, but the user learns that the name is not kept.
        if (!Write_Title_Ini(Title_Ini_Path(), Heading)) Show_Not_Saved(Title_Ini_Path());
    }
    Ok = 1;
    accept();
}
