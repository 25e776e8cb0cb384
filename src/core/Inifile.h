#pragma once
// The settings files in the form the Windows profile functions read and write: "[SECTION]"
// lines and "key=value" lines, section and key names found regardless of letter case,
// values kept as their raw bytes (code page 1251), line ends kept as found (CRLF for new
// lines unless the file uses LF). Only what is written changes: every other line of the
// file, comments and unknown keys included, is saved back byte for byte.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

class Ini_File {
public:
    // Loads the file when it exists; a missing file is an empty one.
    explicit Ini_File(const QString &path);

    const QString &Path() const { return File_Path; }
    // False when the file exists but could not be read: saving it would destroy it.
    bool Readable() const { return Read_Ok; }
    // True when something was written since loading.
    bool Modified() const { return Dirty; }

    bool Has_Section(const char *section) const;
    // The raw value of a key: blanks around it dropped, one pair of enclosing quotes
    // removed. Missing key: found = false and an empty value.
    QByteArray Read_Raw(const char *section, const char *key, bool *found = nullptr) const;
    QByteArray Read_String(const char *section, const char *key, const QByteArray &def) const;
    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; anything else
    // (or a missing key) gives the default. The range of qint64 is what is returned, the
    // caller decides what fits its field.
    int64_t Read_Integer(const char *section, const char *key, int64_t def) const;
    // Integer other than 0 is true.
    bool Read_Bool(const char *section, const char *key, bool def) const;

    // Sets a key (the section is appended at the end of the file when missing, the key at
    // the end of its section). Line breaks and NULs in the value become blanks: a value
    // must never break the file into new lines. A key that already holds this value keeps
    // its line as it is.
    void Write_String(const char *section, const char *key, const QByteArray &value);
    void Write_Integer(const char *section, const char *key, int64_t value);
    void Write_Bool(const char *section, const char *key, bool value);
    // Removes a section with all its lines.
    void Erase_Section(const char *section);

    // Writes the whole file (all or nothing, Save_Whole_File). Refuses when the existing
    // file could not be read. Nothing to write (not modified) is success.
    bool Save();
    // The bytes Save would write.
    QByteArray Contents() const;

private:
    struct Line {
        QByteArray text;   // without its line end
        QByteArray eol;    // "\r\n", "\n", "\r" or empty for a last line without one
    };
    // A header line and the lines up to the next header. The file is indexed once when
    // loaded, so a lookup costs no scan of the file: a subscriber list asks for 800 keys.
    struct Section {
        std::vector<Line> lines;      // lines[0] is the header
        QByteArray name;              // upper-cased, as names compare
        QHash<QByteArray, int> keys;  // upper-cased key -> first line holding it
    };
    // Index of the first section of that name, -1 when missing.
    int Find_Section(const char *section) const;
    // Line of the first key of that name in the section, -1 when missing.
    int Find_Key(const Section &s, const char *key) const;
    void Add_Section(const Line &header);
    void Index_Keys(Section &s);
    void Index_Sections();
    // A written line that reads as a header starts a section of its own there.
    void Split(int section, int line);
    Line *Last_Line();

    QString File_Path;
    std::vector<Line> Lead;   // lines before the first header
    std::vector<Section> Sections;
    QHash<QByteArray, int> Section_At;
    QByteArray New_Eol = "\r\n";
    bool Read_Ok = true;
    bool Dirty = false;
};
