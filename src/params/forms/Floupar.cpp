#include "params/forms/Floupar.h"

#include "core/Codepage.h"
#include "core/forms/Keyfilters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cstring>

namespace {
QLabel *Two_Lines(const QString &a, const QString &b, QWidget *parent)
{
    return new QLabel(a + QLatin1Char('\n') + b, parent);
}
} // namespace

TFormFlouPar::TFormFlouPar(QWidget *owner) : TParam_Dialog(owner, Buttons::Accept_Only)
{
    auto *g = new QGridLayout;
    Body->addLayout(g);

    CBAdr = new QComboBox(this);
    CBAdr->setObjectName(QStringLiteral("CBAdr"));
    Set_Typed_List(CBAdr);
    for (int a = 1; a <= 254; ++a) CBAdr->addItem(QString::number(a));
    Install_Int_Filter(CBAdr);
    g->addWidget(new QLabel(QStringLiteral("Адрес"), this), 0, 0);
    g->addWidget(CBAdr, 0, 1);

    CBType = new QComboBox(this);
    CBType->setObjectName(QStringLiteral("CBType"));
    CBType->addItems({QStringLiteral(" ФЛОУТЭК"), QStringLiteral(" ФЛОУКОР, ПМ-3В "), QStringLiteral(" ВР-2"),
                      QStringLiteral(" ДФ-1")});
    g->addWidget(new QLabel(QStringLiteral("Тип"), this), 1, 0);
    g->addWidget(CBType, 1, 1);

    CBOrder = new QComboBox(this);
    CBOrder->setObjectName(QStringLiteral("CBOrder"));
    CBOrder->addItems({QStringLiteral(" Мл. адрес - ст. байт"), QStringLiteral(" Мл. адрес - мл. байт")});
    g->addWidget(new QLabel(QStringLiteral("Порядок байтов в многобайтных переменных"), this), 2, 0);
    g->addWidget(CBOrder, 2, 1);

    CBSou = new QCheckBox(QStringLiteral("SOU"), this);
    CBSou->setObjectName(QStringLiteral("CBSou"));
    g->addWidget(CBSou, 3, 0);

    // Password panel: one 16-character edit, or with "SOU" a 12-character password and a
    // 4-character code.
    Panel16 = new QWidget(this);
    auto *h16 = new QHBoxLayout(Panel16);
    h16->setContentsMargins(0, 0, 0, 0);
    h16->addWidget(Two_Lines(QStringLiteral("Пароль на запись"), QStringLiteral("(до 16 символов)"), Panel16));
    EPass16 = new QLineEdit(Panel16);
    EPass16->setObjectName(QStringLiteral("EPass16"));
    EPass16->setMaxLength(FLOU_PASS_LEN);
    Install_Page_Filter(EPass16);
    h16->addWidget(EPass16);
    PanelSou = new QWidget(this);
    auto *hs = new QHBoxLayout(PanelSou);
    hs->setContentsMargins(0, 0, 0, 0);
    hs->addWidget(Two_Lines(QStringLiteral("Пароль на запись"), QStringLiteral("(до 12 символов)"), PanelSou));
    EPass12 = new QLineEdit(PanelSou);
    EPass12->setObjectName(QStringLiteral("EPass12"));
    EPass12->setMaxLength(FLOU_SOU_PASS_LEN);
    Install_Page_Filter(EPass12);
    hs->addWidget(EPass12);
    hs->addWidget(Two_Lines(QStringLiteral("Код идентификации"), QStringLiteral("(до 4 символов)"), PanelSou));
    ECode = new QLineEdit(PanelSou);
    ECode->setObjectName(QStringLiteral("ECode"));
    ECode->setMaxLength(FLOU_SOU_CODE_LEN);
    Install_Int_Filter(ECode);
    hs->addWidget(ECode);
    g->addWidget(Panel16, 4, 0, 1, 2);
    g->addWidget(PanelSou, 5, 0, 1, 2);
    PanelSou->hide();

    g->addWidget(new QLabel(QStringLiteral(" Необходимость записи параметров газа"), this), 6, 0, 1, 2);
    auto *pipes = new QHBoxLayout;
    g->addLayout(pipes, 7, 0, 1, 2);
    for (int n = 0; n < FLOU_PIPES; ++n) {
        const QString no = QString::number(n + 1);
        Gb[n] = new QGroupBox(QStringLiteral(" т/п %1       ").arg(n + 1), this);
        Gb[n]->setObjectName(QStringLiteral("gb") + no);
        auto *v = new QVBoxLayout(Gb[n]);
        Cb[n] = new QCheckBox(Gb[n]);
        Cb[n]->setObjectName(QStringLiteral("cb") + no);
        v->addWidget(Cb[n]);
        for (int m = 0; m < 2; ++m) {
            Rb[n][m] = new QRadioButton(QStringLiteral("  Нитка %1 хром.").arg(m + 1), Gb[n]);
            Rb[n][m]->setObjectName(QStringLiteral("rb%1_%2").arg(n + 1).arg(m + 1));
            // Exclusive as any radio pair: a click on the button that is on leaves it on. Only
            // the program turns both off (Clear_Pair).
            v->addWidget(Rb[n][m]);
        }
        pipes->addWidget(Gb[n]);
        connect(Cb[n], &QCheckBox::toggled, this, [this, n] { Box_Changed(n); });
    }

    connect(CBType, &QComboBox::currentIndexChanged, this, [this] { Type_Changed(); });
    connect(CBSou, &QCheckBox::toggled, this, [this](bool on) { Show_Pass_Panel(on); });
    connect(EPass16, &QLineEdit::editingFinished, this, [this] { Take_Pass_Edits(); });
    connect(EPass12, &QLineEdit::editingFinished, this, [this] { Take_Pass_Edits(); });
    connect(ECode, &QLineEdit::editingFinished, this, [this] { Take_Pass_Edits(); });
    connect(ECode, &QLineEdit::returnPressed, this, [this] { EPass12->setFocus(); });
}

