#include "core/forms/Main.h"

#include "core/Globals.h"
#include "core/Comportfunctions.h"
#include "core/Hgcbox.h"
#include "core/Rd_wr_ini.h"
#include "core/Stringi.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"
#include "core/Tcp_fun.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Ques_Form.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Text_Fit.h"
#include "core/forms/View_Focus.h"
#include "core/forms/Window_Place.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

TFormMain *FormMain = nullptr;

namespace {
// One menu entry: its parent component, component name, caption and tag.
struct Menu_Entry {
    const char *parent;   // "" for the menu bar
    const char *name;
    const char *caption;
    bool submenu;
    int tag;
};

// The menu tree. Trailing blanks and the Latin "C" of "C хроматографом" are part of the captions.
const Menu_Entry kMenu[] = {
    {"", "N1", "Файл", true, 0},
    {"N1", "N5", "Файлы  конфигурации          ", true, 0},
    {"N5", "NNewcnf", "Создание нового файла конфигурации", false, 0},
    {"N5", "NEditcnf", "Просмотр/Корректировка файла конфигурации", false, 1},
    {"N1", "Nrdcnf", "Сохранение параметров конфигурации в файле", false, 0},
    {"N1", "NExit", "Выход", false, 0},
    {"", "NWorkPar", "Параметры", true, 0},
    {"NWorkPar", "Nident", "Параметры идентификации", false, 0},
    {"NWorkPar", "NContrName", "Наименования", false, 0},
    {"NWorkPar", "N3", "Параметры связи", true, 0},
    {"N3", "NConVU", "С верхним уровнем", false, 0},
    {"N3", "NVrgConn", "С вычислителем расхода газа", false, 0},
    {"N3", "NConHGC", "C хроматографом", false, 0},
    {"N3", "NConnWMT", "С влагомером", false, 0},
    {"N3", "N_Ethernet", "Параметры связи по Ethernet", false, 0},
    {"NWorkPar", "Nsys", "Системные параметры", false, 0},
    {"NWorkPar", "NSinhr", "Синхронизация времени", false, 0},
    {"NWorkPar", "NCurrVich", "Параметры вычислителей", false, 0},
    {"NWorkPar", "NInsens", "Зона нечувствительности изменений параметров газа", false, 0},
    {"NWorkPar", "NLowAttent", "Нижняя предупредительная уставка параметра газа", false, 0},
    {"NWorkPar", "NUpAttent", "Верхняя предупредительная уставка параметра газа", false, 0},
    {"NWorkPar", "NLowLimit", "Нижний предел значения параметра газа, допускаемого к записи в ВРГ", false, 0},
    {"NWorkPar", "NUpperLimit", "Верхний предел значения параметра газа, допускаемого к записи в ВРГ", false, 0},
    {"NWorkPar", "NDistr", "Необходимость записи значений параметров газа в ВРГ", false, 0},
    {"NWorkPar", "Ndistrpar", "Период записи средних за час значений параметров газа в ВРГ", false, 0},
    {"NWorkPar", "NConst", "Константы параметров газа", false, 0},
    {"NWorkPar", "NPass", "Доступ пользователей к таблицам параметров", false, 0},
    {"", "NData", "Данные", true, 0},
    {"NData", "NMac_Adr", "MAC-адрес контроллера", false, 0},
    {"NData", "NContrDt", "Дата и время", false, 0},
    {"NData", "NAud", "Сообщения о вмешательствах оператора    ", true, 0},
    {"NAud", "NAudInd", "Запрос по индексу", false, 1},
    {"NAud", "NAudPer", "Запрос за период", false, 1},
    {"NAud", "NAudPrn", "Просмотр/Печать из файла", false, 0},
    {"NData", "NAla", "Диагностические сообщения   ", true, 0},
    {"NAla", "NAlaInd", "Запрос по индексу", false, 0},
    {"NAla", "NAlaPer", "Запрос за период", false, 0},
    {"NAla", "NAlaPrn", "Просмотр/Печать из файла", false, 0},
    {"NData", "NSit", "Текущее состояние контроллера", false, 0},
    {"NData", "N_ChromData", "Данные  хроматографа", true, 0},
    {"N_ChromData", "NChrom_Mom", "Мгновенные данные хроматографа, зоны параметров газа    ", false, 0},
    {"N_ChromData", "N_ChromMeas", "Измерительные данные", true, 0},
    {"N_ChromMeas", "NChrom_RdMeas", "Чтение архива контроллера    ", false, 0},
    {"N_ChromMeas", "NChrom_ViewMeas", "Просмотр/Печать из файла", false, 0},
    {"N_ChromData", "N_ChromHour", "Часовые  данные", true, 0},
    {"N_ChromHour", "NChrom_RdHour", "Чтение архива контроллера    ", false, 0},
    {"N_ChromHour", "NChrom_ViewHour", "Просмотр/Печать из файла", false, 0},
    {"N_ChromData", "N_ChromDay", "Суточные  данные", true, 0},
    {"N_ChromDay", "NChrom_RdDay", "Чтение архива контроллера    ", false, 0},
    {"N_ChromDay", "NChrom_ViewDay", "Просмотр/Печать из файла", false, 0},
    {"N_ChromData", "N_ChromClb", "Калибровочные данные      ", true, 0},
    {"N_ChromClb", "NChrom_RdClb", "Чтение архива контроллера    ", false, 0},
    {"N_ChromClb", "NChrom_ViewClb", "Просмотр/Печать из файла", false, 0},
    {"NData", "NWmt_Data", "Данные влагомера", true, 0},
    {"NWmt_Data", "NWmt_MomData", "Мгновенные данные влагомера", false, 0},
    {"NWmt_Data", "N_WmtMeas", "Измерительные данные", true, 0},
    {"N_WmtMeas", "NWmt_RdMeas", "Чтение архива контроллера", false, 0},
    {"N_WmtMeas", "NWmt_ViewMeas", "Просмотр/Печать из файла", false, 0},
    {"NWmt_Data", "N_WmtHour", "Часовые  данные", true, 0},
    {"N_WmtHour", "NWmt_ReadHour", "Чтение архива контроллера", false, 0},
    {"N_WmtHour", "NWmt_ViewHour", "Просмотр/Печать из файла", false, 0},
    {"NWmt_Data", "N_WmtDay", "Суточные  данные", true, 0},
    {"N_WmtDay", "NWmt_ReadDay", "Чтение архива контроллера", false, 0},
    {"N_WmtDay", "NWmt_ViewDay", "Просмотр/Печать из файла", false, 0},
    {"", "Nexcreport", "Отчеты", true, 0},
    {"Nexcreport", "NExcDay", "Паспорт QZT показателей за сутки   ", false, 0},
    {"Nexcreport", "NExcMon", "Паспорт QZT показателей за месяц   ", false, 0},
    {"", "Nconnect", "Связь с другим устройством", false, 0},
    {"", "Nvers", "Версия", true, 0},
    {"Nvers", "NUser", "Идентификация пользователя программы", false, 0},
    {"Nvers", "Nabout", "О программе", false, 0},
};

// Items that need a link.
const char *const kLinkOnly[] = {
    "NWorkPar", "NMac_Adr", "NContrDt", "Nexcreport", "NSit", "NChrom_Mom", "NChrom_RdMeas",
    "NChrom_RdHour", "NChrom_RdDay", "NChrom_RdClb", "NWmt_MomData", "NWmt_RdMeas", "NWmt_ReadHour",
    "NWmt_ReadDay", "NAudInd", "NAudPer", "NAlaInd", "NAlaPer", "Nrdcnf"};

// Working files of the archive and message readers, deleted at exit.
const char *const kWorkFiles[] = {"datafile.aud", "datafile.ala", "datafile.msd",
                                  "datafile.clb", "datafile.hdm", "datafile.vrf"};

// The Esc key aborts a running archive read; the key is never consumed.
class Esc_Hook : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape && Exch_Run)
            Exch_Abort = true;
        return QObject::eventFilter(o, e);
    }
};
} // namespace

