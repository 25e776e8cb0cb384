#include "params/forms/Limits.h"

#include "core/forms/Dialogs.h"
#include "core/forms/Edit_Left.h"
#include "core/forms/Main.h"
#include "params/forms/Access.h"
#include "params/forms/Floulist.h"
#include "params/forms/Links.h"
#include "params/forms/Params_Menu.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <cstring>

namespace {
Gas_Rows_Desc Limits_Desc()
{
    return {QString(),
            {{Gas_Column::Name_Panel, "pn", QStringLiteral("Наименование\nпараметра"), 0, {}},
             {Gas_Column::Range_Panel, "pd", QStringLiteral("Доп. диапазон\nзначений"), 0, {}},
             {Gas_Column::Value_Edit, "ev", QStringLiteral("Значение\nуставки"), 8, {}},
             {Gas_Column::Unit_Label, "l", QStringLiteral("Единица\nизмер."), 0, {}}},
            true};
}

Gas_Rows_Desc Distr_Desc()
{
    return {QStringLiteral("Необходимость записи  значений параметров газа в ВРГ "),
            {{Gas_Column::Name_Panel, "pn", QStringLiteral("Наименование\nпараметра"), 0, {}},
             {Gas_Column::Choice, "cb", QString(), 0,
              {QStringLiteral(" Не записывать "), QStringLiteral(" Записывать")}}}};
}
} // namespace

TFormLimits::TFormLimits(QWidget *owner) : TFormGas_Rows(Limits_Desc(), owner)
{
    for (int i = 0; i < MAX_GAS_PARAMS; ++i) {
        // Formatted when the user leaves the box; Enter leaves the text and its selection alone.
        On_Edit_Left(Rows[size_t(i)].ev, [this, i] { Edit_Left(i); });
        connect(Rows[size_t(i)].ev, &QLineEdit::textEdited, this, [this, i] { Typed[i] = true; });
    }
}

void TFormLimits::Edit_Left(int row)
{
    QLineEdit *ev = Rows[size_t(row)].ev;
    float v = 0;
    // A text that is no number stays as typed: the accept refuses it.
    if (!ev || ev->text().trimmed().isEmpty() || !Parse_Float(ev->text(), v)) return;
    ev->setText(Limit_Value_Text(Kind, row, v));
}

void TFormLimits::Load_Values()
{
    setWindowTitle(Limit_Caption(Kind));
    if (Tab_Data) std::memcpy(Work, Tab_Data, sizeof Work);
    for (int i = 0; i < Count(); ++i) {
        Row &r = Rows[size_t(i)];
        r.pd->setText(Limit_Range_Text(Kind, i));
        Shown[i] = Limit_Value_Text(Kind, i, Work[i]);
        r.ev->setText(Shown[i]);
        Typed[i] = false;
    }
}

bool TFormLimits::Check()
{
    if (!Tab_Data) return false;
    for (int i = 0; i < Count(); ++i)
        if (Rows[size_t(i)].ev->text().trimmed().isEmpty()) return Refuse(QStringLiteral("Введены не все параметры"));
    // From the caller's bytes every time: a value taken before an earlier refusal must not
    // outlive the text it came from.
    std::memcpy(Work, Tab_Data, sizeof Work);
    for (int i = 0; i < Count(); ++i) {
        const Row &r = Rows[size_t(i)];
        float v = 0;
        if (!Take_Float(r.ev, v, r.pn->text())) return false;
        // What the row shows is what is judged: a value refused must be one the user can see.
        if (!Limit_Accepts(Kind, i, v))
            return Refuse(QStringLiteral("Параметр \"%1 \".").arg(r.pn->text()),
                          QStringLiteral("Вводите значения согласно допустимому диапазону"));
        // An untouched text is the stored value rounded for showing: the stored value is kept
        // while it is itself in the range; one beyond it gives way to the value shown. A value
        // typed is taken as typed, even when it reads like the rounded one (0.2 over a stored
        // 0.2004 shown "0.200").
        if (!Typed[i] && r.ev->text() == Shown[i] && Limit_Accepts(Kind, i, Work[i])) v = Work[i];
        Work[i] = v;
    }
    return true;
}

bool TFormLimits::Store()
{
    std::memcpy(Tab_Data, Work, 4 * size_t(Count()));
    return true;
}

TFormPrzDistr::TFormPrzDistr(QWidget *owner) : TFormGas_Rows(Distr_Desc(), owner) {}

void TFormPrzDistr::Load_Values()
{
    for (int i = 0; i < Count(); ++i) {
        const uint8_t v = Tab_Data ? Tab_Data[i] : 0;
        // A flag the list does not know shows no choice: the accept asks for one.
        Rows[size_t(i)].lst->setCurrentIndex(v <= 1 ? v : -1);
    }
}

bool TFormPrzDistr::Check()
{
    if (!Tab_Data) return false;
    for (int i = 0; i < Count(); ++i) {
        if (Rows[size_t(i)].lst->currentIndex() >= 0) continue;
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), QStringLiteral("Введены не все параметры"),
                        QMessageBox::Ok, this);
        Run_Dialog(box);
        return false;
    }
    return true;
}

bool TFormPrzDistr::Store()
{
    for (int i = 0; i < Count(); ++i) Tab_Data[i] = uint8_t(Rows[size_t(i)].lst->currentIndex());
    return true;
}

void NLimitsClick(TFormMain *m, int kind)
{
    const int t = Limit_Table(kind);
    if (t < 0) return;
    const int n = Gas_Par_Count();
    Edit_Table<TFormLimits>(m, Tab_Req{uint8_t(t), 0, uint8_t(n)}, [&](TFormLimits &f) {
        f.Kind = uint8_t(kind);
        f.Par_Count = uint8_t(n);
        f.Chr_Tab = Tab_Dir[1].data;
    });
}

void NInsensClick(TFormMain *m) { NLimitsClick(m, 0); }
void NLowAttentClick(TFormMain *m) { NLimitsClick(m, 1); }
void NUpAttentClick(TFormMain *m) { NLimitsClick(m, 2); }
void NLowLimitClick(TFormMain *m) { NLimitsClick(m, 3); }
void NUpperLimitClick(TFormMain *m) { NLimitsClick(m, 4); }

void NDistrClick(TFormMain *m)
{
    const int n = Gas_Par_Count();
    Edit_Table<TFormPrzDistr>(m, Tab_Req{DISTR_TABLE, 0, uint8_t(n)}, [&](TFormPrzDistr &f) {
        f.Par_Count = uint8_t(n);
        f.Chr_Tab = Tab_Dir[1].data;
    });
}

void Install_Limit_Commands(TFormMain *m)
{
    if (!m) return;
    const struct {
        const char *item;
        void (*fn)(TFormMain *);
    } cmds[] = {
        {"NInsens", NInsensClick},     {"NLowAttent", NLowAttentClick}, {"NUpAttent", NUpAttentClick},
        {"NLowLimit", NLowLimitClick}, {"NUpperLimit", NUpperLimitClick}, {"NDistr", NDistrClick},
        {"NCurrVich", NCurrVichClick}, {"NPass", NPassClick},
    };
    for (const auto &c : cmds) {
        auto fn = c.fn;
        m->Set_Handler(QLatin1String(c.item), [m, fn](QAction *) { fn(m); });
    }
    // A raised count in the flow-computer link form goes on through the list.
    Vrg_Count_Raised = Vrg_Count_Raised_Write;
}
