#pragma once
// Runs a menu command of the main window with every dialog it opens answered by `each`
// (no modal loop); returns how many dialogs it opened.
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"

#include <QAction>
#include <functional>

inline int Run_Item(TFormMain *main, const char *item, const std::function<void(QDialog &)> &each)
{
    Scripted_Dialogs run(each);
    Dialog_Runner *old = Set_Dialog_Runner(&run);
    main->Item(QLatin1String(item))->trigger();
    Set_Dialog_Runner(old);
    return run.Count;
}
