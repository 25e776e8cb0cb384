#pragma once
// The grid model of an archive list of fixed-size records: rows and columns, each record
// taken from the raw bytes on demand with its CRC result, texts and headings from the list's
// own text functions. A long list opens at once; nothing is formatted before it is shown.
#include "archives/Arh_Records.h"
#include "archives/Arhiv.h"
#include "archives/Arhmeas_Chr.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>

template <class R>
class Arh_Rec_Model : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : Rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : Cols; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid()) return {};
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        const std::optional<R> r = Record(index.row());
        if (!r) return {};
        return Cell(*r, Row_Valid(index.row()), index.column());
    }

    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override
    {
        if (o != Qt::Horizontal) return {};
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (role != Qt::DisplayRole || section < 0 || section >= Cols) return {};
        return Heading(section, 0) + u'\n' + Heading(section, 1);
    }

    // The record of a row as stored, valid or not; nullopt outside the list.
    std::optional<R> Record(int row) const
    {
        if (row < 0 || row >= Rows) return std::nullopt;
        return Rec_At<R>(Recs, uint32_t(row));
    }
    bool Row_Valid(int row) const
    {
        return row >= 0 && size_t(row) < Sum.valid.size() && Sum.valid[size_t(row)];
    }
    const Meas_Summary &Summary() const { return Sum; }

protected:
    Arh_Rec_Model(const Arhiv_Header &h, const QByteArray &recs, Meas_Summary sum, uint32_t rows, int cols,
                  QObject *parent)
        : QAbstractTableModel(parent), Header(h), Recs(recs), Sum(std::move(sum)),
          Rows(int(std::min<uint32_t>(rows, uint32_t(INT32_MAX)))), Cols(cols)
    {
    }
    virtual QString Cell(const R &r, bool valid, int col) const = 0;
    virtual QString Heading(int section, int line) const = 0;

    Arhiv_Header Header;
    QByteArray Recs;
    Meas_Summary Sum;
    int Rows;
    int Cols;
};
