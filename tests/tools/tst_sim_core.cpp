// The simulator's core: what it answers, byte for byte, and how each fault spoils a reply.
#include "Sim.h"

#include "core/Codepage.h"
#include "core/Crc16.h"
#include "core/Tables.h"
#include "testsupport.h"

#include <QThread>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint8_t ADR = 5;

QByteArray Read_Req(uint8_t adr, int t, int first, int count)
{
    return Sim_Core::Make_Request(adr, 1, Bytes({0, t, first, count}));
}

QByteArray Write_Req(uint8_t adr, const QByteArray &pass, const QByteArray &code, int t, int first, int count,
                     const QByteArray &data)
{
    return Sim_Core::Make_Request(adr, 2, Sim_Core::Pad(pass, 12) + Sim_Core::Pad(code, 4) + Bytes({0, t, first, count}) + data);
}

// Everything the core sends for these bytes, in order, whatever the timing.
QByteArray Feed(Sim_Core &c, const QByteArray &in, int64_t now = 1000)
{
    QByteArray out;
    for (const Sim_Chunk &ch : c.Receive(in, now)) out += ch.bytes;
    return out;
}

uint16_t Crc_Of(const QByteArray &b) { return Crc16(reinterpret_cast<const uint8_t *>(b.constData()), uint16_t(b.size())); }

QByteArray Reply(uint8_t adr, int func_byte, const QByteArray &payload)
{
    QByteArray f = Bytes({0x33, adr, int(payload.size()) + 6, func_byte}) + payload;
    const uint16_t c = Crc_Of(f);
    return f + Bytes({c & 0xFF, c >> 8});
}

} // namespace

class Tst_Sim_Core : public QObject {
    Q_OBJECT
private slots:
    void parser_skips_preambles_noise_and_false_starts()
    {
        Sim_Core c(ADR);
        const QByteArray req = Read_Req(ADR, 3, 0, 4);
        const QByteArray expected = Reply(ADR, 0x81, Bytes({0, 3, 0, 4, ADR, 11, 0, 0}));

        QCOMPARE(Feed(c, QByteArray(5, char(0xFF)) + req), expected);
        // Noise with a false start whose length byte claims more than ever comes.
        QCOMPARE(Feed(c, Bytes({0x00, 0x33, 0xCC, 0x01, 0xF0, 0x12}) + req), expected);
        // A false start with a complete but wrong frame before the real one.
        QCOMPARE(Feed(c, Bytes({0xCC, ADR, 0x06, 0x01, 0x00, 0x00}) + req), expected);
        // Byte by byte: the reply comes with the last byte.
        QByteArray out;
        for (int i = 0; i < req.size(); ++i) {
            out += Feed(c, req.mid(i, 1));
            if (i + 1 < req.size()) QVERIFY(out.isEmpty());
        }
        QCOMPARE(out, expected);
        // Two requests in one block: two replies.
        QCOMPARE(Feed(c, req + req), expected + expected);
        // A length byte below 6 never makes a frame.
        QByteArray short_len = req;
        short_len[2] = 5;
        QVERIFY(Feed(c, short_len).isEmpty());
        QCOMPARE(c.Request_Count(), 6);
    }

