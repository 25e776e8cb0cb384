#include "params/forms/Floulist.h"

#include "core/Conffun.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Current_Row.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Main.h"
#include "core/forms/Window_Place.h"
#include "params/forms/Floupar.h"
#include "params/forms/Params_Menu.h"

#include <QHeaderView>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

TFormFlouList::TFormFlouList(QWidget *owner) : TParam_Dialog(owner)
{
    setWindowTitle(QStringLiteral("Параметры вычислителей расхода газа"));
    Grid = new QTableWidget(0, 4, this);
    Grid->setObjectName(QStringLiteral("StringGrid1"));
    Grid->setHorizontalHeaderLabels({QStringLiteral("Адрес"), QStringLiteral("Тип"),
                                     QStringLiteral("Порядок байтов в многобайтных переменных"),
                                     QStringLiteral("Необходимость записи параметров газа для трубопроводов")});
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setTabKeyNavigation(false);   // Tab goes on to the buttons
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Body->addWidget(Grid);

    auto *row = new QHBoxLayout;
    Body->addLayout(row);
    auto make = [this, row](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    BtnChange = make(QStringLiteral("Изменить"), "BtnChange");
    BtnAdd = make(QStringLiteral("Добавить"), "BtnAdd");
    BtnDelete = make(QStringLiteral("Удалить"), "BtnDelete");
    row->addStretch(1);
    connect(BtnChange, &QPushButton::clicked, this, &TFormFlouList::Change_Click);
    connect(BtnAdd, &QPushButton::clicked, this, &TFormFlouList::Add_Click);
    connect(BtnDelete, &QPushButton::clicked, this, &TFormFlouList::Delete_Click);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { Change_Click(); });
}

void TFormFlouList::Draw_Row(int i)
{
    const Flou_Rec &r = Work[i];
    const QString cells[4] = {Flou_Adr_Text(r), Flou_Type_Text(r), Flou_Order_Text(r), Flou_Mask_Text(r)};
    for (int c = 0; c < 4; ++c) Grid->setItem(i, c, new QTableWidgetItem(cells[c]));
}

void TFormFlouList::Draw_All()
{
    Grid->setRowCount(N);
    for (int i = 0; i < N; ++i) Draw_Row(i);
    Fit_Rows();
}

void TFormFlouList::Fit_Rows()
{
    // Every column whole, however wide the texts are in the font here, also beside the scroll
    // bar that rows past the screen bring: its room is kept, the last column takes it while
    // every row shows.
    const QHeaderView *head = Grid->horizontalHeader();
    const QAbstractItemView *view = Grid;
    int w = 2 * Grid->frameWidth() + Grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < Grid->columnCount(); ++c) w += std::max(head->sectionSizeHint(c), view->sizeHintForColumn(c));
    Grid->setMinimumWidth(w);
    // The form's minimum width is fixed once it is shown (the caption's fit sets it), so the
    // layout cannot raise it for wider columns: raise it here, which widens the form too.
    QLayout *l = layout();
    l->activate();
    setMinimumWidth(std::max(minimumWidth(), l->totalMinimumSize().width()));
    // The grid asks to be as tall as its rows, its header and its frame, and the form for it
    // with the rest of its height. A row's height here holds its grid line already: one pixel
    // more a row would leave a white band under the last. The grid's minimum stays low: where
    // the screen's free area cannot hold every row, the form is cut to it, the rows scroll and
    // the buttons stay in view.
    const int rows = Grid->rowCount() > 0 ? Grid->verticalHeader()->length()
                                          : N * Grid->verticalHeader()->defaultSectionSize();
    const int want = rows + std::max(head->minimumHeight(), head->sizeHint().height()) + 2 * Grid->frameWidth();
    l->activate();
    Fit_To_Screen(this, QSize(width(), height() - Grid->height() + want));
}

void TFormFlouList::Enable_Buttons()
{
    BtnAdd->setEnabled(N < MAX_FLOU);
    BtnDelete->setEnabled(N >= 2);
    BtnChange->setEnabled(N >= 1);
}

