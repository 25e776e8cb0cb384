#include "params/forms/Syspar.h"

#include "core/Stringi.h"
#include "core/Tables.h"
#include "core/forms/Number_Search.h"
#include "params/forms/Contrdt.h"
#include "params/forms/Params_Menu.h"
#include "params/forms/Sinhr.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace {

QStringList Hour_Items(int from, int to)
{
    QStringList l;
    for (int h = from; h <= to; ++h) l << QString::asprintf("%d:00", h);
    return l;
}

const Dst_Group_Desc Summer_Desc{QStringLiteral(" Переход на летнее время "), Dst_Summer,
                                 "ComboBox8", "ComboBox7", "ComboBox9", "ComboBox6", "ComboBox10", "ComboBox11"};
const Dst_Group_Desc Winter_Desc{QStringLiteral(" Переход на зимнее время "), Dst_Winter,
                                 "ComboBox14", "ComboBox13", "ComboBox15", "ComboBox12", "ComboBox16", "ComboBox17"};

Field_List_Desc Sys_Desc()
{
    Field_List_Desc d;
    d.caption = QStringLiteral("Системные параметры контроллера");
    Field_Row hour;
    hour.kind = Field_Row::List;
    hour.name = "ComboBox1";
    hour.label = {QStringLiteral("Контрактный час")};
    hour.offset = SYS_CONTRACT_HOUR;
    hour.items = Hour_Items(0, 23);
    d.rows << hour;
    const struct {
        const char *name;
        const char *text;
        int field;
    } boxes[] = {
        {"CheckBox1", "Наличие подключенного хроматографа", SYS_CHROM},
        {"CheckBox2", "Наличие подключенного влагомера", SYS_WMT},
        {"CheckBox3", "Наличие подключенных ВРГ", SYS_FLOU},
    };
    for (const auto &b : boxes) {
        Field_Row r;
        r.kind = Field_Row::Check;
        r.name = b.name;
        r.label = {QString::fromUtf8(b.text)};
        r.offset = b.field;
        d.rows << r;
    }
    d.fixed << Field_Fixed{SYS_CHROM, 1, 1};   // the chromatograph is always there
    return d;
}

} // namespace

TDst_Group::TDst_Group(const Dst_Group_Desc &desc, QWidget *parent) : QGroupBox(desc.title, parent), D(desc)
{
    auto *g = new QGridLayout(this);
    auto list = [this, g](const char *name, const QString &label, const QStringList &items, int row, QLabel **l) {
        auto *cb = new QComboBox(this);
        cb->setObjectName(QLatin1String(name));
        cb->addItems(items);
        cb->setCurrentIndex(-1);
        auto *lab = new QLabel(label, this);
        g->addWidget(lab, row, 0);
        g->addWidget(cb, row, 1);
        if (l) *l = lab;
        return cb;
    };
    QStringList months{Month_Names(0)};
    for (int k = 1; k <= 4; ++k) months << Month_Names(Dst_Index_Month(D.kind, k));
    Month = list(D.month, QStringLiteral("Месяц перехода"), months, 0, nullptr);
    Method = list(D.method, QStringLiteral("Способ задания дня перехода"),
                  {QStringLiteral("День месяца (число)"), QStringLiteral("День недели в месяце")}, 1, &LMethod);
    Day = list(D.day, QStringLiteral("День в месяце"), {}, 2, &LDay);
    Ordinal = list(D.ordinal, QStringLiteral("Номер \"дня недели\" в месяце"), Str_List(Str_Groups::Week_Nums), 3,
                   &LOrdinal);
    Weekday = list(D.weekday, QStringLiteral("День недели"), Str_List(Str_Groups::Day_Names), 4, &LWeekday);
    Hour = list(D.hour, QStringLiteral("Час перехода"), Hour_Items(D.kind.hour_min, D.kind.hour_max), 5, &LHour);
    Install_Number_Search(Day);   // digits typed select the day or hour typed
    Install_Number_Search(Hour);

    connect(Month, &QComboBox::currentIndexChanged, this, &TDst_Group::Month_Changed);
    connect(Method, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        Work[1] = Day_Code_Set_Method(Work[1], i);
        Lay_Out();
    });
    connect(Day, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) Work[1] = Day_Code_Set_Day(Work[1], i);
    });
    connect(Ordinal, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) Work[1] = Day_Code_Set_Ordinal(Work[1], i);
    });
    connect(Weekday, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) Work[1] = Day_Code_Set_Weekday(Work[1], i);
    });
    connect(Hour, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) Work[2] = uint8_t(i + D.kind.hour_min);
    });
}

