#pragma once
// Small routines shared by the dialogs and viewers: value texts, key rules of the
// number edits, the stored-float NaN test, period lengths and the link description.
#include <QChar>
#include <QMargins>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class QSaveFile;

// Text of a gas-parameter value: "NAN", "0", or decimals chosen by magnitude.
QString Float_To_Str(float v);
void Float_To_Str(float v, QString &out);
// Text of a moisture-meter value (its own decimals by magnitude).
QString Float_To_Str_Wmt(float v);
void Float_To_Str_Wmt(float v, QString &out);

// True when the 8 exponent bits of a stored (little-endian) float are all ones: NaN or infinity.
bool Is_Nan(const uint8_t *b);
bool Is_Nan(float v);
void Swap_Word(uint16_t &w);

// Whole hours from one Date6 to another (negative when to is earlier).
int Hours_Between(const uint8_t *from, const uint8_t *to);
// Length of a period for a progress bar: hours (unit 0), days (1), 30-day months (2);
// at least 1.
int Period_Units(const uint8_t *from, const uint8_t *to, int unit);

// Key rules of the number edits. Each takes a typed character and gives the character
// to insert, or a null QChar when the key is swallowed. Backspace (8) passes.
// Integer edits: digits only.
QChar Key_Press_Int(QChar key);
// Float edits ("." is the separator; "," becomes "."): digits, one separator, one "e"
// at the end, a leading "-", a sign right after the "e", at most 2 exponent digits
// (3 characters with a sign). text and caret are the edit's before the key.
QChar Key_Press_Float(const QString &text, int caret, QChar key);

// What the status bars show about the link.
struct Conn_Status_Info {
    int conn_prz = 0;               // 0 direct line, 1 telephone, 2 Ethernet
    int com_port = 0;               // of the link type's Link_Par (direct, telephone)
    QString port_name;              // the serial device (Link_Device); empty: Com_Port_Name of com_port
    int rate = 0;
    int adr = 0;                    // direct Link_Par address
    bool have_subscriber = false;   // telephone and Ethernet: a subscriber is chosen
    int contr_adr = 0;              // the subscriber's controller address
    QString user_name;
    QString phone_code;
    uint32_t ip_adr = 0;            // first octet in the most significant byte
};
struct Conn_Status_Texts {
    QString panel0;        // main status bar, panel 0
    QString panel1;        // main status bar, panel 1
    QString bar2_panel0;   // second status bar, panel 0
};
Conn_Status_Texts Conn_Status_Text(const Conn_Status_Info &info);
// Writes the link description through a setter of (bar 0/1, panel, text): clears
// bar 0 panels 0 and 1 and bar 1 panel 0, then fills them for the link type.
using Status_Panel_Setter = std::function<void(int bar, int panel, const QString &text)>;
void Show_Conn_Status(const Conn_Status_Info &info, const Status_Panel_Setter &set);

// A window's place and size kept inside a screen's available area. `want` is the window as
// placed (its frame's top-left) and sized (its client area); `frame` is what the window
// manager adds around the client area. The size shrinks to what fits, then the place moves
// as little as it must; a window that fits keeps its place.
QRect Fit_Window(const QRect &want, const QRect &avail, const QMargins &frame);
// The client rectangle of a window of the given client size whose frame (the client area and
// `frame` around it) is centred on `around`, then kept inside `avail` as Fit_Window keeps it:
// a frame larger than the area keeps its title bar and left edge in view.
QRect Centred_Client(const QRect &around, const QSize &client, const QMargins &frame, const QRect &avail);

// The last step of every save: what is still buffered is written and checked, then the
// finished temporary file takes the target's place. A save cut short (power lost, the
// program killed) or refused by the disk (full, over a size limit) leaves the previous file
// byte for byte and no temporary file behind; false then. No save commits in another way.
bool Commit_Save(QSaveFile &f);
// Called by Commit_Save just before; empty in the program (a test stops a save there).
extern std::function<void()> Before_Commit;

enum class Save_Result : uint8_t {
    Ok,
    Open_Failed,    // the file cannot be created (directory missing, no rights)
    Write_Failed,   // written in part or not committed: the previous file stays as it was
};
// A whole file of data, through Commit_Save.
Save_Result Save_Whole_File(const QString &path, const QByteArray &data);
// The program's own message for a file that was opened and not written whole (kind 1):
// "Ошибка записи файла" with the file's name.
void Show_Not_Saved(const QString &path);
