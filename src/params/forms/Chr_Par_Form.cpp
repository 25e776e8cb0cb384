#include "params/forms/Chr_Par_Form.h"

#include "core/Codepage.h"
#include "core/Stringi.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Grid_Line_Up.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Text_Fit.h"
#include "core/forms/Window_Place.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTableWidget>
#include <algorithm>
#include <cstring>

namespace {
constexpr int RANGE_EDIT_LEN = 10;   // characters typed into a range edit
constexpr int LIST_COLUMNS = 7;
constexpr int RANGE_COLUMN = 5;      // "Min", then "Max", under one "Диапазон"

QLabel *Caption(QWidget *parent, const QString &text)
{
    return new QLabel(text, parent);
}

// A wide name of the kind the controller's list holds: Cyrillic words, capitals among them.
const QString kTypical_Name = QStringLiteral("Сумма МД всех компонентов ");

// A text of n characters, as wide as a name (or a number) of that length typically is.
QString Typical_Text(int n, bool number)
{
    if (number) return QString(n, QLatin1Char('0'));
    QString s;
    while (s.size() < n) s += kTypical_Name;
    return s.left(n);
}

// The list's column headings, two lines high, fixed above the rows however they scroll; one
// heading spans the two range columns.
class Two_Line_Header final : public QHeaderView {
public:
    explicit Two_Line_Header(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *p, const QRect &rect, int c) const override
    {
        QHeaderView::paintSection(p, rect, c);
        if (c != RANGE_COLUMN && c != RANGE_COLUMN + 1) return;
        // Each of the two columns paints its part of the shared upper half.
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = QRect(sectionViewportPosition(RANGE_COLUMN), rect.top(),
                         sectionSize(RANGE_COLUMN) + sectionSize(RANGE_COLUMN + 1), rect.height() / 2);
        opt.section = RANGE_COLUMN;
        opt.position = QStyleOptionHeader::OnlyOneSection;
        opt.text = QStringLiteral("Диапазон");
        opt.textAlignment = Qt::AlignCenter;
        p->save();
        p->setClipRect(rect.intersected(opt.rect));
        style()->drawControl(QStyle::CE_Header, &opt, p, this);
        p->restore();
    }
};
} // namespace

TForm_Chr_Par::TForm_Chr_Par(QWidget *owner) : TParam_Dialog(owner, Buttons::Accept_Only)
{
    setWindowTitle(QStringLiteral("Измеряемый параметр хроматографа"));
    auto *g = new QGridLayout;
    Body->addLayout(g);
    Grids << g;
    auto edit = [this](const char *name, int max_len) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(max_len);
        return e;
    };
    auto combo = [this](const char *name) {
        auto *c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    Edit_Name = edit("Edit_Name", CHR_PAR_NAME_SHOWN);
    Edit_Name->setEnabled(false);
    Edit_Symbol = edit("Edit_Symbol", CHR_PAR_SYMBOL_LEN);
    Install_Page_Filter(Edit_Name);
    Install_Page_Filter(Edit_Symbol);
    CB_Type = combo("CB_Type");
    CB_Type->addItems(Chr_Type_Names());
    CB_Type->setEnabled(false);
    CB_Unit = combo("CB_Unit");
    Edit_Reg = edit("Edit_Reg", 5);
    Install_Int_Filter(Edit_Reg);
    CB_Dec = combo("CB_Dec");
    for (int d = 0; d <= CHR_PAR_MAX_DECIMALS; ++d) CB_Dec->addItem(QString::number(d));
    Edit_Min = edit("Edit_Min", RANGE_EDIT_LEN);
    Edit_Max = edit("Edit_Max", RANGE_EDIT_LEN);
    Install_Float_Filter(Edit_Min);
    Install_Float_Filter(Edit_Max);

    int row = 0;
    auto add = [&](const QString &caption, QWidget *w) {
        g->addWidget(Caption(this, caption), row, 0);
        g->addWidget(w, row, 1);
        ++row;
    };
    add(QStringLiteral("Наименование\n(до 25 символов)"), Edit_Name);
    add(QStringLiteral("Условное обозначение\n(до 10 символов)"), Edit_Symbol);
    add(QStringLiteral("Тип данных"), CB_Type);
    add(QStringLiteral("Единица измерений"), CB_Unit);
    add(QStringLiteral("Адрес регистра Modbus\nтекущего значения"), Edit_Reg);
    add(QStringLiteral("Формат отображения данных\n(кол. знаков после запятой)"), CB_Dec);
    // Below the rows, not inside their grid: a grid of its own, lined up with theirs.
    auto *box = new QGroupBox(QStringLiteral(" Диапазон измерений "), this);
    auto *bl = new QGridLayout(box);
    bl->addWidget(Caption(box, QStringLiteral("Миним. значение")), 0, 0);
    bl->addWidget(Edit_Min, 0, 1);
    bl->addWidget(Caption(box, QStringLiteral("Максим. значение")), 1, 0);
    bl->addWidget(Edit_Max, 1, 1);
    Body->addWidget(box);
    Grids << bl;

    connect(Edit_Min, &QLineEdit::editingFinished, this, [this] { Range_Left(Edit_Min, false); });
    connect(Edit_Max, &QLineEdit::editingFinished, this, [this] { Range_Left(Edit_Max, true); });
    connect(CB_Dec, &QComboBox::activated, this, [this](int d) {
        // The typed values first, then both shown with the new decimals.
        Range_Left(Edit_Min, false);
        Range_Left(Edit_Max, true);
        Work.decimals = uint8_t(d);
        Show_Range();
        Fit_Fields();
    });
}

