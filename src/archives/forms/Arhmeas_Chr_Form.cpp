#include "archives/forms/Arhmeas_Chr_Form.h"

#include "archives/Chrom_Error.h"
#include "archives/forms/Arh_Grid.h"
#include "archives/forms/Chrom_Error_Form.h"
#include "archives/forms/Save_Arhiv.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/forms/Dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

// --- Model ---

Meas_Chr_Model::Meas_Chr_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent)
    : Arh_Rec_Model(h, recs, Meas_Scan(h, recs), Meas_Row_Count(h, recs), Meas_Col_Count(h), parent)
{
}

QString Meas_Chr_Model::Cell(const Chr_Meas_Rec &r, bool valid, int col) const
{
    return Meas_Cell_Text(Header, r, valid, col);
}

QString Meas_Chr_Model::Heading(int section, int line) const { return Meas_Heading(Header, section, line); }

// --- Form ---

TFormArhMeas_Chr::TFormArhMeas_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs)
    : QDialog(owner), Header(h), Recs(recs)
{
    setObjectName(QStringLiteral("FormArhMeas_Chr"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(Meas_Caption(Header));

    Model = new Meas_Chr_Model(Header, Recs, this);
    StringGrid1 = Make_Arh_Grid(this, Model, 2);   // date and time stay

    Panel28 = new QLabel(QStringLiteral(" Усл. обозначения:    * - значение в зоне ПУ;    # - значение в зоне АУ"),
                         this);
    Panel28->setObjectName(QStringLiteral("Panel28"));
    Panel28->setFrameShape(QFrame::Panel);
    Panel28->setFrameShadow(QFrame::Sunken);

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
    v->addWidget(Panel28);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn4);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    v->addLayout(buttons);

    connect(BitBtn4, &QPushButton::clicked, this, &TFormArhMeas_Chr::Show_Status_Details);
    connect(StringGrid1, &QTableView::doubleClicked, this, &TFormArhMeas_Chr::Show_Status_Details);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormArhMeas_Chr::Save_File);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    Attach_Xls_Export(this, BitBtn5, Xls_Viewer::Meas, Header, Model, [this] { return Avg().data(); });
    BitBtn5->setEnabled(Meas_Xls_Export_On());

    BitBtn4->setEnabled(Model->rowCount() > 0);
    if (Model->rowCount() > 0) StringGrid1->selectRow(0);
    StringGrid1->setFocus();
    Fit_Grid_Form();
}

void TFormArhMeas_Chr::Fit_Grid_Form() { Fit_Arh_Grid_Form(this, StringGrid1, 40); }

void TFormArhMeas_Chr::Show_Status_Details()
{
    // The stored bytes are shown whether the record passed its check or not.
    const std::optional<Chr_Meas_Rec> r = Model->Record(StringGrid1->currentIndex().row());
    if (!r) return;
    const uint16_t word = r->chrom_status;
    TFormChromError d(this);
    d.Kind = CHR_ERR_MEAS;
    d.Chrom_Status[0] = uint8_t(word & 0xFF);
    d.Chrom_Status[1] = uint8_t(word >> 8);
    d.Ctrl_Status = r->ctrl_status;
    d.setWindowTitle(Meas_Details_Caption(*r));
    Run_Dialog(d);
}

void TFormArhMeas_Chr::Save_File()
{
    // The file holds exactly the records shown, so its header counts those.
    Arhiv_Header h = Header;
    h.rec_count = uint32_t(Model->rowCount());
    Save_Archive_File(this, Arh_File_Kind::Chr_Meas, h, Recs);
}

void Show_Arh_Meas_Chr(QWidget *owner, const Arhiv_Header &h, const QByteArray &records)
{
    TFormArhMeas_Chr f(owner, h, records);
    Run_Dialog(f);
}
