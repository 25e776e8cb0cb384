#pragma once
// Viewer of the chromatograph's measurement archive: a header and the raw records, read
// from the controller or from a saved ".mch" file alike. The grid's model formats each
// cell when the view asks for it, so a long list opens at once.
#include "archives/forms/Arh_Rec_Model.h"
#include "archives/Arhmeas_Chr.h"

#include <QByteArray>
#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QTableView;

// Columns: date, time, the parameters; rows: the records. The two heading lines of a
// column (symbol, unit) are its header text.
class Meas_Chr_Model : public Arh_Rec_Model<Chr_Meas_Rec> {
    Q_OBJECT
public:
    Meas_Chr_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent = nullptr);

protected:
    QString Cell(const Chr_Meas_Rec &r, bool valid, int col) const override;
    QString Heading(int section, int line) const override;
};

class TFormArhMeas_Chr : public QDialog {
    Q_OBJECT
public:
    TFormArhMeas_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs);

    // Per-parameter means of the list (read by the spreadsheet export).
    const std::array<float, ARH_PAR_MAX> &Avg() const { return Model->Summary().avg; }
    Meas_Chr_Model *Grid_Model() const { return Model; }

    // Status details of the selected record ("Признаки состояния", double click).
    void Show_Status_Details();
    // "Сохранить в файле": the header and the records as a ".mch" file.
    void Save_File();

    QTableView *StringGrid1 = nullptr;
    QLabel *Panel28 = nullptr;
    QPushButton *BitBtn4 = nullptr;   // "Признаки состояния"
    QPushButton *BitBtn5 = nullptr;   // "Сохранить в формате Excel" (not offered here)
    QPushButton *BitBtn2 = nullptr;   // "Сохранить в файле"
    QPushButton *BitBtn1 = nullptr;   // "Выход"

private:
    void Fit_Grid_Form();

    Arhiv_Header Header;
    QByteArray Recs;
    Meas_Chr_Model *Model = nullptr;
};

// Shows a measurement archive modally (through Run_Dialog) over owner.
void Show_Arh_Meas_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &records);
