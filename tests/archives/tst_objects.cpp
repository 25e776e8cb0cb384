// The measured-objects list: sorting that keeps the current object, deletion, the limits of
// a damaged list, and "objects.ini" written and read back.
#include "archives/Objects_list.h"
#include "core/Codepage.h"
#include "core/Rd_wr_ini.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

Obj_List_Rec Make(const QStringList &names, int current)
{
    Obj_List_Rec l{};
    l.obj_num = uint8_t(names.size());
    l.obj_index = uint8_t(current);
    for (int i = 0; i < names.size(); ++i) Set_Object_Name(l.obj_name[i], names[i]);
    return l;
}

QStringList Names(const Obj_List_Rec &l)
{
    QStringList out;
    for (int i = 0; i < l.obj_num; ++i) out << Object_Name(l, i);
    return out;
}

} // namespace

class Tst_Objects : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

private slots:
    void initTestCase() { QVERIFY(Tmp.isValid()); }

    void sorting_keeps_the_current_object()
    {
        // A name that sorts first becomes row 1 and stays current.
        Obj_List_Rec l = Make({"ГРС Южная", "ГРС Северная", "Агрегат"}, 2);
        Sort_Objects(l);
        QCOMPARE(Names(l), QStringList({"Агрегат", "ГРС Северная", "ГРС Южная"}));
        QCOMPARE(int(l.obj_index), 0);
        // Upper-cased before comparing: names differing in case only stay next to each other.
        l = Make({"бета", "Альфа", "БЕТА", "альфа2", "Бета"}, 2);
        Sort_Objects(l);
        const QStringList s = Names(l);
        QCOMPARE(s[0], QStringLiteral("Альфа"));
        QCOMPARE(s[1], QStringLiteral("альфа2"));
        for (int i = 2; i < 5; ++i) QCOMPARE(s[i].toUpper(), QStringLiteral("БЕТА"));
        QCOMPARE(Object_Name(l, l.obj_index), QStringLiteral("БЕТА"));
        // Repeated names: the current object is the last of them.
        l = Make({"Б", "А", "Б"}, 0);
        Sort_Objects(l);
        QCOMPARE(int(l.obj_index), 2);
        // Slots beyond the list are not touched; a damaged header is limited first.
        l = Make({"x"}, 0);
        l.obj_num = 200;
        l.obj_index = 120;
        Sort_Objects(l);
        QCOMPARE(int(l.obj_num), OBJECTS_MAX);
        QCOMPARE(int(l.obj_index) < OBJECTS_MAX, true);
    }

    void deleting()
    {
        Obj_List_Rec l = Make({"1", "2", "3", "4", "5", "6"}, 0);
        QVERIFY(Delete_Object(l));   // row 1 current: row 1 stays current
        QCOMPARE(Names(l), QStringList({"2", "3", "4", "5", "6"}));
        QCOMPARE(int(l.obj_index), 0);
        QCOMPARE(l.obj_name[5][0], char(0));
        l.obj_index = 4;             // row 5: row 4 becomes current
        QVERIFY(Delete_Object(l));
        QCOMPARE(Names(l), QStringList({"2", "3", "4", "5"}));
        QCOMPARE(int(l.obj_index), 3);
        QCOMPARE(l.obj_name[4][0], char(0));
        Obj_List_Rec empty{};
        const Obj_List_Rec before = empty;
        QVERIFY(!Delete_Object(empty));
        QVERIFY(Same_Objects(empty, before));
    }

    void names_are_cut_to_fifty_bytes()
    {
        char slot[OBJ_NAME_LEN];
        std::memset(slot, 'x', sizeof slot);
        Set_Object_Name(slot, QString(80, QChar(0x0416)));   // "Ж" is one byte in 1251
        QCOMPARE(int(strnlen(slot, OBJ_NAME_LEN)), 50);
        QCOMPARE(Object_Name_Text(slot), QString(50, QChar(0x0416)));
        Obj_List_Rec l{};
        QCOMPARE(Current_Object_Name(l), QString());
        QCOMPARE(Object_Name(l, -1), QString());
        QCOMPARE(Object_Name(l, 50), QString());
    }

    void file_round_trip()
    {
        const QString path = Tmp.filePath("objects.ini");
        QStringList names;
        for (int i = 0; i < OBJECTS_MAX; ++i) names << QStringLiteral("Объект №%1").arg(i + 1);
        Obj_List = Make(names, 37);
        const Obj_List_Rec written = Obj_List;
        QVERIFY(Write_Objects(path));
        std::memset(&Obj_List, 0, sizeof Obj_List);
        QVERIFY(Read_Objects(path));
        QVERIFY(Same_Objects(Obj_List, written));

        // Fewer objects later: the sections of the removed ones go.
        Obj_List = Make({"Один", "Два"}, 1);
        QVERIFY(Write_Objects(path));
        QVERIFY(Read_Objects(path));
        QCOMPARE(Names(Obj_List), QStringList({"Один", "Два"}));
        QCOMPARE(int(Obj_List.obj_index), 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(!f.readAll().contains("OBJECT_3"));
        f.close();

        // A hand-edited file: counts out of range are limited.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[OBJECT_LIST]\r\nobj_num=90\r\nobj_index=70\r\n[OBJECT_1]\r\nobj_name=A\r\n");
        f.close();
        Read_Objects(path);
        QVERIFY(Obj_List.obj_num <= OBJECTS_MAX);
        QVERIFY(Obj_List.obj_index < Obj_List.obj_num);
    }
};

QTEST_GUILESS_MAIN(Tst_Objects)
#include "tst_objects.moc"
