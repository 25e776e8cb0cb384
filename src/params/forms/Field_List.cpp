#include "params/forms/Field_List.h"

#include "core/forms/Grid_Line_Up.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Number_Search.h"
#include "core/forms/Window_Place.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Where a caption of the box would begin, from the box's left edge.
int Caption_Offset(const QCheckBox *box)
{
    QStyleOptionButton opt;
    opt.initFrom(box);
    opt.text = QStringLiteral("x");
    opt.rect = QRect(QPoint(0, 0), box->sizeHint());
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, box).left();
}

// Every widget the layout places, also those of its nested layouts (a row's caption lines).
void Placed_Widgets(const QLayout *l, QList<QWidget *> &out)
{
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem *it = l->itemAt(i);
        if (QWidget *w = it->widget())
            out << w;
        else if (const QLayout *sub = it->layout())
            Placed_Widgets(sub, out);
    }
}

} // namespace

TFormField_List::TFormField_List(const Field_List_Desc &desc, QWidget *owner, Buttons buttons)
    : TParam_Dialog(owner, buttons), D(desc), Ctl(size_t(desc.rows.size()))
{
    setWindowTitle(D.caption);
    Rows_Widget = new QWidget(this);
    auto *outer = new QVBoxLayout(Rows_Widget);
    outer->setContentsMargins(0, 0, 0, 0);
    Body->addWidget(Rows_Widget);

    QGridLayout *grid = nullptr;
    QString group;
    int line = 0;
    for (int i = 0; i < D.rows.size(); ++i) {
        const Field_Row &r = D.rows[i];
        Row_Ctl &c = Ctl[size_t(i)];
        if (!grid || r.group != group) {
            group = r.group;
            grid = new QGridLayout;
            grid->setVerticalSpacing(4);
            line = 0;
            if (group.isEmpty()) {
                outer->addLayout(grid);
            } else {
                auto *box = new QGroupBox(group, Rows_Widget);
                box->setLayout(grid);
                outer->addWidget(box);
            }
            Grids << grid;
            Last_Rows = grid;
        }
        auto *labels = new QVBoxLayout;
        labels->setSpacing(0);
        const bool box_text = r.kind == Field_Row::Check && r.label.size() == 1;
        if (!box_text)
            for (const QString &s : r.label) {
                auto *l = new QLabel(s, Rows_Widget);
                labels->addWidget(l);
                c.labels << l;
            }
        QWidget *ctl = nullptr;
        switch (r.kind) {
        case Field_Row::List:
        case Field_Row::Typed_List:
            c.list = new QComboBox(Rows_Widget);
            c.list->addItems(r.items);
            if (r.kind == Field_Row::Typed_List) {
                Set_Typed_List(c.list);
                if (r.max_len > 0) c.list->lineEdit()->setMaxLength(r.max_len);
                Install_Int_Filter(c.list);
            } else if (Numbers_Typed_Reach(r.items)) {
                Install_Number_Search(c.list);   // digits typed select the number typed
            }
            c.list->setCurrentIndex(-1);
            ctl = c.list;
            break;
        case Field_Row::Edit:
            c.edit = new QLineEdit(Rows_Widget);
            if (r.max_len > 0) c.edit->setMaxLength(r.max_len);
            Install_Int_Filter(c.edit);
            ctl = c.edit;
            break;
        case Field_Row::Check:
            c.check = new QCheckBox(box_text ? r.label.first() : QString(), Rows_Widget);
            ctl = c.check;
            break;
        case Field_Row::Radio: {
            auto *w = new QWidget(Rows_Widget);
            auto *v = new QVBoxLayout(w);
            v->setContentsMargins(0, 0, 0, 0);
            for (int k = 0; k < r.items.size(); ++k) {
                auto *b = new QRadioButton(r.items[k], w);
                b->setObjectName(QLatin1String(r.name) + QString::number(k + 1));
                v->addWidget(b);
                c.radios.push_back(b);
            }
            ctl = w;
            break;
        }
        }
        if (r.kind != Field_Row::Radio) ctl->setObjectName(QLatin1String(r.name));
        if (box_text) {
            // Across the row: the box's text is no caption of the column.
            grid->addWidget(ctl, line, 0, 1, 4, Qt::AlignLeft | Qt::AlignVCenter);
        } else if (r.kind == Field_Row::Check) {
            // The lines stand where the box's own caption would, not in the column of the
            // other rows' fields: that column's width has nothing to do with this box.
            auto *h = new QHBoxLayout;
            h->setSpacing(0);
            h->addWidget(ctl, 0, Qt::AlignVCenter);
            h->addSpacing(std::max(0, Caption_Offset(c.check) - c.check->sizeHint().width()));
            h->addLayout(labels);
            h->addStretch(1);
            grid->addLayout(h, line, 0, 1, 4);
        } else if (r.label.isEmpty()) {
            // No caption: the control takes the caption's place too (radio buttons with texts
            // of their own), and its width is no measure for the fields.
            grid->addWidget(ctl, line, 0, 1, 2);
        } else {
            grid->addLayout(labels, line, 0);
            grid->addWidget(ctl, line, 1);
        }
        int col = 2;
        for (const QString &extra : {r.unit, r.hint}) {
            if (extra.isEmpty()) continue;
            auto *l = new QLabel(extra, Rows_Widget);
            grid->addWidget(l, line, col++);
            c.labels << l;
        }
        ++line;
        if (r.kind == Field_Row::Check && r.enabled_by >= 0 && r.enabled_by < i && Ctl[size_t(r.enabled_by)].check)
            connect(Ctl[size_t(r.enabled_by)].check, &QCheckBox::toggled, this, [this, i] { Apply_Dependency(i); });
    }
}

