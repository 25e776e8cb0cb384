#pragma once
// Paged reports made of bands: a page header and a page footer on every page, a title band
// once, and detail bands made at run time, one per page, whose text cells receive the list's
// rows line by line. Everything here is plain data; the forms library draws it on any painter.
//
// Positions are report units: pixels of the design (96 to the inch unless a report's page says
// otherwise, so 1 unit = 25.4/96 mm). Texts are never
// wrapped: a cell shows one line per entry and cuts what does not fit at its edges, so the line
// counts that paginate a report hold on paper.
#include "archives/Arhiv.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

// Report kinds, as the viewers and the heading dialog name them.
constexpr uint8_t REP_KIND_ALA = 3;        // diagnostic messages
constexpr uint8_t REP_KIND_AUD = 4;        // operator-intervention messages
constexpr uint8_t REP_KIND_WMT_HOUR = 6;   // moisture meter, hourly data
constexpr uint8_t REP_KIND_WMT_DAY = 7;    // moisture meter, daily data
constexpr uint8_t REP_KIND_WMT_MOM = 8;    // moisture meter, momentary data

constexpr int REP_HEADING_SIZE = 41;       // organisation name, 1251, zero-padded
constexpr int REP_MSG_COLUMNS = 7;         // grid columns 1..7 of a message list
constexpr int REP_LINE_HEIGHT = 13;        // one line of a message table cell

constexpr double REP_A4_WIDTH_MM = 210.0;
constexpr double REP_A4_HEIGHT_MM = 297.0;

enum Rep_Frame : uint8_t {
    REP_FRAME_NONE = 0,
    REP_FRAME_LEFT = 1,
    REP_FRAME_TOP = 2,
    REP_FRAME_RIGHT = 4,
    REP_FRAME_BOTTOM = 8,
    REP_FRAME_ALL = 15,
};

struct Rep_Font {
    QString family = QStringLiteral("MS Sans Serif");
    int size = 8;          // points
    bool bold = false;
};

// A label (one line) or a memo (lines appended one by one). Place relative to its band.
struct Rep_Cell {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QStringList lines;
    Qt::Alignment align = Qt::AlignLeft;
    Rep_Font font;
    uint8_t frame = REP_FRAME_NONE;
    int line_height = REP_LINE_HEIGHT;
    bool page_number = false;   // shows the number of the page it is printed on
};

enum class Rep_Band_Kind : uint8_t { Page_Header, Title, Detail, Page_Footer };

struct Rep_Band {
    Rep_Band() = default;
    Rep_Band(Rep_Band_Kind k, int h) : kind(k), height(h) {}
    Rep_Band_Kind kind = Rep_Band_Kind::Detail;
    int height = 0;
    uint8_t frame = REP_FRAME_NONE;
    bool new_page = false;      // starts a new page (a detail band after the first)
    std::vector<Rep_Cell> cells;
    // Appends a cell and returns its index in cells.
    int Add(const Rep_Cell &c);
};

// A4 portrait, margins in millimetres.
struct Rep_Page_Setup {
    double left_mm = 10;
    double right_mm = 10;
    double top_mm = 10;
    double bottom_mm = 10;
    double units_per_inch = 96;   // scale of the report units on paper
    int Width_Units() const;    // printable width
    int Height_Units() const;   // printable height
};

// The report: design-time bands and the run-time bands in print order.
struct Rep_Report {
    Rep_Page_Setup page;
    Rep_Band page_header{Rep_Band_Kind::Page_Header, 0};
    Rep_Band page_footer{Rep_Band_Kind::Page_Footer, 0};
    std::vector<std::unique_ptr<Rep_Band>> bands;   // title and detail bands
    uint32_t page_count = 1;                         // written into the footer's "из %d"
    int footer_count_cell = -1;                      // the footer's count label

    Rep_Band *Add_Band(Rep_Band_Kind kind, int height);
    // The footer's count label = "из %d" with n (page_count too).
    void Set_Page_Count(uint32_t n);
};

