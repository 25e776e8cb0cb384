#include "core/Abonents.h"

#include "core/Codepage.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

// Stable sort of the entries in use; the selected entry is followed by its position in
// the old list, not by its name (names may repeat).
template <class Rec, class Less>
void sort_list(Abonent_Hdr &h, Rec *rec, Less less)
{
    Clamp_Abonent_Hdr(h);
    const int n = h.users_num;
    if (n < 2) return;
    std::vector<int> order(size_t(n), 0);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(rec[a], rec[b]); });
    const std::vector<Rec> copy(rec, rec + n);
    const int selected = h.user_index;
    for (int i = 0; i < n; ++i) {
        rec[i] = copy[size_t(order[size_t(i)])];
        if (order[size_t(i)] == selected) h.user_index = uint8_t(i);
    }
}

template <class Rec>
bool delete_entry(Abonent_Hdr &h, Rec *rec)
{
    Clamp_Abonent_Hdr(h);
    const int n = h.users_num;
    if (n == 0) return false;
    const int idx = h.user_index;
    for (int i = idx; i + 1 < n; ++i) rec[i] = rec[i + 1];
    std::memset(&rec[n - 1], 0, sizeof(Rec));
    if (h.user_index > 0) --h.user_index;
    h.users_num = uint8_t(n - 1);
    return true;
}

} // namespace

int Str_Compare_Upper(const char *a, const char *b, int width)
{
    for (int i = 0; i < width; ++i) {
        const uint8_t ca = Cp1251_Upper(uint8_t(a[i]));
        const uint8_t cb = Cp1251_Upper(uint8_t(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

int Compare_Ip(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

void Clamp_Abonent_Hdr(Abonent_Hdr &h)
{
    if (h.users_num > ABONENTS_MAX) h.users_num = ABONENTS_MAX;
    if (h.users_num == 0) h.user_index = 0;
    else if (h.user_index >= h.users_num) h.user_index = uint8_t(h.users_num - 1);
}

void Sort_Fon_Abonents(Fon_Abonents_List *list)
{
    if (!list) return;
    if (list->hdr.sort_prz == 1)
        sort_list(list->hdr, list->rec, [](const Fon_Abonent &a, const Fon_Abonent &b) {
            return Str_Compare_Upper(a.phone_code, b.phone_code, PHONE_CODE_LEN) < 0;
        });
    else if (list->hdr.sort_prz == 0)
        sort_list(list->hdr, list->rec, [](const Fon_Abonent &a, const Fon_Abonent &b) {
            return Str_Compare_Upper(a.user_name, b.user_name, ABONENT_NAME_LEN) < 0;
        });
    else
        Clamp_Abonent_Hdr(list->hdr);   // an unknown key keeps the order
}

void Sort_Ethr_Abonents(Ethr_Abonents_List *list)
{
    if (!list) return;
    if (list->hdr.sort_prz == 1)
        sort_list(list->hdr, list->rec, [](const Ethr_Abonent &a, const Ethr_Abonent &b) {
            return Compare_Ip(a.ip_adr, b.ip_adr) < 0;
        });
    else if (list->hdr.sort_prz == 0)
        sort_list(list->hdr, list->rec, [](const Ethr_Abonent &a, const Ethr_Abonent &b) {
            return Str_Compare_Upper(a.user_name, b.user_name, ABONENT_NAME_LEN) < 0;
        });
    else
        Clamp_Abonent_Hdr(list->hdr);
}

bool Delete_Fon_Abonent(Fon_Abonents_List *list) { return list && delete_entry(list->hdr, list->rec); }

bool Delete_Ethr_Abonent(Ethr_Abonents_List *list) { return list && delete_entry(list->hdr, list->rec); }

QString Abonent_Text(const char *field, int width)
{
    return Cp1251_To_Unicode(field, int(strnlen(field, size_t(width))));
}

void Set_Abonent_Text(char *field, int width, const QString &text)
{
    const QByteArray b = Unicode_To_Cp1251(text);
    std::memset(field, 0, size_t(width));
    std::memcpy(field, b.constData(), size_t(std::min<qsizetype>(b.size(), width - 1)));
}

QString Ip_Text(uint32_t ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip >> 24).arg((ip >> 16) & 0xFF).arg((ip >> 8) & 0xFF).arg(ip & 0xFF);
}

QString Ethr_Address_Text(const Ethr_Abonent &a)
{
    const uint32_t port = a.port;
    return Ip_Text(a.ip_adr) + QLatin1Char(':') + QString::number(port);
}
