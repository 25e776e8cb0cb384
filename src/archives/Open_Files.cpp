#include "archives/Open_Files.h"

#include "core/Ques.h"

#include <QFile>

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

// Record bytes the file would bring in, judged from its size and its header's claim.
bool too_large(const QString &path, Arh_File_Kind kind)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;   // the reader reports it
    const qint64 size = f.size();
    if (size - ARHIV_HEADER_SIZE <= ARH_OPEN_MAX_BYTES) return false;
    Arhiv_Header h;
    if (f.read(reinterpret_cast<char *>(&h), sizeof h) != qint64(sizeof h)) return false;
    const qint64 count = Arh_Records_Available(kind, size, h.rec_count);
    return count * qint64(Arh_Info(kind).rec_size) > ARH_OPEN_MAX_BYTES;
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

Arh_File_Data Load_Open_File(const QString &path, Arh_File_Kind kind)
{
    if (too_large(path, kind)) {
        Arh_File_Data d;
        d.status = Arh_Read::Refused;
        d.check = Arh_Check::Ok;
        return d;
    }
    return Read_Arhiv_File(path, kind);
}

Open_Result Open_Archive_File(Arh_File_Kind kind, Open_Ui &ui, const Open_Show &show)
{
    const std::optional<QString> chosen = ui.Choose_File(Open_Setup(kind));
    if (!chosen || chosen->isEmpty()) return Open_Result::Cancelled;

    ui.Busy(true);
    const Arh_File_Data d = Load_Open_File(*chosen, kind);
    ui.Busy(false);

    switch (d.status) {
    case Arh_Read::Open_Failed:
        error(QStringLiteral("Ошибка открытия файла"), QString());
        return Open_Result::Open_Failed;
    case Arh_Read::Refused:
        error(Arh_Refusal_Line1(*chosen), Arh_Refusal_Line2(kind));
        return Open_Result::Refused;
    case Arh_Read::Ok:
        break;
    }
    if (show) show(d.header, d.records);
    return Open_Result::Shown;
}
