#include "core/Comportfunctions.h"
#include "core/Crc16.h"
#include "core/Hgcbox.h"

#include "FakePort.h"
#include "testsupport.h"

#include <QDateTime>
#include <QtTest>

namespace {

// One engine on a fake direct line, port kept open between exchanges.
struct Rig {
    FakeClock clk;
    FakePort port{&clk};
    hgcbox box{5};
    QStringList panel;

    Rig()
    {
        box.Clk = &clk;
        box.Do_Close_Port = 0;
        box.Port_Handle = port.Borrow();
        box.Status_Panel = [this](const QString &s) { panel << s; };
        // Fast enough that the direct line's send time (RTS held for the characters on
        // the wire) ends before the scripted replies begin.
        box.Rate = 1000000;
    }
    // Answers every request with a success reply carrying payload, 1 ms after the send.
    void Answer(const QByteArray &payload, int delay_us = 1000)
    {
        port.On_Write = [payload, delay_us, this](FakePort &p, const QByteArray &w) {
            const QByteArray req = Find_Request(w);
            p.Queue(Reply_Frame(box.Adr, uint8_t(uint8_t(req[3]) | 0x80), payload), delay_us);
        };
    }
    void Reply_Raw(const QByteArray &bytes, int64_t gap_us = 0)
    {
        port.On_Write = [bytes, gap_us](FakePort &p, const QByteArray &) { p.Queue(bytes, 1000, gap_us); };
    }
    QByteArray Request() const { return Find_Request(port.Writes.isEmpty() ? QByteArray() : port.Writes.last()); }
    QByteArray Resp(int n) const { return QByteArray(reinterpret_cast<const char *>(box.Resp_Buf), n); }
};

QByteArray With_Crc(QByteArray f)
{
    const uint16_t c = Crc16(reinterpret_cast<const uint8_t *>(f.constData()), uint16_t(f.size()));
    f.append(char(c & 0xFF));
    f.append(char(c >> 8));
    return f;
}

QByteArray Pass_And_Code()
{
    return QByteArray("secret      ") + QByteArray("0042");
}

} // namespace

