#include "core/forms/Abonent.h"

#include "core/Abonents.h"
#include "core/Ques.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Text_Focus.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLineEdit *int_edit(QWidget *parent, const char *name, int max_len, int width)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(max_len);
    e->setFixedWidth(width);
    Install_Int_Filter(e);
    return e;
}

void refuse(const QString &line1, const QString &line2)
{
    Ques_Kind = 2;
    Show_Ques(line1, line2);
}

// A number typed into a box, -1 when the text is not a plain decimal number.
long long number_of(const QString &text)
{
    bool ok = false;
    const long long v = text.toLongLong(&ok, 10);
    return ok && !text.startsWith('+') && !text.startsWith('-') ? v : -1;
}

} // namespace

TFormAbonent::TFormAbonent(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormAbonent");
    auto *v = new QVBoxLayout(this);

    auto *g = new QGridLayout;
    auto *name_label = new QLabel(QStringLiteral("Наименование"), this);
    auto *adr_label = new QLabel(QStringLiteral("Адрес устройства"), this);
    g->addWidget(name_label, 0, 0);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(ABONENT_NAME_LEN - 1);
    Install_Page_Filter(Edit1);
    g->addWidget(Edit1, 0, 1);
    g->addWidget(adr_label, 1, 0);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    Set_Typed_List(ComboBox1);
    for (int a = 1; a <= 255; ++a) ComboBox1->addItem(QString::number(a));
    ComboBox1->setFixedWidth(90);
    Install_Int_Filter(ComboBox1);
    g->addWidget(ComboBox1, 1, 1, Qt::AlignLeft);
    v->addLayout(g);

    pn_fon = new QWidget(this);
    pn_fon->setObjectName("pn_fon");
    auto *hf = new QHBoxLayout(pn_fon);
    hf->setContentsMargins(0, 0, 0, 0);
    auto *fon_label = new QLabel(QStringLiteral("№ телефона"), pn_fon);
    hf->addWidget(fon_label);
    Edit2 = new QLineEdit(pn_fon);
    Edit2->setObjectName("Edit2");
    Edit2->setMaxLength(PHONE_CODE_LEN - 1);
    Install_Page_Filter(Edit2);
    hf->addWidget(Edit2, 1);
    v->addWidget(pn_fon);

    pn_ethr = new QWidget(this);
    pn_ethr->setObjectName("pn_ethr");
    auto *he = new QHBoxLayout(pn_ethr);
    he->setContentsMargins(0, 0, 0, 0);
    auto *ethr_label = new QLabel(QStringLiteral("IP-адрес:порт"), pn_ethr);
    he->addWidget(ethr_label);
    ip4 = int_edit(pn_ethr, "ip4", 3, 48);
    ip3 = int_edit(pn_ethr, "ip3", 3, 48);
    ip2 = int_edit(pn_ethr, "ip2", 3, 48);
    ip1 = int_edit(pn_ethr, "ip1", 3, 48);
    Edit11 = int_edit(pn_ethr, "Edit11", 5, 70);
    he->addWidget(ip4);
    he->addWidget(new QLabel(".", pn_ethr));
    he->addWidget(ip3);
    he->addWidget(new QLabel(".", pn_ethr));
    he->addWidget(ip2);
    he->addWidget(new QLabel(".", pn_ethr));
    he->addWidget(ip1);
    he->addWidget(new QLabel(":", pn_ethr));
    he->addWidget(Edit11);
    he->addStretch(1);
    v->addWidget(pn_ethr);

    // The number's and the address's panels lie outside the grid: their fields start where
    // the grid's do when all captions take the widest one's width and the same gap.
    int caption = 0;
    for (QLabel *l : {name_label, adr_label, fon_label, ethr_label}) caption = std::max(caption, l->sizeHint().width());
    for (QLabel *l : {name_label, adr_label, fon_label, ethr_label}) l->setMinimumWidth(caption);
    hf->setSpacing(g->horizontalSpacing());
    he->setSpacing(g->horizontalSpacing());

    auto *hb = new QHBoxLayout;
    BitBtn4 = new QPushButton(QStringLiteral("Принять"), this);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn5 = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtn5->setObjectName("BitBtn5");
    BitBtn4->setAutoDefault(false);
    BitBtn5->setAutoDefault(false);
    hb->addStretch(1);
    hb->addWidget(BitBtn4);
    hb->addWidget(BitBtn5);
    hb->addStretch(1);
    v->addStretch(1);
    v->addLayout(hb);

    connect(BitBtn4, &QPushButton::clicked, this, &TFormAbonent::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormAbonent::Ethernet() const
{
    if (!Ethr_Rec) return false;
    if (!Fon_Rec) return true;
    return Conn_Settings.Curr_Par.Conn_Prz == 2;
}

void TFormAbonent::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) Form_Show();
    QDialog::showEvent(e);
}

