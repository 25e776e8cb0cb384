#include "core/Dtfun.h"
#include "core/Comportfunctions.h"
#include "core/Suplfunc.h"

#include <QtTest>
#include <cstring>

namespace {
Date6 D(int y, int mo, int d, int h = 0)
{
    return Date6{uint8_t(y), uint8_t(mo), uint8_t(d), uint8_t(h), 0, 0};
}
QString F(const QString &text, int caret, char key)
{
    const QChar c = Key_Press_Float(text, caret, QChar::fromLatin1(key));
    return c.isNull() ? QStringLiteral("<none>") : QString(c);
}
} // namespace

class Tst_Suplfunc : public QObject {
    Q_OBJECT
private slots:
    void gas_value_texts_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("minus zero") << -0.0f << "0";
        QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << "NAN";
        QTest::newRow("inf") << std::numeric_limits<float>::infinity() << "NAN";
        QTest::newRow("-inf") << -std::numeric_limits<float>::infinity() << "NAN";
        QTest::newRow("5e-7") << 5e-7f << "5.0000e-07";
        QTest::newRow("-5e-7") << -5e-7f << "-5.0000e-07";
        QTest::newRow("0.00005") << 0.00005f << "0.00005";
        QTest::newRow("0.0001") << 0.0001f << "0.0001";
        QTest::newRow("0.5") << 0.5f << "0.5000";
        QTest::newRow("12.3456") << 12.3456f << "12.346";
        QTest::newRow("-12.3456") << -12.3456f << "-12.346";
        QTest::newRow("123.456") << 123.456f << "123.46";
        QTest::newRow("-2500") << -2500.0f << "-2500.0";
        QTest::newRow("10000") << 10000.0f << "10000";
        QTest::newRow("12345.6") << 12345.6f << "12346";
        QTest::newRow("half away from zero") << 10000.5f << "10001";
        QTest::newRow("negative half") << -10000.5f << "-10001";
        QTest::newRow("1000.25") << 1000.25f << "1000.3";
        QTest::newRow("huge") << 1099511627776.0f << "1.099511628e+12";
    }
    void gas_value_texts()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(Float_To_Str(value), text);
        QString out = "junk";
        Float_To_Str(value, out);
        QCOMPARE(out, text);
    }

    void moisture_value_texts_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << "NAN";
        QTest::newRow("5e-7") << 5e-7f << "5.00e-07";
        QTest::newRow("0.00005") << 0.00005f << "0.000050";
        QTest::newRow("0.0005") << 0.0005f << "0.00050";
        QTest::newRow("0.005") << 0.005f << "0.0050";
        QTest::newRow("0.5") << 0.5f << "0.500";
        QTest::newRow("-0.5") << -0.5f << "-0.500";
        QTest::newRow("50") << 50.0f << "50.00";
        QTest::newRow("150") << 150.0f << "150.0";
        QTest::newRow("1500.4") << 1500.4f << "1500";
    }
    void moisture_value_texts()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(Float_To_Str_Wmt(value), text);
        QString out;
        Float_To_Str_Wmt(value, out);
        QCOMPARE(out, text);
    }

    void stored_nan()
    {
        const uint8_t nan[4] = {0x00, 0x00, 0xC0, 0x7F};
        const uint8_t inf[4] = {0x00, 0x00, 0x80, 0x7F};
        const uint8_t ninf[4] = {0x00, 0x00, 0x80, 0xFF};
        const uint8_t fmax[4] = {0xFF, 0xFF, 0x7F, 0x7F};
        const uint8_t one[4] = {0x00, 0x00, 0x80, 0x3F};
        const uint8_t ff[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        QVERIFY(Is_Nan(nan));
        QVERIFY(Is_Nan(inf));
        QVERIFY(Is_Nan(ninf));
        QVERIFY(Is_Nan(ff));
        QVERIFY(!Is_Nan(fmax));
        QVERIFY(!Is_Nan(one));
        QVERIFY(Is_Nan(std::numeric_limits<float>::quiet_NaN()));
        QVERIFY(!Is_Nan(1.5f));
        uint16_t w = 0x1234;
        Swap_Word(w);
        QCOMPARE(w, uint16_t(0x3412));
    }

    void period_lengths()
    {
        const Date6 a = D(24, 2, 28, 22), b = D(24, 3, 1, 2);
        QCOMPARE(Hours_Between(a.bytes(), b.bytes()), 28);   // across 29 February
        QCOMPARE(Hours_Between(b.bytes(), a.bytes()), -28);
        const Date6 c = D(23, 12, 31, 23), e = D(24, 1, 1, 0);
        QCOMPARE(Hours_Between(c.bytes(), e.bytes()), 1);
        QCOMPARE(Hours_Between(a.bytes(), a.bytes()), 0);

        QCOMPARE(Period_Units(a.bytes(), b.bytes(), UNIT_HOUR), 28);
        QCOMPARE(Period_Units(a.bytes(), b.bytes(), UNIT_DAY), 2);
        QCOMPARE(Period_Units(a.bytes(), b.bytes(), UNIT_MONTH), 1);   // under 30 days
        const Date6 f = D(24, 1, 1), g = D(24, 3, 6);                 // 65 days
        QCOMPARE(Period_Units(f.bytes(), g.bytes(), UNIT_DAY), 65);
        QCOMPARE(Period_Units(f.bytes(), g.bytes(), UNIT_MONTH), 2);
        // Never below 1: an empty or reversed period still makes a usable progress bar.
        QCOMPARE(Period_Units(a.bytes(), a.bytes(), UNIT_HOUR), 1);
        QCOMPARE(Period_Units(a.bytes(), a.bytes(), UNIT_DAY), 1);
        QCOMPARE(Period_Units(g.bytes(), f.bytes(), UNIT_DAY), 1);
        QCOMPARE(Period_Units(f.bytes(), g.bytes(), 9), 1);
    }

    void integer_keys()
    {
        for (char c = '0'; c <= '9'; ++c) QCOMPARE(Key_Press_Int(QChar::fromLatin1(c)), QChar::fromLatin1(c));
        QCOMPARE(Key_Press_Int(QChar(8)), QChar(8));
        // The characters that share codes with the arrow keys are text here: refused.
        for (char c : {'%', '\'', 'a', '-', '+', '.', ' ', 'e'}) QVERIFY(Key_Press_Int(QChar::fromLatin1(c)).isNull());
        QVERIFY(Key_Press_Int(QChar(0x0663)).isNull());   // Arabic-Indic three
        QVERIFY(Key_Press_Int(QChar(0x0431)).isNull());
    }

    void float_keys()
    {
        // Separator: "," becomes "."; never a second one; not inside the exponent.
        QCOMPARE(F("12", 2, ','), ".");
        QCOMPARE(F("12", 1, '.'), ".");
        QCOMPARE(F("1.5", 3, '.'), "<none>");
        QCOMPARE(F("1.5", 0, ','), "<none>");
        QCOMPARE(F("1e5", 3, '.'), "<none>");
        QCOMPARE(F("1e5", 1, '.'), ".");
        // "e": once, at the end of a non-empty text.
        QCOMPARE(F("123", 3, 'e'), "e");
        QCOMPARE(F("123", 1, 'e'), "<none>");
        QCOMPARE(F("", 0, 'e'), "<none>");
        QCOMPARE(F("1e2", 3, 'e'), "<none>");
        // Exponent digits: two, or two after a sign.
        QCOMPARE(F("1e1", 3, '2'), "2");
        QCOMPARE(F("1e12", 4, '3'), "<none>");
        QCOMPARE(F("1e-1", 4, '2'), "2");
        QCOMPARE(F("1e-12", 5, '3'), "<none>");
        QCOMPARE(F("1e12", 1, '5'), "5");   // before the "e" the mantissa grows freely
        // Signs: a leading minus; a sign right after the "e".
        QCOMPARE(F("12", 0, '-'), "-");
        QCOMPARE(F("-12", 0, '-'), "<none>");
        QCOMPARE(F("12", 1, '-'), "<none>");
        QCOMPARE(F("12", 0, '+'), "<none>");
        QCOMPARE(F("1e", 2, '-'), "-");
        QCOMPARE(F("1e", 2, '+'), "+");
        QCOMPARE(F("1e-", 3, '-'), "<none>");
        QCOMPARE(F("-1e", 3, '+'), "+");   // a leading minus is not the exponent's sign
        QCOMPARE(F("1e5", 3, '-'), "<none>");
        // Anything else is swallowed; Backspace passes.
        for (char c : {'%', '\'', 'a', 'E', ' ', '/'}) QCOMPARE(F("1", 1, c), "<none>");
        QCOMPARE(Key_Press_Float("1", 1, QChar(8)), QChar(8));
        // A caret outside the text is taken as its end.
        QCOMPARE(F("12", 99, 'e'), "e");
    }

    // A window kept inside the available area with its frame; one that fits keeps its place.
    void window_fitted_to_the_screen()
    {
        const QRect small(0, 0, 1024, 768);
        const QMargins frame(8, 32, 8, 8);
        QCOMPARE(Fit_Window(QRect(20, 30, 700, 500), small, frame), QRect(20, 30, 700, 500));
        QCOMPARE(Fit_Window(QRect(0, 0, 1240, 960), small, frame), QRect(0, 0, 1008, 728));
        QCOMPARE(Fit_Window(QRect(600, 500, 700, 400), small, frame), QRect(308, 328, 700, 400));
        QCOMPARE(Fit_Window(QRect(-50, -20, 400, 300), small, frame), QRect(0, 0, 400, 300));
        QCOMPARE(Fit_Window(QRect(0, 0, 400, 300), QRect(1280, 100, 1024, 768), frame), QRect(1280, 100, 400, 300));
    }

    // The frame centred, not the client: the title bar above counts.
    void window_centred_by_its_frame()
    {
        const QRect screen(0, 0, 1280, 1024);
        const QMargins openbox(1, 20, 1, 5);
        // 440x194 in a 442x219 frame: the frame at 419,402.
        QCOMPARE(Centred_Client(screen, QSize(440, 194), openbox, screen), QRect(420, 422, 440, 194));
        // On an owner's frame; a frame past the screen's edge comes back inside it.
        QCOMPARE(Centred_Client(QRect(100, 100, 602, 425), QSize(440, 194), openbox, screen), QRect(181, 223, 440, 194));
        QCOMPARE(Centred_Client(QRect(1000, 900, 200, 100), QSize(440, 194), openbox, screen),
                 QRect(839, 825, 440, 194));
        // Larger than the screen: the title bar and the left edge stay in view.
        QCOMPARE(Centred_Client(screen, QSize(1400, 1100), openbox, QRect(0, 30, 1280, 994)), QRect(1, 50, 1400, 1100));
    }

    void connection_status()
    {
        Conn_Status_Info d;
        d.conn_prz = 0;
        d.com_port = 3;
        d.rate = 9600;
        d.adr = 5;
        Conn_Status_Texts t = Conn_Status_Text(d);
        QCOMPARE(t.panel0, QStringLiteral(" %1,   9600 бит/с").arg(Com_Port_Name(3)));
        QCOMPARE(t.panel1, QStringLiteral(" Адр. 5"));
        QVERIFY(t.bar2_panel0.isEmpty());
        // A serial device without a COM number is named as it is set, not as "COM3".
        Conn_Status_Info named = d;
        named.port_name = QStringLiteral("/dev/ttyUSB0");
        QCOMPARE(Conn_Status_Text(named).panel0, QStringLiteral(" /dev/ttyUSB0,   9600 бит/с"));

        Conn_Status_Info f = d;
        f.conn_prz = 1;
        f.have_subscriber = true;
        f.contr_adr = 17;
        f.user_name = QStringLiteral("КС Северная");
        f.phone_code = QStringLiteral("8-800-123");
        t = Conn_Status_Text(f);
        QCOMPARE(t.panel0, QStringLiteral(" %1,   9600 бит/с").arg(Com_Port_Name(3)));
        QCOMPARE(t.panel1, QStringLiteral(" Адр. 17"));
        QCOMPARE(t.bar2_panel0, QStringLiteral(" КС Северная (тел. 8-800-123)"));
        f.have_subscriber = false;
        t = Conn_Status_Text(f);
        QVERIFY(t.panel0.isEmpty() && t.panel1.isEmpty() && t.bar2_panel0.isEmpty());

        Conn_Status_Info e;
        e.conn_prz = 2;
        e.have_subscriber = true;
        e.contr_adr = 1;
        e.user_name = QStringLiteral("Узел %2 учёта");
        e.ip_adr = 0xC0A80A01;
        t = Conn_Status_Text(e);
        QVERIFY(t.panel0.isEmpty());
        QCOMPARE(t.panel1, QStringLiteral(" Адр. 1"));
        QCOMPARE(t.bar2_panel0, QStringLiteral(" Узел %2 учёта (IP-адр. 192.168.10.1)"));

        // The setter sees every panel, cleared ones included.
        QStringList calls;
        Show_Conn_Status(e, [&](int bar, int panel, const QString &text) {
            calls << QStringLiteral("%1/%2:%3").arg(bar).arg(panel).arg(text);
        });
        QCOMPARE(calls, QStringList({"0/0:", "0/1: Адр. 1", "1/0: Узел %2 учёта (IP-адр. 192.168.10.1)"}));
        Show_Conn_Status(e, nullptr);
    }
};

QTEST_GUILESS_MAIN(Tst_Suplfunc)
#include "tst_suplfunc.moc"
