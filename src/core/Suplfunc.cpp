#include "core/Suplfunc.h"

#include "core/Comportfunctions.h"
#include "core/Dtfun.h"
#include "core/Ques.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
double pow10i(int n)
{
    double p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// Fixed text with dec decimals, halves rounded away from zero. A float times 10^dec
// (dec <= 6) is exact in a double, so the rounding sees the stored value itself.
QString fixed(float v, int dec)
{
    const double p = pow10i(dec);
    const double r = std::round(double(v) * p) / p;
    return QString::asprintf("%.*f", dec, r);
}

// Beyond 10 significant digits a fixed text would show digits a float does not hold.
constexpr float kFixedLimit = 1e10f;

QString big(float v) { return QString::asprintf("%.9e", double(v)); }
} // namespace

QString Float_To_Str(float v)
{
    if (!std::isfinite(v)) return QStringLiteral("NAN");
    if (v == 0) return QStringLiteral("0");
    const float x = std::fabs(v);
    if (x < 1e-6f) return QString::asprintf("%.4e", double(v));
    if (x < 0.0001f) return fixed(v, 5);
    if (x < 10) return fixed(v, 4);
    if (x < 100) return fixed(v, 3);
    if (x < 1000) return fixed(v, 2);
    if (x < 10000) return fixed(v, 1);
    if (x < kFixedLimit) return fixed(v, 0);
    return big(v);
}

void Float_To_Str(float v, QString &out) { out = Float_To_Str(v); }

QString Float_To_Str_Wmt(float v)
{
    if (!std::isfinite(v)) return QStringLiteral("NAN");
    if (v == 0) return QStringLiteral("0");
    const float x = std::fabs(v);
    if (x < 1e-6f) return QString::asprintf("%.2e", double(v));
    if (x < 0.0001f) return fixed(v, 6);
    if (x < 0.001f) return fixed(v, 5);
    if (x < 0.01f) return fixed(v, 4);
    if (x < 1) return fixed(v, 3);
    if (x < 100) return fixed(v, 2);
    if (x < 1000) return fixed(v, 1);
    if (x < kFixedLimit) return fixed(v, 0);
    return big(v);
}

void Float_To_Str_Wmt(float v, QString &out) { out = Float_To_Str_Wmt(v); }

bool Is_Nan(const uint8_t *b) { return (b[3] & 0x7F) == 0x7F && (b[2] & 0x80) != 0; }

bool Is_Nan(float v)
{
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    return Is_Nan(b);
}

void Swap_Word(uint16_t &w) { w = uint16_t((w >> 8) | (w << 8)); }

int Hours_Between(const uint8_t *from, const uint8_t *to)
{
    const int64_t h = int64_t(Days_Between(Date6_To_Ymd(from), Date6_To_Ymd(to))) * 24 + to[3] - from[3];
    return int(std::clamp<int64_t>(h, INT32_MIN, INT32_MAX));
}

int Period_Units(const uint8_t *from, const uint8_t *to, int unit)
{
    // A progress bar needs a positive maximum, also for an empty or reversed period.
    int n = 1;
    switch (unit) {
    case UNIT_HOUR: n = Hours_Between(from, to); break;
    case UNIT_DAY: n = Days_Between(Date6_To_Ymd(from), Date6_To_Ymd(to)); break;
    case UNIT_MONTH: n = Days_Between(Date6_To_Ymd(from), Date6_To_Ymd(to)) / 30; break;
    default: break;
    }
    return std::max(n, 1);
}

static bool is_digit(QChar c) { return c >= u'0' && c <= u'9'; }

QChar Key_Press_Int(QChar key)
{
    if (key == QChar(8) || is_digit(key)) return key;
    return QChar();
}

QChar Key_Press_Float(const QString &text, int caret, QChar key)
{
    if (key == QChar(8)) return key;
    if (key == u',') key = u'.';
    if (!(is_digit(key) || key == u'e' || key == u'.' || key == u'+' || key == u'-')) return QChar();

    const int len = int(text.size());
    caret = std::clamp(caret, 0, len);
    const int pe = int(text.indexOf(u'e'));
    const bool has_sep = text.contains(u'.');
    const bool sign_after_first = len > 1 && (text.indexOf(u'-', 1) >= 0 || text.indexOf(u'+', 1) >= 0);
    const int exp_width = sign_after_first ? 3 : 2;

    if (is_digit(key)) {
        if (pe >= 0 && caret > pe && len - pe - 1 >= exp_width) return QChar();
        return key;
    }
    if (key == u'e') return (pe < 0 && len > 0 && caret == len) ? key : QChar();
    if (key == u'.') return (!has_sep && (pe < 0 || caret <= pe)) ? key : QChar();
    if (key == u'-' && caret == 0 && !text.startsWith(u'-')) return key;
    // A sign of the exponent, right after the "e".
    if (pe >= 0 && caret == pe + 1 && !sign_after_first) return key;
    return QChar();
}

