// Opening saved files: refusals with their two lines, open failures, cancel, files shorter
// or longer than their header says, files too large to load.
#include "Arh_Builders.h"
#include "archives/Open_Files.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
struct Script_Ui : Open_Ui {
    std::optional<QString> answer;
    int busy_on = 0, busy_off = 0;
    std::optional<QString> Choose_File(const Open_Dialog_Setup &) override { return answer; }
    void Busy(bool on) override { ++(on ? busy_on : busy_off); }
};
} // namespace

class TstOpenFiles : public QObject {
    Q_OBJECT

    QTemporaryDir Tmp;
    Arh_Ques Ques;
    Script_Ui Ui;
    int Shown_Count = 0;
    QByteArray Shown_Header, Shown_Records;

    Open_Result Open(Arh_File_Kind kind, const std::optional<QString> &path)
    {
        Ui.answer = path;
        Shown_Count = 0;
        Ques.asked.clear();
        return Open_Archive_File(kind, Ui, [this](const Arhiv_Header &h, const QByteArray &r) {
            ++Shown_Count;
            Shown_Header = Arh_Bytes(h);
            Shown_Records = r;
        });
    }
    QString Path(Arh_File_Kind kind, const QString &name) const { return Tmp.path() + '/' + Arh_Info(kind).dir + '/' + name; }

