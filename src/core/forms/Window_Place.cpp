#include "core/forms/Window_Place.h"

#include "core/Suplfunc.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
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

// Centred on the screen or on the owner, or at a given place of the client area.
enum class Rule { Screen, Owner, At };

// A frame that is all there: while the window manager builds it, it can be seen narrower
// than the window inside it.
bool Whole(const QMargins &m) { return m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0; }

// The frame is asked of the window itself, which reads it again whenever the window manager
// changes it. The widget's own frame rectangle is cached when its window first moves and
// keeps whatever the frame was then, for good: 1x1 or none when the window manager had not
// finished framing it.
bool Known_Frame(const QWidget *w, QMargins &m)
{
    const QWindow *win = w->isVisible() ? w->windowHandle() : nullptr;
    if (!win) return false;
    m = win->frameMargins();
    return !m.isNull() && Whole(m);
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

// The client area `client` of a window framed by `m`, kept inside `avail`: cut to the area as
// far as the window's minimum size lets it, then moved up and left only as far as it must. A
// window that cannot be cut so far keeps its title bar and left edge in view.
QRect Inside(const QWidget *w, const QRect &client, const QMargins &m, const QRect &avail)
{
    const QPoint corner(m.left(), m.top());
    const QRect f = Fit_Window(QRect(client.topLeft() - corner, client.size()), avail, m);
    return QRect(f.topLeft() + corner, f.size().expandedTo(w->minimumSize()));
}

// Where the rule wants the client area, for a frame of the given margins: never past the free
// area of the screen.
QRect Target(const QWidget *w, Rule rule, const QMargins &m, QPoint at)
{
    // A place of its own is kept on the screen it lies on.
    QScreen *scr = rule == Rule::At ? QGuiApplication::screenAt(QRect(at, w->size()).center()) : nullptr;
    if (!scr) scr = Screen_Of(w);
    if (!scr) return rule == Rule::At ? QRect(at, w->size()) : w->geometry();
    const QRect avail = scr->availableGeometry();
    if (rule == Rule::At) return Inside(w, QRect(at, w->size()), m, avail);
    const QSize size = Inside(w, QRect(avail.topLeft(), w->size()), m, avail).size();
    const QWidget *o = Owner(w);
    const QRect around = rule == Rule::Owner && o && o->isVisible() ? Frame_Rect(o) : avail;
    return Centred_Client(around, size, m, avail);
}

// The client area is placed, not the frame: Qt can place a frame only once it knows it.
void Place(QWidget *w, Rule rule, const QMargins &m, QPoint at = {})
{
    const QRect c = Target(w, rule, m, at);
    if (w->geometry() != c) w->setGeometry(c);
}

// Places the window again by its real frame once the window manager has framed it. The
// client area keeps its place meanwhile, so no event tells when that happened: the frame is
// looked at every few milliseconds. The window manager may still move a window it has just
// framed, so the place is kept a moment longer.
class Frame_Watch : public QObject {
public:
    Frame_Watch(QWidget *w, Rule rule, QPoint at) : QObject(w), Win(w), How(rule), At(at)
    {
        connect(&Tick, &QTimer::timeout, this, [this] { Look(); });
        Tick.start(10);
    }
    void Set_Rule(Rule rule, QPoint at)
    {
        How = rule;
        At = at;
        Kept = 0;
    }

private:
    void Look()
    {
        // Without a window manager (or for a window hidden again) the place stays as guessed.
        if (!Win->isVisible() || ++Ticks > 300) {
            deleteLater();
            return;
        }
        // Only a frame seen whole, and the same twice, counts.
        QMargins m;
        const bool known = Known_Frame(Win, m);
        if (!known || m != Seen) {
            Seen = known ? m : QMargins(-1, -1, -1, -1);
            return;
        }
        Place(Win, How, m, At);
        if (++Kept >= 20) deleteLater();
    }
    QWidget *Win;
    Rule How;
    QPoint At;
    QTimer Tick;
    int Ticks = 0, Kept = 0;
    QMargins Seen{-1, -1, -1, -1};
};

Frame_Watch *Watch_Of(const QWidget *w)
{
    for (QObject *c : w->children())
        if (auto *watch = dynamic_cast<Frame_Watch *>(c)) return watch;
    return nullptr;
}

void Watch_Frame(QWidget *w, Rule rule, QPoint at = {})
{
    if (Frame_Watch *old = Watch_Of(w))
        old->Set_Rule(rule, at);
    else
        new Frame_Watch(w, rule, at);
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

// A dialog that fills itself when shown (texts, rows shown or hidden) is laid out anew only
// when the layout requests it posted arrive, after its window has appeared: it would then
// grow where it stands and be placed again. They are let in first, innermost first.
void Settle_Layout(QWidget *w)
{
    const QList<QWidget *> inside = w->findChildren<QWidget *>();
    for (auto it = inside.crbegin(); it != inside.crend(); ++it)
        QCoreApplication::sendPostedEvents(*it, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(w, QEvent::LayoutRequest);
}

// A window manager may frame a window of fixed size otherwise than one the user can resize
// (openbox draws no resize handle below it): a window about to appear takes its frame from a
// window framed alike. With none on the screen, a window of fixed size is taken to have a
// bottom edge as wide as its sides.
bool Fixed_Size(const QWidget *w) { return w->minimumSize() == w->maximumSize(); }

QMargins Expected_Frame(const QWidget *w)
{
    QMargins m;
    if (Known_Frame(w, m)) return m;
    const bool fixed = Fixed_Size(w);
    for (const QWidget *t : QApplication::topLevelWidgets())
        if (t != w && Frame_Window(t) && Fixed_Size(t) == fixed && Known_Frame(t, m)) return m;
    m = Frame_Margins(w);
    if (fixed) m.setBottom(m.left());
    return m;
}

// What to do with a window when its window is shown (decided when the widget is shown).
enum class Pending { None, Restore, Screen, Owner };
const char *const kPending = "qzt_place_pending";

// On the screen and placed there: a size it takes now is kept inside the free area at once. A
// maximized or full-screen window is the window manager's to size.
bool Shown_And_Placed(const QWidget *w)
{
    const QWindow *win = w->windowHandle();
    return w->isVisible() && win && win->isVisible() && !w->property(kPending).isValid() &&
           !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

void Set_Geometry(QWidget *w, const QRect &g)
{
    // A window not moved keeps its place to the window placing, which has yet to centre it.
    if (g.topLeft() != w->geometry().topLeft())
        w->setGeometry(g);
    else if (g.size() != w->size())
        w->resize(g.size());
}

// Dialogs the program resizes while they are shown (a layout grown by rows or panels shown, a
// size set) are kept inside the free area; the user's own resizing comes from the window
// system and is left alone.
bool Kept_On_Screen(const QWidget *w)
{
    return w->isWindow() && Frame_Window(w) && (w->property(kOnScreen).toBool() || Placed_Here(w));
}

class Window_Places : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // Every event of the program passes here: the type first.
        if (e->type() == QEvent::Resize) {
            if (!e->spontaneous() && watched->isWidgetType()) {
                auto *w = static_cast<QWidget *>(watched);
                if (Kept_On_Screen(w) && Shown_And_Placed(w)) Fit_To_Screen(w, w->size());
            }
            return false;
        }
        if (e->type() != QEvent::Show && e->type() != QEvent::Hide) return false;
        if (watched->isWidgetType() && !e->spontaneous()) {
            auto *w = static_cast<QWidget *>(watched);
            const bool on_screen = w->property(kOnScreen).toBool();
            if (!Frame_Window(w) || (!on_screen && !Placed_Here(w))) return false;
            if (e->type() == QEvent::Hide) {
                w->setProperty(kShownAt, w->geometry().topLeft());
                return false;
            }
            // Seen before the dialog's own show: a dialog the program has not placed would be
            // centred by Qt with a guessed frame. It is kept from that and placed when its
            // window is shown.
            const QVariant at = w->property(kShownAt);
            Pending p = Pending::None;
            if (at.isValid() && (!w->testAttribute(Qt::WA_Moved) || w->geometry().topLeft() == at.toPoint()))
                p = Pending::Restore;   // shown again, not placed by the program since
            else if (on_screen && !at.isValid())
                p = Pending::Screen;
            else if (!w->testAttribute(Qt::WA_Moved))
                p = Pending::Owner;
            if (p != Pending::None) w->setAttribute(Qt::WA_Moved);
            w->setProperty(kPending, int(p));
            return false;
        }
        // The window's own show comes after the widget's: every size and place the dialog
        // sets while it is shown is in, and the window manager has not seen it yet.
        if (e->type() != QEvent::Show || !watched->isWindowType()) return false;
        QWidget *w = Widget_Of(static_cast<QWindow *>(watched));
        if (!w) return false;
        const QVariant pending = w->property(kPending);
        if (!pending.isValid()) return false;
        // The sizes it takes meanwhile are placed with it.
        Settle_Layout(w);
        w->setProperty(kPending, QVariant());
        const auto p = Pending(pending.toInt());
        if (p == Pending::Restore) {
            const QPoint at = w->property(kShownAt).toPoint();
            Place(w, Rule::At, Expected_Frame(w), at);
            Watch_Frame(w, Rule::At, at);
        } else if (p == Pending::Screen || p == Pending::Owner) {
            const Rule rule = p == Pending::Screen ? Rule::Screen : Rule::Owner;
            Place(w, rule, Expected_Frame(w));
            Watch_Frame(w, rule);
        }
        return false;
    }
};

} // namespace

QMargins Frame_Margins(const QWidget *w)
{
    QMargins m;
    // A window without a frame (the wait form) is its own frame: it neither borrows one nor
    // lends its none to a window it owns.
    if (w && w->isWindow() && !Frame_Window(w)) return m;
    if (w && Known_Frame(w, m)) return m;
    if (const QWidget *o = w ? Owner(w) : nullptr; o && Frame_Window(o) && Known_Frame(o, m)) return m;
    for (const QWidget *t : QApplication::topLevelWidgets())
        if (t != w && Frame_Window(t) && Known_Frame(t, m)) return m;
    // Windows of a platform without a window manager have no frame.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {};
    // A title bar and borders as wide as the common window managers draw them.
    const QStyle *s = w ? w->style() : QApplication::style();
    const int title = std::max(32, (s ? s->pixelMetric(QStyle::PM_TitleBarHeight) : 0) + 8);
    return QMargins(8, title, 8, 8);
}

QRect Frame_Rect(const QWidget *w) { return w->geometry().marginsAdded(Frame_Margins(w)); }

void Centre_On_Screen(QWidget *w)
{
    if (!w) return;
    w->setProperty(kOnScreen, true);
    const QVariant pending = w->property(kPending);
    if (pending.isValid()) {
        // Being shown: placed with its window, at the size it is shown at; shown again, it
        // stays where it was.
        if (Pending(pending.toInt()) != Pending::Restore) w->setProperty(kPending, int(Pending::Screen));
        return;
    }
    Place(w, Rule::Screen, Frame_Margins(w));
    if (w->isVisible()) Watch_Frame(w, Rule::Screen);
}

void Fit_To_Screen(QWidget *w, QSize size)
{
    if (!w || (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return;
    if (!size.isValid()) {
        if (w->layout()) w->layout()->activate();
        size = w->sizeHint();
    }
    size = size.expandedTo(w->minimumSize()).boundedTo(w->maximumSize());
    if (!Shown_And_Placed(w)) {
        Set_Geometry(w, QRect(w->geometry().topLeft(), size));
        return;
    }
    QScreen *scr = w->screen();
    if (!scr) return;
    const QRect g = Inside(w, QRect(w->geometry().topLeft(), size), Frame_Margins(w), scr->availableGeometry());
    if (g == w->geometry()) return;
    Set_Geometry(w, g);
    // While the frame is still watched, the window stays where it now stands.
    if (Frame_Watch *watch = Watch_Of(w)) watch->Set_Rule(Rule::At, w->geometry().topLeft());
}

void Install_Window_Places()
{
    static QPointer<Window_Places> filter;
    if (filter || !qApp) return;
    filter = new Window_Places(qApp);
    qApp->installEventFilter(filter);
}
