#include "params/forms/Mom_Data.h"

#include "core/Conffun.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Text_Fit.h"
#include "params/Chr_Par.h"
#include "params/forms/Params_Menu.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <cstring>

namespace {
constexpr int kMomInterval = 10000;

QLabel *Panel(QWidget *parent, const QString &name, int width)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(width);
    l->setAutoFillBackground(true);
    return l;
}
} // namespace

// ---- TFormMom_Rows ----------------------------------------------------------------------

TFormMom_Rows::TFormMom_Rows(const Mom_Desc &desc, QWidget *owner) : TRefresh_Form(owner, kMomInterval)
{
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(desc.time_label, this));
    pnTime = Panel(this, QStringLiteral("pnTime"), 150);
    top->addWidget(pnTime);
    top->addStretch(1);
    Body->addLayout(top);

    auto *g = new QGridLayout;
    g->setVerticalSpacing(2);
    Body->addLayout(g);
    for (int i = 0; i < desc.rows; ++i) {
        Row r;
        r.pn = Panel(this, QStringLiteral("pn%1").arg(i + 1), 420);
        r.v = Panel(this, QStringLiteral("v%1").arg(i + 1), 110);
        r.v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(r.pn, i, 0);
        g->addWidget(r.v, i, 1);
        if (desc.zones) {
            r.z = Panel(this, QStringLiteral("z%1").arg(i + 1), 230);
            g->addWidget(r.z, i, 2);
        }
        Rows << r;
    }
}

void TFormMom_Rows::Start_Mom()
{
    pnTime->clear();
    Start_Refresh();
    // The first refresh once the form is on the screen.
    QTimer::singleShot(0, this, [this] {
        if (Refresh && Is_Open()) Refresh_Data();
    });
}

void TFormMom_Rows::TimerTimer()
{
    // The timer keeps running through an exchange; a tick meanwhile reads nothing.
    if (!Refresh) return;
    Refresh_Data();
}

// ---- TFormMom ---------------------------------------------------------------------------

TFormMom::TFormMom(QWidget *owner)
    : TFormMom_Rows({QStringLiteral("Время последнего опроса хроматографа"), MAX_GAS_PARAMS, true}, owner)
{
}

void TFormMom::Form_Show()
{
    Row_Count = Gas_Par_Count();
    uint32_t serial = 0;
    if (const uint8_t *t41 = Tab_Field(41, 0)) std::memcpy(&serial, t41, 4);
    setWindowTitle(QString::asprintf("Мгновенные данные хроматографа (сер. № %u), зоны параметров газа", serial));
    for (int i = 0; i < Rows.size(); ++i) {
        const Row &r = Rows[i];
        const Chr_Par *p = Image_Chr_Par(i);
        if (i < Row_Count && p) {
            r.pn->setText(QStringLiteral(" ") + Chr_Par_Name(*p) + QStringLiteral(", ") + Chr_Par_Unit_Text(*p));
            r.pn->setEnabled(true);
            r.v->show();
            r.z->show();
        } else {
            QPalette pal = r.pn->palette();
            pal.setColor(QPalette::Window, QColor::fromRgb(RGB_LIGHT_GREY));
            r.pn->setPalette(pal);
            r.pn->setEnabled(false);
            r.v->hide();
            r.z->hide();
        }
    }
    Start_Mom();
}

void TFormMom::Refresh_Data()
{
    if (Link_Busy()) return;
    Hourglass h;
    if (Read_Table(Tab_Req{Tab_Data, 0, 22}, {}, false) && Tab_Dir[Tab_Data].data) {
        std::memcpy(Last_Reply, Tab_Dir[Tab_Data].data, sizeof Last_Reply);
        pnTime->setText(Poll_Time_Text(Last_Reply));
        for (int i = 0; i < Row_Count && i < Rows.size(); ++i) {
            const Chr_Par *p = Image_Chr_Par(i);
            Rows[i].v->setText(Chrom_Value_Text(Last_Reply + 8 + 4 * i, p ? Chr_Par_Decimals(*p) : 0));
        }
    }
    if (Link_Busy()) return;   // closed meanwhile
    if (Read_Table(Tab_Req{Tab_Zone, 0, MAX_GAS_PARAMS}, {}, false) && Tab_Dir[Tab_Zone].data) {
        const uint8_t *z = Tab_Dir[Tab_Zone].data;
        for (int i = 0; i < Row_Count && i < Rows.size(); ++i) Set_State_Panel(Rows[i].z, Zone_Text(z[i]));
    }
}

