#include "core/forms/Focus_Back.h"

#include "core/forms/Ques_Form.h"

#include <QApplication>
#include <QList>
#include <QTimer>

bool Focus_Back(QWidget *control)
{
    if (!control || !control->isVisible() || !control->isEnabled()) return false;
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

void Focus_Back_Or(QWidget *control, QWidget *instead)
{
    if (!Focus_Back(control)) Focus_Back(instead);
}

Focus_Keeper::Focus_Keeper(QWidget *control) : Control(control) {}

void Focus_Keeper::Restore()
{
    Focus_Back(Control);
    Control = nullptr;
}

namespace {
// Qt gives the activation up as it hides a window, and the window manager chooses the next
// one. A window that closes right after one it owns (the preview right after its print window)
// can leave it choosing a window that is already gone, and then none is active at all.
class Focus_Return : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *o, QEvent *e) override
    {
        // Deactivated while it is being hidden: the window that had the focus is closing.
        if (e->type() == QEvent::WindowDeactivate && o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            if (w->isWindow() && w->isHidden() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
                Closed(w);
        }
        return false;
    }

private:
    void Closed(const QWidget *w)
    {
        QList<QPointer<QWidget>> owners;
        for (QWidget *p = w->parentWidget(); p; p = p->window()->parentWidget()) owners << p->window();
        // The window manager is given the time to activate the next window itself; only where
        // it has not is one activated here, so that no other program loses a focus it was given.
        QTimer::singleShot(Return_Delay_Ms, this, [owners] {
            if (QCoreApplication::closingDown() || QApplication::activeWindow() || QApplication::activePopupWidget())
                return;
            // A modal window shown meanwhile is the one that takes input.
            QWidget *to = QApplication::activeModalWidget();
            for (auto i = owners.begin(); !to && i != owners.end(); ++i)
                if (*i && (*i)->isVisible() && !(*i)->isMinimized()) to = *i;
            if (!to) to = Message_Owner();
            // The control that had the window's focus has it again with the activation.
            if (to && to->isVisible()) to->activateWindow();
        });
    }
};
} // namespace

void Install_Focus_Return()
{
    static QPointer<Focus_Return> filter;
    if (filter || !qApp) return;
    filter = new Focus_Return(qApp);
    qApp->installEventFilter(filter);
}
