// The period, short-period and index dialogs driven like their readers drive them: created,
// shown (through Run_Dialog where a reader would), controls set, "Принять" pressed. Checks what
// the controls show, every refusal leaving the dialog open, the results, and the choice kept.
#include "core/Dtfun.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "messages/Period.h"
#include "messages/forms/Period.h"
#include "messages/forms/Readindex.h"
#include "messages/forms/Shortdt.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstring>

namespace {

struct Recorder : Ques_Handler {
    QList<Ques_Setup> seen;
    uint8_t Ask(const Ques_Setup &q) override
    {
        seen << q;
        return 0;
    }
};

Date6 D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date6{uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

QString Txt(const Date6 &d)
{
    return QString::asprintf("%02d %02d %02d %02d %02d %02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
}

Arh_Range R(const Date6 &a, const Date6 &b)
{
    Arh_Range r;
    std::memcpy(r.start, a.bytes(), 5);
    std::memcpy(r.end, b.bytes(), 5);
    return r;
}

void Set_Controller_Clock(const Date6 &d)
{
    Init_Tables();
    uint8_t *t2 = Tab_Field(2, 0);
    QVERIFY(t2);
    std::memcpy(t2, d.bytes(), 6);
    t2[6] = 0;
    t2[7] = 0;
}

} // namespace

class tst_Request_Dialogs : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void periodPresetsFromPcClock();
    void periodRefusalsKeepDialogOpen();
    void periodGivenPeriodStored();
    void periodExitKeepsChoice();

    void hourlyPanel();
    void dailyPanel();
    void minutesPanel();
    void shortUnknownKindAndCancel();

    void indexDialog();
    void indexRefusals();

private:
    Recorder rec;
    Ques_Handler *old = nullptr;
};

void tst_Request_Dialogs::init()
{
    rec.seen.clear();
    old = Set_Ques_Handler(&rec);
    Rd_Arh_Rec = Rd_Arh_Record{0, 1, 0.0, 0.0, {}};
    Set_Pc_Clock([] { return QDateTime(QDate(2026, 3, 5), QTime(0, 20, 5)); });
}

void tst_Request_Dialogs::cleanup()
{
    Set_Ques_Handler(old);
    Set_Pc_Clock(nullptr);
    Set_Dialog_Runner(nullptr);
}

void tst_Request_Dialogs::periodPresetsFromPcClock()
{
    TFormPeriod f;
    QCOMPARE(f.windowTitle(), QString("Ввод периода времени запрашиваемых данных"));
    QCOMPARE(f.Start_Hour->count(), 24);
    QCOMPARE(f.Start_Sec->count(), 60);
    QCOMPARE(f.Start_Hour->itemText(23), QString("23"));
    f.show();
    // "За последний час" at 00:20:05 on 5 March.
    QVERIFY(f.Choice_Btn[0]->isChecked());
    QCOMPARE(f.Start_Date->date(), QDate(2026, 3, 4));
    QCOMPARE(f.Start_Hour->currentText(), QString("23"));
    QCOMPARE(f.Start_Min->currentText(), QString("20"));
    QCOMPARE(f.Start_Sec->currentText(), QString("5"));
    QCOMPARE(f.End_Date->date(), QDate(2026, 3, 5));
    QCOMPARE(f.End_Hour->currentText(), QString("0"));
    QVERIFY(!f.Start_Date->isEnabled() && !f.End_Sec->isEnabled());

    f.Choice_Btn[1]->click();
    QCOMPARE(Rd_Arh_Rec.period_choice, 1u);
    QCOMPARE(f.Start_Date->date(), QDate(2026, 3, 4));
    QCOMPARE(f.Start_Hour->currentText(), QString("0"));
    // A preset is accepted as the disabled controls show it; the given period is not touched.
    f.Btn_Accept->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(f.Ok), 1);
    QCOMPARE(Txt(f.Start), Txt(D(2026, 3, 4, 0, 20, 5)));
    QCOMPARE(Txt(f.End), Txt(D(2026, 3, 5, 0, 20, 5)));
    QVERIFY(!f.isVisible());
    QCOMPARE(Rd_Arh_Rec.start_dt, 0.0);

