#pragma once
// One subscriber of the telephone or Ethernet list, edited in place: name, controller
// address, and the telephone number or the IP address with its port. The record changes
// only when every check passes.
#include "core/Rd_wr_ini.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

class TFormAbonent : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbonent(QWidget *owner = nullptr);

    uint8_t Mode = 0;                  // 1 edit the record, 0 a new one (boxes start empty)
    Fon_Abonent *Fon_Rec = nullptr;    // telephone list
    Ethr_Abonent *Ethr_Rec = nullptr;  // Ethernet list
    uint8_t Accepted = 0;

    // The Ethernet record is edited when the current link type is Ethernet (or when it is
    // the only record given).
    bool Ethernet() const;
    // Fills the boxes from the record (run at every show).
    void Form_Show();

    QLineEdit *Edit1 = nullptr;      // name
    QComboBox *ComboBox1 = nullptr;  // controller address
    QWidget *pn_fon = nullptr;
    QLineEdit *Edit2 = nullptr;      // telephone number
    QWidget *pn_ethr = nullptr;
    QLineEdit *ip4 = nullptr, *ip3 = nullptr, *ip2 = nullptr, *ip1 = nullptr;
    QLineEdit *Edit11 = nullptr;     // port
    QPushButton *BitBtn4 = nullptr;  // "Принять"
    QPushButton *BitBtn5 = nullptr;  // "Отменить"

public slots:
    void BitBtn4Click();

protected:
    void showEvent(QShowEvent *e) override;
};
