// Digits typed into the request dialogs' number lists and the passport's day list are the number
// typed: after Ctrl+A, for a digit typed twice, in the open list, and anew after a pause. The
// period dialog's boxes take what is typed as text.
#include "archives/forms/Excrep_date.h"
#include "core/Tables.h"
#include "messages/forms/Period.h"
#include "messages/forms/Shortdt.h"
#include "core/forms/Number_Search.h"
#include "params/forms/Syspar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>
#include <memory>

namespace {

const Arh_Range kRange{{26, 1, 1, 0, 0}, {26, 3, 31, 23, 59}};

// "A" is Ctrl+A as a keyboard sends it (with its control character), "." a pause longer than
// the keyboard input interval; digits are typed as they are.
void Type(QWidget *w, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == QLatin1Char('A'))
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
        else if (c == QLatin1Char('.'))
            QTest::qWait(QApplication::keyboardInputInterval() + 100);
        else
            QTest::keyClicks(w, QString(c));
    }
}

// The list shown enabled in its dialog: "hour" and "minute" of the short-period dialog, the
// passport's "day", the period dialog's "period hour".
std::unique_ptr<QDialog> Show_List(const QString &which, QComboBox *&list)
{
    Init_Tables();
    if (which == QLatin1String("period hour")) {
        auto *p = new TFormPeriod;
        p->show();
        p->Choice_Btn[2]->click();
        list = p->Start_Hour;
        return std::unique_ptr<QDialog>(p);
    }
    if (which == QLatin1String("day")) {
        auto *p = new TFormExcRep_Date;
        p->Range = &kRange;
        p->show();
        list = p->ComboBox3;
        return std::unique_ptr<QDialog>(p);
    }
    auto *s = new TFormShortDate;
    s->Range = &kRange;
    s->Kind = which == QLatin1String("minute") ? 3 : 0;
    s->show();
    s->Panel()->Choice_Btn.last()->click();
    list = which == QLatin1String("minute") ? s->Panel()->Start_Min : s->Panel()->Start_Hour;
    return std::unique_ptr<QDialog>(s);
}

} // namespace

class Tst_Number_Search : public QObject {
    Q_OBJECT
private slots:
    // Each list from its item `from` (-1: the period's box, whose text Ctrl+A selects).
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
            {"hour", 21, "A10", "10"}, {"hour", 21, "11", "11"},  {"hour", 21, "00", "0"},  {"hour", 21, "23", "23"},
            {"hour", 21, "25", "5"},   {"hour", 21, "1.2", "2"},  {"hour", 21, "1A3", "3"}, {"hour", 1, "1", "1"},
            {"hour", 21, "2", "2"},    {"minute", 59, "A10", "10"}, {"minute", 0, "00", "0"}, {"minute", 59, "60", "0"},
            {"minute", 10, "5", "5"},  {"day", 31, "A10", "10"},  {"day", 11, "11", "11"},  {"day", 31, "00", "31"},
            {"day", 31, "305", "5"},   {"period hour", -1, "A10", "10"}, {"period hour", -1, "A00", "00"},
        };
        for (const auto &r : rows)
            QTest::addRow("%s from %d: %s", r.list, r.from, r.keys) << QString(r.list) << r.from << QString(r.keys)
                                                                   << QString(r.shown);
    }
    void digits_give_the_number_typed()
    {
        QFETCH(QString, list);
        QFETCH(int, from);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QComboBox *c = nullptr;
        const auto dialog = Show_List(list, c);
        QVERIFY(c->isEnabled());
        if (from >= 0) c->setCurrentIndex(c->findText(QString::number(from)));
        Type(c, keys);
        QCOMPARE(c->currentText(), shown);
        // Chosen as by the user: the passport's day follows the list.
        if (auto *p = qobject_cast<TFormExcRep_Date *>(dialog.get())) QCOMPARE(int(p->Rep_Date[2]), shown.toInt());
    }

    // The system parameters' hour lists ("11:00") and day list take digits the same way.
    void system_parameters_take_the_number_typed()
    {
        uint8_t t6[12] = {3, 0xC9, 2, 10, 31, 3, 10, 0, 1, 0, 0, 0};
        TFormSys f;
        f.Tab_Data = t6;
        f.Dev_Write = 1;
        f.show();
        const struct {
            QComboBox *list;
            const char *keys, *shown;
        } rows[] = {{f.ComboBox1, "A11", "11:00"}, {f.ComboBox1, "10", "10:00"},
                    {f.Winter->Hour, "2", "2:00"}, {f.Winter->Day, "A11", "11"}};
        for (const auto &r : rows) {
            r.list->setCurrentIndex(r.list->count() - 1);
            Type(r.list, QString::fromLatin1(r.keys));
            QCOMPARE(r.list->currentText(), QString::fromUtf8(r.shown));
            QTest::qWait(QApplication::keyboardInputInterval() + 100);
        }
    }

    void lists_of_numbers_typed_digit_by_digit()
    {
        QStringList hours;
        for (int h = 0; h < 24; ++h) hours << QStringLiteral("%1:00").arg(h);
        QVERIFY(Numbers_Typed_Reach(hours));
        QVERIFY(Numbers_Typed_Reach({" 1", " 2", " 3", " 4", " 6", " 12", " 24"}));
        QVERIFY(!Numbers_Typed_Reach({"1200", "2400", "4800", "9600"}));
        QVERIFY(!Numbers_Typed_Reach({"1", "Нет"}));
        QVERIFY(!Numbers_Typed_Reach({}));
    }

    // In the open list the number typed is the item offered; Enter takes it.
    void open_list_offers_the_number_typed()
    {
        QComboBox *c = nullptr;
        const auto dialog = Show_List(QStringLiteral("hour"), c);
        c->setCurrentIndex(12);
        c->showPopup();
        QTRY_VERIFY(c->view()->isVisible());
        Type(c->view(), QStringLiteral("2"));
        QTest::keyClick(c->view(), Qt::Key_Return);
        QTRY_VERIFY(!c->view()->isVisible());
        QCOMPARE(c->currentText(), QStringLiteral("2"));
    }
};

QTEST_MAIN(Tst_Number_Search)
#include "tst_number_search.moc"
