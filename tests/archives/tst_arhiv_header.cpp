#include "Arh_Builders.h"
#include "archives/Arhiv.h"
#include "archives/Arhiv_File.h"
#include "core/Codepage.h"
#include "core/Tables.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
// Answers the save dialog from a list of names (a null string cancels).
struct Script_Save : Save_Ui {
    QStringList Names;
    QList<Save_Dialog_Setup> Shown;
    int Busy_On = 0;
    std::optional<QString> Choose_Name(const Save_Dialog_Setup &s) override
    {
        Shown.append(s);
        const QString n = Names.isEmpty() ? QString() : Names.takeFirst();
        if (n.isNull()) return std::nullopt;
        return n;
    }
    void Busy(bool on) override { Busy_On += on ? 1 : 0; }
};

void set_line_name(Arhiv_Header &h, const QString &s)
{
    std::memset(h.line_name, 0, sizeof h.line_name);
    const QByteArray b = Unicode_To_Cp1251(s);
    std::memcpy(h.line_name, b.constData(), std::min<size_t>(b.size(), sizeof h.line_name));
}
} // namespace

Q_DECLARE_METATYPE(Arh_Check)

class Tst_Arhiv_Header : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Arh_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        QVERIFY(Arh_Make_Work_Dirs(Tmp.path()));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void init()
    {
        Ques.answers.clear();
        Ques.asked.clear();
    }

    void default_names_data()
    {
        QTest::addColumn<Arh_File_Kind>("kind");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("mch") << Arh_File_Kind::Chr_Meas << "  Нитка 1 " << "qzt16_005_Нитка 1_260412.mch";
        QTest::newRow("hch dash") << Arh_File_Kind::Chr_Hour << "Нитка 1" << "qzt16-005_Нитка 1_260412.hch";
        QTest::newRow("dch dash") << Arh_File_Kind::Chr_Day << "L" << "qzt16-005_L_260412.dch";
        QTest::newRow("blank line") << Arh_File_Kind::Chr_Meas << "     " << "qzt16_005__260412.mch";
        QTest::newRow("clb no line") << Arh_File_Kind::Clb << "Нитка 1" << "qzt16-005_260412.clb";
        QTest::newRow("mwm no line") << Arh_File_Kind::Wmt_Meas << "Нитка 1" << "qzt16_005_260412.mwm";
        QTest::newRow("aud") << Arh_File_Kind::Aud << "" << "qzt16_005_260412.aud";
        // A name that fills all 20 bytes has no terminator; the header's next byte is not read.
        QTest::newRow("20 chars") << Arh_File_Kind::Chr_Meas << "ABCDEFGHIJKLMNOPQRST" << "qzt16_005_ABCDEFGHIJKLMNOPQRST_260412.mch";
        // Characters a file name cannot hold do not lead the file elsewhere.
        QTest::newRow("slashes") << Arh_File_Kind::Chr_Meas << "../a\\b:c" << "qzt16_005_.._a_b_c_260412.mch";
    }
    void default_names()
    {
        QFETCH(Arh_File_Kind, kind);
        QFETCH(QString, line);
        QFETCH(QString, name);
        Arhiv_Header h = Arh_Test_Header(kind);
        h.contr_adr = 5;
        set_line_name(h, line);
        QCOMPARE(Arh_Default_Name(kind, "/d", h, QDate(2026, 4, 12)), "/d/" + name);
        QCOMPARE(Arh_Default_Name(kind, h, QDate(2026, 4, 12)), Arh_Dir(kind) + "/" + name);
    }

    void build_from_table_image()
    {
        Init_Tables();
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        std::memcpy(Tab_Field(5, 0), "Controller-name-20ch", 20);
        std::memcpy(Tab_Field(5, 1), "Line one", 8);
        *Tab_Field(14, 6) = 8;
        *Tab_Field(15, 6) = 2;
        const uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
        std::memcpy(Tab_Field(40, 0), mac, 6);
        for (int i = 0; i < 20; ++i) {
            uint8_t *par = Tab_Field(1, i);
            std::memset(par, 'n', 40);                       // name: not for the readers
            std::memcpy(par + 40, "SYMBOL0123", 10);
            par[40 + 9] = char('A' + i);
            par[50] = uint8_t(i % 12);
            par[59] = 0x34;                                 // register: not for the readers
            par[61] = uint8_t(i % 8);
            par[62] = 3;                                    // type: not for the readers
        }
        Arh_Header_Args a;
        a.contr_adr = 7;
        const uint8_t made[6] = {26, 4, 12, 10, 20, 30};
        const uint8_t start[6] = {26, 4, 1, 10, 11, 12};
        const uint8_t end[6] = {26, 4, 2, 13, 14, 15};
        std::memcpy(a.made.bytes(), made, 6);
        std::memcpy(a.period_start.bytes(), start, 6);
        std::memcpy(a.period_end.bytes(), end, 6);
        a.rec_count = 42;

        // Three parameters: the slots from the fourth on stay zero up to byte 872.
        *Tab_Field(14, 14) = 3;
        QByteArray b = Arh_Bytes(Build_Arhiv_Header(Arh_File_Kind::Chr_Meas, a));
        QByteArray want = QByteArray("MSA\0", 4) + "Controller-name-20ch" + QByteArray("Line one").leftJustified(20, '\0');
        want += QByteArray("\x07\x10\x08\x02\0\0\0\0\x03", 9);
        for (int i = 0; i < 3; ++i)
            want += QByteArray(26, '\0') + "SYMBOL012" + char('A' + i) + '\0' + char(i % 12) + char(i % 8) + QByteArray(2, '\0');
        want = want.leftJustified(873, '\0');
        want += QByteArray(reinterpret_cast<const char *>(made), 6) + QByteArray(reinterpret_cast<const char *>(start), 6) +
                QByteArray(reinterpret_cast<const char *>(end), 6) + QByteArray("\x2A\0\0\0", 4) +
                QByteArray(reinterpret_cast<const char *>(mac), 6) + QByteArray(4, '\0');
        QCOMPARE(b, want);

        // A count above 20 is cut to 20.
        *Tab_Field(14, 14) = 25;
        b = Arh_Bytes(Build_Arhiv_Header(Arh_File_Kind::Chr_Meas, a));
        QCOMPARE(uint8_t(b[52]), uint8_t(20));
        QCOMPARE(b.mid(53 + 41 * 19 + 26, 10), QByteArray("SYMBOL012T"));

        // Hourly lists keep Date4, daily lists Date3, the rest of the period zero.
        b = Arh_Bytes(Build_Arhiv_Header(Arh_File_Kind::Chr_Hour, a));
        QCOMPARE(b.mid(879, 12), QByteArray("\x1A\x04\x01\x0A\0\0\x1A\x04\x02\x0D\0\0", 12));
        b = Arh_Bytes(Build_Arhiv_Header(Arh_File_Kind::Wmt_Day, a));
        QCOMPARE(b.mid(879, 6), QByteArray("\x1A\x04\x01\0\0\0", 6));
        QCOMPARE(uint8_t(b[3]), uint8_t(1));
        QCOMPARE(b.mid(24, 20), QByteArray(20, '\0'));

        // Moisture measurement: the request's device byte and the line-1 name.
        a.device = uint8_t(0x01);
        Arhiv_Header h = Build_Arhiv_Header(Arh_File_Kind::Wmt_Meas, a);
        QCOMPARE(uint8_t(h.device), uint8_t(0x01));
        QCOMPARE(QByteArray(h.line_name, 8), QByteArray("Line one"));
        // Calibration and message lists carry no line name.
        for (auto k : {Arh_File_Kind::Clb, Arh_File_Kind::Ala, Arh_File_Kind::Aud}) {
            h = Build_Arhiv_Header(k, a);
            QCOMPARE(QByteArray(h.line_name, 20), QByteArray(20, '\0'));
            QCOMPARE(uint8_t(h.device), uint8_t(0));
        }
    }

    void open_check_data()
    {
        QTest::addColumn<Arh_File_Kind>("file");
        QTest::addColumn<Arh_File_Kind>("as");
        QTest::addColumn<int>("field");   // 0 none, 1 chrom_code, 2 contr_type, 3 par_count, 4 device
        QTest::addColumn<int>("value");
        QTest::addColumn<Arh_Check>("check");
        const auto M = Arh_File_Kind::Chr_Meas, W = Arh_File_Kind::Wmt_Meas, A = Arh_File_Kind::Ala;
        QTest::newRow("ok") << M << M << 0 << 0 << Arh_Check::Ok;
        QTest::newRow("other signature") << M << Arh_File_Kind::Chr_Hour << 0 << 0 << Arh_Check::Bad_Magic;
        QTest::newRow("chromatograph") << M << M << 1 << 7 << Arh_Check::Bad_Chrom;
        QTest::newRow("model") << M << M << 2 << 14 << Arh_Check::Bad_Model;
        QTest::newRow("21 parameters") << M << M << 3 << 21 << Arh_Check::Bad_Par_Count;
        QTest::newRow("moisture as chromatograph") << W << M << 0 << 0 << Arh_Check::Bad_Device;
        QTest::newRow("moisture channel nibble") << W << W << 4 << 0x31 << Arh_Check::Ok;
        QTest::newRow("chromatograph as moisture") << M << W << 0 << 0 << Arh_Check::Bad_Device;
        QTest::newRow("messages any device") << A << A << 4 << 0x5F << Arh_Check::Ok;
    }
    void open_check()
    {
        QFETCH(Arh_File_Kind, file);
        QFETCH(Arh_File_Kind, as);
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(Arh_Check, check);
        Arhiv_Header h = Arh_Test_Header(file);
        uint8_t *f[] = {nullptr, &h.chrom_code, &h.contr_type, &h.par_count, &h.device};
        if (f[field]) *f[field] = uint8_t(value);
        QCOMPARE(Check_Arhiv_Header(as, h), check);
    }

    // What a file holds against what its header claims.
    void read_files_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");      // records given to the viewer
        QTest::addColumn<int>("kept");       // bytes of them taken from the file; the rest zero
        QTest::addColumn<bool>("short_file");
        const auto k = Arh_File_Kind::Chr_Meas;
        const QByteArray recs = Arh_Records(k, 3);
        auto head = [&](uint32_t n) { return Arh_Bytes(Arh_Test_Header(k, n)); };
        QTest::newRow("exact") << head(3) + recs << int(Arh_Read::Ok) << 3 << 3 * 94 << false;
        QTest::newRow("no records") << head(0) << int(Arh_Read::Ok) << 0 << 0 << false;
        QTest::newRow("longer: tail ignored") << head(2) + recs + "tail" << int(Arh_Read::Ok) << 2 << 2 * 94 << false;
        QTest::newRow("short: all counted, the rest zero") << head(10) + recs.left(2 * 94 + 47) << int(Arh_Read::Ok) << 10 << 2 * 94 + 47 << true;
        QTest::newRow("count past the limit") << head(0xFFFFFFFFu) + recs.left(94) << int(Arh_Read::Refused) << 0 << 0 << false;
        QTest::newRow("shorter than a header") << head(0).left(904) << int(Arh_Read::Refused) << 0 << 0 << false;
        Arhiv_Header bad = Arh_Test_Header(k);
        bad.par_count = 200;
        QTest::newRow("parameter count") << Arh_Bytes(bad) << int(Arh_Read::Refused) << 0 << 0 << false;
        QTest::newRow("signature") << Arh_Bytes(Arh_Test_Header(Arh_File_Kind::Clb)) << int(Arh_Read::Refused) << 0 << 0 << false;
    }
    void read_files()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, status);
        QFETCH(int, count);
        QFETCH(int, kept);
        QFETCH(bool, short_file);
        const QString path = Tmp.path() + "/MOMDATA/f.mch";
        QVERIFY(Arh_Write_Raw(path, file));
        const Arh_File_Data d = Read_Arhiv_File(path, Arh_File_Kind::Chr_Meas);
        QCOMPARE(int(d.status), status);
        if (d.status != Arh_Read::Ok) return;
        QCOMPARE(uint32_t(d.header.rec_count), uint32_t(count));
        QCOMPARE(d.records.size(), count * 94);
        QCOMPARE(d.records.left(kept), file.mid(ARHIV_HEADER_SIZE, kept));
        QCOMPARE(d.records.mid(kept), QByteArray(count * 94 - kept, '\0'));
        QCOMPARE(d.short_file, short_file);
    }

    void write_whole_or_nothing()
    {
        const QString dir = Tmp.path() + "/HOURDATA/";
        const auto kind = Arh_File_Kind::Chr_Hour;
        Arhiv_Header h = Arh_Test_Header(kind, 0);
        QCOMPARE(Read_Arhiv_File(dir + "none.hch", kind).status, Arh_Read::Open_Failed);

        // Round trip; records beyond rec_count are not written.
        h.rec_count = 2;
        const QByteArray recs = Arh_Records(kind, 3);
        QCOMPARE(Write_Arhiv_File(dir + "two.hch", kind, h, recs), Arh_Write::Ok);
        QCOMPARE(Arh_Read_Raw(dir + "two.hch"), Arh_Bytes(h) + recs.left(2 * 94));
        QCOMPARE(Arh_Bytes(Read_Arhiv_File(dir + "two.hch", kind).header), Arh_Bytes(h));

        // Fewer record bytes than the count: nothing written, the old file stays.
        Arhiv_Header more = h;
        more.rec_count = 4;
        QCOMPARE(Write_Arhiv_File(dir + "two.hch", kind, more, recs), Arh_Write::Short_Records);
        QCOMPARE(Arh_Read_Raw(dir + "two.hch"), Arh_Bytes(h) + recs.left(2 * 94));
        QCOMPARE(Write_Arhiv_File(dir + "new.hch", kind, h, recs.left(94)), Arh_Write::Short_Records);
        QVERIFY(!QFile::exists(dir + "new.hch"));

        QCOMPARE(Write_Arhiv_File(dir + "nodir/x.hch", kind, h, recs), Arh_Write::Open_Failed);
        QVERIFY(!QFile::exists(dir + "nodir/x.hch"));
    }

    void save_proposes_and_writes()
    {
        const auto kind = Arh_File_Kind::Chr_Meas;
        Arhiv_Header h = Arh_Test_Header(kind, 1);
        h.contr_adr = 12;
        set_line_name(h, " Нитка 1 ");
        const QByteArray recs = Arh_Records(kind, 1);
        const QString dir = Arh_Dir(kind);

        // Cancel: nothing written, nothing said.
        Script_Save ui;
        ui.Names = {QString()};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Cancelled);
        QCOMPARE(ui.Shown.size(), 1);
        QCOMPARE(ui.Shown.first().dir, dir);
        QCOMPARE(ui.Shown.first().filter, QString("DataFiles (*.mch)"));
        QCOMPARE(ui.Shown.first().proposed, dir + "/qzt16_012_Нитка 1_260102.mch");
        QVERIFY(Ques.asked.isEmpty());

        // A name without extension gets the kind's; the place is told.
        ui.Names = {dir + "/first"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Saved);
        QCOMPARE(Arh_Read_Raw(dir + "/first.mch"), Arh_Bytes(h) + recs);
        QCOMPARE(ui.Busy_On, 1);
        QCOMPARE(Ques.Lines(), QStringList{"Данные сохранены в файле first.mch.|"});
    }

    void save_asks_before_replacing()
    {
        const auto kind = Arh_File_Kind::Wmt_Day;
        Arhiv_Header h = Arh_Test_Header(kind, 2);
        const QByteArray recs = Arh_Records(kind, 2);
        const QString dir = Arh_Dir(kind);
        QVERIFY(Arh_Write_Raw(dir + "/old.dwm", "old"));

        // Нет: the dialog comes back with the last name; then cancel leaves the old file.
        Script_Save ui;
        ui.Names = {dir + "/old", QString()};
        Ques.answers = {0};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Cancelled);
        QCOMPARE(Ques.Lines(), QStringList{"Файл old.dwm уже есть.|Вы хотите заменить существующий файл?"});
        QVERIFY(Ques.asked.first().yes_no);
        QCOMPARE(ui.Shown.size(), 2);
        QCOMPARE(ui.Shown.at(1).proposed, dir + "/old.dwm");
        QCOMPARE(Arh_Read_Raw(dir + "/old.dwm"), QByteArray("old"));

        // Да: replaced whole.
        ui.Names = {dir + "/old.dwm"};
        Ques.answers = {1};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Saved);
        QCOMPARE(Arh_Read_Raw(dir + "/old.dwm"), Arh_Bytes(h) + recs);
    }

    void save_reports_failures()
    {
        const auto kind = Arh_File_Kind::Clb;
        Arhiv_Header h = Arh_Test_Header(kind, 1);
        const QByteArray recs = Arh_Records(kind, 1);
        Script_Save ui;
        ui.Names = {Arh_Dir(kind) + "/missing/dir/x.clb"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Failed);
        QCOMPARE(Ques.Lines(), QStringList{"Ошибка открытия файла|"});

        // A viewer handing fewer records than its header counts writes nothing.
        Ques.asked.clear();
        h.rec_count = 5;
        ui.Names = {Arh_Dir(kind) + "/few.clb"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Failed);
        QVERIFY(!QFile::exists(Arh_Dir(kind) + "/few.clb"));
        QCOMPARE(Ques.asked.size(), 1);
    }

    void extension_rule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("none") << "/a/b/name" << "/a/b/name.hch";
        QTest::newRow("bare dot kept") << "/a/b/c." << "/a/b/c.";
        QTest::newRow("dot in directory") << "/a/b.c/name" << "/a/b.c/name.hch";
        QTest::newRow("other kept") << "/a/b/name.txt" << "/a/b/name.txt";
        QTest::newRow("own kept") << "/a/b/name.hch" << "/a/b/name.hch";
    }
    void extension_rule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QCOMPARE(Arh_Apply_Ext(typed, Arh_File_Kind::Chr_Hour), saved);
    }
};

QTEST_GUILESS_MAIN(Tst_Arhiv_Header)
#include "tst_arhiv_header.moc"
