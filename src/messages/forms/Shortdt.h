#pragma once
// "Ввод периода времени запрашиваемых данных" inside an archive's available period: whole hours
// (Kind 0), whole days (Kind 1) or minutes (Kind 3), one panel per kind. The presets follow the
// controller's clock (the head of table 2, read by the caller just before).
#include "core/Dtfun.h"

#include <QDialog>
#include <QList>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QShowEvent;

// The controls of one kind's panel; the hour and minute lists are null where the kind has none.
struct Short_Panel {
    QWidget *Panel = nullptr;
    QLabel *Lbl_Oldest = nullptr;
    QLabel *Lbl_Newest = nullptr;
    QDateEdit *Start_Date = nullptr;
    QComboBox *Start_Hour = nullptr;
    QComboBox *Start_Min = nullptr;
    QDateEdit *End_Date = nullptr;
    QComboBox *End_Hour = nullptr;
    QComboBox *End_Min = nullptr;
    QButtonGroup *Choice = nullptr;
    QList<QRadioButton *> Choice_Btn;
    QPushButton *Btn_Accept = nullptr;   // "Принять"
    QPushButton *Btn_Cancel = nullptr;   // "Отменить"
};

class TFormShortDate : public QDialog {
    Q_OBJECT
public:
    explicit TFormShortDate(QWidget *owner = nullptr);

    const Arh_Range *Range = nullptr;   // in: the archive's available period
    uint8_t Kind = 0;                   // in: 0 hourly, 1 daily, 3 minutes
    uint8_t Ok = 0;                     // out: 1 when accepted
    Date6 Start{};                      // out: Date4 / Date3 / year..minute, the rest zero
    Date6 End{};
    Date6 Contr_Now{};                  // the controller's clock at show

    Short_Panel Hour_Panel;
    Short_Panel Day_Panel;
    Short_Panel Min_Panel;
    // The panel of Kind, null for a kind without one.
    Short_Panel *Panel();

public slots:
    void FormShow();
    void Apply_Choice(int item);
    void Btn_Accept_Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Build_Panel(Short_Panel &p, uint8_t kind);
};
