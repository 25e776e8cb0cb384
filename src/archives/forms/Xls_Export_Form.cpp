#include "archives/forms/Xls_Export_Form.h"

#include "archives/forms/Save_Arhiv.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Focus_Back.h"
#include "core/forms/Wait_Form.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <memory>

namespace {
bool g_meas_export = false;

void message(uint32_t kind, const QString &line1, const QString &line2 = QString())
{
    Ques_Kind = kind;
    Show_Ques(line1, line2);
}
} // namespace

void Set_Meas_Xls_Export(bool on) { g_meas_export = on; }
bool Meas_Xls_Export_On() { return g_meas_export; }

Xls_Grid Xls_Grid_Of(const QString &caption, const Arhiv_Header &h, const QAbstractItemModel &m,
                     const float *avg)
{
    Xls_Grid g;
    g.caption = caption;
    g.cols = m.columnCount();
    g.rows = m.rowCount();
    const QAbstractItemModel *model = &m;
    g.heading = [model](int col, int line) {
        return model->headerData(col, Qt::Horizontal).toString().section(u'\n', line, line);
    };
    g.cell = [model](int row, int col) { return model->index(row, col).data().toString(); };
    g.decimals = [h](int i) { return Param_Decimals(h, i); };
    g.avg = avg;
    return g;
}

bool Export_Xls(QWidget *viewer, Xls_Viewer v, const Arhiv_Header &h, const Xls_Grid &g)
{
    Save_Dialog_Setup s;
    s.title = QStringLiteral("Введите имя файла для сохранения данных");
    s.dir = Xls_Dir(v);
    s.filter = QStringLiteral("DataFiles (*.xlsx)");
    s.ext = QStringLiteral(".xlsx");
    s.proposed = Xls_Default_Name(v, s.dir, h, QDate::currentDate());

    // A workbook is not replaced unasked: the question every save of the program asks.
    File_Dialog_Save_Ui ui(viewer);
    const std::optional<QString> chosen = Choose_Save_Path(s, ui, Xls_Apply_Ext);
    if (!chosen) return false;
    const QString path = *chosen;

    const int rows = std::max(g.rows, 0);
    // The viewer is disabled while the workbook is written: its button gets the focus back.
    Focus_Keeper keep(viewer ? viewer->focusWidget() : nullptr);
    ui.Busy(true);
    auto wait = std::make_unique<TFormWait>(viewer);
    wait->Wait_Mode = 4;
    wait->ProgressBar1->setRange(0, rows + 8);
    wait->ProgressBar1->setValue(0);
    const QPointer<QWidget> owner(viewer);
    if (owner) owner->setEnabled(false);
    // Modal over the (disabled) viewer, so that the outcome message told while it is up is
    // owned by it and comes up in front of it rather than behind.
    wait->setWindowModality(Qt::ApplicationModal);
    wait->show();
    wait->repaint();
    QProgressBar *bar = wait->ProgressBar1;
    const auto advance = [bar](int by) { bar->setValue(std::min(bar->value() + by, bar->maximum())); };

    advance(5);   // workbook, widths, title and heading rows, data look
    // Once per cell; the bar stops at its maximum.
    const Xls_Sheet sheet = Build_Xls_Sheet(v, g, [&](int) { advance(1); });
    const Xls_Write w = Write_Xls(path, sheet);
    advance(1);

    // The outcome is told while the wait form is still up; then the viewer is given back.
    if (w == Xls_Write::Ok) message(6, QStringLiteral("Данные сохранены в файле %1").arg(QFileInfo(path).fileName()));
    else message(6, QStringLiteral("Ошибка работы с файлом!"));

    ui.Busy(false);
    wait.reset();
    if (owner) {
        owner->setEnabled(true);
        keep.Restore();
        owner->raise();
        owner->activateWindow();
    }
    return w == Xls_Write::Ok;
}

void Attach_Xls_Export(QDialog *viewer, QPushButton *button, Xls_Viewer v, const Arhiv_Header &h,
                       const QAbstractItemModel *model, std::function<const float *()> avg)
{
    if (!viewer || !button || !model) return;
    const QPointer<const QAbstractItemModel> m(model);
    QObject::connect(button, &QPushButton::clicked, viewer, [viewer, v, h, m, avg] {
        if (!m) return;
        Export_Xls(viewer, v, h, Xls_Grid_Of(viewer->windowTitle(), h, *m, avg ? avg() : nullptr));
    });
    button->setEnabled(true);
}
