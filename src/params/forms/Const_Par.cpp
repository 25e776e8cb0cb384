#include "params/forms/Const_Par.h"

#include "core/Suplfunc.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cstring>

namespace {
Gas_Rows_Desc Const_Desc()
{
    return {QStringLiteral(" Константы параметров газа"),
            {{Gas_Column::Name_Panel, "pn", QStringLiteral("Наименование параметров газа"), 0, {}},
             {Gas_Column::Value_Edit, "ev", QStringLiteral("Значение\nконстанты"), 0, {}},
             {Gas_Column::Check_Box, "cb", QStringLiteral("Поставить\nна константу"), 0, {}}}};
}
} // namespace

TFormConst_Par::TFormConst_Par(QWidget *owner) : TFormGas_Rows(Const_Desc(), owner) {}

void TFormConst_Par::Load_Values()
{
    if (Tab_Data) std::memcpy(Work, Tab_Data, sizeof Work);
    for (int i = 0; i < Count(); ++i) {
        float v;
        std::memcpy(&v, Work + MAX_GAS_PARAMS + 4 * i, 4);
        Shown[i] = Float_To_Str(v);
        Rows[size_t(i)].ev->setText(Shown[i]);
        Rows[size_t(i)].cb->setChecked(Work[i] != 0);
    }
}

bool TFormConst_Par::Check()
{
    if (!Tab_Data) return false;
    // From the caller's bytes every time: a value taken before an earlier refusal must not
    // outlive the text it came from.
    std::memcpy(Work, Tab_Data, sizeof Work);
    for (int i = 0; i < Count(); ++i) {
        const Row &r = Rows[size_t(i)];
        Work[i] = r.cb->isChecked() ? 1 : 0;
        const bool empty = r.ev->text().trimmed().isEmpty();
        if (r.cb->isChecked() && empty)
            return Refuse(Par_Name(i), QStringLiteral("Не введено значение константы."));
        // An empty edit of a row that is not on a constant keeps the old value; so does an
        // untouched one: its text is the value rounded for showing, not the value.
        if (!empty && r.ev->text() != Shown[i]) {
            float v = 0;
            if (!Take_Float(r.ev, v, Par_Name(i))) return false;
            std::memcpy(Work + MAX_GAS_PARAMS + 4 * i, &v, 4);
        }
    }
    return true;
}

bool TFormConst_Par::Store()
{
    std::memcpy(Tab_Data, Work, sizeof Work);
    return true;
}
