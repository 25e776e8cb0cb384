#include "messages/forms/Prnarhiv.h"

#include "archives/Arhiv_File.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Window_Place.h"
#include "messages/forms/Fixed_Page.h"
#include "messages/forms/Ques_prn.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsView>
#include <QLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>
#include <QScreen>
#include <QToolBar>
#include <cstring>
#include <exception>

namespace {

// Report units to device pixels.
struct Scale {
    qreal x;
    qreal y;
    QRectF Rect(qreal left, qreal top, qreal w, qreal h) const { return QRectF(left * x, top * y, w * x, h * y); }
};

Scale Scale_Of(const Rep_Report &r, const QPaintDevice *dev)
{
    const qreal per_inch = r.page.units_per_inch > 0 ? r.page.units_per_inch : 96.0;
    return Scale{dev->logicalDpiX() / per_inch, dev->logicalDpiY() / per_inch};
}

void draw_frame(QPainter &p, const QRectF &r, uint8_t frame)
{
    if (frame & REP_FRAME_LEFT) p.drawLine(r.topLeft(), r.bottomLeft());
    if (frame & REP_FRAME_TOP) p.drawLine(r.topLeft(), r.topRight());
    if (frame & REP_FRAME_RIGHT) p.drawLine(r.topRight(), r.bottomRight());
    if (frame & REP_FRAME_BOTTOM) p.drawLine(r.bottomLeft(), r.bottomRight());
}

// A band is cut at the bottom of the printable area, never moved off it.
QRectF Band_Rect(const Rep_Report &r, const Scale &s, const Rep_Placed &pl)
{
    const int h = qMin(pl.band->height, qMax(0, r.page.Height_Units() - pl.top));
    return s.Rect(0, pl.top, r.page.Width_Units(), h);
}

void Cell_Texts(const Scale &s, const Rep_Cell &c, qreal band_top, const QRectF &band_rect, int page,
                const QPaintDevice *dev, std::vector<Rep_Drawn_Text> &out)
{
    if (c.lines.isEmpty() && !c.page_number) return;
    const QRectF rect = s.Rect(c.left, band_top + c.top, c.width, c.height);
    const QRectF clip = rect.intersected(band_rect);
    const QFont font = Rep_Cell_Font(c.font);
    const QFontMetricsF fm(font, dev);
    const qreal pad = s.x;   // one unit from the side a text leans on
    const QRectF text_area = rect.adjusted(pad, 0, -pad, 0);
    const Qt::Alignment h = c.align & Qt::AlignHorizontal_Mask;
    const int count = c.page_number ? 1 : int(c.lines.size());
    for (int i = 0; i < count; ++i) {
        const qreal top = rect.top() + i * c.line_height * s.y;
        if (top >= rect.bottom()) break;
        const QString text = c.page_number ? QString::number(page) : c.lines[i];
        if (text.isEmpty()) continue;
        const QRectF line(text_area.left(), top, text_area.width(), c.line_height * s.y);
        // A text a little too wide for its cell in the face found here is set a little smaller
        // (down to three quarters of its size); what still does not fit is cut at the edge:
        // the longest beginning that fits. Most texts fit: measured once (long lists print
        // thousands of lines).
        QFont line_font = font;
        QString shown = text;
        qreal w = fm.horizontalAdvance(text), ascent = fm.ascent();
        if (w > line.width()) {
            for (qreal pt = font.pointSizeF() - 0.25;
                 QFontMetricsF(line_font, dev).horizontalAdvance(text) > line.width() && pt >= font.pointSizeF() * 0.75;
                 pt -= 0.25)
                line_font.setPointSizeF(pt);
            if (QFontMetricsF(line_font, dev).horizontalAdvance(text) > line.width()) line_font = font;
            const QFontMetricsF lfm(line_font, dev);
            if (lfm.horizontalAdvance(text) > line.width()) {
                qsizetype lo = 0, hi = text.size();
                while (lo < hi) {
                    const qsizetype mid = (lo + hi + 1) / 2;
                    if (lfm.horizontalAdvance(text.left(mid)) <= line.width()) lo = mid;
                    else hi = mid - 1;
                }
                if (lo > 0 && text.at(lo - 1).isHighSurrogate()) --lo;
                shown = text.left(lo);
            }
            w = lfm.horizontalAdvance(shown);
            ascent = lfm.ascent();
        }
        qreal x = line.left();
        if (h & Qt::AlignRight) x = line.right() - w;
        else if (h & Qt::AlignHCenter) x = line.left() + (line.width() - w) / 2;
        out.push_back(Rep_Drawn_Text{page, text, shown, line_font, line, clip, int(h | Qt::AlignTop | Qt::TextSingleLine),
                                     QPointF(x, top + ascent)});
    }
}

// Qt opens the preview at two thirds of the screen, where a small screen hides the end of
// its toolbar, the print button included, behind "»". It is as wide as its whole toolbar and
// shows the page as tall as the screen's free area allows.
void Fit_Preview(QPrintPreviewDialog &dlg)
{
    dlg.ensurePolished();
    const QToolBar *bar = dlg.findChild<QToolBar *>();
    const QScreen *scr = dlg.screen();
    if (!bar || !scr || !dlg.layout()) return;
    const QMargins in = dlg.layout()->contentsMargins();
    const QRect avail = scr->availableGeometry();
    const int w = bar->sizeHint().width() + in.left() + in.right();
    dlg.resize(Fit_Window(QRect(avail.topLeft(), QSize(w, avail.height())), avail, Frame_Margins(&dlg)).size());
}

// The page view takes the focus (its arrow keys scroll the pages) and is a Tab stop, but draws
// no focus of its own: framed in the selection colour while it has it, as a focused text box
// is, and the preview opens with the focus on it.
void Show_Preview_Focus(QPrintPreviewDialog &dlg)
{
    auto *preview = dlg.findChild<QPrintPreviewWidget *>();
    auto *view = preview ? preview->findChild<QGraphicsView *>() : nullptr;
    if (!view) return;
    // The frame keeps its width, so that the page is not fitted anew as the focus comes and goes.
    view->setStyleSheet(QStringLiteral("QGraphicsView { border: 2px solid palette(window); }"
                                       "QGraphicsView:focus { border: 2px solid palette(highlight); }"));
    preview->setFocusProxy(view);
}

// Qt's print dialog asks a question of its own before a PDF file is replaced: the program asks
// the one every save of it asks, and "Нет" leaves the dialog open for another name. Qt's other
// checks of the fields (a directory, a file that cannot be written, the printer's options)
// still run on the print button. Left as it is where that check cannot be found.
void Ask_Before_Replacing(QPrintDialog &dlg)
{
    auto *buttons = dlg.findChild<QDialogButtonBox *>();
    if (!buttons || dlg.property("Replace_Asked").isValid() ||
        dlg.metaObject()->indexOfMethod("_q_checkFields()") < 0 ||
        !QObject::disconnect(buttons, &QDialogButtonBox::accepted, &dlg, nullptr))
        return;
    dlg.setProperty("Replace_Asked", true);
    QPrintDialog *d = &dlg;
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, [d] {
        const auto *file = d->findChild<QLineEdit *>(QStringLiteral("filename"));
        const QFileInfo fi(file && file->isEnabled() ? file->text() : QString());
        if (!fi.isFile() || !fi.isWritable()) {
            QMetaObject::invokeMethod(d, "_q_checkFields");
            return;
        }
        const QPointer<QPrintDialog> alive(d);
        Ques_Kind = 3;
        Show_Ques(Arh_Replace_Line1(fi.filePath()), Arh_Replace_Line2());
        if (alive && Ques_Answer == 1) d->accept();
    });
}

