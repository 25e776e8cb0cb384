#include "params/Ident_Tab.h"

#include "core/Codepage.h"

#include <cstring>

namespace {
QString Two(int v, int max, bool zero_ok)
{
    if (v > max || (!zero_ok && v == 0)) return QStringLiteral("**");
    return QString::asprintf("%02d", v);
}
} // namespace

Ident_Texts Format_Ident(const uint8_t *t0, bool dev_write)
{
    Ident_Texts t;
    if (!t0) return t;
    t.type_code = QString::number(t0[1]);
    t.soft_ver = QString::number(t0[3]);
    if (!dev_write) return t;

    if (t0[0] == 0) {
        t.destroyed = QStringLiteral("Разрушенных таблиц нет");
    } else {
        t.destroyed = QStringLiteral("Разрушена таблица %1").arg(t0[0]);
        t.destroyed_alarm = true;
    }
    t.hard_ver = QString::number(t0[2]);
    // Built: year, month, day, hour, minute, second; shown day.month.year.
    t.build_date = QStringLiteral("%1.%2.%3  %4:%5:%6")
                       .arg(Two(t0[6], 31, false), Two(t0[5], 12, false), Two(t0[4], 99, true),
                            Two(t0[7], 23, true), Two(t0[8], 59, true), Two(t0[9], 59, true));
    switch (t0[10]) {
    case 0: t.byte_order = QStringLiteral("Мл. адрес - ст. байт"); break;
    case 1: t.byte_order = QStringLiteral("Мл. адрес - мл. байт"); break;
    default: t.byte_order = QStringLiteral(" ? "); break;
    }
    t.rates = t0[11] ? QStringLiteral("Есть") : QStringLiteral("Нет");
    t.adr_change = t0[13] == 0 ? QStringLiteral("Есть") : QStringLiteral("Нет. Адрес = %1").arg(t0[13]);
    t.protocol = QStringLiteral("%1.%2.%3").arg(t0[14]).arg(t0[15]).arg(t0[16]);
    return t;
}

bool Names_In_866(const uint8_t *t0)
{
    return t0 && t0[12] == 0;
}

QString Name_Text(const char *field)
{
    return Field_To_Unicode(field, NAME_LEN).trimmed();
}

void Set_Name(char *field, const QString &text)
{
    if (!field) return;
    const QByteArray b = Unicode_To_Cp1251(text);
    const int n = int(qMin<qsizetype>(b.size(), NAME_LEN));
    std::memset(field, 0, NAME_LEN);
    std::memcpy(field, b.constData(), size_t(n));
}
