#pragma once
// Runs a widget test on offscreen screens of the given sizes, side by side, the first the main
// one: Qt sizes a window it is not told the size of by the main screen.
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

template <class Test> int Exec_On_Screens(int argc, char **argv, std::initializer_list<QSize> sizes)
{
    QJsonArray screens;
    for (int x = 0; const QSize s : sizes) {
        screens << QJsonObject{{"name", QString::number(x)}, {"x", x}, {"y", 0}, {"width", s.width()}, {"height", s.height()}};
        x += s.width();
    }
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("screens.json")));
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(QJsonObject{{"screens", screens}}).toJson()) < 0) return 1;
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(f.fileName()));
    QApplication app(argc, argv);
    Test t;
    return QTest::qExec(&t, argc, argv);
}
