#include "archives/forms/Excrep_date.h"

#include "archives/Objects_list.h"
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Objects_list.h"
#include "archives/forms/Xls_report.h"
#include "core/Date_Typing.h"
#include "core/List_Merge.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "core/Suplfunc.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Number_Search.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstring>

namespace {

const QString kNewObject = QStringLiteral("Новый объект");

void Input_Error(const QString &l1, const QString &l2)
{
    Ques_Kind = 2;
    Show_Ques(l1, l2);
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// The year's up-down, whose panel beside it shows the year in full: the year is typed as the
// panel shows it ("2025", or "25"), through the program's one way of typing dates, so that the
// panel holds a whole year at every key, the one read, and Backspace takes back what was typed.
// The up-down's own text, hidden behind the panel, is never edited.
class Year_Updown final : public QSpinBox {
public:
    explicit Year_Updown(QWidget *parent) : QSpinBox(parent)
    {
        connect(this, &QSpinBox::valueChanged, this, [this] {
            if (!Own) Typing.Stop();   // the arrows, the wheel, the dialog: typing starts anew
        });
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        const QString text = e->text();
        const bool plain = !(e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        const bool back = e->key() == Qt::Key_Backspace;
        if (plain && (back || e->key() == Qt::Key_Delete)) {
            Begin();
            if (back ? Typing.Back() : Typing.Delete()) Show();
            return;
        }
        if (plain && text.size() == 1 && text[0].isPrint()) {
            if (text[0] >= u'0' && text[0] <= u'9') {
                Begin();
                if (Typing.Key(text[0])) Show();
            }
            return;
        }
        const int k = e->key();
        if (!(k >= Qt::Key_Shift && k <= Qt::Key_ScrollLock) && k != Qt::Key_AltGr) Typing.Stop();
        QSpinBox::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent *e) override
    {
        Typing.Stop();
        QSpinBox::focusInEvent(e);
    }
    void stepBy(int steps) override
    {
        Typing.Stop();
        QSpinBox::stepBy(steps);
    }

private:
    void Begin()
    {
        if (Typing.Typing()) return;
        Typing = Date_Typing(QDate(2000 + minimum(), 1, 1), QDate(2000 + maximum(), 12, 31), true);
        Typing.Start(QDate(2000 + value(), 1, 1), Date_Typing::YEAR, true);
    }
    void Show()
    {
        Own = true;
        setValue(Typing.Shown().date.year() - 2000);
        Own = false;
    }

    Date_Typing Typing;
    bool Own = false;   // the value is being set from the typing
};

// The window side of a passport command: a reader's (wait form, status panel, hourglass)
// and the report date dialog.
class Passport_Form_Ui final : public Passport_Ui {
public:
    explicit Passport_Form_Ui(TFormMain *main) : Main(main), Base(main) {}
    void Busy(bool on) override { Base.Busy(on); }
    void Wait_Begin(int maximum) override { Base.Wait_Begin(maximum); }
    void Wait_Progress(int block, int position, int maximum) override { Base.Wait_Progress(block, position, maximum); }
    void Wait_End() override { Base.Wait_End(); }
    void Status(const QString &text) override { Base.Status(text); }
    void Start_Message_Timer() override { Base.Start_Message_Timer(); }
    void Process_Events() override { Base.Process_Events(); }
    void Pause_Ms(int ms) override { Base.Pause_Ms(ms); }
    bool Ask_Report_Date(const Arh_Range &range, uint8_t kind, uint8_t date[4]) override
    {
        TFormExcRep_Date f(Main);
        f.Range = &range;
        f.Passport_Kind = kind;
        Run_Dialog(f);
        if (f.Ok != 1) return false;
        std::memcpy(date, f.Rep_Date, 4);
        return true;
    }

private:
    TFormMain *Main;
    Arh_Form_Ui Base;
};

} // namespace

TFormExcRep_Date::TFormExcRep_Date(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormExcRep_Date");
    setWindowTitle(QStringLiteral(" Параметры отчёта"));
    auto *v = new QVBoxLayout(this);
    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    Label5 = new QLabel(this);
    Label5->setObjectName("Label5");
    v->addWidget(Label4);
    v->addWidget(Label5);

    auto *g = new QGridLayout;
    g->addWidget(new QLabel(QStringLiteral("Год"), this), 0, 0);
    auto *hy = new QHBoxLayout;
    Panel3 = new QLabel(this);
    Panel3->setObjectName("Panel3");
    Panel3->setFrameShape(QFrame::Panel);
    Panel3->setFrameShadow(QFrame::Sunken);
    Panel3->setFixedWidth(60);
    Panel3->setAlignment(Qt::AlignCenter);
    UpDown1 = new Year_Updown(this);
    UpDown1->setObjectName("UpDown1");
    UpDown1->setRange(0, 99);
    // The up-down only steps the year; the panel beside it shows it in full.
    UpDown1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    UpDown1->setFixedWidth(20);
    UpDown1->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
    hy->addWidget(Panel3);
    hy->addWidget(UpDown1);
    hy->addStretch(1);
    g->addLayout(hy, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Месяц"), this), 1, 0);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    for (int m = 1; m <= 12; ++m) ComboBox2->addItem(Month_Names(m));
    g->addWidget(ComboBox2, 1, 1);
    Label_Day = new QLabel(QStringLiteral("День"), this);
    g->addWidget(Label_Day, 2, 0);
    ComboBox3 = new QComboBox(this);
    ComboBox3->setObjectName("ComboBox3");
    Install_Number_Search(ComboBox3);   // digits typed select the day typed
    g->addWidget(ComboBox3, 2, 1);
    g->addWidget(new QLabel(QStringLiteral("Объект"), this), 3, 0);
    auto *ho = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setMinimumWidth(300);
    BitBtn1 = Button(this, "BitBtn1", QStringLiteral("..."));
    BitBtn1->setToolTip(QStringLiteral("Список объектов"));
    ho->addWidget(ComboBox1, 1);
    ho->addWidget(BitBtn1);
    g->addLayout(ho, 3, 1);
    v->addLayout(g);
    v->addStretch(1);

    auto *hb = new QHBoxLayout;
    BitBtn5 = Button(this, "BitBtn5", QStringLiteral("Принять"));
    BitBtn6 = Button(this, "BitBtn6", QStringLiteral("Отменить"));
    hb->addStretch(1);
    hb->addWidget(BitBtn5);
    hb->addWidget(BitBtn6);
    v->addLayout(hb);

    connect(UpDown1, &QSpinBox::valueChanged, this, &TFormExcRep_Date::Year_Change);
    connect(ComboBox2, &QComboBox::activated, this, &TFormExcRep_Date::Month_Change);
    connect(ComboBox3, &QComboBox::activated, this, &TFormExcRep_Date::Day_Change);
    connect(ComboBox1, &QComboBox::activated, this, &TFormExcRep_Date::Object_Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormExcRep_Date::BitBtn1Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFormExcRep_Date::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormExcRep_Date::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) FormShow();
    QDialog::showEvent(e);
}

void TFormExcRep_Date::FormShow()
{
    Filling = true;
    Ok = 0;
    if (Range) std::memcpy(Rep_Date, Range->end, 5);
    // A range end that is no date (never from the pre-check) is not offered.
    if (Rep_Date[1] < 1 || Rep_Date[1] > 12) Rep_Date[1] = 1;
    if (Rep_Date[0] > 99) Rep_Date[0] = 99;
    const int dim = Days_In_Month(2000 + Rep_Date[0], Rep_Date[1]);
    if (Rep_Date[2] < 1 || Rep_Date[2] > dim) Rep_Date[2] = uint8_t(dim);
    UpDown1->setValue(Rep_Date[0]);
    Panel3->setText(QString::number(2000 + Rep_Date[0]));
    ComboBox2->setCurrentIndex(Rep_Date[1] - 1);
    Fill_Days();
    if (Range) {
        Label4->setText(QString::asprintf("Дата самой старой записи в архиве суточных данных:  %02d.%02d.%02d",
                                          Range->start[2], Range->start[1], Range->start[0]));
        Label5->setText(QString::asprintf("Дата последней записи в архиве:  %02d.%02d.%02d", Range->end[2],
                                          Range->end[1], Range->end[0]));
    }
    if (Passport_Kind == PASSPORT_MON) {
        setWindowTitle(QStringLiteral(" Параметры отчета за месяц"));
        Label_Day->hide();
        ComboBox3->hide();
        resize(480, 283);
    } else {
        setWindowTitle(QStringLiteral(" Параметры отчета за сутки"));
        Label_Day->show();
        ComboBox3->show();
        resize(480, 325);
    }
    Filling = false;
    // The objects as "objects.ini" holds them now: another copy may have changed them.
    Reload_Objects(Obj_Path);
    Fill_Objects();
}

void TFormExcRep_Date::Fill_Days()
{
    const bool was = Filling;
    Filling = true;
    const int dim = Days_In_Month(2000 + Rep_Date[0], Rep_Date[1]);
    if (Rep_Date[2] > dim) Rep_Date[2] = uint8_t(dim);
    if (Rep_Date[2] < 1) Rep_Date[2] = 1;
    ComboBox3->clear();
    for (int d = 1; d <= dim; ++d) ComboBox3->addItem(QString::number(d));
    ComboBox3->setCurrentIndex(Rep_Date[2] - 1);
    Filling = was;
}

void TFormExcRep_Date::Fill_Objects()
{
    Clamp_Objects(Obj_List);
    ComboBox1->clear();
    for (int i = 0; i < Obj_List.obj_num; ++i) ComboBox1->addItem(Object_Name(Obj_List, i));
    if (Obj_List.obj_num < OBJECTS_MAX) ComboBox1->addItem(kNewObject);
    ComboBox1->setCurrentIndex(Obj_List.obj_num ? Obj_List.obj_index : -1);
}

void TFormExcRep_Date::Year_Change(int yy)
{
    if (yy < 0 || yy > 99) return;
    Panel3->setText(QString::number(2000 + yy));
    if (Filling) return;
    Rep_Date[0] = uint8_t(yy);
    // 29 February of a leap year is no day of the next one.
    Fill_Days();
}

void TFormExcRep_Date::Month_Change(int index)
{
    if (Filling || index < 0 || index > 11) return;
    Rep_Date[1] = uint8_t(index + 1);
    Fill_Days();
}

void TFormExcRep_Date::Day_Change(int index)
{
    if (Filling || index < 0) return;
    Rep_Date[2] = uint8_t(index + 1);
}

void TFormExcRep_Date::Object_Change(int index)
{
    if (Filling || index < 0) return;
    if (index < Obj_List.obj_num) {
        Obj_List.obj_index = uint8_t(index);
        return;
    }
    if (Obj_List.obj_num >= OBJECTS_MAX) return;
    char *slot = Obj_List.obj_name[Obj_List.obj_num];
    std::memset(slot, 0, OBJ_NAME_LEN);
    TFormObject f(this);
    f.Obj_Mode = 0;
    f.Obj_Name = slot;
    Run_Dialog(f);
    if (!f.Accepted) {
        std::memset(slot, 0, OBJ_NAME_LEN);
        return;
    }
    Obj_List.obj_index = Obj_List.obj_num;
    ++Obj_List.obj_num;
    List_Merge_Report report;
    if (!Write_Objects(Obj_Path, &report)) Show_Not_Saved(Obj_Path);
    Fill_Objects();
    Show_List_Merge(report, List_Kind::Objects);
}

void TFormExcRep_Date::BitBtn1Click()
{
    TFormObjects_List f(this);
    Run_Dialog(f);
    // The list form read the file again: the names here follow it even when it was cancelled.
    Fill_Objects();
}

void TFormExcRep_Date::BitBtn5Click()
{
    const int i = ComboBox1->currentIndex();
    if (i < 0 || i >= Obj_List.obj_num) {
        Input_Error(QStringLiteral("Не введено наименование объекта"), QString());
        return;
    }
    Obj_List.obj_index = uint8_t(i);
    if (Range && !Rep_Date_In_Range(*Range, Passport_Kind, Rep_Date)) {
        Input_Error(QStringLiteral("В архиве нет данных за указанную дату"),
                    QStringLiteral("(см. период имеющихся в архиве данных)"));
        return;
    }
    Rep_Date[3] = Day_Start_Hour();
    Ok = 1;
    accept();
}

void Run_Passport(TFormMain *main, uint8_t kind)
{
    std::optional<Passport_Data> d;
    {
        Passport_Form_Ui ui(main);
        d = Gather_Passport(kind, ui);
    }
    if (!d) return;
    TFormXls_Report f(main);
    f.Data = &*d;
    f.ProgressBar1->setRange(0, XLS_PROGRESS_MAX);
    f.ProgressBar1->setValue(0);
    Run_Dialog(f);
}

void Install_Passport_Commands(TFormMain *main)
{
    if (!main) return;
    main->Set_Handler(QStringLiteral("NExcDay"), [main](QAction *) { Run_Passport(main, PASSPORT_DAY); });
    main->Set_Handler(QStringLiteral("NExcMon"), [main](QAction *) { Run_Passport(main, PASSPORT_MON); });
}
