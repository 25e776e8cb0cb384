#include "archives/Arhiv.h"
#include "archives/Arhiv_File.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <deque>

namespace {
// Answers questions from a queue (empty: 0) and remembers what was shown.
class Script_Ques : public Ques_Handler {
public:
    std::deque<uint8_t> Answers;
    QList<Ques_Setup> Shown;
    uint8_t Ask(const Ques_Setup &q) override
    {
        Shown.append(q);
        if (Answers.empty()) return 0;
        const uint8_t a = Answers.front();
        Answers.pop_front();
        return a;
    }
};

// Answers the save dialog from a queue of names (nullopt: cancel).
class Script_Save : public Save_Ui {
public:
    QStringList Names; // a null string cancels
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

Arhiv_Header zero_header()
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    return h;
}

// A header that passes the open check for the kind.
Arhiv_Header good_header(Arh_File_Kind kind, uint32_t count)
{
    Arhiv_Header h = zero_header();
    std::memcpy(h.magic, Arh_Info(kind).magic, 3);
    h.device = Arh_Info(kind).device;
    h.contr_type = 16;
    h.chrom_code = 8;
    h.par_count = 3;
    h.rec_count = count;
    return h;
}

QByteArray header_bytes(const Arhiv_Header &h)
{
    return QByteArray(reinterpret_cast<const char *>(&h), sizeof h);
}

QByteArray records(Arh_File_Kind kind, uint32_t count)
{
    QByteArray r;
    for (uint32_t i = 0; i < count * Arh_Info(kind).rec_size; ++i) r.append(char(1 + i % 251));
    return r;
}

bool write_raw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray read_raw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void set_line_name(Arhiv_Header &h, const QString &s)
{
    std::memset(h.line_name, 0, sizeof h.line_name);
    const QByteArray b = Unicode_To_Cp1251(s);
    std::memcpy(h.line_name, b.constData(), std::min<size_t>(b.size(), sizeof h.line_name));
}
} // namespace

Q_DECLARE_METATYPE(Arh_File_Kind)