    // A sparse file of header + records padded to above what may be loaded.
    void Write_Huge(const QString &path, const QByteArray &head)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(head), qint64(head.size()));
        QVERIFY(f.resize(ARHIV_HEADER_SIZE + ARH_OPEN_MAX_BYTES + 28));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        QVERIFY(Arh_Make_Work_Dirs(Tmp.path() + '/'));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase() { Set_Ques_Handler(nullptr); }

    void refused_data()
    {
        QTest::addColumn<Arh_File_Kind>("as");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("line2");
        auto head = [](Arh_File_Kind k, int field = 0, int value = 0) {
            Arhiv_Header h = Arh_Test_Header(k);
            uint8_t *f[] = {nullptr, &h.chrom_code, &h.contr_type, &h.par_count, &h.device};
            if (f[field]) *f[field] = uint8_t(value);
            return Arh_Bytes(h);
        };
        using K = Arh_File_Kind;
        QTest::newRow("other signature") << K::Chr_Meas << head(K::Clb) << "измер. данные контроллера QZT_16 из архива";
        QTest::newRow("moisture as chromatograph") << K::Chr_Meas << head(K::Wmt_Meas) << "измер. данные контроллера QZT_16 из архива";
        QTest::newRow("chromatograph as moisture") << K::Wmt_Hour << head(K::Chr_Hour) << "часовые данные влагомера из архива контроллера QZT_16";
        QTest::newRow("model") << K::Chr_Day << head(K::Chr_Day, 2, 15) << "суточные данные контроллера QZT_16 из архива";
        QTest::newRow("chromatograph") << K::Clb << head(K::Clb, 1, 7) << "данные калибровки хроматографа XRM5170";
        QTest::newRow("parameter count") << K::Wmt_Day << head(K::Wmt_Day, 3, 21) << "суточные данные влагомера из архива контроллера QZT_16";
        QTest::newRow("ala as aud") << K::Aud << head(K::Ala) << "сообщения о вмешательствах оператора контроллера QZT_16";
        QTest::newRow("aud as ala") << K::Ala << head(K::Aud) << "диагностические сообщения контроллера QZT_16";
        QTest::newRow("shorter than a header") << K::Chr_Hour << head(K::Chr_Hour).left(904) << "часовые данные контроллера QZT_16 из архива";
        QTest::newRow("empty") << K::Chr_Hour << QByteArray() << "часовые данные контроллера QZT_16 из архива";
    }
    void refused()
    {
        QFETCH(Arh_File_Kind, as);
        QFETCH(QByteArray, file);
        QFETCH(QString, line2);
        QVERIFY(Arh_Write_Raw(Path(as, "bad.x"), file));
        QCOMPARE(Open(as, Path(as, "bad.x")), Open_Result::Refused);
        QCOMPARE(Shown_Count, 0);
        QCOMPARE(Ques.Lines(), QStringList{"Файл bad.x не является файлом, содержащим|" + line2});
        QCOMPARE(Ques.asked[0].caption, QString("Ошибка"));
    }

    void shown_data()
    {
        QTest::addColumn<Arh_File_Kind>("kind");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        using K = Arh_File_Kind;
        Arhiv_Header ch = Arh_Test_Header(K::Wmt_Meas, 1);
        ch.device = 0x31;   // a channel in the high nibble
        QTest::newRow("moisture channel") << K::Wmt_Meas << Arh_Bytes(ch) + Arh_Records(K::Wmt_Meas, 1) << 1;
        Arhiv_Header a = Arh_Test_Header(K::Aud, 1);
        a.device = 0x5F;    // not looked at for messages
        QTest::newRow("messages any device") << K::Aud << Arh_Bytes(a) + Arh_Records(K::Aud, 1) << 1;
        QTest::newRow("no records") << K::Chr_Hour << Arh_Bytes(Arh_Test_Header(K::Chr_Hour, 0)) << 0;
        QTest::newRow("tail ignored") << K::Chr_Hour << Arh_Bytes(Arh_Test_Header(K::Chr_Hour, 2)) + Arh_Records(K::Chr_Hour, 3) + "tail" << 2;
        // A header claiming more than the file holds: a partial last record zero-filled,
        // the count the file holds told to the viewer.
        QTest::newRow("claims more") << K::Chr_Hour << Arh_Bytes(Arh_Test_Header(K::Chr_Hour, 10)) + Arh_Records(K::Chr_Hour, 2) + "0123456789" << 3;
    }
    void shown()
    {
        QFETCH(Arh_File_Kind, kind);
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        QVERIFY(Arh_Write_Raw(Path(kind, "ok.x"), file));
        QCOMPARE(Open(kind, Path(kind, "ok.x")), Open_Result::Shown);
        QCOMPARE(Shown_Count, 1);
        QVERIFY(Ques.asked.isEmpty());
        const int size = int(Arh_Info(kind).rec_size);
        QByteArray head = file.left(ARHIV_HEADER_SIZE);
        qToLittleEndian<uint32_t>(uint32_t(count), head.data() + 891);
        QCOMPARE(Shown_Header, head);
        QCOMPARE(Shown_Records, file.mid(ARHIV_HEADER_SIZE, count * size).leftJustified(count * size, '\0'));
        QCOMPARE(Ui.busy_on, Ui.busy_off);
    }

    void cancel_and_open_failure()
    {
        QCOMPARE(Open(Arh_File_Kind::Chr_Meas, std::nullopt), Open_Result::Cancelled);
        QCOMPARE(Open(Arh_File_Kind::Ala, QString()), Open_Result::Cancelled);
        QVERIFY(Ques.asked.isEmpty());
        for (const QString &p : {Path(Arh_File_Kind::Clb, "none.clb"), Tmp.path() + "/CALIBRARHIV"}) {
            QCOMPARE(Open(Arh_File_Kind::Clb, p), Open_Result::Open_Failed);
            QCOMPARE(Shown_Count, 0);
            QCOMPARE(Ques.Lines(), QStringList{"Ошибка открытия файла|"});
        }
    }

    // A file too large to load is refused before anything is allocated for it; a large
    // file whose header counts few records opens with those.
    void oversized_files()
    {
        const auto kind = Arh_File_Kind::Wmt_Hour;
        const QString line2 = Arh_Refusal_Line2(kind);
        Write_Huge(Path(kind, "huge.hwm"), Arh_Bytes(Arh_Test_Header(kind, 0xFFFFFFFFu)));
        QCOMPARE(Open(kind, Path(kind, "huge.hwm")), Open_Result::Refused);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].line2, line2);
        Write_Huge(Path(kind, "other.hwm"), Arh_Bytes(Arh_Test_Header(Arh_File_Kind::Chr_Hour, 0xFFFFFFFFu)));
        QCOMPARE(Open(kind, Path(kind, "other.hwm")), Open_Result::Refused);
        QCOMPARE(Ques.asked[0].line2, line2);
        Write_Huge(Path(kind, "few.hwm"), Arh_Bytes(Arh_Test_Header(kind, 2)) + Arh_Records(kind, 2));
        QCOMPARE(Open(kind, Path(kind, "few.hwm")), Open_Result::Shown);
        QCOMPARE(Shown_Records, Arh_Records(kind, 2));
        for (const char *n : {"huge.hwm", "few.hwm", "other.hwm"}) QFile::remove(Path(kind, n));
    }
};

QTEST_GUILESS_MAIN(TstOpenFiles)
#include "tst_open_files.moc"