int TFormField_List::Row_Of(const char *name) const
{
    for (int i = 0; i < D.rows.size(); ++i)
        if (qstrcmp(D.rows[i].name, name) == 0) return i;
    return -1;
}

QComboBox *TFormField_List::List(int row) const
{
    return row >= 0 && row < Row_Count() ? Ctl[size_t(row)].list : nullptr;
}

QLineEdit *TFormField_List::Edit(int row) const
{
    return row >= 0 && row < Row_Count() ? Ctl[size_t(row)].edit : nullptr;
}

QCheckBox *TFormField_List::Check_Box(int row) const
{
    return row >= 0 && row < Row_Count() ? Ctl[size_t(row)].check : nullptr;
}

QRadioButton *TFormField_List::Radio(int row, int item) const
{
    if (row < 0 || row >= Row_Count()) return nullptr;
    const auto &r = Ctl[size_t(row)].radios;
    return item >= 0 && item < int(r.size()) ? r[size_t(item)] : nullptr;
}

QList<QLabel *> TFormField_List::Labels(int row) const
{
    return row >= 0 && row < Row_Count() ? Ctl[size_t(row)].labels : QList<QLabel *>();
}

void TFormField_List::Set_Row_Enabled(int row, bool on)
{
    if (row < 0 || row >= Row_Count()) return;
    Row_Ctl &c = Ctl[size_t(row)];
    for (QWidget *w : {static_cast<QWidget *>(c.list), static_cast<QWidget *>(c.edit), static_cast<QWidget *>(c.check)})
        if (w) w->setEnabled(on);
    for (QRadioButton *b : c.radios) b->setEnabled(on);
    for (QLabel *l : std::as_const(c.labels)) l->setEnabled(on);
}

bool TFormField_List::Row_Enabled(int row) const
{
    if (row < 0 || row >= Row_Count()) return false;
    const Row_Ctl &c = Ctl[size_t(row)];
    // Relative to the dialog: a dialog over a disabled main window is disabled as a whole.
    if (c.list) return c.list->isEnabledTo(this);
    if (c.edit) return c.edit->isEnabledTo(this);
    if (c.check) return c.check->isEnabledTo(this);
    return !c.radios.empty() && c.radios.front()->isEnabledTo(this);
}

int TFormField_List::Item_Of(const Field_Row &r, int64_t v) const
{
    if (!r.values.isEmpty()) return int(r.values.indexOf(v));
    const int64_t i = v - r.base;
    return i >= 0 && i < r.items.size() ? int(i) : -1;
}

