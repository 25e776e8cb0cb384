// The passport gathering against the simulated controller (in-process behind a scripted
// port): which records are asked for, how the hourly records of the two devices are checked
// against each other and against the day, what stops the command; the month's summary.
#include "Arh_Sim_Rig.h"
#include "archives/Excrep_date.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"


#include "../../tools/make-templates/Passport_Templates.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

QDateTime At(const QDate &d, int hour) { return QDateTime(d, QTime(hour, 0), Qt::UTC); }

struct Test_Ui final : Passport_Ui {
    std::optional<QDate> day;          // the date the dialog gives (empty: cancelled)
    Arh_Range range_seen{};
    int kind_seen = -1, dialogs = 0, begins = 0, ends = 0, timers = 0, busy = 0, maximum = 0;
    QList<int> positions;
    std::function<void()> on_events;

    bool Ask_Report_Date(const Arh_Range &r, uint8_t kind, uint8_t date[4]) override
    {
        ++dialogs;
        range_seen = r;
        kind_seen = kind;
        if (!day) return false;
        date[0] = uint8_t(day->year() - 2000);
        date[1] = uint8_t(day->month());
        date[2] = uint8_t(day->day());
        date[3] = Day_Start_Hour();   // as the dialog sets it on acceptance
        return true;
    }
    void Busy(bool on) override { busy += on ? 1 : -1; }
    void Wait_Begin(int m) override
    {
        ++begins;
        maximum = m;
    }
    void Wait_Progress(int, int pos, int) override { positions << pos; }
    void Wait_End() override { ++ends; }
    void Start_Message_Timer() override { ++timers; }
    void Process_Events() override
    {
        if (on_events) on_events();
    }
};

// The controller says whether a moisture meter is fitted; the image says otherwise, so the
// gathering must take it from the controller.
struct Rig : Arh_Rig {
    explicit Rig(bool wmt = true)
    {
        core.Set_Field(6, 8, QByteArray(1, char(wmt ? 1 : 0)));
        Take_Image();
        *Tab_Field(6, 8) = wmt ? 0 : 1;
    }
    QDate Last_Day() const { return arh.Date_Of(Sim_Arh::Chr_Day, arh.Count(Sim_Arh::Chr_Day) - 1).date(); }
    QDate First_Day() const { return arh.Date_Of(Sim_Arh::Chr_Day, 0).date(); }
};

QByteArray Frame_Date(const QByteArray &f, int at, int len) { return f.mid(at, len); }
QByteArray Bytes_Of(const Date6 &d, int len) { return QByteArray(reinterpret_cast<const char *>(d.bytes()), len); }

// An hourly chromatograph record of the given hour with a sound CRC.
QByteArray Chr_Hour(const QDateTime &t)
{
    QByteArray r(94, '\0');
    const Date6 d = Arh_D4(t);
    std::memcpy(r.data(), d.bytes(), 4);
    const float v = 1.0f;
    for (int k = 0; k < 20; ++k) std::memcpy(r.data() + 12 + 4 * k, &v, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(r.data()), 92);
    return r;
}

Chr_HD_Rec Day_Rec(int day, float f2, float f11, bool seal = true)
{
    Chr_HD_Rec r{};
    r.date[0] = 26;
    r.date[1] = 3;
    r.date[2] = uint8_t(day);
    std::memcpy(r.values + 8, &f2, 4);
    std::memcpy(r.values + 44, &f11, 4);
    if (seal) Put_Crc16(reinterpret_cast<uint8_t *>(&r), 92);
    return r;
}

QByteArray Raw(const Chr_HD_Rec &r) { return QByteArray(reinterpret_cast<const char *>(&r), sizeof r); }

} // namespace

