#pragma once
// Archive headers, records and files for the archive tests.
#include "archives/Arhiv.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Ques.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <cstring>

// A header that passes the open check of its kind: parameters "P0", "P1"... in "%" with the
// given decimals, line "Line", address 7, April 2026.
inline Arhiv_Header Arh_Test_Header(Arh_File_Kind kind, uint32_t count = 0, int pars = 3, int decimals = 2)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, Arh_Info(kind).magic, 3);
    h.device = Arh_Info(kind).device;
    std::memcpy(h.line_name, "Line", 4);
    h.contr_adr = 7;
    h.contr_type = ARH_CONTR_TYPE;
    h.chrom_code = ARH_CHROM_CODE;
    h.par_count = uint8_t(pars);
    for (int i = 0; i < std::min(pars, ARH_PAR_MAX); ++i) {
        const QByteArray s = "P" + QByteArray::number(i);
        std::memcpy(h.pars[i].symbol, s.constData(), size_t(s.size()));
        h.pars[i].unit = 1;
        h.pars[i].decimals = uint8_t(decimals);
    }
    h.made = Date6{26, 4, 12, 10, 20, 30};
    h.period_start = Date6{26, 4, 1, 0, 0, 0};
    h.period_end = Date6{26, 4, 2, 0, 0, 0};
    h.rec_count = count;
    return h;
}

template <class T> QByteArray Arh_Bytes(const T &t) { return QByteArray(reinterpret_cast<const char *>(&t), sizeof t); }

// The record with its CRC made good.
template <class R> R Arh_Seal(R r)
{
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

// Value i of a record, with the two zone bits (1 warning, 2 alarm) in its lowest byte.
template <class R> void Arh_Put_Value(R &r, int i, float v, uint8_t zone = 0)
{
    uint8_t *p = r.values + 4 * i;
    std::memcpy(p, &v, 4);
    p[0] = uint8_t((p[0] & 0xFC) | zone);
}

// count records of the kind: a counting byte pattern, or (sealed) records passing their
// check, text rows for the message kinds.
inline QByteArray Arh_Records(Arh_File_Kind kind, uint32_t count, bool sealed = false)
{
    const int size = int(Arh_Info(kind).rec_size);
    QByteArray all;
    for (uint32_t n = 0; n < count; ++n) {
        QByteArray r(size, '\0');
        if (!sealed) {
            for (int i = 0; i < size; ++i) r[i] = char(1 + (n * uint32_t(size) + uint32_t(i)) % 251);
        } else if (kind == Arh_File_Kind::Ala || kind == Arh_File_Kind::Aud) {
            const QByteArray text = "row " + QByteArray::number(n);
            for (int at = 0; at + 20 <= size; at += 20) std::memcpy(r.data() + at, text.constData(), size_t(text.size()));
        } else {
            for (int i = 0; i < size - 2; ++i) r[i] = char((n * 31 + uint32_t(i)) % 60);
            Put_Crc16(reinterpret_cast<uint8_t *>(r.data()), uint16_t(size - 2));
        }
        all += r;
    }
    return all;
}

inline bool Arh_Write_Raw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray Arh_Read_Raw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A working directory with every kind's archive directory in it.
inline bool Arh_Make_Work_Dirs(const QString &root)
{
    Set_Work_Dir(root);
    for (int i = 0; i < 9; ++i) {
        Arh_File_Kind k;
        if (!Arh_Kind_From_Index(i, &k) || !QDir(root).mkpath(Arh_Info(k).dir)) return false;
    }
    return true;
}

// Answers questions from a list (empty: 0) and keeps what was asked.
struct Arh_Ques final : Ques_Handler {
    QList<uint8_t> answers;
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
    QStringList Lines() const
    {
        QStringList l;
        for (const Ques_Setup &q : asked) l << q.line1 + QLatin1Char('|') + q.line2;
        return l;
    }
};

Q_DECLARE_METATYPE(Arh_File_Kind)
