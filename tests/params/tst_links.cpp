// The link tables' logic: the MAC text, when the upper-level rate may be edited, and what the
// program's own link takes after table 3 was written.
#include "core/Hgcbox.h"
#include "core/Rd_wr_ini.h"
#include "params/Links.h"

#include <QtTest>
#include <cstring>

class Tst_Links : public QObject {
    Q_OBJECT

    static Conn_Settings_Rec Settings(uint8_t conn_prz)
    {
        Conn_Settings_Rec s;
        std::memset(&s, 0, sizeof s);
        s.Curr_Par.Conn_Prz = conn_prz;
        s.Dir_Conn_Par.Adr = 1;
        s.Dir_Conn_Par.Rate = 9600;
        s.Fon_Conn_Par.Link.Adr = 1;
        s.Fon_Conn_Par.Link.Rate = 19200;
        s.Ethernet_Conn_Par.Link.Adr = 1;
        return s;
    }

private slots:
    void mac_text()
    {
        const uint8_t b[6] = {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
        QCOMPARE(Mac_Text(b), QString("0A:1B:2C:3D:4E:5F"));
        const uint8_t z[6] = {0, 0xFF, 1, 0x10, 0xab, 0};
        QCOMPARE(Mac_Text(z), QString("00:FF:01:10:AB:00"));
        QCOMPARE(Mac_Text(nullptr), QString());
    }

    void upper_rate_enabled()
    {
        QVERIFY(Upper_Rate_Enabled(0, 2, 0));   // a configuration: always
        QVERIFY(Upper_Rate_Enabled(1, 0, 1));
        QVERIFY(!Upper_Rate_Enabled(1, 0, 0));
        QVERIFY(!Upper_Rate_Enabled(1, 1, 1));
        QVERIFY(!Upper_Rate_Enabled(1, 2, 1));
    }

    void link_takes_address_and_rate()
    {
        hgcbox box(1);
        box.Rate = 9600;
        // Direct line: address and rate.
        Conn_Settings_Rec s = Settings(0);
        box.Conn_Prz = 0;
        Upper_Link_Take(box, s, 12, 19);
        QCOMPARE(box.Adr, uint8_t(12));
        QCOMPARE(box.Rate, 57600u);
        QCOMPARE(s.Dir_Conn_Par.Adr, uint8_t(12));
        QCOMPARE(s.Dir_Conn_Par.Rate, 57600u);
        // A rate index outside the table leaves the rate alone.
        Upper_Link_Take(box, s, 13, 22);
        QCOMPARE(box.Adr, uint8_t(13));
        QCOMPARE(box.Rate, 57600u);

        // Modem: the address only; the line to the modem keeps its rate.
        s = Settings(1);
        box.Conn_Prz = 1;
        box.Rate = 19200;
        Upper_Link_Take(box, s, 5, 0);
        QCOMPARE(box.Adr, uint8_t(5));
        QCOMPARE(box.Rate, 19200u);
        QCOMPARE(s.Fon_Conn_Par.Link.Adr, uint8_t(5));
        QCOMPARE(s.Fon_Conn_Par.Link.Rate, 19200u);
        QCOMPARE(s.Dir_Conn_Par.Adr, uint8_t(1));

        // Ethernet.
        s = Settings(2);
        box.Conn_Prz = 2;
        Upper_Link_Take(box, s, 254, 3);
        QCOMPARE(s.Ethernet_Conn_Par.Link.Adr, uint8_t(254));
        QCOMPARE(box.Rate, 19200u);
        QCOMPARE(s.Dir_Conn_Par.Rate, 9600u);

        // An address the table cannot hold is not taken.
        Upper_Link_Take(box, s, 0, 3);
        Upper_Link_Take(box, s, 255, 3);
        QCOMPARE(box.Adr, uint8_t(254));
    }
};

QTEST_GUILESS_MAIN(Tst_Links)
#include "tst_links.moc"
