#include "core/forms/Radio_Group.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QTimer>
#include <QWidget>

namespace {

const char *const kWatched = "qzt_tab_on_checked";

bool Exclusive(const QAbstractButton *b)
{
    return b->isCheckable() && (b->autoExclusive() || (b->group() && b->group()->exclusive()));
}

// The buttons one choice is made among: the button's group, or its exclusive siblings.
QList<QAbstractButton *> Exclusive_Peers(QAbstractButton *b)
{
    if (QButtonGroup *g = b->group()) return g->exclusive() ? g->buttons() : QList<QAbstractButton *>{b};
    QList<QAbstractButton *> peers;
    if (!b->parentWidget()) return {b};
    for (QAbstractButton *p : b->parentWidget()->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        if (p == b || (p->autoExclusive() && p->isCheckable())) peers << p;
    return peers;
}

void Tab_Stop_On(QAbstractButton *checked)
{
    if (!checked->isEnabled()) return;
    for (QAbstractButton *b : Exclusive_Peers(checked)) {
        const int p = b->focusPolicy();
        b->setFocusPolicy(Qt::FocusPolicy(b == checked ? p | Qt::TabFocus : p & ~Qt::TabFocus));
    }
}

} // namespace

void Tab_Stops_On_Checked(QWidget *root)
{
    if (!root) return;
    for (QAbstractButton *b : root->findChildren<QAbstractButton *>()) {
        if (!Exclusive(b)) continue;
        if (!b->property(kWatched).toBool()) {
            b->setProperty(kWatched, true);
            QObject::connect(b, &QAbstractButton::toggled, b, [b](bool on) {
                if (on) Tab_Stop_On(b);
            });
        }
        if (b->isChecked()) Tab_Stop_On(b);
    }
}

void Focus_After_Choice(QWidget *w)
{
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    QTimer::singleShot(0, w, [w] {
        if (w->isVisible() && w->isEnabled()) w->setFocus(Qt::OtherFocusReason);
    });
}
