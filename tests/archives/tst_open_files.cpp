// Opening saved files: every kind saved and reopened unchanged, what the open dialog is
// given, files of another kind, model, chromatograph or device refused with the two lines,
// files shorter than a header or counting too many records refused, short and long files, cancel.
#include "archives/Open_Files.h"
#include "core/Globals.h"
#include "core/Ques.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

struct Script_Ui : Open_Ui {
    std::optional<QString> answer;
    QList<Open_Dialog_Setup> setups;
    int busy_on = 0, busy_off = 0;
    std::optional<QString> Choose_File(const Open_Dialog_Setup &s) override
    {
        setups << s;
        return answer;
    }
    void Busy(bool on) override { ++(on ? busy_on : busy_off); }
};

struct Shown {
    int count = 0;
    QByteArray header;
    QByteArray records;
};

QByteArray header_bytes(const Arhiv_Header &h) { return QByteArray(reinterpret_cast<const char *>(&h), sizeof h); }

Arhiv_Header good_header(Arh_File_Kind kind, uint32_t count)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, Arh_Info(kind).magic, 3);
    h.device = Arh_Info(kind).device;
    std::memcpy(h.contr_name, "Station 4", 9);
    std::memcpy(h.line_name, "Line", 4);
    h.contr_adr = 7;
    h.contr_type = 16;
    h.chrom_code = 8;
    h.par_count = 3;
    std::memcpy(h.pars[0].symbol, "CH4", 3);
    h.pars[0].decimals = 3;
    h.made = Date6{26, 4, 12, 10, 20, 30};
    h.period_start = Date6{26, 4, 1, 0, 0, 0};
    h.period_end = Date6{26, 4, 12, 0, 0, 0};
    h.rec_count = count;
    h.chrom_mac[0] = 0xAA;
    return h;
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

const Arh_File_Kind ALL_KINDS[] = {Arh_File_Kind::Chr_Meas, Arh_File_Kind::Chr_Hour, Arh_File_Kind::Chr_Day,
                                   Arh_File_Kind::Clb,      Arh_File_Kind::Wmt_Meas, Arh_File_Kind::Wmt_Hour,
                                   Arh_File_Kind::Wmt_Day,  Arh_File_Kind::Ala,      Arh_File_Kind::Aud};

} // namespace

class TstOpenFiles : public QObject {
    Q_OBJECT

    QTemporaryDir Tmp;
    Ques_Log Ques;
    Script_Ui Ui;
    Shown Last;

    Open_Result Open(Arh_File_Kind kind, const std::optional<QString> &path)
    {
        Ui.answer = path;
        Last = Shown{};
        return Open_Archive_File(kind, Ui, [this](const Arhiv_Header &h, const QByteArray &r) {
            ++Last.count;
            Last.header = header_bytes(h);
            Last.records = r;
        });
    }

    QString Path(Arh_File_Kind kind, const QString &name) const
    {
        return Tmp.path() + '/' + Arh_Info(kind).dir + '/' + name;
    }

