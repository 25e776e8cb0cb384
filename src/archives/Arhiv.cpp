#include "archives/Arhiv.h"

#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Tables.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
using K = Arh_File_Kind;
using P = Arh_Period_Form;

// Record sizes of the lists; the message rows are the decoded text rows of the message lists.
constexpr uint32_t CHR_REC = 94, CLB_REC = 90, WMT_MEAS_REC = 29, WMT_HD_REC = 28;
constexpr uint32_t ALA_ROW = 300, AUD_ROW = 205;

const std::array<Arh_Kind_Info, ARH_KIND_COUNT> kKinds = {{
    {K::Chr_Meas, ".mch", "MSA", 0, 0, "MOMDATA", CHR_REC, true, true, '_', P::Date6,
     "datafile.msd", 5, "измер. данные контроллера QZT_16 из архива"},
    {K::Chr_Hour, ".hch", "HOU", 0, 0, "HOURDATA", CHR_REC, true, true, '-', P::Date4,
     "datafile.hdm", 7, "часовые данные контроллера QZT_16 из архива"},
    {K::Chr_Day, ".dch", "DAY", 0, 0, "DAYDATA", CHR_REC, true, true, '-', P::Date3,
     "datafile.hdm", 9, "суточные данные контроллера QZT_16 из архива"},
    {K::Clb, ".clb", "CLB", 0, 0, "CALIBRARHIV", CLB_REC, false, false, '-', P::Date6,
     "datafile.clb", 11, "данные калибровки хроматографа XRM5170"},
    {K::Wmt_Meas, ".mwm", "MSA", 0x01, 1, "MOMDATA", WMT_MEAS_REC, true, false, '_', P::Date6,
     "datafile.msd", 6, "измерительные данные влагомера из архива контроллера QZT_16"},
    {K::Wmt_Hour, ".hwm", "HOU", 1, 1, "HOURDATA", WMT_HD_REC, false, false, '_', P::Date4,
     "datafile.hdm", 8, "часовые данные влагомера из архива контроллера QZT_16"},
    {K::Wmt_Day, ".dwm", "DAY", 1, 1, "DAYDATA", WMT_HD_REC, false, false, '_', P::Date3,
     "datafile.hdm", 10, "суточные данные влагомера из архива контроллера QZT_16"},
    {K::Ala, ".ala", "ALA", 0, -1, "ALAFILES", ALA_ROW, false, false, '_', P::Date6,
     "datafile.ala", 3, "диагностические сообщения контроллера QZT_16"},
    {K::Aud, ".aud", "AUD", 0, -1, "AUDFILES", AUD_ROW, false, false, '_', P::Date6,
     "datafile.aud", 4, "сообщения о вмешательствах оператора контроллера QZT_16"},
}};

// Fields of the table image the header is composed from.
constexpr int TAB_PARS = 1, TAB_NAMES = 5, TAB_CHROM = 14, TAB_WMT = 15, TAB_MAC = 40;
constexpr int CHROM_CODE_FIELD = 6, PAR_COUNT_FIELD = 14, WMT_TYPE_FIELD = 6;
constexpr int CHR_PAR_SYMBOL = 40, CHR_PAR_UNIT = 50, CHR_PAR_DECIMALS = 61;
constexpr int MAX_DECIMALS = 7;

uint8_t field_byte(int t, int k)
{
    const uint8_t *p = Tab_Field(t, k);
    return p ? *p : 0;
}

void copy_field(void *dst, int t, int k, size_t len)
{
    const uint8_t *p = Tab_Field(t, k);
    if (p && Tab_Dir[t].field_size >= len) std::memcpy(dst, p, len);
}

void copy_period(uint8_t *dst, const uint8_t *src, Arh_Period_Form form)
{
    const size_t n = form == P::Date6 ? 6 : form == P::Date4 ? 4 : 3;
    std::memset(dst, 0, 6);
    std::memcpy(dst, src, n);
}

// A name from the controller may hold characters no file name can.
QString file_name_safe(QString s)
{
    for (QChar &c : s) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = u'_';
    }
    return s;
}
} // namespace

const Arh_Kind_Info &Arh_Info(Arh_File_Kind kind)
{
    const auto i = size_t(kind);
    return kKinds[i < kKinds.size() ? i : 0];
}

bool Arh_Kind_From_Index(int i, Arh_File_Kind *kind)
{
    if (i < 0 || i >= ARH_KIND_COUNT) return false;
    if (kind) *kind = kKinds[size_t(i)].kind;
    return true;
}

QString Arh_Dir(Arh_File_Kind kind) { return Work_Dir() + QLatin1String(Arh_Info(kind).dir); }

QString Arh_Filter_Pipe(Arh_File_Kind kind)
{
    const QString ext = QLatin1String(Arh_Info(kind).ext);
    return QStringLiteral("DataFiles (*%1)|*%1").arg(ext);
}

