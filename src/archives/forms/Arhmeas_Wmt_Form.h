#pragma once
// Viewers of the moisture meter's archives: momentary values (".mwm") here, hourly and daily
// lists (".hwm", ".dwm") in Arhivhd_Wmt_Form.h. Both are one form driven by the list's kind:
// a header and the raw records, read from the controller or from a saved file alike, a grid
// whose model formats each cell when the view asks for it, "Печать", "Сохранить в файле"
// and "Выход".
#include "archives/Arhivhd_Wmt.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDialog>
#include <vector>

class QPushButton;
class QTableView;

// Eight columns, one row per record; the four heading lines of a column are its header text.
// kind: WMT_KIND_MOM (29-byte records), WMT_KIND_HOUR or WMT_KIND_DAY (28-byte records).
class Wmt_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Wmt_Model(const Arhiv_Header &h, const QByteArray &recs, uint8_t kind, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    QStringList Heading(int col) const;
    bool Row_Valid(int row) const;
    uint8_t Kind() const { return Kind_; }

private:
    Arhiv_Header Header;
    QByteArray Recs;
    uint8_t Kind_;
    int Rec_Size;
    int Rows;
    std::vector<uint8_t> Valid;   // CRC verdict of each shown record
};

class TFormArh_Wmt : public QDialog {
    Q_OBJECT
public:
    TFormArh_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs, uint8_t kind);

    uint8_t Kind() const { return Model->Kind(); }
    Wmt_Model *Grid_Model() const { return Model; }
    // The form's width: it may be narrowed, never widened.
    int Fixed_Width() const { return Form_Width; }

    // "Печать": the heading dialog, then the report in the modal preview.
    void Print();
    // "Сохранить в файле": the header and the records as a ".mwm", ".hwm" or ".dwm" file.
    void Save_File();

    QTableView *StringGrid1 = nullptr;
    QPushButton *BitBtn3 = nullptr;   // "Печать"
    QPushButton *BitBtn2 = nullptr;   // "Сохранить в файле"
    QPushButton *BitBtn1 = nullptr;   // "Выход"

private:
    void Fit_Form();

    Arhiv_Header Header;
    QByteArray Recs;
    Wmt_Model *Model = nullptr;
    int Form_Width = 0;
};

// The momentary-value viewer.
class TFormArhMeas_Wmt : public TFormArh_Wmt {
    Q_OBJECT
public:
    TFormArhMeas_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs);
};

// Shows a momentary-value list modally (through Run_Dialog) over owner.
void Show_Wmt_Meas(QWidget *owner, const Arhiv_Header &h, const QByteArray &records);
