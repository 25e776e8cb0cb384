#include "core/forms/Current_Row.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QResizeEvent>

namespace {

const char *const kKeeper = "Current_Row_Keeper";

class Current_Row_Keeper : public QObject {
public:
    explicit Current_Row_Keeper(QAbstractItemView *v) : QObject(v), View(v)
    {
        setObjectName(QLatin1String(kKeeper));
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }

    // The current row is to be shown: once the view is shown and the window has done what it
    // does while it is shown (filled the view, laid itself out, been placed).
    void Request()
    {
        Pending = true;
        if (Queued) return;
        Queued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                Queued = false;
                Settle();
            },
            Qt::QueuedConnection);
    }

    void Settle()
    {
        if (!Pending || !View->isVisible()) return;
        const QModelIndex i = View->currentIndex();
        // A drop-down's list is scrolled by its combo box.
        if (!i.isValid() || View->window()->windowType() == Qt::Popup) {
            Pending = false;
            return;
        }
        // Rows just added or removed are laid out later: the scroll range must hold them first.
        View->doItemsLayout();
        const int port = View->viewport()->height();
        // A row partly in sight is brought in by the least scroll; one far off comes with the
        // rows around it.
        const QRect r = View->visualRect(i);
        if (!Whole(r, port))
            View->scrollTo(i, r.bottom() >= 0 && r.top() < port ? QAbstractItemView::EnsureVisible
                                                                : QAbstractItemView::PositionAtCenter);
        // A view not yet as tall as a row waits for its size.
        if (port >= r.height()) Pending = false;
    }

    bool eventFilter(QObject *o, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::Show:
            if (o != View || e->spontaneous()) break;
            if (View->window()->windowType() == Qt::Popup) Typed_Item();
            else Request();
            break;
        case QEvent::Resize:
            // Seen before the view takes the new size: whether the row was in sight at the old.
            if (o == View->viewport() && View->isVisible()) {
                const QModelIndex i = View->currentIndex();
                const int old = static_cast<QResizeEvent *>(e)->oldSize().height();
                if (Pending || (i.isValid() && Whole(View->visualRect(i), old))) Request();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    // The list of a combo box one may type into drops down on the item its box shows: the one
    // the combo box calls current may be another, its text having been typed or set over it.
    // The combo box scrolls to it once its list is shown.
    void Typed_Item()
    {
        auto *combo = qobject_cast<QComboBox *>(View->window()->parentWidget());
        if (!combo || !combo->isEditable() || !View->selectionModel()) return;
        const int at = combo->findText(combo->currentText());
        if (at < 0 || at == View->currentIndex().row()) return;
        const QModelIndex item = combo->model()->index(at, combo->modelColumn(), combo->rootModelIndex());
        View->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    }

    // The row lies whole within a viewport of the given height (across, the view stays as the
    // user scrolled it).
    static bool Whole(const QRect &r, int port) { return r.isValid() && r.top() >= 0 && r.bottom() < port; }

    QAbstractItemView *View;
    bool Pending = false;
    bool Queued = false;
};

Current_Row_Keeper *Keeper_Of(QAbstractItemView *v)
{
    QObject *k = v->findChild<QObject *>(QLatin1String(kKeeper), Qt::FindDirectChildrenOnly);
    return dynamic_cast<Current_Row_Keeper *>(k);
}

} // namespace

void Keep_Current_Row(QAbstractItemView *view)
{
    if (view && !Keeper_Of(view)) new Current_Row_Keeper(view);
}

void Show_Current_Row(QAbstractItemView *view)
{
    if (!view) return;
    Keep_Current_Row(view);
    Current_Row_Keeper *k = Keeper_Of(view);
    k->Request();
    k->Settle();
}