TFormMain::TFormMain(QWidget *parent) : QMainWindow(parent)
{
    FormMain = this;
    setWindowTitle(QStringLiteral("Программа обслуживания контроллера  QZT_XRM5170"));
    resize(1040, 680);

    Panel1 = new QWidget(this);
    setCentralWidget(Panel1);
    auto *lay = new QVBoxLayout(Panel1);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addStretch(1);
    StatusBar3 = new TStatusBar({400}, Panel1);
    StatusBar2 = new TStatusBar({400}, Panel1);
    StatusBar1 = new TStatusBar({175, 250, 360, 50}, Panel1);
    StatusBar1->Set_Width(3, Text_Fit_Width(StatusBar1->Panel(3), {hgcbox::Busy_Text()}, 50));
    // The link description (a device path, the rate) and the subscriber and dialling texts
    // are shown whole; the exchange texts take the rest of the bar.
    StatusBar1->Set_Fit(0);
    StatusBar2->Set_Fit(0);
    StatusBar3->Set_Fit(0);
    StatusBar1->Set_Filler(2);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar2->setObjectName("StatusBar2");
    StatusBar3->setObjectName("StatusBar3");
    lay->addWidget(StatusBar3);
    lay->addWidget(StatusBar2);
    lay->addWidget(StatusBar1);

    // Call panel, shown while a telephone link is up.
    pnmodem = new QFrame(Panel1);
    pnmodem->setObjectName("pnmodem");
    static_cast<QFrame *>(pnmodem)->setFrameShape(QFrame::StyledPanel);
    auto *ml = new QHBoxLayout(pnmodem);
    ml->addWidget(new QLabel(QStringLiteral("Продолжительность связи по телефону"), pnmodem));
    pntime = new QLabel(QStringLiteral("00:00:00"), pnmodem);
    pntime->setObjectName("pntime");
    pntime->setFrameShape(QFrame::Panel);
    pntime->setFrameShadow(QFrame::Sunken);
    ml->addWidget(pntime);
    BitBtn3 = new QPushButton(QStringLiteral("Отключить связь"), pnmodem);
    BitBtn3->setObjectName("BitBtn3");
    ml->addWidget(BitBtn3);
    pnmodem->adjustSize();
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        Run_Command([this] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            Disconnect();
            QApplication::restoreOverrideCursor();
            Update_Menu();
        });
    });

    Build_Menu();


    TimerStart.setInterval(100);
    TimerStart.setSingleShot(false);
    TimerMessage.setInterval(3000);
    TimerMoney.setInterval(1000);
    connect(&TimerStart, &QTimer::timeout, this, [this] { TimerStartTimer(); });
    connect(&TimerMessage, &QTimer::timeout, this, [this] { TimerMessageTimer(); });
    connect(&TimerMoney, &QTimer::timeout, this, [this] { TimerMoneyTimer(); });

    qApp->installEventFilter(new Esc_Hook(this));
    Install_Enter_Presses_Button();
    Install_Window_Places();
    Install_Caption_Fit();
    Install_View_Focus();
    Install_Focus_Return();

    // Start-up. Numbers are written and read with "." (QString::number, QLocale::c()); the
    // default locale is left alone, so that dates and sizes in Qt's own dialogs stay Russian.
    Exch_Box = new hgcbox(0);
    Exch_Box->Status_Panel = [this](const QString &s) { StatusBar1->Set_Text(3, s); };
    Exch_Box->Pump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    Exch_Box->Make_Serial_Port = Make_Serial_Port;
    if (!Contr_Tables) Init_Tables();

    for (const char *d : {"CONFIG", "ALAFILES", "AUDFILES", "CALIBRARHIV", "MOMDATA", "HOURDATA", "DAYDATA",
                          "REPORT", "INI"})
        QDir().mkpath(Work_Dir() + QLatin1String(d));

    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                           : QRect(0, 0, 1280, 800);
    Load_Settings_Files(screen.width(), screen.height());
    Init_Strings();
    Install_Ques_Dialog();

    Hide_Top_Menu();
    Modem_Up = 0;
    pnmodem->hide();
    StatusBar2->hide();
    StatusBar3->hide();
    Place_From_Settings();
    TimerStart.start();
}

