// Captions shown whole: every dialog is at least as wide as its caption in a bold title font
// plus the window icon and three title-bar buttons, fixed-size dialogs included.
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Ques_Form.h"
#include "core/forms/Text_Fit.h"
#include "core/forms/Userpass.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {
// The title bar's room besides the caption: window icon and three buttons of at least 20 px.
constexpr int kTitleRoom = 4 * 20;

int Caption_Need(const QString &caption)
{
    QFont f = QApplication::font();
    f.setBold(true);
    return QFontMetrics(f).horizontalAdvance(caption) + kTitleRoom;
}
} // namespace

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

    void dialog_is_as_wide_as_its_caption_data()
    {
        QTest::addColumn<std::function<QDialog *()>>("make");
        using Make = std::function<QDialog *()>;
        QTest::newRow("login") << Make([] { return new TFormShortUsPass(nullptr); });
        for (int prz : {0, 1, 2})
            QTest::addRow("link parameters %d", prz) << Make([this, prz] {
                settings.Curr_Par.Conn_Prz = uint8_t(prz);
                return new TFormConn_Par(nullptr, &settings, nullptr);
            });
        for (uint32_t kind : {1u, 2u, 5u})
            QTest::addRow("message kind %u", kind) << Make([kind] {
                auto *q = new TFormQues;
                q->Setup(Make_Ques_Setup(kind, QStringLiteral("Введены не все параметры"), QString()));
                return q;
            });
    }
    void dialog_is_as_wide_as_its_caption()
    {
        QFETCH(std::function<QDialog *()>, make);
        std::unique_ptr<QDialog> d(make());
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QVERIFY(!d->windowTitle().trimmed().isEmpty());
        QVERIFY2(d->width() >= Caption_Need(d->windowTitle()),
                 qPrintable(QStringLiteral("%1: %2 < %3").arg(d->windowTitle()).arg(d->width()).arg(Caption_Need(d->windowTitle()))));
    }

    // A message keeps its text centred and its button in the middle when the caption widens it.
    void widened_message_keeps_its_layout()
    {
        TFormQues q;
        q.Setup(Make_Ques_Setup(2, QStringLiteral("Ввод"), QString()));
        q.show();
        QVERIFY(QTest::qWaitForWindowExposed(&q));
        QCOMPARE(q.Label1->width(), q.width() - 14);
        QVERIFY(qAbs(q.BitBtn3->geometry().center().x() - q.width() / 2) <= 1);
    }
};

QTEST_MAIN(Tst_Captions)
#include "tst_captions.moc"
