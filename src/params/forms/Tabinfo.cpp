#include "params/forms/Tabinfo.h"

#include "core/Hgcbox.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Text_Fit.h"
#include "params/forms/Curr_State.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>

namespace {
constexpr int kWidth = 600;
constexpr int kHeight = 588;          // client area with all rows that fit
constexpr int kTop = 40;              // the scroll area under the column heads
constexpr int kRowH = 18;             // rows overlap by one pixel
constexpr int kButtonsH = kHeight - kTop - (TFormTableInfo::ROWS_SHOWN * (kRowH - 1) + 1);
constexpr int kNameW = 455;
constexpr int kStateW = 64;

int Rows_Height(int n) { return n * (kRowH - 1) + 1; }
} // namespace

TFormTableInfo::TFormTableInfo(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Состояние таблиц параметров конфигурации"));

    // The name column as wide as the longest table name needs in the font here.
    QLabel probe;
    probe.setFrameShape(QFrame::Panel);
    probe.setFrameShadow(QFrame::Sunken);
    QStringList names;
    for (int t = 0; t < TAB_COUNT; ++t) names << Tab_Row_Name(t);
    Name_W = Text_Fit_Width(&probe, names, kNameW);
    Form_W = kWidth + Name_W - kNameW;

    auto *head_state = new QLabel(QStringLiteral("Разрушена"), this);
    head_state->setAlignment(Qt::AlignCenter);
    head_state->setGeometry(Name_W - 8, 4, kStateW + 14, kTop - 6);
    auto *head_write = new QLabel(QStringLiteral("Записать\nтаблицу"), this);
    head_write->setAlignment(Qt::AlignCenter);
    head_write->setGeometry(4 + Name_W + kStateW - 4, 4, 70, kTop - 6);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A stop of its own would show nothing: Tab goes from box to box, the area scrolling to each.
    ScrollBox->setFocusPolicy(Qt::NoFocus);
    auto *inner = new QWidget;
    inner->resize(Form_W - 20, Rows_Height(ROWS));
    for (int k = 0; k < ROWS; ++k) {
        Row &r = Rows[size_t(k)];
        const int y = k * (kRowH - 1);
        r.name = new QLabel(inner);
        r.name->setObjectName(QStringLiteral("pnName%1").arg(k + 1));
        r.name->setFrameShape(QFrame::Panel);
        r.name->setFrameShadow(QFrame::Sunken);
        r.name->setGeometry(0, y, Name_W, kRowH);
        r.state = new QLabel(inner);
        r.state->setObjectName(QStringLiteral("pnState%1").arg(k + 1));
        r.state->setFrameShape(QFrame::Panel);
        r.state->setFrameShadow(QFrame::Sunken);
        r.state->setAlignment(Qt::AlignCenter);
        r.state->setGeometry(Name_W - 1, y, kStateW, kRowH);
        r.cb = new QCheckBox(inner);
        r.cb->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        r.cb->setGeometry(Name_W + kStateW + 22, y, 20, kRowH);
    }
    ScrollBox->setWidget(inner);

    auto make = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BitBtnSel = make(QStringLiteral("Записать избранные таблицы"), "BitBtnSel");
    BitBtnAll = make(QStringLiteral("Записать все таблицы"), "BitBtnAll");
    BitBtnReset = make(QStringLiteral("Сбросить энергонезависимые данные"), "BitBtnReset");
    BitBtnExit = make(QStringLiteral("Выход"), "BitBtnExit");
    connect(BitBtnSel, &QPushButton::clicked, this, &TFormTableInfo::BitBtnSelClick);
    connect(BitBtnAll, &QPushButton::clicked, this, &TFormTableInfo::BitBtnAllClick);
    connect(BitBtnReset, &QPushButton::clicked, this, &TFormTableInfo::BitBtnResetClick);
    connect(BitBtnExit, &QPushButton::clicked, this, &QDialog::reject);
    Place(Rows_Height(ROWS_SHOWN), true);
}

