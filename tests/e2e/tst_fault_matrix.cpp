// Every fault of the simulated controller against a table read, a table write and an archive
// read, over TCP, a direct line (pseudo-terminal) and a modem call: the user's text, the table
// image kept, one question at most, and the link still usable by the next exchange.
#include "Sim.h"
#include "SimArchive.h"
#include "SimModem.h"
#include "Sim_Transport.h"

#include "archives/Arh_Readers.h"
#include "core/Comportfunctions.h"
#include "core/Connectmodem.h"
#include "core/Conffun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/Tcp_fun.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
constexpr uint8_t ADR = 7;
enum Link { Tcp, Pty, Modem };
enum Op { Read, Write, Archive };
constexpr int ECHO = -1, COUNT = -2;   // faults beyond the core's own kinds

struct Counting_Ques final : Ques_Handler {
    QStringList asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q.line1 + QLatin1Char('|') + q.line2;
        return 0;
    }
};

struct Ui final : Arh_Read_Ui {
    Date6 from{}, to{};
    QStringList status;
    bool Ask_Period(Date6 &s, Date6 &e) override
    {
        s = from;
        e = to;
        return true;
    }
    bool Ask_Short_Period(const Arh_Range &, uint8_t, Date6 &, Date6 &) override { return false; }
    void Status(const QString &t) override { status << t; }
};

Date6 D6(const QDateTime &t)
{
    return Date6{uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                 uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
}

// One simulated controller with archives behind one kind of link, kept for the rows of that link.
struct Rig {
    Sim_Core core{ADR};
    Sim_Archive arh{core};
    Sim_Modem modem{&core};
    std::unique_ptr<Sim_Tcp> tcp;
    std::unique_ptr<Sim_Pty> pty;
    hgcbox box{ADR};
    Link link;

    explicit Rig(Link l) : link(l)
    {
        core.Set_Password("secret");
        Sim_Archive_Span span;
        span.meas_hours = 1;
        span.hour_days = span.day_days = span.clb_days = 1;
        arh.Generate(span);
        arh.Install();
        std::memcpy(box.Write_Pass, Sim_Core::Pad("secret", 12).constData(), 12);
        box.Pause_Tcp_Ms = box.Pause_Rts_Us = box.Pause_Close_Ms = box.Pause_Dtr_Ms = 0;
        box.Repeat = 1;
        box.Do_Close_Port = 0;
        box.Pump = [] { QCoreApplication::processEvents(); };
        if (l == Tcp) {
            tcp = std::make_unique<Sim_Tcp>(core);
            tcp->Start(0);
            box.Conn_Prz = 2;
            box.Sock = std::make_unique<Tcp_Port>(Sock_Addr{0x7F000001u, tcp->Port()}, 5000, System_Clock());
            box.Sock->Open();
        } else {
            pty = l == Modem ? std::make_unique<Sim_Pty>(modem) : std::make_unique<Sim_Pty>(core);
            pty->Start();
            box.Conn_Prz = l == Modem ? 1 : 0;
            box.Port_Name = pty->Slave_Path();
            box.Make_Serial_Port = Make_Serial_Port;
            box.Rate = 19200;
            if (box.Open_Port() && l == Modem) {
                Modem_Io io = Make_Modem_Io(box);
                if (Modem_Dial(io, QStringLiteral("1"), QString(), 1, 10) != MODEM_OK) box.Close_Link();
            }
        }
        box.WaitTime = 400;
        box.TimeOut = 150;
    }
    ~Rig()
    {
        box.Close_Link();
        tcp.reset();
        pty.reset();
    }
    Port *Line() const { return link == Tcp ? box.Sock.get() : box.Port_Handle.get(); }
    bool Sim_Sending() const { return tcp ? tcp->Output_Pending() : pty->Output_Pending(); }
};

QByteArray Image_Of(int t)
{
    return QByteArray(reinterpret_cast<const char *>(Tab_Dir[t].data), Tab_Length(t));
}
} // namespace

class Tst_Fault_Matrix : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    Counting_Ques ques;
    std::unique_ptr<Rig> rig;

