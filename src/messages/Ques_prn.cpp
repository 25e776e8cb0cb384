#include "messages/Ques_prn.h"

#include "core/Codepage.h"
#include "core/Rd_wr_ini.h"
#include "core/Suplfunc.h"

#include <QFile>
#include <cstring>

namespace {

QString two(int v) { return QString::asprintf("%02d", v); }

// "за период  с  dd.mm.yy  hh:mm:ss  по  dd.mm.yy  hh:mm:ss" and its shorter forms.
QString period(const Arhiv_Header &h, bool time, bool seconds)
{
    auto bound = [&](const Date6 &d) {
        QString s = two(d.day) + u'.' + two(d.month) + u'.' + two(d.year);
        if (time && seconds) s += QStringLiteral("  ") + two(d.hour) + u':' + two(d.minute) + u':' + two(d.second);
        else if (time) s += QStringLiteral("  ") + two(d.hour) + QStringLiteral("ч");
        return s;
    };
    return QStringLiteral("за период  с  ") + bound(h.period_start) + QStringLiteral("  по  ") + bound(h.period_end);
}

} // namespace

Ques_Prn_Lines Ques_Prn_Title(uint8_t kind, const Arhiv_Header &h)
{
    const QString model = QStringLiteral("контроллерa QZT_") + two(ARH_CONTR_TYPE);
    switch (kind) {
    case REP_KIND_ALA:
        return {QStringLiteral("Перечень диагностических сообщений"), model, period(h, true, true)};
    case REP_KIND_AUD:
        return {QStringLiteral("Перечень сообщений о вмешательствах оператора"), QStringLiteral("в работу ") + model,
                period(h, true, true)};
    case REP_KIND_WMT_HOUR:
        return {QStringLiteral("Часовые измерительные данные влагомера"), model, period(h, true, false)};
    case REP_KIND_WMT_DAY:
        return {QStringLiteral("Суточные измерительные данные влагомера"), model, period(h, false, false)};
    case REP_KIND_WMT_MOM:
        return {QStringLiteral("Измерительные данные влагомера"), model, period(h, true, true)};
    default:
        return {};
    }
}

QString Title_Ini_Path() { return Ini_Dir() + QStringLiteral("title.ini"); }

bool Read_Title_Ini(const QString &path, char heading[REP_HEADING_SIZE])
{
    std::memset(heading, 0, REP_HEADING_SIZE);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 n = f.read(heading, TITLE_INI_SIZE);
    if (n < 0) {
        std::memset(heading, 0, REP_HEADING_SIZE);
        return false;
    }
    return n > 0;
}

bool Write_Title_Ini(const QString &path, const char heading[REP_HEADING_SIZE])
{
    return Save_Whole_File(path, QByteArray(heading, TITLE_INI_SIZE)) == Save_Result::Ok;
}

void Heading_From_Text(const QString &text, char heading[REP_HEADING_SIZE])
{
    std::memset(heading, 0, REP_HEADING_SIZE);
    const QByteArray b = Unicode_To_Cp1251(text);
    int n = int(qMin<qsizetype>(b.size(), TITLE_INI_SIZE));
    // A zero byte would end the name early on reading: the name ends there now too.
    const void *z = std::memchr(b.constData(), 0, size_t(n));
    if (z) n = int(static_cast<const char *>(z) - b.constData());
    std::memcpy(heading, b.constData(), size_t(n));
}
