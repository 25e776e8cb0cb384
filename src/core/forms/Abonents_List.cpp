#include "core/forms/Abonents_List.h"

#include "core/Abonents.h"
#include "core/Ques.h"
#include "core/forms/Abonent.h"
#include "core/forms/Current_Row.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int COL_WIDTHS[4] = {50, 300, 70, 220};
}

TFormAbonents_List::TFormAbonents_List(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormAbonents_List");
    resize(682, 560);
    auto *v = new QVBoxLayout(this);

    // Headings: the sort keys are buttons above their columns.
    auto *hh = new QHBoxLayout;
    hh->setSpacing(0);
    auto *l0 = new QLabel(QStringLiteral("№"), this);
    l0->setFixedWidth(COL_WIDTHS[0]);
    l0->setAlignment(Qt::AlignCenter);
    SpeedButton1 = new QPushButton(QStringLiteral("Наименование"), this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setFixedWidth(COL_WIDTHS[1]);
    auto *l2 = new QLabel(QStringLiteral("Адрес"), this);
    l2->setFixedWidth(COL_WIDTHS[2]);
    l2->setAlignment(Qt::AlignCenter);
    SpeedButton2 = new QPushButton(this);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setFixedWidth(COL_WIDTHS[3]);
    for (QPushButton *b : {SpeedButton1, SpeedButton2}) b->setAutoDefault(false);
    hh->addWidget(l0);
    hh->addWidget(SpeedButton1);
    hh->addWidget(l2);
    hh->addWidget(SpeedButton2);
    hh->addStretch(1);
    v->addLayout(hh);

    StringGrid1 = new QTableWidget(0, 4, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTabKeyNavigation(false);   // Tab goes on to the buttons
    for (int c = 0; c < 4; ++c) StringGrid1->setColumnWidth(c, COL_WIDTHS[c]);
    v->addWidget(StringGrid1, 1);

    auto *hb = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Изменить"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton(QStringLiteral("Добавить"), this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn3 = new QPushButton(QStringLiteral("Удалить"), this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn4 = new QPushButton(QStringLiteral("Принять"), this);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn5 = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtn5->setObjectName("BitBtn5");
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5}) {
        b->setAutoDefault(false);
        hb->addWidget(b);
    }
    v->addLayout(hb);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Sort_Click(0); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { Sort_Click(1); });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormAbonents_List::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormAbonents_List::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormAbonents_List::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormAbonents_List::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::reject);
    // Keyboard moves select as a click does.
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { Row_Click(row); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int) { Row_Click(row); });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { Row_Double_Click(row); });
}

void TFormAbonents_List::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) Form_Show();
    QDialog::showEvent(e);
}

void TFormAbonents_List::Form_Show()
{
    Changed = 0;
    Ethernet = Conn_Settings.Curr_Par.Conn_Prz == 2;
    // The list as its file holds it now: another copy of the program may have changed it.
    if (Ethernet) Reload_Ethr_Abonents(Ethr_Path);
    else Reload_Fon_Abonents(Fon_Path);
    Fon_Copy = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    Ethr_Copy = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
    setWindowTitle(Ethernet ? QStringLiteral("Список абонентов (Ethernet-интерфейс)")
                            : QStringLiteral("Список абонентов (связь по телефону)"));
    SpeedButton2->setText(Ethernet ? QStringLiteral("IP-адрес:порт") : QStringLiteral("№ телефона"));
    Fill_Grid();
    // The list is the form's work: its keys act on the rows (a heading's button would sort).
    StringGrid1->setFocus(Qt::OtherFocusReason);
}

