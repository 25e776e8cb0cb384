// The archive readers against the simulated controller: the simulator core in-process behind a
// scripted port, its archives generated for the test.
#include "Arh_Sim_Rig.h"
#include "archives/Arh_Readers.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <limits>
#include <optional>

namespace {

QDateTime Dt(const uint8_t *d, int len)
{
    return QDateTime(QDate(2000 + d[0], d[1], d[2]), QTime(len > 3 ? d[3] : 0, len > 4 ? d[4] : 0, len > 5 ? d[5] : 0),
                     Qt::UTC);
}

// The window side, answered by the test.
struct Test_Ui final : Arh_Read_Ui {
    std::optional<std::pair<Date6, Date6>> period;   // empty: the dialog is cancelled
    int dialogs = 0;
    Arh_Range range_seen{};
    int kind_seen = -1;
    int begins = 0, ends = 0, timers = 0, pauses = 0, busy = 0;
    int busy_at_dialog = -1;
    bool busy_while_waiting = true;   // the hourglass at every step of the wait form
    int maximum = 0;
    QList<int> positions, blocks;
    QStringList status;
    bool run_in_progress = true;
    std::function<void(int block, int position)> on_progress;

    bool Ask_Period(Date6 &s, Date6 &e) override
    {
        ++dialogs;
        if (!period) return false;
        s = period->first;
        e = period->second;
        return true;
    }
    bool Ask_Short_Period(const Arh_Range &r, uint8_t kind, Date6 &s, Date6 &e) override
    {
        ++dialogs;
        busy_at_dialog = busy;
        range_seen = r;
        kind_seen = kind;
        if (!period) return false;
        s = period->first;
        e = period->second;
        return true;
    }
    void Busy(bool on) override { busy += on ? 1 : -1; }
    void Wait_Begin(int m) override
    {
        ++begins;
        busy_while_waiting = busy_while_waiting && busy > 0;
        maximum = m;
    }
    void Wait_Progress(int block, int pos, int m) override
    {
        QCOMPARE(m, maximum);
        QVERIFY(pos >= 0 && pos <= m);
        run_in_progress = run_in_progress && Exch_Run;
        busy_while_waiting = busy_while_waiting && busy > 0;
        positions << pos;
        blocks << block;
        if (on_progress) on_progress(block, pos);
    }
    void Wait_End() override { ++ends; }
    void Status(const QString &t) override { status << t; }
    void Start_Message_Timer() override { ++timers; }
    void Pause_Ms(int) override { ++pauses; }
};

using Rig = Arh_Rig;

QByteArray Work_File(const char *name)
{
    QFile f(Work_Dir() + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An hourly/daily moisture-meter record of the given date (Date4 / Date3), sealed.
QByteArray Hd_Rec(const Date6 &d)
{
    QByteArray r(28, '\0');
    std::memcpy(r.data(), d.bytes(), 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(r.data()), 26);
    return r;
}

// A function-15/16 handler answering the moisture-meter readers from a script of replies (each a list of record dates).
Sim_Core::Handler Scripted_Hd(QList<QList<Date6>> *replies)
{
    return [replies](const QByteArray &, QByteArray &) {
        Sim_Answer a;
        const QList<Date6> dates = replies->isEmpty() ? QList<Date6>{} : replies->takeFirst();
        a.payload.append(char(dates.size()));
        for (const Date6 &d : dates) a.payload += Hd_Rec(d);
        return a;
    };
}

bool Same_Bytes(const uint8_t *a, const Date6 &d, int n) { return std::memcmp(a, d.bytes(), size_t(n)) == 0; }

} // namespace

class Tst_Readers : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        Init_Tables();
    }
    void init()
    {
        Exch_Abort = false;
        Exch_Run = false;
        Set_Work_Dir(Tmp.path());
    }

    void reply_count_must_fit_the_reply()
    {
        uint8_t r[256] = {};
        // Function 8: 2 records of 94 bytes need 8 + 188 + 2 = 198 bytes.
        r[2] = 198;
        r[6] = 2;
        QCOMPARE(Reply_Record_Count(r, 8, 94).value_or(-1), 2);
        r[6] = 3;   // three claimed, two sent: refused, nothing copied past the reply
        QVERIFY(!Reply_Record_Count(r, 8, 94));
        r[6] = 255;
        QVERIFY(!Reply_Record_Count(r, 8, 29));
        r[2] = 9;   // too short to hold the count and the flag
        r[6] = 0;
        QVERIFY(!Reply_Record_Count(r, 8, 94));
        r[2] = 10;
        QCOMPARE(Reply_Record_Count(r, 8, 94).value_or(-1), 0);
        // Functions 15 and 16: count at [4], records from [5].
        r[2] = 5 + 8 * 28 + 2;
        r[4] = 8;
        QCOMPARE(Reply_Record_Count(r, 15, 28).value_or(-1), 8);
        r[4] = 9;
        QVERIFY(!Reply_Record_Count(r, 16, 28));
        QVERIFY(!Reply_Record_Count(r, 7, 28));
    }

