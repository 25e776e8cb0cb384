#pragma once
// The window side of every archive read: the period dialogs, the hourglass, the "Ожидайте..."
// form in mode 1 with its progress bar, the main window disabled meanwhile (Esc reaches the
// main window's filter, which sets Exch_Abort while Exch_Run is set), panel 2 of the main
// status bar and its message timer. Also the menu commands of the readers and the place
// where each archive's viewer is plugged in.
#include "archives/Arh_Readers.h"

#include <QPointer>
#include <functional>

class TFormMain;
#include "core/forms/Wait_Form.h"

class Arh_Form_Ui : public Arh_Read_Ui {
public:
    explicit Arh_Form_Ui(TFormMain *main);
    ~Arh_Form_Ui() override;
    Arh_Form_Ui(const Arh_Form_Ui &) = delete;
    Arh_Form_Ui &operator=(const Arh_Form_Ui &) = delete;

    void Busy(bool on) override;
    bool Ask_Period(Date6 &start, Date6 &end) override;
    bool Ask_Short_Period(const Arh_Range &range, uint8_t kind, Date6 &start, Date6 &end) override;
    void Wait_Begin(int maximum) override;
    void Wait_Progress(int block_index, int position, int maximum) override;
    void Wait_End() override;
    void Status(const QString &text) override;
    void Start_Message_Timer() override;
    void Process_Events() override;
    void Pause_Ms(int ms) override;

    // The wait form while a read runs (null otherwise).
    TFormWait *Wait_Form() const { return Wait; }

private:
    TFormMain *Main;
    QPointer<TFormWait> Wait;
    int Busy_Depth = 0;
};

// A viewer takes the header and the raw records (and the viewer kind in the result);
// it is shown modally and the records are freed when it returns.
using Arh_Viewer = std::function<void(const Arh_Read_Result &)>;

// Plugs in (or, with an empty function, removes) the viewer of a reader's archive. Once the
// commands are installed, plugging in a viewer attaches its reader's command at once.
void Set_Archive_Viewer(Arh_Reader r, Arh_Viewer viewer);
bool Has_Archive_Viewer(Arh_Reader r);

// One reader with the window side; its result goes to the reader's viewer.
void Run_Archive_Reader(TFormMain *main, Arh_Reader r);

// Attaches the "Чтение архива контроллера" commands of the readers whose viewer is
// plugged in; the others stay disabled until their viewer is plugged in.
void Install_Archive_Commands(TFormMain *main);
