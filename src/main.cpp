// The program: application object, main window and message loop.
#include "Program.h"
#include "core/forms/Main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace {
// Shows an exception that reaches the message loop instead of ending the program.
class Qzt_Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            QMessageBox::critical(nullptr, QStringLiteral("QZT"), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QStringLiteral("QZT"), QStringLiteral("Неизвестная ошибка"));
        }
        return false;
    }
};
} // namespace

int main(int argc, char **argv)
{
    Qzt_Application app(argc, argv);
    // Qt's own dialogs (files, printing) speak the program's language: Qt's Russian texts,
    // from the Qt installation or from "translations" beside the program.
    QTranslator qt_ru;
    for (const QString &dir : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QLatin1String("/translations")}) {
        if (qt_ru.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"), dir)) {
            app.installTranslator(&qt_ru);
            break;
        }
    }
    TFormMain w;
    Install_Commands(&w);
    w.show();
    return app.exec();
}
