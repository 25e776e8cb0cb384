#pragma once
// " Параметры отчёта": the measured object and the day (daily passport) or month (monthly
// passport) inside the daily archive's period; and the two passport commands of the
// "Отчеты" menu.
#include "archives/Excrep_date.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TFormMain;

class TFormExcRep_Date : public QDialog {
    Q_OBJECT
public:
    explicit TFormExcRep_Date(QWidget *owner = nullptr);

    const Arh_Range *Range = nullptr;   // in: the daily archive's period
    uint8_t Passport_Kind = 0;          // in: 0 day, 1 month
    uint8_t Ok = 0;                     // out: 1 when accepted
    uint8_t Rep_Date[5] = {};           // out: yy, mm, dd, hh, mi

    void FormShow();
    // Refills the object list and selects the current object.
    void Fill_Objects();

    QSpinBox *UpDown1 = nullptr;        // yy
    QLabel *Panel3 = nullptr;           // 2000 + yy
    QComboBox *ComboBox2 = nullptr;     // month
    QLabel *Label_Day = nullptr;
    QComboBox *ComboBox3 = nullptr;     // day
    QComboBox *ComboBox1 = nullptr;     // measured object
    QPushButton *BitBtn1 = nullptr;     // the objects list
    QPushButton *BitBtn5 = nullptr;     // "Принять"
    QPushButton *BitBtn6 = nullptr;     // "Отменить"
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;

public slots:
    void Year_Change(int yy);
    void Month_Change(int index);
    void Day_Change(int index);
    void Object_Change(int index);
    void BitBtn1Click();
    void BitBtn5Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Fill_Days();
    bool Filling = false;
};

// A passport command with the window side: gathering, then the export form.
void Run_Passport(TFormMain *main, uint8_t kind);
// "NExcDay" and "NExcMon".
void Install_Passport_Commands(TFormMain *main);
