// Two copies of the program on one work directory: each list written goes over its file as
// the file is then, so neither copy loses the other's entries, at a save or at exit.
#include "core/Abonents.h"
#include "core/Globals.h"
#include "core/Inifile.h"
#include "core/List_Merge.h"
#include "core/Rd_wr_ini.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

// What one running copy holds in memory.
struct Copy {
    Conn_Settings_Rec s{}, shadow{};
    Obj_List_Rec obj{}, obj_shadow{};
};

// Runs f as copy c: its memory in the program's globals for the time of f.
template <class F>
void as(Copy &c, F f)
{
    Conn_Settings = c.s;
    Conn_Settings_Shadow = c.shadow;
    Obj_List = c.obj;
    Obj_List_Shadow = c.obj_shadow;
    f();
    c.s = Conn_Settings;
    c.shadow = Conn_Settings_Shadow;
    c.obj = Obj_List;
    c.obj_shadow = Obj_List_Shadow;
}

Fon_Abonents_List &fon() { return Conn_Settings.Fon_Conn_Par.Fon_Abonents; }

int fon_at(const char *name)
{
    for (int k = 0; k < fon().hdr.users_num; ++k)
        if (std::strcmp(fon().rec[k].user_name, name) == 0) return k;
    return -1;
}

// What the list dialog does for "Добавить", "Изменить" (the name) and "Удалить".
void add_fon(const char *name)
{
    Fon_Abonent &a = fon().rec[fon().hdr.users_num];
    std::memset(&a, 0, sizeof a);
    std::strcpy(a.user_name, name);
    std::strcpy(a.phone_code, "1");
    a.contr_adr = a.adr_modbus = 1;
    fon().hdr.user_index = fon().hdr.users_num++;
    Sort_Fon_Abonents(&fon());
}

void rename_fon(const char *from, const char *to)
{
    const int k = fon_at(from);
    QVERIFY(k >= 0);
    Set_Abonent_Text(fon().rec[k].user_name, ABONENT_NAME_LEN, QString::fromLatin1(to));
}

void delete_fon(const char *name)
{
    fon().hdr.user_index = uint8_t(fon_at(name));
    QVERIFY(Delete_Fon_Abonent(&fon()));
}

// The names of a list's entries in use, in order.
template <class Rec>
QStringList names(const Rec *rec, int n)
{
    QStringList out;
    for (int k = 0; k < n; ++k) out << QString::fromLatin1(reinterpret_cast<const char *>(&rec[k]));
    return out;
}

QStringList names(const Fon_Abonents_List &l) { return names(l.rec, l.hdr.users_num); }

