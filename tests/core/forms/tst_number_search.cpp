// Digits typed into the request dialogs' number lists and the passport's day list are the number
// typed: after Ctrl+A, for a digit typed twice, in the open list, and anew after a pause. The
// period dialog's boxes take what is typed as text.
#include "core/forms/Number_Search.h"

#include "archives/forms/Excrep_date.h"
#include "core/Tables.h"
#include "messages/forms/Period.h"
#include "messages/forms/Shortdt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>
#include <memory>

namespace {

const Arh_Range kRange{{26, 1, 1, 0, 0}, {26, 3, 31, 23, 59}};

// "A" is Ctrl+A as a keyboard sends it (with its control character), "." a pause longer than
// the keyboard input interval; other characters are typed as they are.
void Type(QWidget *w, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == QLatin1Char('A')) {
            QTest::keyPress(w, Qt::Key_Control);
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
            QTest::keyRelease(w, Qt::Key_Control, Qt::ControlModifier);
        } else if (c == QLatin1Char('.')) {
            QTest::qWait(QApplication::keyboardInputInterval() + 100);
        } else {
            QTest::keyClicks(w, QString(c));
        }
    }
}

// The dialog holding the list, shown with the list enabled and its item `current` chosen.
struct List_Under_Test {
    std::unique_ptr<QDialog> dialog;
    QComboBox *list = nullptr;
};

List_Under_Test Make(const QString &which)
{
    Init_Tables();
    List_Under_Test t;
    if (which == QLatin1String("period hour")) {
        auto *p = new TFormPeriod;
        t.dialog.reset(p);
        p->show();
        p->Choice_Btn[2]->click();
        t.list = p->Start_Hour;
    } else if (which == QLatin1String("passport day")) {
        auto *p = new TFormExcRep_Date;
        p->Range = &kRange;
        t.dialog.reset(p);
        p->show();
        t.list = p->ComboBox3;
    } else {
        auto *s = new TFormShortDate;
        s->Range = &kRange;
        s->Kind = which == QLatin1String("minute") ? 3 : 0;
        t.dialog.reset(s);
        s->show();
        s->Panel()->Choice_Btn.last()->click();
        t.list = which == QLatin1String("minute") ? s->Panel()->Start_Min : s->Panel()->Start_Hour;
    }
    return t;
}

} // namespace

class Tst_Number_Search : public QObject {
    Q_OBJECT
private slots:
    // Each list from its item `from` (none for the period's boxes, whose text is replaced).
    void digits_give_the_number_typed_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        const struct {
            const char *list;
            int from;
            const char *keys, *shown;
        } rows[] = {
            {"hour", 21, "A10", "10"},         {"hour", 21, "11", "11"},        {"hour", 21, "00", "0"},
            {"hour", 21, "23", "23"},          {"hour", 21, "25", "5"},         {"hour", 21, "1.2", "2"},
            {"hour", 21, "1A3", "3"},          {"hour", 1, "1", "1"},           {"hour", 11, "11", "11"},
            {"hour", 21, "2", "2"},            {"minute", 59, "A10", "10"},     {"minute", 11, "11", "11"},
            {"minute", 0, "00", "0"},          {"minute", 59, "25", "25"},      {"minute", 59, "60", "0"},
            {"minute", 10, "5", "5"},          {"passport day", 31, "A10", "10"}, {"passport day", 11, "11", "11"},
            {"passport day", 31, "00", "31"},  {"passport day", 31, "23", "23"}, {"passport day", 31, "305", "5"},
            {"period hour", -1, "A10", "10"},  {"period hour", -1, "A11", "11"}, {"period hour", -1, "A00", "00"},
            {"period hour", -1, "A23", "23"},
        };
        for (const auto &r : rows)
            QTest::addRow("%s from %d: %s", r.list, r.from, r.keys)
                << QString(r.list) << r.from << QString(r.keys) << QString(r.shown);
    }
    void digits_give_the_number_typed()
    {
        QFETCH(QString, list);
        QFETCH(int, from);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        List_Under_Test t = Make(list);
        QVERIFY(t.list && t.list->isEnabled());
        if (from >= 0) t.list->setCurrentIndex(t.list->findText(QString::number(from)));
        const QString before = t.list->currentText();
        int activated = 0;
        connect(t.list, &QComboBox::activated, this, [&] { ++activated; });
        Type(t.list, keys);
        QCOMPARE(t.list->currentText(), shown);
        // A choice made as by the user: the passport's day follows it.
        if (from >= 0 && shown != before) QVERIFY(activated > 0);
        if (auto *p = qobject_cast<TFormExcRep_Date *>(t.dialog.get())) QCOMPARE(int(p->Rep_Date[2]), shown.toInt());
    }

    // In the open list the number typed is the item offered; Enter takes it.
    void open_list_offers_the_number_typed()
    {
        List_Under_Test t = Make(QStringLiteral("hour"));
        t.list->setCurrentIndex(21);
        t.list->showPopup();
        QAbstractItemView *v = t.list->view();
        QTRY_VERIFY(v->isVisible());
        Type(v, QStringLiteral("11"));
        QCOMPARE(v->currentIndex().row(), 11);
        QTest::keyClick(v, Qt::Key_Return);
        QTRY_VERIFY(!v->isVisible());
        QCOMPARE(t.list->currentText(), QStringLiteral("11"));
    }
};

QTEST_MAIN(Tst_Number_Search)
#include "tst_number_search.moc"
