#include "archives/forms/Arhiv_Clb_Form.h"

#include "archives/forms/Arh_Grid.h"
#include "archives/forms/Save_Arhiv.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/forms/Dialogs.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

// --- Model ---

Clb_Model::Clb_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent)
    : QAbstractTableModel(parent), Header(h), Recs(recs), Valid(Clb_Scan(h, recs)),
      Rows(int(std::min<uint32_t>(Clb_Row_Count(h, recs), uint32_t(INT32_MAX)))), Cols(Clb_Col_Count(h))
{
}

int Clb_Model::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Rows; }

int Clb_Model::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Cols; }

std::optional<Clb_Rec> Clb_Model::Record(int row) const
{
    if (row < 0 || row >= Rows) return std::nullopt;
    return Rec_At<Clb_Rec>(Recs, uint32_t(row));
}

bool Clb_Model::Row_Valid(int row) const { return row >= 0 && size_t(row) < Valid.size() && Valid[size_t(row)]; }

QVariant Clb_Model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const std::optional<Clb_Rec> r = Record(index.row());
    if (!r) return {};
    return Clb_Cell_Text(Header, *r, Row_Valid(index.row()), index.column());
}

QVariant Clb_Model::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || section < 0 || section >= Cols) return {};
    return Clb_Heading(Header, section, 0) + u'\n' + Clb_Heading(Header, section, 1);
}

// --- Form ---

TFormArhiv_Clb::TFormArhiv_Clb(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs)
    : QDialog(owner), Header(h), Recs(recs)
{
    setObjectName(QStringLiteral("FormArhiv_Clb"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(Clb_Caption(Header));

    Model = new Clb_Model(Header, Recs, this);
    StringGrid1 = Make_Arh_Grid(this, Model);

    BitBtn5 = new QPushButton(QStringLiteral("Сохранить в формате Excel"), this);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    BitBtn2 = new QPushButton(QStringLiteral("Сохранить в файле"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton *b : {BitBtn5, BitBtn2, BitBtn1}) b->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    v->addWidget(StringGrid1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    v->addLayout(buttons);

    connect(BitBtn5, &QPushButton::clicked, this, &TFormArhiv_Clb::Export);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormArhiv_Clb::Save_File);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // No row is selected at the start: the list has no details to show.
    StringGrid1->setFocus();
    Fit_Arh_Grid_Form(this, Model->columnCount(), Model->rowCount() + 2, 50);
}

void TFormArhiv_Clb::Save_File()
{
    Arhiv_Header h = Header;
    h.rec_count = uint32_t(Model->rowCount());
    Save_Archive_File(this, Arh_File_Kind::Clb, h, Recs);
}

void TFormArhiv_Clb::Export()
{
    Export_Xls(this, Xls_Viewer::Clb, Header, Xls_Grid_Of(windowTitle(), Header, *Model, nullptr));
}

void Show_Arhiv_Clb(QWidget *owner, const Arhiv_Header &h, const QByteArray &records)
{
    TFormArhiv_Clb f(owner, h, records);
    Run_Dialog(f);
}
