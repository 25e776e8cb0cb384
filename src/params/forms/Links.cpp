#include "params/forms/Links.h"

#include "core/Codepage.h"
#include "core/Comportfunctions.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Tables.h"
#include "core/forms/Connect.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Main.h"
#include "params/Chr_Par.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Params_Menu.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstring>

std::function<void(TFormMain *m, const QByteArray &old_tab9)> Vrg_Count_Raised;

namespace {

const QString Incomplete = QStringLiteral("Введены не все параметры");

QLabel *Lines(QWidget *owner, const QStringList &lines)
{
    auto *l = new QLabel(lines.join(QLatin1Char('\n')), owner);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

// A number of digits as the class library converts it: false when it is none.
bool To_Int(const QString &text, int &v)
{
    bool ok = false;
    v = text.trimmed().toInt(&ok, 10);
    return ok;
}

bool Not_A_Number(const QString &text)
{
    Ques_Kind = 2;
    Show_Ques(QStringLiteral("\"%1\" не является правильным целым числом").arg(text.trimmed()), QString());
    return false;
}

} // namespace

Link_Control Num_List(const char *name, QStringList captions, int field, int lo, int hi, Link_Control::Kind kind)
{
    Link_Control c;
    c.kind = kind;
    c.name = name;
    c.captions = std::move(captions);
    c.field = field;
    for (int v = lo; v <= hi; ++v) {
        c.items << QString::number(v);
        c.values << v;
    }
    return c;
}

Link_Control Rate_List(const char *name, int field)
{
    Link_Control c;
    c.name = name;
    c.captions = {QStringLiteral("Скорость обмена")};
    c.field = field;
    for (int i = 0; i < BAUD_COUNT; ++i) {
        c.items << QString::number(Baud_Rates[i]);
        c.values << i;
    }
    return c;
}

// ---------------------------------------------------------------------------------------
// The form of one description.

TLink_Form::TLink_Form(QWidget *owner, Link_Form_Descr descr) : TParam_Dialog(owner), Descr(std::move(descr))
{
    setWindowTitle(Descr.caption);
    Grid = new QGridLayout;
    Grid->setColumnStretch(1, 1);
    Body->addLayout(Grid);
    for (const Link_Control &c : Descr.controls) Add_Control(c);
}

void TLink_Form::Add_Control(const Link_Control &c)
{
    QGridLayout *g = Grid;
    int row = Next_Row;
    QWidget *parent = this;
    if (!c.group.isEmpty()) {
        QGroupBox *box = Groups.value(c.group);
        if (!box) {
            box = new QGroupBox(c.group, this);
            box->setLayout(new QGridLayout);
            Groups.insert(c.group, box);
            Grid->addWidget(box, Next_Row++, 0, 1, 3);
        }
        parent = box;
        g = static_cast<QGridLayout *>(box->layout());
        row = g->rowCount();
    } else {
        ++Next_Row;
    }
    if (!c.captions.isEmpty()) g->addWidget(Lines(parent, c.captions), row, 0);
    QWidget *w = nullptr;
    if (c.kind == Link_Control::Edit) {
        auto *e = new QLineEdit(parent);
        if (c.max_len > 0) e->setMaxLength(c.max_len);
        Install_Int_Filter(e);
        w = e;
    } else {
        auto *cb = new QComboBox(parent);
        for (int i = 0; i < c.items.size(); ++i) cb->addItem(c.items[i], i < c.values.size() ? c.values[i] : i);
        if (c.kind == Link_Control::Typed) {
            cb->setEditable(true);
            cb->setInsertPolicy(QComboBox::NoInsert);
            Install_Int_Filter(cb);
        }
        cb->setMaxVisibleItems(20);
        w = cb;
    }
    w->setObjectName(QLatin1String(c.name));
    g->addWidget(w, row, 1);
    if (!c.hint.isEmpty()) g->addWidget(new QLabel(c.hint, parent), row, 2);
    Controls.insert(QLatin1String(c.name), w);
}

QComboBox *TLink_Form::Combo(const char *name) const
{
    return qobject_cast<QComboBox *>(Controls.value(QLatin1String(name)));
}

QLineEdit *TLink_Form::Edit(const char *name) const
{
    return qobject_cast<QLineEdit *>(Controls.value(QLatin1String(name)));
}

bool TLink_Form::Is_Active(const Link_Control &c) const
{
    const QWidget *w = Controls.value(QLatin1String(c.name));
    return w && w->isEnabledTo(const_cast<TLink_Form *>(this));
}

void TLink_Form::Load()
{
    Fill_Lists();
    for (const Link_Control &c : Descr.controls) {
        const int v = Tab_Data && c.field < Descr.fields ? Tab_Data[c.field] : -1;
        if (c.kind == Link_Control::Edit) {
            Edit(c.name)->setText(v < 0 ? QString() : QString::number(v));
            continue;
        }
        QComboBox *cb = Combo(c.name);
        // A value the list does not hold (a damaged table) shows no selection: the accept
        // then asks for one.
        cb->setCurrentIndex(cb->findData(v));
        if (cb->isEditable() && cb->currentIndex() < 0) cb->setEditText(QString());
    }
    Load_Extra();
}

bool TLink_Form::Value_Of(const Link_Control &c, int &v) const
{
    if (c.kind == Link_Control::List) {
        const QComboBox *cb = Combo(c.name);
        if (cb->currentIndex() < 0) return false;
        v = cb->currentData().toInt();
        return true;
    }
    const QString text = c.kind == Link_Control::Edit ? Edit(c.name)->text() : Combo(c.name)->currentText();
    if (!To_Int(text, v)) return Not_A_Number(text);
    return true;
}

bool TLink_Form::Check()
{
    // 1. Every enabled control holds something.
    bool complete = Complete_Extra();
    for (const Link_Control &c : Descr.controls) {
        if (!Is_Active(c)) continue;
        if (c.kind == Link_Control::List) complete = complete && Combo(c.name)->currentIndex() >= 0;
        else if (c.kind == Link_Control::Typed) complete = complete && !Combo(c.name)->currentText().trimmed().isEmpty();
        else complete = complete && !Edit(c.name)->text().trimmed().isEmpty();
    }
    if (!complete) return Refuse(Incomplete);

    // 2. The numbers, then their ranges in the order of the messages.
    QHash<QString, int> val;
    for (const Link_Control &c : Descr.controls) {
        if (!Is_Active(c)) continue;
        int v = 0;
        if (!Value_Of(c, v)) return false;
        val.insert(QLatin1String(c.name), v);
    }
    for (const Link_Check &k : Descr.checks) {
        const auto it = val.constFind(QLatin1String(k.name));
        if (it == val.constEnd()) continue;
        if (*it < k.lo || *it > k.hi) return Refuse(k.line1, k.line2);
    }

    // 3. The table as it will be stored: what the controls say, the fixed fields, the rest
    // as it was.
    Work = Tab_Data ? QByteArray(reinterpret_cast<const char *>(Tab_Data), Descr.fields) : QByteArray(Descr.fields, '\0');
    for (const Link_Control &c : Descr.controls) {
        const auto it = val.constFind(QLatin1String(c.name));
        // Every checked value fits a byte; one without a check is kept to its byte.
        if (it != val.constEnd() && c.field < Descr.fields) Work[c.field] = char(uint8_t(*it));
    }
    for (const auto &f : Descr.fixed)
        if (f.first < Descr.fields) Work[f.first] = char(f.second);
    Store_Extra();
    return true;
}

bool TLink_Form::Store()
{
    if (!Tab_Data || Work.size() != Descr.fields) return false;
    std::memcpy(Tab_Data, Work.constData(), size_t(Descr.fields));
    return true;
}

// ---------------------------------------------------------------------------------------
// Table 3.

namespace {

Link_Control Preamble_Edit(const QString &caption, int field)
{
    Link_Control c;
    c.kind = Link_Control::Edit;
    c.name = "EPream";
    c.captions = {caption};
    c.field = field;
    c.max_len = 3;
    c.hint = QStringLiteral("(  0 - 255 ) ");
    return c;
}

Link_Control Text_List(const char *name, const QString &caption, int field, const QStringList &items,
                       const QList<int> &values)
{
    Link_Control c;
    c.name = name;
    c.captions = {caption};
    c.field = field;
    c.items = items;
    c.values = values;
    return c;
}

Link_Control With_Hint(Link_Control c, const QString &hint)
{
    c.hint = hint;
    return c;
}

Link_Control In_Group(Link_Control c, const QString &group)
{
    c.group = group;
    return c;
}

const QStringList Modbus_Modes = {QStringLiteral(" ASCII"), QStringLiteral(" RTU")};

Link_Form_Descr Vu_Descr()
{
    Link_Form_Descr d;
    d.caption = QStringLiteral(" Параметры связи с верхним уровнем ");
    d.fields = VU_FIELDS;
    d.controls = {Num_List("CBAdr", {QStringLiteral("Адрес контроллера")}, 0, 1, 254, Link_Control::Typed),
                  Rate_List("CBRate", 1),
                  Preamble_Edit(QStringLiteral("Кол. преамбул  при ответе ВУ"), 2)};
    d.checks = {{"EPream", 0, 255, QStringLiteral("Количество преамбул не должно превышать 255"), QString()},
                {"CBAdr", 1, 254, QStringLiteral("Адрес должен быть"), QStringLiteral("в диапазоне 1...254")}};
    d.fixed = {{3, 0}};
    return d;
}

const QString Temp_Group = QStringLiteral(" Для чтения Т газа ");

Link_Form_Descr Hgc_Descr()
{
    Link_Form_Descr d;
    d.caption = QStringLiteral(" Параметры связи с хроматографом ");
    d.fields = HGC_FIELDS;
    Link_Control poll;
    poll.kind = Link_Control::Edit;
    poll.name = "EPoll";
    poll.captions = {QStringLiteral("Цикл опроса хроматографа  (10...255)")};
    poll.field = 15;
    poll.max_len = 3;
    poll.hint = QStringLiteral("с");
    d.controls = {
        Num_List("CBAdr", {QStringLiteral("Адрес хроматографа")}, 0, 1, 247, Link_Control::Typed),
        Rate_List("CBRate", 1),
        Text_List("CBMode", QStringLiteral("Режим обмена MODBUS протокола"), 2, Modbus_Modes, {0, 1}),
        Text_List("CBParity", QStringLiteral("Тип четности"), 3,
                  {QStringLiteral(" Бит четн. отсутствует"), QStringLiteral(" Неч. бит четности"),
                   QStringLiteral(" Четный бит четности")},
                  {0, 1, 2}),
        With_Hint(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа  от хромотогр.")}, 4, 5, 255),
                  QStringLiteral("сс")),
        Num_List("CBFails",
                 {QStringLiteral("Кол. неудачных опросов хроматографа"), QStringLiteral("подряд, после которого создается"),
                  QStringLiteral("диагностическое сообщение")},
                 5, 1, 10),
        Text_List("CBType", QStringLiteral("Тип хроматографа"), 6, {QStringLiteral("XRM5170")}, {HGC_TYPE_CODE}),
        In_Group(Text_List("CBVrg", QStringLiteral("Индекс ВРГ"), 10, {}, {}), Temp_Group),
        In_Group(Text_List("CBLine", QStringLiteral("Номер нитки"), 11,
                           {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, {1, 2, 3}),
                 Temp_Group),
        Num_List("CBCount", {QStringLiteral("Количество параметров для чтения ")}, 14, 1, 20),
        poll};
    d.checks = {{"CBAdr", 1, 247, QStringLiteral("Адрес должен быть"), QStringLiteral("в диапазоне 1...247")},
                {"EPoll", 10, 255, QStringLiteral("Цикл опроса хроматографа"),
                 QStringLiteral("должен быть в диапазоне 10...255")}};
    // Fields 8 and 9 (time synchronisation) are another dialog's: they keep their bytes.
    d.fixed = {{7, 1}, {12, 0}, {13, 0}};
    return d;
}

Link_Form_Descr Vich_Descr()
{
    Link_Form_Descr d;
    d.caption = QStringLiteral(" Параметры связи с ВРГ");
    d.fields = VICH_FIELDS;
    d.controls = {
        Num_List("CBCount", {QStringLiteral("Количество подключенных вычислителей")}, 0, 1, CONN_VICH_MAX),
        Rate_List("CBRate", 1),
        Num_List("CBFails",
                 {QStringLiteral("Количество неудачных обменов подряд, после"),
                  QStringLiteral("которого создается диагностическое сообщение")},
                 2, 1, 10),
        With_Hint(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа от вычислителя")}, 3, 1, 255),
                  QStringLiteral("дс")),
        Preamble_Edit(QStringLiteral("Кол. преамбул  в запросе к вычислителю"), 4)};
    d.checks = {{"EPream", 0, 255, QStringLiteral("Количество преамбул не должно превышать 255"), QString()}};
    return d;
}

Link_Form_Descr Wmt_Descr()
{
    Link_Form_Descr d;
    d.caption = QStringLiteral(" Параметры связи с влагомером");
    d.fields = WMT_FIELDS;
    d.controls = {
        Num_List("CBAdr", {QStringLiteral("Адрес влагомера")}, 0, 1, 247, Link_Control::Typed),
        Rate_List("CBRate", 1),
        Text_List("CBMode", QStringLiteral("Режим обмена MODBUS протокола"), 2, Modbus_Modes, {0, 1}),
        With_Hint(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа  от влагомера")}, 4, 5, 255,
                           Link_Control::Typed),
                  QStringLiteral("сс")),
        Num_List("CBFails",
                 {QStringLiteral("Кол. неудачных опросов влагомера"), QStringLiteral("подряд, после которого создается"),
                  QStringLiteral("диагностическое сообщение")},
                 5, 1, 10),
        Text_List("CBType", QStringLiteral("Тип влагомера"), 6,
                  {QStringLiteral("ZEGAZ 5000"), QStringLiteral("ФОГ-3Г"), QStringLiteral("TOPOC")}, {0, 1, 2})};
    d.checks = {{"CBAdr", 1, 247, QStringLiteral("Адрес должен быть"), QStringLiteral("в диапазоне 1...247")},
                {"CBTimeout", 5, 255, QStringLiteral("Таймаут должен быть"), QStringLiteral("в диапазоне 5...255")}};
    d.fixed = {{3, 0}, {7, 0}};
    return d;
}

} // namespace

TFormConVU::TFormConVU(QWidget *owner) : TLink_Form(owner, Vu_Descr()) {}

void TFormConVU::Load_Extra()
{
    Combo("CBRate")->setEnabled(Upper_Rate_Enabled(Dev_Write, Conn_Prz, Multi_Rate));
}

// ---------------------------------------------------------------------------------------
// Table 14.

TFormConHGC::TFormConHGC(QWidget *owner) : TLink_Form(owner, Hgc_Descr())
{
    GBTemp = Groups.value(Temp_Group);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Перечень параметров для чтения "), this));
    BitBtnParList = new QPushButton(QStringLiteral("..."), this);
    BitBtnParList->setObjectName("BitBtnParList");
    BitBtnParList->setAutoDefault(false);
    row->addWidget(BitBtnParList);
    row->addStretch(1);
    Body->addLayout(row);
    connect(BitBtnParList, &QPushButton::clicked, this, &TFormConHGC::Par_List_Click);
}

void TFormConHGC::Fill_Lists()
{
    QComboBox *cb = Combo("CBVrg");
    cb->clear();
    const int n = qBound(0, Vich_Count, CONN_VICH_MAX);
    for (int i = 0; i < n; ++i)
        cb->addItem(QString::asprintf("%d (адр. %d)", i, Vich_Adr ? Vich_Adr[i] : 0), i);
}

void TFormConHGC::Load_Extra()
{
    Combo("CBCount")->setEnabled(false);
    if (Vich_Count <= 0) {
        // No flow computer: the group is greyed and shows nothing.
        QPalette pal = GBTemp->palette();
        pal.setColor(QPalette::WindowText, QColor(128, 128, 128));
        GBTemp->setPalette(pal);
        for (QWidget *w : GBTemp->findChildren<QWidget *>()) w->setEnabled(false);
        Combo("CBVrg")->setCurrentIndex(-1);
        Combo("CBLine")->setCurrentIndex(-1);
    }
}

void TFormConHGC::Store_Extra()
{
    if (Vich_Count <= 0) {
        Work[10] = 0;
        Work[11] = 0;
    }
}

void TFormConHGC::Par_List_Click()
{
    if (!Tab_Data || !Chr_Tab) return;
    Chr_Par_List block;
    std::memset(&block, 0, sizeof block);
    // The count comes from the controller: no more records than table 1 holds are copied.
    block.count = uint8_t(Limit_Gas_Count(Tab_Data[14]));
    std::memcpy(block.par, Chr_Tab, size_t(block.count) * sizeof(Chr_Par));

    TFormChrPar_List f(this);
    f.Tab_Data = reinterpret_cast<uint8_t *>(&block);
    Run_Dialog(f);
    if (!f.Accepted) return;

    const int n = Limit_Gas_Count(block.count);
    Tab_Data[14] = uint8_t(n);
    std::memcpy(Chr_Tab, block.par, size_t(n) * sizeof(Chr_Par));
    QComboBox *cb = Combo("CBCount");
    cb->setCurrentIndex(cb->findData(n));
}

// ---------------------------------------------------------------------------------------
// Table 9.

TFormConVich::TFormConVich(QWidget *owner) : TLink_Form(owner, Vich_Descr())
{
    auto *box = new QGroupBox(QStringLiteral(" Режим записи параметров газа в вычислители "), this);
    auto *g = new QGridLayout(box);
    const QStringList texts[3] = {
        {QStringLiteral("Не записывать")},
        {QStringLiteral("Записывать средние за закончившийся час"),
         QStringLiteral("при условии отклонения их от значений в ВРГ")},
        {QStringLiteral("Записывать средние за закончившийся час"),
         QStringLiteral("значения периодически безусловно")}};
    int row = 0;
    for (int k = 0; k < 3; ++k) {
        auto *rb = new QRadioButton(texts[k][0], box);
        rb->setObjectName(QStringLiteral("rb%1").arg(k + 1));
        g->addWidget(rb, row++, 0);
        for (int l = 1; l < texts[k].size(); ++l) g->addWidget(new QLabel(texts[k][l], box), row++, 0);
    }
    Body->addWidget(box);
}

QRadioButton *TFormConVich::Radio(int k) const
{
    return findChild<QRadioButton *>(QStringLiteral("rb%1").arg(k));
}

void TFormConVich::Load_Extra()
{
    const int mode = Tab_Data ? Tab_Data[5] : -1;
    for (int k = 1; k <= 3; ++k) {
        QRadioButton *rb = Radio(k);
        rb->setAutoExclusive(false);
        rb->setChecked(mode == k - 1);
        rb->setAutoExclusive(true);
    }
}

bool TFormConVich::Complete_Extra()
{
    for (int k = 1; k <= 3; ++k)
        if (Radio(k)->isChecked()) return true;
    return false;
}

void TFormConVich::Store_Extra()
{
    for (int k = 1; k <= 3; ++k)
        if (Radio(k)->isChecked()) Work[5] = char(k - 1);
}

// ---------------------------------------------------------------------------------------
// Table 15.

TFormConWMT::TFormConWMT(QWidget *owner) : TLink_Form(owner, Wmt_Descr()) {}

// ---------------------------------------------------------------------------------------
// Table 29.

namespace {

struct Eth_Row {
    const char *prefix;
    const char *caption;
    int at;   // first byte of the address
};
const Eth_Row Eth_Rows[3] = {{"ip", "IP-адрес контроллера", 0}, {"im", "Маска подсети", 4}, {"is", "Шлюз по умолчанию", 8}};
const char *const Eth_Ports[4] = {"Порт соединения  ВРГ 1", "Порт соединения  ВРГ 2", "Порт соединения QZT 1",
                                  "Порт соединения QZT 2"};

} // namespace

TFormConEth::TFormConEth(QWidget *owner) : TParam_Dialog(owner)
{
    setWindowTitle(QStringLiteral(" Параметры связи по Ethernet"));
    auto *g = new QGridLayout;
    Body->addLayout(g);
    int row = 0;
    for (const Eth_Row &r : Eth_Rows) {
        g->addWidget(new QLabel(QString::fromUtf8(r.caption), this), row, 0);
        // Most significant octet on the left: ip4 . ip3 . ip2 . ip1.
        for (int n = 4, col = 1; n >= 1; --n) {
            auto *e = new QLineEdit(this);
            e->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(r.prefix)).arg(n));
            e->setMaxLength(3);
            e->setMaximumWidth(50);
            Install_Int_Filter(e);
            g->addWidget(e, row, col++);
            if (n > 1) g->addWidget(new QLabel(QStringLiteral("."), this), row, col++);
        }
        ++row;
    }
    for (int k = 0; k < 4; ++k) {
        g->addWidget(new QLabel(QString::fromUtf8(Eth_Ports[k]), this), row, 0);
        auto *e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("e%1").arg(k + 1));
        e->setMaxLength(10);
        Install_Int_Filter(e);
        g->addWidget(e, row++, 1, 1, 7);
    }
}

