#pragma once
// The "Ожидайте..." form shown during long exchanges, with a progress bar.
#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;

// Modeless, without a close box, and not closed by Esc: the readers catch Esc themselves
// (it raises Exch_Abort) and the caller destroys the form when the work ends. It is a
// window of its own rather than a child of the main window, because the main window is
// disabled while the work runs and would disable its children with it; the owner only
// places it and takes it away when the owner goes.
class TFormWait : public QWidget {
    Q_OBJECT
public:
    explicit TFormWait(QWidget *owner = nullptr);

    uint8_t Wait_Mode = 0;   // texts shown, 0..5; other values keep the design texts

    // Sets the texts of Wait_Mode (also done when the form is shown).
    void Apply_Mode();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QProgressBar *ProgressBar1;

protected:
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    QPointer<QWidget> owner_;
};
