#pragma once
// How large an archive viewer opens: the whole grid in sight as far as the screen allows.
// Whole columns come off while the form is wider than the screen less 10, whole rows while
// it is taller than the screen less a margin; the grid scrolls the rest.
#include <vector>

struct Grid_Fit_In {
    int cols = 0, col_w = 0;     // columns and the width of each
    std::vector<int> col_ws;     // or, when given, the width of each column in turn
    int rows = 0, row_h = 0;     // record rows and the height of each
    int head_h = 0;              // the heading lines above the rows
    int frame = 0;               // the grid's frame on each side
    int scroll = 0;              // thickness of a scroll bar
    int chrome_w = 0;            // the form beside the grid (margins)
    int chrome_h = 0;            // the form above and below the grid (margins, legend, buttons)
    int screen_w = 0, screen_h = 0;
    int height_margin = 40;      // the screen's height less this is the most the form takes
};

struct Grid_Fit {
    int vis_cols = 0, vis_rows = 0;   // whole columns and rows in sight
    int grid_w = 0, grid_h = 0;
    int form_w = 0, form_h = 0;
};

// At least one column and one row stay in sight, also on a screen too small for them.
Grid_Fit Fit_Grid(const Grid_Fit_In &in);