void TDst_Group::Set_Rule(const uint8_t *rule)
{
    std::copy(rule, rule + 3, Work);
    const int index = Dst_Month_Index(D.kind, Work[0]);
    {
        const QSignalBlocker b(Month);
        Month->setCurrentIndex(index);
    }
    Lay_Out();
}

void TDst_Group::Month_Changed(int index)
{
    if (index < 0) return;
    Work[0] = uint8_t(Dst_Index_Month(D.kind, index));
    Lay_Out();
}

void TDst_Group::Lay_Out()
{
    const QSignalBlocker b1(Method), b2(Day), b3(Ordinal), b4(Weekday), b5(Hour);
    // No change (or a month the list lacks): nothing else of the rule is offered.
    const bool on = Month->currentIndex() >= 1;
    const int method = Day_Code_Method(Work[1]);
    const std::pair<QWidget *, bool> rows[] = {
        {LMethod, on}, {Method, on}, {LHour, on}, {Hour, on}, {LDay, on && method == 0}, {Day, on && method == 0},
        {LOrdinal, on && method == 1}, {Ordinal, on && method == 1}, {LWeekday, on && method == 1},
        {Weekday, on && method == 1}};
    // The rows going are hidden before those coming are shown: Qt lays the dialog out at each
    // row shown, and a dialog grown for a moment by both would be moved up off the screen's
    // bottom for nothing.
    for (bool show : {false, true})
        for (const auto &[w, visible] : rows)
            if (visible == show) w->setVisible(visible);
    if (!on) return;
    Method->setCurrentIndex(method);
    if (method == 1) {
        Ordinal->setCurrentIndex(Day_Code_Ordinal_Index(Work[1]));
        Weekday->setCurrentIndex(Day_Code_Weekday_Index(Work[1]));
    } else {
        Day->clear();
        const int n = Dst_Month_Days(Work[0]);
        for (int d = 1; d <= n; ++d) Day->addItem(QString::number(d));
        Day->setCurrentIndex(Day_Code_Day_Index(Work[1], Work[0]));
    }
    Hour->setCurrentIndex(Dst_Hour_Index(D.kind, Work[2]));
}

TFormSys::TFormSys(QWidget *owner) : TFormField_List(Sys_Desc(), owner)
{
    Summer = new TDst_Group(Summer_Desc, this);
    Winter = new TDst_Group(Winter_Desc, this);
    Body->insertWidget(0, Summer);
    Body->insertWidget(1, Winter);
    Align_With(Summer);
    Align_With(Winter);
    ComboBox1 = List(Row_Of("ComboBox1"));
    CheckBox1 = Check_Box(Row_Of("CheckBox1"));
    CheckBox2 = Check_Box(Row_Of("CheckBox2"));
    CheckBox3 = Check_Box(Row_Of("CheckBox3"));
}

void TFormSys::Load_Extra()
{
    CheckBox1->setChecked(true);
    CheckBox1->setEnabled(false);
    if (Tab_Data) {
        Summer->Set_Rule(Tab_Data + SYS_SUMMER);
        Winter->Set_Rule(Tab_Data + SYS_WINTER);
    }
}

void TFormSys::Store_Extra()
{
    std::copy(Summer->Rule(), Summer->Rule() + 3, Tab_Data + SYS_SUMMER);
    std::copy(Winter->Rule(), Winter->Rule() + 3, Tab_Data + SYS_WINTER);
}

void NsysClick(TFormMain *m)
{
    if (Edit_Table<TFormSys>(m, Tab_Req{SYS_TAB, 0, SYS_FIELDS}, [](TFormSys &) {}) && m) m->Update_Menu();
}

void Install_Syspar_Commands(TFormMain *m)
{
    if (!m) return;
    m->Set_Handler(QStringLiteral("Nsys"), [m](QAction *) { NsysClick(m); });
    m->Set_Handler(QStringLiteral("NSinhr"), [m](QAction *) { NSinhrClick(m); });
    m->Set_Handler(QStringLiteral("NContrDt"), [m](QAction *) { NContrDtClick(m); });
    m->Set_Handler(QStringLiteral("Ndistrpar"), [m](QAction *) { NdistrparClick(m); });
}
