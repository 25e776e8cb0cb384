#include "messages/Repklass.h"

#include "core/Codepage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kPageHeaderHeight = 22;
constexpr int kPageFooterHeight = 24;

constexpr int kMsgTableHeight = 92;    // band height of a message table at creation
constexpr int kMsgMemoTop = 63;
constexpr int kMsgHeadingBottom = 60;  // the rule under the headings

constexpr uint32_t kAlaLinesPerPage = 70;
constexpr uint32_t kAudLinesPerPage = 74;
constexpr uint32_t kTitleLines = 12;     // title and page bands of the first page
constexpr uint32_t kTableLines = 5;      // table heading and page bands of further pages
constexpr uint32_t kAudHeadingLines = 5; // the taller first heading of the operator list

int mm_to_units(double mm, double per_inch)
{
    return int(std::floor(mm * (per_inch > 0 ? per_inch : 96.0) / 25.4));
}

Rep_Cell label(int left, int top, int width, int height, const QString &text, Qt::Alignment align,
               int size, bool bold = false, const QString &family = QStringLiteral("MS Sans Serif"))
{
    Rep_Cell c;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.lines = QStringList{text};
    c.align = align;
    c.font.family = family;
    c.font.size = size;
    c.font.bold = bold;
    c.line_height = height;
    return c;
}

// A rule: a narrow empty label whose frame draws one line.
Rep_Cell vrule(int left, int top, int height)
{
    Rep_Cell c;
    c.left = left;
    c.top = top;
    c.width = 3;
    c.height = height;
    c.frame = REP_FRAME_LEFT;
    return c;
}

Rep_Cell hrule(int left, int top, int width)
{
    Rep_Cell c;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = 3;
    c.frame = REP_FRAME_TOP;
    return c;
}

// Heading lines of one column, centred in the heading area [top, bottom).
void add_heading(Rep_Band &b, const QStringList &lines, int left, int width, int top, int bottom)
{
    const int n = int(lines.size());
    int y = top + std::max(0, (bottom - top - n * REP_LINE_HEIGHT) / 2);
    for (const QString &s : lines) {
        b.Add(label(left, y, width, REP_LINE_HEIGHT, s, Qt::AlignHCenter, 8));
        y += REP_LINE_HEIGHT;
    }
}

QString two(int v) { return QString::asprintf("%02d", v); }

const Rep_Cell kNoCell{};

} // namespace

int Rep_Band::Add(const Rep_Cell &c)
{
    cells.push_back(c);
    return int(cells.size()) - 1;
}

int Rep_Page_Setup::Width_Units() const
{
    return mm_to_units(REP_A4_WIDTH_MM - left_mm - right_mm, units_per_inch);
}

int Rep_Page_Setup::Height_Units() const
{
    return mm_to_units(REP_A4_HEIGHT_MM - top_mm - bottom_mm, units_per_inch);
}

Rep_Band *Rep_Report::Add_Band(Rep_Band_Kind kind, int height)
{
    auto b = std::make_unique<Rep_Band>();
    b->kind = kind;
    b->height = height;
    bands.push_back(std::move(b));
    return bands.back().get();
}

void Rep_Report::Set_Page_Count(uint32_t n)
{
    page_count = n;
    if (footer_count_cell >= 0 && size_t(footer_count_cell) < page_footer.cells.size())
        page_footer.cells[size_t(footer_count_cell)].lines = QStringList{QString::asprintf("из %u", n)};
}

std::vector<Rep_Sheet> Rep_Layout(const Rep_Report &r)
{
    const int page_h = r.page.Height_Units();
    const int body_top = r.page_header.height;
    const int body_bottom = std::max(body_top, page_h - r.page_footer.height);

    std::vector<Rep_Sheet> sheets;
    int y = 0;
    bool body_empty = true;
    auto close_sheet = [&] {
        sheets.back().bands.push_back(Rep_Placed{&r.page_footer, body_bottom});
    };
    auto open_sheet = [&] {
        if (!sheets.empty()) close_sheet();
        sheets.emplace_back();
        sheets.back().bands.push_back(Rep_Placed{&r.page_header, 0});
        y = body_top;
        body_empty = true;
    };
    open_sheet();
    for (const auto &bp : r.bands) {
        const Rep_Band *b = bp.get();
        if (!b) continue;
        // A band too tall for any sheet stays on the sheet it begins and is cut at the footer.
        if (!body_empty && (b->new_page || y + b->height > body_bottom)) open_sheet();
        sheets.back().bands.push_back(Rep_Placed{b, y});
        y += b->height;
        body_empty = false;
    }
    close_sheet();
    return sheets;
}