int64_t TFormField_List::Item_Value(const Field_Row &r, int item) const
{
    if (item >= 0 && item < r.values.size()) return r.values[item];
    return r.base + item;
}

bool TFormField_List::Row_Value(int row, int64_t &v) const
{
    if (row < 0 || row >= Row_Count()) return false;
    const Field_Row &r = D.rows[row];
    const Row_Ctl &c = Ctl[size_t(row)];
    auto number = [&v](const QString &text) {
        bool ok = false;
        const qlonglong n = text.trimmed().toLongLong(&ok);
        if (!ok || n < 0) return false;
        v = n;
        return true;
    };
    switch (r.kind) {
    case Field_Row::List:
        if (c.list->currentIndex() < 0) return false;
        v = Item_Value(r, c.list->currentIndex());
        return true;
    case Field_Row::Typed_List:
        return number(c.list->currentText());
    case Field_Row::Edit:
        return number(c.edit->text());
    case Field_Row::Check:
        v = c.check->isChecked() ? 1 : 0;
        return true;
    case Field_Row::Radio:
        for (size_t k = 0; k < c.radios.size(); ++k)
            if (c.radios[k]->isChecked()) {
                v = Item_Value(r, int(k));
                return true;
            }
        return false;
    }
    return false;
}

void TFormField_List::Set_Row_Value(int row, int64_t v)
{
    if (row < 0 || row >= Row_Count()) return;
    const Field_Row &r = D.rows[row];
    Row_Ctl &c = Ctl[size_t(row)];
    switch (r.kind) {
    case Field_Row::List:
    case Field_Row::Typed_List:
        c.list->setCurrentIndex(Item_Of(r, v));
        if (r.kind == Field_Row::Typed_List && c.list->currentIndex() < 0) c.list->setEditText(QString());
        break;
    case Field_Row::Edit:
        c.edit->setText(QString::number(v));
        break;
    case Field_Row::Check:
        c.check->setChecked(v != 0);
        break;
    case Field_Row::Radio: {
        const int item = Item_Of(r, v);
        for (size_t k = 0; k < c.radios.size(); ++k) {
            // Exclusive buttons cannot all be cleared one by one.
            c.radios[k]->setAutoExclusive(false);
            c.radios[k]->setChecked(int(k) == item);
            c.radios[k]->setAutoExclusive(true);
        }
        break;
    }
    }
}

void TFormField_List::Apply_Dependency(int row)
{
    const Field_Row &r = D.rows[row];
    QCheckBox *master = Check_Box(r.enabled_by);
    if (!master) return;
    const bool on = master->isChecked();
    // Ticked again, the dependent box shows its byte as the caller gave it, not the cleared
    // state it took while it was off.
    if (on && Tab_Data) Set_Row_Value(row, Get_Le(Tab_Data + r.offset, r.size));
    if (!on) Ctl[size_t(row)].check->setChecked(false);
    Set_Row_Enabled(row, on);
}

int64_t TFormField_List::Get_Le(const uint8_t *p, int size)
{
    uint64_t v = 0;
    for (int k = qMin(size, 8) - 1; k >= 0; --k) v = (v << 8) | p[k];
    return int64_t(v);
}

void TFormField_List::Put_Le(uint8_t *p, int size, int64_t v)
{
    uint64_t u = uint64_t(v);
    for (int k = 0; k < qMin(size, 8); ++k, u >>= 8) p[k] = uint8_t(u);
}

void TFormField_List::Load()
{
    if (Tab_Data)
        for (int i = 0; i < Row_Count(); ++i) {
            const Field_Row &r = D.rows[i];
            Set_Row_Value(i, Get_Le(Tab_Data + r.offset, r.size));
        }
    for (int i = 0; i < Row_Count(); ++i)
        if (D.rows[i].kind == Field_Row::Check && D.rows[i].enabled_by >= 0) Apply_Dependency(i);
    Load_Extra();
    // The lists hold their items now: the columns are measured at what they show.
    Align_Grids();
    Watch_Rows();
    // Sized before it was shown, with every row there: the rows hidden since take no room.
    Fit_Height();
}

