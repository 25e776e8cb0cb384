// The message readers against the simulated controller (core in-process behind a scripted
// port): requests by index in runs and by period in block series, what each failure shows,
// Esc between requests, the working file and the header handed to the list.
#include "messages/Msg_Read.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"

#include "FakePort.h"
#include "testsupport.h"
#include "Msg_Support.h"
#include "Sim_Requests.h"
#include "Sim.h"
#include "SimArchive.h"
#include "SimMessages.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <optional>

namespace {

uint32_t U32(const QByteArray &b, int at)
{
    uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

QByteArray U32_Bytes(uint32_t v)
{
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &v, 4);
    return b;
}

struct Test_Ui final : Arh_Read_Ui {
    std::optional<std::pair<Date6, Date6>> period;
    int dialogs = 0, begins = 0, ends = 0, timers = 0, busy = 0, maximum = 0;
    QList<int> positions;
    QStringList status;
    bool run_in_progress = true, busy_reading = true;
    std::function<void(int)> on_progress;

    bool Ask_Period(Date6 &s, Date6 &e) override
    {
        ++dialogs;
        if (!period) return false;
        s = period->first;
        e = period->second;
        return true;
    }
    bool Ask_Short_Period(const Arh_Range &, uint8_t, Date6 &, Date6 &) override { return false; }
    void Busy(bool on) override { busy += on ? 1 : -1; }
    void Wait_Begin(int m) override
    {
        ++begins;
        maximum = m;
    }
    void Wait_Progress(int, int pos, int m) override
    {
        QCOMPARE(m, maximum);
        run_in_progress = run_in_progress && Exch_Run;
        busy_reading = busy_reading && busy > 0;
        positions << pos;
        if (on_progress) on_progress(int(positions.size()));
    }
    void Wait_End() override { ++ends; }
    void Status(const QString &t) override { status << t; }
    void Start_Message_Timer() override { ++timers; }
};

struct Rig {
    FakeClock clk;
    FakePort port{&clk};
    hgcbox box{1};
    Sim_Core core{1};
    Sim_Archive arh{core};
    Sim_Messages msg{core, arh};
    Ques_Log ques;
    Ques_Handler *old_ques = nullptr;
    Test_Ui ui;
    QDateTime newest = QDateTime(QDate(2026, 3, 5), QTime(12, 0, 0), Qt::UTC);

    Rig()
    {
        box.Clk = &clk;
        box.Do_Close_Port = 0;
        box.Port_Handle = port.Borrow();
        box.Repeat = 1;
        box.Pause_Rts_Us = box.Pause_Tcp_Ms = box.Pause_Close_Ms = 0;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : core.Receive(w, clk.Now_Us() / 1000)) p.Queue_At(c.at_ms * 1000, c.bytes);
        };
        arh.Install();
        msg.Generate(newest, 200, 100, 1000, 600);
        msg.Install();
        Exch_Box = &box;
        Exch_Run = Exch_Abort = false;
        const QByteArray img = core.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        old_ques = Set_Ques_Handler(&ques);
    }
    ~Rig()
    {
        Set_Ques_Handler(old_ques);
        Exch_Box = nullptr;
    }
    QList<QByteArray> Frames(int func) const
    {
        QList<QByteArray> out;
        for (const Sim_Request_Log &l : core.Log())
            if (l.func == func) out << l.raw;
        return out;
    }
    QList<Req> Table_Reads() const
    {
        QList<Req> out;
        for (const Sim_Request_Log &l : core.Log())
            if (l.func == 1) out << Req{1, l.table, l.first, l.count};
        return out;
    }
    // Records i..i+n-1 of a log, joined.
    QByteArray Recs(int kind, int i, int n) const
    {
        QByteArray b;
        for (int k = i; k < i + n; ++k) b += msg.Record(kind, k);
        return b;
    }
    // First index and count of each function-7 request.
    QList<QPair<uint32_t, int>> Ind_Requests() const
    {
        QList<QPair<uint32_t, int>> out;
        for (const QByteArray &f : Frames(7)) out << qMakePair(U32(f, 6), int(uint8_t(f.at(10))));
        return out;
    }
};

