#include "core/Globals.h"

#include <QCoreApplication>
#include <QDir>

hgcbox *Exch_Box = nullptr;
bool Connected = false;
bool Exch_Run = false;
bool Exch_Abort = false;

namespace {
QString g_work_dir;

QString with_separator(QString d)
{
    d = QDir::cleanPath(d);
    if (!d.endsWith('/')) d += '/';
    return d;
}
} // namespace

void Set_Work_Dir(const QString &dir) { g_work_dir = with_separator(dir); }

QString Work_Dir()
{
    if (g_work_dir.isEmpty()) {
        const QByteArray env = qgetenv("QZT_WORK_DIR");
        if (!env.isEmpty())
            g_work_dir = with_separator(QString::fromLocal8Bit(env));
        else if (QCoreApplication::instance())
            g_work_dir = with_separator(QCoreApplication::applicationDirPath());
        else
            g_work_dir = with_separator(QDir::currentPath());
    }
    return g_work_dir;
}

QStringList File_Dialog_Filters()
{
    return {QStringLiteral("Data Files (*.cnf)"), QStringLiteral("DataFiles(*.srt)"),
            QStringLiteral("DataFiles(*.ala)"),   QStringLiteral("DataFiles(*.aud)"),
            QStringLiteral("DataFiles(*.mch)"),   QStringLiteral("DataFiles(*.mwm)"),
            QStringLiteral("DataFiles(*.hch)"),   QStringLiteral("DataFiles(*.hwm)"),
            QStringLiteral("DataFiles(*.dch)"),   QStringLiteral("DataFiles(*.dwm)"),
            QStringLiteral("DataFiles(*.clb)"),   QStringLiteral("DataFiles(*.vrf)"),
            QStringLiteral("DataFiles(*.*)")};
}
