// The main window without a controller: start-up, menus without a link, the Esc hook, the
// call timer, the status bar, commands one at a time and the shutdown.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/About.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Window_Place.h"
#include "core/Suplfunc.h"
#include "params/forms/Param_Dialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
// The float parser of the parameter dialogs.
struct Float_Edit : TParam_Dialog {
    using TParam_Dialog::Parse_Float;
};

class Silent_Ques : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &) override { return 0; }
};
} // namespace

class Tst_Main_Window : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    Silent_Ques ques;

    void Write_Geometry(int w, int h, int left, int top)
    {
        QDir().mkpath(dir->path() + "/INI");
        QFile f(dir->path() + "/INI/qzt.ini");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[CURR_PAR]\nForm_Width=%1\nForm_Height=%2\nForm_Left=%3\nForm_Top=%4\n")
                    .arg(w).arg(h).arg(left).arg(top).toLatin1());
    }

    std::unique_ptr<TFormMain> Make()
    {
        auto m = std::make_unique<TFormMain>();
        m->TimerStart.stop();
        Set_Ques_Handler(&ques);
        return m;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        Set_Work_Dir(dir->path());
        Connected = false;
        Exch_Run = false;
        Exch_Abort = false;
    }
    void cleanup()
    {
        Set_Ques_Handler(nullptr);
        Init_Tables();
    }

    void start_up_makes_directories_and_applies_geometry()
    {
        QDir().mkpath(dir->path() + "/INI");
        {
            QFile f(dir->path() + "/INI/qzt.ini");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[CURR_PAR]\nForm_Width=700\nForm_Height=500\nForm_Left=20\nForm_Top=30\n");
        }
        const QByteArray before = [&] {
            QFile f(dir->path() + "/INI/qzt.ini");
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        auto m = std::make_unique<TFormMain>();
        QVERIFY(m->TimerStart.isActive());
        QCOMPARE(m->TimerStart.interval(), 100);
        m->TimerStart.stop();
        for (const char *d : {"CONFIG", "ALAFILES", "AUDFILES", "CALIBRARHIV", "MOMDATA", "HOURDATA", "DAYDATA", "REPORT", "INI"})
            QVERIFY2(QDir(dir->path() + "/" + d).exists(), d);
        QCOMPARE(m->windowTitle(), QStringLiteral("Программа обслуживания контроллера  QZT_XRM5170"));
        QCOMPARE(m->size(), QSize(700, 500));   // fits the test screen: taken as stored
        QCOMPARE(m->pos(), QPoint(20, 30));
        QVERIFY(Exch_Box);
        QCOMPARE(int(Exch_Box->Adr), 0);
        // Until a connect attempt has ended, no top-level menu is shown.
        for (QAction *a : m->menuBar()->actions()) QVERIFY(!a->isVisible());
        QVERIFY(m->StatusBar2->isHidden());
        QVERIFY(m->StatusBar3->isHidden());
        QVERIFY(m->pnmodem->isHidden());
        // Resizing the window does not change the stored geometry.
        m->show();
        m->resize(1000, 700);
        m->close();
        QVERIFY(!Exch_Box);
        QFile f(dir->path() + "/INI/qzt.ini");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // The exchange panel holds "Обмен..." whole in the font here, and the panels do not push
    // the window past the width from the settings.
    void status_bar_panels()
    {
        Write_Geometry(700, 500, 10, 10);
        auto m = Make();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m.get()));
        const QLabel *busy = m->StatusBar1->Panel(3);
        QVERIFY(busy->fontMetrics().horizontalAdvance(hgcbox::Busy_Text()) < busy->contentsRect().width());
        QCOMPARE(m->width(), int(Conn_Settings.Curr_Par.Form_Width));
        QCOMPARE(m->StatusBar1->width(), m->width());
    }

    // Started on a screen smaller than the one the geometry was kept on, the window (title bar
    // and status bars) stays inside the available area; the settings keep what they had.
    void window_kept_inside_a_smaller_screen()
    {
        Write_Geometry(1240, 960, 100, 50);
        auto m = Make();
        QVERIFY(m->screen()->availableGeometry().contains(QRect(m->pos(), m->size())));
        const Curr_Par_Rec &c = Conn_Settings.Curr_Par;
        QCOMPARE(QRect(c.Form_Left, c.Form_Top, c.Form_Width, c.Form_Height), QRect(100, 50, 1240, 960));
    }

    // The place written at the close is where the window stood, and the next start puts it
    // there again: a place means the frame's top-left, stored or not.
    void same_place_at_every_start()
    {
        QDir().mkpath(dir->path() + "/INI");
        {
            QFile f(dir->path() + "/INI/qzt.ini");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[CURR_PAR]\nForm_Width=600\nForm_Height=400\n");
        }
        QPoint first;
        for (int start = 0; start < 2; ++start) {
            auto m = Make();
            m->show();
            QVERIFY(QTest::qWaitForWindowExposed(m.get()));
            QTest::qWait(50);   // a frame guessed wrong would be put right by now
            const QPoint at = Frame_Rect(m.get()).topLeft();
            if (start == 0) first = at;
            QCOMPARE(at, first);
            const QRect screen = m->screen()->availableGeometry();
            Conn_Settings.Curr_Par.Conn_Prz = 2;   // Ethernet chosen: the place is written with it
            m->close();
            QVERIFY(Read_Ini(dir->path() + "/INI/qzt.ini", screen.width(), screen.height()));
            QCOMPARE(QPoint(Conn_Settings.Curr_Par.Form_Left, Conn_Settings.Curr_Par.Form_Top), at);
        }
    }

    // Without a stored place the window stands in the middle of the screen as a window of
    // the stored size (a place that cannot wait for the frame, which the window manager tells
    // only once the window is shown); a dialog is centred on its owner by the frame.
    void centred_by_the_frame()
    {
        QDir().mkpath(dir->path() + "/INI");
        {
            QFile f(dir->path() + "/INI/qzt.ini");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[CURR_PAR]\nForm_Width=700\nForm_Height=500\n");
        }
        auto m = Make();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m.get()));
        const QRect s = m->screen()->availableGeometry();
        QTest::qWait(50);
        QCOMPARE(Frame_Rect(m.get()).topLeft(), s.topLeft() + QPoint((s.width() - 700) / 2, (s.height() - 500) / 2));
        QCOMPARE(m->size(), QSize(700, 500));
        m->move(m->pos() - QPoint(40, 30));
        QDialog d(m.get());
        d.resize(300, 200);
        d.show();
        QTRY_VERIFY((Frame_Rect(&d).center() - Frame_Rect(m.get()).center()).manhattanLength() <= 2);
    }

    // The link description (device and rate) and the dialling progress are shown whole; the
    // exchange panel stays in the bar.
    void status_texts_shown_whole()
    {
        Write_Geometry(760, 500, 10, 10);
        auto m = Make();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m.get()));
        for (TStatusBar *b : {m->StatusBar1, m->StatusBar3}) {
            const QString text = b == m->StatusBar1 ? QStringLiteral(" /dev/ttyUSB0,   230400 бит/с")
                                 : QStringLiteral(" Установление связи по телефону. Команда ATDT88001234567.  Ответ NO DIALTONE");
            b->Set_Text(0, text);
            QVERIFY(b->Panel(0)->fontMetrics().horizontalAdvance(text) <= b->Panel(0)->contentsRect().width());
        }
        QVERIFY(m->StatusBar1->Panel(3)->geometry().right() < m->StatusBar1->width());
    }

    // The program's numbers keep "." under a Russian default locale, which the main window
    // leaves in place for the dates and sizes of Qt's own dialogs.
    void numbers_keep_the_point_under_a_russian_locale()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        auto m = Make();
        QCOMPARE(QLocale().language(), QLocale::Russian);
        QCOMPARE(Float_To_Str(12.3456f), QStringLiteral("12.346"));
        QCOMPARE(Key_Press_Float(QStringLiteral("12"), 2, u','), QChar(u'.'));
        float v = 0;
        QVERIFY(Float_Edit::Parse_Float(QStringLiteral("12.346"), v));
        QCOMPARE(v, 12.346f);
        QVERIFY(!Float_Edit::Parse_Float(QStringLiteral("12,346"), v));
        QLocale::setDefault(QLocale::c());
    }

    void esc_aborts_only_a_running_read()
    {
        auto m = Make();
        m->show();
        QTest::keyClick(m.get(), Qt::Key_Escape);
        QVERIFY(!Exch_Abort);
        Exch_Run = true;
        QTest::keyClick(m->StatusBar1, Qt::Key_Escape);
        QVERIFY(Exch_Abort);
        Exch_Run = false;
        Exch_Abort = false;
        QTest::keyClick(m.get(), Qt::Key_A);
        QVERIFY(!Exch_Abort);
    }

    void call_timer_counts_from_the_call_start()
    {
        auto m = Make();
        m->show();
        m->Start_Call();
        QCOMPARE(m->pntime->text(), QString("00:00:00"));
        QVERIFY(m->TimerMoney.isActive());
        QCOMPARE(m->TimerMoney.interval(), 1000);
        QVERIFY(m->pnmodem->isVisibleTo(m.get()));
        m->Call_Start = QDateTime::currentDateTime().addSecs(-(3600 + 2 * 60 + 5));
        QTRY_COMPARE_WITH_TIMEOUT(m->pntime->text().left(7), QString("01:02:0"), 20000);
        m->Disconnect();
        QVERIFY(!m->TimerMoney.isActive());
        QVERIFY(!m->pnmodem->isVisibleTo(m.get()));
        QVERIFY(!Connected);
    }

    void one_command_at_a_time_and_close_waits_for_it()
    {
        auto m = Make();
        m->show();
        const QString work = Work_Dir() + "datafile.msd";
        {
            QFile f(work);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        bool inner = true;
        bool closed_inside = true;
        QVERIFY(m->Run_Command([&] {
            inner = m->Run_Command([] {});
            m->close();
            closed_inside = Exch_Box == nullptr;
        }));
        QVERIFY(!inner);
        QVERIFY(!closed_inside);
        QTRY_VERIFY_WITH_TIMEOUT(Exch_Box == nullptr, 20000);
        QVERIFY(!QFile::exists(work));
        // After the shutdown nothing starts any more, not even a connect attempt.
        bool ran = false;
        QVERIFY(!m->Run_Command([&] { ran = true; }));
        m->Connect_Sequence = [&](TFormMain *) { ran = true; };
        m->TimerStart.start();
        QTest::qWait(300);
        QVERIFY(!ran);
        QVERIFY(!m->TimerStart.isActive());
    }

};

QTEST_MAIN(Tst_Main_Window)
#include "tst_main_window.moc"
