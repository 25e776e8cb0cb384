// Every open and save dialog, as the program runs it (Qt's Russian texts, Russian dates and
// sizes), opens in its detail view with the name, size, type and date of each listed file and
// every column title whole, all columns in sight, and the dialog within the screen: 1024x768,
// 1280x1024, and a smaller screen it must not overflow. A list view and narrow columns left
// from an earlier session change nothing.
#include "archives/Arhiv.h"
#include "archives/Xls_Export.h"
#include "archives/forms/Open_Files.h"
#include "archives/forms/Save_Arhiv.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/forms/Dialogs.h"
#include "params/Config.h"
#include "params/forms/Config_Files.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QListView>
#include <QMimeDatabase>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const QString kLine = QStringLiteral("ГРС Северная нитка 2");   // 20 characters, the most a name has
const QString kCnf = QStringLiteral("qzt_16-%1-2612070837.cnf").arg(kLine);
const QString kArh = QStringLiteral("qzt16_001_%1_261207.mch").arg(kLine);
const QString kXls = QStringLiteral("qzt16-001_%1_261207_mom.xlsx").arg(kLine);

// A binary file of the given size, dated 07.12.2026 08:27.
void Put_File(const QString &path, qint64 size)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(QByteArray("QZT\0\x10\0\0\x01", 8));
    QVERIFY(f.resize(size));
    QVERIFY(f.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(8, 27)), QFileDevice::FileModificationTime));
}

QTreeView *Tree(QFileDialog &d) { return d.findChild<QTreeView *>(QStringLiteral("treeView")); }

// Events until the list shows the dialog's directory with its rows, then a while for their
// sizes, types and dates.
bool Wait_Listed(QFileDialog &d, int rows)
{
    QTreeView *v = Tree(d);
    QDeadlineTimer end(10000);
    while (v && !end.hasExpired() &&
           !(v->model()->rowCount(v->rootIndex()) >= rows &&
             QFileInfo(v->model()->data(v->rootIndex(), QFileSystemModel::FilePathRole).toString()) == QFileInfo(d.directory().path())))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (QDeadlineTimer more(300); !more.hasExpired();) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return v && v->model()->rowCount(v->rootIndex()) >= rows;
}

// What the dialog does not show whole.
QStringList Faults(QFileDialog &d, const QStringList &names, const QStringList &types)
{
    QTreeView *v = Tree(d);
    if (!v) return {QStringLiteral("no detail list")};
    QStringList out;
    if (d.viewMode() != QFileDialog::Detail || !v->isVisible()) out << QStringLiteral("not in the detail view");
    QHeaderView *h = v->header();
    const QFontMetrics fm(v->font()), hfm(h->font());
    const int icon = v->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, v);
    const QStringList typical[4] = {names, {QStringLiteral("1\u00a0023,99 KiB"), "10,40 KiB", "255,99 MiB"}, types, {"07.12.2026 08:27"}};
    for (int c = 0; c < 4; ++c) {
        const int w = h->sectionSize(c);
        const QString title = h->model()->headerData(c, Qt::Horizontal).toString();
        auto fault = [&](const QString &what, int need) {
            if (need > w) out << QStringLiteral("column %1 (%2): %3 needs %4, has %5").arg(c).arg(title, what).arg(need).arg(w);
        };
        // Every listed file's cell as the list's own delegate wants it, the title with the
        // sort mark, and the typical texts measured here.
        fault(QStringLiteral("a listed file"), static_cast<QAbstractItemView *>(v)->sizeHintForColumn(c));
        fault(QStringLiteral("its title with the sort mark"), h->sectionSizeHint(c));
        fault(QStringLiteral("its title"), hfm.horizontalAdvance(title) + 8);
        for (const QString &t : typical[c]) fault(t, fm.horizontalAdvance(t) + (c == 0 ? icon + 4 : 0) + 6);
    }
    if (h->length() > v->viewport()->width())
        out << QStringLiteral("columns %1 wide in a list %2 wide").arg(h->length()).arg(v->viewport()->width());
    // The places beside the list ("Компьютер", the home folder) whole too.
    if (const auto *places = d.findChild<QListView *>(QStringLiteral("sidebar"));
        places && places->sizeHintForColumn(0) > places->viewport()->width())
        out << QStringLiteral("places need %1, have %2").arg(places->sizeHintForColumn(0)).arg(places->viewport()->width());
    const QRect f = d.frameGeometry();
    if (!d.screen()->availableGeometry().contains(f))
        out << QStringLiteral("dialog %1x%2 at %3,%4 off the screen").arg(f.width()).arg(f.height()).arg(f.x()).arg(f.y());
    return out;
}

