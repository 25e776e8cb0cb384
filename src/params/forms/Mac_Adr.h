#pragma once
// "MAC-адрес контроллера": table 40 shown, never written.
#include "params/forms/Param_Dialog.h"

class QLabel;

// Table 40, shown only.
class TFormMac_Adr : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormMac_Adr(QWidget *owner = nullptr);
    QLabel *PMac = nullptr;
protected:
    void Load() override;
};
