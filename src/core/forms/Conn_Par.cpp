#include "core/forms/Conn_Par.h"
#include "core/forms/Text_Fit.h"

#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Grid_Line_Up.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Number_Search.h"
#include "core/forms/Text_Focus.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const QString kIncomplete = QStringLiteral("Введены не все параметры");
const QString kOutOfRange = QStringLiteral("Параметр вне допустимого диапазона");
const QString kPreambles = QStringLiteral("Количество преамбул в запросе");
const QString kFirstWait = QStringLiteral("Время ожидания первого байта ответа");
const QString kNextWait = QStringLiteral("Время ожидания следующих байтов ответа");
const QString kFreeWait = QStringLiteral("Время ожидания освобождения СОМ порта");
const QString kConnWait = QStringLiteral("Ожидание соединения");
const QString kConnRepeat = QStringLiteral("Количество попыток соединения");

// The value of a digits-only edit; -1 when empty, the largest value when it does not fit
// (so that it fails every range check instead of wrapping round).
int64_t Edit_Value(const QLineEdit *e)
{
    const QString t = e->text().trimmed();
    if (t.isEmpty()) return -1;
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok, 10);
    if (!ok || v > qulonglong(std::numeric_limits<int64_t>::max()))
        return std::numeric_limits<int64_t>::max();
    return int64_t(v);
}

bool Empty(const QLineEdit *e)
{
    return e->text().trimmed().isEmpty();
}

bool In(int64_t v, int64_t lo, int64_t hi)
{
    return v >= lo && v <= hi;
}

QLabel *Label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(false);
    return l;
}

QLineEdit *Int_Edit(const char *name, QWidget *parent, int width = 60)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setFixedWidth(width);
    e->setMaxLength(10);
    Install_Int_Filter(e);
    return e;
}

QComboBox *Attempts_Combo(const char *name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    for (int i = 1; i <= 5; ++i) c->addItem(QStringLiteral(" %1").arg(i));
    Install_Number_Search(c);
    return c;
}

QString Command_Text(const char (&cmd)[MODEM_COMMAND_LEN])
{
    return Cp1251_To_Unicode(cmd, int(strnlen(cmd, MODEM_COMMAND_LEN)));
}

void Store_Command(const QString &text, char (&cmd)[MODEM_COMMAND_LEN])
{
    std::memset(cmd, 0, MODEM_COMMAND_LEN);
    const QByteArray b = Unicode_To_Cp1251(text).left(MODEM_COMMAND_LEN - 1);
    std::memcpy(cmd, b.constData(), size_t(b.size()));
}

} // namespace