void TFormFlouList::Load()
{
    std::memset(Work, 0, sizeof Work);
    std::memset(Sou_Flag, 0, sizeof Sou_Flag);
    std::memset(Pass_Changed, 0, sizeof Pass_Changed);
    N = Limit_Flou_Count(Count);
    if (N == 0) {
        // An empty list starts with one blank record to fill in.
        std::memset(Work[0].pass, ' ', FLOU_PASS_LEN);
        N = 1;
    } else if (Tab_Data) {
        std::memcpy(Work, Tab_Data, sizeof(Flou_Rec) * size_t(N));
    }
    Draw_All();
    Grid->selectRow(0);
    Enable_Buttons();
    // Placed on the screen at the size the rows need (cut to the screen there).
    Fit_To_Screen(this, QSize(sizeHint().width(), height()));
}

bool TFormFlouList::Edit(int i, bool *pass_changed)
{
    TFormFlouPar d(this);
    d.Tab_Data = reinterpret_cast<uint8_t *>(&Work[i]);
    d.Number = i + 1;
    d.Sou_Flag = &Sou_Flag[i];
    d.Chrom_Lines = Chrom_Lines;
    Run_Dialog(d);
    if (pass_changed) *pass_changed = d.Pass_Changed != 0;
    return d.Accepted != 0;
}

void TFormFlouList::Change_Click()
{
    const int i = Grid->currentRow();
    if (i < 0 || i >= N) return;
    bool pass = false;
    if (!Edit(i, &pass)) return;
    Draw_Row(i);
    if (pass) Pass_Changed[i] = 1;
}

void TFormFlouList::Add_Click()
{
    if (N >= MAX_FLOU) return;
    const int i = N;
    std::memset(&Work[i], 0, sizeof(Flou_Rec));
    Sou_Flag[i] = 0;
    if (!Edit(i, nullptr)) return;
    Pass_Changed[i] = 1;
    ++N;
    Grid->setRowCount(N);
    Draw_Row(i);
    Draw_All();
    Grid->selectRow(i);
    Show_Current_Row(Grid);
    Enable_Buttons();
    Focus_Back_Or(BtnAdd, Grid);
}

void TFormFlouList::Delete_Click()
{
    const int i = Grid->currentRow();
    if (i < 0 || i >= N || N < 2) return;
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Вы действительно хотите удалить"),
              QStringLiteral("вычислитель адр. %1?").arg(Work[i].adr));
    if (Ques_Answer != 1) return;
    for (int k = i; k + 1 < N; ++k) {
        Work[k] = Work[k + 1];
        Sou_Flag[k] = Sou_Flag[k + 1];
        // Its password now belongs to another field of table 13.
        Pass_Changed[k] = 1;
    }
    --N;
    std::memset(&Work[N], 0, sizeof(Flou_Rec));
    Sou_Flag[N] = 0;
    Pass_Changed[N] = 0;
    Draw_All();
    Grid->selectRow(i < N ? i : N - 1);
    Show_Current_Row(Grid);
    Enable_Buttons();
    Focus_Back_Or(BtnDelete, Grid);
}

bool TFormFlouList::Check()
{
    const Flou_Refusal r = Check_Flou_List(Work, N);
    if (!r.Ok()) return Refuse(r.line1, r.line2);
    return true;
}

bool TFormFlouList::Store()
{
    if (!Tab_Data) return false;
    std::memcpy(Tab_Data, Work, sizeof(Flou_Rec) * size_t(N));
    New_Count = uint8_t(N);
    return true;
}

