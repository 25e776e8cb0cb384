// Every dialog the menu commands and the connect sequence open, down to those they open in turn
// (viewers, the print heading dialog, the print windows, the forms behind "..."), appears at its
// final size where it stays: the geometry it was placed at when shown is the one it keeps once
// it has filled itself and its first timers have run.
#include "Program.h"
#include "SimArchive.h"
#include "SimMessages.h"

#include "archives/forms/Excrep_date.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Connect.h"
#include "messages/forms/Period.h"
#include "messages/forms/Ques_prn.h"
#include "messages/forms/Readindex.h"
#include "messages/forms/Shortdt.h"

#include "../../tools/make-templates/Passport_Templates.h"
#include "Sim_Menu.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QtTest>

class Tst_Dialogs_Stay : public QObject {
    Q_OBJECT
    Sim_Menu m;
    std::unique_ptr<Sim_Archive> arh;
    std::unique_ptr<Sim_Messages> msg;
    QStringList moved;
    QSet<QString> seen;   // classes of the dialogs opened

    // Buttons that open a dialog, pressed the first time a dialog of the class is seen.
    static void Press_Openers(QDialog &d)
    {
        static const QStringList texts = {"...", "Печать", "Признаки состояния", "Изменить", "Добавить",
                                          "Изменить параметры связи"};
        QList<QPointer<QPushButton>> openers;
        for (QPushButton *b : d.findChildren<QPushButton *>())
            if (texts.contains(b->text()) || (qobject_cast<TFormConnect *>(&d) && b->objectName() == "BitBtn6"))
                openers << b;
        for (const QPointer<QPushButton> &b : openers)
            if (b && d.isVisible() && b->isVisible() && b->isEnabled()) b->click();
    }

    // Each dialog as shown, before any event: looked at again once its queued events and first
    // timer ticks have run; then taken one step further (requests and the heading accepted).
    void Walk(QDialog &d, const QString &from)
    {
        const QRect placed = d.geometry();
        QTest::qWait(60);
        const QString cls = QString::fromLatin1(d.metaObject()->className());
        if (d.geometry() != placed)
            moved << QStringLiteral("%1 from %2: %3,%4 %5x%6 -> %7,%8 %9x%10")
                         .arg(cls, from)
                         .arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())
                         .arg(d.x()).arg(d.y()).arg(d.width()).arg(d.height());
        const bool first = !seen.contains(cls);
        seen << cls;
        if (auto *f = qobject_cast<TFormIndex *>(&d)) f->Btn_Accept->click();
        else if (auto *f = qobject_cast<TFormPeriod *>(&d)) f->Btn_Accept->click();
        else if (auto *f = qobject_cast<TFormShortDate *>(&d); f && f->Panel()) f->Panel()->Btn_Accept->click();
        else if (auto *f = qobject_cast<TFormQues_Prn *>(&d)) f->BitBtn1->click();
        else if (first) Press_Openers(d);
        if (auto *f = qobject_cast<TFormExcRep_Date *>(&d)) f->BitBtn5->click();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());   // the main window comes with the window placing
        QVERIFY(passport_templates::Make_All(m.dir.path().toStdString()));
        m.main->show();
        arh = std::make_unique<Sim_Archive>(m.sim);
        arh->Generate({});
        arh->Install();
        msg = std::make_unique<Sim_Messages>(m.sim, *arh);
        msg->Generate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), 200, 120, 60, 40);
        msg->Install();
        m.Sync();
        Tab_Field(6, 8)[0] = 1;   // moisture meter and flow computers fitted: every menu shown
        Tab_Field(6, 9)[0] = 1;
        Obj_List.obj_num = 1;     // a measured object for the passports
        std::strcpy(Obj_List.obj_name[0], "Obj");
        Install_Commands(m.main.get());
        m.main->Update_Menu();
    }

    void every_dialog_stays_where_it_was_placed()
    {
        QStringList items;
        for (const QAction *a : m.main->findChildren<QAction *>())
            if (!a->objectName().isEmpty() && !a->menu() && a->isEnabled() && a->isVisible()) items << a->objectName();
        items.sort();
        int dialogs = 0;
        // Leaving the program or starting the connect timer would end the walk.
        for (const QString &item : std::as_const(items))
            if (item != QLatin1String("NExit") && item != QLatin1String("Nconnect"))
                dialogs += m.Run(qPrintable(item), [&](QDialog &d) { Walk(d, item); });
        // The connect sequence last (it ends the link), with its subscriber list.
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Scripted_Dialogs run([&](QDialog &d) { Walk(d, QStringLiteral("connect")); });
        Set_Dialog_Runner(&run);
        m.main->Connect_Sequence(m.main.get());
        Set_Dialog_Runner(nullptr);

        QVERIFY2(moved.isEmpty(), qPrintable(moved.join(QLatin1Char('\n'))));
        // The walk reached the dialogs that fill themselves when shown.
        for (const char *c :
             {"TFormQues_Prn", "TFormIndex", "TFormPeriod", "TFormShortDate", "TFormAla", "TFormAud", "TFormSys",
              "TFormPrz", "TFormVichInf", "TFormTableInfo", "TFormMom", "TFormMomWmt", "TFormArhMeas_Wmt",
              "TFormArhivHD_Wmt", "TFormChromError", "TFormConnect", "TFormConn_Par", "TFormAbonents_List",
              "TFormAbonent", "TFormExcRep_Date", "TFormObjects_List", "TFormObject", "TFormXls_Report",
              "QPrintPreviewDialog"})
            QVERIFY2(seen.contains(QLatin1String(c)), c);
        QVERIFY2(dialogs + run.Count > 90, qPrintable(QString::number(dialogs + run.Count)));
    }
};

QTEST_MAIN(Tst_Dialogs_Stay)
#include "tst_dialogs_stay.moc"
