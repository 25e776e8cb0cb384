#include "core/Rd_wr_ini.h"

#include "core/Abonents.h"
#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Inifile.h"
#include "core/Suplfunc.h"

#include <QDateTime>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

Conn_Settings_Rec Conn_Settings{};
Conn_Settings_Rec Conn_Settings_Shadow{};
Obj_List_Rec Obj_List{};
// Both period bounds start at 0 until "rd_arh.ini" is read.
Rd_Arh_Record Rd_Arh_Rec{0, 0, 0.0, 0.0, {}};

QString Ini_Path, Fon_Path, Ethr_Path, Obj_Path, Rd_Arh_Path;

namespace {

constexpr const char *CURR = "CURR_PAR";
constexpr const char *DIR = "DIR_CONN_PAR";
constexpr const char *FON = "FON_CONN_PAR";
constexpr const char *ETHR = "ETHERNET_CONN_PAR";
constexpr const char *OBJ = "OBJECT_LIST";

// Integers from the files land in fields of their width (a one-byte field keeps the low
// byte) and are otherwise taken as they are. Replaced are only values the program cannot
// work with: a rate of 0, no attempts per exchange, an address the address lists do not
// hold, and a window geometry no screen can show.
// Window geometry: any sane size; a huge one would exhaust memory for the window surface.
constexpr int64_t FORM_SIZE_MIN = 100, FORM_SIZE_MAX = 16384;
constexpr int64_t FORM_POS_MIN = -16384, FORM_POS_MAX = 16384;

// TDateTime limits: 1 January 0001 .. 31 December 9999.
constexpr double TDATETIME_MIN = -693593.0;
constexpr double TDATETIME_MAX = 2958466.0;

int64_t clamp64(int64_t v, int64_t lo, int64_t hi) { return std::clamp(v, lo, hi); }

// An address for the lists "1".."255": 0 (also the low byte of 256) gives the default.
uint8_t read_adr(const Ini_File &ini, const char *sec, uint8_t def)
{
    const uint8_t v = uint8_t(ini.Read_Integer(sec, "Adr", def));
    return v ? v : def;
}

struct Link_Defaults {
    uint8_t com, adr;
    uint32_t rate;
    uint8_t pre, repeat;
    uint32_t timeout, wait;
};
constexpr Link_Defaults DIR_DEF{1, 1, 38400, 5, 1, 100, 2};
constexpr Link_Defaults FON_DEF{1, 1, 38400, 5, 1, 100, 6};
constexpr Link_Defaults ETHR_DEF{0, 1, 0, 5, 1, 300, 5};

void read_link(const Ini_File &ini, const char *sec, Link_Par &p, const Link_Defaults &d, bool port_and_rate)
{
    if (port_and_rate) {
        p.COMPort = uint8_t(ini.Read_Integer(sec, "COMPort", d.com));
        p.Rate = uint32_t(ini.Read_Integer(sec, "Rate", d.rate));
        if (p.Rate == 0) p.Rate = d.rate;   // no bit time to send at
    } else {
        p.COMPort = d.com;
        p.Rate = d.rate;
    }
    p.Adr = read_adr(ini, sec, d.adr);
    p.Preambles = uint8_t(ini.Read_Integer(sec, "Preambles", d.pre));
    p.Repeat = uint8_t(ini.Read_Integer(sec, "Repeat", d.repeat));
    if (p.Repeat == 0) p.Repeat = d.repeat;   // no attempt would pass for a success
    p.TimeOut = uint32_t(ini.Read_Integer(sec, "TimeOut", d.timeout));
    p.WaitTime = uint32_t(ini.Read_Integer(sec, "WaitTime", d.wait));
}

void write_link(Ini_File &ini, const char *sec, const Link_Par &p, bool port_and_rate)
{
    if (port_and_rate) ini.Write_Integer(sec, "COMPort", p.COMPort);
    ini.Write_Integer(sec, "Adr", p.Adr);
    if (port_and_rate) ini.Write_Integer(sec, "Rate", p.Rate);
    ini.Write_Integer(sec, "Preambles", p.Preambles);
    ini.Write_Integer(sec, "Repeat", p.Repeat);
    ini.Write_Integer(sec, "TimeOut", p.TimeOut);
    ini.Write_Integer(sec, "WaitTime", p.WaitTime);
}

// A zero-terminated text field from raw file bytes, cut to len - 1 bytes.
void set_field(char *field, int len, const QByteArray &v)
{
    std::memset(field, 0, size_t(len));
    std::memcpy(field, v.constData(), size_t(std::min<qsizetype>(v.size(), len - 1)));
}

QByteArray field_bytes(const char *field, int len)
{
    return QByteArray(field, qsizetype(strnlen(field, size_t(len))));
}

bool same_text(const char *a, const char *b, int len)
{
    return std::strncmp(a, b, size_t(len)) == 0;
}

// The serial device of the direct (0) and telephone (1) links beside COMPort: a device
// without a COM number (/dev/ttyUSB0) would otherwise be lost at exit. Files without the
// key give "COM%d" of COMPort.
QString g_port_name_shadow[2];

void read_port_name(const Ini_File &ini, const char *sec, int link)
{
    QString name = Cp1251_To_Unicode(ini.Read_String(sec, "PortName", QByteArray())).trimmed();
    if (name.size() > 255) name.clear();
    Link_Port_Name[link] = name;
    g_port_name_shadow[link] = name;
}

void write_port_name(Ini_File &ini, const char *sec, int link)
{
    if (!Link_Port_Name[link].isEmpty() || !g_port_name_shadow[link].isEmpty())
        ini.Write_String(sec, "PortName", Unicode_To_Cp1251(Link_Port_Name[link]));
}

bool same_link(const Link_Par &a, const Link_Par &b) { return std::memcmp(&a, &b, sizeof(Link_Par)) == 0; }

// The parts of the settings kept in "qzt.ini"; the subscriber lists have files of their own.
bool same_curr(const Curr_Par_Rec &a, const Curr_Par_Rec &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same_fon_keys(const Fon_Conn_Par_Rec &a, const Fon_Conn_Par_Rec &b)
{
    return same_link(a.Link, b.Link) && a.Default_Command == b.Default_Command &&
           same_text(a.Command, b.Command, MODEM_COMMAND_LEN) && a.ConnectWaitTime == b.ConnectWaitTime &&
           a.AutoRepeat == b.AutoRepeat && a.Conn_Repeat == b.Conn_Repeat;
}

bool same_ethr_keys(const Ethernet_Conn_Par_Rec &a, const Ethernet_Conn_Par_Rec &b)
{
    return same_link(a.Link, b.Link) && a.ConnectWaitTime == b.ConnectWaitTime && a.Conn_Repeat == b.Conn_Repeat;
}

void copy_fon_keys(Fon_Conn_Par_Rec &to, const Fon_Conn_Par_Rec &from)
{
    to.Link = from.Link;
    to.Default_Command = from.Default_Command;
    std::memcpy(to.Command, from.Command, sizeof to.Command);
    to.ConnectWaitTime = from.ConnectWaitTime;
    to.AutoRepeat = from.AutoRepeat;
    to.Conn_Repeat = from.Conn_Repeat;
}

void copy_ethr_keys(Ethernet_Conn_Par_Rec &to, const Ethernet_Conn_Par_Rec &from)
{
    to.Link = from.Link;
    to.ConnectWaitTime = from.ConnectWaitTime;
    to.Conn_Repeat = from.Conn_Repeat;
}

void read_hdr(const Ini_File &ini, const char *sec, Abonent_Hdr &h)
{
    h.users_num = uint8_t(ini.Read_Integer(sec, "users_num", 0));
    h.user_index = uint8_t(ini.Read_Integer(sec, "user_index", 0));
    h.sort_prz = uint8_t(ini.Read_Integer(sec, "sort_prz", 0));
    Clamp_Abonent_Hdr(h);
}

void write_hdr(Ini_File &ini, const char *sec, const Abonent_Hdr &h)
{
    ini.Write_Integer(sec, "users_num", h.users_num);
    ini.Write_Integer(sec, "user_index", h.user_index);
    ini.Write_Integer(sec, "sort_prz", h.sort_prz);
}

// "FON_ABONENT_12": a section name made on the stack, as a subscriber list asks for 200.
struct numbered {
    char text[32];
    numbered(const char *prefix, int k) { std::snprintf(text, sizeof text, "%s%d", prefix, k); }
    operator const char *() const { return text; }
};

bool valid_date(double d) { return std::isfinite(d) && d >= TDATETIME_MIN && d < TDATETIME_MAX; }

void default_rd_arh(double now)
{
    Rd_Arh_Rec = Rd_Arh_Record{0, 1, now, now, {}};
}

} // namespace

QString Ini_Dir() { return Work_Dir() + QStringLiteral("INI/"); }

void Set_Ini_Paths()
{
    const QString dir = Ini_Dir();
    Ini_Path = dir + QStringLiteral("qzt.ini");
    Fon_Path = dir + QStringLiteral("fon_abonents.ini");
    Ethr_Path = dir + QStringLiteral("ethr_abonents.ini");
    Obj_Path = dir + QStringLiteral("objects.ini");
    Rd_Arh_Path = dir + QStringLiteral("rd_arh.ini");
}

bool Read_Ini(const QString &path, int screen_width, int screen_height)
{
    const Ini_File ini(path);
    Curr_Par_Rec &c = Conn_Settings.Curr_Par;
    c.Conn_Prz = uint8_t(ini.Read_Integer(CURR, "Conn_Prz", 0));
    c.Free_Port_Wait = uint32_t(ini.Read_Integer(CURR, "Free_Port_Wait", 1));
    c.Do_Close_Port = ini.Read_Bool(CURR, "Do_Close_Port", false) ? 1 : 0;
    c.Form_Width = int32_t(clamp64(ini.Read_Integer(CURR, "Form_Width", 1000), FORM_SIZE_MIN, FORM_SIZE_MAX));
    c.Form_Height = int32_t(clamp64(ini.Read_Integer(CURR, "Form_Height", 680), FORM_SIZE_MIN, FORM_SIZE_MAX));
    // Centred on the screen unless a place is stored; the size just read counts.
    const int64_t def_left = screen_width > 0 ? (int64_t(screen_width) - c.Form_Width) / 2 : 0;
    const int64_t def_top = screen_height > 0 ? (int64_t(screen_height) - c.Form_Height) / 2 : 0;
    c.Form_Left = int32_t(clamp64(ini.Read_Integer(CURR, "Form_Left", def_left), FORM_POS_MIN, FORM_POS_MAX));
    c.Form_Top = int32_t(clamp64(ini.Read_Integer(CURR, "Form_Top", def_top), FORM_POS_MIN, FORM_POS_MAX));

    read_link(ini, DIR, Conn_Settings.Dir_Conn_Par, DIR_DEF, true);
    read_port_name(ini, DIR, 0);

    Fon_Conn_Par_Rec &f = Conn_Settings.Fon_Conn_Par;
    read_link(ini, FON, f.Link, FON_DEF, true);
    read_port_name(ini, FON, 1);
    f.Default_Command = ini.Read_Bool(FON, "Default_Command", false) ? 1 : 0;
    set_field(f.Command, MODEM_COMMAND_LEN, ini.Read_String(FON, "Command", QByteArray()));
    f.ConnectWaitTime = uint32_t(ini.Read_Integer(FON, "ConnectWaitTime", 50));
    f.AutoRepeat = ini.Read_Bool(FON, "AutoRepeat", false) ? 1 : 0;
    f.Conn_Repeat = uint32_t(ini.Read_Integer(FON, "Conn_Repeat", 1));

    Ethernet_Conn_Par_Rec &e = Conn_Settings.Ethernet_Conn_Par;
    read_link(ini, ETHR, e.Link, ETHR_DEF, false);
    e.ConnectWaitTime = uint32_t(ini.Read_Integer(ETHR, "ConnectWaitTime", 10));
    e.Conn_Repeat = uint32_t(ini.Read_Integer(ETHR, "Conn_Repeat", 1));

    return ini.Readable() && QFile::exists(path);
}

bool Write_Ini(const QString &path)
{
    const Conn_Settings_Rec &s = Conn_Settings;
    Conn_Settings_Rec &w = Conn_Settings_Shadow;
    const bool curr = !same_curr(s.Curr_Par, w.Curr_Par);
    const bool dir = !same_link(s.Dir_Conn_Par, w.Dir_Conn_Par) || Link_Port_Name[0] != g_port_name_shadow[0];
    const bool fon = !same_fon_keys(s.Fon_Conn_Par, w.Fon_Conn_Par) || Link_Port_Name[1] != g_port_name_shadow[1];
    const bool ethr = !same_ethr_keys(s.Ethernet_Conn_Par, w.Ethernet_Conn_Par);
    if (!curr && !dir && !fon && !ethr) return true;

    Ini_File ini(path);
    if (curr) {
        const Curr_Par_Rec &c = s.Curr_Par;
        ini.Write_Integer(CURR, "Conn_Prz", c.Conn_Prz);
        ini.Write_Integer(CURR, "Free_Port_Wait", c.Free_Port_Wait);
        ini.Write_Bool(CURR, "Do_Close_Port", c.Do_Close_Port != 0);
        ini.Write_Integer(CURR, "Form_Width", c.Form_Width);
        ini.Write_Integer(CURR, "Form_Height", c.Form_Height);
        ini.Write_Integer(CURR, "Form_Left", c.Form_Left);
        ini.Write_Integer(CURR, "Form_Top", c.Form_Top);
    }
    if (dir) {
        write_link(ini, DIR, s.Dir_Conn_Par, true);
        write_port_name(ini, DIR, 0);
    }
    if (fon) {
        const Fon_Conn_Par_Rec &f = s.Fon_Conn_Par;
        write_link(ini, FON, f.Link, true);
        write_port_name(ini, FON, 1);
        ini.Write_Bool(FON, "Default_Command", f.Default_Command != 0);
        ini.Write_String(FON, "Command", field_bytes(f.Command, MODEM_COMMAND_LEN));
        ini.Write_Integer(FON, "ConnectWaitTime", f.ConnectWaitTime);
        ini.Write_Bool(FON, "AutoRepeat", f.AutoRepeat != 0);
        ini.Write_Integer(FON, "Conn_Repeat", f.Conn_Repeat);
    }
    if (ethr) {
        const Ethernet_Conn_Par_Rec &e = s.Ethernet_Conn_Par;
        write_link(ini, ETHR, e.Link, false);
        ini.Write_Integer(ETHR, "ConnectWaitTime", e.ConnectWaitTime);
        ini.Write_Integer(ETHR, "Conn_Repeat", e.Conn_Repeat);
    }
    // The shadow follows only what reached the file, so a failed write is tried again later.
    if (!ini.Save()) return false;
    if (curr) w.Curr_Par = s.Curr_Par;
    if (dir) {
        w.Dir_Conn_Par = s.Dir_Conn_Par;
        g_port_name_shadow[0] = Link_Port_Name[0];
    }
    if (fon) {
        copy_fon_keys(w.Fon_Conn_Par, s.Fon_Conn_Par);
        g_port_name_shadow[1] = Link_Port_Name[1];
    }
    if (ethr) copy_ethr_keys(w.Ethernet_Conn_Par, s.Ethernet_Conn_Par);
    return true;
}

bool Read_Fon_Abonents(const QString &path)
{
    const Ini_File ini(path);
    Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    std::memset(&l, 0, sizeof l);
    read_hdr(ini, FON, l.hdr);
    // All 200 sections are kept: a slot past the list keeps what the file holds for it.
    for (int k = 0; k < ABONENTS_MAX; ++k) {
        const numbered sec("FON_ABONENT_", k + 1);
        Fon_Abonent &a = l.rec[k];
        set_field(a.user_name, ABONENT_NAME_LEN, ini.Read_String(sec, "user_name", QByteArray()));
        a.contr_adr = uint8_t(ini.Read_Integer(sec, "contr_adr", 1));
        if (a.contr_adr == 0) a.contr_adr = 1;   // the address list runs 1..255
        a.adr_modbus = uint8_t(ini.Read_Integer(sec, "adr_modbus", 1));
        set_field(a.phone_code, PHONE_CODE_LEN, ini.Read_String(sec, "phone_code", QByteArray()));
    }
    return ini.Readable() && QFile::exists(path);
}

bool Write_Fon_Abonents(const QString &path)
{
    const Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    Fon_Abonents_List &shadow = Conn_Settings_Shadow.Fon_Conn_Par.Fon_Abonents;
    if (std::memcmp(&l, &shadow, sizeof l) == 0) return true;
    Ini_File ini(path);
    write_hdr(ini, FON, l.hdr);
    for (int k = 0; k < ABONENTS_MAX; ++k) {
        const numbered sec("FON_ABONENT_", k + 1);
        const Fon_Abonent &a = l.rec[k];
        ini.Write_String(sec, "user_name", field_bytes(a.user_name, ABONENT_NAME_LEN));
        ini.Write_Integer(sec, "contr_adr", a.contr_adr);
        ini.Write_Integer(sec, "adr_modbus", a.adr_modbus);
        ini.Write_String(sec, "phone_code", field_bytes(a.phone_code, PHONE_CODE_LEN));
    }
    if (!ini.Save()) return false;
    shadow = l;
    return true;
}

bool Read_Ethr_Abonents(const QString &path)
{
    const Ini_File ini(path);
    Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
    std::memset(&l, 0, sizeof l);
    read_hdr(ini, ETHR, l.hdr);
    for (int k = 0; k < l.hdr.users_num; ++k) {
        const numbered sec("ETHERNET_ABONENT_", k + 1);
        Ethr_Abonent &a = l.rec[k];
        set_field(a.user_name, ABONENT_NAME_LEN, ini.Read_String(sec, "user_name", QByteArray()));
        a.contr_adr = uint8_t(ini.Read_Integer(sec, "contr_adr", 1));
        if (a.contr_adr == 0) a.contr_adr = 1;
        // Stored as a signed 32-bit integer: addresses from 128.0.0.0 on are negative. A port
        // outside 1..65535 or the address 0.0.0.0 is refused when the subscriber is dialled.
        a.ip_adr = uint32_t(ini.Read_Integer(sec, "ip_adr", 0));
        a.port = uint32_t(ini.Read_Integer(sec, "port", 0));
    }
    return ini.Readable() && QFile::exists(path);
}

bool Write_Ethr_Abonents(const QString &path)
{
    const Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
    Ethr_Abonents_List &shadow = Conn_Settings_Shadow.Ethernet_Conn_Par.Ethr_Abonents;
    if (std::memcmp(&l, &shadow, sizeof l) == 0) return true;
    Ini_File ini(path);
    write_hdr(ini, ETHR, l.hdr);
    const int n = std::min<int>(l.hdr.users_num, ABONENTS_MAX);
    for (int k = 0; k < n; ++k) {
        const numbered sec("ETHERNET_ABONENT_", k + 1);
        const Ethr_Abonent &a = l.rec[k];
        ini.Write_String(sec, "user_name", field_bytes(a.user_name, ABONENT_NAME_LEN));
        ini.Write_Integer(sec, "contr_adr", a.contr_adr);
        ini.Write_Integer(sec, "ip_adr", int32_t(a.ip_adr));
        ini.Write_Integer(sec, "port", a.port);
    }
    // The file holds the subscribers in use only.
    for (int k = n; k < ABONENTS_MAX; ++k) ini.Erase_Section(numbered("ETHERNET_ABONENT_", k + 1));
    if (!ini.Save()) return false;
    shadow = l;
    return true;
}

bool Read_Objects(const QString &path)
{
    const Ini_File ini(path);
    std::memset(&Obj_List, 0, sizeof Obj_List);
    Obj_List.obj_num = uint8_t(clamp64(ini.Read_Integer(OBJ, "obj_num", 0), 0, OBJECTS_MAX));
    const int64_t idx = ini.Read_Integer(OBJ, "obj_index", 0);
    Obj_List.obj_index = Obj_List.obj_num ? uint8_t(clamp64(idx, 0, Obj_List.obj_num - 1)) : 0;
    for (int k = 0; k < Obj_List.obj_num; ++k)
        set_field(Obj_List.obj_name[k], OBJ_NAME_LEN,
                  ini.Read_String(numbered("OBJECT_", k + 1), "obj_name", QByteArray()));
    return ini.Readable() && QFile::exists(path);
}

bool Write_Objects(const QString &path)
{
    Ini_File ini(path);
    const int n = std::min<int>(Obj_List.obj_num, OBJECTS_MAX);
    ini.Write_Integer(OBJ, "obj_num", n);
    ini.Write_Integer(OBJ, "obj_index", Obj_List.obj_index);
    for (int k = 0; k < n; ++k)
        ini.Write_String(numbered("OBJECT_", k + 1), "obj_name", field_bytes(Obj_List.obj_name[k], OBJ_NAME_LEN));
    for (int k = n; k < OBJECTS_MAX; ++k) ini.Erase_Section(numbered("OBJECT_", k + 1));
    return ini.Save();
}

void Encode_Rd_Arh(const Rd_Arh_Record &r, uint8_t out[RD_ARH_SIZE])
{
    qToLittleEndian<uint32_t>(r.period_choice, out);
    qToLittleEndian<uint32_t>(r.index_choice, out + 4);
    uint64_t bits;
    const double start = r.start_dt, end = r.end_dt;
    std::memcpy(&bits, &start, 8);
    qToLittleEndian<uint64_t>(bits, out + 8);
    std::memcpy(&bits, &end, 8);
    qToLittleEndian<uint64_t>(bits, out + 16);
    std::memcpy(out + 24, r.rest, sizeof r.rest);
}

void Decode_Rd_Arh(const uint8_t in[RD_ARH_SIZE], Rd_Arh_Record &r)
{
    r.period_choice = qFromLittleEndian<uint32_t>(in);
    r.index_choice = qFromLittleEndian<uint32_t>(in + 4);
    double d;
    uint64_t bits = qFromLittleEndian<uint64_t>(in + 8);
    std::memcpy(&d, &bits, 8);
    r.start_dt = d;
    bits = qFromLittleEndian<uint64_t>(in + 16);
    std::memcpy(&d, &bits, 8);
    r.end_dt = d;
    std::memcpy(r.rest, in + 24, sizeof r.rest);
}

double Now_TDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return double(QDate(1899, 12, 30).daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

bool Read_Rd_Arh(const QString &path, double now)
{
    QFile f(path);
    // Exactly one record or nothing: a short or long file is not ours to half-trust.
    if (!f.open(QIODevice::ReadOnly) || f.size() != RD_ARH_SIZE) {
        default_rd_arh(now);
        return false;
    }
    const QByteArray b = f.read(RD_ARH_SIZE + 1);
    if (b.size() != RD_ARH_SIZE) {
        default_rd_arh(now);
        return false;
    }
    Rd_Arh_Record r;
    Decode_Rd_Arh(reinterpret_cast<const uint8_t *>(b.constData()), r);
    if (r.period_choice > RD_ARH_PERIOD_MAX || r.index_choice > RD_ARH_INDEX_MAX || !valid_date(r.start_dt) ||
        !valid_date(r.end_dt)) {
        default_rd_arh(now);
        return false;
    }
    Rd_Arh_Rec = r;
    return true;
}

bool Write_Rd_Arh(const QString &path)
{
    uint8_t buf[RD_ARH_SIZE];
    Encode_Rd_Arh(Rd_Arh_Rec, buf);
    return Save_Whole_File(path, QByteArray(reinterpret_cast<const char *>(buf), RD_ARH_SIZE)) == Save_Result::Ok;
}

void Take_Settings_Shadow() { Conn_Settings_Shadow = Conn_Settings; }

void Load_Settings_Files(int screen_width, int screen_height)
{
    Set_Ini_Paths();
    Read_Rd_Arh(Rd_Arh_Path, Now_TDateTime());
    Read_Ini(Ini_Path, screen_width, screen_height);
    Read_Fon_Abonents(Fon_Path);
    Sort_Fon_Abonents(&Conn_Settings.Fon_Conn_Par.Fon_Abonents);
    Read_Ethr_Abonents(Ethr_Path);
    Sort_Ethr_Abonents(&Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents);
    Take_Settings_Shadow();
    Read_Objects(Obj_Path);
}

void Save_Settings_Files()
{
    if (Ini_Path.isEmpty()) Set_Ini_Paths();
    Write_Ini(Ini_Path);
    Write_Fon_Abonents(Fon_Path);
    Write_Ethr_Abonents(Ethr_Path);
    Write_Rd_Arh(Rd_Arh_Path);
}