void TFormTableInfo::Place(int scroll_h, bool scroll_bar)
{
    ScrollBox->setVerticalScrollBarPolicy(scroll_bar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    ScrollBox->setGeometry(4, kTop, Form_W - 8, scroll_h);
    const int bottom = kTop + scroll_h;
    const int bw = (Form_W - 30) / 2;
    BitBtnSel->setGeometry(10, bottom + 14, bw, 28);
    BitBtnAll->setGeometry(20 + bw, bottom + 14, bw, 28);
    BitBtnReset->setGeometry(10, bottom + 50, bw, 28);
    BitBtnExit->setGeometry(20 + bw, bottom + 50, bw, 28);
    setFixedSize(Form_W, bottom + kButtonsH);
}

void TFormTableInfo::showEvent(QShowEvent *e)
{
    if (!Filled) {
        Filled = true;
        Fill();
    }
    QDialog::showEvent(e);
}

void TFormTableInfo::Fill()
{
    Tab_State_Block empty;
    Fill_Tab_State_Block(empty, nullptr);
    std::fill(std::begin(empty.Cfg), std::end(empty.Cfg), uint8_t(0));
    const Tab_State_Block &b = Tab_State ? *Tab_State : empty;

    const QList<int> tabs = Tab_State_Rows(b);
    Used = std::min<int>(int(tabs.size()), ROWS);
    First_Destroyed = 0;
    const bool direct = Conn_Settings.Curr_Par.Conn_Prz == 0;
    for (int k = 0; k < ROWS; ++k) {
        Row &r = Rows[size_t(k)];
        if (k >= Used) {
            // Rows beyond the tables in use carry nothing.
            r.tab = -1;
            r.name->hide();
            r.state->hide();
            r.cb->hide();
            continue;
        }
        const int t = tabs[k];
        r.tab = t;
        for (QWidget *w : {static_cast<QWidget *>(r.name), static_cast<QWidget *>(r.state),
                           static_cast<QWidget *>(r.cb)})
            w->setProperty("tag", t);
        r.name->setText(Tab_Row_Name(t));
        const bool destroyed = Tab_Destroyed(b, t);
        Set_State_Panel(r.state, destroyed ? State_Text{QStringLiteral("Да"), RGB_RED}
                                           : State_Text{QStringLiteral("Нет"), RGB_BLACK});
        r.cb->setChecked(destroyed);
        r.cb->setEnabled(destroyed || t != 4);
        if (destroyed && First_Destroyed == 0) First_Destroyed = k + 1;
        if (!direct) {
            r.cb->setChecked(false);
            r.cb->setEnabled(false);
        }
    }

    if (Used < ROWS_SHOWN) {
        Place(Rows_Height(Used), false);
        ScrollBox->widget()->resize(ScrollBox->widget()->width(), Rows_Height(Used));
    } else {
        Place(Rows_Height(ROWS_SHOWN), true);
        ScrollBox->widget()->resize(ScrollBox->widget()->width(), Rows_Height(Used));
        if (First_Destroyed > ROWS_SHOWN) {
            const Row &r = Rows[size_t(First_Destroyed - 1)];
            ScrollBox->ensureWidgetVisible(r.name, 0, 0);
        }
    }

    const uint8_t *version = Tab_Field(0, 3);
    const Tab_Info_Buttons on = Tab_Info_Buttons_For(version ? *version : 0, direct);
    BitBtnAll->setEnabled(on.write);
    BitBtnSel->setEnabled(on.write);
    BitBtnReset->setEnabled(on.reset);

    // The form opens on the box of the first destroyed table (scrolled into view), else on the
    // first box that can be ticked; where none can be (another link), on "Выход", the one step
    // that changes nothing.
    QWidget *first = nullptr;
    if (First_Destroyed && Rows[size_t(First_Destroyed - 1)].cb->isEnabled())
        first = Rows[size_t(First_Destroyed - 1)].cb;
    for (int k = 0; k < Used && !first; ++k)
        if (Rows[size_t(k)].cb->isEnabled()) first = Rows[size_t(k)].cb;
    (first ? first : BitBtnExit)->setFocus(Qt::OtherFocusReason);
}

void TFormTableInfo::BitBtnSelClick()
{
    if (!Tab_State) return;
    bool any = false;
    for (int k = 0; k < Used; ++k) {
        const Row &r = Rows[size_t(k)];
        const bool on = r.cb->isChecked();
        Tab_State->Write_Sel[r.tab] = on ? 1 : 0;
        any = any || on;
    }
    if (!any) {
        Ques_Kind = 6;
        Show_Ques(QStringLiteral("Не заданы таблицы для записи"), QString());
        return;
    }
    Adjust_Write_Sel(*Tab_State);
    Result = 1;
    accept();
}

void TFormTableInfo::BitBtnAllClick()
{
    if (!Tab_State) return;
    Select_All_Tables(*Tab_State);
    Result = 2;
    accept();
}

void TFormTableInfo::BitBtnResetClick()
{
    if (Resetting) return;
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Вы уверены, что хотите выполнить сброс"),
              QStringLiteral("всех энергонезависимых данных?"));
    if (Ques_Answer != 1) return;
    bool ok;
    {
        Hourglass h;
        Resetting = true;
        Ques_Kind = 6;   // the kind under which the exchange reports its own errors
        ok = Reset_NV_Data();
        Resetting = false;
    }
    if (!ok) {
        Show_Ques(QStringLiteral("Команда не может быть выполнена."), Exch_Box ? Exch_Box->Err_Text() : QString());
        return;
    }
    BitBtnReset->setEnabled(false);
    Show_Conn_Status(Status_Bar, FormMain ? FormMain->StatusBar2 : nullptr);
    Result = 3;
    accept();
}

void TFormTableInfo::done(int r)
{
    if (Resetting) return;
    QDialog::done(r);
}