// ---- TFormMomWmt ------------------------------------------------------------------------

TFormMomWmt::TFormMomWmt(QWidget *owner)
    : TFormMom_Rows({QStringLiteral("Дата и время, к которым относятся данные"), 5, false}, owner)
{
    setWindowTitle(QStringLiteral(" Мгновенные данные влагомера"));
    // The row captions are long: the name column holds the longest of either meter type whole.
    const QStringList captions = Wmt_Row_Captions(0) + Wmt_Row_Captions(2);
    for (const Row &r : Rows) Fit_Min_Width(r.pn, captions);
}

void TFormMomWmt::Form_Show()
{
    const uint8_t *type = Tab_Field(15, 6);
    const QStringList captions = Wmt_Row_Captions(type ? *type : 0);
    Row_Count = int(captions.size());
    for (int i = 0; i < Rows.size(); ++i) {
        const bool used = i < Row_Count;
        Rows[i].pn->setVisible(used);
        Rows[i].v->setVisible(used);
        if (used) Rows[i].pn->setText(captions[i]);
    }
    Start_Mom();
}

void TFormMomWmt::Refresh_Data()
{
    if (Link_Busy()) return;
    Hourglass h;
    if (!Read_Table(Tab_Req{37, 0, 7}, {}, false) || !Tab_Dir[37].data) return;
    std::memcpy(Last_Reply, Tab_Dir[37].data, sizeof Last_Reply);
    pnTime->setText(Poll_Time_Text(Last_Reply));
    for (int i = 0; i < Row_Count && i < Rows.size(); ++i) Rows[i].v->setText(Wmt_Value_Text(Last_Reply + 8 + 4 * i));
}

// ---- the commands -----------------------------------------------------------------------

namespace {
bool All_Zero(const uint8_t *p, int n)
{
    if (!p) return true;
    for (int i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

void No_Link(const QString &line1)
{
    Ques_Kind = 6;
    Show_Ques(line1, QStringLiteral("(см. текущее состояние контроллера)"));
}
} // namespace

void NChrom_MomDataClick(TFormMain *m)
{
    if (!Road_Read(m, {Tab_Req{33, 0, 1}})) return;
    // The serial number for the caption, once.
    if (All_Zero(Tab_Dir[41].data, Tab_Length(41)) && !Road_Read(m, {Tab_Req{41, 0, 1}})) return;
    m->StatusBar1->Set_Text(2, QString());
    const uint8_t *t33 = Tab_Field(33, 0);
    if (!t33 || *t33 == 0) {
        No_Link(QStringLiteral("Нет связи с хроматографом"));
        return;
    }
    TFormMom f(m);
    f.Status_Bar = m->StatusBar1;
    f.Message_Timer = &m->TimerMessage;
    Run_Dialog(f);
    m->TimerMessage.start();
}

void NWmt_MomDataClick(TFormMain *m)
{
    if (!Road_Read(m, {Tab_Req{33, 1, 1}})) return;
    m->StatusBar1->Set_Text(2, QString());
    const uint8_t *t33 = Tab_Field(33, 1);
    if (!t33 || *t33 == 0) {
        No_Link(QStringLiteral("Нет связи с влагомером"));
        return;
    }
    TFormMomWmt f(m);
    f.Status_Bar = m->StatusBar1;
    f.Message_Timer = &m->TimerMessage;
    Run_Dialog(f);
}
