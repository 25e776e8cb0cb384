#pragma once
// The telephone or Ethernet subscriber list (after the current link type): a grid sorted by
// name or by telephone number / IP address, with add, edit and delete. The list is read from
// its file again at every show; all editing works on a copy; "Принять" puts the copy into the
// settings block, the caller writes the file (over the file as it is then).
#include "core/Rd_wr_ini.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

class TFormAbonents_List : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbonents_List(QWidget *owner = nullptr);

    uint8_t Changed = 0;
    bool Ethernet = false;          // from the link type at show
    Fon_Abonents_List Fon_Copy{};
    Ethr_Abonents_List Ethr_Copy{};

    // Takes the copy of the current list and fills the grid (run at every show).
    void Form_Show();
    // Sorts the copy (more than one entry) and shows it.
    void Fill_Grid();
    Abonent_Hdr &Hdr() { return Ethernet ? Ethr_Copy.hdr : Fon_Copy.hdr; }

    QTableWidget *StringGrid1 = nullptr;
    QPushButton *SpeedButton1 = nullptr;  // heading "Наименование": sort by name
    QPushButton *SpeedButton2 = nullptr;  // heading "№ телефона" / "IP-адрес:порт"
    QPushButton *BitBtn1 = nullptr;       // "Изменить"
    QPushButton *BitBtn2 = nullptr;       // "Добавить"
    QPushButton *BitBtn3 = nullptr;       // "Удалить"
    QPushButton *BitBtn4 = nullptr;       // "Принять"
    QPushButton *BitBtn5 = nullptr;       // "Отменить"

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Sort_Click(int key);
    void Row_Click(int row);
    void Row_Double_Click(int row);

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool Filling = false;
};
