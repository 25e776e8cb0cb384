#include "params/Tabinfo.h"

#include "core/Hgcbox.h"
#include "core/Globals.h"
#include "core/Rd_wr_ini.h"
#include "core/Stringi.h"
#include "core/Suplfunc.h"
#include "core/Tables.h"
#include "params/Chr_Par.h"

#include <algorithm>
#include <cstring>

void Fill_Tab_State_Block(Tab_State_Block &b, const uint8_t *states)
{
    std::memset(&b, 0, sizeof b);
    for (int t = 0; t < TAB_STATE_TABLES; ++t) {
        b.Cfg[t] = Tab_Dir[t].cfg_flag ? 1 : 0;
        b.State[t] = states ? states[t] : 0;
    }
}

QList<int> Tab_State_Rows(const Tab_State_Block &b)
{
    QList<int> rows;
    for (int t = 0; t < TAB_STATE_TABLES; ++t)
        if (b.Cfg[t]) rows << t;
    return rows;
}

bool Tab_Destroyed(const Tab_State_Block &b, int t)
{
    return t >= 0 && t < TAB_STATE_TABLES && b.State[t] != 0;
}

void Adjust_Write_Sel(Tab_State_Block &b)
{
    if (!Tab_Destroyed(b, 2)) b.Write_Sel[2] = 0;
    b.Write_Sel[4] = Tab_Destroyed(b, 4) ? 1 : 0;
}

void Select_All_Tables(Tab_State_Block &b)
{
    for (int t = 0; t < TAB_STATE_TABLES; ++t)
        if (b.Cfg[t]) b.Write_Sel[t] = 1;
    Adjust_Write_Sel(b);
}

QString Tab_Row_Name(int t)
{
    // Padded with a figure space, as wide as a digit, so that the names line up in any font;
    // the one name stored without its leading blank gets it here for the same reason.
    QString name = Tab_Names(t);
    if (!name.isEmpty() && !name.startsWith(QLatin1Char(' '))) name.prepend(QLatin1Char(' '));
    return QStringLiteral(" Табл. %1.  ").arg(t, 2, 10, QChar(0x2007)) + name;
}

Tab_Info_Buttons Tab_Info_Buttons_For(uint8_t version, bool direct_link)
{
    if (version != VERSION_CFG_ONLY) return {false, true};
    return {direct_link, direct_link};
}

bool Reset_NV_Data()
{
    if (!Exch_Box) return false;
    if (!Exch_Box->Exchange(25, nullptr, 0)) return false;
    Exch_Box->Adr = RESET_ADR;
    Exch_Box->Rate = RESET_RATE;
    Link_Par *lp = nullptr;
    switch (Conn_Settings.Curr_Par.Conn_Prz) {
    case 0: lp = &Conn_Settings.Dir_Conn_Par; break;
    case 1: lp = &Conn_Settings.Fon_Conn_Par.Link; break;
    default: lp = &Conn_Settings.Ethernet_Conn_Par.Link; break;
    }
    lp->Adr = RESET_ADR;
    lp->Rate = RESET_RATE;
    return true;
}

// ---- current state and momentary data -------------------------------------------------

QString Sit_Date_Text(const uint8_t *d)
{
    return QString::asprintf("%02d.%02d.%02d  %02d:%02d:%02d", d[2], d[1], d[0], d[3], d[4], d[5]);
}

State_Text Sit_Flag_Text(uint8_t v)
{
    if (v) return {QStringLiteral("Есть"), RGB_RED};
    return {QStringLiteral("Норма"), RGB_BLACK};
}

State_Text Sit_Error_Text(uint8_t code)
{
    if (code) return {QString::asprintf("Код ошибки %d", code), RGB_RED};
    return {QStringLiteral("Норма"), RGB_BLACK};
}

State_Text Link_State_Text(uint8_t v)
{
    if (v == 0) return {QStringLiteral("Связи нет"), RGB_RED};
    return {QStringLiteral("Норма"), RGB_BLACK};
}

bool Sit_Words_Swapped(const uint8_t *t0)
{
    return t0 && t0[10] == 0;
}

void Swap_Sit_Words(uint8_t *t16)
{
    std::swap(t16[12], t16[13]);
    std::swap(t16[16], t16[17]);
}

State_Text Vich_Link_Text(uint8_t v)
{
    if (v) return {QStringLiteral("Есть"), RGB_BLACK};
    return {QStringLiteral("Нет"), RGB_RED};
}

State_Text Vich_Write_Text(uint8_t v)
{
    if (v) return {QStringLiteral("Записываются"), RGB_BLACK};
    return {QStringLiteral("Не записываются"), RGB_RED};
}

QString Poll_Time_Text(const uint8_t *t)
{
    return QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", t[2], t[1], t[0], t[4], t[5], t[6]);
}

State_Text Zone_Text(uint8_t zone)
{
    switch (zone) {
    case 0: return {Zone_Names(0), RGB_BLACK};
    case 1:
    case 2: return {Zone_Names(zone), RGB_WARN_ZONE};
    case 3:
    case 4: return {Zone_Names(zone), RGB_RED};
    default: return {QStringLiteral("?"), RGB_GREEN};
    }
}

QString Chrom_Value_Text(const uint8_t *b4, int decimals)
{
    // NaN and infinity cannot be put into figures: the program this replaces failed on them.
    if (Is_Nan(b4)) return QStringLiteral("?");
    float v;
    std::memcpy(&v, b4, 4);
    return Fixed_Str(double(v), 10, std::clamp(decimals, 0, CHR_PAR_MAX_DECIMALS));
}

QString Wmt_Value_Text(const uint8_t *b4)
{
    if (Is_Nan(b4)) return QStringLiteral("   ?");
    float v;
    std::memcpy(&v, b4, 4);
    return QStringLiteral("  ") + Float_To_Str_Wmt(v);
}

QStringList Wmt_Row_Captions(uint8_t type)
{
    if (type == 2)
        return {QStringLiteral(" PV21 – Температура точки росы газа по воде WDP при рабочем давлении,  °C"),
                QStringLiteral(" PV22 – Температура точки росы газа по углеводородам HDP при рабочем давлении,  °C"),
                QStringLiteral(" PV23 – Давление газа,  bar"),
                QStringLiteral(" PV24 – Прив. температура точки росы газа по воде к абсолютному давлению 3,92 МПа,  °С")};
    return {QStringLiteral(" PV21 – Температура точки росы газа по воде WDP при рабочем давлении,  °C"),
            QStringLiteral(" PV22 – Температура точки росы газа по углеводородам HDP при рабочем давлении,  °C"),
            QStringLiteral(" PV23 – Избыточное давление газа WDP,  bar"),
            QStringLiteral(" PV24 – Прив. температура точки росы газа по воде к абсолютному давлению 3,92 МПа,  °С"),
            QStringLiteral(" PV25 – Избыточное давление  газа HDP,  bar")};
}