void TFormMain::Place_From_Settings()
{
    // The stored place is the frame's top-left, as the settings file has always meant it; with
    // none stored it is the middle of the screen the settings reading works out, and that is
    // the place written back, so every start puts the window in the same place. The window
    // does not exist yet: a move now is taken as the frame's place, and the window manager
    // frames the window right there, with nothing to correct once it is shown. On a smaller
    // screen the window is kept inside the available area (title bar and status bars in
    // view); the stored values themselves stay as they are.
    const Curr_Par_Rec &c = Conn_Settings.Curr_Par;
    const QRect want(c.Form_Left, c.Form_Top, c.Form_Width, c.Form_Height);
    QScreen *scr = QGuiApplication::screenAt(want.center());
    if (!scr) scr = QGuiApplication::primaryScreen();
    // The frame's size is not known before the window is shown: the placing's guess of it.
    const QRect g = scr ? Fit_Window(want, scr->availableGeometry(), Frame_Margins(this)) : want;
    resize(g.size());
    move(g.topLeft());
}

TFormMain::~TFormMain()
{
    // A window destroyed without being closed (tests) still releases the link.
    if (!Shut_Down) {
        Disconnect();
        delete Exch_Box;
        Exch_Box = nullptr;
    }
    if (FormMain == this) FormMain = nullptr;
}