void TForm_Chr_Par::Load()
{
    if (Tab_Data) std::memcpy(&Work, Tab_Data, sizeof Work);
    Edit_Name->setText(Chr_Par_Name(Work).left(CHR_PAR_NAME_SHOWN));
    Edit_Symbol->setText(Chr_Par_Symbol(Work));
    const int type = Work.type;
    CB_Type->setCurrentIndex(type < CHR_PAR_TYPES ? type : -1);
    CB_Unit->clear();
    for (int u : Chr_Type_Units(type)) CB_Unit->addItem(Gas_Units(u));
    CB_Unit->setCurrentIndex(Chr_Unit_Position(type, Work.unit));
    Edit_Reg->setText(QString::number(Work.reg));
    Work.decimals = uint8_t(Chr_Par_Decimals(Work));
    CB_Dec->setCurrentIndex(Work.decimals);
    Show_Range();
    Fit_Fields();
}

void TForm_Chr_Par::Fit_Fields()
{
    // Each edit shows the longest text it takes whole (and the one it holds, however long);
    // the name's 25 characters are the most.
    for (QLineEdit *e : {Edit_Name, Edit_Symbol, Edit_Reg, Edit_Min, Edit_Max}) {
        const bool number = e != Edit_Name && e != Edit_Symbol;
        e->setMinimumWidth(Text_Fit_Width(e, {Typical_Text(e->maxLength(), number), e->text()}));
    }
    // The lists hold their items now. The fields start and end at one place; what room is
    // left goes past them.
    Line_Up_Grids(Grids, 2);
    // The range group's own grid first: the group is measured by it.
    for (QGridLayout *g : std::as_const(Grids)) g->activate();
    layout()->activate();
    // A minimum width set on the dialog (the one its caption needs) keeps the layout from
    // raising it to what the fields need.
    const int need = layout()->totalMinimumSize().width();
    if (minimumWidth() < need) setMinimumWidth(need);
}

void TForm_Chr_Par::Show_Range()
{
    const float lo = Work.min, hi = Work.max;
    Min_Shown = Fixed_Str(lo, 12, Work.decimals);
    Max_Shown = Fixed_Str(hi, 12, Work.decimals);
    // Ten characters is a typing limit: a longer value text (many decimals, exponent form)
    // is shown whole, never cut into another number.
    Edit_Min->setMaxLength(qMax(RANGE_EDIT_LEN, int(Min_Shown.size())));
    Edit_Max->setMaxLength(qMax(RANGE_EDIT_LEN, int(Max_Shown.size())));
    Edit_Min->setText(Min_Shown);
    Edit_Max->setText(Max_Shown);
}

