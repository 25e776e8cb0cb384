#include "core/Conffun.h"

#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Stringi.h"
#include "core/Tables.h"

#include <algorithm>
#include <cstring>

namespace {

void Set_Status(const Tab_Status &status, const QString &text)
{
    if (status) status(text);
}

QString Range_Text(const char *one, const char *many, const Tab_Req &r)
{
    if (r.count > 1)
        return QString::fromUtf8(many).arg(r.tab).arg(r.first).arg(int(r.first) + r.count - 1);
    return QString::fromUtf8(one).arg(r.tab).arg(r.first);
}

QString Quoted_Name(int tab)
{
    return QStringLiteral("\"%1\"").arg(Tab_Names(tab));
}

QString Table_Line(int tab)
{
    return QStringLiteral("Табл. %1 %2.").arg(tab).arg(Quoted_Name(tab));
}

// Asks "Повторить попытку?" under the two lines; true on yes.
bool Ask_Repeat(const QString &line1, const QString &line2, const Tab_Status &status)
{
    Ques_Kind = 7;
    Show_Ques(line1, line2);
    Set_Status(status, QString());
    return Ques_Answer == 1;
}

// A request that cannot be sent is a caller's fault: say so and send nothing.
bool Refuse(const Tab_Req &req, const QString &why, const Tab_Status &status, bool show)
{
    if (!show) return false;
    Set_Status(status, why);
    Ques_Kind = 1;
    Show_Ques(QStringLiteral("Запрос к таблице %1 не отправлен.").arg(req.tab), why);
    return false;
}

// What must hold besides the request itself before any exchange.
QString Check_Link()
{
    if (!Exch_Box) return QStringLiteral("Нет связи с контроллером");
    if (!Contr_Tables) return QStringLiteral("Образ таблиц не создан");
    return QString();
}

bool Echo_Matches(const hgcbox &box, const Tab_Req &r)
{
    return box.Resp_Buf[5] == r.tab && box.Resp_Buf[6] == r.first && box.Resp_Buf[7] == r.count;
}

} // namespace

QString Check_Tab_Req(const Tab_Req &req, int max_bytes)
{
    if (req.tab >= TAB_COUNT) return QStringLiteral("Нет таблицы с номером %1").arg(req.tab);
    const Tab_Descr &d = Tab_Dir[req.tab];
    if (d.field_count == 0 || d.field_size == 0 || !d.data)
        return QStringLiteral("Таблица %1 не содержит полей").arg(req.tab);
    if (req.count == 0) return QStringLiteral("Не задано количество полей таблицы %1").arg(req.tab);
    if (int(req.first) + req.count > d.field_count)
        return QStringLiteral("Поля %1-%2 вне таблицы %3 (полей в таблице: %4)")
            .arg(req.first)
            .arg(int(req.first) + req.count - 1)
            .arg(req.tab)
            .arg(d.field_count);
    const int bytes = req.count * d.field_size;
    if (max_bytes > 0 && bytes > max_bytes)
        return QStringLiteral("Слишком много данных в одном запросе: %1 байт (допускается не более %2)")
            .arg(bytes)
            .arg(max_bytes);
    return QString();
}

bool Read_Table(const Tab_Req &req, const Tab_Status &status, bool show)
{
    QString why = Check_Link();
    if (why.isEmpty()) why = Check_Tab_Req(req, MAX_READ_BYTES);
    if (!why.isEmpty()) return Refuse(req, why, status, show);

    hgcbox &box = *Exch_Box;
    const Tab_Descr &d = Tab_Dir[req.tab];
    const int bytes = req.count * d.field_size;
    const uint8_t r[3] = {req.tab, req.first, req.count};
    for (;;) {
        if (show) Set_Status(status, Range_Text("Чтение из таблицы %1 (поле %2)", "Чтение из таблицы %1 (поля %2-%3)", req));
        if (box.Exchange(1, r, 3, 0)) {
            // The image takes the bytes only from a reply that answers this very request
            // and carries exactly its fields.
            if (Echo_Matches(box, req) && box.Resp_Buf[2] == 10 + bytes) {
                std::memcpy(d.data + req.first * d.field_size, box.Resp_Buf + 8, size_t(bytes));
                if (show) Set_Status(status, QString());
                return true;
            }
            if (!show) return false;
            if (!Ask_Repeat(QStringLiteral("Несоответствие запрошенных и переданных данных."), Table_Line(req.tab),
                            status))
                return false;
            continue;
        }
        if (!show) return false;
        Set_Status(status, box.Err_Text());
        if (!Ask_Repeat(QStringLiteral("Не выполнено чтение из таблицы %1.").arg(req.tab), Quoted_Name(req.tab),
                        status))
            return false;
    }
}

