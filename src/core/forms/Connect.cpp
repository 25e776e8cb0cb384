#include "core/forms/Connect.h"

#include "core/Abonents.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/List_Merge.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Suplfunc.h"
#include "core/Tcp_fun.h"
#include "core/forms/Abonent.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Window_Place.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

namespace {
const QString kNewAbonent = QStringLiteral("Новый абонент");
constexpr int kLabelWidth = 130;

void Refuse(const QString &l1, const QString &l2 = QString())
{
    Ques_Kind = 2;
    Show_Ques(l1, l2);
}
} // namespace

Conn_Status_Info Current_Conn_Status()
{
    const Conn_Settings_Rec &s = Conn_Settings;
    Conn_Status_Info i;
    i.conn_prz = s.Curr_Par.Conn_Prz;
    switch (i.conn_prz) {
    case 0:
        i.com_port = s.Dir_Conn_Par.COMPort;
        i.port_name = Link_Device(0, i.com_port);
        i.rate = int(s.Dir_Conn_Par.Rate);
        i.adr = s.Dir_Conn_Par.Adr;
        break;
    case 1: {
        const Fon_Abonents_List &l = s.Fon_Conn_Par.Fon_Abonents;
        i.com_port = s.Fon_Conn_Par.Link.COMPort;
        i.port_name = Link_Device(1, i.com_port);
        i.rate = int(s.Fon_Conn_Par.Link.Rate);
        if (l.hdr.users_num > 0 && l.hdr.user_index < l.hdr.users_num) {
            const Fon_Abonent &a = l.rec[l.hdr.user_index];
            i.have_subscriber = true;
            i.contr_adr = a.contr_adr;
            i.user_name = Abonent_Text(a.user_name, ABONENT_NAME_LEN);
            i.phone_code = Abonent_Text(a.phone_code, PHONE_CODE_LEN);
        }
        break;
    }
    default: {
        const Ethr_Abonents_List &l = s.Ethernet_Conn_Par.Ethr_Abonents;
        if (l.hdr.users_num > 0 && l.hdr.user_index < l.hdr.users_num) {
            const Ethr_Abonent &a = l.rec[l.hdr.user_index];
            i.have_subscriber = true;
            i.contr_adr = a.contr_adr;
            i.user_name = Abonent_Text(a.user_name, ABONENT_NAME_LEN);
            i.ip_adr = a.ip_adr;
        }
        break;
    }
    }
    return i;
}

void Show_Conn_Status(TStatusBar *bar1, TStatusBar *bar2)
{
    Show_Conn_Status(Current_Conn_Status(), [bar1, bar2](int bar, int panel, const QString &text) {
        TStatusBar *b = bar == 0 ? bar1 : bar2;
        if (b) b->Set_Text(panel, text);
    });
}

