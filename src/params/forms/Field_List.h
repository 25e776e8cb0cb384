#pragma once
// A parameter dialog that is a list of fields with ranges, built from a description.
//
// Each row of the description is one value of the edited bytes (Tab_Data + offset, `size`
// bytes little-endian, unsigned) shown in one control:
//   List        fixed drop-down list; item i means values[i] (or base + i when values is empty);
//               a value that is no item shows no selection
//   Typed_List  editable list (digits only) with the same items; the typed text is the value
//   Edit        digits-only edit of at most max_len characters; shows the decimal value
//   Check       check box: 1 ticked, 0 not (a stored non-zero value shows ticked)
//   Radio       one radio button per item, named name + "1".."n"; item i means values[i]
//               (or base + i)
// The row's label lines stand left of the control, one QLabel each (a Check row with one
// line carries it as the box's text; more lines stand right of the box, where its text
// would). Rows sharing a non-empty `group` title in a run sit in
// one QGroupBox. The fields of every run and group start and end at one place, also after
// rows are shown or hidden; the dialog then takes the height its rows need, keeping its width
// and its top-left unless it must move up to stay inside the screen's free area.
//
// Accept runs, in this order:
//   1. completeness: every enabled List/Radio row needs a choice, every enabled Typed_List or
//      Edit a number; the first row lacking one is refused with its missing_line1/2
//      ("Введены не все параметры" unless the row says otherwise);
//   2. the description's range checks in their listed order: value outside min..max is
//      refused with the check's two lines;
//   3. Check_Extra() of a derived dialog;
//   4. only then the store: each enabled row (and every Check row, enabled or not: a disabled
//      box shows what it stores) into its bytes, a value with no range check kept to its low
//      bytes (an octet typed 300 stores 44); then the fixed values; then Store_Extra().
// A disabled row other than a Check row is neither checked nor stored: its bytes keep their
// value. Every refusal is a kind-2 message and the dialog stays open with nothing stored.
//
// Check rows may depend on an earlier Check row (enabled_by = its index): the dependent box
// and its labels are enabled only while that box is ticked, showing then its byte as given,
// and cleared when it is not.
//
// Derived dialogs add their own rules through the hooks below and reach the controls by row
// index (Row_Of gives the index of a control name).
#include "params/forms/Param_Dialog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

struct Field_Row {
    enum Kind { List, Typed_List, Edit, Check, Radio };
    Kind kind = List;
    const char *name = "";        // object name of the control (Radio: prefix of the buttons)
    QStringList label;            // caption lines, one label each
    int offset = 0;               // first byte of the value in Tab_Data
    int size = 1;                 // bytes of the value: 1, 2 or 4
    QStringList items;            // List, Typed_List, Radio
    QList<int64_t> values;        // value of each item; empty: base + item index
    int64_t base = 0;
    int max_len = 0;              // Edit, Typed_List: at most this many characters (0: no limit)
    QString unit;                 // label right of the control
    QString hint;                 // label right of the unit, e.g. "(  0 - 255 ) "
    QString group;                // group box title
    int enabled_by = -1;          // Check rows: index of the earlier Check row enabling this one
    QString missing_line1 = QStringLiteral("Введены не все параметры");
    QString missing_line2;
};

struct Field_Range {
    int row = 0;
    int64_t min = 0;
    int64_t max = 0;
    QString line1;
    QString line2;
};

struct Field_Fixed {
    int offset = 0;
    int size = 1;
    int64_t value = 0;
};

struct Field_List_Desc {
    QString caption;
    QList<Field_Row> rows;
    QList<Field_Range> checks;    // in the order they are made
    QList<Field_Fixed> fixed;     // stored after the rows
};

class TFormField_List : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormField_List(const Field_List_Desc &desc, QWidget *owner = nullptr,
                             Buttons buttons = Buttons::By_Dev_Write);

    const Field_List_Desc &Desc() const { return D; }
    int Row_Count() const { return int(D.rows.size()); }
    // Index of the row whose control (or radio prefix) has this name; -1 when none.
    int Row_Of(const char *name) const;

    // The row's control; null when the row is of another kind or out of range.
    QComboBox *List(int row) const;          // List and Typed_List
    QLineEdit *Edit(int row) const;
    QCheckBox *Check_Box(int row) const;
    QRadioButton *Radio(int row, int item) const;
    QList<QLabel *> Labels(int row) const;   // label lines, unit and hint

    // Enables or disables the row's control(s) with its labels.
    void Set_Row_Enabled(int row, bool on);
    bool Row_Enabled(int row) const;
    // The value the row shows; false when nothing is chosen or typed, or the text is no number.
    bool Row_Value(int row, int64_t &v) const;
    // Shows a value (a value that is no item shows no selection / an empty text).
    void Set_Row_Value(int row, int64_t v);

    // Little-endian unsigned value of 1..8 bytes, and its store (low bytes kept).
    static int64_t Get_Le(const uint8_t *p, int size);
    static void Put_Le(uint8_t *p, int size, int64_t v);

protected:
    void Load() override;    // every row from Tab_Data, the dependencies, then Load_Extra
    bool Check() override;   // completeness, the range checks, then Check_Extra
    bool Store() override;   // rows, fixed values, then Store_Extra; false without Tab_Data

    virtual void Load_Extra() {}
    virtual bool Check_Extra() { return true; }
    virtual void Store_Extra() {}

    // Where the rows are laid out; derived dialogs may add their own widgets to Body.
    QWidget *Rows_Widget = nullptr;
    // A row of the dialog's own below the last rows, its field lined up with theirs (at its
    // own width). Call from the derived constructor.
    void Add_Row(QWidget *label, QWidget *field);
    // A group of the dialog's own, laid out as the rows are (captions in column 0 of a grid,
    // fields in column 1), whose fields line up with theirs.
    void Align_With(QGroupBox *box);

    // Lines the grids up again and fits the height when a row of theirs is shown or hidden.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row_Ctl {
        QComboBox *list = nullptr;
        QLineEdit *edit = nullptr;
        QCheckBox *check = nullptr;
        std::vector<QRadioButton *> radios;
        QList<QLabel *> labels;
    };
    int Item_Of(const Field_Row &r, int64_t v) const;
    int64_t Item_Value(const Field_Row &r, int item) const;
    void Apply_Dependency(int row);
    void Align_Grids();
    void Watch_Rows();
    void Fit_Height();

    Field_List_Desc D;
    std::vector<Row_Ctl> Ctl;
    QList<QGridLayout *> Grids;        // the rows' grids and the groups lined up with them
    QGridLayout *Last_Rows = nullptr;  // the grid of the last rows
    bool Fit_Pending = false;          // a fit to the rows is on its way
};