// Qt's print dialogs open others of their own: the preview its print dialog and page setup,
// the print dialog its printer properties. Each is set up as it is shown: the program's
// question before a file is replaced, and the fixed page not offered for change.
class Print_Dialog_Hook : public QObject {
public:
    Print_Dialog_Hook() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::Show) return false;
        if (auto *d = qobject_cast<QPrintDialog *>(o)) Ask_Before_Replacing(*d);
        else if (auto *d = qobject_cast<QDialog *>(o)) Lock_Page_Setup(d);
        return false;
    }
};

} // namespace

QFont Rep_Cell_Font(const Rep_Font &f)
{
    // Where the named face is missing its stand-in is wider than the cells were made for:
    // a condensed face follows the named one, so that the texts fit as designed.
    QFont font;
    font.setFamilies({f.family, QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(f.family.contains(QLatin1String("Courier")) ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(f.size > 0 ? f.size : 8);
    font.setBold(f.bold);
    return font;
}

std::vector<Rep_Drawn_Text> Rep_Texts(const Rep_Report &r, const QPaintDevice *dev)
{
    std::vector<Rep_Drawn_Text> out;
    if (!dev) return out;
    const Scale s = Scale_Of(r, dev);
    const std::vector<Rep_Sheet> sheets = Rep_Layout(r);
    for (size_t i = 0; i < sheets.size(); ++i)
        for (const Rep_Placed &pl : sheets[i].bands) {
            const QRectF band_rect = Band_Rect(r, s, pl);
            for (const Rep_Cell &c : pl.band->cells) Cell_Texts(s, c, pl.top, band_rect, int(i) + 1, dev, out);
        }
    return out;
}

void Rep_Setup_Page(QPagedPaintDevice *dev, const Rep_Page_Setup &page)
{
    if (!dev) return;
    dev->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(page.left_mm, page.top_mm, page.right_mm, page.bottom_mm),
                                   QPageLayout::Millimeter));
}

void Rep_Render(const Rep_Report &r, QPainter &p, QPagedPaintDevice *dev, const Rep_Page_Hook &on_page,
                const Rep_Job &job)
{
    const Scale s = Scale_Of(r, p.device());
    const std::vector<Rep_Sheet> sheets = Rep_Layout(r);
    const std::vector<Rep_Drawn_Text> texts = Rep_Texts(r, p.device());
    // The texts come page by page: where each page's begin.
    std::vector<size_t> first(sheets.size() + 1, texts.size());
    for (size_t t = texts.size(); t-- > 0;)
        if (texts[t].page >= 1 && size_t(texts[t].page) <= sheets.size()) first[size_t(texts[t].page) - 1] = t;
    for (size_t i = sheets.size(); i-- > 0;) first[i] = std::min(first[i], first[i + 1]);
    const std::vector<int> order = Rep_Sheet_Order(int(sheets.size()), job);

    QPen pen(Qt::black);
    pen.setWidthF(0.75 * s.x);
    for (size_t n = 0; n < order.size(); ++n) {
        const size_t i = size_t(order[n]) - 1;
        if (n > 0 && dev) dev->newPage();
        if (on_page) on_page(int(n) + 1, int(order.size()));
        p.setPen(pen);
        for (const Rep_Placed &pl : sheets[i].bands) {
            const Rep_Band &b = *pl.band;
            if (b.frame) draw_frame(p, Band_Rect(r, s, pl), b.frame);
            for (const Rep_Cell &c : b.cells)
                if (c.frame) draw_frame(p, s.Rect(c.left, pl.top + c.top, c.width, c.height), c.frame);
        }
        // Placed by their own advance, the texts need no second layout, and the clip and
        // font change only between cells (long lists print thousands of lines).
        QRectF clip;
        for (size_t t = first[i]; t < texts.size() && texts[t].page == int(i) + 1; ++t) {
            const Rep_Drawn_Text &d = texts[t];
            if (d.clip != clip) {
                clip = d.clip;
                p.setClipRect(clip);
            }
            if (d.font != p.font()) p.setFont(d.font);
            p.drawText(d.at, d.shown);
        }
        p.setClipping(false);
    }
}

bool Rep_Render(const Rep_Report &r, QPagedPaintDevice *dev, const Rep_Page_Hook &on_page, const Rep_Job &job)
{
    if (!dev) return false;
    Rep_Setup_Page(dev, r.page);
    QPainter p;
    if (!p.begin(dev)) return false;
    Rep_Render(r, p, dev, on_page, job);
    return p.end();
}

bool Rep_Render_Shown(QWidget *owner, const Rep_Report &r, QPagedPaintDevice *dev, const Rep_Job &job)
{
    // Long lists take a while on paper: the user sees how far it has gone. The window is
    // modal and has nothing to cancel; the pages already sent cannot be taken back.
    QProgressDialog progress(owner);
    progress.setObjectName(QStringLiteral("Rep_Progress"));
    progress.setWindowTitle(QStringLiteral("Печать"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    const bool ok = Rep_Render(r, dev, [&progress](int page, int pages) {
        progress.setRange(0, pages);
        progress.setValue(page - 1);
        progress.setLabelText(QStringLiteral("Лист %1 из %2").arg(page).arg(pages));
        if (!progress.isVisible()) progress.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }, job);
    progress.close();
    return ok;
}

Rep_Job Rep_Job_Of(const QPrinter &pr)
{
    Rep_Job job;
    if (pr.printRange() == QPrinter::PageRange && pr.fromPage() > 0) {
        job.from = pr.fromPage();
        job.to = std::max(pr.toPage(), pr.fromPage());
    }
    // A printer system makes the copies, their collation and their order itself; for a
    // file nobody else does.
    if (!pr.supportsMultipleCopies()) {
        job.copies = pr.copyCount();
        job.collate = pr.collateCopies();
        job.last_first = pr.pageOrder() == QPrinter::LastPageFirst;
    }
    return job;
}

bool Rep_Output(QWidget *owner, const Rep_Report &r, QPrinter *pr)
{
    if (!pr) return false;
    const Rep_Job job = Rep_Job_Of(*pr);
    // A range past the last sheet prints nothing, and leaves a file of that name alone.
    if (Rep_Sheet_Order(int(Rep_Layout(r).size()), job).empty()) return false;
    if (pr->outputFormat() != QPrinter::PdfFormat) return Rep_Render_Shown(owner, r, pr, job);
    // Qt's printer writes a PDF file straight over the old one, and an error on the way (a full
    // disk) leaves it empty without a word: the file is made aside and replaces the old one
    // only when whole.
    if (pr->outputFileName().isEmpty()) return false;
    QSaveFile f(pr->outputFileName());
    if (!f.open(QIODevice::WriteOnly)) return false;
    bool ok;
    {
        QPdfWriter w(&f);
        w.setPdfVersion(pr->pdfVersion());
        w.setResolution(pr->resolution());
        w.setTitle(pr->docName());
        w.setCreator(pr->creator());
        ok = Rep_Render_Shown(owner, r, &w, job);
    }
    if (!ok) {
        f.cancelWriting();
        return false;
    }
    return Commit_Save(f);
}

Rep_Print_Result Rep_Print(QWidget *owner, const Rep_Report &r, const QPrinterInfo &info)
{
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        if (!printer.isValid()) return Rep_Print_Result::Failed;
        Hourglass wait;
        return Rep_Output(owner, r, &printer) ? Rep_Print_Result::Printed : Rep_Print_Result::Failed;
    }
    // No printer set up: the print dialog lets the user choose one or a PDF file.
    QPrinter printer(QPrinter::HighResolution);
    Rep_Setup_Page(&printer, r.page);
    QPrintDialog dlg(&printer, owner);
    dlg.setMinMax(1, std::max(int(Rep_Layout(r).size()), 1));
    Ask_Before_Replacing(dlg);
    Print_Dialog_Hook hook;
    if (Run_Dialog(dlg) != QDialog::Accepted) return Rep_Print_Result::Cancelled;
    Hourglass wait;
    return Rep_Output(owner, r, &printer) ? Rep_Print_Result::Printed : Rep_Print_Result::Failed;
}

Rep_Print_Result Rep_Print(QWidget *owner, const Rep_Report &r)
{
    return Rep_Print(owner, r, QPrinterInfo::defaultPrinter());
}

Rep_Print_Result Rep_Preview(QWidget *owner, const Rep_Report &r)
{
    QPrinter printer(QPrinter::HighResolution);
    Rep_Setup_Page(&printer, r.page);
    QPrintPreviewDialog dlg(&printer, owner);
    Hide_Page_Controls(dlg);   // before it is fitted to its toolbar
    Fit_Preview(dlg);
    Show_Preview_Focus(dlg);
    Print_Dialog_Hook hook;
    bool ok = true;
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&](QPrinter *pr) {
        // The preview draws its pages into pictures it is showing: no events may run while
        // it does. Printing from it (a real paint engine) shows the progress window.
        const bool to_screen = pr->paintEngine() && pr->paintEngine()->type() == QPaintEngine::Picture;
        if (!(to_screen ? Rep_Render(r, pr) : Rep_Output(&dlg, r, pr))) ok = false;
    });
    Run_Dialog(dlg);
    return ok ? Rep_Print_Result::Printed : Rep_Print_Result::Failed;
}

