#pragma once
// The link forms of the controller's tables 3, 14, 9, 15 and 29, the commands of the
// "Параметры связи" menu and "MAC-адрес контроллера".
//
// The forms of tables 3, 14, 9 and 15 are field lists (Field_List.h) each driven by its
// description; the Ethernet form shows its addresses as four octets in a row.
#include "params/Links.h"
#include "params/forms/Field_List.h"
#include "params/forms/Mac_Adr.h"

#include <QByteArray>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class TFormMain;

// Table 3.
class TFormConVU : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormConVU(QWidget *owner = nullptr);
    uint8_t Conn_Prz = 0;      // the program's current link (0 direct)
    uint8_t Multi_Rate = 0;    // table 0 field 11: the controller works at different rates
protected:
    void Load_Extra() override;
};

// Table 14.
class TFormConHGC : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormConHGC(QWidget *owner = nullptr);
    uint8_t *Chr_Tab = nullptr;        // table 1: 20 Chr_Par records
    int Vich_Count = 0;                // connected flow computers (0: none)
    const uint8_t *Vich_Adr = nullptr; // their addresses
    QGroupBox *GBTemp = nullptr;       // " Для чтения Т газа "
    QPushButton *BitBtnParList = nullptr;
    void Par_List_Click();
protected:
    void Load_Extra() override;
    void Store_Extra() override;
};

// Table 9.
class TFormConVich : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormConVich(QWidget *owner = nullptr);
};

// Table 15.
class TFormConWMT : public TFormField_List {
    Q_OBJECT
public:
    explicit TFormConWMT(QWidget *owner = nullptr);
};

// Table 29: addresses of four octets and four 32-bit ports.
class TFormConEth : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormConEth(QWidget *owner = nullptr);
    QLineEdit *Edit(const QString &name) const;   // ip1..4, im1..4, is1..4, e1..4
protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
private:
    uint8_t Work[ETH_LEN] = {};
};

// The commands.
void NConVUClick(TFormMain *m);
void NConHGCClick(TFormMain *m);
void NVrgConnClick(TFormMain *m);
void NConnWMTClick(TFormMain *m);
void N_EthernetClick(TFormMain *m);
void NMac_AdrClick(TFormMain *m);

// Raising the number of flow computers in "С вычислителем расхода газа" goes on, after "Да",
// through the flow-computer list: the handler of that list sets this hook. It gets the bytes
// of table 9 as read (the image holds the new count) and carries out the reads, the list and
// the writes. Without it nothing is written.
extern std::function<void(TFormMain *m, const QByteArray &old_tab9)> Vrg_Count_Raised;

// Attaches the commands above to their menu items.
void Install_Link_Commands(TFormMain *m);
