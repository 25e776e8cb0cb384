#pragma once
// Spreadsheets of new workbooks: a small sheet description (cells, styles, column widths,
// row heights) and the one writer that turns it into an ".xlsx" file, whole or not at all.
// Also the sheet the chromatograph archive viewers export: the viewer's caption, the grid's
// two heading lines, one row per record and the row of means.
#include "archives/Arhiv.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// --- Sheet description (rows and columns from 0) ---

enum Xls_Border : uint8_t {
    XLS_LEFT = 1,
    XLS_RIGHT = 2,
    XLS_TOP = 4,
    XLS_BOTTOM = 8,
};

struct Xls_Style {
    QString font = QStringLiteral("Calibri");
    double size = 11;
    uint32_t color = 0;          // font colour, 0xRRGGBB
    bool center = false;         // horizontal centring; otherwise the general alignment
    uint8_t borders = 0;         // Xls_Border bits, thin continuous lines
    bool filled = false;
    uint32_t fill = 0;           // interior colour, 0xRRGGBB, when filled
    bool text_format = false;    // number format "@"
    bool operator==(const Xls_Style &) const = default;
};

// A cell's text as the writer takes it: UTF-8 with a closing zero, held by its sheet.
struct Xls_Text {
    const char *data = nullptr;
    uint32_t size = 0;   // bytes, the closing zero not counted
    bool isEmpty() const { return size == 0; }
    QString toString() const { return QString::fromUtf8(data, qsizetype(size)); }
    friend bool operator==(const Xls_Text &a, const QString &b) { return a.toString() == b; }
};

struct Xls_Cell {
    int row = 0;
    int col = 0;
    int style = 0;
    enum Type : uint8_t { Blank, Text, Number } type = Blank;
    double number = 0;   // NaN and infinity never reach the file as numbers: see Write_Xls
    Xls_Text text;
};

// The texts live in blocks that never move, so a sheet is moved but not copied.
struct Xls_Sheet {
    Xls_Sheet() = default;
    Xls_Sheet(Xls_Sheet &&) = default;
    Xls_Sheet &operator=(Xls_Sheet &&) = default;

    std::vector<Xls_Style> styles{Xls_Style{}};   // 0: the workbook's default
    std::vector<double> col_widths;               // by column, in characters; 0 = default
    std::vector<std::pair<int, double>> row_heights;   // row, points
    std::vector<Xls_Cell> cells;

    // Index of a style equal to s, added when new.
    int Style(const Xls_Style &s);
    // Texts longer than a cell can hold (32,767 characters) are cut there.
    void Text(int row, int col, const QString &text, int style = 0);
    void Text_Utf8(int row, int col, std::string_view utf8, int style = 0);
    void Number(int row, int col, double v, int style = 0);
    void Blank(int row, int col, int style);
    // Bytes held by the cells and their texts.
    size_t Bytes() const;

private:
    Xls_Text Keep(std::string_view utf8);
    std::vector<std::unique_ptr<char[]>> Blocks;
    char *Free = nullptr;
    size_t Free_Left = 0;
    size_t Block_Bytes = 0;
};

enum class Xls_Write : uint8_t {
    Ok,
    Open_Failed,    // the file cannot be created where asked
    Write_Failed,   // the workbook could not be made or committed; an older file stays
};

// Writes the sheet as a one-sheet workbook. The workbook is made beside, then put in place
// in one step, so the file is whole or untouched. A number that is NaN or infinite is
// written as its text ("NAN", "INF", "-INF"), never as a number.
Xls_Write Write_Xls(const QString &path, const Xls_Sheet &sheet);

// --- The archive viewers' export ---

enum class Xls_Viewer : uint8_t { Meas, Hour, Day, Clb };

// Work_Dir() + the viewer's directory ("MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV").
QString Xls_Dir(Xls_Viewer v);
// "<dir>/qzt16-007_Line_260412_hou.xlsx": the header's address, its trimmed line name
// (empty in calibration lists: two underscores in a row) and the PC date.
QString Xls_Default_Name(Xls_Viewer v, const QString &dir, const Arhiv_Header &h, const QDate &today);
// A chosen name without an extension gets ".xlsx"; any other extension is kept.
QString Xls_Apply_Ext(const QString &chosen);
// Leading text columns: 2 (measurement) or 4.
int Xls_Lead_Cols(Xls_Viewer v);
bool Xls_Has_Avg(Xls_Viewer v);

// A parameter cell of the grid as the sheet holds it: the number the grid shows, written
// again with the parameter's decimals, so the zone and status marks stay behind (" 0" of a
// hidden row becomes "0.000" with three decimals). A cell without a number ("NAN", the
// notice of a damaged record, a blank) keeps its text without the outer blanks.
QString Xls_Param_Text(const QString &grid_text, int decimals);

// The viewer's grid as shown.
struct Xls_Grid {
    QString caption;
    int cols = 0;                                   // K
    int rows = 0;                                   // R, records
    std::function<QString(int col, int line)> heading;
    std::function<QString(int row, int col)> cell;
    std::function<int(int param)> decimals;
    const float *avg = nullptr;                     // means of the parameters (K - lead)
};

// Sheet rows (from 1 as the spreadsheet counts them): 1 the caption in column 2; 2 and 3
// the headings on grey; 4 .. R+3 the records; R+5 the means (measurement and
// hourly/daily lists). progress(n) is called after each record cell, n the cells so far.
Xls_Sheet Build_Xls_Sheet(Xls_Viewer v, const Xls_Grid &g, const std::function<void(int)> &progress = {});
