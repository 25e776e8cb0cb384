#include "core/Cnf_Exchange.h"

#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "params/Config.h"
#include "params/Links.h"
#include "params/Tabinfo.h"

#include <QThread>
#include <algorithm>
#include <cstring>

bool Config_Only = false;

namespace {

constexpr int NAMES_TABLE = 5;
constexpr int PASS_TABLE = 13;

// Table 0 field 12 clear: the controller keeps its names in code page 866.
bool Names_In_866()
{
    const uint8_t *f = Tab_Field(0, 12);
    return f && *f == 0;
}

void Convert_Names(bool to_dos)
{
    for (int k = 0; k < 3; ++k) {
        char *f = reinterpret_cast<char *>(Tab_Field(NAMES_TABLE, k));
        if (!f) return;
        if (to_dos)
            Win_To_Dos(f, 20);
        else
            Dos_To_Win(f, 20);
    }
}

void Show_Name(const Cnf_Exch_Ui &ui)
{
    const uint8_t *f = Tab_Field(NAMES_TABLE, 0);
    if (ui.contr_name && f) ui.contr_name(Field_To_Unicode(reinterpret_cast<const char *>(f), 20).trimmed());
}

void Progress(const Cnf_Exch_Ui &ui, int pos)
{
    if (ui.progress_pos) ui.progress_pos(pos);
}

void End_Pause(const Cnf_Exch_Ui &ui)
{
    if (ui.pause)
        ui.pause(CNF_END_PAUSE_MS);
    else
        QThread::msleep(CNF_END_PAUSE_MS);
}

// Fields first..first+count-1 of table t in pieces of at most `chunk` fields.
bool Move_Fields(int t, int count, int chunk, bool write, const Tab_Status &status)
{
    for (int first = 0; first < count; first += chunk) {
        const Tab_Req r{uint8_t(t), uint8_t(first), uint8_t(std::min(chunk, count - first))};
        if (!(write ? Write_Table(r, status, true) : Read_Table(r, status, true))) return false;
    }
    return true;
}

// Number of flow computers in the image (table 9 field 0), at most 16.
int Flou_Count_Image()
{
    const uint8_t *f = Tab_Field(9, 0);
    return f ? std::min<int>(*f, CNF_FLOU_COUNT) : 0;
}

// After table 3 has been written the controller answers at its new address and rate.
void Follow_Upper_Link()
{
    const uint8_t *t3 = Tab_Field(3, 0);
    if (!t3 || !Exch_Box) return;
    if (!Config_Only) {
        Upper_Link_Take(*Exch_Box, Conn_Settings, t3[0], t3[1]);
        return;
    }
    // A configuration-only link is closed after the restore: only the settings of the
    // next connection follow.
    Link_Par *lp = nullptr;
    switch (Conn_Settings.Curr_Par.Conn_Prz) {
    case 0: lp = &Conn_Settings.Dir_Conn_Par; break;
    case 1: lp = &Conn_Settings.Fon_Conn_Par.Link; break;
    case 2: lp = &Conn_Settings.Ethernet_Conn_Par.Link; break;
    default: break;
    }
    if (!lp) return;
    if (t3[0] >= 1 && t3[0] <= 254) lp->Adr = t3[0];
    const uint32_t rate = Baud_By_Index(t3[1]);
    if (Conn_Settings.Curr_Par.Conn_Prz == 0 && rate != 0) lp->Rate = rate;
}

void Copy_In(int t, const void *src)
{
    const int off = Tab_Offset(t);
    if (off < 0 || !Contr_Tables) return;
    std::memcpy(Contr_Tables + off, src, size_t(Tab_Length(t)));
}

void Copy_Out(int t, void *dst)
{
    const int off = Tab_Offset(t);
    if (off < 0 || !Contr_Tables) return;
    std::memcpy(dst, Contr_Tables + off, size_t(Tab_Length(t)));
}

bool Refuse(const QString &l1, const QString &l2 = QString())
{
    Ques_Kind = 2;
    Show_Ques(l1, l2);
    return false;
}

} // namespace

int Cnf_Read_Chunk(int t)
{
    const int size = (t >= 0 && t < TAB_COUNT) ? Tab_Dir[t].field_size : 0;
    return size > 0 ? MAX_READ_BYTES / size : 0;
}

int Cnf_Write_Chunk(int t)
{
    const int size = (t >= 0 && t < TAB_COUNT) ? Tab_Dir[t].field_size : 0;
    return size > 0 ? MAX_WRITE_BYTES / size : 0;
}

bool Read_Config(const Cnf_Exch_Ui &ui)
{
    const int total = Cfg_Table_Count() + 1;
    if (ui.progress_max) ui.progress_max(total);
    int pos = 0;
    Progress(ui, pos);
    for (int t = 0; t < TAB_COUNT; ++t) {
        const Tab_Descr &d = Tab_Dir[t];
        if (d.cfg_flag != 1 || t == PASS_TABLE || d.field_count == 0) continue;
        if (!Move_Fields(t, d.field_count, Cnf_Read_Chunk(t), false, ui.status)) return false;
        Progress(ui, ++pos);
        if (t == NAMES_TABLE) {
            if (Names_In_866()) Convert_Names(false);
            Show_Name(ui);
        }
    }
    Progress(ui, total);
    End_Pause(ui);
    return true;
}

