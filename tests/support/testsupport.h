#pragma once
// Helpers shared by the tests.
#include <QByteArray>
#include <cstdint>
#include <vector>

inline QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(uint8_t(x)));
    return b;
}
