#include "params/forms/Restore.h"

#include "core/Cnf_Exchange.h"
#include "core/Conffun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Connect_Seq.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "params/Access.h"
#include "params/Config.h"
#include "params/Tabinfo.h"
#include "params/forms/Access.h"
#include "params/forms/Config.h"
#include "params/forms/Config_Files.h"
#include "params/forms/Tabinfo.h"

#include <cstring>
#include <memory>

namespace {

constexpr int CLOCK_TAB = 2;
constexpr int SYSPAR_TAB = 6;
constexpr int STATE_TAB = 7;

Tab_Status Panel2(TFormMain *m)
{
    return [m](const QString &s) {
        if (m && m->StatusBar1) m->StatusBar1->Set_Text(2, s);
    };
}

void Clear_Panel2(TFormMain *m)
{
    if (m && m->StatusBar1) m->StatusBar1->Set_Text(2, QString());
}

uint8_t Version()
{
    const uint8_t *f = Tab_Field(0, 3);
    return f ? *f : 0;
}

bool Selected(const Tab_State_Block &b, int t)
{
    return b.Write_Sel[t] != 0;
}

// Whether a table other than the given ones is selected.
bool Other_Selected(const Tab_State_Block &b, int except1, int except2 = -1)
{
    for (int t = 0; t < TAB_STATE_TABLES; ++t)
        if (Selected(b, t) && t != except1 && t != except2) return true;
    return false;
}

// Set once a step of the restore has itself said that the tables stay unwritten, so that
// the end of the restore does not say it a second time.
bool Unwritten_Told = false;

void Tell_Unwritten()
{
    Ques_Kind = 6;
    Show_Ques(QStringLiteral("Запись таблиц не выполнена"), QString());
    Unwritten_Told = true;
}

// How the restore ended: every selected table written (the clock only when the user let it
// be set), or some left unwritten. Both are said, so the two cannot be mistaken.
void Report_Restore(bool written)
{
    if (written) {
        Ques_Kind = 5;
        Show_Ques(QStringLiteral("Команда выполнена"), QString());
    } else if (!Unwritten_Told) {
        Tell_Unwritten();
    }
}

} // namespace

bool Can_Set_Time(TFormMain *m, const Tab_State_Block &b)
{
    if (Selected(b, SYSPAR_TAB)) {
        Ques_Kind = 4;
        Show_Ques(QStringLiteral("Запись даты и времени невозможна"),
                  QStringLiteral("при разрушенной таблице системных параметров"));
        return false;
    }
    // The summer-time rule of the clock write comes from the system parameters.
    return Read_Table(Tab_Req{SYSPAR_TAB, 0, 12}, Panel2(m), true);
}

bool Restore_Access(TFormMain *m, Cnf_Rec &rec)
{
    uint8_t accepted = 0;
    {
        TFormAccess f(m);
        f.Users = rec.users;
        f.Dev_Write = 1;
        Run_Dialog(f);
        accepted = f.Accepted;
    }
    if (!accepted) {
        Ques_Kind = 6;
        Show_Ques(QStringLiteral("Таблица доступа к записи в контроллер не восстановлена"),
                  QStringLiteral("Запись в таблицы параметров конфигурации недопустима"));
        Unwritten_Told = true;
        return false;
    }
    uint8_t *t4 = Tab_Field(ACCESS_TABLE, 0);
    if (!t4) return false;
    std::memcpy(t4, rec.users, sizeof rec.users);
    return true;
}

bool Restore_Config(TFormMain *m, Cnf_Rec &rec, Tab_State_Block &b)
{
    if (Other_Selected(b, CLOCK_TAB, ACCESS_TABLE)) {
        for (;;) {
            {
                TFormConfig f(m);
                f.Cnf = &rec;
                f.Dev_Write = 1;
                Run_Dialog(f);
                if (!f.Accepted) return false;
                if (f.Changed) Save_Cnf(m, rec);
            }
            bool applied;
            {
                Hourglass wc;
                applied = Apply_Config(rec, Selected(b, ACCESS_TABLE));
            }
            if (applied) return true;
            Ques_Kind = 3;
            Show_Ques(QStringLiteral("Корректировать параметры конфигурации?"), QString());
            if (Ques_Answer) continue;
            Tell_Unwritten();
            return false;
        }
    }
    if (Selected(b, ACCESS_TABLE) && !Restore_Access(m, rec)) return false;
    if (Selected(b, CLOCK_TAB)) return Can_Set_Time(m, b);
    return true;
}