TFormConn_Par::TFormConn_Par(QWidget *owner, Conn_Settings_Rec *settings, hgcbox *box)
    : QDialog(owner), Settings(settings ? settings : &Conn_Settings), Box(box ? box : Exch_Box)
{
    setObjectName(QStringLiteral("FormConn_Par"));
    setWindowTitle(QStringLiteral("Параметры связи с устройством (через адаптер связи)"));

    auto *v = new QVBoxLayout(this);

    // Direct line and telephone.
    pn_dir = new QFrame(this);
    pn_dir->setObjectName(QStringLiteral("pn_dir"));
    pn_dir->setFrameShape(QFrame::StyledPanel);
    auto *g = new QGridLayout(pn_dir);
    ComboBox1 = new QComboBox(pn_dir);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Set_Typed_List(ComboBox1);   // a device that is not listed (a pty) may be typed
    Install_Page_Filter(ComboBox1);   // kept in the settings file in 1251
    ComboBox1->setMinimumWidth(140);
    ComboBox2 = new QComboBox(pn_dir);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    Edit1 = Int_Edit("Edit1", pn_dir);
    Edit2 = Int_Edit("Edit2", pn_dir);
    Edit3 = Int_Edit("Edit3", pn_dir);
    ComboBox3 = Attempts_Combo("ComboBox3", pn_dir);
    CheckBox1 = new QCheckBox(QStringLiteral("Освобождать порт после\nкаждого сеанса связи"), pn_dir);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Edit13 = Int_Edit("Edit13", pn_dir);
    int r = 0;
    g->addWidget(Label(QStringLiteral("Порт подключения"), pn_dir), r, 0);
    g->addWidget(ComboBox1, r++, 1, 1, 2);
    g->addWidget(Label(QStringLiteral("Скорость обмена"), pn_dir), r, 0);
    g->addWidget(ComboBox2, r, 1);
    g->addWidget(Label(QStringLiteral("бит/с"), pn_dir), r++, 2);
    g->addWidget(Label(QStringLiteral("Время ожидания первого\nбайта ответа (1...120)"), pn_dir), r, 0);
    g->addWidget(Edit1, r, 1);
    g->addWidget(Label(QStringLiteral("c"), pn_dir), r++, 2);
    g->addWidget(Label(QStringLiteral("Время ожидания след.\nбайтов ответа (55...5000)"), pn_dir), r, 0);
    g->addWidget(Edit2, r, 1);
    g->addWidget(Label(QStringLiteral("мс"), pn_dir), r++, 2);
    g->addWidget(Label(QStringLiteral("Количество преамбул\nв запросе (0...255)"), pn_dir), r, 0);
    g->addWidget(Edit3, r++, 1);
    g->addWidget(Label(QStringLiteral("Кол. попыток обмена"), pn_dir), r, 0);
    g->addWidget(ComboBox3, r++, 1);
    g->addWidget(CheckBox1, r++, 0, 1, 3);
    g->addWidget(Label(QStringLiteral("Время ожидания\nосвобождения СОМ порта\n (1...20)"), pn_dir), r, 0);
    g->addWidget(Edit13, r, 1);
    g->addWidget(Label(QStringLiteral("c"), pn_dir), r++, 2);
    v->addWidget(pn_dir);

    // Telephone only.
    pn_fon = new QFrame(this);
    pn_fon->setObjectName(QStringLiteral("pn_fon"));
    pn_fon->setFrameShape(QFrame::StyledPanel);
    auto *gf = new QGridLayout(pn_fon);
    Edit5 = new QLineEdit(pn_fon);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    Edit5->setMaxLength(MODEM_COMMAND_LEN - 1);
    Install_Page_Filter(Edit5);
    Edit6 = Int_Edit("Edit6", pn_fon);
    Edit10 = Int_Edit("Edit10", pn_fon);
    gf->addWidget(Label(QStringLiteral("Команда модему"), pn_fon), 0, 0);
    gf->addWidget(Edit5, 0, 1, 1, 2);
    gf->addWidget(Label(QStringLiteral("Ожидание соединения\n(1...360)"), pn_fon), 1, 0);
    gf->addWidget(Edit6, 1, 1);
    gf->addWidget(Label(QStringLiteral("c"), pn_fon), 1, 2);
    gf->addWidget(Label(QStringLiteral("Кол. попыток соединения\n(1...10)"), pn_fon), 2, 0);
    gf->addWidget(Edit10, 2, 1);
    v->addWidget(pn_fon);

    // Beyond their contents the panels grow in the units' column; left to itself a grid spreads
    // the width over the caption column too, each panel by its own share.
    for (QGridLayout *grid : {g, gf}) grid->setColumnStretch(2, 1);

    // Ethernet, in the place of the serial panel.
    pn_ethr = new QFrame(this);
    pn_ethr->setObjectName(QStringLiteral("pn_ethr"));
    pn_ethr->setFrameShape(QFrame::StyledPanel);
    auto *ge = new QGridLayout(pn_ethr);
    Edit4 = Int_Edit("Edit4", pn_ethr);
    Edit12 = Int_Edit("Edit12", pn_ethr);
    Edit7 = Int_Edit("Edit7", pn_ethr);
    Edit9 = Int_Edit("Edit9", pn_ethr);
    Edit8 = Int_Edit("Edit8", pn_ethr);
    ComboBox6 = Attempts_Combo("ComboBox6", pn_ethr);
    r = 0;
    ge->addWidget(Label(QStringLiteral("Время ожидания\nсоединения(1...360)"), pn_ethr), r, 0);
    ge->addWidget(Edit4, r, 1);
    ge->addWidget(Label(QStringLiteral("c"), pn_ethr), r++, 2);
    ge->addWidget(Label(QStringLiteral("Кол. попыток соединения\n(1...10)"), pn_ethr), r, 0);
    ge->addWidget(Edit12, r++, 1);
    ge->addWidget(Label(QStringLiteral("Время ожидания первого\nбайта ответа (1...120)"), pn_ethr), r, 0);
    ge->addWidget(Edit7, r, 1);
    ge->addWidget(Label(QStringLiteral("c"), pn_ethr), r++, 2);
    ge->addWidget(Label(QStringLiteral("Время ожидания след.\nбайтов ответа (55...5000)"), pn_ethr), r, 0);
    ge->addWidget(Edit9, r, 1);
    ge->addWidget(Label(QStringLiteral("мс"), pn_ethr), r++, 2);
    ge->addWidget(Label(QStringLiteral("Количество преамбул\nв запросе (0...255)"), pn_ethr), r, 0);
    ge->addWidget(Edit8, r++, 1);
    ge->addWidget(Label(QStringLiteral("Кол. попыток обмена"), pn_ethr), r, 0);
    ge->addWidget(ComboBox6, r++, 1);
    v->addWidget(pn_ethr);

    auto *h = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Принять"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn4 = new QPushButton(QStringLiteral("Поиск адреса устройства"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn2 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *b : {BitBtn1, BitBtn4, BitBtn2}) {
        b->setAutoDefault(false);
        h->addWidget(b);
    }
    v->addLayout(h);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormConn_Par::BitBtn1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormConn_Par::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBox1, &QCheckBox::clicked, this, &TFormConn_Par::CheckBox1Click);
}