void Rep_Std_Page_Bands(Rep_Report &r, const QString &contr_name)
{
    const int w = r.page.Width_Units();
    r.page_header = Rep_Band{Rep_Band_Kind::Page_Header, kPageHeaderHeight};
    r.page_header.Add(label(0, 2, w, 17, contr_name, Qt::AlignRight, 10));

    r.page_footer = Rep_Band{Rep_Band_Kind::Page_Footer, kPageFooterHeight};
    const int x = std::max(0, w - 130);
    r.page_footer.Add(label(x, 6, 34, 15, QStringLiteral("Лист"), Qt::AlignRight, 8));
    Rep_Cell num = label(x + 38, 6, 30, 15, QString(), Qt::AlignHCenter, 8);
    num.page_number = true;
    r.page_footer.Add(num);
    r.footer_count_cell =
        r.page_footer.Add(label(x + 72, 6, 58, 15, QString::asprintf("из %u", r.page_count), Qt::AlignLeft, 8));
}

QString Rep_Contr_Name(const Arhiv_Header &h)
{
    return Arh_Field_Text(h.contr_name, sizeof h.contr_name).trimmed();
}

QString Rep_Contr_Line(const Arhiv_Header &h)
{
    return QStringLiteral("Контроллер \"%1\"  (адрес %2)").arg(Rep_Contr_Name(h)).arg(int(h.contr_adr));
}

QString Rep_Heading_Text(const char heading[REP_HEADING_SIZE])
{
    if (!heading) return QString();
    const void *z = std::memchr(heading, 0, REP_HEADING_SIZE);
    const int n = z ? int(static_cast<const char *>(z) - heading) : REP_HEADING_SIZE;
    return Cp1251_To_Unicode(heading, n);
}

// ---- TrepTitle ------------------------------------------------------------------------------

TrepTitle::TrepTitle(Rep_Report &r) : Band(r.Add_Band(Rep_Band_Kind::Title, 112))
{
    struct Line_Place {
        Qt::Alignment align;
        int top, left, height, size;
        bool bold;
    };
    static const Line_Place places[5] = {
        {Qt::AlignHCenter, 3, 2, 20, 12, true},  {Qt::AlignLeft, 22, 4, 17, 10, false},
        {Qt::AlignHCenter, 46, 2, 20, 12, true}, {Qt::AlignHCenter, 69, 2, 17, 10, false},
        {Qt::AlignHCenter, 88, 2, 17, 10, false},
    };
    for (int i = 0; i < 5; ++i) {
        const Line_Place &p = places[i];
        Cells[i] = Band->Add(label(p.left, p.top, 740, p.height, QString(), p.align, p.size, p.bold));
    }
}

Rep_Cell &TrepTitle::Line(int n)
{
    const int i = n >= 1 && n <= 5 ? n - 1 : 0;
    return Band->cells[size_t(Cells[i])];
}

// ---- message tables -------------------------------------------------------------------------

const Msg_Table_Descr &Ala_Table_Descr()
{
    static const Msg_Table_Descr d{
        {
            {{QStringLiteral("Дата")}, 0, 52, Qt::AlignHCenter},
            {{QStringLiteral("Время")}, 58, 52, Qt::AlignHCenter},
            {{QStringLiteral("Событие")}, 115, 200, Qt::AlignLeft},
            {{QStringLiteral("Объект / Причина")}, 321, 205, Qt::AlignLeft},
            {{QStringLiteral("Текущее"), QStringLiteral("значение"), QStringLiteral("параметра")}, 531, 60,
             Qt::AlignHCenter},
            {{QStringLiteral("Значение"), QStringLiteral("уставки")}, 597, 60, Qt::AlignHCenter},
            {{QStringLiteral("Единица"), QStringLiteral("измер.")}, 661, 58, Qt::AlignHCenter},
        },
        true,
    };
    return d;
}