void TForm_Chr_Par::Range_Left(QLineEdit *edit, bool is_max)
{
    // A text the dialog wrote itself is the stored value rounded for showing: keep the value.
    if (edit->text() == (is_max ? Max_Shown : Min_Shown)) return;
    float v = 0;
    const QString t = edit->text().trimmed();
    bool ok = true;
    // Not a number a float holds (a pasted "inf" among them): left to the accept to refuse.
    if (!t.isEmpty()) ok = Parse_Float(t, v);
    if (!ok) return;
    if (is_max) {
        Work.max = v;
        Max_Shown = edit->text();
    } else {
        Work.min = v;
        Min_Shown = edit->text();
    }
}

bool TForm_Chr_Par::Check()
{
    if (!Tab_Data) return false;
    if (Edit_Name->text().isEmpty() || Edit_Symbol->text().isEmpty() || Edit_Reg->text().isEmpty() ||
        Edit_Min->text().isEmpty() || Edit_Max->text().isEmpty() || CB_Unit->currentIndex() < 0 ||
        CB_Type->currentIndex() < 0 || CB_Dec->currentIndex() < 0)
        return Refuse(QStringLiteral("Введены не все параметры"));

    // The name stays as it is: its edit shows only part of it and cannot be changed.
    std::memset(Work.symbol, 0, sizeof Work.symbol);
    const QByteArray sym = Unicode_To_Cp1251(Edit_Symbol->text()).left(CHR_PAR_SYMBOL_LEN);
    std::memcpy(Work.symbol, sym.constData(), size_t(sym.size()));
    // Five digits reach 99999: a register beyond 16 bits is refused, never stored cut.
    bool reg_ok = false;
    const uint reg = Edit_Reg->text().trimmed().toUInt(&reg_ok);
    if (!reg_ok || reg > 0xFFFF)
        return Refuse(QStringLiteral("Адрес регистра вне допустимого диапазона"), QStringLiteral("(0...65535)"));
    Work.reg = uint16_t(reg);
    Work.decimals = uint8_t(CB_Dec->currentIndex());
    float lo = Work.min, hi = Work.max;
    if (Edit_Min->text() != Min_Shown && !Take_Float(Edit_Min, lo, QStringLiteral("Миним. значение"))) return false;
    if (Edit_Max->text() != Max_Shown && !Take_Float(Edit_Max, hi, QStringLiteral("Максим. значение"))) return false;
    // The working values now follow these texts, as after leaving the edits.
    Work.min = lo;
    Work.max = hi;
    Min_Shown = Edit_Min->text();
    Max_Shown = Edit_Max->text();
    if (!(lo < hi)) return Refuse(QStringLiteral("Неверно задан диапазон измерений"));
    Work.unit = uint8_t(Chr_Type_Units(Work.type).value(CB_Unit->currentIndex()));
    return true;
}

bool TForm_Chr_Par::Store()
{
    std::memcpy(Tab_Data, &Work, sizeof Work);
    return true;
}

