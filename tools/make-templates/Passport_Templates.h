#pragma once
// The two passport templates the program fills: "day_report_title.xlsx" (one row per hour)
// and "mon_report_title.xlsx" (one row per day of the month). The program writes the object
// name into G2:AB2, the period into V4:AB4, data rows from row 10 (columns B..AA) and the
// summary row (34 daily, 41 monthly); everything else here is the form around them: headings,
// borders, number formats and column widths.
//
// Header-only so that the tests can build the same templates as the build does.
#include <xlsxwriter.h>

#include <string>

namespace passport_templates {

inline bool Make(bool monthly, const std::string &path)
{
    lxw_workbook *wb = workbook_new(path.c_str());
    if (!wb) return false;
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Паспорт");

    lxw_format *title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_font_size(title, 14);
    format_set_align(title, LXW_ALIGN_CENTER);

    lxw_format *label = workbook_add_format(wb);
    format_set_bold(label);
    format_set_align(label, LXW_ALIGN_RIGHT);

    lxw_format *name = workbook_add_format(wb);
    format_set_bold(name);
    format_set_font_size(name, 12);
    format_set_bottom(name, LXW_BORDER_THIN);

    lxw_format *period = workbook_add_format(wb);
    format_set_align(period, LXW_ALIGN_RIGHT);
    format_set_italic(period);

    lxw_format *head = workbook_add_format(wb);
    format_set_bold(head);
    format_set_text_wrap(head);
    format_set_align(head, LXW_ALIGN_CENTER);
    format_set_align(head, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(head, LXW_BORDER_THIN);
    format_set_bg_color(head, 0xDDEBF7);

    lxw_format *col_head = workbook_add_format(wb);
    format_set_bold(col_head);
    format_set_font_size(col_head, 9);
    format_set_text_wrap(col_head);
    format_set_align(col_head, LXW_ALIGN_CENTER);
    format_set_align(col_head, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(col_head, LXW_BORDER_THIN);
    format_set_bg_color(col_head, 0xDDEBF7);

    lxw_format *num_head = workbook_add_format(wb);
    format_set_align(num_head, LXW_ALIGN_CENTER);
    format_set_border(num_head, LXW_BORDER_THIN);
    format_set_font_size(num_head, 8);

    lxw_format *date = workbook_add_format(wb);
    format_set_align(date, LXW_ALIGN_CENTER);
    format_set_border(date, LXW_BORDER_THIN);

    lxw_format *value = workbook_add_format(wb);
    format_set_num_format(value, "0.0000");
    format_set_align(value, LXW_ALIGN_RIGHT);
    format_set_border(value, LXW_BORDER_THIN);

    lxw_format *heat = workbook_add_format(wb);
    format_set_num_format(heat, "0.000");
    format_set_align(heat, LXW_ALIGN_RIGHT);
    format_set_border(heat, LXW_BORDER_THIN);

    lxw_format *total_label = workbook_add_format(wb);
    format_set_bold(total_label);
    format_set_border(total_label, LXW_BORDER_MEDIUM);

    lxw_format *total = workbook_add_format(wb);
    format_set_bold(total);
    format_set_num_format(total, "0.0000");
    format_set_align(total, LXW_ALIGN_RIGHT);
    format_set_border(total, LXW_BORDER_MEDIUM);

    lxw_format *total_heat = workbook_add_format(wb);
    format_set_bold(total_heat);
    format_set_num_format(total_heat, "0.000");
    format_set_align(total_heat, LXW_ALIGN_RIGHT);
    format_set_border(total_heat, LXW_BORDER_MEDIUM);

    worksheet_set_column(ws, 0, 0, monthly ? 10 : 17, nullptr);
    worksheet_set_column(ws, 1, 22, 10, nullptr);
    worksheet_set_column(ws, 23, 26, 14, nullptr);
    worksheet_set_column(ws, 27, 27, 14, nullptr);

    // Rows and columns below are 0-based (row 1 of the sheet is 0 here).
    worksheet_merge_range(ws, 0, 0, 0, 27,
                          monthly ? "Паспорт QZT показателей качества газа за месяц"
                                  : "Паспорт QZT показателей качества газа за сутки",
                          title);
    worksheet_merge_range(ws, 1, 0, 1, 5, "Наименование объекта:", label);
    worksheet_merge_range(ws, 1, 6, 1, 27, "", name);
    worksheet_merge_range(ws, 3, 0, 3, 20, "Результаты измерений показателей качества природного газа", label);
    worksheet_merge_range(ws, 3, 21, 3, 27, "", period);

    // Headings, rows 6..8; column numbers in row 9. Each column is headed by the parameter a
    // new configuration puts in its place (name or symbol, and unit), the heat values by
    // their three units, the moisture meter's columns by what its record holds.
    worksheet_merge_range(ws, 5, 0, 7, 0, monthly ? "Число месяца" : "Дата, время", head);
    worksheet_merge_range(ws, 5, 1, 5, 9, "Компонентный состав газа, молярная доля", head);
    worksheet_merge_range(ws, 5, 10, 7, 10, "", head);
    worksheet_merge_range(ws, 5, 11, 5, 12, "Молярная доля", head);
    worksheet_merge_range(ws, 5, 13, 7, 13, "Абсолютная плотность\nDe_abs, кг/м3", col_head);
    worksheet_merge_range(ws, 5, 14, 7, 16, "", head);
    worksheet_merge_range(ws, 5, 17, 5, 19, "Теплота сгорания высшая Hs", head);
    worksheet_merge_range(ws, 5, 20, 5, 22, "Число Воббе Woebbe", head);
    worksheet_merge_range(ws, 5, 23, 5, 26, "Влагомер", head);
    worksheet_merge_range(ws, 5, 27, 7, 27, "Примечание", head);
    struct Column {
        int col;
        const char *text;
    };
    const Column columns[] = {
        {1, "Метан\nCH4, %"},
        {2, "Этан\nC2H6, %"},
        {3, "Пропан\nC3H8, %"},
        {4, "i-Бутан\ni-C4H10, %"},
        {5, "n-Бутан\nn-C4H10, %"},
        {6, "нео-Пентан\nneoC5H12, %"},
        {7, "i-Пентан\ni-C5H12, %"},
        {8, "n-Пентан\nn-C5H12, %"},
        {9, "Гексан и б.т.с.\nC6+, %"},
        {11, "Азот\nN2, %"},
        {12, "Диоксид углерода\nCO2, %"},
        {23, "Точка росы по воде при рабочем давлении, °C"},
        {24, "Точка росы по воде, приведённая к абс. давлению, °C"},
        {25, "Точка росы по углеводородам при рабочем давлении, °C"},
        {26, "Давление, кгс/см2"},
    };
    for (const Column &c : columns) worksheet_merge_range(ws, 6, lxw_col_t(c.col), 7, lxw_col_t(c.col), c.text, col_head);
    const char *units[3] = {"ккал/м3", "МДж/м3", "кВт*ч/м3"};
    for (int k = 0; k < 3; ++k) {
        worksheet_merge_range(ws, 6, lxw_col_t(17 + k), 7, lxw_col_t(17 + k), units[k], col_head);
        worksheet_merge_range(ws, 6, lxw_col_t(20 + k), 7, lxw_col_t(20 + k), units[k], col_head);
    }
    for (int c = 0; c < 28; ++c) worksheet_write_number(ws, 8, lxw_col_t(c), c + 1, num_head);
    worksheet_set_row(ws, 5, 30, nullptr);
    worksheet_set_row(ws, 6, 45, nullptr);
    worksheet_set_row(ws, 7, 30, nullptr);

    // Data rows: blank cells carrying the formats the program's values take.
    const int rows = monthly ? 31 : 24;
    for (int r = 0; r < rows; ++r) {
        const lxw_row_t row = lxw_row_t(9 + r);
        if (monthly) worksheet_write_number(ws, row, 0, r + 1, date);
        else worksheet_write_blank(ws, row, 0, date);
        for (int c = 1; c < 28; ++c) worksheet_write_blank(ws, row, lxw_col_t(c), c >= 17 && c <= 22 ? heat : value);
    }
    const lxw_row_t sum_row = lxw_row_t(monthly ? 40 : 33);
    worksheet_write_string(ws, sum_row, 0, monthly ? "Среднее за месяц" : "За сутки", total_label);
    for (int c = 1; c < 28; ++c)
        worksheet_write_blank(ws, sum_row, lxw_col_t(c), c >= 17 && c <= 22 ? total_heat : total);

    worksheet_write_string(ws, sum_row + 2, 0, "Ответственный:", label);
    worksheet_merge_range(ws, sum_row + 2, 1, sum_row + 2, 6, "", name);

    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);   // A4
    worksheet_fit_to_pages(ws, 1, 1);
    return workbook_close(wb) == LXW_NO_ERROR;
}

// Both templates into a directory (with its trailing separator or without).
inline bool Make_All(std::string dir)
{
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return Make(false, dir + "day_report_title.xlsx") && Make(true, dir + "mon_report_title.xlsx");
}

} // namespace passport_templates