namespace {

constexpr int FLOU_TABLES[4] = {FLOU_TYPE_TABLE, FLOU_ADR_TABLE, FLOU_MASK_TABLE, FLOU_ORDER_TABLE};

// The reference copy of one of tables 17..20, taken right after the read: the first `read`
// fields as read.
QByteArray Flou_Reference(int t, int read)
{
    QByteArray ref(MAX_FLOU, '\0');
    const uint8_t *img = Tab_Dir[t].data;
    if (img) std::memcpy(ref.data(), img, size_t(qBound(0, read, MAX_FLOU)));
    return ref;
}

// Fields from `read` on were not read: once the records are in the image they must count as
// changed whatever the list put there, so their reference is the complement of the new byte
// (a zero, or any other guess, would hide a new flow computer whose byte matches it).
void Flou_Mark_Unread(QByteArray &ref, int t, int read)
{
    const uint8_t *img = Tab_Dir[t].data;
    if (!img || ref.size() != MAX_FLOU) return;
    for (int i = qMax(read, 0); i < MAX_FLOU; ++i) ref[i] = char(uint8_t(~img[i]));
}

Tab_Req Req(int t, int first, int count)
{
    return Tab_Req{uint8_t(t), uint8_t(first), uint8_t(count)};
}

// Reads tables 17..20 for `f` flow computers, runs the list and, on its acceptance, takes
// the records into the image. Out: the references of tables 17..20 and the list's results.
struct Flou_Edit {
    QByteArray ref[4];
    int count = 0;
    uint8_t pass_changed[MAX_FLOU] = {};
};

bool Flou_Read_And_List(TFormMain *m, int f, Flou_Edit &out)
{
    if (!Road_Read(m, {Req(FLOU_TYPE_TABLE, 0, f), Req(FLOU_ADR_TABLE, 0, f), Req(FLOU_MASK_TABLE, 0, f),
                       Req(FLOU_ORDER_TABLE, 0, f)}))
        return false;
    for (int k = 0; k < 4; ++k) out.ref[k] = Flou_Reference(FLOU_TABLES[k], f);
    Flou_Rec recs[MAX_FLOU];
    Flou_From_Image(recs, f);

    TFormFlouList list(m);
    list.Tab_Data = reinterpret_cast<uint8_t *>(recs);
    list.Count = uint8_t(f);
    const uint8_t *t14 = Tab_Field(14, 7);
    list.Chrom_Lines = t14 ? *t14 : 0;
    if (!Road_Show(list)) return false;

    out.count = Limit_Flou_Count(list.New_Count);
    std::memcpy(out.pass_changed, list.Pass_Changed, sizeof out.pass_changed);
    if (uint8_t *c = Tab_Field(FLOU_COUNT_TABLE, 0)) *c = uint8_t(out.count);
    Flou_To_Image(recs, out.count);
    for (int k = 0; k < 4; ++k) Flou_Mark_Unread(out.ref[k], FLOU_TABLES[k], f);
    return true;
}

// Tables 17..20, then the changed passwords, each only after the previous write succeeded.
void Flou_Write(TFormMain *m, const Flou_Edit &e)
{
    for (int k = 0; k < 4; ++k)
        if (!Road_Write_Changed(m, Req(FLOU_TABLES[k], 0, e.count), e.ref[k].left(e.count))) return;
    Hourglass h;
    for (int i = 0; i < e.count; ++i)
        if (e.pass_changed[i] && !Write_Table(Req(FLOU_PASS_TABLE, i, 1), Road_Status(m), true)) return;
}

} // namespace

void NCurrVichClick(TFormMain *m)
{
    if (!Road_Read(m, {Req(FLOU_COUNT_TABLE, 0, 1)})) return;
    const int f = Flou_Count();
    Flou_Edit e;
    if (!Flou_Read_And_List(m, f, e)) return;
    if (e.count != f) {
        Hourglass h;
        if (!Write_Table(Req(FLOU_COUNT_TABLE, 0, 1), Road_Status(m), true)) return;
    }
    Flou_Write(m, e);
}

void Vrg_Count_Raised_Write(TFormMain *m, const QByteArray &old9)
{
    const Tab_Req t9 = Req(FLOU_COUNT_TABLE, 0, 6);
    Flou_Edit e;
    if (!Flou_Read_And_List(m, Flou_Count(), e)) {
        uint8_t *img = Tab_Dir[FLOU_COUNT_TABLE].data;
        if (img && old9.size() == Tab_Length(FLOU_COUNT_TABLE)) std::memcpy(img, old9.constData(), size_t(old9.size()));
        return;
    }
    if (!Road_Write_Changed(m, t9, old9)) return;
    Flou_Write(m, e);
}
