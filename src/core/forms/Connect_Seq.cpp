#include "core/forms/Connect_Seq.h"

#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Conffun.h"
#include "core/Connectmodem.h"
#include "core/Dtfun.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Stringi.h"
#include "core/Tables.h"
#include "core/forms/About.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "core/forms/Statusbar.h"
#include "core/forms/Userpass.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QDateTime>
#include <cstring>

namespace {
constexpr uint8_t kType = 'I';
constexpr uint8_t kVersion = 16;
constexpr uint8_t kVersionCfgOnly = 14;
constexpr uint8_t kChromCode = 8;

Tab_Status Panel2(TFormMain *m)
{
    return [m](const QString &s) { m->StatusBar1->Set_Text(2, s); };
}

bool Read(TFormMain *m, uint8_t tab, uint8_t first, uint8_t count)
{
    return Read_Table(Tab_Req{tab, first, count}, Panel2(m), true);
}

uint8_t T(int tab, int field)
{
    const uint8_t *p = Tab_Field(tab, field);
    return p ? *p : 0;
}

Link_Par &Active_Link_Par()
{
    switch (Conn_Settings.Curr_Par.Conn_Prz) {
    case 0: return Conn_Settings.Dir_Conn_Par;
    case 1: return Conn_Settings.Fon_Conn_Par.Link;
    default: return Conn_Settings.Ethernet_Conn_Par.Link;
    }
}

Modem_Io Modem_For(TFormMain *m)
{
    Modem_Io io;
    io.Com = Exch_Box->Port_Handle.get();
    io.Clk = Exch_Box->Clk;
    io.Pump = Exch_Box->Pump;
    io.Status = [m](const QString &s) { m->StatusBar3->Set_Text(0, s); };
    return io;
}

// The three names of table 5 when they cannot be read, each padded to its 20 bytes.
void Fallback_Names()
{
    const QString names[3] = {QStringLiteral("Контроллер QZT_%1").arg(kVersion, 2, 10, QLatin1Char('0')),
                              QStringLiteral("Нитка 1"), QStringLiteral("Нитка 2")};
    for (int k = 0; k < 3; ++k)
        if (uint8_t *f = Tab_Field(5, k)) Unicode_To_Field(names[k], reinterpret_cast<char *>(f), 20);
}

QString Controller_Name()
{
    const uint8_t *f = Tab_Field(5, 0);
    return f ? Field_To_Unicode(reinterpret_cast<const char *>(f), 20).trimmed() : QString();
}
} // namespace

bool Modem_Connect(TFormMain *m)
{
    const Fon_Conn_Par_Rec &fp = Conn_Settings.Fon_Conn_Par;
    const Fon_Abonents_List &l = fp.Fon_Abonents;
    const QString number = l.hdr.user_index < l.hdr.users_num
                               ? QString::fromLatin1(l.rec[l.hdr.user_index].phone_code,
                                                     int(strnlen(l.rec[l.hdr.user_index].phone_code, PHONE_CODE_LEN)))
                               : QString();
    const QString command = Cp1251_To_Unicode(fp.Command, int(strnlen(fp.Command, MODEM_COMMAND_LEN)));
    int result = 0;
    for (;;) {
        {
            Hourglass wc;
            Modem_Io io = Modem_For(m);
            result = io.Com ? Modem_Dial(io, number, command, int(fp.Conn_Repeat), int(fp.ConnectWaitTime))
                            : int(MODEM_ABSENT);
        }
        if (result == 0) break;
        Ques_Kind = 3;
        Show_Ques(Modem_Result_Text(result), QStringLiteral("Повторить попытку соединения?"));
        if (!Ques_Answer) break;
    }
    if (result == 0) m->Start_Call();
    m->StatusBar3->Set_Text(0, QString());
    m->repaint();
    return result == 0;
}

bool Read_Init_Tables(TFormMain *m)
{
    Hourglass wc;
    if (uint8_t *f = Tab_Field(5, 0)) std::memset(f, ' ', 20);
    if (Read(m, 5, 0, 3)) {
        if (T(0, 12) == 0)
            for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), 20);
    } else {
        Fallback_Names();
    }

    bool ok = Read(m, 6, 0, 12) && Read(m, 14, 0, 16);
    if (ok && T(14, 6) != kChromCode) {
        Ques_Kind = 6;
        Show_Ques(QStringLiteral("Код подключенного хроматографа равен %1.").arg(T(14, 6)),
                  QStringLiteral("Должен быть 8 (XRM5170)"));
        ok = false;
    }
    // Table 1 in pieces of at most 245 / 64 = 3 records.
    for (int first = 0; ok && first < Tab_Dir[1].field_count; first += 3) {
        const int n = std::min(3, Tab_Dir[1].field_count - first);
        ok = Read(m, 1, uint8_t(first), uint8_t(n));
    }
    if (uint8_t *f = Tab_Field(41, 0)) std::memset(f, 0, 4);
    if (uint8_t *f = Tab_Field(40, 0)) std::memset(f, 0, 6);
    if (ok) Read(m, 40, 0, 1);   // the MAC address is shown if it can be read
    if (ok && T(6, 8) != 0) ok = Read(m, 15, 6, 1);
    if (!ok) {
        Ques_Kind = 5;
        Show_Ques(QStringLiteral("Не прочитаны данные, для организации"),
                  QStringLiteral("дальнейшего обмена с устройством"));
    }
    m->StatusBar1->Set_Text(1, Controller_Name());
    return ok;
}

