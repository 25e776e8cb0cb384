// The period, short-period and index dialogs as their readers drive them: what only the forms
// decide (which clock they preset from, what the boxes take, refusals keeping the dialog open
// with the text for correction, what Enter does, the choice kept). Presets, checks and clamping
// themselves are tested without windows.
#include "archives/forms/Excrep_date.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/View_Focus.h"
#include "core/forms/Window_Place.h"
#include "messages/Period.h"
#include "messages/forms/Period.h"
#include "messages/forms/Readindex.h"
#include "messages/forms/Req_Controls.h"
#include "messages/forms/Shortdt.h"

#include "Msg_Support.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

Date6 D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date6{uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

QByteArray B(const Date6 &d) { return QByteArray(reinterpret_cast<const char *>(d.bytes()), 6); }

void Set_Controller_Clock(const Date6 &d)
{
    Init_Tables();
    std::memcpy(Tab_Field(2, 0), d.bytes(), 6);
}

// The index dialog over records 1..newest, on its first preset, active with the focus on
// it: the arrows move among buttons of the active window only.
bool Show_On_First_Preset(TFormIndex &f, uint32_t newest)
{
    Rd_Arh_Rec.index_choice = 0;
    f.Oldest = 1;
    f.Newest = newest;
    f.show();
    f.activateWindow();
    if (!QTest::qWaitForWindowActive(&f)) return false;
    f.Choice_Btn[0]->setFocus();
    return true;
}

// The period dialog and the three short-period panels, each with its fields (the dates, then the
// hour, minute and second lists) and its Ok.
struct Given_Period {
    std::unique_ptr<QDialog> dialog;
    QList<QWidget *> fields;
    const uint8_t *ok;

    // Shown active on "Заданный период", the focus in `field` as Tab leaves it there.
    bool Focus(QWidget *field)
    {
        Rd_Arh_Rec.period_choice = 2;   // each short panel writes back its own number for it
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get())) return false;
        field->setFocus(Qt::TabFocusReason);
        return field->isEnabled() && field->hasFocus();
    }
};
std::vector<Given_Period> Given_Period_Dialogs(const Arh_Range &range)
{
    Set_Controller_Clock(D(2026, 6, 5, 10, 25, 40));
    auto *p = new TFormPeriod;
    std::vector<Given_Period> all;
    all.push_back({std::unique_ptr<QDialog>(p), {p->Start_Date, p->End_Date, p->Start_Hour, p->Start_Min,
                   p->Start_Sec, p->End_Hour, p->End_Min, p->End_Sec}, &p->Ok});
    for (uint8_t kind : {0, 1, 3}) {
        auto *s = new TFormShortDate;
        s->Range = &range;
        s->Kind = kind;
        const Short_Panel *q = s->Panel();
        QList<QWidget *> f{q->Start_Date, q->End_Date, q->Start_Hour, q->Start_Min, q->End_Hour, q->End_Min};
        f.removeAll(nullptr);
        all.push_back({std::unique_ptr<QDialog>(s), f, &s->Ok});
        all.back().Focus(f[0]);   // the panel presets its dates at show
    }
    return all;
}

} // namespace

class tst_Request_Dialogs : public QObject {
    Q_OBJECT
    Ques_Log rec;
    Ques_Handler *old = nullptr;

private slots:
    void init()
    {
        rec.asked.clear();
        old = Set_Ques_Handler(&rec);
        Rd_Arh_Rec = Rd_Arh_Record{0, 1, 0.0, 0.0, {}};
        Set_Pc_Clock([] { return QDateTime(QDate(2026, 3, 5), QTime(0, 20, 5)); });
    }
    void cleanup()
    {
        Set_Ques_Handler(old);
        Set_Pc_Clock(nullptr);
        Set_Dialog_Runner(nullptr);
    }