TFormChrPar_List::TFormChrPar_List(QWidget *owner) : TParam_Dialog(owner, Buttons::Accept_Only)
{
    setWindowTitle(QStringLiteral("Измеряемые параметры хроматографа"));
    resize(900, 520);
    auto *top = new QHBoxLayout;
    top->addWidget(Caption(this, QStringLiteral("Количество введенных параметров")));
    LCount = new QLabel(this);
    LCount->setObjectName("LCount");
    LCount->setFrameShape(QFrame::Panel);
    LCount->setFrameShadow(QFrame::Sunken);
    top->addWidget(LCount);
    top->addStretch(1);
    Body->addLayout(top);

    Grid = new QTableWidget(0, LIST_COLUMNS, this);
    Grid->setObjectName("Grid");
    Grid->setHorizontalHeader(new Two_Line_Header(Grid));
    // The range columns' lower lines; "Диапазон" above them is painted by the header.
    Grid->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Наименование"),
                                     QStringLiteral("Условное\nобознач."), QStringLiteral("Единица\nизмерений"),
                                     QStringLiteral("Modbus\nрегистр"), QStringLiteral("\nMin"),
                                     QStringLiteral("\nMax")});
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setTabKeyNavigation(false);   // Tab goes on to the buttons
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setColumnWidth(0, 40);
    Grid->setColumnWidth(1, 300);
    Body->addWidget(Grid, 1);

    BitBtnEdit = new QPushButton(QStringLiteral("Изменить"), this);
    BitBtnEdit->setObjectName("BitBtnEdit");
    BitBtnEdit->setAutoDefault(false);
    Button_Row->insertWidget(0, BitBtnEdit);
    connect(BitBtnEdit, &QPushButton::clicked, this, &TFormChrPar_List::Edit_Click);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { Edit_Click(); });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this](int r, int, int, int) {
        if (r >= 0) Sel_Row = r;
    });
}

void TFormChrPar_List::Load()
{
    if (Tab_Data) std::memcpy(&Work, Tab_Data, sizeof Work);
    LCount->setText(QString::number(Count()));
    Grid->setRowCount(Count());
    for (int i = 0; i < Count(); ++i) Show_Row(i);
    for (int c = 2; c < LIST_COLUMNS; ++c) Grid->resizeColumnToContents(c);
    Fit_Width();
    Sel_Row = 0;
    if (Count() > 0) Grid->setCurrentCell(0, 0);
}

void TFormChrPar_List::Fit_Width()
{
    // As wide as the columns, the list's frame, its scroll bar when the rows need one and the
    // margins: no empty band right of the last column.
    layout()->activate();
    const bool bar = Grid->verticalHeader()->length() > Grid->viewport()->height();
    const int list = Grid->horizontalHeader()->length() + 2 * Grid->frameWidth() +
                     (bar ? Grid->verticalScrollBar()->sizeHint().width() : 0);
    // Centred on the owner at this width when its window is shown, inside the screen's free area.
    Fit_To_Screen(this, QSize(std::max(minimumSizeHint().width(), width() - Grid->width() + list), height()));
}

void TFormChrPar_List::Show_Row(int i)
{
    const Chr_Par &p = Work.par[i];
    const int dec = Chr_Par_Decimals(p);
    const float lo = p.min, hi = p.max;
    const QString cells[LIST_COLUMNS] = {QStringLiteral("  %1").arg(i + 1),
                                         QStringLiteral(" ") + Chr_Par_Name(p),
                                         QStringLiteral(" ") + Chr_Par_Symbol(p),
                                         QStringLiteral(" ") + Chr_Par_Unit_Text(p),
                                         QStringLiteral(" %1").arg(uint16_t(p.reg)),
                                         QStringLiteral(" ") + Fixed_Str(lo, 10, dec),
                                         QStringLiteral(" ") + Fixed_Str(hi, 10, dec)};
    for (int c = 0; c < LIST_COLUMNS; ++c) {
        QTableWidgetItem *it = Grid->item(i, c);
        if (!it) {
            it = new QTableWidgetItem;
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Grid->setItem(i, c, it);
        }
        it->setText(cells[c]);
    }
}

void TFormChrPar_List::Edit_Click()
{
    if (Sel_Row < 0 || Sel_Row >= Count()) return;
    TForm_Chr_Par f(this);
    f.Tab_Data = reinterpret_cast<uint8_t *>(&Work.par[Sel_Row]);
    Run_Dialog(f);
    if (f.Accepted) Show_Row(Sel_Row);
}

bool TFormChrPar_List::Store()
{
    if (!Tab_Data || std::memcmp(Tab_Data, &Work, sizeof Work) == 0) return false;
    std::memcpy(Tab_Data, &Work, sizeof Work);
    return true;
}