    void write_checks_password_code_and_fields()
    {
        Sim_Core c(ADR);
        c.Set_Password("secret");
        c.Set_Code("12");
        const QByteArray img = c.Image();
        const auto code_of = [](const QByteArray &r) { return r.size() >= 5 ? int(uint8_t(r.at(4))) : -1; };

        // Wrong password, wrong code: refused, nothing written.
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secreT", "12", 6, 6, 1, Bytes({7})))), 3);
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "13", 6, 6, 1, Bytes({7})))), 34);
        QCOMPARE(c.Image().mid(Tab_Offset(6), 12), img.mid(Tab_Offset(6), 12));
        // Range and table checks.
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "12", 6, 11, 2, Bytes({0, 0})))), 14);
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "12", 6, 0, 0, {}))), 14);
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "12", 31, 0, 1, Bytes({0})))), 9);
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "12", 0, 0, 1, Bytes({1})))), 12);   // identification
        QCOMPARE(code_of(Feed(c, Write_Req(ADR, "secret", "12", 6, 6, 2, Bytes({7})))), 2);    // one byte short

        // Accepted: echo of table, first, count; the image holds the bytes.
        const QByteArray r = Feed(c, Write_Req(ADR, "secret", "12", 44, 1, 2, Bytes({1, 2, 3, 4, 5, 6, 7, 8})));
        QCOMPARE(r, Reply(ADR, 0x82, Bytes({0, 44, 1, 2})));
        QCOMPARE(c.Field(44, 1), Bytes({1, 2, 3, 4}));
        QCOMPARE(c.Field(44, 2), Bytes({5, 6, 7, 8}));
        const auto log = c.Log();
        QCOMPARE(log.last().func, uint8_t(2));
        QCOMPARE(log.last().table, 44);
        QCOMPARE(log.last().first, 1);
        QCOMPARE(log.last().count, 2);
        QCOMPARE(log[0].error, 3);
    }

    void fault_bytes()
    {
        Sim_Core c(ADR);
        const QByteArray req = Read_Req(ADR, 3, 0, 4);
        const QByteArray good = Reply(ADR, 0x81, Bytes({0, 3, 0, 4, ADR, 11, 0, 0}));
        const auto once = [&](Sim_Fault f) {
            c.Add_Fault(f);
            return c.Receive(req, 1000);
        };
        using K = Sim_Fault_Kind;

        QVERIFY(once(Sim_Fault::Make(K::No_Reply)).isEmpty());

        auto ch = once(Sim_Fault::Make(K::First_Byte_Late, 300));
        QCOMPARE(ch.size(), 1);
        QCOMPARE(ch[0].at_ms, int64_t(1300));
        QCOMPARE(ch[0].bytes, good);

        ch = once(Sim_Fault::Make(K::Late_Reply, 5000));
        QCOMPARE(ch.size(), 1);
        QCOMPARE(ch[0].at_ms, int64_t(6000));
        QCOMPARE(ch[0].bytes, good);

        ch = once(Sim_Fault::Make(K::Byte_Gap, 20));
        QCOMPARE(ch.size(), good.size());
        for (int i = 0; i < ch.size(); ++i) {
            QCOMPARE(ch[i].at_ms, int64_t(1000 + 20 * i));
            QCOMPARE(ch[i].bytes, good.mid(i, 1));
        }

        ch = once(Sim_Fault::Make(K::Bad_Crc));
        QCOMPARE(ch[0].bytes.left(good.size() - 1), good.left(good.size() - 1));
        QVERIFY(!Sim_Core::Crc_Ok(ch[0].bytes));

        ch = once(Sim_Fault::Make(K::Wrong_Address, -1));
        QCOMPARE(int(uint8_t(ch[0].bytes.at(1))), ADR + 1);
        QCOMPARE(ch[0].bytes.mid(2, good.size() - 4), good.mid(2, good.size() - 4));
        QVERIFY(Sim_Core::Crc_Ok(ch[0].bytes));

        ch = once(Sim_Fault::Make(K::Noise_Before));
        QVERIFY(ch[0].bytes.endsWith(good));
        const QByteArray noise = ch[0].bytes.left(ch[0].bytes.size() - good.size());
        QVERIFY(!noise.isEmpty());
        const int fs = int(noise.indexOf(char(0x33)));
        QVERIFY(fs >= 0 && fs + 1 < noise.size());
        QVERIFY(uint8_t(noise.at(fs + 1)) != ADR);   // the false start has another address
        ch = once(Sim_Fault::Make(K::Noise_Before).Noise(Bytes({1, 2, 3})));
        QCOMPARE(ch[0].bytes, Bytes({1, 2, 3}) + good);

        ch = once(Sim_Fault::Make(K::Short_Length, 4));
        QCOMPARE(int(ch[0].bytes.at(2)), 4);
        QCOMPARE(ch[0].bytes.size(), good.size());

        ch = once(Sim_Fault::Make(K::Truncated, 4));
        QCOMPARE(ch.size(), 1);
        QCOMPARE(ch[0].bytes, good.left(4));
        QVERIFY(!ch[0].close_after);

        ch = once(Sim_Fault::Make(K::Close_Mid_Reply));
        QCOMPARE(ch[0].bytes, good.left(good.size() / 2));
        QVERIFY(ch.last().close_after);

        ch = once(Sim_Fault::Make(K::Contr_Error, 60).Table(5));
        QCOMPARE(ch[0].bytes, Reply(ADR, 0x01, Bytes({60, 0, 5})));

        // Faults combine: noise, then a late first byte, then gaps.
        c.Add_Fault(Sim_Fault::Make(K::Noise_Before).Noise(Bytes({9})));
        c.Add_Fault(Sim_Fault::Make(K::First_Byte_Late, 100));
        c.Add_Fault(Sim_Fault::Make(K::Byte_Gap, 10));
        ch = c.Receive(req, 1000);
        QCOMPARE(ch.size(), good.size() + 1);
        QCOMPARE(ch[0].bytes, Bytes({9}));
        QCOMPARE(ch[0].at_ms, int64_t(1100));
        QCOMPARE(ch[1].at_ms, int64_t(1110));

        QCOMPARE(c.Pending_Faults(), 0);
        QCOMPARE(c.Receive(req, 1000)[0].bytes, good);
    }

};

QTEST_GUILESS_MAIN(Tst_Sim_Core)
#include "tst_sim_core.moc"
