// The modem dialogue against a scripted Hayes modem on a fake port and a fake clock.
#include "FakePort.h"
#include "core/Connectmodem.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"

#include <QtTest>

namespace {

// Answers each command the way a Hayes modem would; the test picks the answers.
struct Script_Modem {
    bool echo = true;
    bool alive = true;               // false: no answer to anything
    bool online = false;             // commands are data until "+++"
    QByteArray cpas = "\r\n+CPAS: 0\r\n\r\nOK\r\n";
    QByteArray dial = "\r\nCONNECT 9600\r\n";
    QMap<QByteArray, QByteArray> answer;   // command (without CR) -> reply
    QList<QByteArray> log;                 // commands in the order received
    QList<int> dtr_calls_at;               // FakePort::Dtr_Calls when each command came
    int64_t delay_us = 30000;

    void Attach(FakePort &p)
    {
        p.On_Write = [this](FakePort &port, const QByteArray &block) { On_Command(port, block); };
    }

    void On_Command(FakePort &port, const QByteArray &block)
    {
        QByteArray cmd = block;
        cmd.replace("\r", "");
        log << cmd;
        dtr_calls_at << port.Dtr_Calls;
        if (!alive) return;
        if (online) {
            if (cmd == "+++") {
                online = false;
                port.Queue("\r\nOK\r\n", 1000000);
            }
            return;
        }
        if (echo) port.Queue(block, 1000);
        QByteArray reply = "\r\nOK\r\n";
        const QByteArray up = cmd.toUpper();
        if (answer.contains(cmd)) {
            reply = answer.value(cmd);
        } else if (up == "ATE0") {
            echo = false;
        } else if (up == "AT&F" || up == "ATZ") {
            echo = true;
        } else if (up == "AT+CPAS") {
            reply = cpas;
        } else if (up.startsWith("ATD")) {
            reply = dial;
        } else if (cmd == "+++") {
            reply.clear();   // in command mode the escape is just text
        }
        if (!reply.isEmpty()) port.Queue(reply, delay_us);
    }
    int Count(const QByteArray &prefix) const
    {
        int n = 0;
        for (const QByteArray &c : log) n += c.toUpper().startsWith(prefix);
        return n;
    }
};

struct Rig {
    FakeClock clk;
    FakePort port{&clk};
    Script_Modem modem;
    bool abort = false;
    QStringList status;
    int pumps = 0;
    std::function<void()> on_pump;
    Modem_Io io;

    Rig()
    {
        modem.Attach(port);
        io.Com = &port;
        io.Clk = &clk;
        io.Abort = &abort;
        io.Pump = [this] {
            ++pumps;
            if (on_pump) on_pump();
        };
        io.Status = [this](const QString &s) { status << s; };
    }
};

} // namespace

