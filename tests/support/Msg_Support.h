#pragma once
// Builders shared by the message tests: records with their CRC, float bits, controller dates,
// gas parameter names in table 1, and a question handler that records what was asked.
#include "core/Codepage.h"
#include "core/Crc16.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "messages/Iniala.h"
#include "messages/Iniaud.h"
#include "params/Chr_Par.h"

#include <QDateTime>
#include <QList>
#include <cstring>

inline uint32_t Bits(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

inline Date6 D6(const QDateTime &t)
{
    return Date6{uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                 uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
}

inline Ala_Rec Ala(uint8_t code, uint8_t t, uint8_t k, uint32_t a = 0, uint32_t b = 0)
{
    Ala_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date = Date6{26, 3, 5, 14, 7, 9};
    r.code = code;
    r.object = t;
    r.index = k;
    std::memcpy(r.value_a, &a, 4);
    std::memcpy(r.value_b, &b, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), 20);
    return r;
}

inline Aud_Rec Aud(uint8_t t, uint8_t k, uint32_t old_v, uint32_t new_v, uint8_t unit = 0, const char *oper = "OPER")
{
    Aud_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date = Date6{26, 3, 5, 14, 7, 9};
    r.table = t;
    r.field = k;
    r.unit = unit;
    std::memcpy(r.old_value, &old_v, 4);
    std::memcpy(r.new_value, &new_v, 4);
    std::memcpy(r.oper, oper, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), 22);
    return r;
}

template <class Rec> QByteArray Raw(const Rec &r) { return QByteArray(reinterpret_cast<const char *>(&r), sizeof r); }

inline void Set_Gas_Par(int k, const char *name, uint8_t unit, uint8_t decimals)
{
    Chr_Par p;
    std::memset(&p, 0, sizeof p);
    const QByteArray n = Unicode_To_Cp1251(QString::fromUtf8(name));
    std::memcpy(p.name, n.constData(), size_t(std::min<qsizetype>(n.size(), CHR_PAR_NAME_LEN)));
    p.unit = unit;
    p.decimals = decimals;
    std::memcpy(Tab_Field(1, k), &p, sizeof p);
}

struct Ques_Log final : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t answer = 0;   // to yes/no questions
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return q.yes_no ? answer : 0;
    }
    QStringList Lines() const
    {
        QStringList l;
        for (const Ques_Setup &q : asked) l << q.line1 + QLatin1Char('|') + q.line2;
        return l;
    }
};
