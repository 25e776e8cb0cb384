#include "core/Codepage.h"

#include <QStringDecoder>
#include <QtTest>

namespace {
uint8_t W2D(uint8_t b)
{
    char c = char(b);
    Win_To_Dos(&c, 1);
    return uint8_t(c);
}
uint8_t D2W(uint8_t b)
{
    char c = char(b);
    Dos_To_Win(&c, 1);
    return uint8_t(c);
}
QString Hex(int b) { return QString::asprintf("0x%02X", b); }

// Every 1251 letter with an 866 counterpart.
QList<uint8_t> Cyrillic_1251()
{
    QList<uint8_t> l;
    for (int b = 0xC0; b <= 0xFF; ++b) l << uint8_t(b);
    l << 0xA8 << 0xB8 << 0xAA << 0xBA << 0xAF << 0xBF << 0xA1 << 0xA2;
    return l;
}
} // namespace

class Tst_Codepage : public QObject {
    Q_OBJECT
private slots:
    void cyrillic_round_trip()
    {
        for (uint8_t b : Cyrillic_1251()) QCOMPARE(Hex(D2W(W2D(b))), Hex(b));
        QCOMPARE(Hex(W2D(0xC0)), Hex(0x80));   // А
        QCOMPARE(Hex(W2D(0xEF)), Hex(0xAF));   // п
        QCOMPARE(Hex(W2D(0xF0)), Hex(0xE0));   // р
        QCOMPARE(Hex(W2D(0xFF)), Hex(0xEF));   // я
        QCOMPARE(Hex(W2D(0xA8)), Hex(0xF0));   // Ё
        QCOMPARE(Hex(W2D(0xB8)), Hex(0xF1));   // ё
        // Signs both pages have.
        QCOMPARE(Hex(W2D(0xB0)), Hex(0xF8));   // °
        QCOMPARE(Hex(W2D(0xB7)), Hex(0xFA));   // ·
        QCOMPARE(Hex(W2D(0xB9)), Hex(0xFC));   // №
        QCOMPARE(Hex(W2D(0xA4)), Hex(0xFD));   // ¤
        // And the other way for every 866 letter.
        for (int b = 0x80; b <= 0xAF; ++b) QCOMPARE(Hex(W2D(D2W(uint8_t(b)))), Hex(b));
        for (int b = 0xE0; b <= 0xFA; ++b) QCOMPARE(Hex(W2D(D2W(uint8_t(b)))), Hex(b));
    }

