#pragma once
// "Ввод периода времени запрашиваемых данных": a period to the second for the readers that
// request by period. The presets follow the PC's clock; the choice and the given period are
// kept in Rd_Arh_Rec. Callers create it, show it through Run_Dialog, read Ok, Start and End.
#include "core/Dtfun.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;

class TFormPeriod : public QDialog {
    Q_OBJECT
public:
    explicit TFormPeriod(QWidget *owner = nullptr);

    uint8_t Ok = 0;      // 1 when closed by "Принять" after the checks
    Date6 Start{};       // the accepted period
    Date6 End{};

    QDateEdit *Start_Date = nullptr;
    QComboBox *Start_Hour = nullptr;
    QComboBox *Start_Min = nullptr;
    QComboBox *Start_Sec = nullptr;
    QDateEdit *End_Date = nullptr;
    QComboBox *End_Hour = nullptr;
    QComboBox *End_Min = nullptr;
    QComboBox *End_Sec = nullptr;
    QButtonGroup *Choice = nullptr;       // ids 0 last hour, 1 last day, 2 given period
    QRadioButton *Choice_Btn[3] = {};
    QPushButton *Btn_Accept = nullptr;    // "Принять"
    QPushButton *Btn_Exit = nullptr;      // "Выход"

public slots:
    // Show: Ok cleared, the stored choice selected and applied.
    void FormShow();
    // A choice: stored at once, then the controls filled and enabled or disabled.
    void Apply_Choice(int choice);
    void Btn_Accept_Click();

protected:
    void showEvent(QShowEvent *e) override;
};
