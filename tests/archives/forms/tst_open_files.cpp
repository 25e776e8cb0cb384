// "Просмотр/Печать из файла" from the main menu: the open dialog as the command sets it up,
// each saved kind reopened into its own viewer, refusals and cancel, and the nine items
// enabled exactly while their kind has a viewer.
#include "archives/Arhivhdm_Chr.h"
#include "archives/Arhmeas_Wmt.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Open_Files.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Iniaud_Form.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

QByteArray header_bytes(const Arhiv_Header &h) { return QByteArray(reinterpret_cast<const char *>(&h), sizeof h); }

Arhiv_Header good_header(Arh_File_Kind kind, uint32_t count)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, Arh_Info(kind).magic, 3);
    h.device = Arh_Info(kind).device;
    std::memcpy(h.line_name, "Line", 4);
    h.contr_adr = 7;
    h.contr_type = 16;
    h.chrom_code = 8;
    h.par_count = 2;
    std::memcpy(h.pars[0].symbol, "CH4", 3);
    std::memcpy(h.pars[1].symbol, "C2H6", 4);
    h.pars[0].decimals = 2;
    h.period_start = Date6{26, 4, 1, 0, 0, 0};
    h.period_end = Date6{26, 4, 2, 0, 0, 0};
    h.rec_count = count;
    return h;
}

// Records that pass their CRC check; text rows for the message kinds.
QByteArray records(Arh_File_Kind kind, uint32_t count)
{
    const int size = int(Arh_Info(kind).rec_size);
    QByteArray all;
    for (uint32_t n = 0; n < count; ++n) {
        QByteArray r(size, '\0');
        if (kind == Arh_File_Kind::Ala || kind == Arh_File_Kind::Aud) {
            const QByteArray text = QByteArray("row ") + QByteArray::number(n);
            for (int at = 0; at + 20 <= size; at += 20) std::memcpy(r.data() + at, text.constData(), size_t(text.size()));
        } else {
            for (int i = 0; i < size - 2; ++i) r[i] = char((n * 31 + uint32_t(i)) % 60);
            Put_Crc16(reinterpret_cast<uint8_t *>(r.data()), uint16_t(size - 2));
        }
        all += r;
    }
    return all;
}

QStringList cells(const QTableView *v)
{
    QStringList out;
    const QAbstractItemModel *m = v->model();
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c) out << m->index(r, c).data().toString();
    return out;
}

} // namespace

class TstOpenFilesForms : public QObject {
    Q_OBJECT

    QTemporaryDir Tmp;
    Ques_Log Ques;
    std::unique_ptr<TFormMain> Main;

    QString Path(Arh_File_Kind kind, const QString &name) const
    {
        return QDir::cleanPath(Tmp.path() + '/' + Arh_Info(kind).dir + '/' + name);
    }

    // Triggers the item; the file dialog gets path (empty: cancelled), every later dialog
    // goes to the viewer step. Returns the number of dialogs run.
    int Trigger(const char *item, const QString &path, const std::function<void(QDialog &)> &viewer = {},
                QString *title = nullptr, QString *dir = nullptr, QString *filter = nullptr)
    {
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                if (title) *title = fd->windowTitle();
                if (dir) *dir = QDir::cleanPath(fd->directory().absolutePath());
                if (filter) *filter = fd->selectedNameFilter();
                if (path.isEmpty()) {
                    d.reject();
                    return;
                }
                fd->selectFile(path);
                d.accept();
            } else if (viewer) {
                viewer(d);
                d.reject();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        Main->Item(item)->trigger();
        Set_Dialog_Runner(old);
        return run.Count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        for (const char *d : {"MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV", "ALAFILES", "AUDFILES"})
            QVERIFY(QDir(Tmp.path()).mkpath(d));
        Main = std::make_unique<TFormMain>();
        Main->TimerStart.stop();
        Set_Ques_Handler(&Ques);   // after the window, which installs its own
        for (const Open_File_Command &c : Open_File_Commands()) {
            QVERIFY(Main->Item(c.item));
            QVERIFY(!Main->Item(c.item)->isEnabled());
        }
        Install_Open_File_Commands(Main.get());
    }

    void items_follow_viewers()
    {
        for (const Open_File_Command &c : Open_File_Commands())
            QCOMPARE(Main->Item(c.item)->isEnabled(), Has_File_Viewer(c.kind));
        for (const Open_File_Command &c : Open_File_Commands()) {
            QVERIFY(Has_File_Viewer(c.kind));
            QVERIFY(Main->Item(c.item)->isEnabled());
        }

        // A viewer plugged in later enables its item, removing it disables the item again;
        // plugged in twice, the command still runs once.
        const auto kind = Arh_File_Kind::Wmt_Hour;
        const QString item = Open_File_Item(kind);
        const QString path = Path(kind, "a.hwm");
        QCOMPARE(Write_Arhiv_File(path, kind, good_header(kind, 1), records(kind, 1)), Arh_Write::Ok);
        int shown = 0;
        QWidget *owner = nullptr;
        const File_Viewer before = Set_File_Viewer(kind, {});
        QVERIFY(!Main->Item(item)->isEnabled());
        QCOMPARE(Run_Open_File(Main.get(), kind), Open_Result::Cancelled);
        Set_File_Viewer(kind, [&](QWidget *o, const Arhiv_Header &, const QByteArray &) { ++shown, owner = o; });
        QVERIFY(Main->Item(item)->isEnabled());
        QVERIFY(bool(Set_File_Viewer(kind, {})));   // the one just plugged in comes back
        QVERIFY(!Main->Item(item)->isEnabled());
        Set_File_Viewer(kind, [&](QWidget *o, const Arhiv_Header &, const QByteArray &) { ++shown, owner = o; });
        QVERIFY(Main->Item(item)->isEnabled());
        QCOMPARE(Trigger(qPrintable(item), path), 1);
        QCOMPARE(shown, 1);
        QCOMPARE(owner, static_cast<QWidget *>(Main.get()));
        Set_File_Viewer(kind, before);
        QCOMPARE(Main->Item(item)->isEnabled(), bool(before));
    }