bool Write_Config(Tab_State_Block &block, const Cnf_Exch_Ui &ui)
{
    if (ui.progress_max) ui.progress_max(Cfg_Table_Count());
    int pos = 0;
    Progress(ui, pos);
    uint8_t *sel = block.Write_Sel;

    // The flow-computer link first: the tables after it are as long as it says.
    if (sel[9]) {
        if (!Move_Fields(9, Tab_Dir[9].field_count, Cnf_Write_Chunk(9), true, ui.status)) return false;
        sel[9] = 0;
        Progress(ui, ++pos);
    }
    for (int t : {17, 18, 19, 20, PASS_TABLE}) {
        if (!sel[t]) continue;
        // No flow computers: nothing of these tables is in use.
        const int n = Flou_Count_Image();
        if (n > 0 && !Move_Fields(t, n, Cnf_Write_Chunk(t), true, ui.status)) return false;
        sel[t] = 0;
        Progress(ui, ++pos);
    }

    for (int t = 0; t < TAB_COUNT; ++t) {
        if (!sel[t]) continue;
        const Tab_Descr &d = Tab_Dir[t];
        if (d.field_count == 0) continue;
        bool ok;
        if (t == NAMES_TABLE && Names_In_866()) {
            Convert_Names(true);
            ok = Move_Fields(t, d.field_count, Cnf_Write_Chunk(t), true, ui.status);
            // Back to 1251 whatever the outcome: the image holds the screen's texts.
            Convert_Names(false);
        } else {
            ok = Move_Fields(t, d.field_count, Cnf_Write_Chunk(t), true, ui.status);
        }
        if (!ok) return false;
        Progress(ui, ++pos);
        if (t == 3) {
            Follow_Upper_Link();
            if (ui.link_changed) ui.link_changed();
        }
        if (t == NAMES_TABLE) Show_Name(ui);
    }
    Progress(ui, Cfg_Table_Count());
    End_Pause(ui);
    return true;
}

bool Apply_Config(Cnf_Rec &rec, bool check_users)
{
    if (!Contr_Tables) return false;
    Copy_In(5, rec.t5);
    Copy_In(1, rec.t1);
    Copy_In(3, rec.t3);

    if (check_users) {
        // Checked before the record is tidied: a refused record goes back as it came.
        const Access_Refusal r = Check_Users(rec.users);
        if (!r.Ok()) return Refuse(r.line1, r.line2);
        for (User_Rec &u : rec.users) {
            if (u.level == 0) {
                std::memset(u.name, ' ', USER_NAME_LEN);
                std::memset(u.pass, ' ', USER_PASS_LEN);
                std::memset(u.code, ' ', USER_CODE_LEN);
            } else {
                u.flag = 0;
            }
        }
        Copy_In(4, rec.users);
    }

    Copy_In(6, rec.t6);
    if (rec.t6[7] && rec.t14[0] == 0) return Refuse(QStringLiteral("Неверно задан адрес хроматографа"));
    Copy_In(14, rec.t14);
    if (rec.t6[8] && rec.t15[0] == 0) return Refuse(QStringLiteral("Неверно задан адрес влагомера"));
    Copy_In(15, rec.t15);
    Copy_In(9, rec.t9);
    if (rec.t6[9]) {
        const int n = std::min<int>(rec.t9[0], CNF_FLOU_COUNT);
        for (int i = 0; i < n; ++i)
            if (rec.flou[i].adr == 0) return Refuse(QStringLiteral("Неверно заданы адреса вычислителей РГ"));
    }
    for (int i = 0; i < CNF_FLOU_COUNT; ++i) {
        const Flou_Rec &f = rec.flou[i];
        *Tab_Field(18, i) = f.adr;
        *Tab_Field(17, i) = f.type;
        *Tab_Field(19, i) = f.mask;
        *Tab_Field(20, i) = f.order;
        std::memcpy(Tab_Field(PASS_TABLE, i), f.pass, FLOU_PASS_LEN);
    }
    Copy_In(21, rec.t21);
    Copy_In(22, rec.t22);
    Copy_In(23, rec.t23);
    Copy_In(24, rec.t24);
    Copy_In(25, rec.t25);
    Copy_In(26, rec.t26);
    Copy_In(28, rec.t28);
    Copy_In(43, rec.t43);
    Copy_In(44, rec.t44);
    Copy_In(29, rec.t29);
    return true;
}

void Fill_Config(Cnf_Rec &rec)
{
    if (!Contr_Tables) return;
    rec.filled = 1;
    for (int t : {0, 1, 5, 3, 4, 6, 14, 15, 9, 21, 22, 23, 24, 25, 26, 28, 43, 44, 29})
        Copy_Out(t, reinterpret_cast<uint8_t *>(&rec) + Cnf_Table_Offset(t));
    for (int i = 0; i < CNF_FLOU_COUNT; ++i) {
        Flou_Rec &f = rec.flou[i];
        f.adr = *Tab_Field(18, i);
        f.type = *Tab_Field(17, i);
        f.mask = *Tab_Field(19, i);
        f.order = *Tab_Field(20, i);
        std::memset(f.pass, ' ', FLOU_PASS_LEN);
    }
}
