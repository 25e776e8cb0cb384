#pragma once
// "Состояние таблиц параметров конфигурации": which configuration tables the controller
// reports destroyed, and the user's choice: write the selected tables, write all of them, or
// reset the controller's non-volatile data. The form only records the choice in the caller's
// block (and carries out the reset); the caller writes.
#include "params/Tabinfo.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class TStatusBar;

class TFormTableInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFormTableInfo(QWidget *owner = nullptr);

    static constexpr int ROWS = 50;        // rows the form has
    static constexpr int ROWS_SHOWN = 27;  // rows that fit its scroll area

    Tab_State_Block *Tab_State = nullptr;  // the caller's block
    TStatusBar *Status_Bar = nullptr;      // the main status bar: link description after a reset
    uint8_t Result = 0;                    // 0 no choice, 1 selected tables, 2 all tables, 3 reset done

    struct Row {
        QLabel *name = nullptr;
        QLabel *state = nullptr;
        QCheckBox *cb = nullptr;
        int tab = -1;   // table number of the row (also the controls' "tag")
    };
    std::array<Row, ROWS> Rows;
    int Used = 0;            // rows filled
    int First_Destroyed = 0; // row number (1-based) of the first destroyed table, 0: none

    QScrollArea *ScrollBox = nullptr;
    QPushButton *BitBtnAll = nullptr;     // "Записать все таблицы"
    QPushButton *BitBtnSel = nullptr;     // "Записать избранные таблицы"
    QPushButton *BitBtnReset = nullptr;   // "Сбросить энергонезависимые данные"
    QPushButton *BitBtnExit = nullptr;    // "Выход"

    void BitBtnSelClick();
    void BitBtnAllClick();
    void BitBtnResetClick();

    // Ignored while the reset runs.
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Fill();
    void Place(int scroll_h, bool scroll_bar);
    bool Filled = false;
    int Name_W = 0;   // name column and form widths, from the names' texts
    int Form_W = 0;
    bool Resetting = false;
};