const Msg_Table_Descr &Aud_Table_Descr()
{
    static const Msg_Table_Descr d{
        {
            {{QStringLiteral("Дата")}, 0, 52, Qt::AlignHCenter},
            {{QStringLiteral("Время")}, 58, 52, Qt::AlignHCenter},
            {{QStringLiteral("Наименование  параметра")}, 115, 272, Qt::AlignLeft},
            {{QStringLiteral("Старое"), QStringLiteral("значение")}, 395, 87, Qt::AlignHCenter},
            {{QStringLiteral("Новое"), QStringLiteral("значение")}, 488, 87, Qt::AlignHCenter},
            {{QStringLiteral("Единица"), QStringLiteral("измер.")}, 580, 60, Qt::AlignHCenter},
            {{QStringLiteral("Имя"), QStringLiteral("оператора")}, 646, 71, Qt::AlignHCenter},
        },
        false,
    };
    return d;
}

TMsg_Table::TMsg_Table(Rep_Report &r, const Msg_Table_Descr &d, bool new_page)
    : Band(r.Add_Band(Rep_Band_Kind::Detail, kMsgTableHeight))
{
    Band->frame = REP_FRAME_ALL;
    Band->new_page = new_page;
    const int width = r.page.Width_Units();

    for (int i = 0; i < REP_MSG_COLUMNS; ++i) {
        const Msg_Table_Col &c = d.cols[i];
        const bool spanned = d.message_span && (i == 2 || i == 3);
        add_heading(*Band, c.heading, c.left, c.width, spanned ? 30 : 0, kMsgHeadingBottom);
        // A rule between this heading and the next one.
        if (i + 1 < REP_MSG_COLUMNS) {
            const int next = d.cols[i + 1].left;
            const int x = (c.left + c.width + next) / 2 - 1;
            const bool under_span = d.message_span && i == 2;
            Band->Add(vrule(x, under_span ? 28 : 0, under_span ? kMsgHeadingBottom - 28 : kMsgHeadingBottom));
        }
    }
    if (d.message_span) {
        const int left = d.cols[2].left;
        const int span = d.cols[3].left + d.cols[3].width - left - 2;   // 409 units
        Band->Add(label(left, 10, span, REP_LINE_HEIGHT, QStringLiteral("Сообщение"), Qt::AlignHCenter, 8));
        Band->Add(hrule(left, 28, span));
    }
    Band->Add(hrule(0, kMsgHeadingBottom, width));

    for (int i = 0; i < REP_MSG_COLUMNS; ++i) {
        const Msg_Table_Col &c = d.cols[i];
        Rep_Cell m;
        m.left = c.left;
        m.top = kMsgMemoTop;
        m.width = c.width;
        m.height = REP_LINE_HEIGHT;
        m.align = c.align;
        m.font.size = 8;
        m.line_height = REP_LINE_HEIGHT;
        Memo[i] = Band->Add(m);
    }
}

void TMsg_Table::Add_Line(const QStringList &texts)
{
    // The list's texts carry leading blanks that align them in the grid; on paper the
    // columns are narrow and the report font's blank is wide, so they would push the
    // dates and times past the cell edge.
    for (int i = 0; i < REP_MSG_COLUMNS; ++i) {
        QString t = i < texts.size() ? texts[i] : QString();
        qsizetype k = 0;
        while (k < t.size() && t[k] == QLatin1Char(' ')) ++k;
        Band->cells[size_t(Memo[i])].lines << t.mid(k);
    }
    ++Line_Count;
}

void TMsg_Table::Grow()
{
    Band->height += REP_LINE_HEIGHT;
    for (int i = 0; i < REP_MSG_COLUMNS; ++i) Band->cells[size_t(Memo[i])].height += REP_LINE_HEIGHT;
}

TAlaTable::TAlaTable(Rep_Report &r, bool new_page) : TMsg_Table(r, Ala_Table_Descr(), new_page) {}

TAudTable::TAudTable(Rep_Report &r, bool new_page) : TMsg_Table(r, Aud_Table_Descr(), new_page) {}

// ---- message reports ------------------------------------------------------------------------

bool Is_Msg_Report_Kind(uint8_t kind) { return kind == REP_KIND_ALA || kind == REP_KIND_AUD; }

Msg_Pages Msg_Paginate(uint8_t kind, qsizetype rows)
{
    Msg_Pages p;
    const bool aud = kind == REP_KIND_AUD;
    p.lines_per_page = aud ? kAudLinesPerPage : kAlaLinesPerPage;
    const qsizetype first = qsizetype(p.lines_per_page - kTitleLines - (aud ? kAudHeadingLines : 0));
    const qsizetype further = qsizetype(p.lines_per_page - kTableLines);
    qsizetype left = std::max<qsizetype>(rows, 0);
    qsizetype cap = first;
    do {
        const qsizetype n = std::min(left, cap);
        p.rows.push_back(int(n));
        left -= n;
        cap = further;
    } while (left > 0);
    return p;
}