    // Ok is cleared at every show.
    f.show();
    QCOMPARE(int(f.Ok), 0);
    QVERIFY(f.Choice_Btn[1]->isChecked());
}

void tst_Request_Dialogs::periodRefusalsKeepDialogOpen()
{
    Rd_Arh_Rec.period_choice = 2;
    Store_Given_Period(D(2026, 1, 1, 8, 0, 0), D(2026, 1, 2, 8, 0, 0));
    TFormPeriod f;
    f.show();
    QVERIFY(f.Choice_Btn[2]->isChecked());
    QVERIFY(f.Start_Hour->isEnabled() && f.End_Date->isEnabled());
    QCOMPARE(f.Start_Date->date(), QDate(2026, 1, 1));
    QCOMPARE(f.Start_Hour->currentText(), QString("8"));

    // The boxes take digits only.
    f.Start_Min->lineEdit()->clear();
    QTest::keyClicks(f.Start_Min->lineEdit(), "1x%'5");
    QCOMPARE(f.Start_Min->currentText(), QString("15"));

    struct Step {
        QComboBox *box;
        QString text;
        const char *line1;
    } steps[] = {
        {f.Start_Hour, "24", "Значение часа начала диапазона"},
        {f.Start_Sec, "", "Значение секунд начала диапазона"},
        {f.End_Min, "60", "Значение минут конца диапазона"},
    };
    for (const Step &s : steps) {
        const QString keep = s.box->currentText();
        s.box->setEditText(s.text);
        f.Btn_Accept->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].kind, 2u);
        QCOMPARE(rec.seen[0].caption, QString("Ошибка ввода параметров"));
        QCOMPARE(rec.seen[0].line1, QString::fromUtf8(s.line1));
        QCOMPARE(rec.seen[0].line2, QString("вне допустимого диапазона"));
        QVERIFY(f.isVisible());
        QCOMPARE(int(f.Ok), 0);
        QCOMPARE(s.box->currentText(), s.text);   // contents stay for correction
        s.box->setEditText(keep);
        rec.seen.clear();
    }

    f.End_Date->setDate(QDate(2025, 12, 31));
    f.Btn_Accept->click();
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QString("Дата и время конца опроса должны быть"));
    QCOMPARE(rec.seen[0].line2, QString("больше даты и времени начала опроса"));
    QVERIFY(f.isVisible());

    // The pickers take no date before 2000.
    f.Start_Date->setDate(QDate(1999, 12, 31));
    QVERIFY(f.Start_Date->date() >= QDate(2000, 1, 1));
}

void tst_Request_Dialogs::periodGivenPeriodStored()
{
    // Driven as a reader drives it: created, run through Run_Dialog, read.
    Scripted_Dialogs runner([](QDialog &d) {
        auto &f = static_cast<TFormPeriod &>(d);
        f.Choice_Btn[2]->click();
        f.Start_Date->setDate(QDate(2024, 2, 29));
        f.Start_Hour->setEditText("23");
        f.Start_Min->setEditText("59");
        f.Start_Sec->setEditText("59");
        f.End_Date->setDate(QDate(2024, 2, 29));
        f.End_Hour->setEditText("23");
        f.End_Min->setEditText("59");
        f.End_Sec->setEditText("59");
        f.Btn_Accept->click();   // equal bounds pass
    });
    Set_Dialog_Runner(&runner);
    TFormPeriod f;
    QCOMPARE(Run_Dialog(f), int(QDialog::Accepted));
    QCOMPARE(int(f.Ok), 1);
    QCOMPARE(Txt(f.Start), Txt(D(2024, 2, 29, 23, 59, 59)));
    QCOMPARE(Txt(f.End), Txt(f.Start));
    QCOMPARE(Rd_Arh_Rec.period_choice, 2u);
    QCOMPARE(Txt(Stored_Period_Start(D(2000, 1, 1))), Txt(f.Start));
    QCOMPARE(Txt(Stored_Period_End(D(2000, 1, 1))), Txt(f.End));

    // The next dialog opens as this one was left.
    Set_Dialog_Runner(nullptr);
    TFormPeriod g;
    g.show();
    QVERIFY(g.Choice_Btn[2]->isChecked());
    QCOMPARE(g.End_Date->date(), QDate(2024, 2, 29));
    QCOMPARE(g.End_Sec->currentText(), QString("59"));
}