QLineEdit *TFormConEth::Edit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

void TFormConEth::Load()
{
    if (!Tab_Data) return;
    for (const Eth_Row &r : Eth_Rows)
        for (int n = 1; n <= 4; ++n)
            Edit(QStringLiteral("%1%2").arg(QLatin1String(r.prefix)).arg(n))->setText(QString::number(Tab_Data[r.at + n - 1]));
    for (int k = 0; k < 4; ++k) {
        uint32_t port;
        std::memcpy(&port, Tab_Data + 12 + 4 * k, 4);
        Edit(QStringLiteral("e%1").arg(k + 1))->setText(QString::number(port));
    }
}

bool TFormConEth::Check()
{
    const QList<QLineEdit *> all = findChildren<QLineEdit *>();
    for (const QLineEdit *e : all)
        if (e->text().trimmed().isEmpty()) return Refuse(Incomplete);

    for (const Eth_Row &r : Eth_Rows)
        for (int n = 1; n <= 4; ++n) {
            const QString text = Edit(QStringLiteral("%1%2").arg(QLatin1String(r.prefix)).arg(n))->text();
            int v = 0;
            if (!To_Int(text, v)) return Not_A_Number(text);
            // An octet above 255 would be stored as some other address of the controller.
            if (v < 0 || v > 255)
                return Refuse(QString::fromUtf8(r.caption), QStringLiteral("Число должно быть в диапазоне 0...255"));
            Work[r.at + n - 1] = uint8_t(v);
        }
    for (int k = 0; k < 4; ++k) {
        const QString text = Edit(QStringLiteral("e%1").arg(k + 1))->text();
        bool ok = false;
        const uint32_t port = text.trimmed().toUInt(&ok, 10);
        if (!ok) return Not_A_Number(text);
        std::memcpy(Work + 12 + 4 * k, &port, 4);
    }
    return true;
}

