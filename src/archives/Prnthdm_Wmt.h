#pragma once
// The printed moisture-meter lists (hourly 6, daily 7, momentary 8): a title band once and one
// table band per page whose eight cells receive the viewer's rows line by line. The page is
// drawn at 120 units to the inch so that the 768-unit table fits between margins of 25 and
// 22 mm. Plain data, as every report of the band layer; the forms library draws it.
#include "archives/Arhmeas_Wmt.h"
#include "messages/Repklass.h"

#include <QList>
#include <QStringList>
#include <cstdint>
#include <vector>

static_assert(WMT_KIND_HOUR == REP_KIND_WMT_HOUR && WMT_KIND_DAY == REP_KIND_WMT_DAY &&
              WMT_KIND_MOM == REP_KIND_WMT_MOM);

constexpr double WMT_REP_UNITS_PER_INCH = 120;
constexpr uint32_t WMT_REP_LINES_PER_PAGE = 65;
constexpr uint32_t WMT_REP_TITLE_LINES = 7;
constexpr uint32_t WMT_REP_TABLE_LINES = 6;
constexpr int WMT_REP_TABLE_HEIGHT = 94;   // band height at creation
constexpr int WMT_REP_LINE_HEIGHT = 19;    // one row of a data cell
constexpr int WMT_REP_COL_WIDTH = 95;
constexpr int WMT_REP_COL_STEP = 96;
constexpr int WMT_REP_HEAD_HEIGHT = 72;
constexpr int WMT_REP_DATA_TOP = 73;

bool Is_Wmt_Report_Kind(uint8_t kind);

// A4 portrait, margins top 10, bottom 10, left 25, right 22 mm, 120 units to the inch.
Rep_Page_Setup Wmt_Rep_Page();

// Heading lines of a printed column for the meter type and the report kind.
QStringList Wmt_Rep_Heading(uint8_t wmt_type, uint8_t kind, int col);

// Title lines 3 ("Часовые измерительные данные влагомера" ...) and 4 (the period; the
// momentary list prints its seconds as zeros), and line 5 (the composing date).
QString Wmt_Rep_Kind_Line(uint8_t kind);
QString Wmt_Rep_Period_Line(uint8_t kind, const Arhiv_Header &h);
QString Wmt_Rep_Made_Line(const Arhiv_Header &h);

// The table band of one page: framed, eight heading cells and eight data cells.
class TArh_Wmt_Table {
public:
    TArh_Wmt_Table(Rep_Report &r, uint8_t wmt_type, uint8_t kind, bool new_page);
    Rep_Band *Band;
    // Appends texts[0..7], blanks trimmed at both ends, as one new line of the eight data
    // cells; each cell and the band grow by one line.
    void Add_Line(const QStringList &texts);
    int Lines() const { return Line_Count; }

private:
    int Data[WMT_COLS];
    int Line_Count = 0;
};

// Rows on each page: 52 on the first (title and table heading take 13 of its 65 lines),
// 59 on every further one; at least one page, which an empty list leaves empty.
std::vector<int> Wmt_Paginate(qsizetype rows);

// The whole printed list: page bands with the trimmed controller name, title, one table per
// page with the rows (each the eight texts of a viewer's row) and the page count in the footer.
// An unknown kind gives false and leaves out untouched.
bool Build_Wmt_Report(uint8_t kind, const Arhiv_Header &h, const char heading[REP_HEADING_SIZE],
                      const QList<QStringList> &rows, Rep_Report &out);