class TestConnectModem : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        Exch_Run = false;
        Exch_Abort = false;
    }

    void reply_classes_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("echo");
        QTest::addColumn<int>("code");
        const QList<QPair<QByteArray, int>> cases = {
            {"\r\nOK\r\n", 0},           {"\r\nCONNECT 9600\r\n", 0}, {"\r\nNO DIALTONE\r\n", 1},
            {"\r\nno dialtone\r\n", 1},  {"\r\nBUSY\r\n", 2},         {"\r\nNO CARRIER\r\n", 3},
            {"\r\nERROR\r\n", 4},        {"\r\nNO ANSWER\r\n", 5},    {"\r\nTime is out\r\n", 6},
            {"\r\nbusy\r\n", 2},
            // Lower-case words, and replies holding two words: the first class in the order
            // ERRO, Time, DIAL, NO CARRI, BUSY, ANSW wins.
            {"\r\nerror\r\n", 4},       {"\r\nno carrier\r\n", 3}, {"\r\nno answer\r\n", 5},
            {"\r\nTime ERROR\r\n", 4},  {"\r\nDIAL Time\r\n", 6},  {"\r\nNO CARRIER DIAL\r\n", 1},
            {"\r\nBUSY NO CARRIER\r\n", 3}, {"\r\nANSWER BUSY\r\n", 2}, {"\r\ntime\r\n", 0},
            {"\r\nEscape...\r\n", 10},
        };
        for (const auto &c : cases) {
            QTest::newRow((Clear_CrLf(c.first) + " echo").constData()) << c.first << true << c.second;
            QTest::newRow((Clear_CrLf(c.first) + " quiet").constData()) << c.first << false << c.second;
        }
    }
    void reply_classes()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, echo);
        QFETCH(int, code);
        Rig r;
        r.modem.echo = echo;
        r.modem.answer["ATX1"] = reply;
        QByteArray got;
        QCOMPARE(Modem_Command(r.io, "ATX1\r", got, 5000), code);
        // The echo never reaches the reply; the reply line is kept with its line ends.
        QVERIFY(!got.contains("ATX1"));
        QVERIFY(got.contains(Clear_CrLf(reply)));
        QCOMPARE(r.port.Writes.value(0), QByteArray("ATX1\r"));
        QCOMPARE(r.status.value(0), QString(" Установление связи по телефону. Команда ATX1."));
        QCOMPARE(r.status.value(1),
                 QString(" Установление связи по телефону. Команда ATX1.  Ответ %1").arg(QString(Clear_CrLf(got))));
    }

    void short_reply_times_out()
    {
        // A bare line end is not a reply: the time-out gives 9 with nothing in the buffer.
        Rig r;
        r.modem.echo = false;
        r.modem.answer["AT"] = "\r\n";
        QByteArray got = "old";
        const int64_t t0 = r.clk.Now_Us();
        QCOMPARE(Modem_Command(r.io, "AT\r", got, 3000), int(MODEM_TIMEOUT));
        QVERIFY(got.isEmpty());
        QVERIFY(r.clk.Now_Us() - t0 >= 3000000);
        // The wait is spent on the port in slices, not in a read loop.
        QVERIFY(r.port.Max_Wait_Ms <= r.io.Slice_Ms);
        QVERIFY(r.port.Reads < 3000 / r.io.Slice_Ms + 20);
        // No status line without a status bar.
        Rig q;
        q.io.Status = nullptr;
        QCOMPARE(Modem_Command(q.io, "AT\r", got, 1000), 0);
    }

    void long_reply_is_cut()
    {
        Rig r;
        r.modem.answer["AT"] = "\r\n" + QByteArray(400, 'x');
        QByteArray got;
        QCOMPARE(Modem_Command(r.io, "AT\r", got, 5000), 0);
        QCOMPARE(int(got.size()), MODEM_REPLY_MAX);
    }

    void read_errors_are_cleared()
    {
        Rig r;
        r.port.Fail_Read = 3;
        QByteArray got;
        QCOMPARE(Modem_Command(r.io, "AT\r", got, 5000), 0);
        QVERIFY(got.contains("OK"));
        QCOMPARE(r.port.Clear_Errors, 3);
    }

    void escape_during_command()
    {
        Rig r;
        r.modem.answer["ATD1"] = "";   // the modem keeps dialling
        r.on_pump = [&] {
            if (r.pumps == 40) r.abort = true;   // Esc seen by the program's filter
        };
        QByteArray got;
        QCOMPARE(Modem_Command(r.io, "ATD1\r", got, 60000), int(MODEM_ESCAPE));
        QCOMPARE(got, QByteArray("Escape..."));
        QVERIFY(r.clk.Now_Us() < 1000000 + 60000000LL);
        // An Esc already pending keeps the command from being sent at all.
        const int writes = int(r.port.Writes.size());
        QCOMPARE(Modem_Command(r.io, "ATD1\r", got, 60000), int(MODEM_ESCAPE));
        QCOMPARE(int(r.port.Writes.size()), writes);
        // Without an abort flag Esc is not looked at.
        r.io.Abort = nullptr;
        r.modem.answer["ATD1"] = "\r\nBUSY\r\n";
        QCOMPARE(Modem_Command(r.io, "ATD1\r", got, 60000), int(MODEM_BUSY));
    }

    void modem_init_data()
    {
        // Scripted answers as "command=reply|..."; "online": a modem left on line takes
        // commands as data until the escape; "dead": no answer to anything.
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("log");
        QTest::newRow("command mode") << "" << 0 << "ATE0 ATV1";
        QTest::newRow("on line") << "online" << 0 << "ATE0 +++ ATE0";
        // ATV1 without an acknowledging reply: the escape is tried; once it was answered
        // the next round starts with ATE0.
        QTest::newRow("ATV1 unacknowledged") << "ATV1=\rHUH\r|+++=\r\nOK\r\n" << 0 << "ATE0 ATV1 +++ ATE0";
        // Nothing acknowledges: after two unacknowledged ATV1 the init reports success.
        QTest::newRow("nothing acknowledged") << "ATV1=\rHUH\r|+++=\r\nOK\r\n|ATE0=\rHUH\r" << 0
                                              << "ATE0 +++ ATE0 ATV1 ATE0 ATV1";
        // The escape not answered (no line end in the reply): no modem.
        QTest::newRow("escape unanswered") << "ATV1=\rHUH\r" << int(MODEM_ABSENT) << "ATE0 ATV1 +++";
        QTest::newRow("dead") << "dead" << int(MODEM_ABSENT) << "ATE0 +++";
        QTest::newRow("ATE0 error") << "ATE0=\r\nERROR\r\n" << int(MODEM_ERROR) << "ATE0";
    }
    void modem_init()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, log);
        Rig r;
        r.modem.online = script == "online";
        r.modem.alive = script != "dead";
        if (script.contains('='))
            for (const QString &kv : script.split('|')) {
                const QStringList p = kv.split('=');
                r.modem.answer[p[0].toLatin1()] = p[1].toLatin1();
            }
        QCOMPARE(Modem_Init(r.io), code);
        QStringList got;
        for (const QByteArray &c : r.modem.log) got << QString::fromLatin1(c);
        QCOMPARE(got.join(' '), log);
        // The escape and the ATE0 after it are sent without the status bar.
        QVERIFY(!r.status.join('|').contains("+++"));
    }

    void helpers()
    {
        QCOMPARE(Split_Modem_Commands("xx AT&F^atS0=0 ^ junk ^AT+CBST=7,0,1"),
                 (QList<QByteArray>{"AT&F\r", "atS0=0 \r", "AT+CBST=7,0,1\r"}));
        QVERIFY(Split_Modem_Commands("").isEmpty());
        QVERIFY(Split_Modem_Commands("no commands").isEmpty());
        const QList<QByteArray> longc = Split_Modem_Commands("AT" + QString(500, 'S'));
        QCOMPARE(longc.size(), 1);
        QCOMPARE(int(longc[0].size()), 300);
        QVERIFY(longc[0].endsWith('\r'));
        QCOMPARE(Clear_Phone("8 (495) 123-45-67"), QString("84951234567"));
        QCOMPARE(Clear_CrLf(QString("\r\nOK\r\n")), QString("OK"));
        QCOMPARE(Clear_CrLf(QByteArray("a\rb\n")), QByteArray("ab"));
        QVERIFY(StrContains("\r\nOK\r\n", "OK"));
        QVERIFY(!StrContains("", "OK"));
        QVERIFY(!StrContains("O", "OK"));
        QVERIFY(!StrContains("ok", "OK"));
    }

    void dial_failures_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::newRow("busy") << QByteArray("\r\nBUSY\r\n") << 2;
        QTest::newRow("no carrier") << QByteArray("\r\nNO CARRIER\r\n") << 3;
        QTest::newRow("no dialtone") << QByteArray("\r\nNO DIALTONE\r\n") << 1;
        QTest::newRow("no answer") << QByteArray("\r\nNO ANSWER\r\n") << 5;
        QTest::newRow("error") << QByteArray("\r\nERROR\r\n") << 4;
        QTest::newRow("other") << QByteArray("\r\nOK\r\n") << 8;
        QTest::newRow("silence") << QByteArray() << 9;
    }
    void dial_failures()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, code);
        for (int attempts : {1, 3}) {
            Rig r;
            r.modem.dial = reply;
            QCOMPARE(Modem_Dial(r.io, "123", "AT&F", attempts, 30), code);
            QCOMPARE(r.modem.Count("ATD"), attempts);
            QCOMPARE(r.modem.Count("AT&F"), attempts);
            // Every dial that did not connect is hung up: DTR dropped and raised, then ATH.
            for (int i = 0; i < r.modem.log.size(); ++i) {
                if (!r.modem.log[i].startsWith("ATD")) continue;
                QVERIFY(i + 1 < r.modem.log.size());
                QCOMPARE(r.modem.log[i + 1], QByteArray("ATH"));
                QCOMPARE(r.modem.dtr_calls_at[i + 1] - r.modem.dtr_calls_at[i], 2);
            }
            QVERIFY(r.port.Dtr);
        }
    }

    void init_command_without_ok()
    {
        Rig r;
        r.modem.answer["ATQ9"] = "\r\nHUH\r\n";
        QCOMPARE(Modem_Dial(r.io, "1", "ATQ9^ATS0=0", 2, 10), int(MODEM_NOT_CONNECTED));
        QCOMPARE(r.modem.Count("ATQ9"), 2);
        QCOMPARE(r.modem.Count("ATS0"), 0);
        QCOMPARE(r.modem.Count("ATD"), 0);
        // A second pass may succeed.
        Rig s;
        int n = 0;
        s.port.On_Write = [&](FakePort &p, const QByteArray &b) {
            if (b == "ATQ9\r" && n++ == 0) s.modem.answer["ATQ9"] = "\r\nNO CARRIER\r\n";
            else if (b == "ATQ9\r") s.modem.answer.remove("ATQ9");
            s.modem.On_Command(p, b);
        };
        QCOMPARE(Modem_Dial(s.io, "1", "ATQ9", 2, 10), 0);
    }

    void gsm_check()
    {
        {
            // A telephone modem does not know AT+CPAS: it still dials.
            Rig r;
            r.modem.cpas = "\r\nERROR\r\n";
            QCOMPARE(Modem_Check_Gsm(r.io), Gsm_State::Not_Gsm);
            QCOMPARE(Modem_Dial(r.io, "1", "", 1, 10), 0);
            QCOMPARE(r.modem.Count("ATD"), 1);
        }
        {
            // A GSM modem that is not ready.
            Rig r;
            r.modem.cpas = "\r\n+CPAS: 3\r\n\r\nOK\r\n";
            QCOMPARE(Modem_Check_Gsm(r.io), Gsm_State::Not_Ready);
            QCOMPARE(Modem_Dial(r.io, "1", "", 3, 10), int(MODEM_NO_GSM));
            QCOMPARE(r.modem.Count("ATD"), 0);
            QCOMPARE(r.modem.Count("AT+CPAS"), 2);
        }
        {
            Rig r;
            r.modem.cpas = "\r\n+CPAS: 0\r\n";   // no OK after it
            QCOMPARE(Modem_Check_Gsm(r.io), Gsm_State::Not_Ready);
            r.modem.cpas = "";
            QCOMPARE(Modem_Check_Gsm(r.io), Gsm_State::Not_Ready);
            r.modem.cpas = "\r\n+CPAS: 0\r\n\r\nOK\r\n";
            r.modem.echo = true;                 // echo on, as after AT&F
            QCOMPARE(Modem_Check_Gsm(r.io), Gsm_State::Ready);
        }
    }

    void dial_escape()
    {
        // Esc while the modem dials: the call is abandoned at once and hung up.
        Rig r;
        r.modem.dial = "";
        r.io.Abort = &Exch_Abort;
        bool run_seen = false;
        r.on_pump = [&] {
            run_seen = run_seen || Exch_Run;
            if (!r.modem.log.isEmpty() && r.modem.log.last().startsWith("ATD") && r.pumps % 50 == 0
                && Exch_Run)
                Exch_Abort = true;   // what the main window's Esc hook does
        };
        Exch_Abort = true;   // a stale request does not abort the next dial
        QCOMPARE(Modem_Dial(r.io, "1", "", 3, 60), int(MODEM_ESCAPE));
        QVERIFY(run_seen);
        QCOMPARE(r.modem.Count("ATD"), 1);
        QCOMPARE(r.modem.log.last(), QByteArray("ATH"));
        QVERIFY(!Exch_Run);
        QVERIFY(!Exch_Abort);

        // Esc during an init command ends the dial too.
        Rig s;
        s.modem.answer["ATS0=0"] = "";
        s.on_pump = [&] {
            if (!s.modem.log.isEmpty() && s.modem.log.last() == "ATS0=0") s.abort = true;
        };
        QCOMPARE(Modem_Dial(s.io, "1", "ATS0=0", 3, 60), int(MODEM_ESCAPE));
        QCOMPARE(s.modem.Count("ATS0=0"), 1);
        QCOMPARE(s.modem.Count("ATD"), 0);
    }

    void hang_up()
    {
        Rig r;
        r.modem.online = true;
        r.abort = true;   // Esc does not keep the line up
        Modem_Hang_Up(r.io);
        QCOMPARE(r.modem.log, (QList<QByteArray>{"+++", "ath"}));
        QCOMPARE(r.port.Dtr_Calls, 0);
        // A modem that does not confirm is hung up by DTR.
        Rig d;
        d.modem.alive = false;
        Modem_Hang_Up(d.io);
        QCOMPARE(d.modem.log, (QList<QByteArray>{"+++", "ath"}));
        QCOMPARE(d.port.Dtr_Calls, 2);
        QVERIFY(d.port.Dtr);
    }

    void no_port()
    {
        Modem_Io io;
        io.Com = nullptr;
        QCOMPARE(Modem_Dial(io, "1", "", 1, 10), int(MODEM_ABSENT));
        Modem_Hang_Up(io);
    }
};

QTEST_GUILESS_MAIN(TestConnectModem)
#include "tst_connectmodem.moc"
