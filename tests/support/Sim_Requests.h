#pragma once
// The table requests the simulator received, as tests compare them: {function, table,
// first field, field count}, printed as {f1 t5 0+3} when a comparison fails.
#include "Sim.h"

#include <QList>
#include <QString>
#include <QtTest>

struct Req {
    int func, tab, first, count;
    bool operator==(const Req &o) const
    {
        return func == o.func && tab == o.tab && first == o.first && count == o.count;
    }
};

namespace QTest {
template <> inline char *toString(const Req &r)
{
    return qstrdup(QString::asprintf("{f%d t%d %d+%d}", r.func, r.tab, r.first, r.count).toLatin1().constData());
}
} // namespace QTest

// The requests received since the last call; the log is cleared.
inline QList<Req> Take_Requests(Sim_Core &sim)
{
    QList<Req> out;
    for (const Sim_Request_Log &l : sim.Log()) out << Req{l.func, l.table, l.first, l.count};
    sim.Clear_Log();
    return out;
}