QString Msg_Period_Line(const Arhiv_Header &h)
{
    const Date6 &s = h.period_start;
    const Date6 &e = h.period_end;
    return QStringLiteral("За период  с  %1.%2.%3 %4:%5:%6  по %7.%8.%9 %10:%11:%12")
        .arg(two(s.day), two(s.month), two(s.year), two(s.hour), two(s.minute), two(s.second),
             two(e.day), two(e.month), two(e.year))
        .arg(two(e.hour), two(e.minute), two(e.second));
}

QString Msg_Made_Line(const Arhiv_Header &h)
{
    const Date6 &m = h.made;
    return QStringLiteral("Составлен программой qzt_%1  %2.%3.%4 %5:%6:%7")
        .arg(two(ARH_CONTR_TYPE), two(m.day), two(m.month), two(m.year), two(m.hour), two(m.minute),
             two(m.second));
}

Rep_Report Build_Arhiv_Report(uint8_t kind, const Arhiv_Header &h, const char heading[REP_HEADING_SIZE],
                              const QList<QStringList> &rows)
{
    const bool aud = kind == REP_KIND_AUD;
    Rep_Report r;
    r.page.right_mm = aud ? 10 : 9;   // left, top and bottom stay 10 mm
    Rep_Std_Page_Bands(r, Rep_Contr_Name(h));

    // Title on the first page.
    const int w = r.page.Width_Units();
    Rep_Band *t = r.Add_Band(Rep_Band_Kind::Title, 122);
    t->Add(label(0, 2, w, 22, Rep_Heading_Text(heading), Qt::AlignHCenter, 12, true, QStringLiteral("Arial")));
    t->Add(label(0, 26, w, 17, Rep_Contr_Line(h), Qt::AlignLeft, 10));
    t->Add(label(0, 46, w, 17,
                 aud ? QStringLiteral("Перечень сообщений о вмешательствах оператора")
                     : QStringLiteral("Перечень диагностических сообщений"),
                 Qt::AlignHCenter, 10, true));
    t->Add(label(0, 63, w, 17,
                 (aud ? QStringLiteral("в работу контроллерa QZT_%1") : QStringLiteral("контроллерa QZT_%1"))
                     .arg(two(ARH_CONTR_TYPE)),
                 Qt::AlignHCenter, 10, true));
    t->Add(label(0, 82, w, 17, Msg_Period_Line(h), Qt::AlignHCenter, 10));
    t->Add(label(0, 100, w, 17, Msg_Made_Line(h), Qt::AlignHCenter, 10));

    const Msg_Pages pages = Msg_Paginate(kind, rows.size());
    qsizetype row = 0;
    for (size_t pg = 0; pg < pages.rows.size(); ++pg) {
        std::unique_ptr<TMsg_Table> table;
        if (aud) table = std::make_unique<TAudTable>(r, pg > 0);
        else table = std::make_unique<TAlaTable>(r, pg > 0);
        const qsizetype cap = qsizetype(pg == 0 ? pages.lines_per_page - kTitleLines - (aud ? kAudHeadingLines : 0)
                                                : pages.lines_per_page - kTableLines);
        for (int i = 0; i < pages.rows[pg]; ++i, ++row) {
            table->Add_Line(rows[row]);
            // The last line of a full page is already inside the band's first height.
            if (table->Lines() < cap) table->Grow();
        }
    }
    r.Set_Page_Count(pages.Page_Count());
    return r;
}

std::vector<int> Rep_Sheet_Order(int sheets, const Rep_Job &job)
{
    std::vector<int> one;
    const int from = job.from > 0 ? job.from : 1;
    const int to = job.to > 0 ? std::min(job.to, sheets) : sheets;
    for (int i = from; i <= to; ++i) one.push_back(i);
    if (job.last_first) std::reverse(one.begin(), one.end());
    const int copies = std::clamp(job.copies, 1, 999);
    std::vector<int> out;
    out.reserve(one.size() * size_t(copies));
    if (job.collate) {
        for (int c = 0; c < copies; ++c) out.insert(out.end(), one.begin(), one.end());
    } else {
        for (int i : one) out.insert(out.end(), size_t(copies), i);
    }
    return out;
}
