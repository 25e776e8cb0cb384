#pragma once
// Viewer of the chromatograph's calibration archive: a header and the raw records, read
// from the controller or from a saved ".clb" file alike. No status details, no means.
#include "archives/Arhiv_Clb.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDialog>
#include <optional>
#include <vector>

class QPushButton;
class QTableView;

// Columns: date, time, number, result, the parameters; rows: the records.
class Clb_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Clb_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    std::optional<Clb_Rec> Record(int row) const;
    bool Row_Valid(int row) const;

private:
    Arhiv_Header Header;
    QByteArray Recs;
    std::vector<uint8_t> Valid;
    int Rows;
    int Cols;
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
