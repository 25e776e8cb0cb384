#include "core/forms/Window_Place.h"

#include "core/Suplfunc.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// The client area's top-left when the dialog was last hidden.
const char *const kShownAt = "qzt_shown_at";
// Set on a window that opens centred on its screen rather than on its owner.
const char *const kOnScreen = "qzt_on_screen";

enum class Rule { Screen, Owner };

bool Framed(const QWidget *w) { return w->isVisible() && w->frameGeometry() != w->geometry(); }

QMargins Margins_Of(const QWidget *w)
{
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

QWidget *Owner(const QWidget *w)
{
    QWidget *p = w->parentWidget();
    return p ? p->window() : nullptr;
}

QScreen *Screen_Of(const QWidget *w)
{
    const QWidget *o = Owner(w);
    QScreen *s = o && o->isVisible() ? o->screen() : w->screen();
    return s ? s : QGuiApplication::primaryScreen();
}

// Puts the window where the rule wants its frame, for a frame of the given margins. The
// client area is placed, not the frame: Qt can place a frame only once it knows it.
void Place(QWidget *w, Rule rule, const QMargins &m)
{
    QScreen *scr = Screen_Of(w);
    if (!scr) return;
    const QRect avail = scr->availableGeometry();
    const QWidget *o = Owner(w);
    const QRect around = rule == Rule::Owner && o && o->isVisible() ? o->frameGeometry() : avail;
    const QRect c = Centred_Client(around, w->size(), m, avail);
    if (w->geometry() != c) w->setGeometry(c);
}

// Places the window again by its real frame as soon as the window manager has framed it.
// The client area keeps its place meanwhile, so no event tells when that happened: the
// frame is looked at every few milliseconds for a while.
class Frame_Watch : public QObject {
public:
    Frame_Watch(QWidget *w, Rule rule) : QObject(w), Win(w), How(rule)
    {
        connect(&Tick, &QTimer::timeout, this, [this] { Look(); });
        Tick.start(10);
    }
    void Set_Rule(Rule rule) { How = rule; }

private:
    void Look()
    {
        // A window manager frames a window within moments; without one (or for a window
        // hidden again) the place stays as guessed.
        if (!Win->isVisible() || ++Ticks > 300) {
            deleteLater();
        } else if (Framed(Win)) {
            Tick.stop();
            deleteLater();
            Place(Win, How, Margins_Of(Win));
        }
    }
    QWidget *Win;
    Rule How;
    QTimer Tick;
    int Ticks = 0;
};

void Watch_Frame(QWidget *w, Rule rule)
{
    if (Framed(w)) return;   // placed by its real frame already
    for (QObject *c : w->children())
        if (auto *old = dynamic_cast<Frame_Watch *>(c)) {
            old->Set_Rule(rule);
            return;
        }
    new Frame_Watch(w, rule);
}

// A window the window manager frames: not the wait form, which draws its own frame, nor a
// pop-up, which belongs to its control.
bool Frame_Window(const QWidget *w)
{
    const Qt::WindowFlags f = w->windowFlags();
    const Qt::WindowType type = Qt::WindowType(int(f & Qt::WindowType_Mask));
    return w->isWindow() && !(f & Qt::FramelessWindowHint) && type != Qt::Popup && type != Qt::ToolTip;
}

bool Placed_Here(const QWidget *w) { return qobject_cast<const QDialog *>(w) && Frame_Window(w); }

QWidget *Widget_Of(const QWindow *win)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->windowHandle() == win) return w;
    return nullptr;
}

class Window_Places : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Hide && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (!e->spontaneous() && (Placed_Here(w) || w->property(kOnScreen).toBool()))
                w->setProperty(kShownAt, w->geometry().topLeft());
            return false;
        }
        // The window's own show comes after the widget's: every size and place the dialog
        // sets while it is shown is in, and the window manager has not seen it yet.
        if (e->type() != QEvent::Show || !watched->isWindowType()) return false;
        QWidget *w = Widget_Of(static_cast<QWindow *>(watched));
        if (!w || !Frame_Window(w)) return false;
        const bool on_screen = w->property(kOnScreen).toBool();
        if (!on_screen && !Placed_Here(w)) return false;
        const QVariant at = w->property(kShownAt);
        if (at.isValid()) {
            // Shown again: where it was, unless the program has placed it since.
            if (!w->testAttribute(Qt::WA_Moved) || w->geometry().topLeft() == at.toPoint())
                w->setGeometry(QRect(at.toPoint(), w->size()));
        } else if (on_screen || !w->testAttribute(Qt::WA_Moved)) {
            // Placed by nobody but Qt, which can only guess at the frame on a first show.
            const Rule rule = on_screen ? Rule::Screen : Rule::Owner;
            Place(w, rule, Frame_Margins(w));
            Watch_Frame(w, rule);
        }
        return false;
    }
};

} // namespace

QMargins Frame_Margins(const QWidget *w)
{
    if (w && Framed(w)) return Margins_Of(w);
    if (const QWidget *o = w ? Owner(w) : nullptr; o && Framed(o)) return Margins_Of(o);
    for (const QWidget *t : QApplication::topLevelWidgets())
        if (t != w && Frame_Window(t) && Framed(t)) return Margins_Of(t);
    // Windows of a platform without a window manager have no frame.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {};
    // A title bar and borders as wide as the common window managers draw them.
    const QStyle *s = w ? w->style() : QApplication::style();
    const int title = std::max(32, (s ? s->pixelMetric(QStyle::PM_TitleBarHeight) : 0) + 8);
    return QMargins(8, title, 8, 8);
}

void Centre_On_Screen(QWidget *w)
{
    if (!w) return;
    w->setProperty(kOnScreen, true);
    // Placed now too, for a program without the window filter; the filter places it again at
    // the size it is shown at.
    Place(w, Rule::Screen, Frame_Margins(w));
    if (w->isVisible()) Watch_Frame(w, Rule::Screen);
}

void Install_Window_Places()
{
    static QPointer<Window_Places> filter;
    if (filter || !qApp) return;
    filter = new Window_Places(qApp);
    qApp->installEventFilter(filter);
}
