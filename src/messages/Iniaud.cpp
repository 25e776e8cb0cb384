#include "messages/Iniaud.h"

#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Crc16.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "messages/Iniala.h"
#include "params/Chr_Par.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr int kMaxUnit = 36;
constexpr int kFlowComputers = 16;   // records of tables 13 and 17..20
constexpr int kDefaultDecimals = 4;  // values of constants and of unknown parameters

using Value_Text = std::function<QString(const uint8_t *)>;   // from the four value bytes

uint32_t U32(const uint8_t *b)
{
    uint32_t v;
    std::memcpy(&v, b, 4);
    return v;
}

QString Tab_Field_Text(uint8_t t, uint8_t k) { return QString::asprintf("Табл. %d;  Поле %d", t, k); }
QString Reserved_Text(uint8_t t, uint8_t k) { return QString::asprintf("Табл.%d.  Резервное поле № %d", t, k); }

QString Dec(const uint8_t *b) { return QString::number(b[0]); }
QString Two(const uint8_t *b) { return QString::asprintf("  %02d", b[0]); }

// A rate index outside the rate table names no rate.
QString Baud(const uint8_t *b) { return b[0] < BAUD_COUNT ? QString::number(Baud_By_Index(b[0])) : QStringLiteral("?"); }

Value_Text List(QString (*texts)(int64_t), int last, int offset = 0)
{
    return [texts, last, offset](const uint8_t *b) {
        return b[0] <= last ? texts(b[0] + offset) : QStringLiteral("?");
    };
}

Value_Text Two_Words(const char *zero, const char *other)
{
    return [zero, other](const uint8_t *b) { return QString::fromUtf8(b[0] == 0 ? zero : other); };
}

// A stored float in fixed notation, at most 10 significant digits; a value that is no
// number gives "?".
Value_Text F32(int decimals)
{
    return [decimals](const uint8_t *b) {
        float v;
        std::memcpy(&v, b, 4);
        if (!std::isfinite(v)) return QStringLiteral("?");
        return Fixed_Str(double(v), 10, decimals);
    };
}

// Four characters as the controller keeps them; a zero byte ends the text.
QString Four_Chars(const uint8_t *b, bool cp866)
{
    char s[4];
    std::memcpy(s, b, 4);
    if (cp866) Dos_To_Win(s, 4);
    const void *z = std::memchr(s, 0, 4);
    const int len = z ? int(static_cast<const char *>(z) - s) : 4;
    return Cp1251_To_Unicode(s, len);
}

bool Names_In_866()
{
    const uint8_t *f = Tab_Field(0, 12);
    return f && *f == 0;
}

QString Ip(const uint8_t *b) { return QString::asprintf("%d.%d.%d.%d", b[3], b[2], b[1], b[0]); }
QString U32_Text(const uint8_t *b) { return QString::asprintf("%u", U32(b)); }

// Name (first 40 characters of its table-1 record) and decimals of gas parameter k.
QString Gas_Name(int k)
{
    const Chr_Par *p = Image_Chr_Par(k);
    return p ? Chr_Par_Stored_Name(*p) : QString();
}

int Gas_Decimals(int k)
{
    const Chr_Par *p = Image_Chr_Par(k);
    return p ? Chr_Par_Decimals(*p) : kDefaultDecimals;
}

// One rule: the parameter text, the value form (none: no values), and the unit when the
// rule fixes it.
struct Rule {
    QString param;
    Value_Text value;
    QString unit;
};

Rule Baud_Rule(const char *param) { return {QString::fromUtf8(param), Baud, QStringLiteral("бит/с")}; }
Rule Plain(const char *param, Value_Text v = {}) { return {QString::fromUtf8(param), std::move(v), {}}; }

// Tables of 16 flow-computer records: the numbered text, or the text for an index past them.
QString Per_Computer(int k, const char *numbered, const char *unknown)
{
    return k < kFlowComputers ? QString::asprintf(numbered, k + 1) : QString::fromUtf8(unknown);
}

