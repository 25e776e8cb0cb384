#include "archives/Objects_list.h"

#include "core/Abonents.h"

#include <algorithm>
#include <cstring>
#include <vector>

void Clamp_Objects(Obj_List_Rec &list)
{
    if (list.obj_num > OBJECTS_MAX) list.obj_num = OBJECTS_MAX;
    if (list.obj_num == 0) list.obj_index = 0;
    else if (list.obj_index >= list.obj_num) list.obj_index = uint8_t(list.obj_num - 1);
    // A name must end inside its slot.
    for (auto &name : list.obj_name) name[OBJ_NAME_LEN - 1] = 0;
}

void Sort_Objects(Obj_List_Rec &list)
{
    Clamp_Objects(list);
    const int n = list.obj_num;
    if (n < 2) return;
    char current[OBJ_NAME_LEN];
    std::memcpy(current, list.obj_name[list.obj_index], OBJ_NAME_LEN);

    std::vector<int> order(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&list](int a, int b) {
        return Str_Compare_Upper(list.obj_name[a], list.obj_name[b], OBJ_NAME_LEN) < 0;
    });
    char sorted[OBJECTS_MAX][OBJ_NAME_LEN];
    for (int i = 0; i < n; ++i) std::memcpy(sorted[i], list.obj_name[order[size_t(i)]], OBJ_NAME_LEN);
    std::memcpy(list.obj_name, sorted, size_t(n) * OBJ_NAME_LEN);

    for (int i = 0; i < n; ++i)
        if (std::memcmp(list.obj_name[i], current, OBJ_NAME_LEN) == 0) list.obj_index = uint8_t(i);
}

bool Delete_Object(Obj_List_Rec &list)
{
    Clamp_Objects(list);
    const int n = list.obj_num;
    if (n == 0) return false;
    const int at = list.obj_index;
    for (int i = at; i + 1 < n; ++i) std::memcpy(list.obj_name[i], list.obj_name[i + 1], OBJ_NAME_LEN);
    std::memset(list.obj_name[n - 1], 0, OBJ_NAME_LEN);
    if (list.obj_index > 0) --list.obj_index;
    --list.obj_num;
    return true;
}

bool Same_Objects(const Obj_List_Rec &a, const Obj_List_Rec &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString Object_Name(const Obj_List_Rec &list, int i)
{
    if (i < 0 || i >= OBJECTS_MAX) return {};
    return Abonent_Text(list.obj_name[i], OBJ_NAME_LEN);
}

QString Object_Name_Text(const char *slot) { return slot ? Abonent_Text(slot, OBJ_NAME_LEN) : QString(); }

QString Current_Object_Name(const Obj_List_Rec &list)
{
    if (list.obj_num == 0 || list.obj_index >= std::min<int>(list.obj_num, OBJECTS_MAX)) return {};
    return Object_Name(list, list.obj_index);
}

void Set_Object_Name(char *slot, const QString &text) { Set_Abonent_Text(slot, OBJ_NAME_LEN, text); }
