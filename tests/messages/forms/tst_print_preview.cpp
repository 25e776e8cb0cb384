// The print preview on small screens: its whole toolbar shown, the print button with it (none
// left behind "»"), the page as tall as the screen's free area allows, the window inside that
// area and centred on its owner; the focus on the page view, which shows it. Neither the
// preview nor the print dialog offers to change the report's fixed page.
#include "core/forms/Dialogs.h"
#include "core/forms/Window_Place.h"
#include "messages/Repklass.h"
#include "messages/forms/Prnarhiv.h"

#include "Offscreen_Screens.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QLibraryInfo>
#include <QPushButton>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QWindow>
#include <QtTest>
#include <cstring>

class Tst_Print_Preview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Install_Window_Places(); }

    void whole_toolbar_and_page_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("800x600") << QSize(800, 600);
    }
    void whole_toolbar_and_page()
    {
        QFETCH(QSize, screen);
        const QScreen *scr = nullptr;
        for (const QScreen *s : QGuiApplication::screens())
            if (s->geometry().size() == screen) scr = s;
        QVERIFY(scr);
        const QRect avail = scr->availableGeometry();
        QWidget owner;
        owner.setGeometry(avail.center().x() - 300, avail.y() + 60, 600, 400);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        QStringList hidden;
        QString last;
        QRect frame;
        bool focus_shown = false;
        Scripted_Dialogs run([&](QDialog &d) {
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QTest::qWait(30);
            auto *bar = d.findChild<QToolBar *>();
            QVERIFY(bar);
            for (QAction *a : bar->actions()) {
                if (a->isSeparator() || !a->isVisible()) continue;
                last = a->text();
                if (const QWidget *w = bar->widgetForAction(a); !w || !w->isVisible()) hidden << a->text();
            }
            if (const auto *more = bar->findChild<QToolButton *>("qt_toolbar_ext_button"); more && more->isVisible())
                hidden << QStringLiteral("»");
            frame = d.geometry().marginsAdded(d.windowHandle()->frameMargins());
            // The page view has the focus from the start and is drawn otherwise without it.
            QVERIFY(QTest::qWaitForWindowActive(&d));
            if (auto *view = qobject_cast<QGraphicsView *>(QApplication::focusWidget())) {
                const QImage focused = view->grab().toImage();
                view->clearFocus();
                focus_shown = focused != view->grab().toImage();
            }
            d.reject();
        });
        Set_Dialog_Runner(&run);
        QCOMPARE(Rep_Preview(&owner, Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, {})), Rep_Print_Result::Printed);
        Set_Dialog_Runner(nullptr);
        QCOMPARE(run.Count, 1);
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1String(", "))));
        QCOMPARE(last, QStringLiteral("Print"));   // the print button is the toolbar's last
        QVERIFY(avail.contains(frame));
        QCOMPARE(frame.height(), avail.height());
        QVERIFY(qAbs(frame.center().x() - owner.frameGeometry().center().x()) <= 2);
        QVERIFY(focus_shown);
    }

    // In the Russian the program loads: no orientation or page setup in the preview, and in the
    // print dialog's printer properties no paper, orientation or margin to change.
    void no_control_changes_the_fixed_page()
    {
        QTranslator ru;   // removed again when it goes
        QVERIFY(ru.load(QLocale(QLocale::Russian), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&ru);
        QStringList page, offered;
        for (const char *src : {"Portrait", "Landscape", "Page setup"})
            page << QCoreApplication::translate("QPrintPreviewDialog", src);
        bool properties_seen = false;
        Scripted_Dialogs run([&](QDialog &d) {
            for (const QAction *a : d.findChildren<QAction *>())
                if (page.contains(a->text()) && (a->isVisible() || a->isEnabled())) offered << a->text();
            QPushButton *props = d.findChild<QPushButton *>("properties");   // the print dialog's
            if (!props) return;
            QTimer::singleShot(0, [&] {
                QWidget *w = QApplication::activeModalWidget();
                properties_seen = w && w->inherits("QPrintPropertiesDialog");
                for (const char *name : {"pageSizeCombo", "portrait", "landscape", "topMargin", "leftMargin"})
                    if (const QWidget *c = w ? w->findChild<QWidget *>(name) : nullptr; !c || c->isEnabled()) offered << name;
                if (w) w->close();
            });
            props->click();
        });
        Set_Dialog_Runner(&run);
        const Rep_Report report = Build_Arhiv_Report(REP_KIND_ALA, Arhiv_Header{}, nullptr, {});
        Rep_Preview(nullptr, report);
        Rep_Print(nullptr, report, QPrinterInfo());
        Set_Dialog_Runner(nullptr);
        QVERIFY(properties_seen);
        QVERIFY2(offered.isEmpty(), qPrintable(offered.join(QLatin1String(", "))));
    }
};

// Two small screens side by side, the first the main one.
int main(int argc, char **argv) { return Exec_On_Screens<Tst_Print_Preview>(argc, argv, {{1024, 768}, {800, 600}}); }

#include "tst_print_preview.moc"
