#include "Arh_Builders.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
Arhiv_Header header(int n, uint32_t count) { return Arh_Test_Header(Arh_File_Kind::Clb, count, n, 3); }

Clb_Rec record(int k, int n, uint8_t result, uint8_t zone = 0)
{
    Clb_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 3, uint8_t(1 + k), 8, 15, 30};
    r.number = uint8_t(k + 1);
    r.result = result;
    for (int i = 0; i < n; ++i) {
        const float v = 1.25f * float(k + 1) + float(i);
        std::memcpy(r.values + 4 * i, &v, 4);
        r.values[4 * i] = uint8_t((r.values[4 * i] & 0xFC) | zone);
    }
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

void append(QByteArray &b, const Clb_Rec &r) { b.append(reinterpret_cast<const char *>(&r), sizeof r); }

QByteArray three(int n)
{
    QByteArray b;
    append(b, record(0, n, 0));
    append(b, record(1, n, 1, 0x02));
    Clb_Rec bad = record(2, n, 0);
    bad.values[5] ^= 0x10;
    append(b, bad);
    return b;
}
} // namespace

class Tst_Clb_Viewer : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Arh_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        QVERIFY(QDir(Tmp.path()).mkpath("CALIBRARHIV"));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void cleanup() { Set_Dialog_Runner(nullptr); }

    void grid_of_records()
    {
        TFormArhiv_Clb f(nullptr, header(2, 3), three(2));
        QCOMPARE(f.Grid_Model()->rowCount(), 3);
        QVERIFY(!f.StringGrid1->currentIndex().isValid());   // no row selected
        QVERIFY(!f.findChild<QPushButton *>("BitBtn4"));      // no status details here
        QVERIFY(f.BitBtn5->isEnabled());
    }

    // Whole rows selected, no frame around one cell at open; the date, time, number and
    // result stay in place while the values scroll sideways.
    void rows_and_fixed_columns()
    {
        QByteArray recs;
        for (int k = 0; k < 40; ++k) append(recs, record(k % 28, 20, 0));
        TFormArhiv_Clb f(nullptr, header(20, 40), recs);
        f.resize(700, 500);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.setAttribute(Qt::WA_KeyboardFocusChange);   // the style draws focus frames now
        QTableView *g = f.StringGrid1;
        QCOMPARE(QApplication::focusWidget(), g);
        const QImage open = g->viewport()->grab().toImage();
        g->selectionModel()->clearCurrentIndex();
        QCOMPARE(g->viewport()->grab().toImage(), open);
        QVERIFY(!g->selectionModel()->hasSelection());

        auto *fixed = g->findChild<QTableView *>();
        QVERIFY(fixed && fixed->isVisible());
        QCOMPARE(fixed->model(), g->model());
        QCOMPARE(fixed->selectionModel(), g->selectionModel());
        g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
        g->verticalScrollBar()->setValue(10);
        QVERIFY(g->columnAt(g->viewport()->width() / 2) > 4);
        for (int c = 0; c < 4; ++c) {
            const int x = fixed->columnViewportPosition(c) + 2;
            QCOMPARE(fixed->columnAt(x), c);
            QVERIFY(x < fixed->width());
        }
        QCOMPARE(fixed->rowAt(1), g->rowAt(1));
        // A click on a value selects its whole row, shown in both views.
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(12, 10)).center());
        QCOMPARE(g->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(g->selectionModel()->selectedRows().first().row(), 12);
    }

    void save_file_without_line_name()
    {
        const QString dir = Tmp.path() + "/CALIBRARHIV";
        QString proposed;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhiv_Clb *>(&d)) {
                v->BitBtn2->click();
                v->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                proposed = QFileInfo(fd->selectedFiles().value(0)).fileName();
                fd->selectFile(dir + "/cal");
                d.accept();
            }
        });
        Set_Dialog_Runner(&runner);
        Arhiv_Header h = header(2, 3);
        const QByteArray recs = three(2);
        Show_Arhiv_Clb(nullptr, h, recs);
        QCOMPARE(proposed, QString("qzt16-007_%1.clb").arg(QDate::currentDate().toString("yyMMdd")));
        QCOMPARE(Arh_Read_Raw(dir + "/cal.clb").mid(905), recs);

        // A header counting more records than were handed over saves those that were.
        h.rec_count = 40;
        TFormArhiv_Clb g(nullptr, h, recs.left(90));
        QCOMPARE(g.Grid_Model()->rowCount(), 1);
    }
};

QTEST_MAIN(Tst_Clb_Viewer)
#include "tst_clb_viewer.moc"
