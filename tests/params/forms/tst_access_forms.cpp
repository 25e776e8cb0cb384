// The user table editors and the command that edits one user of the controller's table,
// against the controller simulator. The rules of a whole table are tested with the logic.
#include "core/Codepage.h"
#include "params/forms/Access.h"
#include "params/forms/Limits.h"

#include "Sim_Menu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray Entry(const char *name, int level, int flag, const char *pass, const char *code)
{
    auto pad = [](const char *s, int len) {
        QByteArray b(s);
        return b + QByteArray(len - int(b.size()), ' ');
    };
    return pad(name, 4) + char(level) + char(flag) + pad(pass, 12) + pad(code, 4);
}

void Set_Entry(TFormChangeAccess &f, int s, const QString &name, int level, const QString &pass,
               const QString &code, const QString &pass2 = "?", const QString &code2 = "?")
{
    f.LBUsers->setCurrentRow(s);
    f.EName->setText(name);
    f.CBLevel->setCurrentIndex(level);
    f.EPass1->setText(pass);
    f.EPass2->setText(pass2 == "?" ? pass : pass2);
    f.ECode1->setText(code);
    f.ECode2->setText(code2 == "?" ? code : code2);
}

const QList<Req> kReads{{1, 7, 0, 45}, {1, 4, 0, 11}, {1, 4, 11, 5}};

} // namespace

class Tst_Access_Forms : public QObject {
    Q_OBJECT
    Sim_Menu m;

    int Run(const std::function<void(TFormChangeAccess &)> &each)
    {
        return m.Run("NPass", [&](QDialog &d) { each(m.As<TFormChangeAccess>(d)); });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Install_Limit_Commands(m.main.get());
    }
    void init() { m.Reset(); }

