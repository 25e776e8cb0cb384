// After the active window closes, one of the program is active again with its focus where it
// was, where the window manager activates none; not one left for another program.
#include "core/forms/Focus_Back.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

class Tst_Focus_Return : public QObject {
    Q_OBJECT
private slots:
    void owner_active_again_with_its_focus()
    {
        Install_Focus_Return();
        // The test platform activates a window a while after it is shown, and none as one hides.
        const auto show_active = [](QWidget *w) {
            w->show();
            if (QTest::qWaitForWindowExposed(w)) QApplication::setActiveWindow(w);
            return QApplication::activeWindow() == w;
        };
        QDialog viewer;
        new QPushButton(&viewer);
        auto *print = new QPushButton(&viewer);
        QVERIFY(show_active(&viewer));
        print->setFocus();
        // The print window closes, and right after it the preview that owns it.
        auto *preview = new QDialog(&viewer);
        auto *progress = new QDialog(preview);
        QVERIFY(show_active(preview) && show_active(progress));
        progress->hide();
        preview->hide();
        QVERIFY(!QApplication::activeWindow());
        QTRY_COMPARE(QApplication::activeWindow(), &viewer);
        QCOMPARE(QApplication::focusWidget(), print);

        QVERIFY(show_active(preview));
        QApplication::setActiveWindow(nullptr);   // the user went to another program
        preview->hide();
        QTest::qWait(3 * Return_Delay_Ms);
        QVERIFY(!QApplication::activeWindow());
    }
};

QTEST_MAIN(Tst_Focus_Return)
#include "tst_focus_return.moc"
