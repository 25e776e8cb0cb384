#include "core/List_Merge.h"

#include "core/Ques.h"

#include <QHash>
#include <algorithm>

namespace {

QHash<QByteArray, int> counts(const std::vector<QByteArray> &rec)
{
    QHash<QByteArray, int> c;
    for (const QByteArray &r : rec) ++c[r];
    return c;
}

const QByteArray *selected(const Merge_Side &s)
{
    return s.sel >= 0 && s.sel < int(s.rec.size()) ? &s.rec[size_t(s.sel)] : nullptr;
}

// The last entry of that content (the sorts keep the last of equal names selected), -1.
int position(const std::vector<QByteArray> &rec, const QByteArray *content)
{
    if (!content) return -1;
    for (int i = int(rec.size()) - 1; i >= 0; --i)
        if (rec[size_t(i)] == *content) return i;
    return -1;
}

// How many entries of one content the merged list holds.
int merged_count(int b, int m, int t)
{
    if (m == b) return t;
    if (t == b) return m;
    if ((m > b) == (t > b)) return m > b ? std::max(m, t) : std::min(m, t);
    return std::max(0, t + m - b);
}

QString names_text(const QStringList &names)
{
    QStringList q;
    for (qsizetype i = 0; i < names.size() && i < 3; ++i) q << QStringLiteral("«%1»").arg(names[i]);
    QString s = q.join(QStringLiteral(", "));
    if (names.size() > 3) s += QStringLiteral(" и еще %1").arg(names.size() - 3);
    return s;
}

} // namespace

Merge_Result Merge_Lists(const Merge_Side &base, const Merge_Side &mine, const Merge_Side &theirs, int max)
{
    const QHash<QByteArray, int> b = counts(base.rec), m = counts(mine.rec), t = counts(theirs.rec);
    QHash<QByteArray, int> left;   // entries of each content still to be taken
    Merge_Result r;
    auto settle = [&](const QByteArray &c) {
        if (left.contains(c)) return;
        const int cb = b.value(c), cm = m.value(c), ct = t.value(c);
        left.insert(c, merged_count(cb, cm, ct));
        if (cm < cb && ct < cb) r.lost.push_back(c);
    };
    for (const auto *side : {&base, &mine, &theirs})
        for (const QByteArray &c : side->rec) settle(c);

    // The file's order: the other copy's list keeps its shape. Each addition goes in after the
    // entry it follows in this copy's list, so a changed entry stays in its place.
    for (const QByteArray &c : theirs.rec)
        if (left[c] > 0) {
            --left[c];
            r.rec.push_back(c);
        }
    int prev = -1;
    for (const QByteArray &c : mine.rec) {
        if (left[c] > 0) {
            --left[c];
            if (int(r.rec.size()) >= max) {
                r.dropped.push_back(c);
                continue;
            }
            r.rec.insert(r.rec.begin() + (prev + 1), c);
            ++prev;
            continue;
        }
        const auto from = r.rec.begin() + (prev + 1);
        auto at = std::find(from, r.rec.end(), c);
        if (at == r.rec.end()) at = std::find(r.rec.begin(), r.rec.end(), c);
        if (at != r.rec.end()) prev = int(at - r.rec.begin());
    }

    const QByteArray *cm = selected(mine), *cb = selected(base), *ct = selected(theirs);
    const bool user_chose = (cm == nullptr) != (cb == nullptr) || (cm && *cm != *cb);
    r.own_sel = position(r.rec, cm);
    if (r.own_sel < 0) r.own_sel = position(r.rec, ct);
    if (r.own_sel < 0 && !r.rec.empty()) r.own_sel = 0;
    r.file_sel = user_chose ? r.own_sel : position(r.rec, ct);
    if (r.file_sel < 0) r.file_sel = r.own_sel;
    r.sort = mine.sort != base.sort ? mine.sort : theirs.sort;
    return r;
}

void Show_List_Merge(const List_Merge_Report &r, List_Kind kind)
{
    const bool obj = kind == List_Kind::Objects;
    Ques_Kind = 6;
    if (!r.lost.isEmpty()) {
        const bool one = r.lost.size() == 1;
        const QString what = obj ? (one ? QStringLiteral("объект") : QStringLiteral("объекты"))
                                 : (one ? QStringLiteral("абонент") : QStringLiteral("абоненты"));
        Show_Ques(QStringLiteral("Другая копия программы изменила или удалила %1 %2,").arg(what, names_text(r.lost)),
                  (one ? QStringLiteral("который") : QStringLiteral("которые")) +
                      QStringLiteral(" вы тоже изменили или удалили. Проверьте список."));
    }
    if (!r.dropped.isEmpty()) {
        Show_Ques(obj ? QStringLiteral("В списке нет места для всех новых объектов (не более 50):")
                      : QStringLiteral("В списке нет места для всех новых абонентов (не более 200):"),
                  names_text(r.dropped) + QStringLiteral(" не добавлены."));
    }
}