void TFormAbonents_List::Fill_Grid()
{
    Filling = true;
    if (Ethernet) Sort_Ethr_Abonents(&Ethr_Copy);   // also limits a damaged header
    else Sort_Fon_Abonents(&Fon_Copy);
    const Abonent_Hdr &h = Hdr();
    SpeedButton1->setEnabled(h.sort_prz != 0);
    SpeedButton2->setEnabled(h.sort_prz != 1);

    const int n = h.users_num;
    StringGrid1->clearContents();
    StringGrid1->setRowCount(n);
    for (int r = 0; r < n; ++r) {
        QString name, adr, key;
        if (Ethernet) {
            const Ethr_Abonent &a = Ethr_Copy.rec[r];
            name = Abonent_Text(a.user_name, ABONENT_NAME_LEN);
            adr = QString::number(a.contr_adr);
            key = Ethr_Address_Text(a);
        } else {
            const Fon_Abonent &a = Fon_Copy.rec[r];
            name = Abonent_Text(a.user_name, ABONENT_NAME_LEN);
            adr = QString::number(a.contr_adr);
            key = QLatin1Char(' ') + Abonent_Text(a.phone_code, PHONE_CODE_LEN);
        }
        StringGrid1->setItem(r, 0, new QTableWidgetItem(QStringLiteral("  %1").arg(r + 1)));
        StringGrid1->setItem(r, 1, new QTableWidgetItem(QLatin1Char(' ') + name));
        StringGrid1->setItem(r, 2, new QTableWidgetItem(QLatin1Char(' ') + adr));
        StringGrid1->setItem(r, 3, new QTableWidgetItem(key));
    }
    if (n > 0) {
        StringGrid1->setCurrentCell(h.user_index, 0);
        StringGrid1->selectRow(h.user_index);
        Show_Current_Row(StringGrid1);
    }
    BitBtn1->setEnabled(n > 0);
    BitBtn3->setEnabled(n > 0);
    BitBtn2->setEnabled(n < ABONENTS_MAX);
    Filling = false;
}

void TFormAbonents_List::Row_Click(int row)
{
    if (Filling) return;
    Abonent_Hdr &h = Hdr();
    if (row >= 0 && row < h.users_num) h.user_index = uint8_t(row);
}

void TFormAbonents_List::Row_Double_Click(int row)
{
    Row_Click(row);
    if (row >= 0 && row < Hdr().users_num) BitBtn1Click();
}

void TFormAbonents_List::Sort_Click(int key)
{
    Hdr().sort_prz = uint8_t(key == 1 ? 1 : 0);
    Fill_Grid();
}

void TFormAbonents_List::BitBtn1Click()
{
    const Abonent_Hdr &h = Hdr();
    if (h.users_num == 0 || h.user_index >= h.users_num) return;
    TFormAbonent f(this);
    f.Mode = 1;
    if (Ethernet) f.Ethr_Rec = &Ethr_Copy.rec[h.user_index];
    else f.Fon_Rec = &Fon_Copy.rec[h.user_index];
    Run_Dialog(f);
    if (f.Accepted) Fill_Grid();
}

void TFormAbonents_List::BitBtn2Click()
{
    Abonent_Hdr &h = Hdr();
    if (h.users_num >= ABONENTS_MAX) return;
    TFormAbonent f(this);
    f.Mode = 0;
    if (Ethernet) f.Ethr_Rec = &Ethr_Copy.rec[h.users_num];
    else f.Fon_Rec = &Fon_Copy.rec[h.users_num];
    Run_Dialog(f);
    if (!f.Accepted) return;
    h.user_index = h.users_num;
    ++h.users_num;
    Fill_Grid();
    Focus_Back_Or(BitBtn2, StringGrid1);
}

void TFormAbonents_List::BitBtn3Click()
{
    if (Hdr().users_num == 0) return;
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Вы действительно хотите"), QStringLiteral("удалить этот абонент?"));
    if (Ques_Answer != 1) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (Ethernet) Delete_Ethr_Abonent(&Ethr_Copy);
    else Delete_Fon_Abonent(&Fon_Copy);
    Fill_Grid();
    QApplication::restoreOverrideCursor();
    Focus_Back_Or(BitBtn3, StringGrid1);
}

void TFormAbonents_List::BitBtn4Click()
{
    if (Ethernet) Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents = Ethr_Copy;
    else Conn_Settings.Fon_Conn_Par.Fon_Abonents = Fon_Copy;
    Changed = 1;
    accept();
}