void TFormConn_Par::showEvent(QShowEvent *e)
{
    // Filled from the settings each time the caller shows it, not when the window system
    // merely restores it.
    if (!e->spontaneous()) FormShow();
    QDialog::showEvent(e);
}

void TFormConn_Par::FormShow()
{
    Work = *Settings;
    Prz = Work.Curr_Par.Conn_Prz <= 2 ? Work.Curr_Par.Conn_Prz : 0;
    BitBtn4->hide();
    pn_fon->hide();

    switch (Prz) {
    case 0: Lp = Work.Dir_Conn_Par; break;
    case 1: Lp = Work.Fon_Conn_Par.Link; break;
    default: Lp = Work.Ethernet_Conn_Par.Link; break;
    }
    Work_Port_Name = Prz < 2 ? Link_Port_Name[Prz].trimmed() : QString();

    const auto fill_attempts = [](QComboBox *c, int repeat) {
        c->setCurrentIndex(repeat >= 1 && repeat <= 5 ? repeat - 1 : -1);
    };

    if (Prz < 2) {
        pn_dir->show();
        pn_ethr->hide();

        ComboBox1->clear();
        const QStringList ports = Serial_Port_List();
        ComboBox1->addItems(ports);
        const QString stored = Link_Device(Prz, Lp.COMPort);
        int at = ComboBox1->findText(stored, Qt::MatchFixedString);
        if (at < 0 && !stored.isEmpty()) {
            // The stored device is offered as the status bar names it and the link opens it,
            // also when the system does not list it (a pty, a port that is away): selecting
            // another one here would give the link a second name.
            ComboBox1->addItem(stored);
            at = ComboBox1->count() - 1;
        }
        ComboBox1->setCurrentIndex(at >= 0 ? at : (ComboBox1->count() > 0 ? 0 : -1));
        if (ComboBox1->count() == 0) ComboBox1->setEditText(QString());

        ComboBox2->clear();
        for (uint32_t rate : Baud_Rates) ComboBox2->addItem(QString::number(rate));
        ComboBox2->setCurrentIndex(Baud_Index(Lp.Rate));

        Edit1->setText(QString::number(Lp.WaitTime));
        Edit2->setText(QString::number(Lp.TimeOut));
        Edit3->setText(QString::number(Lp.Preambles));
        fill_attempts(ComboBox3, Lp.Repeat);

        if (Prz == 0) {
            setWindowTitle(QStringLiteral("Параметры связи с устройством (непосредственная связь)"));
            BitBtn4->show();
            CheckBox1->setEnabled(true);
            CheckBox1->setChecked(Work.Curr_Par.Do_Close_Port != 0);
            CheckBox1Click();
        } else {
            setWindowTitle(QStringLiteral("Параметры связи с устройством (связь по телефону)"));
            pn_fon->show();
            CheckBox1->setChecked(Work.Curr_Par.Do_Close_Port != 0);
            CheckBox1->setEnabled(false);
            Edit13->setText(QString());
            Edit13->setEnabled(false);
            Edit5->setText(Command_Text(Work.Fon_Conn_Par.Command));
            Edit6->setText(QString::number(Work.Fon_Conn_Par.ConnectWaitTime));
            Edit10->setText(QString::number(Work.Fon_Conn_Par.Conn_Repeat));
        }
    } else {
        setWindowTitle(QStringLiteral("Параметры связи с устройством (Ethernet-интерфейс)"));
        pn_dir->hide();
        pn_ethr->show();
        Edit4->setText(QString::number(Work.Ethernet_Conn_Par.ConnectWaitTime));
        Edit12->setText(QString::number(Work.Ethernet_Conn_Par.Conn_Repeat));
        Edit7->setText(QString::number(Lp.WaitTime));
        Edit9->setText(QString::number(Lp.TimeOut));
        Edit8->setText(QString::number(Lp.Preambles));
        fill_attempts(ComboBox6, Lp.Repeat);
    }
    Focus_Text(Prz < 2 ? static_cast<QWidget *>(ComboBox1) : Edit4);
    // The two panels one above the other line up as one grid would.
    Line_Up_Grids({static_cast<QGridLayout *>(pn_dir->layout()), static_cast<QGridLayout *>(pn_fon->layout())});
    adjustSize();
    // As wide as the contents need, and the caption of the link type (set above) whole.
    setFixedWidth(std::max(sizeHint().width(), Caption_Width(this, windowTitle())));
}

