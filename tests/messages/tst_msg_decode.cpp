// Decoding of diagnostic messages into the seven texts of a row, for every code: event texts,
// objects and causes, values, units, fallbacks for what no table names; the 300-byte text
// row and its slots; the list's caption.
#include "messages/Iniala.h"
#include "core/Codepage.h"
#include "core/Crc16.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

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

    void event_texts_of_every_code()
    {
    // The event texts as the users know them, entry 0 empty.
    static const char *const kDiag[82] = {
        "",
        "Состояние хроматографа",
        "Снято напряжение питания",
        "Подано напряжение питания",
        "Реинициализация",
        "Сбой в работе хроматографа",
        "Цикл калибровки хроматографа",
        "Неудачный цикл калибровки хроматографа",
        "Выполнена верификация хроматографа",
        "Неудачная верификация хроматографа",
        "Пропала связь",
        "Появилась связь",
        "Значение стало ниже нижней АУ",
        "Значение стало выше нижней АУ",
        "Значение стало ниже нижней ПУ",
        "Значение стало выше нижней ПУ",
        "Значение стало ниже верхней ПУ",
        "Значение стало выше верхней ПУ",
        "Значение стало ниже верхней АУ",
        "Значение стало выше верхней АУ",
        "Значение стало ненормальным",
        "Значение стало нормальным",
        "Значение стало \"ИСТИНА\"",
        "Значение стало \"ЛОЖЬ\"",
        "Положение крана стало промежут.",
        "Положение крана стало \"Закрыт\"",
        "Положение крана стало \"Открыт\"",
        "Полож. крана стало неопредел. (аварийным)",
        "Команда \"Закрыть\" с пульта",
        "Команда \"Открыть\" с пульта",
        "Команда \"Открыть\" от ЭВМ пар.1",
        "Команда \"Закрыть\" от ЭВМ пар.1",
        "Команда \"Открыть\" от ЭВМ пар.2",
        "Команда \"Закрыть\" от ЭВМ пар.2",
        "Ком. \"Останов ГРС\" от ЭВМ пар.1",
        "Ком. \"Останов ГРС\" от ЭВМ пар.2",
        "Изменился код состояния крана",
        "Ком. \"Останов ГРС\" от кнопки",
        "Скорректировано время в хроматографе",
        "Скорректировано время в хроматографе",
        "Не прошла запись в EEPROM",
        "Не прошла запись в FRAM",
        "Таблица разрушена",
        "Таблица восстановлена",
        "Значение стало ниже НДП",
        "Значение стало выше НДП",
        "Значение стало ниже ВДП",
        "Значение стало выше ВДП",
        "Парам. газа не записаны в ВРГ",
        "Параметры газа записаны в ВРГ",
        "Команда не передана",
        "Команда не выполнена",
        "Выдан упр. импульс на агрегат",
        "Значение стало меньше уставки",
        "Значение стало больше уставки",
        "Знач. стало меньше или равно уставке",
        "Знач. стало больше или равно уставке",
        "Знач. признака (бит поля) стало \"ИСТИНА\"",
        "Знач. признака (бит поля) стало \"ЛОЖЬ\"",
        "Изменилась контрольная сумма прошивки",
        "Значение стало ниже нижней АУ 2",
        "Значение стало выше нижней АУ 2",
        "Значение стало ниже верхней АУ 2",
        "Значение стало выше верхней АУ 2",
        "Команда не подана",
        "Значение стало ниже нижнего предела измер.",
        "Значение стало выше нижнего предела измер.",
        "Значение стало ниже верхнего предела измер.",
        "Значение стало выше верхнего предела измер.",
        "Поле таблицы разрушено",
        "Поле таблицы восстановлено",
        "Пропало",
        "Появилось",
        "С ВУ начали поступать необновляемые значения",
        "С ВУ начали поступать обновляемые значения (норма)",
        "Изменилась зона значения",
        "Программа перевела контроллер в режим «Ручное управление»",
        "Рестарт подключенного контроллера",
        "Изменение программного обеспечения",
        "Значение перестало обновляться",
        "Значение начало обновляться (норма)",
        "Нет данных для рассылки",
    };

        for (int c = 0; c <= 81; ++c)
            QCOMPARE(Decode_Ala_Message(Rec(uint8_t(c), 1, 1), 0)[2], QString::fromUtf8(kDiag[c]));
        for (int c : {82, 90, 200, 255})
            QCOMPARE(Decode_Ala_Message(Rec(uint8_t(c), 1, 1), 0)[2], QStringLiteral("Код диагностики = %1").arg(c));
    }

    void objects_and_values_by_code_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("k");
        QTest::addColumn<uint32_t>("a");
        QTest::addColumn<uint32_t>("b");
        QTest::addColumn<int>("wmt");
        QTest::addColumn<QString>("want");   // columns 4..7

        const auto row = [](const char *name, int code, int t, int k, uint32_t a, uint32_t b, int wmt, const char *want) {
            QTest::newRow(name) << code << t << k << a << b << wmt << QString::fromUtf8(want);
        };
        row("code 0", 0, 5, 3, 0, 0, 0, "Табл. = 5  Инд. = 3|||");
        row("code 90", 90, 12, 4, 1, 2, 0, "Табл. = 12  Инд. = 4|||");
        for (int c : {2, 3, 6, 7, 8, 9, 81})
            row(qPrintable(QStringLiteral("empty %1").arg(c)), c, 14, 1, 7, 7, 0, "|||");
        row("4 area", 4, 3, 0, 0, 0, 0, "");   // filled below from the area names
        row("4 beyond", 4, 10, 0, 0, 0, 0, " ?|||");
        row("5 alarm", 5, 14, 0, 1234, 0, 0, "Норма|Err 1234||");
        row("5 alarm 108", 5, 14, 108, 5, 0, 0, "Табл. = 14  Инд. = 108|Err 5||");
        row("5 other table", 5, 13, 2, 5, 0, 0, " ?|||");
        row("10 chromatograph", 10, 33, 0, 0, 0, 0, "Хроматограф|||");
        row("11 meter", 11, 33, 1, 0, 0, 0, "Влагомер|||");
        row("10 table 33 other", 10, 33, 2, 0, 0, 0, "Тaбл. = 33|||");
        row("11 flow computer", 11, 34, 7, 0, 0, 0, "Вычислитель расхода газа (Адр. = 7)|||");
        row("10 other", 10, 20, 7, 0, 0, 0, "Тaбл. = 20|||");
        row("12 parameter", 12, 1, 0, Bits(12.3456f), Bits(10.0f), 0, "Метан|12.346|10.000|%");
        row("47 parameter", 47, 1, 2, Bits(-2500.0f), Bits(5e-7f), 0,
            "Теплота сгорания низшая  |-2500.0|5.0000e-07|МДж/м3");
        row("12 index 25", 12, 1, 25, Bits(1.0f), Bits(2.0f), 0, "  ?|1.0000|2.0000|");
        row("65 NaN", 65, 1, 0, 0x7FC00000u, Bits(0.0f), 0, "Метан|NAN|0|%");
        row("18 no values", 18, 1, 0, Bits(1.0f), Bits(2.0f), 0, "Табл. = 1  Инд. = 0|||");
        row("19 no values", 19, 7, 3, Bits(1.0f), Bits(2.0f), 0, "Табл. = 7  Инд. = 3|||");
        row("22 alarm", 22, 200, 107, 77, 0, 0, "");   // filled below from the alarm names
        row("23 alarm beyond", 23, 200, 108, 77, 0, 0, "Табл. = 200  Инд. = 108|Err 77||");
        row("22 other object", 22, 199, 4, 77, 0, 0, "Табл. = 199  Инд. = 4|||");
        row("22 meter 0 beyond", 22, 201, 16, 0, 0, 0, "??? (ZEGAZ 5000. Табл. = 201  Инд. = 16)|||");
        row("22 meter 1", 22, 201, 0, 0, 0, 1, "??? ( ФОГ-3Г. Табл. = 201  Инд. = 0)|||");
        row("23 meter 2 beyond", 23, 201, 8, 0, 0, 2, "??? (TOROS. Табл. = 201  Инд. = 8)|||");
        row("22 meter 3", 22, 201, 1, 0, 0, 3, "??? (Код влаг. 3. Табл. = 201  Инд. = 1)|||");
        row("38", 38, 0, 0, 0, 0, 0, "По времени вычислителя|||");
        row("39", 39, 0, 0, 0, 0, 0, "По времени PC|||");
        row("40 previous year", 40, 242, 0, 0, 0, 0, "Предыдущий год|||");
        row("41 base year", 41, 243, 0, 0, 0, 0, "Базовый год|||");
        row("40 time type", 40, 244, 0, 0, 0, 0, "Тип времени|||");
        row("41 table", 41, 245, 0, 0, 0, 0, "Таблица 245|||");
        row("42", 42, 17, 0, 0, 0, 0, "Таблица 17|||");
        row("43", 43, 0, 0, 0, 0, 0, "Таблица 0|||");
        row("48", 48, 0, 12, 0, 0, 0, "Вычислитель расхода газа. (Адр. = 12)|||");
        row("59 checksums", 59, 0, 0, 0x00ABCDEFu, 0xDEADBEEFu, 0, "Старое значение КС = 00ABCDEF|DEADBEEF||");
        row("76", 76, 3, 1, 0, 0, 0, "Табл. = 3  Инд. = 1|||");
    }
    void objects_and_values_by_code()
    {
        QFETCH(int, code);
        QFETCH(int, t);
        QFETCH(int, k);
        QFETCH(uint32_t, a);
        QFETCH(uint32_t, b);
        QFETCH(int, wmt);
        QFETCH(QString, want);
        if (want.isEmpty() && code == 4) want = Arh_Page_Names(t) + QStringLiteral("|||");
        if (want.isEmpty() && code == 22) want = Chrom_Alarm_Names(k) + QStringLiteral("|Err 77||");
        const Msg_Texts out = Decode_Ala_Message(Rec(uint8_t(code), uint8_t(t), uint8_t(k), a, b), uint8_t(wmt));
        QCOMPARE(QStringList({out[3], out[4], out[5], out[6]}).join(QLatin1Char('|')), want);
        QVERIFY(out[0].isEmpty() && out[1].isEmpty());
    }

    void moisture_meter_states_in_range()
    {
        for (int k = 0; k <= 15; ++k) QCOMPARE(Ala_Wmt_State(0, 201, uint8_t(k)), Wmt_Status_Names(k));
        for (int k = 0; k <= 7; ++k) QCOMPARE(Ala_Wmt_State(2, 201, uint8_t(k)), Wmt_Status_Names(16 + k));
        QCOMPARE(Ala_Wmt_State(0, 201, 0), QStringLiteral("Бит 0. General fault condition"));
        // Type 1 has no state texts at all.
        QCOMPARE(Ala_Wmt_State(1, 201, 3), QStringLiteral("??? ( ФОГ-3Г. Табл. = 201  Инд. = 3)"));
    }

    void the_latin_letter_of_two_formats()
    {
        const QString s = Decode_Ala_Message(Rec(10, 20, 7), 0)[3];
        QCOMPARE(s.at(1), QChar(u'a'));
        QCOMPARE(Decode_Ala_Message(Rec(0, 20, 7), 0)[3].at(1), QChar(u'а'));   // the others are Cyrillic
    }

    void date_time_and_bad_records()
    {
        const Ala_Rec r = Rec(3, 0, 0);
        Msg_Texts t = Decode_Ala_Record(r, 0);
        QCOMPARE(t[0], QStringLiteral("  05.03.26"));
        QCOMPARE(t[1], QStringLiteral("  14:07:09"));
        QCOMPARE(t[2], QStringLiteral("Подано напряжение питания"));
        QVERIFY(Ala_Rec_Valid(r));

        Ala_Rec bad = r;
        bad.crc[0] ^= 1;
        QVERIFY(!Ala_Rec_Valid(bad));
        t = Decode_Ala_Record(bad, 0);
        QCOMPARE(t[0], QStringLiteral("   ***"));
        for (int i = 1; i < MSG_COLS; ++i) QVERIFY(t[size_t(i)].isEmpty());
    }

    void text_rows_and_their_slots()
    {
        // Records: a good one, a damaged one, a long parameter name.
        Set_Gas_Par(5, "Молярная доля очень длинного компонента!!", 1);
        QByteArray recs;
        Ala_Rec a = Rec(12, 1, 0, Bits(1.5f), Bits(2.0f));
        Ala_Rec b = Rec(2, 0, 0);
        b.crc[1] ^= 0x80;
        Ala_Rec c = Rec(13, 1, 5, Bits(3.0f), Bits(4.0f));
        for (const Ala_Rec *r : {&a, &b, &c}) recs.append(reinterpret_cast<const char *>(r), sizeof *r);
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        h.rec_count = 3;
        int bad = -1;
        const QByteArray rows = Decode_Ala_Records(h, recs, &bad);
        QCOMPARE(bad, 1);
        QCOMPARE(rows.size(), 3 * 300);

        Ala_Text_Row r0;
        std::memcpy(&r0, rows.constData(), sizeof r0);
        QCOMPARE(QByteArray(r0.date), QByteArray("  05.03.26"));
        QCOMPARE(QByteArray(r0.time), QByteArray("  14:07:09"));
        QCOMPARE(QByteArray(r0.event), Unicode_To_Cp1251(QStringLiteral("Значение стало ниже нижней АУ")));
        QCOMPARE(QByteArray(r0.object), Unicode_To_Cp1251(QStringLiteral("Метан")));
        QCOMPARE(QByteArray(r0.value), QByteArray("1.5000"));
        QCOMPARE(QByteArray(r0.setpoint), QByteArray("2.0000"));
        QCOMPARE(QByteArray(r0.unit), QByteArray("%"));
        // Every byte after a text's end up to its slot's end is zero.
        const int ends[7] = {20, 40, 140, 240, 260, 280, 300};
        int from = 0;
        for (int s = 0; s < 7; ++s) {
            const int len = int(qstrlen(rows.constData() + from));
            for (int i = from + len; i < ends[s]; ++i) QCOMPARE(int(rows.at(i)), 0);
            from = ends[s];
        }

        // The damaged record: "   ***" in the date slot, zeros elsewhere.
        QByteArray want1(300, '\0');
        std::memcpy(want1.data(), "   ***", 6);
        QCOMPARE(rows.mid(300, 300), want1);

        // The row's texts come back as the list shows them.
        const Msg_Texts back = Msg_Row_Texts(rows.constData() + 600, ALA_SLOTS);
        QCOMPARE(back[3], QStringLiteral("Молярная доля очень длинного компонента!!").left(40));
        QCOMPARE(back[6], Gas_Units(1));

        // A record count larger than the records present gives rows for what is there.
        h.rec_count = 10;
        QCOMPARE(Decode_Ala_Records(h, recs).size(), 3 * 300);
        h.rec_count = 2;
        QCOMPARE(Decode_Ala_Records(h, recs).size(), 2 * 300);
    }

    void slots_keep_a_terminator()
    {
        const QString long_text(150, QChar(u'Ж'));
        Msg_Texts t;
        for (QString &s : t) s = long_text;
        const QByteArray row = Make_Msg_Row(ALA_SLOTS, t);
        QCOMPARE(row.size(), 300);
        QCOMPARE(int(row.at(19)), 0);
        QCOMPARE(int(row.at(139)), 0);
        QCOMPARE(int(row.at(239)), 0);
        QCOMPARE(int(row.at(299)), 0);
        const Msg_Texts back = Msg_Row_Texts(row.constData(), ALA_SLOTS);
        QCOMPARE(back[0].size(), 19);
        QCOMPARE(back[2].size(), 99);
        QCOMPARE(Fit_Slot(long_text, 20), long_text.left(19));
        // A slot with no zero byte (a foreign file) ends at its end.
        QByteArray full(300, 'x');
        QCOMPARE(Msg_Row_Texts(full.constData(), ALA_SLOTS)[0].size(), 20);
        QCOMPARE(Msg_Row_Texts(full.constData(), ALA_SLOTS)[6].size(), 20);
    }

    void captions()
    {
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        h.rec_count = 25;
        h.period_start = Date6{26, 3, 4, 23, 20, 5};
        h.period_end = Date6{26, 3, 5, 0, 20, 5};
        QCOMPARE(Ala_Caption(0, h, 1040), QStringLiteral("Диагностические сообщения с индексами от 1040 до 1064"));
        QCOMPARE(Ala_Caption(1, h, 1040),
                 QStringLiteral("Диагностические сообщения за период с 04.03.26 23:20:05 по 05.03.26 00:20:05"));
        QCOMPARE(Ala_Caption(2, h, 0), Ala_Caption(1, h, 0));
        h.rec_count = 1;
        QCOMPARE(Ala_Caption(0, h, 4294967295u),
                 QStringLiteral("Диагностические сообщения с индексами от 4294967295 до 4294967295"));
    }

    void cleanupTestCase() { Free_Tables(); }
};

QTEST_GUILESS_MAIN(Tst_Msg_Decode)
#include "tst_msg_decode.moc"
