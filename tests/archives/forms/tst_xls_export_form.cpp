#include "Arh_Builders.h"
#include "../Xlsx_Readback.h"
#include "archives/forms/Arh_Install2.h"
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Wait_Form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
class Answering_Ques : public Ques_Handler {
public:
    QStringList Lines;
    QList<uint32_t> Kinds;
    uint8_t Answer = 0;
    QList<uint8_t> Answers;   // taken in turn before Answer
    // What the export showed at the moment of the outcome message.
    bool Viewer_Enabled_At_Message = false;
    bool Wait_Shown_At_Message = false;
    QWidget *Viewer = nullptr;
    uint8_t Ask(const Ques_Setup &q) override
    {
        Lines << q.line1;
        Kinds << q.kind;
        if (Viewer) Viewer_Enabled_At_Message = Viewer->isEnabled();
        // Up and modal: a message dialog is owned by it and comes up in front of it.
        auto *w = qobject_cast<TFormWait *>(QApplication::activeModalWidget());
        Wait_Shown_At_Message = w && w->isVisible() && w->isEnabled();
        return q.yes_no ? (Answers.isEmpty() ? Answer : Answers.takeFirst()) : 0;
    }
};

// Cell texts of the first sheet by reference ("B1").
QMap<QString, QString> sheet_texts(const QString &path)
{
    QMap<QString, QString> out;
    const readback::Sheet s = readback::Read_Sheet(path);
    for (auto it = s.cells.begin(); it != s.cells.end(); ++it)
        if (!it->value.isEmpty()) out[it.key()] = it->value;
    return out;
}

// Sees the wait form as it is shown: its mode, its bar and whether the viewer is disabled.
class Wait_Watch : public QObject {
public:
    int Mode = -1, Max = -1, Last = -1;
    bool Viewer_Disabled = false;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            if (auto *w = qobject_cast<TFormWait *>(o)) {
                Mode = w->Wait_Mode;
                Max = w->ProgressBar1->maximum();
                connect(w->ProgressBar1, &QProgressBar::valueChanged, this, [this](int v) { Last = v; });
                for (QWidget *t : QApplication::topLevelWidgets())
                    if (qobject_cast<TFormArhMeas_Chr *>(t)) Viewer_Disabled = !t->isEnabled();
            }
        return false;
    }
};

Arhiv_Header header(const char *magic, int n, uint32_t count)
{
    const Arh_File_Kind k = magic[0] == 'M' ? Arh_File_Kind::Chr_Meas : magic[0] == 'C' ? Arh_File_Kind::Clb : Arh_File_Kind::Chr_Hour;
    return Arh_Test_Header(k, count, n);
}

QByteArray meas_records()
{
    QByteArray b;
    for (int k = 0; k < 2; ++k) {
        Chr_Meas_Rec r{};
        r.dt = Date6{26, 4, 1, 10, uint8_t(k), 0};
        Arh_Put_Value(r, 0, k ? 12.3456f : 10.0f, 0x01);   // warning mark
        b += Arh_Bytes(Arh_Seal(r));
    }
    return b;
}
} // namespace

