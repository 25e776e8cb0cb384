#include "core/Conffun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "core/Tables.h"

#include "FakePort.h"
#include "testsupport.h"

#include <QtTest>
#include <cstring>

namespace {

// Answers questions from a script and keeps what was asked.
struct Scripted_Ques final : Ques_Handler {
    QList<uint8_t> answers;
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

// A controller with its own copy of the tables behind a fake port: function 1 answers
// from its image, function 2 stores into it and echoes the header. Faults on demand.
struct Mini_Controller {
    FakeClock clk;
    FakePort port{&clk};
    hgcbox box{3};
    QByteArray image = QByteArray(CONTR_TABLES_SIZE, '\0');
    QList<QByteArray> requests;     // request frames received
    int silent = 0;                 // next requests left unanswered
    int bad_echo = 0;               // next replies echo another first field
    int bad_length = 0;             // next read replies carry one byte too many
    QStringList status;

    Mini_Controller()
    {
        box.Clk = &clk;
        box.Do_Close_Port = 0;
        box.Port_Handle = port.Borrow();
        for (int i = 0; i < image.size(); ++i) image[i] = char(i * 7 + 1);
        port.On_Write = [this](FakePort &p, const QByteArray &w) { Answer(p, Find_Request(w)); };
        Exch_Box = &box;
    }
    ~Mini_Controller() { Exch_Box = nullptr; }
    Tab_Status Bar()
    {
        return [this](const QString &s) { status << s; };
    }
    void Answer(FakePort &p, const QByteArray &req)
    {
        requests << req;
        if (silent > 0) {
            --silent;
            return;
        }
        const uint8_t func = uint8_t(req[3]);
        const bool write = func == 2;
        const int h = write ? 21 : 5;
        const int t = uint8_t(req[h]), first = uint8_t(req[h + 1]), count = uint8_t(req[h + 2]);
        const int size = Tab_Dir[t].field_size;
        const int off = Tab_Offset(t) + first * size;
        QByteArray payload = Bytes({0, t, bad_echo > 0 ? first + 1 : first, count});
        if (bad_echo > 0) --bad_echo;
        if (write) {
            image.replace(off, count * size, req.mid(24, count * size));
        } else {
            payload += image.mid(off, count * size);
            if (bad_length > 0) {
                --bad_length;
                payload += char(0);
            }
        }
        p.Queue(Reply_Frame(box.Adr, uint8_t(func | 0x80), payload), 2000);
    }
    QByteArray Table(int t) const { return image.mid(Tab_Offset(t), Tab_Length(t)); }
    QByteArray Image_Table(int t) const
    {
        return QByteArray(reinterpret_cast<const char *>(Contr_Tables + Tab_Offset(t)), Tab_Length(t));
    }
};

QList<QList<int>> Plan(const Tab_Req &req, int size, const QByteArray &now, const QByteArray &old)
{
    QList<QList<int>> out;
    for (const Tab_Req &r : Changed_Field_Writes(req, size, reinterpret_cast<const uint8_t *>(now.constData()),
                                                 reinterpret_cast<const uint8_t *>(old.constData())))
        out << QList<int>{r.tab, r.first, r.count};
    return out;
}

} // namespace

class Tst_Conffun : public QObject {
    Q_OBJECT
    Scripted_Ques ques;

private slots:
    void init()
    {
        ques = Scripted_Ques();
        Set_Ques_Handler(&ques);
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
    }
    void cleanup() { Set_Ques_Handler(nullptr); }

    void read_fills_the_image_and_shows_progress()
    {
        Mini_Controller c;
        QVERIFY(Read_Table({0, 3, 1}, c.Bar(), true));
        QCOMPARE(c.status, QStringList({"Чтение из таблицы 0 (поле 3)", ""}));
        QCOMPARE(Contr_Tables[3], uint8_t(c.image[3]));
        QCOMPARE(Contr_Tables[2], uint8_t(0));
        QCOMPARE(c.requests.size(), 1);
        QCOMPARE(c.requests[0].mid(3, 5), Bytes({1, 0, 0, 3, 1}));

        c.status.clear();
        QVERIFY(Read_Table({0, 0, 18}, c.Bar(), true));
        QCOMPARE(c.status, QStringList({"Чтение из таблицы 0 (поля 0-17)", ""}));
        QCOMPARE(c.Image_Table(0), c.Table(0));

        // 245 bytes is the most one read carries: table 22 is 20 fields of 4.
        QVERIFY(Read_Table({22, 0, 20}, c.Bar(), false));
        QCOMPARE(c.Image_Table(22), c.Table(22));
        QVERIFY(ques.asked.isEmpty());
    }

