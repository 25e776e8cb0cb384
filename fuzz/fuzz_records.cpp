// Each record decoder, CRC check passed or not: the first input byte picks the record kind
// (and the meter type of diagnostic messages), the next bytes are the record.
#include "Fuzz.h"
#include "archives/Arhiv_Clb.h"
#include "archives/Arhivhd_Wmt.h"
#include "archives/Arhivhdm_Chr.h"
#include "archives/Arhmeas_Chr.h"
#include "archives/Arhmeas_Wmt.h"
#include "archives/Chrom_Error.h"
#include "messages/Iniala.h"
#include "messages/Iniaud.h"

#include <cstring>

template <class R> R Take(const uint8_t *data, size_t size)
{
    R r{};
    std::memcpy(&r, data, std::min(size, sizeof r));
    return r;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    fuzz::Dir();   // the table image the texts draw on
    const uint8_t sel = data[0], kind = sel / 16 % 2;
    const bool valid = sel & 0x80;
    static const Arhiv_Header h = [] { Arhiv_Header x{}; x.par_count = ARH_PAR_MAX; return x; }();
    ++data, --size;
    switch (sel % 8) {
    case 0: {
        const auto r = Take<Chr_Meas_Rec>(data, size);
        for (int c = 0; c < Meas_Col_Count(h); ++c) Meas_Cell_Text(h, r, valid, c);
        Meas_Details_Caption(r), Ctrl_Status_Lines(CHR_ERR_MEAS, r.ctrl_status);
        Chrom_Status_Lines(uint8_t(r.chrom_status), uint8_t(r.chrom_status >> 8));
        break;
    }
    case 1: {
        const auto r = Take<Chr_HD_Rec>(data, size);
        for (int c = 0; c < Hd_Col_Count(h); ++c) Hd_Cell_Text(h, r, valid, c, kind);
        Hd_Details_Caption(r, kind), Ctrl_Status_Lines(CHR_ERR_HD, r.status);
        break;
    }
    case 2: for (int c = 0; c < Clb_Col_Count(h); ++c) Clb_Cell_Text(h, Take<Clb_Rec>(data, size), valid, c); break;
    case 3: for (int c = 0; c < WMT_COLS; ++c) Wmt_Meas_Cell_Text(Take<Wmt_Meas_Rec>(data, size), valid, c); break;
    case 4: for (int c = 0; c < WMT_COLS; ++c) Wmt_HD_Cell_Text(Take<Wmt_HD_Rec>(data, size), valid, c, WMT_KIND_HOUR + kind); break;
    case 5: Decode_Ala_Record(Take<Ala_Rec>(data, size), sel / 8), Decode_Ala_Message(Take<Ala_Rec>(data, size), sel / 8); break;
    case 6: Decode_Aud_Record(Take<Aud_Rec>(data, size)), Decode_Aud_Message(Take<Aud_Rec>(data, size)); break;
    }
    return 0;
}