void TFormMain::Build_Menu()
{
    QHash<QString, QMenu *> menus;
    for (const Menu_Entry &m : kMenu) {
        const QString name = QString::fromLatin1(m.name);
        const QString caption = QString::fromUtf8(m.caption);
        QAction *a = nullptr;
        if (m.submenu) {
            QMenu *sub = new QMenu(caption, this);
            sub->setObjectName(name);
            menus.insert(name, sub);
            a = sub->menuAction();
            if (*m.parent) menus.value(QString::fromLatin1(m.parent))->addMenu(sub);
            else menuBar()->addMenu(sub);
        } else {
            a = new QAction(caption, this);
            if (*m.parent) menus.value(QString::fromLatin1(m.parent))->addAction(a);
            else menuBar()->addAction(a);
            // Until a command is attached to it the item is shown but disabled.
            a->setEnabled(false);
        }
        a->setObjectName(name);
        a->setData(m.tag);
        Items.insert(name, a);
    }
}

void TFormMain::Set_Handler(const QString &name, const std::function<void(QAction *)> &fn)
{
    QAction *a = Items.value(name, nullptr);
    if (!a) return;
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, a, fn] { Run_Command([a, fn] { fn(a); }); });
}

QAction *TFormMain::Item(const QString &name) const { return Items.value(name, nullptr); }

void TFormMain::Hide_Top_Menu()
{
    for (QAction *a : menuBar()->actions()) a->setVisible(false);
}

void TFormMain::Update_Menu()
{
    for (QAction *a : std::as_const(Items)) a->setVisible(true);
    if (Connected) {
        const uint8_t *t6 = Tab_Dir[6].data;
        if (t6 && t6[8] == 0)
            for (const char *n : {"NConnWMT", "NWmt_Data"}) Items.value(n)->setVisible(false);
        if (t6 && t6[9] == 0)
            for (const char *n : {"NCurrVich", "NVrgConn", "NDistr", "Ndistrpar"}) Items.value(n)->setVisible(false);
    } else {
        for (const char *n : kLinkOnly) Items.value(n)->setVisible(false);
        StatusBar1->Set_Text(0, QString());
        StatusBar1->Set_Text(1, QString());
    }
}

