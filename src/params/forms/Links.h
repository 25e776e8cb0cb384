#pragma once
// The link forms of the controller's tables 3, 14, 9, 15 and 29, the commands of the
// "Параметры связи" menu and "MAC-адрес контроллера".
//
// The four forms of lists and edits over one-byte fields are one class driven by a
// description: each control names its field, its items and the value of each item; the
// range checks come in the order the messages are given. A control that is disabled is
// neither checked nor stored; fields no control shows are written as the description fixes
// them, the others keep their bytes.
#include "params/Links.h"
#include "params/forms/Param_Dialog.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class TFormMain;

struct Link_Control {
    enum Kind : uint8_t {
        List,    // fixed drop-down list: items with their values
        Typed,   // editable list of numbers: the typed number is the value
        Edit,    // edit of digits
    };
    Kind kind = List;
    const char *name = "";      // object name of the control
    QStringList captions;       // label lines in front of it
    int field = 0;
    QStringList items;
    QList<int> values;          // value of each item (List)
    int max_len = 0;            // Edit: digits
    QString hint;               // beside the control
    QString group;              // title of the group box it sits in, or none
};

struct Link_Check {
    const char *name;           // control
    int lo, hi;
    QString line1, line2;
};

struct Link_Form_Descr {
    QString caption;
    int fields = 0;                   // one byte each
    QList<Link_Control> controls;
    QList<Link_Check> checks;         // after the completeness check, in this order
    QList<QPair<int, int>> fixed;     // field, value written on every accept
};

// Lists of numbers lo..hi (values equal to the numbers) and of the 22 rates (values 0..21).
Link_Control Num_List(const char *name, QStringList captions, int field, int lo, int hi,
                      Link_Control::Kind kind = Link_Control::List);
Link_Control Rate_List(const char *name, int field);

class TLink_Form : public TParam_Dialog {
    Q_OBJECT
public:
    TLink_Form(QWidget *owner, Link_Form_Descr descr);

    QComboBox *Combo(const char *name) const;
    QLineEdit *Edit(const char *name) const;

    const Link_Form_Descr Descr;
    QByteArray Work;   // the table as it will be stored, built by the checks

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;

    // Hooks of the forms with more than lists and edits: lists that depend on the caller's
    // inputs are filled before the values are shown; the rest follows them.
    virtual void Fill_Lists() {}
    virtual void Load_Extra() {}
    virtual bool Complete_Extra() { return true; }
    virtual void Store_Extra() {}

    QGridLayout *Grid = nullptr;
    int Next_Row = 0;
    QHash<QString, QWidget *> Controls;
    QHash<QString, QGroupBox *> Groups;

private:
    void Add_Control(const Link_Control &c);
    bool Is_Active(const Link_Control &c) const;
    bool Value_Of(const Link_Control &c, int &v) const;
};

// Table 3.
class TFormConVU : public TLink_Form {
    Q_OBJECT
public:
    explicit TFormConVU(QWidget *owner = nullptr);
    uint8_t Conn_Prz = 0;      // the program's current link (0 direct)
    uint8_t Multi_Rate = 0;    // table 0 field 11: the controller works at different rates
protected:
    void Load_Extra() override;
};

// Table 14.
class TFormConHGC : public TLink_Form {
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
    void Fill_Lists() override;
    void Load_Extra() override;
    void Store_Extra() override;
};

// Table 9.
class TFormConVich : public TLink_Form {
    Q_OBJECT
public:
    explicit TFormConVich(QWidget *owner = nullptr);
    QRadioButton *Radio(int k) const;   // rb1..rb3
protected:
    void Load_Extra() override;
    bool Complete_Extra() override;
    void Store_Extra() override;
};

// Table 15.
class TFormConWMT : public TLink_Form {
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

// Table 40, shown only.
class TFormMac_Adr : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormMac_Adr(QWidget *owner = nullptr);
    QLabel *PMac = nullptr;
protected:
    void Load() override;
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
