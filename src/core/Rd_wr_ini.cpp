#include "core/Rd_wr_ini.h"

#include "core/Abonents.h"
#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Inifile.h"
#include "core/List_Merge.h"
#include "core/Suplfunc.h"

#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

Conn_Settings_Rec Conn_Settings{};
Conn_Settings_Rec Conn_Settings_Shadow{};
Obj_List_Rec Obj_List{};
Obj_List_Rec Obj_List_Shadow{};
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

// A file is read, merged with this copy's changes and written back under a lock beside it,
// so two copies of the program saving at the same moment cannot pass each other between the
// read and the rename. Where the lock cannot be had (a read-only or missing directory, a
// copy that hangs) the save goes on without it: it fails or succeeds on its own.
class File_Lock {
public:
    explicit File_Lock(const QString &path) : Lock(path + QStringLiteral(".lock"))
    {
        Lock.setStaleLockTime(10000);
        Held = Lock.tryLock(2000);
    }
    ~File_Lock()
    {
        if (Held) Lock.unlock();
    }
    File_Lock(const File_Lock &) = delete;
    File_Lock &operator=(const File_Lock &) = delete;

private:
    QLockFile Lock;
    bool Held = false;
};

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

// Keys are written where this copy changed them, and where the file lacks them: a key that
// another copy of the program changed meanwhile keeps its value unless this one changed it too.
struct Key_Writer {
    Ini_File &ini;
    const char *sec;

    bool present(const char *key) const
    {
        bool found = false;
        ini.Read_Raw(sec, key, &found);
        return found;
    }
    void text(const char *key, const QByteArray &now, const QByteArray &was)
    {
        if (now != was || !present(key)) ini.Write_String(sec, key, now);
    }
    void integer(const char *key, int64_t now, int64_t was)
    {
        if (now != was || !present(key)) ini.Write_Integer(sec, key, now);
    }
    void boolean(const char *key, bool now, bool was)
    {
        if (now != was || !present(key)) ini.Write_Bool(sec, key, now);
    }
};

