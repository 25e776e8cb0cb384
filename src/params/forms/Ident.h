#pragma once
// "Параметры идентификации контроллера": table 0, shown only. On a configuration record
// (Dev_Write 0) only the type code and the software version mean anything.
#include "params/forms/Param_Dialog.h"

class QLabel;

class TFormIdent : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormIdent(QWidget *owner = nullptr);

    QLabel *LDestr = nullptr;    // destroyed table
    QLabel *LType = nullptr;
    QLabel *LHard = nullptr;
    QLabel *LSoft = nullptr;
    QLabel *LDate = nullptr;
    QLabel *LOrder = nullptr;
    QLabel *LRates = nullptr;
    QLabel *LAdr = nullptr;
    QLabel *LProt = nullptr;

protected:
    void Load() override;

private:
    QList<QWidget *> Config_Rows;   // the rows a configuration record leaves empty
};

class QLineEdit;

// "Наименования": the controller name and the name of chromatograph line 1 (table 5). The
// name of line 2 has no edit here: accepting leaves it empty (the controller is run with
// line 1 only: the chromatograph link always names one line in use).
class TFormContrName : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormContrName(QWidget *owner = nullptr);

    QLineEdit *Edit1 = nullptr;   // "Наименование контроллера"
    QLineEdit *Edit2 = nullptr;   // "Наименование нитки хроматографа"
    // The names end up in a controller that keeps them in code page 866: the edits take only
    // what 866 holds. Set by the caller before showing.
    bool Names_866 = false;

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;

private:
    QString Shown1, Shown2;   // the names as loaded
};