void TFormConn_Par::CheckBox1Click()
{
    if (Prz != 0) return;
    // Kept in the working copy: "Выход" leaves the settings as they were.
    Work.Curr_Par.Do_Close_Port = CheckBox1->isChecked() ? 1 : 0;
    if (CheckBox1->isChecked()) {
        Edit13->setEnabled(true);
        Edit13->setText(QString::number(Work.Curr_Par.Free_Port_Wait));
    } else {
        Edit13->setEnabled(false);
        Edit13->setText(QString());
    }
}

bool TFormConn_Par::Incomplete()
{
    Ques_Kind = 2;
    Show_Ques(kIncomplete, QString());
    return false;
}

bool TFormConn_Par::Range_Error(const QString &name)
{
    Ques_Kind = 2;
    Show_Ques(name, kOutOfRange);
    return false;
}

bool TFormConn_Par::Check_And_Store(bool search)
{
    if (search && Prz != 0) return false;   // the search belongs to the direct line

    Conn_Settings_Rec copy = Work;
    Link_Par lp = Lp;
    QString port_name = Work_Port_Name;

    if (Prz < 2) {
        const QString port = ComboBox1->currentText().trimmed();
        if (port.isEmpty() || ComboBox2->currentIndex() < 0 || ComboBox3->currentIndex() < 0
            || Empty(Edit1) || Empty(Edit2) || Empty(Edit3))
            return Incomplete();
        const int com = Com_Port_Number(port);
        if (com > 0) {
            lp.COMPort = uint8_t(com);
            port_name.clear();
        } else {
            port_name = port;   // a device path; the COM number stays as it was for the ini
        }
        lp.Repeat = uint8_t(ComboBox3->currentIndex() + 1);
        const int64_t pre = Edit_Value(Edit3);
        if (!In(pre, 0, 255)) return Range_Error(kPreambles);
        lp.Preambles = uint8_t(pre);
        lp.Rate = Baud_By_Index(ComboBox2->currentIndex());
        const int64_t wait = Edit_Value(Edit1);
        if (!In(wait, 1, 120)) return Range_Error(kFirstWait);
        lp.WaitTime = uint32_t(wait);
        const int64_t gap = Edit_Value(Edit2);
        if (!In(gap, 55, 5000)) return Range_Error(kNextWait);
        lp.TimeOut = uint32_t(gap);

        if (Prz == 0) {
            copy.Curr_Par.Do_Close_Port = CheckBox1->isChecked() ? 1 : 0;
            if (CheckBox1->isChecked()) {
                if (Empty(Edit13)) return Incomplete();
                const int64_t fw = Edit_Value(Edit13);
                if (!In(fw, 1, 20)) return Range_Error(kFreeWait);
                copy.Curr_Par.Free_Port_Wait = uint32_t(fw);
            }
            copy.Dir_Conn_Par = lp;
        } else {
            copy.Fon_Conn_Par.Link = lp;
            Store_Command(Edit5->text(), copy.Fon_Conn_Par.Command);
            const int64_t cw = Edit_Value(Edit6);
            if (!In(cw, 1, 360)) return Range_Error(kConnWait);
            const int64_t cr = Edit_Value(Edit10);
            if (!In(cr, 1, 10)) return Range_Error(kConnRepeat);
            copy.Fon_Conn_Par.ConnectWaitTime = uint32_t(cw);
            copy.Fon_Conn_Par.Conn_Repeat = uint32_t(cr);
        }
    } else {
        if (ComboBox6->currentIndex() < 0 || Empty(Edit4) || Empty(Edit12) || Empty(Edit7)
            || Empty(Edit9) || Empty(Edit8))
            return Incomplete();
        lp.Repeat = uint8_t(ComboBox6->currentIndex() + 1);
        const int64_t pre = Edit_Value(Edit8);
        if (!In(pre, 0, 255)) return Range_Error(kPreambles);
        const int64_t wait = Edit_Value(Edit7);
        if (!In(wait, 1, 120)) return Range_Error(kFirstWait);
        const int64_t gap = Edit_Value(Edit9);
        if (!In(gap, 55, 5000)) return Range_Error(kNextWait);
        const int64_t cw = Edit_Value(Edit4);
        if (!In(cw, 1, 360)) return Range_Error(kConnWait);
        const int64_t cr = Edit_Value(Edit12);
        if (!In(cr, 1, 10)) return Range_Error(kConnRepeat);
        lp.Preambles = uint8_t(pre);
        lp.WaitTime = uint32_t(wait);
        lp.TimeOut = uint32_t(gap);
        copy.Ethernet_Conn_Par.Link = lp;
        copy.Ethernet_Conn_Par.ConnectWaitTime = uint32_t(cw);
        copy.Ethernet_Conn_Par.Conn_Repeat = uint32_t(cr);
    }

    // Every check passed: the copy becomes the settings.
    Work = copy;
    Lp = lp;
    Work_Port_Name = port_name;
    *Settings = Work;
    if (Prz < 2) Link_Port_Name[Prz] = Work_Port_Name;
    return true;
}

