#pragma once
// The record-index dialog of the readers that request by index: a first index and a count
// between the archive's oldest and newest records. The choice is kept in Rd_Arh_Rec.
#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;

class TFormIndex : public QDialog {
    Q_OBJECT
public:
    explicit TFormIndex(QWidget *owner = nullptr);

    uint8_t Kind = 0;        // in: 0 diagnostic, 1 operator intervention, 5 calibration (caption)
    uint32_t Oldest = 0;     // in: index of the oldest record
    uint32_t Newest = 0;     // in: index of the newest record
    uint32_t First = 0;      // out: first index to read
    uint32_t Count = 0;      // out: records to read
    uint8_t Ok = 0;          // out: 1 when accepted

    QLabel *Oldest_Text = nullptr;      // "Индекс самой старой записи"
    QLabel *Newest_Text = nullptr;      // "Индекс самой новой записи"
    QLineEdit *Start_Edit = nullptr;    // "Индекс записи начала чтения"
    QLineEdit *Count_Edit = nullptr;    // "Количество записей для чтения"
    QButtonGroup *Choice = nullptr;     // ids 0..4
    QRadioButton *Choice_Btn[5] = {};
    QPushButton *Btn_Accept = nullptr;  // "Принять"
    QPushButton *Btn_Exit = nullptr;    // "Выход"

public slots:
    void FormShow();
    void Apply_Choice(int choice);
    void Btn_Accept_Click();

protected:
    void showEvent(QShowEvent *e) override;
};
