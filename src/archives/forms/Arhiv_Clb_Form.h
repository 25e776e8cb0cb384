#pragma once
// Viewer of the chromatograph's calibration archive: a header and the raw records, read
// from the controller or from a saved ".clb" file alike. No status details, no means.
#include "archives/forms/Arh_Rec_Model.h"
#include "archives/Arhiv_Clb.h"

#include <QByteArray>
#include <QDialog>
#include <optional>
#include <vector>

class QPushButton;
class QTableView;

// Columns: date, time, number, result, the parameters; rows: the records.
class Clb_Model : public Arh_Rec_Model<Clb_Rec> {
    Q_OBJECT
public:
    Clb_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent = nullptr);

protected:
    QString Cell(const Clb_Rec &r, bool valid, int col) const override;
    QString Heading(int section, int line) const override;
};

class TFormArhiv_Clb : public QDialog {
    Q_OBJECT
public:
    TFormArhiv_Clb(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs);

    Clb_Model *Grid_Model() const { return Model; }

    // "Сохранить в файле": the header and the records as a ".clb" file.
    void Save_File();
    // "Сохранить в формате Excel".
    void Export();

    QTableView *StringGrid1 = nullptr;
    QPushButton *BitBtn5 = nullptr;   // "Сохранить в формате Excel"
    QPushButton *BitBtn2 = nullptr;   // "Сохранить в файле"
    QPushButton *BitBtn1 = nullptr;   // "Выход"

private:
    Arhiv_Header Header;
    QByteArray Recs;
    Clb_Model *Model = nullptr;
};

// Shows a calibration archive modally (through Run_Dialog) over owner.
void Show_Arhiv_Clb(QWidget *owner, const Arhiv_Header &h, const QByteArray &records);
