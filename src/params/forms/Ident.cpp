#include "params/forms/Ident.h"

#include "core/forms/Keyfilters.h"
#include "params/Ident_Tab.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
QLabel *Value_Label(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(170);
    return l;
}
} // namespace

TFormIdent::TFormIdent(QWidget *owner) : TParam_Dialog(owner, Buttons::Exit_Only)
{
    setWindowTitle(QStringLiteral("Параметры идентификации контроллера"));
    resize(490, 416);
    auto *g = new QGridLayout;
    Body->addLayout(g);

    LDestr = Value_Label(this, "LDestr");
    LDestr->setFrameShape(QFrame::NoFrame);
    LDestr->setAlignment(Qt::AlignCenter);
    g->addWidget(LDestr, 0, 0, 1, 2);
    Config_Rows << LDestr;

    int row = 1;
    auto add = [&](const QString &caption, QLabel *value, bool config_row) {
        auto *c = new QLabel(caption, this);
        g->addWidget(c, row, 0);
        g->addWidget(value, row, 1);
        ++row;
        if (config_row) Config_Rows << c << value;
    };
    add(QStringLiteral("Код типа контроллера"), LType = Value_Label(this, "LType"), false);
    add(QStringLiteral("Версия аппаратного обеспечения"), LHard = Value_Label(this, "LHard"), true);
    add(QStringLiteral("Версия программного обеспечения"), LSoft = Value_Label(this, "LSoft"), false);
    add(QStringLiteral("Дата создания ПО"), LDate = Value_Label(this, "LDate"), true);
    add(QStringLiteral("Порядок расположения байтов"), LOrder = Value_Label(this, "LOrder"), true);
    add(QStringLiteral("Возможность работы на разных\nскоростях обмена"), LRates = Value_Label(this, "LRates"), true);
    add(QStringLiteral("Возможность изменения адреса\nконтроллера"), LAdr = Value_Label(this, "LAdr"), true);
    add(QStringLiteral("Номер последней версии протокола\nZPR-CC33-T, которая поддерживается\nконтроллером"),
        LProt = Value_Label(this, "LProt"), true);
    g->setRowStretch(row, 1);
}

void TFormIdent::Load()
{
    const Ident_Texts t = Format_Ident(Tab_Data, Dev_Write != 0);
    LType->setText(t.type_code);
    LSoft->setText(t.soft_ver);
    LDestr->setText(t.destroyed);
    LDestr->setStyleSheet(t.destroyed_alarm ? QStringLiteral("color: red") : QString());
    LHard->setText(t.hard_ver);
    LDate->setText(t.build_date);
    LOrder->setText(t.byte_order);
    LRates->setText(t.rates);
    LAdr->setText(t.adr_change);
    LProt->setText(t.protocol);
    for (QWidget *w : std::as_const(Config_Rows)) w->setEnabled(Dev_Write != 0);
}

TFormContrName::TFormContrName(QWidget *owner) : TParam_Dialog(owner)
{
    setWindowTitle(QStringLiteral("Наименования"));
    resize(482, 178);
    auto *g = new QGridLayout;
    Body->addLayout(g);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(NAME_LEN);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit2->setMaxLength(NAME_LEN);
    Install_Page_Filter(Edit1);
    Install_Page_Filter(Edit2);
    g->addWidget(new QLabel(QStringLiteral("Наименование контроллера"), this), 0, 0);
    g->addWidget(Edit1, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Наименование нитки \nхроматографа"), this), 1, 0);
    g->addWidget(Edit2, 1, 1);
}

void TFormContrName::Load()
{
    Install_Page_Filter(Edit1, Names_866);
    Install_Page_Filter(Edit2, Names_866);
    if (!Tab_Data) return;
    // What the edits show: a character their code page lacks is not shown, and a name left as
    // shown keeps its bytes.
    Edit1->setText(Name_Text(reinterpret_cast<const char *>(Tab_Data)));
    Edit2->setText(Name_Text(reinterpret_cast<const char *>(Tab_Data + NAME_LEN)));
    Shown1 = Edit1->text();
    Shown2 = Edit2->text();
}

bool TFormContrName::Check()
{
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty())
        return Refuse(QStringLiteral("Введены не все параметры"));
    return Tab_Data != nullptr;
}

bool TFormContrName::Store()
{
    // A name left as shown keeps its bytes (blank padding included), so that accepting
    // without a change does not rewrite it. The name of line 2 has no edit: it is cleared.
    if (Edit1->text() != Shown1) Set_Name(reinterpret_cast<char *>(Tab_Data), Edit1->text());
    if (Edit2->text() != Shown2) Set_Name(reinterpret_cast<char *>(Tab_Data + NAME_LEN), Edit2->text());
    Set_Name(reinterpret_cast<char *>(Tab_Data + 2 * NAME_LEN), QString());
    return true;
}
