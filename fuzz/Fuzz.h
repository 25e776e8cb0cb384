#pragma once
// Shared by the fuzz targets and the seed maker: a quiet program state in a private work
// directory, and the fuzz input handed over as a file.
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Tables.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

namespace fuzz {

// Messages and questions go nowhere and every question is answered "Нет".
struct Silent_Ques final : Ques_Handler {
    uint8_t Ask(const Ques_Setup &) override { return 0; }
};

// Once per process: the work directory (under TMPDIR) and the tables.
inline QString Dir()
{
    static const QString dir = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        static Silent_Ques ques;
        Set_Ques_Handler(&ques);
        const QString d = QDir::tempPath() + QString("/qzt-fuzz-%1/").arg(QCoreApplication::applicationPid());
        QDir().mkpath(d + "INI");
        Set_Work_Dir(d);
        Init_Tables();
        return d;
    }();
    return dir;
}

// Requests of the reply target, picked by the low bits of its first byte (the seed maker
// answers the same ones through the simulator).
inline constexpr uint8_t Reply_Funcs[8] = {1, 2, 7, 8, 12, 15, 16, 25};
inline constexpr uint8_t Reply_Args[16] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Writes bytes to a file of that name in the work directory; returns its path.
inline QString File(const QString &name, const QByteArray &bytes)
{
    const QString path = Dir() + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    return path;
}

} // namespace fuzz