bool Write_User_Table(TFormMain *m)
{
    if (!Exch_Box) return false;
    char pass[sizeof Exch_Box->Write_Pass];
    char code[sizeof Exch_Box->User_Code];
    std::memcpy(pass, Exch_Box->Write_Pass, sizeof pass);
    std::memcpy(code, Exch_Box->User_Code, sizeof code);
    std::memset(Exch_Box->Write_Pass, ' ', sizeof pass);
    std::memset(Exch_Box->User_Code, ' ', sizeof code);
    bool ok = Write_Table(Tab_Req{ACCESS_TABLE, 0, 10}, Panel2(m), true);
    if (ok) ok = Write_Table(Tab_Req{ACCESS_TABLE, 10, 6}, Panel2(m), true);
    std::memcpy(Exch_Box->Write_Pass, pass, sizeof pass);
    std::memcpy(Exch_Box->User_Code, code, sizeof code);
    return ok;
}

bool Restore_Users(TFormMain *m, Tab_State_Block &b)
{
    Clear_Panel2(m);
    {
        Hourglass wc;
        if (Selected(b, ACCESS_TABLE)) {
            if (!Write_User_Table(m)) {
                Ques_Kind = 6;
                Show_Ques(QStringLiteral("Таблица зарегистрированных пользователей не восстановлена"),
                          QStringLiteral("Запись в таблицы параметров конфигурации недопустима"));
                Unwritten_Told = true;
                return false;
            }
            b.Write_Sel[ACCESS_TABLE] = 0;
        }
    }
    if (Selected(b, CLOCK_TAB)) {
        // "Нет" to the PC's time leaves the clock alone; the other tables are written all the
        // same. A clock write that failed ends the restore.
        bool declined = false;
        if (!Set_Contr_Time(m, &declined) && !declined) return false;
        b.Write_Sel[CLOCK_TAB] = 0;
    }
    Hourglass wc;
    Clear_Panel2(m);
    const bool ok = Run_Write_Config(m, b);
    if (m) m->repaint();
    return ok;
}

void Table_States_Restore(TFormMain *m)
{
    const bool cfg_only = Version() == VERSION_CFG_ONLY;
    uint8_t *states = Tab_Field(STATE_TAB, 0);
    if (!states) return;
    if (cfg_only) {
        // Such a controller reports nothing: every table is taken as destroyed.
        std::memset(states, 1, TAB_STATE_TABLES);
    } else {
        bool read;
        {
            Hourglass wc;
            read = Read_Table(Tab_Req{STATE_TAB, 0, TAB_STATE_TABLES}, Panel2(m), true);
        }
        if (!read) return;   // the states are unknown: the link is kept
    }

    Tab_State_Block b;
    Fill_Tab_State_Block(b, states);
    uint8_t result = 0;
    {
        TFormTableInfo f(m);
        f.Tab_State = &b;
        f.Status_Bar = m ? m->StatusBar1 : nullptr;
        Run_Dialog(f);
        result = f.Result;
    }

    bool restore = false;
    switch (result) {
    case 0:
        break;
    case 1:
        if (Other_Selected(b, CLOCK_TAB))
            restore = true;
        else if (Can_Set_Time(m, b))
            Set_Contr_Time(m);
        break;
    case 2:
        restore = cfg_only;
        break;
    case 3:
        // The non-volatile data were reset: the controller restarts at another address.
        Connected = false;
        return;
    default:
        restore = true;
        break;
    }

    if (restore) {
        // While a configuration-only controller is served, a written table 3 leaves the
        // program's own address and rate alone.
        if (cfg_only) Config_Only = true;
        Unwritten_Told = false;
        auto rec = std::make_unique<Cnf_Rec>();
        Report_Restore(Open_Cnf(m, *rec) && Restore_Config(m, *rec, b) && Restore_Users(m, b));
    }
    // A configuration-only controller serves nothing else: its link ends here, whatever
    // was chosen.
    if (cfg_only || Config_Only) {
        Connected = false;
        Config_Only = false;
    }
}

void Install_Restore(TFormMain *)
{
    Table_State_Check = [](TFormMain *w) { Table_States_Restore(w); };
}
