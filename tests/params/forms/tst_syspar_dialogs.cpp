// The field-list dialog and the dialogs built on it (system parameters, time
// synchronisation, averaging period), and the clock form: what they show, what they refuse
// and what they store.
#include "core/Dtfun.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "params/Syspar.h"
#include "params/forms/Contrdt.h"
#include "params/forms/Field_List.h"
#include "params/forms/Sinhr.h"
#include "params/forms/Syspar.h"
#include "core/forms/Window_Place.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <cstring>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t answer = 0;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answer;
    }
};

QByteArray Raw(const uint8_t *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

// A description with one row of each kind, a dependency and ranges in their own order.
Field_List_Desc Test_Desc()
{
    Field_List_Desc d;
    d.caption = "test";
    Field_Row adr;
    adr.kind = Field_Row::Typed_List;
    adr.name = "adr";
    adr.items = {"1", "2", "3"};
    adr.base = 1;
    adr.offset = 0;
    Field_Row rate;
    rate.kind = Field_Row::List;
    rate.name = "rate";
    rate.items = {"300", "600", "1200"};
    rate.offset = 1;
    Field_Row pre;
    pre.kind = Field_Row::Edit;
    pre.name = "pre";
    pre.max_len = 3;
    pre.offset = 2;
    Field_Row port;
    port.kind = Field_Row::Edit;
    port.name = "port";
    port.offset = 4;
    port.size = 4;
    Field_Row mode;
    mode.kind = Field_Row::Radio;
    mode.name = "rb";
    mode.items = {"a", "b", "c"};
    mode.offset = 8;
    Field_Row on;
    on.kind = Field_Row::Check;
    on.name = "on";
    on.label = {"on"};
    on.offset = 9;
    Field_Row dep;
    dep.kind = Field_Row::Check;
    dep.name = "dep";
    dep.label = {"two", "lines"};
    dep.offset = 10;
    dep.enabled_by = 5;
    Field_Row octet;
    octet.kind = Field_Row::Edit;
    octet.name = "oct";
    octet.offset = 11;
    octet.missing_line1 = "no octet";
    octet.missing_line2 = "second";
    d.rows = {adr, rate, pre, port, mode, on, dep, octet};
    d.checks = {{2, 0, 255, "pre", ""}, {0, 1, 254, "adr", "range"}};
    d.fixed = {{3, 1, 7}};
    return d;
}

// A field list with a row of its own that would like far more height than it needs.
class Tall_List : public TFormField_List {
public:
    Tall_List() : TFormField_List(Test_Desc())
    {
        Tall = new QListWidget(Rows_Widget);
        Add_Row(new QLabel("tall", Rows_Widget), Tall);
    }
    QListWidget *Tall = nullptr;
};

// Shown, and left until a window manager has framed and placed it, so that a move after it
// is not undone.
void Show_Settled(QWidget &w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(300);
}

} // namespace

class Tst_Syspar_Dialogs : public QObject {
    Q_OBJECT
    Ques_Log ques;

    QStringList Asked()
    {
        QStringList l;
        for (const Ques_Setup &q : ques.asked) l << q.line1 + "|" + q.line2 + "|" + QString::number(q.kind);
        ques.asked.clear();
        return l;
    }

private slots:
    void initTestCase() { Set_Ques_Handler(&ques); }
    void init()
    {
        ques.asked.clear();
        ques.answer = 0;
    }

