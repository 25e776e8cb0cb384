#pragma once
// The set-point forms of the measured gas parameters (tables 22..26, one form chosen by kind)
// and the write-to-flow-computer flags (table 21), and the Parameters-menu commands that
// open them, the flow-computer list and the user table.
#include "params/Limits.h"
#include "params/forms/Gas_Rows.h"

class TFormMain;

// Tab_Data: the 20 floats of the kind's table.
class TFormLimits : public TFormGas_Rows {
    Q_OBJECT
public:
    explicit TFormLimits(QWidget *owner = nullptr);
    uint8_t Kind = 0;   // 0..4: tables 22..26

private:
    QString Shown[MAX_GAS_PARAMS];   // value texts as loaded
    bool Typed[MAX_GAS_PARAMS] = {};  // the user has typed into the row's edit
    float Work[MAX_GAS_PARAMS] = {};
    void Edit_Left(int row);

protected:
    void Load_Values() override;
    bool Check() override;
    bool Store() override;
};

// Tab_Data: the 20 flag bytes of table 21.
class TFormPrzDistr : public TFormGas_Rows {
    Q_OBJECT
public:
    explicit TFormPrzDistr(QWidget *owner = nullptr);

protected:
    void Load_Values() override;
    bool Check() override;
    bool Store() override;
};

// Handlers.
void NLimitsClick(TFormMain *m, int kind);
void NInsensClick(TFormMain *m);
void NLowAttentClick(TFormMain *m);
void NUpAttentClick(TFormMain *m);
void NLowLimitClick(TFormMain *m);
void NUpperLimitClick(TFormMain *m);
void NDistrClick(TFormMain *m);

// Attaches the set-point, write-flag, flow-computer list and user-access commands to their
// menu items, and the flow-computer list to the link form's raised count.
void Install_Limit_Commands(TFormMain *m);
