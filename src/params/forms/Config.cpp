#include "params/forms/Config.h"

#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/Ident_Tab.h"
#include "params/Sinhr.h"
#include "params/Syspar.h"
#include "params/forms/Access.h"
#include "params/forms/Config_Files.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Floulist.h"
#include "params/forms/Ident.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"
#include "params/forms/Sinhr.h"
#include "params/forms/Syspar.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

namespace {

// Table 14 fields the form looks at: lines in use, the synchronisation pair, parameter count.
constexpr int HGC_LINES = 7, HGC_SYNC = 8, HGC_PAR_COUNT = 14;

constexpr int PANEL_GREY = 181, PANEL_LIGHT = 211;

const char *const Limit_Labels[5] = {
    "Зона нечувствительности изменений параметров газа",
    "Нижняя предупредительная уставка параметра газа",
    "Верхняя предупредительная уставка параметра газа",
    "Нижний предел значения параметра газа, допускаемого к записи в ВРГ",
    "Верхний предел значения параметра газа, допускаемого к записи в ВРГ",
};

uint8_t *Bytes_Of(void *p)
{
    return static_cast<uint8_t *>(p);
}

// One labelled "..." button in a grid row.
QPushButton *Add_Row(QWidget *owner, QGridLayout *g, const QString &text, const char *name, QLabel **label = nullptr)
{
    const int row = g->rowCount();
    auto *l = new QLabel(text, owner);
    g->addWidget(l, row, 0);
    auto *b = new QPushButton(QStringLiteral("..."), owner);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setFixedWidth(32);
    g->addWidget(b, row, 1);
    if (label) *label = l;
    return b;
}

QGroupBox *Add_Group(QWidget *owner, QVBoxLayout *column, const QString &title, QGridLayout **grid)
{
    auto *gb = new QGroupBox(title, owner);
    *grid = new QGridLayout(gb);
    (*grid)->setColumnStretch(0, 1);
    column->addWidget(gb);
    return gb;
}

} // namespace

TFormConfig::TFormConfig(QWidget *owner) : TParam_Dialog(owner)
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    Set_Panel_Grey(PANEL_LIGHT);
    Body->addWidget(Panel1, 1);

    auto *columns = new QGridLayout(Panel1);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left, 0, 0);
    columns->addLayout(right, 0, 1);

    QGridLayout *g = nullptr;
    Add_Group(Panel1, left, QString(), &g);
    BtnIdent = Add_Row(Panel1, g, QStringLiteral("Параметры идентификации"), "BtnIdent");
    BtnNames = Add_Row(Panel1, g, QStringLiteral("Наименования"), "BtnNames");

    Add_Group(Panel1, left, QStringLiteral(" Параметры связи "), &g);
    BtnConVich = Add_Row(Panel1, g, QStringLiteral("С  вычислителями расхода газа"), "BtnConVich", &LConVich);
    BtnConVU = Add_Row(Panel1, g, QStringLiteral("С верхним уровнем"), "BtnConVU");
    BtnConHGC = Add_Row(Panel1, g, QStringLiteral("С хроматографом"), "BtnConHGC");
    BtnConWMT = Add_Row(Panel1, g, QStringLiteral("С влагомером"), "BtnConWMT", &LConWMT);
    BtnConEth = Add_Row(Panel1, g, QStringLiteral("Параметры Ethernet "), "BtnConEth");

    Add_Group(Panel1, left, QStringLiteral(" Параметры настроек "), &g);
    BtnSys = Add_Row(Panel1, g, QStringLiteral("Системные параметры"), "BtnSys");
    BtnSinhr = Add_Row(Panel1, g, QStringLiteral("Синхронизация времени"), "BtnSinhr");

    Add_Group(Panel1, left, QStringLiteral(" Константы параметров газа "), &g);
    BtnConst1 = Add_Row(Panel1, g, QStringLiteral("Нитка 1"), "BtnConst1");
    BtnConst2 = Add_Row(Panel1, g, QStringLiteral("Нитка 2"), "BtnConst2", &LConst2);
    left->addStretch(1);

    GBVich = Add_Group(Panel1, right, QStringLiteral(" Параметры работы с вычислителями расхода газа "), &g);
    BtnFlouList = Add_Row(GBVich, g, QStringLiteral("Параметры вычислителей"), "BtnFlouList");
    BtnPrzDistr = Add_Row(GBVich, g, QStringLiteral("Необходимость записи\nзначений параметров газа в ВРГ"), "BtnPrzDistr");
    BtnDistr = Add_Row(GBVich, g, QStringLiteral("Период записи средних за час\nзначений параметров газа в ВРГ"), "BtnDistr");

    Add_Group(Panel1, right, QStringLiteral(" Уставки параметров газа "), &g);
    for (int k = 0; k < 5; ++k) {
        BtnLimits[k] = Add_Row(Panel1, g, QString::fromUtf8(Limit_Labels[k]), "");
        BtnLimits[k]->setObjectName(QStringLiteral("BtnLimits%1").arg(k));
        connect(BtnLimits[k], &QPushButton::clicked, this, [this, k] { Limits_Click(k); });
    }

    Add_Group(Panel1, right, QStringLiteral(" Доступ пользователей  к записи в контроллер "), &g);
    BtnAccess = Add_Row(Panel1, g, QStringLiteral("Зарегистрированные пользователи"), "BtnAccess");
    right->addStretch(1);

    connect(BtnIdent, &QPushButton::clicked, this, &TFormConfig::Ident_Click);
    connect(BtnNames, &QPushButton::clicked, this, &TFormConfig::Names_Click);
    connect(BtnConVich, &QPushButton::clicked, this, &TFormConfig::ConVich_Click);
    connect(BtnConVU, &QPushButton::clicked, this, &TFormConfig::ConVU_Click);
    connect(BtnConHGC, &QPushButton::clicked, this, &TFormConfig::ConHGC_Click);
    connect(BtnConWMT, &QPushButton::clicked, this, &TFormConfig::ConWMT_Click);
    connect(BtnConEth, &QPushButton::clicked, this, &TFormConfig::ConEth_Click);
    connect(BtnSys, &QPushButton::clicked, this, &TFormConfig::Sys_Click);
    connect(BtnSinhr, &QPushButton::clicked, this, &TFormConfig::Sinhr_Click);
    connect(BtnFlouList, &QPushButton::clicked, this, &TFormConfig::FlouList_Click);
    connect(BtnPrzDistr, &QPushButton::clicked, this, &TFormConfig::PrzDistr_Click);
    connect(BtnDistr, &QPushButton::clicked, this, &TFormConfig::Distr_Click);
    connect(BtnAccess, &QPushButton::clicked, this, &TFormConfig::Access_Click);
    connect(BtnConst1, &QPushButton::clicked, this, [this] { Const_Click(0); });
    connect(BtnConst2, &QPushButton::clicked, this, [this] { Const_Click(1); });

    resize(760, 548);
}