bool Set_Contr_Time(TFormMain *m, bool *declined)
{
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("В контроллер будет записано время ЭВМ."),
              QStringLiteral("Вы уверены, что часы ЭВМ показывают правильное время?"));
    if (declined) *declined = !Ques_Answer;
    if (!Ques_Answer) return false;
    uint8_t *t2 = Tab_Field(2, 0);
    if (!t2) return false;
    Hourglass wc;
    uint8_t clock[8] = {};
    DateTime_To_Date6(Now_TDateTime(), clock);
    Ymd_Rec ymd = Date6_To_Ymd(clock);
    clock[6] = uint8_t(Day_Of_Week(ymd));
    clock[7] = Dst_Flag(clock, Tab_Field(6, 0), Tab_Field(6, 3));
    std::memcpy(t2, clock, 8);
    return Write_Table(Tab_Req{2, 0, 8}, Panel2(m), true);
}

std::function<void(TFormMain *)> Table_State_Check;

void Check_Table_States(TFormMain *m)
{
    if (Table_State_Check) Table_State_Check(m);
}

void Connect_Sequence(TFormMain *m)
{
    m->TimerStart.stop();
    {
        Hourglass wc;
        m->Disconnect();
        Show_Conn_Status(m->StatusBar1, m->StatusBar2);
        m->StatusBar1->Set_Text(1, QString());
        m->Hide_Top_Menu();
    }
    {
        TFormConnect f(m);
        f.Status_Bar = m->StatusBar1;
        f.Status_Bar2 = m->StatusBar2;
        f.Status_Bar3 = m->StatusBar3;
        Run_Dialog(f);
        if (!f.Accepted) {
            m->Update_Menu();
            return;
        }
    }
    m->Save_Settings();

    const int prz = Conn_Settings.Curr_Par.Conn_Prz;
    bool linked = true;
    if (prz == 1) {
        User_Ident(m, Exch_Box);
        m->Modem_Up = Modem_Connect(m) ? 1 : 0;
        linked = m->Modem_Up;
    }
    if (linked) {
        {
            Hourglass wc;
            linked = Read(m, 0, 0, 18);
        }
        if (linked && T(0, 1) != kType) {
            Ques_Kind = 6;
            Show_Ques(QStringLiteral("Код типа подключенного контроллера  %1").arg(T(0, 1)),
                      QStringLiteral("Программа обслуживает контроллеры QZT"));
            linked = false;
        }
        if (linked && T(0, 3) != kVersion && T(0, 3) != kVersionCfgOnly) {
            Ques_Kind = 6;
            Show_Ques(QStringLiteral("Версия ПО подключенного контроллера %1").arg(T(0, 3)),
                      QStringLiteral("Программа обслуживает контроллеры QZT только с версией ПО %1")
                          .arg(kVersion, 2, 10, QLatin1Char('0')));
            linked = false;
        }
    }
    if (linked) {
        Link_Par &lp = Active_Link_Par();
        if (lp.Adr == 255) lp.Adr = Exch_Box->Adr;
        Connected = true;
        if (prz != 1) User_Ident(m, Exch_Box);
        if (T(0, 0) != 0 || T(0, 3) != kVersion) Check_Table_States(m);
        if (Connected) Connected = Read_Init_Tables(m);
    }
    if (!Connected) {
        Hourglass wc;
        m->Disconnect();
    }
    m->Update_Menu();
}

void Install_Connect(TFormMain *m)
{
    m->Connect_Sequence = [](TFormMain *w) { Connect_Sequence(w); };
    m->Hang_Up_Modem = [m] {
        if (!Exch_Box || !Exch_Box->Port_Handle) return;
        Modem_Io io = Modem_For(m);
        Modem_Hang_Up(io);
    };
    m->Set_Handler(QStringLiteral("Nconnect"), [m](QAction *) { m->TimerStart.start(); });
    m->Set_Handler(QStringLiteral("NUser"), [m](QAction *) { User_Ident(m, Exch_Box); });
    m->Set_Handler(QStringLiteral("Nabout"), [m](QAction *) {
        TFormAbout f(m);
        Run_Dialog(f);
    });
    m->Set_Handler(QStringLiteral("NExit"), [m](QAction *) { QTimer::singleShot(0, m, [m] { m->close(); }); });
}
