#include "messages/Readindex.h"

#include "core/Rd_wr_ini.h"

#include <algorithm>

namespace {

// A box's number: decimal digits, surrounding blanks allowed; nothing for anything else or
// a number past 64 bits.
std::optional<uint64_t> box_number(const QString &text)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return uint64_t(v);
}

Index_Preset last_n(uint64_t n, uint32_t oldest, uint32_t newest)
{
    const uint64_t total = Index_Total(oldest, newest);
    if (total < n) return Index_Preset{QString::number(oldest), QString::number(total), false};
    return Index_Preset{QString::number(uint64_t(newest) - (n - 1)), QString::number(n), false};
}

} // namespace

QString Index_Caption(uint8_t kind)
{
    switch (kind) {
    case 0: return QStringLiteral("Индексы архивных записей диагностики");
    case 1: return QStringLiteral("Индексы архивных записей о вмешательствах");
    case 5: return QStringLiteral("Индексы архивных записей оценок качества калибровки хроматографа");
    default: return QString();
    }
}

uint32_t Stored_Index_Choice()
{
    const uint32_t c = Rd_Arh_Rec.index_choice;
    return c <= INDEX_GIVEN ? c : INDEX_LAST_100;
}

void Store_Index_Choice(uint32_t choice) { Rd_Arh_Rec.index_choice = choice; }

uint64_t Index_Total(uint32_t oldest, uint32_t newest)
{
    return newest < oldest ? 0 : uint64_t(newest) - oldest + 1;
}

Index_Preset Index_Preset_For(uint32_t choice, uint32_t oldest, uint32_t newest)
{
    switch (choice) {
    case INDEX_ALL: return Index_Preset{QString::number(oldest), QString::number(Index_Total(oldest, newest)), false};
    case INDEX_LAST_100: return last_n(100, oldest, newest);
    case INDEX_LAST_50: return last_n(50, oldest, newest);
    case INDEX_LAST_10: return last_n(10, oldest, newest);
    default: return Index_Preset{QString(), QString(), true};
    }
}

std::optional<Req_Refusal> Check_Index(const QString &start_text, const QString &count_text, uint32_t oldest,
                                       uint32_t newest, uint32_t &first, uint32_t &count)
{
    if (start_text.isEmpty()) return Req_Refusal{QStringLiteral("Не введен индекс записи начала чтения"), QString()};
    const std::optional<uint64_t> f = box_number(start_text);
    if (!f || *f < oldest || *f > newest)
        return Req_Refusal{QStringLiteral("Нелогичное значение индекса записи начала чтения"),
                           QStringLiteral("(см. значения индексов начала и конца архива).")};
    if (count_text.isEmpty()) return Req_Refusal{QStringLiteral("Не введено количество записей для чтения"), QString()};
    const std::optional<uint64_t> c = box_number(count_text);
    if (!c || *c == 0) return Req_Refusal{QStringLiteral("Нелогичное значение количества записей для чтения"), QString()};
    // Oldest <= f <= newest here, so the run is 1 .. 2^32 records; a count field holds 2^32 - 1.
    const uint64_t run = uint64_t(newest) - *f + 1;
    first = uint32_t(*f);
    count = uint32_t(std::min<uint64_t>({*c, run, UINT32_MAX}));
    return std::nullopt;
}
