#include "messages/Iniala.h"

#include "core/Crc16.h"
#include "core/Stringi.h"
#include "core/Suplfunc.h"
#include "params/Chr_Par.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kObjChromLink = 33;    // link states of the chromatograph and the moisture meter
constexpr uint8_t kObjFlowLink = 34;     // link states of the flow computers
constexpr uint8_t kObjChromTab = 14;     // chromatograph link parameters
constexpr uint8_t kObjChromAlarm = 200;  // chromatograph alarm bits
constexpr uint8_t kObjWmtState = 201;    // moisture-meter state bits
constexpr int kMaxAlarm = 107;

uint32_t U32(const uint8_t *b)
{
    uint32_t v;
    std::memcpy(&v, b, 4);
    return v;
}

float F32(const uint8_t *b)
{
    float v;
    std::memcpy(&v, b, 4);
    return v;
}

QString Tab_Ind(uint8_t t, uint8_t k) { return QString::asprintf("Табл. = %d  Инд. = %d", t, k); }

// The controller's alarm names, or the table and index of an unknown alarm.
QString Alarm_Or_Tab_Ind(uint8_t t, uint8_t k) { return k <= kMaxAlarm ? Chrom_Alarm_Names(k) : Tab_Ind(t, k); }

QString Err_Text(const uint8_t *v) { return QString::asprintf("Err %u", U32(v)); }

} // namespace

bool Ala_Rec_Valid(const Ala_Rec &r) { return Crc16(reinterpret_cast<const uint8_t *>(&r), sizeof r) == 0; }

QString Ala_Wmt_State(uint8_t wmt_type, uint8_t t, uint8_t k)
{
    switch (wmt_type) {
    case 0:
        if (k <= 15) return Wmt_Status_Names(k);
        return QString::asprintf("??? (ZEGAZ 5000. Табл. = %d  Инд. = %d)", t, k);
    case 1:
        return QString::asprintf("??? ( ФОГ-3Г. Табл. = %d  Инд. = %d)", t, k);
    case 2:
        if (k <= 7) return Wmt_Status_Names(16 + k);
        return QString::asprintf("??? (TOROS. Табл. = %d  Инд. = %d)", t, k);
    default:
        return QString::asprintf("??? (Код влаг. %d. Табл. = %d  Инд. = %d)", wmt_type, t, k);
    }
}