Conn_Status_Texts Conn_Status_Text(const Conn_Status_Info &info)
{
    Conn_Status_Texts t;
    const auto port_rate = [&] {
        // The device as the port is opened: "COM%d" on Windows.
        const QString dev = info.port_name.isEmpty() ? Com_Port_Name(info.com_port) : info.port_name;
        return QStringLiteral(" %1,   %2 бит/с").arg(dev).arg(info.rate);
    };
    const auto adr = [](int a) { return QString::asprintf(" Адр. %d", a); };
    switch (info.conn_prz) {
    case 0:
        t.panel0 = port_rate();
        t.panel1 = adr(info.adr);
        break;
    case 1:
        if (!info.have_subscriber) break;
        t.panel0 = port_rate();
        t.panel1 = adr(info.contr_adr);
        t.bar2_panel0 = QStringLiteral(" %1 (тел. %2)").arg(info.user_name, info.phone_code);
        break;
    case 2:
        if (!info.have_subscriber) break;
        t.panel1 = adr(info.contr_adr);
        // One pass of arg(), so a "%2" inside a name stays as typed.
        t.bar2_panel0 = QStringLiteral(" %1 (IP-адр. %2)")
                            .arg(info.user_name, QString::asprintf("%u.%u.%u.%u", info.ip_adr >> 24,
                                                                   (info.ip_adr >> 16) & 0xFF,
                                                                   (info.ip_adr >> 8) & 0xFF, info.ip_adr & 0xFF));
        break;
    default: break;
    }
    return t;
}

void Show_Conn_Status(const Conn_Status_Info &info, const Status_Panel_Setter &set)
{
    if (!set) return;
    const Conn_Status_Texts t = Conn_Status_Text(info);
    set(0, 0, t.panel0);
    set(0, 1, t.panel1);
    set(1, 0, t.bar2_panel0);
}

QRect Fit_Window(const QRect &want, const QRect &avail, const QMargins &frame)
{
    const int fw = frame.left() + frame.right(), fh = frame.top() + frame.bottom();
    const int w = std::max(1, std::min(want.width(), avail.width() - fw));
    const int h = std::max(1, std::min(want.height(), avail.height() - fh));
    // The frame's right and bottom edges first, then its left and top: a frame wider than
    // the screen keeps its title bar and left edge in view.
    int x = std::min(want.x(), avail.x() + avail.width() - (w + fw));
    int y = std::min(want.y(), avail.y() + avail.height() - (h + fh));
    x = std::max(x, avail.x());
    y = std::max(y, avail.y());
    return QRect(x, y, w, h);
}

QRect Centred_Client(const QRect &around, const QSize &client, const QMargins &frame, const QRect &avail)
{
    const int fw = client.width() + frame.left() + frame.right();
    const int fh = client.height() + frame.top() + frame.bottom();
    int x = around.x() + (around.width() - fw) / 2;
    int y = around.y() + (around.height() - fh) / 2;
    x = std::max(std::min(x, avail.x() + avail.width() - fw), avail.x());
    y = std::max(std::min(y, avail.y() + avail.height() - fh), avail.y());
    return QRect(QPoint(x + frame.left(), y + frame.top()), client);
}

std::function<void()> Before_Commit;

bool Commit_Save(QSaveFile &f)
{
    if (!f.isOpen()) return false;
    if (Before_Commit) Before_Commit();
    // commit() alone takes a failed last write for success: a small file is written only by
    // the flush inside it, and on a full disk the empty temporary file then replaced the old.
    if (!f.flush() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();   // the temporary file goes with f
        return false;
    }
    return f.commit();
}

Save_Result Save_Whole_File(const QString &path, const QByteArray &data)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return Save_Result::Open_Failed;
    if (f.write(data) != data.size()) {
        f.cancelWriting();
        return Save_Result::Write_Failed;
    }
    return Commit_Save(f) ? Save_Result::Ok : Save_Result::Write_Failed;
}

void Show_Not_Saved(const QString &path)
{
    Ques_Kind = 1;
    Show_Ques(QStringLiteral("Ошибка записи файла"), QFileInfo(path).fileName());
}
