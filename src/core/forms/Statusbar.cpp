#include "core/forms/Statusbar.h"

#include "core/forms/Text_Fit.h"

#include <QHBoxLayout>

TStatusBar::TStatusBar(const QVector<int> &widths, QWidget *parent) : QFrame(parent)
{
    setFixedHeight(25);
    // The panels are clipped at the bar's edge; their widths never hold the window wider
    // than the size it was given.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(1, 1, 1, 1);
    lay->setSpacing(2);
    for (int i = 0; i < widths.size(); ++i) {
        auto *l = new QLabel(this);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setFixedWidth(widths[i]);
        // Texts are clipped at the panel's edge, never wrapped.
        l->setWordWrap(false);
        l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        lay->addWidget(l);
        Panels << l;
        Widths << widths[i];
        Fitted << false;
    }
    lay->addStretch(1);
}

void TStatusBar::Set_Text(int panel, const QString &text)
{
    if (panel < 0 || panel >= Panels.size()) return;
    Panels[panel]->setText(text);
    if (Fitted[panel]) Fit(panel);
}

QString TStatusBar::Text(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel]->text() : QString();
}

void TStatusBar::Set_Width(int panel, int width)
{
    if (panel < 0 || panel >= Panels.size()) return;
    Widths[panel] = qMax(0, width);
    Panels[panel]->setFixedWidth(Widths[panel]);
    if (Fitted[panel]) Fit(panel);
    else if (panel != Filler) Fill();
}

int TStatusBar::Width(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel]->width() : 0;
}

QLabel *TStatusBar::Panel(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel] : nullptr;
}

void TStatusBar::Set_Fit(int panel)
{
    if (panel < 0 || panel >= Panels.size()) return;
    Fitted[panel] = true;
    Fit(panel);
}

void TStatusBar::Set_Filler(int panel)
{
    if (panel < 0 || panel >= Panels.size()) return;
    Filler = panel;
    Fill();
}

void TStatusBar::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    Fill();
}

void TStatusBar::Fit(int panel)
{
    QLabel *l = Panels[panel];
    const int w = Text_Fit_Width(l, {l->text()}, Widths[panel]);
    if (l->width() == w && l->minimumWidth() == w) return;
    l->setFixedWidth(w);
    Fill();
}

void TStatusBar::Fill()
{
    if (Filler < 0) return;
    const QHBoxLayout *lay = static_cast<const QHBoxLayout *>(layout());
    const QMargins m = lay->contentsMargins();
    int rest = width() - m.left() - m.right() - lay->spacing() * (int(Panels.size()) - 1);
    for (int i = 0; i < Panels.size(); ++i)
        if (i != Filler) rest -= Panels[i]->minimumWidth();
    Panels[Filler]->setFixedWidth(qMax(0, rest));
}
