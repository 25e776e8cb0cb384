// Decoding message records into the seven texts of a row: a few records of each field kind of
// both logs (and what lies past each table), units, operators, names in code page 866, day
// codes; damaged and short records; the text rows byte by byte; the captions.
#include "core/Stringi.h"

#include "Msg_Support.h"

#include <QtTest>
#include <limits>

namespace {

uint32_t Four(const QByteArray &b)
{
    uint32_t v = 0;
    std::memcpy(&v, b.constData(), size_t(std::min<qsizetype>(b.size(), 4)));
    return v;
}

const uint32_t kNan = Bits(std::numeric_limits<float>::quiet_NaN());
const uint32_t kInf = Bits(std::numeric_limits<float>::infinity());

} // namespace

class Tst_Msg_Decode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Init_Tables();
        Init_Strings();
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        Set_Gas_Par(0, "Метан", 1, 3);
        Set_Gas_Par(2, "Теплота сгорания низшая  ", 4, 2);   // blanks are part of the name
        Set_Gas_Par(5, "Плотность", 1, 200);                  // decimals past what any value shows
        Set_Gas_Par(6, "Молярная доля очень длинного компонента!!", 1, 0);
        *Tab_Field(0, 12) = 1;                                  // names kept in 1251
    }

    void texts_by_code_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("k");
        QTest::addColumn<uint32_t>("a");
        QTest::addColumn<uint32_t>("b");
        QTest::addColumn<int>("wmt");
        QTest::addColumn<QString>("want");   // columns 2..6

        const auto row = [](const char *name, int code, int t, int k, uint32_t a, uint32_t b, int wmt, const char *want) {
            QTest::newRow(name) << code << t << k << a << b << wmt << QString::fromUtf8(want);
        };
        row("unknown code", 200, 12, 4, 1, 2, 0, "Код диагностики = 200|Табл. = 12  Инд. = 4|||");
        row("area beyond", 4, 10, 0, 0, 0, 0, "Реинициализация| ?|||");
        row("alarm value", 5, 14, 0, 1234, 0, 0, "Сбой в работе хроматографа|Норма|Err 1234||");
        row("alarm beyond", 5, 14, 108, 5, 0, 0, "Сбой в работе хроматографа|Табл. = 14  Инд. = 108|Err 5||");
        row("parameter", 12, 1, 0, Bits(12.3456f), Bits(10.0f), 0, "Значение стало ниже нижней АУ|Метан|12.346|10.000|%");
        row("name with blanks", 47, 1, 2, Bits(-2500.0f), Bits(5e-7f), 0,
            "Значение стало выше ВДП|Теплота сгорания низшая  |-2500.0|5.0000e-07|МДж/м3");
        row("parameter beyond", 12, 1, 25, Bits(1.0f), Bits(2.0f), 0, "Значение стало ниже нижней АУ|  ?|1.0000|2.0000|");
        row("NaN", 65, 1, 0, 0x7FC00000u, Bits(0.0f), 0, "Значение стало ниже нижнего предела измер.|Метан|NAN|0|%");
        row("meter state beyond", 22, 201, 16, 0, 0, 0, "Значение стало \"ИСТИНА\"|??? (ZEGAZ 5000. Табл. = 201  Инд. = 16)|||");
        row("meter type beyond", 22, 201, 1, 0, 0, 3, "Значение стало \"ИСТИНА\"|??? (Код влаг. 3. Табл. = 201  Инд. = 1)|||");
        row("checksums", 59, 0, 0, 0x00ABCDEFu, 0xDEADBEEFu, 0,
            "Изменилась контрольная сумма прошивки|Старое значение КС = 00ABCDEF|DEADBEEF||");
        row("last code", 81, 14, 1, 7, 7, 0, "Нет данных для рассылки||||");
    }
    void texts_by_code()
    {
        QFETCH(int, code);
        QFETCH(int, t);
        QFETCH(int, k);
        QFETCH(uint32_t, a);
        QFETCH(uint32_t, b);
        QFETCH(int, wmt);
        QFETCH(QString, want);
        const Msg_Texts out = Decode_Ala_Message(Ala(uint8_t(code), uint8_t(t), uint8_t(k), a, b), uint8_t(wmt));
        QCOMPARE(QStringList({out[2], out[3], out[4], out[5], out[6]}).join(QLatin1Char('|')), want);
        QVERIFY(out[0].isEmpty() && out[1].isEmpty());
    }

    void moisture_meter_states_at_their_ends()
    {
        QCOMPARE(Ala_Wmt_State(0, 201, 15), Wmt_Status_Names(15));
        QCOMPARE(Ala_Wmt_State(2, 201, 7), Wmt_Status_Names(23));
        QCOMPARE(Ala_Wmt_State(2, 201, 8), QStringLiteral("??? (TOROS. Табл. = 201  Инд. = 8)"));
    }

    void operator_fields_data()
    {
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("k");
        QTest::addColumn<uint>("o");
        QTest::addColumn<uint>("n");
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("old_text");
        QTest::addColumn<QString>("new_text");
        QTest::addColumn<QString>("unit");   // unit index 5 ("%") unless the rule fixes one

        const QString pct = QStringLiteral("%"), bps = QStringLiteral("бит/с");
        auto row = [&](const char *name, int t, int k, uint o, uint n, const char *param, const char *ot,
                       const char *nt, const QString &unit) {
            QTest::newRow(name) << t << k << o << n << QString::fromUtf8(param) << QString::fromUtf8(ot)
                                << QString::fromUtf8(nt) << unit;
        };
        auto none = [&](const char *name, int t, int k, const char *param) {
            row(name, t, k, 3, 4, param, "", "", pct);
        };

        none("description beyond", 1, 20, " Табл. 1;  Поле 20");
        row("weekday", 2, 6, 1, 7, "Время, день недели", "Воскресенье", "Суббота", pct);
        row("weekday beyond", 2, 6, 8, 0, "Время, день недели", "?", "?", pct);
        none("field beyond", 2, 8, "Табл. 2;  Поле 8");
        row("rate", 3, 1, 0, 21, "Скорость обмена с ВУ", "300", "230400", bps);
        row("rate beyond", 3, 1, 22, 255, "Скорость обмена с ВУ", "?", "?", bps);
        none("access hidden", 4, 9, "Параметры доступа пользователя");
        row("name", 5, 1, Four(QByteArray("AB\0C", 4)), Four("N1  "), "Наимен. нитки 1 хроматографа", "AB", "N1  ", pct);
        row("day codes", 6, 4, 0x93, 0xF9, "День перехода на зимнее время", "3Пн", "пСб", pct);
        row("day codes bad", 6, 1, 0x87, 0x81, "День перехода на летнее время", "?", "?", pct);
        row("password hidden", 13, 0, 1234, 4321, "Пароль на запись в ВРГ 1", "", "", pct);
        none("password beyond", 13, 16, "Пароль на запись в ВРГ № ?");
        row("flag beyond", 19, 16, 0, 0xFF, "Необходимость записи парам. газа для т/п ВРГ ?", " 0x00", " 0xFF", pct);
        row("cut to slot", 20, 0, 0, 1, "Порядок байтов многоб. перем. ВРГ 1", "Мл. адрес -- ст. ба",
            "Мл. адрес -- мл. ба", pct);
        row("limit beyond", 22, 25, Bits(12.5f), Bits(1.0f), "ЗН   ?", "12.5000", "1.0000", pct);
        row("limit rounded", 23, 2, Bits(33.125f), Bits(0), "НПУ  \"Теплота сгорания низшая  \"", "33.13", "0.00", pct);
        row("limit not a number", 24, 0, kNan, kInf, "ВПУ  \"Метан\"", "?", "?", pct);
        row("decimals too many", 25, 5, Bits(0.5f), Bits(0.75f), "НДП  \"Плотность\"", "0.5000000", "0.7500000", pct);
        row("no name or decimals", 26, 1, Bits(1099511627776.0f), Bits(7.25f), "ВДП  \"\"", "1.099511628E+12", "7", pct);
        row("address", 29, 0, 0xC0A80001u, 0x0A000002u, "Параметры Ethernet: Ip адрес", "192.168.0.1", "10.0.0.2", pct);
        row("constant", 46, 0, kNan, Bits(8.0f), "Константа. Нитка 2. \"Метан\"", "?", "8.0000", pct);
        for (int t : {0, 7, 255}) {
            const QByteArray name = "no rule " + QByteArray::number(t);
            QTest::newRow(name.constData()) << t << 3 << 5u << 6u << QString::asprintf("Табл. %d;  Поле 3", t)
                                            << QString() << QString() << pct;
        }
    }

    void operator_fields()
    {
        QFETCH(int, t);
        QFETCH(int, k);
        QFETCH(uint, o);
        QFETCH(uint, n);
        QFETCH(QString, param);
        QFETCH(QString, old_text);
        QFETCH(QString, new_text);
        QFETCH(QString, unit);
        const Msg_Texts m = Decode_Aud_Message(Aud(uint8_t(t), uint8_t(k), o, n, 5, "Oper"));
        QCOMPARE(QStringList({m[0], m[1], m[2], m[3], m[4], m[5], m[6]}),
                 QStringList({{}, {}, param, old_text, new_text, unit, QStringLiteral("Oper")}));
    }

    void units_and_operators()
    {
        // A table without a rule keeps its unit; the operator is four characters of 1251.
        const QByteArray ivan = Unicode_To_Cp1251(QStringLiteral("Иван"));
        Msg_Texts m = Decode_Aud_Message(Aud(7, 2, 1, 2, 36, ivan.constData()));
        QCOMPARE(m[5], QStringLiteral("°C/(кгс/см2)"));
        QCOMPARE(m[6], QStringLiteral("Иван"));
        m = Decode_Aud_Message(Aud(2, 0, 1, 2, 37, "A\0BC"));
        QCOMPARE(m[5], QStringLiteral("?"));   // past the unit table
        QCOMPARE(m[6], QStringLiteral("A"));
        QCOMPARE(Decode_Aud_Message(Aud(3, 0, 1, 2, 255))[5], QStringLiteral("?"));
        QCOMPARE(Decode_Aud_Message(Aud(3, 1, 11, 12, 40))[5], QStringLiteral("бит/с"));
    }

    void names_in_code_page_866()
    {
        const QByteArray dos = Unicode_To_Cp866(QStringLiteral("ГРС1"));
        const Aud_Rec r = Aud(5, 0, Four(dos), Four(Unicode_To_Cp866(QStringLiteral("Нить"))));
        *Tab_Field(0, 12) = 0;
        Msg_Texts m = Decode_Aud_Message(r);
        QCOMPARE(m[3], QStringLiteral("ГРС1"));
        QCOMPARE(m[4], QStringLiteral("Нить"));
        // The record is left as read: decoding it again gives the same texts.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.old_value), 4), dos);
        QCOMPARE(Decode_Aud_Message(r), m);
        // Operator names and other tables are not converted.
        const Aud_Rec op = Aud(2, 0, 1, 2, 0, dos.constData());
        QCOMPARE(Decode_Aud_Message(op)[6], Cp1251_To_Unicode(dos));
        *Tab_Field(0, 12) = 1;
        QCOMPARE(Decode_Aud_Message(r)[3], Cp1251_To_Unicode(dos));
    }

    void day_codes()
    {
        // Bit 7 clear: the day of the month; set: ordinal (bits 0-2, from the end with bit 6)
        // and weekday (bits 3-5).
        const QList<QPair<int, const char *>> cases = {
            {0, "0"}, {127, "127"}, {0x80 | (1 << 3) | 1, "1Вс"}, {0x80 | (7 << 3) | 3, "3Сб"},
            {0xC0 | (2 << 3) | 2, "ппПн"}, {0xC0 | (2 << 3) | 3, "Пн"}, {0x80 | (1 << 3) | 4, "?"},
            {0x80, "?"}, {0x81, "?"}, {0x88, "?"}, {0xF8, "?"},
        };
        for (const auto &c : cases) QCOMPARE(Aud_Day_Code(uint8_t(c.first)), QString::fromUtf8(c.second));
    }

    void records_dates_and_bad_ones()
    {
        const Aud_Rec r = Aud(3, 0, 1, 2, 5, "OPER");
        QVERIFY(Aud_Rec_Valid(r));
        const Msg_Texts t = Decode_Aud_Record(r);
        QCOMPARE(t[0], QStringLiteral("    05.03.26"));
        QCOMPARE(t[1], QStringLiteral("    14:07:09"));
        QCOMPARE(t[2], QStringLiteral("Адрес контроллера"));

        // Any changed byte fails the check: the date column "   ***" and nothing else.
        for (int i = 0; i < 24; ++i) {
            Aud_Rec bad = r;
            reinterpret_cast<uint8_t *>(&bad)[i] ^= 0x40;
            QVERIFY(!Aud_Rec_Valid(bad));
            const Msg_Texts b = Decode_Aud_Record(bad);
            QCOMPARE(b[0], QStringLiteral("   ***"));
            for (int c = 1; c < 7; ++c) QVERIFY(b[size_t(c)].isEmpty());
        }
    }

    void diagnostic_text_rows()
    {
        Ala_Rec b = Ala(2, 0, 0);
        b.crc[1] ^= 0x80;
        QVERIFY(!Ala_Rec_Valid(b));
        const QByteArray recs = Raw(Ala(12, 1, 0, Bits(1.5f), Bits(2.0f))) + Raw(b) + Raw(Ala(13, 1, 6));
        Arhiv_Header h{};
        h.rec_count = 3;
        int bad = -1;
        const QByteArray rows = Decode_Ala_Records(h, recs, &bad);
        QCOMPARE(bad, 1);
        QCOMPARE(rows.size(), 3 * 300);
        // Row 0 byte by byte: each text at its slot, zero-padded.
        QByteArray want(300, '\0');
        const QList<QPair<int, QString>> at = {{0, "  05.03.26"}, {20, "  14:07:09"}, {40, "Значение стало ниже нижней АУ"},
                                               {140, "Метан"}, {240, "1.5000"}, {260, "2.0000"}, {280, "%"}};
        for (const auto &p : at) want.replace(p.first, p.second.size(), Unicode_To_Cp1251(p.second));
        QCOMPARE(rows.left(300), want);
        // The damaged record: "   ***" in the date slot, zeros elsewhere.
        QCOMPARE(rows.mid(300, 300), QByteArray("   ***") + QByteArray(294, '\0'));
        // A name past 40 characters comes back cut to 40.
        QCOMPARE(Msg_Row_Texts(rows.constData() + 600, ALA_SLOTS)[3],
                 QStringLiteral("Молярная доля очень длинного компонента!!").left(40));
        // A record count larger than the records present gives rows for what is there.
        h.rec_count = 10;
        QCOMPARE(Decode_Ala_Records(h, recs).size(), 3 * 300);
        h.rec_count = 2;
        QCOMPARE(Decode_Ala_Records(h, recs).size(), 2 * 300);
    }

    void slots_keep_a_terminator()
    {
        Msg_Texts t;
        for (QString &s : t) s = QString(150, QChar(u'Ж'));
        const QByteArray row = Make_Msg_Row(ALA_SLOTS, t);
        QCOMPARE(row.size(), 300);
        for (int end : {20, 40, 140, 240, 260, 280, 300}) QCOMPARE(int(row.at(end - 1)), 0);
        // A slot with no zero byte (a foreign file) ends at its end.
        const QByteArray full(300, 'x');
        QCOMPARE(Msg_Row_Texts(full.constData(), ALA_SLOTS)[6].size(), 20);
    }

    void operator_text_rows()
    {
        Aud_Rec bad = Aud(3, 1, 11, 12);
        bad.crc[0] ^= 1;
        const QByteArray recs = Raw(Aud(29, 0, 0xC0A80001u, 0x0A000002u, 5, "ABCD")) + Raw(bad);
        Arhiv_Header h{};
        h.rec_count = 2;
        int nbad = -1;
        const QByteArray rows = Decode_Aud_Records(h, recs, &nbad);
        QCOMPARE(nbad, 1);
        // Row 0 byte by byte: each slot zero-padded, the operator four bytes and a zero.
        QByteArray want(205, '\0');
        const QList<QPair<int, QString>> at = {{0, "    05.03.26"}, {20, "    14:07:09"},
                                               {40, "Параметры Ethernet: Ip адрес"}, {140, "192.168.0.1"},
                                               {160, "10.0.0.2"}, {180, "%"}, {200, "ABCD"}};
        for (const auto &p : at) want.replace(p.first, p.second.size(), Unicode_To_Cp1251(p.second));
        QCOMPARE(rows.left(205), want);
        QCOMPARE(rows.mid(205), QByteArray("   ***") + QByteArray(199, '\0'));
        // A header counting more records than there are, and a cut record: only whole ones.
        h.rec_count = 10;
        QCOMPARE(Decode_Aud_Records(h, recs.left(24 + 7)).size(), 205);
        h.rec_count = 0;
        QVERIFY(Decode_Aud_Records(h, recs, &nbad).isEmpty());
        QCOMPARE(nbad, 0);
    }

    void captions()
    {
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        h.rec_count = 1;
        h.period_start = Date6{26, 3, 4, 23, 20, 5};
        h.period_end = Date6{26, 3, 5, 0, 20, 5};
        QCOMPARE(Ala_Caption(0, h, 4294967295u),
                 QStringLiteral("Диагностические сообщения с индексами от 4294967295 до 4294967295"));
        QCOMPARE(Ala_Caption(2, h, 0),
                 QStringLiteral("Диагностические сообщения за период с 04.03.26 23:20:05 по 05.03.26 00:20:05"));
        h.rec_count = 25;
        QCOMPARE(Aud_Caption(0, h, 1010), QStringLiteral("Сообщения о вмешательствах оператора с индексами от 1010 до 1034"));
    }

    void cleanupTestCase() { Free_Tables(); }
};

QTEST_GUILESS_MAIN(Tst_Msg_Decode)
#include "tst_msg_decode.moc"
