#include "core/forms/Userpass.h"

#include "core/Codepage.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Window_Place.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <cstring>

TFormShortUsPass::TFormShortUsPass(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Идентификация пользователя программы"));
    setFixedSize(384, 176);
    Centre_On_Screen(this);
    std::memset(Password, ' ', sizeof Password);
    std::memset(Ident_Code, ' ', sizeof Ident_Code);

    auto *g = new QGridLayout(this);
    auto *l3 = new QLabel(QStringLiteral(" Код идентификации  пользователя"), this);
    l3->setObjectName("Label3");
    Edit4 = new QLineEdit(this);
    Edit4->setObjectName("Edit4");
    Edit4->setMaxLength(4);
    Edit4->setEchoMode(QLineEdit::Password);
    Edit4->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));   // "*"
    // Digits only, as every integer box of the program: "%" and "'" of the old key rule are
    // the codes of the arrow keys, which move the caret here anyway. The code is kept as typed.
    Edit4->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,4}"), Edit4));
    auto *l1 = new QLabel(QStringLiteral(" Пароль на запись в контроллер"), this);
    l1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(12);
    Install_Page_Filter(Edit1);   // sent as typed, in the Windows code page
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    BitBtn1 = new QPushButton(QStringLiteral("Принять"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    g->addWidget(l3, 0, 0);
    g->addWidget(Edit4, 0, 1);
    g->addWidget(l1, 1, 0);
    g->addWidget(Edit1, 1, 1);
    g->addWidget(BitBtn1, 2, 0);
    g->addWidget(BitBtn2, 2, 1);

    connect(Edit4, &QLineEdit::returnPressed, Edit1, [this] { Edit1->setFocus(); });
    connect(Edit1, &QLineEdit::returnPressed, BitBtn1, [this] { BitBtn1->setFocus(); });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormShortUsPass::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormShortUsPass::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    Edit4->clear();
    Edit1->clear();
    Edit4->setFocus();
}

void TFormShortUsPass::BitBtn1Click()
{
    if (Edit4->text().isEmpty()) {
        Ques_Kind = 2;
        Show_Ques(QStringLiteral("Не задан код идентификации пользователя"), QString());
        return;
    }
    // Blank-padded, in the Windows code page, without conversion to 866.
    Unicode_To_Field(Edit1->text(), Password, sizeof Password);
    Unicode_To_Field(Edit4->text(), Ident_Code, sizeof Ident_Code);
    Accepted = 1;
    accept();
}

void User_Ident(QWidget *owner, hgcbox *box)
{
    TFormShortUsPass f(owner);
    Run_Dialog(f);
    if (f.Accepted && box) {
        std::memcpy(box->Write_Pass, f.Password, sizeof f.Password);
        std::memcpy(box->User_Code, f.Ident_Code, sizeof f.Ident_Code);
    }
}
