#pragma once
// The connection dialog: link type, controller address or subscriber; on "Связаться" the
// link parameters go into the exchange object and the port or TCP connection is opened.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TStatusBar;
struct Conn_Status_Info;

class TFormConnect : public QDialog {
    Q_OBJECT
public:
    explicit TFormConnect(QWidget *owner = nullptr);

    // The main window's bars: link description, subscriber, dialling progress.
    TStatusBar *Status_Bar = nullptr;
    TStatusBar *Status_Bar2 = nullptr;
    TStatusBar *Status_Bar3 = nullptr;
    uint8_t Accepted = 0;

    QComboBox *ComboBox3 = nullptr;   // link type
    QComboBox *ComboBox1 = nullptr;   // controller address
    QWidget *pn_abon = nullptr;
    QComboBox *ComboBox2 = nullptr;   // subscriber
    QPushButton *BitBtn6 = nullptr;   // subscriber list
    QPushButton *BitBtn3 = nullptr;   // "Изменить параметры связи"
    QPushButton *BitBtn1 = nullptr;   // "Связаться"
    QPushButton *BitBtn2 = nullptr;   // "Выход"

public slots:
    void ComboBox3Change();
    void ComboBox2Change();
    void BitBtn6Click();
    void BitBtn3Click();
    void BitBtn1Click();

    // Ignored while the TCP connection is being made.
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Fill_Abonents();
    void Show_Status();
    void Select_Address(int adr);
    int Users_Num() const;
    bool Filling = false;
    bool Connecting = false;
};

// The link description of the current settings for the status bars.
Conn_Status_Info Current_Conn_Status();
// Writes it into the main bar and the subscriber bar (either may be null).
void Show_Conn_Status(TStatusBar *bar1, TStatusBar *bar2);
