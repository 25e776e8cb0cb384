// The user login: code and write password, blank-padded in the Windows code page, and what
// reaches the exchange object.
#include "core/Codepage.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Userpass.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QtTest>

namespace {
class Record_Ques : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked.append(q);
        return 0;
    }
    QList<Ques_Setup> Asked;
};
} // namespace

class Tst_Userpass : public QObject {
    Q_OBJECT
    Record_Ques Ques;

private slots:
    void initTestCase()
    {
        Set_Ques_Handler(&Ques);
        Install_Enter_Presses_Button();
    }
    void init() { Ques.Asked.clear(); }
    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        Set_Dialog_Runner(nullptr);
    }

    void short_code_and_empty_password_are_blank_padded()
    {
        hgcbox box(0);
        Scripted_Dialogs run([](QDialog &d) {
            auto &f = static_cast<TFormShortUsPass &>(d);
            f.Edit4->setText("12");
            f.BitBtn1->click();
        });
        Set_Dialog_Runner(&run);
        User_Ident(nullptr, &box);
        Set_Dialog_Runner(nullptr);
        QCOMPARE(run.Count, 1);
        QCOMPARE(QByteArray(box.User_Code, 4), QByteArray("12  "));
        QCOMPARE(QByteArray(box.Write_Pass, 12), QByteArray(12, ' '));
        QVERIFY(Ques.Asked.isEmpty());
    }

    void full_pair_in_the_windows_code_page()
    {
        TFormShortUsPass f;
        f.show();
        f.Edit4->setText("9876");
        f.Edit1->setText(QStringLiteral("Пароль%'!xyz"));
        f.BitBtn1Click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(QByteArray(f.Ident_Code, 4), QByteArray("9876"));
        // No conversion to 866: the 1251 bytes as typed, cut to 12.
        QCOMPARE(QByteArray(f.Password, 12), Unicode_To_Cp1251(QStringLiteral("Пароль%'!xyz")));
        QCOMPARE(f.Edit1->maxLength(), 12);
        QCOMPARE(f.Edit4->maxLength(), 4);
        // Both boxes are masked with "*".
        QCOMPARE(f.Edit4->displayText(), QString("****"));
        QCOMPARE(f.Edit1->displayText(), QString(12, '*'));
    }

    void empty_code_is_refused()
    {
        TFormShortUsPass f;
        f.show();
        f.Edit1->setText("pass");
        f.BitBtn1->click();
        QCOMPARE(int(f.Accepted), 0);
        QVERIFY(f.isVisible());
        QCOMPARE(Ques.Asked.size(), 1);
        QCOMPARE(Ques.Asked[0].kind, 2u);
        QCOMPARE(Ques.Asked[0].line1, QStringLiteral("Не задан код идентификации пользователя"));
        QCOMPARE(Ques.Asked[0].line2, QString());
    }

    void exit_keeps_the_previous_pair()
    {
        hgcbox box(0);
        std::memcpy(box.User_Code, "4321", 4);
        std::memcpy(box.Write_Pass, "old password", 12);
        Scripted_Dialogs run([](QDialog &d) {
            auto &f = static_cast<TFormShortUsPass &>(d);
            f.Edit4->setText("1111");
            f.Edit1->setText("new");
            f.BitBtn2->click();
        });
        Set_Dialog_Runner(&run);
        User_Ident(nullptr, &box);
        Set_Dialog_Runner(nullptr);
        QCOMPARE(QByteArray(box.User_Code, 4), QByteArray("4321"));
        QCOMPARE(QByteArray(box.Write_Pass, 12), QByteArray("old password"));
    }

    void show_empties_the_boxes_and_enter_walks_to_accept()
    {
        TFormShortUsPass f;
        f.Edit4->setText("55");
        f.Edit1->setText("stale");
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QVERIFY(f.Edit4->text().isEmpty());
        QVERIFY(f.Edit1->text().isEmpty());
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Edit4));
        f.Edit4->setText("77");
        QTest::keyClick(f.Edit4, Qt::Key_Return);
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.Edit1));
        QCOMPARE(int(f.Accepted), 0);
        QTest::keyClick(f.Edit1, Qt::Key_Return);
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.BitBtn1));
        QCOMPARE(int(f.Accepted), 0);   // Enter in the password box does not accept by itself
        // ... and "Принять" shows that it has the focus, as after Tab.
        QStyleOptionButton look;
        look.initFrom(f.BitBtn1);
        QVERIFY(look.state & QStyle::State_HasFocus);
        QVERIFY(look.state & QStyle::State_KeyboardFocusChange);
        QTest::keyClick(f.BitBtn1, Qt::Key_Return);
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(QByteArray(f.Ident_Code, 4), QByteArray("77  "));
    }
};

QTEST_MAIN(Tst_Userpass)
#include "tst_userpass.moc"
