#include "archives/forms/Arh_Read_Form.h"

#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Wait_Form.h"
#include "messages/forms/Period.h"
#include "messages/forms/Shortdt.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QThread>
#include <array>

namespace {
std::array<Arh_Viewer, ARH_READER_COUNT> g_viewers;
std::array<bool, ARH_READER_COUNT> g_installed{};
QPointer<TFormMain> g_main;   // the window whose commands were installed

void Install_One(TFormMain *main, Arh_Reader r)
{
    const size_t i = size_t(r);
    if (!main || g_installed[i]) return;
    g_installed[i] = true;
    main->Set_Handler(QLatin1String(Reader_Info(r).menu_item), [main, r](QAction *) { Run_Archive_Reader(main, r); });
}
} // namespace

Arh_Form_Ui::Arh_Form_Ui(TFormMain *main) : Main(main) {}

Arh_Form_Ui::~Arh_Form_Ui()
{
    Wait_End();
    while (Busy_Depth > 0) Busy(false);
}

void Arh_Form_Ui::Busy(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++Busy_Depth;
    } else if (Busy_Depth > 0) {
        QApplication::restoreOverrideCursor();
        --Busy_Depth;
    }
}

bool Arh_Form_Ui::Ask_Period(Date6 &start, Date6 &end)
{
    TFormPeriod f(Main);
    Run_Dialog(f);
    if (f.Ok != 1) return false;
    start = f.Start;
    end = f.End;
    return true;
}

bool Arh_Form_Ui::Ask_Short_Period(const Arh_Range &range, uint8_t kind, Date6 &start, Date6 &end)
{
    TFormShortDate f(Main);
    f.Range = &range;
    f.Kind = kind;
    Run_Dialog(f);
    if (f.Ok != 1) return false;
    start = f.Start;
    end = f.End;
    return true;
}

void Arh_Form_Ui::Wait_Begin(int maximum)
{
    Wait_End();
    Wait = new TFormWait(Main);
    Wait->Wait_Mode = 1;
    Wait->ProgressBar1->setRange(0, std::max(maximum, 1));
    Wait->ProgressBar1->setValue(0);
    // No other command may start while the read runs; the wait form is a window of its
    // own, so it stays usable and Esc pressed on it reaches the application filter.
    if (Main) Main->setEnabled(false);
    Wait->show();
    Wait->raise();
    Wait->activateWindow();
    Wait->repaint();
}

void Arh_Form_Ui::Wait_Progress(int block_index, int position, int maximum)
{
    (void)block_index;
    if (!Wait) return;
    if (Wait->ProgressBar1->maximum() != maximum) Wait->ProgressBar1->setMaximum(std::max(maximum, 1));
    Wait->ProgressBar1->setValue(position);
    Wait->ProgressBar1->repaint();
}

void Arh_Form_Ui::Wait_End()
{
    const bool had = !Wait.isNull();
    delete Wait.data();
    Wait = nullptr;
    if (had && Main) {
        Main->setEnabled(true);
        Main->activateWindow();
        Main->setFocus();
    }
}

void Arh_Form_Ui::Status(const QString &text)
{
    if (!Main || !Main->StatusBar1) return;
    Main->StatusBar1->Set_Text(2, text);
    Main->StatusBar1->repaint();
}

void Arh_Form_Ui::Start_Message_Timer()
{
    if (Main) Main->TimerMessage.start();
}

void Arh_Form_Ui::Process_Events() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Arh_Form_Ui::Pause_Ms(int ms)
{
    // The full bar is shown for a moment; events are served meanwhile, Esc no longer counts.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void Set_Archive_Viewer(Arh_Reader r, Arh_Viewer viewer)
{
    const size_t i = size_t(r);
    if (i >= g_viewers.size()) return;
    g_viewers[i] = std::move(viewer);
    // A viewer plugged in after the commands were installed gets its command now.
    if (g_viewers[i] && g_main) Install_One(g_main, r);
}

bool Has_Archive_Viewer(Arh_Reader r)
{
    const size_t i = size_t(r);
    return i < g_viewers.size() && bool(g_viewers[i]);
}

void Run_Archive_Reader(TFormMain *main, Arh_Reader r)
{
    if (!Has_Archive_Viewer(r)) return;
    std::optional<Arh_Read_Result> res;
    {
        Arh_Form_Ui ui(main);
        res = Read_Archive(r, ui);
    }
    if (!res || !Has_Archive_Viewer(r)) return;
    g_viewers[size_t(r)](*res);
}

void Install_Archive_Commands(TFormMain *main)
{
    if (!main) return;
    if (g_main != main) g_installed.fill(false);
    g_main = main;
    for (int i = 0; i < ARH_READER_COUNT; ++i)
        if (Has_Archive_Viewer(Arh_Reader(i))) Install_One(main, Arh_Reader(i));
}
