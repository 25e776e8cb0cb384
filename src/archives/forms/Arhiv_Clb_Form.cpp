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

namespace {
Meas_Summary Clb_Summary(const Arhiv_Header &h, const QByteArray &recs)
{
    Meas_Summary s;
    s.valid = Clb_Scan(h, recs);
    return s;
}
} // namespace

Clb_Model::Clb_Model(const Arhiv_Header &h, const QByteArray &recs, QObject *parent)
    : Arh_Rec_Model(h, recs, Clb_Summary(h, recs), Clb_Row_Count(h, recs), Clb_Col_Count(h), parent)
{
}

QString Clb_Model::Cell(const Clb_Rec &r, bool valid, int col) const
{
    return Clb_Cell_Text(Header, r, valid, col);
}

QString Clb_Model::Heading(int section, int line) const { return Clb_Heading(Header, section, line); }

// --- Form ---

TFormArhiv_Clb::TFormArhiv_Clb(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs)
    : QDialog(owner), Header(h), Recs(recs)
{
    setObjectName(QStringLiteral("FormArhiv_Clb"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(Clb_Caption(Header));

    Model = new Clb_Model(Header, Recs, this);
    StringGrid1 = Make_Arh_Grid(this, Model, 4);   // date, time, number and result stay

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
    Fit_Arh_Grid_Form(this, StringGrid1, 50);
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