bool TFormMain::Run_Command(const std::function<void()> &cmd)
{
    // After shutdown the exchange object and the table image are gone.
    if (Shut_Down || Command_Depth > 0 || (Exch_Box && Exch_Box->In_Exchange())) return false;
    ++Command_Depth;
    try {
        cmd();
    } catch (...) {
        --Command_Depth;
        throw;
    }
    --Command_Depth;
    if (Command_Depth == 0 && Close_Pending) QTimer::singleShot(0, this, [this] { close(); });
    return true;
}

void TFormMain::Show_Message(const QString &text)
{
    StatusBar1->Set_Text(2, text);
    TimerMessage.start();
}

void TFormMain::TimerStartTimer()
{
    TimerStart.stop();
    if (Shut_Down) return;
    if (!Run_Command([this] {
            if (Connect_Sequence) Connect_Sequence(this);
            else Update_Menu();
        }))
        TimerStart.start();   // a command is running: try again shortly
}

void TFormMain::TimerMessageTimer()
{
    TimerMessage.stop();
    StatusBar1->Set_Text(2, QString());
}

void TFormMain::TimerMoneyTimer()
{
    const qint64 s = qMax<qint64>(0, Call_Start.secsTo(QDateTime::currentDateTime()));
    pntime->setText(QString::asprintf("%02d:%02d:%02d", int(s / 3600), int(s / 60 % 60), int(s % 60)));
}

void TFormMain::Start_Call()
{
    Call_Start = QDateTime::currentDateTime();
    pntime->setText(QStringLiteral("00:00:00"));
    TimerMoney.start();
    Place_Call_Panel();
    pnmodem->show();
    pnmodem->raise();
}

void TFormMain::Place_Call_Panel()
{
    pnmodem->adjustSize();
    int bars = StatusBar1->height() + (StatusBar2->isVisible() ? StatusBar2->height() : 0) +
               (StatusBar3->isVisible() ? StatusBar3->height() : 0);
    pnmodem->move(Panel1->width() - pnmodem->width() - 4, Panel1->height() - bars - pnmodem->height() - 8);
}

void TFormMain::Disconnect()
{
    if (Exch_Box) {
        if (Exch_Box->Sock) {
            Exch_Box->Sock->Close();
            Exch_Box->Sock.reset();
        } else if (Modem_Up) {
            if (Hang_Up_Modem) Hang_Up_Modem();
            Modem_Up = 0;
        }
        if (Exch_Box->Port_Handle) {
            Exch_Box->Port_Handle->Close();
            Exch_Box->Port_Handle.reset();
        }
    }
    Modem_Up = 0;
    pnmodem->hide();
    TimerMoney.stop();
    StatusBar3->hide();
    StatusBar2->hide();
    StatusBar1->Set_Text(1, QString());
    Connected = false;
}

void TFormMain::Save_Settings()
{
    Save_Settings_Files();
}

void TFormMain::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    if (pnmodem && pnmodem->isVisible()) Place_Call_Panel();
}

void TFormMain::closeEvent(QCloseEvent *e)
{
    // The wait loops serve window events: a close arriving while a command or an exchange
    // is on the stack is remembered and carried out once it has ended.
    if (Command_Depth > 0 || (Exch_Box && Exch_Box->In_Exchange())) {
        Close_Pending = true;
        if (Exch_Box && Exch_Box->In_Exchange() && Command_Depth == 0)
            QTimer::singleShot(50, this, [this] { close(); });
        e->ignore();
        return;
    }
    Shutdown();
    e->accept();
}

void TFormMain::Shutdown()
{
    if (Shut_Down) return;
    Shut_Down = true;   // no command or connect attempt starts from here on
    TimerStart.stop();
    TimerMessage.stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Hanging the modem up serves window events; the window takes no input meanwhile.
    setEnabled(false);
    Disconnect();
    delete Exch_Box;
    Exch_Box = nullptr;
    Done_WinSock();
    Free_Tables();
    Save_Settings();
    for (const char *f : kWorkFiles) QFile::remove(Work_Dir() + QLatin1String(f));
    QApplication::restoreOverrideCursor();
}
