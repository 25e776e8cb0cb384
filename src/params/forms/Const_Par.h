#pragma once
// " Константы параметров газа": for each measured parameter, whether the controller puts it
// on a constant (table 43) and the constant (table 44). Tab_Data points to a 100-byte block:
// the 20 flag bytes, then the 20 floats.
#include "params/forms/Gas_Rows.h"

constexpr int CONST_BLOCK_LEN = MAX_GAS_PARAMS + 4 * MAX_GAS_PARAMS;

class TFormConst_Par : public TFormGas_Rows {
    Q_OBJECT
public:
    explicit TFormConst_Par(QWidget *owner = nullptr);
    uint8_t Work[CONST_BLOCK_LEN] = {};

private:
    QString Shown[MAX_GAS_PARAMS];   // value texts as loaded

protected:
    void Load_Values() override;
    bool Check() override;
    bool Store() override;
};