private slots:
    void initTestCase()
    {
        Init_Tables();
        Set_Work_Dir(dir.path());
        Set_Ques_Handler(&ques);
    }
    void cleanupTestCase()
    {
        Exch_Box = nullptr;
        rig.reset();
    }

    void fault_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");   // in the status panel; empty: the exchange succeeds
        using K = Sim_Fault_Kind;
        const QString none, no_answer = QStringLiteral("Устройство не отвечает"),
                            gap = QStringLiteral("Ответ получен не полностью");
        for (const Link l : {Tcp, Pty, Modem}) {
            const char *ln = l == Tcp ? "tcp" : l == Pty ? "pty" : "modem";
            for (const Op o : {Read, Write, Archive}) {
                const char *on = o == Read ? "read" : o == Write ? "write" : "archive";
                const auto row = [&](const char *f, int k, int v, const QString &t) {
                    QTest::addRow("%s %s %s", ln, on, f) << int(l) << int(o) << k << v << t;
                };
                row("silence", int(K::No_Reply), 0, no_answer);
                row("late first byte", int(K::First_Byte_Late), 150, none);
                row("gap inside", int(K::Byte_Gap), 300, gap);
                row("bad crc", int(K::Bad_Crc), 0, QStringLiteral("Несовпадение КС ответа контроллера"));
                row("wrong address", int(K::Wrong_Address), -1, no_answer);
                row("noise before", int(K::Noise_Before), 0, none);
                row("short length", int(K::Short_Length), 5, no_answer);
                row("truncated", int(K::Truncated), 0, gap);
                row("late reply", int(K::Late_Reply), 700, no_answer);
                row("controller error", int(K::Contr_Error), 13, QStringLiteral("Нет такого поля в таблице"));
                // A serial line cannot be closed by the far end: what is seen is a cut reply.
                row("peer closes", int(K::Close_Mid_Reply), 0, l == Tcp ? QStringLiteral("recv") : gap);
                row("echo", ECHO, 0, none);
                if (o == Archive)
                    row("count beyond length", COUNT, 0, QStringLiteral("Число записей не соответствует длине ответа"));
            }
        }
    }
    void fault()
    {
        QFETCH(int, link);
        QFETCH(int, op);
        QFETCH(int, fault);
        QFETCH(int, value);
        QFETCH(QString, text);
        if (!rig || rig->link != link) {
            Exch_Box = nullptr;
            rig.reset();
            rig = std::make_unique<Rig>(Link(link));
            QVERIFY(rig->Line() && rig->Line()->Is_Open());
        }
        Rig &r = *rig;
        Exch_Box = &r.box;
        ques.asked.clear();
        const int func = op == Read ? 1 : op == Write ? 2 : 8;
        if (fault == ECHO) r.core.Set_Echo(true);
        else if (fault == COUNT) r.arh.Set_Count_Mismatch(8);
        else r.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind(fault), value).For_Func(func));
        // A slow reply is cut after its third byte, so that it does not trickle on for seconds.
        if (fault == int(Sim_Fault_Kind::Byte_Gap)) r.core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Truncated, 3).For_Func(func));

        QStringList status;
        const Tab_Status st = [&status](const QString &s) { status << s; };
        std::memset(Tab_Dir[5].data, 0xEE, size_t(Tab_Length(5)));
        const QByteArray before = Image_Of(5);
        Tab_Field(28, 0)[0] = uint8_t(r.core.Field(28, 0)[0] + 1);
        bool ok = false;
        if (op == Read) {
            ok = Read_Table({5, 0, 3}, st);
        } else if (op == Write) {
            ok = Write_Table({28, 0, 1}, st);
        } else {
            Ui ui;
            const int n = r.arh.Count(Sim_Arh::Chr_Meas);
            ui.from = D6(r.arh.Date_Of(Sim_Arh::Chr_Meas, n - 4));
            ui.to = D6(r.arh.Date_Of(Sim_Arh::Chr_Meas, n - 1));
            const std::optional<Arh_Read_Result> res = Read_Archive(Arh_Reader::Chr_Meas, ui);
            ok = res && res->header.rec_count == 4 && !res->partial;
            status = ui.status;
        }
        r.core.Set_Echo(false);
        QVERIFY2(ok == text.isEmpty(), qPrintable(status.join(" / ")));
        if (op == Read) QCOMPARE(Image_Of(5), ok ? r.core.Table(5) : before);
        if (op == Write && ok) QCOMPARE(r.core.Field(28, 0).at(0), char(Tab_Field(28, 0)[0]));
        QVERIFY2(ques.asked.size() == (ok ? 0 : 1), qPrintable(ques.asked.join(" / ")));
        if (!ok) QVERIFY2(status.join(" / ").contains(text), qPrintable(status.join(" / ")));
        QCOMPARE(r.core.Pending_Faults(), 0);

        // Whatever the controller still sends (a reply after the time-out) must not pass for
        // the next exchange's reply.
        QTRY_VERIFY_WITH_TIMEOUT(!r.Sim_Sending(), 5000);
        if (fault == int(Sim_Fault_Kind::Late_Reply)) QVERIFY(r.Line()->Wait_Readable(5000));
        // A dropped connection is made again, as the user would.
        if (!r.Line()->Is_Open()) QVERIFY(r.Line()->Open());
        std::memset(Tab_Dir[6].data, 0xEE, size_t(Tab_Length(6)));
        QVERIFY2(Read_Table({6, 0, 12}, st), qPrintable(status.join(" / ")));
        QCOMPARE(Image_Of(6), r.core.Table(6));
    }
};

QTEST_MAIN(Tst_Fault_Matrix)
#include "tst_fault_matrix.moc"
