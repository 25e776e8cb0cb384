#pragma once
// The link parameters dialog: serial port, rate, waits, preambles and attempts of the
// current link type (direct line, telephone, Ethernet), the modem command line and the
// connection wait; on the direct line also the search of the controller's address.
// It edits a copy of the settings block and writes it back only when every check passes.
#include "core/Rd_wr_ini.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class hgcbox;

class TFormConn_Par : public QDialog {
    Q_OBJECT
public:
    // settings: the block edited (the program's Conn_Settings); box: the exchange object
    // the address search uses (the program's Exch_Box).
    explicit TFormConn_Par(QWidget *owner = nullptr, Conn_Settings_Rec *settings = nullptr,
                           hgcbox *box = nullptr);

    uint8_t Accepted = 0;   // 1 after "Принять" or a successful address search

    // Fills the controls for the current link type; runs when the dialog is shown.
    void FormShow();
    // "Принять" and "Поиск адреса устройства".
    void BitBtn1Click();
    void BitBtn4Click();
    void CheckBox1Click();

    QFrame *pn_dir = nullptr, *pn_fon = nullptr, *pn_ethr = nullptr;
    QComboBox *ComboBox1 = nullptr;   // port (editable: a device path may be typed)
    QComboBox *ComboBox2 = nullptr;   // rate
    QComboBox *ComboBox3 = nullptr;   // attempts, direct and telephone
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;   // waits, preambles
    QCheckBox *CheckBox1 = nullptr;   // release the port after every exchange
    QLineEdit *Edit13 = nullptr;      // free-port wait
    QLineEdit *Edit5 = nullptr;       // modem command line
    QLineEdit *Edit6 = nullptr, *Edit10 = nullptr;    // telephone connection wait, attempts
    QLineEdit *Edit4 = nullptr, *Edit12 = nullptr;    // Ethernet connection wait, attempts
    QLineEdit *Edit7 = nullptr, *Edit9 = nullptr, *Edit8 = nullptr;   // Ethernet waits, preambles
    QComboBox *ComboBox6 = nullptr;   // Ethernet attempts
    QPushButton *BitBtn1 = nullptr, *BitBtn4 = nullptr, *BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool Check_And_Store(bool search);
    void Search_Address();
    bool Range_Error(const QString &name);
    bool Incomplete();

    Conn_Settings_Rec *Settings;
    hgcbox *Box;
    Conn_Settings_Rec Work {};   // the copy being edited
    Link_Par Lp {};              // the working link parameters of the current link type
    QString Work_Port_Name;      // device chosen for the link (empty: "COM%d" of COMPort)
    int Prz = 0;
};

// Shows the dialog for the current link type; true when it was accepted.
bool Show_Conn_Par(QWidget *owner);
