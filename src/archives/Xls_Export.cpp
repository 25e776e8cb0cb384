#include "archives/Xls_Export.h"

#include "archives/Arhmeas_Chr.h"
#include "core/Globals.h"
#include "core/Suplfunc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <xlsxwriter.h>

// --- Sheet description ---

int Xls_Sheet::Style(const Xls_Style &s)
{
    for (size_t i = 0; i < styles.size(); ++i)
        if (styles[i] == s) return int(i);
    styles.push_back(s);
    return int(styles.size() - 1);
}

namespace {
constexpr qsizetype kMaxText = 32767;    // characters a cell can hold
constexpr size_t kTextBlock = 256 * 1024;
} // namespace

Xls_Text Xls_Sheet::Keep(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const size_t need = utf8.size() + 1;
    if (need > Free_Left) {
        const size_t n = std::max(need, kTextBlock);
        Blocks.push_back(std::make_unique_for_overwrite<char[]>(n));
        Free = Blocks.back().get();
        Free_Left = n;
        Block_Bytes += n;
    }
    std::memcpy(Free, utf8.data(), utf8.size());
    Free[utf8.size()] = '\0';
    const Xls_Text t{Free, uint32_t(utf8.size())};
    Free += need;
    Free_Left -= need;
    return t;
}

void Xls_Sheet::Text(int row, int col, const QString &text, int style)
{
    const QByteArray u = text.left(kMaxText).toUtf8();
    cells.push_back(Xls_Cell{row, col, style, Xls_Cell::Text, 0, Keep(std::string_view(u.constData(), size_t(u.size())))});
}

void Xls_Sheet::Text_Utf8(int row, int col, std::string_view utf8, int style)
{
    // A character takes at least one byte: only a longer text can be too long.
    if (utf8.size() > size_t(kMaxText)) {
        Text(row, col, QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), style);
        return;
    }
    cells.push_back(Xls_Cell{row, col, style, Xls_Cell::Text, 0, Keep(utf8)});
}

void Xls_Sheet::Number(int row, int col, double v, int style)
{
    cells.push_back(Xls_Cell{row, col, style, Xls_Cell::Number, v, {}});
}

void Xls_Sheet::Blank(int row, int col, int style)
{
    cells.push_back(Xls_Cell{row, col, style, Xls_Cell::Blank, 0, {}});
}

size_t Xls_Sheet::Bytes() const { return cells.capacity() * sizeof(Xls_Cell) + Block_Bytes; }

// --- Writer ---

namespace {
constexpr int kMaxRow = 1048575, kMaxCol = 16383;

lxw_format *make_format(lxw_workbook *wb, const Xls_Style &s)
{
    lxw_format *f = workbook_add_format(wb);
    if (!f) return nullptr;
    format_set_font_name(f, s.font.toUtf8().constData());
    format_set_font_size(f, s.size);
    if (s.color) format_set_font_color(f, s.color);   // 0: automatic
    if (s.center) format_set_align(f, LXW_ALIGN_CENTER);
    if (s.borders & XLS_LEFT) format_set_left(f, LXW_BORDER_THIN);
    if (s.borders & XLS_RIGHT) format_set_right(f, LXW_BORDER_THIN);
    if (s.borders & XLS_TOP) format_set_top(f, LXW_BORDER_THIN);
    if (s.borders & XLS_BOTTOM) format_set_bottom(f, LXW_BORDER_THIN);
    if (s.filled) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, s.fill ? lxw_color_t(s.fill) : lxw_color_t(LXW_COLOR_BLACK));
    }
    if (s.text_format) format_set_num_format(f, "@");
    return f;
}

const char *number_text(double v)
{
    if (std::isnan(v)) return "NAN";
    return v > 0 ? "INF" : "-INF";
}

