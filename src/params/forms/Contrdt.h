#pragma once
// "Текущие дата и время": the controller's clock (table 2) beside the PC's, and, when the
// controller may be synchronised with the PC, the correction its caller sends with
// function 12. The correction never moves the controller's clock past the start of its
// current hour (back) or of its next one (forward).
#include "params/Sinhr.h"
#include "params/forms/Param_Dialog.h"

class QLabel;
class QPushButton;
class TFormMain;

class TFormDt : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormDt(QWidget *owner = nullptr);

    // Inputs: table 2 (8 bytes), table 6 (12 bytes: the change rules and field 11), and the
    // PC time of the read of table 2 (days since 1899-12-30, local time).
    const uint8_t *Clock_Tab = nullptr;
    const uint8_t *Sys_Tab = nullptr;
    double Pc_Time = 0;
    // Output with Accepted: seconds to move the controller's clock.
    int16_t Corr_Sec = 0;

    // Cells: date, time, weekday and season of each row.
    QLabel *Contr_Cell[4] = {};
    QLabel *Pc_Cell[4] = {};
    QLabel *LNo_Sync = nullptr;   // "Синхронизация ... запрещена"
    QPushButton *BitBtnCorr = nullptr;

    // The PC clock as the form shows it (Date6, weekday, season byte).
    const uint8_t *Pc_Clock_Bytes() const { return Pc; }

    void Corr_Click();

protected:
    void Load() override;

private:
    uint8_t Pc[CLOCK_LEN] = {};
};

void NContrDtClick(TFormMain *m);
