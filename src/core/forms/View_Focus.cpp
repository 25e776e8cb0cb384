#include "core/forms/View_Focus.h"

#include "core/forms/Current_Row.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTreeView>

namespace {
// The view whose focus and current item count for the item drawn.
const QAbstractItemView *Focus_Owner(const QAbstractItemView *v)
{
    if (auto *p = qobject_cast<const QAbstractItemView *>(v->focusProxy())) return p;
    return v;
}

const QHeaderView *Columns_Of(const QAbstractItemView *v)
{
    if (auto *t = qobject_cast<const QTableView *>(v)) return t->horizontalHeader();
    if (auto *t = qobject_cast<const QTreeView *>(v)) return t->header();
    return nullptr;
}

// No shown column stands before (step -1) or after (step 1) the column in the view's order.
bool Outer_Column(const QHeaderView *h, int column, int step)
{
    const int at = h ? h->visualIndex(column) : -1;
    if (at < 0) return true;
    for (int vis = at + step; vis >= 0 && vis < h->count(); vis += step)
        if (!h->isSectionHidden(h->logicalIndex(vis))) return false;
    return true;
}

// A view repaints only the item the current index leaves and the one it enters; the frame runs
// along the whole row, so the whole rows are repainted. Follows the view's selection model,
// which a new model replaces.
class Row_Repaint : public QObject {
public:
    explicit Row_Repaint(QAbstractItemView *v) : QObject(v), View(v)
    {
        setObjectName(QStringLiteral("Row_Repaint"));
        v->installEventFilter(this);
        Watch();
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show || e->type() == QEvent::FocusIn) Watch();
        return false;
    }

private:
    void Watch()
    {
        QItemSelectionModel *m = View->selectionModel();
        if (m == Model) return;
        if (Model) disconnect(Model, nullptr, this, nullptr);
        Model = m;
        if (m) connect(m, &QItemSelectionModel::currentChanged, this, &Row_Repaint::Moved);
    }
    void Moved(const QModelIndex &now, const QModelIndex &before)
    {
        if (!now.isValid() || !before.isValid()) View->update();   // the frame's focus line
        for (const QModelIndex &i : {now, before}) {
            if (!i.isValid()) continue;
            const QRect r = View->visualRect(i);
            View->viewport()->update(QRect(0, r.top(), View->viewport()->width(), r.height()));
        }
    }
    QAbstractItemView *View;
    QPointer<QItemSelectionModel> Model;
};

QColor Mix(const QColor &a, const QColor &b, int a_percent)
{
    const int b_percent = 100 - a_percent;
    return QColor((a.red() * a_percent + b.red() * b_percent) / 100,
                  (a.green() * a_percent + b.green() * b_percent) / 100,
                  (a.blue() * a_percent + b.blue() * b_percent) / 100);
}
} // namespace

void View_Focus_Style::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    auto *view = qobject_cast<QAbstractItemView *>(widget);
    if (view && !view->findChild<QObject *>(QStringLiteral("Row_Repaint"), Qt::FindDirectChildrenOnly))
        new Row_Repaint(view);
    // A view standing in for another scrolls with it.
    if (view && !qobject_cast<QAbstractItemView *>(view->focusProxy())) Keep_Current_Row(view);
}

int View_Focus_Style::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                                QStyleHintReturn *returnData) const
{
    // Not the pop-up mode, which ignores the number of lines a combo box is given.
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void View_Focus_Style::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
    const auto *view = qobject_cast<const QAbstractItemView *>(widget);
    if (element == CE_ShapedFrame && view && painter) {
        QProxyStyle::drawControl(element, option, painter, widget);
        // An empty list (or one with no current item) has no row to frame: its own frame shows
        // the focus instead, as a focused text box's does.
        if (!view->hasFocus() || view->currentIndex().isValid()) return;
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::Active, QPalette::Highlight), 0));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (element != CE_ItemViewItem || !item || !view || !painter) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QAbstractItemView *owner = Focus_Owner(view);
    const bool focused = owner->hasFocus();
    const QPalette &pal = item->palette;
    QStyleOptionViewItem o(*item);
    o.state &= ~State_HasFocus;   // the frame is drawn below, around the whole row where rows are selected
    if (!focused && (o.state & State_Selected) && (o.state & State_Enabled)) {
        o.palette.setColor(QPalette::Highlight,
                           Mix(pal.color(QPalette::Active, QPalette::Highlight), pal.color(QPalette::Active, QPalette::Base), 35));
        o.palette.setColor(QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::Text));
    }
    QProxyStyle::drawControl(element, &o, painter, widget);

    const QModelIndex current = owner->currentIndex();
    const QModelIndex &index = item->index;
    if (!focused || !current.isValid() || !index.isValid() || index.model() != current.model()) return;
    const bool rows = owner->selectionBehavior() == QAbstractItemView::SelectRows;
    if (rows ? index.row() != current.row() || index.parent() != current.parent() : index != current) return;

    const QHeaderView *h = Columns_Of(owner);
    const bool first = !rows || Outer_Column(h, index.column(), -1);
    const bool last = !rows || Outer_Column(h, index.column(), 1);
    const QRect r = item->rect;
    // Along a row the line crosses the grid line to the next cell.
    const int right = last ? r.right() : r.right() + 1;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(pal.color(QPalette::Active, QPalette::Highlight).darker(250), 0));
    painter->drawLine(r.left(), r.top(), right, r.top());
    painter->drawLine(r.left(), r.bottom(), right, r.bottom());
    if (first) painter->drawLine(r.left(), r.top(), r.left(), r.bottom());
    if (last) painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter->restore();
}

void Install_View_Focus()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    if (qobject_cast<View_Focus_Style *>(QApplication::style())) return;
    // A style of its own under the proxy: the application deletes the one it replaces.
    QApplication::setStyle(new View_Focus_Style(QStyleFactory::create(QApplication::style()->name())));
}