    void read_failure_asks_and_repeats()
    {
        Mini_Controller c;
        c.silent = 2;              // the first exchange (two attempts) gets no answer
        ques.answers = {1};
        QVERIFY(Read_Table({6, 0, 12}, c.Bar(), true));
        QCOMPARE(ques.asked.size(), 1);
        const Ques_Setup &q = ques.asked[0];
        QCOMPARE(q.kind, 7u);
        QCOMPARE(q.line1, QString("Не выполнено чтение из таблицы 6."));
        QCOMPARE(q.line2, QString("\"%1\"").arg(Tab_Names(6)));
        QCOMPARE(q.line3, QString("Повторить попытку?"));
        QVERIFY(q.yes_no);
        QVERIFY(c.status.contains("Команда 1.  Устройство не отвечает"));
        QCOMPARE(c.Image_Table(6), c.Table(6));

        // "Нет": false, image untouched.
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        c.silent = 2;
        ques.answers = {0};
        QVERIFY(!Read_Table({6, 0, 12}, c.Bar(), true));
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(c.Image_Table(6), QByteArray(12, '\0'));
        QCOMPARE(c.status.last(), QString());
    }

    void silent_read_never_asks()
    {
        Mini_Controller c;
        c.silent = 2;
        QVERIFY(!Read_Table({0, 0, 18}, c.Bar(), false));
        c.bad_echo = 1;
        QVERIFY(!Read_Table({0, 0, 18}, c.Bar(), false));
        c.bad_length = 1;
        QVERIFY(!Read_Table({0, 0, 18}, c.Bar(), false));
        QVERIFY(!Read_Table({45, 0, 1}, c.Bar(), false));
        QVERIFY(ques.asked.isEmpty());
        QVERIFY(c.status.isEmpty());
        QCOMPARE(c.Image_Table(0), QByteArray(18, '\0'));
    }

    void echo_or_length_mismatch_leaves_image()
    {
        Mini_Controller c;
        c.bad_echo = 1;
        ques.answers = {0};
        QVERIFY(!Read_Table({0, 0, 18}, c.Bar(), true));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 7u);
        QCOMPARE(ques.asked[0].line1, QString("Несоответствие запрошенных и переданных данных."));
        QCOMPARE(ques.asked[0].line2, QString("Табл. 0 \"%1\".").arg(Tab_Names(0)));
        QCOMPARE(c.Image_Table(0), QByteArray(18, '\0'));

        // Right echo, wrong length: refused too; "Да" repeats and the repeat succeeds.
        c.bad_length = 1;
        ques.answers = {1};
        QVERIFY(Read_Table({0, 0, 18}, c.Bar(), true));
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(c.requests.size(), 3);
        QCOMPARE(c.Image_Table(0), c.Table(0));
    }

