#include "archives/forms/Save_Arhiv.h"

#include "core/forms/Dialogs.h"
#include "core/forms/File_Dialog_Size.h"

#include <QApplication>
#include <QDate>
#include <QFileDialog>

void Setup_Save_Dialog(QFileDialog &d, const Save_Dialog_Setup &s)
{
    d.setWindowTitle(s.title);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    // The replace question is the program's own, asked about the name the save writes to.
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    d.setDirectory(s.dir);
    d.setNameFilter(s.filter);
    d.selectFile(s.proposed);
    Size_File_Dialog(d);
}

std::optional<QString> File_Dialog_Save_Ui::Choose_Name(const Save_Dialog_Setup &s)
{
    QFileDialog d(Parent);
    Setup_Save_Dialog(d, s);
    if (Run_Dialog(d) != QDialog::Accepted) return std::nullopt;
    const QStringList files = d.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

void File_Dialog_Save_Ui::Busy(bool on)
{
    if (on && !Cursor_Set) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Cursor_Set = true;
    } else if (!on && Cursor_Set) {
        QApplication::restoreOverrideCursor();
        Cursor_Set = false;
    }
}

Arh_Save Save_Archive_File(QWidget *parent, Arh_File_Kind kind, const Arhiv_Header &h,
                           const QByteArray &recs)
{
    File_Dialog_Save_Ui ui(parent);
    return Save_Archive_File(kind, h, recs, QDate::currentDate(), ui);
}
