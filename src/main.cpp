// The program: application object, main window and message loop.
#include <QApplication>
#include "core/forms/Connect_Seq.h"
#include "archives/forms/Arh_Install.h"
#include "archives/forms/Excrep_date.h"
#include "core/forms/Main.h"
#include "messages/forms/Msg_Menu.h"
#include "params/forms/Curr_State.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"
#include "params/forms/Params_Menu.h"
#include "params/forms/Syspar.h"

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
    Install_Connect(&w);
    Install_Param_Commands(&w);
    Install_Syspar_Commands(&w);
    Install_Link_Commands(&w);
    Install_Limit_Commands(&w);
    Install_State_Commands(&w);
    Install_Archives(&w);
    Install_Passport_Commands(&w);
    Install_Message_Commands(&w);
    w.show();
    return app.exec();
}
