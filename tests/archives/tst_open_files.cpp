// Opening saved files: refusals with their two lines, open failures, cancel, files shorter
// or longer than their header says, counts past what may be loaded.
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
        Arhiv_Header huge = Arh_Test_Header(K::Chr_Hour, 0xFFFFFFFFu);
        QTest::newRow("other kind, count past the limit") << K::Wmt_Hour << Arh_Bytes(huge) << "часовые данные влагомера из архива контроллера QZT_16";
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
        // A header counting more than the file holds, for every kind: all the counted records,
        // those missing zero (they fail their check in the viewer), the header as given.
        for (int i = 0; i < 9; ++i) {
            K k;
            QVERIFY(Arh_Kind_From_Index(i, &k));
            QTest::newRow(qPrintable(QString("claims more ") + Arh_Info(k).ext))
                << k << Arh_Bytes(Arh_Test_Header(k, 10)) + Arh_Records(k, 2) + "0123456789" << 10;
        }
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

    // A count whose records would pass what may be loaded: its own message, nothing allocated.
    void counts_past_the_limit_refused()
    {
        const auto kind = Arh_File_Kind::Wmt_Hour;
        for (const uint32_t count : {uint32_t(ARH_OPEN_MAX_BYTES / 28 + 1), 0xFFFFFFFFu}) {
            QVERIFY(Arh_Write_Raw(Path(kind, "huge.hwm"), Arh_Bytes(Arh_Test_Header(kind, count)) + Arh_Records(kind, 2)));
            QCOMPARE(Open(kind, Path(kind, "huge.hwm")), Open_Result::Refused);
            QCOMPARE(Shown_Count, 0);
            QCOMPARE(Ques.Lines(), QStringList{QString("Файл huge.hwm не может быть открыт:|число записей в заголовке (%1) слишком велико").arg(count)});
        }
    }
};

QTEST_GUILESS_MAIN(TstOpenFiles)
#include "tst_open_files.moc"