TFormConnect::TFormConnect(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Установка связи с устройством"));
    auto *g = new QGridLayout(this);
    g->setColumnMinimumWidth(0, kLabelWidth);
    g->addWidget(new QLabel(QStringLiteral("Тип связи"), this), 0, 0);
    ComboBox3 = new QComboBox(this);
    ComboBox3->setObjectName("ComboBox3");
    ComboBox3->addItems({QStringLiteral("Непосредственная связь"), QStringLiteral("Связь по телефону"),
                         QStringLiteral("Ethernet-интерфейс")});
    g->addWidget(ComboBox3, 0, 1, 1, 2);

    g->addWidget(new QLabel(QStringLiteral("Адрес устройства"), this), 1, 0);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    Set_Typed_List(ComboBox1);   // the list stays "1".."255"
    for (int a = 1; a <= 255; ++a) ComboBox1->addItem(QString::number(a));
    Install_Int_Filter(ComboBox1);
    g->addWidget(ComboBox1, 1, 1);

    pn_abon = new QWidget(this);
    pn_abon->setObjectName("pn_abon");
    auto *pg = new QGridLayout(pn_abon);
    pg->setContentsMargins(0, 0, 0, 0);
    pg->setColumnMinimumWidth(0, kLabelWidth);
    pg->addWidget(new QLabel(QStringLiteral("Абонент"), pn_abon), 0, 0);
    ComboBox2 = new QComboBox(pn_abon);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->setMaxVisibleItems(15);
    pg->addWidget(ComboBox2, 0, 1, 1, 2);
    BitBtn6 = new QPushButton(pn_abon);
    BitBtn6->setObjectName("BitBtn6");
    BitBtn6->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    BitBtn6->setFixedSize(28, 24);
    auto *list_row = new QHBoxLayout;
    list_row->addWidget(BitBtn6);
    list_row->addWidget(new QLabel(QStringLiteral("Список абонентов"), pn_abon), 1);
    pg->addLayout(list_row, 1, 1, 1, 2);
    g->addWidget(pn_abon, 2, 0, 1, 3);

    BitBtn3 = new QPushButton(QStringLiteral("Изменить параметры связи"), this);
    BitBtn3->setObjectName("BitBtn3");
    g->addWidget(BitBtn3, 3, 0, 1, 3);
    auto *bl = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Связаться"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn2->setObjectName("BitBtn2");
    // No default buttons: Enter in the address box presses nothing (Enter on a focused
    // button presses it, as everywhere in the program).
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn6}) b->setAutoDefault(false);
    bl->addWidget(BitBtn1);
    bl->addWidget(BitBtn2);
    g->addLayout(bl, 4, 0, 1, 3);

    connect(ComboBox3, qOverload<int>(&QComboBox::activated), this, [this] { ComboBox3Change(); });
    connect(ComboBox2, qOverload<int>(&QComboBox::activated), this, [this] { ComboBox2Change(); });
    connect(BitBtn6, &QPushButton::clicked, this, &TFormConnect::BitBtn6Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormConnect::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormConnect::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormConnect::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    const int prz = Conn_Settings.Curr_Par.Conn_Prz;
    ComboBox3->setCurrentIndex(prz <= 2 ? prz : -1);
    ComboBox3Change();
    // At the size of the chosen link type, in the middle of the screen (not of the main
    // window, which may be anywhere).
    Centre_On_Screen(this);
    if (ComboBox3->currentIndex() < 0) ComboBox3->setFocus();
    else BitBtn1->setFocus();
}

int TFormConnect::Users_Num() const
{
    return Conn_Settings.Curr_Par.Conn_Prz == 1 ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr.users_num
                                                : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.hdr.users_num;
}

void TFormConnect::Show_Status()
{
    Show_Conn_Status(Status_Bar, Status_Bar2);
}

void TFormConnect::Select_Address(int adr)
{
    if (adr >= 1 && adr <= 255) ComboBox1->setCurrentIndex(adr - 1);
    else ComboBox1->setCurrentIndex(-1);
}

void TFormConnect::ComboBox3Change()
{
    const int idx = ComboBox3->currentIndex();
    if (idx < 0) return;
    Conn_Settings.Curr_Par.Conn_Prz = uint8_t(idx);
    if (idx == 0) {
        if (Status_Bar2) Status_Bar2->hide();
        if (Status_Bar3) Status_Bar3->hide();
        pn_abon->hide();
        setFixedSize(440, 194);
        ComboBox1->setEnabled(true);
        Select_Address(Conn_Settings.Dir_Conn_Par.Adr);
        Show_Status();
        BitBtn3->setEnabled(true);
        BitBtn1->setEnabled(true);
    } else {
        if (Status_Bar2) Status_Bar2->show();
        if (Status_Bar3) Status_Bar3->show();
        pn_abon->show();
        setFixedSize(440, 266);
        ComboBox1->setEnabled(false);
        // The names as the file holds them now: another copy of the program may have changed it.
        if (idx == 1) Reload_Fon_Abonents(Fon_Path);
        else Reload_Ethr_Abonents(Ethr_Path);
        Fill_Abonents();
    }
}

void TFormConnect::Fill_Abonents()
{
    Filling = true;
    ComboBox2->clear();
    const bool fon = Conn_Settings.Curr_Par.Conn_Prz == 1;
    Abonent_Hdr &h = fon ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.hdr;
    Clamp_Abonent_Hdr(h);
    for (int i = 0; i < h.users_num; ++i) {
        const char *name = fon ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[i].user_name
                               : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.rec[i].user_name;
        ComboBox2->addItem(Abonent_Text(name, ABONENT_NAME_LEN));
    }
    if (h.users_num < ABONENTS_MAX) ComboBox2->addItem(kNewAbonent);
    if (h.users_num == 0) {
        // No selection: "Связаться" stays available and is refused with "Введены не все
        // параметры" until a subscriber exists.
        ComboBox2->setCurrentIndex(-1);
        ComboBox1->setCurrentIndex(-1);
    } else {
        ComboBox2->setCurrentIndex(h.user_index);
        Select_Address(fon ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[h.user_index].contr_adr
                           : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.rec[h.user_index].contr_adr);
        BitBtn3->setEnabled(true);
        BitBtn1->setEnabled(true);
    }
    Show_Status();
    Filling = false;
}

