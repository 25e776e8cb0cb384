#include "params/Links.h"

#include "core/Comportfunctions.h"
#include "core/Hgcbox.h"
#include "core/Rd_wr_ini.h"

QString Mac_Text(const uint8_t *b)
{
    if (!b) return QString();
    return QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
}

bool Upper_Rate_Enabled(uint8_t dev_write, uint8_t conn_prz, uint8_t multi_rate)
{
    if (!dev_write) return true;
    return conn_prz == 0 && multi_rate != 0;
}

void Upper_Link_Take(hgcbox &box, Conn_Settings_Rec &s, uint8_t adr, uint8_t rate_idx)
{
    Link_Par *lp = nullptr;
    switch (s.Curr_Par.Conn_Prz) {
    case 0: lp = &s.Dir_Conn_Par; break;
    case 1: lp = &s.Fon_Conn_Par.Link; break;
    case 2: lp = &s.Ethernet_Conn_Par.Link; break;
    default: break;
    }
    if (adr >= 1 && adr <= 254) {
        box.Adr = adr;
        if (lp) lp->Adr = adr;
    }
    // Table 3 holds the rate of the controller's own port: it is the program's rate only when
    // the program sits on that port directly. A modem keeps the rate of the line to it (the
    // controller's rate there would cut the link), a socket has none.
    const uint32_t rate = Baud_By_Index(rate_idx);
    if (s.Curr_Par.Conn_Prz == 0 && box.Conn_Prz == 0 && rate != 0) {
        box.Rate = rate;
        s.Dir_Conn_Par.Rate = rate;
    }
}
