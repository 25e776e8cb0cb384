#pragma once
// " Данные для печати": before a report is printed the user sees what it is about and types
// the organisation name that heads it; the name is kept between runs in "title.ini".
#include "archives/Arhiv.h"
#include "messages/Repklass.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

class TFormQues_Prn : public QDialog {
    Q_OBJECT
public:
    explicit TFormQues_Prn(QWidget *owner = nullptr);

    const Arhiv_Header *Header = nullptr;   // in: the list to be printed
    uint8_t Report_Kind = 0;                // in: 3, 4, 6, 7 or 8
    uint8_t Ok = 0;                         // out: 1 when closed by "Печатать"
    char Heading[REP_HEADING_SIZE] = {};    // out: the organisation name, 1251, zero-padded

    QLabel *Label1;            // the three lines describing the report
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Edit1;          // "Наименование организации"
    QPushButton *BitBtn1;      // "Печатать"
    QPushButton *BitBtn2;      // "Отменить"

public slots:
    void FormShow();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *e) override;
};
