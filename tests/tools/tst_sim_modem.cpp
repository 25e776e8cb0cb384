// The simulator's Hayes modem: its command interpreter on synthetic times, then the
// program's own modem dialogue and exchange engine against it over a pseudo-terminal.
#include "Core_Fast_Clock.h"
#include "FakePort.h"
#include "Sim.h"
#include "SimModem.h"
#include "Sim_Transport.h"
#include "core/Comportfunctions.h"
#include "core/Connectmodem.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

QByteArray All(const QList<Sim_Chunk> &chunks)
{
    QByteArray b;
    for (const Sim_Chunk &c : chunks) b += c.bytes;
    return b;
}

// Collects what an endpoint wants to send and what it was given.
class Echo_Controller final : public Sim_Endpoint {
public:
    QList<Sim_Chunk> Receive(const QByteArray &bytes, int64_t now_ms) override
    {
        got += bytes;
        return {Sim_Chunk{now_ms + 1, "<" + bytes + ">", false}};
    }
    void Reset_Line() override { ++resets; }
    QByteArray got;
    int resets = 0;
};

} // namespace

class TestSimModem : public QObject {
    Q_OBJECT

    // The line rig of the pty tests: the program's pauses and time-outs run ten times fast,
    // the modem's guard time likewise.
    struct Line {
        Fast_Clock clock{10};
        Sim_Core core{1};
        Sim_Modem modem{&core};
        Sim_Pty pty{modem};
        std::unique_ptr<Serial_Port> port;
        bool abort = false;
        Modem_Io io;

        bool Start()
        {
            modem.Set_Guard_Ms(50);
            if (!pty.Start()) return false;
            port = std::make_unique<Serial_Port>(pty.Slave_Path(), 9600);
            if (!port->Open()) return false;
            io.Com = port.get();
            io.Clk = &clock;
            io.Abort = &abort;
            io.Pump = [] { QCoreApplication::processEvents(); };
            return true;
        }
    };

private slots:
    void dial_and_escape()
    {
        Echo_Controller ctl;
        Sim_Modem m(&ctl);
        m.Set_Guard_Ms(1000);
        m.Receive("ATE0\r", 0);
        const QList<std::pair<Sim_Modem::Dial_Result, QByteArray>> results = {
            {Sim_Modem::Dial_Result::Busy, "\r\nBUSY\r\n"},
            {Sim_Modem::Dial_Result::No_Carrier, "\r\nNO CARRIER\r\n"},
            {Sim_Modem::Dial_Result::No_Dialtone, "\r\nNO DIALTONE\r\n"},
            {Sim_Modem::Dial_Result::No_Answer, "\r\nNO ANSWER\r\n"},
            {Sim_Modem::Dial_Result::Error, "\r\nERROR\r\n"},
        };
        int64_t t = 1000;
        for (const auto &[r, text] : results) {
            m.Set_Dial_Result(r, 100);
            QVERIFY(m.Receive("ATD123\r", t).isEmpty());
            QVERIFY(m.Poll(t + 50).isEmpty());
            QCOMPARE(All(m.Poll(t + 100)), text);
            QVERIFY(!m.Online());
            t += 1000;
        }
        // A silent dial is abandoned by the next byte.
        m.Set_Dial_Result(Sim_Modem::Dial_Result::Silent, 0);
        m.Receive("ATD123\r", t);
        QVERIFY(m.Poll(t + 10000).isEmpty());
        QCOMPARE(All(m.Receive("ATH\r", t + 20000)), QByteArray("\r\nNO CARRIER\r\n"));
        QVERIFY(m.Command_Log().contains("DIAL ABORTED"));

        // Connect, then data goes to the controller and its answer comes back.
        t = 100000;
        m.Set_Dial_Result(Sim_Modem::Dial_Result::Connect, 10);
        m.Receive("ATD5\r", t);
        QCOMPARE(All(m.Poll(t + 10)), QByteArray("\r\nCONNECT 9600\r\n"));
        QVERIFY(m.Online() && m.Off_Hook());
        QCOMPARE(All(m.Receive("ATH\r", t + 20)), QByteArray("<ATH\r>"));   // data now
        // "+++" without the guard time before it, or followed by more data, is data.
        QCOMPARE(All(m.Receive("a+++", t + 30)), QByteArray("<a+++>"));
        m.Receive("+++", t + 2000);
        QCOMPARE(All(m.Receive("b", t + 2500)), QByteArray("<+++b>"));
        // Two pluses after the guard are data once the guard has passed.
        m.Receive("++", t + 4000);
        QCOMPARE(All(m.Poll(t + 5000)), QByteArray("<++>"));
        QVERIFY(m.Online());
        // The escape proper: silence, "+++", silence, OK; the call stays up.
        QVERIFY(m.Receive("+", t + 7000).isEmpty());
        QVERIFY(m.Receive("++", t + 7100).isEmpty());
        QVERIFY(m.Poll(t + 8000).isEmpty());
        QCOMPARE(All(m.Poll(t + 8100)), QByteArray("\r\nOK\r\n"));
        QVERIFY(!m.Online() && m.Off_Hook());
        QCOMPARE(ctl.got, QByteArray("ATH\ra++++++b++"));
        QCOMPARE(m.Data_In(), ctl.got);
        QCOMPARE(All(m.Receive("ATH\r", t + 9000)), QByteArray("\r\nOK\r\n"));
        QVERIFY(!m.Off_Hook());
        QCOMPARE(ctl.resets, 1);
        const QStringList log = m.Command_Log();
        QCOMPARE(log.mid(log.size() - 5), (QStringList{"ATD5", "CONNECT", "+++", "ATH", "ON HOOK"}));
    }