void TFormConnect::ComboBox2Change()
{
    if (Filling) return;
    const bool fon = Conn_Settings.Curr_Par.Conn_Prz == 1;
    Abonent_Hdr &h = fon ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.hdr;
    const int idx = ComboBox2->currentIndex();
    if (idx < 0) {
        BitBtn3->setEnabled(false);
        BitBtn1->setEnabled(false);
        Show_Status();
        return;
    }
    if (idx < h.users_num) {
        h.user_index = uint8_t(idx);
        Select_Address(fon ? Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[idx].contr_adr
                           : Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.rec[idx].contr_adr);
        Show_Status();
        BitBtn3->setEnabled(true);
        BitBtn1->setEnabled(true);
        return;
    }
    if (h.users_num >= ABONENTS_MAX) return;
    // "Новый абонент": entered into a fresh record that joins the list only when accepted,
    // so a cancel leaves the list (and its file) as they were.
    TFormAbonent f(this);
    f.Mode = 0;
    Fon_Abonent fon_rec{};
    fon_rec.adr_modbus = 1;
    Ethr_Abonent ethr_rec{};
    if (fon) f.Fon_Rec = &fon_rec;
    else f.Ethr_Rec = &ethr_rec;
    Run_Dialog(f);
    if (!f.Accepted) {
        Filling = true;
        ComboBox2->setCurrentIndex(h.users_num ? h.user_index : -1);
        Filling = false;
        return;
    }
    if (fon) Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[h.users_num] = fon_rec;
    else Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.rec[h.users_num] = ethr_rec;
    h.user_index = h.users_num;
    ++h.users_num;
    // Written into the file as it is now: subscribers another copy added meanwhile stay.
    List_Merge_Report report;
    if (fon) {
        if (h.users_num > 1) Sort_Fon_Abonents(&Conn_Settings.Fon_Conn_Par.Fon_Abonents);
        if (!Write_Fon_Abonents(Fon_Path, &report)) Show_Not_Saved(Fon_Path);
    } else {
        if (h.users_num > 1) Sort_Ethr_Abonents(&Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents);
        if (!Write_Ethr_Abonents(Ethr_Path, &report)) Show_Not_Saved(Ethr_Path);
    }
    Fill_Abonents();
    Show_List_Merge(report, List_Kind::Abonents);
}

void TFormConnect::BitBtn6Click()
{
    TFormAbonents_List f(this);
    Run_Dialog(f);
    // The list form read the file again: the names here follow it even when it was cancelled.
    const bool fon = Conn_Settings.Curr_Par.Conn_Prz == 1;
    List_Merge_Report report;
    bool written = true;
    {
        Hourglass wc;
        if (f.Changed) written = fon ? Write_Fon_Abonents(Fon_Path, &report) : Write_Ethr_Abonents(Ethr_Path, &report);
        Fill_Abonents();
        Show_Status();
    }
    // The list is kept for this run (and tried again at exit); the user is told now.
    if (!written) Show_Not_Saved(fon ? Fon_Path : Ethr_Path);
    Show_List_Merge(report, List_Kind::Abonents);
}

void TFormConnect::BitBtn3Click()
{
    TFormConn_Par f(this, &Conn_Settings, Exch_Box);
    Run_Dialog(f);
    if (!f.Accepted) return;
    if (!Write_Ini(Ini_Path)) Show_Not_Saved(Ini_Path);
    Show_Status();
    if (Conn_Settings.Curr_Par.Conn_Prz == 0) Select_Address(Conn_Settings.Dir_Conn_Par.Adr);
}

void TFormConnect::done(int r)
{
    if (Connecting) return;
    QDialog::done(r);
}

