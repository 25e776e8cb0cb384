#include "archives/forms/Arh_Grid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <algorithm>

QTableView *Make_Arh_Grid(QWidget *parent, QAbstractItemModel *model)
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(true);
    auto *g = new QTableView(parent);
    g->setObjectName(QStringLiteral("StringGrid1"));
    g->setFont(f);
    g->setModel(model);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setWordWrap(false);
    g->setTextElideMode(Qt::ElideNone);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(ARH_GRID_ROW_HEIGHT);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    g->horizontalHeader()->setDefaultSectionSize(ARH_GRID_COL_WIDTH);
    g->horizontalHeader()->setFont(f);
    g->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return g;
}

void Fit_Arh_Grid_Form(QWidget *form, int cols, int rows, int height_margin)
{
    const QScreen *scr = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect avail = scr ? scr->availableGeometry() : QRect(0, 0, 1024, 768);
    const int step_w = ARH_GRID_COL_WIDTH + 1, step_h = ARH_GRID_ROW_HEIGHT + 1;
    const int extra_w = 24 + 24;         // margins and the vertical scroll bar
    const int extra_h = 23 + 57 + 40;    // heading lines, buttons, frame
    int grid_w = std::max(cols, 1) * step_w + 1;
    while (grid_w + extra_w > avail.width() - 10 && grid_w > step_w + 1) grid_w -= step_w;
    int visible = std::min(std::max(rows, 1), 1 + avail.height() / step_h);
    int grid_h = visible * step_h + 23;
    while (grid_h + extra_h > avail.height() - height_margin && visible > 3) {
        --visible;
        grid_h -= step_h;
    }
    form->resize(std::max(grid_w + extra_w, 640), grid_h + extra_h);
}