    void program_dials_and_exchanges()
    {
        Line l;
        QVERIFY2(l.Start(), qPrintable(l.pty.Error()));
        QStringList status;
        l.io.Status = [&](const QString &s) { status << s; };
        QCOMPARE(Modem_Dial(l.io, "8 (495) 123-45-67", "AT&F^ATS0=0", 1, 20), 0);
        QCOMPARE(l.modem.Command_Log(), (QStringList{"ATE0", "ATV1", "AT&F", "ATS0=0", "AT+CPAS",
                                                     "ATD84951234567", "CONNECT"}));
        QVERIFY(l.modem.Online());
        QVERIFY(l.modem.Echo());   // AT&F turned the echo back on: the dialogue coped with it
        QVERIFY(status.contains(" Установление связи по телефону. Команда ATD84951234567.  Ответ CONNECT 9600"));

        // The engine's exchanges run through the modem to the controller.
        hgcbox box(1);
        box.Conn_Prz = 1;
        box.Do_Close_Port = 0;
        box.Rate = 9600;
        box.WaitTime = 3000;
        box.TimeOut = 300;
        box.Pump = [] { QCoreApplication::processEvents(); };
        box.Port_Handle = std::make_unique<Port_Proxy>(l.port.get());
        const uint8_t req[3] = {0, 0, 1};
        QVERIFY2(box.Exchange(1, req, 3), qPrintable(box.Err_Text()));
        QCOMPARE(l.core.Request_Count(), 1);
        QCOMPARE(int(box.Resp_Buf[3]), 0x81);
        QVERIFY(l.modem.Data_In().contains(char(0xCC)));
        QVERIFY(l.modem.Online());

        // Disconnect: escape with its guard times, then ath.
        Modem_Hang_Up(l.io);
        const QStringList log = l.modem.Command_Log();
        QCOMPARE(log.mid(7), (QStringList{"+++", "ath", "ON HOOK"}));
        QVERIFY(!l.modem.Off_Hook());
        box.Port_Handle.reset();
    }

    void program_late_connect_is_abandoned()
    {
        // The modem would connect only after the program gave up: the hang-up after the
        // dial ends the call attempt, so no forgotten call comes up later.
        Line l;
        QVERIFY(l.Start());
        l.modem.Set_Dial_Result(Sim_Modem::Dial_Result::Connect, 60000);
        QCOMPARE(Modem_Dial(l.io, "123", "", 1, 1), int(MODEM_TIMEOUT));
        QVERIFY(l.modem.Wait_For_Log("DIAL ABORTED", 10000));
        QVERIFY(!l.modem.Online());
        QVERIFY(!l.modem.Command_Log().contains("CONNECT"));
    }

};

QTEST_GUILESS_MAIN(TestSimModem)
#include "tst_sim_modem.moc"
