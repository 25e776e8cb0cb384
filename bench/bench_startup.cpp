// Start-up figure: from starting the program to its main window first painted, on the
// offscreen platform, as the median of several starts of a fresh process. The limit beside it,
// measured in the same run: a process of the same build showing an empty main window of the
// same size (loading the same libraries, starting the same toolkit).
// Run it from a release build. Prints each figure with its target and a verdict; the exit
// code is 0 whatever the verdicts.
#include "Program.h"
#include "core/forms/Main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// Says "shown" on the first paint of the window and ends the process.
class First_Paint : public QObject {
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            std::printf("shown\n");
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

int Child(int argc, char **argv, bool program)
{
    QApplication app(argc, argv);
    First_Paint watch;
    if (program) {
        TFormMain w;
        Install_Commands(&w);
        w.installEventFilter(&watch);
        w.show();
        return app.exec();
    }
    QMainWindow w;
    w.resize(1040, 680);
    w.installEventFilter(&watch);
    w.show();
    return app.exec();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds from the start of a child process to its word that the window is shown.
double Start_S(const QString &self, const char *mode, const QString &work)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QZT_WORK_DIR"), work);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(self, {QString::fromLatin1(mode)});
    QByteArray out;
    while (!out.contains("shown") && p.waitForReadyRead(20000)) out += p.readAllStandardOutput();
    const double s = double(t.nsecsElapsed()) / 1e9;
    p.waitForFinished(20000);
    return out.contains("shown") ? s : -1;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--program") == 0) return Child(argc, argv, true);
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return Child(argc, argv, false);

    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString self = QCoreApplication::applicationFilePath();
    constexpr int kRuns = 7;
    std::vector<double> program, bare;
    for (int i = 0; i < kRuns; ++i) {
        program.push_back(Start_S(self, "--program", work.path()));
        bare.push_back(Start_S(self, "--bare", work.path()));
    }
    const double p = Median(program), b = Median(bare);
    std::printf("%-44s %10.3f s   (target <= 0.5): %s\n", "start-up to the main window (median)", p,
                p > 0 && p <= 0.5 ? "ok" : "OVER");
    std::printf("%-44s %10.3f s\n", "limit: an empty main window (median)", b);
    std::printf("%-44s %10.2f x the limit\n", "start-up", p / b);
    return 0;
}
