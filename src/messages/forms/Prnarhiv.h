#pragma once
// Printing of reports made of bands (messages/Repklass.h): drawing on any paged device
// (printer, PDF, preview), printing with a fall-back to the print dialog when no printer is
// set up, the modal preview, and the printed message lists with their heading dialog.
#include "archives/Arhiv.h"
#include "messages/Repklass.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QPrinterInfo>
#include <QStringList>
#include <functional>
#include <vector>

class QAbstractItemModel;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

// A4 portrait with the report's margins in millimetres.
void Rep_Setup_Page(QPagedPaintDevice *dev, const Rep_Page_Setup &page);
// Told before each sheet is drawn: its number (from 1) and the number of sheets.
using Rep_Page_Hook = std::function<void(int page, int pages)>;
// Draws every sheet on a painter already begun on dev (its page layout set by
// Rep_Setup_Page), starting new pages through dev.
void Rep_Render(const Rep_Report &r, QPainter &p, QPagedPaintDevice *dev, const Rep_Page_Hook &on_page = {},
                const Rep_Job &job = {});
// Sets the page up, begins a painter on dev and draws; false when the painter cannot begin.
bool Rep_Render(const Rep_Report &r, QPagedPaintDevice *dev, const Rep_Page_Hook &on_page = {},
                const Rep_Job &job = {});
// The same with a progress window ("Лист n из N") over owner while the sheets are drawn and
// sent: what printing and the preview use.
bool Rep_Render_Shown(QWidget *owner, const Rep_Report &r, QPagedPaintDevice *dev, const Rep_Job &job = {});
// The sheets a printer's job asks for: its page range, and for a printer that makes no copies
// of its own (a PDF file) the copies, their collation and the last sheet first.
Rep_Job Rep_Job_Of(const QPrinter &pr);
// Prints on pr as its job asks. A PDF file is written whole or not at all: the old file of
// that name stays when anything fails. False when nothing was printed.
bool Rep_Output(QWidget *owner, const Rep_Report &r, QPrinter *pr);
// The font a cell's texts are printed in.
QFont Rep_Cell_Font(const Rep_Font &f);

// One text as it is printed: the whole text and the part shown (cut at the cell's edge where
// it does not fit), its font, the line's box and the clip the cell and its band allow.
struct Rep_Drawn_Text {
    int page;
    QString text;
    QString shown;
    QFont font;
    QRectF line;
    QRectF clip;
    int flags;
    QPointF at;   // where the shown text's baseline starts
};
// Every text of the report as Rep_Render draws it on dev, page by page.
std::vector<Rep_Drawn_Text> Rep_Texts(const Rep_Report &r, const QPaintDevice *dev);

enum class Rep_Print_Result : uint8_t { Printed, Cancelled, Failed };

// Straight to the given printer; with a null printer (none set up) the print dialog is shown
// (it offers a PDF file). The dialog goes through Run_Dialog.
Rep_Print_Result Rep_Print(QWidget *owner, const Rep_Report &r, const QPrinterInfo &printer);
// The same with the system's default printer.
Rep_Print_Result Rep_Print(QWidget *owner, const Rep_Report &r);
// The modal preview (through Run_Dialog), from which the user prints.
Rep_Print_Result Rep_Preview(QWidget *owner, const Rep_Report &r);

// The printed message list: prepared from the viewer's rows and printed.
class TFormPrnArhiv {
public:
    uint8_t Report_Kind = REP_KIND_ALA;              // 3 or 4
    const Arhiv_Header *Header = nullptr;
    const char *Heading = nullptr;                   // 41 bytes from the heading dialog
    const QList<QStringList> *Grid = nullptr;        // per row the texts of columns 1..7
    Rep_Report Report;

    // False when an input is missing or the kind is not a message list.
    bool Prepare_Arhiv_Report();
    Rep_Print_Result Print(QWidget *owner);
};

// Grid columns 1..7 of every row of a viewer's model (column 0 is the margin, not printed).
QList<QStringList> Msg_Rows_From_Model(const QAbstractItemModel &m);

// The viewer's "Печать": the heading dialog for kind (3 or 4) and header; when accepted, the
// report of rows (texts of grid columns 1..7 per row) is printed. A failure is shown as
// "Ошибка печати данных". Printed, Cancelled (heading or print dialog cancelled) or Failed.
Rep_Print_Result Print_Message_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                    const QList<QStringList> &rows);
// The same for a viewer's model.
Rep_Print_Result Print_Message_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                    const QAbstractItemModel &grid);
