#pragma once
// " Синхронизация времени": the four synchronisation switches of a Sync_Block (Tab_Data
// points to it); and the period of the hourly averages written to the flow computers
// (table 28). Both are field lists.
#include "params/Sinhr.h"
#include "params/forms/Field_List.h"

class TFormMain;

class TFormTime_Sinhr : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormTime_Sinhr(QWidget *owner = nullptr);
    // The controller's pair, then the chromatograph's; each of the latter is enabled only
    // while the box above it in the controller's group is ticked.
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr;
};

class TFormDistr : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormDistr(QWidget *owner = nullptr);
    QComboBox *ComboBox1 = nullptr;
};

void NSinhrClick(TFormMain *m);
void NdistrparClick(TFormMain *m);
