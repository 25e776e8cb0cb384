// Decoding of operator-intervention messages into the seven texts of a row: the parameter
// text and the old and new values of every table and field, the units (fixed ones of the
// rate fields, "?" past the unit table), the operator name, the names kept in code page 866,
// the day codes of the daylight-saving rules; records failing their CRC check, short data,
// the 205-byte text row and the caption.
#include "messages/Iniaud.h"
#include "messages/Iniala.h"
#include "core/Codepage.h"
#include "core/Crc16.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"

#include <QtTest>
#include <cstring>
#include <limits>

namespace {

Aud_Rec Rec(uint8_t t, uint8_t k, uint32_t old_v, uint32_t new_v, uint8_t unit = 0, const char *oper = "OPER")
{
    Aud_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date = Date6{26, 3, 5, 14, 7, 9};
    r.table = t;
    r.field = k;
    r.unit = unit;
    std::memcpy(r.old_value, &old_v, 4);
    std::memcpy(r.new_value, &new_v, 4);
    std::memcpy(r.oper, oper, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), 22);
    return r;
}

uint32_t Bits(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

uint32_t Four(const QByteArray &b)
{
    uint32_t v = 0;
    std::memcpy(&v, b.constData(), size_t(std::min<qsizetype>(b.size(), 4)));
    return v;
}

void Set_Gas_Par(int k, const char *name, uint8_t decimals)
{
    Chr_Par p;
    std::memset(&p, 0, sizeof p);
    const QByteArray n = Unicode_To_Cp1251(QString::fromUtf8(name));
    std::memcpy(p.name, n.constData(), size_t(std::min<qsizetype>(n.size(), CHR_PAR_NAME_LEN)));
    p.decimals = decimals;
    std::memcpy(Tab_Field(1, k), &p, sizeof p);
}

const uint32_t kNan = Bits(std::numeric_limits<float>::quiet_NaN());
const uint32_t kInf = Bits(std::numeric_limits<float>::infinity());

} // namespace

