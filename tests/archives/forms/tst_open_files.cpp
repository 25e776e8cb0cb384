// "Просмотр/Печать из файла" from the main menu: each saved kind reopened into its own viewer
// through the open dialog the command sets up, refusal and cancel showing no viewer, and the
// nine items enabled exactly while their kind has a viewer.
#include "Arh_Builders.h"
#include "archives/Arhivhdm_Chr.h"
#include "archives/Arhmeas_Wmt.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Open_Files.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Iniaud_Form.h"

#include <QAction>
#include <QFileDialog>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
QStringList cells(const QTableView *v)
{
    QStringList out;
    const QAbstractItemModel *m = v->model();
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c) out << m->index(r, c).data().toString();
    return out;
}

// The viewer of the kind, given the list directly.
QDialog *direct_viewer(Arh_File_Kind kind, const Arhiv_Header &h, const QByteArray &recs)
{
    switch (kind) {
    case Arh_File_Kind::Chr_Meas: return new TFormArhMeas_Chr(nullptr, h, recs);
    case Arh_File_Kind::Chr_Hour: return new TFormArhivHDM_Chr(nullptr, h, recs, HDM_KIND_HOUR);
    case Arh_File_Kind::Chr_Day: return new TFormArhivHDM_Chr(nullptr, h, recs, HDM_KIND_DAY);
    case Arh_File_Kind::Clb: return new TFormArhiv_Clb(nullptr, h, recs);
    case Arh_File_Kind::Ala: return new TFormAla(nullptr, h, 2, recs);
    case Arh_File_Kind::Wmt_Meas: return new TFormArhMeas_Wmt(nullptr, h, recs);
    case Arh_File_Kind::Wmt_Hour: return new TFormArhivHD_Wmt(nullptr, h, recs, WMT_KIND_HOUR);
    case Arh_File_Kind::Wmt_Day: return new TFormArhivHD_Wmt(nullptr, h, recs, WMT_KIND_DAY);
    case Arh_File_Kind::Aud: return new TFormAud(nullptr, h, 2, recs);
    }
    return nullptr;
}
} // namespace

class TstOpenFilesForms : public QObject {
    Q_OBJECT

    QTemporaryDir Tmp;
    Arh_Ques Ques;
    std::unique_ptr<TFormMain> Main;

    QString Path(Arh_File_Kind kind, const QString &name) const
    {
        return QDir::cleanPath(Tmp.path() + '/' + Arh_Info(kind).dir + '/' + name);
    }

    // Triggers the kind's item; the file dialog gets path (empty: cancelled), every later
    // dialog goes to the viewer step. Returns the number of dialogs run.
    int Trigger(Arh_File_Kind kind, const QString &path, const std::function<void(QDialog &)> &viewer = {},
                QFileDialog *seen = nullptr)
    {
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                if (seen) {
                    seen->setDirectory(fd->directory());
                    seen->setWindowTitle(fd->selectedNameFilter());
                }
                if (path.isEmpty()) return d.reject();
                fd->selectFile(path);
                d.accept();
            } else if (viewer) {
                viewer(d);
                d.reject();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        Main->Item(Open_File_Item(kind))->trigger();
        Set_Dialog_Runner(old);
        return run.Count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        QVERIFY(Arh_Make_Work_Dirs(Tmp.path()));
        Main = std::make_unique<TFormMain>();
        Main->TimerStart.stop();
        Set_Ques_Handler(&Ques);   // after the window, which installs its own
        for (const Open_File_Command &c : Open_File_Commands()) QVERIFY(!Main->Item(c.item)->isEnabled());
        Install_Open_File_Commands(Main.get());
    }
    void cleanupTestCase()
    {
        Main.reset();
        Set_Ques_Handler(nullptr);
    }

    void items_follow_viewers()
    {
        for (const Open_File_Command &c : Open_File_Commands()) QVERIFY(Main->Item(c.item)->isEnabled());

        // A viewer removed disables its item; plugged in again, the item runs it once.
        const auto kind = Arh_File_Kind::Wmt_Hour;
        const QString item = Open_File_Item(kind);
        const QString path = Path(kind, "a.hwm");
        const Arhiv_Header h = Arh_Test_Header(kind, 1);
        QCOMPARE(Write_Arhiv_File(path, kind, h, Arh_Records(kind, 1, true)), Arh_Write::Ok);
        const File_Viewer before = Set_File_Viewer(kind, {});
        QVERIFY(!Main->Item(item)->isEnabled());
        QCOMPARE(Run_Open_File(Main.get(), kind), Open_Result::Cancelled);
        int shown = 0;
        QWidget *owner = nullptr;
        QByteArray got;
        Set_File_Viewer(kind, [&](QWidget *o, const Arhiv_Header &gh, const QByteArray &) {
            ++shown;
            owner = o;
            got = Arh_Bytes(gh);
        });
        QVERIFY(Main->Item(item)->isEnabled());
        QCOMPARE(Trigger(kind, path), 1);
        QCOMPARE(shown, 1);
        QCOMPARE(owner, static_cast<QWidget *>(Main.get()));
        QCOMPARE(got, Arh_Bytes(h));
        Set_File_Viewer(kind, before);
        QVERIFY(Main->Item(item)->isEnabled());
    }

