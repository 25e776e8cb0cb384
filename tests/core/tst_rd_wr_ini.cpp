#include "core/Abonents.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Inifile.h"
#include "core/Rd_wr_ini.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Files as the Windows program leaves them: CRLF lines, texts in code page 1251.
QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray b;
    for (const char *l : lines) {
        b += l;
        b += "\r\n";
    }
    return b;
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray get(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

int count_of(const QByteArray &hay, const QByteArray &needle)
{
    int n = 0;
    for (qsizetype p = hay.indexOf(needle); p >= 0; p = hay.indexOf(needle, p + 1)) ++n;
    return n;
}

// "Станция" and "Модем" in code page 1251.
const char STATION_1251[] = "\xD1\xF2\xE0\xED\xF6\xE8\xFF";
const char MODEM_1251[] = "\xCC\xEE\xE4\xE5\xEC";

QByteArray rd_arh_bytes(uint32_t period, uint32_t index, double start, double end, uint8_t fill)
{
    QByteArray b(RD_ARH_SIZE, char(fill));
    qToLittleEndian<uint32_t>(period, b.data());
    qToLittleEndian<uint32_t>(index, b.data() + 4);
    uint64_t bits;
    std::memcpy(&bits, &start, 8);
    qToLittleEndian<uint64_t>(bits, b.data() + 8);
    std::memcpy(&bits, &end, 8);
    qToLittleEndian<uint64_t>(bits, b.data() + 16);
    return b;
}

} // namespace

class Tst_Rd_Wr_Ini : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

    void fresh()
    {
        QDir(Tmp.path() + "/INI").removeRecursively();
        QVERIFY(QDir().mkpath(Tmp.path() + "/INI"));
        Set_Work_Dir(Tmp.path());
        Set_Ini_Paths();
        std::memset(&Conn_Settings, 0, sizeof Conn_Settings);
        std::memset(&Conn_Settings_Shadow, 0, sizeof Conn_Settings_Shadow);
    }

    // Start-up order without the rd_arh record and the objects.
    void load(int sw = 1920, int sh = 1080)
    {
        Read_Ini(Ini_Path, sw, sh);
        Read_Fon_Abonents(Fon_Path);
        Sort_Fon_Abonents(&Conn_Settings.Fon_Conn_Par.Fon_Abonents);
        Read_Ethr_Abonents(Ethr_Path);
        Sort_Ethr_Abonents(&Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents);
        Take_Settings_Shadow();
    }

