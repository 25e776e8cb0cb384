#pragma once
// Grids shown one above the other in one dialog (each run of rows, each panel or group box a
// grid of its own) line up as one grid would. Each grid sizes its columns by its own texts, so
// left to themselves the fields start and end at other places from grid to grid.
#include <QList>

class QGridLayout;

// The caption column (0) of every grid ends where the widest ends, measured from the left
// edge of the grid's holder (the widget it is the layout of, or the one it is nested in),
// and the field column (1) is as wide as the widest. The holders start at one x. Where the
// spare width goes is the caller's: a column past the fields should take it, spare_column
// when one is given (the columns before it then take none). Run once the controls show what
// sizes them (lists filled), and again whenever rows are shown or hidden: a hidden row is not
// measured.
void Line_Up_Grids(const QList<QGridLayout *> &grids, int spare_column = -1);
