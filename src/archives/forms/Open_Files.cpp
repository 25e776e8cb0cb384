#include "archives/forms/Open_Files.h"

#include "archives/Arhivhdm_Chr.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Arhmeas_Wmt_Form.h"
#include "core/forms/Dialogs.h"
#include "core/forms/File_Dialog_Size.h"
#include "core/forms/Main.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Iniaud_Form.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <utility>

namespace {
std::array<File_Viewer, ARH_KIND_COUNT> g_viewers;
std::array<bool, ARH_KIND_COUNT> g_attached{};
QPointer<TFormMain> g_main;

size_t index_of(Arh_File_Kind kind) { return size_t(kind); }

// Enables the kind's item while it has a viewer; the handler is connected once per window.
void Update_Item(Arh_File_Kind kind)
{
    TFormMain *main = g_main.data();
    if (!main) return;
    const size_t i = index_of(kind);
    if (i >= g_viewers.size()) return;
    const QString item = QString::fromLatin1(Open_File_Item(kind));
    if (g_viewers[i] && !g_attached[i]) {
        main->Set_Handler(item, [main, kind](QAction *) { Run_Open_File(main, kind); });
        g_attached[i] = true;
    }
    if (QAction *a = main->Item(item)) a->setEnabled(bool(g_viewers[i]));
}

void Default_Viewer(Arh_File_Kind kind, File_Viewer viewer)
{
    if (!Has_File_Viewer(kind)) g_viewers[index_of(kind)] = std::move(viewer);
}
} // namespace

File_Dialog_Open_Ui::~File_Dialog_Open_Ui() { Busy(false); }

void Setup_Open_Dialog(QFileDialog &d, const Open_Dialog_Setup &s)
{
    d.setWindowTitle(s.title);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setDirectory(s.dir);
    d.setNameFilters(s.filters);
    if (s.filter_index >= 1 && s.filter_index <= s.filters.size())
        d.selectNameFilter(s.filters.at(s.filter_index - 1));
    d.selectFile(QString());
    Size_File_Dialog(d);
}

std::optional<QString> File_Dialog_Open_Ui::Choose_File(const Open_Dialog_Setup &s)
{
    QFileDialog d(Parent);
    Setup_Open_Dialog(d, s);
    if (Run_Dialog(d) != QDialog::Accepted) return std::nullopt;
    const QStringList files = d.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

void File_Dialog_Open_Ui::Busy(bool on)
{
    if (on && !Cursor_Set) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Cursor_Set = true;
    } else if (!on && Cursor_Set) {
        QApplication::restoreOverrideCursor();
        Cursor_Set = false;
    }
}

File_Viewer Set_File_Viewer(Arh_File_Kind kind, File_Viewer viewer)
{
    const size_t i = index_of(kind);
    if (i >= g_viewers.size()) return {};
    File_Viewer old = std::exchange(g_viewers[i], std::move(viewer));
    Update_Item(kind);
    return old;
}

bool Has_File_Viewer(Arh_File_Kind kind)
{
    const size_t i = index_of(kind);
    return i < g_viewers.size() && bool(g_viewers[i]);
}

Open_Result Run_Open_File(TFormMain *main, Arh_File_Kind kind)
{
    if (!Has_File_Viewer(kind)) return Open_Result::Cancelled;
    // A copy: the viewer may be replaced while its form is open.
    const File_Viewer viewer = g_viewers[index_of(kind)];
    File_Dialog_Open_Ui ui(main);
    const Open_Result r = Open_Archive_File(kind, ui, [&](const Arhiv_Header &h, const QByteArray &recs) {
        viewer(main, h, recs);
        QCoreApplication::processEvents();
    });
    return r;
}

void Install_Open_File_Commands(TFormMain *main)
{
    if (!main) return;
    Default_Viewer(Arh_File_Kind::Chr_Meas, Show_Arh_Meas_Chr);
    Default_Viewer(Arh_File_Kind::Chr_Hour, [](QWidget *o, const Arhiv_Header &h, const QByteArray &r) {
        Show_Arhiv_HDM_Chr(o, h, r, HDM_KIND_HOUR);
    });
    Default_Viewer(Arh_File_Kind::Chr_Day, [](QWidget *o, const Arhiv_Header &h, const QByteArray &r) {
        Show_Arhiv_HDM_Chr(o, h, r, HDM_KIND_DAY);
    });
    Default_Viewer(Arh_File_Kind::Clb, Show_Arhiv_Clb);
    Default_Viewer(Arh_File_Kind::Wmt_Meas, Show_Wmt_Meas);
    Default_Viewer(Arh_File_Kind::Wmt_Hour, Show_Wmt_Hour);
    Default_Viewer(Arh_File_Kind::Wmt_Day, Show_Wmt_Day);
    Default_Viewer(Arh_File_Kind::Ala, Show_Ala_File);
    Default_Viewer(Arh_File_Kind::Aud, Show_Aud_File);

    if (g_main != main) g_attached.fill(false);
    g_main = main;
    for (const Open_File_Command &c : Open_File_Commands()) Update_Item(c.kind);
}
