#include "core/forms/Wait_Form.h"

#include <QCloseEvent>
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

QLabel *Make_Label(QWidget *parent, const char *name, int y)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setGeometry(7, y, kW - 14, 20);
    return l;
}

}  // namespace

TFormWait::TFormWait(QWidget *owner)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                           | Qt::WindowTitleHint)
    , owner_(owner)
{
    setObjectName(QStringLiteral("FormWait"));
    setWindowTitle(QStringLiteral("..."));
    Label1 = Make_Label(this, "Label1", 12);
    Label2 = Make_Label(this, "Label2", 38);
    Label3 = Make_Label(this, "Label3", 60);
    Label1->setText(QString::fromUtf8(kDesignText));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, 94, kW - 32, 18);
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
        const QRect o = owner_->frameGeometry();
        move(o.center() - QPoint(kW / 2, kH / 2));
    }
    QWidget::showEvent(e);
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
