#pragma once
// The main window: start-up, the menu through which every function is reached, the three
// status bars, the start/message/call timers, the Esc hook of archive reads, disconnect and
// the orderly shutdown.
#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class TStatusBar;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // Menu item (top level, submenu or command) by its component name, e.g. "NWorkPar".
    QAction *Item(const QString &name) const;
    // Shows the items that fit the link state and the fitted devices.
    void Update_Menu();
    // Hides every top-level item (start of a connect attempt).
    void Hide_Top_Menu();
    // Ends the link: socket closed or modem hung up, port released, call panel hidden.
    void Disconnect();
    // Settings and the last-request record back to their files.
    void Save_Settings();
    // Result text in panel 2 of the first status bar, emptied by the message timer.
    void Show_Message(const QString &text);
    // Starts the call panel and its timer (a telephone link was made).
    void Start_Call();

    TStatusBar *StatusBar1 = nullptr;
    TStatusBar *StatusBar2 = nullptr;
    TStatusBar *StatusBar3 = nullptr;
    QTimer TimerStart, TimerMessage, TimerMoney;
    uint8_t Modem_Up = 0;
    QDateTime Call_Start;
    QLabel *pntime = nullptr;
    QWidget *pnmodem = nullptr;
    QPushButton *BitBtn3 = nullptr;

    // Runs a command unless another one (or an exchange) is running; a close requested
    // meanwhile is carried out when the outermost command has ended.
    bool Run_Command(const std::function<void()> &cmd);
    bool Command_Running() const { return Command_Depth > 0; }

    // Attaches the command of a menu item (items without one stay disabled).
    void Set_Handler(const QString &name, const std::function<void(QAction *)> &fn);

    // The connect sequence run by the start timer; set by the connect code.
    std::function<void(TFormMain *)> Connect_Sequence;
    std::function<void()> Hang_Up_Modem;

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void Build_Menu();
    void Place_Call_Panel();
    void Place_From_Settings();
    void Shutdown();
    void TimerStartTimer();
    void TimerMessageTimer();
    void TimerMoneyTimer();

    QHash<QString, QAction *> Items;
    QWidget *Panel1 = nullptr;
    int Command_Depth = 0;
    bool Close_Pending = false;
    bool Shut_Down = false;
};

extern TFormMain *FormMain;
