#pragma once
// "Параметры вычислителя расхода газа № %d": one flow computer's address, type, byte order,
// pipelines to write and write password. Tab_Data points to the caller's 20-byte Flou_Rec;
// it changes only at the accept.
#include "params/Floulist.h"
#include "params/forms/Param_Dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class TFormFlouPar : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormFlouPar(QWidget *owner = nullptr);

    int Number = 1;                // for the caption, from 1
    uint8_t *Sou_Flag = nullptr;   // the record's "SOU" flag, kept by the list
    uint8_t Chrom_Lines = 0;       // bit 0: chromatograph line 1 in use; bit 1: line 2
    uint8_t Pass_Changed = 0;      // out: the 16 password bytes differ from the caller's

    QComboBox *CBAdr = nullptr;      // "1".."254", typed
    QComboBox *CBType = nullptr;
    QComboBox *CBOrder = nullptr;
    QCheckBox *CBSou = nullptr;      // "SOU"
    QLineEdit *EPass16 = nullptr;    // without "SOU"
    QLineEdit *EPass12 = nullptr;    // with "SOU"
    QLineEdit *ECode = nullptr;      // with "SOU"
    QGroupBox *Gb[FLOU_PIPES] = {};
    QCheckBox *Cb[FLOU_PIPES] = {};
    QRadioButton *Rb[FLOU_PIPES][2] = {};   // "Нитка 1 хром.", "Нитка 2 хром."

    const Flou_Rec &Working() const { return Work; }

private:
    Flou_Rec Work{};
    QWidget *Panel16 = nullptr;
    QWidget *PanelSou = nullptr;
    bool Sou_Shown = false;
    bool Panel_Loaded = false;   // the edits show the working bytes

    void Show_Pass_Panel(bool sou);
    void Take_Pass_Edits();
    void Type_Changed();
    void Box_Changed(int n);
    void Clear_Pair(int n);

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
};
