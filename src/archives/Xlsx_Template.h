#pragma once
// Fills a copy of a spreadsheet template (.xlsx): sets cells and merges on the workbook's
// active sheet and writes the result under another name, leaving everything else of the
// template as it is (styles, formats, column widths, other parts).
//
// A cell keeps the style the template gives it (its own, else its row's or its column's);
// numbers are stored as values, texts as inline strings; a NaN or an infinity is never stored
// as a number (spreadsheet programs call such a file damaged) but as the text " NAN".
// The formula calculation chain is dropped and the workbook asks for a full calculation on
// load, so formulas of the template over the filled cells are worked out afresh.
// The result is written whole or not at all.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class Xlsx_Template {
public:
    Xlsx_Template();
    ~Xlsx_Template();
    Xlsx_Template(const Xlsx_Template &) = delete;
    Xlsx_Template &operator=(const Xlsx_Template &) = delete;

    // Reads the template and its active sheet. False (with Error()) when the file cannot be
    // read or is not a workbook.
    bool Open(const QString &path);
    bool Is_Open() const;
    QString Error() const { return Err; }

    // Rows and columns are 1-based (1..1048576, 1..16384); calls outside are ignored.
    void Set_Number(int row, int col, double v);
    // The shortest decimal text that reads back as the same float.
    void Set_Float(int row, int col, float v);
    void Set_Text(int row, int col, const QString &text);
    // Merges the range (corners in any order). Merged areas of the template that overlap it
    // are taken away first; the cells besides the top-left one lose their values.
    void Merge(int row1, int col1, int row2, int col2);

    // Writes the filled workbook; false (with Error()) when it could not be written, and then
    // a file that was there before is left as it was.
    bool Save(const QString &path);

    // "A1" style reference of a cell.
    static QString Cell_Ref(int row, int col);

private:
    struct Impl;
    std::unique_ptr<Impl> D;
    QString Err;
};
