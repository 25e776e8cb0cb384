// The table-state block and its write choices, the values of the current-state and
// momentary-data forms, and the non-volatile data reset against the simulator.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "params/Tabinfo.h"

#include "FakePort.h"
#include "Sim.h"
#include "SimState.h"

#include <QtTest>
#include <cstring>

namespace {
QByteArray F32(float v)
{
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &v, 4);
    return b;
}
QByteArray Bits(uint32_t u)
{
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &u, 4);
    return b;
}
const uint8_t *U8(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }
} // namespace

class Tst_State_Logic : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Init_Tables(); }

    void block_from_directory_and_states()
    {
        uint8_t states[TAB_STATE_TABLES] = {};
        states[5] = 1;
        states[7] = 9;   // not a configuration table: kept, never listed
        states[44] = 2;
        Tab_State_Block b;
        std::memset(&b, 0xAA, sizeof b);
        Fill_Tab_State_Block(b, states);
        const QList<int> rows = Tab_State_Rows(b);
        QVERIFY(!rows.contains(7) && !rows.contains(0) && !rows.contains(16));
        QCOMPARE(int(b.State[7]), 9);
        QVERIFY(Tab_Destroyed(b, 5) && Tab_Destroyed(b, 44) && !Tab_Destroyed(b, 6));
        QVERIFY(!Tab_Destroyed(b, -1) && !Tab_Destroyed(b, 45));
        for (int t = 0; t < TAB_COUNT; ++t) QCOMPARE(int(b.Write_Sel[t]), 0);
    }

    void clock_and_users_written_only_when_destroyed()
    {
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[2] = 1;
        b.Write_Sel[4] = 1;
        b.Write_Sel[6] = 1;
        Adjust_Write_Sel(b);
        QCOMPARE(int(b.Write_Sel[2]), 0);
        QCOMPARE(int(b.Write_Sel[4]), 0);
        QCOMPARE(int(b.Write_Sel[6]), 1);

        b.State[2] = 1;
        b.State[4] = 1;
        b.Write_Sel[2] = 1;
        b.Write_Sel[4] = 0;   // not chosen, but destroyed: written anyway
        Adjust_Write_Sel(b);
        QCOMPARE(int(b.Write_Sel[2]), 1);
        QCOMPARE(int(b.Write_Sel[4]), 1);

        Tab_State_Block all;
        Fill_Tab_State_Block(all, nullptr);
        Select_All_Tables(all);
        for (int t = 0; t < TAB_COUNT; ++t)
            QCOMPARE(int(all.Write_Sel[t]), (Tab_Dir[t].cfg_flag && t != 2 && t != 4) ? 1 : 0);
    }

    void situation_and_momentary_values()
    {
        const uint8_t d[6] = {24, 5, 1, 8, 7, 9};
        QCOMPARE(Sit_Date_Text(d), QString("01.05.24  08:07:09"));
        QCOMPARE(Sit_Error_Text(255).text, QString("Код ошибки 255"));
        uint8_t t16[18];
        for (int i = 0; i < 18; ++i) t16[i] = uint8_t(i);
        Swap_Sit_Words(t16);
        const uint8_t want[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 12, 14, 15, 17, 16};
        QVERIFY(std::memcmp(t16, want, 18) == 0);
        const uint8_t t0_swap[18] = {}, t0_keep[18] = {0, 'I', 3, 16, 0, 0, 0, 0, 0, 0, 1};
        QVERIFY(Sit_Words_Swapped(t0_swap));
        QVERIFY(!Sit_Words_Swapped(t0_keep));
        QVERIFY(!Sit_Words_Swapped(nullptr));

        const uint8_t t[8] = {24, 5, 17, 99, 11, 57, 3, 99};
        QCOMPARE(Poll_Time_Text(t), QString("17.05.24 11:57:03"));
        QCOMPARE(Zone_Text(255).text, QString("?"));
        QCOMPARE(Chrom_Value_Text(U8(F32(92.35124f)), 4), QString("92.3512"));
        QCOMPARE(Chrom_Value_Text(U8(F32(0.5f)), 200), QString("0.5000000"));   // at most 7 decimals
        QCOMPARE(Chrom_Value_Text(U8(Bits(0x7FC00000)), 4), QString("?"));
        QCOMPARE(Chrom_Value_Text(U8(Bits(0xFF800000)), 4), QString("?"));
        QCOMPARE(Wmt_Value_Text(U8(F32(-18.4f))), QString("  -18.40"));
        QCOMPARE(Wmt_Value_Text(U8(Bits(0x7F800001))), QString("   ?"));
        QCOMPARE(Wmt_Row_Captions(2).size(), 4);
    }

    void reset_sends_function_25_with_the_login_pair_and_follows_address_1_data()
    {
        for (int prz = 0; prz <= 2; ++prz) {
            FakeClock clk;
            FakePort port(&clk);
            Sim_Core sim(7);
            sim.Set_Password("secret");
            sim.Set_Code("U1");
            Sim_State::Install(sim);
            hgcbox box(7);
            box.Clk = &clk;
            box.Do_Close_Port = 0;
            box.Conn_Prz = uint8_t(prz);
            box.Rate = 19200;
            box.Pause_Rts_Us = 0;
            box.Pause_Tcp_Ms = 0;
            if (prz == 2) box.Sock = port.Borrow();
            else box.Port_Handle = port.Borrow();
            port.On_Write = [&](FakePort &p, const QByteArray &w) {
                for (const Sim_Chunk &c : sim.Receive(Find_Request(w), clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
            };
            Exch_Box = &box;
            std::memcpy(box.Write_Pass, "secret      ", 12);
            std::memcpy(box.User_Code, "U1  ", 4);

            std::memset(&Conn_Settings, 0, sizeof Conn_Settings);
            Conn_Settings.Curr_Par.Conn_Prz = uint8_t(prz);
            Conn_Settings.Dir_Conn_Par = {1, 7, 19200, 0, 2, 10, 2};
            Conn_Settings.Fon_Conn_Par.Link = {2, 7, 19200, 0, 2, 10, 2};
            Conn_Settings.Ethernet_Conn_Par.Link = {0, 7, 19200, 0, 2, 10, 2};

            // A wrong password: refused, nothing follows.
            std::memcpy(box.Write_Pass, "wrong       ", 12);
            QVERIFY(!Reset_NV_Data());
            QCOMPARE(box.Err_Code, uint32_t(ERR_CONTR));
            QVERIFY(box.Err_Text().contains("Неправильный пароль на запись"));
            QCOMPARE(int(box.Adr), 7);
            QCOMPARE(box.Rate, uint32_t(19200));
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 7);
            QCOMPARE(int(sim.Field(7, 5)[0]), 0);

            std::memcpy(box.Write_Pass, "secret      ", 12);
            sim.Clear_Log();
            QVERIFY(Reset_NV_Data());
            const QList<Sim_Request_Log> log = sim.Log();
            QCOMPARE(log.size(), 1);
            QCOMPARE(int(log[0].func), 25);
            QCOMPARE(log[0].raw.size(), 22);
            QCOMPARE(log[0].raw.mid(4, 12), QByteArray("secret      "));
            QCOMPARE(log[0].raw.mid(16, 4), QByteArray("U1  "));

            QCOMPARE(int(box.Adr), 1);
            QCOMPARE(box.Rate, uint32_t(9600));
            const Link_Par *lp[3] = {&Conn_Settings.Dir_Conn_Par, &Conn_Settings.Fon_Conn_Par.Link,
                                     &Conn_Settings.Ethernet_Conn_Par.Link};
            for (int k = 0; k < 3; ++k) {
                QCOMPARE(int(lp[k]->Adr), k == prz ? 1 : 7);
                QCOMPARE(lp[k]->Rate, uint32_t(k == prz ? 9600 : 19200));
            }
            Exch_Box = nullptr;
        }
    }

};

QTEST_GUILESS_MAIN(Tst_State_Logic)
#include "tst_state_logic.moc"
