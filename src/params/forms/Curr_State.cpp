#include "params/forms/Curr_State.h"

#include "core/Conffun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/forms/Mom_Data.h"
#include "params/forms/Tabinfo.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstring>

namespace {
const QString kStop = QStringLiteral("Не обновлять данные");
const QString kStart = QStringLiteral("Обновлять данные");

QLabel *Make_Panel(QWidget *parent, const char *name, int width)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(width);
    // Room above and below the text, so that a state reads as a field, not a squeezed line.
    l->setMinimumHeight(l->fontMetrics().height() + 2 * l->frameWidth() + 4);
    l->setIndent(4);
    l->setAutoFillBackground(true);
    return l;
}

QLabel *Make_Label(QWidget *parent, const QString &text, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name) l->setObjectName(QLatin1String(name));
    return l;
}

QPushButton *Make_Button(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void Set_Panel_Back(QLabel *l, uint32_t rgb)
{
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(rgb));
    l->setPalette(p);
}

uint8_t Image_Byte(int t, int k)
{
    const uint8_t *p = Tab_Field(t, k);
    return p ? *p : 0;
}
} // namespace

void Set_State_Panel(QLabel *l, const State_Text &s)
{
    if (!l) return;
    l->setText(s.text);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgb(s.rgb));
    l->setPalette(p);
}

// ---- TRefresh_Form ----------------------------------------------------------------------

TRefresh_Form::TRefresh_Form(QWidget *owner, int interval_ms) : QDialog(owner)
{
    auto *outer = new QVBoxLayout(this);
    Body = new QVBoxLayout;
    outer->addLayout(Body, 1);
    Button_Row = new QHBoxLayout;
    outer->addLayout(Button_Row);
    BitBtnRefresh = Make_Button(this, kStop, "BitBtnRefresh");
    BitBtnExit = Make_Button(this, QStringLiteral("Выход"), "BitBtnExit");
    Button_Row->addStretch(1);
    Button_Row->addWidget(BitBtnRefresh);
    Button_Row->addWidget(BitBtnExit);
    connect(BitBtnRefresh, &QPushButton::clicked, this, &TRefresh_Form::BitBtnRefreshClick);
    connect(BitBtnExit, &QPushButton::clicked, this, &QDialog::reject);

    Timer.setInterval(interval_ms);
    connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
}

void TRefresh_Form::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) return;   // restored from the task bar: nothing new
    Open = true;
    In_Command = FormMain && FormMain->Command_Running();
    Form_Show();
}

void TRefresh_Form::Start_Refresh()
{
    Refresh = 1;
    BitBtnRefresh->setText(kStop);
    Timer.start();
}

void TRefresh_Form::BitBtnRefreshClick()
{
    if (Refresh) {
        Refresh = 0;
        Timer.stop();
        BitBtnRefresh->setText(kStart);
    } else {
        Start_Refresh();
    }
}

bool TRefresh_Form::Link_Busy() const
{
    if (!Open || Acting || !Connected || !Exch_Box || Exch_Box->In_Exchange()) return true;
    return FormMain && FormMain->Command_Running() && !In_Command;
}

void TRefresh_Form::done(int r)
{
    // The button reads close the form themselves when they are through.
    if (Acting) return;
    Timer.stop();
    Open = false;
    QDialog::done(r);
}

bool TRefresh_Form::Read_Shown(uint8_t tab, uint8_t first, uint8_t count)
{
    TStatusBar *bar = Status_Bar;
    const bool ok = Read_Table(Tab_Req{tab, first, count}, [bar](const QString &s) {
        if (!bar) return;
        bar->Set_Text(2, s);
        bar->repaint();
    });
    if (Message_Timer) Message_Timer->start();
    return ok;
}

// ---- TFormPrz ---------------------------------------------------------------------------

