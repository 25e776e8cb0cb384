#include "archives/Prnthdm_Wmt.h"

#include <algorithm>

namespace {
constexpr int kHeadLineHeight = WMT_REP_HEAD_HEIGHT / WMT_HEAD_LINES;
// The shared page bands are laid out at 96 units to the inch; this page has 120.
constexpr double kStdScale = WMT_REP_UNITS_PER_INCH / 96.0;
constexpr int kHeadFontSize = 9;

int scaled(int v) { return int(v * kStdScale + 0.5); }

// Scales a page band to this page's units; cells keep their distance from the right edge in
// proportion, so the name and the page count stay right-aligned and nothing leaves the page.
void scale_band(Rep_Band &b, int page_width)
{
    b.height = scaled(b.height);
    for (Rep_Cell &c : b.cells) {
        const int gap = scaled(std::max(0, page_width - (c.left + c.width)));
        int width = scaled(c.width);
        const int left = std::max(0, page_width - gap - width);
        width = std::min(width, page_width - gap - left);
        c.left = left;
        c.width = width;
        c.top = scaled(c.top);
        c.height = scaled(c.height);
        c.line_height = scaled(c.line_height);
    }
}

// Scales the title band like the page bands; a line wider than the page is narrowed about
// the page's middle, so that centred lines stay centred.
void scale_title(Rep_Band &b, int page_width)
{
    b.height = scaled(b.height);
    for (Rep_Cell &c : b.cells) {
        c.left = scaled(c.left);
        c.width = std::min(scaled(c.width), std::max(0, page_width - 2 * c.left));
        c.top = scaled(c.top);
        c.height = scaled(c.height);
        c.line_height = scaled(c.line_height);
    }
}
} // namespace

bool Is_Wmt_Report_Kind(uint8_t kind)
{
    return kind == WMT_KIND_HOUR || kind == WMT_KIND_DAY || kind == WMT_KIND_MOM;
}

Rep_Page_Setup Wmt_Rep_Page()
{
    Rep_Page_Setup p;
    p.left_mm = 25;
    p.right_mm = 22;
    p.top_mm = 10;
    p.bottom_mm = 10;
    p.units_per_inch = WMT_REP_UNITS_PER_INCH;
    return p;
}

QStringList Wmt_Rep_Heading(uint8_t wmt_type, uint8_t kind, int col)
{
    const bool mom = kind == WMT_KIND_MOM;
    switch (col) {
    case 0:
        return mom ? QStringList{QStringLiteral(" "), QStringLiteral("Дата")}
                   : QStringList{QStringLiteral(" "), QStringLiteral("Дата"), QStringLiteral("начала")};
    case 1:
        return mom ? QStringList{QStringLiteral(" "), QStringLiteral("Время")}
                   : QStringList{QStringLiteral(" "), QStringLiteral("Время"), QStringLiteral("начала")};
    case 2:
        return mom ? QStringList{QStringLiteral(" "), QStringLiteral("Статус"), QStringLiteral("контроллера")}
                   : QStringList{QStringLiteral(" "), QStringLiteral("Время"), QStringLiteral("конца")};
    case 3:
        return mom ? QStringList{QStringLiteral("Признаки"), QStringLiteral("состояния"), QStringLiteral("влагомера")}
                   : QStringList{QStringLiteral(" "), QStringLiteral("Статус"), QStringLiteral("контроллера")};
    default: return Wmt_Value_Heading(wmt_type, col);
    }
}

QString Wmt_Rep_Kind_Line(uint8_t kind)
{
    switch (kind) {
    case WMT_KIND_HOUR: return QStringLiteral("Часовые измерительные данные влагомера");
    case WMT_KIND_DAY: return QStringLiteral("Суточные измерительные данные влагомера");
    case WMT_KIND_MOM: return QStringLiteral("Мгновенные данные влагомера");
    default: return {};
    }
}

QString Wmt_Rep_Period_Line(uint8_t kind, const Arhiv_Header &h)
{
    const Date6 s = h.period_start, e = h.period_end;
    switch (kind) {
    case WMT_KIND_HOUR:
        return QString::asprintf("за период  с  %02d.%02d.%02d  %02dч  по  %02d.%02d.%02d  %02dч", s.day, s.month,
                                 s.year, s.hour, e.day, e.month, e.year, e.hour);
    case WMT_KIND_DAY:
        return QString::asprintf("за период  с  %02d.%02d.%02d  по  %02d.%02d.%02d", s.day, s.month, s.year, e.day,
                                 e.month, e.year);
    case WMT_KIND_MOM:
        return QString::asprintf("за период  с  %02d.%02d.%02d %02d:%02d:00  по  %02d.%02d.%02d %02d:%02d:00", s.day,
                                 s.month, s.year, s.hour, s.minute, e.day, e.month, e.year, e.hour, e.minute);
    default: return {};
    }
}