    void measurement_reader_asks_block_by_block()
    {
        Rig rig;
        Test_Ui ui;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 100), to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 139);
        ui.period = {Arh_D6(from), Arh_D6(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QVERIFY(rig.ques.asked.isEmpty());

        // The clock first, then 20 blocks of two records.
        QCOMPARE(rig.Table_Reads().size(), 1);
        QCOMPARE(int(rig.Table_Reads()[0].tab), 2);
        QCOMPARE(int(rig.Table_Reads()[0].count), 8);
        const QList<QByteArray> f8 = rig.Frames(8);
        QCOMPARE(f8.size(), 20);
        for (int i = 0; i < f8.size(); ++i) {
            const auto *q = reinterpret_cast<const uint8_t *>(f8[i].constData());
            QCOMPARE(int(q[2]), 21);
            QCOMPARE(int(q[4]), 0);   // chromatograph
            QCOMPARE(int(q[5]), 6);   // measurement archive
            QCOMPARE(int(q[6]), i);   // block number
            QVERIFY(Same_Bytes(q + 7, Arh_D6(from), 6));
            QVERIFY(Same_Bytes(q + 13, Arh_D6(to), 6));
        }
        const QByteArray want = Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Meas, from, to));
        QCOMPARE(want.size(), 40 * 94);
        QCOMPARE(res->records, want);
        QCOMPARE(Work_File("datafile.msd"), want);
        QCOMPARE(res->header.rec_count, 40u);
        QVERIFY(Same_Bytes(res->header.period_start.bytes(), Arh_D6(from), 6));
        QVERIFY(Same_Bytes(res->header.period_end.bytes(), Arh_D6(to), 6));
        QVERIFY(res->header.line_name[0] != 0);
        QVERIFY(!res->aborted && !res->partial && !res->archive_error);

        // One wait form over the loop, progress in hours of the period, Esc armed meanwhile.
        QCOMPARE(ui.begins, 1);
        QCOMPARE(ui.ends, 1);
        QCOMPARE(ui.maximum, Period_Units(Arh_D6(from).bytes(), Arh_D6(to).bytes(), UNIT_HOUR));
        QCOMPARE(ui.blocks.size(), 20);
        QCOMPARE(ui.blocks.last(), 19);
        QVERIFY(ui.run_in_progress);
        QVERIFY(!Exch_Run);
        QCOMPARE(ui.busy, 0);
    }

    void moisture_and_calibration_readers()
    {
        Rig rig;
        {
            Test_Ui ui;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Wmt_Meas, 10), to = rig.arh.Date_Of(Sim_Arh::Wmt_Meas, 29);
            ui.period = {Arh_D6(from), Arh_D6(to)};
            const auto res = Read_Archive(Arh_Reader::Wmt_Meas, ui);
            QVERIFY(res);
            const QList<QByteArray> f8 = rig.Frames(8);
            QCOMPARE(f8.size(), 3);   // 8 readings of 29 bytes a block: 8, 8, 4
            QCOMPARE(int(uint8_t(f8[0].at(4))), 0x01);
            QCOMPARE(int(uint8_t(f8[0].at(5))), 6);
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Wmt_Meas, from, to)));
            QCOMPARE(res->kind, Arh_File_Kind::Wmt_Meas);
            QCOMPARE(int(res->header.device), 0x01);
            QVERIFY(res->header.line_name[0] != 0);
        }
        rig.core.Clear_Log();
        {
            Test_Ui ui;
            const int n = rig.arh.Count(Sim_Arh::Clb);
            QVERIFY(n >= 5);
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Clb, 0), to = rig.arh.Date_Of(Sim_Arh::Clb, n - 1);
            ui.period = {Arh_D6(from), Arh_D6(to)};
            const auto res = Read_Archive(Arh_Reader::Clb, ui);
            QVERIFY(res);
            const QList<QByteArray> f8 = rig.Frames(8);
            QCOMPARE(int(uint8_t(f8[0].at(5))), 5);
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Clb, from, to)));
            QCOMPARE(Work_File("datafile.clb"), res->records);
            QCOMPARE(QByteArray(res->header.magic, 3), QByteArray("CLB"));
            QCOMPARE(int(res->header.line_name[0]), 0);
        }
    }

    void block_numbers_wrap_from_255_to_1()
    {
        Sim_Archive_Span span;
        span.meas_hours = 30;   // 600 analyses: 300 blocks
        Rig rig(span);
        Test_Ui ui;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0);
        const QDateTime to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 527);   // 264 blocks
        ui.period = {Arh_D6(from), Arh_D6(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 528u);
        const QList<int> b = rig.arh.Blocks();
        QCOMPARE(b.size(), 264);
        QCOMPARE(b[0], 0);
        QCOMPARE(b[255], 255);
        QCOMPARE(b[256], 1);   // the 257th block
        QCOMPARE(b[263], 8);
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(ui.blocks.last(), 263);
    }

    void period_reader_messages()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9);
        const QString line1 = QStringLiteral("Измерительные данные");
        {   // nothing read: the controller does not answer
            rig.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8).Times(-1));
            Test_Ui ui;
            ui.period = {Arh_D6(from), Arh_D6(to)};
            QVERIFY(!Read_Archive(Arh_Reader::Chr_Meas, ui));
            QCOMPARE(rig.ques.Lines(), QStringList{line1 + QStringLiteral("|не прочитаны")});
            QCOMPARE(rig.ques.asked[0].kind, 6u);
            QVERIFY(ui.status.contains(rig.box.Err_Text()));
            // The error stands in the panel while its message is up, and is cleared after.
            QVERIFY(ui.status.value(ui.status.size() - 2).startsWith(QStringLiteral("Команда 8.")));
            QCOMPARE(ui.status.last(), QString());
            QCOMPARE(ui.timers, 1);
            QCOMPARE(ui.ends, 1);
            QVERIFY(!Exch_Run);
            rig.core.Clear_Faults();
        }
        rig.ques.asked.clear();
        {   // partly read: the third block is not answered
            rig.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8).Skip(2).Times(-1));
            Test_Ui ui;
            ui.period = {Arh_D6(from), Arh_D6(to)};
            const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
            QVERIFY(res);
            QCOMPARE(rig.ques.Lines(), QStringList{line1 + QStringLiteral("|прочитаны не полностью")});
            QCOMPARE(res->header.rec_count, 4u);
            QVERIFY(res->partial);
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Meas, from, to)).left(4 * 94));
            rig.core.Clear_Faults();
        }
        rig.ques.asked.clear();
        {   // nothing in the period
            Test_Ui ui;
            const QDateTime before = from.addDays(-30);
            ui.period = {Arh_D6(before), Arh_D6(before.addSecs(3600))};
            QVERIFY(!Read_Archive(Arh_Reader::Chr_Meas, ui));
            QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Нет данных за указанный период|")});
        }
        rig.ques.asked.clear();
        {   // the archive-error mark, after the records are read
            rig.arh.Set_Archive_Error(true);
            Test_Ui ui;
            ui.period = {Arh_D6(from), Arh_D6(to)};
            const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
            QVERIFY(res && res->archive_error);
            QCOMPARE(res->header.rec_count, 10u);
            QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Обнаружена ошибка|в архиве измерительных данных")});
            rig.ques.asked.clear();
            const int n = rig.arh.Count(Sim_Arh::Clb);
            ui.period = {Arh_D6(rig.arh.Date_Of(Sim_Arh::Clb, 0)), Arh_D6(rig.arh.Date_Of(Sim_Arh::Clb, n - 1))};
            QVERIFY(Read_Archive(Arh_Reader::Clb, ui));
            QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Обнаружена ошибка|в архиве данных калибровки")});
            rig.arh.Set_Archive_Error(false);
        }
        rig.ques.asked.clear();
        {   // a cancelled dialog ends silently; so does a refused clock read
            Test_Ui ui;
            QVERIFY(!Read_Archive(Arh_Reader::Chr_Meas, ui));
            QCOMPARE(ui.dialogs, 1);
            QCOMPARE(ui.begins, 0);
            QVERIFY(rig.ques.asked.isEmpty());
        }
    }

    void period_reader_refuses_a_count_that_does_not_fit()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9);
        rig.arh.Set_Count_Mismatch(8, 1);   // the second reply claims 3 records and carries 2
        Test_Ui ui;
        ui.period = {Arh_D6(from), Arh_D6(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 2u);
        QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Meas, from, to)).left(2 * 94));
        QCOMPARE(Work_File("datafile.msd").size(), 2 * 94);
        QVERIFY(ui.status.contains(Arh_Count_Error_Text(8)));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Измерительные данные|прочитаны не полностью")});
        QCOMPARE(rig.Frames(8).size(), 2);

        rig.ques.asked.clear();
        rig.arh.Set_Count_Mismatch(8, 0);
        QVERIFY(!Read_Archive(Arh_Reader::Chr_Meas, ui));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Измерительные данные|не прочитаны")});
    }

    void esc_stops_a_period_read_after_the_current_block()
    {
        Rig rig;
        rig.arh.Set_Endless(true);   // the controller would say "more" for ever
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9);
        Test_Ui ui;
        ui.period = {Arh_D6(from), Arh_D6(to)};
        ui.on_progress = [](int block, int) {
            if (block == 7) Exch_Abort = true;   // Esc while block 7 is being stored
        };
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QVERIFY(res->aborted);
        QCOMPARE(rig.Frames(8).size(), 8);
        QCOMPARE(res->header.rec_count, 16u);   // block 7 kept
        const QByteArray all = Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Meas, from, to));
        QCOMPARE(res->records, all + all.left(6 * 94));
        QVERIFY(!Exch_Abort);   // the period readers clear it when they honour it
        QVERIFY(!Exch_Run);
        QVERIFY(rig.ques.asked.isEmpty());
    }

    void stale_esc_is_cleared_before_the_first_request()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 9);
        Test_Ui ui;
        ui.period = {Arh_D4(from), Arh_D4(to)};
        Exch_Abort = true;   // left over from an earlier read
        const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
        QVERIFY(res);
        QVERIFY(!res->aborted);
        QCOMPARE(res->header.rec_count, 10u);
    }

    void precheck_works_out_the_available_period()
    {
        Sim_Archive_Span span;
        span.hour_days = 3;
        span.day_days = 20;
        span.day_flag = true;
        Rig rig(span);
        Arh_Range range{};
        uint8_t first[6];
        QVERIFY(Arh_Precheck(range, first, 0));
        const QList<Tab_Req> t = rig.Table_Reads();
        QCOMPARE(t.size(), 3);
        QVERIFY(t[0].tab == 27 && t[0].first == 1 && t[0].count == 1);
        QVERIFY(t[1].tab == 2 && t[1].first == 0 && t[1].count == 8);
        QVERIFY(t[2].tab == 6 && t[2].first == 0 && t[2].count == 12);
        QCOMPARE(Dt(first, 4), rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0));
        QCOMPARE(Dt(range.start, 4), rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0));

        // Daily: the flag bit is taken off the date and moves the start a day back.
        QVERIFY(Arh_Precheck(range, first, 1));
        QCOMPARE(int(first[5]), 0);
        QCOMPARE(Dt(first, 3), rig.arh.Date_Of(Sim_Arh::Chr_Day, 0));
        QCOMPARE(Dt(range.start, 3), rig.arh.Date_Of(Sim_Arh::Chr_Day, 0).addDays(-1));
        QVERIFY(rig.ques.asked.isEmpty());

        rig.core.Set_Field(27, 1, QByteArray::fromHex("010101000000"));
        QVERIFY(!Arh_Precheck(range, first, 0));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("В архиве нет данных|")});
        rig.ques.asked.clear();

        rig.core.Set_Field(27, 1, QByteArray::fromHex("180d05170000"));   // month 13
        QVERIFY(!Arh_Precheck(range, first, 0));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Прочитанные параметры даты и времени (05.13.24 23:00:00)|"
                                                              "не соответствуют допустимым значениям")});
        rig.ques.asked.clear();

        // A first record in the present hour: nothing closed yet.
        const QByteArray clock = rig.core.Field(2, 0) + rig.core.Field(2, 1) + rig.core.Field(2, 2) + rig.core.Field(2, 3);
        rig.core.Set_Field(27, 1, clock + QByteArray(2, '\0'));
        QVERIFY(!Arh_Precheck(range, first, 0));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("В архиве еще нет ни одной записи|")});
    }

    void hourly_reader_asks_from_after_each_reply()
    {
        Rig rig;
        Test_Ui ui;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 20), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 29);
        ui.period = {Arh_D4(from), Arh_D4(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
        QVERIFY(res);
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(ui.kind_seen, 0);
        QCOMPARE(Dt(ui.range_seen.start, 4), rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0));

        const QList<QByteArray> f = rig.Frames(15);
        QCOMPARE(f.size(), 5);   // two records a reply
        for (int i = 0; i < f.size(); ++i) {
            const auto *q = reinterpret_cast<const uint8_t *>(f[i].constData());
            QCOMPARE(int(q[2]), 17);
            QVERIFY(q[4] == 3 && q[5] == 0 && q[6] == 0);
            QVERIFY(Same_Bytes(q + 7, Arh_D4(from.addSecs(7200LL * i)), 4));
            QVERIFY(Same_Bytes(q + 11, Arh_D4(to), 4));
        }
        const QByteArray want = Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to));
        QCOMPARE(res->records, want);
        QCOMPARE(Work_File("datafile.hdm"), want);
        QCOMPARE(QByteArray(res->header.magic, 3), QByteArray("HOU"));
        QCOMPARE(res->viewer_kind, uint8_t(0));
        QVERIFY(Same_Bytes(res->header.period_start.bytes(), Arh_D4(from), 6));
        QVERIFY(Same_Bytes(res->header.period_end.bytes(), Arh_D4(to), 6));
        QCOMPARE(ui.maximum, 9);
        QCOMPARE(ui.positions.size(), 10);   // one step a record
        QCOMPARE(ui.positions.last(), 9);
        QCOMPARE(ui.pauses, 1);
        QCOMPARE(ui.timers, 1);
        QVERIFY(ui.run_in_progress);
        QVERIFY(!Exch_Run);
        // The hourglass: off for the dialog, on from the first request, off at the end.
        QCOMPARE(ui.busy_at_dialog, 0);
        QVERIFY(ui.busy_while_waiting);
        QCOMPARE(ui.busy, 0);
    }

    void moisture_and_daily_readers()
    {
        Rig rig;
        std::memset(Tab_Field(41, 0), 0, 4);
        {
            Test_Ui ui;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Wmt_Hour, 0), to = rig.arh.Date_Of(Sim_Arh::Wmt_Hour, 19);
            ui.period = {Arh_D4(from), Arh_D4(to)};
            const auto res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
            QVERIFY(res);
            const QList<QByteArray> f = rig.Frames(15);
            QCOMPARE(f.size(), 3);   // 8 records of 28 bytes a reply
            QCOMPARE(int(uint8_t(f[0].at(6))), 1);
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Wmt_Hour, from, to)));
            QCOMPARE(int(res->header.device), 1);
            QCOMPARE(int(res->header.line_name[0]), 0);
            QCOMPARE(res->viewer_kind, uint8_t(6));
        }
        rig.core.Clear_Log();
        {
            Test_Ui ui;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Day, 3), to = rig.arh.Date_Of(Sim_Arh::Chr_Day, 12);
            ui.period = {Arh_D3(from), Arh_D3(to)};
            const auto res = Read_Archive(Arh_Reader::Chr_Day, ui);
            QVERIFY(res);
            QCOMPARE(ui.kind_seen, 1);
            const QList<QByteArray> f = rig.Frames(16);
            QCOMPARE(f.size(), 5);
            const auto *q = reinterpret_cast<const uint8_t *>(f[1].constData());
            QCOMPARE(int(q[2]), 15);
            QVERIFY(Same_Bytes(q + 7, Arh_D3(from.addDays(2)), 3));
            QVERIFY(Same_Bytes(q + 10, Arh_D3(to), 3));
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Day, from, to)));
            QCOMPARE(QByteArray(res->header.magic, 3), QByteArray("DAY"));
            QVERIFY(Same_Bytes(res->header.period_start.bytes(), Arh_D3(from), 6));
            QCOMPARE(ui.maximum, 9);
            // The serial number of the chromatograph is read when the image has none.
            const QList<Tab_Req> t = rig.Table_Reads();
            QVERIFY(t.last().tab == 41 && t.last().first == 0 && t.last().count == 1);
            QVERIFY(Tab_Field(41, 0)[0] != 0);
        }
        rig.core.Clear_Log();
        {
            Test_Ui ui;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Wmt_Day, 0), to = rig.arh.Date_Of(Sim_Arh::Wmt_Day, 30);
            ui.period = {Arh_D3(from), Arh_D3(to)};
            const auto res = Read_Archive(Arh_Reader::Wmt_Day, ui);
            QVERIFY(res);
            QCOMPARE(res->header.rec_count, 31u);
            QCOMPARE(res->viewer_kind, uint8_t(7));
            QCOMPARE(int(uint8_t(rig.Frames(16)[0].at(6))), 1);
            for (const Tab_Req &t : rig.Table_Reads()) QVERIFY(t.tab != 41);
        }
    }

    void a_gap_is_not_stored_twice()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 10), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 19);
        // Hours 12 and 16 missing: the replies are {10, 11}, {13, 14}, {15, 17}, {18, 19}.
        QCOMPARE(rig.arh.Remove_Between(Sim_Arh::Chr_Hour, from.addSecs(2 * 3600), from.addSecs(2 * 3600)), 1);
        QCOMPARE(rig.arh.Remove_Between(Sim_Arh::Chr_Hour, from.addSecs(6 * 3600), from.addSecs(6 * 3600)), 1);
        Test_Ui ui;
        ui.period = {Arh_D4(from), Arh_D4(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
        QVERIFY(res);
        QVERIFY(rig.ques.asked.isEmpty());   // a gap forward passes the check
        QCOMPARE(res->header.rec_count, 8u);
        QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to)));
        const QList<QByteArray> f = rig.Frames(15);
        QCOMPARE(f.size(), 4);
        const int after[4] = {0, 2, 5, 8};   // each request starts after the last record stored
        for (int i = 0; i < 4; ++i)
            QVERIFY(Same_Bytes(reinterpret_cast<const uint8_t *>(f[i].constData()) + 7, Arh_D4(from.addSecs(3600LL * after[i])), 4));
    }

    void out_of_order_records_raise_the_question()
    {
        {   // Да: reading goes on unchecked, every record stored as it came
            Rig rig;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 10), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 17);
            rig.arh.Swap(Sim_Arh::Chr_Hour, 12, 13);   // the replies: {10, 11}, {13, 12} ...
            rig.ques.answers = {1};
            Test_Ui ui;
            ui.period = {Arh_D4(from), Arh_D4(to)};
            const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
            QVERIFY(res);
            QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Передаваемые контроллером данные не соответствуют|"
                                                                  "запрошенному периоду.    Продолжить чтение?")});
            QCOMPARE(rig.ques.asked[0].kind, 3u);
            const QList<QByteArray> want = rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to);
            QCOMPARE(res->records, Arh_Join(want));   // in the controller's order: 10, 11, 13, 12, 14 ...
        }
        {   // Нет: the read stops there and what was stored is shown
            Rig rig;
            const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 10), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 17);
            rig.arh.Swap(Sim_Arh::Chr_Hour, 12, 13);
            rig.ques.answers = {0};
            Test_Ui ui;
            ui.period = {Arh_D4(from), Arh_D4(to)};
            const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
            QVERIFY(res);
            QVERIFY(res->aborted);
            QVERIFY(Exch_Abort);   // left set, as after Esc; the next reader clears it
            const QList<QByteArray> want = rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to);
            QCOMPARE(res->records, Arh_Join(want.mid(0, 4)));   // 10, 11, 13 and hour 12 as the last
            QCOMPARE(rig.Frames(15).size(), 2);
        }
    }

    void continuity_check_edges()
    {
        Rig rig;
        QList<QList<Date6>> replies;
        rig.core.Set_Handler(15, Scripted_Hd(&replies));
        rig.core.Set_Handler(16, Scripted_Hd(&replies));
        const QDateTime h0 = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 10);
        auto H = [&](int k) { return Arh_D4(h0.addSecs(3600LL * k)); };
        Test_Ui ui;
        ui.period = {H(0), H(5)};

        // 10:00, 11:00, 13:00 with 10:00 expected: no question.
        replies = {{H(0), H(1), H(3)}, {H(4), H(5)}};
        auto res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 5u);
        QVERIFY(rig.ques.asked.isEmpty());

        // 09:00 when 10:00 is expected: the question; Нет keeps nothing later, ends the read.
        replies = {{Arh_D4(h0.addSecs(-3600)), H(0)}};
        rig.ques.answers = {0};
        res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
        QVERIFY(res);
        QCOMPARE(rig.ques.asked.size(), 1);
        QCOMPARE(res->header.rec_count, 1u);   // the out-of-place record is kept as the last one
        rig.ques.asked.clear();

        // A record after the end: the question, Нет stores it as the last record.
        replies = {{H(0), H(7), H(8)}};
        rig.ques.answers = {0};
        res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
        QVERIFY(res);
        QCOMPARE(rig.ques.asked.size(), 1);
        QCOMPARE(res->header.rec_count, 2u);
        QCOMPARE(res->records.mid(28, 4), QByteArray(reinterpret_cast<const char *>(H(7).bytes()), 4));
        rig.ques.asked.clear();

        // One record in a reply ends the read; none in the first reply ends it silently.
        replies = {{H(0)}, {H(1), H(2)}};
        res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 1u);
        replies = {{}};
        rig.core.Clear_Log();
        QVERIFY(!Read_Archive(Arh_Reader::Wmt_Hour, ui));
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(rig.Frames(15).size(), 1);

        // A controller that repeats what was stored: asked once (Да), the repeats stored as
        // they came, and a reply that brings the read no further ends it.
        replies = {{H(0), H(1)}, {H(0), H(1)}, {H(2), H(3)}};
        rig.ques.answers = {1};
        rig.core.Clear_Log();
        res = Read_Archive(Arh_Reader::Wmt_Hour, ui);
        QVERIFY(res);
        QCOMPARE(rig.ques.asked.size(), 1);
        QCOMPARE(res->header.rec_count, 4u);
        QCOMPARE(rig.Frames(15).size(), 2);
        rig.ques.asked.clear();

        // Daily: one day of tolerance before the expected day; two days raise the question.
        const QDateTime d0 = rig.arh.Date_Of(Sim_Arh::Chr_Day, 10);
        auto D = [&](int k) { return Arh_D3(d0.addDays(k)); };
        ui.period = {D(0), D(3)};
        replies = {{D(-1), D(0)}, {D(1), D(2)}, {D(3)}};
        rig.core.Clear_Log();
        res = Read_Archive(Arh_Reader::Wmt_Day, ui);
        QVERIFY(res);
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(res->header.rec_count, 5u);
        QCOMPARE(rig.Frames(16).size(), 3);
        // The day stored last, sent again within the tolerance: unasked, not stored twice.
        replies = {{D(0), D(1)}, {D(1), D(2)}, {D(3)}};
        res = Read_Archive(Arh_Reader::Wmt_Day, ui);
        QVERIFY(res);
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(res->header.rec_count, 4u);
        replies = {{D(-2), D(0)}, {D(1)}};
        rig.ques.answers = {1};
        res = Read_Archive(Arh_Reader::Wmt_Day, ui);
        QVERIFY(res);
        QCOMPARE(rig.ques.asked.size(), 1);
        QCOMPARE(res->header.rec_count, 3u);
    }

    void date_range_failures_ask_to_retry()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 9);
        const QString retry = QStringLiteral("Не выполнено чтение|очередного блока данных");
        const QString line1 = QStringLiteral("Часовые данные хроматографа из архива");
        Test_Ui ui;
        ui.period = {Arh_D4(from), Arh_D4(to)};
        {   // a count that does not fit, retried with Да: the same request again, all read
            rig.arh.Set_Count_Mismatch(15, 1);
            rig.ques.answers = {1};
            const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
            QVERIFY(res);
            QCOMPARE(rig.ques.Lines(), QStringList{retry});
            QCOMPARE(rig.ques.asked[0].kind, 7u);
            QVERIFY(ui.status.contains(Arh_Count_Error_Text(15)));
            QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to)));
            const QList<QByteArray> f = rig.Frames(15);
            QCOMPARE(f.size(), 6);
            QCOMPARE(f[1], f[2]);
        }
        rig.ques.asked.clear();
        {   // Нет after something was stored: partly read, shown
            rig.arh.Set_Count_Mismatch(15, 2);
            rig.ques.answers = {0};
            const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
            QVERIFY(res);
            QVERIFY(res->partial);
            QCOMPARE(res->header.rec_count, 4u);
            QCOMPARE(rig.ques.Lines(), (QStringList{retry, line1 + QStringLiteral("|прочитаны не полностью")}));
        }
        rig.ques.asked.clear();
        {   // Нет before anything was stored: not read, nothing shown
            rig.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(15));
            rig.ques.answers = {0};
            QVERIFY(!Read_Archive(Arh_Reader::Chr_Hour, ui));
            QCOMPARE(rig.ques.Lines(), (QStringList{retry, line1 + QStringLiteral("|не прочитаны")}));
            QVERIFY(ui.busy_while_waiting);
            QCOMPARE(ui.busy, 0);
        }
    }

    void esc_stops_a_date_range_read_after_the_current_reply()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 19);
        Test_Ui ui;
        ui.period = {Arh_D4(from), Arh_D4(to)};
        ui.on_progress = [](int, int pos) {
            if (pos == 5) Exch_Abort = true;   // Esc at the fifth record, first of the third reply
        };
        const auto res = Read_Archive(Arh_Reader::Chr_Hour, ui);
        QVERIFY(res);
        QVERIFY(res->aborted);
        QCOMPARE(rig.Frames(15).size(), 3);
        QCOMPARE(res->header.rec_count, 6u);
        QCOMPARE(res->records, Arh_Join(rig.arh.Records_Between(Sim_Arh::Chr_Hour, from, to)).left(6 * 94));
        QVERIFY(!Exch_Run);
    }

    void records_with_bad_crc_or_values_are_kept_as_received()
    {
        Rig rig;
        rig.arh.Spoil_Crc(Sim_Arh::Chr_Meas, 3);
        rig.arh.Set_Value(Sim_Arh::Chr_Meas, 4, 0, std::numeric_limits<float>::quiet_NaN());
        rig.arh.Set_Value(Sim_Arh::Chr_Meas, 5, 1, std::numeric_limits<float>::infinity());
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0), to = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9);
        Test_Ui ui;
        ui.period = {Arh_D6(from), Arh_D6(to)};
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 10u);
        const auto *r = reinterpret_cast<const uint8_t *>(res->records.constData());
        QVERIFY(Crc16(r + 3 * 94, 94) != 0);
        QCOMPARE(Crc16(r + 4 * 94, 94), uint16_t(0));
        QVERIFY(Is_Nan(r + 4 * 94 + 12));
        QVERIFY(Is_Nan(r + 5 * 94 + 16));
    }

    void damaged_records_steer_neither_progress_nor_requests()
    {
        Rig rig;
        const QDateTime from = rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0);
        const Date6 start = Arh_D6(from);
        auto meas = [&](int hours, bool spoil, uint8_t month = 0) {
            QByteArray r = rig.arh.Record(Sim_Arh::Chr_Meas, 0);
            Date6 d = Arh_D6(from.addSecs(3600LL * hours));
            if (month) d.month = month;
            std::memcpy(r.data(), d.bytes(), 6);
            Put_Crc16(reinterpret_cast<uint8_t *>(r.data()), 92);
            if (spoil) r[93] = char(r[93] ^ 0x5A);
            return r;
        };
        // Block 0: a sound record 1 hour in, then one with a bad CRC dated 90 hours on;
        // block 1: a sealed record with month 13 only.
        QList<QByteArray> blocks = {meas(1, false) + meas(90, true), meas(2, false, 13)};
        rig.core.Set_Handler(8, [&blocks](const QByteArray &, QByteArray &) {
            Sim_Answer a;
            const QByteArray recs = blocks.isEmpty() ? QByteArray() : blocks.takeFirst();
            a.payload.append(char(0)).append(char(0)).append(char(recs.size() / 94));
            a.payload.append(char(blocks.isEmpty() ? 0 : 1));
            a.payload += recs;
            return a;
        });
        Test_Ui ui;
        ui.period = {start, Arh_D6(from.addSecs(100 * 3600))};
        const auto res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 3u);   // all kept as received
        QCOMPARE(ui.positions, (QList<int>{1, 1}));

        // Date-range reader: a record with a bad CRC and a date far past the end neither
        // raises the question nor moves the next request past the records still due.
        QList<QList<Date6>> replies;
        const QDateTime h0 = rig.arh.Date_Of(Sim_Arh::Chr_Hour, 10);
        auto H = [&](int k) { return Arh_D4(h0.addSecs(3600LL * k)); };
        rig.core.Set_Handler(15, [&replies, &H](const QByteArray &, QByteArray &) {
            Sim_Answer a;
            const QList<Date6> dates = replies.isEmpty() ? QList<Date6>{} : replies.takeFirst();
            a.payload.append(char(dates.size()));
            for (const Date6 &d : dates) {
                QByteArray r = Hd_Rec(d);
                if (d.year == 99) r[27] = char(r[27] ^ 0x5A);   // the damaged one
                a.payload += r;
            }
            (void)H;
            return a;
        });
        Date6 bad = H(1);
        bad.year = 99;
        replies = {{H(0), bad}, {H(2), H(3)}};
        Test_Ui ui2;
        ui2.period = {H(0), H(3)};
        rig.core.Clear_Log();
        const auto res2 = Read_Archive(Arh_Reader::Wmt_Hour, ui2);
        QVERIFY(res2);
        QVERIFY(rig.ques.asked.isEmpty());
        QCOMPARE(res2->header.rec_count, 4u);
        const QList<QByteArray> f = rig.Frames(15);
        QCOMPARE(f.size(), 2);
        QVERIFY(Same_Bytes(reinterpret_cast<const uint8_t *>(f[1].constData()) + 7, H(2), 4));
    }

    void working_file_that_cannot_be_written()
    {
        // A full disk: what was written before the failure is shown, with the failure said.
        if (!QFileInfo::exists(QStringLiteral("/dev/full"))) QSKIP("no /dev/full here");
        Rig rig;
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), dir.path() + QStringLiteral("/datafile.msd")));
        Set_Work_Dir(dir.path());
        Test_Ui ui;
        ui.period = {Arh_D6(rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0)), Arh_D6(rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9))};
        Read_Archive(Arh_Reader::Chr_Meas, ui);
        QVERIFY(rig.ques.Lines().contains(QStringLiteral("Ошибка записи файла|datafile.msd")));
        QCOMPARE(ui.ends, 1);
        QVERIFY(!Exch_Run);
    }

    void working_file_that_cannot_be_made()
    {
        Rig rig;
        Set_Work_Dir(Tmp.path() + QStringLiteral("/no/such/dir"));
        Test_Ui ui;
        ui.period = {Arh_D6(rig.arh.Date_Of(Sim_Arh::Chr_Meas, 0)), Arh_D6(rig.arh.Date_Of(Sim_Arh::Chr_Meas, 9))};
        QVERIFY(!Read_Archive(Arh_Reader::Chr_Meas, ui));
        QCOMPARE(rig.ques.Lines(), QStringList{QStringLiteral("Ошибка открытия файла|")});
        QVERIFY(rig.Frames(8).isEmpty());
        QCOMPARE(ui.begins, 0);
    }

};

QTEST_GUILESS_MAIN(Tst_Readers)
#include "tst_readers.moc"
