#include "params/forms/Sinhr.h"

#include "core/Stringi.h"
#include "params/forms/Params_Menu.h"

#include <cstring>

namespace {

Field_List_Desc Sinhr_Desc()
{
    const QString contr = QStringLiteral(" Синхронизировать время контроллера ");
    const QString chrom = QStringLiteral(" Синхронизировать время хроматографа ");
    const QString moment = QStringLiteral("В момент синхронизации времени");
    Field_List_Desc d;
    d.caption = QStringLiteral(" Синхронизация времени");
    auto box = [&d](const char *name, const QStringList &label, int byte, const QString &group, int by) {
        Field_Row r;
        r.kind = Field_Row::Check;
        r.name = name;
        r.label = label;
        r.offset = byte;
        r.group = group;
        r.enabled_by = by;
        d.rows << r;
    };
    box("CheckBox1", {QStringLiteral("С временем вычислителя")}, 0, contr, -1);
    box("CheckBox2", {QStringLiteral("С временем ЭВМ")}, 1, contr, -1);
    box("CheckBox3", {moment, QStringLiteral("контроллера с временем вычислителя")}, 2, chrom, 0);
    box("CheckBox4", {moment, QStringLiteral("контроллера с временем ЭВМ")}, 3, chrom, 1);
    return d;
}

Field_List_Desc Distr_Desc()
{
    Field_List_Desc d;
    d.caption = Tab_Names(DISTR_TAB);
    Field_Row r;
    r.kind = Field_Row::List;
    r.name = "ComboBox1";
    r.label = {QStringLiteral("Период записи средних за час"), QStringLiteral("значений параметров газа в ВРГ")};
    for (uint8_t p : Distr_Periods) {
        r.items << QString::asprintf(" %u", unsigned(p));
        r.values << p;
    }
    r.unit = QStringLiteral("ч");
    r.missing_line1 = QStringLiteral("Не введен период");
    d.rows << r;
    d.fixed << Field_Fixed{1, 1, 0};
    return d;
}

} // namespace

TFormTime_Sinhr::TFormTime_Sinhr(QWidget *owner) : TFormField_List(Sinhr_Desc(), owner)
{
    CheckBox1 = Check_Box(0);
    CheckBox2 = Check_Box(1);
    CheckBox3 = Check_Box(2);
    CheckBox4 = Check_Box(3);
}

TFormDistr::TFormDistr(QWidget *owner) : TFormField_List(Distr_Desc(), owner)
{
    ComboBox1 = List(0);
}

void NSinhrClick(TFormMain *m)
{
    if (!Road_Read(m, {Sync_Contr_Req, Sync_Chrom_Req})) return;
    uint8_t block[SYNC_BLOCK_LEN] = {};
    if (!Sync_Block_From_Image(block)) return;
    TFormTime_Sinhr f(m);
    f.Tab_Data = block;
    if (!Road_Show(f)) return;
    if (!Sync_Block_To_Image(block)) return;
    // Both ranges go whole: the switches are written as the dialog shows them.
    Hourglass h;
    if (Write_Table(Sync_Contr_Req, Road_Status(m), true)) Write_Table(Sync_Chrom_Req, Road_Status(m), true);
}

void NdistrparClick(TFormMain *m)
{
    Edit_Table<TFormDistr>(m, Tab_Req{DISTR_TAB, 0, 2}, [](TFormDistr &) {});
}