// The lists as a third copy started now would see them.
QStringList file_fon()
{
    Copy seen;
    as(seen, [] { Read_Fon_Abonents(Fon_Path); });
    return names(seen.s.Fon_Conn_Par.Fon_Abonents);
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class Tst_List_Merge : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    std::unique_ptr<Copy> A, B;

    // The files, then both copies started on them.
    void start(const QStringList &fon_names)
    {
        QDir(Tmp.path() + "/INI").removeRecursively();
        QVERIFY(QDir().mkpath(Tmp.path() + "/INI"));
        Set_Work_Dir(Tmp.path());
        Set_Ini_Paths();
        QByteArray b = "[FON_CONN_PAR]\r\nusers_num=" + QByteArray::number(fon_names.size()) + "\r\n";
        for (int k = 0; k < fon_names.size(); ++k)
            b += "[FON_ABONENT_" + QByteArray::number(k + 1) + "]\r\nuser_name=" + fon_names[k].toLatin1() +
                 "\r\ncontr_adr=1\r\nadr_modbus=1\r\nphone_code=1\r\n";
        put(Fon_Path, b);
        put(Ini_Path, "[DIR_CONN_PAR]\r\nCOMPort=1\r\nAdr=1\r\nRate=38400\r\nPreambles=5\r\nRepeat=1\r\n"
                      "TimeOut=100\r\nWaitTime=2\r\n");
        A = std::make_unique<Copy>();
        B = std::make_unique<Copy>();
        for (Copy *c : {A.get(), B.get()}) as(*c, [] { Load_Settings_Files(1024, 768); });
    }

private slots:
    void initTestCase() { QVERIFY(Tmp.isValid()); }

    // The issue's sequence: B adds "B1", then A, whose list was read at its start, adds "A1".
    void both_copies_additions_stay()
    {
        start({"X"});
        as(*B, [] {
            add_fon("B1");
            QVERIFY(Write_Fon_Abonents(Fon_Path));
        });
        List_Merge_Report report;
        as(*A, [&] {
            add_fon("A1");
            QVERIFY(Write_Fon_Abonents(Fon_Path, &report));
            QCOMPARE(names(fon()), QStringList({"A1", "B1", "X"}));   // A now shows "B1"
            QCOMPARE(int(fon().hdr.user_index), 0);                     // and its own choice
        });
        QVERIFY(report.Empty());
        QCOMPARE(file_fon(), QStringList({"A1", "B1", "X"}));
        // B, reading again, keeps its own subscriber chosen.
        as(*B, [] {
            QVERIFY(Reload_Fon_Abonents(Fon_Path));
            QCOMPARE(names(fon()), QStringList({"A1", "B1", "X"}));
            QCOMPARE(int(fon().hdr.user_index), 1);
        });

        // The Ethernet list and the objects alike.
        for (Copy *c : {A.get(), B.get()})
            as(*c, [c, this] {
                Ethr_Abonents_List &e = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
                std::strcpy(e.rec[e.hdr.users_num++].user_name, c == A.get() ? "EA" : "EB");
                QVERIFY(Write_Ethr_Abonents(Ethr_Path));
                std::strcpy(Obj_List.obj_name[Obj_List.obj_num++], c == A.get() ? "OA" : "OB");
                QVERIFY(Write_Objects(Obj_Path));
            });
        Copy seen;
        as(seen, [] {
            Read_Ethr_Abonents(Ethr_Path);
            Read_Objects(Obj_Path);
        });
        const Ethr_Abonents_List &e = seen.s.Ethernet_Conn_Par.Ethr_Abonents;
        QCOMPARE(names(e.rec, e.hdr.users_num), QStringList({"EA", "EB"}));
        QCOMPARE(names(seen.obj.obj_name, seen.obj.obj_num), QStringList({"OB", "OA"}));   // unsorted
    }

    // Changes and deletions crossing each other; an entry changed or deleted here that the
    // other copy changed or removed meanwhile is reported, and the other's change is kept.
    void crossing_changes_and_deletions()
    {
        start({"P", "Q", "R", "S"});
        as(*B, [] {
            rename_fon("P", "P2");
            delete_fon("Q");
            QVERIFY(Write_Fon_Abonents(Fon_Path));
        });
        List_Merge_Report report;
        as(*A, [&] {
            rename_fon("R", "R2");
            delete_fon("S");
            QVERIFY(Write_Fon_Abonents(Fon_Path, &report));
        });
        QVERIFY(report.Empty());
        QCOMPARE(file_fon(), QStringList({"P2", "R2"}));
        // B still shows "R" and "S": it deletes "R", which A changed meanwhile.
        as(*B, [&] {
            QCOMPARE(names(fon()), QStringList({"P2", "R", "S"}));
            delete_fon("R");
            QVERIFY(Write_Fon_Abonents(Fon_Path, &report));
        });
        QCOMPARE(report.lost, QStringList({"R"}));
        QCOMPARE(file_fon(), QStringList({"P2", "R2"}));
        // A deletes "P2"; B, not knowing, changes it: B's change is kept and reported.
        as(*A, [] {
            delete_fon("P2");
            QVERIFY(Write_Fon_Abonents(Fon_Path));
        });
        report = {};
        as(*B, [&] {
            rename_fon("P2", "P9");
            QVERIFY(Write_Fon_Abonents(Fon_Path, &report));
        });
        QCOMPARE(report.lost, QStringList({"P2"}));
        QCOMPARE(file_fon(), QStringList({"P9", "R2"}));
        // The same subscriber added in both copies is there once.
        for (Copy *c : {A.get(), B.get()})
            as(*c, [] {
                add_fon("Z");
                QVERIFY(Write_Fon_Abonents(Fon_Path));
            });
        QCOMPARE(file_fon(), QStringList({"P9", "R2", "Z"}));
    }

    // At exit a copy writes only what it changed: its chosen subscriber over the list as the
    // file holds it, its settings keys over the keys the other copy changed.
    void exit_writes_no_stale_list_or_settings()
    {
        start({"X", "Y"});
        as(*B, [] {
            add_fon("B1");
            QVERIFY(Write_Fon_Abonents(Fon_Path));
            Conn_Settings.Dir_Conn_Par.Adr = 7;
            QVERIFY(Write_Ini(Ini_Path));
        });
        as(*A, [] {
            fon().hdr.user_index = uint8_t(fon_at("Y"));   // chosen in the connection dialog
            Conn_Settings.Dir_Conn_Par.TimeOut = 250;
            Save_Settings_Files();
        });
        QCOMPARE(file_fon(), QStringList({"B1", "X", "Y"}));
        const Ini_File fon_file(Fon_Path), ini(Ini_Path);
        QCOMPARE(fon_file.Read_Integer("FON_CONN_PAR", "user_index", -1), int64_t(2));
        QCOMPARE(ini.Read_Integer("DIR_CONN_PAR", "Adr", 0), int64_t(7));
        QCOMPARE(ini.Read_Integer("DIR_CONN_PAR", "TimeOut", 0), int64_t(250));
        QVERIFY(!ini.Has_Section("FON_CONN_PAR"));   // nothing of it changed
        // B leaves without a change of its own: A's choice stays.
        as(*B, [] { Save_Settings_Files(); });
        QCOMPARE(Ini_File(Fon_Path).Read_Integer("FON_CONN_PAR", "user_index", -1), int64_t(2));
        QCOMPARE(Ini_File(Ini_Path).Read_Integer("DIR_CONN_PAR", "TimeOut", 0), int64_t(250));
    }
};

QTEST_GUILESS_MAIN(Tst_List_Merge)
#include "tst_list_merge.moc"