QByteArray Work_File(const char *name)
{
    QFile f(Work_Dir() + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class Tst_Msg_Read : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        Init_Tables();
    }

    void by_index_in_runs_of_the_request_limit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("diagnostic") << 0 << QList<int>{11, 11, 3};
        QTest::newRow("operator") << 1 << QList<int>{10, 10, 5};
    }
    void by_index_in_runs_of_the_request_limit()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, counts);
        Rig r;
        const uint32_t first = 1000 + 40;
        const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind(kind), first, 25, r.ui);
        QVERIFY(res);
        const QList<QByteArray> frames = r.Frames(7);
        QCOMPARE(frames.size(), 3);
        uint32_t next = first;
        for (int i = 0; i < 3; ++i) {
            // {0, kind, first index (u32, low byte first), count}
            const QByteArray data = frames[i].mid(4, 7);
            QCOMPARE(data, QByteArray(1, '\0') + char(kind) + U32_Bytes(next) + char(counts[i]));
            next += uint32_t(counts[i]);
        }
        QCOMPARE(res->mode, MSG_MODE_INDEX);
        QCOMPARE(res->first_index, first);
        QCOMPARE(res->header.rec_count, 25u);
        QCOMPARE(res->records, r.Recs(kind, 40, 25));
        // The working file holds the raw records, nothing else.
        QCOMPARE(Work_File(kind ? "datafile.aud" : "datafile.ala"), res->records);
        QCOMPARE(QByteArray(res->header.magic, 3), QByteArray(kind ? "AUD" : "ALA"));
        QCOMPARE(int(res->header.contr_adr), 1);
        QCOMPARE(int(res->header.contr_type), 16);
        // By index the period is that of the first and last record read.
        QVERIFY(std::memcmp(res->header.period_start.bytes(), r.msg.Record(kind, 40).constData(), 6) == 0);
        QVERIFY(std::memcmp(res->header.period_end.bytes(), r.msg.Record(kind, 64).constData(), 6) == 0);
        // The bar counts the records received, up to the count asked for.
        QCOMPARE(r.ui.maximum, 25);
        QCOMPARE(r.ui.positions, (QList<int>{counts[0], counts[0] + counts[1], 25}));
        QVERIFY(r.ui.run_in_progress);
        QVERIFY(r.ui.busy_reading);
        QCOMPARE(r.ui.busy, 0);
        QCOMPARE(r.ui.begins, 1);
        QCOMPARE(r.ui.ends, 1);
        QVERIFY(!Exch_Run);
        QVERIFY(r.ques.asked.isEmpty());
    }

    void short_replies_advance_by_what_came()
    {
        Rig r;
        r.msg.Set_Reply_Limit(4);
        Exch_Abort = true;   // left over from an earlier read: no stop
        const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind::Ala, 1000, 10, r.ui);
        QVERIFY(res);
        QCOMPARE(r.Ind_Requests(), (QList<QPair<uint32_t, int>>{{1000, 10}, {1004, 6}, {1008, 2}}));
        QCOMPARE(res->records, r.Recs(0, 0, 10));
    }

    void a_reply_with_more_than_asked_gives_what_was_asked()
    {
        Rig r;
        // The controller ignores the count and sends a full reply.
        r.core.Set_Handler(7, [&r](const QByteArray &f, QByteArray &) {
            Sim_Answer a;
            a.payload = f.mid(4, 6) + char(11) + r.Recs(0, 0, 11);
            return a;
        });
        const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind::Ala, 1000, 3, r.ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 3u);
        QCOMPARE(res->records, r.Recs(0, 0, 3));
        QCOMPARE(r.ui.positions.last(), 3);
    }

    void by_period_in_block_series_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("blocks");
        QTest::newRow("diagnostic") << 0 << 3;   // 11, 11, 8
        QTest::newRow("operator") << 1 << 3;     // 10, 10, 10
    }
    void by_period_in_block_series()
    {
        QFETCH(int, kind);
        QFETCH(int, blocks);
        Rig r;
        const Date6 s = D6(r.msg.Date_Of(kind, 10)), e = D6(r.msg.Date_Of(kind, 39));
        const std::optional<Msg_Read_Result> res = Read_Msg_Per(Msg_Kind(kind), s, e, r.ui);
        QVERIFY(res);
        const QList<QByteArray> frames = r.Frames(8);
        QCOMPARE(frames.size(), blocks);
        for (int i = 0; i < blocks; ++i) {
            // {0, kind, block number, start, end}
            QByteArray want = QByteArray(1, '\0') + char(kind) + char(i);
            want += QByteArray(reinterpret_cast<const char *>(s.bytes()), 6);
            want += QByteArray(reinterpret_cast<const char *>(e.bytes()), 6);
            QCOMPARE(frames[i].mid(4), want + frames[i].right(2));
        }
        QCOMPARE(res->mode, MSG_MODE_PERIOD);
        QCOMPARE(res->records, r.Recs(kind, 10, 30));
        QCOMPARE(Work_File(kind ? "datafile.aud" : "datafile.ala"), res->records);
        QVERIFY(std::memcmp(res->header.period_start.bytes(), s.bytes(), 6) == 0);
        QVERIFY(std::memcmp(res->header.period_end.bytes(), e.bytes(), 6) == 0);
        // The bar: hours from the start to the last record of each block.
        QCOMPARE(r.ui.maximum, Period_Units(s.bytes(), e.bytes(), UNIT_HOUR));
        QCOMPARE(r.ui.positions.last(), Hours_Between(s.bytes(), e.bytes()));
        QVERIFY(r.ques.asked.isEmpty());
    }

    void block_numbers_wrap_to_one()
    {
        Rig r;
        QList<QByteArray> recs;
        const QDateTime t0(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < 260; ++i) recs << Sim_Messages::Make_Ala(t0.addSecs(60 * i), 2, 0, 0);
        r.msg.Set_Records(0, 1, recs);
        r.msg.Set_Reply_Limit(1);
        const std::optional<Msg_Read_Result> res =
            Read_Msg_Per(Msg_Kind::Ala, D6(t0), D6(t0.addSecs(60 * 259)), r.ui);
        QVERIFY(res);
        QList<int> blocks;
        for (const QByteArray &f : r.Frames(8)) blocks << uint8_t(f.at(6));
        QCOMPARE(blocks.size(), 260);
        for (int i = 0; i < 256; ++i) QCOMPARE(blocks[i], i);
        QCOMPARE(blocks.mid(256), (QList<int>{1, 2, 3, 4}));
        QCOMPARE(res->header.rec_count, 260u);
    }

    void esc_between_requests_keeps_what_was_read()
    {
        Rig r;
        r.msg.Set_Endless(true);
        r.ui.on_progress = [](int n) {
            if (n == 2) Exch_Abort = true;   // what the main window's filter does on Esc
        };
        const Date6 s = D6(r.msg.Date_Of(0, 0)), e = D6(r.msg.Date_Of(0, 199));
        const std::optional<Msg_Read_Result> res = Read_Msg_Per(Msg_Kind::Ala, s, e, r.ui);
        QVERIFY(res);
        QVERIFY(res->aborted);
        QCOMPARE(r.Frames(8).size(), 2);
        QCOMPARE(res->records, r.Recs(0, 0, 22));
        QVERIFY(!Exch_Abort);   // cleared when seen
        QVERIFY(!Exch_Run);
        QVERIFY(r.ques.asked.isEmpty());

        // By index the same.
        r.ui.positions.clear();
        const std::optional<Msg_Read_Result> ind = Read_Msg_Ind(Msg_Kind::Aud, 1000, 50, r.ui);
        QVERIFY(ind);
        QCOMPARE(ind->header.rec_count, 20u);
        QVERIFY(!Exch_Abort);
    }

    void exchange_failures()
    {
        {
            Rig r;
            r.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(7));
            QVERIFY(!Read_Msg_Ind(Msg_Kind::Ala, 1000, 30, r.ui));
            QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("Диагностические сообщения|не прочитаны")});
            QCOMPARE(r.ques.asked[0].kind, 6u);
            // The error stands in the panel while its message is up, and is cleared after.
            QVERIFY(r.ui.status.value(r.ui.status.size() - 2).startsWith(QStringLiteral("Команда 7.")));
            QCOMPARE(r.ui.status.last(), QString());
            QCOMPARE(r.ui.timers, 1);
            QCOMPARE(r.ui.ends, 1);
        }
        {
            Rig r;
            r.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(8).Skip(1));
            const Date6 s = D6(r.msg.Date_Of(1, 0)), e = D6(r.msg.Date_Of(1, 99));
            const std::optional<Msg_Read_Result> res = Read_Msg_Per(Msg_Kind::Aud, s, e, r.ui);
            QVERIFY(res);
            QVERIFY(res->partial);
            QCOMPARE(res->header.rec_count, 10u);
            QCOMPARE(r.ques.Lines(),
                     QStringList{QStringLiteral("Сообщения о вмешательствах оператора|прочитаны не полностью")});
        }
    }

    void a_count_that_does_not_fit_the_reply_is_refused()
    {
        Rig r;
        r.msg.Set_Count_Mismatch(7, 1);
        const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind::Ala, 1000, 30, r.ui);
        QVERIFY(res);
        QCOMPARE(res->header.rec_count, 11u);
        QVERIFY(r.ui.status.contains(QStringLiteral("Команда 7.  Число записей не соответствует длине ответа")));
        QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("Диагностические сообщения|прочитаны не полностью")});

        QCOMPARE(Msg_Ind_Reply_Count(nullptr, 22), std::nullopt);
        uint8_t resp[256] = {0x33, 1, 13, 7};
        resp[10] = 0;
        QCOMPARE(Msg_Ind_Reply_Count(resp, 22), std::optional<int>(0));
        resp[10] = 1;
        QCOMPARE(Msg_Ind_Reply_Count(resp, 22), std::nullopt);
        resp[2] = 13 + 22;
        QCOMPARE(Msg_Ind_Reply_Count(resp, 22), std::optional<int>(1));
        resp[2] = 12;
        QCOMPARE(Msg_Ind_Reply_Count(resp, 22), std::nullopt);
    }

    void nothing_there()
    {
        Rig r;
        QVERIFY(!Read_Msg_Ind(Msg_Kind::Ala, 5000, 10, r.ui));
        QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("Нет сообщений с заданными индексами|")});
        r.ques.asked.clear();
        const QDateTime after = r.newest.addDays(1);
        QVERIFY(!Read_Msg_Per(Msg_Kind::Ala, D6(after), D6(after.addDays(1)), r.ui));
        QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("Нет данных за указанный период|")});
        QCOMPARE(r.ui.ends, 2);
        QVERIFY(!Exch_Run);
    }

    void archive_error_mark_is_told_and_the_list_shown()
    {
        for (int kind : {0, 1}) {
            Rig r;
            r.msg.Set_Archive_Error(true);
            const Date6 s = D6(r.msg.Date_Of(kind, 0)), e = D6(r.msg.Date_Of(kind, 14));
            const std::optional<Msg_Read_Result> res = Read_Msg_Per(Msg_Kind(kind), s, e, r.ui);
            QVERIFY(res);
            QVERIFY(res->archive_error);
            QCOMPARE(res->header.rec_count, 15u);
            QCOMPARE(r.ques.Lines(), QStringList{kind ? QStringLiteral("Обнаружена ошибка|в архиве сообщений о вмешательствах")
                                                      : QStringLiteral("Обнаружена ошибка|в архиве диагностических сообщений")});
        }
    }

    void damaged_records_are_passed_on_unchanged()
    {
        Rig r;
        r.msg.Spoil_Crc(0, 0);
        r.msg.Spoil_Crc(0, 4);
        const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind::Ala, 1000, 5, r.ui);
        QVERIFY(res);
        QCOMPARE(res->records, r.Recs(0, 0, 5));
        QVERIFY(Crc16(reinterpret_cast<const uint8_t *>(res->records.constData()), 22) != 0);
        // The period of the header comes from records that can be relied on.
        QVERIFY(std::memcmp(res->header.period_start.bytes(), r.msg.Record(0, 1).constData(), 6) == 0);
        QVERIFY(std::memcmp(res->header.period_end.bytes(), r.msg.Record(0, 3).constData(), 6) == 0);
    }

    void working_file_that_cannot_be_made()
    {
        Rig r;
        Set_Work_Dir(dir.path() + QStringLiteral("/missing"));
        QVERIFY(!Read_Msg_Ind(Msg_Kind::Ala, 1000, 5, r.ui));
        Set_Work_Dir(dir.path());
        QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("Ошибка открытия файла|")});
        QVERIFY(r.Frames(7).isEmpty());
        QCOMPARE(r.ui.begins, 0);
    }

    void mac_is_read_when_missing()
    {
        for (bool known : {false, true}) {
            Rig r;
            r.core.Set_Field(40, 0, Bytes({known ? 0x02 : 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
            std::memcpy(Tab_Field(40, 0), known ? r.core.Field(40, 0).constData() : "\0\0\0\0\0\0", 6);
            const std::optional<Msg_Read_Result> res = Read_Msg_Ind(Msg_Kind::Ala, 1000, 2, r.ui);
            QVERIFY(res);
            QCOMPARE(r.Table_Reads(), (known ? QList<Req>{} : QList<Req>{{1, 40, 0, 1}}));
            if (known) QCOMPARE(QByteArray(reinterpret_cast<const char *>(res->header.chrom_mac), 6), r.core.Field(40, 0));
        }
    }

    void index_command_reads_the_bounds_first()
    {
        for (int kind : {0, 1}) {
            Rig r;
            r.msg.Set_Bounds(kind, 1000, 1099);
            QList<uint32_t> seen;
            const Msg_Index_Ask ask = [&](uint8_t k, uint32_t o, uint32_t n, uint32_t &first, uint32_t &count) {
                seen << k << o << n;
                first = 1010;
                count = 12;
                return true;
            };
            const std::optional<Msg_Read_Result> res = Msg_Ind_Command(Msg_Kind(kind), r.ui, ask);
            QVERIFY(res);
            QCOMPARE(seen, (QList<uint32_t>{uint32_t(kind), 1000, 1099}));
            QCOMPARE(r.Table_Reads().value(0), (Req{1, kind ? 11 : 10, 0, 2}));
            QCOMPARE(r.ui.busy, 0);
            QCOMPARE(res->first_index, 1010u);
            QCOMPARE(res->records, r.Recs(kind, 10, 12));
        }
    }

    void index_bounds_equal()
    {
        Rig r;
        int asked = 0;
        const Msg_Index_Ask ask = [&](uint8_t, uint32_t, uint32_t, uint32_t &, uint32_t &) {
            ++asked;
            return false;
        };
        // Two zeros go on to the dialog.
        r.msg.Set_Bounds(0, 0, 0);
        QVERIFY(!Msg_Ind_Command(Msg_Kind::Ala, r.ui, ask));
        QCOMPARE(asked, 1);
        QVERIFY(r.ques.asked.isEmpty());
        QVERIFY(r.Frames(7).isEmpty());
        // Equal and non-zero: nothing in the log.
        r.msg.Set_Bounds(0, 7, 7);
        QVERIFY(!Msg_Ind_Command(Msg_Kind::Ala, r.ui, ask));
        QCOMPARE(asked, 1);
        QCOMPARE(r.ques.Lines(), QStringList{QStringLiteral("В архиве нет ни одной записи|")});
    }

    void period_command_reads_the_clock_first()
    {
        Rig r;
        QVERIFY(!Msg_Per_Command(Msg_Kind::Ala, r.ui));   // the dialog is left
        QCOMPARE(r.ui.dialogs, 1);
        QCOMPARE(r.Table_Reads().size(), 1);
        QCOMPARE(int(r.Table_Reads()[0].tab), 2);
        QCOMPARE(int(r.Table_Reads()[0].count), 8);
        QVERIFY(r.Frames(8).isEmpty());

        r.ui.period = std::make_pair(D6(r.msg.Date_Of(0, 0)), D6(r.msg.Date_Of(0, 4)));
        const std::optional<Msg_Read_Result> res = Msg_Per_Command(Msg_Kind::Ala, r.ui);
        QVERIFY(res);
        QCOMPARE(res->records, r.Recs(0, 0, 5));
        QVERIFY(r.ui.busy_reading);   // from the dialog's acceptance on
        QCOMPARE(r.ui.busy, 0);
    }

    void a_failed_table_read_ends_the_command()
    {
        Rig r;
        r.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1));
        int asked = 0;
        const Msg_Index_Ask ask = [&](uint8_t, uint32_t, uint32_t, uint32_t &, uint32_t &) {
            ++asked;
            return true;
        };
        QVERIFY(!Msg_Ind_Command(Msg_Kind::Ala, r.ui, ask));
        QCOMPARE(asked, 0);
        QVERIFY(r.Frames(7).isEmpty());
        QCOMPARE(r.ui.busy, 0);
    }

    void cleanupTestCase() { Free_Tables(); }
};

QTEST_GUILESS_MAIN(Tst_Msg_Read)
#include "tst_msg_read.moc"
