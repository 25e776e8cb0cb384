#include "params/forms/Param_Dialog.h"

#include "core/Ques.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

TParam_Dialog::TParam_Dialog(QWidget *owner, Buttons buttons) : QDialog(owner), Kind(buttons)
{
    auto *outer = new QVBoxLayout(this);
    Body = new QVBoxLayout;
    outer->addLayout(Body, 1);
    Button_Row = new QHBoxLayout;
    Button_Row->addStretch(1);
    outer->addLayout(Button_Row);

    auto make = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        Button_Row->addWidget(b);
        return b;
    };
    if (Kind != Buttons::Exit_Only) {
        if (Kind == Buttons::By_Dev_Write) {
            BitBtnWrite = make(QStringLiteral("Записать в устройство"), "BitBtnWrite");
            connect(BitBtnWrite, &QPushButton::clicked, this, &TParam_Dialog::Accept_Click);
        }
        BitBtnAccept = make(QStringLiteral("Принять"), "BitBtnAccept");
        connect(BitBtnAccept, &QPushButton::clicked, this, &TParam_Dialog::Accept_Click);
        BitBtnCancel = make(QStringLiteral("Отменить"), "BitBtnCancel");
    } else {
        BitBtnCancel = make(QStringLiteral("Выход"), "BitBtnCancel");
    }
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton *TParam_Dialog::Confirm_Button() const
{
    if (Kind == Buttons::By_Dev_Write && Dev_Write) return BitBtnWrite;
    return BitBtnAccept;
}

void TParam_Dialog::showEvent(QShowEvent *e)
{
    if (BitBtnWrite) {
        BitBtnWrite->setVisible(Dev_Write != 0);
        BitBtnAccept->setVisible(Dev_Write == 0);
    }
    if (!Loaded) {
        Loaded = true;
        Load();
    }
    QDialog::showEvent(e);
}

void TParam_Dialog::Accept_Click()
{
    if (!Check()) return;
    Accepted = Store() ? 1 : 0;
    accept();
}

bool TParam_Dialog::Refuse(const QString &line1, const QString &line2)
{
    Ques_Kind = 2;
    Show_Ques(line1, line2);
    return false;
}

bool TParam_Dialog::Parse_Float(const QString &text, float &v)
{
    // "." is the only separator: a pasted "1,500" is no number rather than 1500.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = c.toDouble(text.trimmed(), &ok);
    // A float keeps at most about 3.4e38; a larger value would be stored as infinity.
    if (!ok || !std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max())) return false;
    v = float(d);
    return true;
}

bool TParam_Dialog::Take_Float(const QLineEdit *edit, float &v, const QString &what)
{
    const QString text = edit ? edit->text().trimmed() : QString();
    if (!Parse_Float(text, v))
        return Refuse(QStringLiteral("\"%1\" не является правильным числом").arg(text), what);
    return true;
}