QScreen *Screen(int width)
{
    for (QScreen *s : QGuiApplication::screens())
        if (s->geometry().width() == width) return s;
    return nullptr;
}

// A window on the given screen for the dialogs to open over.
std::unique_ptr<QWidget> Owner(int screen_width)
{
    auto w = std::make_unique<QWidget>();
    w->resize(400, 300);
    w->move(Screen(screen_width)->geometry().topLeft() + QPoint(40, 40));
    w->show();
    return w;
}

Arhiv_Header Header()
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    const QByteArray line = Unicode_To_Cp1251(kLine);
    std::memcpy(h.line_name, line.constData(), sizeof h.line_name);
    h.contr_adr = 1;
    return h;
}

} // namespace

class Tst_File_Dialog_Size : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::function<void(QFileDialog &)> on_dialog;
    Scripted_Dialogs runner{[this](QDialog &d) {
        if (auto *fd = qobject_cast<QFileDialog *>(&d); fd && on_dialog) on_dialog(*fd);
    }};

    // Files of no known kind, and folders (Qt's Russian texts leave "Folder" as it is).
    QStringList Types() const { return {"Неизвестно", QFileIconProvider().type(QFileInfo(Cnf_Dir() + "/old"))}; }

    // Runs the command; each file dialog it opens is checked once listed, then cancelled.
    QString Check(const std::function<void()> &command, int rows, const QString &name, QStringList types = {})
    {
        QStringList faults;
        const int before = runner.Count;
        on_dialog = [&](QFileDialog &d) {
            if (!Wait_Listed(d, rows)) faults << QStringLiteral("directory not listed");
            faults << Faults(d, {name}, types + Types());
        };
        command();
        on_dialog = nullptr;
        if (runner.Count != before + 1) faults << QStringLiteral("%1 dialogs").arg(runner.Count - before);
        return faults.join(QStringLiteral("; "));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Screen(1024) && Screen(1280) && Screen(800));
        QCOMPARE(QGuiApplication::primaryScreen(), Screen(1024));
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path() + "/");
        QVERIFY(QDir().mkpath(Cnf_Dir() + "/old"));
        const QString mom = Arh_Dir(Arh_File_Kind::Chr_Meas), ala = Arh_Dir(Arh_File_Kind::Ala);
        QVERIFY(QDir().mkpath(mom) && QDir().mkpath(ala));
        Put_File(Cnf_Dir() + "/" + kCnf, 4335);
        Put_File(Cnf_Dir() + "/qzt_16-ГРС Южная-2612070840.cnf", 4335);
        Put_File(mom + "/" + kArh, 1048566);
        Put_File(mom + "/qzt16_001_261207.mwm", 2045);
        Put_File(mom + "/" + kXls, 24117);
        Put_File(ala + "/qzt16_001_261207.ala", 30128);
        Set_Dialog_Runner(&runner);
    }
    void cleanupTestCase() { Set_Dialog_Runner(nullptr); }

    void configuration_dialogs()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        Unicode_To_Field(kLine, reinterpret_cast<char *>(rec.t5), 20);
        QString f = Check([&] { Open_Cnf(nullptr, rec); }, 3, kCnf);
        QVERIFY2(f.isEmpty(), qPrintable("open: " + f));
        f = Check([&] { Save_Cnf(nullptr, rec); }, 3, kCnf);
        QVERIFY2(f.isEmpty(), qPrintable("save: " + f));
    }

    void archive_dialogs_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("1024x768") << 1024;
        QTest::newRow("1280x1024") << 1280;
    }
    void archive_dialogs()
    {
        QFETCH(int, width);
        const auto owner = Owner(width);
        QCOMPARE(owner->screen(), Screen(width));

        Save_Dialog_Setup s;
        s.dir = Arh_Dir(Arh_File_Kind::Chr_Meas);
        s.filter = Arh_Filter(Arh_File_Kind::Chr_Meas);
        s.proposed = Arh_Default_Name(Arh_File_Kind::Chr_Meas, s.dir, Header(), QDate(2026, 12, 7));
        QCOMPARE(QFileInfo(s.proposed).fileName(), kArh);
        File_Dialog_Save_Ui save(owner.get());
        QString f = Check([&] { save.Choose_Name(s); }, 1, kArh);
        QVERIFY2(f.isEmpty(), qPrintable("archive save: " + f));

        // The spreadsheet export's save dialog.
        s.filter = QStringLiteral("DataFiles (*.xlsx)");
        s.proposed = Xls_Default_Name(Xls_Viewer::Meas, s.dir, Header(), QDate(2026, 12, 7));
        QCOMPARE(QFileInfo(s.proposed).fileName(), kXls);
        const QString sheet = QMimeDatabase().mimeTypeForFile(kXls, QMimeDatabase::MatchExtension).comment();
        f = Check([&] { save.Choose_Name(s); }, 1, kXls, {sheet});
        QVERIFY2(f.isEmpty(), qPrintable("spreadsheet save: " + f));

        File_Dialog_Open_Ui open(owner.get());
        f = Check([&] { open.Choose_File(Open_Setup(Arh_File_Kind::Chr_Meas)); }, 1, kArh);
        QVERIFY2(f.isEmpty(), qPrintable("archive open: " + f));
        f = Check([&] { open.Choose_File(Open_Setup(Arh_File_Kind::Ala)); }, 1, "qzt16_001_261207.ala");
        QVERIFY2(f.isEmpty(), qPrintable("message open: " + f));
    }

    // A screen narrower than the dialog wants: the dialog stays on it.
    void small_screen()
    {
        const auto owner = Owner(800);
        File_Dialog_Open_Ui open(owner.get());
        QRect frame;
        on_dialog = [&](QFileDialog &d) {
            Wait_Listed(d, 1);
            frame = d.frameGeometry();
        };
        open.Choose_File(Open_Setup(Arh_File_Kind::Chr_Meas));
        on_dialog = nullptr;
        QVERIFY(frame.isValid());
        QVERIFY2(Screen(800)->availableGeometry().contains(frame),
                 qPrintable(QStringLiteral("%1x%2 at %3,%4").arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y())));
    }

    // Qt keeps the view and the column widths of the last file dialog for the next one.
    void earlier_session_state_ignored()
    {
        {
            QFileDialog d;
            d.setOption(QFileDialog::DontUseNativeDialog);
            d.setDirectory(Cnf_Dir());
            d.show();
            Wait_Listed(d, 1);
            for (int c = 0; c < 4; ++c) Tree(d)->header()->resizeSection(c, 30);
            d.findChild<QSplitter *>(QStringLiteral("splitter"))->setSizes({40, 500});
            d.setViewMode(QFileDialog::List);
        }
        QCOMPARE(QSettings(QSettings::UserScope, "QtProject").value("FileDialog/viewMode").toString(), QString("List"));
        Cnf_Rec rec;
        New_Cnf(rec);
        const QString f = Check([&] { Open_Cnf(nullptr, rec); }, 3, kCnf);
        QVERIFY2(f.isEmpty(), qPrintable(f));
    }
};

int main(int argc, char **argv)
{
    // As the program runs: dates and sizes of the lists by a Russian system locale, Qt's
    // Russian texts. The screens: 1024x768 (the first), 1280x1024 and 800x600 beside it. Qt's
    // file-dialog settings in a place of their own.
    QTemporaryDir cfg;
    QFile json(cfg.filePath("screens.json"));
    if (!json.open(QIODevice::WriteOnly)) return 2;
    json.write(R"({"screens": [{"name": "a", "x": 0, "y": 0, "width": 1024, "height": 768},
        {"name": "b", "x": 1024, "y": 0, "width": 1280, "height": 1024},
        {"name": "c", "x": 2304, "y": 0, "width": 800, "height": 600}]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + json.fileName()).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(cfg.path()));
    qunsetenv("LC_ALL");
    qputenv("LC_TIME", "ru_RU.UTF-8");
    qputenv("LC_NUMERIC", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTranslator qt_ru;
    if (qt_ru.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qt_ru);
    Tst_File_Dialog_Size t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_file_dialog_size.moc"
