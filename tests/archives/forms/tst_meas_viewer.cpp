#include "Arh_Builders.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Chrom_Error_Form.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
Arhiv_Header header(int n, uint32_t count) { return Arh_Test_Header(Arh_File_Kind::Chr_Meas, count, n, 3); }

// Record k: minute k, value i = k % 100 + i/10, the warning mark on parameter 0 only.
Chr_Meas_Rec record(int k, int n, uint8_t ctrl = 0, uint16_t chrom = 0)
{
    Chr_Meas_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 4, 1, uint8_t(k / 60 % 24), uint8_t(k % 60), 0};
    r.ctrl_status = ctrl;
    r.chrom_status = chrom;
    for (int i = 0; i < n; ++i) {
        const float v = float(k % 100) + float(i) / 10;
        std::memcpy(r.values + 4 * i, &v, 4);
        r.values[4 * i] &= 0xFC;
    }
    r.values[0] |= 0x01;
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

void append(QByteArray &b, const Chr_Meas_Rec &r) { b.append(reinterpret_cast<const char *>(&r), sizeof r); }

// Three records: a good one, one that fails its CRC (status bytes kept), one of a
// controller that was off and had no link.
QByteArray three(int n)
{
    QByteArray b;
    append(b, record(0, n));
    Chr_Meas_Rec bad = record(1, n, 0x08, 0x8001);
    bad.crc ^= 0x5555;
    append(b, bad);
    append(b, record(2, n, 0x22, 0xFFFF));
    return b;
}

template <class W> W *child(QWidget &d, const char *name) { return d.findChild<W *>(QLatin1String(name)); }
} // namespace