void tst_Request_Dialogs::periodExitKeepsChoice()
{
    Rd_Arh_Rec.period_choice = 77;   // out of range: opens on the first choice
    Scripted_Dialogs runner([](QDialog &d) {
        auto &f = static_cast<TFormPeriod &>(d);
        QVERIFY(f.Choice_Btn[0]->isChecked());
        f.Choice_Btn[1]->click();
        f.Btn_Exit->click();
    });
    Set_Dialog_Runner(&runner);
    TFormPeriod f;
    QCOMPARE(Run_Dialog(f), int(QDialog::Rejected));
    QCOMPARE(int(f.Ok), 0);
    QCOMPARE(Rd_Arh_Rec.period_choice, 1u);
}

void tst_Request_Dialogs::hourlyPanel()
{
    Set_Controller_Clock(D(2026, 3, 5, 10, 25, 40));
    const Arh_Range range = R(D(2026, 3, 1, 6, 0), D(2026, 3, 5, 9, 0));
    Rd_Arh_Rec.period_choice = 2;
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
    QVERIFY((f.geometry().center() - owner.geometry().center()).manhattanLength() <= 2);
    Short_Panel *p = f.Panel();
    QVERIFY(p == &f.Hour_Panel);
    QVERIFY(p->Panel->isVisible() && !f.Day_Panel.Panel->isVisible() && !f.Min_Panel.Panel->isVisible());
    QCOMPARE(Txt(f.Contr_Now), Txt(D(2026, 3, 5, 10, 25, 40)));
    QCOMPARE(p->Lbl_Oldest->text(), QString("Дата и время самой старой записи в архиве:  01.03.26 06ч"));
    QCOMPARE(p->Lbl_Newest->text(), QString("Дата и время последней записи в архиве:  05.03.26 09ч"));
    QVERIFY(p->Start_Min == nullptr);
    QVERIFY(!p->Start_Hour->isEditable());
    // A stored given period of the three-item dialogs opens on "Заданный период", kept as 1.
    QCOMPARE(p->Choice_Btn.size(), 2);
    QCOMPARE(p->Choice_Btn[1]->text(), QString("Заданный период"));
    QVERIFY(p->Choice_Btn[1]->isChecked());
    QCOMPARE(Rd_Arh_Rec.period_choice, 1u);
    QVERIFY(p->Start_Date->isEnabled());
    QCOMPARE(p->Start_Date->date(), QDate(2026, 3, 4));
    QCOMPARE(p->Start_Hour->currentIndex(), 9);
    QCOMPARE(p->End_Date->date(), QDate(2026, 3, 5));

    // Wholly before the range: refused, dialog open.
    p->Start_Date->setDate(QDate(2026, 2, 1));
    p->End_Date->setDate(QDate(2026, 3, 1));
    p->End_Hour->setCurrentIndex(5);
    p->Btn_Accept->click();
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].kind, 2u);
    QCOMPARE(rec.seen[0].line1, QString("В архиве нет данных за указанный период"));
    QCOMPARE(rec.seen[0].line2, QString("(см. период имеющихся в архиве данных)"));
    QVERIFY(f.isVisible());
    QCOMPARE(int(f.Ok), 0);

    // Starting before the range and ending inside: the start becomes the range start.
    p->End_Hour->setCurrentIndex(7);
    p->Btn_Accept->click();
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(int(f.Ok), 1);
    QCOMPARE(Txt(f.Start), Txt(D(2026, 3, 1, 6)));
    QCOMPARE(Txt(f.End), Txt(D(2026, 3, 1, 7)));
    QCOMPARE(Rd_Arh_Rec.start_dt, 0.0);

    // "За последние сутки" from the controller's clock.
    TFormShortDate g;
    g.Range = &range;
    g.Kind = 0;
    g.show();
    g.Hour_Panel.Choice_Btn[0]->click();
    QCOMPARE(Rd_Arh_Rec.period_choice, 0u);
    QVERIFY(!g.Hour_Panel.End_Hour->isEnabled());
    QCOMPARE(g.Hour_Panel.Start_Date->date(), QDate(2026, 3, 4));
    QCOMPARE(g.Hour_Panel.Start_Hour->currentIndex(), 10);
    QCOMPARE(g.Hour_Panel.End_Hour->currentIndex(), 9);
    g.Hour_Panel.Btn_Accept->click();
    QCOMPARE(int(g.Ok), 1);
    QCOMPARE(Txt(g.Start), Txt(D(2026, 3, 4, 10)));
    QCOMPARE(Txt(g.End), Txt(D(2026, 3, 5, 9)));
}

