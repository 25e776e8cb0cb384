#pragma once
// The window side of "Сохранить в формате Excel" of the chromatograph archive viewers: the
// save dialog (through Run_Dialog) with the program's question before a file is replaced, the
// hourglass and the "Ожидайте..." form in mode 4 with the viewer disabled meanwhile, and the
// outcome message.
#include "archives/Xls_Export.h"

#include <functional>

class QAbstractItemModel;
class QDialog;
class QPushButton;
class QWidget;

// The viewer's grid as its model shows it: headings from the model's two-line header
// texts, cells from its display texts, decimals from the header, means from avg (null:
// none). The model must outlive the grid.
Xls_Grid Xls_Grid_Of(const QString &caption, const Arhiv_Header &h, const QAbstractItemModel &m,
                     const float *avg);

// The export: default name, dialog, ".xlsx" added to a bare name, the question before an
// existing file is replaced, the workbook written whole, "Данные сохранены в файле %s" or
// "Ошибка работы с файлом!". False when cancelled or failed.
bool Export_Xls(QWidget *viewer, Xls_Viewer v, const Arhiv_Header &h, const Xls_Grid &g);

// Connects a viewer's "Сохранить в формате Excel" button to the export of its grid
// (caption: the viewer's title at the time of the click) and enables it.
void Attach_Xls_Export(QDialog *viewer, QPushButton *button, Xls_Viewer v, const Arhiv_Header &h,
                       const QAbstractItemModel *model, std::function<const float *()> avg);

// The measurement viewer offers its export once the export is installed (see
// Install_Archive_Viewers2); until then its button stays disabled.
void Set_Meas_Xls_Export(bool on);
bool Meas_Xls_Export_On();
