#include "Arh_Builders.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Chrom_Error_Form.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
Arhiv_Header header(const char *magic, int n, uint32_t count)
{
    return Arh_Test_Header(magic[0] == 'D' ? Arh_File_Kind::Chr_Day : Arh_File_Kind::Chr_Hour, count, n);
}

Chr_HD_Rec record(int k, int n, uint8_t status = 0, uint8_t end_hour = 0x97)
{
    Chr_HD_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date[0] = 26;
    r.date[1] = 4;
    r.date[2] = uint8_t(1 + k);
    r.end_time[0] = end_hour;
    r.end_time[1] = 59;
    r.end_time[2] = 59;
    r.status = status;
    r.valid_count = uint16_t(100 + k);
    for (int i = 0; i < n; ++i) {
        const float v = float(10 * (k + 1)) + float(i);
        std::memcpy(r.values + 4 * i, &v, 4);
    }
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

void append(QByteArray &b, const Chr_HD_Rec &r) { b.append(reinterpret_cast<const char *>(&r), sizeof r); }

// A good day, a day with a substitute value in use, a damaged record, a day the controller was off.
QByteArray four(int n)
{
    QByteArray b;
    append(b, record(0, n));
    append(b, record(1, n, 0x08, 0x17));
    Chr_HD_Rec bad = record(2, n, 0x10);
    bad.crc ^= 0x0101;
    append(b, bad);
    append(b, record(3, n, 0x02));
    return b;
}
} // namespace

class Tst_Hdm_Viewer : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Arh_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        QVERIFY(QDir(Tmp.path()).mkpath("HOURDATA"));
        QVERIFY(QDir(Tmp.path()).mkpath("DAYDATA"));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void cleanup() { Set_Dialog_Runner(nullptr); }

    void daily_grid_means_and_marks()
    {
        TFormArhivHDM_Chr f(nullptr, header("DAY", 2, 4), four(2), HDM_KIND_DAY);
        QCOMPARE(f.Grid_Model()->rowCount(), 4);
        QCOMPARE(f.StringGrid1->currentIndex().row(), 0);
        QVERIFY(f.BitBtn5->isEnabled());

        TFormArhivHDM_Chr e(nullptr, header("HOU", 2, 0), QByteArray(), HDM_KIND_HOUR);
        QCOMPARE(e.Grid_Model()->rowCount(), 0);
        QVERIFY(!e.BitBtn4->isEnabled());
    }

    void status_details_unchecked()
    {
        QStringList titles;
        QList<QStringList> lines;
        QList<bool> chrom;
        int row = 0;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhivHDM_Chr *>(&d)) {
                v->StringGrid1->selectRow(row);
                v->BitBtn4->click();
                v->BitBtn1->click();
            } else if (auto *e = qobject_cast<TFormChromError *>(&d)) {
                titles << e->windowTitle();
                lines << e->Ctrl_Lines();
                chrom << !e->pnsit->isHidden();
                e->BitBtn2->click();
            }
        });
        Set_Dialog_Runner(&runner);
        const QByteArray recs = four(2);
        for (row = 0; row < 3; ++row) Show_Arhiv_HDM_Chr(nullptr, header("DAY", 2, 4), recs, HDM_KIND_DAY);
        QCOMPARE(titles.size(), 3);
        QCOMPARE(titles[0], QString(" Суточные данные с 01.04.26 00:00:00 по 23:59:59*"));
        QCOMPARE(lines[0], QStringList{"Норма"});
        // The damaged record: its stored status byte.
        QCOMPARE(lines[2], QStringList{"Использовалась ЗПЗ - значение выходило за допускаемые пределы"});
        QVERIFY(!chrom[0] && !chrom[1] && !chrom[2]);
    }

    void save_by_kind()
    {
        struct Case {
            uint8_t kind;
            const char *magic, *dir, *ext;
        };
        for (const Case c : {Case{HDM_KIND_HOUR, "HOU", "HOURDATA", ".hch"}, Case{HDM_KIND_DAY, "DAY", "DAYDATA", ".dch"}}) {
            const QString dir = Tmp.path() + '/' + c.dir;
            QString proposed, filter;
            Scripted_Dialogs runner([&](QDialog &d) {
                if (auto *v = qobject_cast<TFormArhivHDM_Chr *>(&d)) {
                    v->BitBtn2->click();
                    v->BitBtn1->click();
                } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                    proposed = QFileInfo(fd->selectedFiles().value(0)).fileName();
                    filter = fd->nameFilters().value(0);
                    fd->selectFile(dir + "/saved");
                    d.accept();
                }
            });
            Set_Dialog_Runner(&runner);
            const Arhiv_Header h = header(c.magic, 2, 4);
            const QByteArray recs = four(2);
            Show_Arhiv_HDM_Chr(nullptr, h, recs, c.kind);
            QCOMPARE(filter, QString("DataFiles (*%1)").arg(c.ext));
            QCOMPARE(proposed, QString("qzt16-007_Line_%1%2").arg(QDate::currentDate().toString("yyMMdd"), c.ext));
            QCOMPARE(Arh_Read_Raw(dir + "/saved" + c.ext), Arh_Bytes(h) + recs);   // the damaged record kept
        }
    }
};

QTEST_MAIN(Tst_Hdm_Viewer)
#include "tst_hdm_viewer.moc"
