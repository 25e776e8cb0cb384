#include "archives/forms/Xls_report.h"

#include "archives/Objects_list.h"
#include "archives/Xlsx_Template.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
void File_Error()
{
    Ques_Kind = 1;
    Show_Ques(QStringLiteral("Ошибка работы с файлом!"), QString());
}
} // namespace

TFormXls_Report::TFormXls_Report(QWidget *owner) : QDialog(owner)
{
    setObjectName("FormXls_Report");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // A wait window like the exchange's own: without a title of its own the window manager
    // would show the program's file name.
    setWindowTitle(QStringLiteral("..."));
    auto *v = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Ожидайте..."), this);
    Label2 = new QLabel(QStringLiteral("Выполняется формирование"), this);
    Label3 = new QLabel(QStringLiteral("отчета в формате Excel"), this);
    for (QLabel *l : {Label1, Label2, Label3}) {
        l->setAlignment(Qt::AlignCenter);
        v->addWidget(l);
    }
    Label1->setObjectName("Label1");
    Label2->setObjectName("Label2");
    Label3->setObjectName("Label3");
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, XLS_PROGRESS_MAX);
    ProgressBar1->setValue(0);
    v->addWidget(ProgressBar1);
    Timer1.setInterval(100);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TFormXls_Report::Timer1Timer);
}

void TFormXls_Report::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        resize(280, 156);
        Timer1.start();
    }
    QDialog::showEvent(e);
}

void TFormXls_Report::Timer1Timer()
{
    Timer1.stop();
    Saved.clear();
    if (!Data) {
        reject();
        return;
    }
    const Passport_Data &d = *Data;
    const QString object = Current_Object_Name(Obj_List);
    const QString name = Passport_Report_Path(d.kind, d.date, object);
    const QString shown = QFileInfo(name).fileName();
    if (QFile::exists(name)) {
        Ques_Kind = 3;
        Show_Ques(QStringLiteral("Файл отчета %1 уже есть.").arg(shown),
                  QStringLiteral("Вы хотите заменить существующий отчет?"));
        // The old report stays until the new one is written whole.
        if (Ques_Answer != 1) {
            reject();
            return;
        }
    }
    bool ok;
    {
        Hourglass h;
        QDir().mkpath(QFileInfo(name).absolutePath());
        Xlsx_Template t;
        ok = t.Open(Passport_Template_Path(d.kind));
        if (ok) {
            // One step a row written: the bar is full when the report is.
            ProgressBar1->setRange(0, Xls_Progress_Steps(d));
            ProgressBar1->setValue(0);
            auto step = [this] {
                ProgressBar1->setValue(std::min(ProgressBar1->value() + 1, ProgressBar1->maximum()));
                ProgressBar1->repaint();
            };
            step();
            if (d.kind == PASSPORT_MON) Xls_Mon_Sheet(t, d, object, step);
            else Xls_Day_Sheet(t, d, object, step);
            ok = t.Save(name);
        }
    }
    if (!ok) {
        File_Error();
        reject();
        return;
    }
    Saved = name;
    Ques_Kind = 6;
    Show_Ques(QStringLiteral("Данные сохранены в файле %1").arg(shown), QString());
    accept();
}
