// Digits typed into a list of numbers are the number typed: after Ctrl+A, a digit typed again,
// in the open list, anew after a pause or another key; an editable list takes them as text.
#include "archives/forms/Excrep_date.h"
#include "core/Tables.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Number_Search.h"
#include "messages/forms/Req_Controls.h"
#include "params/forms/Syspar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QtTest>
#include <memory>

namespace {

// The list shown: the request dialogs' hours (as the period dialog types them: "typed hour"),
// the passport's day, the system parameters' contract hour and a season's day and hour.
std::unique_ptr<QWidget> Show_List(const QString &which, QComboBox *&list)
{
    Init_Tables();
    if (which == u"hour" || which == u"typed hour") {
        list = Req_Number_List(nullptr, "hour", 23);
        if (which != u"hour") Set_Typed_List(list);
        list->show();
        return std::unique_ptr<QWidget>(list);
    }
    if (which == u"day") {
        static const Arh_Range range{{26, 1, 1, 0, 0}, {26, 3, 31, 23, 59}};
        auto *p = new TFormExcRep_Date;
        p->Range = &range;
        p->show();
        list = p->ComboBox3;
        return std::unique_ptr<QWidget>(p);
    }
    static uint8_t t6[12] = {3, 0xC9, 2, 10, 31, 3, 10, 0, 1, 0, 0, 0};
    auto *f = new TFormSys;
    f->Tab_Data = t6;
    f->Dev_Write = 1;
    f->show();
    list = which == u"contract hour" ? f->ComboBox1 : which == u"winter day" ? f->Winter->Day : f->Winter->Hour;
    return std::unique_ptr<QWidget>(f);
}

} // namespace

class Tst_Number_Search : public QObject {
    Q_OBJECT
private slots:
    // From the list's last item. "A" is Ctrl+A as a keyboard sends it, "." a pause longer than
    // the keyboard input interval, "O" opens the list (Enter then takes what it offers).
    void digits_give_the_number_typed_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("after Ctrl+A") << "hour" << "A10" << "10";
        QTest::newRow("anew after another key") << "hour" << "1A3" << "3";
        QTest::newRow("open, a digit again after a pause") << "hour" << "O1.1" << "1";
        QTest::newRow("an editable list takes text") << "typed hour" << "A00" << "00";
        QTest::newRow("a digit the number cannot take") << "day" << "305" << "5";
        QTest::newRow("system parameters' list") << "contract hour" << "A11" << "11:00";
        QTest::newRow("a season's hour") << "winter hour" << "A2" << "2:00";
        QTest::newRow("a season's day") << "winter day" << "A11" << "11";
    }
    void digits_give_the_number_typed()
    {
        QFETCH(QString, list);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QComboBox *c = nullptr;
        const auto shown_in = Show_List(list, c);
        QVERIFY(c->isEnabled());
        c->setCurrentIndex(c->count() - 1);
        QWidget *to = c;
        for (const QChar k : keys) {
            if (k == u'A') QTest::sendKeyEvent(QTest::Click, to, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
            else if (k == u'.') QTest::qWait(QApplication::keyboardInputInterval() + 100);
            else if (k == u'O') c->showPopup();
            else QTest::keyClicks(to, QString(k));
            if (k == u'O') QTRY_VERIFY((to = c->view())->isVisible());
        }
        if (to != c) QTest::keyClick(to, Qt::Key_Return);
        QTRY_VERIFY(!c->view()->isVisible());
        QCOMPARE(c->currentText(), shown);
        // Chosen as by the user: the passport's day follows the list.
        if (auto *p = qobject_cast<TFormExcRep_Date *>(shown_in.get())) QCOMPARE(int(p->Rep_Date[2]), shown.toInt());
    }

    void lists_of_numbers_typed_digit_by_digit()
    {
        QVERIFY(Numbers_Typed_Reach({"0:00", "1:00", "10:00", "11:00"}));
        QVERIFY(!Numbers_Typed_Reach({"1200", "2400", "4800", "9600"}));   // no "960" for "9600"
    }
};

QTEST_MAIN(Tst_Number_Search)
#include "tst_number_search.moc"
