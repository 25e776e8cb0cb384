#include "core/forms/Wait_Form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QWindow>
#include <QtTest>

namespace {

// Stands in for the readers' application-wide Esc filter.
class Esc_Watch : public QObject {
public:
    int seen = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape)
            ++seen;
        return false;
    }
};

}  // namespace

class Tst_Wait_Form : public QObject {
    Q_OBJECT
private slots:
    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("l1");
        QTest::addColumn<QString>("l2");
        QTest::addColumn<QString>("l3");
        const QString wait = QStringLiteral("Ожидайте...");
        QTest::newRow("0") << 0 << wait << "Выполняется проверка" << "всех параметров конфигурации";
        QTest::newRow("1") << 1 << wait << "Выполняется чтение данных" << "Esc - прервать чтение";
        QTest::newRow("2") << 2 << wait << "Выполняется запись параметров"
                           << "конфигурации в контроллер";
        QTest::newRow("3") << 3 << wait << "Выполняется чтение" << "таблиц параметров конфигурации";
        QTest::newRow("4") << 4 << wait << "Выполняется создание" << "таблицы в формате Excel";
        QTest::newRow("5") << 5 << "Команда передана. Выполняется проверка"
                           << "восстановления связи с контроллером" << wait;
        QTest::newRow("unknown keeps the design texts") << 6 << wait << "" << "";
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, l1);
        QFETCH(QString, l2);
        QFETCH(QString, l3);
        TFormWait w;
        w.Wait_Mode = uint8_t(mode);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.Label1->text(), l1);
        QCOMPARE(w.Label2->text(), l2);
        QCOMPARE(w.Label3->text(), l3);
        QCOMPARE(w.size(), QSize(332, 138));
        QCOMPARE(w.windowTitle(), QStringLiteral("..."));
    }

    void esc_reaches_the_filter_and_leaves_the_form_up()
    {
        QWidget main;
        main.resize(500, 400);
        main.show();
        auto *w = new TFormWait(&main);
        w->Wait_Mode = 1;
        w->ProgressBar1->setMaximum(10);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        main.setEnabled(false);   // as the readers do while they run
        QVERIFY(w->isEnabled());

        Esc_Watch watch;
        qApp->installEventFilter(&watch);
        QTest::keyClick(w, Qt::Key_Escape);
        QTest::keyClick(w->ProgressBar1, Qt::Key_Escape);
        qApp->removeEventFilter(&watch);
        QVERIFY(watch.seen >= 2);
        QVERIFY(w->isVisible());

        w->ProgressBar1->setValue(5);
        QCOMPARE(w->ProgressBar1->value(), 5);
        main.setEnabled(true);
        delete w;
    }

    // No window-manager frame (so no system menu, buttons or close box whatever the window
    // manager), its own "..." caption, and owned by the main window (no taskbar entry).
    void owned_and_without_window_buttons()
    {
        QWidget main;
        main.resize(500, 400);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TFormWait w(&main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const Qt::WindowFlags f = w.windowFlags();
        QVERIFY(f.testFlag(Qt::FramelessWindowHint));
        for (Qt::WindowType b : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                 Qt::WindowMaximizeButtonHint, Qt::WindowStaysOnTopHint})
            QVERIFY(!f.testFlag(b));
        QCOMPARE(w.windowHandle()->transientParent(), main.windowHandle());
        QVERIFY(w.Caption->geometry().bottom() < w.Label1->y());
    }

    void goes_with_its_owner()
    {
        auto *main = new QWidget;
        QPointer<TFormWait> w = new TFormWait(main);
        w->show();
        delete main;
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(Tst_Wait_Form)
#include "tst_wait_form.moc"
