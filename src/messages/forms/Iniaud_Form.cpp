#include "messages/forms/Iniaud_Form.h"

#include "core/forms/Dialogs.h"
#include "messages/Repklass.h"
#include "messages/forms/Msg_Menu.h"

#include <QPointer>
#include <algorithm>

const Msg_List_Descr &Aud_List_Descr()
{
    static const Msg_List_Descr d{
        Arh_File_Kind::Aud,
        AUD_SLOTS,
        {"Дата", "Время", "Наименование\nизмененного параметра", "Старое\nзначение", "Новое\nзначение",
         "Единица\nизмер.", "Имя\nоператора"},
        {8, 80, 80, 330, 130, 130, 90, 80},
        REP_KIND_AUD,
    };
    return d;
}

Aud_List_Data Prepare_Aud_List(const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index)
{
    Aud_List_Data d;
    d.header = h;
    if (mode == MSG_MODE_FILE) {
        d.rows = data;
    } else {
        // The list counts the records actually there.
        d.header.rec_count = std::min<uint32_t>(uint32_t(h.rec_count), uint32_t(data.size() / qsizetype(sizeof(Aud_Rec))));
        d.rows = Decode_Aud_Records(d.header, data, &d.bad);
    }
    d.caption = Aud_Caption(mode, d.header, first_index);
    return d;
}

TFormAud::TFormAud(QWidget *owner, const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index)
    : TFormAud(owner, Prepare_Aud_List(h, mode, data, first_index), mode)
{
}

TFormAud::TFormAud(QWidget *owner, const Aud_List_Data &d, uint8_t mode)
    : TFormMsg_List(owner, Aud_List_Descr(), d.header, d.rows, d.caption), List_Mode(mode), Bad(d.bad)
{
    setObjectName(QStringLiteral("FormAud"));
    if (Bad > 0) Show_Bad_Crc_Note();
}

void Show_Aud_List(QWidget *owner, const Msg_Read_Result &r)
{
    TFormAud f(owner, r.header, r.mode, r.records, r.first_index);
    Run_Dialog(f);
}

void Show_Aud_File(QWidget *owner, const Arhiv_Header &h, const QByteArray &rows)
{
    TFormAud f(owner, h, MSG_MODE_FILE, rows);
    Run_Dialog(f);
}

void Install_Aud_Viewer(QWidget *owner)
{
    QPointer<QWidget> o(owner);
    Set_Message_Viewer(Msg_Kind::Aud, [o](const Msg_Read_Result &r) { Show_Aud_List(o.data(), r); });
}
