// The chromatograph viewers open at their grid's size: no empty band beside or below the grid
// unless the buttons need the width; whole columns and rows within the screen.
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
        QTest::addColumn<int>("kind");   // Arh_File_Kind of the list
        QTest::addColumn<int>("pars");
        QTest::addColumn<int>("records");
        for (Arh_File_Kind k : {Arh_File_Kind::Chr_Meas, Arh_File_Kind::Chr_Hour, Arh_File_Kind::Clb}) {
            QTest::newRow(QByteArray(Arh_Info(k).magic, 3) + " fits") << int(k) << 5 << 4;
            QTest::newRow(QByteArray(Arh_Info(k).magic, 3) + " cut") << int(k) << 20 << 300;
        }
    }
    void opens_at_the_grid_size()
    {
        QFETCH(int, kind);
        QFETCH(int, pars);
        QFETCH(int, records);
        const auto k = Arh_File_Kind(kind);
        const Arhiv_Header h = Arh_Test_Header(k, uint32_t(records), pars);
        const QByteArray recs = Arh_Records(k, uint32_t(records), true);
        std::unique_ptr<QDialog> f;
        if (k == Arh_File_Kind::Chr_Meas) f = std::make_unique<TFormArhMeas_Chr>(nullptr, h, recs);
        else if (k == Arh_File_Kind::Clb) f = std::make_unique<TFormArhiv_Clb>(nullptr, h, recs);
        else f = std::make_unique<TFormArhivHDM_Chr>(nullptr, h, recs, HDM_KIND_HOUR);
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        const QRect screen = f->screen()->availableGeometry();
        QVERIFY(f->width() <= screen.width() - 10);
        QVERIFY(f->height() <= screen.height() - (k == Arh_File_Kind::Clb ? 50 : 40));

        const auto *g = f->findChild<QTableView *>(QStringLiteral("StringGrid1"));
        const int all_w = g->horizontalHeader()->length(), all_h = g->verticalHeader()->length();
        const QSize vp = g->viewport()->size();
        if (all_w > vp.width()) QCOMPARE(vp.width() % g->horizontalHeader()->defaultSectionSize(), 0);
        else QVERIFY(all_w == vp.width() || f->width() == f->layout()->minimumSize().width());
        if (all_h > vp.height()) QCOMPARE(vp.height() % g->verticalHeader()->defaultSectionSize(), 0);
        else QCOMPARE(vp.height(), all_h);
    }
};

QTEST_MAIN(Tst_Viewer_Size)
#include "tst_viewer_size.moc"