    void period_dialog()
    {
        TFormPeriod f;
        f.show();
        // "За последний час" from the PC's clock, accepted as the disabled controls show it.
        QVERIFY(f.Choice_Btn[0]->isChecked() && !f.Start_Date->isEnabled());
        f.Btn_Accept->click();
        QCOMPARE(int(f.Ok), 1);
        QCOMPARE(B(f.Start), B(D(2026, 3, 4, 23, 20, 5)));
        QCOMPARE(B(f.End), B(D(2026, 3, 5, 0, 20, 5)));
        QCOMPARE(Rd_Arh_Rec.start_dt, 0.0);   // a preset leaves the given period alone

        // The given period: the boxes take digits only; a refusal keeps dialog and text.
        f.show();
        QCOMPARE(int(f.Ok), 0);
        f.Choice_Btn[2]->click();
        f.Start_Min->lineEdit()->clear();
        QTest::keyClicks(f.Start_Min->lineEdit(), "1x%'5");
        QCOMPARE(f.Start_Min->currentText(), QString("15"));
        f.Start_Hour->setEditText("24");
        f.Btn_Accept->click();
        QCOMPARE(rec.Lines(), QStringList{"Значение часа начала диапазона|вне допустимого диапазона"});
        QVERIFY(f.isVisible());
        QCOMPARE(int(f.Ok), 0);
        QCOMPARE(f.Start_Hour->currentText(), QString("24"));
        f.Start_Hour->setEditText("7");
        f.End_Date->setDate(QDate(2026, 3, 6));
        f.Btn_Accept->click();
        QCOMPARE(int(f.Ok), 1);
        QCOMPARE(int(f.Start.hour), 7);
        QCOMPARE(B(Stored_Period_Start(D(2000, 1, 1))), B(f.Start));

        // The next dialog opens as this one was left; leaving it keeps a new choice.
        Scripted_Dialogs runner([](QDialog &d) {
            auto &g = static_cast<TFormPeriod &>(d);
            QVERIFY(g.Choice_Btn[2]->isChecked());
            QCOMPARE(g.Start_Hour->currentText(), QString("7"));
            g.Choice_Btn[1]->click();
            g.Btn_Exit->click();
        });
        Set_Dialog_Runner(&runner);
        TFormPeriod g;
        QCOMPARE(Run_Dialog(g), int(QDialog::Rejected));
        QCOMPARE(int(g.Ok), 0);
        QCOMPARE(Rd_Arh_Rec.period_choice, 1u);
    }

    // A number list drops down on the number its box shows, typed over the item it holds as
    // current.
    void number_list_drops_down_on_its_number()
    {
        Install_View_Focus();   // the program's style
        TFormPeriod f;
        f.show();
        f.Choice_Btn[2]->click();
        f.Start_Min->setEditText(QStringLiteral("50"));
        f.Start_Min->showPopup();
        const QAbstractItemView *v = f.Start_Min->view();
        QTRY_VERIFY(v->isVisible());
        const QRect r = v->visualRect(v->currentIndex());
        QVERIFY(v->currentIndex().row() == 50 && r.top() >= 0 && r.bottom() < v->viewport()->height());
        f.Start_Min->hidePopup();
    }

    void short_period_dialog()
    {
        Set_Controller_Clock(D(2026, 3, 5, 10, 25, 40));
        const Arh_Range range{{26, 3, 1, 6, 0}, {26, 3, 5, 9, 0}};
        Rd_Arh_Rec.period_choice = 2;
        Install_Window_Places();   // as the program does
        QWidget owner;
        owner.setGeometry(50, 50, 1000, 700);
        owner.show();
        TFormShortDate f(&owner);
        f.setWindowFlags(Qt::Dialog);
        f.Range = &range;
        f.Kind = 0;
        f.show();
        QCoreApplication::processEvents();
        // Centred over its owner at the size it shows.
        QTRY_VERIFY((f.geometry().center() - owner.geometry().center()).manhattanLength() <= 2);
        Short_Panel *p = f.Panel();
        QVERIFY(p == &f.Hour_Panel && !f.Day_Panel.Panel->isVisible());
        QCOMPARE(B(f.Contr_Now), B(D(2026, 3, 5, 10, 25, 40)));
        QCOMPARE(p->Lbl_Newest->text(), QString("Дата и время последней записи в архиве:  05.03.26 09ч"));
        // A stored given period of the three-item dialogs opens on the second item, kept as 1.
        QVERIFY(p->Choice_Btn[1]->isChecked());
        QCOMPARE(Rd_Arh_Rec.period_choice, 1u);

        // Wholly before the range: refused, dialog open; then clamped to the range start.
        p->Start_Date->setDate(QDate(2026, 2, 1));
        p->End_Date->setDate(QDate(2026, 3, 1));
        p->End_Hour->setCurrentIndex(5);
        p->Btn_Accept->click();
        QCOMPARE(rec.Lines(), QStringList{"В архиве нет данных за указанный период|(см. период имеющихся в архиве данных)"});
        QVERIFY(f.isVisible());
        QCOMPARE(int(f.Ok), 0);
        p->End_Hour->setCurrentIndex(7);
        p->Btn_Accept->click();
        QCOMPARE(int(f.Ok), 1);
        QCOMPARE(B(f.Start), B(D(2026, 3, 1, 6)));
        QCOMPARE(B(f.End), B(D(2026, 3, 1, 7)));

        // A controller clock that is no date: the PC's clock stands in.
        Set_Controller_Clock(Date6{26, 13, 40, 25, 61, 61});
        TFormShortDate h;
        h.Range = &range;
        h.Kind = 0;
        h.show();
        QCOMPARE(B(h.Contr_Now), B(D(2026, 3, 5, 0, 20, 5)));
        // A kind with no panel accepts nothing.
        TFormShortDate u;
        u.Range = &range;
        u.Kind = 2;
        u.show();
        QVERIFY(u.Panel() == nullptr);
        u.Btn_Accept_Click();
        QCOMPARE(int(u.Ok), 0);
    }

