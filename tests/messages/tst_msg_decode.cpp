// Decoding diagnostic records into the seven texts of a row: a few records of each field kind,
// what no table names, damaged records, the 300-byte text row and the caption.
#include "messages/Iniala.h"
#include "core/Codepage.h"
#include "core/Crc16.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"

#include <QtTest>
#include <cstring>

namespace {

Ala_Rec Rec(uint8_t code, uint8_t t, uint8_t k, uint32_t a = 0, uint32_t b = 0)
{
    Ala_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date = Date6{26, 3, 5, 14, 7, 9};
    r.code = code;
    r.object = t;
    r.index = k;
    std::memcpy(r.value_a, &a, 4);
    std::memcpy(r.value_b, &b, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), 20);
    return r;
}

uint32_t Bits(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

void Set_Gas_Par(int k, const char *name, uint8_t unit)
{
    Chr_Par p;
    std::memset(&p, 0, sizeof p);
    const QByteArray n = Unicode_To_Cp1251(QString::fromUtf8(name));
    std::memcpy(p.name, n.constData(), size_t(std::min<qsizetype>(n.size(), CHR_PAR_NAME_LEN)));
    p.unit = unit;
    std::memcpy(Tab_Field(1, k), &p, sizeof p);
}

} // namespace

class Tst_Msg_Decode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Init_Tables();
        Init_Strings();
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        Set_Gas_Par(0, "Метан", 1);
        Set_Gas_Par(2, "Теплота сгорания низшая  ", 4);   // blanks are part of the name
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
        row("device on bus", 11, 34, 7, 0, 0, 0, "Появилась связь|Вычислитель расхода газа (Адр. = 7)|||");
        row("parameter", 12, 1, 0, Bits(12.3456f), Bits(10.0f), 0, "Значение стало ниже нижней АУ|Метан|12.346|10.000|%");
        row("name with blanks", 47, 1, 2, Bits(-2500.0f), Bits(5e-7f), 0,
            "Значение стало выше ВДП|Теплота сгорания низшая  |-2500.0|5.0000e-07|МДж/м3");
        row("parameter beyond", 12, 1, 25, Bits(1.0f), Bits(2.0f), 0, "Значение стало ниже нижней АУ|  ?|1.0000|2.0000|");
        row("NaN", 65, 1, 0, 0x7FC00000u, Bits(0.0f), 0, "Значение стало ниже нижнего предела измер.|Метан|NAN|0|%");
        row("meter state beyond", 22, 201, 16, 0, 0, 0, "Значение стало \"ИСТИНА\"|??? (ZEGAZ 5000. Табл. = 201  Инд. = 16)|||");
        row("meter without states", 22, 201, 3, 0, 0, 1, "Значение стало \"ИСТИНА\"|??? ( ФОГ-3Г. Табл. = 201  Инд. = 3)|||");
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
        const Msg_Texts out = Decode_Ala_Message(Rec(uint8_t(code), uint8_t(t), uint8_t(k), a, b), uint8_t(wmt));
        QCOMPARE(QStringList({out[2], out[3], out[4], out[5], out[6]}).join(QLatin1Char('|')), want);
        QVERIFY(out[0].isEmpty() && out[1].isEmpty());
    }

    void text_rows_and_damaged_records()
    {
        Set_Gas_Par(5, "Молярная доля очень длинного компонента!!", 1);
        QByteArray recs;
        const Ala_Rec a = Rec(12, 1, 0, Bits(1.5f), Bits(2.0f));
        Ala_Rec b = Rec(2, 0, 0);
        b.crc[1] ^= 0x80;
        const Ala_Rec c = Rec(13, 1, 5, Bits(3.0f), Bits(4.0f));
        QVERIFY(Ala_Rec_Valid(a) && !Ala_Rec_Valid(b));
        for (const Ala_Rec *r : {&a, &b, &c}) recs.append(reinterpret_cast<const char *>(r), sizeof *r);
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        h.rec_count = 3;
        int bad = -1;
        const QByteArray rows = Decode_Ala_Records(h, recs, &bad);
        QCOMPARE(bad, 1);
        QCOMPARE(rows.size(), 3 * 300);

        // Row 0 byte by byte: each text at its slot, zero-padded.
        QByteArray want(300, '\0');
        const auto put = [&want](int at, const char *s) {
            const QByteArray t = Unicode_To_Cp1251(QString::fromUtf8(s));
            want.replace(at, t.size(), t);
        };
        put(0, "  05.03.26");
        put(20, "  14:07:09");
        put(40, "Значение стало ниже нижней АУ");
        put(140, "Метан");
        put(240, "1.5000");
        put(260, "2.0000");
        put(280, "%");
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
    }

    void cleanupTestCase() { Free_Tables(); }
};

QTEST_GUILESS_MAIN(Tst_Msg_Decode)
#include "tst_msg_decode.moc"
