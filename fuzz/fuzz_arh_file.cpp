// Saved archive and message files as the viewers take them: the opener's checks, then every
// heading, caption, cell text and mean the viewer of the kind shows. The first input byte
// picks the kind, the rest is the file.
#include "Fuzz.h"
#include "archives/Arhiv_Clb.h"
#include "archives/Arhiv_File.h"
#include "archives/Arhivhd_Wmt.h"
#include "archives/Arhivhdm_Chr.h"
#include "archives/Arhmeas_Chr.h"
#include "archives/Arhmeas_Wmt.h"
#include "messages/Iniala.h"
#include "messages/Iniaud.h"

#include <cstring>

namespace {

// Every row the viewer counts must be a whole record of the bytes read.
template <class R, class Text>
void Cells(const QByteArray &recs, uint32_t rows, int cols, Text text)
{
    for (uint32_t k = 0; k < rows; ++k) {
        const std::optional<R> r = Rec_At<R>(recs, k);
        if (!r) __builtin_trap();
        const bool valid = Rec_Valid(*r);
        for (int c = 0; c < cols; ++c) text(*r, valid, c);
    }
}

void Msg_Rows(const QByteArray &recs, const Msg_Slots &widths)
{
    const int size = Msg_Row_Size(widths);
    for (qsizetype at = 0; at + size <= recs.size(); at += size) Msg_Row_Texts(recs.constData() + at, widths);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Arh_File_Kind kind;
    if (size < 1 || !Arh_Kind_From_Index(data[0] % ARH_KIND_COUNT, &kind)) return 0;
    const QByteArray file = fuzz::Bytes(data + 1, size - 1);
    // Big counts only cost time allocating zeros; those past the opener's limit stay in.
    uint32_t count = 0;
    if (file.size() >= ARHIV_HEADER_SIZE) std::memcpy(&count, file.constData() + offsetof(Arhiv_Header, rec_count), 4);
    if (count > 4096 && count < (1u << 28)) return 0;
    const Arh_File_Data d = Read_Arhiv_File(fuzz::File("arh", file), kind);
    Arh_Refusal_Line1("arh", d);
    Arh_Refusal_Line2(kind, d);
    if (d.status != Arh_Read::Ok) return 0;
    const Arhiv_Header &h = d.header;
    const QByteArray &recs = d.records;
    const uint8_t day = kind == Arh_File_Kind::Chr_Day ? HDM_KIND_DAY : HDM_KIND_HOUR;
    const uint8_t wmt = kind == Arh_File_Kind::Wmt_Day ? WMT_KIND_DAY : WMT_KIND_HOUR;
    switch (kind) {
    case Arh_File_Kind::Chr_Meas:
        Meas_Caption(h);
        Meas_Scan(h, recs);
        for (int c = 0; c < Meas_Col_Count(h); ++c) Meas_Heading(h, c, 0), Meas_Heading(h, c, 1);
        Cells<Chr_Meas_Rec>(recs, Meas_Row_Count(h, recs), Meas_Col_Count(h),
                            [&](const Chr_Meas_Rec &r, bool v, int c) { Meas_Cell_Text(h, r, v, c); });
        break;
    case Arh_File_Kind::Chr_Hour:
    case Arh_File_Kind::Chr_Day:
        Hd_Caption(h, day);
        Hd_Scan(h, recs);
        for (int c = 0; c < Hd_Col_Count(h); ++c) Hd_Heading(h, c, 0), Hd_Heading(h, c, 1);
        Cells<Chr_HD_Rec>(recs, Hd_Row_Count(h, recs), Hd_Col_Count(h),
                          [&](const Chr_HD_Rec &r, bool v, int c) { Hd_Cell_Text(h, r, v, c, day); });
        break;
    case Arh_File_Kind::Clb:
        Clb_Caption(h);
        Clb_Scan(h, recs);
        for (int c = 0; c < Clb_Col_Count(h); ++c) Clb_Heading(h, c, 0), Clb_Heading(h, c, 1);
        Cells<Clb_Rec>(recs, Clb_Row_Count(h, recs), Clb_Col_Count(h),
                       [&](const Clb_Rec &r, bool v, int c) { Clb_Cell_Text(h, r, v, c); });
        break;
    case Arh_File_Kind::Wmt_Meas:
        Wmt_Meas_Caption(h);
        for (int c = 0; c < WMT_COLS; ++c) Wmt_Meas_Heading(h, c);
        Cells<Wmt_Meas_Rec>(recs, Wmt_Meas_Row_Count(h, recs), WMT_COLS,
                            [&](const Wmt_Meas_Rec &r, bool v, int c) { Wmt_Meas_Cell_Text(r, v, c); });
        break;
    case Arh_File_Kind::Wmt_Hour:
    case Arh_File_Kind::Wmt_Day:
        Wmt_HD_Caption(h, wmt);
        for (int c = 0; c < WMT_COLS; ++c) Wmt_HD_Heading(h, c);
        Cells<Wmt_HD_Rec>(recs, Wmt_HD_Row_Count(h, recs), WMT_COLS,
                          [&](const Wmt_HD_Rec &r, bool v, int c) { Wmt_HD_Cell_Text(r, v, c, wmt); });
        break;
    case Arh_File_Kind::Ala: Ala_Caption(1, h, 0), Msg_Rows(recs, ALA_SLOTS); break;
    case Arh_File_Kind::Aud: Aud_Caption(1, h, 0), Msg_Rows(recs, AUD_SLOTS); break;
    }
    return 0;
}
