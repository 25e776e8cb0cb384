// The exchange engine and the table layer against the controller simulator, over loopback
// TCP and over a pseudo-terminal, with faults injected by the simulator.
#include "Sim.h"
#include "Sim_Transport.h"

#include "core/Clock.h"
#include "core/Comportfunctions.h"
#include "core/Conffun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/Tcp_fun.h"
#include "testsupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
constexpr uint8_t ADR = 7;
constexpr int LONG_MS = 30000;

class Answer_No final : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked << q.line1;
        return 0;
    }
    QStringList Asked;
};

QByteArray Image_Of(int t)
{
    return QByteArray(reinterpret_cast<const char *>(Tab_Dir[t].data), Tab_Length(t));
}

void Spoil_Image(int t)
{
    std::memset(Tab_Dir[t].data, 0xEE, size_t(Tab_Length(t)));
}

// The engine settings the tests share: no fixed pauses, generous waits.
void Quick(hgcbox &box)
{
    box.Pause_Tcp_Ms = 0;
    box.Pause_Rts_Us = 0;
    box.Pause_Close_Ms = 0;
    box.Pause_Dtr_Ms = 0;
    box.Repeat = 1;
    box.WaitTime = 10000;
    box.TimeOut = 2000;
    box.Pump = [] { QCoreApplication::processEvents(); };
}

bool Attach_Tcp(hgcbox &box, uint16_t port)
{
    Quick(box);
    box.Conn_Prz = 2;
    box.Do_Close_Port = 0;
    auto sock = std::make_unique<Tcp_Port>(Sock_Addr{0x7F000001u, port}, LONG_MS, System_Clock());
    if (!sock->Open()) return false;
    box.Sock = std::move(sock);
    return true;
}

bool Read1(hgcbox &box, int t, int first, int count)
{
    const uint8_t r[3] = {uint8_t(t), uint8_t(first), uint8_t(count)};
    return box.Exchange(1, r, 3);
}

QByteArray Reply_Data(const hgcbox &box, int len)
{
    return QByteArray(reinterpret_cast<const char *>(box.Resp_Buf + 8), len);
}
} // namespace

class Tst_Engine_Sim : public QObject {
    Q_OBJECT

