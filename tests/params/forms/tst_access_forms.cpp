// The user table editors and the command that edits one user of the controller's table,
// against the controller simulator on a fake link.
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/forms/Access.h"
#include "params/forms/Limits.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

QByteArray Entry(const char *name, int level, int flag, const char *pass, const char *code)
{
    auto pad = [](const char *s, int len) {
        QByteArray b(s);
        return b + QByteArray(len - int(b.size()), ' ');
    };
    return pad(name, 4) + char(level) + char(flag) + pad(pass, 12) + pad(code, 4);
}

void Set_Entry(TFormChangeAccess &f, int s, const QString &name, int level, const QString &pass,
               const QString &code)
{
    f.LBUsers->setCurrentRow(s);
    f.EName->setText(name);
    f.CBLevel->setCurrentIndex(level);
    f.EPass1->setText(pass);
    f.EPass2->setText(pass);
    f.ECode1->setText(code);
    f.ECode2->setText(code);
}

} // namespace

class Tst_Access_Forms : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    int Run(const std::function<void(TFormChangeAccess &)> &each)
    {
        Scripted_Dialogs run([&](QDialog &d) {
            auto *f = qobject_cast<TFormChangeAccess *>(&d);
            QVERIFY(f);
            each(*f);
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        main->Item("NPass")->trigger();
        Set_Dialog_Runner(old);
        return run.Count;
    }
    const QList<Req> kReads{{1, 7, 0, 45}, {1, 4, 0, 11}, {1, 4, 11, 5}};

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        Set_Ques_Handler(&ques);
        Exch_Box->Adr = 1;
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Clk = &clk;
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Sock = port.Borrow();
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
        Install_Limit_Commands(main.get());
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
        sim.Clear_Log();
        ques.asked.clear();
    }

    void destroyed_table_is_not_edited()
    {
        sim.Set_Field(7, 4, QByteArray(1, char(1)));
        QCOMPARE(Run([](TFormChangeAccess &) {}), 0);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 7, 0, 45}}));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 4u);
        QCOMPARE(ques.asked[0].line1, QString("Таблица доступа пользователей"));
        QCOMPARE(ques.asked[0].line2, QString("требует полной перезаписи"));
    }

    void list_and_a_new_user_written_as_one_field()
    {
        QStringList listed, levels;
        QString note, exit_text;
        Run([&](TFormChangeAccess &f) {
            for (int i = 0; i < f.LBUsers->count(); ++i) listed << f.LBUsers->item(i)->text();
            for (int i = 0; i < f.CBLevel->count(); ++i) levels << f.CBLevel->itemText(i);
            note = f.Note->text();
            exit_text = f.BitBtnCancel->text();
            QVERIFY(f.BitBtnWrite->isVisible() && !f.BitBtnAccept->isVisible());
            QCOMPARE(f.EName->text(), QString("ADM"));
            QCOMPARE(f.CBLevel->currentIndex(), 1);
            QCOMPARE(f.EPass1->echoMode(), QLineEdit::Password);
            QCOMPARE(f.ECode2->echoMode(), QLineEdit::Password);
            Set_Entry(f, 1, QStringLiteral("ИНЖ"), 3, "pw", "12");
            f.BitBtnWrite->click();
        });
        QCOMPARE(listed.size(), 16);
        QCOMPARE(listed[0], QString("ADM"));
        QCOMPARE(listed[1], QString("   --   "));
        QCOMPARE(levels, (QStringList{"Нет доступа", "Производитель-наладчик", "Администратор", "Инженер", "Оператор"}));
        QCOMPARE(note, QString("Для удаления пользователя достаточно ввести уровень доступа \"Нет доступа\""));
        QCOMPARE(exit_text, QString("Выход"));
        QCOMPARE(Take_Requests(sim), kReads + QList<Req>({{2, 4, 1, 1}}));
        QCOMPARE(sim.Field(4, 1), Unicode_To_Cp1251(QStringLiteral("ИНЖ")) + ' ' + char(3) + char(0) +
                                      QByteArray("pw          12  "));
        QVERIFY(ques.asked.isEmpty());
    }

    void refusals_in_order()
    {
        sim.Set_Field(4, 2, Entry("BOSS", 2, 0, "", "7"));
        sim.Set_Field(4, 3, Entry("OPR", 4, 0, "", "8"));
        const struct {
            int s, level;
            QString name, pass1, pass2, code1, code2;
            QString line1, line2;
        } cases[] = {
            {0, 3, "ADM", "", "", "1", "1", "Вы не можете удалить пользователя", "с уровнем доступа \"Производитель-наладчик\""},
            {1, 1, "NEW", "", "", "1", "1", "Может быть зарегистрирован", "только один производитель-наладчик"},
            {2, 0, "BOSS", "", "", "", "", "Вы не можете удалить единственного пользователя", "с уровнем доступа \"Администратор\""},
            {1, 3, "NEW", "a", "b", "1", "1", "Несовпадение введенных паролей", "Повторите процесс сначала"},
            {1, 3, "NEW", "a", "a", "1", "2", "Несовпадение введенных кодов", "Повторите процесс сначала"},
            {1, 3, "NEW", "a", "a", "", "", "Не задан код идентификации пользователя", ""},
            {1, 3, "", "a", "a", "5", "5", "Номер пользователя в таблице - 2.", "Не задано имя пользователя"},
            {1, 3, "OPR", "", "", "5", "5", "Пользователи   2 и  4.", "Совпадение имен пользователей"},
            {1, -1, "NEW", "", "", "5", "5", "Введены не все параметры", ""},
        };
        for (const auto &c : cases) {
            ques.asked.clear();
            bool open = false;
            QString p1, p2, c1;
            Run([&](TFormChangeAccess &f) {
                f.LBUsers->setCurrentRow(c.s);
                f.EName->setText(c.name);
                f.CBLevel->setCurrentIndex(c.level);
                f.EPass1->setText(c.pass1);
                f.EPass2->setText(c.pass2);
                f.ECode1->setText(c.code1);
                f.ECode2->setText(c.code2);
                f.BitBtnWrite->click();
                open = f.isVisible();
                p1 = f.EPass1->text();
                p2 = f.EPass2->text();
                c1 = f.ECode1->text();
            });
            QVERIFY(open);
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].kind, 2u);
            QCOMPARE(ques.asked[0].line1, c.line1);
            QCOMPARE(ques.asked[0].line2, c.line2);
            if (c.line1 == "Несовпадение введенных паролей") QVERIFY(p1.isEmpty() && p2.isEmpty());
            if (c.line1 == "Несовпадение введенных кодов") QVERIFY(c1.isEmpty() && p1 == c.pass1);
            QCOMPARE(Take_Requests(sim), kReads);
        }
    }

    void deletion_needs_no_password_and_keeps_the_flag()
    {
        sim.Set_Field(4, 5, Entry("ENG", 3, 0x5A, "secret", "55"));
        Run([&](TFormChangeAccess &f) {
            f.LBUsers->setCurrentRow(5);
            QCOMPARE(f.EName->text(), QString("ENG"));
            QVERIFY(f.EPass1->text().isEmpty());
            f.CBLevel->setCurrentIndex(0);
            f.BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(sim), kReads + QList<Req>({{2, 4, 5, 1}}));
        QCOMPARE(sim.Field(4, 5), Entry("", 0, 0x5A, "", ""));
        QVERIFY(ques.asked.isEmpty());
    }

    void entry_accepted_as_read_is_written_and_exit_writes_nothing()
    {
        sim.Set_Field(4, 0, Entry("ADM", 1, 3, "pw", "12"));
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, 0, "ADM", 1, "pw", "12");
            f.BitBtnWrite->click();
            QCOMPARE(int(f.Accepted), 1);
        });
        QCOMPARE(Take_Requests(sim), kReads + QList<Req>({{2, 4, 0, 1}}));
        QCOMPARE(sim.Field(4, 0), Entry("ADM", 1, 3, "pw", "12"));
        Run([&](TFormChangeAccess &f) {
            Set_Entry(f, 1, "X", 3, "", "1");
            f.BitBtnCancel->click();
        });
        QCOMPARE(Take_Requests(sim), kReads);
    }

    void whole_table_editor()
    {
        User_Rec users[USER_COUNT];
        for (auto &u : users) {
            std::memset(&u, ' ', sizeof u);
            u.level = 0;
            u.flag = 9;
        }
        TFormAccess f;
        f.Users = users;
        f.Dev_Write = 0;
        f.show();
        QVERIFY(f.BitBtnAccept->isVisible() && !f.BitBtnWrite->isVisible());
        QCOMPARE(f.windowTitle(), QString("Доступ пользователей к записи в контроллер"));
        QVERIFY(!f.Rows[0].pass->isEnabled());
        f.BitBtnAccept->click();
        QCOMPARE(int(f.Accepted), 0);
        QCOMPARE(ques.asked.last().line2, QString("не зарегистрирован производитель-наладчик"));

        f.Rows[0].level->setCurrentIndex(1);
        QVERIFY(f.Rows[0].pass->isEnabled());
        f.Rows[0].name->setText("ADM");
        f.Rows[1].level->setCurrentIndex(3);
        f.Rows[1].name->setText("ENG");
        f.Rows[2].name->setText("ZZZ");   // level 0: emptied at the accept
        QStringList codes{"11", "11", "22"};
        QStringList passes{"abc", "", ""};
        Scripted_Dialogs run([&](QDialog &d) {
            auto *p = qobject_cast<TFormUsPass *>(&d);
            QVERIFY(p);
            QCOMPARE(p->windowTitle(), QString("Идентификация пользователя программы"));
            const QString pw = passes.takeFirst(), code = codes.takeFirst();
            p->EPass1->setText(pw);
            p->EPass2->setText(pw);
            p->ECode1->setText(code);
            p->ECode2->setText(code);
            p->BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.Rows[0].pass->click();
        f.Rows[1].pass->click();
        f.BitBtnAccept->click();
        QCOMPARE(int(f.Accepted), 0);
        QCOMPARE(ques.asked.last().line1, QString("Пользователи   1 и 2."));
        QCOMPARE(ques.asked.last().line2, QString("Совпадение кодов идентификации пользователя"));
        QVERIFY(f.Rows[2].name->text().isEmpty());
        QCOMPARE(int(users[0].level), 0);   // nothing stored yet
        f.Rows[1].pass->click();
        Set_Dialog_Runner(old);
        f.BitBtnAccept->click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[0]), 22), Entry("ADM", 1, 0, "abc", "11"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[1]), 22), Entry("ENG", 3, 0, "", "22"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&users[2]), 22), Entry("", 0, 0, "", ""));
    }

    void password_form()
    {
        TFormUsPass p;
        std::memcpy(p.Pass, "secret      ", 12);
        std::memcpy(p.Code, "77  ", 4);
        p.show();
        QCOMPARE(p.EPass2->text(), QString("secret"));
        QCOMPARE(p.ECode1->text(), QString("77"));
        QCOMPARE(p.BitBtnCancel->text(), QString("Выход"));
        ques.asked.clear();
        p.EPass2->setText("secreT");
        p.BitBtnAccept->click();
        QVERIFY(p.EPass1->text().isEmpty() && p.EPass2->text().isEmpty());
        QCOMPARE(ques.asked.last().line1, QString("Несовпадение введенных паролей"));
        p.ECode2->setText("78");
        p.BitBtnAccept->click();
        QVERIFY(p.ECode1->text().isEmpty() && p.ECode2->text().isEmpty());
        QCOMPARE(ques.asked.last().line1, QString("Несовпадение введенных кодов"));
        p.BitBtnAccept->click();
        QCOMPARE(ques.asked.last().line1, QString("Не задан код идентификации пользователя"));
        QVERIFY(ques.asked.last().line2.isEmpty());
        QCOMPARE(int(p.Accepted), 0);
        p.ECode1->setText("9");
        p.ECode2->setText("9");
        p.BitBtnAccept->click();
        QCOMPARE(int(p.Accepted), 1);
        QCOMPARE(QByteArray(p.Pass, 12), QByteArray(12, ' '));
        QCOMPARE(QByteArray(p.Code, 4), QByteArray("9   "));

        TFormUsPass q;
        q.Clear = 1;
        std::memcpy(q.Pass, "secret      ", 12);
        q.show();
        QVERIFY(q.EPass1->text().isEmpty());
    }
};

QTEST_MAIN(Tst_Access_Forms)
#include "tst_access_forms.moc"