void tst_Request_Dialogs::dailyPanel()
{
    // 05 h on 1 January with the gas day starting at 10 h: the last closed day is 30 December.
    const Date6 clock = D(2026, 1, 1, 5, 0, 0);
    Set_Controller_Clock(clock);
    Arh_Range range{};
    const Date6 first = D(2025, 12, 10);
    QVERIFY(Calc_Arh_Period(first.bytes(), clock.bytes(), range, UNIT_DAY, false, 10));
    Rd_Arh_Rec.period_choice = 0;
    Scripted_Dialogs runner([](QDialog &d) {
        auto &f = static_cast<TFormShortDate &>(d);
        Short_Panel &p = f.Day_Panel;
        QVERIFY(p.Start_Hour == nullptr && p.Start_Min == nullptr);
        QCOMPARE(p.Lbl_Newest->text(), QString("Дата и время последней записи в архиве:  30.12.25"));
        QCOMPARE(p.Choice_Btn[0]->text(), QString("За последний месяц"));
        QVERIFY(p.Choice_Btn[0]->isChecked());
        QVERIFY(!p.Start_Date->isEnabled());
        QCOMPARE(p.Start_Date->date(), QDate(2025, 11, 30));
        QCOMPARE(p.End_Date->date(), QDate(2025, 12, 31));
        p.Btn_Accept->click();
    });
    Set_Dialog_Runner(&runner);
    TFormShortDate f;
    f.Range = &range;
    f.Kind = 1;
    QCOMPARE(Run_Dialog(f), int(QDialog::Accepted));
    // Clamped into the range by the day; Date3 with zeros after it.
    QCOMPARE(Txt(f.Start), Txt(D(2025, 12, 10)));
    QCOMPARE(Txt(f.End), Txt(D(2025, 12, 30)));
    QCOMPARE(runner.Count, 1);
}

void tst_Request_Dialogs::minutesPanel()
{
    Set_Controller_Clock(D(2026, 3, 1, 0, 7, 33));
    const Arh_Range range = R(D(2026, 2, 1, 1, 30), D(2026, 3, 1, 0, 6));
    Rd_Arh_Rec.period_choice = 0;
    TFormShortDate f;
    f.Range = &range;
    f.Kind = 3;
    f.show();
    Short_Panel *p = f.Panel();
    QCOMPARE(p->Choice_Btn.size(), 3);
    QCOMPARE(p->Start_Date->date(), QDate(2026, 2, 28));
    QCOMPARE(p->Start_Hour->currentIndex(), 23);
    QCOMPARE(p->Start_Min->currentIndex(), 7);
    QCOMPARE(p->Lbl_Oldest->text(), QString("Дата и время самой старой записи в архиве:  01.02.26 01:30"));

    Store_Given_Period(D(2026, 2, 10, 4, 5, 6), D(2026, 2, 11, 7, 8, 9));
    p->Choice_Btn[2]->click();
    QCOMPARE(Rd_Arh_Rec.period_choice, 2u);
    QVERIFY(p->End_Min->isEnabled());
    QCOMPARE(p->Start_Date->date(), QDate(2026, 2, 10));
    QCOMPARE(p->Start_Min->currentIndex(), 5);
    // Before the range start by a minute: clamped, and the clamped period is stored.
    p->Start_Date->setDate(QDate(2026, 2, 1));
    p->Start_Hour->setCurrentIndex(1);
    p->Start_Min->setCurrentIndex(29);
    p->Btn_Accept->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(f.Ok), 1);
    QCOMPARE(Txt(f.Start), Txt(D(2026, 2, 1, 1, 30)));
    QCOMPARE(Txt(f.End), Txt(D(2026, 2, 11, 7, 8)));
    QCOMPARE(Txt(Stored_Period_Start(D(2000, 1, 1))), Txt(D(2026, 2, 1, 1, 30)));
    QCOMPARE(Txt(Stored_Period_End(D(2000, 1, 1))), Txt(D(2026, 2, 11, 7, 8)));
}