    Answer_No Ques;
    Ques_Handler *Old_Ques = nullptr;

private slots:
    void initTestCase()
    {
        Init_Tables();
        Old_Ques = Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase()
    {
        Set_Ques_Handler(Old_Ques);
        Exch_Box = nullptr;
    }
    void init() { Ques.Asked.clear(); }

    void tcp_table_layer_reads_and_writes()
    {
        Sim_Core core(ADR);
        core.Set_Password("secret");
        core.Set_Code("42");
        Sim_Tcp tcp(core);
        QVERIFY(tcp.Start(0));
        hgcbox box(ADR);
        QVERIFY(Attach_Tcp(box, tcp.Port()));
        Exch_Box = &box;

        // What the connect sequence reads.
        Spoil_Image(0);
        QVERIFY(Read_Table({0, 0, 18}, {}, false));
        QCOMPARE(Image_Of(0), core.Table(0));
        QCOMPARE(char(Tab_Field(0, 1)[0]), 'I');
        QCOMPARE(int(Tab_Field(0, 3)[0]), 16);
        Spoil_Image(14);
        QVERIFY(Read_Table({14, 0, 16}, {}, false));
        QCOMPARE(int(Tab_Field(14, 6)[0]), 8);
        Spoil_Image(1);
        for (int f = 0; f < 20; f += 3) QVERIFY(Read_Table({1, uint8_t(f), uint8_t(std::min(3, 20 - f))}, {}, false));
        QCOMPARE(Image_Of(1), core.Table(1));

        // A write with the right password and code reaches the controller.
        std::memcpy(box.Write_Pass, Sim_Core::Pad("secret", 12).constData(), 12);
        std::memcpy(box.User_Code, Sim_Core::Pad("42", 4).constData(), 4);
        Tab_Field(28, 0)[0] = 6;
        QVERIFY(Write_Table({28, 0, 2}, {}, false));
        QCOMPARE(core.Field(28, 0), Bytes({6}));
        // A wrong password is the controller's error 3, shown with its text.
        std::memcpy(box.Write_Pass, Sim_Core::Pad("wrong", 12).constData(), 12);
        Tab_Field(28, 0)[0] = 12;
        QVERIFY(!Write_Table({28, 0, 2}, {}, false));
        QCOMPARE(box.Err_Code, uint32_t(ERR_CONTR));
        QCOMPARE(int(box.Resp_Buf[4]), 3);
        QVERIFY2(box.Err_Text().contains(QStringLiteral("Неправильный пароль на запись")), qPrintable(box.Err_Text()));
        QCOMPARE(core.Field(28, 0), Bytes({6}));
        const auto log = core.Log();
        QCOMPARE(log.last().func, uint8_t(2));
        QCOMPARE(log.last().raw.mid(4, 12), Sim_Core::Pad("wrong", 12));

        // The clock correction: password, code and a signed 16-bit count of seconds.
        std::memcpy(box.Write_Pass, Sim_Core::Pad("secret", 12).constData(), 12);
        const int16_t corr = -300;
        const uint8_t c[2] = {uint8_t(uint16_t(corr) & 0xFF), uint8_t(uint16_t(corr) >> 8)};
        QVERIFY2(box.Exchange(12, c, 2), qPrintable(box.Err_Text()));
        QCOMPARE(core.Clock_Offset(), int64_t(-300));
        QCOMPARE(core.Log().last().raw.size(), 24);
        Exch_Box = nullptr;
    }

    void tcp_connection_lost_in_the_middle_of_a_reply()
    {
        Sim_Core core(ADR);
        Sim_Tcp tcp(core);
        QVERIFY(tcp.Start(0));
        hgcbox box(ADR);
        QVERIFY(Attach_Tcp(box, tcp.Port()));
        box.TimeOut = 5000;
        core.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::Close_Mid_Reply, 5));
        QVERIFY(!Read1(box, 0, 0, 18));
        QCOMPARE(box.Err_Code, uint32_t(ERR_RECV));   // not a wait for the whole gap time-out
    }

    void pty_direct_line()
    {
        Sim_Core core(ADR);
        Sim_Pty pty(core);
        QVERIFY(pty.Start());
        hgcbox box(ADR);
        Quick(box);
        box.Conn_Prz = 0;
        box.Do_Close_Port = 1;
        box.Port_Name = pty.Slave_Path();
        box.Make_Serial_Port = Make_Serial_Port;
        box.Rate = 7200;
        box.Preambles = 3;
        Exch_Box = &box;

        Spoil_Image(5);
        QVERIFY2(Read_Table({5, 0, 3}, {}, false), qPrintable(box.Err_Text()));
        QCOMPARE(Image_Of(5), core.Table(5));
        QCOMPARE(pty.Input_Rate(), uint32_t(7200));
        QVERIFY(!box.Port_Handle);   // released after the exchange

        box.Rate = 19200;
        Tab_Field(44, 3)[0] = 0x11;
        QVERIFY(Write_Table({44, 3, 1}, {}, false));
        QCOMPARE(core.Field(44, 3), QByteArray(reinterpret_cast<const char *>(Tab_Field(44, 3)), 4));
        QCOMPARE(pty.Input_Rate(), uint32_t(19200));

        using K = Sim_Fault_Kind;
        core.Add_Fault(Sim_Fault::Make(K::Bad_Crc));
        QVERIFY(!Read_Table({5, 0, 3}, {}, false));
        QCOMPARE(box.Err_Code, uint32_t(ERR_CRC));
        core.Add_Fault(Sim_Fault::Make(K::Noise_Before));
        core.Add_Fault(Sim_Fault::Make(K::Byte_Gap, 3));
        QVERIFY(Read_Table({5, 0, 3}, {}, false));
        box.WaitTime = 300;
        core.Add_Fault(Sim_Fault::Make(K::No_Reply));
        QVERIFY(!Read_Table({5, 0, 3}, {}, false));
        QCOMPARE(box.Err_Code, uint32_t(ERR_NO_ANSWER));
        Exch_Box = nullptr;
    }

    void echoing_line_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<int>("adr");      // the controller's; the request goes to 0xFF when search
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("func");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("pos");      // where the request frame, and so its echo, holds 0x33
        QTest::addColumn<uint32_t>("err");
        const QByteArray name = Sim_Core::Pad("N3 Kola", 20);
        for (const bool tcp : {true, false}) {
            const char *line = tcp ? "tcp" : "pty";
            const auto row = [&](const char *what) -> QTestData & { return QTest::addRow("%s %s", line, what); };
            row("read, CRC high byte") << tcp << 1 << false << 1 << Bytes({0, 1, 10}) << 9 << uint32_t(ERR_OK);
            row("read, CRC high byte 2") << tcp << 1 << false << 1 << Bytes({0, 5, 11}) << 9 << uint32_t(ERR_OK);
            // The echoed 0x33 is followed by the controller's address.
            row("read, CRC low byte") << tcp << 83 << false << 1 << Bytes({14, 3, 3}) << 8 << uint32_t(ERR_OK);
            row("read, address") << tcp << 0x33 << false << 1 << Bytes({0, 0, 18}) << 1 << uint32_t(ERR_OK);
            row("search") << tcp << 7 << true << 1 << Bytes({32, 1, 6}) << 9 << uint32_t(ERR_OK);
            row("write address, password") << tcp << 7 << false << 2 << Bytes({3, 0, 1, 7}) << 6 << uint32_t(ERR_OK);
            row("write name") << tcp << 32 << false << 2 << Bytes({5, 0, 1}) + name << 25 << uint32_t(ERR_OK);
            // Table 7 is the controller's own: its refusal must come through whole.
            row("write, length") << tcp << 1 << false << 2 << Bytes({7, 0, 25}) + QByteArray(25, '\0') << 2
                                 << uint32_t(ERR_CONTR);
        }
    }
    // The line adapter sends every request byte back before the reply; the 0x33 in the
    // echo must not pass for the reply's start.
    void echoing_line()
    {
        QFETCH(bool, tcp);
        QFETCH(int, adr);
        QFETCH(bool, search);
        QFETCH(int, func);
        QFETCH(QByteArray, data);
        QFETCH(int, pos);
        QFETCH(uint32_t, err);
        Sim_Core core{uint8_t(adr)};
        core.Set_Password("123456");
        core.Set_Echo(true);
        Sim_Tcp tcp_line(core);
        Sim_Pty pty(core);
        hgcbox box(search ? 0xFF : uint8_t(adr));
        if (tcp) {
            QVERIFY(tcp_line.Start(0));
            QVERIFY(Attach_Tcp(box, tcp_line.Port()));
        } else {
            QVERIFY(pty.Start());
            Quick(box);
            box.Port_Name = pty.Slave_Path();
            box.Make_Serial_Port = Make_Serial_Port;
        }
        std::memcpy(box.Write_Pass, Sim_Core::Pad("123456", 12).constData(), 12);
        const bool ok = box.Exchange(uint8_t(func), reinterpret_cast<const uint8_t *>(data.constData()), int(data.size()));
        QCOMPARE(int(box.Req_Buf[pos]), 0x33);
        QVERIFY2(ok == (err == ERR_OK), qPrintable(box.Err_Text()));
        QCOMPARE(box.Err_Code, err);
        QCOMPARE(int(box.Adr), adr);
        if (func == 1) QCOMPARE(Reply_Data(box, int(data[2])), core.Table(data[0]).mid(data[1], data[2]));   // 1-byte fields
        if (func == 2 && !err) QCOMPARE(core.Field(data[0], data[1]), data.mid(3));
    }

};

QTEST_MAIN(Tst_Engine_Sim)
#include "tst_engine_sim.moc"
