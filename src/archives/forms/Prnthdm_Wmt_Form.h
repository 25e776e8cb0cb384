#pragma once
// Printing of the moisture-meter lists: the report prepared from the viewer's grid and shown
// in the modal preview, from which the user prints.
#include "archives/Prnthdm_Wmt.h"
#include "messages/forms/Prnarhiv.h"

#include <QList>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

class TFormPrnHDM_Wmt {
public:
    const Arhiv_Header *Header = nullptr;
    const QAbstractItemModel *Grid = nullptr;   // the viewer's grid: eight columns
    const char *Heading = nullptr;               // 41 bytes from the heading dialog
    Rep_Report Report;

    // Builds the report of the kind (6, 7 or 8); false when an input is missing or the kind
    // is not a moisture-meter list.
    bool Prepare_Report(uint8_t kind);
    uint32_t Page_Count() const { return Report.page_count; }
    Rep_Print_Result Preview(QWidget *owner);
};

// The eight cell texts of every row of a viewer's grid, as shown.
QList<QStringList> Wmt_Rows_From_Model(const QAbstractItemModel &m);

// The viewer's "Печать": the heading dialog for kind and header; when accepted, the report of
// the grid in the modal preview. A failure is shown as "Ошибка печати данных".
Rep_Print_Result Print_Wmt_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                const QAbstractItemModel &grid);