void TFormConn_Par::BitBtn1Click()
{
    if (!Check_And_Store(false)) return;
    Accepted = 1;
    accept();
}

void TFormConn_Par::BitBtn4Click()
{
    if (!Check_And_Store(true)) return;
    Search_Address();
}

void TFormConn_Par::Search_Address()
{
    hgcbox *box = Box;
    if (!box) {
        Ques_Kind = 5;
        Show_Ques(QStringLiteral("Устройство не обнаружено"), QString());
        return;
    }
    const Link_Par &lp = Settings->Dir_Conn_Par;
    Focus_Keeper keep(focusWidget());
    for (QPushButton *b : {BitBtn1, BitBtn4, BitBtn2}) b->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    box->Adr = 0xFF;   // any controller answers; the engine takes the answering address
    box->Rate = lp.Rate;
    box->COMPort = lp.COMPort;
    box->Port_Name = Link_Device(0, lp.COMPort);
    box->Conn_Prz = Settings->Curr_Par.Conn_Prz;
    box->Free_Port_Wait = Settings->Curr_Par.Free_Port_Wait;
    box->Do_Close_Port = 0;
    box->WaitTime = lp.WaitTime * 1000;
    box->TimeOut = lp.TimeOut;
    box->Preambles = lp.Preambles;
    box->Repeat = lp.Repeat;
    if (!box->Make_Serial_Port) box->Make_Serial_Port = Make_Serial_Port;
    if (box->Port_Handle) {
        box->Port_Handle->Close();
        box->Port_Handle.reset();
    }

    const auto done = [&] {
        QApplication::restoreOverrideCursor();
        for (QPushButton *b : {BitBtn1, BitBtn4, BitBtn2}) b->setEnabled(true);
        keep.Restore();
    };

    if (!box->Open_Port()) {
        done();
        Ques_Kind = 6;
        const QString dev = box->Port_Name;
        Show_Ques(Port_Unavailable_Text(dev), QString());
        return;
    }
    const uint8_t req[3] = {0, 0, 1};   // table 0, field 0, one field
    const bool ok = box->Exchange(1, req, 3, 0);
    if (box->Port_Handle) {
        box->Port_Handle->Close();
        box->Port_Handle.reset();
    }
    done();
    if (!ok) {
        Ques_Kind = 5;
        Show_Ques(QStringLiteral("Устройство не обнаружено"), QString());
        return;
    }
    Settings->Dir_Conn_Par.Adr = box->Adr;
    Work.Dir_Conn_Par.Adr = box->Adr;
    Ques_Kind = 5;
    Show_Ques(QStringLiteral("Адрес устройства установлен"),
              QStringLiteral("(адрес = %1).").arg(box->Adr));
    Accepted = 1;
    accept();
}

bool Show_Conn_Par(QWidget *owner)
{
    TFormConn_Par f(owner, &Conn_Settings, Exch_Box);
    Run_Dialog(f);
    return f.Accepted == 1;
}