class Tst_Xls_Export_Form : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Answering_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        for (const char *d : {"MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV"}) QVERIFY(QDir(Tmp.path()).mkpath(d));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void cleanup()
    {
        Set_Dialog_Runner(nullptr);
        Set_Meas_Xls_Export(false);
        Ques.Viewer = nullptr;
        Ques.Answer = 0;
    }

    void install_plugs_viewers_and_switches_the_measurement_export_on()
    {
        {
            TFormArhMeas_Chr f(nullptr, header("MSA", 1, 2), meas_records());
            QVERIFY(!f.BitBtn5->isEnabled());
        }
        for (Arh_Reader r : {Arh_Reader::Chr_Hour, Arh_Reader::Chr_Day, Arh_Reader::Clb}) Set_Archive_Viewer(r, {});
        Install_Archive_Viewers2(nullptr);
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Chr_Hour));
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Chr_Day));
        QVERIFY(Has_Archive_Viewer(Arh_Reader::Clb));
        QVERIFY(Meas_Xls_Export_On());
        TFormArhMeas_Chr f(nullptr, header("MSA", 1, 2), meas_records());
        QVERIFY(f.BitBtn5->isEnabled());
    }

    void measurement_export_writes_the_grid_without_marks()
    {
        Set_Meas_Xls_Export(true);
        const QString dir = Tmp.path() + "/MOMDATA";
        QString proposed, filter, title, initial;
        bool v_after_enabled = false;
        bool focus_back = false;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhMeas_Chr *>(&d)) {
                Ques.Viewer = v;
                v->BitBtn5->setFocus(Qt::TabFocusReason);
                v->BitBtn5->click();
                v_after_enabled = v->isEnabled();
                focus_back = v->focusWidget() == v->BitBtn5;
                v->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                proposed = QFileInfo(fd->selectedFiles().value(0)).fileName();
                filter = fd->nameFilters().value(0);
                title = fd->windowTitle();
                initial = QDir(fd->directory()).absolutePath();
                fd->selectFile(dir + "/book");
                d.accept();
            }
        });
        Set_Dialog_Runner(&runner);
        Wait_Watch watch;
        qApp->installEventFilter(&watch);
        Show_Arh_Meas_Chr(nullptr, header("MSA", 1, 2), meas_records());
        qApp->removeEventFilter(&watch);
        QCOMPARE(watch.Mode, 4);
        QCOMPARE(watch.Max, 2 + 8);
        QCOMPARE(watch.Last, watch.Max);   // one step a cell: 6 cells fill the bar
        QVERIFY(watch.Viewer_Disabled);
        QCOMPARE(filter, QString("DataFiles (*.xlsx)"));
        QCOMPARE(initial, QDir(dir).absolutePath());
        QCOMPARE(proposed, QString("qzt16-007_Line_%1_mom.xlsx").arg(QDate::currentDate().toString("yyMMdd")));
        QCOMPARE(Ques.Lines.last(), QString("Данные сохранены в файле book.xlsx"));
        QCOMPARE(Ques.Kinds.last(), 6u);
        // The outcome is told before the wait form goes and the viewer is given back.
        QVERIFY(!Ques.Viewer_Enabled_At_Message);
        QVERIFY(Ques.Wait_Shown_At_Message);
        QVERIFY(v_after_enabled);
        QVERIFY(focus_back);   // on the export button, though the viewer was disabled meanwhile

        const QMap<QString, QString> t = sheet_texts(dir + "/book.xlsx");
        QCOMPARE(t.value("B5"), QString("10:01:00"));
        QCOMPARE(t.value("C5"), QString("12.35"));   // shown as " 12.35 *"
        QCOMPARE(t.value("A7"), QString("Среднее значение"));
        QCOMPARE(t.value("C7"), QString("11.17"));
    }

    void hourly_and_calibration_exports_and_the_program_asks_to_replace()
    {
        const QString dir = Tmp.path() + "/CALIBRARHIV";
        QStringList proposed;
        int dialogs = 0;
        bool dialog_asks = false;
        Scripted_Dialogs runner([&](QDialog &d) {
            if (auto *v = qobject_cast<TFormArhiv_Clb *>(&d)) {
                v->BitBtn5->click();
                v->BitBtn1->click();
            } else if (auto *v2 = qobject_cast<TFormArhivHDM_Chr *>(&d)) {
                v2->BitBtn5->click();
                v2->BitBtn1->click();
            } else if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                ++dialogs;
                proposed << QFileInfo(fd->selectedFiles().value(0)).fileName();
                dialog_asks = dialog_asks || !fd->testOption(QFileDialog::DontConfirmOverwrite);
                if (dialogs == 1) fd->selectFile(dir + "/cal");
                if (dialogs > 3) d.reject();
                else d.accept();
            }
        });
        Set_Dialog_Runner(&runner);
        Show_Arhiv_Clb(nullptr, header("CLB", 1, 0), QByteArray());
        QVERIFY(QFileInfo::exists(dir + "/cal.xlsx"));
        const QString today = QDate::currentDate().toString("yyMMdd");
        QCOMPARE(proposed.value(0), QString("qzt16-007_Line_%1_clb.xlsx").arg(today));
        const QMap<QString, QString> t = sheet_texts(dir + "/cal.xlsx");
        QCOMPARE(t.value("C2"), QString("Номер"));
        QVERIFY(!t.contains("A5"));   // no records, no means

        // The bare name again: the program's question about the file the export writes; "Нет"
        // brings the dialog back with that name, "Да" replaces the file. Qt's dialog asks nothing.
        QVERIFY(QFile::remove(dir + "/cal.xlsx") && QFile(dir + "/cal.xlsx").open(QIODevice::WriteOnly));
        const qsizetype asked = Ques.Lines.size();
        dialogs = 0;
        Ques.Answers = {0, 1};
        Show_Arhiv_Clb(nullptr, header("CLB", 1, 0), QByteArray());
        QVERIFY(!dialog_asks);
        QCOMPARE(proposed.last(), QString("cal.xlsx"));
        QCOMPARE(Ques.Lines.mid(asked), (QStringList{"Файл cal.xlsx уже есть.", "Файл cal.xlsx уже есть.",
                                                     "Данные сохранены в файле cal.xlsx"}));
        QCOMPARE(Ques.Kinds.mid(asked, 2), (QList<uint32_t>{3, 3}));
        QCOMPARE(sheet_texts(dir + "/cal.xlsx").value("C2"), QString("Номер"));

        // Hourly list into a directory that is gone: the failure is reported, nothing made.
        dialogs = 0;
        QVERIFY(QDir(dir).removeRecursively());
        Show_Arhiv_HDM_Chr(nullptr, header("HOU", 1, 0), QByteArray(), HDM_KIND_HOUR);
        QCOMPARE(proposed.last(), QString("qzt16-007_Line_%1_hou.xlsx").arg(today));
        QCOMPARE(Ques.Lines.last(), QString("Ошибка работы с файлом!"));
        QVERIFY(Ques.Wait_Shown_At_Message);
        QVERIFY(!QFileInfo::exists(dir + "/cal.xlsx"));
    }
};

QTEST_MAIN(Tst_Xls_Export_Form)
#include "tst_xls_export_form.moc"