void TFormFlouPar::Take_Pass_Edits()
{
    if (!Panel_Loaded) return;
    if (Sou_Shown) {
        Unicode_To_Field(EPass12->text(), Work.pass, FLOU_SOU_PASS_LEN);
        Unicode_To_Field(ECode->text(), Work.pass + FLOU_SOU_PASS_LEN, FLOU_SOU_CODE_LEN);
    } else {
        Unicode_To_Field(EPass16->text(), Work.pass, FLOU_PASS_LEN);
    }
}

void TFormFlouPar::Show_Pass_Panel(bool sou)
{
    // What was typed in the panel going away is kept, as leaving its edit would.
    if (sou != Sou_Shown && Panel_Loaded) Take_Pass_Edits();
    Sou_Shown = sou;
    // The panel going is hidden before the one coming is shown: Qt lays the dialog out at the
    // show, and a dialog grown for a moment by both would be moved up off the screen's bottom.
    (sou ? Panel16 : PanelSou)->hide();
    (sou ? PanelSou : Panel16)->show();
    if (sou) {
        EPass12->setText(Field_To_Unicode(Work.pass, FLOU_SOU_PASS_LEN));
        ECode->setText(Field_To_Unicode(Work.pass + FLOU_SOU_PASS_LEN, FLOU_SOU_CODE_LEN));
    } else {
        EPass16->setText(Field_To_Unicode(Work.pass, FLOU_PASS_LEN));
    }
    Panel_Loaded = true;
}

void TFormFlouPar::Clear_Pair(int n)
{
    // An exclusive pair refuses to turn its checked button off; for a moment it is not one.
    for (QRadioButton *b : Rb[n]) b->setAutoExclusive(false);
    for (QRadioButton *b : Rb[n]) b->setChecked(false);
    for (QRadioButton *b : Rb[n]) b->setAutoExclusive(true);
}