// Tables 21..26: limits and set-points of the gas parameters by record.
Rule Gas_Limit_Rule(uint8_t t, int k)
{
    static const char *const kShort[] = {"НР", "ЗН", "НПУ", "ВПУ", "НДП", "ВДП"};
    const char *s = kShort[t - 21];
    Rule r;
    r.param = k < MAX_GAS_PARAMS ? QStringLiteral("%1  \"%2\"").arg(QString::fromUtf8(s), Gas_Name(k))
                                 : QStringLiteral("%1  %2").arg(QString::fromUtf8(s), QStringLiteral(" ?"));
    r.value = t == 21 ? List(Distr_Modes, 2) : F32(k < MAX_GAS_PARAMS ? Gas_Decimals(k) : kDefaultDecimals);
    return r;
}

// Tables 43..46: the constants of the two runs and whether a parameter is held on them.
Rule Constant_Rule(uint8_t t, int k)
{
    if (k >= MAX_GAS_PARAMS) return {Tab_Field_Text(t, uint8_t(k)), {}, {}};
    static const char *const kText[] = {"На константе. Нитка 1. \"%1\"", "Константа. Нитка 1. \"%1\"",
                                        "На константе. Нитка 2. \"%1\"", "Константа. Нитка 2. \"%1\""};
    Rule r;
    r.param = QString::fromUtf8(kText[t - 43]).arg(Gas_Name(k));
    r.value = (t == 43 || t == 45) ? List(Yes_No_Names, 1) : F32(kDefaultDecimals);
    return r;
}

