// Saves that are killed half-way: this program runs itself as a child that saves over an
// existing file and stops just before the save completes; the test kills it there and finds
// the previous file as it was.
#include "archives/Arhiv_File.h"
#include "archives/Xls_Export.h"
#include "archives/Xls_report.h"
#include "archives/Xlsx_Template.h"
#include "core/Globals.h"
#include "core/Suplfunc.h"
#include "params/Config.h"

#include "../../tools/make-templates/Passport_Templates.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <cstdio>

namespace {
// The child: one save of the kind over path, held at its last step until killed.
int Child_Save(const QString &kind, const QString &path)
{
    Before_Commit = [] {
        std::fputs("saving\n", stdout);
        std::fflush(stdout);
        for (;;) QThread::sleep(60);
    };
    if (kind == "archive") {
        Arhiv_Header h{};
        h.rec_count = 1000;
        return int(Write_Arhiv_File(path, Arh_File_Kind::Chr_Meas, h, QByteArray(1000 * 94, 'r')));
    }
    if (kind == "cnf") return int(Write_Cnf_File(path, Cnf_Rec{}));
    if (kind == "xlsx") {
        Xls_Sheet s;
        for (int r = 0; r < 500; ++r) s.Number(r, 0, r);
        return int(Write_Xls(path, s));
    }
    Xlsx_Template t;
    if (!t.Open(Passport_Template_Path(PASSPORT_DAY))) return 2;
    Xls_Day_Sheet(t, Passport_Data{}, QStringLiteral("Объект"));
    return t.Save(path) ? 0 : 1;
}
} // namespace

class Tst_Save_Kill : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(passport_templates::Make_All(dir.path().toStdString()));
    }

    void killed_save_keeps_the_previous_file_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *k : {"archive", "cnf", "xlsx", "passport"}) QTest::newRow(k) << QString::fromLatin1(k);
    }
    void killed_save_keeps_the_previous_file()
    {
        QFETCH(QString, kind);
        const QString path = dir.filePath(kind + ".out");
        const QByteArray before = "the previous file, whole";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        f.close();

        QProcess child;
        child.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        child.setWorkingDirectory(dir.path());
        child.start(QCoreApplication::applicationFilePath(), {"--save", kind, path, dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
        QCOMPARE(child.readLine(), QByteArray("saving\n"));
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--save") {
        Set_Work_Dir(QString::fromLocal8Bit(argv[4]));
        return Child_Save(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    Tst_Save_Kill t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_save_kill.moc"
