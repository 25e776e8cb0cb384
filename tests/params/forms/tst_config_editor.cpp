// The configuration editor on a record: each dialog it opens edits the record's own bytes
// (never the table image nor the controller), the buttons it refuses, Changed and Accepted,
// the new/edit commands through the installed editor, and a record accepted for writing and
// then applied and written to the controller simulator.
#include "core/Cnf_Exchange.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/Tabinfo.h"
#include "params/forms/Access.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Config.h"
#include "params/forms/Config_Files.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Floulist.h"
#include "params/forms/Ident.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"
#include "params/forms/Sinhr.h"
#include "params/forms/Syspar.h"

#include "Sim_Menu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

QByteArray Rec_Bytes(const Cnf_Rec &r)
{
    return QByteArray(reinterpret_cast<const char *>(&r), sizeof r);
}

// Offsets where two records differ.
QList<int> Diff(const QByteArray &a, const QByteArray &b)
{
    QList<int> out;
    for (int i = 0; i < qMin(a.size(), b.size()); ++i)
        if (a[i] != b[i]) out << i;
    return out;
}

float F32(const uint8_t *p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

QColor Panel_Color(const TFormConfig &f)
{
    return f.Panel1->palette().color(QPalette::Window);
}

} // namespace

class Tst_Config_Editor : public QObject {
    Q_OBJECT
    Sim_Menu m;
    Sim_Core &sim = m.sim;
    Ques_Script &ques = m.ques;
    QByteArray image;   // the table image before each test

    // Shows the form on the record and clicks one button; each dialog it opens goes to `each`.
    // Returns the number of dialogs opened.
    int Click(TFormConfig &, QPushButton *b, const std::function<void(QDialog &)> &each)
    {
        Scripted_Dialogs run(each);
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        b->click();
        Set_Dialog_Runner(old);
        return run.Count;
    }
    QByteArray Image() const { return QByteArray(reinterpret_cast<const char *>(Contr_Tables), CONTR_TABLES_SIZE); }
    QString Cfg(const QString &name) const { return Work_Dir() + "CONFIG/" + name; }

    // One button's dialog accepted after `edit`; the offsets of the record that changed.
    template <class Form>
    QList<int> Edit_With(Cnf_Rec &rec, QPushButton *TFormConfig::*button, const std::function<void(Form &)> &edit,
                         QString *caption = nullptr)
    {
        TFormConfig f;
        f.Cnf = &rec;
        f.show();
        const QByteArray before = Rec_Bytes(rec);
        bool seen = false;
        const int n = Click(f, f.*button, [&](QDialog &d) {
            auto *form = qobject_cast<Form *>(&d);
            if (!form) return;
            seen = true;
            // Opened on the record with Dev_Write 0, the panel grey meanwhile.
            if (form->Dev_Write != 0 || (form->BitBtnWrite && form->BitBtnWrite->isVisible())) return;
            if (Panel_Color(f) != QColor(181, 181, 181)) return;
            edit(*form);
            if (QPushButton *ok = form->Confirm_Button()) ok->click();
        });
        if (!seen || n != 1) return {-1};
        if (Panel_Color(f) != QColor(211, 211, 211)) return {-2};
        if (caption) *caption = f.windowTitle();
        f.BitBtnAccept->click();
        if (!f.Accepted || f.Changed != (before != Rec_Bytes(rec) ? 1 : 0)) return {-3};
        return Diff(before, Rec_Bytes(rec));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Set_Work_Dir(m.dir.path() + "/");
        QDir().mkpath(Work_Dir() + "CONFIG");
        std::memcpy(Exch_Box->Write_Pass, sim.Password().constData(), 12);
        std::memcpy(Exch_Box->User_Code, sim.Code().constData(), 4);
    }
    void cleanupTestCase()
    {
        Set_Dialog_Runner(nullptr);
        Set_Ques_Handler(nullptr);
        m.main.reset();
    }
    void init()
    {
        m.Reset();
        for (int k = 0; k < 3; ++k) Dos_To_Win(reinterpret_cast<char *>(Tab_Field(5, k)), 20);
        Config_Only = false;
        image = Image();
    }
    void cleanup()
    {
        // Nothing an editor does reaches the image or the controller.
        QCOMPARE(Image(), image);
        QVERIFY(sim.Log().isEmpty());
    }

