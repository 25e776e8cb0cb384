// After the active window closes, one of the program is active again with its focus where it
// was, where the window manager activates none; not one left for another program.
#include "core/forms/Focus_Back.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

class Tst_Focus_Return : public QObject {
    Q_OBJECT
    // The test platform activates a window a while after it is shown, and none as one hides.
    static bool Show_Active(QWidget *w)
    {
        w->show();
        if (!QTest::qWaitForWindowExposed(w)) return false;
        QApplication::setActiveWindow(w);
        return QApplication::activeWindow() == w;
    }

private slots:
    void initTestCase() { Install_Focus_Return(); }

    void owner_active_again_with_its_focus()
    {
        QDialog viewer;
        new QPushButton(&viewer);
        auto *print = new QPushButton(&viewer);
        QVERIFY(Show_Active(&viewer));
        print->setFocus();
        // The print window closes, and right after it the preview that owns it.
        auto *preview = new QDialog(&viewer);
        auto *progress = new QDialog(preview);
        QVERIFY(Show_Active(preview) && Show_Active(progress));
        progress->hide();
        preview->hide();
        QVERIFY(!QApplication::activeWindow());
        QTRY_COMPARE(QApplication::activeWindow(), &viewer);
        QCOMPARE(QApplication::focusWidget(), print);

        QVERIFY(Show_Active(preview));
        QApplication::setActiveWindow(nullptr);   // the user went to another program
        preview->hide();
        QTest::qWait(3 * Return_Delay_Ms);
        QVERIFY(!QApplication::activeWindow());
    }
};

QTEST_MAIN(Tst_Focus_Return)
#include "tst_focus_return.moc"