TFormPrz::TFormPrz(QWidget *owner) : TRefresh_Form(owner, 1000)
{
    setWindowTitle(QStringLiteral("Текущее состояние контроллера"));
    auto *g = new QGridLayout;
    g->setVerticalSpacing(4);
    g->setHorizontalSpacing(12);   // the longest caption does not run into its field
    Body->addLayout(g);
    int r = 0;
    auto row = [&](QWidget *label, QLabel *panel, QWidget *extra = nullptr) {
        g->addWidget(label, r, 0);
        if (panel) g->addWidget(panel, r, 1);
        if (extra) g->addWidget(extra, r, 2);
        ++r;
    };

    g->addWidget(Make_Label(this, QStringLiteral("Дата и время последнего изменения")), r++, 0);
    pnDate = Make_Panel(this, "pnDate", 150);
    row(Make_Label(this, QStringLiteral("признаков нештатных ситуаций")), pnDate);

    LVich1 = Make_Label(this, QStringLiteral("Нештатные ситуации, связанные с обменом "), "LVich1");
    g->addWidget(LVich1, r++, 0);
    LVich2 = Make_Label(this, QStringLiteral("с вычислителями РГ"), "LVich2");
    pnVich = Make_Panel(this, "pnVich", 150);
    BitBtnVich = Make_Button(this, QStringLiteral("..."), "BitBtnVich");
    BitBtnVich->setToolTip(QStringLiteral("Состояние обмена с вычислителями РГ"));
    row(LVich2, pnVich, BitBtnVich);

    pnChrom = Make_Panel(this, "pnChrom", 150);
    row(Make_Label(this, QStringLiteral("Нештатные ситуации, связанные с опросом хроматографа")), pnChrom);
    LWmt = Make_Label(this, QStringLiteral("Нештатные ситуации, связанные с опросом влагомера"), "LWmt");
    pnWmt = Make_Panel(this, "pnWmt", 150);
    row(LWmt, pnWmt);
    pnDiag = Make_Panel(this, "pnDiag", 150);
    row(Make_Label(this, QStringLiteral("Нештатные ситуации, связанные с самодиагностикой")), pnDiag);

    g->addWidget(Make_Label(this, QStringLiteral("Наличие нештатного значения контролируемых величин")), r++, 0);
    pnLine1 = Make_Panel(this, "pnLine1", 150);
    row(Make_Label(this, QStringLiteral("Нитка 1 хроматографа")), pnLine1);
    LLine2 = Make_Label(this, QStringLiteral("Нитка 2 хроматографа"), "LLine2");
    row(LLine2, nullptr);

    pnChromLink = Make_Panel(this, "pnChromLink", 150);
    row(Make_Label(this, QStringLiteral("Наличие связи с хроматографом")), pnChromLink);
    LWmtLink = Make_Label(this, QStringLiteral("Наличие связи с влагомером"), "LWmtLink");
    pnWmtLink = Make_Panel(this, "pnWmtLink", 150);
    row(LWmtLink, pnWmtLink);

    BitBtnTables = Make_Button(this, QStringLiteral("..."), "BitBtnTables");
    BitBtnTables->setToolTip(QStringLiteral("Состояние таблиц параметров конфигурации"));
    row(Make_Label(this, QStringLiteral("Состояние таблиц параметров конфигурации")), nullptr, BitBtnTables);

    connect(BitBtnTables, &QPushButton::clicked, this, &TFormPrz::BitBtnTablesClick);
    connect(BitBtnVich, &QPushButton::clicked, this, &TFormPrz::BitBtnVichClick);
    Pending_Timer.setInterval(10);
    connect(&Pending_Timer, &QTimer::timeout, this, &TFormPrz::Run_Pending);
}

bool TFormPrz::Wmt_Fitted() const { return Image_Byte(6, 8) != 0; }
bool TFormPrz::Vich_Fitted() const { return Image_Byte(6, 9) != 0; }

void TFormPrz::Form_Show()
{
    Result = 0;
    LLine2->setEnabled(false);
    const bool wmt = Wmt_Fitted();
    LWmt->setEnabled(wmt);
    LWmtLink->setEnabled(wmt);
    if (!wmt) {
        Set_Panel_Back(pnWmt, RGB_LIGHT_GREY);
        Set_Panel_Back(pnWmtLink, RGB_LIGHT_GREY);
    }
    const bool vich = Vich_Fitted();
    LVich1->setEnabled(vich);
    LVich2->setEnabled(vich);
    Set_Buttons(true);
    Start_Refresh();
}

void TFormPrz::Set_Buttons(bool on)
{
    BitBtnTables->setEnabled(on);
    BitBtnVich->setEnabled(on && Vich_Fitted());
    BitBtnRefresh->setEnabled(on);
    BitBtnExit->setEnabled(on);
}

void TFormPrz::Show_Situations()
{
    const uint8_t *t = Tab_Dir[16].data;
    if (!t) return;
    pnDate->setText(Sit_Date_Text(t + SIT_DATE));
    if (Vich_Fitted()) Set_State_Panel(pnVich, Sit_Flag_Text(t[SIT_VICH]));
    Set_State_Panel(pnChrom, Sit_Error_Text(t[SIT_CHROM]));
    if (Wmt_Fitted()) Set_State_Panel(pnWmt, Sit_Error_Text(t[SIT_WMT]));
    Set_State_Panel(pnDiag, Sit_Flag_Text(t[SIT_DIAG]));
    Set_State_Panel(pnLine1, Sit_Flag_Text(t[SIT_LINE1]));
}

