#include "params/forms/Params_Menu.h"

#include "core/Codepage.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/Chr_Par.h"
#include "params/Ident_Tab.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Ident.h"

#include <QApplication>
#include <cstring>


Tab_Status Road_Status(TFormMain *m)
{
    return [m](const QString &s) {
        if (!m || !m->StatusBar1) return;
        m->StatusBar1->Set_Text(2, s);
        m->StatusBar1->repaint();
    };
}

bool Road_Read(TFormMain *m, std::initializer_list<Tab_Req> reqs)
{
    Hourglass h;
    for (const Tab_Req &r : reqs) {
        if (r.count == 0) continue;
        if (!Read_Table(r, Road_Status(m), true)) return false;
    }
    return true;
}

uint8_t *Range_Data(const Tab_Req &req)
{
    return Tab_Field(req.tab, req.first);
}

QByteArray Range_Bytes(const Tab_Req &req)
{
    const uint8_t *p = Range_Data(req);
    if (!p || int(req.first) + req.count > Tab_Dir[req.tab].field_count) return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(p), req.count * Tab_Dir[req.tab].field_size);
}

bool Road_Write_Changed(TFormMain *m, const Tab_Req &req, const QByteArray &old)
{
    if (req.count == 0) return true;
    Hourglass h;
    return Write_Changed_Fields(req, reinterpret_cast<const uint8_t *>(old.constData()), int(old.size()),
                                Road_Status(m));
}

bool Road_Show(TParam_Dialog &d)
{
    d.Dev_Write = 1;
    Run_Dialog(d);
    return d.Accepted != 0;
}

void NidentClick(TFormMain *m)
{
    const Tab_Req req{0, 0, IDENT_LEN};
    if (!Road_Read(m, {req})) return;
    TFormIdent f(m);
    f.Tab_Data = Tab_Dir[0].data;
    Road_Show(f);   // display only: nothing is written
}

void NContrNameClick(TFormMain *m)
{
    const Tab_Req req{5, 0, 3};
    if (!Road_Read(m, {req})) return;
    const QByteArray old = Range_Bytes(req);   // as read: the controller's code page
    uint8_t *names = Range_Data(req);
    const bool cp866 = Names_In_866(Tab_Field(0, 0));
    // The image keeps the names in the Windows code page, as after the connect sequence.
    if (cp866)
        for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(names + k * NAME_LEN), NAME_LEN);
    const QByteArray shown = Range_Bytes(req);

    TFormContrName f(m);
    f.Tab_Data = names;
    f.Names_866 = cp866;
    if (!Road_Show(f)) return;

    // The controller gets the names in its code page. A name the dialog left alone goes back
    // exactly as it was read.
    const QByteArray edited = Range_Bytes(req);
    QByteArray out = old;
    for (int k = 0; k < 3; ++k) {
        const int at = k * NAME_LEN;
        if (std::memcmp(edited.constData() + at, shown.constData() + at, NAME_LEN) == 0) continue;
        std::memcpy(out.data() + at, edited.constData() + at, NAME_LEN);
        if (cp866) Win_To_Dos(out.data() + at, NAME_LEN);
    }
    std::memcpy(names, out.constData(), size_t(NAMES_LEN));
    const bool ok = Road_Write_Changed(m, req, old);
    // The image and the status bar then hold the names as the controller keeps them, read back
    // into the Windows code page: converted from a copy, so the image is never converted twice.
    if (cp866)
        for (int k = 0; k < 3; ++k) Dos_To_Win(out.data() + k * NAME_LEN, NAME_LEN);
    std::memcpy(names, out.constData(), size_t(NAMES_LEN));
    if (ok && m && m->StatusBar1) m->StatusBar1->Set_Text(1, Name_Text(reinterpret_cast<const char *>(names)));
}

void N_ConstClick(TFormMain *m)
{
    const int n = Gas_Par_Count();
    const Tab_Req flags{43, 0, uint8_t(n)}, values{44, 0, uint8_t(n)};
    if (!Road_Read(m, {flags, values})) return;
    uint8_t *t43 = Tab_Dir[43].data;
    uint8_t *t44 = Tab_Dir[44].data;
    if (!t43 || !t44) return;

    // One working block: the 20 flags, then the 20 constants; its copy is the reference of
    // both writes.
    uint8_t block[CONST_BLOCK_LEN];
    std::memcpy(block, t43, MAX_GAS_PARAMS);
    std::memcpy(block + MAX_GAS_PARAMS, t44, 4 * MAX_GAS_PARAMS);
    const QByteArray ref(reinterpret_cast<const char *>(block), CONST_BLOCK_LEN);

    TFormConst_Par f(m);
    f.Tab_Data = block;
    f.Par_Count = uint8_t(n);
    f.Chr_Tab = Tab_Dir[1].data;
    if (!Road_Show(f)) return;

    std::memcpy(t43, block, MAX_GAS_PARAMS);
    std::memcpy(t44, block + MAX_GAS_PARAMS, 4 * MAX_GAS_PARAMS);
    if (Road_Write_Changed(m, values, ref.mid(MAX_GAS_PARAMS, 4 * n)))
        Road_Write_Changed(m, flags, ref.left(n));
}

void Install_Param_Commands(TFormMain *m)
{
    if (!m) return;
    m->Set_Handler(QStringLiteral("Nident"), [m](QAction *) { NidentClick(m); });
    m->Set_Handler(QStringLiteral("NContrName"), [m](QAction *) { NContrNameClick(m); });
    m->Set_Handler(QStringLiteral("NConst"), [m](QAction *) { N_ConstClick(m); });
}
