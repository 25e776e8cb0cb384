#pragma once
// The forms that watch the running controller: the shape they share (a timer that re-reads
// tables without messages, the refresh button, "Выход"), the current-state form with the
// abnormal-situation flags and link states, the flow-computer exchange state, and the
// "Текущее состояние контроллера" command with its loop through the table-state form.
#include "params/Tabinfo.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TFormMain;
class TStatusBar;

// A form whose timer re-reads controller tables while it is open and the refresh flag is set.
// A tick reads nothing while an exchange runs, while the form's own button reads run, or while
// a command other than the one that opened the form runs (a command cannot start inside
// another one, so a form opened by a command only meets its own); it reads nothing once the
// form has closed, and closing stops the timer.
class TRefresh_Form : public QDialog {
    Q_OBJECT
public:
    TRefresh_Form(QWidget *owner, int interval_ms);

    uint8_t Refresh = 0;
    TStatusBar *Status_Bar = nullptr;    // the main status bar: messages of the button reads
    QTimer *Message_Timer = nullptr;     // the main window's timer that clears them
    QTimer Timer;                        // the refresh timer (tests may shorten it)

    QPushButton *BitBtnRefresh = nullptr;   // "Не обновлять данные" / "Обновлять данные"
    QPushButton *BitBtnExit = nullptr;      // "Выход"

    void BitBtnRefreshClick();
    // One timer tick.
    virtual void TimerTimer() = 0;
    // True when a tick must not read now.
    bool Link_Busy() const;
    bool Is_Open() const { return Open; }

    // Stops the timer; ignored while the form's own button reads run.
    void done(int r) override;

protected:
    // The showing steps of the form (each time it is shown).
    virtual void Form_Show() {}
    // Refresh flag on, the button's text, the timer started.
    void Start_Refresh();
    // A read started by a button: with the table layer's messages in the main status bar,
    // whose message timer then clears them.
    bool Read_Shown(uint8_t tab, uint8_t first, uint8_t count);
    void showEvent(QShowEvent *e) override;

    QVBoxLayout *Body = nullptr;
    QHBoxLayout *Button_Row = nullptr;
    bool Acting = false;   // a button's own reads run

private:
    bool Open = false;
    bool In_Command = false;   // opened inside a main-window command
};

// "Текущее состояние контроллера": tables 16 and 33 every second.
class TFormPrz : public TRefresh_Form {
    Q_OBJECT
public:
    explicit TFormPrz(QWidget *owner = nullptr);

    Tab_State_Block *Tab_State = nullptr;   // filled when the table states are asked for
    uint8_t Result = 0;                     // 0 closed, 1 table states read

    QLabel *pnDate = nullptr;        // date of the last change of the flags
    QLabel *pnVich = nullptr;        // exchange with the flow computers
    QLabel *pnChrom = nullptr;       // chromatograph polling
    QLabel *pnWmt = nullptr;         // moisture-meter polling
    QLabel *pnDiag = nullptr;        // self-diagnostics
    QLabel *pnLine1 = nullptr;       // monitored quantities, line 1
    QLabel *pnChromLink = nullptr;   // table 33 field 0
    QLabel *pnWmtLink = nullptr;     // table 33 field 1
    QLabel *LVich1 = nullptr, *LVich2 = nullptr;
    QLabel *LWmt = nullptr, *LWmtLink = nullptr;
    QLabel *LLine2 = nullptr;
    QPushButton *BitBtnTables = nullptr;   // beside "Состояние таблиц параметров конфигурации"
    QPushButton *BitBtnVich = nullptr;     // beside the flow-computer lines

    void TimerTimer() override;
    // A click while an exchange runs is kept: the timer stops at once and the button's reads
    // start as soon as that exchange has ended.
    void BitBtnTablesClick();
    void BitBtnVichClick();
    void done(int r) override;
    // Panels from table 16 / table 33 of the image.
    void Show_Situations();
    void Show_Links();

protected:
    void Form_Show() override;

private:
    enum class Action : uint8_t { None, Tables, Vich };
    Action Pending = Action::None;   // a click waiting for the running exchange
    QTimer Pending_Timer;            // looks for its end when the exchange is not the tick's
    unsigned Actions = 0;            // button actions started (a tick ends when one starts)

    void Click(Action a);
    void Run_Pending();
    void Run_Tables();
    void Run_Vich();
    void Set_Buttons(bool on);
    // Buttons enabled again, the focus back on the one whose action ended, the timer resumed.
    void Resume(QPushButton *from);
    bool Wmt_Fitted() const;
    bool Vich_Fitted() const;
};

// "Состояние обмена с вычислителями РГ".
class TFormVichInf : public QDialog {
    Q_OBJECT
public:
    explicit TFormVichInf(QWidget *owner = nullptr);

    const Vich_State_Block *Vich_State = nullptr;
    int Count = 0;   // flow computers shown (table 9 field 0), at most 16

    struct Row {
        QWidget *pn = nullptr;
        QLabel *la = nullptr;   // address
        QLabel *lc = nullptr;   // link
        QLabel *lw = nullptr;   // parameter writing
    };
    std::array<Row, VICH_MAX> Rows;
    QPushButton *BitBtnExit = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
};

// Sets a panel's text and text colour.
void Set_State_Panel(QLabel *l, const State_Text &s);

// Handler of "Текущее состояние контроллера".
void NSitClick(TFormMain *m);
// Attaches the current-state and momentary-data commands to their menu items.
void Install_State_Commands(TFormMain *m);