Msg_Texts Decode_Ala_Message(const Ala_Rec &r, uint8_t wmt_type)
{
    Msg_Texts out;
    const uint8_t c = r.code, t = r.object, k = r.index;
    QString &event = out[2], &object = out[3], &value = out[4], &setpoint = out[5], &unit = out[6];

    event = c <= 81 ? Diag_Texts(c) : QString::asprintf("Код диагностики = %d", c);

    switch (c) {
    case 2: case 3: case 6: case 7: case 8: case 9: case 81:
        break;
    case 4:
        object = t <= 9 ? Arh_Page_Names(t) : QStringLiteral(" ?");
        break;
    case 5:
        if (t == kObjChromTab) {
            object = Alarm_Or_Tab_Ind(t, k);
            value = Err_Text(r.value_a);
        } else {
            object = QStringLiteral(" ?");
        }
        break;
    case 10: case 11:
        if (t == kObjChromLink) {
            if (k == 0)
                object = QStringLiteral("Хроматограф");
            else if (k == 1)
                object = QStringLiteral("Влагомер");
            else
                object = QString::asprintf("Тaбл. = %d", t);   // Latin "a", as the controller's users know it
        } else if (t == kObjFlowLink) {
            object = QString::asprintf("Вычислитель расхода газа (Адр. = %d)", k);
        } else {
            object = QString::asprintf("Тaбл. = %d", t);
        }
        break;
    case 12: case 13: case 14: case 15: case 16: case 17:
    case 44: case 45: case 46: case 47:
    case 60: case 61: case 62: case 63: case 64: case 65: case 66: case 67: case 68: {
        const Chr_Par *p = k < MAX_GAS_PARAMS ? Image_Chr_Par(k) : nullptr;
        object = p ? Chr_Par_Stored_Name(*p) : QStringLiteral("  ?");
        value = Float_To_Str(F32(r.value_a));
        setpoint = Float_To_Str(F32(r.value_b));
        if (p) unit = Chr_Par_Unit_Text(*p);
        break;
    }
    case 22: case 23:
        if (t == kObjChromAlarm) {
            object = Alarm_Or_Tab_Ind(t, k);
            value = Err_Text(r.value_a);
        } else if (t == kObjWmtState) {
            object = Ala_Wmt_State(wmt_type, t, k);
        } else {
            object = Tab_Ind(t, k);
        }
        break;
    case 38:
        object = QStringLiteral("По времени вычислителя");
        break;
    case 39:
        object = QStringLiteral("По времени PC");
        break;
    case 40: case 41:
        if (t >= 242 && t <= 244)
            object = Str_Tab(176 + (t - 242));
        else
            object = QString::asprintf("Таблица %d", t);
        break;
    case 42: case 43:
        object = QString::asprintf("Таблица %d", t);
        break;
    case 48: case 49:
        object = QString::asprintf("Вычислитель расхода газа. (Адр. = %d)", k);
        break;
    case 59:
        object = QString::asprintf("Старое значение КС = %08X", U32(r.value_a));
        value = QString::asprintf("%08X", U32(r.value_b));
        break;
    default:
        object = Tab_Ind(t, k);
        break;
    }
    // Every text as its slot keeps it: the list shows what a saved file will show.
    for (int i = 2; i < MSG_COLS; ++i) out[size_t(i)] = Fit_Slot(out[size_t(i)], ALA_SLOTS[size_t(i)]);
    return out;
}

Msg_Texts Decode_Ala_Record(const Ala_Rec &r, uint8_t wmt_type)
{
    if (!Ala_Rec_Valid(r)) {
        Msg_Texts t;
        t[0] = Bad_Rec_Date();
        return t;
    }
    Msg_Texts t = Decode_Ala_Message(r, wmt_type);
    t[0] = QString::asprintf("  %02d.%02d.%02d", r.date.day, r.date.month, r.date.year);
    t[1] = QString::asprintf("  %02d:%02d:%02d", r.date.hour, r.date.minute, r.date.second);
    return t;
}

QByteArray Decode_Ala_Records(const Arhiv_Header &h, const QByteArray &recs, int *bad)
{
    const qsizetype n = std::min<qsizetype>(qsizetype(h.rec_count), recs.size() / qsizetype(sizeof(Ala_Rec)));
    QByteArray rows(n * ALA_ROW_SIZE, '\0');
    int bad_count = 0;
    for (qsizetype i = 0; i < n; ++i) {
        Ala_Rec r;
        std::memcpy(&r, recs.constData() + i * qsizetype(sizeof r), sizeof r);
        if (!Ala_Rec_Valid(r)) ++bad_count;
        Put_Msg_Row(rows.data() + i * ALA_ROW_SIZE, ALA_SLOTS, Decode_Ala_Record(r, h.wmt_type));
    }
    if (bad) *bad = bad_count;
    return rows;
}

QString Msg_Date_Text(const Date6 &d)
{
    return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute, d.second);
}

QString Ala_Caption(uint8_t mode, const Arhiv_Header &h, uint32_t first_index)
{
    if (mode == MSG_MODE_INDEX)
        return QString::asprintf("Диагностические сообщения с индексами от %u до %u", first_index,
                                 uint32_t(first_index + h.rec_count - 1));
    const Date6 s = h.period_start, e = h.period_end;
    return QStringLiteral("Диагностические сообщения за период с %1 по %2").arg(Msg_Date_Text(s), Msg_Date_Text(e));
}