void TFormPrz::Show_Links()
{
    const uint8_t *t = Tab_Dir[33].data;
    if (!t) return;
    Set_State_Panel(pnChromLink, Link_State_Text(t[0]));
    if (Wmt_Fitted()) Set_State_Panel(pnWmtLink, Link_State_Text(t[1]));
}

void TFormPrz::TimerTimer()
{
    if (Link_Busy() || Pending != Action::None) return;   // the timer stays on: the next tick tries again
    // A button action started while the tick waited takes the form over: the tick ends.
    const unsigned actions = Actions;
    auto ended = [&] { return !Refresh || !Is_Open() || Actions != actions; };
    Timer.stop();
    QCoreApplication::processEvents();
    if (ended()) return;
    if (!Link_Busy() && Read_Table(Tab_Req{16, 0, SIT_FIELDS}, {}, false)) {
        if (Sit_Words_Swapped(Tab_Dir[0].data)) Swap_Sit_Words(Tab_Dir[16].data);
        Show_Situations();
    }
    if (Pending != Action::None) {
        Run_Pending();
        return;
    }
    QCoreApplication::processEvents();
    if (ended()) return;
    if (!Link_Busy() && Read_Table(Tab_Req{33, 0, 2}, {}, false)) Show_Links();
    if (Pending != Action::None) {
        Run_Pending();
        return;
    }
    if (ended()) return;
    Timer.start();
}

void TFormPrz::Resume(QPushButton *from)
{
    Acting = false;
    Set_Buttons(true);
    Focus_Back(from);
    if (Refresh && Is_Open()) Timer.start();
}

void TFormPrz::BitBtnTablesClick() { Click(Action::Tables); }
void TFormPrz::BitBtnVichClick() { Click(Action::Vich); }

void TFormPrz::Click(Action a)
{
    if (Acting || Pending != Action::None) return;
    if (Exch_Box && Exch_Box->In_Exchange()) {
        // Never a second exchange: the click waits for the running one, the refreshing stops now.
        Pending = a;
        Timer.stop();
        Set_Buttons(false);
        Pending_Timer.start();
        return;
    }
    a == Action::Tables ? Run_Tables() : Run_Vich();
}

void TFormPrz::Run_Pending()
{
    if (Pending == Action::None || (Exch_Box && Exch_Box->In_Exchange())) return;
    const Action a = Pending;
    Pending = Action::None;
    Pending_Timer.stop();
    if (!Is_Open()) return;
    a == Action::Tables ? Run_Tables() : Run_Vich();
}

void TFormPrz::done(int r)
{
    if (!Acting) {
        // Closed while a click waited: its reads are not wanted any more.
        Pending = Action::None;
        Pending_Timer.stop();
    }
    TRefresh_Form::done(r);
}

void TFormPrz::Run_Tables()
{
    ++Actions;
    bool ok;
    {
        Hourglass h;
        Timer.stop();
        Acting = true;
        Set_Buttons(false);
        ok = Read_Shown(7, 0, TAB_STATE_TABLES);
    }
    if (!ok) {
        Resume(BitBtnTables);
        return;
    }
    if (Tab_State) Fill_Tab_State_Block(*Tab_State, Tab_Dir[7].data);
    Result = 1;
    Acting = false;
    Set_Buttons(true);
    // Shown again once the table states close, the form has the focus on this button.
    Focus_Back(BitBtnTables);
    accept();
}

void TFormPrz::Run_Vich()
{
    ++Actions;
    Timer.stop();
    Acting = true;
    Set_Buttons(false);
    Vich_State_Block block{};
    int count = 0;
    bool ok;
    {
        Hourglass h;
        ok = Read_Shown(9, 0, 1);
        // The count comes from the controller: no more rows than the tables have.
        if (ok) count = std::min<int>(Image_Byte(9, 0), VICH_MAX);
        if (ok && count > 0) {
            const uint8_t n = uint8_t(count);
            ok = Read_Shown(18, 0, n) && Read_Shown(34, 0, n) && Read_Shown(35, 0, n);
        }
    }
    if (ok) {
        if (count > 0) {
            std::memcpy(block.Adr, Tab_Dir[18].data, size_t(count));
            std::memcpy(block.Link, Tab_Dir[34].data, size_t(count));
            std::memcpy(block.Writing, Tab_Dir[35].data, size_t(count));
        }
        TFormVichInf f(this);
        f.Vich_State = &block;
        f.Count = count;
        Run_Dialog(f);
    }
    Resume(BitBtnVich);
}

