#include "archives/forms/Arhivhdm_Chr_Form.h"

#include "archives/Chrom_Error.h"
#include "archives/forms/Arh_Grid.h"
#include "archives/forms/Chrom_Error_Form.h"
#include "archives/forms/Save_Arhiv.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/forms/Dialogs.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

// --- Model ---

Hdm_Chr_Model::Hdm_Chr_Model(const Arhiv_Header &h, const QByteArray &recs, uint8_t kind, QObject *parent)
    : Arh_Rec_Model(h, recs, Hd_Scan(h, recs), Hd_Row_Count(h, recs), Hd_Col_Count(h), parent), Kind(kind)
{
}

QString Hdm_Chr_Model::Cell(const Chr_HD_Rec &r, bool valid, int col) const
{
    return Hd_Cell_Text(Header, r, valid, col, Kind);
}

QString Hdm_Chr_Model::Heading(int section, int line) const { return Hd_Heading(Header, section, line); }

// --- Form ---

TFormArhivHDM_Chr::TFormArhivHDM_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs,
                                     uint8_t kind)
    : QDialog(owner), Header(h), Recs(recs), Kind_(kind)
{
    setObjectName(QStringLiteral("FormArhivHDM_Chr"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(Hd_Caption(Header, Kind_));

    Model = new Hdm_Chr_Model(Header, Recs, Kind_, this);
    StringGrid1 = Make_Arh_Grid(this, Model, 3);   // date, start and end stay

    BitBtn4 = new QPushButton(QStringLiteral("Признаки состояния"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn5 = new QPushButton(QStringLiteral("Сохранить в формате Excel"), this);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    BitBtn2 = new QPushButton(QStringLiteral("Сохранить в файле"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(QStringLiteral("Выход"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton *b : {BitBtn4, BitBtn5, BitBtn2, BitBtn1}) b->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    v->addWidget(StringGrid1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn4);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    v->addLayout(buttons);

    connect(BitBtn4, &QPushButton::clicked, this, &TFormArhivHDM_Chr::Show_Status_Details);
    connect(BitBtn5, &QPushButton::clicked, this, &TFormArhivHDM_Chr::Export);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormArhivHDM_Chr::Save_File);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    BitBtn4->setEnabled(Model->rowCount() > 0);
    if (Model->rowCount() > 0) StringGrid1->selectRow(0);
    StringGrid1->setFocus();
    Fit_Arh_Grid_Form(this, StringGrid1, 40);
}

void TFormArhivHDM_Chr::Show_Status_Details()
{
    // The stored status byte is shown whether the record passed its check or not.
    const std::optional<Chr_HD_Rec> r = Model->Record(StringGrid1->currentIndex().row());
    if (!r) return;
    TFormChromError d(this);
    d.Kind = CHR_ERR_HD;
    d.Ctrl_Status = r->status;
    d.setWindowTitle(Hd_Details_Caption(*r, Kind_));
    Run_Dialog(d);
}

void TFormArhivHDM_Chr::Save_File()
{
    // The file holds exactly the records shown, so its header counts those.
    Arhiv_Header h = Header;
    h.rec_count = uint32_t(Model->rowCount());
    Save_Archive_File(this, Kind_ == HDM_KIND_HOUR ? Arh_File_Kind::Chr_Hour : Arh_File_Kind::Chr_Day, h,
                      Recs);
}

void TFormArhivHDM_Chr::Export()
{
    Export_Xls(this, Kind_ == HDM_KIND_HOUR ? Xls_Viewer::Hour : Xls_Viewer::Day, Header,
               Xls_Grid_Of(windowTitle(), Header, *Model, Avg().data()));
}

void Show_Arhiv_HDM_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &records, uint8_t kind)
{
    TFormArhivHDM_Chr f(owner, h, records, kind);
    Run_Dialog(f);
}
