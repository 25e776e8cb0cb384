#include "messages/forms/Iniala_Form.h"

#include "core/forms/Dialogs.h"
#include "messages/Repklass.h"

#include <algorithm>


const Msg_List_Descr &Ala_List_Descr()
{
    static const Msg_List_Descr d{
        Arh_File_Kind::Ala,
        ALA_SLOTS,
        {"Дата", "Время", "Сообщение\nСобытие", "Сообщение\nОбъект / Причина", "Текущее\nзначение\nпарам.",
         "Знач.\nуставки", "Единица\nизмер."},
        {8, 72, 72, 300, 262, 90, 90, 90},
        REP_KIND_ALA,
    };
    return d;
}

Ala_List_Data Prepare_Ala_List(const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index)
{
    Ala_List_Data d;
    d.header = h;
    if (mode == MSG_MODE_FILE) {
        d.rows = data;
    } else {
        // The list counts the records actually there.
        d.header.rec_count = std::min<uint32_t>(uint32_t(h.rec_count), uint32_t(data.size() / qsizetype(sizeof(Ala_Rec))));
        d.rows = Decode_Ala_Records(d.header, data, &d.bad);
    }
    d.caption = Ala_Caption(mode, d.header, first_index);
    return d;
}

TFormAla::TFormAla(QWidget *owner, const Arhiv_Header &h, uint8_t mode, const QByteArray &data, uint32_t first_index)
    : TFormAla(owner, Prepare_Ala_List(h, mode, data, first_index), mode)
{
}

TFormAla::TFormAla(QWidget *owner, const Ala_List_Data &d, uint8_t mode)
    : TFormMsg_List(owner, Ala_List_Descr(), d.header, d.rows, d.caption), List_Mode(mode), Bad(d.bad)
{
    setObjectName(QStringLiteral("FormAla"));
    if (Bad > 0) Show_Bad_Crc_Note();
}

void Show_Ala_List(QWidget *owner, const Msg_Read_Result &r)
{
    TFormAla f(owner, r.header, r.mode, r.records, r.first_index);
    Run_Dialog(f);
}

void Show_Ala_File(QWidget *owner, const Arhiv_Header &h, const QByteArray &rows)
{
    TFormAla f(owner, h, MSG_MODE_FILE, rows);
    Run_Dialog(f);
}
