#pragma once
// The AT-command dialogue with a Hayes-compatible (telephone or GSM) modem on the serial
// port the engine has opened: bringing the modem into command mode, the user's own
// initialisation commands, the GSM readiness check, dialling and hanging up.
// Every operation reports a result code 0..11; Modem_Result_Text gives what the user sees.
#include "core/Clock.h"
#include "core/Globals.h"
#include "core/Port.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

constexpr int MODEM_RESULT_COUNT = 12;

enum Modem_Result : int {
    MODEM_OK = 0,            // success (any reply without the words below)
    MODEM_NO_DIALTONE = 1,   // "DIAL"
    MODEM_BUSY = 2,          // "BUSY"
    MODEM_NO_CARRIER = 3,    // "NO CARRI"
    MODEM_ERROR = 4,         // "ERRO"
    MODEM_NO_ANSWER = 5,     // "ANSW"
    MODEM_TIME = 6,          // "Time"
    MODEM_ABSENT = 7,        // no reply to the escape sequence
    MODEM_NOT_CONNECTED = 8, // no "OK" to an init command, no "CONNECT" to the dial
    MODEM_TIMEOUT = 9,       // no complete reply within the time-out
    MODEM_ESCAPE = 10,       // the user pressed Esc
    MODEM_NO_GSM = 11,       // the GSM readiness check failed
};

// What the user is shown for each result code (UTF-8).
inline constexpr const char *Modem_Result_Texts[MODEM_RESULT_COUNT] = {
    "Соединение установлено",
    "Отсутствует сигнал АТС",
    "Номер абонента занят",
    "Потеря несущей",
    "Нет гудка в линии",
    "Абонент не отвечает",
    "Лимит времени, отведенного на соединение, исчерпан",
    "Модем отсутствует или не подключен",
    "Соединение не установлено",
    "Истекло время ожидания ответа от модема",
    "Попытка соединения прервана по требованию пользователя",
    "Нет готовности GSM",
};
// Text of a result code; an empty text for a code outside 0..11.
QString Modem_Result_Text(int code);

// What the dialogue needs from its surroundings.
struct Modem_Io {
    Port *Com = nullptr;                             // the open serial port
    Clock *Clk = &System_Clock();
    std::function<void()> Pump;                      // serves pending window events
    std::function<void(const QString &)> Status;     // the status bar panel; empty = none
    // Set by the program's Esc filter; a command in progress ends with code 10 when it is
    // found set. Null: Esc is not honoured. Modem_Dial raises Exch_Run for its duration,
    // so the main window's Esc hook (which sets Exch_Abort while Exch_Run is up) reaches it.
    bool *Abort = &Exch_Abort;
    // Time slice of the wait on the port between window-event pumps, ms.
    int Slice_Ms = 20;
};

class hgcbox;
// The dialogue on the exchange object's serial port, clock and event pump.
Modem_Io Make_Modem_Io(hgcbox &box, std::function<void(const QString &)> status = {});

// The reply buffer holds at most this many bytes.
constexpr int MODEM_REPLY_MAX = 255;

// Sends one command (commands carry their own CR; "+++" has none) and reads the reply
// line. Returns 0..6, 9 or 10; the reply text (CR/LF kept) is left in reply.
// with_status: show the command and the reply in the status bar (when one is given).
int Modem_Command(Modem_Io &io, const QByteArray &command, QByteArray &reply, int timeout_ms,
                  bool with_status = true);

// Brings the modem into command mode with echo off and verbose replies. 0 or the failing code.
int Modem_Init(Modem_Io &io);

enum class Gsm_State {
    Ready,      // "+CPAS: 0" then "OK"
    Not_Gsm,    // the modem does not know AT+CPAS (ERROR): a telephone modem
    Not_Ready,  // any other "+CPAS:" state, no reply, or no "OK"
};
Gsm_State Modem_Check_Gsm(Modem_Io &io);

// Init, the user's command line (commands joined by '^'), the GSM check and the dial,
// with up to attempts passes. 0 when connected, else the last result code.
// A dial that did not connect is hung up before the next pass or the return.
int Modem_Dial(Modem_Io &io, const QString &number, const QString &command_line, int attempts,
               int wait_s);

// Escape to command mode and ATH; when the modem does not acknowledge, DTR is dropped.
void Modem_Hang_Up(Modem_Io &io);

// The user's command line split into commands, each ending with CR.
QList<QByteArray> Split_Modem_Commands(const QString &command_line);
// The number without ' ', '-', '(' and ')'.
QString Clear_Phone(const QString &number);
// The text without CR and LF.
QString Clear_CrLf(const QString &text);
QByteArray Clear_CrLf(const QByteArray &text);
// True when part occurs in text (false for an empty text or a part longer than the text).
bool StrContains(const QByteArray &text, const char *part);