    void refused_requests_send_nothing()
    {
        Mini_Controller c;
        const struct {
            Tab_Req r;
            bool write;
            const char *why;
        } cases[] = {
            {{45, 0, 1}, false, "Нет таблицы с номером 45"},
            {{200, 0, 1}, true, "Нет таблицы с номером 200"},
            {{8, 0, 1}, false, "Таблица 8 не содержит полей"},
            {{36, 0, 1}, true, "Таблица 36 не содержит полей"},
            {{0, 0, 0}, false, "Не задано количество полей таблицы 0"},
            {{0, 17, 2}, false, "Поля 17-18 вне таблицы 0 (полей в таблице: 18)"},
            {{0, 250, 10}, true, "Поля 250-259 вне таблицы 0 (полей в таблице: 18)"},
            {{1, 0, 4}, false, "Слишком много данных в одном запросе: 256 байт (допускается не более 245)"},
            {{4, 0, 11}, true, "Слишком много данных в одном запросе: 242 байт (допускается не более 229)"},
        };
        for (const auto &k : cases) {
            ques.asked.clear();
            c.status.clear();
            QVERIFY(!(k.write ? Write_Table(k.r, c.Bar(), true) : Read_Table(k.r, c.Bar(), true)));
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].line1, QString("Запрос к таблице %1 не отправлен.").arg(k.r.tab));
            QCOMPARE(ques.asked[0].line2, QString(k.why));
            QCOMPARE(c.status, QStringList({k.why}));
        }
        QVERIFY(c.requests.isEmpty());
        QVERIFY(c.port.Written.isEmpty());

        // 10 fields of 22 bytes fit one write.
        QVERIFY(Write_Table({4, 0, 10}, c.Bar(), true));
        QCOMPARE(c.requests.size(), 1);
        QCOMPARE(int(uint8_t(c.requests[0][2])), 26 + 220);

        // Without an exchange object nothing is tried.
        Exch_Box = nullptr;
        QVERIFY(!Read_Table({0, 0, 1}, c.Bar(), false));
        Exch_Box = &c.box;
    }

    void write_sends_image_bytes_and_checks_echo()
    {
        Mini_Controller c;
        memcpy(c.box.Write_Pass, "pass        ", 12);
        for (int i = 0; i < 12; ++i) Contr_Tables[Tab_Offset(6) + i] = uint8_t(100 + i);
        QVERIFY(Write_Table({6, 2, 3}, c.Bar(), false));
        QCOMPARE(c.status, QStringList({"Запись в таблицу 6 (поля 2-4)", ""}));
        const QByteArray req = c.requests[0];
        QCOMPARE(int(uint8_t(req[3])), 2);
        QCOMPARE(req.mid(4, 12), QByteArray("pass        "));
        QCOMPARE(req.mid(21, 6), Bytes({6, 2, 3, 102, 103, 104}));
        QCOMPARE(c.Table(6).mid(2, 3), Bytes({102, 103, 104}));

        c.status.clear();
        c.bad_echo = 1;
        ques.answers = {1};
        QVERIFY(Write_Table({6, 5, 1}, c.Bar(), true));
        QCOMPARE(c.status.first(), QString("Запись в таблицу 6 (поле 5)"));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Несоответствие заголовка ответа заголовку запроса на запись."));
        QCOMPARE(ques.asked[0].line2, QString("Табл. 6 \"%1\".").arg(Tab_Names(6)));

        c.silent = 2;
        ques.answers = {0};
        QVERIFY(!Write_Table({6, 5, 1}, c.Bar(), true));
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(ques.asked[1].line1, QString("Не выполнена запись в таблицу 6."));
        QCOMPARE(ques.asked[1].line2, QString("\"%1\".").arg(Tab_Names(6)));

        // Show clear: no question on failure or mismatch.
        c.silent = 2;
        QVERIFY(!Write_Table({6, 5, 1}, c.Bar(), false));
        c.bad_echo = 1;
        QVERIFY(!Write_Table({6, 5, 1}, c.Bar(), false));
        QCOMPARE(ques.asked.size(), 2);
    }

    void run_or_span_choice()
    {
        // Fields 2 and 3 changed: one write of 2..3.
        QByteArray old(20 * 4, '\0');
        QByteArray now = old;
        now[2 * 4] = 1;
        now[3 * 4 + 3] = 1;
        QCOMPARE(Plan({44, 0, 20}, 4, now, old), (QList<QList<int>>{{44, 2, 2}}));

        // Fields 0 and 19 of a 20 x 4 table: runs 60 against span 106, two writes.
        now = old;
        now[0] = 1;
        now[19 * 4] = 1;
        QCOMPARE(Plan({44, 0, 20}, 4, now, old), (QList<QList<int>>{{44, 0, 1}, {44, 19, 1}}));

        // Fields 0 and 2 of a 1-byte table: runs 54 against span 29, one write of 0..2.
        QByteArray o1(8, '\0'), n1 = o1;
        n1[0] = 1;
        n1[2] = 1;
        QCOMPARE(Plan({2, 0, 8}, 1, n1, o1), (QList<QList<int>>{{2, 0, 3}}));

        // Nothing changed: nothing to write. The range may start inside the table.
        QVERIFY(Plan({44, 0, 20}, 4, old, old).isEmpty());
        now = old;
        now[4] = 9;     // field 1 of the range = field 6 of the table
        QCOMPARE(Plan({44, 5, 20}, 4, now, old), (QList<QList<int>>{{44, 6, 1}}));
    }

    void long_changes_are_split_into_whole_fields()
    {
        // 16 fields of 22 bytes all changed: 352 bytes go as 10 + 6 fields.
        QByteArray old(16 * 22, '\0'), now(16 * 22, '\1');
        QCOMPARE(Plan({4, 0, 16}, 22, now, old), (QList<QList<int>>{{4, 0, 10}, {4, 10, 6}}));
        // 64-byte fields: three per write.
        QByteArray o64(20 * 64, '\0'), n64 = o64;
        for (int f : {0, 1, 2, 3, 4, 5, 6}) n64[f * 64 + 5] = 1;
        QCOMPARE(Plan({1, 0, 20}, 64, n64, o64), (QList<QList<int>>{{1, 0, 3}, {1, 3, 3}, {1, 6, 1}}));
        // Runs chosen over the span, a long run cut.
        n64[19 * 64] = 1;
        QCOMPARE(Plan({1, 0, 20}, 64, n64, o64),
                 (QList<QList<int>>{{1, 0, 3}, {1, 3, 3}, {1, 6, 1}, {1, 19, 1}}));
    }

    void write_changed_fields_against_the_controller()
    {
        Mini_Controller c;
        QByteArray old(Tab_Length(4), '\0');
        // Nothing changed: no exchange.
        QVERIFY(Write_Changed_Fields({4, 0, 16}, reinterpret_cast<const uint8_t *>(old.constData()), old.size(),
                                     c.Bar()));
        QVERIFY(c.requests.isEmpty());

        for (int i = 0; i < Tab_Length(4); ++i) Contr_Tables[Tab_Offset(4) + i] = uint8_t(i);
        QVERIFY(Write_Changed_Fields({4, 0, 16}, reinterpret_cast<const uint8_t *>(old.constData()), old.size(),
                                     c.Bar()));
        QCOMPARE(c.requests.size(), 2);
        for (const QByteArray &r : c.requests) QVERIFY(uint8_t(r[2]) <= 255 && uint8_t(r[2]) >= 26);
        QCOMPARE(c.Table(4), c.Image_Table(4));
        QVERIFY(ques.asked.isEmpty());

        // The first failing write stops the rest.
        c.requests.clear();
        QByteArray old44(Tab_Length(44), '\0');
        std::memset(Contr_Tables + Tab_Offset(44), 0, size_t(Tab_Length(44)));
        Contr_Tables[Tab_Offset(44)] = 1;
        Contr_Tables[Tab_Offset(44) + 19 * 4] = 1;
        c.silent = 2;
        ques.answers = {0};
        QVERIFY(!Write_Changed_Fields({44, 0, 20}, reinterpret_cast<const uint8_t *>(old44.constData()),
                                      old44.size(), c.Bar()));
        QCOMPARE(c.requests.size(), 2);   // the two attempts of the first write only
        QCOMPARE(ques.asked.size(), 1);

        // A copy shorter than the range is refused.
        ques.asked.clear();
        QVERIFY(!Write_Changed_Fields({44, 0, 20}, reinterpret_cast<const uint8_t *>(old44.constData()), 79,
                                      c.Bar()));
        QCOMPARE(c.requests.size(), 2);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line2, QString("Нет прежних значений полей таблицы 44"));
    }
};

QTEST_GUILESS_MAIN(Tst_Conffun)
#include "tst_conffun.moc"
