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