    // Back-Tab from "Принять" lands on the choice in force, not on the group's last (or first)
    // button, and Tab leaves the group at once.
    void tab_stops_on_the_checked_choice_data()
    {
        QTest::addColumn<int>("dialog");   // 0 period, 1 short period (hourly), 2 index
        QTest::newRow("period") << 0;
        QTest::newRow("short period") << 1;
        QTest::newRow("index") << 2;
    }
    void tab_stops_on_the_checked_choice()
    {
        QFETCH(int, dialog);
        Set_Controller_Clock(D(2026, 3, 5, 10, 25, 40));
        const Arh_Range range{{26, 3, 1, 6, 0}, {26, 3, 5, 9, 0}};
        Rd_Arh_Rec.period_choice = dialog == 0 ? 1 : 0;
        Rd_Arh_Rec.index_choice = 2;
        std::unique_ptr<QDialog> f;
        QList<QRadioButton *> choice;
        QPushButton *accept = nullptr;
        if (dialog == 0) {
            auto *p = new TFormPeriod;
            choice = {p->Choice_Btn[0], p->Choice_Btn[1], p->Choice_Btn[2]};
            accept = p->Btn_Accept;
            f.reset(p);
        } else if (dialog == 1) {
            auto *s = new TFormShortDate;
            s->Range = &range;
            s->Kind = 0;
            choice = s->Hour_Panel.Choice_Btn;
            accept = s->Hour_Panel.Btn_Accept;
            f.reset(s);
        } else {
            auto *x = new TFormIndex;
            x->Oldest = 1;
            x->Newest = 40;
            choice = {x->Choice_Btn, x->Choice_Btn + 5};
            accept = x->Btn_Accept;
            f.reset(x);
        }
        f->show();
        const int on = dialog == 0 ? 1 : dialog == 1 ? 0 : 2;
        QVERIFY(choice[on]->isChecked());
        accept->setFocus();
        QTest::keyClick(accept, Qt::Key_Backtab);
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(choice[on]));
        QTest::keyClick(choice[on], Qt::Key_Tab);
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(accept));
    }

    // Tab goes through the start group (date, hour, minute), then the end group, the choice
    // and the buttons; Shift+Tab back the same way. Within a date picker Tab walks its fields.
    void short_period_tab_order()
    {
        const Arh_Range range{{26, 3, 1, 6, 0}, {26, 3, 5, 9, 0}};
        const auto tab = [](Qt::KeyboardModifiers m) {
            QWidget *from = QApplication::focusWidget();
            for (int i = 0; i < 3 && QApplication::focusWidget() == from; ++i) QTest::keyClick(from, Qt::Key_Tab, m);
            return QApplication::focusWidget();
        };
        for (uint8_t kind : {0, 3}) {
            Rd_Arh_Rec.period_choice = 2;   // the given period: every box enabled
            TFormShortDate f;
            f.Range = &range;
            f.Kind = kind;
            f.show();
            f.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f));
            const Short_Panel *p = f.Panel();
            QList<QWidget *> order{p->Start_Date, p->Start_Hour, p->Start_Min, p->End_Date, p->End_Hour,
                                   p->End_Min, p->Choice_Btn.last(), p->Btn_Accept, p->Btn_Cancel};
            order.removeAll(nullptr);
            order[0]->setFocus();
            for (qsizetype i = 1; i < order.size(); ++i) QCOMPARE(tab(Qt::NoModifier), order[i]);
            for (qsizetype i = order.size() - 2; i >= 0; --i) QCOMPARE(tab(Qt::ShiftModifier), order[i]);
        }
    }

    // Enter where the dialog opens, on the choice in force: a preset is accepted as by
    // "Принять"; on "Заданный период" the focus goes to the period's first field.
    void enter_on_the_choice_in_force_data()
    {
        QTest::addColumn<int>("kind");     // -1 the period dialog, else the short-period kind
        QTest::addColumn<int>("choice");   // the stored choice
        QTest::addColumn<bool>("keypad");
        QTest::newRow("period, last hour") << -1 << 0 << false;
        QTest::newRow("period, last day, keypad") << -1 << 1 << true;
        QTest::newRow("period, given") << -1 << 2 << false;
        QTest::newRow("hourly, last day") << 0 << 0 << false;
        QTest::newRow("hourly, given, keypad") << 0 << 1 << true;
        QTest::newRow("daily, last month, keypad") << 1 << 0 << true;
        QTest::newRow("daily, given") << 1 << 1 << false;
    }
    void enter_on_the_choice_in_force()
    {
        QFETCH(int, kind);
        QFETCH(int, choice);
        QFETCH(bool, keypad);
        Set_Controller_Clock(D(2026, 3, 5, 10, 25, 40));
        const Arh_Range range{{26, 3, 1, 6, 0}, {26, 3, 5, 23, 0}};
        Rd_Arh_Rec.period_choice = uint32_t(choice);
        std::unique_ptr<QDialog> f;
        QList<QRadioButton *> items;
        QWidget *first = nullptr;
        const uint8_t *ok = nullptr;
        if (kind < 0) {
            auto *p = new TFormPeriod;
            items = {p->Choice_Btn[0], p->Choice_Btn[1], p->Choice_Btn[2]};
            first = p->Start_Date;
            ok = &p->Ok;
            f.reset(p);
        } else {
            auto *s = new TFormShortDate;
            s->Range = &range;
            s->Kind = uint8_t(kind);
            items = s->Panel()->Choice_Btn;
            first = s->Panel()->Start_Date;
            ok = &s->Ok;
            f.reset(s);
        }
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QRadioButton *on = items[choice];
        const bool given = on == items.last();
        // A preset opens with the focus on it; the given period in its first field, from which
        // the user goes back to the choice.
        if (given) on->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(on));
        QTest::keyClick(on, keypad ? Qt::Key_Enter : Qt::Key_Return, keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QVERIFY(rec.asked.isEmpty());
        QCOMPARE(int(*ok), given ? 0 : 1);
        QCOMPARE(f->isVisible(), given);
        if (given) QCOMPARE(f->focusWidget(), first);
    }

    // Enter after a preset chosen with an arrow key accepts it, as on "Принять"; on
    // "Заданный диапазон данных" it goes to the start box and accepts nothing.
    void index_enter_in_the_choices()
    {
        TFormIndex f;
        QVERIFY(Show_On_First_Preset(f, 400));
        QTest::keyClick(f.Choice_Btn[0], Qt::Key_Down);
        QCoreApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(int(f.Ok), 1);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.First, 301u);
        QCOMPARE(f.Count, 100u);

        Rd_Arh_Rec.index_choice = 4;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Choice_Btn[4]->setFocus();
        QTest::keyClick(f.Choice_Btn[4], Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.Start_Edit));
        QVERIFY(f.isVisible() && rec.asked.isEmpty());
    }

    // Arrow keys go through the presets with the focus in the group; reaching "Заданный
    // диапазон данных" takes it to the start box, as a click does.
    void index_choice_by_arrow_keys()
    {
        TFormIndex f;
        QVERIFY(Show_On_First_Preset(f, 40));
        for (int i = 1; i <= 3; ++i) {
            QTest::keyClick(f.focusWidget(), Qt::Key_Down);
            QCoreApplication::processEvents();
            QVERIFY(f.Choice_Btn[i]->isChecked());
            QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Choice_Btn[i]));
        }
        QTest::keyClick(f.focusWidget(), Qt::Key_Down);
        QVERIFY(f.Choice_Btn[4]->isChecked());
        QTRY_COMPARE(f.focusWidget(), static_cast<QWidget *>(f.Start_Edit));
        QVERIFY(f.Start_Edit->isEnabled() && f.Start_Edit->text().isEmpty());
        QCOMPARE(Rd_Arh_Rec.index_choice, 4u);
    }

    void index_dialog()
    {
        Rd_Arh_Rec.index_choice = 4;
        TFormIndex f;
        f.Kind = 0;
        f.Oldest = 10;
        f.Newest = 40;
        f.show();
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Start_Edit));
        // Digits only; Enter moves on and does not accept.
        QTest::keyClicks(f.Start_Edit, "9%'a");
        QCOMPARE(f.Start_Edit->text(), QString("9"));
        QTest::keyClick(f.Start_Edit, Qt::Key_Return);
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Count_Edit));
        QTest::keyClicks(f.Count_Edit, "4294967296");   // would be 0 cut to 32 bits
        QTest::keyClick(f.Count_Edit, Qt::Key_Return);
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Btn_Accept));
        QVERIFY(f.isVisible());
        // Below the oldest: refused, text kept for correction.
        f.Btn_Accept->click();
        QCOMPARE(rec.asked.size(), 1);
        QCOMPARE(rec.asked[0].line1, QString("Нелогичное значение индекса записи начала чтения"));
        QVERIFY(f.isVisible());
        QCOMPARE(int(f.Ok), 0);
        QCOMPARE(f.Start_Edit->text(), QString("9"));
        f.Start_Edit->setText("40");
        f.Btn_Accept->click();
        QCOMPARE(int(f.Ok), 1);
        QCOMPARE(f.First, 40u);
        QCOMPARE(f.Count, 1u);

        // A preset chosen is kept for the next dialog.
        f.show();
        f.Choice_Btn[3]->click();
        QCOMPARE(f.Start_Edit->text(), QString("31"));
        f.Btn_Exit->click();
        QCOMPARE(Rd_Arh_Rec.index_choice, 3u);
    }

    // Every date box takes a date typed as it is shown, with or without its dots, from the day
    // as Tab leaves it, over a whole selection, after a click; at every key it shows a whole date
    // and gives the date it shows. A click, also on the box's frame, changes no date.
    void typed_dates_data()
    {
        QTest::addColumn<QDate>("from");
        // Besides the keys: x Delete, Y the year selected, A Ctrl+A; clicks on the text's month M, year C,
        // a triple click T; on the frame's left edge L, its top over the month U, its bottom under the year W.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QDate>("typed");
        const QDate d(2026, 3, 5);
        QTest::newRow("dots, from the day") << d << "08.10.2026" << QDate(2026, 10, 8);
        QTest::newRow("no dots, Ctrl+A") << d << "YA15112027" << QDate(2027, 11, 15);
        QTest::newRow("dots, triple click") << d << "T08.10.2026" << QDate(2026, 10, 8);
        QTest::newRow("a click after a digit") << d << "1C2031" << QDate(2031, 3, 1);
        QTest::newRow("one-digit day and month") << d << "8.1.2027" << QDate(2027, 1, 8);
        QTest::newRow("the 31st through February") << QDate(2026, 2, 5) << "31.12.2026" << QDate(2026, 12, 31);
        QTest::newRow("a digit taken back") << d << "2\b7.3.2026" << QDate(2026, 3, 7);
        QTest::newRow("back across the box's move") << d << "19\b7" << QDate(2026, 3, 17);
        QTest::newRow("delete over the year, back into the month") << d << "Cx\b7" << QDate(2026, 7, 5);
        QTest::newRow("dots after a click on the month") << d << "M02.11.2026" << QDate(2026, 11, 2);
        QTest::newRow("two-digit year, Tab") << d << "08.10.27\t" << QDate(2027, 10, 8);
        QTest::newRow("clicks on the frame") << d << "L7U11W27" << QDate(2027, 11, 7);
    }
    void typed_dates()
    {
        QFETCH(QDate, from);
        QFETCH(QString, keys);
        QFETCH(QDate, typed);
        const Arh_Range range{{26, 1, 1, 0, 0}, {27, 12, 31, 23, 0}};
        for (auto &o : Given_Period_Dialogs(range)) {
            for (auto *box : {static_cast<QDateEdit *>(o.fields[0]), static_cast<QDateEdit *>(o.fields[1])}) {
                box->setDate(from);
                o.fields.last()->setFocus();   // then Tab's focus into the box, whichever box had it
                QVERIFY(o.Focus(box));
                auto *edit = box->findChild<QLineEdit *>();
                const auto in_text = [edit](int pos) {   // a point of the text at cursor position `pos`
                    QPoint p(0, edit->height() / 2);
                    while (p.x() < edit->width() && edit->cursorPositionAt(p) != pos) p.rx()++;
                    return p;
                };
                const QPoint frame[3] = {QPoint(1, box->height() / 2), QPoint(edit->mapTo(box, in_text(4)).x(), 1),
                                         QPoint(edit->mapTo(box, in_text(8)).x(), box->height() - 2)};
                for (const QChar c : keys) {
                    const QDate was = box->date();
                    if (c == u'Y') box->setSelectedSection(QDateTimeEdit::YearSection);
                    else if (c == u'A') QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                    else if (c == u'x') QTest::keyClick(box, Qt::Key_Delete);
                    else if (c == u'T') QTest::mouseDClick(edit, Qt::LeftButton, {}, in_text(8));
                    if (c == u'T' || c == u'C' || c == u'M')
                        QTest::mouseClick(edit, Qt::LeftButton, {}, in_text(c == u'M' ? 4 : 8));
                    else if (c == u'L' || c == u'U' || c == u'W')
                        QTest::mouseClick(box, Qt::LeftButton, {}, frame[c == u'L' ? 0 : c == u'U' ? 1 : 2]);
                    else if (!c.isLetter()) QTest::keyClick(box, c.toLatin1());
                    QCOMPARE(box->text(), box->date().toString("dd.MM.yyyy"));
                    if (QStringLiteral("TCMLUW").contains(c)) QCOMPARE(box->date(), was);
                }
                QCOMPARE(B(Req_Get_Date(box)), B(D(typed.year(), typed.month(), typed.day())));
            }
        }
    }

    // The passport's year takes Backspace as the date boxes take it in a year.
    void passport_year_typed()
    {
        const Arh_Range daily{{24, 1, 1, 0, 0}, {26, 3, 31, 0, 0}};
        TFormExcRep_Date f;
        f.Range = &daily;
        f.Passport_Kind = 1;
        f.show();
        QTest::keyClicks(f.UpDown1, "19\b7");
        QCOMPARE(f.Panel3->text(), QStringLiteral("2017"));
    }

    // Enter in a date box or an hour, minute or second list accepts as "Принять" does, its
    // checks and message included; an open calendar keeps Enter for itself.
    void enter_in_the_fields()
    {
        const Arh_Range range{{26, 1, 1, 0, 0}, {26, 12, 31, 23, 0}};
        auto dialogs = Given_Period_Dialogs(range);
        for (auto &o : dialogs) {
            for (qsizetype i = 0; i < o.fields.size(); ++i) {
                QVERIFY(o.Focus(o.fields[i]));
                const bool keypad = i % 2;
                QTest::keyClick(o.fields[i], keypad ? Qt::Key_Enter : Qt::Key_Return,
                                keypad ? Qt::KeypadModifier : Qt::NoModifier);
                QVERIFY2(!o.dialog->isVisible() && *o.ok == 1, qPrintable(o.fields[i]->objectName()));
            }
        }
        auto *start = static_cast<QDateEdit *>(dialogs[0].fields[0]);
        auto *end = static_cast<QDateEdit *>(dialogs[0].fields[1]);
        QVERIFY(dialogs[0].Focus(end));
        end->setDate(start->date().addDays(-1));
        QTest::keyClick(end, Qt::Key_Return);
        QCOMPARE(rec.Lines(), QStringList{"Дата и время конца опроса должны быть|больше даты и времени начала опроса"});
        QVERIFY(dialogs[0].dialog->isVisible() && *dialogs[0].ok == 0);

        QVERIFY(dialogs[0].Focus(start));
        QTest::mouseClick(start, Qt::LeftButton, {}, QPoint(start->width() - 4, start->height() / 2));
        QTRY_VERIFY(start->calendarWidget()->isVisible());
        const QDate was = start->date();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!start->calendarWidget()->isVisible());
        QCOMPARE(start->date(), was.addDays(1));
        QVERIFY(dialogs[0].dialog->isVisible() && rec.asked.size() == 1);
    }
};

QTEST_MAIN(tst_Request_Dialogs)
#include "tst_request_dialogs.moc"
