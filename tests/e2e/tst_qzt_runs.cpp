// The built program itself, started as a user starts it (headless, in a fresh work directory):
// it makes its directories, shows its main window and then the connection dialog of its start
// timer, keeps running, and says nothing on stderr. A crash, an abort or a hang at start fails.
//
// What is on the screen is seen through Qt's accessibility cache, which logs every widget it
// meets with its place ("rect=") or "invisible"; those log lines are all stderr may hold, apart
// from the offscreen platform's own note that it cannot pass size hints to a window manager.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const char *const kDirs[] = {"CONFIG", "ALAFILES", "AUDFILES", "CALIBRARHIV", "MOMDATA",
                             "HOURDATA", "DAYDATA", "REPORT", "INI"};
const QString kLogPrefix = QStringLiteral("qt.accessibility.cache:");
const QString kOffscreenNote = QStringLiteral("This plugin does not support propagateSizeHints()");

// A widget the accessibility log met shown: a line naming it, with its role and a place.
bool Shown(const QString &log, const QString &name, const QString &role)
{
    for (const QString &line : log.split(u'\n'))
        if (line.startsWith(kLogPrefix) && line.contains(QStringLiteral("name=\"%1\"").arg(name))
            && line.contains(QStringLiteral("role=") + role) && line.contains(QStringLiteral("rect=")))
            return true;
    return false;
}
} // namespace

class Tst_Qzt_Runs : public QObject {
    Q_OBJECT
private slots:
    void starts_shows_its_windows_and_keeps_running()
    {
        const QString bin = qEnvironmentVariable("QZT_BIN");
        QVERIFY2(QFileInfo(bin).isExecutable(), qPrintable("QZT_BIN: " + bin));
        QTemporaryDir work;
        QVERIFY(work.isValid());

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QZT_WORK_DIR"), work.path());
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.accessibility.cache.debug=true"));
        p.setProcessEnvironment(env);
        p.setProgram(bin);
        QElapsedTimer t;
        t.start();
        p.start();
        QVERIFY2(p.waitForStarted(10000), qPrintable(p.errorString()));

        // Directories, the main window, then the connection dialog 100 ms after it.
        QString err;
        const QString main_title = QStringLiteral("Программа обслуживания контроллера  QZT_XRM5170");
        const QString connect_title = QStringLiteral("Установка связи с устройством");
        const auto ready = [&] {
            err += QString::fromUtf8(p.readAllStandardError());
            for (const char *d : kDirs)
                if (!QDir(work.filePath(QLatin1String(d))).exists()) return false;
            return Shown(err, main_title, QStringLiteral("Window")) && Shown(err, connect_title, QStringLiteral("Dialog"));
        };
        while (!ready() && p.state() == QProcess::Running && t.elapsed() < 30000) p.waitForReadyRead(100);
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable(QStringLiteral("ended with %1:\n%2").arg(p.exitCode()).arg(err)));
        QVERIFY2(ready(), qPrintable("not shown within 30 s:\n" + err));

        // Still running a few seconds after the start, with the dialog waiting for the user.
        while (t.elapsed() < 4000 && p.state() == QProcess::Running) p.waitForFinished(100);
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable(QStringLiteral("ended with %1:\n%2").arg(p.exitCode()).arg(err)));
        err += QString::fromUtf8(p.readAllStandardError());

        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(5000);
        }

        QStringList said;
        for (const QString &line : err.split(u'\n'))
            if (!line.isEmpty() && !line.startsWith(kLogPrefix) && line != kOffscreenNote) said << line;
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u'\n')));
        QVERIFY2(p.readAllStandardOutput().isEmpty(), "the program wrote to stdout");
    }
};

QTEST_GUILESS_MAIN(Tst_Qzt_Runs)
#include "tst_qzt_runs.moc"
