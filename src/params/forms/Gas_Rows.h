#pragma once
// The shape shared by the dialogs that show one row per measured gas parameter (twenty rows,
// the first `Par_Count` in use, named from table 1). A description says which columns a
// dialog has, their control-name prefixes (control "<prefix>n", n = 1..20), their heads and
// edit limits; the dialog itself only loads, checks and stores its values.
#include "params/Chr_Par.h"
#include "params/forms/Param_Dialog.h"

#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

struct Gas_Column {
    enum Kind { Name_Panel, Range_Panel, Value_Edit, Unit_Label, Check_Box, Choice };
    Kind kind;
    const char *prefix;     // control names: prefix + row number from 1
    QString head;           // column head ("\n" between its two lines)
    int max_len = 0;        // value edits: at most this many characters (0: no limit)
    QStringList items;      // choice lists
};

struct Gas_Rows_Desc {
    QString caption;
    QList<Gas_Column> columns;
    // Value edits of the rows beyond the count: shown disabled in the panel colour instead
    // of hidden.
    bool show_unused_edits = false;
};

class TFormGas_Rows : public TParam_Dialog {
    Q_OBJECT
public:
    TFormGas_Rows(const Gas_Rows_Desc &desc, QWidget *owner = nullptr);

    uint8_t Par_Count = 0;              // table 14 field 14; more than 20 counts as 20
    const uint8_t *Chr_Tab = nullptr;   // table 1 (20 Chr_Par records), for names and units

    // One row's controls; a column the description lacks stays null.
    struct Row {
        QLabel *pn = nullptr;        // name panel
        QLabel *pd = nullptr;        // range panel
        QLineEdit *ev = nullptr;     // value edit
        QLabel *l = nullptr;         // unit label
        QCheckBox *cb = nullptr;     // check box
        QComboBox *lst = nullptr;    // choice list
    };
    std::array<Row, MAX_GAS_PARAMS> Rows;

    // Rows in use: Par_Count, at most 20.
    int Count() const { return Limit_Gas_Count(Par_Count); }
    // Name of parameter i from table 1 as stored (empty when there is no table).
    QString Par_Name(int i) const;

private:
    bool Show_Unused_Edits = false;

protected:
    // Names, units and the greyed rows; then Load_Values for the dialog's own values.
    void Load() override;
    virtual void Load_Values() {}
};
