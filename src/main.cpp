// The program: application object, main window and message loop.
#include "Program.h"
#include "core/forms/Main.h"

#include <QApplication>
#include <QMessageBox>

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
    TFormMain w;
    Install_Commands(&w);
    w.show();
    return app.exec();
}