void TFormAbonent::Form_Show()
{
    Accepted = 0;
    const bool eth = Ethernet();
    pn_fon->setVisible(!eth);
    pn_ethr->setVisible(eth);
    if (eth) {
        setWindowTitle(QStringLiteral("Параметры абонента (Ethernet-интерфейс)"));
        resize(568, 224);
    } else {
        setWindowTitle(QStringLiteral("Параметры абонента (связь по телефону)"));
        resize(568, 220);
    }
    for (QLineEdit *ed : {Edit1, Edit2, ip4, ip3, ip2, ip1, Edit11}) ed->clear();
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());

    if (Mode == 1 && (eth ? Ethr_Rec != nullptr : Fon_Rec != nullptr)) {
        const char *name = eth ? Ethr_Rec->user_name : Fon_Rec->user_name;
        const int adr = eth ? Ethr_Rec->contr_adr : Fon_Rec->contr_adr;
        Edit1->setText(Abonent_Text(name, ABONENT_NAME_LEN));
        // An address out of the list (damaged record) leaves the box empty.
        if (adr >= 1 && adr <= 255) ComboBox1->setCurrentIndex(adr - 1);
        if (eth) {
            const uint32_t ip = Ethr_Rec->ip_adr;
            const uint32_t port = Ethr_Rec->port;
            ip1->setText(QString::number(ip & 0xFF));
            ip2->setText(QString::number((ip >> 8) & 0xFF));
            ip3->setText(QString::number((ip >> 16) & 0xFF));
            ip4->setText(QString::number(ip >> 24));
            Edit11->setText(QString::number(port));
        } else {
            Edit2->setText(Abonent_Text(Fon_Rec->phone_code, PHONE_CODE_LEN));
        }
    }
    Focus_Text(Edit1);
}

void TFormAbonent::BitBtn4Click()
{
    const bool eth = Ethernet();
    if (eth ? Ethr_Rec == nullptr : Fon_Rec == nullptr) return;
    const QString adr_text = ComboBox1->currentText();
    if (adr_text.isEmpty() || Edit1->text().isEmpty()) {
        refuse(QStringLiteral("Введены не все параметры"), QString());
        return;
    }
    const long long adr = number_of(adr_text);
    if (adr < 1 || adr > 255) {
        refuse(QStringLiteral("Адрес вне допустимого диапазона"), QStringLiteral("(1...255)"));
        return;
    }
    if (!eth) {
        if (Edit2->text().isEmpty()) {
            refuse(QStringLiteral("Введены не все параметры"), QString());
            return;
        }
        Fon_Rec->contr_adr = uint8_t(adr);
        Set_Abonent_Text(Fon_Rec->user_name, ABONENT_NAME_LEN, Edit1->text());
        Set_Abonent_Text(Fon_Rec->phone_code, PHONE_CODE_LEN, Edit2->text());
    } else {
        QLineEdit *const boxes[4] = {ip1, ip2, ip3, ip4};   // byte k from box ip(k+1)
        if (Edit11->text().isEmpty() || ip4->text().isEmpty() || ip3->text().isEmpty() || ip2->text().isEmpty() ||
            ip1->text().isEmpty()) {
            refuse(QStringLiteral("Введены не все параметры"), QString());
            return;
        }
        uint32_t ip = 0;
        for (int k = 3; k >= 0; --k) {
            const long long b = number_of(boxes[k]->text());
            if (b < 0 || b > 255) {
                refuse(QStringLiteral("Поле IP-адреса вне допустимого диапазона"), QStringLiteral("(0...255)"));
                return;
            }
            ip |= uint32_t(b) << (8 * k);
        }
        // Port 0 cannot be connected to; 0.0.0.0 would reach a listener on this very machine.
        const long long port = number_of(Edit11->text());
        if (port < 1 || port > 65535) {
            refuse(QStringLiteral("Порт вне допустимого диапазона"), QStringLiteral("(1...65535)"));
            return;
        }
        if (ip == 0) {
            refuse(QStringLiteral("Недопустимый IP-адрес"), QStringLiteral("(0.0.0.0)"));
            return;
        }
        Ethr_Rec->contr_adr = uint8_t(adr);
        Ethr_Rec->ip_adr = ip;
        Ethr_Rec->port = uint32_t(port);
        Set_Abonent_Text(Ethr_Rec->user_name, ABONENT_NAME_LEN, Edit1->text());
    }
    Accepted = 1;
    accept();
}
