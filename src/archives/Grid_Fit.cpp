#include "archives/Grid_Fit.h"

#include <algorithm>

Grid_Fit Fit_Grid(const Grid_Fit_In &in)
{
    const int cols = in.col_ws.empty() ? std::max(in.cols, 1) : int(in.col_ws.size());
    const int rows = std::max(in.rows, 1);
    auto width = [&](int n) {
        if (in.col_ws.empty()) return n * in.col_w;
        int w = 0;
        for (int c = 0; c < n; ++c) w += in.col_ws[size_t(c)];
        return w;
    };
    Grid_Fit f;
    f.vis_cols = cols;
    // More rows than the screen could hold never need trying one by one.
    f.vis_rows = in.row_h > 0 ? std::min(rows, 1 + in.screen_h / in.row_h) : rows;
    // A cut takes a scroll bar's room across the other way, which may cut once more.
    for (;;) {
        const bool h_bar = f.vis_cols < cols, v_bar = f.vis_rows < rows;
        f.grid_w = width(f.vis_cols) + 2 * in.frame + (v_bar ? in.scroll : 0);
        f.grid_h = in.head_h + f.vis_rows * in.row_h + 2 * in.frame + (h_bar ? in.scroll : 0);
        f.form_w = in.chrome_w + f.grid_w;
        f.form_h = in.chrome_h + f.grid_h;
        if (f.form_w > in.screen_w - 10 && f.vis_cols > 1) --f.vis_cols;
        else if (f.form_h > in.screen_h - in.height_margin && f.vis_rows > 1) --f.vis_rows;
        else return f;
    }
}
