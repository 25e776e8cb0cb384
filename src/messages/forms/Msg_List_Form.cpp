#include "messages/forms/Msg_List_Form.h"

#include "archives/forms/Save_Arhiv.h"
#include "messages/forms/Prnarhiv.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace {
constexpr int kRowHeight = 18;
constexpr int kHeaderHeight = 50;   // three title lines
} // namespace

// --- Model ---

Msg_Rows_Model::Msg_Rows_Model(const Msg_List_Descr &d, const QByteArray &rows, int count, QObject *parent)
    : QAbstractTableModel(parent), Descr(d), Rows(rows), Count(std::max(count, 0)),
      Row_Size(Msg_Row_Size(d.widths))
{
}

int Msg_Rows_Model::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count; }

int Msg_Rows_Model::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : MSG_COLS + 1; }

Msg_Texts Msg_Rows_Model::Texts(int row) const
{
    if (row < 0 || row >= Count) return {};
    const qsizetype at = qsizetype(row) * Row_Size;
    if (at + Row_Size > Rows.size()) return {};
    return Msg_Row_Texts(Rows.constData() + at, Descr.widths);
}

QVariant Msg_Rows_Model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const int c = index.column();
    if (c < 1 || c > MSG_COLS) return QString();
    return Texts(index.row())[size_t(c - 1)];
}

QVariant Msg_Rows_Model::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    if (section < 1 || section > MSG_COLS) return QString();
    return QString::fromUtf8(Descr.titles[size_t(section - 1)]);
}

// --- Form ---

TFormMsg_List::TFormMsg_List(QWidget *owner, const Msg_List_Descr &d, const Arhiv_Header &h, const QByteArray &rows,
                             const QString &caption)
    : QDialog(owner), Descr(d), Header(h), Rows(rows)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(caption);

    const int count = int(std::min<uint32_t>(uint32_t(Header.rec_count), uint32_t(INT_MAX)));
    Model = new Msg_Rows_Model(Descr, Rows, count, this);

    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(Model);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTabKeyNavigation(false);   // Tab goes on to the buttons
    StringGrid1->setWordWrap(false);
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->verticalHeader()->hide();
    // Fixed row heights: the view never measures rows, so a long list opens at once.
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->horizontalHeader()->setFixedHeight(kHeaderHeight);
    // The margin column is narrower than the header's default minimum: left at that minimum
    // it would push the last column past the grid's edge.
    StringGrid1->horizontalHeader()->setMinimumSectionSize(
        *std::min_element(Descr.col_px.begin(), Descr.col_px.end()));
    for (int c = 0; c <= MSG_COLS; ++c) StringGrid1->setColumnWidth(c, Descr.col_px[size_t(c)]);

    Panel9 = new QLabel(this);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    Panel9->setFrameShape(QFrame::Panel);
    Panel9->setFrameShadow(QFrame::Sunken);
    Panel9->setMinimumHeight(20);

    BitBtn1 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Сохранить в файле"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(QStringLiteral("Печать"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3}) b->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    // Narrow side margins: the lists fit a screen 1024 pixels wide.
    v->setContentsMargins(6, v->contentsMargins().top(), 6, v->contentsMargins().bottom());
    v->addWidget(StringGrid1, 1);
    v->addStretch(0);   // below a grid that holds all its rows
    v->addWidget(Panel9);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    v->addLayout(buttons);
    Around_Grid = v;
    setTabOrder(StringGrid1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn1);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormMsg_List::Save_File);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormMsg_List::Print_List);

    // Room for the vertical scroll bar; while all rows fit, the last column takes it.
    const int bar_w = StringGrid1->verticalScrollBar()->sizeHint().width();
    int grid_w = 2 * StringGrid1->frameWidth() + bar_w;
    for (int w : Descr.col_px) grid_w += w;
    connect(StringGrid1->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this, bar_w](int, int max) {
        StringGrid1->setColumnWidth(MSG_COLS, Descr.col_px[MSG_COLS] + (max > 0 ? 0 : bar_w));
    });
    const QMargins m = v->contentsMargins();
    setFixedWidth(grid_w + m.left() + m.right());
    Fit_Height();

    if (count > 0) StringGrid1->selectRow(count - 1);
}

int TFormMsg_List::Grid_Height(int rows) const
{
    return kHeaderHeight + rows * kRowHeight + 2 * StringGrid1->frameWidth();
}

// Tall enough for all rows, but not past the screen less 60 pixels: whole rows come off.
// The grid never grows past its rows; a taller window leaves room below it.
void TFormMsg_List::Fit_Height()
{
    const QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const int limit = (scr ? scr->availableGeometry().height() : 768) - 60;
    const int all = std::max(Model->rowCount(), 1);
    StringGrid1->setMaximumHeight(Grid_Height(all));
    const QMargins m = Around_Grid->contentsMargins();
    const int extra = m.top() + m.bottom() + 2 * Around_Grid->spacing() + Panel9->sizeHint().height() +
                      std::max({BitBtn1->sizeHint().height(), BitBtn2->sizeHint().height(),
                                BitBtn3->sizeHint().height()});
    int rows = all;
    while (rows > 1 && extra + Grid_Height(rows) > limit) --rows;
    resize(width(), extra + Grid_Height(rows));
}

void TFormMsg_List::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (Shown) return;
    Shown = true;
    if (Model->rowCount() > 0) StringGrid1->scrollToBottom();
    BitBtn1->setFocus();
}

void TFormMsg_List::Show_Bad_Crc_Note()
{
    Panel9->setText(Bad_Crc_Note());
}

void TFormMsg_List::Save_File()
{
    // The file holds exactly the rows shown, so its header counts those.
    Arhiv_Header h = Header;
    h.rec_count = uint32_t(Model->rowCount());
    QByteArray rows = Rows;
    const qsizetype need = qsizetype(h.rec_count) * Msg_Row_Size(Descr.widths);
    if (rows.size() < need) rows.append(QByteArray(need - rows.size(), '\0'));
    Save_Archive_File(this, Descr.file_kind, h, rows);
}

void TFormMsg_List::Print_List()
{
    // The report prints the rows exactly as the grid shows them.
    Print_Message_List(this, Descr.report_kind, Header, *Model);
}
