#include "core/Inifile.h"

#include "core/Codepage.h"
#include "core/Suplfunc.h"

#include <QFile>
#include <QVarLengthArray>
#include <cstring>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Lines are looked at through views: reading a file makes no copies of its parts.
using View = QByteArrayView;

View trimmed(View s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.sliced(b, e - b);
}

// Names compare as the Windows profile functions compare them: letter case ignored.
QByteArray upper(View s)
{
    QByteArray u(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) u[i] = char(Cp1251_Upper(uint8_t(s[i])));
    return u;
}

// Of names met twice the first one counts.
void keep_first(QHash<QByteArray, int> &index, const QByteArray &name, int at)
{
    if (!index.contains(name)) index.insert(name, at);
}

// A name looked up in an index of upper-cased names, upper-cased on the stack: the readers
// ask for some thousand names per file.
int find_name(const QHash<QByteArray, int> &index, const char *name)
{
    QVarLengthArray<char, 64> u(qsizetype(std::strlen(name)));
    for (qsizetype i = 0; i < u.size(); ++i) u[i] = char(Cp1251_Upper(uint8_t(name[i])));
    return index.value(QByteArray::fromRawData(u.constData(), u.size()), -1);
}

// "[name]" (blanks allowed around it): the name, else nothing.
bool section_name(View line, View &name)
{
    const View t = trimmed(line);
    if (t.size() < 2 || t[0] != '[') return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0) return false;
    name = trimmed(t.sliced(1, close - 1));
    return true;
}

// "key=value": the trimmed key and the value as stored, else nothing. Comment lines (";")
// carry no key.
bool key_value(View line, View &key, View &value)
{
    const View t = trimmed(line);
    if (t.isEmpty() || t[0] == ';' || t[0] == '[') return false;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0) return false;
    key = trimmed(t.first(eq));
    value = trimmed(t.sliced(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.sliced(1, value.size() - 2);
    return !key.isEmpty();
}

bool parse_integer(View raw, int64_t &out)
{
    View s = trimmed(raw);
    if (s.isEmpty()) return false;
    bool neg = false;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        s = s.sliced(1);
    }
    int base = 10;
    if (s.startsWith('$')) {
        base = 16;
        s = s.sliced(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s = s.sliced(2);
    }
    if (s.isEmpty()) return false;
    uint64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * uint64_t(base) + uint64_t(d);
        if (v > uint64_t(INT64_MAX)) return false;
    }
    out = neg ? -int64_t(v) : int64_t(v);
    return true;
}

} // namespace

Ini_File::Ini_File(const QString &path) : File_Path(path)
{
    QFile f(path);
    if (!f.exists()) return;
    if (!f.open(QIODevice::ReadOnly)) {
        Read_Ok = false;
        return;
    }
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        Read_Ok = false;
        return;
    }
    int crlf = 0, lf = 0;
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype e = pos;
        while (e < all.size() && all[e] != '\r' && all[e] != '\n') ++e;
        Line l;
        l.text = all.mid(pos, e - pos);
        if (e < all.size()) {
            if (all[e] == '\r' && e + 1 < all.size() && all[e + 1] == '\n') {
                l.eol = "\r\n";
                ++crlf;
            } else {
                l.eol = QByteArray(1, all[e]);
                if (all[e] == '\n') ++lf;
            }
        }
        // A byte-order mark left by an editor must not hide the first section.
        const bool first = pos == 0;
        pos = e + l.eol.size();
        View name;
        if (section_name(first && l.text.startsWith("\xEF\xBB\xBF") ? View(l.text).sliced(3) : View(l.text), name)) {
            Sections.push_back({{l}, upper(name), {}});
            continue;
        }
        if (Sections.empty()) {
            Lead.push_back(l);
            continue;
        }
        Sections.back().lines.push_back(l);
    }
    for (Section &s : Sections) Index_Keys(s);
    Index_Sections();
    if (lf > crlf) New_Eol = "\n";
}

void Ini_File::Index_Keys(Section &s)
{
    s.keys.clear();
    View k, v;
    for (size_t i = 1; i < s.lines.size(); ++i)
        if (key_value(s.lines[i].text, k, v)) keep_first(s.keys, upper(k), int(i));
}

void Ini_File::Index_Sections()
{
    Section_At.clear();
    for (size_t i = 0; i < Sections.size(); ++i) keep_first(Section_At, Sections[i].name, int(i));
}

int Ini_File::Find_Section(const char *section) const
{
    return find_name(Section_At, section);
}

int Ini_File::Find_Key(const Section &s, const char *key) const
{
    return find_name(s.keys, key);
}

bool Ini_File::Has_Section(const char *section) const { return Find_Section(section) >= 0; }