    void field_list_loads_checks_and_stores()
    {
        uint8_t t[12] = {2, 1, 9, 0xEE, 0x78, 0x56, 0x34, 0x12, 2, 1, 1, 5};
        TFormField_List f(Test_Desc());
        f.Tab_Data = t;
        f.Dev_Write = 0;
        f.show();
        QCOMPARE(f.Edit(3)->text(), QString::number(0x12345678));
        QVERIFY(f.Radio(4, 2)->isChecked() && f.Check_Box(6)->isChecked());

        // Clearing the enabling box clears and disables the dependent one with its labels.
        f.Check_Box(5)->setChecked(false);
        QVERIFY(!f.Check_Box(6)->isChecked() && !f.Check_Box(6)->isEnabled());
        QVERIFY(!f.Labels(6).first()->isEnabled());
        // Ticked again, it shows its byte as given and keeps it.
        f.Check_Box(5)->setChecked(true);
        QVERIFY(f.Check_Box(6)->isEnabled() && f.Check_Box(6)->isChecked());

        // Completeness first (the row's own lines), then the ranges in the listed order.
        const QByteArray before = Raw(t, 12);
        f.Edit(7)->clear();
        f.List(0)->setEditText("0");
        f.Edit(2)->setText("256");
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList{"no octet|second|2"});
        f.Edit(7)->setText("300");
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList{"pre||2"});
        f.Edit(2)->setText("255");
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList{"adr|range|2"});
        f.List(0)->setEditText("254");
        f.Edit(3)->setText("99999999999999999999");
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList{"\"99999999999999999999\" не является правильным целым числом||2"});
        QCOMPARE(Raw(t, 12), before);
        QCOMPARE(f.Accepted, uint8_t(0));

        // A radio row with no button on is incomplete.
        f.Edit(3)->setText("4294967295");
        f.Set_Row_Value(4, 9);
        QVERIFY(!f.Radio(4, 0)->isChecked() && !f.Radio(4, 2)->isChecked());
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList{"Введены не все параметры||2"});
        f.Radio(4, 0)->setChecked(true);

        // A disabled list is neither checked nor stored.
        f.List(1)->setCurrentIndex(-1);
        f.Set_Row_Enabled(1, false);
        f.Accept_Click();
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(f.Accepted, uint8_t(1));
        // 300 in an octet without a range keeps its low byte; the fixed byte goes last.
        QCOMPARE(Raw(t, 12), QByteArray("\xFE\x01\xFF\x07\xFF\xFF\xFF\xFF\x00\x01\x01\x2C", 12));
    }

    void system_parameters_show_and_store()
    {
        // Summer: last Sunday of March 2:00; winter: day 31 of October 3:00.
        uint8_t t6[12] = {3, 0xC9, 2, 10, 31, 3, 10, 0, 1, 0, 0x11, 0x22};
        TFormSys f;
        f.Tab_Data = t6;
        f.Dev_Write = 1;
        f.show();
        TDst_Group *w = f.Winter;
        // The fields of both seasons and the contract hour start and end at one place.
        const auto span = [&f](const QWidget *c) { return std::pair(c->mapTo(&f, QPoint(0, 0)).x(), c->width()); };
        for (const QWidget *c : {static_cast<QWidget *>(f.Summer->Method), static_cast<QWidget *>(w->Hour)})
            QCOMPARE(span(c), span(f.ComboBox1));
        QCOMPARE(f.Summer->Ordinal->currentText(), QString("Последний"));
        QCOMPARE(w->Day->currentText(), QString("31"));

        // Day 31 in October, then November: no day shown, 31 kept until one is picked.
        w->Month->setCurrentIndex(3);
        QCOMPARE(w->Day->count(), 30);
        QCOMPARE(w->Day->currentIndex(), -1);
        QCOMPARE(int(w->Rule()[1]), 31);
        // Method 1 and back before picking anything: the same lists.
        w->Method->setCurrentIndex(1);
        QVERIFY(w->Ordinal->isVisible() && !w->Day->isVisible());
        w->Method->setCurrentIndex(0);
        QCOMPARE(int(w->Rule()[1]), 31);
        w->Day->setCurrentIndex(24);
        w->Hour->setCurrentIndex(0);

        f.CheckBox2->setChecked(false);
        f.CheckBox3->setChecked(true);
        f.ComboBox1->setCurrentIndex(0);
        f.BitBtnWrite->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(Raw(t6, 12), QByteArray("\x03\xC9\x02\x0B\x19\x01\x00\x01\x00\x01\x11\x22", 12));
    }

    // Rows a season group shows or hides keep every field of the dialog starting and ending
    // where the contract hour's does.
    void system_parameters_fields_stay_lined_up()
    {
        uint8_t t6[12] = {0, 0x81, 2, 0, 0x81, 3, 10, 1, 0, 0, 0, 0};
        TFormSys f;
        f.Tab_Data = t6;
        f.show();
        // The count of fields shown, or the first one out of line.
        const auto lined_up = [&f](const char *step) {
            QCoreApplication::processEvents();
            const auto span = [&f](const QWidget *c) { return std::pair(c->mapTo(&f, QPoint(0, 0)).x(), c->width()); };
            const auto want = span(f.ComboBox1);
            int shown = 0;
            for (const QComboBox *c : f.findChildren<QComboBox *>()) {
                if (!c->isVisible()) continue;
                ++shown;
                if (span(c) != want)
                    return QString("%1: %2 at %3 (%4 wide), not %5 (%6)")
                        .arg(step, c->objectName())
                        .arg(span(c).first)
                        .arg(span(c).second)
                        .arg(want.first)
                        .arg(want.second);
            }
            return QString::number(shown);
        };
        QCOMPARE(lined_up("opened"), QString("3"));
        f.Summer->Month->setCurrentIndex(1);   // the widest captions: ordinal and weekday
        QCOMPARE(lined_up("summer"), QString("7"));
        f.Winter->Month->setCurrentIndex(2);
        f.Winter->Method->setCurrentIndex(0);
        QCOMPARE(lined_up("winter"), QString("10"));
        f.Summer->Month->setCurrentIndex(0);
        QCOMPARE(lined_up("summer off"), QString("6"));
        f.Winter->Month->setCurrentIndex(0);
        QCOMPARE(lined_up("both off"), QString("3"));
    }

    // Rows shown or hidden: the dialog takes the height they need, no more, and keeps its
    // width and its place.
    void system_parameters_fit_their_rows()
    {
        uint8_t t6[12] = {0, 0x81, 2, 0, 0x81, 3, 10, 1, 0, 0, 0, 0};
        TFormSys f;
        f.Tab_Data = t6;
        Show_Settled(f);
        f.move(40, 30);
        QTRY_COMPARE(f.pos(), QPoint(40, 30));
        const QRect opened = f.geometry();
        // The first group box that is taller than its rows need.
        const auto boxes_fit = [&f] {
            for (const QGroupBox *b : f.findChildren<QGroupBox *>())
                if (b->height() > b->sizeHint().height()) return b->title() + " " + QString::number(b->height());
            return QString();
        };
        QCOMPARE(boxes_fit(), QString());
        f.Summer->Month->setCurrentIndex(1);
        QTRY_VERIFY(f.height() > opened.height());
        QCOMPARE(boxes_fit(), QString());
        f.Summer->Month->setCurrentIndex(0);
        QTRY_COMPARE(f.geometry(), opened);
        QCOMPARE(boxes_fit(), QString());
    }

    // Rows that would take the dialog past the screen's bottom move it up, as far as they
    // need and no further; hidden again, the dialog fits the rest where it now stands.
    void field_list_kept_on_the_screen()
    {
        Tall_List f;
        Show_Settled(f);
        f.Tall->hide();
        QTest::qWait(50);
        const int low = f.height();
        const QRect avail = f.screen()->availableGeometry();
        // Room below the dialog for half of what the list would like.
        const int room = f.Tall->sizeHint().height() / 2;
        const QPoint top_left(avail.left() + 20, avail.bottom() + 1 - Frame_Rect(&f).height() - room);
        f.move(top_left);   // a move places the frame
        QTRY_COMPARE(f.pos(), top_left);
        f.Tall->show();
        QTRY_VERIFY(f.height() > low + room);
        QTRY_COMPARE(Frame_Rect(&f).bottom(), avail.bottom());
        QCOMPARE(f.pos().x(), top_left.x());
        const QPoint moved = f.pos();
        f.Tall->hide();
        QTRY_COMPARE(f.height(), low);
        QCOMPARE(f.pos(), moved);
    }

    void system_parameters_refuse_without_contract_hour()
    {
        uint8_t t6[12] = {0, 0, 0, 0, 0, 1, 24, 1, 0, 0, 0, 0};
        const QByteArray before = Raw(t6, 12);
        TFormSys f;
        f.Tab_Data = t6;
        f.show();
        f.Summer->Month->setCurrentIndex(2);
        f.BitBtnAccept->click();
        QCOMPARE(Asked(), QStringList{"Введены не все параметры||2"});
        QCOMPARE(Raw(t6, 12), before);
        QVERIFY(f.isVisible());
        f.BitBtnCancel->click();
        QCOMPARE(f.Accepted, uint8_t(0));
        QCOMPARE(Raw(t6, 12), before);
    }

    void time_synchronisation_switches()
    {
        uint8_t b[4] = {1, 0, 1, 1};
        TFormTime_Sinhr f;
        f.Tab_Data = b;
        f.Dev_Write = 1;
        f.show();
        // Byte 3 is 1 but its controller box is clear: shown cleared and disabled.
        QVERIFY(!f.CheckBox2->isChecked() && !f.CheckBox4->isChecked() && !f.CheckBox4->isEnabled());
        // Both controller boxes may be ticked.
        f.CheckBox2->setChecked(true);
        f.CheckBox4->setChecked(true);
        f.BitBtnWrite->click();
        QCOMPARE(Raw(b, 4), QByteArray("\x01\x01\x01\x01", 4));

        // Clearing "С временем ЭВМ" clears the chromatograph box under it.
        TFormTime_Sinhr g;
        g.Tab_Data = b;
        g.show();
        g.CheckBox2->setChecked(false);
        g.BitBtnAccept->click();
        QCOMPARE(g.Accepted, uint8_t(1));
        QCOMPARE(Raw(b, 4), QByteArray("\x01\x00\x01\x00", 4));
    }

    // A two-line box caption stands where the box's own text would, level with the box.
    void time_synchronisation_two_line_captions_beside_their_boxes_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("with the computer") << 2;
        QTest::newRow("with the PC") << 3;
    }
    void time_synchronisation_two_line_captions_beside_their_boxes()
    {
        QFETCH(int, row);
        uint8_t b[4] = {1, 1, 1, 1};
        TFormTime_Sinhr f;
        f.Tab_Data = b;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QCheckBox *c = f.Check_Box(row);
        const QList<QLabel *> l = f.Labels(row);
        QVERIFY(c && c->text().isEmpty() && l.size() == 2);
        QStyleOptionButton opt;
        opt.initFrom(c);
        opt.text = "x";
        const QPoint at = c->mapTo(&f, QPoint(c->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, c).left(), 0));
        for (const QLabel *line : l) QVERIFY(qAbs(line->mapTo(&f, QPoint(0, 0)).x() - at.x()) <= 1);
        const int middle = (l[0]->mapTo(&f, QPoint(0, 0)).y() + l[1]->mapTo(&f, QPoint(0, l[1]->height())).y()) / 2;
        QVERIFY(qAbs(middle - c->mapTo(&f, c->rect().center()).y()) <= 2);
    }

    void clock_form_season_bytes_compared_raw()
    {
        // Same moment, both winter time, but the controller's byte is 1 and the PC's 0x80.
        const uint8_t pc[6] = {26, 1, 5, 8, 0, 0};
        uint8_t t2[8] = {26, 1, 5, 8, 0, 0, 2, 1};
        const uint8_t t6[12] = {3, 0xC9, 2, 10, 0xC9, 3, 10, 1, 0, 0, 0, 1};
        TFormDt f;
        f.Clock_Tab = t2;
        f.Sys_Tab = t6;
        f.Pc_Time = Date6_To_DateTime(pc) + 0.1 / 86400;
        f.show();
        QCOMPARE(f.Contr_Cell[3]->text(), f.Pc_Cell[3]->text());
        // Every day name fits its cell with room beside it, whichever day is shown.
        for (int d = 0; d < 7; ++d)
            for (QLabel *l : {f.Contr_Cell[2], f.Pc_Cell[2]})
                QVERIFY2(l->fontMetrics().horizontalAdvance(Day_Names(d)) + 2 * l->frameWidth() + 8 <= l->width(),
                         qPrintable(Day_Names(d)));
        QCOMPARE(f.Contr_Cell[3]->palette().color(QPalette::WindowText), QColor(Qt::red));
        for (int k = 0; k < 3; ++k) QCOMPARE(f.Contr_Cell[k]->palette().color(QPalette::WindowText), QColor(Qt::black));

        // "Да": the correction within the hour.
        t2[5] = 10;
        ques.answer = 1;
        TFormDt g;
        g.Clock_Tab = t2;
        g.Sys_Tab = t6;
        g.Pc_Time = Date6_To_DateTime(pc) + 0.1 / 86400;
        g.show();
        g.BitBtnCorr->click();
        QCOMPARE(g.Accepted, uint8_t(1));
        QCOMPARE(g.Corr_Sec, int16_t(-10));
    }

    void clock_form_without_pc_synchronisation()
    {
        const uint8_t t2[8] = {26, 1, 5, 8, 0, 0, 2, 0x80};
        uint8_t t6[12] = {};
        const uint8_t pc[6] = {26, 1, 5, 8, 0, 0};
        TFormDt f;
        f.Clock_Tab = t2;
        f.Sys_Tab = t6;
        f.Pc_Time = Date6_To_DateTime(pc);
        f.show();
        QVERIFY(f.LNo_Sync->isVisible());
        QVERIFY(!f.BitBtnCorr->isEnabled());

        // A controller clock that is no date gives no correction either.
        t6[SYS_SYNC_PC] = 1;
        const uint8_t bad[8] = {26, 13, 5, 8, 0, 0, 2, 0};
        TFormDt g;
        g.Clock_Tab = bad;
        g.Sys_Tab = t6;
        g.Pc_Time = Date6_To_DateTime(pc);
        g.show();
        QVERIFY(!g.LNo_Sync->isVisible());
        QVERIFY(!g.BitBtnCorr->isEnabled());
    }
};

QTEST_MAIN(Tst_Syspar_Dialogs)
#include "tst_syspar_dialogs.moc"
