#pragma once
// The seven readers of the controller's measurement archives and what they share.
//
// Two families: the period readers ask function 8 block by block (chromatograph and
// moisture-meter measurement, calibration); the date-range readers ask functions 15 and 16
// within the period Arh_Precheck works out (hourly and daily of both devices) and check the
// record dates as they come. Both gather the raw records in a working file, read them back
// and hand on a header and the raw records; a viewer takes those without caring whether
// they came from the controller or from a file.
//
// Nothing here opens a window: dialogs, the wait form and the status bar are reached
// through Arh_Read_Ui, messages through Show_Ques.
#include "archives/Arhiv.h"
#include "core/Conffun.h"
#include "core/Dtfun.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

enum class Arh_Reader : uint8_t {
    Chr_Meas,   // NChrom_RdMeas
    Wmt_Meas,   // NWmt_RdMeas
    Clb,        // NChrom_RdClb
    Chr_Hour,   // NChrom_RdHour
    Wmt_Hour,   // NWmt_ReadHour
    Chr_Day,    // NChrom_RdDay
    Wmt_Day,    // NWmt_ReadDay
};
constexpr int ARH_READER_COUNT = 7;

// Archive kinds of function 8.
constexpr uint8_t ARH_KIND_MEAS = 6;
constexpr uint8_t ARH_KIND_CLB = 5;

struct Arh_Reader_Info {
    Arh_Reader reader;
    const char *menu_item;      // component name of the menu command
    Arh_File_Kind file_kind;    // header, record size and working file
    uint8_t func;               // 8, 15 or 16
    uint8_t arh_kind;           // function 8 only: 6 measurement, 5 calibration
    uint8_t device;             // device byte of the request
    int unit;                   // UNIT_HOUR or UNIT_DAY: progress, dates, checks
    uint8_t dialog_kind;        // date-range readers: kind of the short-period dialog
    uint8_t viewer_kind;        // kind given to the viewer (where it has one)
    const char *line1;          // first line of the reader's messages
    const char *error_line;     // period readers: second line of the archive-error mark
};

const Arh_Reader_Info &Reader_Info(Arh_Reader r);

// What a reader needs of the window side. Tests answer it without any window.
class Arh_Read_Ui {
public:
    virtual ~Arh_Read_Ui() = default;
    // Hourglass cursor around the table reads before the dialog.
    virtual void Busy(bool on) { (void)on; }
    // Period dialog (to the second); false when it was not accepted.
    virtual bool Ask_Period(Date6 &start, Date6 &end) = 0;
    // Short-period dialog inside the available range; kind 0 gives Date4, 1 gives Date3
    // (bytes past the form zero). False when it was not accepted.
    virtual bool Ask_Short_Period(const Arh_Range &range, uint8_t kind, Date6 &start, Date6 &end) = 0;
    // The wait form with its progress bar, the main window disabled, from the first
    // request to the end of the loop.
    virtual void Wait_Begin(int maximum) { (void)maximum; }
    // Progress after block block_index (0-based, counted across the block-number wrap)
    // or after each record of a date-range reply; position is clamped to 0..maximum.
    virtual void Wait_Progress(int block_index, int position, int maximum)
    {
        (void)block_index, (void)position, (void)maximum;
    }
    virtual void Wait_End() {}
    // Panel 2 of the main status bar ("" clears it).
    virtual void Status(const QString &text) { (void)text; }
    // The main window's message timer (it clears panel 2 later).
    virtual void Start_Message_Timer() {}
    // Pending window events (Esc, repaints) between blocks.
    virtual void Process_Events() {}
    // The short pause that lets a full progress bar be seen.
    virtual void Pause_Ms(int ms) { (void)ms; }
};

// The long-read frame every reader shares (the message readers may use it too):
// clears Exch_Abort before the first request, sets Exch_Run, runs the wait form with a
// progress maximum from Period_Units, serves events between blocks, and undoes it all
// once (Finish, or on leaving scope).
class Arh_Long_Read {
public:
    Arh_Long_Read(Arh_Read_Ui &ui, int maximum);
    ~Arh_Long_Read();
    Arh_Long_Read(const Arh_Long_Read &) = delete;
    Arh_Long_Read &operator=(const Arh_Long_Read &) = delete;

    int Maximum() const { return Max; }
    int Position() const { return Pos; }
    // Sets the bar (clamped to 0..maximum) after block block_index.
    void Progress(int block_index, int position);
    // One step forward (date-range readers: one record).
    void Step(int block_index);
    // Serves pending events and tells whether the user asked to stop (Exch_Abort).
    bool Abort_Requested();
    // Clears Exch_Run (Esc no longer counts); the wait form stays until End_Wait.
    void Stop_Run();
    // Takes the wait form away (after Stop_Run when not yet done).
    void End_Wait();

private:
    Arh_Read_Ui &Ui;
    int Max;
    int Pos = 0;
    bool Running = true;
    bool Waiting = true;
};

// The messages every reader shows (plain messages, OK button).
void Arh_Msg_Not_Read(const QString &line1);        // "<line1>" / "не прочитаны"
void Arh_Msg_Partly_Read(const QString &line1);     // "<line1>" / "прочитаны не полностью"
void Arh_Msg_Archive_Error(const QString &line2);   // "Обнаружена ошибка" / "<line2>"
void Arh_Msg_No_Data();                              // "Нет данных за указанный период"
void Arh_Msg_File_Error();                           // "Ошибка открытия файла"
// "Ошибка записи файла" / the working file's name: the records written before the failure
// are still shown.
void Arh_Msg_Write_Error(const QString &path);

// Status text of a reply whose record count does not fit its length.
QString Arh_Count_Error_Text(uint8_t func);

// Records a reply of func carries after a successful exchange, checked against the
// reply's own length: nullopt when the count does not fit (the reply is refused).
// For function 8 the count is payload byte [6] and records start at [8]; for 15 and
// 16 at [4] and [5].
std::optional<int> Reply_Record_Count(const uint8_t *resp, uint8_t func, uint32_t rec_size);

// Available period of the hourly (kind 0) or daily (kind 1) archive from the first-record
// dates of table 27, the controller clock of table 2 and the day-start hour of table 6.
// first gets the first-record date (daily: its flag bit cleared). False, with the message
// shown, when the archive holds nothing or a date read is invalid; a refused table read
// returns false after the table layer's own messages.
bool Arh_Precheck(Arh_Range &range, uint8_t first[6], uint8_t kind, const Tab_Status &status = {});

// A reader's outcome: what the viewer is given.
struct Arh_Read_Result {
    Arh_Reader reader = Arh_Reader::Chr_Meas;
    Arh_File_Kind kind = Arh_File_Kind::Chr_Meas;
    uint8_t viewer_kind = 0;
    Arhiv_Header header{};
    QByteArray records;          // header.rec_count records of the kind's size
    bool aborted = false;        // Esc, or "Нет" to an out-of-place record
    bool partial = false;        // an exchange failed after something was read
    bool archive_error = false;  // the controller marked an error in the archive
};

// Runs one reader from its table reads and dialog to the records read back: nullopt when
// nothing is to be shown (refused or failed step, nothing read; its message was shown).
std::optional<Arh_Read_Result> Read_Archive(Arh_Reader r, Arh_Read_Ui &ui);
