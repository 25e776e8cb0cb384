#include "archives/Open_Files.h"

#include "core/Ques.h"


namespace {
constexpr std::array<Open_File_Command, OPEN_FILE_COMMAND_COUNT> COMMANDS{{
    {"NAudPrn", Arh_File_Kind::Aud},
    {"NAlaPrn", Arh_File_Kind::Ala},
    {"NChrom_ViewMeas", Arh_File_Kind::Chr_Meas},
    {"NChrom_ViewHour", Arh_File_Kind::Chr_Hour},
    {"NChrom_ViewDay", Arh_File_Kind::Chr_Day},
    {"NChrom_ViewClb", Arh_File_Kind::Clb},
    {"NWmt_ViewMeas", Arh_File_Kind::Wmt_Meas},
    {"NWmt_ViewHour", Arh_File_Kind::Wmt_Hour},
    {"NWmt_ViewDay", Arh_File_Kind::Wmt_Day},
}};

void error(const QString &line1, const QString &line2)
{
    Ques_Kind = 1;
    Show_Ques(line1, line2);
}
} // namespace

const std::array<Open_File_Command, OPEN_FILE_COMMAND_COUNT> &Open_File_Commands() { return COMMANDS; }

const char *Open_File_Item(Arh_File_Kind kind)
{
    for (const Open_File_Command &c : COMMANDS)
        if (c.kind == kind) return c.item;
    return "";
}

Open_Dialog_Setup Open_Setup(Arh_File_Kind kind)
{
    Open_Dialog_Setup s;
    s.title = QStringLiteral("Выберите файл с данными");
    s.dir = Arh_Dir(kind);
    s.filters = Arh_Open_Filters();
    s.filter_index = Arh_Info(kind).open_filter_index;
    return s;
}

Open_Result Open_Archive_File(Arh_File_Kind kind, Open_Ui &ui, const Open_Show &show)
{
    const std::optional<QString> chosen = ui.Choose_File(Open_Setup(kind));
    if (!chosen || chosen->isEmpty()) return Open_Result::Cancelled;

    ui.Busy(true);
    const Arh_File_Data d = Read_Arhiv_File(*chosen, kind);
    ui.Busy(false);

    switch (d.status) {
    case Arh_Read::Open_Failed:
        error(QStringLiteral("Ошибка открытия файла"), QString());
        return Open_Result::Open_Failed;
    case Arh_Read::Refused:
        error(Arh_Refusal_Line1(*chosen, d), Arh_Refusal_Line2(kind, d));
        return Open_Result::Refused;
    case Arh_Read::Ok:
        break;
    }
    if (show) show(d.header, d.records);
    return Open_Result::Shown;
}