    // Each kind saved and reopened from the menu: the dialog in the kind's directory with the
    // kind's filter, the kind's own viewer showing what it shows of the list given directly.
    // The nine kinds as existing installations hold them: directory, extension, signature.
    void reopened_into_viewers_data()
    {
        QTest::addColumn<Arh_File_Kind>("kind");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QByteArray>("magic");
        using K = Arh_File_Kind;
        QTest::newRow("mch") << K::Chr_Meas << "MOMDATA" << ".mch" << QByteArray("MSA\0", 4);
        QTest::newRow("hch") << K::Chr_Hour << "HOURDATA" << ".hch" << QByteArray("HOU\0", 4);
        QTest::newRow("dch") << K::Chr_Day << "DAYDATA" << ".dch" << QByteArray("DAY\0", 4);
        QTest::newRow("clb") << K::Clb << "CALIBRARHIV" << ".clb" << QByteArray("CLB\0", 4);
        QTest::newRow("mwm") << K::Wmt_Meas << "MOMDATA" << ".mwm" << QByteArray("MSA\1", 4);
        QTest::newRow("hwm") << K::Wmt_Hour << "HOURDATA" << ".hwm" << QByteArray("HOU\1", 4);
        QTest::newRow("dwm") << K::Wmt_Day << "DAYDATA" << ".dwm" << QByteArray("DAY\1", 4);
        QTest::newRow("ala") << K::Ala << "ALAFILES" << ".ala" << QByteArray("ALA\0", 4);
        QTest::newRow("aud") << K::Aud << "AUDFILES" << ".aud" << QByteArray("AUD\0", 4);
    }
    void reopened_into_viewers()
    {
        QFETCH(Arh_File_Kind, kind);
        QFETCH(QString, dir);
        QFETCH(QString, ext);
        QFETCH(QByteArray, magic);
        const Arhiv_Header h = Arh_Test_Header(kind, 4, 2);
        const QByteArray recs = Arh_Records(kind, 4, true);
        const QString path = Tmp.path() + '/' + dir + "/saved" + ext;
        QCOMPARE(Write_Arhiv_File(path, kind, h, recs), Arh_Write::Ok);
        QCOMPARE(Arh_Read_Raw(path).left(4), magic);
        std::unique_ptr<QDialog> ref(direct_viewer(kind, h, recs));
        const QStringList want = cells(ref->findChild<QTableView *>());
        QVERIFY(!want.isEmpty());

        QString cls;
        QStringList got;
        QFileDialog seen;
        Ques.asked.clear();
        QCOMPARE(Trigger(kind, path, [&](QDialog &d) {
            cls = QString::fromLatin1(d.metaObject()->className());
            got = cells(d.findChild<QTableView *>());
            if (auto *v = qobject_cast<TFormArhivHDM_Chr *>(&d)) QCOMPARE(v->Kind(), static_cast<TFormArhivHDM_Chr *>(ref.get())->Kind());
            if (auto *v = qobject_cast<TFormArhivHD_Wmt *>(&d)) QCOMPARE(v->Kind(), static_cast<TFormArhivHD_Wmt *>(ref.get())->Kind());
            if (auto *l = qobject_cast<TFormMsg_List *>(&d)) QCOMPARE(l->Text_Rows(), recs);
            if (auto *a = qobject_cast<TFormAla *>(&d)) QCOMPARE(a->Mode(), uint8_t(MSG_MODE_FILE));
            if (auto *a = qobject_cast<TFormAud *>(&d)) QCOMPARE(a->Mode(), uint8_t(MSG_MODE_FILE));
        }, &seen), 2);
        QCOMPARE(QDir::cleanPath(seen.directory().absolutePath()), QDir::cleanPath(Tmp.path() + '/' + dir));
        QVERIFY2(seen.windowTitle().contains("*" + ext), qPrintable(seen.windowTitle()));
        QCOMPARE(cls, QString::fromLatin1(ref->metaObject()->className()));
        QCOMPARE(got, want);
        QVERIFY(Ques.asked.isEmpty());
    }

    void refused_and_cancelled()
    {
        // A moisture-meter list through the chromatograph command: refused, no viewer.
        const auto wm = Arh_File_Kind::Wmt_Meas;
        QCOMPARE(Write_Arhiv_File(Path(wm, "m.mwm"), wm, Arh_Test_Header(wm, 2), Arh_Records(wm, 2)), Arh_Write::Ok);
        Ques.asked.clear();
        QCOMPARE(Trigger(Arh_File_Kind::Chr_Meas, Path(wm, "m.mwm"), [](QDialog &) { QFAIL("no viewer for a refused file"); }), 1);
        QCOMPARE(Ques.asked.size(), 1);

        // Cancel: nothing said, nothing shown.
        Ques.asked.clear();
        QCOMPARE(Trigger(Arh_File_Kind::Chr_Hour, QString(), [](QDialog &) { QFAIL("no viewer after cancel"); }), 1);
        QVERIFY(Ques.asked.isEmpty());
        QVERIFY(Main->isEnabled());
    }
};

QTEST_MAIN(TstOpenFilesForms)
#include "tst_open_files.moc"
