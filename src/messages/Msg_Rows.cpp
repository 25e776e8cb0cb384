#include "messages/Msg_Rows.h"

#include "core/Codepage.h"

#include <algorithm>
#include <cstring>

int Msg_Row_Size(const Msg_Slots &widths)
{
    int n = 0;
    for (int w : widths) n += w;
    return n;
}

void Put_Msg_Row(char *row, const Msg_Slots &widths, const Msg_Texts &texts)
{
    std::memset(row, 0, size_t(Msg_Row_Size(widths)));
    int at = 0;
    for (int c = 0; c < MSG_COLS; ++c) {
        const int w = widths[size_t(c)];
        if (w > 0) {
            QByteArray b = Unicode_To_Cp1251(texts[size_t(c)]);
            // A zero byte inside a text would end it early anyway.
            const qsizetype z = b.indexOf('\0');
            if (z >= 0) b.truncate(z);
            std::memcpy(row + at, b.constData(), size_t(std::min<qsizetype>(b.size(), w - 1)));
        }
        at += w;
    }
}

QByteArray Make_Msg_Row(const Msg_Slots &widths, const Msg_Texts &texts)
{
    QByteArray row(Msg_Row_Size(widths), '\0');
    Put_Msg_Row(row.data(), widths, texts);
    return row;
}

Msg_Texts Msg_Row_Texts(const char *row, const Msg_Slots &widths)
{
    Msg_Texts t;
    int at = 0;
    for (int c = 0; c < MSG_COLS; ++c) {
        const int w = widths[size_t(c)];
        const char *s = row + at;
        const void *z = std::memchr(s, 0, size_t(w));
        const int len = z ? int(static_cast<const char *>(z) - s) : w;
        t[size_t(c)] = Cp1251_To_Unicode(s, len);
        at += w;
    }
    return t;
}

QString Fit_Slot(const QString &text, int width)
{
    Msg_Slots one{width, 0, 0, 0, 0, 0, 0};
    Msg_Texts t;
    t[0] = text;
    const QByteArray row = Make_Msg_Row(one, t);
    return Msg_Row_Texts(row.constData(), one)[0];
}

QString Bad_Rec_Date() { return QStringLiteral("   ***"); }

QString Bad_Crc_Note() { return QStringLiteral("  ***  Данные в записи недостоверны (не совпадает КС)"); }