bool TFormConEth::Store()
{
    if (!Tab_Data) return false;
    std::memcpy(Tab_Data, Work, ETH_LEN);
    return true;
}

// ---------------------------------------------------------------------------------------
// Table 40.

TFormMac_Adr::TFormMac_Adr(QWidget *owner) : TParam_Dialog(owner, Buttons::Exit_Only)
{
    setWindowTitle(QStringLiteral("MAC-адрес контроллера"));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("MAC-адрес контроллера"), this));
    PMac = new QLabel(this);
    PMac->setObjectName("PMac");
    PMac->setFrameShape(QFrame::Panel);
    PMac->setFrameShadow(QFrame::Sunken);
    PMac->setAlignment(Qt::AlignCenter);
    PMac->setMinimumWidth(160);
    row->addWidget(PMac);
    Body->addLayout(row);
}

void TFormMac_Adr::Load()
{
    PMac->setText(Mac_Text(Tab_Data));
}

// ---------------------------------------------------------------------------------------
// The commands.

void NConVUClick(TFormMain *m)
{
    const Tab_Req req{3, 0, VU_FIELDS};
    if (!Road_Read(m, {req})) return;
    const QByteArray old = Range_Bytes(req);
    uint8_t *t3 = Tab_Dir[3].data;
    TFormConVU f(m);
    f.Tab_Data = t3;
    f.Conn_Prz = Conn_Settings.Curr_Par.Conn_Prz;
    const uint8_t *f11 = Tab_Field(0, 11);
    f.Multi_Rate = f11 ? *f11 : 0;
    if (!Road_Show(f) || !t3) return;

    // Table 3 may be the very port the program talks through: the controller takes the new
    // address and rate with the first write, and the second, sent with them, confirms it.
    auto take = [m, t3] {
        if (Exch_Box) Upper_Link_Take(*Exch_Box, Conn_Settings, t3[0], t3[1]);
        if (m) Show_Conn_Status(m->StatusBar1, m->StatusBar2);
    };
    if (!Road_Write_Changed(m, req, old)) return;
    take();
    if (!Road_Write_Changed(m, req, old)) return;
    take();
}

