#pragma once
// Three-way merge of a settings list that another copy of the program may have rewritten
// meanwhile (two copies on one work directory, one per controller). Entries have no identity
// but their content: what this copy's user added, changed or deleted since the list was last
// read from or written to its file is applied to the file's list as it is now.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct Merge_Side {
    std::vector<QByteArray> rec;  // the entries in use, each as its normalised bytes
    int sel = -1;                 // selected entry, -1 for none
    int sort = 0;                 // sort key of the list
};

struct Merge_Result {
    std::vector<QByteArray> rec;      // theirs in their order, then this copy's additions
    int own_sel = -1;                 // the selection this copy goes on with
    int file_sel = -1;                // the selection the file keeps
    int sort = 0;
    std::vector<QByteArray> lost;     // entries the user changed or deleted that the other copy
                                      // changed or removed as well
    std::vector<QByteArray> dropped;  // additions past the list's room
};

// base: the list as the file held it when this copy last read or wrote it; mine: the list as
// this copy's user left it; theirs: the file now. Per entry content the count follows the
// side that changed it; where both changed it the same way (both added, both removed) it is
// taken once, where they differ both changes count. The selection and the sort key are the
// user's where the user changed them, else the file's.
Merge_Result Merge_Lists(const Merge_Side &base, const Merge_Side &mine, const Merge_Side &theirs, int max);

// What a merge tells the user: the names of the entries in Merge_Result::lost and ::dropped.
struct List_Merge_Report {
    QStringList lost;
    QStringList dropped;
    bool Empty() const { return lost.isEmpty() && dropped.isEmpty(); }
};

enum class List_Kind { Abonents, Objects };
// One message (plain notice) for a report that is not empty.
void Show_List_Merge(const List_Merge_Report &r, List_Kind kind);
