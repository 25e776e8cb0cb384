#include "core/forms/Dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace {
Dialog_Runner *g_runner = nullptr;
}

Dialog_Runner *Set_Dialog_Runner(Dialog_Runner *r)
{
    Dialog_Runner *old = g_runner;
    g_runner = r;
    return old;
}

int Run_Dialog(QDialog &d)
{
    if (g_runner) return g_runner->Run(d);
    return d.exec();
}

int Scripted_Dialogs::Run(QDialog &d)
{
    ++Count;
    d.setResult(QDialog::Rejected);
    d.show();
    if (Each) Each(d);
    if (d.isVisible()) d.reject();
    return d.result();
}

void Centre_On_Screen(QWidget *w)
{
    if (!w) return;
    const QWidget *owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    QScreen *scr = owner && owner->isVisible() ? owner->screen() : w->screen();
    if (!scr) scr = QGuiApplication::primaryScreen();
    if (!scr) return;
    // Window-manager frame: the window's own once it has one, else its owner's.
    const QWidget *framed = w->frameGeometry() != w->geometry() || !owner ? w : owner;
    const QRect f = framed->frameGeometry(), g = framed->geometry();
    const QMargins m(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    const QRect avail = scr->availableGeometry();
    const int fw = w->width() + m.left() + m.right(), fh = w->height() + m.top() + m.bottom();
    w->move(avail.x() + (avail.width() - fw) / 2, avail.y() + (avail.height() - fh) / 2);
}

Hourglass::Hourglass()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Hourglass::~Hourglass()
{
    QApplication::restoreOverrideCursor();
}
