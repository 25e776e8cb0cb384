#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Main.h"
#include "core/forms/Ques_Form.h"
#include "core/forms/Wait_Form.h"
#include "core/forms/Window_Place.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

TFormQues *Shown_Dialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TFormQues *>(w); f && f->isVisible())
            return f;
    return nullptr;
}

// Runs `act` on the question dialog as soon as its modal loop shows it.
void When_Shown(std::function<void(TFormQues *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        TFormQues *f = Shown_Dialog();
        if (!f)
            return;
        poll->stop();
        poll->deleteLater();
        act(f);
    });
    poll->start();
}

// The owner of a message asked right after a file dialog of `opener` closed, with nothing
// active then (as under a window manager that has not activated the opener again yet);
// `gone` is done once the dialog is closed.
QWidget *Owner_After_File_Dialog(QWidget *opener, std::function<void()> gone = {})
{
    {
        QFileDialog d(opener);
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.show();
        if (!QTest::qWaitForWindowActive(&d)) return nullptr;
    }
    if (gone) gone();
    QApplication::setActiveWindow(nullptr);
    if (QApplication::activeWindow()) return nullptr;
    QWidget *owner = nullptr;
    When_Shown([&owner](TFormQues *f) {
        owner = f->parentWidget();
        f->BitBtn3->click();
    });
    Ques_Kind = 6;
    Show_Ques(QStringLiteral("Файл bad.cnf не является файлом конфигурации"), QString());
    return owner;
}

struct Shown {
    QString title, l1, l2, l3;
    bool yes = false, no = false, ok = false, enabled = false;
    QSize size;
    bool focus_yes = false, focus_ok = false;
};

}  // namespace