void TFormFlouPar::Box_Changed(int n)
{
    const bool ticked = Cb[n]->isChecked() && Cb[n]->isEnabled();
    const bool line2 = (Work.mask >> (n + 4)) & 1;
    Clear_Pair(n);
    for (int m = 0; m < 2; ++m) {
        const bool usable = ticked && ((Chrom_Lines >> m) & 1);
        Rb[n][m]->setEnabled(usable);
        if (usable && (m == 1) == line2) Rb[n][m]->setChecked(true);
    }
}

void TFormFlouPar::Type_Changed()
{
    for (int n = 0; n < FLOU_PIPES; ++n) {
        Gb[n]->setEnabled(false);
        Cb[n]->setEnabled(false);
        Cb[n]->setChecked(false);
        Box_Changed(n);
    }
    const int type = CBType->currentIndex();
    if (type < 0) return;
    for (int n = 0; n < Flou_Pipes(type); ++n) {
        Gb[n]->setEnabled(true);
        Cb[n]->setEnabled(true);
        Cb[n]->setChecked((Work.mask >> n) & 1);
        Box_Changed(n);
    }
}

void TFormFlouPar::Load()
{
    setWindowTitle(QStringLiteral("Параметры вычислителя расхода газа № %1").arg(Number));
    if (Tab_Data) std::memcpy(&Work, Tab_Data, sizeof Work);
    CBAdr->setCurrentIndex(Work.adr >= 1 && Work.adr <= 254 ? Work.adr - 1 : -1);
    CBOrder->setCurrentIndex(Work.order < FLOU_ORDER_COUNT ? Work.order : -1);
    const bool sou = Sou_Flag && *Sou_Flag;
    CBSou->setChecked(sou);
    Show_Pass_Panel(sou);
    CBType->setCurrentIndex(Work.type < FLOU_TYPE_COUNT ? Work.type : -1);
    Type_Changed();
}

bool TFormFlouPar::Check()
{
    if (!Tab_Data) return false;
    const QString adr_text = CBAdr->currentText().trimmed();
    if (adr_text.isEmpty() || CBType->currentIndex() < 0 || CBOrder->currentIndex() < 0)
        return Refuse(QStringLiteral("Введены не все параметры"));
    bool ok = false;
    const int adr = adr_text.toInt(&ok);
    if (!ok || adr < 1 || adr > 254) return Refuse(QStringLiteral("Адрес вне допускаемого диапазона"));
    for (int n = 0; n < FLOU_PIPES; ++n)
        if (Gb[n]->isEnabled() && Cb[n]->isChecked() && !Rb[n][0]->isChecked() && !Rb[n][1]->isChecked())
            return Refuse(QStringLiteral("Введены не все параметры"));
    return true;
}

bool TFormFlouPar::Store()
{
    Take_Pass_Edits();
    Work.adr = uint8_t(CBAdr->currentText().trimmed().toInt());
    Work.type = uint8_t(CBType->currentIndex());
    Work.order = uint8_t(CBOrder->currentIndex());
    const Flou_Rec *old = reinterpret_cast<const Flou_Rec *>(Tab_Data);
    Pass_Changed = std::memcmp(Work.pass, old->pass, FLOU_PASS_LEN) != 0 ? 1 : 0;
    uint8_t mask = 0;
    for (int n = 0; n < FLOU_PIPES; ++n) {
        if (!Gb[n]->isEnabled() || !Cb[n]->isChecked()) continue;
        mask |= uint8_t(1u << n);
        if (Rb[n][1]->isChecked()) mask |= uint8_t(1u << (n + 4));
    }
    Work.mask = mask;
    if (Sou_Flag) *Sou_Flag = CBSou->isChecked() ? 1 : 0;
    std::memcpy(Tab_Data, &Work, sizeof Work);
    return true;
}
