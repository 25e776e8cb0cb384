#pragma once
// Status details of one chromatograph archive record: the controller status byte and,
// for measurement records, the chromatograph's status word, one line per set bit.
// The caller sets Kind, Ctrl_Status and Chrom_Status and the caption, then runs it
// through Run_Dialog; the lines are laid out when the window is shown.
#include <QDialog>
#include <QList>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;

class TFormChromError : public QDialog {
    Q_OBJECT
public:
    explicit TFormChromError(QWidget *owner);

    uint8_t Kind = 0;                  // 0 measurement record, 1 hourly or daily record
    uint8_t Chrom_Status[2] = {0, 0};  // low byte first; measurement records only
    uint8_t Ctrl_Status = 0;

    // Lays out the headings and lines for the fields above (done again at every show).
    void Form_Show();

    // Texts of the visible line labels, in order (for the tests and the export of a form).
    QStringList Ctrl_Lines() const;
    QStringList Chrom_Lines() const;

    QLabel *Panel3 = nullptr;       // controller heading
    QFrame *pnstatus = nullptr;     // controller lines ls1.. (five, more when needed)
    QLabel *Panel2 = nullptr;       // chromatograph heading
    QFrame *pnsit = nullptr;        // chromatograph lines lh1..lh16
    QPushButton *BitBtn2 = nullptr; // "Выход"

protected:
    void showEvent(QShowEvent *e) override;

private:
    QList<QLabel *> Ls;
    QList<QLabel *> Lh;
};