// Where each band stands on each sheet: the layout a painter follows.
struct Rep_Placed {
    const Rep_Band *band = nullptr;
    int top = 0;           // report units from the top of the printable area
};
struct Rep_Sheet {
    std::vector<Rep_Placed> bands;   // page header first, page footer last
};
// Page header at the top of every sheet, page footer at its bottom, the other bands in order
// in between; a band with new_page, or one that does not fit above the footer, begins a sheet.
std::vector<Rep_Sheet> Rep_Layout(const Rep_Report &r);

// What a print job asks of the sheets: a range of sheet numbers (from 1; 0 for all), copies
// made by the program (the printer makes none of its own: a PDF file), collated or sheet by
// sheet, and the last sheet first.
struct Rep_Job {
    int from = 0, to = 0;
    int copies = 1;
    bool collate = true;
    bool last_first = false;
};
// Sheet numbers (from 1) in the order they are drawn; empty when the range holds no sheet.
std::vector<int> Rep_Sheet_Order(int sheets, const Rep_Job &job);

// Design-time bands shared by the reports: the page header with the controller name
// right-aligned (10 pt), and the footer "Лист", page number, "из %d". Set the page first:
// the bands span its printable width.
void Rep_Std_Page_Bands(Rep_Report &r, const QString &contr_name);

// Texts of a header shared by the reports.
QString Rep_Contr_Name(const Arhiv_Header &h);   // bytes 4-23, blanks trimmed
QString Rep_Contr_Line(const Arhiv_Header &h);   // "Контроллер "%s"  (адрес %d)"
QString Rep_Heading_Text(const char heading[REP_HEADING_SIZE]);

// The run-time title band of the moisture-meter reports: five labels whose captions the user
// of the band sets. The report owns the band; this object only names its labels.
class TrepTitle {
public:
    explicit TrepTitle(Rep_Report &r);
    Rep_Band *Band;
    // Label n = 1..5; anything else gives label 1.
    Rep_Cell &Line(int n);

private:
    int Cells[5];
};

// One column of a message table: heading lines, place, alignment of the cell.
struct Msg_Table_Col {
    QStringList heading;
    int left;
    int width;
    Qt::Alignment align;
};

struct Msg_Table_Descr {
    Msg_Table_Col cols[REP_MSG_COLUMNS];
    bool message_span;   // "Сообщение" above columns 3 and 4
};

// The table band of one page of a message report: headings, rules and seven memo cells.
class TMsg_Table {
public:
    TMsg_Table(Rep_Report &r, const Msg_Table_Descr &d, bool new_page);
    virtual ~TMsg_Table() = default;
    Rep_Band *Band;
    // Appends texts[0..6] as one new line of the seven cells (missing texts are empty).
    void Add_Line(const QStringList &texts);
    // The band and each cell grow by one line.
    void Grow();
    int Lines() const { return Line_Count; }

private:
    int Memo[REP_MSG_COLUMNS];
    int Line_Count = 0;
};

class TAlaTable : public TMsg_Table {
public:
    TAlaTable(Rep_Report &r, bool new_page);
};

class TAudTable : public TMsg_Table {
public:
    TAudTable(Rep_Report &r, bool new_page);
};

const Msg_Table_Descr &Ala_Table_Descr();
const Msg_Table_Descr &Aud_Table_Descr();

// How a message list of rows divides into pages: 70 lines a page for diagnostic messages,
// 74 for operator-intervention ones; the title and the table heading take their share.
struct Msg_Pages {
    uint32_t lines_per_page = 0;
    std::vector<int> rows;        // rows on each page; at least one page
    uint32_t Page_Count() const { return uint32_t(rows.size()); }
};
bool Is_Msg_Report_Kind(uint8_t kind);
// An unknown kind paginates as diagnostic messages.
Msg_Pages Msg_Paginate(uint8_t kind, qsizetype rows);

// Title lines of a message report.
QString Msg_Period_Line(const Arhiv_Header &h);   // "За период  с  ..."
QString Msg_Made_Line(const Arhiv_Header &h);     // "Составлен программой qzt_16  ..."

// The whole printed message list: page bands, title, one table per page with the rows
// (each row the texts of grid columns 1..7, printed as they are) and the page count.
Rep_Report Build_Arhiv_Report(uint8_t kind, const Arhiv_Header &h,
                              const char heading[REP_HEADING_SIZE], const QList<QStringList> &rows);
