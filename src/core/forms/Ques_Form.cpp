#include "core/forms/Ques_Form.h"
#include "core/forms/Main.h"
#include "core/forms/Text_Fit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <vector>

namespace {

QLabel *Make_Label(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setTextFormat(Qt::PlainText);   // controller texts are never markup
    return l;
}

QPushButton *Make_Button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->resize(TFormQues::BTN_W, TFormQues::BTN_H);
    return b;
}

// Room the screen gives a window, or 0 when it is not known.
int Screen_Width(const QWidget *w)
{
    QScreen *s = w->screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().width() : 0;
}

// The program's windows in the order they were activated, the latest last, each with the
// window that owned it then: right after a file dialog closes nothing may be active until the
// window manager activates its owner again, and the dialog itself is gone by then.
class Activation_Order : public QObject {
public:
    explicit Activation_Order(QObject *parent) : QObject(parent)
    {
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &Activation_Order::Activated);
    }

    QWidget *Latest_Shown() const
    {
        if (Order.empty()) return nullptr;
        const Seen &last = Order.back();
        if (!Shown(last.win) && Shown(last.opener)) return last.opener;
        for (auto i = Order.rbegin(); i != Order.rend(); ++i)
            if (Shown(i->win)) return i->win;
        return nullptr;
    }

private:
    struct Seen {
        QPointer<QWidget> win, opener;
    };

    static bool Shown(const QWidget *w) { return w && w->isVisible(); }

    void Activated(QWindow *win)
    {
        QWidget *w = nullptr;
        for (QWidget *t : QApplication::topLevelWidgets())
            if (win && t->windowHandle() == win) {
                w = t;
                break;
            }
        // Pop-ups belong to their control's window.
        const Qt::WindowType type = w ? w->windowType() : Qt::Widget;
        if (!w || type == Qt::Popup || type == Qt::ToolTip) return;
        std::erase_if(Order, [w](const Seen &s) { return !s.win || s.win == w; });
        QWidget *opener = w->parentWidget() ? w->parentWidget()->window() : nullptr;
        Order.push_back({w, opener});
    }

    std::vector<Seen> Order;
};

QPointer<Activation_Order> g_order;

}  // namespace

QWidget *Message_Owner()
{
    if (QWidget *w = QApplication::activeModalWidget()) return w;
    if (QWidget *w = QApplication::activeWindow()) return w;
    if (QWidget *w = g_order ? g_order->Latest_Shown() : nullptr) return w;
    return FormMain;
}

TFormQues::TFormQues(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormQues"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Label1 = Make_Label(this, "Label1");
    Label2 = Make_Label(this, "Label2");
    Label3 = Make_Label(this, "Label3");
    BitBtn1 = Make_Button(this, "BitBtn1", QStringLiteral("Да"));
    BitBtn2 = Make_Button(this, "BitBtn2", QStringLiteral("Нет"));
    BitBtn3 = Make_Button(this, "BitBtn3", QString());
    // OK carries a glyph only; where the style has none it says "OK" so it is never blank.
    const QIcon ok = style()->standardIcon(QStyle::SP_DialogOkButton);
    if (ok.isNull())
        BitBtn3->setText(QStringLiteral("OK"));
    else
        BitBtn3->setIcon(ok);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormQues::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormQues::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormQues::BitBtn3Click);
    Setup(Ques_Setup());
    // Made with a disabled owner it starts disabled, with its buttons.
    setEnabled(true);
}

void TFormQues::Setup(const Ques_Setup &q)
{
    Answer = 0;
    // An empty title makes the platform show the program's name instead; a blank shows nothing.
    setWindowTitle(q.caption.isEmpty() ? QStringLiteral(" ") : q.caption);
    Label1->setText(q.line1);
    Label2->setText(q.line2);
    Label3->setText(q.line3);

    const int h = (q.line2.isEmpty() && q.line3.isEmpty()) ? 124 : q.line3.isEmpty() ? 150 : 175;

    qsizetype longest = q.caption.size();
    for (const QString *s : {&q.line1, &q.line2, &q.line3})
        longest = std::max(longest, s->size());
    int w = std::max<qsizetype>(longest * 10 + 20, BitBtn1->width() + BitBtn2->width() + 60);
    // The title bar shows the caption whole in the window manager's font and buttons.
    w = std::max(w, Caption_Width(this, q.caption));

    // A line longer than the screen would push the buttons out of reach: keep the dialog on
    // the screen and wrap the lines instead, growing the height by what the wrapping needs.
    const int screen_w = Screen_Width(this);
    const bool wrap = screen_w > 0 && w > screen_w;
    if (wrap)
        w = screen_w;
    const int label_w = w - 14;
    int y = 10;
    int extra = 0;
    for (QLabel *l : {Label1, Label2, Label3}) {
        l->setWordWrap(wrap);
        const int one = l->fontMetrics().height() + 4;
        const int need = wrap ? std::max(one, l->heightForWidth(label_w)) : one;
        l->setGeometry(7, y, label_w, need);
        extra += need - one;
        y += 24 + (need - one);
    }
    const int height = h + extra;
    setFixedSize(w, height);

    const int by = height - BTN_H - 12;
    BitBtn1->setVisible(q.yes_no);
    BitBtn2->setVisible(q.yes_no);
    BitBtn3->setVisible(!q.yes_no);
    if (q.yes_no) {
        const int g = (w - BitBtn1->width() - BitBtn2->width()) / 3 - 3;
        BitBtn2->move(g, by);
        BitBtn1->move(g + BitBtn2->width() + g, by);
        BitBtn1->setDefault(true);
        BitBtn1->setFocus();
    } else {
        BitBtn3->move((w - BitBtn3->width()) / 2, by);
        BitBtn3->setDefault(true);
        BitBtn3->setFocus();
    }
}

void TFormQues::changeEvent(QEvent *e)
{
    // A window disabled with its owner could never be answered, and would hold the program
    // in its modal loop.
    if (e->type() == QEvent::EnabledChange && !isEnabled())
        setEnabled(true);
    QDialog::changeEvent(e);
}

void TFormQues::BitBtn1Click()
{
    Answer = 1;
    accept();
}

void TFormQues::BitBtn2Click()
{
    Answer = 0;
    reject();
}

void TFormQues::BitBtn3Click()
{
    accept();
}

uint8_t Ques_Dialog_Handler::Ask(const Ques_Setup &q)
{
    // The message stands over the window it speaks about, also one that is disabled while it
    // works (the connection dialog during an attempt, the main window during an archive
    // read); the message itself is kept enabled (changeEvent).
    QWidget *owner = Message_Owner();
    // The owner may go away while the dialog runs its own event loop.
    QPointer<TFormQues> f = new TFormQues(owner);
    f->Setup(q);
    f->exec();
    const uint8_t answer = f ? f->Answer : 0;
    delete f.data();
    return answer;
}

void Install_Ques_Dialog()
{
    static Ques_Dialog_Handler handler;
    Set_Ques_Handler(&handler);
    if (!g_order && qApp) g_order = new Activation_Order(qApp);
}
