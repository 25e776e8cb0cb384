// The Parameters menu against the controller simulator: what is read, and that only the
// changed fields are written.
#include "core/Codepage.h"
#include "core/forms/Statusbar.h"
#include "params/Ident_Tab.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Ident.h"
#include "params/forms/Params_Menu.h"

#include "Sim_Menu.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QByteArray Padded(const QByteArray &b, int len)
{
    return b.left(len) + QByteArray(qMax(0, len - int(b.size())), '\0');
}
const Sim_Fault No_Writes = Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1);
} // namespace

class Tst_Params_Menu : public QObject {
    Q_OBJECT
    Sim_Menu m;

    // Names are kept in the Windows code page in the image, as the connect sequence leaves them.
    void Sync_Names()
    {
        m.Sync();
        if (Contr_Tables[Tab_Offset(0) + 12] == 0)
            for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), NAME_LEN);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Install_Param_Commands(m.main.get());
    }
    void init()
    {
        m.Reset();
        Sync_Names();
    }

    void ident_reads_and_never_writes()
    {
        m.sim.Set_Field(0, 0, QByteArray(1, char(6)));
        QString destroyed;
        QCOMPARE(m.Run("Nident", [&](QDialog &d) {
            destroyed = m.As<TFormIdent>(d).LDestr->text();
            d.accept();
        }), 1);
        QCOMPARE(destroyed, QString("Разрушена таблица 6"));
        QCOMPARE(m.Requests(), (QList<Req>{{1, 0, 0, 18}}));
    }

    void names_write_only_the_changed_name_in_866()
    {
        // Line 1 holds bytes that do not survive 866 -> 1251 -> 866 (one, "¦", the box does not
        // show): left alone, it goes back as it was read. Line 2 has no edit and is cleared: the
        // span 0..2 is one write.
        const QByteArray odd = Padded(QByteArray("\xB0\xB1\xB2\xB3 line", 9), 20);
        m.sim.Set_Field(5, 1, odd);
        m.sim.Set_Field(5, 2, Padded("Line 2", 20));
        Sync_Names();
        m.Run("NContrName", [&](QDialog &d) {
            auto &f = m.As<TFormContrName>(d);
            f.Edit1->setText(QStringLiteral("ГРС Южная"));
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 5, 0, 3}, {2, 5, 0, 3}}));
        QCOMPARE(m.sim.Field(5, 0), Padded(Unicode_To_Cp866(QStringLiteral("ГРС Южная")), 20));
        QCOMPARE(m.sim.Field(5, 1), odd);
        QCOMPARE(m.sim.Field(5, 2), QByteArray(20, '\0'));
        QCOMPARE(m.main->StatusBar1->Text(1), QString("ГРС Южная"));

        // Accepted without a change: nothing is written.
        m.Run("NContrName", [&](QDialog &d) { m.As<TFormContrName>(d).BitBtnWrite->click(); });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 5, 0, 3}}));
    }

    // The box of an 866 controller refuses what 866 lacks; after a write the status bar and the
    // image show the name as the controller holds it, even one that reached the box past its rule.
    void names_reach_the_controller_as_shown()
    {
        QString typed;
        m.Run("NContrName", [&](QDialog &d) {
            auto &f = m.As<TFormContrName>(d);
            f.Edit1->clear();
            for (QChar c : QStringLiteral("€Юг"))
                QTest::sendKeyEvent(QTest::Click, f.Edit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
            typed = f.Edit1->text();
            f.Edit1->setValidator(nullptr);
            f.Edit1->setText(QStringLiteral("Юг¦"));
            f.BitBtnWrite->click();
        });
        QCOMPARE(typed, QStringLiteral("Юг"));
        QCOMPARE(m.main->StatusBar1->Text(1), QStringLiteral("Юг|"));
        QCOMPARE(Name_Text(reinterpret_cast<const char *>(Tab_Field(5, 0))), QStringLiteral("Юг|"));
    }

    void names_failed_write_leaves_the_controller()
    {
        m.sim.Add_Fault(No_Writes);
        m.main->StatusBar1->Set_Text(1, QStringLiteral("before"));
        const QByteArray line1 = m.sim.Field(5, 1);
        m.Run("NContrName", [&](QDialog &d) {
            auto &f = m.As<TFormContrName>(d);
            f.Edit2->setText(QStringLiteral("Нитка Запад"));
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, QString("Не выполнена запись в таблицу 5."));
        QCOMPARE(m.main->StatusBar1->Text(1), QString("before"));
        QCOMPARE(m.sim.Field(5, 1), line1);
        // The edited names stay in the image, readable, in the Windows code page.
        QCOMPARE(Name_Text(reinterpret_cast<const char *>(Tab_Field(5, 1))), QString("Нитка Запад"));
    }

    void constants_write_changed_fields_values_first()
    {
        m.sim.Set_Field(14, 14, QByteArray(1, char(3)));
        m.Sync();
        const QByteArray v0 = m.sim.Field(44, 0);
        m.Run("NConst", [&](QDialog &d) {
            auto &f = m.As<TFormConst_Par>(d);
            f.findChild<QCheckBox *>("cb2")->setChecked(true);
            f.findChild<QLineEdit *>("ev2")->setText("4.5");
            f.BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 43, 0, 3}, {1, 44, 0, 3}, {2, 44, 1, 1}, {2, 43, 1, 1}}));
        float v;
        std::memcpy(&v, m.sim.Field(44, 1).constData(), 4);
        QCOMPARE(v, 4.5f);
        QCOMPARE(int(m.sim.Field(43, 1).at(0)), 1);
        QCOMPARE(m.sim.Field(44, 0), v0);

        // Accepted untouched: no write, although the shown texts are rounded.
        m.Run("NConst", [&](QDialog &d) { m.As<TFormConst_Par>(d).BitBtnWrite->click(); });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 43, 0, 3}, {1, 44, 0, 3}}));
    }

    void constants_failed_value_write_stops_the_chain()
    {
        m.sim.Set_Field(14, 14, QByteArray(1, char(2)));
        m.Sync();
        m.sim.Add_Fault(No_Writes);
        m.Run("NConst", [&](QDialog &d) {
            auto &f = m.As<TFormConst_Par>(d);
            f.findChild<QCheckBox *>("cb1")->setChecked(true);
            f.findChild<QLineEdit *>("ev1")->setText("1.5");
            f.BitBtnWrite->click();
        });
        const QList<Req> reqs = m.Requests();
        QVERIFY(reqs.contains(Req{2, 44, 0, 1}));
        QVERIFY(!reqs.contains(Req{2, 43, 0, 1}));
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(int(m.sim.Field(43, 0).at(0)), 0);
    }

    void failed_read_opens_no_dialog()
    {
        m.sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Times(-1));
        for (const char *item : {"NConst", "NContrName", "Nident"}) QCOMPARE(m.Run(item, [](QDialog &) {}), 0);
        for (const Req &r : m.Requests()) QCOMPARE(r.func, 1);
        QCOMPARE(m.ques.asked.size(), 3);
    }
};

QTEST_MAIN(Tst_Params_Menu)
#include "tst_params_menu.moc"