void TFormConnect::BitBtn1Click()
{
    if (Connecting) return;
    const QString adr_text = ComboBox1->currentText().trimmed();
    if (adr_text.isEmpty() || ComboBox3->currentIndex() < 0) {
        Refuse(QStringLiteral("Введены не все параметры"));
        return;
    }
    bool ok = false;
    const int adr = adr_text.toInt(&ok);
    if (!ok || adr < 1 || adr > 255) {
        Refuse(QStringLiteral("Адрес вне допустимого диапазона"), QStringLiteral("(1...255)"));
        return;
    }
    hgcbox &box = *Exch_Box;
    if (box.Port_Handle) {
        box.Port_Handle->Close();
        box.Port_Handle.reset();
    }
    Conn_Settings_Rec &s = Conn_Settings;
    const int prz = s.Curr_Par.Conn_Prz;
    if (prz == 2) {
        const Ethr_Abonents_List &l = s.Ethernet_Conn_Par.Ethr_Abonents;
        const int idx = ComboBox2->currentIndex();
        s.Ethernet_Conn_Par.Link.Adr = uint8_t(adr);
        if (idx < 0 || idx >= l.hdr.users_num) {
            Refuse(QStringLiteral("Введены не все параметры"));
            return;
        }
        const Ethr_Abonent &a = l.rec[l.hdr.user_index];
        Ethr_Link link;
        link.ip_adr = a.ip_adr;
        link.port = a.port;
        link.contr_adr = a.contr_adr;
        link.connect_wait_s = s.Ethernet_Conn_Par.ConnectWaitTime;
        link.wait_time_s = s.Ethernet_Conn_Par.Link.WaitTime;
        link.time_out_ms = s.Ethernet_Conn_Par.Link.TimeOut;
        link.preambles = s.Ethernet_Conn_Par.Link.Preambles;
        link.repeat = s.Ethernet_Conn_Par.Link.Repeat;
        // The connect serves window events while it waits: the dialog takes no input and
        // does not close meanwhile, so neither a second "Связаться" nor "Выход" can cross it.
        bool connected;
        {
            Hourglass wc;
            Connecting = true;
            Focus_Keeper keep(focusWidget());
            setEnabled(false);
            connected = Connect_Ethernet(box, link);
            setEnabled(true);
            keep.Restore();
            Connecting = false;
        }
        if (!connected) return;
        Write_Ini(Ini_Path);
        Show_Status();
        Accepted = 1;
        accept();
        return;
    }

    Hourglass wc;
    Link_Par *lp = nullptr;
    if (prz == 0) {
        s.Dir_Conn_Par.Adr = uint8_t(adr);
        lp = &s.Dir_Conn_Par;
    } else {
        s.Fon_Conn_Par.Link.Adr = uint8_t(adr);
        const int idx = ComboBox2->currentIndex();
        if (idx < 0 || idx >= s.Fon_Conn_Par.Fon_Abonents.hdr.users_num) {
            QApplication::restoreOverrideCursor();
            Refuse(QStringLiteral("Введены не все параметры"));
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return;
        }
        lp = &s.Fon_Conn_Par.Link;
    }
    Write_Ini(Ini_Path);
    Show_Status();
    box.Adr = lp->Adr;
    box.Rate = lp->Rate;
    box.COMPort = lp->COMPort;
    box.Port_Name = Link_Device(prz, lp->COMPort);
    box.Preambles = lp->Preambles;
    box.Repeat = lp->Repeat;
    box.TimeOut = lp->TimeOut;
    box.WaitTime = lp->WaitTime * 1000;
    box.Conn_Prz = uint8_t(prz);
    box.Free_Port_Wait = s.Curr_Par.Free_Port_Wait;
    box.Do_Close_Port = prz == 0 ? s.Curr_Par.Do_Close_Port : 0;
    box.Sock.reset();
    if (!box.Make_Serial_Port) box.Make_Serial_Port = Make_Serial_Port;
    if (prz == 1 || !box.Do_Close_Port) {
        if (!box.Open_Port()) {
            QApplication::restoreOverrideCursor();
            Ques_Kind = 1;
            Show_Ques(Port_Unavailable_Text(box.Port_Name), QString());
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return;
        }
    }
    // The port reads return at once with what has arrived; give the line a moment to settle.
    box.Clk->Sleep_Us(300 * 1000);
    Accepted = 1;
    accept();
}