// ---- TFormVichInf -----------------------------------------------------------------------

namespace {
constexpr int kVichRowH = 22;
constexpr int kVichTop = 44;
constexpr int kVichWidth = 420;
} // namespace

TFormVichInf::TFormVichInf(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Состояние обмена с вычислителями РГ"));
    const int cols[3] = {0, 130, 260};
    const int widths[3] = {130, 130, 160};
    const QString heads[3] = {QStringLiteral("Адрес\nвычислителя РГ"), QStringLiteral("Наличие\nсвязи"),
                              QStringLiteral("Состояние процесса\nзаписи параметров")};
    for (int c = 0; c < 3; ++c) {
        auto *h = new QLabel(heads[c], this);
        h->setAlignment(Qt::AlignCenter);
        h->setGeometry(10 + cols[c], 4, widths[c], kVichTop - 6);
    }
    for (int i = 0; i < VICH_MAX; ++i) {
        Row &r = Rows[size_t(i)];
        auto *pn = new QFrame(this);
        pn->setObjectName(QStringLiteral("pn%1").arg(i + 1));
        pn->setFrameShape(QFrame::Panel);
        pn->setFrameShadow(QFrame::Raised);
        pn->setGeometry(10, kVichTop + i * (kVichRowH - 1), kVichWidth, kVichRowH);
        r.pn = pn;
        QLabel **labels[3] = {&r.la, &r.lc, &r.lw};
        const char *prefix[3] = {"la", "lc", "lw"};
        for (int c = 0; c < 3; ++c) {
            auto *l = new QLabel(pn);
            l->setObjectName(QLatin1String(prefix[c]) + QString::number(i + 1));
            l->setAlignment(Qt::AlignCenter);
            l->setGeometry(cols[c] + 2, 2, widths[c] - 4, kVichRowH - 4);
            *labels[c] = l;
        }
        pn->hide();
    }
    BitBtnExit = Make_Button(this, QStringLiteral("Выход"), "BitBtnExit");
    connect(BitBtnExit, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormVichInf::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    const int n = std::clamp(Count, 0, VICH_MAX);
    for (int i = 0; i < VICH_MAX; ++i) {
        Row &r = Rows[size_t(i)];
        if (i >= n || !Vich_State) {
            r.pn->hide();
            continue;
        }
        r.la->setText(QString::number(Vich_State->Adr[i]));
        Set_State_Panel(r.lc, Vich_Link_Text(Vich_State->Link[i]));
        Set_State_Panel(r.lw, Vich_Write_Text(Vich_State->Writing[i]));
        r.pn->show();
    }
    const int h = n * (kVichRowH - 1) + kVichTop + 94;
    BitBtnExit->setGeometry(10 + kVichWidth - 100, h - 40, 100, 28);
    setFixedSize(kVichWidth + 20, h);
}

// ---- the command ------------------------------------------------------------------------

void NSitClick(TFormMain *m)
{
    Tab_State_Block block;
    std::memset(&block, 0, sizeof block);
    TFormPrz prz(m);
    prz.Tab_State = &block;
    prz.Status_Bar = m->StatusBar1;
    prz.Message_Timer = &m->TimerMessage;
    uint8_t result = 0;
    for (;;) {
        Run_Dialog(prz);
        if (prz.Result != 1) {
            result = 0;
            break;
        }
        TFormTableInfo f(m);
        f.Tab_State = &block;
        f.Status_Bar = m->StatusBar1;
        Run_Dialog(f);
        result = f.Result;
        if (result != 0) break;
    }
    if (result == 3) {
        Hourglass h;
        m->Disconnect();
        m->Update_Menu();
    } else {
        m->Update_Menu();
    }
}

void Install_State_Commands(TFormMain *m)
{
    if (!m) return;
    m->Set_Handler(QStringLiteral("NSit"), [m](QAction *) { NSitClick(m); });
    m->Set_Handler(QStringLiteral("NChrom_Mom"), [m](QAction *) { NChrom_MomDataClick(m); });
    m->Set_Handler(QStringLiteral("NWmt_MomData"), [m](QAction *) { NWmt_MomDataClick(m); });
}
