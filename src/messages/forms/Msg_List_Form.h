#pragma once
// The list form shared by the two message logs: a grid of text rows (column 0 a narrow
// margin, columns 1..7 the seven texts of a row), the CRC note, "Выход", "Сохранить в
// файле" and "Печать". What differs between the logs (slots, titles, widths, file kind,
// report kind) is its description; the decoding of raw records is done by the log's form
// before the rows are given to it.
#include "archives/Arhiv.h"
#include "messages/Msg_Rows.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

struct Msg_List_Descr {
    Arh_File_Kind file_kind;              // saved as (.ala, .aud)
    Msg_Slots widths;                     // bytes of each text slot
    std::array<const char *, MSG_COLS> titles;   // column titles, lines split by '\n'
    std::array<int, MSG_COLS + 1> col_px;        // column widths in pixels, margin first
    uint8_t report_kind;                  // of the printed list
};

// Rows of 7 texts behind the grid: column 0 is empty, 1..7 the slots of each row.
class Msg_Rows_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Msg_Rows_Model(const Msg_List_Descr &d, const QByteArray &rows, int count, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    // The seven texts of a row (empty outside the list).
    Msg_Texts Texts(int row) const;

private:
    const Msg_List_Descr &Descr;
    QByteArray Rows;
    int Count;
    int Row_Size;
};

class TFormMsg_List : public QDialog {
    Q_OBJECT
public:
    // rows: count text rows of the description's layout (fewer bytes: the rest shown empty).
    TFormMsg_List(QWidget *owner, const Msg_List_Descr &d, const Arhiv_Header &h, const QByteArray &rows,
                  const QString &caption);

    const Arhiv_Header &List_Header() const { return Header; }
    const QByteArray &Text_Rows() const { return Rows; }
    Msg_Rows_Model *Grid_Model() const { return Model; }

    // Shows the CRC note in the status panel (once a record failed its check).
    void Show_Bad_Crc_Note();
    // "Сохранить в файле": the header and the text rows.
    void Save_File();
    // "Печать": the heading dialog and the printed list of the rows as shown.
    void Print_List();

    QTableView *StringGrid1 = nullptr;
    QLabel *Panel9 = nullptr;
    QPushButton *BitBtn1 = nullptr;   // "Выход"
    QPushButton *BitBtn2 = nullptr;   // "Сохранить в файле"
    QPushButton *BitBtn3 = nullptr;   // "Печать"

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Fit_Height();
    int Grid_Height(int rows) const;   // header, rows and frame

    const Msg_List_Descr &Descr;
    Arhiv_Header Header;
    QByteArray Rows;
    Msg_Rows_Model *Model = nullptr;
    QVBoxLayout *Around_Grid = nullptr;
    bool Shown = false;
};
