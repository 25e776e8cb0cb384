#pragma once
// The measured objects: the list " Список объектов" (change, add, delete, sorted by name) and
// the one-name form " Параметры объекта". The list form reads "objects.ini" again at show and
// edits Obj_List itself; the copy taken then puts it back when the form is left without
// "Принять", which writes the changes into "objects.ini" as it is then.
#include "core/Rd_wr_ini.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableWidget;

class TFormObject : public QDialog {
    Q_OBJECT
public:
    explicit TFormObject(QWidget *owner = nullptr);

    char *Obj_Name = nullptr;   // the 51-byte slot edited in place
    uint8_t Obj_Mode = 0;       // 1 edit, 0 new
    uint8_t Accepted = 0;

    void Form_Show();

    QLineEdit *Edit1 = nullptr;
    QPushButton *BitBtn4 = nullptr;   // "Принять"
    QPushButton *BitBtn5 = nullptr;   // "Отменить"

public slots:
    void BitBtn4Click();

protected:
    void showEvent(QShowEvent *e) override;
};

class TFormObjects_List : public QDialog {
    Q_OBJECT
public:
    explicit TFormObjects_List(QWidget *owner = nullptr);

    Obj_List_Rec Copy{};
    uint8_t Changed = 0;

    // Takes the copy and fills the grid (run at every show).
    void Form_Show();
    void Fill_Objects_Grid();

    QTableWidget *StringGrid1 = nullptr;
    QPushButton *BitBtn1 = nullptr;   // "Изменить"
    QPushButton *BitBtn2 = nullptr;   // "Добавить"
    QPushButton *BitBtn3 = nullptr;   // "Удалить"
    QPushButton *BitBtn4 = nullptr;   // "Принять"
    QPushButton *BitBtn5 = nullptr;   // "Отменить"

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Row_Click(int row);
    void Row_Double_Click(int row);
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool Filling = false;
};
