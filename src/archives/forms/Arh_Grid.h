#pragma once
// Shared look of the archive grids: the table view set up as the record grid, and the form
// sized to it within the screen.
#include <QTableView>

class QAbstractItemModel;
class QWidget;

// A record grid whose first columns (date and time) stay in place while the others scroll
// sideways: a second view over the same model and selection lies over its left edge.
class Arh_Grid_View : public QTableView {
    Q_OBJECT
public:
    explicit Arh_Grid_View(QWidget *parent);
    // The first n columns stay in place; takes the grid's model, fonts and sizes as they are.
    void Set_Fixed_Columns(int n);
    int Fixed_Columns() const { return Fixed_N; }
    QTableView *Fixed_View() const { return Fixed; }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

private:
    void Place_Fixed();
    QTableView *Fixed = nullptr;
    int Fixed_N = 0;
};

constexpr int ARH_GRID_COL_WIDTH = 83;
constexpr int ARH_GRID_ROW_HEIGHT = 20;

// "Courier New" bold, whole-row single selection without a frame around one cell, no editing,
// fixed row heights (a long list opens at once), two-line column headings left aligned; the
// first fixed_cols columns stay in place.
Arh_Grid_View *Make_Arh_Grid(QWidget *parent, QAbstractItemModel *model, int fixed_cols = 0);

// The form sized to its grid (in its layout): every column and row in sight, but never
// past the screen (less 10 across and height_margin down); whole columns and rows come off
// until it fits. Never narrower than the rest of the form (its buttons) needs.
void Fit_Arh_Grid_Form(QWidget *form, QTableView *grid, int height_margin);
