#include "core/forms/Text_Fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace {

// Room a title bar takes besides its text: the icon and three buttons at each end's margin.
int Title_Bar_Extra(const QWidget *w)
{
    const int button = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w);
    return 5 * std::max(button, 20);
}

class Caption_Fit : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Seen before the dialog centres itself, so it is placed at its final width; a caption
        // set while the window is shown is fitted too.
        if (event->type() != QEvent::Show && event->type() != QEvent::WindowTitleChange) return false;
        auto *w = qobject_cast<QDialog *>(watched);
        if (!w || !w->isWindow() || !w->isVisible() || w->windowTitle().trimmed().isEmpty()) return false;
        const int need = Caption_Width(w, w->windowTitle());
        if (w->minimumWidth() >= need) return false;
        if (w->minimumWidth() == w->maximumWidth())
            w->setFixedWidth(need);   // a fixed-size dialog keeps a fixed width, the wider one
        else
            w->setMinimumWidth(need); // so that a later fit to the contents keeps it too
        return false;
    }
};

// A line edit shows a text whole from its first character with room for the text, its own
// margin of 2 at each side, a pixel for the cursor and its frame; with less it scrolls to the
// text's end.
int Edit_Fit_Width(const QLineEdit *e, const QStringList &texts)
{
    constexpr int EDIT_TEXT_MARGIN = 2;
    int widest = 0;
    for (const QString &t : texts) widest = std::max(widest, e->fontMetrics().horizontalAdvance(t));
    const QMargins tm = e->textMargins(), cm = e->contentsMargins();
    const int inner = widest + 1 + 2 * EDIT_TEXT_MARGIN + tm.left() + tm.right() + cm.left() + cm.right();
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    return e->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(inner, e->sizeHint().height()), e).width();
}

} // namespace

int Caption_Width(const QWidget *w, const QString &caption)
{
    if (!w || caption.trimmed().isEmpty()) return 0;
    QFont f = QApplication::font("QMdiSubWindowTitleBar");
    f.setBold(true);
    return QFontMetrics(f).horizontalAdvance(caption) + Title_Bar_Extra(w);
}

int Text_Fit_Width(const QWidget *w, const QStringList &texts)
{
    if (!w) return 0;
    if (const auto *e = qobject_cast<const QLineEdit *>(w)) return Edit_Fit_Width(e, texts);
    const QFontMetrics fm(w->font());
    int pad = fm.horizontalAdvance(QLatin1Char('x'));   // a label's indent beside its frame
    if (const auto *f = qobject_cast<const QFrame *>(w)) pad += 2 * f->frameWidth();
    if (const auto *l = qobject_cast<const QLabel *>(w)) pad += 2 * l->margin();
    int widest = 0;
    for (const QString &t : texts) widest = std::max(widest, fm.horizontalAdvance(t));
    return widest + pad;
}

int Text_Fit_Width(const QWidget *w, const QStringList &texts, int designed)
{
    return std::max(designed, Text_Fit_Width(w, texts));
}

void Fit_Min_Width(QWidget *w, const QStringList &texts)
{
    if (w) w->setMinimumWidth(Text_Fit_Width(w, texts, w->minimumWidth()));
}

void Install_Caption_Fit()
{
    static QPointer<Caption_Fit> filter;
    if (filter || !qApp) return;
    filter = new Caption_Fit(qApp);
    qApp->installEventFilter(filter);
}
