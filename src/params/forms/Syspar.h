#pragma once
// "Системные параметры контроллера": table 6 (fields 0..9; 10 and 11 belong to the time
// synchronisation and are never touched). The contract hour and the connected devices are a
// field list; the two daylight-saving change rules are one group class each, told by a
// description which months, hours and control names it has.
#include "params/Syspar.h"
#include "params/forms/Field_List.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class TFormMain;

struct Dst_Group_Desc {
    QString title;
    Dst_Kind kind;
    // Control names: month, method, day of month, ordinal, weekday, hour.
    const char *month, *method, *day, *ordinal, *weekday, *hour;
};

// One change rule: month, Day_Code and hour in a working copy. Each list writes only its
// own bits of the code; laying the group out never changes it.
class TDst_Group : public QGroupBox {
    Q_OBJECT
public:
    TDst_Group(const Dst_Group_Desc &desc, QWidget *parent);

    // Shows a rule (3 bytes). A month the list lacks shows no month and keeps the rule as it
    // is until a month is picked.
    void Set_Rule(const uint8_t *rule);
    const uint8_t *Rule() const { return Work; }

    QComboBox *Month = nullptr, *Method = nullptr, *Day = nullptr, *Ordinal = nullptr, *Weekday = nullptr,
              *Hour = nullptr;
    QLabel *LMethod = nullptr, *LDay = nullptr, *LOrdinal = nullptr, *LWeekday = nullptr, *LHour = nullptr;

private:
    void Month_Changed(int index);
    void Lay_Out();
    Dst_Group_Desc D;
    uint8_t Work[3] = {};
};

class TFormSys : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormSys(QWidget *owner = nullptr);

    TDst_Group *Summer = nullptr;
    TDst_Group *Winter = nullptr;
    QComboBox *ComboBox1 = nullptr;     // contract hour
    QCheckBox *CheckBox1 = nullptr;     // chromatograph (always)
    QCheckBox *CheckBox2 = nullptr;     // moisture meter
    QCheckBox *CheckBox3 = nullptr;     // flow computers

protected:
    void Load_Extra() override;
    void Store_Extra() override;
};

// Menu commands of the system parameters and the controller's time.
void NsysClick(TFormMain *m);
void Install_Syspar_Commands(TFormMain *m);