void tst_Request_Dialogs::shortUnknownKindAndCancel()
{
    Set_Controller_Clock(D(2026, 3, 5, 10, 25, 40));
    const Arh_Range range = R(D(2026, 3, 1, 6, 0), D(2026, 3, 5, 9, 0));
    TFormShortDate f;
    f.Range = &range;
    f.Kind = 2;
    f.show();
    QVERIFY(f.Panel() == nullptr);
    QVERIFY(!f.Hour_Panel.Panel->isVisible() && !f.Day_Panel.Panel->isVisible() && !f.Min_Panel.Panel->isVisible());
    f.Btn_Accept_Click();
    f.Apply_Choice(1);
    QVERIFY(f.isVisible());
    QCOMPARE(int(f.Ok), 0);
    f.reject();
    QCOMPARE(int(f.Ok), 0);

    // Esc cancels; the choice made stays stored.
    Rd_Arh_Rec.period_choice = 1;
    TFormShortDate g;
    g.Range = &range;
    g.Kind = 1;
    g.show();
    g.Day_Panel.Choice_Btn[0]->click();
    QTest::keyClick(&g, Qt::Key_Escape);
    QVERIFY(!g.isVisible());
    QCOMPARE(g.result(), int(QDialog::Rejected));
    QCOMPARE(int(g.Ok), 0);
    QCOMPARE(Rd_Arh_Rec.period_choice, 0u);

    // A controller clock that is no date: the PC's clock stands in.
    Set_Controller_Clock(Date6{26, 13, 40, 25, 61, 61});
    TFormShortDate h;
    h.Range = &range;
    h.Kind = 0;
    h.show();
    QCOMPARE(Txt(h.Contr_Now), Txt(D(2026, 3, 5, 0, 20, 5)));
}

void tst_Request_Dialogs::indexDialog()
{
    Rd_Arh_Rec.index_choice = 2;
    TFormIndex f;
    f.Kind = 1;
    f.Oldest = 1;
    f.Newest = 40;
    f.show();
    QCOMPARE(f.windowTitle(), QString("Индексы архивных записей о вмешательствах"));
    QCOMPARE(f.Oldest_Text->text(), QString("1"));
    QCOMPARE(f.Newest_Text->text(), QString("40"));
    // "Последние 50 записей" of 40.
    QVERIFY(f.Choice_Btn[2]->isChecked());
    QCOMPARE(f.Start_Edit->text(), QString("1"));
    QCOMPARE(f.Count_Edit->text(), QString("40"));
    QVERIFY(!f.Start_Edit->isEnabled());
    QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Btn_Accept));

    f.Choice_Btn[3]->click();
    QCOMPARE(Rd_Arh_Rec.index_choice, 3u);
    QCOMPARE(f.Start_Edit->text(), QString("31"));
    QCOMPARE(f.Count_Edit->text(), QString("10"));

    f.Choice_Btn[4]->click();
    QCOMPARE(Rd_Arh_Rec.index_choice, 4u);
    QVERIFY(f.Start_Edit->isEnabled() && f.Count_Edit->isEnabled());
    QVERIFY(f.Start_Edit->text().isEmpty() && f.Count_Edit->text().isEmpty());
    QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Start_Edit));
    // Digits only; Enter moves on.
    QTest::keyClicks(f.Start_Edit, "3%'1a");
    QCOMPARE(f.Start_Edit->text(), QString("31"));
    QTest::keyClick(f.Start_Edit, Qt::Key_Return);
    QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Count_Edit));
    QTest::keyClicks(f.Count_Edit, "500");
    QTest::keyClick(f.Count_Edit, Qt::Key_Return);
    QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Btn_Accept));
    QVERIFY(f.isVisible());   // Enter does not accept

    f.Btn_Accept->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(f.Ok), 1);
    QCOMPARE(f.First, 31u);
    QCOMPARE(f.Count, 10u);
    QVERIFY(!f.isVisible());

    // Calibration caption; the next dialog opens on the kept choice.
    TFormIndex g;
    g.Kind = 5;
    g.Oldest = 100;
    g.Newest = 1000;
    g.show();
    QCOMPARE(g.windowTitle(), QString("Индексы архивных записей оценок качества калибровки хроматографа"));
    QVERIFY(g.Choice_Btn[4]->isChecked());
    g.Btn_Exit->click();
    QCOMPARE(int(g.Ok), 0);
}