class Tst_Arhiv_Header : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Script_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        for (const char *d : {"MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV", "ALAFILES", "AUDFILES"})
            QVERIFY(QDir(Tmp.path()).mkpath(QLatin1String(d)));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
    void init()
    {
        Ques.Answers.clear();
        Ques.Shown.clear();
    }

    void header_bytes_lie_where_the_files_expect_them()
    {
        Arhiv_Header h = zero_header();
        h.rec_count = 0x04030201;
        h.pars[19].modbus_reg = 0xBEEF;
        h.pars[2].decimals = 5;
        h.chrom_mac[5] = 0xAB;
        h.made.year = 26;
        const QByteArray b = header_bytes(h);
        QCOMPARE(b.size(), 905);
        QCOMPARE(b.mid(891, 4), QByteArray("\x01\x02\x03\x04", 4));
        QCOMPARE(uint8_t(b[53 + 41 * 19 + 39]), uint8_t(0xEF));
        QCOMPARE(uint8_t(b[53 + 41 * 19 + 40]), uint8_t(0xBE));
        QCOMPARE(uint8_t(b[53 + 41 * 2 + 38]), uint8_t(5));
        QCOMPARE(uint8_t(b[900]), uint8_t(0xAB));
        QCOMPARE(uint8_t(b[873]), uint8_t(26));
    }

    void kinds_data()
    {
        QTest::addColumn<Arh_File_Kind>("kind");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("magic");
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("work");
        QTest::newRow("mch") << Arh_File_Kind::Chr_Meas << ".mch" << "MSA" << 0 << "MOMDATA" << 94 << "datafile.msd";
        QTest::newRow("hch") << Arh_File_Kind::Chr_Hour << ".hch" << "HOU" << 0 << "HOURDATA" << 94 << "datafile.hdm";
        QTest::newRow("dch") << Arh_File_Kind::Chr_Day << ".dch" << "DAY" << 0 << "DAYDATA" << 94 << "datafile.hdm";
        QTest::newRow("clb") << Arh_File_Kind::Clb << ".clb" << "CLB" << 0 << "CALIBRARHIV" << 90 << "datafile.clb";
        QTest::newRow("mwm") << Arh_File_Kind::Wmt_Meas << ".mwm" << "MSA" << 1 << "MOMDATA" << 29 << "datafile.msd";
        QTest::newRow("hwm") << Arh_File_Kind::Wmt_Hour << ".hwm" << "HOU" << 1 << "HOURDATA" << 28 << "datafile.hdm";
        QTest::newRow("dwm") << Arh_File_Kind::Wmt_Day << ".dwm" << "DAY" << 1 << "DAYDATA" << 28 << "datafile.hdm";
        QTest::newRow("ala") << Arh_File_Kind::Ala << ".ala" << "ALA" << 0 << "ALAFILES" << 300 << "datafile.ala";
        QTest::newRow("aud") << Arh_File_Kind::Aud << ".aud" << "AUD" << 0 << "AUDFILES" << 205 << "datafile.aud";
    }
    void kinds()
    {
        QFETCH(Arh_File_Kind, kind);
        QFETCH(QString, ext);
        QFETCH(QString, magic);
        QFETCH(int, device);
        QFETCH(QString, dir);
        QFETCH(int, size);
        QFETCH(QString, work);
        const Arh_Kind_Info &k = Arh_Info(kind);
        QCOMPARE(QString(k.ext), ext);
        QCOMPARE(QString(k.magic), magic);
        QCOMPARE(int(k.device), device);
        QCOMPARE(QString(k.dir), dir);
        QCOMPARE(int(k.rec_size), size);
        QCOMPARE(QString(k.work_file), work);
        QCOMPARE(Arh_Dir(kind), Tmp.path() + "/" + dir);
        QCOMPARE(Arh_Filter_Pipe(kind), QString("DataFiles (*%1)|*%1").arg(ext));
        // The kind's entry of the main open dialog names its own extension.
        const QStringList open = Arh_Open_Filters();
        QCOMPARE(open.size(), 13);
        QVERIFY(open.at(k.open_filter_index - 1).contains("*" + ext));

        // The built header carries the kind's signature and device; it passes its own check.
        Arh_Header_Args a;
        Arhiv_Header h = Build_Arhiv_Header(kind, a);
        QCOMPARE(QByteArray(h.magic, 3), magic.toLatin1());
        QCOMPARE(int(h.device), device);
        h.chrom_code = 8;
        QCOMPARE(Check_Arhiv_Header(kind, h), Arh_Check::Ok);
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
        QTest::newRow("hwm") << Arh_File_Kind::Wmt_Hour << "" << "qzt16_005_260412.hwm";
        QTest::newRow("dwm") << Arh_File_Kind::Wmt_Day << "" << "qzt16_005_260412.dwm";
        QTest::newRow("ala") << Arh_File_Kind::Ala << "" << "qzt16_005_260412.ala";
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
        Arhiv_Header h = zero_header();
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

        // Three parameters: slots from the fourth on stay zero up to byte 872.
        *Tab_Field(14, 14) = 3;
        Arhiv_Header h = Build_Arhiv_Header(Arh_File_Kind::Chr_Meas, a);
        QByteArray b = header_bytes(h);
        QCOMPARE(b.left(4), QByteArray("MSA\0", 4));
        QCOMPARE(b.mid(4, 20), QByteArray("Controller-name-20ch"));
        QCOMPARE(b.mid(24, 20), QByteArray("Line one").leftJustified(20, '\0'));
        QCOMPARE(uint8_t(b[44]), uint8_t(7));
        QCOMPARE(uint8_t(b[45]), uint8_t(16));
        QCOMPARE(uint8_t(b[46]), uint8_t(8));
        QCOMPARE(uint8_t(b[47]), uint8_t(2));
        QCOMPARE(b.mid(48, 4), QByteArray(4, '\0'));
        QCOMPARE(uint8_t(b[52]), uint8_t(3));
        for (int i = 0; i < 3; ++i) {
            const QByteArray slot = b.mid(53 + 41 * i, 41);
            QCOMPARE(slot.left(26), QByteArray(26, '\0'));
            QCOMPARE(slot.mid(26, 10), QByteArray("SYMBOL012") + char('A' + i));
            QCOMPARE(uint8_t(slot[36]), uint8_t(0));
            QCOMPARE(uint8_t(slot[37]), uint8_t(i % 12));
            QCOMPARE(uint8_t(slot[38]), uint8_t(i % 8));
            QCOMPARE(slot.mid(39, 2), QByteArray(2, '\0'));
        }
        QCOMPARE(b.mid(176, 873 - 176), QByteArray(873 - 176, '\0'));
        QCOMPARE(b.mid(873, 6), QByteArray(reinterpret_cast<const char *>(made), 6));
        QCOMPARE(b.mid(879, 6), QByteArray(reinterpret_cast<const char *>(start), 6));
        QCOMPARE(b.mid(885, 6), QByteArray(reinterpret_cast<const char *>(end), 6));
        QCOMPARE(b.mid(891, 4), QByteArray("\x2A\0\0\0", 4));
        QCOMPARE(b.mid(895, 6), QByteArray(reinterpret_cast<const char *>(mac), 6));
        QCOMPARE(b.mid(901, 4), QByteArray(4, '\0'));
        QCOMPARE(Param_Symbol(h, 1), QString("SYMBOL012B"));

        // Twenty parameters fill the slots up to byte 872; a count above 20 is cut to 20.
        *Tab_Field(14, 14) = 25;
        h = Build_Arhiv_Header(Arh_File_Kind::Chr_Meas, a);
        b = header_bytes(h);
        QCOMPARE(uint8_t(b[52]), uint8_t(20));
        QCOMPARE(b.mid(53 + 41 * 19 + 26, 10), QByteArray("SYMBOL012T"));

        // Hourly lists keep Date4, daily lists Date3, the rest of the period zero.
        h = Build_Arhiv_Header(Arh_File_Kind::Chr_Hour, a);
        b = header_bytes(h);
        QCOMPARE(b.mid(879, 6), QByteArray("\x1A\x04\x01\x0A\0\0", 6));
        QCOMPARE(b.mid(885, 6), QByteArray("\x1A\x04\x02\x0D\0\0", 6));
        QCOMPARE(b.mid(24, 8), QByteArray("Line one"));
        h = Build_Arhiv_Header(Arh_File_Kind::Wmt_Day, a);
        b = header_bytes(h);
        QCOMPARE(b.mid(879, 6), QByteArray("\x1A\x04\x01\0\0\0", 6));
        QCOMPARE(uint8_t(b[3]), uint8_t(1));
        QCOMPARE(b.mid(24, 20), QByteArray(20, '\0'));

        // Moisture measurement: the request's device byte and the line-1 name.
        a.device = uint8_t(0x01);
        h = Build_Arhiv_Header(Arh_File_Kind::Wmt_Meas, a);
        QCOMPARE(uint8_t(h.device), uint8_t(0x01));
        QCOMPARE(QByteArray(h.line_name, 8), QByteArray("Line one"));
        // Calibration and message lists carry no line name.
        for (auto k : {Arh_File_Kind::Clb, Arh_File_Kind::Ala, Arh_File_Kind::Aud}) {
            h = Build_Arhiv_Header(k, a);
            QCOMPARE(QByteArray(h.line_name, 20), QByteArray(20, '\0'));
            QCOMPARE(uint8_t(h.device), uint8_t(0));
        }
    }

    void open_check()
    {
        Arhiv_Header h = good_header(Arh_File_Kind::Chr_Meas, 0);
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Meas, h), Arh_Check::Ok);
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Hour, h), Arh_Check::Bad_Magic);
        h.chrom_code = 7;
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Meas, h), Arh_Check::Bad_Chrom);
        h.chrom_code = 8;
        h.contr_type = 14;
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Meas, h), Arh_Check::Bad_Model);
        h.contr_type = 16;
        h.par_count = 21;
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Meas, h), Arh_Check::Bad_Par_Count);

        // A moisture measurement file (device 0x01, or a channel in the high nibble).
        Arhiv_Header w = good_header(Arh_File_Kind::Wmt_Meas, 0);
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Chr_Meas, w), Arh_Check::Bad_Device);
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Wmt_Meas, w), Arh_Check::Ok);
        w.device = 0x31;
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Wmt_Meas, w), Arh_Check::Ok);
        QCOMPARE(Arh_Refusal_Line2(Arh_File_Kind::Chr_Meas, Arh_File_Data{}),
                 QString("измер. данные контроллера QZT_16 из архива"));

        // Message files are taken whatever their device byte holds.
        Arhiv_Header m = good_header(Arh_File_Kind::Ala, 0);
        m.device = 0x5F;
        QCOMPARE(Check_Arhiv_Header(Arh_File_Kind::Ala, m), Arh_Check::Ok);
    }

    void read_files()
    {
        const QString dir = Tmp.path() + "/MOMDATA/";
        const auto kind = Arh_File_Kind::Chr_Meas;
        const QByteArray recs = records(kind, 3);

        // Missing file.
        QCOMPARE(Read_Arhiv_File(dir + "none.mch", kind).status, Arh_Read::Open_Failed);

        // Shorter than its header.
        QVERIFY(write_raw(dir + "short.mch", header_bytes(good_header(kind, 0)).left(904)));
        Arh_File_Data d = Read_Arhiv_File(dir + "short.mch", kind);
        QCOMPARE(d.status, Arh_Read::Refused);
        QCOMPARE(d.check, Arh_Check::Too_Short);
        QCOMPARE(Arh_Refusal_Line1(dir + "short.mch", d),
                 QString("Файл short.mch не является файлом, содержащим"));

        // Wrong signature.
        QVERIFY(write_raw(dir + "sig.mch", header_bytes(good_header(Arh_File_Kind::Clb, 0))));
        d = Read_Arhiv_File(dir + "sig.mch", kind);
        QCOMPARE(d.status, Arh_Read::Refused);
        QCOMPARE(d.check, Arh_Check::Bad_Magic);

        // Exact file.
        QVERIFY(write_raw(dir + "ok.mch", header_bytes(good_header(kind, 3)) + recs));
        d = Read_Arhiv_File(dir + "ok.mch", kind);
        QCOMPARE(d.status, Arh_Read::Ok);
        QCOMPARE(uint32_t(d.header.rec_count), 3u);
        QCOMPARE(d.records, recs);
        QVERIFY(!d.short_file);

        // Longer than its header says: the extra bytes are ignored.
        QVERIFY(write_raw(dir + "long.mch", header_bytes(good_header(kind, 2)) + recs + "tail"));
        d = Read_Arhiv_File(dir + "long.mch", kind);
        QCOMPARE(d.status, Arh_Read::Ok);
        QCOMPARE(uint32_t(d.header.rec_count), 2u);
        QCOMPARE(d.records, recs.left(2 * 94));

        // Two and a half records behind a header claiming ten: ten records, the rest zero,
        // the header kept.
        QVERIFY(write_raw(dir + "cut.mch", header_bytes(good_header(kind, 10)) + recs.left(2 * 94 + 47)));
        d = Read_Arhiv_File(dir + "cut.mch", kind);
        QCOMPARE(d.status, Arh_Read::Ok);
        QCOMPARE(header_bytes(d.header), header_bytes(good_header(kind, 10)));
        QVERIFY(d.short_file);
        QCOMPARE(d.records, recs.left(2 * 94 + 47) + QByteArray(8 * 94 - 47, '\0'));

        // A count no file of ours could hold: refused, nothing allocated for it.
        QVERIFY(write_raw(dir + "huge.mch", header_bytes(good_header(kind, 0xFFFFFFFFu)) + recs.left(94)));
        d = Read_Arhiv_File(dir + "huge.mch", kind);
        QCOMPARE(d.status, Arh_Read::Refused);
        QCOMPARE(d.check, Arh_Check::Too_Many);
        QVERIFY(d.records.isEmpty());

        // No records.
        QVERIFY(write_raw(dir + "empty.mch", header_bytes(good_header(kind, 0))));
        d = Read_Arhiv_File(dir + "empty.mch", kind);
        QCOMPARE(d.status, Arh_Read::Ok);
        QCOMPARE(uint32_t(d.header.rec_count), 0u);
        QVERIFY(d.records.isEmpty());
        QVERIFY(!d.short_file);

        // A parameter count a viewer could overrun with.
        Arhiv_Header bad = good_header(kind, 0);
        bad.par_count = 200;
        QVERIFY(write_raw(dir + "pars.mch", header_bytes(bad)));
        d = Read_Arhiv_File(dir + "pars.mch", kind);
        QCOMPARE(d.status, Arh_Read::Refused);
        QCOMPARE(d.check, Arh_Check::Bad_Par_Count);
    }

    void write_whole_or_nothing()
    {
        const QString dir = Tmp.path() + "/HOURDATA/";
        const auto kind = Arh_File_Kind::Chr_Hour;
        Arhiv_Header h = good_header(kind, 0);

        // No records: exactly the header.
        QCOMPARE(Write_Arhiv_File(dir + "zero.hch", kind, h, QByteArray()), Arh_Write::Ok);
        QCOMPARE(read_raw(dir + "zero.hch"), header_bytes(h));

        // Round trip; records beyond rec_count are not written.
        h.rec_count = 2;
        const QByteArray recs = records(kind, 3);
        QCOMPARE(Write_Arhiv_File(dir + "two.hch", kind, h, recs), Arh_Write::Ok);
        QCOMPARE(read_raw(dir + "two.hch"), header_bytes(h) + recs.left(2 * 94));
        const Arh_File_Data d = Read_Arhiv_File(dir + "two.hch", kind);
        QCOMPARE(d.status, Arh_Read::Ok);
        QCOMPARE(header_bytes(d.header), header_bytes(h));

        // Fewer record bytes than the count: nothing written, the old file stays.
        h.rec_count = 4;
        QCOMPARE(Write_Arhiv_File(dir + "two.hch", kind, h, recs), Arh_Write::Short_Records);
        h.rec_count = 2;
        QCOMPARE(read_raw(dir + "two.hch"), header_bytes(h) + recs.left(2 * 94));
        QCOMPARE(Write_Arhiv_File(dir + "new.hch", kind, h, recs.left(94)), Arh_Write::Short_Records);
        QVERIFY(!QFile::exists(dir + "new.hch"));

        // A directory that does not exist.
        QCOMPARE(Write_Arhiv_File(dir + "nodir/x.hch", kind, h, recs), Arh_Write::Open_Failed);
        QVERIFY(!QFile::exists(dir + "nodir/x.hch"));
    }

    void save_proposes_and_writes()
    {
        const auto kind = Arh_File_Kind::Chr_Meas;
        Arhiv_Header h = good_header(kind, 1);
        h.contr_adr = 12;
        set_line_name(h, " Нитка 1 ");
        const QByteArray recs = records(kind, 1);
        const QString dir = Arh_Dir(kind);

        // Cancel: nothing written, nothing said.
        Script_Save ui;
        ui.Names = {QString()};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Cancelled);
        QCOMPARE(ui.Shown.size(), 1);
        const Save_Dialog_Setup &s = ui.Shown.first();
        QCOMPARE(s.title, QString("Введите имя файла для сохранения данных"));
        QCOMPARE(s.dir, dir);
        QCOMPARE(s.filter, QString("DataFiles (*.mch)"));
        QCOMPARE(s.proposed, dir + "/qzt16_012_Нитка 1_260102.mch");
        QVERIFY(Ques.Shown.isEmpty());

        // A name without extension gets the kind's.
        ui.Shown.clear();
        ui.Names = {dir + "/first"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Saved);
        QCOMPARE(read_raw(dir + "/first.mch"), header_bytes(h) + recs);
        QCOMPARE(ui.Busy_On, 1);
        QCOMPARE(Ques.Shown.size(), 1);
        QCOMPARE(Ques.Shown.first().kind, 6u);
        QCOMPARE(Ques.Shown.first().line1, QString("Данные сохранены в файле first.mch."));
        QCOMPARE(Ques.Shown.first().line2, QString());

        // Any other extension is kept.
        ui.Names = {dir + "/notes.txt"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Saved);
        QVERIFY(QFile::exists(dir + "/notes.txt"));
        QVERIFY(!QFile::exists(dir + "/notes.txt.mch"));
    }

    void save_asks_before_replacing()
    {
        const auto kind = Arh_File_Kind::Wmt_Day;
        Arhiv_Header h = good_header(kind, 2);
        const QByteArray recs = records(kind, 2);
        const QString dir = Arh_Dir(kind);
        QVERIFY(write_raw(dir + "/old.dwm", "old"));

        // Нет: the dialog comes back with the last name; then cancel leaves the old file.
        Script_Save ui;
        ui.Names = {dir + "/old", QString()};
        Ques.Answers = {0};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Cancelled);
        QCOMPARE(Ques.Shown.size(), 1);
        QCOMPARE(Ques.Shown.first().kind, 3u);
        QVERIFY(Ques.Shown.first().yes_no);
        QCOMPARE(Ques.Shown.first().line1, QString("Файл old.dwm уже есть."));
        QCOMPARE(Ques.Shown.first().line2, QString("Вы хотите заменить существующий файл?"));
        QCOMPARE(ui.Shown.size(), 2);
        QCOMPARE(ui.Shown.at(1).proposed, dir + "/old.dwm");
        QCOMPARE(read_raw(dir + "/old.dwm"), QByteArray("old"));

        // Да: replaced whole.
        Ques.Shown.clear();
        ui.Names = {dir + "/old.dwm"};
        Ques.Answers = {1};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Saved);
        QCOMPARE(read_raw(dir + "/old.dwm"), header_bytes(h) + recs);
        QCOMPARE(Ques.Shown.size(), 2);
        QCOMPARE(Ques.Shown.at(1).line1, QString("Данные сохранены в файле old.dwm."));
    }

    void save_reports_failures()
    {
        const auto kind = Arh_File_Kind::Clb;
        Arhiv_Header h = good_header(kind, 1);
        const QByteArray recs = records(kind, 1);
        Script_Save ui;

        ui.Names = {Arh_Dir(kind) + "/missing/dir/x.clb"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Failed);
        QCOMPARE(Ques.Shown.size(), 1);
        QCOMPARE(Ques.Shown.first().kind, 1u);
        QCOMPARE(Ques.Shown.first().caption, QString("Ошибка"));
        QCOMPARE(Ques.Shown.first().line1, QString("Ошибка открытия файла"));

        // A viewer handing fewer records than its header counts writes nothing.
        Ques.Shown.clear();
        h.rec_count = 5;
        ui.Names = {Arh_Dir(kind) + "/few.clb"};
        QCOMPARE(Save_Archive_File(kind, h, recs, QDate(2026, 1, 2), ui), Arh_Save::Failed);
        QVERIFY(!QFile::exists(Arh_Dir(kind) + "/few.clb"));
        QCOMPARE(Ques.Shown.size(), 1);
        QCOMPARE(Ques.Shown.first().kind, 1u);
    }

    void extension_rule()
    {
        QCOMPARE(Arh_Apply_Ext("/a/b/name", Arh_File_Kind::Chr_Hour), QString("/a/b/name.hch"));
        QCOMPARE(Arh_Apply_Ext("/a/b/c.", Arh_File_Kind::Chr_Hour), QString("/a/b/c."));
        QCOMPARE(Arh_Apply_Ext("/a/b.c/name", Arh_File_Kind::Aud), QString("/a/b.c/name.aud"));
        QCOMPARE(Arh_Apply_Ext("/a/b/name.txt", Arh_File_Kind::Chr_Hour), QString("/a/b/name.txt"));
        QCOMPARE(Arh_Apply_Ext("/a/b/name.hch", Arh_File_Kind::Chr_Hour), QString("/a/b/name.hch"));
    }
};

QTEST_GUILESS_MAIN(Tst_Arhiv_Header)
#include "tst_arhiv_header.moc"
