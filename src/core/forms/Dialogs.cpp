#include "core/forms/Dialogs.h"

#include <QApplication>

namespace {
Dialog_Runner *g_runner = nullptr;
}

Dialog_Runner *Set_Dialog_Runner(Dialog_Runner *r)
{
    Dialog_Runner *old = g_runner;
    g_runner = r;
    return old;
}

int Run_Dialog(QDialog &d)
{
    if (g_runner) return g_runner->Run(d);
    return d.exec();
}

int Scripted_Dialogs::Run(QDialog &d)
{
    ++Count;
    d.setResult(QDialog::Rejected);
    d.show();
    if (Each) Each(d);
    if (d.isVisible()) d.reject();
    return d.result();
}

Hourglass::Hourglass()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Hourglass::~Hourglass()
{
    QApplication::restoreOverrideCursor();
}