void tst_Request_Dialogs::indexRefusals()
{
    Rd_Arh_Rec.index_choice = 4;
    Scripted_Dialogs runner([this](QDialog &d) {
        auto &f = static_cast<TFormIndex &>(d);
        QCOMPARE(f.windowTitle(), QString("Индексы архивных записей диагностики"));
        struct Step {
            const char *start, *count, *line1, *line2;
        } steps[] = {
            {"", "5", "Не введен индекс записи начала чтения", ""},
            {"9", "5", "Нелогичное значение индекса записи начала чтения",
             "(см. значения индексов начала и конца архива)."},
            {"41", "5", "Нелогичное значение индекса записи начала чтения",
             "(см. значения индексов начала и конца архива)."},
            {"4294967306", "5", "Нелогичное значение индекса записи начала чтения",
             "(см. значения индексов начала и конца архива)."},
            {"31", "", "Не введено количество записей для чтения", ""},
            {"31", "0", "Нелогичное значение количества записей для чтения", ""},
        };
        for (const Step &s : steps) {
            rec.seen.clear();
            f.Start_Edit->setText(s.start);
            f.Count_Edit->setText(s.count);
            f.Btn_Accept->click();
            QCOMPARE(rec.seen.size(), 1);
            QCOMPARE(rec.seen[0].kind, 2u);
            QCOMPARE(rec.seen[0].line1, QString::fromUtf8(s.line1));
            QCOMPARE(rec.seen[0].line2, QString::fromUtf8(s.line2));
            QVERIFY(f.isVisible());
            QCOMPARE(int(f.Ok), 0);
            QCOMPARE(f.Start_Edit->text(), QString(s.start));
        }
        rec.seen.clear();
        f.Start_Edit->setText("40");
        f.Count_Edit->setText("4294967296");   // would be 0 cut to 32 bits
        f.Btn_Accept->click();
    });
    Set_Dialog_Runner(&runner);
    TFormIndex f;
    f.Kind = 0;
    f.Oldest = 10;
    f.Newest = 40;
    QCOMPARE(Run_Dialog(f), int(QDialog::Accepted));
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(f.First, 40u);
    QCOMPARE(f.Count, 1u);

    // Reversed bounds from the controller: every start is refused, nothing wraps.
    rec.seen.clear();
    Scripted_Dialogs runner2([](QDialog &d) {
        auto &g = static_cast<TFormIndex &>(d);
        g.Choice_Btn[0]->click();
        QCOMPARE(g.Count_Edit->text(), QString("0"));
        g.Btn_Accept->click();
    });
    Set_Dialog_Runner(&runner2);
    TFormIndex g;
    g.Oldest = 50;
    g.Newest = 10;
    QCOMPARE(Run_Dialog(g), int(QDialog::Rejected));
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QString("Нелогичное значение индекса записи начала чтения"));
    QCOMPARE(int(g.Ok), 0);
}

QTEST_MAIN(tst_Request_Dialogs)
#include "tst_request_dialogs.moc"