class Tst_Passport : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        Init_Tables();
        QVERIFY(passport_templates::Make_All(Tmp.path().toStdString()));
    }
    void init()
    {
        Set_Work_Dir(Tmp.path());
        Exch_Abort = false;
        Exch_Run = false;
    }

    void daily_passport_takes_the_day_and_its_hours()
    {
        Rig rig;
        Test_Ui ui;
        const QDate day = rig.Last_Day();
        ui.day = day;
        const auto d = Gather_Passport(PASSPORT_DAY, ui);
        QVERIFY2(d, qPrintable(rig.ques.Lines().join("; ")));
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(ui.kind_seen, 0);
        QCOMPARE(int(d->kind), 0);
        QVERIFY(d->wmt);
        QCOMPARE(int(d->date[3]), 10);

        // The two daily records first: {3, 0, device, date3, date3}.
        const QList<QByteArray> f16 = rig.Frames(16);
        QCOMPARE(f16.size(), 2);
        const QByteArray d3 = Bytes_Of(Arh_D4(At(day, 0)), 3);
        for (int dev = 0; dev < 2; ++dev) {
            QCOMPARE(f16[dev].size(), 15);
            QCOMPARE(int(uint8_t(f16[dev].at(4))), 3);
            QCOMPARE(int(uint8_t(f16[dev].at(5))), 0);
            QCOMPARE(int(uint8_t(f16[dev].at(6))), dev);
            QCOMPARE(Frame_Date(f16[dev], 7, 3), d3);
            QCOMPARE(Frame_Date(f16[dev], 10, 3), d3);
        }
        const int di = rig.arh.Index_Of(Sim_Arh::Chr_Day, At(day, 0));
        QCOMPARE(Raw(d->chr_summary), rig.arh.Record(Sim_Arh::Chr_Day, di));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&d->wmt_day), 28), rig.arh.Record(Sim_Arh::Wmt_Day, di));

        // The gas day's 24 hours of both devices, the same hours in the same slots.
        const QDateTime from = At(day, 10), to = At(day.addDays(1), 9);
        QCOMPARE(d->count, 24u);
        QCOMPARE(d->chr_recs, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to)));
        QCOMPARE(d->wmt_recs, Arh_Join(rig.arh.Records_Between(Sim_Arh::Wmt_Hour, from, to)));

        // Two records a reply: 12 requests, each from the hour expected next, all ending at the
        // day's last hour; no request once the 24th record came. Eight a reply for the meter.
        const QList<QByteArray> c15 = rig.Frames(15, 0), w15 = rig.Frames(15, 1);
        QCOMPARE(c15.size(), 12);
        QCOMPARE(w15.size(), 3);
        for (int i = 0; i < c15.size(); ++i) {
            QCOMPARE(c15[i].size(), 17);
            QCOMPARE(Frame_Date(c15[i], 7, 4), Bytes_Of(Arh_D4(from.addSecs(3600LL * 2 * i)), 4));
            QCOMPARE(Frame_Date(c15[i], 11, 4), Bytes_Of(Arh_D4(to), 4));
        }
        QCOMPARE(Frame_Date(w15[2], 7, 4), Bytes_Of(Arh_D4(from.addSecs(3600LL * 16)), 4));

        // One wait form over both devices, progress 48 at the end; the frame undone.
        QCOMPARE(ui.begins, 1);
        QCOMPARE(ui.ends, 1);
        QCOMPARE(ui.maximum, 48);
        QCOMPARE(ui.positions.size(), 48);
        QCOMPARE(ui.positions.last(), 48);
        QCOMPARE(ui.busy, 0);
        QVERIFY(!Exch_Run);

        // Descriptors from table 1.
        const int n = Gas_Par_Count();
        QVERIFY(n > 0);
        for (int i = 0; i < ARH_PAR_MAX; ++i) {
            const Param_Descr &p = d->descr[i];
            if (i >= n) {
                QCOMPARE(p.unit, uint8_t(0));
                QCOMPARE(p.name[0], char(0));
                continue;
            }
            const Chr_Par *c = Image_Chr_Par(i);
            QCOMPARE(QByteArray(p.name, 25), QByteArray(c->name, 25));
            QCOMPARE(p.name[25], char(0));
            QCOMPARE(p.unit, c->unit);
            QCOMPARE(p.type, c->type);
            QCOMPARE(p.decimals, c->decimals);
            QCOMPARE(uint16_t(p.modbus_reg), uint16_t(c->reg));
        }
    }

    void no_moisture_meter_no_moisture_request()
    {
        Rig rig(false);
        Test_Ui ui;
        ui.day = rig.Last_Day();
        const auto d = Gather_Passport(PASSPORT_DAY, ui);
        QVERIFY(d);
        QVERIFY(!d->wmt);
        QVERIFY(d->wmt_recs.isEmpty());
        QCOMPARE(rig.Frames(16, 1).size(), 0);
        QCOMPARE(rig.Frames(15, 1).size(), 0);
        QCOMPARE(rig.Frames(15, 0).size(), 12);
    }

    void oldest_day_starts_at_the_archive_start()
    {
        Rig rig;
        // The daily archive starts at 14:00 of a day whose gas day starts at 10:00.
        const QDate day = rig.Last_Day().addDays(-2);
        const Date6 first{uint8_t(day.year() - 2000), uint8_t(day.month()), uint8_t(day.day()), 14, 0, 0};
        QVERIFY(rig.core.Set_Field(27, 2, Bytes_Of(first, 6)));
        Test_Ui ui;
        ui.day = day;
        const auto d = Gather_Passport(PASSPORT_DAY, ui);
        QVERIFY2(d, qPrintable(rig.ques.Lines().join("; ")));
        QCOMPARE(int(ui.range_seen.start[3]), 14);
        QCOMPARE(d->count, 20u);   // 14:00 .. 09:00 of the next day
        const QList<QByteArray> c15 = rig.Frames(15, 0);
        QCOMPARE(Frame_Date(c15.first(), 7, 4), Bytes_Of(first, 4));
        QCOMPARE(d->chr_recs, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, At(day, 14), At(day.addDays(1), 9))));
    }

    // What the controller's archives lack or spoil, and the one message that says so.
    void failures_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("daily record damaged") << 0 << QStringList{"Суточные данные хроматографа недостоверны|(не совпадает КС записи"};
        QTest::newRow("daily record missing") << 1 << QStringList{"Суточные данные из архива| хроматографа не прочитаны"};
        QTest::newRow("meter's daily not answered") << 2 << QStringList{"Суточные данные из архива|влагомера не прочитаны"};
        QTest::newRow("hours not answered") << 3 << QStringList{"Часовые данные хроматографа из архива|не прочитаны"};
        QTest::newRow("hours gone") << 4 << QStringList{"Часовые данные хроматографа из архива|не прочитаны"};
        QTest::newRow("meter lacks an hour") << 5 << QStringList{"Несоответствие дат в записях|архивов данных хроматографа и влагомера",
                                                                  "Несоответствие количества прочитанных данных|хроматографа (24) и влагомера (2)"};
        QTest::newRow("meter ends early") << 6 << QStringList{"Несоответствие количества прочитанных данных|хроматографа (24) и влагомера (20)"};
    }
    void failures()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, lines);
        Rig rig;
        Test_Ui ui;
        const QDate day = rig.Last_Day();
        ui.day = day;
        switch (fault) {
        case 0: rig.arh.Spoil_Crc(Sim_Arh::Chr_Day, rig.arh.Index_Of(Sim_Arh::Chr_Day, At(day, 0))); break;
        case 1: rig.arh.Remove_Between(Sim_Arh::Chr_Day, At(day, 0), At(day, 0)); break;
        case 2: rig.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(16).Skip(1)); break;
        case 3: rig.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(15).Skip(3)); break;
        case 4: rig.arh.Remove_Between(Sim_Arh::Chr_Hour, At(day, 0), At(day.addDays(1), 23)); break;
        case 5: rig.arh.Remove_Between(Sim_Arh::Wmt_Hour, At(day, 12), At(day, 12)); break;
        case 6: rig.arh.Remove_Between(Sim_Arh::Wmt_Hour, At(day.addDays(1), 6), At(day.addDays(1), 23)); break;
        }
        QVERIFY(!Gather_Passport(PASSPORT_DAY, ui));
        QCOMPARE(rig.ques.Lines(), lines);
        if (fault <= 2) QCOMPARE(rig.Frames(15).size(), 0);   // no hours asked after a bad day
        if (fault == 3) QCOMPARE(rig.Frames(15, 1).size(), 0);
        QVERIFY(!Exch_Run);
    }

    void record_out_of_place_fails()
    {
        Rig rig(false);
        Test_Ui ui;
        ui.day = rig.Last_Day();
        const QDateTime from = At(*ui.day, 10);
        // The first reply is right; the second brings an hour from before the one expected.
        int replies = 0;
        rig.core.Set_Handler(15, [&](const QByteArray &, QByteArray &) {
            Sim_Answer a;
            const QList<QDateTime> hours = replies++ == 0 ? QList<QDateTime>{from, from.addSecs(3600)}
                                                          : QList<QDateTime>{from.addSecs(3600)};
            a.payload.append(char(hours.size()));
            for (const QDateTime &h : hours) a.payload += Chr_Hour(h);
            return a;
        });
        QVERIFY(!Gather_Passport(PASSPORT_DAY, ui));
        QCOMPARE(rig.ques.Lines(),
                 QStringList({"Передаваемые контроллером данные не соответствуют|запрошенному периоду"}));
        QCOMPARE(replies, 2);
        QCOMPARE(ui.ends, 1);
        QVERIFY(!Exch_Run);
    }

    void escape_stops_the_gathering()
    {
        {
            // During the chromatograph's pass: no message.
            Rig rig;
            Test_Ui ui;
            ui.day = rig.Last_Day();
            ui.on_events = [] { Exch_Abort = true; };
            QVERIFY(!Gather_Passport(PASSPORT_DAY, ui));
            QVERIFY(rig.ques.asked.isEmpty());
            QCOMPARE(rig.Frames(15, 0).size(), 1);
            QCOMPARE(rig.Frames(15, 1).size(), 0);
            QVERIFY(!Exch_Run);
            QCOMPARE(ui.ends, 1);
        }
        {
            // During the meter's pass: the counts then differ.
            Rig rig;
            Test_Ui ui;
            ui.day = rig.Last_Day();
            int calls = 0;
            ui.on_events = [&calls] {
                if (++calls == 13) Exch_Abort = true;   // after the meter's first reply
            };
            QVERIFY(!Gather_Passport(PASSPORT_DAY, ui));
            QCOMPARE(rig.ques.Lines(), QStringList({"Несоответствие количества прочитанных данных|хроматографа (24) и влагомера (8)"}));
        }
    }

    void dialog_cancel_and_missing_template()
    {
        {
            Rig rig;
            Test_Ui ui;   // no day: the dialog is cancelled
            QVERIFY(!Gather_Passport(PASSPORT_MON, ui));
            QCOMPARE(ui.dialogs, 1);
            QCOMPARE(ui.kind_seen, 1);
            QCOMPARE(rig.Frames(16).size(), 0);
            QVERIFY(rig.ques.asked.isEmpty());
        }
        {
            Rig rig;
            Test_Ui ui;
            ui.day = rig.Last_Day();
            QVERIFY(QFile::rename(Tmp.filePath("day_report_title.xlsx"), Tmp.filePath("keep.xlsx")));
            const auto d = Gather_Passport(PASSPORT_DAY, ui);
            QVERIFY(QFile::rename(Tmp.filePath("keep.xlsx"), Tmp.filePath("day_report_title.xlsx")));
            QVERIFY(!d);
            QCOMPARE(rig.ques.Lines(), QStringList({"В рабочем каталоге отсутствует файл day_report_title.xlsx|"
                                                    "Обратитесь к разработчику программного обеспечения"}));
            QCOMPARE(ui.dialogs, 0);
            QCOMPARE(rig.core.Request_Count(), 0);
        }
    }

    void monthly_passport_is_cut_to_the_archive()
    {
        Rig rig;
        Test_Ui ui;
        const QDate first = rig.First_Day();
        ui.day = first;
        const auto d = Gather_Passport(PASSPORT_MON, ui);
        QVERIFY2(d, qPrintable(rig.ques.Lines().join("; ")));
        const QDate last_of_month(first.year(), first.month(), first.daysInMonth());
        const int days = first.daysTo(last_of_month) + 1;
        QCOMPARE(d->count, uint32_t(days));
        QCOMPARE(d->chr_recs, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Day, At(first, 0), At(last_of_month, 0))));
        QCOMPARE(d->wmt_recs, Arh_Join(rig.arh.Records_Between(Sim_Arh::Wmt_Day, At(first, 0), At(last_of_month, 0))));
        const QList<QByteArray> c16 = rig.Frames(16, 0);
        QCOMPARE(c16.size(), (days + 1) / 2);
        QCOMPARE(Frame_Date(c16[0], 7, 3), Bytes_Of(Arh_D4(At(first, 0)), 3));
        QCOMPARE(Frame_Date(c16[0], 10, 3), Bytes_Of(Arh_D4(At(last_of_month, 0)), 3));
        QCOMPARE(rig.Frames(15).size(), 0);
        // The summary: mean of float 11, zero elsewhere.
        double sum = 0;
        for (uint32_t i = 0; i < d->count; ++i) sum += Float_At(reinterpret_cast<const uint8_t *>(d->chr_recs.constData()) + i * 94 + 12 + 44);
        QCOMPARE(Float_At(d->chr_summary.values + 44), float(sum / d->count));
        QCOMPARE(Float_At(d->chr_summary.values), 0.0f);
        QCOMPARE(d->chr_summary.date[0], uint8_t(0));

        // The last month ends at the archive's last day.
        Rig rig2;
        Test_Ui ui2;
        const QDate last = rig2.Last_Day();
        ui2.day = last;
        const auto d2 = Gather_Passport(PASSPORT_MON, ui2);
        QVERIFY(d2);
        const QDate month_start(last.year(), last.month(), 1);
        QCOMPARE(d2->count, uint32_t(month_start.daysTo(last) + 1));
        QCOMPARE(Frame_Date(rig2.Frames(16, 0)[0], 10, 3), Bytes_Of(Arh_D4(At(last, 0)), 3));
    }

    void month_summary_counts_sound_days_only()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QByteArray recs = Raw(Day_Rec(1, 0.5f, 10.0f)) + Raw(Day_Rec(2, 0.5f, 20.0f)) + Raw(Day_Rec(3, 0.0005f, 90.0f)) +
                          Raw(Day_Rec(4, 0.5f, nan)) + Raw(Day_Rec(5, 0.5f, 70.0f, false));
        Chr_HD_Rec s = Mon_Summary(recs, 5);
        QCOMPARE(Float_At(s.values + 44), 15.0f);
        // Fewer records than claimed are never read past.
        s = Mon_Summary(recs.left(94), 31);
        QCOMPARE(Float_At(s.values + 44), 10.0f);
        // Float 2 below 0.001 every day: 0.
        recs = Raw(Day_Rec(1, 0.0f, 10.0f)) + Raw(Day_Rec(2, 0.0009f, 20.0f));
        s = Mon_Summary(recs, 2);
        QCOMPARE(Float_At(s.values + 44), 0.0f);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&s), 94).count('\0'), 94);
    }

    void date_check_of_the_dialog()
    {
        Arh_Range r{{26, 2, 10, 14, 0}, {26, 4, 3, 0, 0}};
        const uint8_t in[5] = {26, 2, 10, 0, 0}, before[5] = {26, 2, 9, 23, 0}, after[5] = {26, 4, 4, 0, 0};
        QVERIFY(Rep_Date_In_Range(r, PASSPORT_DAY, in));
        QVERIFY(!Rep_Date_In_Range(r, PASSPORT_DAY, before));
        QVERIFY(!Rep_Date_In_Range(r, PASSPORT_DAY, after));
        // The month passport compares months only.
        QVERIFY(Rep_Date_In_Range(r, PASSPORT_MON, before));
        QVERIFY(Rep_Date_In_Range(r, PASSPORT_MON, after));
        const uint8_t may[5] = {26, 5, 1, 0, 0}, jan[5] = {26, 1, 31, 0, 0};
        QVERIFY(!Rep_Date_In_Range(r, PASSPORT_MON, may));
        QVERIFY(!Rep_Date_In_Range(r, PASSPORT_MON, jan));
    }
};

QTEST_GUILESS_MAIN(Tst_Passport)
#include "tst_passport.moc"