void NConHGCClick(TFormMain *m)
{
    int vich = 0;
    const uint8_t *t6f9 = Tab_Field(6, 9);
    if (t6f9 && *t6f9) {
        if (!Road_Read(m, {{9, 0, 1}})) return;
        vich = qMin(int(Tab_Dir[9].data[0]), CONN_VICH_MAX);
        if (!Road_Read(m, {{18, 0, uint8_t(vich)}})) return;
    }
    const Tab_Req req{14, 0, HGC_FIELDS};
    if (!Road_Read(m, {{5, 1, 2}, req})) return;
    const QByteArray old = Range_Bytes(req);
    const uint8_t *f12 = Tab_Field(0, 12);
    if (f12 && *f12 == 0)
        for (int k = 1; k <= 2; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), Tab_Dir[5].field_size);

    uint8_t *t1 = Tab_Dir[1].data;
    const QByteArray old_t1 = Range_Bytes({1, 0, MAX_GAS_PARAMS});
    // The parameter list changes table 1 in the image at once; the image goes back to what
    // the controller holds unless the list is written.
    auto restore_t1 = [t1, &old_t1] {
        if (t1 && old_t1.size() == MAX_GAS_PARAMS * int(sizeof(Chr_Par))) std::memcpy(t1, old_t1.constData(), size_t(old_t1.size()));
    };

    TFormConHGC f(m);
    f.Tab_Data = Tab_Dir[14].data;
    f.Chr_Tab = t1;
    f.Vich_Count = vich;
    f.Vich_Adr = Tab_Dir[18].data;
    if (!Road_Show(f)) {
        restore_t1();
        return;
    }
    if (!Road_Write_Changed(m, req, old)) {
        restore_t1();
        return;
    }
    const int n = Gas_Par_Count();
    Road_Write_Changed(m, {1, 0, uint8_t(n)}, old_t1.left(n * int(sizeof(Chr_Par))));
}

