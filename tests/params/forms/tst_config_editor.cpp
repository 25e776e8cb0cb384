// The configuration editor on a record: each dialog it opens edits the record's own bytes
// (never the table image), the availability of the flow-computer and moisture-meter buttons,
// Changed and Accepted, the new/edit commands through the installed editor, and a record
// accepted for writing and then applied and written to the controller simulator.
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

#include "FakePort.h"
#include "Sim.h"

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

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    QList<uint8_t> answers;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

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
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;
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
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path() + "/");
        QDir().mkpath(Work_Dir() + "CONFIG");
        main = std::make_unique<TFormMain>();
        main->TimerStart.stop();
        Set_Ques_Handler(&ques);
        Exch_Box->Adr = 1;
        Exch_Box->Conn_Prz = 2;
        Exch_Box->Clk = &clk;
        Exch_Box->Pause_Tcp_Ms = 0;
        Exch_Box->Sock = port.Borrow();
        std::memcpy(Exch_Box->Write_Pass, sim.Password().constData(), 12);
        std::memcpy(Exch_Box->User_Code, sim.Code().constData(), 4);
        Connected = true;
        port.On_Write = [this](FakePort &p, const QByteArray &w) {
            for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) p.Queue(c.bytes, 1000);
        };
    }
    void cleanupTestCase()
    {
        Set_Dialog_Runner(nullptr);
        Set_Ques_Handler(nullptr);
        main.reset();
    }
    void init()
    {
        ques.asked.clear();
        ques.answers.clear();
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Log();
        std::memcpy(Contr_Tables, sim.Image().constData(), CONTR_TABLES_SIZE);
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

    void caption_buttons_and_availability()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t6[9] = 0;   // no flow computers
        rec.t6[8] = 0;   // no moisture meter
        TFormConfig f;
        f.Cnf = &rec;
        QCOMPARE(int(f.Changed), 0);
        QCOMPARE(int(f.Accepted), 0);
        f.show();
        QCOMPARE(f.windowTitle(), QString("Параметры конфигурации контроллера \"Контроллер QZT_16\" "));
        QVERIFY(f.BitBtnAccept->isVisible());
        QVERIFY(!f.BitBtnWrite->isVisible());
        QCOMPARE(Panel_Color(f), QColor(211, 211, 211));
        QVERIFY(!f.BtnConst2->isEnabled());
        QVERIFY(!f.LConst2->isEnabled());
        QVERIFY(f.BtnConst1->isEnabled());
        for (QPushButton *b : {f.BtnConVich, f.BtnFlouList, f.BtnPrzDistr, f.BtnDistr, f.BtnConWMT})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(!f.LConVich->isEnabled());
        QVERIFY(!f.LConWMT->isEnabled());
        for (QLabel *l : f.GBVich->findChildren<QLabel *>()) QVERIFY(!l->isEnabled());
        QVERIFY(f.BtnConHGC->isEnabled());

        // The system parameters fit both devices: the buttons follow at once.
        const int n = Click(f, f.BtnSys, [](QDialog &d) {
            auto *s = qobject_cast<TFormSys *>(&d);
            QVERIFY(s);
            s->CheckBox2->setChecked(true);
            s->CheckBox3->setChecked(true);
            s->Confirm_Button()->click();
        });
        QCOMPARE(n, 1);
        QCOMPARE(int(rec.t6[8]), 1);
        QCOMPARE(int(rec.t6[9]), 1);
        for (QPushButton *b : {f.BtnConVich, f.BtnFlouList, f.BtnPrzDistr, f.BtnDistr, f.BtnConWMT})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(f.LConVich->isEnabled());
        QVERIFY(f.LConWMT->isEnabled());
        QVERIFY(!f.BtnConst2->isEnabled());

        // For writing to the controller the other confirm button shows.
        TFormConfig w;
        w.Cnf = &rec;
        w.Dev_Write = 1;
        w.show();
        QVERIFY(w.BitBtnWrite->isVisible());
        QVERIFY(!w.BitBtnAccept->isVisible());
    }

    void accept_and_cancel()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        {
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            f.BitBtnAccept->click();
            QCOMPARE(int(f.Accepted), 1);
            QCOMPARE(int(f.Changed), 0);
        }
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
        {
            // A change back to the value as shown is no change either.
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            for (int v : {7, 1})
                Click(f, f.BtnDistr, [v](QDialog &d) {
                    auto *s = qobject_cast<TFormDistr *>(&d);
                    QVERIFY(s);
                    s->Set_Row_Value(0, v);
                    s->Confirm_Button()->click();
                });
            f.BitBtnAccept->click();
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
    }

    void each_dialog_edits_its_place_in_the_record()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        // Two flow computers and a maker, so that every list accepts.
        rec.t9[0] = 2;
        rec.flou[1].type = 1;
        rec.t6[8] = 1;   // a moisture meter
        std::memcpy(rec.users[0].name, "ADM ", 4);
        rec.users[0].level = 1;
        std::memcpy(rec.users[0].code, "1234", 4);

        // Identification: display only, nothing changes.
        QCOMPARE(Edit_With<TFormIdent>(rec, &TFormConfig::BtnIdent, [](TFormIdent &i) { QVERIFY(!i.BitBtnWrite); }), QList<int>{});

        QString caption;
        QList<int> d = Edit_With<TFormContrName>(
            rec, &TFormConfig::BtnNames, [](TFormContrName &n) { n.Edit1->setText("Узел 7"); }, &caption);
        QVERIFY(!d.isEmpty());
        for (int at : d) QVERIFY(at >= 1409 && at < 1429);
        QCOMPARE(Cnf_Contr_Name(rec), QString("Узел 7"));
        QCOMPARE(caption, QString("Параметры конфигурации контроллера \"Узел 7\" "));

        d = Edit_With<TFormConVich>(rec, &TFormConfig::BtnConVich, [](TFormConVich &v) {
            v.Set_Row_Value(v.Row_Of("CBCount"), 3);
        });
        QCOMPARE(d, QList<int>{3919});
        QCOMPARE(int(rec.t9[0]), 3);

        d = Edit_With<TFormConVU>(rec, &TFormConfig::BtnConVU, [](TFormConVU &v) { v.Set_Row_Value(v.Row_Of("CBAdr"), 9); });
        QCOMPARE(d, QList<int>{1489});
        QCOMPARE(int(rec.t3[0]), 9);

        d = Edit_With<TFormConWMT>(rec, &TFormConfig::BtnConWMT, [](TFormConWMT &v) { v.Set_Row_Value(v.Row_Of("CBAdr"), 33); });
        QCOMPARE(d, QList<int>{1767});

        d = Edit_With<TFormConEth>(rec, &TFormConfig::BtnConEth, [](TFormConEth &e) { e.Edit("ip4")->setText("10"); });
        QCOMPARE(d, QList<int>{3375 + 3});
        QCOMPARE(int(rec.t29[3]), 10);

        d = Edit_With<TFormSys>(rec, &TFormConfig::BtnSys, [](TFormSys &s) { s.CheckBox2->setChecked(!s.CheckBox2->isChecked()); });
        QCOMPARE(d, QList<int>{1593 + 8});

        // The synchronisation switches: two bytes of table 6 and two of table 14.
        const uint8_t s0[4] = {rec.t6[10], rec.t6[11], rec.t14[8], rec.t14[9]};
        d = Edit_With<TFormTime_Sinhr>(rec, &TFormConfig::BtnSinhr, [](TFormTime_Sinhr &s) {
            s.CheckBox1->setChecked(true);
            s.CheckBox3->setChecked(!s.CheckBox3->isChecked());
            s.CheckBox2->setChecked(!s.CheckBox2->isChecked());
        });
        for (int at : d) QVERIFY(at == 1603 || at == 1604 || at == 1713 || at == 1714);
        QVERIFY(!d.isEmpty());
        QCOMPARE(int(rec.t6[10]), 1);
        QCOMPARE(int(rec.t6[11]), s0[1] ? 0 : 1);

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

        d = Edit_With<TFormPrzDistr>(rec, &TFormConfig::BtnPrzDistr, [](TFormPrzDistr &p) {
            QCOMPARE(p.Count(), 16);
            QCOMPARE(p.Par_Name(1), QString("Молярная доля метана"));
            p.Rows[0].lst->setCurrentIndex(1);
        });
        QCOMPARE(d, QList<int>{2345});

        d = Edit_With<TFormDistr>(rec, &TFormConfig::BtnDistr, [](TFormDistr &p) { p.Set_Row_Value(0, 6); });
        QCOMPARE(d, QList<int>{3365});
        QCOMPARE(int(rec.t28[0]), 6);

        const int limit_at[5] = {2465, 2645, 2825, 3005, 3185};
        for (int k = 0; k < 5; ++k) {
            TFormConfig f;
            f.Cnf = &rec;
            f.show();
            const QByteArray before = Rec_Bytes(rec);
            const Limit_Range *r = Limit_Row(k, 3);
            QVERIFY(r);
            const float v = (r->min + r->max) / 2;
            Click(f, f.BtnLimits[k], [&](QDialog &dlg) {
                auto *l = qobject_cast<TFormLimits *>(&dlg);
                QVERIFY(l);
                QCOMPARE(int(l->Kind), k);
                QCOMPARE(l->windowTitle(), Limit_Caption(k));
                l->Rows[3].ev->setText(QString::number(double(v), 'f', 4));
                l->Confirm_Button()->click();
            });
            const QList<int> dk = Diff(before, Rec_Bytes(rec));
            QVERIFY(!dk.isEmpty());
            for (int at : dk) QVERIFY(at >= limit_at[k] + 12 && at < limit_at[k] + 16);
            QCOMPARE(F32(reinterpret_cast<const uint8_t *>(&rec) + limit_at[k] + 12), float(QString::number(double(v), 'f', 4).toFloat()));
        }

        d = Edit_With<TFormAccess>(rec, &TFormConfig::BtnAccess, [](TFormAccess &a) { a.Rows[0].name->setText("BOSS"); });
        for (int at : d) QVERIFY(at >= 3467 && at < 3467 + 4);
        QCOMPARE(QByteArray(rec.users[0].name, 4), QByteArray("BOSS"));

        d = Edit_With<TFormConst_Par>(rec, &TFormConfig::BtnConst1, [](TFormConst_Par &c) {
            c.Rows[2].cb->setChecked(true);
            c.Rows[2].ev->setText("0.5");
        });
        QVERIFY(d.contains(3935 + 2));
        for (int at : d) QVERIFY(at == 3935 + 2 || (at >= 3955 + 8 && at < 3955 + 12));
        QCOMPARE(F32(rec.t44 + 8), 0.5f);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rec.Line2_Const), 100), QByteArray(100, '\0'));
    }

    void chromatograph_link_on_the_record()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t9[0] = 3;
        rec.t6[9] = 1;
        for (int i = 0; i < 16; ++i) rec.flou[i].adr = uint8_t(40 + i);

        // The flow computers of the record are offered by index and address.
        QStringList items;
        QList<int> d = Edit_With<TFormConHGC>(rec, &TFormConfig::BtnConHGC, [&](TFormConHGC &h) {
            QCOMPARE(h.Vich_Count, 3);
            QComboBox *cb = h.List(h.Row_Of("CBVrg"));
            for (int i = 0; i < cb->count(); ++i) items << cb->itemText(i);
            h.Set_Row_Value(h.Row_Of("CBAdr"), 77);
        });
        QCOMPARE(items, QStringList({"0 (адр. 40)", "1 (адр. 41)", "2 (адр. 42)"}));
        QCOMPARE(d, QList<int>{1705});

        // Without flow computers in the system parameters, none are offered.
        rec.t6[9] = 0;
        int count = -1;
        Edit_With<TFormConHGC>(rec, &TFormConfig::BtnConHGC, [&](TFormConHGC &h) { count = h.Vich_Count; });
        QCOMPARE(count, 0);

        // The parameter list inside edits table 1 and the count of the record, whether the link
        // form is then accepted or cancelled.
        auto list_edit = [](QDialog &d) {
            if (auto *l = qobject_cast<TFormChrPar_List *>(&d)) {
                l->Work.count = 15;
                l->Work.par[0].reg = 9999;
                l->Confirm_Button()->click();
            }
        };
        for (bool accept : {false, true}) {
            Cnf_Rec r = rec;
            TFormConfig f;
            f.Cnf = &r;
            f.show();
            Click(f, f.BtnConHGC, [&](QDialog &d) {
                auto *h = qobject_cast<TFormConHGC *>(&d);
                QVERIFY(h);
                Scripted_Dialogs inner(list_edit);
                Dialog_Runner *old = Set_Dialog_Runner(&inner);
                h->BitBtnParList->click();
                Set_Dialog_Runner(old);
                QCOMPARE(inner.Count, 1);
                if (accept) h->Confirm_Button()->click();
            });
            QCOMPARE(int(r.t14[14]), 15);
            QCOMPARE(int(r.t1[0].reg), 9999);
            for (int at : Diff(Rec_Bytes(rec), Rec_Bytes(r))) QVERIFY(at == 1719 || (at >= 29 && at < 29 + 64));
        }
    }

    void flow_computer_buttons_off_without_flow_computers()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t6[9] = 0;
        TFormConfig f;
        f.Cnf = &rec;
        f.show();
        // Every flow-computer button: disabled, and a click opens nothing.
        for (QPushButton *b : {f.BtnConVich, f.BtnFlouList, f.BtnPrzDistr, f.BtnDistr}) {
            QVERIFY(!b->isEnabled());
            QCOMPARE(Click(f, b, [](QDialog &) {}), 0);
        }
        QCOMPARE(Click(f, f.BtnConst2, [](QDialog &) {}), 0);
    }

    void file_commands_through_the_installed_editor()
    {
        Install_Config_Commands(main.get());
        Install_Config_Editor(main.get());
        QVERIFY(Config_Editor);
        QVERIFY(main->Item("NNewcnf")->isEnabled());
        QVERIFY(main->Item("NEditcnf")->isEnabled());

        const QString path = Cfg("edited.cnf");
        QStringList seen;
        auto run = [&](const char *item, const std::function<void(TFormConfig &)> &in_editor) {
            seen.clear();
            Scripted_Dialogs s([&](QDialog &d) {
                if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                    seen << "file";
                    fd->selectFile(path);
                    d.accept();
                } else if (auto *f = qobject_cast<TFormConfig *>(&d)) {
                    seen << "editor";
                    QCOMPARE(int(f->Dev_Write), 0);
                    QVERIFY(f->parent() == main.get());
                    in_editor(*f);
                }
            });
            Dialog_Runner *old = Set_Dialog_Runner(&s);
            main->Item(QLatin1String(item))->trigger();
            Set_Dialog_Runner(old);
        };
        auto accept = [](TFormConfig &f) { f.BitBtnAccept->click(); };

        // New configuration: accepted unchanged, it is saved.
        ques.answers = {1};   // replace, should the file be there
        run("NNewcnf", accept);
        QCOMPARE(seen, QStringList({"editor", "file"}));
        Cnf_Rec defaults;
        New_Cnf(defaults);
        Cnf_Rec loaded;
        QCOMPARE(Load_Cnf_File(path, loaded), Cnf_Load::Ok);
        QCOMPARE(Rec_Bytes(loaded), Rec_Bytes(defaults));

        // The file accepted unchanged: not saved again.
        run("NEditcnf", accept);
        QCOMPARE(seen, QStringList({"file", "editor"}));

        // Cancelled after an edit: not saved.
        run("NEditcnf", [&](TFormConfig &f) {
            Click(f, f.BtnDistr, [](QDialog &d) {
                static_cast<TFormDistr &>(d).Set_Row_Value(0, 24);
                static_cast<TParam_Dialog &>(d).Confirm_Button()->click();
            });
            f.BitBtnCancel->click();
        });
        QCOMPARE(seen, QStringList({"file", "editor"}));
        QCOMPARE(Load_Cnf_File(path, loaded), Cnf_Load::Ok);
        QCOMPARE(int(loaded.t28[0]), 1);

        // Changed and accepted: saved (here over the file it came from, on "Да").
        ques.answers = {1};
        run("NEditcnf", [&](TFormConfig &f) {
            Click(f, f.BtnDistr, [](QDialog &d) {
                static_cast<TFormDistr &>(d).Set_Row_Value(0, 24);
                static_cast<TParam_Dialog &>(d).Confirm_Button()->click();
            });
            f.BitBtnAccept->click();
        });
        QCOMPARE(seen, QStringList({"file", "editor", "file"}));
        QCOMPARE(Load_Cnf_File(path, loaded), Cnf_Load::Ok);
        QCOMPARE(int(loaded.t28[0]), 24);
        Set_Config_Editor(main.get(), nullptr);
    }

    void accepted_for_writing_then_applied_and_written()
    {
        // A restore's road: the editor on Dev_Write 1 only edits; its caller applies the record
        // and writes the chosen tables.
        Cnf_Rec rec;
        New_Cnf(rec);
        std::memcpy(rec.users[0].name, "ADM ", 4);
        rec.users[0].level = 1;
        std::memcpy(rec.users[0].code, "1234", 4);
        rec.t3[0] = 1;   // the simulator stays at address 1

        Cnf_Editor_Result r;
        Install_Config_Editor(main.get());
        {
            Scripted_Dialogs s([&](QDialog &d) {
                auto *f = qobject_cast<TFormConfig *>(&d);
                QVERIFY(f);
                QVERIFY(f->BitBtnWrite->isVisible());
                Click(*f, f->BtnDistr, [](QDialog &dd) {
                    static_cast<TFormDistr &>(dd).Set_Row_Value(0, 4);
                    static_cast<TParam_Dialog &>(dd).Confirm_Button()->click();
                });
                f->BitBtnWrite->click();
            });
            Dialog_Runner *old = Set_Dialog_Runner(&s);
            r = Config_Editor(main.get(), rec, 1);
            Set_Dialog_Runner(old);
        }
        Set_Config_Editor(main.get(), nullptr);
        QVERIFY(r.accepted);
        QVERIFY(r.changed);
        QVERIFY(sim.Log().isEmpty());
        QCOMPARE(int(rec.t28[0]), 4);

        QVERIFY(Apply_Config(rec, true));
        Tab_State_Block b;
        Fill_Tab_State_Block(b, nullptr);
        b.Write_Sel[28] = 1;
        Cnf_Exch_Ui ui;
        ui.pause = [](int) {};
        QVERIFY(Write_Config(b, ui));
        QCOMPARE(sim.Table(28).left(2), QByteArray("\x04\x00", 2));
        sim.Clear_Log();
        image = Image();
    }
};

QTEST_MAIN(Tst_Config_Editor)
#include "tst_config_editor.moc"
