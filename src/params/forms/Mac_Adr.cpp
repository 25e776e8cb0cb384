#include "params/forms/Mac_Adr.h"

#include "params/Links.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TFormMac_Adr::TFormMac_Adr(QWidget *owner) : TParam_Dialog(owner, Buttons::Exit_Only)
{
    setWindowTitle(QStringLiteral("MAC-адрес контроллера"));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("MAC-адрес контроллера"), this));
    PMac = new QLabel(this);
    PMac->setObjectName("PMac");
    PMac->setFrameShape(QFrame::Panel);
    PMac->setFrameShadow(QFrame::Sunken);
    PMac->setAlignment(Qt::AlignCenter);
    PMac->setMinimumWidth(160);
    row->addWidget(PMac);
    Body->addLayout(row);
}

void TFormMac_Adr::Load()
{
    PMac->setText(Mac_Text(Tab_Data));
}
