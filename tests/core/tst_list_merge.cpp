// Two copies of the program on one work directory: each list is written over its file as it is
// then, the settings file takes only the keys changed; neither copy loses the other's changes.
#include "core/Abonents.h"
#include "core/Globals.h"
#include "core/List_Merge.h"
#include "core/Rd_wr_ini.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

namespace {

// What one running copy holds in memory: its settings and objects, and their shadows.
using Copy = std::tuple<Conn_Settings_Rec, Conn_Settings_Rec, Obj_List_Rec, Obj_List_Rec>;

// Runs f as copy c: its memory in the program's globals for the time of f.
template <class F>
void as(Copy &c, F f)
{
    auto globals = std::tie(Conn_Settings, Conn_Settings_Shadow, Obj_List, Obj_List_Shadow);
    globals = c;
    f();
    c = globals;
}

Copy started()
{
    Copy c;
    as(c, [] { Load_Settings_Files(1024, 768); });
    return c;
}

Fon_Abonents_List &fon() { return Conn_Settings.Fon_Conn_Par.Fon_Abonents; }
Ethr_Abonents_List &ethr() { return Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents; }

// The three lists as the user leaves them, each with these names, the first one chosen.
void set_lists(const QStringList &names)
{
    fon() = {};
    ethr() = {};
    Obj_List = {};
    fon().hdr.users_num = ethr().hdr.users_num = Obj_List.obj_num = uint8_t(names.size());
    for (int k = 0; k < names.size(); ++k) {
        Set_Abonent_Text(fon().rec[k].user_name, ABONENT_NAME_LEN, names[k]);
        Set_Abonent_Text(ethr().rec[k].user_name, ABONENT_NAME_LEN, names[k]);
        Set_Abonent_Text(Obj_List.obj_name[k], OBJ_NAME_LEN, names[k]);
        fon().rec[k].contr_adr = fon().rec[k].adr_modbus = ethr().rec[k].contr_adr = 1;
    }
}

// A list's names, "*" before the chosen one, sorted (the objects keep the order written).
template <class Rec>
QStringList names(const Rec *rec, int n, int chosen)
{
    QStringList out;
    for (int k = 0; k < n; ++k)
        out << (k == chosen ? "*" : "") + QString::fromLatin1(reinterpret_cast<const char *>(&rec[k]));
    out.sort();
    return out;
}

QList<QStringList> lists()
{
    return {names(fon().rec, fon().hdr.users_num, fon().hdr.user_index),
            names(ethr().rec, ethr().hdr.users_num, ethr().hdr.user_index),
            names(Obj_List.obj_name, Obj_List.obj_num, Obj_List.obj_index)};
}

} // namespace

class Tst_List_Merge : public QObject {
    Q_OBJECT

private slots:
    // The lists as an earlier copy left them ("start"); B saves its lists and a setting, then A,
    // started before, its own. The files and A hold both copies' changes and A's choice; A's
    // change or deletion of an entry B changed or deleted meanwhile is reported (once a list).
    void two_copies_save_data()
    {
        QTest::addColumn<QString>("row");   // start / b / a / merged / reported
        QTest::newRow("both add") << "X / B1 X / A1 X / *A1 B1 X /";
        QTest::newRow("change, delete") << "P Q R S / P2 R S / P Q R2 / *P2 R2 /";
        QTest::newRow("delete changed") << "R / R2 / / *R2 / R R R";
        QTest::newRow("change deleted") << "P / / P9 / *P9 / P P P";
        QTest::newRow("same added") << "X / X Z / X Z / *X Z /";
    }

    void two_copies_save()
    {
        QFETCH(QString, row);
        QList<QStringList> l;
        for (const QString &part : row.split('/')) l << part.split(' ', Qt::SkipEmptyParts);
        QTemporaryDir dir;
        Set_Work_Dir(dir.path());
        QVERIFY(QDir().mkpath(dir.path() + "/INI"));
        Copy A = started(), B;
        as(A, [&] {
            set_lists(l[0]);
            Save_Settings_Files();
            QVERIFY(Write_Objects(Obj_Path));
        });
        B = started();
        List_Merge_Report report;
        for (Copy *c : {&B, &A})
            as(*c, [&] {
                set_lists(c == &B ? l[1] : l[2]);
                if (c == &B) Conn_Settings.Dir_Conn_Par.Adr = 7;
                else Conn_Settings.Dir_Conn_Par.TimeOut = 250;
                QVERIFY(Write_Fon_Abonents(Fon_Path, &report) && Write_Ethr_Abonents(Ethr_Path, &report) &&
                        Write_Objects(Obj_Path, &report) && Write_Ini(Ini_Path));
                if (c == &A) QCOMPARE(lists(), QList<QStringList>({l[3], l[3], l[3]}));
            });
        QCOMPARE(report.lost, l[4]);
        Copy seen = started();
        as(seen, [&] {
            QCOMPARE(lists(), QList<QStringList>({l[3], l[3], l[3]}));
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.Adr), 7);
            QCOMPARE(int(Conn_Settings.Dir_Conn_Par.TimeOut), 250);
        });
    }
};

QTEST_GUILESS_MAIN(Tst_List_Merge)
#include "tst_list_merge.moc"
