#include "core/forms/About.h"

#include "core/forms/Window_Place.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *Panel(const QString &text, QWidget *parent, int point_size = 0)
{
    auto *l = new QLabel(text, parent);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    if (point_size) {
        QFont f = l->font();
        f.setPointSize(point_size);
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// A drawn emblem: a pipeline with a flame, so no picture file has to be shipped.
QPixmap Emblem()
{
    QPixmap pm(160, 120);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 90), 3));
    p.setBrush(QColor(120, 150, 190));
    p.drawRect(10, 70, 140, 22);
    p.drawRect(66, 40, 28, 30);
    p.setBrush(QColor(240, 150, 30));
    p.setPen(Qt::NoPen);
    QPolygon flame;
    flame << QPoint(80, 2) << QPoint(92, 24) << QPoint(86, 38) << QPoint(74, 38) << QPoint(68, 24);
    p.drawPolygon(flame);
    return pm;
}
} // namespace

TFormAbout::TFormAbout(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(540, 546);
    Centre_On_Screen(this);
    auto *v = new QVBoxLayout(this);
    auto *pic = new QLabel(this);
    pic->setPixmap(Emblem());
    pic->setAlignment(Qt::AlignCenter);
    v->addWidget(pic);
    v->addWidget(Panel(QStringLiteral("qzt_XRM5170"), this, 16));
    v->addWidget(Panel(QStringLiteral("Программа обслуживания контроллера качества газа"), this));
    v->addWidget(Panel(QStringLiteral("2004"), this));
    v->addWidget(Panel(QStringLiteral("Версия    16.01"), this));
    v->addWidget(Panel(QStringLiteral("Россия, 2004"), this));
    v->addWidget(Panel(QStringLiteral("Разработка: группа разработчиков программного обеспечения контроллеров QZT"), this));
    v->addWidget(Panel(QStringLiteral("По вопросам обслуживания обращайтесь в службу сопровождения контроллеров QZT"), this));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("BitBtn1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    v->addWidget(ok, 0, Qt::AlignHCenter);
}