void write_link(Key_Writer &w, const Link_Par &p, const Link_Par &was, bool port_and_rate)
{
    if (port_and_rate) w.integer("COMPort", p.COMPort, was.COMPort);
    w.integer("Adr", p.Adr, was.Adr);
    if (port_and_rate) w.integer("Rate", p.Rate, was.Rate);
    w.integer("Preambles", p.Preambles, was.Preambles);
    w.integer("Repeat", p.Repeat, was.Repeat);
    w.integer("TimeOut", p.TimeOut, was.TimeOut);
    w.integer("WaitTime", p.WaitTime, was.WaitTime);
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

void write_port_name(Key_Writer &w, int link)
{
    if (!Link_Port_Name[link].isEmpty() || !g_port_name_shadow[link].isEmpty())
        w.text("PortName", Unicode_To_Cp1251(Link_Port_Name[link]), Unicode_To_Cp1251(g_port_name_shadow[link]));
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

void read_fon(const Ini_File &ini, Fon_Abonents_List &l)
{
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
}

void write_fon(Ini_File &ini, const Fon_Abonents_List &l)
{
    write_hdr(ini, FON, l.hdr);
    for (int k = 0; k < ABONENTS_MAX; ++k) {
        const numbered sec("FON_ABONENT_", k + 1);
        const Fon_Abonent &a = l.rec[k];
        ini.Write_String(sec, "user_name", field_bytes(a.user_name, ABONENT_NAME_LEN));
        ini.Write_Integer(sec, "contr_adr", a.contr_adr);
        ini.Write_Integer(sec, "adr_modbus", a.adr_modbus);
        ini.Write_String(sec, "phone_code", field_bytes(a.phone_code, PHONE_CODE_LEN));
    }
}

void read_ethr(const Ini_File &ini, Ethr_Abonents_List &l)
{
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
}

void write_ethr(Ini_File &ini, const Ethr_Abonents_List &l)
{
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
}

void read_objects(const Ini_File &ini, Obj_List_Rec &l)
{
    std::memset(&l, 0, sizeof l);
    l.obj_num = uint8_t(clamp64(ini.Read_Integer(OBJ, "obj_num", 0), 0, OBJECTS_MAX));
    const int64_t idx = ini.Read_Integer(OBJ, "obj_index", 0);
    l.obj_index = l.obj_num ? uint8_t(clamp64(idx, 0, l.obj_num - 1)) : 0;
    for (int k = 0; k < l.obj_num; ++k)
        set_field(l.obj_name[k], OBJ_NAME_LEN, ini.Read_String(numbered("OBJECT_", k + 1), "obj_name", QByteArray()));
}

void write_objects(Ini_File &ini, const Obj_List_Rec &l)
{
    const int n = std::min<int>(l.obj_num, OBJECTS_MAX);
    ini.Write_Integer(OBJ, "obj_num", n);
    ini.Write_Integer(OBJ, "obj_index", l.obj_index);
    for (int k = 0; k < n; ++k)
        ini.Write_String(numbered("OBJECT_", k + 1), "obj_name", field_bytes(l.obj_name[k], OBJ_NAME_LEN));
    for (int k = n; k < OBJECTS_MAX; ++k) ini.Erase_Section(numbered("OBJECT_", k + 1));
}

// An entry as the merge compares it: a text field holds nothing past its terminating zero.
void clean_text(char *field, int len)
{
    const size_t n = strnlen(field, size_t(len - 1));
    std::memset(field + n, 0, size_t(len) - n);
}

template <class T>
QByteArray bytes_of(const T &v)
{
    return QByteArray(reinterpret_cast<const char *>(&v), sizeof v);
}

// What the merge needs of each list: its entries, selection and sort key, the file form, the
// sort that keeps it in order, and the name the user knows an entry by.
// The two subscriber lists differ only in their records.
template <class L>
struct Abonent_Ops {
    using List = L;
    static constexpr int MAX = ABONENTS_MAX;
    static int count(const List &l) { return std::min<int>(l.hdr.users_num, MAX); }
    static int sel(const List &l) { return l.hdr.user_index; }
    static int sort(const List &l) { return l.hdr.sort_prz; }
    static void set(List &l, int k, const QByteArray &e) { std::memcpy(&l.rec[k], e.constData(), sizeof l.rec[k]); }
    static void clear(List &l, int k) { std::memset(&l.rec[k], 0, sizeof l.rec[k]); }
    static void set_hdr(List &l, int n, int sel, int sort)
    {
        l.hdr.users_num = uint8_t(n);
        l.hdr.user_index = uint8_t(sel);
        l.hdr.sort_prz = uint8_t(sort);
    }
    static QString name(const QByteArray &e) { return Abonent_Text(e.constData(), ABONENT_NAME_LEN); }
};

struct Fon_Ops : Abonent_Ops<Fon_Abonents_List> {
    static QByteArray entry(const List &l, int k)
    {
        Fon_Abonent a = l.rec[k];
        clean_text(a.user_name, ABONENT_NAME_LEN);
        clean_text(a.phone_code, PHONE_CODE_LEN);
        return bytes_of(a);
    }
    static void order(List &l) { Sort_Fon_Abonents(&l); }
    static void read(const Ini_File &ini, List &l) { read_fon(ini, l); }
    static void write(Ini_File &ini, const List &l) { write_fon(ini, l); }
};

struct Ethr_Ops : Abonent_Ops<Ethr_Abonents_List> {
    static QByteArray entry(const List &l, int k)
    {
        Ethr_Abonent a = l.rec[k];
        clean_text(a.user_name, ABONENT_NAME_LEN);
        return bytes_of(a);
    }
    static void order(List &l) { Sort_Ethr_Abonents(&l); }
    static void read(const Ini_File &ini, List &l) { read_ethr(ini, l); }
    static void write(Ini_File &ini, const List &l) { write_ethr(ini, l); }
};

// The objects keep the order they are given; their list window sorts them.
struct Obj_Ops {
    using List = Obj_List_Rec;
    static constexpr int MAX = OBJECTS_MAX;
    static int count(const List &l) { return std::min<int>(l.obj_num, MAX); }
    static int sel(const List &l) { return l.obj_index; }
    static int sort(const List &) { return 0; }
    static QByteArray entry(const List &l, int k)
    {
        char n[OBJ_NAME_LEN];
        std::memcpy(n, l.obj_name[k], OBJ_NAME_LEN);
        clean_text(n, OBJ_NAME_LEN);
        return QByteArray(n, OBJ_NAME_LEN);
    }
    static void set(List &l, int k, const QByteArray &e) { std::memcpy(l.obj_name[k], e.constData(), OBJ_NAME_LEN); }
    static void clear(List &l, int k) { std::memset(l.obj_name[k], 0, OBJ_NAME_LEN); }
    static void set_hdr(List &l, int n, int sel, int)
    {
        l.obj_num = uint8_t(n);
        l.obj_index = uint8_t(sel);
    }
    static void order(List &) {}
    static void read(const Ini_File &ini, List &l) { read_objects(ini, l); }
    static void write(Ini_File &ini, const List &l) { write_objects(ini, l); }
    static QString name(const QByteArray &e) { return Abonent_Text(e.constData(), OBJ_NAME_LEN); }
};

template <class Ops>
Merge_Side side_of(const typename Ops::List &l)
{
    Merge_Side s;
    const int n = Ops::count(l);
    for (int k = 0; k < n; ++k) s.rec.push_back(Ops::entry(l, k));
    s.sel = n ? std::min(Ops::sel(l), n - 1) : -1;
    s.sort = Ops::sort(l);
    return s;
}

// Position of the last entry of that content, -1.
template <class Ops>
int find_entry(const typename Ops::List &l, const QByteArray &e)
{
    for (int k = Ops::count(l) - 1; k >= 0; --k)
        if (Ops::entry(l, k) == e) return k;
    return -1;
}

// The file's list (theirs) with this copy's changes since base applied: out is what this copy
// goes on with, file what the file is to hold (the same but for the selection).
template <class Ops>
Merge_Result merge_into(const typename Ops::List &base, const typename Ops::List &mine, const typename Ops::List &theirs,
                        typename Ops::List &out, typename Ops::List &file)
{
    Merge_Result r = Merge_Lists(side_of<Ops>(base), side_of<Ops>(mine), side_of<Ops>(theirs), Ops::MAX);
    out = theirs;
    const int n = int(r.rec.size());
    for (int k = 0; k < n; ++k) Ops::set(out, k, r.rec[size_t(k)]);
    for (int k = n; k < Ops::count(theirs); ++k) Ops::clear(out, k);
    Ops::set_hdr(out, n, std::max(r.own_sel, 0), r.sort);
    Ops::order(out);
    file = out;
    if (n > 0) {
        const int at = find_entry<Ops>(out, r.rec[size_t(std::max(r.file_sel, 0))]);
        Ops::set_hdr(file, n, std::max(at, 0), r.sort);
    }
    return r;
}

// The new base after reading the file without writing it: the file's list, its selection
// where the old base had its selection, so that a choice of this copy's user not yet written
// still counts as a change.
template <class Ops>
void rebase(typename Ops::List &shadow, const typename Ops::List &theirs, const typename Ops::List &out)
{
    const typename Ops::List old = shadow;
    shadow = theirs;
    const int n = Ops::count(theirs);
    if (n == 0) return;
    int at = Ops::count(old) ? find_entry<Ops>(theirs, Ops::entry(old, std::min(Ops::sel(old), Ops::count(old) - 1))) : -1;
    if (at < 0 && Ops::count(out)) at = find_entry<Ops>(theirs, Ops::entry(out, Ops::sel(out)));
    if (at >= 0) Ops::set_hdr(shadow, n, at, Ops::sort(theirs));
}

template <class Ops>
bool read_sorted(const QString &path, typename Ops::List &theirs)
{
    const Ini_File ini(path);
    if (!ini.Readable()) return false;
    Ops::read(ini, theirs);
    Ops::order(theirs);
    return true;
}

template <class Ops>
bool reload_list(const QString &path, typename Ops::List &mem, typename Ops::List &shadow, Ops)
{
    if (path.isEmpty()) return false;
    typename Ops::List theirs, out, file;
    if (!read_sorted<Ops>(path, theirs)) return false;
    merge_into<Ops>(shadow, mem, theirs, out, file);
    rebase<Ops>(shadow, theirs, out);
    mem = out;
    return true;
}

template <class Ops>
bool write_list(const QString &path, typename Ops::List &mem, typename Ops::List &shadow, Ops,
                List_Merge_Report *report)
{
    // Nothing changed here since the file was last read or written: nothing to write.
    if (std::memcmp(&mem, &shadow, sizeof mem) == 0) return true;
    const File_Lock lock(path);
    Ini_File ini(path);
    if (!ini.Readable()) return false;
    typename Ops::List theirs, out, file;
    Ops::read(ini, theirs);
    Ops::order(theirs);
    const Merge_Result r = merge_into<Ops>(shadow, mem, theirs, out, file);
    if (report) {
        for (const QByteArray &e : r.lost) report->lost << Ops::name(e);
        for (const QByteArray &e : r.dropped) report->dropped << Ops::name(e);
    }
    bool ok = true;
    if (std::memcmp(&file, &theirs, sizeof file) != 0) {
        Ops::write(ini, file);
        ok = ini.Save();
    }
    // A failed write keeps this copy's changes as changes, now over the file's list.
    if (ok) shadow = out;
    else rebase<Ops>(shadow, theirs, out);
    mem = out;
    return ok;
}

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

    const File_Lock lock(path);
    Ini_File ini(path);
    if (curr) {
        const Curr_Par_Rec &c = s.Curr_Par, &was = w.Curr_Par;
        Key_Writer k{ini, CURR};
        k.integer("Conn_Prz", c.Conn_Prz, was.Conn_Prz);
        k.integer("Free_Port_Wait", c.Free_Port_Wait, was.Free_Port_Wait);
        k.boolean("Do_Close_Port", c.Do_Close_Port != 0, was.Do_Close_Port != 0);
        k.integer("Form_Width", c.Form_Width, was.Form_Width);
        k.integer("Form_Height", c.Form_Height, was.Form_Height);
        k.integer("Form_Left", c.Form_Left, was.Form_Left);
        k.integer("Form_Top", c.Form_Top, was.Form_Top);
    }
    if (dir) {
        Key_Writer k{ini, DIR};
        write_link(k, s.Dir_Conn_Par, w.Dir_Conn_Par, true);
        write_port_name(k, 0);
    }
    if (fon) {
        const Fon_Conn_Par_Rec &f = s.Fon_Conn_Par, &was = w.Fon_Conn_Par;
        Key_Writer k{ini, FON};
        write_link(k, f.Link, was.Link, true);
        write_port_name(k, 1);
        k.boolean("Default_Command", f.Default_Command != 0, was.Default_Command != 0);
        k.text("Command", field_bytes(f.Command, MODEM_COMMAND_LEN), field_bytes(was.Command, MODEM_COMMAND_LEN));
        k.integer("ConnectWaitTime", f.ConnectWaitTime, was.ConnectWaitTime);
        k.boolean("AutoRepeat", f.AutoRepeat != 0, was.AutoRepeat != 0);
        k.integer("Conn_Repeat", f.Conn_Repeat, was.Conn_Repeat);
    }
    if (ethr) {
        const Ethernet_Conn_Par_Rec &e = s.Ethernet_Conn_Par, &was = w.Ethernet_Conn_Par;
        Key_Writer k{ini, ETHR};
        write_link(k, e.Link, was.Link, false);
        k.integer("ConnectWaitTime", e.ConnectWaitTime, was.ConnectWaitTime);
        k.integer("Conn_Repeat", e.Conn_Repeat, was.Conn_Repeat);
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
    read_fon(ini, Conn_Settings.Fon_Conn_Par.Fon_Abonents);
    return ini.Readable() && QFile::exists(path);
}

bool Write_Fon_Abonents(const QString &path, List_Merge_Report *report)
{
    return write_list(path, Conn_Settings.Fon_Conn_Par.Fon_Abonents, Conn_Settings_Shadow.Fon_Conn_Par.Fon_Abonents,
                      Fon_Ops{}, report);
}

bool Reload_Fon_Abonents(const QString &path)
{
    return reload_list(path, Conn_Settings.Fon_Conn_Par.Fon_Abonents, Conn_Settings_Shadow.Fon_Conn_Par.Fon_Abonents,
                       Fon_Ops{});
}

bool Read_Ethr_Abonents(const QString &path)
{
    const Ini_File ini(path);
    read_ethr(ini, Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents);
    return ini.Readable() && QFile::exists(path);
}

bool Write_Ethr_Abonents(const QString &path, List_Merge_Report *report)
{
    return write_list(path, Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents,
                      Conn_Settings_Shadow.Ethernet_Conn_Par.Ethr_Abonents, Ethr_Ops{}, report);
}

bool Reload_Ethr_Abonents(const QString &path)
{
    return reload_list(path, Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents,
                       Conn_Settings_Shadow.Ethernet_Conn_Par.Ethr_Abonents, Ethr_Ops{});
}

bool Read_Objects(const QString &path)
{
    const Ini_File ini(path);
    read_objects(ini, Obj_List);
    Obj_List_Shadow = Obj_List;
    return ini.Readable() && QFile::exists(path);
}

bool Write_Objects(const QString &path, List_Merge_Report *report)
{
    return write_list(path, Obj_List, Obj_List_Shadow, Obj_Ops{}, report);
}

bool Reload_Objects(const QString &path) { return reload_list(path, Obj_List, Obj_List_Shadow, Obj_Ops{}); }

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