void TFormField_List::Add_Row(QWidget *label, QWidget *field)
{
    QGridLayout *g = Last_Rows;
    if (!g) return;
    const int line = g->rowCount();
    g->addWidget(label, line, 0);
    g->addWidget(field, line, 1, Qt::AlignLeft | Qt::AlignVCenter);
}

void TFormField_List::Align_With(QGroupBox *box)
{
    if (auto *g = box ? qobject_cast<QGridLayout *>(box->layout()) : nullptr) Grids << g;
}

void TFormField_List::Align_Grids()
{
    // Every run of rows and every group is a grid of its own: their fields start and end at
    // one place, and what room is left goes past the units (columns 2 and 3).
    Line_Up_Grids(Grids, 4);
    if (layout()) layout()->activate();
}

void TFormField_List::Watch_Rows()
{
    // Hidden rows are not measured: a row shown later (a group offering more of itself) may
    // hold the widest caption, and one hidden may have held it.
    for (const QGridLayout *g : std::as_const(Grids)) {
        QList<QWidget *> placed;
        Placed_Widgets(g, placed);
        for (QWidget *w : std::as_const(placed)) w->installEventFilter(this);
    }
}

void TFormField_List::Fit_Height()
{
    if (!isVisible()) return;
    if (layout()) layout()->activate();
    // Before the dialog is placed only its size; once on the screen it is kept inside the free
    // area, moved up only as far as its rows need.
    Fit_To_Screen(this, QSize(width(), sizeHint().height()));
}

bool TFormField_List::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        Align_Grids();
        // One fit for all the rows a change shows or hides, once they are all in.
        if (!Fit_Pending) {
            Fit_Pending = true;
            QTimer::singleShot(0, this, [this] {
                Fit_Pending = false;
                Fit_Height();
            });
        }
    }
    return TParam_Dialog::eventFilter(watched, event);
}

bool TFormField_List::Check()
{
    for (int i = 0; i < Row_Count(); ++i) {
        const Field_Row &r = D.rows[i];
        if (r.kind == Field_Row::Check || !Row_Enabled(i)) continue;
        const bool typed = r.kind == Field_Row::Typed_List || r.kind == Field_Row::Edit;
        const QString text = !typed ? QString() : r.kind == Field_Row::Edit ? Edit(i)->text() : List(i)->currentText();
        int64_t v;
        if (typed ? text.trimmed().isEmpty() : !Row_Value(i, v)) return Refuse(r.missing_line1, r.missing_line2);
    }
    // The digit filter lets through a number too long for any field.
    for (int i = 0; i < Row_Count(); ++i) {
        const Field_Row &r = D.rows[i];
        if ((r.kind != Field_Row::Typed_List && r.kind != Field_Row::Edit) || !Row_Enabled(i)) continue;
        int64_t v;
        if (!Row_Value(i, v)) {
            const QString text = r.kind == Field_Row::Edit ? Edit(i)->text() : List(i)->currentText();
            return Refuse(QStringLiteral("\"%1\" не является правильным целым числом").arg(text.trimmed()));
        }
    }
    for (const Field_Range &c : std::as_const(D.checks)) {
        if (!Row_Enabled(c.row)) continue;
        int64_t v;
        if (Row_Value(c.row, v) && (v < c.min || v > c.max)) return Refuse(c.line1, c.line2);
    }
    return Check_Extra();
}

bool TFormField_List::Store()
{
    if (!Tab_Data) return false;
    for (int i = 0; i < Row_Count(); ++i) {
        const Field_Row &r = D.rows[i];
        if (r.kind != Field_Row::Check && !Row_Enabled(i)) continue;
        int64_t v;
        if (Row_Value(i, v)) Put_Le(Tab_Data + r.offset, r.size, v);
    }
    for (const Field_Fixed &f : std::as_const(D.fixed)) Put_Le(Tab_Data + f.offset, f.size, f.value);
    Store_Extra();
    return true;
}
