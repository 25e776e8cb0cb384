#include "archives/forms/Arhmeas_Wmt_Form.h"

#include "archives/forms/Arh_Grid.h"
#include "archives/forms/Prnthdm_Wmt_Form.h"
#include "archives/forms/Save_Arhiv.h"
#include "core/forms/Dialogs.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace {
bool momentary(uint8_t kind) { return kind == WMT_KIND_MOM; }
} // namespace

// --- Model ---

Wmt_Model::Wmt_Model(const Arhiv_Header &h, const QByteArray &recs, uint8_t kind, QObject *parent)
    : QAbstractTableModel(parent), Header(h), Recs(recs), Kind_(kind),
      Rec_Size(momentary(kind) ? WMT_MEAS_REC_SIZE : WMT_HD_REC_SIZE)
{
    const uint32_t n = momentary(kind) ? Wmt_Meas_Row_Count(h, recs) : Wmt_HD_Row_Count(h, recs);
    Rows = int(std::min<uint32_t>(n, uint32_t(INT32_MAX)));
    Valid.assign(size_t(Rows), 0);
    for (int r = 0; r < Rows; ++r)
        Valid[size_t(r)] = Rec_Crc_Ok(Recs.constData() + qint64(r) * Rec_Size, size_t(Rec_Size)) ? 1 : 0;
}

int Wmt_Model::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Rows; }

int Wmt_Model::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : WMT_COLS; }

bool Wmt_Model::Row_Valid(int row) const { return row >= 0 && row < Rows && Valid[size_t(row)]; }

QStringList Wmt_Model::Heading(int col) const
{
    return momentary(Kind_) ? Wmt_Meas_Heading(Header, col) : Wmt_HD_Heading(Header, col);
}

QVariant Wmt_Model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= Rows) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const uint32_t row = uint32_t(index.row());
    const bool valid = Valid[row];
    if (momentary(Kind_)) {
        const std::optional<Wmt_Meas_Rec> r = Rec_At<Wmt_Meas_Rec>(Recs, row);
        return r ? Wmt_Meas_Cell_Text(*r, valid, index.column()) : QString();
    }
    const std::optional<Wmt_HD_Rec> r = Rec_At<Wmt_HD_Rec>(Recs, row);
    return r ? Wmt_HD_Cell_Text(*r, valid, index.column(), Kind_) : QString();
}

QVariant Wmt_Model::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignHCenter | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || section < 0 || section >= WMT_COLS) return {};
    return Heading(section).join(u'\n');
}

// --- Form ---

TFormArh_Wmt::TFormArh_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs, uint8_t kind)
    : QDialog(owner), Header(h), Recs(recs)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(momentary(kind) ? Wmt_Meas_Caption(Header) : Wmt_HD_Caption(Header, kind));

    Model = new Wmt_Model(Header, Recs, kind, this);
    StringGrid1 = Make_Arh_Grid(this, Model, momentary(kind) ? 2 : 3);   // the dates and times stay

    BitBtn3 = new QPushButton(QStringLiteral("Печать"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn2 = new QPushButton(QStringLiteral("Сохранить в файле"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton *b : {BitBtn3, BitBtn2, BitBtn1}) b->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    v->addWidget(StringGrid1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn3);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    v->addLayout(buttons);

    connect(BitBtn3, &QPushButton::clicked, this, &TFormArh_Wmt::Print);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormArh_Wmt::Save_File);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    if (Model->rowCount() > 0) StringGrid1->selectRow(0);
    StringGrid1->setFocus();
    Fit_Form();
}

// Columns as wide as their headings (or a value); the form sized to the grid as the
// chromatograph viewers are, with the screen's height less 60 for the rows; no wider after.
void TFormArh_Wmt::Fit_Form()
{
    QHeaderView *head = StringGrid1->horizontalHeader();
    const QFontMetrics fm(head->font());
    const QFontMetrics cell_fm(StringGrid1->font());
    // The cell texts have fixed shapes, so the first rows show the widest ones; the daily end
    // time's "*" and the notices are measured whatever the rows hold.
    static const QString shapes[] = {QStringLiteral("  -0000.000 "), QStringLiteral("   00:00:00*"),
                                     QStringLiteral("     Данные"), QStringLiteral(" недостов."),
                                     QStringLiteral(" Нет связи"), QStringLiteral("  0x0000")};
    const int sample = std::min(Model->rowCount(), 500);
    for (int c = 0; c < WMT_COLS; ++c) {
        int w = 0;
        for (const QString &s : shapes) w = std::max(w, cell_fm.horizontalAdvance(s) + 10);
        for (int r = 0; r < sample; ++r)
            w = std::max(w, cell_fm.horizontalAdvance(Model->index(r, c).data().toString()) + 10);
        for (const QString &s : Model->Heading(c)) w = std::max(w, fm.horizontalAdvance(s) + 12);
        StringGrid1->setColumnWidth(c, w);
    }
    Fit_Arh_Grid_Form(this, StringGrid1, 60);
    Form_Width = width();
    setMaximumWidth(Form_Width);   // a resize wider than this is undone
}

void TFormArh_Wmt::Save_File()
{
    const uint8_t k = Kind();
    const Arh_File_Kind fk = momentary(k) ? Arh_File_Kind::Wmt_Meas
                             : k == WMT_KIND_HOUR ? Arh_File_Kind::Wmt_Hour
                                                  : Arh_File_Kind::Wmt_Day;
    // The file holds exactly the records shown, so its header counts those.
    Arhiv_Header h = Header;
    h.rec_count = uint32_t(Model->rowCount());
    Save_Archive_File(this, fk, h, Recs);
}

void TFormArh_Wmt::Print()
{
    const uint8_t k = Is_Wmt_Report_Kind(Kind()) ? Kind() : WMT_KIND_DAY;
    Print_Wmt_List(this, k, Header, *Model);
}

TFormArhMeas_Wmt::TFormArhMeas_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs)
    : TFormArh_Wmt(owner, h, recs, WMT_KIND_MOM)
{
    setObjectName(QStringLiteral("FormArhMeas_Wmt"));
}

void Show_Wmt_Meas(QWidget *owner, const Arhiv_Header &h, const QByteArray &records)
{
    TFormArhMeas_Wmt f(owner, h, records);
    Run_Dialog(f);
}