QByteArray Ini_File::Read_Raw(const char *section, const char *key, bool *found) const
{
    if (found) *found = false;
    const int h = Find_Section(section);
    if (h < 0) return QByteArray();
    const Section &s = Sections[size_t(h)];
    const int i = Find_Key(s, key);
    if (i < 0) return QByteArray();
    View k, v;
    key_value(s.lines[size_t(i)].text, k, v);
    if (found) *found = true;
    return v.toByteArray();
}

QByteArray Ini_File::Read_String(const char *section, const char *key, const QByteArray &def) const
{
    bool found = false;
    const QByteArray v = Read_Raw(section, key, &found);
    return found ? v : def;
}

int64_t Ini_File::Read_Integer(const char *section, const char *key, int64_t def) const
{
    bool found = false;
    const QByteArray v = Read_Raw(section, key, &found);
    int64_t out = 0;
    if (!found || !parse_integer(v, out)) return def;
    return out;
}

bool Ini_File::Read_Bool(const char *section, const char *key, bool def) const
{
    return Read_Integer(section, key, def ? 1 : 0) != 0;
}

Ini_File::Line *Ini_File::Last_Line()
{
    if (!Sections.empty()) return &Sections.back().lines.back();
    return Lead.empty() ? nullptr : &Lead.back();
}

void Ini_File::Add_Section(const Line &header)
{
    View name;
    section_name(header.text, name);
    Sections.push_back({{header}, upper(name), {}});
    keep_first(Section_At, Sections.back().name, int(Sections.size() - 1));
}

void Ini_File::Split(int section, int line)
{
    Section &s = Sections[size_t(section)];
    View name;
    section_name(s.lines[size_t(line)].text, name);
    Section tail{{s.lines.begin() + line, s.lines.end()}, upper(name), {}};
    s.lines.erase(s.lines.begin() + line, s.lines.end());
    Index_Keys(s);
    Index_Keys(tail);
    Sections.insert(Sections.begin() + section + 1, std::move(tail));
    Index_Sections();
}

void Ini_File::Write_String(const char *section, const char *key, const QByteArray &value)
{
    QByteArray v = value;
    for (char &c : v)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    const QByteArray line = QByteArray(key) + '=' + v;

    int h = Find_Section(section);
    if (h < 0) {
        // A last line without its line end gets one before the new section follows it.
        if (Line *last = Last_Line(); last && last->eol.isEmpty()) last->eol = New_Eol;
        Add_Section({QByteArray("[") + section + ']', New_Eol});
        h = int(Sections.size() - 1);
    }
    Section &s = Sections[size_t(h)];
    int at = Find_Key(s, key);
    if (at >= 0) {
        View k, old;
        key_value(s.lines[size_t(at)].text, k, old);
        // Unchanged values keep their line untouched (also its spacing and quotes).
        if (old == trimmed(v) && trimmed(v) == View(v)) return;
        s.lines[size_t(at)].text = line;
    } else {
        // New key: after the last non-blank line of the section, so only blank lines follow
        // it and no indexed line moves.
        at = int(s.lines.size());
        while (at > 1 && trimmed(s.lines[size_t(at - 1)].text).isEmpty()) --at;
        if (s.lines[size_t(at - 1)].eol.isEmpty()) s.lines[size_t(at - 1)].eol = New_Eol;
        s.lines.insert(s.lines.begin() + at, Line{line, New_Eol});
    }
    Dirty = true;
    // The key as the line reads back may not be the key asked for (blanks, "=" or ";" in
    // it, or even a header).
    View k, rest;
    if (section_name(line, rest)) Split(h, at);
    else if (key_value(line, k, rest) && upper(k) == upper(key)) keep_first(s.keys, upper(k), at);
    else Index_Keys(s);
}

void Ini_File::Write_Integer(const char *section, const char *key, int64_t value)
{
    Write_String(section, key, QByteArray::number(qlonglong(value)));
}

void Ini_File::Write_Bool(const char *section, const char *key, bool value)
{
    Write_String(section, key, value ? "1" : "0");
}

void Ini_File::Erase_Section(const char *section)
{
    if (Find_Section(section) < 0) return;
    const QByteArray name = upper(section);
    std::erase_if(Sections, [&](const Section &s) { return s.name == name; });
    Index_Sections();
    Dirty = true;
}

QByteArray Ini_File::Contents() const
{
    QByteArray out;
    auto add = [&out](const std::vector<Line> &lines) {
        for (const Line &l : lines) {
            out += l.text;
            out += l.eol;
        }
    };
    add(Lead);
    for (const Section &s : Sections) add(s.lines);
    return out;
}

bool Ini_File::Save()
{
    if (!Read_Ok) return false;
    if (!Dirty) return true;
    if (Save_Whole_File(File_Path, Contents()) != Save_Result::Ok) return false;
    Dirty = false;
    return true;
}