void NVrgConnClick(TFormMain *m)
{
    const Tab_Req req{9, 0, VICH_FIELDS};
    if (!Road_Read(m, {req})) return;
    const QByteArray old = Range_Bytes(req);
    uint8_t *t9 = Tab_Dir[9].data;
    TFormConVich f(m);
    f.Tab_Data = t9;
    if (!Road_Show(f) || !t9 || old.isEmpty()) return;

    if (t9[0] <= uint8_t(old[0])) {
        Road_Write_Changed(m, req, old);
        return;
    }
    Ques_Kind = 3;
    Show_Ques(QStringLiteral("Количество вычислителей не может быть увеличено"),
              QStringLiteral("без ввода их параметров. Выполнить ввод параметров сейчас?"));
    if (Ques_Answer == 1 && Vrg_Count_Raised) {
        Vrg_Count_Raised(m, old);
        return;
    }
    // Nothing is written: the image keeps what the controller holds.
    std::memcpy(t9, old.constData(), size_t(old.size()));
}

void NConnWMTClick(TFormMain *m)
{
    Edit_Table<TFormConWMT>(m, Tab_Req{15, 0, WMT_FIELDS}, [](TFormConWMT &) {});
}

void N_EthernetClick(TFormMain *m)
{
    Edit_Table<TFormConEth>(m, Tab_Req{29, 0, ETH_FIELDS}, [](TFormConEth &) {});
}

void NMac_AdrClick(TFormMain *m)
{
    if (!Road_Read(m, {{40, 0, 1}})) return;
    TFormMac_Adr f(m);
    f.Tab_Data = Tab_Dir[40].data;
    Road_Show(f);   // display only
}

void Install_Link_Commands(TFormMain *m)
{
    if (!m) return;
    m->Set_Handler(QStringLiteral("NConVU"), [m](QAction *) { NConVUClick(m); });
    m->Set_Handler(QStringLiteral("NConHGC"), [m](QAction *) { NConHGCClick(m); });
    m->Set_Handler(QStringLiteral("NVrgConn"), [m](QAction *) { NVrgConnClick(m); });
    m->Set_Handler(QStringLiteral("NConnWMT"), [m](QAction *) { NConnWMTClick(m); });
    m->Set_Handler(QStringLiteral("N_Ethernet"), [m](QAction *) { N_EthernetClick(m); });
    m->Set_Handler(QStringLiteral("NMac_Adr"), [m](QAction *) { NMac_AdrClick(m); });
}