private slots:
    void windows_files_round_trip_with_cyrillic()
    {
        fresh();
        put(Ini_Path, crlf({"[CURR_PAR]", "Conn_Prz=1", "Free_Port_Wait=3", "Do_Close_Port=1", "Form_Width=900",
                            "Form_Height=600", "Form_Left=10", "Form_Top=20", "[DIR_CONN_PAR]", "COMPort=3", "Adr=7",
                            "Rate=115200", "Preambles=0", "Repeat=3", "TimeOut=250", "WaitTime=10",
                            "[FON_CONN_PAR]", "COMPort=4", "Adr=9", "Rate=9600", "Preambles=2", "Repeat=2",
                            "TimeOut=500", "WaitTime=30", "Default_Command=1",
                            (QByteArray("Command=AT&F ") + MODEM_1251).constData(), "ConnectWaitTime=90",
                            "AutoRepeat=1", "Conn_Repeat=4", "[ETHERNET_CONN_PAR]", "Adr=11", "Preambles=1",
                            "Repeat=5", "TimeOut=1000", "WaitTime=20", "ConnectWaitTime=30", "Conn_Repeat=2"}));
        put(Fon_Path, crlf({"[FON_CONN_PAR]", "users_num=1", "user_index=0", "sort_prz=0", "[FON_ABONENT_1]",
                            (QByteArray("user_name=") + STATION_1251).constData(), "contr_adr=12", "adr_modbus=3",
                            "phone_code=8-495-123"}));
        load();
        const Curr_Par_Rec &c = Conn_Settings.Curr_Par;
        QCOMPARE(int(c.Conn_Prz), 1);
        QCOMPARE(uint32_t(c.Free_Port_Wait), 3u);
        QCOMPARE(int(c.Do_Close_Port), 1);
        QCOMPARE(int32_t(c.Form_Left), 10);
        QCOMPARE(uint32_t(Conn_Settings.Dir_Conn_Par.Rate), 115200u);
        QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Repeat), 3);
        const Fon_Conn_Par_Rec &f = Conn_Settings.Fon_Conn_Par;
        QCOMPARE(QByteArray(f.Command), QByteArray("AT&F ") + MODEM_1251);
        QCOMPARE(int(f.Default_Command), 1);
        QCOMPARE(uint32_t(f.Conn_Repeat), 4u);
        QCOMPARE(int(Conn_Settings.Ethernet_Conn_Par.Link.Adr), 11);
        QCOMPARE(uint32_t(Conn_Settings.Ethernet_Conn_Par.Link.TimeOut), 1000u);
        const Fon_Abonent &a = f.Fon_Abonents.rec[0];
        QCOMPARE(QByteArray(a.user_name), QByteArray(STATION_1251));
        QCOMPARE(Abonent_Text(a.user_name, ABONENT_NAME_LEN), QString::fromUtf8("Станция"));
        QCOMPARE(int(a.contr_adr), 12);
        QCOMPARE(int(a.adr_modbus), 3);

        // Everything written back and read again gives the same block, 1251 bytes intact.
        const QByteArray fon_before = get(Fon_Path);
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[0].contr_adr = 13;
        Conn_Settings.Fon_Conn_Par.Link.Adr = 10;
        QVERIFY(Write_Ini(Ini_Path));
        QVERIFY(Write_Fon_Abonents(Fon_Path));
        QVERIFY(get(Ini_Path).contains(QByteArray("Command=AT&F ") + MODEM_1251 + "\r\n"));
        QVERIFY(get(Fon_Path).contains(QByteArray("user_name=") + STATION_1251 + "\r\n"));
        QVERIFY(get(Fon_Path) != fon_before);
        const Conn_Settings_Rec kept = Conn_Settings;
        std::memset(&Conn_Settings, 0, sizeof Conn_Settings);
        load();
        QVERIFY(std::memcmp(&kept, &Conn_Settings, sizeof kept) == 0);
    }

    void only_changed_sections_are_rewritten()
    {
        fresh();
        // Spacing, letter case, a comment and a section of someone else's.
        const QByteArray original =
            crlf({"; settings", "[curr_par]", "conn_prz = 2", "Form_Width=800", "", "[DIR_CONN_PAR]", "COMPort=2",
                  "Adr=5", "Rate=38400", "Preambles=5", "Repeat=1", "TimeOut=100", "WaitTime=2", "",
                  "[OTHER]", "Key=\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5", "[FON_CONN_PAR]", "WaitTime = 8",
                  "Command=ATZ"});
        put(Ini_Path, original);
        load();
        QCOMPARE(int(Conn_Settings.Curr_Par.Conn_Prz), 2);

        Conn_Settings.Dir_Conn_Par.Rate = 9600;
        QVERIFY(Write_Ini(Ini_Path));
        QByteArray expected = original;
        expected.replace("Rate=38400", "Rate=9600");
        QCOMPARE(get(Ini_Path), expected);

        // Changed and changed back: nothing is written.
        QFile::remove(Ini_Path);
        Conn_Settings.Dir_Conn_Par.Rate = 4800;
        Conn_Settings.Dir_Conn_Par.Rate = 9600;
        QVERIFY(Write_Ini(Ini_Path));
        QVERIFY(!QFile::exists(Ini_Path));

        // A new key lands at the end of its section, before the blank line.
        put(Ini_Path, original);
        load();
        Conn_Settings.Curr_Par.Do_Close_Port = 1;
        QVERIFY(Write_Ini(Ini_Path));
        const QByteArray curr = get(Ini_Path);
        QVERIFY(curr.startsWith(crlf({"; settings", "[curr_par]", "conn_prz = 2", "Form_Width=800",
                                      "Free_Port_Wait=1", "Do_Close_Port=1", "Form_Height=680"})));
        QVERIFY(curr.endsWith(original.mid(original.indexOf("\r\n[DIR_CONN_PAR]") + 2)));
    }

    // Out-of-range values are taken as they are, one-byte fields keeping the low byte; only
    // values the program cannot work with are replaced.
    void out_of_range_values_taken_as_they_are()
    {
        fresh();
        QByteArray cmd = "Command=";
        cmd += QByteArray(300, 'A');
        put(Ini_Path, crlf({"[CURR_PAR]", "Conn_Prz=7", "Free_Port_Wait=0", "Do_Close_Port=5",
                            "Form_Width=99999999", "Form_Height=-3", "[DIR_CONN_PAR]", "COMPort=0", "Adr=0",
                            "Rate=0", "Preambles=300", "Repeat=0", "TimeOut=-5", "WaitTime=121",
                            "[FON_CONN_PAR]", "COMPort=300", "Adr=300", "Rate=9601", "Repeat=77", "TimeOut=99999",
                            "WaitTime=0", cmd.constData(), "ConnectWaitTime=0x7FFFFFFF", "Conn_Repeat=0",
                            "[ETHERNET_CONN_PAR]", "Adr=$100", "Preambles=$10", "Repeat=6", "TimeOut=54",
                            "ConnectWaitTime=0", "Conn_Repeat=11"}));
        load(0, 0);
        const Curr_Par_Rec &c = Conn_Settings.Curr_Par;
        QCOMPARE(int(c.Conn_Prz), 7);   // no link type chosen
        QCOMPARE(uint32_t(c.Free_Port_Wait), 0u);
        QCOMPARE(int(c.Do_Close_Port), 1);
        QCOMPARE(int32_t(c.Form_Width), 16384);
        QCOMPARE(int32_t(c.Form_Height), 100);
        const Link_Par &d = Conn_Settings.Dir_Conn_Par;
        QCOMPARE(int(d.COMPort), 0);
        QCOMPARE(int(d.Adr), 1);
        QCOMPARE(uint32_t(d.Rate), 38400u);
        QCOMPARE(int(d.Preambles), 44);
        QCOMPARE(int(d.Repeat), 1);
        QCOMPARE(uint32_t(d.TimeOut), uint32_t(-5));
        QCOMPARE(uint32_t(d.WaitTime), 121u);
        const Fon_Conn_Par_Rec &f = Conn_Settings.Fon_Conn_Par;
        QCOMPARE(int(f.Link.COMPort), 44);
        QCOMPARE(int(f.Link.Adr), 44);
        QCOMPARE(uint32_t(f.Link.Rate), 9601u);
        QCOMPARE(int(f.Link.Repeat), 77);
        QCOMPARE(uint32_t(f.Link.TimeOut), 99999u);
        QCOMPARE(uint32_t(f.Link.WaitTime), 0u);
        QCOMPARE(int(qstrlen(f.Command)), 199);
        QCOMPARE(uint32_t(f.ConnectWaitTime), 0x7FFFFFFFu);
        QCOMPARE(uint32_t(f.Conn_Repeat), 0u);
        const Ethernet_Conn_Par_Rec &e = Conn_Settings.Ethernet_Conn_Par;
        QCOMPARE(int(e.Link.Adr), 1);
        QCOMPARE(int(e.Link.Preambles), 16);
        QCOMPARE(int(e.Link.Repeat), 6);
        QCOMPARE(uint32_t(e.Link.TimeOut), 54u);
        QCOMPARE(uint32_t(e.ConnectWaitTime), 0u);
        QCOMPARE(uint32_t(e.Conn_Repeat), 11u);
    }

    void subscriber_headers_limited()
    {
        fresh();
        put(Fon_Path, crlf({"[FON_CONN_PAR]", "users_num=250", "user_index=250", "sort_prz=9"}));
        put(Ethr_Path, crlf({"[ETHERNET_CONN_PAR]", "users_num=3", "user_index=7", "[ETHERNET_ABONENT_1]",
                             "contr_adr=0", "port=70000", "[ETHERNET_ABONENT_2]", "contr_adr=300"}));
        load();
        const Abonent_Hdr &fh = Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr;
        QCOMPARE(int(fh.users_num), 200);
        QCOMPARE(int(fh.user_index), 199);
        QCOMPARE(int(fh.sort_prz), 9);
        const Ethr_Abonents_List &el = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        QCOMPARE(int(el.hdr.users_num), 3);
        QCOMPARE(int(el.hdr.user_index), 2);
        QCOMPARE(int(el.rec[0].contr_adr), 1);   // the address list has no 0
        QCOMPARE(uint32_t(el.rec[0].port), 70000u);
        QCOMPARE(int(el.rec[1].contr_adr), 44);

        put(Fon_Path, crlf({"[FON_CONN_PAR]", "users_num=0", "user_index=5"}));
        Read_Fon_Abonents(Fon_Path);
        QCOMPARE(int(fh.users_num), 0);
        QCOMPARE(int(fh.user_index), 0);
    }

    void changed_selection_is_saved()
    {
        fresh();
        put(Fon_Path, crlf({"[FON_CONN_PAR]", "users_num=2", "user_index=0", "sort_prz=0", "[FON_ABONENT_1]",
                            "user_name=A", "phone_code=1", "[FON_ABONENT_2]", "user_name=B", "phone_code=2"}));
        load();
        // The user picks another subscriber and connects: "qzt.ini" is written first, and
        // the list must still count as changed for its own file.
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr.user_index = 1;
        Conn_Settings.Fon_Conn_Par.Link.Adr = 1;
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        QVERIFY(Write_Ini(Ini_Path));
        QVERIFY(!get(Ini_Path).contains("user_index"));
        QVERIFY(!get(Ini_Path).contains("[FON_CONN_PAR]"));   // its keys did not change
        QVERIFY(Write_Fon_Abonents(Fon_Path));
        QVERIFY(get(Fon_Path).contains("user_index=1\r\n"));

        // Save at exit takes the selection too.
        Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr.user_index = 0;
        Save_Settings_Files();
        QVERIFY(get(Fon_Path).contains("user_index=0\r\n"));
    }

    void telephone_file_holds_200_sections_ethernet_n()
    {
        fresh();
        load();
        Fon_Abonents_List &fl = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
        Ethr_Abonents_List &el = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        fl.hdr.users_num = 3;
        el.hdr.users_num = 3;
        for (int k = 0; k < 3; ++k) {
            Set_Abonent_Text(fl.rec[k].user_name, ABONENT_NAME_LEN, QString("T%1").arg(k));
            fl.rec[k].contr_adr = uint8_t(k + 1);
            Set_Abonent_Text(el.rec[k].user_name, ABONENT_NAME_LEN, QString("E%1").arg(k));
            el.rec[k].contr_adr = uint8_t(k + 1);
            el.rec[k].ip_adr = 0x7F000001;
            el.rec[k].port = 502;
        }
        QVERIFY(Write_Fon_Abonents(Fon_Path));
        QVERIFY(Write_Ethr_Abonents(Ethr_Path));
        QCOMPARE(count_of(get(Fon_Path), "[FON_ABONENT_"), 200);
        QVERIFY(get(Fon_Path).contains("[FON_ABONENT_200]\r\n"));
        QCOMPARE(count_of(get(Ethr_Path), "[ETHERNET_ABONENT_"), 3);

        Delete_Ethr_Abonent(&el);
        Delete_Ethr_Abonent(&el);
        QVERIFY(Write_Ethr_Abonents(Ethr_Path));
        QCOMPARE(count_of(get(Ethr_Path), "[ETHERNET_ABONENT_"), 1);
        QVERIFY(get(Ethr_Path).contains("users_num=1\r\n"));
    }

    void negative_ip_addresses_round_trip()
    {
        fresh();
        // 192.168.0.1 as the Windows program stores it: a signed 32-bit integer.
        put(Ethr_Path, crlf({"[ETHERNET_CONN_PAR]", "users_num=3", "user_index=0", "sort_prz=1",
                             "[ETHERNET_ABONENT_1]", "user_name=a", "contr_adr=1", "ip_adr=-1062731775", "port=502",
                             "[ETHERNET_ABONENT_2]", "user_name=b", "contr_adr=2", "ip_adr=3232235522",
                             "port=65535", "[ETHERNET_ABONENT_3]", "user_name=c", "contr_adr=3",
                             "ip_adr=2130706433", "port=1"}));
        load();
        const Ethr_Abonents_List &el = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        // Sorted unsigned: 127.0.0.1 before 192.168.0.1 and 192.168.0.2.
        QCOMPARE(uint32_t(el.rec[0].ip_adr), 0x7F000001u);
        QCOMPARE(uint32_t(el.rec[1].ip_adr), 0xC0A80001u);
        QCOMPARE(uint32_t(el.rec[2].ip_adr), 0xC0A80002u);
        QCOMPARE(Ethr_Address_Text(el.rec[1]), QString("192.168.0.1:502"));
        QCOMPARE(int(el.hdr.user_index), 1);   // "a" stays selected

        Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.hdr.sort_prz = 0;
        QVERIFY(Write_Ethr_Abonents(Ethr_Path));
        const QByteArray bytes = get(Ethr_Path);
        QVERIFY(bytes.contains("ip_adr=-1062731775\r\n"));
        QVERIFY(bytes.contains("ip_adr=-1062731774\r\n"));
        const Ethr_Abonents_List kept = el;
        std::memset(&Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents, 0, sizeof kept);
        Read_Ethr_Abonents(Ethr_Path);
        QVERIFY(std::memcmp(&kept, &el, sizeof kept) == 0);
    }

    void objects_list()
    {
        fresh();
        QByteArray long_name = "obj_name=";
        long_name += QByteArray(60, 'x');
        put(Obj_Path, crlf({"[OBJECT_LIST]", "obj_num=3", "obj_index=9", "[OBJECT_1]",
                            (QByteArray("obj_name=") + STATION_1251).constData(), "[OBJECT_2]", long_name.constData(),
                            "[OBJECT_3]", "obj_name=ГРС"}));
        QVERIFY(Read_Objects(Obj_Path));
        QCOMPARE(int(Obj_List.obj_num), 3);
        QCOMPARE(int(Obj_List.obj_index), 2);
        QCOMPARE(QByteArray(Obj_List.obj_name[0]), QByteArray(STATION_1251));
        QCOMPARE(int(qstrlen(Obj_List.obj_name[1])), 50);
        QCOMPARE(Obj_List.obj_name[3][0], '\0');

        Obj_List.obj_num = 1;
        Obj_List.obj_index = 0;
        QVERIFY(Write_Objects(Obj_Path));
        const QByteArray bytes = get(Obj_Path);
        QVERIFY(bytes.contains(QByteArray("obj_name=") + STATION_1251 + "\r\n"));
        QCOMPARE(count_of(bytes, "[OBJECT_"), 2);   // OBJECT_LIST and OBJECT_1
        QVERIFY(!bytes.contains("[OBJECT_2]"));

        put(Obj_Path, crlf({"[OBJECT_LIST]", "obj_num=80", "obj_index=70"}));
        Read_Objects(Obj_Path);
        QCOMPARE(int(Obj_List.obj_num), 50);
        QCOMPARE(int(Obj_List.obj_index), 49);
        put(Obj_Path, crlf({"[OBJECT_LIST]", "obj_num=0", "obj_index=4"}));
        Read_Objects(Obj_Path);
        QCOMPARE(int(Obj_List.obj_num), 0);
        QCOMPARE(int(Obj_List.obj_index), 0);
    }

    void rd_arh_defaults()
    {
        fresh();
        const double now = 46000.5;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const QByteArray good = rd_arh_bytes(2, 3, 45000.25, 45001.75, 0x5A);
        struct Case {
            const char *name;
            QByteArray bytes;
        };
        const Case cases[] = {
            {"short", good.left(73)},
            {"long", good + 'x'},
            {"empty", QByteArray()},
            {"NaN start", rd_arh_bytes(2, 3, nan, 45001.0, 0)},
            {"infinite end", rd_arh_bytes(2, 3, 45000.0, inf, 0)},
            {"huge date", rd_arh_bytes(2, 3, 1e300, 45001.0, 0)},
            {"period choice 3", rd_arh_bytes(3, 3, 45000.0, 45001.0, 0)},
            {"index choice 5", rd_arh_bytes(2, 5, 45000.0, 45001.0, 0)},
        };
        for (const Case &c : cases) {
            put(Rd_Arh_Path, c.bytes);
            std::memset(&Rd_Arh_Rec, 0x77, sizeof Rd_Arh_Rec);
            QVERIFY2(!Read_Rd_Arh(Rd_Arh_Path, now), c.name);
            QCOMPARE(uint32_t(Rd_Arh_Rec.period_choice), 0u);
            QCOMPARE(uint32_t(Rd_Arh_Rec.index_choice), 1u);
            QCOMPARE(double(Rd_Arh_Rec.start_dt), now);
            QCOMPARE(double(Rd_Arh_Rec.end_dt), now);
            for (uint8_t b : Rd_Arh_Rec.rest) QCOMPARE(int(b), 0);
        }
        // Missing, and a directory in its place (cannot be read).
        QFile::remove(Rd_Arh_Path);
        QVERIFY(!Read_Rd_Arh(Rd_Arh_Path, now));
        QCOMPARE(uint32_t(Rd_Arh_Rec.index_choice), 1u);
        QVERIFY(QDir().mkpath(Rd_Arh_Path));
        QVERIFY(!Read_Rd_Arh(Rd_Arh_Path, now));
        QCOMPARE(double(Rd_Arh_Rec.end_dt), now);
        QVERIFY(!Write_Rd_Arh(Rd_Arh_Path));   // skipped, nothing breaks
        QDir(Rd_Arh_Path).removeRecursively();
    }

    void rd_arh_round_trip_keeps_the_tail()
    {
        fresh();
        QByteArray bytes = rd_arh_bytes(1, 4, 45000.125, 45002.875, 0);
        for (int i = 24; i < RD_ARH_SIZE; ++i) bytes[i] = char(i * 7);
        put(Rd_Arh_Path, bytes);
        QVERIFY(Read_Rd_Arh(Rd_Arh_Path, 1.0));
        QCOMPARE(uint32_t(Rd_Arh_Rec.period_choice), 1u);
        QCOMPARE(uint32_t(Rd_Arh_Rec.index_choice), 4u);
        QCOMPARE(double(Rd_Arh_Rec.start_dt), 45000.125);
        QCOMPARE(double(Rd_Arh_Rec.end_dt), 45002.875);
        QFile::remove(Rd_Arh_Path);
        QVERIFY(Write_Rd_Arh(Rd_Arh_Path));
        QCOMPARE(get(Rd_Arh_Path), bytes);
    }

    void unwritable_file_is_tried_again()
    {
        fresh();
        load();
        // Something that cannot be read or replaced stands where "qzt.ini" belongs.
        QVERIFY(QDir().mkpath(Ini_Path));
        Conn_Settings.Dir_Conn_Par.Adr = 9;
        QVERIFY(!Write_Ini(Ini_Path));
        QCOMPARE(int(Conn_Settings_Shadow.Dir_Conn_Par.Adr), 1);   // still counts as changed
        QDir(Ini_Path).removeRecursively();
        QVERIFY(Write_Ini(Ini_Path));
        QVERIFY(get(Ini_Path).contains("Adr=9\r\n"));
        // No INI directory at all: the files are skipped without complaint.
        QDir(Tmp.path() + "/INI").removeRecursively();
        Conn_Settings.Dir_Conn_Par.Adr = 10;
        Save_Settings_Files();
        QVERIFY(!QFile::exists(Ini_Path));
    }

    // A hand-kept subscriber file of some 40,000 lines (notes under every subscriber): one
    // changed subscriber rewrites its one line, the notes and every other byte stay.
    void long_subscriber_file_read_and_saved_at_once()
    {
        fresh();
        const QByteArray notes = QByteArray("; note\r\n").repeated(200);
        QByteArray b = crlf({"[FON_CONN_PAR]", "users_num=200", "user_index=0", "sort_prz=0"});
        for (int k = 1; k <= ABONENTS_MAX; ++k) {
            const QByteArray n = QByteArray::number(k);
            b += "[FON_ABONENT_" + n + "]\r\n" + notes + "user_name=N" + n.rightJustified(3, '0') +   // sorted
                 "\r\ncontr_adr=1\r\nadr_modbus=1\r\nphone_code=" + n + "\r\n";
        }
        put(Fon_Path, b);
        QVERIFY(Read_Fon_Abonents(Fon_Path));
        Take_Settings_Shadow();
        std::strcpy(Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[199].phone_code, "7");
        QVERIFY(Write_Fon_Abonents(Fon_Path));
        QCOMPARE(get(Fon_Path), b.replace("phone_code=200\r\n", "phone_code=7\r\n"));
    }

    void ini_file_rules()
    {
        fresh();
        const QString p = Tmp.path() + "/INI/x.ini";
        // LF file, quotes, hexadecimal, case-insensitive names, duplicate section: first wins.
        put(p, "[Sec]\nname = \"  quoted  \"\nnum=0x1F\nneg=-12\nbad=12a\n[SEC]\nnum=5\n");
        Ini_File ini(p);
        QCOMPARE(ini.Read_String("SEC", "NAME", "d"), QByteArray("  quoted  "));
        QCOMPARE(ini.Read_Integer("sec", "num", 0), int64_t(31));
        QCOMPARE(ini.Read_Integer("sec", "neg", 0), int64_t(-12));
        QCOMPARE(ini.Read_Integer("sec", "bad", 7), int64_t(7));
        QCOMPARE(ini.Read_Integer("sec", "missing", 7), int64_t(7));
        QCOMPARE(ini.Read_String("nosec", "name", "d"), QByteArray("d"));
        // A value cannot break into new lines; a new section keeps the file's LF ends.
        ini.Write_String("New", "v", "a\r\n[CURR_PAR]\nb");
        QVERIFY(ini.Save());
        QCOMPARE(get(p), QByteArray("[Sec]\nname = \"  quoted  \"\nnum=0x1F\nneg=-12\nbad=12a\n[SEC]\nnum=5\n"
                                    "[New]\nv=a  [CURR_PAR] b\n"));
        Ini_File again(p);
        QVERIFY(!again.Has_Section("CURR_PAR"));
        // A last line without its line end.
        put(p, "[A]\nk=1");
        Ini_File tail(p);
        tail.Write_Integer("A", "j", 2);
        QVERIFY(tail.Save());
        QCOMPARE(get(p), QByteArray("[A]\nk=1\nj=2\n"));
    }
};

QTEST_GUILESS_MAIN(Tst_Rd_Wr_Ini)
#include "tst_rd_wr_ini.moc"