    void tables_agree_with_unicode()
    {
        // A character both pages hold must map to its counterpart (no-break space excepted:
        // the controller's texts never carried it).
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString u = Cp1251_To_Unicode(QByteArray(1, char(b)));
            const QByteArray d = Unicode_To_Cp866(u);
            if (d != "?" && u != QString(QChar(0xA0)) && b != 0x95)
                QCOMPARE(Hex(W2D(uint8_t(b))), Hex(uint8_t(d[0])));
        }
    }

    void in_place_fields()
    {
        char field[8] = {'\xCF', '\xF0', '\xE8', '\xE1', '\xEE', '\xF0', ' ', '\xFF'};   // "Прибор я"
        Win_To_Dos(field, 6);
        QCOMPARE(Hex(uint8_t(field[0])), Hex(0x8F));
        QCOMPARE(Hex(uint8_t(field[7])), Hex(0xFF));   // beyond the length: untouched
        Dos_To_Win(field, 6);
        QCOMPARE(QByteArray(field, 6), QByteArray("\xCF\xF0\xE8\xE1\xEE\xF0"));
        Win_To_Dos(nullptr, 10);
        Dos_To_Win(nullptr, 10);
        Win_To_Dos(field, 0);
    }

    void unicode_round_trips()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, char(b));
            QCOMPARE(Unicode_To_Cp1251(Cp1251_To_Unicode(one)), one);
            QCOMPARE(Unicode_To_Cp866(Cp866_To_Unicode(one.constData(), 1)), one);
        }
        const QString ru = QStringLiteral("Съешь же ещё этих мягких французских булок, ЁЖ №5 °C");
        QCOMPARE(Cp1251_To_Unicode(Unicode_To_Cp1251(ru)), ru);
        const QByteArray d = Unicode_To_Cp866(ru);
        QCOMPARE(Cp866_To_Unicode(d.constData(), int(d.size())), ru);
        QCOMPARE(Unicode_To_Cp1251(QStringLiteral("€")), QByteArray("\x88"));
        QCOMPARE(Unicode_To_Cp866(QStringLiteral("╬")), QByteArray("\xCE"));
        // No code: one '?' per character, a character outside the BMP included.
        QCOMPARE(Unicode_To_Cp1251(QStringLiteral("a中b")), QByteArray("a?b"));
        QCOMPARE(Unicode_To_Cp1251(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
        QCOMPARE(Unicode_To_Cp866(QStringLiteral("€")), QByteArray("?"));
        QVERIFY(Cp1251_To_Unicode(nullptr, 5).isEmpty());
        QVERIFY(Cp866_To_Unicode("abc", -1).isEmpty());
    }

    void unicode_tables_match_the_system_ones()
    {
        for (const char *name : {"windows-1251", "IBM866"}) {
            QStringDecoder dec(name);
            if (!dec.isValid()) QSKIP("no system decoder for comparison");
            for (int b = 0x80; b < 0x100; ++b) {
                if (b == 0x98 && QByteArray(name) == "windows-1251") continue;   // unassigned
                const QByteArray one(1, char(b));
                const QString sys = dec.decode(one);
                const QString ours = QByteArray(name) == "IBM866" ? Cp866_To_Unicode(one.constData(), 1)
                                                                  : Cp1251_To_Unicode(one);
                QCOMPARE(ours, sys);
            }
        }
    }

    void upper_case()
    {
        QCOMPARE(Cp1251_Upper('a'), uint8_t('A'));
        QCOMPARE(Cp1251_Upper('z'), uint8_t('Z'));
        QCOMPARE(Cp1251_Upper('5'), uint8_t('5'));
        QCOMPARE(Cp1251_Upper(0xE0), uint8_t(0xC0));   // а
        QCOMPARE(Cp1251_Upper(0xFF), uint8_t(0xDF));   // я
        QCOMPARE(Cp1251_Upper(0xB8), uint8_t(0xA8));   // ё
        QCOMPARE(Cp1251_Upper(0xC0), uint8_t(0xC0));
        // Against Unicode for every byte: a letter whose capital exists in 1251 becomes it.
        for (int b = 0; b < 256; ++b) {
            const QString u = Cp1251_To_Unicode(QByteArray(1, char(b)));
            const QByteArray up = Unicode_To_Cp1251(u.toUpper());
            const uint8_t expect = (up.size() == 1 && up != "?") ? uint8_t(up[0]) : uint8_t(b);
            QCOMPARE(Hex(Cp1251_Upper(uint8_t(b))), Hex(expect));
        }
    }

    void field_texts()
    {
        const char f[10] = {'\xC3', '\xC0', '\xC7', ' ', ' ', '\0', 'x', 'y', 'z', ' '};
        QCOMPARE(Field_To_Unicode(f, 10), QStringLiteral("ГАЗ"));
        const char g[6] = {'A', ' ', 'B', ' ', ' ', ' '};
        QCOMPARE(Field_To_Unicode(g, 6), QStringLiteral("A B"));
        const char d[4] = {'\x82', '\xA0', '\xE1', ' '};   // "Вас" in 866
        QCOMPARE(Field_To_Unicode(d, 4, true), QStringLiteral("Вас"));
        QVERIFY(Field_To_Unicode(nullptr, 4).isEmpty());
        QVERIFY(Field_To_Unicode(f, 0).isEmpty());

        char out[8];
        std::memset(out, 'Q', sizeof out);
        Unicode_To_Field(QStringLiteral("Газ"), out, 6);
        QCOMPARE(QByteArray(out, 8), QByteArray("\xC3\xE0\xE7   QQ"));
        Unicode_To_Field(QStringLiteral("Хроматограф"), out, 4, true);
        QCOMPARE(QByteArray(out, 4), QByteArray("\x95\xE0\xAE\xAC"));
        Unicode_To_Field(QStringLiteral("x"), nullptr, 4);
        Unicode_To_Field(QStringLiteral("x"), out, 0);
    }

    // A 1251 box takes every character 1251 prints; an 866 one only what comes back from 866.
    void page_holds_what_reads_back_the_same()
    {
        for (int b = 0x20; b < 0x100; ++b) {
            const QChar c = Cp1251_To_Unicode(QByteArray(1, char(b))).at(0);
            QCOMPARE(Page_Holds(c), b != 0x7F && b != 0x98 && b != 0xAD);   // DEL, unassigned, soft hyphen
        }
        QCOMPARE(Page_Text(QStringLiteral("AzЁёЄєЇїЎў°·№¤ Юя€‚„…‰Љ‹“”–—™Ґ¦©«®±Ііµ»\u00A0;=[]|_"), true),
                 QStringLiteral("AzЁёЄєЇїЎў°·№¤ Юя;=[]|_"));
    }
};

QTEST_GUILESS_MAIN(Tst_Codepage)
#include "tst_codepage.moc"
