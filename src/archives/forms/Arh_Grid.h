#pragma once
// Shared look of the chromatograph archive grids (hourly/daily and calibration viewers):
// the table view set up as the record grid, and the form sized to it within the screen.
class QAbstractItemModel;
class QTableView;
class QWidget;

constexpr int ARH_GRID_COL_WIDTH = 83;
constexpr int ARH_GRID_ROW_HEIGHT = 20;

// "Courier New" bold, whole-row single selection, no editing, fixed row heights (a long
// list opens at once), two-line column headings left aligned.
QTableView *Make_Arh_Grid(QWidget *parent, QAbstractItemModel *model);

// The form wide and tall enough for the whole grid, but never past the screen (less
// 10 across and height_margin down): whole columns and rows come off until it fits.
void Fit_Arh_Grid_Form(QWidget *form, int cols, int rows, int height_margin);