Rule Rule_Of(uint8_t t, uint8_t k, bool cp866)
{
    const Rule none{Tab_Field_Text(t, k), {}, {}};
    switch (t) {
    case 1:
        if (k < MAX_GAS_PARAMS) return {QString::asprintf(" Описание параметра хроматографа N%d", k + 1), {}, {}};
        return {QStringLiteral(" ") + Tab_Field_Text(t, k), {}, {}};
    case 2:
        switch (k) {
        case 0: return Plain("Время, год", Two);
        case 1: return Plain("Время, месяц", Two);
        case 2: return Plain("Время, день", Two);
        case 3: return Plain("Время, час", Two);
        case 4: return Plain("Время, минута", Two);
        case 5: return Plain("Время, секунда", Two);
        case 6:
            return Plain("Время, день недели", [](const uint8_t *b) {
                return b[0] >= 1 && b[0] <= 7 ? Day_Names(b[0] - 1) : QStringLiteral("?");
            });
        case 7: return Plain("Тип времени", [](const uint8_t *b) {
                return b[0] == 0 ? QStringLiteral("Летнее") : b[0] == 1 ? QStringLiteral("Зимнее") : QStringLiteral("?");
            });
        }
        return none;
    case 3:
        switch (k) {
        case 0: return Plain("Адрес контроллера", Dec);
        case 1: return Baud_Rule("Скорость обмена с ВУ");
        case 2: return Plain("Кол. преамбул при ответе ВУ", Dec);
        case 3: return {Reserved_Text(t, k), {}, {}};
        }
        return none;
    case 4:
        return Plain("Параметры доступа пользователя");
    case 5: {
        const Value_Text chars = [cp866](const uint8_t *b) { return Four_Chars(b, cp866); };
        switch (k) {
        case 0: return Plain("Наименование контроллера", chars);
        case 1: return Plain("Наимен. нитки 1 хроматографа", chars);
        case 2: return Plain("Наимен. нитки 2 хроматографа", chars);
        }
        return none;
    }
    case 6: {
        const Value_Text month = List(Month_Names, 12);
        const Value_Text day = [](const uint8_t *b) { return Aud_Day_Code(b[0]); };
        switch (k) {
        case 0: return Plain("Месяц перехода на летнее время", month);
        case 1: return Plain("День перехода на летнее время", day);
        case 2: return Plain("Час перехода на летнее время", Dec);
        case 3: return Plain("Месяц перехода на зимнее время", month);
        case 4: return Plain("День перехода на зимнее время", day);
        case 5: return Plain("Час перехода на зимнее время", Dec);
        case 6: return Plain("Контрактный час", Dec);
        case 7: return Plain("Наличие подключенного хроматографа", Two_Words("Нет", "Есть"));
        case 8: return Plain("Наличие подключенного влагомера", Two_Words("Нет", "Есть"));
        case 9: return Plain("Наличие подключенных ВРГ", Two_Words("Нет", "Есть"));
        case 10: return Plain("Синхронизировать время контр. с ВРГ", Two_Words("Нет", "Да"));
        case 11: return Plain("Синхронизировать время контр. с PC", Two_Words("Нет", "Да"));
        }
        return none;
    }
    case 9:
        switch (k) {
        case 0: return Plain("Количество подключенных ВРГ", Dec);
        case 1: return Baud_Rule("Скорость обмена c ВРГ");
        case 2: return Plain("Количество неудачных опросов ВРГ", Dec);
        case 3: return Plain("Таймаут ожидания ответа от ВРГ", Dec);
        case 4: return Plain("Кол. преамбул  в запросе к вычислителю РГ", Dec);
        case 5: return Plain("Режим записи параметров газа в ВРГ", List(Write_Modes, 3));
        }
        return none;
    case 13:
        // Passwords: which one changed, never its values.
        return {Per_Computer(k, "Пароль на запись в ВРГ %d", "Пароль на запись в ВРГ № ?"), {}, {}};
    case 14:
        switch (k) {
        case 0: return Plain("Адрес хроматографа", Dec);
        case 1: return Baud_Rule("Скорость обмена c хроматографом");
        case 2: return Plain("Режим обмена MODBUS с хроматографом", List(Modbus_Modes, 1));
        case 3: return Plain("Тип четности хроматографа", List(Parity_Names, 2));
        case 4: return Plain("Таймаут ожидания ответа от хроматографа", Dec);
        case 5: return Plain("Кол. неудачных опросов хроматографа", Dec);
        case 6: return Plain("Тип хроматографа", List(Chrom_Types, 8));
        case 7: return Plain("Задейств. признаки  хроматографа", [](const uint8_t *b) {
                return QString::asprintf("0x %02X", b[0]);
            });
        case 8: return Plain("Синхронизировать время хром. с ВРГ", Two_Words("Нет", "Да"));
        case 9: return Plain("Синхронизировать время хром. с PC", Two_Words("Нет", "Да"));
        case 10: return Plain("Индекс ВРГ для чтения Тг в нитку 1 хром.", Dec);
        case 11: return Plain("Номер нитки ВРГ для чтения Тг в нитку 1 хром.", Dec);
        case 12: return Plain("Индекс ВРГ для чтения Тг в нитку 2 хром.", Dec);
        case 13: return Plain("Номер нитки ВРГ для чтения Тг в нитку 2 хром.", Dec);
        case 14: return Plain("Кол. параметров хроматографа для чтения", Dec);
        case 15: return Plain("Цикл опроса хроматографа", Dec);
        }
        return none;
    case 15:
        switch (k) {
        case 0: return Plain("Адрес влагомера", Dec);
        case 1: return Baud_Rule("Скорость обмена c влагомером");
        case 2: return Plain("Режим обмена MODBUS с влагомером", List(Modbus_Modes, 1));
        case 3: return Plain("Тип четности влагомера", List(Parity_Names, 2));
        case 4: return Plain("Таймаут ожидания ответа от влагомера", Dec);
        case 5: return Plain("Кол. неудачных опросов влагомера", Dec);
        case 6: return Plain("Тип влагомера", List(Chrom_Types, 2, 9));   // the moisture-meter models
        case 7: return {Reserved_Text(t, k), {}, {}};
        }
        return none;
    case 17:
        return {Per_Computer(k, "Тип ВРГ %d", "Тип ВРГ  № ?"), List(Flou_Types, 3), {}};
    case 18:
        return {Per_Computer(k, "Адрес подключенного ВРГ %d", "Адрес подключенного ВРГ № ?"), Dec, {}};
    case 19:
        return {Per_Computer(k, "Необходимость записи парам. газа для т/п ВРГ %d",
                             "Необходимость записи парам. газа для т/п ВРГ ?"),
                [](const uint8_t *b) { return QString::asprintf(" 0x%02X", b[0]); }, {}};
    case 20:
        return {Per_Computer(k, "Порядок байтов многоб. перем. ВРГ %d", "Порядок байтов многоб. перем. ВРГ № ?"),
                List(Byte_Orders, 1), {}};
    case 21: case 22: case 23: case 24: case 25: case 26:
        return Gas_Limit_Rule(t, k);
    case 28:
        switch (k) {
        case 0: return Plain("Период рассылки параметров газа в ВРГ", [](const uint8_t *b) {
                return QString::asprintf("%dч", b[0]);
            });
        case 1: return {Reserved_Text(t, k), {}, {}};
        }
        return none;
    case 29:
        switch (k) {
        case 0: return Plain("Параметры Ethernet: Ip адрес", Ip);
        case 1: return Plain("Параметры Ethernet: Маска подсети", Ip);
        case 2: return Plain("Параметры Ethernet: Шлюз по умолчанию", Ip);
        case 3: case 4: return {QString::asprintf("Параметры Ethernet: Порт ВРГ %d", k - 2), U32_Text, {}};
        case 5: case 6: return {QString::asprintf("Параметры Ethernet: Порт QZT %d", k - 4), U32_Text, {}};
        }
        return none;
    case 43: case 44: case 45: case 46:
        return Constant_Rule(t, k);
    default:
        return none;
    }
}

} // namespace

