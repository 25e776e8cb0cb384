#pragma once
// The chromatograph's parameter list (table 1) as the chromatograph link form hands it over,
// and the dialog of one parameter.
#include "params/Chr_Par.h"
#include "params/forms/Param_Dialog.h"

#include <QList>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QTableWidget;

// One Chr_Par record; Tab_Data points to the caller's 64 bytes. The name cannot be edited
// here and its bytes are kept as they are, however long the name is.
class TForm_Chr_Par : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TForm_Chr_Par(QWidget *owner = nullptr);

    Chr_Par Work{};   // working copy

    QLineEdit *Edit_Name = nullptr;
    QLineEdit *Edit_Symbol = nullptr;
    QComboBox *CB_Type = nullptr;
    QComboBox *CB_Unit = nullptr;
    QLineEdit *Edit_Reg = nullptr;
    QComboBox *CB_Dec = nullptr;
    QLineEdit *Edit_Min = nullptr;
    QLineEdit *Edit_Max = nullptr;

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;

private:
    void Range_Left(QLineEdit *edit, bool is_max);
    void Show_Range();
    void Fit_Fields();
    QString Min_Shown, Max_Shown;   // range texts as the dialog last wrote them
    QList<QGridLayout *> Grids;     // the rows and the range group
};

// The list of the measured parameters: Tab_Data points to the caller's Chr_Par_List.
// "Принять" copies the working copy back only when something changed; Accepted tells.
class TFormChrPar_List : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormChrPar_List(QWidget *owner = nullptr);

    Chr_Par_List Work{};
    int Sel_Row = 0;   // selected record

    QLabel *LCount = nullptr;
    QTableWidget *Grid = nullptr;
    QPushButton *BitBtnEdit = nullptr;   // "Изменить"

    // Records shown (the list's count, at most 20).
    int Count() const { return Limit_Gas_Count(Work.count); }
    void Edit_Click();

protected:
    void Load() override;
    bool Store() override;

private:
    void Show_Row(int i);
    void Fit_Width();
};
