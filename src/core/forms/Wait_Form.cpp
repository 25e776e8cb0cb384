#include "core/forms/Wait_Form.h"
#include "core/forms/Window_Place.h"

#include <QCloseEvent>
#include <QPainter>
#include <QWindow>
#include <qdrawutil.h>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include <iterator>

namespace {

const char *const kDesignText = "Ожидайте...";

struct Mode_Texts {
    const char *l1, *l2, *l3;
};

const Mode_Texts kModes[] = {
    {"Ожидайте...", "Выполняется проверка", "всех параметров конфигурации"},
    {"Ожидайте...", "Выполняется чтение данных", "Esc - прервать чтение"},
    {"Ожидайте...", "Выполняется запись параметров", "конфигурации в контроллер"},
    {"Ожидайте...", "Выполняется чтение", "таблиц параметров конфигурации"},
    {"Ожидайте...", "Выполняется создание", "таблицы в формате Excel"},
    {"Команда передана. Выполняется проверка", "восстановления связи с контроллером",
     "Ожидайте..."},
};

constexpr int kW = 332;
constexpr int kH = 138;
constexpr int kBorder = 2;
constexpr int kCaptionH = 18;
// The designed places of the labels and the bar are below the caption.
constexpr int kTop = kBorder + kCaptionH;

QLabel *Make_Label(QWidget *parent, const char *name, int y)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setGeometry(7, kTop + y, kW - 14, 20);
    return l;
}

}  // namespace

TFormWait::TFormWait(QWidget *owner)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
    , owner_(owner)
{
    setObjectName(QStringLiteral("FormWait"));
    setWindowTitle(QStringLiteral("..."));
    Caption = new QLabel(windowTitle(), this);
    Caption->setObjectName(QStringLiteral("Caption"));
    Caption->setAlignment(Qt::AlignCenter);
    Caption->setGeometry(kBorder, kBorder, kW - 2 * kBorder, kCaptionH);
    Caption->setAutoFillBackground(true);
    QPalette cp = Caption->palette();
    cp.setColor(QPalette::Window, cp.color(QPalette::Active, QPalette::Highlight));
    cp.setColor(QPalette::WindowText, cp.color(QPalette::Active, QPalette::HighlightedText));
    Caption->setPalette(cp);
    QFont cf = Caption->font();
    cf.setBold(true);
    Caption->setFont(cf);
    Label1 = Make_Label(this, "Label1", 12);
    Label2 = Make_Label(this, "Label2", 38);
    Label3 = Make_Label(this, "Label3", 60);
    Label1->setText(QString::fromUtf8(kDesignText));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, kTop + 94 - kBorder, kW - 32, 16);
    setFixedSize(kW, kH);
    if (owner)
        connect(owner, &QObject::destroyed, this, &QObject::deleteLater);
}

void TFormWait::Apply_Mode()
{
    setFixedSize(kW, kH);
    if (Wait_Mode >= std::size(kModes))
        return;
    const Mode_Texts &m = kModes[Wait_Mode];
    Label1->setText(QString::fromUtf8(m.l1));
    Label2->setText(QString::fromUtf8(m.l2));
    Label3->setText(QString::fromUtf8(m.l3));
}

void TFormWait::showEvent(QShowEvent *e)
{
    Apply_Mode();
    if (owner_) {
        const QRect o = Frame_Rect(owner_->window());
        move(o.center() - QPoint(kW / 2, kH / 2));
        // Owned by the owner's window, set before the form is mapped.
        QWindow *own = owner_->window()->windowHandle();
        if (own && windowHandle()) windowHandle()->setTransientParent(own);
    }
    QWidget::showEvent(e);
}

void TFormWait::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    qDrawWinPanel(&p, rect(), palette(), false);
}

void TFormWait::keyPressEvent(QKeyEvent *e)
{
    // Esc belongs to the reader's abort filter; the form itself stays up.
    e->ignore();
}

void TFormWait::closeEvent(QCloseEvent *e)
{
    // Only the caller ends the form (by destroying or hiding it); a window-manager close
    // request would leave the reader running without its progress.
    if (e->spontaneous())
        e->ignore();
    else
        e->accept();
}
