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

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
class Silent_Ques : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &) override { return 0; }
};
} // namespace

class Tst_Main_Window : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    Silent_Ques ques;

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
            f.write("[CURR_PAR]\nForm_Width=900\nForm_Height=600\nForm_Left=20\nForm_Top=30\n");
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
        QCOMPARE(m->size(), QSize(900, 600));
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
        auto m = Make();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m.get()));
        const QLabel *busy = m->StatusBar1->Panel(3);
        QVERIFY(busy->fontMetrics().horizontalAdvance(hgcbox::Busy_Text()) < busy->contentsRect().width());
        QCOMPARE(m->width(), int(Conn_Settings.Curr_Par.Form_Width));
        QCOMPARE(m->StatusBar1->width(), m->width());
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
