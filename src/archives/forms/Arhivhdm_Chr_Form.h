#pragma once
// Viewer of the chromatograph's hourly or daily archive: a header and the raw records,
// read from the controller or from a saved ".hch"/".dch" file alike. The grid's model
// formats each cell when the view asks for it.
#include "archives/forms/Arh_Rec_Model.h"
#include "archives/Arhivhdm_Chr.h"

#include <QByteArray>
#include <QDialog>
#include <optional>

class QPushButton;
class QTableView;

// Columns: date, start, end, valid count, the parameters; rows: the records. The two
// heading lines of a column are its header text.
class Hdm_Chr_Model : public Arh_Rec_Model<Chr_HD_Rec> {
    Q_OBJECT
public:
    Hdm_Chr_Model(const Arhiv_Header &h, const QByteArray &recs, uint8_t kind, QObject *parent = nullptr);

protected:
    QString Cell(const Chr_HD_Rec &r, bool valid, int col) const override;
    QString Heading(int section, int line) const override;

private:
    uint8_t Kind;
};

class TFormArhivHDM_Chr : public QDialog {
    Q_OBJECT
public:
    // kind: HDM_KIND_HOUR or HDM_KIND_DAY.
    TFormArhivHDM_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs, uint8_t kind);

    uint8_t Kind() const { return Kind_; }
    const std::array<float, ARH_PAR_MAX> &Avg() const { return Model->Summary().avg; }
    Hdm_Chr_Model *Grid_Model() const { return Model; }

    // Status details of the selected record ("Признаки состояния").
    void Show_Status_Details();
    // "Сохранить в файле": the header and the records as a ".hch" or ".dch" file.
    void Save_File();
    // "Сохранить в формате Excel".
    void Export();

    QTableView *StringGrid1 = nullptr;
    QPushButton *BitBtn4 = nullptr;   // "Признаки состояния"
    QPushButton *BitBtn5 = nullptr;   // "Сохранить в формате Excel"
    QPushButton *BitBtn2 = nullptr;   // "Сохранить в файле"
    QPushButton *BitBtn1 = nullptr;   // "Выход"

private:
    Arhiv_Header Header;
    QByteArray Recs;
    uint8_t Kind_;
    Hdm_Chr_Model *Model = nullptr;
};

// Shows an hourly (kind 0) or daily (kind 1) archive modally (through Run_Dialog) over owner.
void Show_Arhiv_HDM_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &records, uint8_t kind);
