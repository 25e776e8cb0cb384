#include "params/forms/Config_Files.h"

#include "core/Cnf_Exchange.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/File_Dialog_Size.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Wait_Form.h"
#include "params/Tabinfo.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QProgressBar>
#include <memory>

Cnf_Editor_Fn Config_Editor;

namespace {

const char *const kEditorItems[] = {"NNewcnf", "NEditcnf"};

void Enable_Editor_Items(TFormMain *m)
{
    if (!m) return;
    for (const char *n : kEditorItems)
        if (QAction *a = m->Item(QLatin1String(n))) a->setEnabled(bool(Config_Editor));
}

std::optional<QString> Chosen_File(QFileDialog &d)
{
    if (Run_Dialog(d) != QDialog::Accepted) return std::nullopt;
    const QStringList files = d.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

// The wait form over a disabled main window for the life of the object.
class Wait_Scope {
public:
    Wait_Scope(TFormMain *m, uint8_t mode) : Main(m)
    {
        Form = new TFormWait(m);
        Form->Wait_Mode = mode;
        Form->ProgressBar1->setRange(0, 1);
        Form->ProgressBar1->setValue(0);
        if (Main) Main->setEnabled(false);
        Form->show();
        Form->raise();
        Form->repaint();
    }
    ~Wait_Scope() { Close(); }
    Wait_Scope(const Wait_Scope &) = delete;
    Wait_Scope &operator=(const Wait_Scope &) = delete;

    void Close()
    {
        delete Form.data();
        Form = nullptr;
        if (Main && !Main->isEnabled()) {
            Main->setEnabled(true);
            Main->raise();
            Main->activateWindow();
        }
    }

    Cnf_Exch_Ui Ui() const
    {
        Cnf_Exch_Ui ui;
        TFormMain *m = Main;
        QPointer<TFormWait> f = Form;
        ui.status = [m](const QString &s) {
            if (!m || !m->StatusBar1) return;
            m->StatusBar1->Set_Text(2, s);
            m->StatusBar1->repaint();
        };
        ui.contr_name = [m](const QString &s) {
            if (m && m->StatusBar1) m->StatusBar1->Set_Text(1, s);
        };
        ui.progress_max = [f](int max) {
            if (f) f->ProgressBar1->setMaximum(std::max(max, 1));
        };
        ui.progress_pos = [f](int pos) {
            if (!f) return;
            f->ProgressBar1->setValue(pos);
            f->ProgressBar1->repaint();
        };
        ui.link_changed = [m] {
            if (m) Show_Conn_Status(m->StatusBar1, m->StatusBar2);
        };
        return ui;
    }

private:
    TFormMain *Main;
    QPointer<TFormWait> Form;
};

// The main window's filter list, on its first entry (configuration files).
void Cnf_Filters(QFileDialog &d)
{
    d.setNameFilters(File_Dialog_Filters());
    d.selectNameFilter(Cnf_Filter());
}

} // namespace

void Set_Config_Editor(TFormMain *m, Cnf_Editor_Fn fn)
{
    Config_Editor = std::move(fn);
    Enable_Editor_Items(m);
}

bool Open_Cnf(TFormMain *m, Cnf_Rec &rec)
{
    QDir().mkpath(Cnf_Dir());
    QFileDialog d(m);
    d.setWindowTitle(QStringLiteral("Выбор файла с параметрами конфигурации"));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setDirectory(Cnf_Dir());
    Cnf_Filters(d);
    d.selectFile(QString());
    Size_File_Dialog(d);
    const std::optional<QString> chosen = Chosen_File(d);
    if (!chosen) return false;
    Cnf_Name = *chosen;
    uint8_t version = 0;
    const Cnf_Load r = Load_Cnf_File(Cnf_Name, rec, &version);
    Report_Cnf_Load(r, Cnf_Name, version);
    return r == Cnf_Load::Ok;
}

bool Save_Cnf(TFormMain *m, const Cnf_Rec &rec)
{
    QDir().mkpath(Cnf_Dir());
    return Save_Cnf_Run(rec, QDateTime::currentDateTime(), [m](const QString &shown) -> std::optional<QString> {
        QFileDialog d(m);
        d.setWindowTitle(QStringLiteral("Выбор файла для записи параметров конфигурации"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
        // The replace question is ours.
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
        Cnf_Filters(d);
        d.setDirectory(QFileInfo(shown).absolutePath());
        d.selectFile(shown);
        Size_File_Dialog(d);
        return Chosen_File(d);
    });
}

bool Run_Read_Config(TFormMain *m)
{
    Wait_Scope w(m, 3);
    return Read_Config(w.Ui());
}

bool Run_Write_Config(TFormMain *m, Tab_State_Block &block)
{
    Wait_Scope w(m, 2);
    return Write_Config(block, w.Ui());
}

void NParCnfClick(TFormMain *m, int tag)
{
    if (!Config_Editor) return;
    auto rec = std::make_unique<Cnf_Rec>();
    if (tag == 0)
        New_Cnf(*rec);
    else if (!Open_Cnf(m, *rec))
        return;
    const Cnf_Editor_Result r = Config_Editor(m, *rec, 0);
    if (r.accepted && (r.changed || tag == 0)) Save_Cnf(m, *rec);
}

void NrdcnfClick(TFormMain *m)
{
    auto hourglass = std::make_unique<Hourglass>();
    auto wait = std::make_unique<Wait_Scope>(m, 3);
    if (!Read_Config(wait->Ui())) {
        wait.reset();
        hourglass.reset();
        Ques_Kind = 5;
        Show_Ques(QStringLiteral("Параметры конфигурации не прочитаны"), QString());
        return;
    }
    auto rec = std::make_unique<Cnf_Rec>();
    New_Cnf(*rec);
    Fill_Config(*rec);
    wait.reset();
    // The save dialog is the user's: the normal cursor while it is open.
    hourglass.reset();
    Save_Cnf(m, *rec);
    if (m) m->Update_Menu();
}

void Install_Config_Commands(TFormMain *m)
{
    if (!m) return;
    m->Set_Handler(QStringLiteral("NNewcnf"), [m](QAction *) { NParCnfClick(m, 0); });
    m->Set_Handler(QStringLiteral("NEditcnf"), [m](QAction *) { NParCnfClick(m, 1); });
    m->Set_Handler(QStringLiteral("Nrdcnf"), [m](QAction *) { NrdcnfClick(m); });
    Enable_Editor_Items(m);
}