class Tst_Hgcbox : public QObject {
    Q_OBJECT
private slots:
    void frame_bytes_for_every_function_data()
    {
        QTest::addColumn<int>("func");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("body");   // frame bytes 4 .. L-3

        QByteArray d7 = Bytes({0, 1, 0x10, 0x20, 0x30, 0x40, 9});
        QByteArray d8 = Bytes({0x21, 6, 0, 26, 1, 2, 3, 4, 5, 26, 1, 3, 0, 0, 0});
        QByteArray d14 = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
        QByteArray d15 = Bytes({3, 0, 1, 26, 5, 1, 10, 26, 5, 2, 10});
        QByteArray d16 = Bytes({3, 2, 0x21, 26, 5, 1, 26, 5, 9});
        QTest::newRow("1") << 1 << Bytes({7, 2, 5}) << Bytes({0, 7, 2, 5});
        QTest::newRow("2") << 2 << Bytes({3, 1, 2, 0xAA, 0xBB})
                           << Pass_And_Code() + Bytes({0, 3, 1, 2, 0xAA, 0xBB});
        QTest::newRow("7") << 7 << d7 << d7;
        QTest::newRow("8") << 8 << d8 << d8;
        QTest::newRow("12") << 12 << Bytes({0xC4, 0xFF}) << Pass_And_Code() + Bytes({0xC4, 0xFF});
        QTest::newRow("14") << 14 << d14 << d14;
        QTest::newRow("15") << 15 << d15 << d15;
        QTest::newRow("16") << 16 << d16 << d16;
        QTest::newRow("25") << 25 << QByteArray() << Pass_And_Code();
        QTest::newRow("32") << 32 << QByteArray() << Pass_And_Code();
        QTest::newRow("33") << 33 << QByteArray() << Pass_And_Code();
    }
    void frame_bytes_for_every_function()
    {
        QFETCH(int, func);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, body);
        Rig r;
        memcpy(r.box.Write_Pass, "secret      ", 12);
        memcpy(r.box.User_Code, "0042", 4);
        r.Answer(Bytes({0, 1, 2, 3}));
        const auto *p = reinterpret_cast<const uint8_t *>(data.constData());
        // Fixed-size functions ignore the length; function 2 takes it.
        QVERIFY(r.box.Exchange(uint8_t(func), data.isEmpty() ? nullptr : p, func == 2 ? int(data.size()) : 0));
        const QByteArray expect = With_Crc(Bytes({0xCC, 5, int(body.size()) + 6, func}) + body);
        QCOMPARE(r.port.Written.toHex(' '), expect.toHex(' '));
        QCOMPARE(r.box.Err_Code, 0u);
        QCOMPARE(r.Resp(10), Reply_Frame(5, uint8_t(func | 0x80), Bytes({0, 1, 2, 3})));
        QCOMPARE(r.box.Func, uint8_t(func));
        QCOMPARE(r.panel, QStringList({"Обмен...", ""}));
    }

    void function_2_length_limits()
    {
        Rig r;
        r.Answer(Bytes({0, 3, 0, 1}));
        QByteArray big(232, '\x01');
        big[0] = 3;
        QVERIFY(r.box.Exchange(2, reinterpret_cast<const uint8_t *>(big.constData()), 232));
        QCOMPARE(r.port.Written.size(), 255);
        QCOMPARE(uint8_t(r.port.Written[2]), uint8_t(255));

        // A frame beyond 255 bytes, a too short or negative length: refused, nothing sent.
        r.port.Written.clear();
        QByteArray over(233, '\x01');
        QVERIFY(!r.box.Exchange(2, reinterpret_cast<const uint8_t *>(over.constData()), 233));
        QCOMPARE(r.box.Err_Code, 4u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 2.  Неверная длина запроса"));
        QVERIFY(!r.box.Exchange(2, reinterpret_cast<const uint8_t *>(over.constData()), 2));
        QCOMPARE(r.box.Err_Code, 4u);
        QVERIFY(!r.box.Exchange(2, reinterpret_cast<const uint8_t *>(over.constData()), -1));
        QCOMPARE(r.box.Err_Code, 4u);
        QVERIFY(!r.box.Exchange(1, reinterpret_cast<const uint8_t *>(over.constData()), -5));
        QCOMPARE(r.box.Err_Code, 4u);
        // A fixed-size function given fewer bytes than it takes.
        QVERIFY(!r.box.Exchange(1, reinterpret_cast<const uint8_t *>(over.constData()), 2));
        QCOMPARE(r.box.Err_Code, 4u);
        QVERIFY(!r.box.Exchange(8, reinterpret_cast<const uint8_t *>(over.constData()), 14));
        QCOMPARE(r.box.Err_Code, 4u);
        // Missing data.
        QVERIFY(!r.box.Exchange(2, nullptr, 10));
        QCOMPARE(r.box.Err_Code, 9u);
        QVERIFY(!r.box.Exchange(1, nullptr, 3));
        QCOMPARE(r.box.Err_Code, 9u);
        QVERIFY(!r.box.Exchange(8, nullptr, 0));
        QCOMPARE(r.box.Err_Code, 9u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 8.  Не заданы данные запроса"));
        QVERIFY(r.port.Written.isEmpty());
    }

    void unknown_function_sends_nothing()
    {
        Rig r;
        r.Answer({});
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(!r.box.Exchange(3, d, 3));
        QCOMPARE(r.box.Err_Code, 2u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 3.  Неверно задан код функции"));
        QCOMPARE(r.box.Mes_Buf, QString("Команда 3.  Неверно задан код функции"));
        QVERIFY(r.port.Written.isEmpty());
        QVERIFY(r.panel.isEmpty());
    }

    void preambles_and_direct_line_keying()
    {
        Rig r;
        r.box.Preambles = 5;
        r.box.Rate = 9600;
        r.Answer(Bytes({0, 0, 0, 1, 7}));
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(r.port.Written.left(6), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCC}));
        QCOMPARE(r.port.Written.size(), 15);
        QCOMPARE(r.port.Writes.size(), 1);
        QCOMPARE(r.port.Rate, 9600u);
        // RTS keys the adapter around the write; the line is drained before it drops,
        // and not before (15 + 1) characters of 10 bits at 9600 baud have passed.
        QCOMPARE(r.port.Rts_Log, QStringList({"R+", "W", "D", "R-"}));
        QCOMPARE(r.clk.Slept_Us, int64_t(2000 + 16 * 10 * 1000000 / 9600));
        QVERIFY(r.port.Purges >= 2);

        // The modem line has no RTS keying.
        Rig m;
        m.box.Conn_Prz = 1;
        m.Answer(Bytes({0, 0, 0, 1, 7}));
        QVERIFY(m.box.Exchange(1, d, 0));
        QCOMPARE(m.port.Rts_Log, QStringList({"W"}));
        QCOMPARE(m.port.Rts_Calls, 0);
    }

    void resync_over_echo_noise_and_preambles_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<bool>("search");
        QTest::addColumn<QByteArray>("before");   // what comes down the line before the reply
        // Preambles and noise; a reply of another controller (address 7) starts first.
        QTest::newRow("echo, noise, foreign start") << true << false << Bytes({0xFF, 0xFF, 0x00, 0x12, 0x33, 7});
        // A false start byte is followed by the real one, which must not be lost with it.
        QTest::newRow("lone start byte") << false << false << Bytes({0x33});
        QTest::newRow("search, lone start byte") << false << true << Bytes({0x33});
        // A false start whose address and length pass: its CRC fails inside the real reply.
        QTest::newRow("false frame") << false << false << Bytes({0x33, 5, 8});
    }
    void resync_over_echo_noise_and_preambles()
    {
        QFETCH(bool, echo);
        QFETCH(bool, search);
        QFETCH(QByteArray, before);
        Rig r;
        r.box.Repeat = 1;
        if (search) r.box.Adr = 0xFF;
        const QByteArray good = Reply_Frame(5, 0x81, Bytes({0, 0, 0, 1, 0x49}));
        r.port.On_Write = [&](FakePort &p, const QByteArray &w) {
            p.Queue((echo ? w : QByteArray()) + before + good, 1000, 100);
        };
        r.box.Preambles = 3;
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY2(r.box.Exchange(1, d, 0), qPrintable(r.box.Err_Text()));
        QCOMPARE(r.Resp(good.size()), good);
        QCOMPARE(r.box.Adr, uint8_t(5));
    }

    void no_answer_attempts_and_short_waits()
    {
        Rig r;
        r.box.Repeat = 3;
        int pumps = 0;
        r.box.Pump = [&] { ++pumps; };
        const int64_t t0 = r.clk.Now_Us();
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 10u);
        QCOMPARE(r.port.Writes.size(), 3);
        // Each attempt waits WaitTime in slices of at most 5 ms, serving events meanwhile.
        QVERIFY(r.clk.Now_Us() - t0 >= 3 * 2000000);
        QVERIFY(r.clk.Now_Us() - t0 < 3 * 2100000);
        QVERIFY(r.port.Max_Wait_Ms <= 5);
        QVERIFY(r.port.Waits >= 3 * 400);
        QVERIFY(pumps >= r.port.Waits);
    }

    void zero_repeat_makes_one_attempt()
    {
        Rig r;
        r.box.Repeat = 0;
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 10u);
        QCOMPARE(r.port.Writes.size(), 1);
        r.Answer(Bytes({0, 0, 0, 1, 1}));
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(r.port.Writes.size(), 2);
    }

    void reply_faults_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("delay_us");   // before the first byte
        QTest::addColumn<int>("gap_us");     // between bytes
        QTest::addColumn<uint>("err");
        QTest::addColumn<QString>("text");   // empty: not compared
        const QByteArray good = Reply_Frame(5, 0x81, Bytes({0, 0, 0, 1, 1}));
        QByteArray bad_crc = good;
        bad_crc[bad_crc.size() - 1] = char(bad_crc[bad_crc.size() - 1] ^ 0x40);
        QByteArray error_bad_crc = Reply_Frame(5, 0x01, Bytes({9, 0}));
        error_bad_crc[error_bad_crc.size() - 2] = char(error_bad_crc[error_bad_crc.size() - 2] ^ 1);
        QTest::newRow("good, bytes 10 ms apart") << good << 1000 << 10000 << 0u << QString();
        QTest::newRow("bytes 11 ms apart") << good << 1000 << 11000 << 5u << QString();
        QTest::newRow("cut short") << good.left(6) << 1000 << 0 << 5u
                                   << "Команда 1.  Ответ получен не полностью (превышено время между байтами)";
        QTest::newRow("first byte late") << good << 2002000 << 0 << 10u << QString();
        // Length 5 restarts the frame; the rest of the bytes are not a frame start.
        QTest::newRow("length byte 5") << Bytes({0x33, 5, 5, 0x81, 0, 0}) << 1000 << 0 << 10u
                                       << "Команда 1.  Устройство не отвечает";
        QTest::newRow("bad CRC") << bad_crc << 1000 << 0 << 7u << "Команда 1.  Несовпадение КС ответа контроллера";
        QTest::newRow("controller error, bad CRC") << error_bad_crc << 1000 << 0 << 7u << QString();
        QTest::newRow("no such table") << Reply_Frame(5, 0x01, Bytes({9, 0})) << 1000 << 0 << 8u
                                       << "Команда 1.  Нет такой таблицы";
        QTest::newRow("unknown error") << Reply_Frame(5, 0x01, Bytes({99, 0})) << 1000 << 0 << 8u
                                       << "Команда 1.  Код ошибки = 99";
    }
    void reply_faults()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, delay_us);
        QFETCH(int, gap_us);
        QFETCH(uint, err);
        QFETCH(QString, text);
        Rig r;
        r.box.Repeat = 1;
        r.port.On_Write = [&](FakePort &p, const QByteArray &) { p.Queue(reply, delay_us, gap_us); };
        const uint8_t d[3] = {0, 0, 1};
        QCOMPARE(r.box.Exchange(1, d, 0), err == 0);
        QCOMPARE(r.box.Err_Code, uint32_t(err));
        if (!text.isEmpty()) QCOMPARE(r.box.Err_Text(), text);
    }

    void table_destroyed_is_named()
    {
        // "Table destroyed" names the table from reply byte 6.
        Rig r;
        r.Reply_Raw(Reply_Frame(5, 0x02, Bytes({60, 0, 13})));
        const uint8_t w[4] = {13, 0, 1, 7};
        QVERIFY(!r.box.Exchange(2, w, 4));
        QCOMPARE(r.box.Err_Code, 8u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 2.  Разрушена таблица 13"));
        // Not after other errors, even when byte 4 happens to be 60.
        r.box.Err_Code = 10;
        QCOMPARE(r.box.Err_Text(), QString("Команда 2.  Устройство не отвечает"));
    }

    void second_attempt_succeeds()
    {
        const uint8_t d[3] = {0, 0, 1};
        Rig r;
        int n = 0;
        r.port.On_Write = [&](FakePort &p, const QByteArray &) {
            if (++n == 2) p.Queue(Reply_Frame(5, 0x81, Bytes({0, 0, 0, 1, 1})), 1000);
        };
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(n, 2);
        QCOMPARE(r.box.Err_Code, 0u);
    }

    void start_byte_and_stop_flag()
    {
        Rig r;
        r.box.Req_Buf[0] = 0;
        QVERIFY(!r.box.Transact(10));
        QCOMPARE(r.box.Err_Code, 1u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 0.  Неверно задан стартовый символ"));
        QVERIFY(r.port.Written.isEmpty());

        const uint8_t d[3] = {0, 0, 1};
        r.box.End_Prz = 1;
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 19u);
        QCOMPARE(r.box.End_Prz, uint8_t(0));
        QVERIFY(r.port.Written.isEmpty());
        QCOMPARE(r.box.Err_Text(), QString("Команда 0.  Обмен прерван по признаку завершения работы программы"));

        // Set while the reply is awaited: the attempt and the exchange end.
        int pumps = 0;
        r.box.Pump = [&] {
            if (++pumps == 10) r.box.End_Prz = 1;
        };
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 19u);
        QCOMPARE(r.port.Writes.size(), 1);
        QCOMPARE(r.box.End_Prz, uint8_t(0));
    }

    void write_failure()
    {
        Rig r;
        r.port.Fail_Write = true;
        r.box.Repeat = 1;
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 3u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 1.  Сбой при выполнении операции записи"));
        QCOMPARE(r.port.Clear_Errors, 1);
        QVERIFY(!r.port.Rts);   // the transmitter is not left keyed
    }

    void failed_reads_count_no_byte()
    {
        Rig r;
        r.port.Fail_Read = 3;
        r.Answer(Bytes({0, 0, 0, 1, 1}));
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(r.port.Clear_Errors, 3);
    }

    void address_search_adopts_replying_address()
    {
        Rig r;
        r.box.Adr = 0xFF;
        r.port.On_Write = [](FakePort &p, const QByteArray &) {
            p.Queue(Reply_Frame(0x17, 0x81, Bytes({0, 0, 0, 1, 0x49})), 1000);
        };
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(uint8_t(r.port.Written[1]), uint8_t(0xFF));
        QCOMPARE(r.box.Adr, uint8_t(0x17));

        // A damaged reply: its address byte is not adopted, the search stays open.
        Rig b;
        b.box.Adr = 0xFF;
        QByteArray bad = Reply_Frame(0x17, 0x81, Bytes({0, 0, 0, 1, 0x49}));
        bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 0x10);
        b.Reply_Raw(bad);
        QVERIFY(!b.box.Exchange(1, d, 0));
        QCOMPARE(b.box.Err_Code, 7u);
        QCOMPARE(b.box.Adr, uint8_t(0xFF));
        QCOMPARE(uint8_t(b.port.Writes.last()[1]), uint8_t(0xFF));
    }

    void table_3_address_write_accepts_new_address()
    {
        Rig r;
        r.port.On_Write = [](FakePort &p, const QByteArray &) {
            // A stray frame from address 8 is dropped byte by byte; the new address 9 answers.
            p.Queue(Bytes({0x33, 8}) + Reply_Frame(9, 0x82, Bytes({0, 3, 0, 1})), 1000);
        };
        const uint8_t w[4] = {3, 0, 1, 9};
        QVERIFY(r.box.Exchange(2, w, 4));
        QCOMPARE(uint8_t(r.box.Resp_Buf[1]), uint8_t(9));

        // Another write than table 3 field 0 does not accept a foreign address.
        Rig o;
        o.box.Repeat = 1;
        o.port.On_Write = [](FakePort &p, const QByteArray &) {
            p.Queue(Reply_Frame(9, 0x82, Bytes({0, 3, 1, 1})), 1000);
        };
        const uint8_t w2[4] = {3, 1, 1, 9};
        QVERIFY(!o.box.Exchange(2, w2, 4));
        QCOMPARE(o.box.Err_Code, 10u);
    }

    void nested_exchange_is_refused()
    {
        Rig r;
        r.Answer(Bytes({0, 0, 0, 1, 1}), 50000);
        bool nested_result = true;
        uint32_t nested_code = 0;
        bool tried = false;
        QByteArray req_before;
        r.box.Pump = [&] {
            if (tried || r.port.Writes.isEmpty()) return;
            tried = true;
            req_before = QByteArray(reinterpret_cast<const char *>(r.box.Req_Buf), 10);
            const uint8_t d[3] = {1, 0, 1};
            nested_result = r.box.Exchange(1, d, 0);
            nested_code = r.box.Err_Code;
            QCOMPARE(r.box.Err_Text(), QString("Команда 1.  Обмен с контроллером уже выполняется"));
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.box.Req_Buf), 10), req_before);
        };
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(r.box.Exchange(1, d, 0));
        QVERIFY(tried);
        QVERIFY(!nested_result);
        QCOMPARE(nested_code, 11u);
        QCOMPARE(r.box.Err_Code, 0u);
        QCOMPARE(r.port.Writes.size(), 1);
        QVERIFY(!r.box.In_Exchange());
    }

    void link_closed_while_waiting()
    {
        Rig r;
        r.box.Repeat = 1;
        r.box.Pump = [&] {
            if (!r.port.Writes.isEmpty()) r.box.Close_Link();
        };
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 10u);
        QVERIFY(!r.box.Port_Handle);
    }

    void ethernet_link()
    {
        Rig r;
        r.box.Port_Handle.reset();
        r.box.Conn_Prz = 2;
        r.box.Sock = r.port.Borrow();
        r.box.Preambles = 2;
        r.Answer(Bytes({0, 0, 0, 1, 1}));
        // A late reply of an earlier exchange is waiting on the socket: dropped before the send.
        r.port.Queue(Reply_Frame(5, 0x81, Bytes({0, 0, 0, 1, 0x77})));
        const uint8_t d[3] = {0, 0, 1};
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Resp_Buf[8], uint8_t(1));
        QCOMPARE(r.port.Writes.size(), 1);   // preambles and frame in one send
        QCOMPARE(r.port.Writes[0].size(), 12);
        QCOMPARE(r.port.Rts_Calls, 0);
        QCOMPARE(r.clk.Slept_Us, int64_t(500000));

        r.box.Repeat = 1;
        r.port.Fail_Read = 1;
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 21u);
        r.port.Fail_Write = true;
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 20u);
        QCOMPARE(r.box.Err_Text(), QString("Команда 1.  Ithernet. Не выполнена команда send (посылка запроса)"));
        r.box.Sock.reset();
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 20u);
    }

    void port_opened_and_released_per_exchange()
    {
        Rig r;
        r.box.Port_Handle.reset();
        r.box.Do_Close_Port = 1;
        int made = 0;
        r.box.Make_Serial_Port = [&](hgcbox &) {
            ++made;
            return r.port.Borrow();
        };
        r.Answer(Bytes({0, 0, 0, 1, 1}));
        const uint8_t d[3] = {0, 0, 1};
        const int64_t slept0 = r.clk.Slept_Us;
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(made, 1);
        QCOMPARE(r.port.Opens, 1);
        QCOMPARE(r.port.Closes, 1);
        QVERIFY(r.port.Dtr);
        QVERIFY(!r.box.Port_Handle);
        // DTR settle 100 ms, RTS 2 ms, 11 characters at 1 Mbaud, release 150 ms.
        QCOMPARE(r.clk.Slept_Us - slept0, int64_t(100000 + 2000 + 110 + 150000));

        // A busy port is retried until it is free.
        r.port.Fail_Opens = 5;
        QVERIFY(r.box.Exchange(1, d, 0));
        QCOMPARE(r.port.Opens, 1 + 6);

        // Still busy after Free_Port_Wait seconds: error 6 with the port number.
        r.box.COMPort = 4;
        r.box.Free_Port_Wait = 2;
        r.port.Fail_Opens = 1000000;
        const int64_t t0 = r.clk.Now_Us();
        const int writes = r.port.Writes.size();
        QVERIFY(!r.box.Exchange(1, d, 0));
        QCOMPARE(r.box.Err_Code, 6u);
        QVERIFY(r.clk.Now_Us() - t0 >= 2000000);
        QVERIFY(r.clk.Now_Us() - t0 < 2200000);
        QCOMPARE(r.port.Writes.size(), writes);
        // The port as it is opened: "COM4" on Windows, its device elsewhere.
        QCOMPARE(r.box.Err_Text(), QString("Команда 1.  Коммуникационный порт %1 недоступен").arg(Com_Port_Name(4)));
        QVERIFY(!r.box.In_Exchange());
        // A device without a COM number is named as the user set it.
        for (const auto &[dev, shown] : {std::pair{QString("com12"), Com_Port_Name(12)},
                                         {QString("/dev/ttyUSB9"), QString("/dev/ttyUSB9")}}) {
            r.box.Port_Name = dev;
            QVERIFY(!r.box.Exchange(1, d, 0));
            QCOMPARE(r.box.Err_Mes[6], QString("Коммуникационный порт %1 недоступен").arg(shown));
        }
        r.box.Port_Name.clear();

        // No factory: the port cannot be opened.
        hgcbox b(1);
        b.Clk = &r.clk;
        QVERIFY(!b.Open_Port());
        QCOMPARE(b.Err_Code, 6u);
    }

    void random_line_noise_never_breaks_the_receiver()
    {
        // Whatever comes down the line, the receiver stays inside its buffer and ends with
        // one of the reply errors, or with a reply whose CRC checks.
        QRandomGenerator rng(20240517);
        const uint8_t d[3] = {0, 0, 1};
        for (int round = 0; round < 300; ++round) {
            Rig r;
            r.box.Repeat = 1;
            r.box.WaitTime = 50;
            QByteArray noise;
            const int n = int(rng.bounded(700));
            for (int i = 0; i < n; ++i) {
                // Plenty of start bytes, addresses and short lengths among the noise.
                const uint32_t k = rng.bounded(8);
                noise.append(char(k == 0 ? 0x33 : k == 1 ? 5 : k == 2 ? uint8_t(rng.bounded(8)) : uint8_t(rng.bounded(256))));
            }
            if (rng.bounded(2)) noise += Reply_Frame(5, uint8_t(rng.bounded(2) ? 0x81 : 0x01), Bytes({4, 0, 0, 1, 9}));
            r.Reply_Raw(noise, int64_t(rng.bounded(12)) * 1000);
            const bool ok = r.box.Exchange(1, d, 0);
            const uint32_t e = r.box.Err_Code;
            QVERIFY2(ok == (e == 0) && (e == 0 || e == 5 || e == 7 || e == 8 || e == 10), qPrintable(QString::number(e)));
            if (ok || e == 8) {
                QCOMPARE(Crc16(r.box.Resp_Buf, r.box.Resp_Buf[2]), uint16_t(0));
                QVERIFY(r.box.Resp_Buf[2] >= 6);
            }
            QVERIFY(!r.box.Err_Text().isEmpty());
        }
    }

};

QTEST_GUILESS_MAIN(Tst_Hgcbox)
#include "tst_hgcbox.moc"
