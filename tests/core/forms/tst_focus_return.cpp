// A window of the program is active again after the active one closed, with its focus where it
// was, also where the window manager activates none; a window left for another program is not
// taken back when it closes.
#include "core/forms/Focus_Back.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

namespace {
// The test platform activates a window some time after it is shown, and none as the active one
// hides: its own activation is let in before the window is made the active one.
bool Show_Active(QWidget *w)
{
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    QApplication::setActiveWindow(w);
    return QApplication::activeWindow() == w;
}
} // namespace

class Tst_Focus_Return : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Install_Focus_Return(); }

    void owner_active_again_with_its_focus()
    {
        QDialog viewer;
        new QPushButton(QStringLiteral("Выход"), &viewer);
        auto *print = new QPushButton(QStringLiteral("Печать"), &viewer);
        print->move(0, 40);
        QVERIFY(Show_Active(&viewer));
        print->setFocus();

        // The print window closes, and right after it the preview that owns it.
        auto *preview = new QDialog(&viewer);
        auto *progress = new QDialog(preview);
        QVERIFY(Show_Active(preview));
        QVERIFY(Show_Active(progress));
        progress->hide();
        preview->hide();
        QVERIFY(!QApplication::activeWindow());
        QTRY_COMPARE(QApplication::activeWindow(), &viewer);
        QCOMPARE(QApplication::focusWidget(), print);

        // The user went to another program before the preview closed: nothing is activated.
        QVERIFY(Show_Active(preview));
        QApplication::setActiveWindow(nullptr);
        preview->hide();
        QTest::qWait(3 * Return_Delay_Ms);
        QVERIFY(!QApplication::activeWindow());
    }
};

QTEST_MAIN(Tst_Focus_Return)
#include "tst_focus_return.moc"