    void destroyed_table_is_not_edited()
    {
        m.sim.Set_Field(7, 4, QByteArray(1, char(1)));
        QCOMPARE(Run([](TFormChangeAccess &) {}), 0);
        QCOMPARE(m.Requests(), (QList<Req>{{1, 7, 0, 45}}));
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line2, QString("требует полной перезаписи"));
    }

    void a_new_user_written_as_one_field()
    {
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, 1, QStringLiteral("ИНЖ"), 3, "pw", "12");
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), kReads + QList<Req>({{2, 4, 1, 1}}));
        QCOMPARE(m.sim.Field(4, 1), Unicode_To_Cp1251(QStringLiteral("ИНЖ")) + ' ' + char(3) + char(0) +
                                        QByteArray("pw          12  "));
        QVERIFY(m.ques.asked.isEmpty());
    }

    void refusals_write_nothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pass2");
        QTest::addColumn<QString>("code2");
        QTest::addColumn<QString>("line1");
        QTest::newRow("delete the maker") << 0 << 3 << "ADM" << "a" << "1" << "Вы не можете удалить пользователя";
        QTest::newRow("delete the only administrator")
            << 2 << 0 << "BOSS" << "a" << "1" << "Вы не можете удалить единственного пользователя";
        QTest::newRow("passwords differ") << 1 << 3 << "NEW" << "b" << "1" << "Несовпадение введенных паролей";
        QTest::newRow("codes differ") << 1 << 3 << "NEW" << "a" << "2" << "Несовпадение введенных кодов";
        QTest::newRow("no level") << 1 << -1 << "NEW" << "a" << "1" << "Введены не все параметры";
        QTest::newRow("same name") << 1 << 3 << "OPR" << "a" << "1" << "Пользователи   2 и  4.";
    }
    void refusals_write_nothing()
    {
        QFETCH(int, row);
        QFETCH(int, level);
        QFETCH(QString, name);
        QFETCH(QString, pass2);
        QFETCH(QString, code2);
        QFETCH(QString, line1);
        m.sim.Set_Field(4, 2, Entry("BOSS", 2, 0, "", "7"));
        m.sim.Set_Field(4, 3, Entry("OPR", 4, 0, "", "8"));
        const QByteArray before = m.sim.Table(4);
        bool open = false;
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, row, name, level, "a", "1", pass2, code2);
            f.BitBtnWrite->click();
            open = f.isVisible();
        });
        QVERIFY(open);
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, line1);
        QCOMPARE(m.Requests(), kReads);
        QCOMPARE(m.sim.Table(4), before);
    }

    void deletion_needs_no_password_and_keeps_the_flag()
    {
        m.sim.Set_Field(4, 5, Entry("ENG", 3, 0x5A, "secret", "55"));
        Run([&](TFormChangeAccess &f) {
            f.LBUsers->setCurrentRow(5);
            f.CBLevel->setCurrentIndex(0);
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), kReads + QList<Req>({{2, 4, 5, 1}}));
        QCOMPARE(m.sim.Field(4, 5), Entry("", 0, 0x5A, "", ""));
    }

    void entry_accepted_as_read_is_written_and_exit_writes_nothing()
    {
        m.sim.Set_Field(4, 0, Entry("ADM", 1, 3, "pw", "12"));
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, 0, "ADM", 1, "pw", "12");
            f.BitBtnWrite->click();
            QCOMPARE(int(f.Accepted), 1);
        });
        QCOMPARE(m.Requests(), kReads + QList<Req>({{2, 4, 0, 1}}));
        QCOMPARE(m.sim.Field(4, 0), Entry("ADM", 1, 3, "pw", "12"));
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, 1, "X", 3, "", "1");
            f.BitBtnCancel->click();
        });
        QCOMPARE(m.Requests(), kReads);
    }

    void whole_table_editor_stores_only_when_accepted()
    {
        User_Rec users[USER_COUNT];
        for (auto &u : users) {
            std::memset(&u, ' ', sizeof u);
            u.level = 0;
            u.flag = 9;
        }
        TFormAccess f;
        f.Users = users;
        f.show();
        f.Rows[0].level->setCurrentIndex(1);
        f.Rows[0].name->setText("ADM");
        f.Rows[1].level->setCurrentIndex(3);
        f.Rows[1].name->setText("ENG");
        f.Rows[2].name->setText("ZZZ");   // level 0: emptied at the accept
        QStringList codes{"11", "11", "22"};
        QStringList passes{"abc", "", ""};
        Scripted_Dialogs run([&](QDialog &d) {
            auto &p = m.As<TFormUsPass>(d);
            const QString pw = passes.takeFirst(), code = codes.takeFirst();
            p.EPass1->setText(pw);
            p.EPass2->setText(pw);
            p.ECode1->setText(code);
            p.ECode2->setText(code);
            p.BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.Rows[0].pass->click();
        f.Rows[1].pass->click();
        f.BitBtnAccept->click();   // the same code twice: refused
        QCOMPARE(int(f.Accepted), 0);
        QCOMPARE(int(users[0].level), 0);   // nothing stored yet
        f.Rows[1].pass->click();
        Set_Dialog_Runner(old);
        f.BitBtnAccept->click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[0]), 22), Entry("ADM", 1, 0, "abc", "11"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[1]), 22), Entry("ENG", 3, 0, "", "22"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[2]), 22), Entry("", 0, 0, "", ""));
    }

    void password_form_refusals_clear_the_pair()
    {
        TFormUsPass p;
        std::memcpy(p.Pass, "secret      ", 12);
        std::memcpy(p.Code, "77  ", 4);
        p.show();
        p.EPass2->setText("secreT");
        p.BitBtnAccept->click();
        QVERIFY(p.EPass1->text().isEmpty() && p.EPass2->text().isEmpty());
        p.ECode2->setText("78");
        p.BitBtnAccept->click();
        QVERIFY(p.ECode1->text().isEmpty() && p.ECode2->text().isEmpty());
        p.BitBtnAccept->click();
        QCOMPARE(m.ques.asked.size(), 3);
        QCOMPARE(m.ques.asked.last().line1, QString("Не задан код идентификации пользователя"));
        QCOMPARE(int(p.Accepted), 0);
        QCOMPARE(QByteArray(p.Pass, 12), QByteArray("secret      "));
        p.ECode1->setText("9");
        p.ECode2->setText("9");
        p.BitBtnAccept->click();
        QCOMPARE(int(p.Accepted), 1);
        QCOMPARE(QByteArray(p.Pass, 12), QByteArray(12, ' '));
        QCOMPARE(QByteArray(p.Code, 4), QByteArray("9   "));
    }

    void secret_boxes_show_stars()
    {
        TFormUsPass p;
        TFormChangeAccess c;
        for (QLineEdit *e : {p.EPass1, p.EPass2, p.ECode1, p.ECode2, c.EPass1, c.EPass2, c.ECode1, c.ECode2}) {
            e->setText("12");
            QCOMPARE(e->displayText(), QString("**"));
        }
    }
};

QTEST_MAIN(Tst_Access_Forms)
#include "tst_access_forms.moc"
