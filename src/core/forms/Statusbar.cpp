#include "core/forms/Statusbar.h"

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
    }
    lay->addStretch(1);
}

void TStatusBar::Set_Text(int panel, const QString &text)
{
    if (panel >= 0 && panel < Panels.size()) Panels[panel]->setText(text);
}

QString TStatusBar::Text(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel]->text() : QString();
}

void TStatusBar::Set_Width(int panel, int width)
{
    if (panel >= 0 && panel < Panels.size()) Panels[panel]->setFixedWidth(qMax(0, width));
}

int TStatusBar::Width(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel]->width() : 0;
}

QLabel *TStatusBar::Panel(int panel) const
{
    return (panel >= 0 && panel < Panels.size()) ? Panels[panel] : nullptr;
}
