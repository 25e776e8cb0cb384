#include "core/Inifile.h"

#include "core/Codepage.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimmed(const QByteArray &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

// Names compare as the Windows profile functions compare them: letter case ignored.
bool same_name(const QByteArray &a, const char *b)
{
    const qsizetype n = qstrlen(b);
    if (a.size() != n) return false;
    for (qsizetype i = 0; i < n; ++i)
        if (Cp1251_Upper(uint8_t(a[i])) != Cp1251_Upper(uint8_t(b[i]))) return false;
    return true;
}

// "[name]" (blanks allowed around it): the name, else nothing.
bool section_name(const QByteArray &line, QByteArray &name)
{
    const QByteArray t = trimmed(line);
    if (t.size() < 2 || t[0] != '[') return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0) return false;
    name = trimmed(t.mid(1, close - 1));
    return true;
}

// "key=value": the trimmed key and the value as stored, else nothing. Comment lines (";")
// carry no key.
bool key_value(const QByteArray &line, QByteArray &key, QByteArray &value)
{
    const QByteArray t = trimmed(line);
    if (t.isEmpty() || t[0] == ';' || t[0] == '[') return false;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0) return false;
    key = trimmed(t.left(eq));
    value = trimmed(t.mid(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.mid(1, value.size() - 2);
    return !key.isEmpty();
}

bool parse_integer(const QByteArray &raw, int64_t &out)
{
    QByteArray s = trimmed(raw);
    if (s.isEmpty()) return false;
    bool neg = false;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith('$')) {
        base = 16;
        s = s.mid(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s = s.mid(2);
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
        pos = e + l.eol.size();
        Lines.push_back(l);
    }
    if (lf > crlf) New_Eol = "\n";
}

int Ini_File::Find_Section(const char *section) const
{
    for (size_t i = 0; i < Lines.size(); ++i) {
        QByteArray text = Lines[i].text;
        // A byte-order mark left by an editor must not hide the first section.
        if (i == 0 && text.startsWith("\xEF\xBB\xBF")) text = text.mid(3);
        QByteArray name;
        if (section_name(text, name) && same_name(name, section)) return int(i);
    }
    return -1;
}

int Ini_File::Section_End(int header) const
{
    size_t i = size_t(header) + 1;
    QByteArray name;
    while (i < Lines.size() && !section_name(Lines[i].text, name)) ++i;
    return int(i);
}

int Ini_File::Find_Key(int header, const char *key) const
{
    const int end = Section_End(header);
    QByteArray k, v;
    for (int i = header + 1; i < end; ++i)
        if (key_value(Lines[size_t(i)].text, k, v) && same_name(k, key)) return i;
    return -1;
}

bool Ini_File::Has_Section(const char *section) const { return Find_Section(section) >= 0; }

QByteArray Ini_File::Read_Raw(const char *section, const char *key, bool *found) const
{
    if (found) *found = false;
    const int h = Find_Section(section);
    if (h < 0) return QByteArray();
    const int i = Find_Key(h, key);
    if (i < 0) return QByteArray();
    QByteArray k, v;
    key_value(Lines[size_t(i)].text, k, v);
    if (found) *found = true;
    return v;
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

void Ini_File::Write_String(const char *section, const char *key, const QByteArray &value)
{
    QByteArray v = value;
    for (char &c : v)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    const QByteArray line = QByteArray(key) + '=' + v;

    int h = Find_Section(section);
    if (h < 0) {
        // A last line without its line end gets one before the new section follows it.
        if (!Lines.empty() && Lines.back().eol.isEmpty()) Lines.back().eol = New_Eol;
        Lines.push_back({QByteArray("[") + section + ']', New_Eol});
        Lines.push_back({line, New_Eol});
        Dirty = true;
        return;
    }
    const int i = Find_Key(h, key);
    if (i >= 0) {
        QByteArray k, old;
        key_value(Lines[size_t(i)].text, k, old);
        // Unchanged values keep their line untouched (also its spacing and quotes).
        if (old == trimmed(v) && trimmed(v) == v) return;
        Lines[size_t(i)].text = line;
        Dirty = true;
        return;
    }
    // New key: after the last non-blank line of the section.
    int at = Section_End(h);
    while (at > h + 1 && trimmed(Lines[size_t(at - 1)].text).isEmpty()) --at;
    if (Lines[size_t(at - 1)].eol.isEmpty()) Lines[size_t(at - 1)].eol = New_Eol;
    Lines.insert(Lines.begin() + at, Line{line, New_Eol});
    Dirty = true;
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
    for (;;) {
        const int h = Find_Section(section);
        if (h < 0) return;
        const int end = Section_End(h);
        Lines.erase(Lines.begin() + h, Lines.begin() + end);
        Dirty = true;
    }
}

QByteArray Ini_File::Contents() const
{
    QByteArray out;
    for (const Line &l : Lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

bool Ini_File::Save()
{
    if (!Read_Ok) return false;
    if (!Dirty) return true;
    QSaveFile f(File_Path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray data = Contents();
    if (f.write(data) != data.size() || !f.commit()) return false;
    Dirty = false;
    return true;
}