    // Each kind with a viewer of its own, saved and reopened from the menu: the dialog in the
    // kind's directory with the kind's filter, the viewer showing what the file holds.
    void reopened_into_viewers()
    {
        struct Case { Arh_File_Kind kind; const char *item; const char *dir; const char *filter; };
        const Case cases[] = {
            {Arh_File_Kind::Chr_Meas, "NChrom_ViewMeas", "MOMDATA", "DataFiles(*.mch)"},
            {Arh_File_Kind::Chr_Hour, "NChrom_ViewHour", "HOURDATA", "DataFiles(*.hch)"},
            {Arh_File_Kind::Chr_Day, "NChrom_ViewDay", "DAYDATA", "DataFiles(*.dch)"},
            {Arh_File_Kind::Clb, "NChrom_ViewClb", "CALIBRARHIV", "DataFiles(*.clb)"},
            {Arh_File_Kind::Ala, "NAlaPrn", "ALAFILES", "DataFiles(*.ala)"},
            {Arh_File_Kind::Aud, "NAudPrn", "AUDFILES", "DataFiles(*.aud)"},
            {Arh_File_Kind::Wmt_Meas, "NWmt_ViewMeas", "MOMDATA", "DataFiles(*.mwm)"},
            {Arh_File_Kind::Wmt_Hour, "NWmt_ViewHour", "HOURDATA", "DataFiles(*.hwm)"},
            {Arh_File_Kind::Wmt_Day, "NWmt_ViewDay", "DAYDATA", "DataFiles(*.dwm)"},
        };
        for (const Case &c : cases) {
            const Arhiv_Header h = good_header(c.kind, 4);
            const QByteArray recs = records(c.kind, 4);
            const QString path = Path(c.kind, QString("saved") + Arh_Info(c.kind).ext);
            QCOMPARE(Write_Arhiv_File(path, c.kind, h, recs), Arh_Write::Ok);

            // What a viewer shows of the same list given directly.
            QStringList want;
            QDialog *ref = nullptr;
            switch (c.kind) {
            case Arh_File_Kind::Chr_Meas: ref = new TFormArhMeas_Chr(nullptr, h, recs); break;
            case Arh_File_Kind::Chr_Hour: ref = new TFormArhivHDM_Chr(nullptr, h, recs, HDM_KIND_HOUR); break;
            case Arh_File_Kind::Chr_Day: ref = new TFormArhivHDM_Chr(nullptr, h, recs, HDM_KIND_DAY); break;
            case Arh_File_Kind::Clb: ref = new TFormArhiv_Clb(nullptr, h, recs); break;
            case Arh_File_Kind::Ala: ref = new TFormAla(nullptr, h, 2, recs); break;
            case Arh_File_Kind::Wmt_Meas: ref = new TFormArhMeas_Wmt(nullptr, h, recs); break;
            case Arh_File_Kind::Wmt_Hour: ref = new TFormArhivHD_Wmt(nullptr, h, recs, WMT_KIND_HOUR); break;
            case Arh_File_Kind::Wmt_Day: ref = new TFormArhivHD_Wmt(nullptr, h, recs, WMT_KIND_DAY); break;
            default: ref = new TFormAud(nullptr, h, 2, recs); break;
            }
            want = cells(ref->findChild<QTableView *>());
            delete ref;
            QVERIFY(!want.isEmpty());

            QString title, dir, filter, cls;
            QStringList got;
            Ques.asked.clear();
            const int n = Trigger(c.item, path, [&](QDialog &d) {
                cls = QString::fromLatin1(d.metaObject()->className());
                got = cells(d.findChild<QTableView *>());
                if (auto *v = qobject_cast<TFormArhivHDM_Chr *>(&d))
                    QCOMPARE(v->Kind(), c.kind == Arh_File_Kind::Chr_Hour ? HDM_KIND_HOUR : HDM_KIND_DAY);
                if (auto *v = qobject_cast<TFormArhivHD_Wmt *>(&d))
                    QCOMPARE(v->Kind(), c.kind == Arh_File_Kind::Wmt_Hour ? WMT_KIND_HOUR : WMT_KIND_DAY);
                if (auto *l = qobject_cast<TFormMsg_List *>(&d)) {
                    const auto *ala = qobject_cast<TFormAla *>(&d);
                    const auto *aud = qobject_cast<TFormAud *>(&d);
                    QVERIFY(ala || aud);
                    QCOMPARE(ala ? ala->Mode() : aud->Mode(), uint8_t(2));
                    QCOMPARE(header_bytes(l->List_Header()).mid(0, 891), header_bytes(h).mid(0, 891));
                    QCOMPARE(l->Text_Rows(), recs);
                }
            }, &title, &dir, &filter);
            QCOMPARE(n, 2);
            QCOMPARE(title, QString("Выберите файл с данными"));
            QCOMPARE(dir, QDir::cleanPath(Tmp.path() + '/' + c.dir));
            QCOMPARE(filter, QString(c.filter));
            const char *want_cls = c.kind == Arh_File_Kind::Chr_Meas   ? "TFormArhMeas_Chr"
                                   : c.kind == Arh_File_Kind::Clb      ? "TFormArhiv_Clb"
                                   : c.kind == Arh_File_Kind::Ala      ? "TFormAla"
                                   : c.kind == Arh_File_Kind::Aud      ? "TFormAud"
                                   : c.kind == Arh_File_Kind::Wmt_Meas ? "TFormArhMeas_Wmt"
                                   : c.kind == Arh_File_Kind::Wmt_Hour ? "TFormArhivHD_Wmt"
                                   : c.kind == Arh_File_Kind::Wmt_Day  ? "TFormArhivHD_Wmt"
                                                                       : "TFormArhivHDM_Chr";
            QCOMPARE(cls, QString(want_cls));
            QCOMPARE(got, want);
            QVERIFY(Ques.asked.isEmpty());
        }
    }

