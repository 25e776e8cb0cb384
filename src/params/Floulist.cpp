#include "params/Floulist.h"

#include "core/Stringi.h"
#include "core/Tables.h"

#include <algorithm>
#include <cstring>

int Limit_Flou_Count(int n)
{
    return std::clamp(n, 0, MAX_FLOU);
}

int Flou_Count()
{
    const uint8_t *f = Tab_Field(FLOU_COUNT_TABLE, 0);
    return f ? Limit_Flou_Count(*f) : 0;
}

namespace {
uint8_t Byte_Of(int t, int i)
{
    const uint8_t *f = Tab_Field(t, i);
    return f ? *f : 0;
}
void Put(int t, int i, uint8_t v)
{
    if (uint8_t *f = Tab_Field(t, i)) *f = v;
}
} // namespace

void Flou_From_Image(Flou_Rec *recs, int count)
{
    count = Limit_Flou_Count(count);
    std::memset(recs, 0, sizeof(Flou_Rec) * MAX_FLOU);
    for (int i = 0; i < count; ++i) {
        Flou_Rec &r = recs[i];
        r.adr = Byte_Of(FLOU_ADR_TABLE, i);
        r.type = Byte_Of(FLOU_TYPE_TABLE, i);
        r.mask = Byte_Of(FLOU_MASK_TABLE, i);
        r.order = Byte_Of(FLOU_ORDER_TABLE, i);
        std::memset(r.pass, ' ', FLOU_PASS_LEN);
    }
}

void Flou_To_Image(const Flou_Rec *recs, int count)
{
    count = Limit_Flou_Count(count);
    for (int i = 0; i < count; ++i) {
        const Flou_Rec &r = recs[i];
        Put(FLOU_ADR_TABLE, i, r.adr);
        Put(FLOU_TYPE_TABLE, i, r.type);
        Put(FLOU_MASK_TABLE, i, r.mask);
        Put(FLOU_ORDER_TABLE, i, r.order);
        if (uint8_t *p = Tab_Field(FLOU_PASS_TABLE, i)) std::memcpy(p, r.pass, FLOU_PASS_LEN);
    }
}

int Flou_Pipes(int type)
{
    return type == 1 ? 1 : FLOU_PIPES;
}

QString Flou_Adr_Text(const Flou_Rec &r)
{
    return QStringLiteral("   %1").arg(r.adr);
}

QString Flou_Type_Text(const Flou_Rec &r)
{
    return r.type < FLOU_TYPE_COUNT ? QStringLiteral(" ") + Flou_Types(r.type) : QStringLiteral(" ?");
}

QString Flou_Order_Text(const Flou_Rec &r)
{
    return r.order < FLOU_ORDER_COUNT ? QStringLiteral(" ") + Byte_Orders(r.order) : QStringLiteral(" ?");
}

QString Flou_Mask_Text(const Flou_Rec &r)
{
    return QString::asprintf("      0x%02X", unsigned(r.mask));
}

Flou_Refusal Check_Flou_List(const Flou_Rec *recs, int count)
{
    count = Limit_Flou_Count(count);
    for (int i = 0; i < count; ++i) {
        const Flou_Rec &r = recs[i];
        if (r.adr < 1 || r.adr > 254 || r.type >= FLOU_TYPE_COUNT || r.order >= FLOU_ORDER_COUNT)
            return {QStringLiteral("Вычислитель № %1").arg(i + 1), QStringLiteral("Неверно заданы параметры")};
        for (int j = i + 1; j < count; ++j)
            if (recs[j].adr == r.adr) return {QStringLiteral("Повтор адреса %1").arg(r.adr), QString()};
    }
    return {};
}
