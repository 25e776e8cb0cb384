#include "params/forms/Param_Dialog.h"

#include "core/Ques.h"
#include "core/forms/Radio_Group.h"
#include "core/forms/Text_Focus.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void Collect_Layout(const QLayout *l, QList<QWidget *> &out);

// A widget that takes the focus, then whatever its own layout holds.
void Collect_Widget(QWidget *w, QList<QWidget *> &out)
{
    if (!w || w->isWindow()) return;
    if (w->focusPolicy() != Qt::NoFocus && !w->focusProxy()) out << w;
    if (w->layout()) Collect_Layout(w->layout(), out);
}

void Collect_Item(QLayoutItem *it, QList<QWidget *> &out)
{
    if (!it) return;
    if (it->widget())
        Collect_Widget(it->widget(), out);
    else if (it->layout())
        Collect_Layout(it->layout(), out);
}

// The layout's widgets as the eye reads them: a grid row by row, left to right.
void Collect_Layout(const QLayout *l, QList<QWidget *> &out)
{
    if (auto *g = qobject_cast<const QGridLayout *>(l)) {
        struct Cell {
            int row, col, index;
        };
        std::vector<Cell> cells;
        for (int i = 0; i < g->count(); ++i) {
            int r = 0, c = 0, rs = 0, cs = 0;
            g->getItemPosition(i, &r, &c, &rs, &cs);
            cells.push_back({r, c, i});
        }
        std::stable_sort(cells.begin(), cells.end(),
                         [](const Cell &a, const Cell &b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
        for (const Cell &c : cells) Collect_Item(g->itemAt(c.index), out);
        return;
    }
    if (auto *f = qobject_cast<const QFormLayout *>(l)) {
        for (int r = 0; r < f->rowCount(); ++r)
            for (QFormLayout::ItemRole role : {QFormLayout::LabelRole, QFormLayout::FieldRole, QFormLayout::SpanningRole})
                Collect_Item(f->itemAt(r, role), out);
        return;
    }
    const auto *b = qobject_cast<const QBoxLayout *>(l);
    const bool reversed =
        b && (b->direction() == QBoxLayout::RightToLeft || b->direction() == QBoxLayout::BottomToTop);
    for (int i = 0; i < l->count(); ++i) Collect_Item(l->itemAt(reversed ? l->count() - 1 - i : i), out);
}

} // namespace

TParam_Dialog::TParam_Dialog(QWidget *owner, Buttons buttons) : QDialog(owner), Kind(buttons)
{
    auto *outer = new QVBoxLayout(this);
    Body = new QVBoxLayout;
    outer->addLayout(Body, 1);
    Button_Row = new QHBoxLayout;
    Button_Row->addStretch(1);
    outer->addLayout(Button_Row);

    auto make = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        Button_Row->addWidget(b);
        return b;
    };
    if (Kind != Buttons::Exit_Only) {
        if (Kind == Buttons::By_Dev_Write) {
            BitBtnWrite = make(QStringLiteral("Записать в устройство"), "BitBtnWrite");
            connect(BitBtnWrite, &QPushButton::clicked, this, &TParam_Dialog::Accept_Click);
        }
        BitBtnAccept = make(QStringLiteral("Принять"), "BitBtnAccept");
        connect(BitBtnAccept, &QPushButton::clicked, this, &TParam_Dialog::Accept_Click);
        BitBtnCancel = make(QStringLiteral("Отменить"), "BitBtnCancel");
    } else {
        BitBtnCancel = make(QStringLiteral("Выход"), "BitBtnCancel");
    }
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton *TParam_Dialog::Confirm_Button() const
{
    if (Kind == Buttons::By_Dev_Write && Dev_Write) return BitBtnWrite;
    return BitBtnAccept;
}

void TParam_Dialog::showEvent(QShowEvent *e)
{
    if (BitBtnWrite) {
        BitBtnWrite->setVisible(Dev_Write != 0);
        BitBtnAccept->setVisible(Dev_Write == 0);
    }
    if (!Loaded) {
        Loaded = true;
        Load();
        Tab_Stops_On_Checked(this);
        Order_Tab();
        Focus_First();
    }
    QDialog::showEvent(e);
}

void TParam_Dialog::Order_Tab()
{
    QList<QWidget *> fields, buttons;
    Collect_Layout(Body, fields);
    Collect_Layout(Button_Row, buttons);
    // Controls placed outside the layouts keep their turn, after the laid-out fields.
    const QList<QWidget *> all = findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (w->focusPolicy() == Qt::NoFocus || w->focusProxy() || w->isWindow() || fields.contains(w) ||
            buttons.contains(w))
            continue;
        bool inside = false;
        for (QWidget *p = w->parentWidget(); p && p != this && !inside; p = p->parentWidget())
            inside = p->focusPolicy() != Qt::NoFocus || fields.contains(p) || buttons.contains(p);
        if (!inside) fields << w;
    }
    // A grid of cells would keep Tab to itself and never let it reach the buttons.
    for (QWidget *w : std::as_const(fields))
        if (auto *v = qobject_cast<QAbstractItemView *>(w)) v->setTabKeyNavigation(false);
    const QList<QWidget *> order = fields + buttons;
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TParam_Dialog::Focus_First()
{
    // The focus frame shows from the start, as after a Tab: the user sees where typing goes.
    setAttribute(Qt::WA_KeyboardFocusChange);
    QList<QWidget *> fields;
    Collect_Layout(Body, fields);
    for (QWidget *w : std::as_const(fields)) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this) || !w->isEnabledTo(this)) continue;
        Focus_Text(w);
        return;
    }
    // Nothing to edit: the confirm button (or "Выход").
    if (QPushButton *b = Kind == Buttons::Exit_Only ? BitBtnCancel : Confirm_Button()) b->setFocus(Qt::TabFocusReason);
}

void TParam_Dialog::Accept_Click()
{
    if (!Check()) return;
    Accepted = Store() ? 1 : 0;
    accept();
}

bool TParam_Dialog::Refuse(const QString &line1, const QString &line2)
{
    Ques_Kind = 2;
    Show_Ques(line1, line2);
    return false;
}

bool TParam_Dialog::Parse_Float(const QString &text, float &v)
{
    // "." is the only separator: a pasted "1,500" is no number rather than 1500.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = c.toDouble(text.trimmed(), &ok);
    // A float keeps at most about 3.4e38; a larger value would be stored as infinity.
    if (!ok || !std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max())) return false;
    v = float(d);
    return true;
}

bool TParam_Dialog::Take_Float(const QLineEdit *edit, float &v, const QString &what)
{
    const QString text = edit ? edit->text().trimmed() : QString();
    if (!Parse_Float(text, v))
        return Refuse(QStringLiteral("\"%1\" не является правильным числом").arg(text), what);
    return true;
}
