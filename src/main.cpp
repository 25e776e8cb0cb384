// The program: application object, main window and message loop.
#include "Program.h"
#include "core/forms/Main.h"
#include "core/forms/Ques_Form.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <clocale>

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
            QMessageBox::critical(Message_Owner(), QStringLiteral("QZT"), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(Message_Owner(), QStringLiteral("QZT"), QStringLiteral("Неизвестная ошибка"));
        }
        return false;
    }
};
} // namespace

int main(int argc, char **argv)
{
#if defined(Q_OS_UNIX)
    // The file dialogs show dates and sizes by the system locale, which Qt takes here from
    // the environment when it starts: Russian, as every other text of the program.
    qunsetenv("LC_ALL");
    qputenv("LC_TIME", "ru_RU.UTF-8");
    qputenv("LC_NUMERIC", "ru_RU.UTF-8");
#endif
    Qzt_Application app(argc, argv);
    // Dates and month names of the other widgets are Russian too. The program's own numbers
    // never go through these locales: they are written and read with QLocale::c() (".").
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // The application object took the system's C library locale; the spreadsheet writer
    // prints its numbers through it, and they must keep "." there too.
    std::setlocale(LC_NUMERIC, "C");
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
