#pragma once
// Helpers shared by the tests.
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <cstdint>
#include <vector>

inline QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(uint8_t(x)));
    return b;
}

// A list file of the settings as another copy of the program leaves it: the head section with
// the count, then a numbered section per entry with its name (Latin-1 names).
inline bool Put_List_File(const QString &path, const char *head, const char *count_key, const char *entry,
                          const char *name_key, const QStringList &names)
{
    QByteArray b = QByteArray("[") + head + "]\r\n" + count_key + "=" + QByteArray::number(names.size()) + "\r\n";
    for (int k = 0; k < names.size(); ++k)
        b += "[" + QByteArray(entry) + QByteArray::number(k + 1) + "]\r\n" + name_key + "=" + names[k].toLatin1() + "\r\n";
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}
