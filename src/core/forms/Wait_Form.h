#pragma once
// The "Ожидайте..." form shown during long exchanges, with a progress bar.
#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;

// Modeless, without system menu, buttons or close box, and not closed by Esc: the readers
// catch Esc themselves (it raises Exch_Abort) and the caller destroys the form when the work
// ends. Window managers keep their buttons on any window they decorate, so the form has no
// window-manager frame and draws its own border and caption. It is a window of its own
// rather than a child of the main window, because the main window is disabled while the
// work runs and would disable its children with it; the owner's window is its transient
// parent (the form stays above it and has no taskbar entry of its own), places it and
// takes it away when the owner goes.
class TFormWait : public QWidget {
    Q_OBJECT
public:
    explicit TFormWait(QWidget *owner = nullptr);

    uint8_t Wait_Mode = 0;   // texts shown, 0..5; other values keep the design texts

    // Sets the texts of Wait_Mode (also done when the form is shown).
    void Apply_Mode();

    QLabel *Caption;   // the "..." caption strip
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QProgressBar *ProgressBar1;

protected:
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    QPointer<QWidget> owner_;
};