    // Viewers plugged in by table in place of the installed ones: header and records as saved.
    void plugged_viewers_get_the_file()
    {
        struct Case { Arh_File_Kind kind; const char *item; };
        for (const Case c : {Case{Arh_File_Kind::Wmt_Meas, "NWmt_ViewMeas"}, Case{Arh_File_Kind::Wmt_Hour, "NWmt_ViewHour"},
                             Case{Arh_File_Kind::Wmt_Day, "NWmt_ViewDay"}, Case{Arh_File_Kind::Aud, "NAudPrn"}}) {
            const Arhiv_Header h = good_header(c.kind, 6);
            const QByteArray recs = records(c.kind, 6);
            const QString path = Path(c.kind, QString("w") + Arh_Info(c.kind).ext);
            QCOMPARE(Write_Arhiv_File(path, c.kind, h, recs), Arh_Write::Ok);
            QByteArray got_h, got_r;
            int shown = 0;
            const File_Viewer before = Set_File_Viewer(c.kind, [&](QWidget *, const Arhiv_Header &gh, const QByteArray &gr) {
                ++shown;
                got_h = header_bytes(gh);
                got_r = gr;
            });
            QCOMPARE(Trigger(c.item, path), 1);
            QCOMPARE(shown, 1);
            QCOMPARE(got_h, header_bytes(h));
            QCOMPARE(got_r, recs);
            Set_File_Viewer(c.kind, before);
        }
    }

    void refused_and_cancelled()
    {
        // A moisture-meter list through the chromatograph command: refused, no viewer.
        const auto wm = Arh_File_Kind::Wmt_Meas;
        const QString path = Path(wm, "m.mwm");
        QCOMPARE(Write_Arhiv_File(path, wm, good_header(wm, 2), records(wm, 2)), Arh_Write::Ok);
        Ques.asked.clear();
        QCOMPARE(Trigger("NChrom_ViewMeas", path, [](QDialog &) { QFAIL("no viewer for a refused file"); }), 1);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].caption, QString("Ошибка"));
        QCOMPARE(Ques.asked[0].line1, QString("Файл m.mwm не является файлом, содержащим"));
        QCOMPARE(Ques.asked[0].line2, QString("измер. данные контроллера QZT_16 из архива"));

        // Shorter than a header.
        const QString cut = Path(Arh_File_Kind::Clb, "cut.clb");
        {
            QFile f(cut);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(header_bytes(good_header(Arh_File_Kind::Clb, 0)).left(600)), qint64(600));
        }
        Ques.asked.clear();
        QCOMPARE(Trigger("NChrom_ViewClb", cut, [](QDialog &) { QFAIL("no viewer for a refused file"); }), 1);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].line1, QString("Файл cut.clb не является файлом, содержащим"));
        QCOMPARE(Ques.asked[0].line2, QString("данные калибровки хроматографа XRM5170"));

        // Cancel: nothing said, nothing shown.
        Ques.asked.clear();
        QCOMPARE(Trigger("NChrom_ViewHour", QString(), [](QDialog &) { QFAIL("no viewer after cancel"); }), 1);
        QVERIFY(Ques.asked.isEmpty());
        QVERIFY(Main->isEnabled());
    }

    void cleanupTestCase()
    {
        Main.reset();
        Set_Ques_Handler(nullptr);
    }
};

QTEST_MAIN(TstOpenFilesForms)
#include "tst_open_files.moc"
