#pragma once
// "Параметры вычислителей расхода газа": the flow computers in a grid, with "Изменить",
// "Добавить" and "Удалить"; and the commands that read them from the controller and write
// back what the list changed.
#include "params/Floulist.h"
#include "params/forms/Param_Dialog.h"

#include <QByteArray>

class QTableWidget;
class TFormMain;

// Tab_Data: the caller's 16 Flou_Rec records (320 bytes); they change only at the accept.
class TFormFlouList : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormFlouList(QWidget *owner = nullptr);

    uint8_t Count = 0;         // records in use, 0..16
    uint8_t Chrom_Lines = 0;   // table 14 field 7
    uint8_t New_Count = 0;     // out: records accepted
    uint8_t Pass_Changed[MAX_FLOU] = {};   // out: passwords to write

    QTableWidget *Grid = nullptr;
    QPushButton *BtnChange = nullptr;   // "Изменить"
    QPushButton *BtnAdd = nullptr;      // "Добавить"
    QPushButton *BtnDelete = nullptr;   // "Удалить"

    int Rows() const { return N; }
    const Flou_Rec &Record(int i) const { return Work[i]; }

    void Change_Click();
    void Add_Click();
    void Delete_Click();

private:
    Flou_Rec Work[MAX_FLOU] = {};
    uint8_t Sou_Flag[MAX_FLOU] = {};
    int N = 0;

    void Draw_Row(int i);
    void Draw_All();
    void Fit_Rows();
    void Enable_Buttons();
    bool Edit(int i, bool *pass_changed);

protected:
    void Load() override;
    bool Check() override;
    bool Store() override;
};

// "Параметры вычислителей": tables 9 (count), 17..20 read, the list, the changes written.
void NCurrVichClick(TFormMain *m);

// The flow-computer link command after "Да" to a raised count (`Vrg_Count_Raised`): the image's
// table 9 holds the new count, `old9` its 6 bytes as read. Reads the flow computers for the new
// count, runs the list and writes table 9, tables 17..20 and the changed passwords. A failed
// read or a cancelled list writes nothing and puts table 9 of the image back as read.
void Vrg_Count_Raised_Write(TFormMain *m, const QByteArray &old9);