class Tst_Ques_Form : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Install_Ques_Dialog(); }

    void kinds_data()
    {
        QTest::addColumn<uint>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("third");
        QTest::addColumn<bool>("yes_no");
        QTest::newRow("1") << 1u << "Ошибка" << "" << false;
        QTest::newRow("2") << 2u << "Ошибка ввода параметров" << "" << false;
        QTest::newRow("3") << 3u << "" << "" << true;
        QTest::newRow("4") << 4u << "" << "(см. текущее состояние контроллера)" << false;
        QTest::newRow("5") << 5u << "Результат обмена с устройством" << "" << false;
        QTest::newRow("6") << 6u << "" << "" << false;
        QTest::newRow("7") << 7u << "" << "Повторить попытку?" << true;
        QTest::newRow("unknown") << 99u << "" << "" << false;
    }
    void kinds()
    {
        QFETCH(uint, kind);
        QFETCH(QString, caption);
        QFETCH(QString, third);
        QFETCH(bool, yes_no);
        Shown s;
        When_Shown([&s](TFormQues *f) {
            s = {f->windowTitle(), f->Label1->text(), f->Label2->text(), f->Label3->text(),
                 f->BitBtn1->isVisible(), f->BitBtn2->isVisible(), f->BitBtn3->isVisible(),
                 f->isEnabled(), f->size(), f->focusWidget() == f->BitBtn1,
                 f->focusWidget() == f->BitBtn3};
            f->BitBtn2->isVisible() ? f->BitBtn2->click() : f->BitBtn3->click();
        });
        Ques_Kind = kind;
        Show_Ques(QStringLiteral("Строка 1"), QStringLiteral("Строка 2"));
        // Never empty: the platform would caption the box with the program's name.
        QVERIFY(!s.title.isEmpty());
        QCOMPARE(s.title.trimmed(), caption);
        QCOMPARE(s.l1, QStringLiteral("Строка 1"));
        QCOMPARE(s.l2, QStringLiteral("Строка 2"));
        QCOMPARE(s.l3, third);
        QCOMPARE(s.yes, yes_no);
        QCOMPARE(s.no, yes_no);
        QCOMPARE(s.ok, !yes_no);
        QVERIFY(s.enabled);
        QCOMPARE(s.focus_yes, yes_no);
        QCOMPARE(s.focus_ok, !yes_no);
        QCOMPARE(s.size.height(), third.isEmpty() ? 150 : 175);
        QCOMPARE(Ques_Kind, uint32_t(kind));   // the caller's kind is kept
        QCOMPARE(Ques_Answer, uint8_t(0));
    }

    void line_wider_than_screen_wraps()
    {
        TFormQues f;
        const int screen_w = f.screen()->availableGeometry().width();
        const QString line = QStringLiteral("слово ").repeated(screen_w / 30 + 10).trimmed();
        f.Setup(Make_Ques_Setup(3, line, QStringLiteral("Продолжить?")));
        QCOMPARE(f.width(), screen_w);
        QCOMPARE(f.Label1->text(), line);   // nothing cut
        QVERIFY(f.Label1->wordWrap());
        QVERIFY(f.height() > 150);
        QVERIFY(f.Label1->geometry().bottom() < f.Label2->y());
        QVERIFY(f.Label3->geometry().bottom() < f.BitBtn1->y());
    }

    void answers()
    {
        Ques_Kind = 7;
        Ques_Answer = 1;
        When_Shown([](TFormQues *f) { f->BitBtn1->click(); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(1));

        When_Shown([](TFormQues *f) { f->BitBtn2->click(); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(0));

        Ques_Answer = 1;
        When_Shown([](TFormQues *f) { QTest::keyClick(f, Qt::Key_Escape); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(0));

        Ques_Answer = 1;
        When_Shown([](TFormQues *f) { f->close(); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(0));

        // Enter takes the focused "Да".
        When_Shown([](TFormQues *f) { QTest::keyClick(f, Qt::Key_Return); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(1));

        Ques_Kind = 1;
        When_Shown([](TFormQues *f) { f->BitBtn3->click(); });
        Show_Ques(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(Ques_Answer, uint8_t(0));
    }

    // The box stands over the window it speaks about, also a disabled one (the connection
    // dialog during an attempt, the main window during an archive read), and can always be
    // answered, also when that window is disabled again while the box is up.
    void answerable_over_a_disabled_window()
    {
        Install_Window_Places();
        QWidget main;
        main.setGeometry(QRect(QPoint(20, 30), QSize(700, 500)));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.setEnabled(false);   // as during an archive read
        bool enabled = false, owned = false;
        QPoint off_centre;
        When_Shown([&](TFormQues *f) {
            owned = f->parentWidget() == &main;
            main.setEnabled(true);
            main.setEnabled(false);
            enabled = f->isEnabled() && f->BitBtn1->isEnabled();
            off_centre = Frame_Rect(f).center() - Frame_Rect(&main).center();
            enabled ? f->BitBtn1->click() : f->done(0);   // a disabled box would never return
        });
        Ques_Kind = 3;
        Show_Ques(QStringLiteral("Прервать чтение?"), QString());
        QVERIFY(owned);
        QVERIFY(enabled);
        QVERIFY2(off_centre.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(off_centre.x()).arg(off_centre.y())));
        QCOMPARE(Ques_Answer, uint8_t(1));
    }

    // A window without a frame (the wait form) is its own frame: a box over it is centred on
    // its own rectangle, not on one taller by another window's title bar; a window it owns
    // that is not framed yet is given a framed window's frame, not the wait form's none.
    void centred_over_a_frameless_window()
    {
        Install_Window_Places();
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(!Frame_Margins(&main).isNull());   // a frame the wait form could borrow
        TFormWait wait(&main);
        wait.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wait));
        QCOMPARE(Frame_Rect(&wait), wait.geometry());
        const TFormQues not_shown(&wait);
        QCOMPARE(Frame_Margins(&not_shown), Frame_Margins(&main));
        QPoint off_centre;
        When_Shown([&](TFormQues *f) {
            off_centre = Frame_Rect(f).center() - wait.geometry().center();
            f->BitBtn3->click();
        });
        Ques_Kind = 6;
        Show_Ques(QStringLiteral("Нет данных за указанный период"), QString());
        QVERIFY(off_centre.manhattanLength() <= 2);
    }

    // With no window active after a file dialog, the message stands over the window that
    // opened the dialog, else over the latest active window still shown, else over the main
    // window; never over none.
    void owner_when_no_window_is_active()
    {
        QTemporaryDir dir;
        Set_Work_Dir(dir.path());
        TFormMain main;
        main.TimerStart.stop();
        const auto activate = [](QWidget &w) {
            w.show();
            w.activateWindow();
            return QTest::qWaitForWindowActive(&w);
        };
        QWidget viewer(nullptr, Qt::Window), opener(nullptr, Qt::Window);
        QVERIFY(activate(opener) && activate(viewer));
        QCOMPARE(Owner_After_File_Dialog(&opener), &opener);

        QVERIFY(activate(viewer));
        QCOMPARE(Owner_After_File_Dialog(&opener, [&opener] { opener.hide(); }), &viewer);

        viewer.hide();
        QCOMPARE(Owner_After_File_Dialog(nullptr), static_cast<QWidget *>(&main));
    }
};

QTEST_MAIN(Tst_Ques_Form)
#include "tst_ques_form.moc"