class Tst_Aud_Decode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Init_Tables();
        Init_Strings();
        std::memset(Contr_Tables, 0, CONTR_TABLES_SIZE);
        Set_Gas_Par(0, "Метан", 3);
        Set_Gas_Par(2, "Теплота сгорания низшая  ", 2);   // blanks are part of the name
        Set_Gas_Par(5, "Плотность", 200);   // decimals past what any value shows
        *Tab_Field(0, 12) = 1;                // names kept in 1251
    }

    void every_table_and_field_data()
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

        // Table 1: the gas parameter descriptions by record.
        none("1/0", 1, 0, " Описание параметра хроматографа N1");
        none("1/19", 1, 19, " Описание параметра хроматографа N20");
        none("1/20", 1, 20, " Табл. 1;  Поле 20");
        // Table 2: the clock.
        row("2/0", 2, 0, 25, 26, "Время, год", "  25", "  26", pct);
        row("2/1", 2, 1, 3, 12, "Время, месяц", "  03", "  12", pct);
        row("2/2", 2, 2, 5, 31, "Время, день", "  05", "  31", pct);
        row("2/3", 2, 3, 0, 23, "Время, час", "  00", "  23", pct);
        row("2/4", 2, 4, 9, 59, "Время, минута", "  09", "  59", pct);
        row("2/5", 2, 5, 100, 7, "Время, секунда", "  100", "  07", pct);
        row("2/6", 2, 6, 0, 3, "Время, день недели", "?", "Вторник", pct);
        row("2/6 ends", 2, 6, 1, 7, "Время, день недели", "Воскресенье", "Суббота", pct);
        row("2/6 past", 2, 6, 8, 255, "Время, день недели", "?", "?", pct);
        row("2/7", 2, 7, 0, 1, "Тип времени", "Летнее", "Зимнее", pct);
        row("2/7 past", 2, 7, 2, 0, "Тип времени", "?", "Летнее", pct);
        none("2/8", 2, 8, "Табл. 2;  Поле 8");
        // Table 3: the upper-level link.
        row("3/0", 3, 0, 1, 247, "Адрес контроллера", "1", "247", pct);
        row("3/1", 3, 1, 11, 20, "Скорость обмена с ВУ", "9600", "115200", bps);
        row("3/1 ends", 3, 1, 0, 21, "Скорость обмена с ВУ", "300", "230400", bps);
        row("3/1 past", 3, 1, 22, 255, "Скорость обмена с ВУ", "?", "?", bps);
        row("3/2", 3, 2, 2, 5, "Кол. преамбул при ответе ВУ", "2", "5", pct);
        none("3/3", 3, 3, "Табл.3.  Резервное поле № 3");
        none("3/4", 3, 4, "Табл. 3;  Поле 4");
        // Table 4: user access, never its values.
        none("4/0", 4, 0, "Параметры доступа пользователя");
        none("4/9", 4, 9, "Параметры доступа пользователя");
        // Table 5: names (1251 here; 866 in its own test).
        row("5/0", 5, 0, Four("KS-7"), Four(Unicode_To_Cp1251(QStringLiteral("ГРС1"))), "Наименование контроллера",
            "KS-7", "ГРС1", pct);
        row("5/1", 5, 1, Four(QByteArray("AB\0C", 4)), Four("N1  "), "Наимен. нитки 1 хроматографа", "AB", "N1  ", pct);
        row("5/2", 5, 2, 0, Four("N2xy"), "Наимен. нитки 2 хроматографа", "", "N2xy", pct);
        none("5/3", 5, 3, "Табл. 5;  Поле 3");
        // Table 6: time changes and what is fitted.
        row("6/0", 6, 0, 0, 3, "Месяц перехода на летнее время", "Переход запрещен", "Март", pct);
        row("6/0 past", 6, 0, 12, 13, "Месяц перехода на летнее время", "Декабрь", "?", pct);
        row("6/1", 6, 1, 0xC9, 15, "День перехода на летнее время", "пВс", "15", pct);
        row("6/1 bad", 6, 1, 0x87, 0x81, "День перехода на летнее время", "?", "?", pct);
        row("6/2", 6, 2, 2, 3, "Час перехода на летнее время", "2", "3", pct);
        row("6/3", 6, 3, 10, 14, "Месяц перехода на зимнее время", "Октябрь", "?", pct);
        row("6/4", 6, 4, 0x93, 0xF9, "День перехода на зимнее время", "3Пн", "пСб", pct);
        row("6/5", 6, 5, 3, 2, "Час перехода на зимнее время", "3", "2", pct);
        row("6/6", 6, 6, 10, 12, "Контрактный час", "10", "12", pct);
        row("6/7", 6, 7, 0, 1, "Наличие подключенного хроматографа", "Нет", "Есть", pct);
        row("6/8", 6, 8, 2, 0, "Наличие подключенного влагомера", "Есть", "Нет", pct);
        row("6/9", 6, 9, 0, 255, "Наличие подключенных ВРГ", "Нет", "Есть", pct);
        row("6/10", 6, 10, 0, 1, "Синхронизировать время контр. с ВРГ", "Нет", "Да", pct);
        row("6/11", 6, 11, 7, 0, "Синхронизировать время контр. с PC", "Да", "Нет", pct);
        none("6/12", 6, 12, "Табл. 6;  Поле 12");
        // Table 9: flow-computer link.
        row("9/0", 9, 0, 2, 16, "Количество подключенных ВРГ", "2", "16", pct);
        row("9/1", 9, 1, 15, 18, "Скорость обмена c ВРГ", "19200", "38400", bps);
        row("9/1 past", 9, 1, 22, 11, "Скорость обмена c ВРГ", "?", "9600", bps);
        row("9/2", 9, 2, 3, 4, "Количество неудачных опросов ВРГ", "3", "4", pct);
        row("9/3", 9, 3, 10, 200, "Таймаут ожидания ответа от ВРГ", "10", "200", pct);
        row("9/4", 9, 4, 0, 1, "Кол. преамбул  в запросе к вычислителю РГ", "0", "1", pct);
        row("9/5", 9, 5, 0, 3, "Режим записи параметров газа в ВРГ", "Не записывать", "За сутки (безусл.)", pct);
        row("9/5 past", 9, 5, 4, 1, "Режим записи параметров газа в ВРГ", "?", "В нач. часа (усл.)", pct);
        none("9/6", 9, 6, "Табл. 9;  Поле 6");
        // Table 13: passwords, never their values.
        row("13/0", 13, 0, 1234, 4321, "Пароль на запись в ВРГ 1", "", "", pct);
        none("13/15", 13, 15, "Пароль на запись в ВРГ 16");
        none("13/16", 13, 16, "Пароль на запись в ВРГ № ?");
        // Table 14: chromatograph link.
        row("14/0", 14, 0, 1, 2, "Адрес хроматографа", "1", "2", pct);
        row("14/1", 14, 1, 11, 19, "Скорость обмена c хроматографом", "9600", "57600", bps);
        row("14/2", 14, 2, 0, 1, "Режим обмена MODBUS с хроматографом", " ASCII", " RTU", pct);
        row("14/2 past", 14, 2, 2, 1, "Режим обмена MODBUS с хроматографом", "?", " RTU", pct);
        row("14/3", 14, 3, 0, 2, "Тип четности хроматографа", "Отсутств.", "Четный", pct);
        row("14/3 past", 14, 3, 3, 1, "Тип четности хроматографа", "?", "Нечетный", pct);
        row("14/4", 14, 4, 5, 6, "Таймаут ожидания ответа от хроматографа", "5", "6", pct);
        row("14/5", 14, 5, 3, 9, "Кол. неудачных опросов хроматографа", "3", "9", pct);
        row("14/6", 14, 6, 0, 8, "Тип хроматографа", "HGC 303 (HMU)", "Emerson-370", pct);
        row("14/6 past", 14, 6, 9, 2, "Тип хроматографа", "?", "Siemens", pct);
        row("14/7", 14, 7, 0x0F, 0xA0, "Задейств. признаки  хроматографа", "0x 0F", "0x A0", pct);
        row("14/8", 14, 8, 0, 1, "Синхронизировать время хром. с ВРГ", "Нет", "Да", pct);
        row("14/9", 14, 9, 1, 0, "Синхронизировать время хром. с PC", "Да", "Нет", pct);
        row("14/10", 14, 10, 0, 1, "Индекс ВРГ для чтения Тг в нитку 1 хром.", "0", "1", pct);
        row("14/11", 14, 11, 1, 2, "Номер нитки ВРГ для чтения Тг в нитку 1 хром.", "1", "2", pct);
        row("14/12", 14, 12, 2, 3, "Индекс ВРГ для чтения Тг в нитку 2 хром.", "2", "3", pct);
        row("14/13", 14, 13, 3, 4, "Номер нитки ВРГ для чтения Тг в нитку 2 хром.", "3", "4", pct);
        row("14/14", 14, 14, 12, 20, "Кол. параметров хроматографа для чтения", "12", "20", pct);
        row("14/15", 14, 15, 30, 60, "Цикл опроса хроматографа", "30", "60", pct);
        none("14/16", 14, 16, "Табл. 14;  Поле 16");
        // Table 15: moisture-meter link.
        row("15/0", 15, 0, 4, 5, "Адрес влагомера", "4", "5", pct);
        row("15/1", 15, 1, 6, 11, "Скорость обмена c влагомером", "4800", "9600", bps);
        row("15/2", 15, 2, 1, 0, "Режим обмена MODBUS с влагомером", " RTU", " ASCII", pct);
        row("15/3", 15, 3, 1, 5, "Тип четности влагомера", "Нечетный", "?", pct);
        row("15/4", 15, 4, 5, 6, "Таймаут ожидания ответа от влагомера", "5", "6", pct);
        row("15/5", 15, 5, 2, 3, "Кол. неудачных опросов влагомера", "2", "3", pct);
        row("15/6", 15, 6, 0, 2, "Тип влагомера", "ZEGAZ 5000", "TOPOC", pct);
        row("15/6 past", 15, 6, 1, 3, "Тип влагомера", "ФОГ-3Г", "?", pct);
        none("15/7", 15, 7, "Табл.15.  Резервное поле № 7");
        none("15/8", 15, 8, "Табл. 15;  Поле 8");
        // Tables 17..20: per flow computer.
        row("17/0", 17, 0, 0, 3, "Тип ВРГ 1", "ФЛОУТЭК", "ДФ-1", pct);
        row("17/16", 17, 16, 4, 1, "Тип ВРГ  № ?", "?", "ФЛОУКОР, ПМ-3В", pct);
        row("18/3", 18, 3, 7, 9, "Адрес подключенного ВРГ 4", "7", "9", pct);
        row("18/16", 18, 16, 7, 9, "Адрес подключенного ВРГ № ?", "7", "9", pct);
        row("19/15", 19, 15, 0xA5, 0x01, "Необходимость записи парам. газа для т/п ВРГ 16", " 0xA5", " 0x01", pct);
        row("19/16", 19, 16, 0, 0xFF, "Необходимость записи парам. газа для т/п ВРГ ?", " 0x00", " 0xFF", pct);
        row("20/0", 20, 0, 0, 1, "Порядок байтов многоб. перем. ВРГ 1", "Мл. адрес -- ст. ба",
            "Мл. адрес -- мл. ба", pct);   // cut to their slot
        row("20/200", 20, 200, 2, 1, "Порядок байтов многоб. перем. ВРГ № ?", "?", "Мл. адрес -- мл. ба", pct);
        // Tables 21..26: limits and set-points of the gas parameters.
        row("21/0", 21, 0, 0, 2, "НР  \"Метан\"", "Не рассылать", "Ср. за посл. сутки", pct);
        row("21/20", 21, 20, 3, 1, "НР   ?", "?", "Ср. за посл. час", pct);
        row("22/0", 22, 0, Bits(12.5f), Bits(-0.25f), "ЗН  \"Метан\"", "12.500", "-0.250", pct);
        row("22/25", 22, 25, Bits(12.5f), Bits(1.0f), "ЗН   ?", "12.5000", "1.0000", pct);
        row("23/2", 23, 2, Bits(33.125f), Bits(0), "НПУ  \"Теплота сгорания низшая  \"", "33.13", "0.00", pct);
        row("24/0", 24, 0, kNan, kInf, "ВПУ  \"Метан\"", "?", "?", pct);
        row("25/5", 25, 5, Bits(0.5f), Bits(0.75f), "НДП  \"Плотность\"", "0.5000000", "0.7500000", pct);
        row("26/1", 26, 1, Bits(1099511627776.0f), Bits(7.25f), "ВДП  \"\"", "1.099511628E+12", "7", pct);   // a record without name or decimals
        row("26/20", 26, 20, Bits(2.0f), Bits(3.0f), "ВДП   ?", "2.0000", "3.0000", pct);
        // Table 28: sending period of the gas parameters.
        row("28/0", 28, 0, 1, 24, "Период рассылки параметров газа в ВРГ", "1ч", "24ч", pct);
        none("28/1", 28, 1, "Табл.28.  Резервное поле № 1");
        none("28/2", 28, 2, "Табл. 28;  Поле 2");
        // Table 29: Ethernet.
        row("29/0", 29, 0, 0xC0A80001u, 0x0A000002u, "Параметры Ethernet: Ip адрес", "192.168.0.1", "10.0.0.2", pct);
        row("29/1", 29, 1, 0xFFFFFF00u, 0xFFFF0000u, "Параметры Ethernet: Маска подсети", "255.255.255.0",
            "255.255.0.0", pct);
        row("29/2", 29, 2, 0xC0A800FEu, 0, "Параметры Ethernet: Шлюз по умолчанию", "192.168.0.254", "0.0.0.0", pct);
        row("29/3", 29, 3, 502, 503, "Параметры Ethernet: Порт ВРГ 1", "502", "503", pct);
        row("29/4", 29, 4, 4000000000u, 65535, "Параметры Ethernet: Порт ВРГ 2", "4000000000", "65535", pct);
        row("29/5", 29, 5, 5000, 5001, "Параметры Ethernet: Порт QZT 1", "5000", "5001", pct);
        row("29/6", 29, 6, 0, 0xFFFFFFFFu, "Параметры Ethernet: Порт QZT 2", "0", "4294967295", pct);
        none("29/7", 29, 7, "Табл. 29;  Поле 7");
        // Tables 43..46: constants of the two runs.
        row("43/0", 43, 0, 0, 1, "На константе. Нитка 1. \"Метан\"", "Нет", "Да", pct);
        row("43/2", 43, 2, 2, 1, "На константе. Нитка 1. \"Теплота сгорания низшая  \"", "?", "Да", pct);
        none("43/20", 43, 20, "Табл. 43;  Поле 20");
        row("44/0", 44, 0, Bits(0.75f), Bits(-3.0f), "Константа. Нитка 1. \"Метан\"", "0.7500", "-3.0000", pct);
        none("44/20", 44, 20, "Табл. 44;  Поле 20");
        row("45/2", 45, 2, 1, 0, "На константе. Нитка 2. \"Теплота сгорания низшая  \"", "Да", "Нет", pct);
        none("45/25", 45, 25, "Табл. 45;  Поле 25");
        row("46/0", 46, 0, kNan, Bits(8.0f), "Константа. Нитка 2. \"Метан\"", "?", "8.0000", pct);
        none("46/20", 46, 20, "Табл. 46;  Поле 20");
        // Tables without a rule.
        for (int t : {0, 7, 8, 10, 11, 12, 16, 27, 30, 31, 35, 40, 42, 47, 100, 255}) {
            const QByteArray name = "no rule " + QByteArray::number(t);
            QTest::newRow(name.constData()) << t << 3 << 5u << 6u << QString::asprintf("Табл. %d;  Поле 3", t)
                                            << QString() << QString() << pct;
        }
    }

    void every_table_and_field()
    {
        QFETCH(int, t);
        QFETCH(int, k);
        QFETCH(uint, o);
        QFETCH(uint, n);
        QFETCH(QString, param);
        QFETCH(QString, old_text);
        QFETCH(QString, new_text);
        QFETCH(QString, unit);
        const Msg_Texts m = Decode_Aud_Message(Rec(uint8_t(t), uint8_t(k), o, n, 5, "Oper"));
        QVERIFY(m[0].isEmpty() && m[1].isEmpty());
        QCOMPARE(m[2], param);
        QCOMPARE(m[3], old_text);
        QCOMPARE(m[4], new_text);
        QCOMPARE(m[5], unit);
        QCOMPARE(m[6], QStringLiteral("Oper"));
    }

    void units_and_operators()
    {
        // A record of a table without a rule keeps its unit and operator.
        Msg_Texts m = Decode_Aud_Message(Rec(7, 2, 1, 2, 36, "Ив  "));
        QCOMPARE(m[2], QStringLiteral("Табл. 7;  Поле 2"));
        QCOMPARE(m[5], QStringLiteral("°C/(кгс/см2)"));
        QVERIFY(m[3].isEmpty() && m[4].isEmpty());
        // The operator name is four characters of 1251; blanks stay.
        const QByteArray ivan = Unicode_To_Cp1251(QStringLiteral("Иван"));
        m = Decode_Aud_Message(Rec(7, 2, 1, 2, 0, ivan.constData()));
        QCOMPARE(m[6], QStringLiteral("Иван"));
        QVERIFY(m[5].isEmpty());   // unit 0 is the empty unit
        m = Decode_Aud_Message(Rec(2, 0, 1, 2, 37, "    "));
        QCOMPARE(m[6], QStringLiteral("    "));
        QCOMPARE(m[5], QStringLiteral("?"));
        m = Decode_Aud_Message(Rec(2, 0, 1, 2, 40, "A\0BC"));
        QCOMPARE(m[6], QStringLiteral("A"));
        QCOMPARE(m[5], QStringLiteral("?"));
        m = Decode_Aud_Message(Rec(3, 0, 1, 2, 255, "OPER"));
        QCOMPARE(m[5], QStringLiteral("?"));
        // The rate fields show "бит/с" whatever the unit index.
        for (uint8_t u : {uint8_t(0), uint8_t(8), uint8_t(40)})
            QCOMPARE(Decode_Aud_Message(Rec(3, 1, 11, 12, u))[5], QStringLiteral("бит/с"));
    }

    void names_in_code_page_866()
    {
        const QByteArray dos = Unicode_To_Cp866(QStringLiteral("ГРС1"));
        const Aud_Rec r = Rec(5, 0, Four(dos), Four(Unicode_To_Cp866(QStringLiteral("Нить"))));
        *Tab_Field(0, 12) = 0;
        Msg_Texts m = Decode_Aud_Message(r);
        QCOMPARE(m[3], QStringLiteral("ГРС1"));
        QCOMPARE(m[4], QStringLiteral("Нить"));
        // The record is left as read: decoding it again gives the same texts.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.old_value), 4), dos);
        QCOMPARE(Decode_Aud_Message(r), m);
        // Operator names and other tables are not converted.
        const Aud_Rec op = Rec(2, 0, 1, 2, 0, dos.constData());
        QCOMPARE(Decode_Aud_Message(op)[6], Cp1251_To_Unicode(dos));
        *Tab_Field(0, 12) = 1;
        QCOMPARE(Decode_Aud_Message(r)[3], Cp1251_To_Unicode(dos));
    }

    void day_codes()
    {
        // Day of the month with bit 7 clear.
        QCOMPARE(Aud_Day_Code(0), QStringLiteral("0"));
        QCOMPARE(Aud_Day_Code(31), QStringLiteral("31"));
        QCOMPARE(Aud_Day_Code(127), QStringLiteral("127"));
        // Ordinal and weekday: from the start (bit 6 clear) or from the end (bit 6 set).
        const char *const from_start[3] = {"1", "2", "3"}, *const from_end[3] = {"п", "пп", ""};
        const char *const days[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
        for (int o = 1; o <= 7; ++o)
            for (int w = 1; w <= 7; ++w)
                for (int f = 0; f <= 1; ++f) {
                    const uint8_t v = uint8_t(0x80 | (f << 6) | (w << 3) | o);
                    const QString want = o <= 3 ? QString::fromUtf8(f ? from_end[o - 1] : from_start[o - 1]) +
                                                      QString::fromUtf8(days[w - 1])
                                                : QStringLiteral("?");
                    QCOMPARE(Aud_Day_Code(v), want);
                }
        // A zero ordinal or weekday names nothing.
        for (uint8_t v : {uint8_t(0x80), uint8_t(0x81), uint8_t(0x88), uint8_t(0xC0), uint8_t(0xC1), uint8_t(0xF8)})
            QCOMPARE(Aud_Day_Code(v), QStringLiteral("?"));
    }

    void records_dates_and_bad_ones()
    {
        const Aud_Rec r = Rec(3, 0, 1, 2, 5, "OPER");
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

    void text_rows()
    {
        QByteArray recs;
        auto add = [&recs](const Aud_Rec &r) { recs.append(reinterpret_cast<const char *>(&r), sizeof r); };
        const QByteArray petr = Unicode_To_Cp1251(QStringLiteral("Петр"));
        add(Rec(29, 0, 0xC0A80001u, 0x0A000002u, 5, petr.constData()));
        Aud_Rec bad = Rec(3, 1, 11, 12);
        bad.crc[0] ^= 1;
        add(bad);
        add(Rec(13, 2, 1, 2, 0, "ABCD"));
        Arhiv_Header h{};
        h.rec_count = 3;
        int nbad = -1;
        QByteArray rows = Decode_Aud_Records(h, recs, &nbad);
        QCOMPARE(nbad, 1);
        QCOMPARE(rows.size(), 3 * 205);

        // Row 0 byte by byte: each slot zero-padded, the operator four bytes and a zero.
        QByteArray want(205, '\0');
        auto put = [&want](int at, const QString &s) {
            const QByteArray b = Unicode_To_Cp1251(s);
            want.replace(at, b.size(), b);
        };
        put(0, QStringLiteral("    05.03.26"));
        put(20, QStringLiteral("    14:07:09"));
        put(40, QStringLiteral("Параметры Ethernet: Ip адрес"));
        put(140, QStringLiteral("192.168.0.1"));
        put(160, QStringLiteral("10.0.0.2"));
        put(180, QStringLiteral("%"));
        put(200, QStringLiteral("Петр"));
        QCOMPARE(rows.left(205), want);
        // The bad record: "   ***" in the date slot, zeros elsewhere.
        QCOMPARE(rows.mid(205, 205), QByteArray("   ***") + QByteArray(199, '\0'));
        // Back to texts.
        const Msg_Texts t = Msg_Row_Texts(rows.constData() + 410, AUD_SLOTS);
        QCOMPARE(t[2], QStringLiteral("Пароль на запись в ВРГ 3"));
        QCOMPARE(t[6], QStringLiteral("ABCD"));
        QCOMPARE(rows.at(410 + 204), '\0');

        // A header counting more records than there are, and a cut record: only whole ones.
        h.rec_count = 10;
        QCOMPARE(Decode_Aud_Records(h, recs.left(24 * 2 + 7), &nbad).size(), 2 * 205);
        QCOMPARE(nbad, 1);
        h.rec_count = 1;
        QCOMPARE(Decode_Aud_Records(h, recs).size(), 205);
        h.rec_count = 0;
        QVERIFY(Decode_Aud_Records(h, recs, &nbad).isEmpty());
        QCOMPARE(nbad, 0);
        h.rec_count = 5;
        QVERIFY(Decode_Aud_Records(h, QByteArray()).isEmpty());
    }

    void captions()
    {
        Arhiv_Header h{};
        h.rec_count = 25;
        h.period_start = Date6{26, 3, 4, 23, 20, 5};
        h.period_end = Date6{26, 3, 5, 0, 20, 5};
        QCOMPARE(Aud_Caption(0, h, 1010), QStringLiteral("Сообщения о вмешательствах оператора с индексами от 1010 до 1034"));
        const QString per = QStringLiteral("Сообщения о вмешательствах оператора за период с 04.03.26 23:20:05 по 05.03.26 00:20:05");
        QCOMPARE(Aud_Caption(1, h, 1010), per);
        QCOMPARE(Aud_Caption(2, h, 0), per);
    }

    void cleanupTestCase() { Free_Tables(); }
};

QTEST_GUILESS_MAIN(Tst_Aud_Decode)
#include "tst_aud_decode.moc"
