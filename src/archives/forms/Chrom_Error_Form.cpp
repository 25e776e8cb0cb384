#include "archives/forms/Chrom_Error_Form.h"

#include "archives/Chrom_Error.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFormWidth = 450;
constexpr int kCtrlLabels = 5;
constexpr int kChromLabels = 16;
constexpr int kLineLeft = 8;

QLabel *heading(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Raised);
    l->setFixedHeight(24);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QFrame *line_panel(QWidget *parent, const char *name)
{
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    return p;
}

QLabel *line_label(QFrame *panel, const QString &name)
{
    auto *l = new QLabel(panel);
    l->setObjectName(name);
    return l;
}

// Puts the texts on the panel's labels, one line every `step` pixels, and sizes the
// panel to lines × step + 8.
void fill(QFrame *panel, QList<QLabel *> &labels, const QString &prefix, const QStringList &texts,
          int step)
{
    // A status byte with more set bits than labels still shows every text.
    while (labels.size() < texts.size())
        labels << line_label(panel, prefix + QString::number(labels.size() + 1));
    for (int k = 0; k < labels.size(); ++k) {
        QLabel *l = labels[k];
        if (k < texts.size()) {
            l->setText(texts[k]);
            l->setGeometry(kLineLeft, 4 + k * step, kFormWidth - 2 * kLineLeft - 20, step);
            l->show();
        } else {
            l->clear();
            l->hide();
        }
    }
    panel->setFixedHeight(int(texts.size()) * step + 8);
}
} // namespace

TFormChromError::TFormChromError(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormChromError"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *v = new QVBoxLayout(this);
    v->setSpacing(0);
    Panel3 = heading(this, "Panel3");
    pnstatus = line_panel(this, "pnstatus");
    Panel2 = heading(this, "Panel2");
    pnsit = line_panel(this, "pnsit");
    for (int k = 1; k <= kCtrlLabels; ++k) Ls << line_label(pnstatus, QStringLiteral("ls%1").arg(k));
    for (int k = 1; k <= kChromLabels; ++k) Lh << line_label(pnsit, QStringLiteral("lh%1").arg(k));
    v->addWidget(Panel3);
    v->addWidget(pnstatus);
    v->addWidget(Panel2);
    v->addWidget(pnsit);
    v->addStretch(1);
    v->addSpacing(12);
    auto *buttons = new QHBoxLayout;
    BitBtn2 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    v->addLayout(buttons);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    setFixedWidth(kFormWidth);
}

void TFormChromError::showEvent(QShowEvent *e)
{
    Form_Show();
    QDialog::showEvent(e);
}

void TFormChromError::Form_Show()
{
    const uint8_t kind = Kind == CHR_ERR_MEAS ? CHR_ERR_MEAS : CHR_ERR_HD;
    Panel3->setText(Ctrl_Status_Heading(Ctrl_Status));
    fill(pnstatus, Ls, QStringLiteral("ls"), Ctrl_Status_Lines(kind, Ctrl_Status),
         kind == CHR_ERR_MEAS ? 18 : 15);
    const bool chrom = Chrom_Part_Shown(kind, Ctrl_Status);
    if (chrom) {
        Panel2->setText(Chrom_Status_Heading(Chrom_Status[0], Chrom_Status[1]));
        fill(pnsit, Lh, QStringLiteral("lh"), Chrom_Status_Lines(Chrom_Status[0], Chrom_Status[1]), 15);
    } else {
        for (QLabel *l : Lh) l->clear();
    }
    Panel2->setVisible(chrom);
    pnsit->setVisible(chrom);
    adjustSize();
}

namespace {
QStringList shown(const QList<QLabel *> &labels)
{
    QStringList t;
    for (const QLabel *l : labels)
        if (!l->isHidden() && !l->parentWidget()->isHidden()) t << l->text();
    return t;
}
} // namespace

QStringList TFormChromError::Ctrl_Lines() const { return shown(Ls); }
QStringList TFormChromError::Chrom_Lines() const { return shown(Lh); }