// Makes the workbook at path (a scratch place); false on any error.
bool make_workbook(const QByteArray &path, const Xls_Sheet &s)
{
    lxw_workbook *wb = workbook_new(path.constData());
    if (!wb) return false;
    bool ok = true;
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
    std::vector<lxw_format *> formats(s.styles.size(), nullptr);
    for (size_t i = 1; i < s.styles.size() && ws; ++i) formats[i] = make_format(wb, s.styles[i]);
    if (!ws) ok = false;
    for (size_t c = 0; ok && c < s.col_widths.size() && c <= size_t(kMaxCol); ++c)
        if (s.col_widths[c] > 0)
            ok = worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), s.col_widths[c], nullptr) ==
                 LXW_NO_ERROR;
    for (const auto &[row, height] : s.row_heights)
        if (ok && row >= 0 && row <= kMaxRow)
            ok = worksheet_set_row(ws, lxw_row_t(row), height, nullptr) == LXW_NO_ERROR;
    for (const Xls_Cell &c : s.cells) {
        if (!ok) break;
        if (c.row < 0 || c.row > kMaxRow || c.col < 0 || c.col > kMaxCol) {
            ok = false;
            break;
        }
        lxw_format *f = c.style > 0 && size_t(c.style) < formats.size() ? formats[size_t(c.style)] : nullptr;
        const auto r = lxw_row_t(c.row);
        const auto k = lxw_col_t(c.col);
        lxw_error e = LXW_NO_ERROR;
        if (c.type == Xls_Cell::Number && std::isfinite(c.number)) {
            e = worksheet_write_number(ws, r, k, c.number, f);
        } else if (c.type == Xls_Cell::Blank) {
            e = worksheet_write_blank(ws, r, k, f);
        } else {
            const char *t = c.type == Xls_Cell::Number ? number_text(c.number) : c.text.data;
            e = !t || !*t ? worksheet_write_blank(ws, r, k, f) : worksheet_write_string(ws, r, k, t, f);
        }
        ok = e == LXW_NO_ERROR;
    }
    // Closing writes the file and frees the workbook, also after an error.
    const lxw_error closed = workbook_close(wb);
    return ok && closed == LXW_NO_ERROR;
}
} // namespace

Xls_Write Write_Xls(const QString &path, const Xls_Sheet &sheet)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return Xls_Write::Open_Failed;
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        out.cancelWriting();
        return Xls_Write::Write_Failed;
    }
    const QString made = scratch.filePath(QStringLiteral("book.xlsx"));
    if (!make_workbook(QFile::encodeName(made), sheet)) {
        out.cancelWriting();
        return Xls_Write::Write_Failed;
    }
    QFile in(made);
    if (!in.open(QIODevice::ReadOnly)) {
        out.cancelWriting();
        return Xls_Write::Write_Failed;
    }
    const QByteArray bytes = in.readAll();
    if (bytes.isEmpty() || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return Xls_Write::Write_Failed;
    }
    return Commit_Save(out) ? Xls_Write::Ok : Xls_Write::Write_Failed;
}

// --- The archive viewers' export ---

namespace {
struct Viewer_Info {
    const char *dir;
    const char *suffix;
    int lead;
    bool narrow;            // widths 9, 9, 5, 8 for the leading columns
    const char *avg_label;  // null: no row of means
    int avg_col;            // column of the label (from 0)
};

const Viewer_Info &info(Xls_Viewer v)
{
    static const Viewer_Info k[] = {
        {"MOMDATA", "mom", 2, false, "Среднее значение", 0},
        {"HOURDATA", "hou", 4, false, "   Среднее значение", 1},
        {"DAYDATA", "day", 4, false, "   Среднее значение", 1},
        {"CALIBRARHIV", "clb", 4, true, nullptr, 0},
    };
    const auto i = size_t(v);
    return k[i < std::size(k) ? i : 0];
}

QString file_name_safe(QString s)
{
    for (QChar &c : s)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = u'_';
    return s;
}

constexpr uint32_t kNavy = 0x000080;   // 8388608 as the spreadsheet takes a colour (BGR)
constexpr uint32_t kGrey = 0xD3D3D3;   // 13882323
constexpr double kColWidth = 9;
} // namespace

