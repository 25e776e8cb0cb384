// Captions shown whole: a dialog is at least as wide as its caption in a bold title font plus
// the window icon and three title-bar buttons (20 px each at least), fixed-size ones included.
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Ques_Form.h"
#include "core/forms/Text_Fit.h"
#include "core/forms/Userpass.h"

#include <QApplication>
#include <QFontMetrics>
#include <QtTest>
#include <functional>
#include <memory>

class Tst_Captions : public QObject {
    Q_OBJECT
    Conn_Settings_Rec settings{};

private slots:
    void initTestCase()
    {
        Install_Caption_Fit();
        Read_Ini(QStringLiteral("/nonexistent/qzt.ini"));
        settings = Conn_Settings;
    }
    void dialog_as_wide_as_its_caption_data()
    {
        using Make = std::function<QDialog *()>;
        QTest::addColumn<Make>("make");
        QTest::newRow("login") << Make([] { return new TFormShortUsPass(nullptr); });
        for (int prz : {0, 1, 2})
            QTest::addRow("link parameters %d", prz) << Make([this, prz] {
                settings.Curr_Par.Conn_Prz = uint8_t(prz);
                return new TFormConn_Par(nullptr, &settings, nullptr);
            });
        for (uint32_t kind : {1u, 2u})
            QTest::addRow("message kind %u", kind) << Make([kind] {
                auto *q = new TFormQues;
                q->Setup(Make_Ques_Setup(kind, QStringLiteral("Введены не все параметры"), QString()));
                return q;
            });
    }
    void dialog_as_wide_as_its_caption()
    {
        QFETCH(std::function<QDialog *()>, make);
        std::unique_ptr<QDialog> d(make());
        d->show();
        QFont f = QApplication::font();
        f.setBold(true);
        const int need = QFontMetrics(f).horizontalAdvance(d->windowTitle()) + 4 * 20;
        QVERIFY2(d->width() >= need, qPrintable(QStringLiteral("%1 < %2").arg(d->width()).arg(need)));
    }
};

QTEST_MAIN(Tst_Captions)
#include "tst_captions.moc"