    void Verify_Refused(Arh_File_Kind kind, const QString &name, const QString &line2)
    {
        Ques.asked.clear();
        QCOMPARE(Open(kind, Path(kind, name)), Open_Result::Refused);
        QCOMPARE(Last.count, 0);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].kind, 1u);
        QCOMPARE(Ques.asked[0].caption, QString("Ошибка"));
        QCOMPARE(Ques.asked[0].line1, QString("Файл %1 не является файлом, содержащим").arg(name));
        QCOMPARE(Ques.asked[0].line2, line2);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path() + '/');
        for (const char *d : {"MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV", "ALAFILES", "AUDFILES"})
            QVERIFY(QDir(Tmp.path()).mkpath(d));
        Set_Ques_Handler(&Ques);
    }

    void commands_table()
    {
        const auto &c = Open_File_Commands();
        QCOMPARE(QString(c[0].item), QString("NAudPrn"));
        QCOMPARE(QString(Open_File_Item(Arh_File_Kind::Ala)), QString("NAlaPrn"));
        QCOMPARE(QString(Open_File_Item(Arh_File_Kind::Chr_Meas)), QString("NChrom_ViewMeas"));
        QCOMPARE(QString(Open_File_Item(Arh_File_Kind::Clb)), QString("NChrom_ViewClb"));
        QCOMPARE(QString(Open_File_Item(Arh_File_Kind::Wmt_Day)), QString("NWmt_ViewDay"));
        for (const Arh_File_Kind k : ALL_KINDS) QVERIFY(*Open_File_Item(k));
    }

    // Each kind saved as the viewers save it, then opened: the dialog in the kind's directory
    // with its filter entry, and the viewer given the same header and records.
    void saved_files_reopen_unchanged()
    {
        struct Want { Arh_File_Kind kind; const char *dir; int index; const char *ext; };
        const Want wants[] = {
            {Arh_File_Kind::Aud, "AUDFILES", 4, "*.aud"},      {Arh_File_Kind::Ala, "ALAFILES", 3, "*.ala"},
            {Arh_File_Kind::Chr_Meas, "MOMDATA", 5, "*.mch"},  {Arh_File_Kind::Chr_Hour, "HOURDATA", 7, "*.hch"},
            {Arh_File_Kind::Chr_Day, "DAYDATA", 9, "*.dch"},   {Arh_File_Kind::Clb, "CALIBRARHIV", 11, "*.clb"},
            {Arh_File_Kind::Wmt_Meas, "MOMDATA", 6, "*.mwm"},  {Arh_File_Kind::Wmt_Hour, "HOURDATA", 8, "*.hwm"},
            {Arh_File_Kind::Wmt_Day, "DAYDATA", 10, "*.dwm"},
        };
        for (const Want &w : wants) {
            const Arhiv_Header h = good_header(w.kind, 5);
            const QByteArray recs = records(w.kind, 5);
            const QString path = Path(w.kind, QString("saved") + Arh_Info(w.kind).ext);
            QCOMPARE(Write_Arhiv_File(path, w.kind, h, recs), Arh_Write::Ok);

            Ui.setups.clear();
            Ques.asked.clear();
            QCOMPARE(Open(w.kind, path), Open_Result::Shown);
            QCOMPARE(Ui.setups.size(), 1);
            const Open_Dialog_Setup &s = Ui.setups[0];
            QCOMPARE(s.title, QString("Выберите файл с данными"));
            QCOMPARE(QDir::cleanPath(s.dir), QDir::cleanPath(Tmp.path() + '/' + w.dir));
            QCOMPARE(s.filter_index, w.index);
            QCOMPARE(s.filters.size(), 13);
            QVERIFY2(s.filters.at(s.filter_index - 1).contains(w.ext), qPrintable(s.filters.at(s.filter_index - 1)));
            QCOMPARE(Last.count, 1);
            QCOMPARE(Last.header, header_bytes(h));
            QCOMPARE(Last.records, recs);
            QVERIFY(Ques.asked.isEmpty());
        }
        QCOMPARE(Ui.busy_on, Ui.busy_off);
    }

    void cancel_does_nothing()
    {
        Ques.asked.clear();
        QCOMPARE(Open(Arh_File_Kind::Chr_Meas, std::nullopt), Open_Result::Cancelled);
        QCOMPARE(Open(Arh_File_Kind::Ala, QString()), Open_Result::Cancelled);
        QCOMPARE(Last.count, 0);
        QVERIFY(Ques.asked.isEmpty());
    }

    void open_failure()
    {
        Ques.asked.clear();
        QCOMPARE(Open(Arh_File_Kind::Clb, Path(Arh_File_Kind::Clb, "none.clb")), Open_Result::Open_Failed);
        QCOMPARE(Last.count, 0);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].kind, 1u);
        QCOMPARE(Ques.asked[0].caption, QString("Ошибка"));
        QCOMPARE(Ques.asked[0].line1, QString("Ошибка открытия файла"));
        QVERIFY(Ques.asked[0].line2.isEmpty());

        // A directory given for a file.
        Ques.asked.clear();
        QCOMPARE(Open(Arh_File_Kind::Clb, Tmp.path() + "/CALIBRARHIV"), Open_Result::Open_Failed);
        QCOMPARE(Ques.asked.size(), 1);
        QCOMPARE(Ques.asked[0].line1, QString("Ошибка открытия файла"));
    }

    void other_kinds_refused()
    {
        // Signature of another kind.
        QVERIFY(write_raw(Path(Arh_File_Kind::Chr_Meas, "clb.mch"),
                          header_bytes(good_header(Arh_File_Kind::Clb, 0))));
        Verify_Refused(Arh_File_Kind::Chr_Meas, "clb.mch", "измер. данные контроллера QZT_16 из архива");

        // A moisture-meter list through the chromatograph command, and the other way round.
        const Arhiv_Header wm = good_header(Arh_File_Kind::Wmt_Meas, 1);
        QCOMPARE(uint8_t(wm.device), uint8_t(0x01));
        QCOMPARE(Write_Arhiv_File(Path(Arh_File_Kind::Wmt_Meas, "m.mwm"), Arh_File_Kind::Wmt_Meas, wm,
                                  records(Arh_File_Kind::Wmt_Meas, 1)),
                 Arh_Write::Ok);
        Verify_Refused(Arh_File_Kind::Chr_Meas, "m.mwm", "измер. данные контроллера QZT_16 из архива");
        QCOMPARE(Open(Arh_File_Kind::Wmt_Meas, Path(Arh_File_Kind::Wmt_Meas, "m.mwm")), Open_Result::Shown);
        QCOMPARE(Last.records, records(Arh_File_Kind::Wmt_Meas, 1));

        // A channel in the high nibble does not matter; the low nibble does.
        Arhiv_Header ch = wm;
        ch.device = 0x31;
        QVERIFY(write_raw(Path(Arh_File_Kind::Wmt_Meas, "ch.mwm"), header_bytes(ch)));
        QCOMPARE(Open(Arh_File_Kind::Wmt_Meas, Path(Arh_File_Kind::Wmt_Meas, "ch.mwm")), Open_Result::Shown);
        const Arhiv_Header hd = good_header(Arh_File_Kind::Chr_Hour, 0);
        QVERIFY(write_raw(Path(Arh_File_Kind::Chr_Hour, "c.hch"), header_bytes(hd)));
        Verify_Refused(Arh_File_Kind::Wmt_Hour, "c.hch", "часовые данные влагомера из архива контроллера QZT_16");

        // Another controller model, another chromatograph.
        Arhiv_Header m = good_header(Arh_File_Kind::Chr_Day, 0);
        m.contr_type = 15;
        QVERIFY(write_raw(Path(Arh_File_Kind::Chr_Day, "model.dch"), header_bytes(m)));
        Verify_Refused(Arh_File_Kind::Chr_Day, "model.dch", "суточные данные контроллера QZT_16 из архива");
        Arhiv_Header c = good_header(Arh_File_Kind::Clb, 0);
        c.chrom_code = 7;
        QVERIFY(write_raw(Path(Arh_File_Kind::Clb, "chrom.clb"), header_bytes(c)));
        Verify_Refused(Arh_File_Kind::Clb, "chrom.clb", "данные калибровки хроматографа XRM5170");

        // A parameter count a viewer could overrun with.
        Arhiv_Header p = good_header(Arh_File_Kind::Wmt_Day, 0);
        p.par_count = 21;
        QVERIFY(write_raw(Path(Arh_File_Kind::Wmt_Day, "pars.dwm"), header_bytes(p)));
        Verify_Refused(Arh_File_Kind::Wmt_Day, "pars.dwm", "суточные данные влагомера из архива контроллера QZT_16");

        // The message lists' own lines; their device byte is not looked at.
        QVERIFY(write_raw(Path(Arh_File_Kind::Ala, "aud.ala"), header_bytes(good_header(Arh_File_Kind::Aud, 0))));
        Verify_Refused(Arh_File_Kind::Ala, "aud.ala", "диагностические сообщения контроллера QZT_16");
        QVERIFY(write_raw(Path(Arh_File_Kind::Aud, "ala.aud"), header_bytes(good_header(Arh_File_Kind::Ala, 0))));
        Verify_Refused(Arh_File_Kind::Aud, "ala.aud", "сообщения о вмешательствах оператора контроллера QZT_16");
        Arhiv_Header a = good_header(Arh_File_Kind::Aud, 1);
        a.device = 0x5F;
        QVERIFY(write_raw(Path(Arh_File_Kind::Aud, "dev.aud"), header_bytes(a) + records(Arh_File_Kind::Aud, 1)));
        QCOMPARE(Open(Arh_File_Kind::Aud, Path(Arh_File_Kind::Aud, "dev.aud")), Open_Result::Shown);
        QCOMPARE(Last.header, header_bytes(a));
    }

    void short_and_long_files()
    {
        const auto kind = Arh_File_Kind::Chr_Hour;
        const QByteArray recs = records(kind, 3);

        // Shorter than a header: refused, nothing shown.
        QVERIFY(write_raw(Path(kind, "cut.hch"), header_bytes(good_header(kind, 0)).left(904)));
        Verify_Refused(kind, "cut.hch", "часовые данные контроллера QZT_16 из архива");
        QVERIFY(write_raw(Path(kind, "empty.hch"), QByteArray()));
        Verify_Refused(kind, "empty.hch", "часовые данные контроллера QZT_16 из архива");

        // No records: an empty list.
        QVERIFY(write_raw(Path(kind, "zero.hch"), header_bytes(good_header(kind, 0))));
        QCOMPARE(Open(kind, Path(kind, "zero.hch")), Open_Result::Shown);
        QCOMPARE(Last.count, 1);
        QVERIFY(Last.records.isEmpty());

        // Extra bytes after the records the header counts are ignored.
        QVERIFY(write_raw(Path(kind, "long.hch"), header_bytes(good_header(kind, 2)) + recs + "tail"));
        QCOMPARE(Open(kind, Path(kind, "long.hch")), Open_Result::Shown);
        QCOMPARE(Last.records, recs.left(2 * 94));
        QCOMPARE(Last.header, header_bytes(good_header(kind, 2)));

        // A header counting more than the file holds, for every kind: all the counted
        // records, those missing zero (they fail their check in the viewer), the header as
        // given, so a later save writes the count it was given.
        for (const Arh_File_Kind k : ALL_KINDS) {
            const uint32_t size = Arh_Info(k).rec_size;
            const QByteArray part = records(k, 3).left(2 * size + 10);
            QVERIFY(write_raw(Path(k, "short.x"), header_bytes(good_header(k, 10)) + part));
            QCOMPARE(Open(k, Path(k, "short.x")), Open_Result::Shown);
            QCOMPARE(Last.records, part + QByteArray(10 * size - part.size(), '\0'));
            QCOMPARE(Last.header, header_bytes(good_header(k, 10)));
        }
    }

    // A count whose records would pass the limit of an opened file is refused with its own
    // message, before anything is allocated for it.
    void counts_past_the_limit_refused()
    {
        const auto kind = Arh_File_Kind::Wmt_Hour;
        for (const uint32_t count : {uint32_t(ARH_OPEN_MAX_BYTES / 28 + 1), 0xFFFFFFFFu}) {
            QVERIFY(write_raw(Path(kind, "huge.hwm"), header_bytes(good_header(kind, count)) + records(kind, 2)));
            Ques.asked.clear();
            QCOMPARE(Open(kind, Path(kind, "huge.hwm")), Open_Result::Refused);
            QCOMPARE(Last.count, 0);
            QCOMPARE(Ques.asked.size(), 1);
            QCOMPARE(Ques.asked[0].caption, QString("Ошибка"));
            QCOMPARE(Ques.asked[0].line1, QString("Файл huge.hwm не может быть открыт:"));
            QCOMPARE(Ques.asked[0].line2, QString("число записей в заголовке (%1) слишком велико").arg(count));
        }
        // Wrong kind and a huge count: the kind's refusal.
        QVERIFY(write_raw(Path(kind, "other.hwm"), header_bytes(good_header(Arh_File_Kind::Chr_Hour, 0xFFFFFFFFu))));
        Verify_Refused(kind, "other.hwm", "часовые данные влагомера из архива контроллера QZT_16");
    }

    void cleanupTestCase() { Set_Ques_Handler(nullptr); }
};

QTEST_GUILESS_MAIN(TstOpenFiles)
#include "tst_open_files.moc"
