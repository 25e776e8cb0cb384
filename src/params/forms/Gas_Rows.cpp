#include "params/forms/Gas_Rows.h"

#include "core/Stringi.h"
#include "core/forms/Keyfilters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

TFormGas_Rows::TFormGas_Rows(const Gas_Rows_Desc &desc, QWidget *owner)
    : TParam_Dialog(owner), Show_Unused_Edits(desc.show_unused_edits)
{
    setWindowTitle(desc.caption);
    auto *g = new QGridLayout;
    g->setVerticalSpacing(2);
    Body->addLayout(g);
    for (int c = 0; c < desc.columns.size(); ++c) {
        const Gas_Column &col = desc.columns[c];
        auto *head = new QLabel(col.head, this);
        head->setAlignment(Qt::AlignCenter);
        g->addWidget(head, 0, c);
        for (int i = 0; i < MAX_GAS_PARAMS; ++i) {
            const QString name = QLatin1String(col.prefix) + QString::number(i + 1);
            Row &r = Rows[size_t(i)];
            QWidget *w = nullptr;
            switch (col.kind) {
            case Gas_Column::Name_Panel:
            case Gas_Column::Range_Panel:
            case Gas_Column::Unit_Label: {
                auto *l = new QLabel(this);
                if (col.kind != Gas_Column::Unit_Label) {
                    l->setFrameShape(QFrame::Panel);
                    l->setFrameShadow(QFrame::Sunken);
                }
                if (col.kind == Gas_Column::Name_Panel) {
                    l->setMinimumWidth(260);
                    r.pn = l;
                } else if (col.kind == Gas_Column::Range_Panel) {
                    r.pd = l;
                } else {
                    r.l = l;
                }
                w = l;
                break;
            }
            case Gas_Column::Value_Edit:
                r.ev = new QLineEdit(this);
                if (col.max_len > 0) r.ev->setMaxLength(col.max_len);
                r.ev->setProperty("tag", i);
                Install_Float_Filter(r.ev);
                w = r.ev;
                break;
            case Gas_Column::Check_Box:
                r.cb = new QCheckBox(this);
                w = r.cb;
                break;
            case Gas_Column::Choice:
                r.lst = new QComboBox(this);
                r.lst->addItems(col.items);
                r.lst->setCurrentIndex(-1);
                w = r.lst;
                break;
            }
            w->setObjectName(name);
            g->addWidget(w, i + 1, c, col.kind == Gas_Column::Check_Box ? Qt::AlignCenter : Qt::Alignment());
        }
    }
}

QString TFormGas_Rows::Par_Name(int i) const
{
    if (!Chr_Tab || i < 0 || i >= MAX_GAS_PARAMS) return QString();
    return Chr_Par_Stored_Name(reinterpret_cast<const Chr_Par *>(Chr_Tab)[i]);
}

void TFormGas_Rows::Load()
{
    const int n = Count();
    for (int i = 0; i < MAX_GAS_PARAMS; ++i) {
        Row &r = Rows[size_t(i)];
        const bool used = i < n;
        if (r.pn) {
            r.pn->setText(used ? QStringLiteral(" ") + Par_Name(i) : QString());
            r.pn->setEnabled(used);
        }
        if (r.pd) {
            if (!used) r.pd->clear();
            r.pd->setEnabled(used);
        }
        if (r.l) {
            const Chr_Par *p = Chr_Tab ? reinterpret_cast<const Chr_Par *>(Chr_Tab) + i : nullptr;
            r.l->setText(used && p ? Chr_Par_Unit_Text(*p) : QString());
        }
        for (QWidget *w : {static_cast<QWidget *>(r.ev), static_cast<QWidget *>(r.cb), static_cast<QWidget *>(r.lst)}) {
            if (!w) continue;
            w->setEnabled(used);
            w->setVisible(used || (w == r.ev && Show_Unused_Edits));
        }
        if (r.ev && Show_Unused_Edits) {
            QPalette p;   // empty: the edit follows the dialog's palette again
            if (!used) p.setColor(QPalette::Base, palette().color(QPalette::Window));
            r.ev->setPalette(p);
        }
        if (!used && r.lst) r.lst->setCurrentIndex(-1);
    }
    Load_Values();
}