QString Xls_Dir(Xls_Viewer v) { return Work_Dir() + QLatin1String(info(v).dir); }

QString Xls_Default_Name(Xls_Viewer v, const QString &dir, const Arhiv_Header &h, const QDate &today)
{
    const QString line = file_name_safe(Arh_Field_Text(h.line_name, sizeof h.line_name).trimmed());
    return dir + u'/' +
           QStringLiteral("qzt%1-%2_%3_%4%5%6_%7.xlsx")
               .arg(int(ARH_CONTR_TYPE), 2, 10, QLatin1Char('0'))
               .arg(int(h.contr_adr), 3, 10, QLatin1Char('0'))
               .arg(line)
               .arg(today.year() - 2000, 2, 10, QLatin1Char('0'))
               .arg(today.month(), 2, 10, QLatin1Char('0'))
               .arg(today.day(), 2, 10, QLatin1Char('0'))
               .arg(QLatin1String(info(v).suffix));
}

QString Xls_Apply_Ext(const QString &chosen)
{
    if (!QFileInfo(chosen).suffix().isEmpty()) return chosen;
    QString name = chosen;
    while (name.endsWith(u'.')) name.chop(1);
    return name + QStringLiteral(".xlsx");
}

int Xls_Lead_Cols(Xls_Viewer v) { return info(v).lead; }
bool Xls_Has_Avg(Xls_Viewer v) { return info(v).avg_label != nullptr; }

QString Xls_Param_Text(const QString &grid_text, int decimals)
{
    const QString trimmed = grid_text.trimmed();
    const QString token = trimmed.section(u' ', 0, 0);
    bool ok = false;
    const double x = token.toDouble(&ok);
    if (!ok || !std::isfinite(x)) return trimmed;
    // The value formatter's own text (exactly `decimals` places, or exponent form) is
    // taken as it stands: reading it into a float and back could change its last digit.
    const qsizetype point = token.indexOf(u'.');
    const bool exponent = token.contains(u'E') || token.contains(u'e');
    const bool formatted = exponent || (decimals <= 0 ? point < 0 : point >= 0 && token.size() - point - 1 == decimals);
    if (formatted) return token;
    return Meas_Value_Text(float(x), decimals);
}

namespace {
// Whether t is the value formatter's plain fixed-point text with exactly `decimals` places
// (not too long to read as a number), so Xls_Param_Text would take it as it stands.
bool plain_fixed(QStringView t, int decimals)
{
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (n > 40) return false;
    if (i < n && t[i] == u'-') ++i;
    const qsizetype whole = i;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') ++i;
    if (i == whole) return false;
    if (decimals <= 0) return i == n;
    if (i == n || t[i] != u'.') return false;
    const qsizetype point = i++;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') ++i;
    return i == n && n - point - 1 == decimals;
}

void append_utf8(QStringView t, std::string &out)
{
    out.clear();
    for (const QChar ch : t) {
        if (ch.unicode() >= 0x80) {
            const QByteArray u = t.toUtf8();
            out.assign(u.constData(), size_t(u.size()));
            return;
        }
        out.push_back(char(ch.unicode()));
    }
}

// The sheet's text of a grid cell, as UTF-8 into out: the trimmed text of a leading column,
// Xls_Param_Text of a parameter column (without its work when the number stands first).
void sheet_text(const QString &grid_text, bool param, int decimals, std::string &out)
{
    QStringView t(grid_text);
    qsizetype b = 0, e = t.size();
    while (b < e && t[b].isSpace()) ++b;
    while (e > b && t[e - 1].isSpace()) --e;
    t = t.sliced(b, e - b);
    if (param) {
        const qsizetype blank = t.indexOf(u' ');
        const QStringView token = blank < 0 ? t : t.first(blank);
        if (!plain_fixed(token, decimals)) {
            append_utf8(Xls_Param_Text(grid_text, decimals), out);
            return;
        }
        t = token;
    }
    append_utf8(t, out);
}
} // namespace

