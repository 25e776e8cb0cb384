#include "params/forms/Contrdt.h"

#include "core/Dtfun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "core/forms/Connect_Seq.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Text_Fit.h"
#include "params/Syspar.h"
#include "params/forms/Params_Menu.h"

#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <cstring>

namespace {

QString Date_Text(const uint8_t *c)
{
    return QString::asprintf("%02d.%02d.%02d", c[2], c[1], c[0]);
}

QString Time_Text(const uint8_t *c)
{
    return QString::asprintf("%02d:%02d:%02d", c[3], c[4], c[5]);
}

QString Season_Text(uint8_t s)
{
    return s == 0 ? QStringLiteral("Летнее") : QStringLiteral("Зимнее");
}

void Set_Red(QLabel *l, bool red)
{
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, red ? Qt::red : Qt::black);
    l->setPalette(p);
}

} // namespace

TFormDt::TFormDt(QWidget *owner) : TParam_Dialog(owner, Buttons::Exit_Only)
{
    setWindowTitle(QStringLiteral("Текущие дата и время"));
    auto *g = new QGridLayout;
    Body->addLayout(g);
    const char *heads[4] = {"Дата\n( дд.мм.гг )", "Время\n( чч:мм:сс )", "День\nнедели", "Тип\nвремени"};
    const char *names[4] = {"Date", "Time", "Day", "Type"};
    for (int k = 0; k < 4; ++k) {
        auto *h = new QLabel(QString::fromUtf8(heads[k]), this);
        h->setAlignment(Qt::AlignCenter);
        g->addWidget(h, 0, k + 1);
    }
    g->addWidget(new QLabel(QStringLiteral("В контроллере"), this), 1, 0);
    g->addWidget(new QLabel(QStringLiteral("В ЭВМ"), this), 2, 0);
    for (int k = 0; k < 4; ++k) {
        Contr_Cell[k] = new QLabel(this);
        Contr_Cell[k]->setObjectName(QStringLiteral("Contr_") + QLatin1String(names[k]));
        Pc_Cell[k] = new QLabel(this);
        Pc_Cell[k]->setObjectName(QStringLiteral("Pc_") + QLatin1String(names[k]));
        for (QLabel *l : {Contr_Cell[k], Pc_Cell[k]}) {
            l->setFrameShape(QFrame::Panel);
            l->setFrameShadow(QFrame::Sunken);
            l->setAlignment(Qt::AlignCenter);
        }
        g->addWidget(Contr_Cell[k], 1, k + 1);
        g->addWidget(Pc_Cell[k], 2, k + 1);
    }
    // Every day name fits with a margin, not only the one shown when the form opens.
    QStringList days;
    for (int d = 0; d < 7; ++d) days << Day_Names(d) + QStringLiteral("  ");
    Fit_Min_Width(Contr_Cell[2], days);
    Fit_Min_Width(Pc_Cell[2], days);
    LNo_Sync = new QLabel(QStringLiteral("Синхронизация времени контроллера с временем ЭВМ запрещена"), this);
    Body->addWidget(LNo_Sync);
    BitBtnCorr = new QPushButton(QStringLiteral("Скорректировать в контроллере"), this);
    BitBtnCorr->setObjectName(QStringLiteral("BitBtnCorr"));
    BitBtnCorr->setAutoDefault(false);
    Button_Row->insertWidget(1, BitBtnCorr);
    connect(BitBtnCorr, &QPushButton::clicked, this, &TFormDt::Corr_Click);
}

void TFormDt::Load()
{
    const bool pc_ok = Pc_Clock(Pc_Time, Sys_Tab, Pc);
    static const uint8_t none[CLOCK_LEN] = {};
    const uint8_t *c = Clock_Tab ? Clock_Tab : none;
    if (pc_ok) {
        Pc_Cell[0]->setText(Date_Text(Pc));
        Pc_Cell[1]->setText(Time_Text(Pc));
        Pc_Cell[2]->setText(Day_Names(int64_t(Pc[6]) - 1));
        Pc_Cell[3]->setText(Season_Text(Pc[7]));
    }
    Contr_Cell[0]->setText(Date_Text(c));
    Contr_Cell[1]->setText(Time_Text(c));
    Contr_Cell[2]->setText(Day_Names(int64_t(c[6]) - 1));
    Contr_Cell[3]->setText(Season_Text(c[7]));
    Set_Red(Contr_Cell[0], std::memcmp(c, Pc, 3) != 0);
    Set_Red(Contr_Cell[1], std::memcmp(c + 3, Pc + 3, 3) != 0);
    Set_Red(Contr_Cell[2], c[6] != Pc[6]);
    Set_Red(Contr_Cell[3], c[7] != Pc[7]);

    const bool allowed = Sys_Tab && Sys_Tab[SYS_SYNC_PC] != 0;
    LNo_Sync->setVisible(!allowed);
    // Without both clocks as dates there is no correction to work out.
    BitBtnCorr->setEnabled(allowed && pc_ok && Clock_Tab && Valid_Date6(Clock_Tab));
}

void TFormDt::Corr_Click()
{
    hide();
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Вы уверены, что часы ЭВМ показывают правильное время?"), QString());
    if (!Ques_Answer) {
        reject();
        return;
    }
    Corr_Sec = Clock_Correction(Clock_Tab, Pc);
    Accepted = 1;
    accept();
}

void NContrDtClick(TFormMain *m)
{
    const Tab_Req states{7, 0, 14}, sys{SYS_TAB, 0, SYS_FIELDS}, clock{CLOCK_TAB, 0, CLOCK_LEN};
    if (!Road_Read(m, {states})) return;
    const uint8_t *t7 = Tab_Dir[7].data;
    if (!t7) return;
    if (t7[SYS_TAB] != 0) {
        Ques_Kind = 4;
        Show_Ques(QStringLiteral("Разрушена таблица системных параметров."),
                  QStringLiteral("Информация о текущих дате и времени не может быть представлена"));
        return;
    }
    if (!Road_Read(m, {sys})) return;
    if (t7[CLOCK_TAB] != 0) {
        Ques_Kind = 3;
        Show_Ques(QStringLiteral("Таблица даты и времени разрушена."), QStringLiteral("Воcстановить сейчас?"));
        if (Ques_Answer) Set_Contr_Time(m);
        return;
    }
    if (!Road_Read(m, {clock})) return;
    const uint8_t *t2 = Tab_Dir[CLOCK_TAB].data;
    if (!t2 || !Exch_Box) return;
    // A clock that holds no date is shown as it is; the form offers no correction for it.

    int16_t corr = 0;
    {
        TFormDt f(m);
        f.Clock_Tab = t2;
        f.Sys_Tab = Tab_Dir[SYS_TAB].data;
        f.Pc_Time = Exch_Box->Last_Exch_Time;
        Run_Dialog(f);
        if (!f.Accepted) return;
        corr = f.Corr_Sec;
    }

    Hourglass h;
    if (m && m->StatusBar1) m->StatusBar1->Set_Text(2, QString());
    uint8_t data[2];
    Put_Correction(corr, data);
    QString text;
    if (Exch_Box->Exchange(12, data, 2)) {
        text = QStringLiteral("Корректировка времени выполнена");
    } else {
        text = Exch_Box->Err_Text();
        if (m && m->StatusBar1) m->StatusBar1->Set_Text(2, text);
        Ques_Kind = 6;
        Show_Ques(QStringLiteral("Корректировка времени не выполнена"), QString());
    }
    if (m && m->StatusBar1) {
        m->Show_Message(text);
        m->StatusBar1->repaint();
    }
}
