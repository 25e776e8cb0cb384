#include "archives/forms/Objects_list.h"

#include "archives/Objects_list.h"
#include "core/List_Merge.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/forms/Current_Row.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Text_Focus.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstring>

namespace {
QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

// ---- one object ----------------------------------------------------------------------------

TFormObject::TFormObject(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormObject");
    setWindowTitle(QStringLiteral(" Параметры объекта"));
    resize(578, 128);
    auto *v = new QVBoxLayout(this);
    auto *h = new QHBoxLayout;
    h->addWidget(new QLabel(QStringLiteral("Наименование объекта"), this));
    h->addStretch(1);
    h->addWidget(new QLabel(QStringLiteral("(до 50 символов)"), this));
    v->addLayout(h);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(OBJ_NAME_LEN - 1);
    Install_Page_Filter(Edit1);
    v->addWidget(Edit1);
    auto *hb = new QHBoxLayout;
    BitBtn4 = Button(this, "BitBtn4", QStringLiteral("Принять"));
    BitBtn5 = Button(this, "BitBtn5", QStringLiteral("Отменить"));
    hb->addStretch(1);
    hb->addWidget(BitBtn4);
    hb->addWidget(BitBtn5);
    v->addLayout(hb);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormObject::BitBtn4Click);
    Enter_Presses(Edit1, BitBtn4);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormObject::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) Form_Show();
    QDialog::showEvent(e);
}

void TFormObject::Form_Show()
{
    Edit1->setText(Obj_Mode == 1 && Obj_Name ? Object_Name_Text(Obj_Name) : QString());
    Focus_Text(Edit1);
}

void TFormObject::BitBtn4Click()
{
    const QString text = Edit1->text();
    if (text.isEmpty()) {
        Ques_Kind = 2;
        Show_Ques(QStringLiteral("Не введено наименование"), QString());
        return;
    }
    if (Obj_Name) Set_Object_Name(Obj_Name, text);
    Accepted = 1;
    accept();
}

// ---- the list ------------------------------------------------------------------------------

TFormObjects_List::TFormObjects_List(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormObjects_List");
    setWindowTitle(QStringLiteral(" Список объектов"));
    resize(464, 500);
    auto *v = new QVBoxLayout(this);
    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Наименование")});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTabKeyNavigation(false);   // Tab goes on to the buttons
    StringGrid1->setColumnWidth(0, 40);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(StringGrid1, 1);
    auto *hb = new QHBoxLayout;
    BitBtn1 = Button(this, "BitBtn1", QStringLiteral("Изменить"));
    BitBtn2 = Button(this, "BitBtn2", QStringLiteral("Добавить"));
    BitBtn3 = Button(this, "BitBtn3", QStringLiteral("Удалить"));
    BitBtn4 = Button(this, "BitBtn4", QStringLiteral("Принять"));
    BitBtn5 = Button(this, "BitBtn5", QStringLiteral("Отменить"));
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5}) hb->addWidget(b);
    v->addLayout(hb);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormObjects_List::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormObjects_List::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormObjects_List::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormObjects_List::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::reject);
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { Row_Click(row); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int) { Row_Click(row); });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { Row_Double_Click(row); });
}

void TFormObjects_List::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) Form_Show();
    QDialog::showEvent(e);
}

void TFormObjects_List::Form_Show()
{
    Changed = 0;
    // The list as "objects.ini" holds it now: another copy of the program may have changed it.
    Reload_Objects(Obj_Path);
    Clamp_Objects(Obj_List);
    Copy = Obj_List;
    Fill_Objects_Grid();
}

void TFormObjects_List::Fill_Objects_Grid()
{
    Filling = true;
    if (Obj_List.obj_num > 1) Sort_Objects(Obj_List);
    Clamp_Objects(Obj_List);
    const int n = Obj_List.obj_num;
    StringGrid1->clearContents();
    StringGrid1->setRowCount(n);
    for (int r = 0; r < n; ++r) {
        StringGrid1->setItem(r, 0, new QTableWidgetItem(QStringLiteral("  %1").arg(r + 1)));
        StringGrid1->setItem(r, 1, new QTableWidgetItem(QLatin1Char(' ') + Object_Name(Obj_List, r)));
    }
    // "Изменить" on an empty list would edit a slot outside the list: it waits for a name.
    // The last object is kept (a passport needs one); fifty leave no room to add.
    BitBtn1->setEnabled(n > 0);
    BitBtn2->setEnabled(n < OBJECTS_MAX);
    BitBtn3->setEnabled(n != 1);
    if (n > 0) {
        StringGrid1->setCurrentCell(Obj_List.obj_index, 0);
        StringGrid1->selectRow(Obj_List.obj_index);
        Show_Current_Row(StringGrid1);
    }
    Filling = false;
}

void TFormObjects_List::Row_Click(int row)
{
    if (Filling) return;
    if (row >= 0 && row < Obj_List.obj_num) Obj_List.obj_index = uint8_t(row);
}

void TFormObjects_List::Row_Double_Click(int row)
{
    Row_Click(row);
    if (row >= 0 && row < Obj_List.obj_num) BitBtn1Click();
}

void TFormObjects_List::BitBtn1Click()
{
    if (Obj_List.obj_num == 0 || Obj_List.obj_index >= Obj_List.obj_num) return;
    TFormObject f(this);
    f.Obj_Mode = 1;
    f.Obj_Name = Obj_List.obj_name[Obj_List.obj_index];
    Run_Dialog(f);
    if (f.Accepted) Fill_Objects_Grid();
}

void TFormObjects_List::BitBtn2Click()
{
    if (Obj_List.obj_num >= OBJECTS_MAX) return;
    char *slot = Obj_List.obj_name[Obj_List.obj_num];
    std::memset(slot, 0, OBJ_NAME_LEN);
    TFormObject f(this);
    f.Obj_Mode = 0;
    f.Obj_Name = slot;
    Run_Dialog(f);
    if (!f.Accepted) return;
    Obj_List.obj_index = Obj_List.obj_num;
    ++Obj_List.obj_num;
    Fill_Objects_Grid();
    Focus_Back_Or(BitBtn2, StringGrid1);
}

void TFormObjects_List::BitBtn3Click()
{
    if (Obj_List.obj_num == 0) return;
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Вы действительно хотите"), QStringLiteral("удалить этот объект?"));
    if (Ques_Answer != 1) return;
    Hourglass h;
    Delete_Object(Obj_List);
    Fill_Objects_Grid();
    Focus_Back_Or(BitBtn3, StringGrid1);
}

void TFormObjects_List::BitBtn4Click()
{
    bool written = true;
    List_Merge_Report report;
    if (!Same_Objects(Obj_List, Copy)) {
        Hourglass h;
        written = Write_Objects(Obj_Path, &report);
    }
    // The list stays as accepted for this run; the user learns that the file was not written.
    if (!written) Show_Not_Saved(Obj_Path);
    Changed = 1;
    if (!report.Empty()) {
        // The list as it was written, behind the message that tells what happened to it.
        Fill_Objects_Grid();
        Show_List_Merge(report, List_Kind::Objects);
    }
    accept();
}

void TFormObjects_List::done(int r)
{
    // Left without "Принять" (button, Esc or the close box): the list as it was.
    if (!Changed && !Same_Objects(Obj_List, Copy)) Obj_List = Copy;
    QDialog::done(r);
}