QString TFormConfig::Caption_For(const Cnf_Rec &rec)
{
    return QStringLiteral("Параметры конфигурации контроллера \"%1\" ").arg(Cnf_Contr_Name(rec));
}

void TFormConfig::Set_Panel_Grey(int level)
{
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, QColor(level, level, level));
    Panel1->setPalette(pal);
    Panel1->repaint();
}

void TFormConfig::Availability()
{
    if (!Cnf) return;
    const bool vich = Cnf->t6[SYS_FLOU] != 0;
    LConVich->setEnabled(vich);
    BtnConVich->setEnabled(vich);
    GBVich->setEnabled(vich);
    const bool wmt = Cnf->t6[SYS_WMT] != 0;
    LConWMT->setEnabled(wmt);
    BtnConWMT->setEnabled(wmt);
}

void TFormConfig::Load()
{
    if (!Cnf) return;
    setWindowTitle(Caption_For(*Cnf));
    std::memcpy(&Snapshot, Cnf, sizeof Snapshot);
    // The second line's constants are kept in the record but never reach the controller.
    LConst2->setEnabled(false);
    BtnConst2->setEnabled(false);
    Availability();
}

bool TFormConfig::Store()
{
    if (!Cnf) return false;
    Changed = std::memcmp(Cnf, &Snapshot, sizeof Snapshot) != 0 ? 1 : 0;
    return true;
}

bool TFormConfig::Open(TParam_Dialog &d)
{
    d.Dev_Write = 0;
    Set_Panel_Grey(PANEL_GREY);
    Run_Dialog(d);
    Set_Panel_Grey(PANEL_LIGHT);
    return d.Accepted != 0;
}

void TFormConfig::Ident_Click()
{
    if (!Cnf) return;
    TFormIdent d(this);
    d.Tab_Data = Cnf->t0;
    Open(d);
}

void TFormConfig::Names_Click()
{
    if (!Cnf) return;
    TFormContrName d(this);
    d.Tab_Data = Cnf->t5;
    // The names go to the linked controller when the record restores it, else back to the
    // controller the record was read from: each says in its table 0 whether it keeps them in 866.
    d.Names_866 = Names_In_866(Dev_Write ? Tab_Field(0, 0) : Cnf->t0);
    if (Open(d)) setWindowTitle(Caption_For(*Cnf));
}

void TFormConfig::ConVich_Click()
{
    if (!Cnf) return;
    TFormConVich d(this);
    d.Tab_Data = Cnf->t9;
    Open(d);
}

void TFormConfig::ConVU_Click()
{
    if (!Cnf) return;
    TFormConVU d(this);
    d.Tab_Data = Cnf->t3;
    Open(d);
}