Xls_Sheet Build_Xls_Sheet(Xls_Viewer v, const Xls_Grid &g, const std::function<void(int)> &progress)
{
    const Viewer_Info &k = info(v);
    const int K = std::max(g.cols, 1);
    const int R = std::max(g.rows, 0);
    const int F = std::min(k.lead, K);
    Xls_Sheet s;

    s.col_widths.assign(size_t(K), kColWidth);
    if (k.narrow) {
        const double lead[] = {9, 9, 5, 8};
        for (int c = 0; c < F && c < 4; ++c) s.col_widths[size_t(c)] = lead[c];
    }

    // Row 1: the caption in column 2, the row framed above and below.
    Xls_Style title;
    title.font = QStringLiteral("Arial");
    title.size = 12;
    title.color = kNavy;
    title.borders = XLS_TOP | XLS_BOTTOM;
    const int title_style = s.Style(title);
    s.row_heights.push_back({0, 22});
    for (int c = 0; c < K; ++c) {
        if (c == 1) s.Text(0, c, g.caption, title_style);
        else s.Blank(0, c, title_style);
    }
    if (K == 1) s.Text(0, 1, g.caption, title_style);

    // Rows 2 and 3: the grid's headings on grey, framed round, no line between them.
    s.row_heights.push_back({1, 13});
    s.row_heights.push_back({2, 13});
    for (int line = 0; line < 2; ++line) {
        for (int c = 0; c < K; ++c) {
            Xls_Style hs;
            hs.font = QStringLiteral("Arial");
            hs.size = 9;
            hs.center = true;
            hs.filled = true;
            hs.fill = kGrey;
            hs.borders = uint8_t((c == 0 ? XLS_LEFT : 0) | (c == K - 1 ? XLS_RIGHT : 0) |
                                 (line == 0 ? XLS_TOP : XLS_BOTTOM));
            const QString text = g.heading ? g.heading(c, line).trimmed() : QString();
            s.Text(1 + line, c, text, s.Style(hs));
        }
    }

    // Rows 4 .. R+5: records, an empty row and the means, in the data look.
    Xls_Style data;
    data.font = QStringLiteral("Courier New");
    data.size = 9;
    data.center = true;
    data.text_format = true;
    const int data_style = s.Style(data);
    s.cells.reserve(s.cells.size() + size_t(R + 2) * size_t(K));
    std::vector<int> decimals(size_t(K), 0);
    for (int c = F; c < K; ++c) decimals[size_t(c)] = g.decimals ? g.decimals(c - F) : 0;
    std::string text;
    int done = 0;
    for (int r = 0; r < R; ++r) {
        for (int c = 0; c < K; ++c) {
            if (g.cell) sheet_text(g.cell(r, c), c >= F, decimals[size_t(c)], text);
            else text.clear();
            s.Text_Utf8(3 + r, c, text, data_style);
            if (progress) progress(++done);
        }
    }
    const int avg_row = R + 4;
    for (int c = 0; c < K; ++c) s.Blank(R + 3, c, data_style);
    if (k.avg_label && g.avg) {
        // The label in the caption's look, but of the data range's text format.
        Xls_Style label = title;
        label.borders = 0;
        label.text_format = true;
        for (int c = 0; c < K; ++c) {
            if (c == k.avg_col) {
                s.Text(avg_row, c, QString::fromUtf8(k.avg_label), s.Style(label));
            } else if (c >= F) {
                const int i = c - F;
                const int dec = g.decimals ? g.decimals(i) : 0;
                s.Text(avg_row, c, Meas_Value_Text(g.avg[i], dec), data_style);
            } else {
                s.Blank(avg_row, c, data_style);
            }
        }
    } else {
        for (int c = 0; c < K; ++c) s.Blank(avg_row, c, data_style);
    }
    return s;
}