bool Write_Table(const Tab_Req &req, const Tab_Status &status, bool show)
{
    QString why = Check_Link();
    if (why.isEmpty()) why = Check_Tab_Req(req, MAX_WRITE_BYTES);
    if (!why.isEmpty()) return Refuse(req, why, status, show);

    hgcbox &box = *Exch_Box;
    const Tab_Descr &d = Tab_Dir[req.tab];
    const int bytes = req.count * d.field_size;
    uint8_t w[3 + MAX_WRITE_BYTES];
    for (;;) {
        // The image already holds the new values.
        w[0] = req.tab;
        w[1] = req.first;
        w[2] = req.count;
        std::memcpy(w + 3, d.data + req.first * d.field_size, size_t(bytes));
        Set_Status(status, Range_Text("Запись в таблицу %1 (поле %2)", "Запись в таблицу %1 (поля %2-%3)", req));
        if (box.Exchange(2, w, 3 + bytes, 0)) {
            if (box.Resp_Buf[2] >= 10 && Echo_Matches(box, req)) {
                Set_Status(status, QString());
                return true;
            }
            if (!show) return false;
            if (!Ask_Repeat(QStringLiteral("Несоответствие заголовка ответа заголовку запроса на запись."),
                            Table_Line(req.tab), status))
                return false;
            continue;
        }
        if (!show) return false;
        Set_Status(status, box.Err_Text());
        if (!Ask_Repeat(QStringLiteral("Не выполнена запись в таблицу %1.").arg(req.tab), Quoted_Name(req.tab) + '.',
                        status))
            return false;
    }
}

std::vector<Tab_Req> Changed_Field_Writes(const Tab_Req &req, int field_size, const uint8_t *now,
                                          const uint8_t *old)
{
    std::vector<Tab_Req> out;
    if (field_size <= 0 || req.count == 0 || !now || !old) return out;
    std::vector<bool> changed(req.count);
    int lo = -1, hi = -1;
    for (int i = 0; i < req.count; ++i) {
        changed[size_t(i)] = std::memcmp(now + i * field_size, old + i * field_size, size_t(field_size)) != 0;
        if (changed[size_t(i)]) {
            if (lo < 0) lo = i;
            hi = i;
        }
    }
    if (lo < 0) return out;

    // Pieces as {first relative field, count}.
    std::vector<std::pair<int, int>> pieces;
    const int span = hi - lo + 1;
    bool gaps = false;
    for (int i = lo; span > 2 && i <= hi; ++i)
        if (!changed[size_t(i)]) gaps = true;
    if (gaps) {
        std::vector<std::pair<int, int>> runs;
        for (int i = lo; i <= hi; ++i) {
            if (!changed[size_t(i)]) continue;
            if (i > lo && changed[size_t(i - 1)]) ++runs.back().second;
            else runs.push_back({i, 1});
        }
        const int64_t single = int64_t(span) * field_size + WRITE_REQ_COST;
        int64_t by_runs = 0;
        for (const auto &r : runs) by_runs += int64_t(r.second) * field_size + WRITE_REQ_COST;
        if (by_runs <= single) pieces = runs;
        else pieces.push_back({lo, span});
    } else {
        pieces.push_back({lo, span});
    }

    // One request carries at most MAX_WRITE_BYTES: cut longer pieces into whole fields.
    const int per_req = std::max(1, MAX_WRITE_BYTES / field_size);
    for (const auto &p : pieces) {
        for (int at = 0; at < p.second; at += per_req) {
            const int n = std::min(per_req, p.second - at);
            out.push_back(Tab_Req{req.tab, uint8_t(req.first + p.first + at), uint8_t(n)});
        }
    }
    return out;
}

bool Write_Changed_Fields(const Tab_Req &req, const uint8_t *old, int old_len, const Tab_Status &status)
{
    QString why = Check_Link();
    if (why.isEmpty()) why = Check_Tab_Req(req, 0);
    const Tab_Descr *d = why.isEmpty() ? &Tab_Dir[req.tab] : nullptr;
    if (d && (!old || old_len < req.count * d->field_size))
        why = QStringLiteral("Нет прежних значений полей таблицы %1").arg(req.tab);
    if (!why.isEmpty()) return Refuse(req, why, status, true);

    const std::vector<Tab_Req> writes =
        Changed_Field_Writes(req, d->field_size, d->data + req.first * d->field_size, old);
    bool ok = true;
    for (const Tab_Req &w : writes) {
        ok = Write_Table(w, status, true);
        if (!ok) break;
    }
    return ok;
}
