#include "core/forms/Grid_Line_Up.h"

#include <QGridLayout>
#include <QWidget>
#include <algorithm>

namespace {

// The widest item standing in the column alone.
int Natural_Width(const QGridLayout *g, int col)
{
    int w = 0;
    for (int i = 0; i < g->count(); ++i) {
        int r = 0, c = 0, rs = 0, cs = 0;
        g->getItemPosition(i, &r, &c, &rs, &cs);
        if (c == col && cs == 1 && !g->itemAt(i)->isEmpty()) w = std::max(w, g->itemAt(i)->sizeHint().width());
    }
    return w;
}

// From the holder's left edge to the grid's first column.
int Inset(const QGridLayout *g)
{
    const QWidget *holder = g->parentWidget();
    const int own = g->contentsMargins().left();
    return holder && holder->layout() == g ? holder->contentsMargins().left() + own : own;
}

} // namespace

void Line_Up_Grids(const QList<QGridLayout *> &grids, int spare_column)
{
    int caption_end = 0, field_w = 0;
    for (const QGridLayout *g : grids) {
        caption_end = std::max(caption_end, Inset(g) + Natural_Width(g, 0));
        field_w = std::max(field_w, Natural_Width(g, 1));
    }
    for (QGridLayout *g : grids) {
        g->setColumnMinimumWidth(0, caption_end - Inset(g));
        g->setColumnMinimumWidth(1, field_w);
        if (spare_column < 0) continue;
        for (int c = 0; c < spare_column; ++c) g->setColumnStretch(c, 0);
        g->setColumnStretch(spare_column, 1);
    }
}
