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

Field_Row Num_List(const char *name, QStringList label, int field, int lo, int hi,
                   Field_Row::Kind kind = Field_Row::List)
{
    Field_Row r;
    r.kind = kind;
    r.name = name;
    r.label = std::move(label);
    r.offset = field;
    for (int v = lo; v <= hi; ++v) r.items << QString::number(v);
    r.base = lo;
    return r;
}

// The 22 rates; the item index is the stored rate index.
Field_Row Rate_List(int field)
{
    Field_Row r;
    r.name = "CBRate";
    r.label = {QStringLiteral("Скорость обмена")};
    r.offset = field;
    for (int i = 0; i < BAUD_COUNT; ++i) r.items << QString::number(Baud_Rates[i]);
    return r;
}

Field_Row Text_List(const char *name, const QString &label, int field, const QStringList &items,
                    const QList<int64_t> &values = {})
{
    Field_Row r;
    r.name = name;
    r.label = {label};
    r.offset = field;
    r.items = items;
    r.values = values;
    return r;
}

Field_Row Number_Edit(const char *name, const QString &label, int field, const QString &unit = QString(),
                      const QString &hint = QString())
{
    Field_Row r;
    r.kind = Field_Row::Edit;
    r.name = name;
    r.label = {label};
    r.offset = field;
    r.max_len = 3;
    r.unit = unit;
    r.hint = hint;
    return r;
}

Field_Row With_Unit(Field_Row r, const QString &unit)
{
    r.unit = unit;
    return r;
}

Field_Row In_Group(Field_Row r, const QString &group)
{
    r.group = group;
    return r;
}

const QStringList Modbus_Modes = {QStringLiteral(" ASCII"), QStringLiteral(" RTU")};
const QString Pream_Hint = QStringLiteral("(  0 - 255 ) ");
const QString Pream_Max = QStringLiteral("Количество преамбул не должно превышать 255");
const QString Adr_Must = QStringLiteral("Адрес должен быть");
const QString Temp_Group = QStringLiteral(" Для чтения Т газа ");

Field_List_Desc Vu_Desc()
{
    Field_List_Desc d;
    d.caption = QStringLiteral(" Параметры связи с верхним уровнем ");
    d.rows = {Num_List("CBAdr", {QStringLiteral("Адрес контроллера")}, 0, 1, 254, Field_Row::Typed_List),
              Rate_List(1),
              Number_Edit("EPream", QStringLiteral("Кол. преамбул  при ответе ВУ"), 2, QString(), Pream_Hint)};
    d.checks = {{2, 0, 255, Pream_Max, QString()}, {0, 1, 254, Adr_Must, QStringLiteral("в диапазоне 1...254")}};
    d.fixed = {{3, 1, 0}};
    return d;
}

enum { HGC_ADR, HGC_RATE, HGC_MODE, HGC_PARITY, HGC_TIMEOUT, HGC_FAILS, HGC_TYPE, HGC_VRG, HGC_LINE, HGC_COUNT, HGC_POLL };

Field_List_Desc Hgc_Desc()
{
    Field_List_Desc d;
    d.caption = QStringLiteral(" Параметры связи с хроматографом ");
    // Up to 16 flow computers; the list keeps as many as are connected (set at show time).
    Field_Row vrg = Num_List("CBVrg", {QStringLiteral("Индекс ВРГ")}, 10, 0, CONN_VICH_MAX - 1);
    d.rows = {
        Num_List("CBAdr", {QStringLiteral("Адрес хроматографа")}, 0, 1, 247, Field_Row::Typed_List),
        Rate_List(1),
        Text_List("CBMode", QStringLiteral("Режим обмена MODBUS протокола"), 2, Modbus_Modes),
        Text_List("CBParity", QStringLiteral("Тип четности"), 3,
                  {QStringLiteral(" Бит четн. отсутствует"), QStringLiteral(" Неч. бит четности"),
                   QStringLiteral(" Четный бит четности")}),
        With_Unit(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа  от хромотогр.")}, 4, 5, 255),
                  QStringLiteral("сс")),
        Num_List("CBFails",
                 {QStringLiteral("Кол. неудачных опросов хроматографа"), QStringLiteral("подряд, после которого создается"),
                  QStringLiteral("диагностическое сообщение")},
                 5, 1, 10),
        Text_List("CBType", QStringLiteral("Тип хроматографа"), 6, {QStringLiteral("XRM5170")}, {HGC_TYPE_CODE}),
        In_Group(vrg, Temp_Group),
        In_Group(Num_List("CBLine", {QStringLiteral("Номер нитки")}, 11, 1, 3), Temp_Group),
        Num_List("CBCount", {QStringLiteral("Количество параметров для чтения ")}, 14, 1, 20),
        Number_Edit("EPoll", QStringLiteral("Цикл опроса хроматографа  (10...255)"), 15, QStringLiteral("с"))};
    d.checks = {{HGC_ADR, 1, 247, Adr_Must, QStringLiteral("в диапазоне 1...247")},
                {HGC_POLL, 10, 255, QStringLiteral("Цикл опроса хроматографа"),
                 QStringLiteral("должен быть в диапазоне 10...255")}};
    // Fields 8 and 9 (time synchronisation) belong to another dialog: they keep their bytes.
    d.fixed = {{7, 1, 1}, {12, 1, 0}, {13, 1, 0}};
    return d;
}