bool TFormPrnArhiv::Prepare_Arhiv_Report()
{
    if (!Header || !Grid || !Is_Msg_Report_Kind(Report_Kind)) return false;
    Hourglass wait;
    Report = Build_Arhiv_Report(Report_Kind, *Header, Heading, *Grid);
    return true;
}

Rep_Print_Result TFormPrnArhiv::Print(QWidget *owner) { return Rep_Print(owner, Report); }

QList<QStringList> Msg_Rows_From_Model(const QAbstractItemModel &m)
{
    QList<QStringList> rows;
    const int n = m.rowCount();
    const int cols = m.columnCount();
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        QStringList row;
        for (int c = 1; c <= REP_MSG_COLUMNS; ++c)
            row << (c < cols ? m.data(m.index(i, c), Qt::DisplayRole).toString() : QString());
        rows << row;
    }
    return rows;
}

Rep_Print_Result Print_Message_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                    const QList<QStringList> &rows)
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
        TFormPrnArhiv f;
        f.Report_Kind = kind;
        f.Header = &header;
        f.Heading = heading;
        f.Grid = &rows;
        if (f.Prepare_Arhiv_Report()) res = f.Print(owner);
    } catch (const std::exception &) {
        res = Rep_Print_Result::Failed;
    }
    if (res == Rep_Print_Result::Failed) {
        Ques_Kind = 1;
        Show_Ques(QStringLiteral("Ошибка печати данных"), QString());
    }
    return res;
}

Rep_Print_Result Print_Message_List(QWidget *owner, uint8_t kind, const Arhiv_Header &header,
                                    const QAbstractItemModel &grid)
{
    return Print_Message_List(owner, kind, header, Msg_Rows_From_Model(grid));
}
