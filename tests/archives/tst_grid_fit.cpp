// How large an archive viewer opens: whole columns and rows within the screen.
#include "archives/Grid_Fit.h"

#include <QtTest>

class Tst_Grid_Fit : public QObject {
    Q_OBJECT
private slots:
    void fits_whole_columns_and_rows_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("screen_w");
        QTest::addColumn<int>("screen_h");
        QTest::addColumn<int>("vis_cols");
        QTest::addColumn<int>("vis_rows");
        QTest::addColumn<int>("form_w");
        QTest::addColumn<int>("form_h");
        // Columns of 83, rows of 20, heading 40, frame 1, scroll bar 15, the form 20 across
        // and 60 down besides the grid; a form may take the screen less 10 and less 40.
        QTest::newRow("all in sight") << 6 << 4 << 1280 << 1024 << 6 << 4 << 20 + 498 + 2 << 60 + 40 + 80 + 2;
        // 22 columns are 1826: cut to what 1014 allows, with the vertical bar none needs.
        QTest::newRow("columns cut") << 22 << 4 << 1024 << 768 << 11 << 4 << 20 + 913 + 2 << 60 + 40 + 80 + 2 + 15;
        // 500 rows: cut to 728, the vertical bar taken into the width.
        QTest::newRow("rows cut") << 6 << 500 << 1280 << 768 << 6 << 31 << 20 + 498 + 2 + 15 << 60 + 40 + 620 + 2;
        QTest::newRow("both cut") << 22 << 500 << 1024 << 768 << 11 << 30 << 20 + 913 + 2 + 15 << 60 + 40 + 600 + 2 + 15;
        // No record: one empty row; a screen too small keeps one column and one row.
        QTest::newRow("no record") << 6 << 0 << 1280 << 1024 << 6 << 1 << 20 + 498 + 2 << 60 + 40 + 20 + 2;
        QTest::newRow("tiny screen") << 6 << 10 << 50 << 50 << 1 << 1 << 20 + 83 + 2 + 15 << 60 + 40 + 20 + 2 + 15;
    }
    void fits_whole_columns_and_rows()
    {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, screen_w);
        QFETCH(int, screen_h);
        Grid_Fit_In in;
        in.cols = cols;
        in.col_w = 83;
        in.rows = rows;
        in.row_h = 20;
        in.head_h = 40;
        in.frame = 1;
        in.scroll = 15;
        in.chrome_w = 20;
        in.chrome_h = 60;
        in.screen_w = screen_w;
        in.screen_h = screen_h;
        in.height_margin = 40;
        const Grid_Fit f = Fit_Grid(in);
        QTEST(f.vis_cols, "vis_cols");
        QTEST(f.vis_rows, "vis_rows");
        QTEST(f.form_w, "form_w");
        QTEST(f.form_h, "form_h");
        QCOMPARE(f.form_w - f.grid_w, 20);
    }
};

QTEST_GUILESS_MAIN(Tst_Grid_Fit)
#include "tst_grid_fit.moc"
