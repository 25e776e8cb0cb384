// The configuration record and its files, and the whole-configuration exchange against the
// controller simulator: the file round trip and refused files, the save sequence's names and
// questions, the checks of Apply_Config, and what Read_Config and Write_Config ask of the controller.
#include "core/Cnf_Exchange.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "params/Config.h"
#include "params/Limits.h"
#include "params/Tabinfo.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

struct Ques_Log final : Ques_Handler {
    QList<uint8_t> answers;
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

uint8_t *B(Cnf_Rec &r) { return reinterpret_cast<uint8_t *>(&r); }

QByteArray Rec_Bytes(const Cnf_Rec &r) { return QByteArray(reinterpret_cast<const char *>(&r), sizeof r); }

void Write_Raw(const QString &path, const QByteArray &b)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(b);
}

} // namespace

class Tst_Cnf : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    Ques_Log ques;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<hgcbox> box;

    Cnf_Exch_Ui Quiet_Ui(QList<int> *pos = nullptr, int *max = nullptr, QStringList *names = nullptr)
    {
        Cnf_Exch_Ui ui;
        ui.pause = [](int) {};
        if (pos) ui.progress_pos = [pos](int p) { *pos << p; };
        if (max) ui.progress_max = [max](int m) { *max = m; };
        if (names) ui.contr_name = [names](const QString &s) { *names << s; };
        return ui;
    }
    QString Path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path() + "/");
        QDir().mkpath(Cnf_Dir());
        Init_Tables();
        Set_Ques_Handler(&ques);
        box = std::make_unique<hgcbox>(1);
        Exch_Box = box.get();
        box->Conn_Prz = 2;
        box->Clk = &clk;
        box->Pause_Tcp_Ms = 0;
        box->Sock = port.Borrow();
        std::memcpy(box->Write_Pass, sim.Password().constData(), 12);
        std::memcpy(box->User_Code, sim.Code().constData(), 4);
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
    }
    void cleanupTestCase()
    {
        Exch_Box = nullptr;
        box.reset();
        Set_Ques_Handler(nullptr);
    }
    void init()
    {
        ques.asked.clear();
        ques.answers.clear();
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        sim.Clear_Log();
        std::memcpy(Contr_Tables, sim.Image().constData(), CONTR_TABLES_SIZE);
        for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), 20);
        Config_Only = false;
    }

    void scrambling_is_exact_and_only_on_passwords()
    {
        Cnf_Rec r;
        for (int i = 0; i < CNF_REC_SIZE; ++i) B(r)[i] = uint8_t(i * 13 + 7);
        const QByteArray before = Rec_Bytes(r);
        Scramble_Cnf(r);
        const QByteArray s = Rec_Bytes(r);
        for (int i = 0; i < CNF_REC_SIZE; ++i) {
            const bool pass = i >= 1825 && i < 2145 && (i - 1825) % 20 >= 4;
            const uint8_t b = uint8_t(before[i]);
            QCOMPARE(uint8_t(s[i]), pass ? uint8_t(uint8_t(~b) + 5) : b);
        }
        Unscramble_Cnf(r);
        QCOMPARE(Rec_Bytes(r), before);
        Cnf_Rec blank;
        New_Cnf(blank);
        Scramble_Cnf(blank);
        QCOMPARE(uint8_t(blank.flou[0].pass[0]), uint8_t(0xE4));   // blank: NOT 0x20 + 5
    }

    void file_round_trip_keeps_every_byte()
    {
        Cnf_Rec r;
        New_Cnf(r);
        for (int i : {19, 1309, 4135, 4334}) B(r)[i] = uint8_t(i);   // reserved bytes survive
        std::memcpy(r.flou[2].pass, "pass-for-vrg-3\x01\xff", 16);
        const QByteArray before = Rec_Bytes(r);
        const QString p = Path("round.cnf");
        QCOMPARE(Write_Cnf_File(p, r), Cnf_Write::Ok);
        QCOMPARE(Rec_Bytes(r), before);   // the caller's record is not scrambled
        QFile f(p);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray file = f.readAll();
        QCOMPARE(file.size(), 4335);
        QCOMPARE(file.left(1829), before.left(1829));
        QCOMPARE(uint8_t(file[1825 + 40 + 4]), uint8_t(uint8_t(~uint8_t('p')) + 5));
        Cnf_Rec back;
        std::memset(&back, 0, sizeof back);
        QCOMPARE(Load_Cnf_File(p, back), Cnf_Load::Ok);
        QCOMPARE(Rec_Bytes(back), before);
        // A file cannot be made: refused, nothing left behind.
        QCOMPARE(Write_Cnf_File(Path("no/such/dir/x.cnf"), r), Cnf_Write::Open_Failed);
    }

    void bad_files_are_refused_whole_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("line2");
        const QString cnf = "контроллера QZT_15";
        QTest::newRow("short") << 1 << -1 << 0 << int(Cnf_Load::Bad_Size) << cnf;
        QTest::newRow("long") << -1 << -1 << 0 << int(Cnf_Load::Bad_Size) << cnf;
        QTest::newRow("empty") << 4335 << -1 << 0 << int(Cnf_Load::Bad_Size) << cnf;
        QTest::newRow("type") << 0 << 2 << int('H') << int(Cnf_Load::Bad_Type) << "контроллера QZT";
        QTest::newRow("version") << 0 << 4 << 14 << int(Cnf_Load::Bad_Version) << "для контроллера QZT с версией ПО 14";
    }
    void bad_files_are_refused_whole()
    {
        QFETCH(int, cut);
        QFETCH(int, at);
        QFETCH(int, value);
        QFETCH(int, result);
        QFETCH(QString, line2);
        Cnf_Rec good;
        New_Cnf(good);
        QByteArray bytes = Rec_Bytes(good);
        if (cut > 0) bytes.chop(cut);
        if (cut < 0) bytes.append('\0');
        if (at >= 0) bytes[at] = char(value);
        Write_Raw(Path("bad.cnf"), bytes);
        Cnf_Rec r;
        New_Cnf(r);
        r.t5[0] = 'Z';
        const QByteArray kept = Rec_Bytes(r);
        uint8_t v = 0;
        const Cnf_Load res = Load_Cnf_File(Path("bad.cnf"), r, &v);
        QCOMPARE(int(res), result);
        QCOMPARE(Rec_Bytes(r), kept);   // nothing of a refused file is taken
        Report_Cnf_Load(res, Path("bad.cnf"), v);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line2, line2);
    }

    void filled_flag_and_reserved_bytes_are_not_checked()
    {
        Cnf_Rec good;
        New_Cnf(good);
        QByteArray filled = Rec_Bytes(good);
        filled[0] = char(7);
        filled[20] = char(9);
        Write_Raw(Path("filled.cnf"), filled);
        Cnf_Rec r;
        QCOMPARE(Load_Cnf_File(Path("filled.cnf"), r), Cnf_Load::Ok);
        QCOMPARE(int(r.filled), 7);
        QCOMPARE(Load_Cnf_File(Path("missing.cnf"), r), Cnf_Load::Open_Failed);
    }

    void save_sequence_names_and_questions()
    {
        Cnf_Rec r;
        New_Cnf(r);
        const QDateTime now(QDate(2026, 3, 4), QTime(5, 6));
        const QString proposed = Cnf_Proposed_Name(r, now);
        QCOMPARE(QFileInfo(proposed).fileName(), QString("qzt_16-Контроллер QZT_16-2603040506.cnf"));
        QCOMPARE(QFileInfo(proposed).absolutePath(), QFileInfo(Cnf_Dir()).absoluteFilePath());
        // A name with a separator stays one file in CONFIG.
        Cnf_Rec slash = r;
        std::memset(slash.t5, 0, 20);
        std::memcpy(slash.t5, " A/B ", 5);
        QCOMPARE(QFileInfo(Cnf_Proposed_Name(slash, now)).fileName(), QString("qzt_16-A_B-2603040506.cnf"));

        // A file that cannot be made.
        ques.asked.clear();
        QVERIFY(!Save_Cnf_Run(r, now, [&](const QString &) { return std::optional<QString>(Path("no/dir/x.cnf")); }));
        QCOMPARE(ques.asked.last().kind, 1u);
        QCOMPARE(ques.asked.last().line1, QString("Ошибка открытия файла"));
    }

    void replace_question_data()
    {
        QTest::addColumn<QString>("existing");     // a file there already (1 byte)
        QTest::addColumn<QStringList>("chosen");   // the names chosen, one per dialog, then cancel
        QTest::addColumn<QString>("shown");        // the name the second dialog shows
        QTest::addColumn<bool>("saved");
        // "Нет" opens the dialog again with the name refused; choosing it again saves it
        // without a second question.
        QTest::newRow("refused, chosen again") << "noext" << QStringList{"noext", "noext"} << "noext" << true;
        // "abc" is "abc.cnf": an existing one is asked about before it is replaced.
        QTest::newRow("extension put on") << "abc.cnf" << QStringList{"abc"} << "abc.cnf" << false;
    }
    void replace_question()
    {
        QFETCH(QString, existing);
        QFETCH(QStringList, chosen);
        QFETCH(QString, shown);
        QFETCH(bool, saved);
        Cnf_Rec r;
        New_Cnf(r);
        const QDateTime now(QDate(2026, 3, 4), QTime(5, 6));
        Write_Raw(Path(existing), "x");
        QStringList seen;
        ques.asked.clear();
        ques.answers = {0};
        QVERIFY(Save_Cnf_Run(r, now, [&](const QString &s) -> std::optional<QString> {
                    seen << s;
                    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(Path(chosen.takeFirst()));
                }) == saved);
        QCOMPARE(seen, QStringList({Cnf_Proposed_Name(r, now), Path(shown)}));
        QCOMPARE(QFileInfo(Path(existing)).size(), qint64(saved ? 4335 : 1));
        QCOMPARE(ques.asked.size(), saved ? 2 : 1);
        QCOMPARE(ques.asked[0].kind, 3u);
        QCOMPARE(ques.asked[0].line1, QString("Файл %1 уже есть.").arg(existing));
        QCOMPARE(ques.asked[0].line2, QString("Вы хотите заменить существующий файл?"));
        QFile::remove(Path(existing));
    }

    void apply_checks_in_order()
    {
        Cnf_Rec base;
        New_Cnf(base);
        std::memcpy(base.users[0].name, "ADM ", 4);
        base.users[0].level = 1;
        base.users[0].flag = 1;
        std::memcpy(base.users[0].code, "1234", 4);
        base.users[5].level = 0;
        std::memcpy(base.users[5].name, "OLD ", 4);

        struct Case {
            std::function<void(Cnf_Rec &)> spoil;
            QString l1, l2;
        };
        const QList<Case> cases = {
            {[](Cnf_Rec &r) { r.users[0].level = 2; }, "В списке зарегистрированных пользователей",
             "не зарегистрирован производитель-наладчик"},
            {[](Cnf_Rec &r) { r.t14[0] = 0; }, "Неверно задан адрес хроматографа", ""},
            {[](Cnf_Rec &r) {
                 r.t6[8] = 1;
                 r.t15[0] = 0;
             },
             "Неверно задан адрес влагомера", ""},
            {[](Cnf_Rec &r) {
                 r.t9[0] = 3;
                 r.flou[2].adr = 0;
             },
             "Неверно заданы адреса вычислителей РГ", ""},
        };
        for (const Case &c : cases) {
            Cnf_Rec r = base;
            c.spoil(r);
            const Cnf_Rec spoiled = r;
            ques.asked.clear();
            QVERIFY(!Apply_Config(r, true));
            // A user check refuses the record as it came (the address checks, with one line, come
            // after the users are tidied).
            if (!c.l2.isEmpty()) QVERIFY(std::memcmp(&r, &spoiled, sizeof r) == 0);
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].kind, 2u);
            QCOMPARE(ques.asked[0].line1, c.l1);
            QCOMPARE(ques.asked[0].line2, c.l2);
        }

        // A flow-computer count beyond 16 checks the 16 records and no further.
        Cnf_Rec many = base;
        many.t9[0] = 200;
        QVERIFY(Apply_Config(many, true));

        // Accepted: every table at its place, users tidied, flow-computer records spread.
        Cnf_Rec r = base;
        std::memcpy(r.flou[1].pass, "ABCDEFGHIJKLMNOP", 16);
        r.flou[1].type = 3;
        r.flou[1].mask = 0x11;
        r.flou[1].order = 1;
        r.t28[0] = 2;
        r.t29[3] = 10;
        r.t44[79] = 0x42;
        ques.asked.clear();
        QVERIFY(Apply_Config(r, true));
        QVERIFY(ques.asked.isEmpty());
        QCOMPARE(int(r.users[0].flag), 0);
        QCOMPARE(QByteArray(r.users[5].name, 4), QByteArray("    "));
        for (int t : {1, 3, 4, 5, 6, 9, 14, 15, 21, 22, 23, 24, 25, 26, 28, 29, 43, 44})
            QVERIFY2(std::memcmp(Contr_Tables + Tab_Offset(t), B(r) + Cnf_Table_Offset(t), Tab_Length(t)) == 0,
                     qPrintable(QString::number(t)));
        QCOMPARE(int(*Tab_Field(18, 1)), 2);
        QCOMPARE(int(*Tab_Field(17, 1)), 3);
        QCOMPARE(int(*Tab_Field(19, 1)), 0x11);
        QCOMPARE(int(*Tab_Field(20, 1)), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(13, 1)), 16), QByteArray("ABCDEFGHIJKLMNOP"));

        // Without the user check table 4 is left alone, whatever the record holds.
        const QByteArray t4(reinterpret_cast<const char *>(Contr_Tables + Tab_Offset(4)), 352);
        Cnf_Rec nousers = r;
        nousers.users[0].level = 0;
        QVERIFY(Apply_Config(nousers, false));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Contr_Tables + Tab_Offset(4)), 352), t4);
    }

    void read_config_reads_every_table_but_13_in_chunks()
    {
        std::memset(Contr_Tables + Tab_Offset(1), 0, CONTR_TABLES_SIZE - Tab_Offset(1));
        QStringList names;
        QVERIFY(Read_Config(Quiet_Ui(nullptr, nullptr, &names)));
        const QList<Req> got = Take_Requests(sim);
        QCOMPARE(got.mid(0, 7), QList<Req>({{1, 1, 0, 3}, {1, 1, 3, 3}, {1, 1, 6, 3}, {1, 1, 9, 3}, {1, 1, 12, 3},
                                            {1, 1, 15, 3}, {1, 1, 18, 2}}));
        QVERIFY(got.contains(Req{1, 4, 0, 11}) && got.contains(Req{1, 4, 11, 5}));
        for (const Req &r : got) QVERIFY(r.tab != 13);
        QCOMPARE(names, QStringList({"ГРС Северная"}));
        for (int t : {1, 4, 6, 9, 14, 22, 29, 44})
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(Contr_Tables + Tab_Offset(t)), Tab_Length(t)),
                     sim.Table(t));
    }

    void read_config_stops_at_a_failed_table()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Skip(9).Times(-1));
        ques.answers = {0};
        QVERIFY(!Read_Config(Quiet_Ui()));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 7u);
        sim.Clear_Faults();
    }

    void write_config_writes_selected_tables_in_order()
    {
        // The image as a restore leaves it: a record applied over it.
        Cnf_Rec r;
        New_Cnf(r);
        std::memcpy(r.users[0].name, "ADM ", 4);
        r.users[0].level = 1;
        std::memcpy(r.users[0].code, "1234", 4);
        r.t9[0] = 3;
        r.t3[0] = 1;   // the simulator stays at address 1
        std::memcpy(r.flou[2].pass, "third-password!!", 16);
        QVERIFY(Apply_Config(r, true));
        *Tab_Field(0, 12) = 0;   // names kept in 866 by the controller

        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        for (int t : {1, 3, 5, 6, 9, 13, 14, 17, 18, 19, 20, 22, 44}) b.Write_Sel[t] = 1;
        QList<int> pos;
        int max = 0;
        QStringList names;
        int link_changed = 0;
        Cnf_Exch_Ui ui = Quiet_Ui(&pos, &max, &names);
        ui.link_changed = [&] { ++link_changed; };
        const QByteArray names_1251(reinterpret_cast<const char *>(Tab_Field(5, 0)), 60);
        QVERIFY(Write_Config(b, ui));

        const QList<Req> expect = {
            {2, 9, 0, 6},   {2, 17, 0, 3},  {2, 18, 0, 3},  {2, 19, 0, 3},  {2, 20, 0, 3},  {2, 13, 0, 3},
            {2, 1, 0, 3},   {2, 1, 3, 3},   {2, 1, 6, 3},   {2, 1, 9, 3},   {2, 1, 12, 3},  {2, 1, 15, 3},
            {2, 1, 18, 2},  {2, 3, 0, 4},   {2, 5, 0, 3},   {2, 6, 0, 12},  {2, 14, 0, 16}, {2, 22, 0, 20},
            {2, 44, 0, 20},
        };
        QCOMPARE(Take_Requests(sim), expect);
        for (int t : {9, 13, 17, 18, 19, 20}) QCOMPARE(int(b.Write_Sel[t]), 0);
        QCOMPARE(names, QStringList({"Контроллер QZT_16"}));
        // The controller got 866, the image keeps 1251.
        QCOMPARE(sim.Table(5).left(17), Unicode_To_Cp866("Контроллер QZT_16"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(5, 0)), 60), names_1251);
        QCOMPARE(sim.Field(13, 2), QByteArray("third-password!!"));
        QCOMPARE(sim.Table(6), QByteArray(reinterpret_cast<const char *>(r.t6), 12));
    }

    void write_config_long_password_table_and_no_flow_computers()
    {
        *Tab_Field(9, 0) = 16;
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[13] = 1;
        QVERIFY(Write_Config(b, Quiet_Ui()));
        QCOMPARE(Take_Requests(sim), QList<Req>({{2, 13, 0, 14}, {2, 13, 14, 2}}));

        *Tab_Field(9, 0) = 0;
        Fill_Tab_State_Block(b, nullptr);
        for (int t : {13, 17, 18}) b.Write_Sel[t] = 1;
        QVERIFY(Write_Config(b, Quiet_Ui()));
        QVERIFY(Take_Requests(sim).isEmpty());
        QCOMPARE(int(b.Write_Sel[17]), 0);
    }

    void write_config_failure_keeps_names_in_1251()
    {
        *Tab_Field(0, 12) = 0;
        const QByteArray names(reinterpret_cast<const char *>(Tab_Field(5, 0)), 60);
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[5] = 1;
        b.Write_Sel[6] = 1;
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        ques.answers = {0};
        QVERIFY(!Write_Config(b, Quiet_Ui()));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Field(5, 0)), 60), names);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Не выполнена запись в таблицу 5."));
        sim.Clear_Faults();
    }

    void write_config_table_3_moves_the_link()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Conn_Settings.Ethernet_Conn_Par.Link.Adr = 9;
        *Tab_Field(3, 0) = 1;
        *Tab_Field(3, 1) = 15;   // 19200
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[3] = 1;
        const uint32_t rate = box->Rate;
        QVERIFY(Write_Config(b, Quiet_Ui()));
        QCOMPARE(int(box->Adr), 1);
        QCOMPARE(int(Conn_Settings.Ethernet_Conn_Par.Link.Adr), 1);
        QCOMPARE(box->Rate, rate);   // a socket keeps its own rate

        // A configuration-only link: the settings of the next connection follow as well.
        Config_Only = true;
        Conn_Settings.Ethernet_Conn_Par.Link.Adr = 9;
        b.Write_Sel[3] = 1;
        QVERIFY(Write_Config(b, Quiet_Ui()));
        QCOMPARE(int(Conn_Settings.Ethernet_Conn_Par.Link.Adr), 1);
        QCOMPARE(box->Rate, rate);
        Config_Only = false;
    }
};

QTEST_GUILESS_MAIN(Tst_Cnf)
#include "tst_cnf.moc"