    // The names take the code page of the controller they go to: the record's own (866 here)
    // when a file is edited, the linked one (1251) when a restore writes the record.
    void names_take_the_code_page_of_their_controller()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t0[12] = 0;
        *Tab_Field(0, 12) = 1;
        image = Image();
        for (const uint8_t dev_write : {0, 1}) {
            TFormConfig f;
            f.Cnf = &rec;
            f.Dev_Write = dev_write;
            f.show();
            QString typed;
            QCOMPARE(Click(f, f.BtnNames, [&](QDialog &d) {
                auto *e = Sim_Menu::As<TFormContrName>(d).Edit1;
                e->clear();
                for (QChar c : QStringLiteral("€Ю"))
                    QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
                typed = e->text();
            }), 1);
            QCOMPARE(typed, dev_write ? QStringLiteral("€Ю") : QStringLiteral("Ю"));
        }
    }

    void flow_computer_and_moisture_buttons_follow_the_system_parameters()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t6[9] = 0;   // no flow computers
        rec.t6[8] = 0;   // no moisture meter
        TFormConfig f;
        f.Cnf = &rec;
        f.show();
        // Every flow-computer button: disabled, and a click opens nothing.
        for (QPushButton *b : {f.BtnConVich, f.BtnFlouList, f.BtnPrzDistr, f.BtnDistr, f.BtnConWMT}) {
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
            QCOMPARE(Click(f, b, [](QDialog &) {}), 0);
        }
        QCOMPARE(Click(f, f.BtnConst2, [](QDialog &) {}), 0);

        // The system parameters fit both devices: the buttons follow at once.
        Click(f, f.BtnSys, [](QDialog &d) {
            auto &s = Sim_Menu::As<TFormSys>(d);
            s.CheckBox2->setChecked(true);
            s.CheckBox3->setChecked(true);
            s.Confirm_Button()->click();
        });
        QCOMPARE(int(rec.t6[8]), 1);
        QCOMPARE(int(rec.t6[9]), 1);
        for (QPushButton *b : {f.BtnConVich, f.BtnFlouList, f.BtnPrzDistr, f.BtnDistr, f.BtnConWMT})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(!f.BtnConst2->isEnabled());
    }

    void accept_and_cancel()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        {
            // A dialog accepted with no change changes nothing.
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            Click(f, f.BtnConVU, [](QDialog &d) { static_cast<TParam_Dialog &>(d).Confirm_Button()->click(); });
            Click(f, f.BtnSinhr, [](QDialog &d) { static_cast<TParam_Dialog &>(d).Confirm_Button()->click(); });
            Click(f, f.BtnLimits[2], [](QDialog &d) { static_cast<TParam_Dialog &>(d).Confirm_Button()->click(); });
            f.BitBtnAccept->click();
            QCOMPARE(int(f.Accepted), 1);
            QCOMPARE(int(f.Changed), 0);
        }
        // Cancelled: not accepted, and what the dialogs stored stays in the record.
        for (bool esc : {false, true}) {
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            Click(f, f.BtnDistr, [](QDialog &d) {
                static_cast<TFormDistr &>(d).Set_Row_Value(0, 12);
                static_cast<TParam_Dialog &>(d).Confirm_Button()->click();
            });
            if (esc)
                QTest::keyClick(&f, Qt::Key_Escape);
            else
                f.BitBtnCancel->click();
            QVERIFY(!f.isVisible());
            QCOMPARE(int(f.Accepted), 0);
            QCOMPARE(int(rec.t28[0]), 12);
            rec.t28[0] = 1;
        }
        {
            // A cancelled dialog stores nothing.
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            const QByteArray before = Rec_Bytes(rec);
            Click(f, f.BtnConEth, [](QDialog &d) {
                static_cast<TFormConEth &>(d).Edit("ip1")->setText("9");
                d.reject();
            });
            QCOMPARE(Rec_Bytes(rec), before);
            QCOMPARE(Panel_Color(f), QColor(211, 211, 211));
            f.BitBtnAccept->click();
            QCOMPARE(int(f.Changed), 0);
        }
        // The parameter list inside the chromatograph link form edits table 1 and the count of
        // the record, whether the link form is then accepted or cancelled.
        for (bool accept : {false, true}) {
            Cnf_Rec r = rec;
            TFormConfig f;
            f.Cnf = &r;
            f.show();
            Click(f, f.BtnConHGC, [&](QDialog &d) {
                auto &h = Sim_Menu::As<TFormConHGC>(d);
                Scripted_Dialogs inner([](QDialog &l) {
                    auto &p = Sim_Menu::As<TFormChrPar_List>(l);
                    p.Work.count = 15;
                    p.Work.par[0].reg = 9999;
                    p.Confirm_Button()->click();
                });
                Dialog_Runner *old = Set_Dialog_Runner(&inner);
                h.BitBtnParList->click();
                Set_Dialog_Runner(old);
                if (accept) h.Confirm_Button()->click();
            });
            QCOMPARE(int(r.t14[14]), 15);
            QCOMPARE(int(r.t1[0].reg), 9999);
            for (int at : Diff(Rec_Bytes(rec), Rec_Bytes(r))) QVERIFY(at == 1719 || (at >= 29 && at < 29 + 64));
        }
    }

    void each_dialog_edits_its_place_in_the_record()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        // Three flow computers and a maker, so that every list accepts.
        rec.t9[0] = 3;
        rec.flou[1].type = 1;
        rec.t6[8] = 1;   // a moisture meter
        std::memcpy(rec.users[0].name, "ADM ", 4);
        rec.users[0].level = 1;
        std::memcpy(rec.users[0].code, "1234", 4);

        QString caption;
        QList<int> d = Edit_With<TFormContrName>(
            rec, &TFormConfig::BtnNames, [](TFormContrName &n) { n.Edit1->setText("Узел 7"); }, &caption);
        QVERIFY(!d.isEmpty());
        // The controller name; the name of line 2, which has no edit, cleared.
        for (int at : d) QVERIFY((at >= 1409 && at < 1429) || (at >= 1449 && at < 1469));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rec.t5 + 40), 20), QByteArray(20, '\0'));
        QCOMPARE(Cnf_Contr_Name(rec), QString("Узел 7"));
        QCOMPARE(caption, QString("Параметры конфигурации контроллера \"Узел 7\" "));

        d = Edit_With<TFormConVU>(rec, &TFormConfig::BtnConVU, [](TFormConVU &v) { v.Set_Row_Value(v.Row_Of("CBAdr"), 9); });
        QCOMPARE(d, QList<int>{1489});
        QCOMPARE(int(rec.t3[0]), 9);

        // The flow-computer list: the first of three deleted; the count follows.
        ques.answers = {1};
        const uint8_t adr1 = rec.flou[1].adr;
        d = Edit_With<TFormFlouList>(rec, &TFormConfig::BtnFlouList, [](TFormFlouList &l) {
            QCOMPARE(l.Rows(), 3);
            l.Grid->selectRow(0);
            l.Delete_Click();
        });
        for (int at : d) QVERIFY((at >= 1825 && at < 1825 + 3 * 20) || at == 3919);
        QCOMPARE(int(rec.t9[0]), 2);
        QCOMPARE(int(rec.flou[0].adr), int(adr1));

        d = Edit_With<TFormConst_Par>(rec, &TFormConfig::BtnConst1, [](TFormConst_Par &c) {
            c.Rows[2].cb->setChecked(true);
            c.Rows[2].ev->setText("0.5");
        });
        QVERIFY(d.contains(3935 + 2));
        for (int at : d) QVERIFY(at == 3935 + 2 || (at >= 3955 + 8 && at < 3955 + 12));
        QCOMPARE(F32(rec.t44 + 8), 0.5f);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rec.Line2_Const), 100), QByteArray(100, '\0'));
    }
};

QTEST_MAIN(Tst_Config_Editor)
#include "tst_config_editor.moc"