Field_List_Desc Vich_Desc()
{
    Field_List_Desc d;
    d.caption = QStringLiteral(" Параметры связи с ВРГ");
    Field_Row mode;
    mode.kind = Field_Row::Radio;
    mode.name = "rb";
    mode.offset = 5;
    mode.items = {QStringLiteral("Не записывать"),
                  QStringLiteral("Записывать средние за закончившийся час\nпри условии отклонения их от значений в ВРГ"),
                  QStringLiteral("Записывать средние за закончившийся час\nзначения периодически безусловно")};
    mode.group = QStringLiteral(" Режим записи параметров газа в вычислители ");
    d.rows = {Num_List("CBCount", {QStringLiteral("Количество подключенных вычислителей")}, 0, 1, CONN_VICH_MAX),
              Rate_List(1),
              Num_List("CBFails",
                       {QStringLiteral("Количество неудачных обменов подряд, после"),
                        QStringLiteral("которого создается диагностическое сообщение")},
                       2, 1, 10),
              With_Unit(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа от вычислителя")}, 3, 1, 255),
                        QStringLiteral("дс")),
              Number_Edit("EPream", QStringLiteral("Кол. преамбул  в запросе к вычислителю"), 4, QString(), Pream_Hint),
              mode};
    d.checks = {{4, 0, 255, Pream_Max, QString()}};
    return d;
}

Field_List_Desc Wmt_Desc()
{
    Field_List_Desc d;
    d.caption = QStringLiteral(" Параметры связи с влагомером");
    d.rows = {
        Num_List("CBAdr", {QStringLiteral("Адрес влагомера")}, 0, 1, 247, Field_Row::Typed_List),
        Rate_List(1),
        Text_List("CBMode", QStringLiteral("Режим обмена MODBUS протокола"), 2, Modbus_Modes),
        With_Unit(Num_List("CBTimeout", {QStringLiteral("Таймаут ожидания ответа  от влагомера")}, 4, 5, 255,
                           Field_Row::Typed_List),
                  QStringLiteral("сс")),
        Num_List("CBFails",
                 {QStringLiteral("Кол. неудачных опросов влагомера"), QStringLiteral("подряд, после которого создается"),
                  QStringLiteral("диагностическое сообщение")},
                 5, 1, 10),
        Text_List("CBType", QStringLiteral("Тип влагомера"), 6,
                  {QStringLiteral("ZEGAZ 5000"), QStringLiteral("ФОГ-3Г"), QStringLiteral("TOPOC")})};
    d.checks = {{0, 1, 247, Adr_Must, QStringLiteral("в диапазоне 1...247")},
                {3, 5, 255, QStringLiteral("Таймаут должен быть"), QStringLiteral("в диапазоне 5...255")}};
    d.fixed = {{3, 1, 0}, {7, 1, 0}};
    return d;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Table 3.

TFormConVU::TFormConVU(QWidget *owner) : TFormField_List(Vu_Desc(), owner) {}

void TFormConVU::Load_Extra()
{
    Set_Row_Enabled(Row_Of("CBRate"), Upper_Rate_Enabled(Dev_Write, Conn_Prz, Multi_Rate));
}

// ---------------------------------------------------------------------------------------
// Table 14.

TFormConHGC::TFormConHGC(QWidget *owner) : TFormField_List(Hgc_Desc(), owner)
{
    for (QGroupBox *g : findChildren<QGroupBox *>())
        if (g->title() == Temp_Group) GBTemp = g;
    BitBtnParList = new QPushButton(QStringLiteral("..."), Rows_Widget);
    BitBtnParList->setObjectName("BitBtnParList");
    BitBtnParList->setAutoDefault(false);
    Add_Row(new QLabel(QStringLiteral("Перечень параметров для чтения "), Rows_Widget), BitBtnParList);
    connect(BitBtnParList, &QPushButton::clicked, this, &TFormConHGC::Par_List_Click);
}

void TFormConHGC::Load_Extra()
{
    Set_Row_Enabled(HGC_COUNT, false);
    // One item per connected flow computer: its index and address.
    QComboBox *cb = List(HGC_VRG);
    const int n = qBound(0, Vich_Count, CONN_VICH_MAX);
    const int shown = Tab_Data ? Tab_Data[10] : -1;
    cb->clear();
    for (int i = 0; i < n; ++i) cb->addItem(QString::asprintf("%d (адр. %d)", i, Vich_Adr ? Vich_Adr[i] : 0));
    cb->setCurrentIndex(shown >= 0 && shown < n ? shown : -1);
    if (n == 0) {
        // No flow computer: the group is greyed and shows nothing.
        if (GBTemp) {
            QPalette pal = GBTemp->palette();
            pal.setColor(QPalette::WindowText, QColor(128, 128, 128));
            GBTemp->setPalette(pal);
        }
        Set_Row_Enabled(HGC_VRG, false);
        Set_Row_Enabled(HGC_LINE, false);
        List(HGC_LINE)->setCurrentIndex(-1);
    }
}

void TFormConHGC::Store_Extra()
{
    if (Vich_Count <= 0 && Tab_Data) {
        Tab_Data[10] = 0;
        Tab_Data[11] = 0;
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
    Set_Row_Value(HGC_COUNT, n);
}

// ---------------------------------------------------------------------------------------
// Tables 9 and 15.

TFormConVich::TFormConVich(QWidget *owner) : TFormField_List(Vich_Desc(), owner) {}

TFormConWMT::TFormConWMT(QWidget *owner) : TFormField_List(Wmt_Desc(), owner) {}

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
    if (!Road_Show(f) || !t3 || old.size() != VU_FIELDS) return;

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
