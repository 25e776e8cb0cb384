// The three chromatograph viewers open at their grid's size: no empty band beside or below
// the grid unless the buttons need the width, whole columns and rows when the screen is too
// small, never past the screen.
#include "Arh_Builders.h"
#include "archives/Arhivhdm_Chr.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"

#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTableView>
#include <QtTest>
#include <memory>

class Tst_Viewer_Size : public QObject {
    Q_OBJECT
private slots:
    void opens_at_the_grid_size_data()
    {
        QTest::addColumn<int>("viewer");   // 0 measurement, 1 hourly, 2 calibration
        QTest::addColumn<int>("pars");
        QTest::addColumn<int>("records");
        for (int v = 0; v < 3; ++v) {
            const QByteArray name = v == 0 ? "meas" : v == 1 ? "hour" : "clb";
            QTest::newRow(name + " narrow") << v << 1 << 3;
            QTest::newRow(name + " fits") << v << 5 << 4;
            QTest::newRow(name + " cut") << v << 20 << 300;
        }
    }
    void opens_at_the_grid_size()
    {
        QFETCH(int, viewer);
        QFETCH(int, pars);
        QFETCH(int, records);
        const uint32_t n = uint32_t(records);
        std::unique_ptr<QDialog> f;
        QTableView *g = nullptr;
        if (viewer == 0) {
            auto *m = new TFormArhMeas_Chr(nullptr, Arh_Test_Header(Arh_File_Kind::Chr_Meas, n, pars),
                                           Arh_Records(Arh_File_Kind::Chr_Meas, n, true));
            g = m->StringGrid1;
            f.reset(m);
        } else if (viewer == 1) {
            auto *h = new TFormArhivHDM_Chr(nullptr, Arh_Test_Header(Arh_File_Kind::Chr_Hour, n, pars),
                                            Arh_Records(Arh_File_Kind::Chr_Hour, n, true), HDM_KIND_HOUR);
            g = h->StringGrid1;
            f.reset(h);
        } else {
            auto *c = new TFormArhiv_Clb(nullptr, Arh_Test_Header(Arh_File_Kind::Clb, n, pars),
                                         Arh_Records(Arh_File_Kind::Clb, n, true));
            g = c->StringGrid1;
            f.reset(c);
        }
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        const QRect screen = f->screen()->availableGeometry();
        QVERIFY(f->width() <= screen.width() - 10);
        QVERIFY(f->height() <= screen.height() - (viewer == 2 ? 50 : 40));

        const int col_w = g->horizontalHeader()->defaultSectionSize();
        const int row_h = g->verticalHeader()->defaultSectionSize();
        const int all_w = g->horizontalHeader()->length(), all_h = g->verticalHeader()->length();
        const QSize vp = g->viewport()->size();
        const bool at_minimum = f->width() == f->layout()->minimumSize().width();
        if (all_w <= vp.width()) {
            // Every column in sight, and no band beside them unless the buttons want the room.
            QVERIFY2(all_w == vp.width() || at_minimum, qPrintable(QString("%1 of %2").arg(all_w).arg(vp.width())));
        } else {
            QCOMPARE(vp.width() % col_w, 0);   // whole columns
        }
        if (all_h <= vp.height()) QCOMPARE(vp.height(), all_h);
        else QCOMPARE(vp.height() % row_h, 0);   // whole rows
    }
};

QTEST_MAIN(Tst_Viewer_Size)
#include "tst_viewer_size.moc"