class Tst_Meas_Viewer : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Arh_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        QVERIFY(QDir(Tmp.path()).mkpath("MOMDATA"));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        Set_Dialog_Runner(nullptr);
    }
    void cleanup() { Set_Dialog_Runner(nullptr); }

    // A large list is shown whole; a header claiming more records than were handed over
    // shows only those.
    void long_list_is_shown_whole()
    {
        QByteArray recs;
        for (int k = 0; k < 10000; ++k) append(recs, record(k, 20));
        Arhiv_Header h = header(20, 50000);
        TFormArhMeas_Chr f(nullptr, h, recs);
        QCOMPARE(f.Grid_Model()->rowCount(), 10000);
        QCOMPARE(f.StringGrid1->model(), f.Grid_Model());
        QCOMPARE(f.StringGrid1->currentIndex().row(), 0);   // first record selected
        QVERIFY(!f.BitBtn5->isEnabled());                    // no spreadsheet export here
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        TFormArhMeas_Chr g(nullptr, h, recs.left(5 * 94 + 30));
        QCOMPARE(g.Grid_Model()->rowCount(), 5);
    }

    void status_details_of_the_selected_record()
    {
        struct Seen {
            QString title, ctrl_head, chrom_head;
            QStringList ctrl, chrom;
            bool chrom_part = false;
        };
        QList<Seen> seen;
        int row = 0;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhMeas_Chr *>(&d)) {
                v->StringGrid1->selectRow(row);
                v->BitBtn4->click();
                v->BitBtn1->click();
            } else if (auto *e = qobject_cast<TFormChromError *>(&d)) {
                seen << Seen{e->windowTitle(), e->Panel3->text(), e->Panel2->text(),
                             e->Ctrl_Lines(), e->Chrom_Lines(), !e->pnsit->isHidden()};
                e->BitBtn2->click();
            }
        });
        Set_Dialog_Runner(&runner);
        const Arhiv_Header h = header(3, 3);
        const QByteArray recs = three(3);
        for (row = 0; row < 3; ++row) Show_Arh_Meas_Chr(nullptr, h, recs);
        QCOMPARE(runner.Count, 6);
        QCOMPARE(seen.size(), 3);

        QCOMPARE(seen[0].ctrl, QStringList{"Норма"});

        // A record failing its CRC: the stored status bytes, unchecked.
        QCOMPARE(seen[1].title, QString(" Измерительные данные (01.04.26  00:01:00)"));
        QCOMPARE(seen[1].ctrl, QStringList{"Есть значения превышающие предупр. уставки"});
        QCOMPARE(seen[1].chrom_head, QString("  Статус хроматографа: 0x8001"));
        QCOMPARE(seen[1].chrom,
                 (QStringList{" Неудачная автокалибровка", " Не поступают данные от хроматографа"}));
        QVERIFY(seen[1].chrom_part);

        // Controller off and no link: no chromatograph part whatever the word holds.
        QCOMPARE(seen[2].ctrl,
                 (QStringList{"Контроллер был выключен", "Не было связи с хроматографом"}));
        QVERIFY(!seen[2].chrom_part);
        QCOMPARE(seen[2].chrom, QStringList{});
    }

    void status_form_kinds_and_overfull_byte()
    {
        TFormChromError e(nullptr);
        QVERIFY(child<QLabel>(e, "ls5") && child<QLabel>(e, "lh16") && !child<QLabel>(e, "ls6"));
        e.Kind = 1;
        e.Ctrl_Status = 0x85;
        e.Chrom_Status[0] = 0xFF;
        e.Form_Show();
        QCOMPARE(e.Panel3->text(), QString("  Статус контроллера: 0x85"));
        QCOMPARE(e.Ctrl_Lines(), QStringList{});
        QCOMPARE(e.pnstatus->height(), 8);
        QVERIFY(e.Panel2->isHidden() && e.pnsit->isHidden());

        e.Ctrl_Status = 0x08;
        e.Form_Show();
        QCOMPARE(e.Ctrl_Lines(), QStringList{"Использовалась ЗПЗ - был нештатный режим работы хроматографа"});
        QCOMPARE(e.pnstatus->height(), 15 + 8);

        e.Kind = 0;
        e.Ctrl_Status = 0xD9;   // five texts, neither "off" nor "no link"
        e.Chrom_Status[0] = 0;
        e.Chrom_Status[1] = 0;
        e.Form_Show();
        QCOMPARE(e.Ctrl_Lines().size(), qsizetype(5));
        QCOMPARE(e.pnstatus->height(), 5 * 18 + 8);
        QVERIFY(!e.pnsit->isHidden());
        // Every bit set: all eight texts, none lost for want of labels.
        e.Ctrl_Status = 0xFF;
        e.Form_Show();
        QCOMPARE(e.Ctrl_Lines().size(), qsizetype(8));
        QCOMPARE(e.Ctrl_Lines().last(), QString("Бит 7: Признак не используется"));
        QVERIFY(e.pnsit->isHidden());
    }

    void empty_list_offers_no_details()
    {
        int details = 0;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (qobject_cast<TFormChromError *>(&d)) ++details;
        });
        Set_Dialog_Runner(&runner);
        TFormArhMeas_Chr f(nullptr, header(2, 0), QByteArray());
        QCOMPARE(f.Grid_Model()->rowCount(), 0);
        QVERIFY(!f.BitBtn4->isEnabled());
        f.Show_Status_Details();
        QCOMPARE(details, 0);
    }

    void save_writes_header_and_records()
    {
        const QString dir = Tmp.path() + "/MOMDATA";
        Arhiv_Header h = header(3, 3);
        const QByteArray recs = three(3);
        QString proposed, filter, name = "saved";
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhMeas_Chr *>(&d)) {
                v->BitBtn2->click();
                v->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                proposed = QFileInfo(fd->selectedFiles().value(0)).fileName();
                filter = fd->nameFilters().value(0);
                fd->selectFile(dir + '/' + name);
                d.accept();
            }
        });
        Set_Dialog_Runner(&runner);
        Show_Arh_Meas_Chr(nullptr, h, recs);
        QCOMPARE(runner.Count, 2);
        QCOMPARE(filter, QString("DataFiles (*.mch)"));
        QCOMPARE(proposed,
                 QString("qzt16_007_Line_%1.mch").arg(QDate::currentDate().toString("yyMMdd")));
        QCOMPARE(Arh_Read_Raw(dir + "/saved.mch"), Arh_Bytes(h) + recs);   // the bad record kept

        // A header claiming more than was handed over: the file counts what it holds.
        h.rec_count = 9;
        name = "short.mch";
        Show_Arh_Meas_Chr(nullptr, h, recs);
        h.rec_count = 3;
        QCOMPARE(Arh_Read_Raw(dir + "/short.mch"), Arh_Bytes(h) + recs);
    }
};

QTEST_MAIN(Tst_Meas_Viewer)
#include "tst_meas_viewer.moc"
