#pragma once
// The user login: identification code (4) and write password (12) that accompany every write.
#include <QDialog>

class QLineEdit;
class QPushButton;
class hgcbox;

class TFormShortUsPass : public QDialog {
    Q_OBJECT
public:
    explicit TFormShortUsPass(QWidget *owner = nullptr);
    char Password[12];
    char Ident_Code[4];
    uint8_t Accepted = 0;
    QLineEdit *Edit4 = nullptr;   // identification code
    QLineEdit *Edit1 = nullptr;   // write password
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

public slots:
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *e) override;
};

// Asks for the pair and stores it in the exchange object; cancel keeps the previous pair.
void User_Ident(QWidget *owner, hgcbox *box);