QString Wmt_Rep_Made_Line(const Arhiv_Header &h)
{
    const Date6 m = h.made;
    return QString::asprintf("Составлен программой qzt_%02d  %02d.%02d.%02d  %02d:%02d:%02d", int(ARH_CONTR_TYPE),
                             m.day, m.month, m.year, m.hour, m.minute, m.second);
}

TArh_Wmt_Table::TArh_Wmt_Table(Rep_Report &r, uint8_t wmt_type, uint8_t kind, bool new_page)
    : Band(r.Add_Band(Rep_Band_Kind::Detail, WMT_REP_TABLE_HEIGHT))
{
    Band->frame = REP_FRAME_ALL;
    Band->new_page = new_page;
    for (int i = 0; i < WMT_COLS; ++i) {
        const int left = 1 + WMT_REP_COL_STEP * i;
        Rep_Cell head;
        head.left = left;
        head.top = 1;
        head.width = WMT_REP_COL_WIDTH;
        head.height = WMT_REP_HEAD_HEIGHT;
        head.lines = Wmt_Rep_Heading(wmt_type, kind, i);
        head.align = Qt::AlignHCenter;
        head.font.size = kHeadFontSize;
        head.line_height = kHeadLineHeight;
        // Ruled off from the data below and the next heading; the band's frame closes the last.
        head.frame = REP_FRAME_BOTTOM | (i + 1 < WMT_COLS ? REP_FRAME_RIGHT : REP_FRAME_NONE);
        Band->Add(head);

        Rep_Cell data;
        data.left = left;
        data.top = WMT_REP_DATA_TOP;
        data.width = WMT_REP_COL_WIDTH;
        data.height = WMT_REP_LINE_HEIGHT;
        data.align = Qt::AlignHCenter;
        data.font.size = 10;
        data.line_height = WMT_REP_LINE_HEIGHT;
        Data[i] = Band->Add(data);
    }
}

void TArh_Wmt_Table::Add_Line(const QStringList &texts)
{
    for (int i = 0; i < WMT_COLS; ++i) {
        Rep_Cell &c = Band->cells[size_t(Data[i])];
        c.lines << (i < texts.size() ? texts[i].trimmed() : QString());
        c.height += WMT_REP_LINE_HEIGHT;
    }
    Band->height += WMT_REP_LINE_HEIGHT;
    ++Line_Count;
}

std::vector<int> Wmt_Paginate(qsizetype rows)
{
    const qsizetype first = WMT_REP_LINES_PER_PAGE - WMT_REP_TITLE_LINES - WMT_REP_TABLE_LINES;
    const qsizetype further = WMT_REP_LINES_PER_PAGE - WMT_REP_TABLE_LINES;
    std::vector<int> pages;
    qsizetype left = std::max<qsizetype>(rows, 0);
    qsizetype cap = first;
    do {
        const qsizetype n = std::min(left, cap);
        pages.push_back(int(n));
        left -= n;
        cap = further;
    } while (left > 0);
    return pages;
}

bool Build_Wmt_Report(uint8_t kind, const Arhiv_Header &h, const char heading[REP_HEADING_SIZE],
                      const QList<QStringList> &rows, Rep_Report &out)
{
    if (!Is_Wmt_Report_Kind(kind)) return false;
    Rep_Report r;
    r.page = Wmt_Rep_Page();
    Rep_Std_Page_Bands(r, Rep_Contr_Name(h));
    scale_band(r.page_header, r.page.Width_Units());
    scale_band(r.page_footer, r.page.Width_Units());

    TrepTitle title(r);
    title.Line(1).lines = QStringList{Rep_Heading_Text(heading)};
    title.Line(2).lines = QStringList{Rep_Contr_Line(h)};
    title.Line(3).lines = QStringList{Wmt_Rep_Kind_Line(kind)};
    title.Line(4).lines = QStringList{Wmt_Rep_Period_Line(kind, h)};
    title.Line(5).lines = QStringList{Wmt_Rep_Made_Line(h)};
    scale_title(*title.Band, r.page.Width_Units());

    // No limit on the number of pages: every row of the list is printed.
    const std::vector<int> pages = Wmt_Paginate(rows.size());
    qsizetype row = 0;
    for (size_t pg = 0; pg < pages.size(); ++pg) {
        TArh_Wmt_Table table(r, h.wmt_type, kind, pg > 0);
        for (int i = 0; i < pages[pg]; ++i, ++row) table.Add_Line(rows[row]);
    }
    r.Set_Page_Count(uint32_t(pages.size()));
    out = std::move(r);
    return true;
}
