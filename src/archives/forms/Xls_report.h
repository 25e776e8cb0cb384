#pragma once
// The passport export: a small "Ожидайте..." window whose timer, once the window is painted,
// fills the template with the gathered records and saves the report under "REPORT".
#include "archives/Xls_report.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;

class TFormXls_Report : public QDialog {
    Q_OBJECT
public:
    explicit TFormXls_Report(QWidget *owner = nullptr);

    const Passport_Data *Data = nullptr;   // in: what the passport command gathered
    QString Saved;                         // out: the report written (empty when none)

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer Timer1;

public slots:
    // The export, run once.
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *e) override;
};