QString Arh_Filter(Arh_File_Kind kind)
{
    return QStringLiteral("DataFiles (*%1)").arg(QLatin1String(Arh_Info(kind).ext));
}

QStringList Arh_Open_Filters()
{
    return File_Dialog_Filters();
}

QString Arh_Field_Text(const char *field, int len)
{
    const char *end = static_cast<const char *>(std::memchr(field, 0, size_t(len)));
    return Cp1251_To_Unicode(field, end ? int(end - field) : len);
}

QString Arh_Default_Name(Arh_File_Kind kind, const QString &dir, const Arhiv_Header &h,
                         const QDate &today)
{
    const Arh_Kind_Info &k = Arh_Info(kind);
    QString name = QStringLiteral("qzt%1%2%3_")
                       .arg(int(ARH_CONTR_TYPE), 2, 10, QLatin1Char('0'))
                       .arg(QLatin1Char(k.name_sep))
                       .arg(int(h.contr_adr), 3, 10, QLatin1Char('0'));
    if (k.name_has_line)
        name += file_name_safe(Arh_Field_Text(h.line_name, sizeof h.line_name).trimmed()) + u'_';
    name += QStringLiteral("%1%2%3")
                .arg(today.year() - 2000, 2, 10, QLatin1Char('0'))
                .arg(today.month(), 2, 10, QLatin1Char('0'))
                .arg(today.day(), 2, 10, QLatin1Char('0'));
    name += QLatin1String(k.ext);
    return dir + u'/' + name;
}

QString Arh_Default_Name(Arh_File_Kind kind, const Arhiv_Header &h, const QDate &today)
{
    return Arh_Default_Name(kind, Arh_Dir(kind), h, today);
}

Arhiv_Header Build_Arhiv_Header(Arh_File_Kind kind, const Arh_Header_Args &a)
{
    const Arh_Kind_Info &k = Arh_Info(kind);
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, k.magic, sizeof h.magic);
    h.device = (kind == K::Wmt_Meas && a.device) ? *a.device : k.device;
    copy_field(h.contr_name, TAB_NAMES, 0, sizeof h.contr_name);
    if (k.line_name) copy_field(h.line_name, TAB_NAMES, 1, sizeof h.line_name);
    h.contr_adr = a.contr_adr;
    h.contr_type = ARH_CONTR_TYPE;
    h.chrom_code = field_byte(TAB_CHROM, CHROM_CODE_FIELD);
    h.wmt_type = field_byte(TAB_WMT, WMT_TYPE_FIELD);
    const int n = std::min<int>(field_byte(TAB_CHROM, PAR_COUNT_FIELD), ARH_PAR_MAX);
    h.par_count = uint8_t(n);
    for (int i = 0; i < n; ++i) {
        const uint8_t *par = Tab_Field(TAB_PARS, i);
        if (!par) break;
        std::memcpy(h.pars[i].symbol, par + CHR_PAR_SYMBOL, sizeof h.pars[i].symbol);
        h.pars[i].unit = par[CHR_PAR_UNIT];
        h.pars[i].decimals = par[CHR_PAR_DECIMALS];
    }
    h.made = a.made;
    copy_period(h.period_start.bytes(), a.period_start.bytes(), k.period);
    copy_period(h.period_end.bytes(), a.period_end.bytes(), k.period);
    h.rec_count = a.rec_count;
    copy_field(h.chrom_mac, TAB_MAC, 0, sizeof h.chrom_mac);
    return h;
}

Arh_Check Check_Arhiv_Header(Arh_File_Kind kind, const Arhiv_Header &h)
{
    const Arh_Kind_Info &k = Arh_Info(kind);
    if (std::memcmp(h.magic, k.magic, sizeof h.magic) != 0) return Arh_Check::Bad_Magic;
    if (h.contr_type != ARH_CONTR_TYPE) return Arh_Check::Bad_Model;
    if (h.chrom_code != ARH_CHROM_CODE) return Arh_Check::Bad_Chrom;
    if (k.device_nibble >= 0 && (h.device & 0x0F) != k.device_nibble) return Arh_Check::Bad_Device;
    if (h.par_count > ARH_PAR_MAX) return Arh_Check::Bad_Par_Count;
    return Arh_Check::Ok;
}

QString Param_Symbol(const Arhiv_Header &h, int i)
{
    if (i < 0 || i >= ARH_PAR_MAX) return {};
    return Arh_Field_Text(h.pars[i].symbol, sizeof h.pars[i].symbol);
}

int Param_Decimals(const Arhiv_Header &h, int i)
{
    if (i < 0 || i >= ARH_PAR_MAX) return 0;
    return std::min<int>(h.pars[i].decimals, MAX_DECIMALS);
}

int Arh_Par_Count(const Arhiv_Header &h) { return std::min<int>(h.par_count, ARH_PAR_MAX); }
