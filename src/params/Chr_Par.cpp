#include "params/Chr_Par.h"

#include "core/Codepage.h"
#include "core/Stringi.h"
#include "core/Tables.h"

#include <QList>
#include <cmath>

int Limit_Gas_Count(int n)
{
    if (n < 0) return 0;
    return n > MAX_GAS_PARAMS ? MAX_GAS_PARAMS : n;
}

int Gas_Par_Count()
{
    const uint8_t *f = Tab_Field(14, 14);
    return f ? Limit_Gas_Count(*f) : 0;
}

const Chr_Par *Image_Chr_Par(int i)
{
    if (i < 0 || i >= MAX_GAS_PARAMS) return nullptr;
    return reinterpret_cast<const Chr_Par *>(Tab_Field(1, i));
}

QString Chr_Par_Name(const Chr_Par &p)
{
    return Field_To_Unicode(p.name, CHR_PAR_NAME_LEN);
}

QString Chr_Par_Stored_Name(const Chr_Par &p)
{
    return Cp1251_To_Unicode(p.name, int(qstrnlen(p.name, CHR_PAR_NAME_LEN)));
}

QString Chr_Par_Symbol(const Chr_Par &p)
{
    return Field_To_Unicode(p.symbol, CHR_PAR_SYMBOL_LEN);
}

int Chr_Par_Decimals(const Chr_Par &p)
{
    return p.decimals > CHR_PAR_MAX_DECIMALS ? CHR_PAR_MAX_DECIMALS : p.decimals;
}

QString Chr_Par_Unit_Text(const Chr_Par &p)
{
    return Gas_Units(p.unit);
}

QStringList Chr_Type_Names()
{
    return {QStringLiteral("Компон.состав"), QStringLiteral("Температура"),    QStringLiteral(" Давление"),
            QStringLiteral("Тепл. низшая"),  QStringLiteral("Тепл. высшая"),   QStringLiteral("Индекс Воббе"),
            QStringLiteral("Плотность абс."), QStringLiteral("Плотность отн."), QStringLiteral("Фактор сжим.  ")};
}

QList<int> Chr_Type_Units(int type)
{
    switch (type) {
    case 0: return {1};
    case 1: return {8};
    case 2: return {9, 10, 11};
    case 3:
    case 4:
    case 5: return {4, 5, 6};
    case 6: return {7};
    case 7:
    case 8: return {0};
    default: return {};
    }
}

int Chr_Unit_Position(int type, int unit)
{
    return int(Chr_Type_Units(type).indexOf(unit));
}

QString Fixed_Str(double v, int precision, int decimals)
{
    if (std::isnan(v)) return QStringLiteral("NAN");
    if (std::isinf(v)) return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (decimals < 0) decimals = 0;
    if (precision < 1) precision = 1;
    // More whole digits than the precision holds: the exponent form.
    if (v != 0 && std::floor(std::log10(std::fabs(v))) + 1 > precision)
        return QString::number(v, 'E', precision - 1);
    const double r = QString::number(v, 'g', precision).toDouble();
    return QString::number(r, 'f', decimals);
}