bool Aud_Rec_Valid(const Aud_Rec &r) { return Crc16(reinterpret_cast<const uint8_t *>(&r), sizeof r) == 0; }

QString Aud_Day_Code(uint8_t v)
{
    if (!(v & 0x80)) return QString::number(v);
    const int o = (v & 0x07) - 1, w = ((v >> 3) & 0x07) - 1;
    const bool from_end = v & 0x40;
    if (o < 0 || o > 2 || w < 0 || w > 6) return QStringLiteral("?");
    static const char *const kOrdinal[2][3] = {{"1", "2", "3"}, {"п", "пп", ""}};
    return QString::fromUtf8(kOrdinal[from_end ? 1 : 0][o]) + Day_Short_Names(w);
}

Msg_Texts Decode_Aud_Message(const Aud_Rec &r)
{
    Msg_Texts out;
    out[6] = Four_Chars(reinterpret_cast<const uint8_t *>(r.oper), false);
    out[5] = r.unit <= kMaxUnit ? Unit_Names(r.unit) : QStringLiteral("?");

    const Rule rule = Rule_Of(r.table, r.field, Names_In_866());
    out[2] = rule.param;
    if (rule.value) {
        out[3] = rule.value(r.old_value);
        out[4] = rule.value(r.new_value);
    }
    if (!rule.unit.isEmpty()) out[5] = rule.unit;
    // Every text as its slot keeps it: the list shows what a saved file will show.
    for (int i = 2; i < MSG_COLS; ++i) out[size_t(i)] = Fit_Slot(out[size_t(i)], AUD_SLOTS[size_t(i)]);
    return out;
}

Msg_Texts Decode_Aud_Record(const Aud_Rec &r)
{
    if (!Aud_Rec_Valid(r)) {
        Msg_Texts t;
        t[0] = Bad_Rec_Date();
        return t;
    }
    Msg_Texts t = Decode_Aud_Message(r);
    t[0] = QString::asprintf("    %02d.%02d.%02d", r.date.day, r.date.month, r.date.year);
    t[1] = QString::asprintf("    %02d:%02d:%02d", r.date.hour, r.date.minute, r.date.second);
    return t;
}

QByteArray Decode_Aud_Records(const Arhiv_Header &h, const QByteArray &recs, int *bad)
{
    const qsizetype n = std::min<qsizetype>(qsizetype(h.rec_count), recs.size() / qsizetype(sizeof(Aud_Rec)));
    QByteArray rows(n * AUD_ROW_SIZE, '\0');
    int bad_count = 0;
    for (qsizetype i = 0; i < n; ++i) {
        Aud_Rec r;
        std::memcpy(&r, recs.constData() + i * qsizetype(sizeof r), sizeof r);
        if (!Aud_Rec_Valid(r)) ++bad_count;
        Put_Msg_Row(rows.data() + i * AUD_ROW_SIZE, AUD_SLOTS, Decode_Aud_Record(r));
    }
    if (bad) *bad = bad_count;
    return rows;
}

QString Aud_Caption(uint8_t mode, const Arhiv_Header &h, uint32_t first_index)
{
    if (mode == MSG_MODE_INDEX)
        return QString::asprintf("Сообщения о вмешательствах оператора с индексами от %u до %u", first_index,
                                 uint32_t(first_index + h.rec_count - 1));
    const Date6 s = h.period_start, e = h.period_end;
    return QStringLiteral("Сообщения о вмешательствах оператора за период с %1 по %2")
        .arg(Msg_Date_Text(s), Msg_Date_Text(e));
}
