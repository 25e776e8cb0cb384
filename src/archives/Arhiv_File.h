#pragma once
// Archive and message files: the header followed by exactly rec_count records of the
// kind's size. Writing is whole or nothing; reading checks the header before any count
// it holds is used.
#include "archives/Arhiv.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

enum class Arh_Write : uint8_t {
    Ok,
    Open_Failed,     // the file cannot be created (directory missing, no rights)
    Write_Failed,    // writing or committing failed; any earlier file stays as it was
    Short_Records,   // fewer record bytes than rec_count records: nothing written
};

// Writes the header and the first rec_count records of recs (kind's record size).
Arh_Write Write_Arhiv_File(const QString &path, Arh_File_Kind kind, const Arhiv_Header &h,
                           const QByteArray &recs);

// Record bytes an opened file may bring into memory. A controller's archives hold far
// less; a header counting more is damaged, and its count would only exhaust memory.
constexpr qint64 ARH_OPEN_MAX_BYTES = qint64(256) * 1024 * 1024;

enum class Arh_Read : uint8_t {
    Ok,
    Open_Failed,
    Refused,         // not a file of the kind (see check)
};

struct Arh_File_Data {
    Arh_Read status = Arh_Read::Open_Failed;
    Arh_Check check = Arh_Check::Ok;
    Arhiv_Header header{};     // as the file holds it
    QByteArray records;        // rec_count × record size
    bool short_file = false;   // the file held fewer records than its header counts
};

// Opens a saved file of the kind: header checked (signature, model, chromatograph code,
// device, parameter count, a count within ARH_OPEN_MAX_BYTES). All rec_count records are
// given; those the file lacks are zero, so they fail their check in the viewer, and a
// later save keeps the count the file was given.
Arh_File_Data Read_Arhiv_File(const QString &path, Arh_File_Kind kind);

// The two lines of the refusal of a file; path is the file chosen, d what reading it gave.
QString Arh_Refusal_Line1(const QString &path, const Arh_File_Data &d);
QString Arh_Refusal_Line2(Arh_File_Kind kind, const Arh_File_Data &d);

// --- Saving from a viewer ---

// A chosen name without an extension gets the kind's; any other extension is kept.
QString Arh_Apply_Ext(const QString &chosen, Arh_File_Kind kind);

// Lines of the question asked before an existing file is replaced.
QString Arh_Replace_Line1(const QString &path);
QString Arh_Replace_Line2();

// What the save dialog is given.
struct Save_Dialog_Setup {
    QString title;       // "Введите имя файла для сохранения данных"
    QString dir;         // the kind's directory
    QString filter;      // "DataFiles (*.mch)"
    QString ext;         // ".mch"
    QString proposed;    // full path shown in the dialog
};

// The window side of the save: the file dialog and the busy cursor.
class Save_Ui {
public:
    virtual ~Save_Ui() = default;
    // Runs the dialog; nullopt on cancel.
    virtual std::optional<QString> Choose_Name(const Save_Dialog_Setup &s) = 0;
    virtual void Busy(bool) {}
};

// The name a save writes to: the dialog is run until the name it gives (with_ext applied) is
// free or the user agrees to replace that file ("Файл %s уже есть." / "Вы хотите заменить
// существующий файл?", Да/Нет); "Нет" brings the dialog back with that name. nullopt on cancel.
std::optional<QString> Choose_Save_Path(Save_Dialog_Setup s, Save_Ui &ui,
                                        const std::function<QString(const QString &)> &with_ext);

enum class Arh_Save : uint8_t { Saved, Cancelled, Failed };

// The "Сохранить в файле" command of every viewer: proposes the default name, applies
// the extension rule, asks before replacing (Show_Ques, Да/Нет), writes the header and
// rec_count records whole, and reports the outcome through Show_Ques.
Arh_Save Save_Archive_File(Arh_File_Kind kind, const Arhiv_Header &h, const QByteArray &recs,
                           const QDate &today, Save_Ui &ui);
