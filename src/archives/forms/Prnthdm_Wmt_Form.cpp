#include "archives/forms/Prnthdm_Wmt_Form.h"

#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "messages/forms/Ques_prn.h"

#include <QAbstractItemModel>
#include <cstring>
#include <exception>

bool TFormPrnHDM_Wmt::Prepare_Report(uint8_t kind)
{
    if (!Header || !Grid || !Is_Wmt_Report_Kind(kind)) return false;
    Hourglass wait;
    return Build_Wmt_Report(kind, *Header, Heading, Wmt_Rows_From_Model(*Grid), Report);
}

Rep_Print_Result TFormPrnHDM_Wmt::Preview(QWidget *owner) { return Rep_Preview(owner, Report); }

QList<QStringList> Wmt_Rows_From_Model(const QAbstractItemModel &m)
{
    QList<QStringList> rows;
    const int n = m.rowCount();
    const int cols = m.columnCount();
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        QStringList row;
        for (int c = 0; c < WMT_COLS; ++c)
            row << (c < cols ? m.data(m.index(i, c), Qt::DisplayRole).toString() : QString());
        rows << row;
    }
    return rows;
}

Rep_Print_Result Print_Wmt_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                const QAbstractItemModel &grid)
{
    char heading[REP_HEADING_SIZE] = {};
    {
        TFormQues_Prn q(owner);
        q.Header = &header;
        q.Report_Kind = kind;
        Run_Dialog(q);
        if (q.Ok != 1) return Rep_Print_Result::Cancelled;
        std::memcpy(heading, q.Heading, REP_HEADING_SIZE);
    }

    Rep_Print_Result res = Rep_Print_Result::Failed;
    try {
        TFormPrnHDM_Wmt f;
        f.Header = &header;
        f.Grid = &grid;
        f.Heading = heading;
        if (f.Prepare_Report(kind)) res = f.Preview(owner);
    } catch (const std::exception &) {
        res = Rep_Print_Result::Failed;
    }
    if (res == Rep_Print_Result::Failed) {
        Ques_Kind = 1;
        Show_Ques(QStringLiteral("Ошибка печати данных"), QString());
    }
    return res;
}
