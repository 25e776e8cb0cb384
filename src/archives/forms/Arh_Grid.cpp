#include "archives/forms/Arh_Grid.h"

#include "archives/Grid_Fit.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
// Whole rows are selected: no frame is drawn around the current cell.
class Row_Delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem o(option);
        o.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(p, o, index);
    }
};
} // namespace

Arh_Grid_View::Arh_Grid_View(QWidget *parent) : QTableView(parent) {}

void Arh_Grid_View::Set_Fixed_Columns(int n)
{
    Fixed_N = std::max(0, n);
    if (!Fixed) {
        Fixed = new QTableView(this);
        Fixed->setObjectName(objectName() + QStringLiteral("_Fixed"));
        Fixed->setFocusPolicy(Qt::NoFocus);
        // Drawn as part of the grid: with the grid's focus, its row framed across both views.
        Fixed->setFocusProxy(this);
        Fixed->setFrameShape(QFrame::NoFrame);
        Fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        Fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->stackUnder(Fixed);
        // The rows scroll together; widths changed in either view hold in both.
        connect(Fixed->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
                &QAbstractSlider::setValue);
        connect(verticalScrollBar(), &QAbstractSlider::valueChanged, Fixed->verticalScrollBar(),
                &QAbstractSlider::setValue);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
            if (col < Fixed_N) Fixed->setColumnWidth(col, size);
            Place_Fixed();
        });
        connect(Fixed->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
            if (col < Fixed_N) setColumnWidth(col, size);
        });
        // A click or double click on the fixed part acts on the grid.
        connect(Fixed, &QTableView::doubleClicked, this, &QTableView::doubleClicked);
        connect(Fixed, &QTableView::clicked, this, &QTableView::clicked);
    }
    Fixed->setModel(model());
    Fixed->setSelectionModel(selectionModel());
    Fixed->setItemDelegate(itemDelegate());
    Fixed->setFont(font());
    Fixed->setSelectionBehavior(selectionBehavior());
    Fixed->setSelectionMode(selectionMode());
    Fixed->setEditTriggers(editTriggers());
    Fixed->setWordWrap(wordWrap());
    Fixed->setTextElideMode(textElideMode());
    Fixed->setShowGrid(showGrid());
    Fixed->verticalHeader()->hide();
    Fixed->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Fixed->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    Fixed->horizontalHeader()->setFont(horizontalHeader()->font());
    Fixed->horizontalHeader()->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    Fixed->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const int cols = model() ? model()->columnCount() : 0;
    for (int c = 0; c < cols; ++c) {
        Fixed->setColumnHidden(c, c >= Fixed_N);
        if (c < Fixed_N) Fixed->setColumnWidth(c, columnWidth(c));
    }
    Fixed->setVisible(Fixed_N > 0 && cols > 0);
    Place_Fixed();
}

void Arh_Grid_View::Place_Fixed()
{
    if (!Fixed) return;
    int w = 0;
    for (int c = 0; c < Fixed_N; ++c) w += columnWidth(c);
    Fixed->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), w,
                       viewport()->height() + horizontalHeader()->height());
    Fixed->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

void Arh_Grid_View::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    Place_Fixed();
}

void Arh_Grid_View::focusInEvent(QFocusEvent *e)
{
    QTableView::focusInEvent(e);
    if (Fixed) Fixed->viewport()->update();
}

void Arh_Grid_View::focusOutEvent(QFocusEvent *e)
{
    QTableView::focusOutEvent(e);
    if (Fixed) Fixed->viewport()->update();
}

void Arh_Grid_View::updateGeometries()
{
    QTableView::updateGeometries();
    Place_Fixed();
}

QModelIndex Arh_Grid_View::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // Moving left onto a column under the fixed part scrolls it into sight beside them.
    if (Fixed && action == MoveLeft && current.column() >= Fixed_N) {
        int fixed_w = 0;
        for (int c = 0; c < Fixed_N; ++c) fixed_w += columnWidth(c);
        if (visualRect(current).left() < fixed_w) {
            const int to = horizontalScrollBar()->value() + visualRect(current).left() - fixed_w;
            horizontalScrollBar()->setValue(to);
        }
    }
    return current;
}

void Arh_Grid_View::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // The fixed columns are always in sight: for them only the rows scroll, to the row beside.
    if (index.isValid() && index.column() < Fixed_N && model() && Fixed_N < model()->columnCount()) {
        int fixed_w = 0;
        for (int c = 0; c < Fixed_N; ++c) fixed_w += columnWidth(c);
        const int col = columnAt(fixed_w + 1);
        QTableView::scrollTo(index.sibling(index.row(), col >= Fixed_N ? col : Fixed_N), hint);
        return;
    }
    QTableView::scrollTo(index, hint);
}

Arh_Grid_View *Make_Arh_Grid(QWidget *parent, QAbstractItemModel *model, int fixed_cols)
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(true);
    auto *g = new Arh_Grid_View(parent);
    g->setObjectName(QStringLiteral("StringGrid1"));
    g->setFont(f);
    g->setModel(model);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setTabKeyNavigation(false);   // Tab goes on to the form's buttons
    g->setWordWrap(false);
    g->setTextElideMode(Qt::ElideNone);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(ARH_GRID_ROW_HEIGHT);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    g->horizontalHeader()->setDefaultSectionSize(ARH_GRID_COL_WIDTH);
    g->horizontalHeader()->setFont(f);
    g->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    g->setItemDelegate(new Row_Delegate(g));
    if (fixed_cols > 0) g->Set_Fixed_Columns(fixed_cols);
    return g;
}

void Fit_Arh_Grid_Form(QWidget *form, QTableView *grid, int height_margin)
{
    QLayout *l = form ? form->layout() : nullptr;
    if (!l || !grid || l->indexOf(grid) < 0) return;
    const QScreen *scr = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect avail = scr ? scr->availableGeometry() : QRect(0, 0, 1024, 768);
    const QAbstractItemModel *m = grid->model();

    Grid_Fit_In in;
    // The sizes the grid draws with: a row may be taller than asked for (the header keeps
    // its sections at least as high as its font needs).
    const QHeaderView *cols = grid->horizontalHeader();
    for (int c = 0; m && c < m->columnCount(); ++c) in.col_ws.push_back(cols->sectionSize(cols->logicalIndex(c)));
    in.rows = m ? m->rowCount() : 0;
    in.row_h = in.rows > 0 ? grid->rowHeight(0) : grid->verticalHeader()->defaultSectionSize();
    in.head_h = grid->horizontalHeader()->sizeHint().height();
    in.frame = grid->frameWidth();
    in.scroll = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    // What the form holds besides the grid: its margins, the spacing, the rows below.
    const QMargins mg = l->contentsMargins();
    in.chrome_w = mg.left() + mg.right();
    in.chrome_h = l->sizeHint().height() - l->itemAt(l->indexOf(grid))->sizeHint().height();
    in.screen_w = avail.width();
    in.screen_h = avail.height();
    in.height_margin = height_margin;
    const Grid_Fit f = Fit_Grid(in);
    // The window frame comes on top of this; the screen less 10 leaves room for it.
    form->resize(std::max(f.form_w, l->minimumSize().width()), std::max(f.form_h, l->minimumSize().height()));
}