void TFormConfig::ConHGC_Click()
{
    if (!Cnf) return;
    uint8_t adr[CNF_FLOU_COUNT] = {};
    int count = 0;
    if (Cnf->t6[SYS_FLOU]) {
        count = Limit_Flou_Count(Cnf->t9[0]);
        for (int i = 0; i < CNF_FLOU_COUNT; ++i) adr[i] = Cnf->flou[i].adr;
    }
    // The parameter list inside the form changes table 1 and the count of the record at once:
    // what the user accepted there stays, even when the link form is then cancelled.
    TFormConHGC d(this);
    d.Tab_Data = Cnf->t14;
    d.Chr_Tab = Bytes_Of(Cnf->t1);
    d.Vich_Count = count;
    d.Vich_Adr = adr;
    Open(d);
}

void TFormConfig::ConWMT_Click()
{
    if (!Cnf) return;
    TFormConWMT d(this);
    d.Tab_Data = Cnf->t15;
    Open(d);
}

void TFormConfig::ConEth_Click()
{
    if (!Cnf) return;
    TFormConEth d(this);
    d.Tab_Data = Cnf->t29;
    Open(d);
}

void TFormConfig::Sys_Click()
{
    if (!Cnf) return;
    TFormSys d(this);
    d.Tab_Data = Cnf->t6;
    if (Open(d)) Availability();
}

void TFormConfig::Sinhr_Click()
{
    if (!Cnf) return;
    uint8_t block[SYNC_BLOCK_LEN] = {Cnf->t6[SYS_SYNC_FLOU], Cnf->t6[SYS_SYNC_PC], Cnf->t14[HGC_SYNC],
                                     Cnf->t14[HGC_SYNC + 1]};
    TFormTime_Sinhr d(this);
    d.Tab_Data = block;
    if (!Open(d)) return;
    Cnf->t6[SYS_SYNC_FLOU] = block[0];
    Cnf->t6[SYS_SYNC_PC] = block[1];
    Cnf->t14[HGC_SYNC] = block[2];
    Cnf->t14[HGC_SYNC + 1] = block[3];
}

void TFormConfig::FlouList_Click()
{
    if (!Cnf) return;
    TFormFlouList d(this);
    d.Tab_Data = Bytes_Of(Cnf->flou);
    d.Count = uint8_t(Limit_Flou_Count(Cnf->t9[0]));
    d.Chrom_Lines = Cnf->t14[HGC_LINES];
    if (Open(d)) Cnf->t9[0] = d.New_Count;
}

void TFormConfig::PrzDistr_Click()
{
    if (!Cnf) return;
    TFormPrzDistr d(this);
    d.Tab_Data = Cnf->t21;
    d.Par_Count = Cnf->t14[HGC_PAR_COUNT];
    d.Chr_Tab = Bytes_Of(Cnf->t1);
    Open(d);
}

void TFormConfig::Distr_Click()
{
    if (!Cnf) return;
    TFormDistr d(this);
    d.Tab_Data = Cnf->t28;
    Open(d);
}

void TFormConfig::Limits_Click(int kind)
{
    if (!Cnf || kind < 0 || kind >= 5) return;
    uint8_t *const tabs[5] = {Cnf->t22, Cnf->t23, Cnf->t24, Cnf->t25, Cnf->t26};
    TFormLimits d(this);
    d.Kind = uint8_t(kind);
    d.Tab_Data = tabs[kind];
    d.Par_Count = Cnf->t14[HGC_PAR_COUNT];
    d.Chr_Tab = Bytes_Of(Cnf->t1);
    Open(d);
}

void TFormConfig::Access_Click()
{
    if (!Cnf) return;
    TFormAccess d(this);
    d.Users = Cnf->users;
    Open(d);
}

void TFormConfig::Const_Click(int line)
{
    if (!Cnf) return;
    static_assert(sizeof Cnf_Rec::t43 + sizeof Cnf_Rec::t44 == CONST_BLOCK_LEN);
    static_assert(offsetof(Cnf_Rec, t44) == offsetof(Cnf_Rec, t43) + sizeof Cnf_Rec::t43);
    static_assert(sizeof Cnf_Rec::Line2_Const == CONST_BLOCK_LEN);
    TFormConst_Par d(this);
    // Tables 43 and 44 lie back to back in the record: one block.
    d.Tab_Data = line == 0 ? Cnf->t43 : Cnf->Line2_Const;
    d.Par_Count = Cnf->t14[HGC_PAR_COUNT];
    d.Chr_Tab = Bytes_Of(Cnf->t1);
    Open(d);
}

void Install_Config_Editor(TFormMain *m)
{
    Set_Config_Editor(m, [](TFormMain *owner, Cnf_Rec &rec, uint8_t dev_write) {
        TFormConfig f(owner);
        f.Cnf = &rec;
        f.Dev_Write = dev_write;
        Run_Dialog(f);
        Cnf_Editor_Result r;
        r.accepted = f.Accepted != 0;
        r.changed = r.accepted && f.Changed != 0;
        return r;
    });
}
