// The flow-computer list and dialog, and the commands that read the flow computers and write
// back what the list changed, against the controller simulator on a fake link.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/forms/Floulist.h"
#include "params/forms/Floupar.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t answer = 0;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return q.yes_no ? answer : 0;
    }
};

QByteArray Pad(const char *s, int len)
{
    QByteArray b(s);
    return b + QByteArray(len - int(b.size()), ' ');
}

// Fills the open flow-computer dialog.
void Fill(TFormFlouPar &p, const QString &adr, int type, int order)
{
    p.CBAdr->setEditText(adr);
    p.CBType->setCurrentIndex(type);
    p.CBOrder->setCurrentIndex(order);
}

} // namespace

class Tst_Flou_Forms : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    QList<Req> Writes()
    {
        QList<Req> out;
        for (const Req &r : Take_Requests(sim))
            if (r.func == 2) out << r;
        return out;
    }
    // Runs a command; the list goes to `list`, each flow-computer dialog to `par`.
    int Run(const std::function<void()> &cmd, const std::function<void(TFormFlouList &)> &list,
            const std::function<void(TFormFlouPar &)> &par = {})
    {
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *l = qobject_cast<TFormFlouList *>(&d)) list(*l);
            else if (auto *p = qobject_cast<TFormFlouPar *>(&d)) {
                if (par) par(*p);
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        cmd();
        Set_Dialog_Runner(old);
        return run.Count;
    }
    void Curr_Vich(const std::function<void(TFormFlouList &)> &list, const std::function<void(TFormFlouPar &)> &par = {})
    {
        Run([this] { main->Item("NCurrVich")->trigger(); }, list, par);
    }
    void Image_From_Controller()
    {
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
    }

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
        Install_Link_Commands(main.get());
        Install_Limit_Commands(main.get());
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        Image_From_Controller();
        sim.Clear_Log();
        ques.asked.clear();
        ques.answer = 0;
    }

    void list_shows_the_controller_records_unchanged_writes_nothing()
    {
        QStringList row0;
        int rows = 0;
        Curr_Vich([&](TFormFlouList &l) {
            QCOMPARE(l.windowTitle(), QString("Параметры вычислителей расхода газа"));
            QVERIFY(l.BitBtnWrite->isVisible());
            rows = l.Grid->rowCount();
            for (int c = 0; c < 4; ++c) row0 << l.Grid->item(0, c)->text();
            QCOMPARE(l.Grid->currentRow(), 0);
            l.BitBtnWrite->click();
        });
        QCOMPARE(rows, 2);
        QCOMPARE(row0, (QStringList{"   1", " ФЛОУКОР, ПМ-3В", " Мл. адрес -- ст. байт", "      0x01"}));
        QCOMPARE(Take_Requests(sim),
                 (QList<Req>{{1, 9, 0, 1}, {1, 17, 0, 2}, {1, 18, 0, 2}, {1, 19, 0, 2}, {1, 20, 0, 2}}));
    }

    void change_writes_the_changed_field_and_a_changed_password()
    {
        QString caption;
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.Grid->selectRow(1);
                l.BtnChange->click();
                QCOMPARE(l.Grid->item(1, 0)->text(), QString("   7"));
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                caption = p.windowTitle();
                QCOMPARE(p.CBAdr->currentText(), QString("2"));
                QCOMPARE(p.EPass16->text(), QString());
                p.CBAdr->setEditText("7");
                p.BitBtnAccept->click();
                QCOMPARE(int(p.Pass_Changed), 0);
            });
        QCOMPARE(caption, QString("Параметры вычислителя расхода газа № 2"));
        QCOMPARE(Writes(), (QList<Req>{{2, 18, 1, 1}}));
        QCOMPARE(sim.Field(18, 1), QByteArray(1, char(7)));

        // A password typed: table 13 written for that record only, with Write_Table.
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.BtnChange->click();
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                p.EPass16->setText("secret");
                p.BitBtnAccept->click();
                QCOMPARE(int(p.Pass_Changed), 1);
            });
        QCOMPARE(Writes(), (QList<Req>{{2, 13, 0, 1}}));
        QCOMPARE(sim.Field(13, 0), Pad("secret", 16));
        QCOMPARE(sim.Field(13, 1), QByteArray(16, ' '));
    }

    void add_writes_count_new_fields_even_zero_and_password()
    {
        // The controller holds old values in the fields beyond the count, the image erased
        // bytes.
        sim.Set_Field(17, 2, QByteArray(1, char(3)));
        sim.Set_Field(20, 2, QByteArray(1, char(1)));
        sim.Set_Field(19, 2, QByteArray(1, char(0x77)));
        *Tab_Field(17, 2) = 0xFF;
        *Tab_Field(20, 2) = 0xFF;
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.BtnAdd->click();
                QCOMPARE(l.Grid->rowCount(), 3);
                QCOMPARE(l.Grid->currentRow(), 2);
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                QCOMPARE(p.windowTitle(), QString("Параметры вычислителя расхода газа № 3"));
                QCOMPARE(p.CBAdr->currentText(), QString());
                Fill(p, "9", 0, 0);
                p.Cb[0]->setChecked(true);
                p.BitBtnAccept->click();
            });
        QCOMPARE(Writes(), (QList<Req>{{2, 9, 0, 1}, {2, 17, 2, 1}, {2, 18, 2, 1}, {2, 19, 2, 1}, {2, 20, 2, 1},
                                        {2, 13, 2, 1}}));
        QCOMPARE(sim.Field(9, 0), QByteArray(1, char(3)));
        QCOMPARE(sim.Field(17, 2), QByteArray(1, char(0)));
        QCOMPARE(sim.Field(18, 2), QByteArray(1, char(9)));
        QCOMPARE(sim.Field(19, 2), QByteArray(1, char(0x01)));
        QCOMPARE(sim.Field(20, 2), QByteArray(1, char(0)));
        QCOMPARE(sim.Field(13, 2), QByteArray(16, ' '));
    }

    void delete_asks_moves_records_up_and_writes_their_passwords()
    {
        ques.answer = 0;
        Curr_Vich([&](TFormFlouList &l) {
            l.BtnDelete->click();   // "Нет"
            QCOMPARE(l.Rows(), 2);
            l.BitBtnCancel->click();
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Вы действительно хотите удалить"));
        QCOMPARE(ques.asked[0].line2, QString("вычислитель адр. 1?"));
        QVERIFY(Writes().isEmpty());

        ques.answer = 1;
        bool delete_enabled = true;
        Curr_Vich([&](TFormFlouList &l) {
            l.BtnDelete->click();
            QCOMPARE(l.Rows(), 1);
            QCOMPARE(l.Grid->currentRow(), 0);
            QCOMPARE(int(l.Record(0).adr), 2);
            delete_enabled = l.BtnDelete->isEnabled();
            l.BitBtnWrite->click();
        });
        QVERIFY(!delete_enabled);
        QCOMPARE(Writes(), (QList<Req>{{2, 9, 0, 1}, {2, 18, 0, 1}, {2, 13, 0, 1}}));
        QCOMPARE(sim.Field(9, 0), QByteArray(1, char(1)));
        QCOMPARE(sim.Field(18, 0), QByteArray(1, char(2)));
    }

    void list_refusals_keep_it_open()
    {
        // Two records with address 5.
        sim.Set_Field(18, 1, QByteArray(1, char(1)));
        QString line1, line2;
        Curr_Vich([&](TFormFlouList &l) {
            l.BitBtnWrite->click();
            QVERIFY(l.isVisible());
            QCOMPARE(int(l.Accepted), 0);
        });
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 2u);
        QCOMPARE(ques.asked[0].line1, QString("Повтор адреса 1"));
        QVERIFY(ques.asked[0].line2.isEmpty());
        QVERIFY(Writes().isEmpty());

        // A type the program does not know.
        ques.asked.clear();
        sim.Set_Field(18, 1, QByteArray(1, char(2)));
        sim.Set_Field(17, 1, QByteArray(1, char(7)));
        QString type_cell;
        Curr_Vich([&](TFormFlouList &l) {
            type_cell = l.Grid->item(1, 1)->text();
            l.BitBtnWrite->click();
            QVERIFY(l.isVisible());
        });
        QCOMPARE(type_cell, QString(" ?"));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Вычислитель № 2"));
        QCOMPARE(ques.asked[0].line2, QString("Неверно заданы параметры"));
        QVERIFY(Writes().isEmpty());
    }

    void empty_list_starts_with_one_record_add_stops_at_sixteen()
    {
        Flou_Rec recs[MAX_FLOU] = {};
        TFormFlouList l;
        l.Tab_Data = reinterpret_cast<uint8_t *>(recs);
        l.Count = 0;
        l.Dev_Write = 0;
        l.show();
        QCOMPARE(l.Rows(), 1);
        QVERIFY(l.BitBtnAccept->isVisible());
        QVERIFY(!l.BtnDelete->isEnabled());
        QCOMPARE(QByteArray(l.Record(0).pass, 16), QByteArray(16, ' '));
        l.BitBtnAccept->click();   // address 0
        QCOMPARE(int(l.Accepted), 0);

        int adr = 10;
        Scripted_Dialogs run([&](QDialog &d) {
            auto *p = qobject_cast<TFormFlouPar *>(&d);
            Fill(*p, QString::number(adr++), 2, 1);
            p->BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        l.BtnChange->click();
        for (int i = 1; i < MAX_FLOU; ++i) l.BtnAdd->click();
        Set_Dialog_Runner(old);
        QCOMPARE(l.Rows(), 16);
        QVERIFY(!l.BtnAdd->isEnabled());
        QVERIFY(l.BtnDelete->isEnabled());
        l.BitBtnAccept->click();
        QCOMPARE(int(l.Accepted), 1);
        QCOMPARE(int(l.New_Count), 16);
        QCOMPARE(int(recs[15].adr), 25);
        for (int i = 0; i < 16; ++i) QCOMPARE(int(l.Pass_Changed[i]), i == 0 ? 0 : 1);
    }

    void dialog_pipelines_by_type_and_chromatograph_lines()
    {
        Flou_Rec r{};
        r.adr = 4;
        r.type = 0;
        r.mask = 0x77;   // all three pipelines, all from line 2
        std::memset(r.pass, ' ', 16);
        uint8_t sou = 0;
        {
            TFormFlouPar p;
            p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
            p.Sou_Flag = &sou;
            p.Chrom_Lines = 3;
            p.show();
            for (int n = 0; n < 3; ++n) {
                QVERIFY(p.Gb[n]->isEnabled());
                QVERIFY(p.Cb[n]->isChecked());
                QVERIFY(p.Rb[n][1]->isChecked() && !p.Rb[n][0]->isChecked());
            }
            QCOMPARE(p.findChild<QGroupBox *>("gb2")->title(), QString(" т/п 2       "));
            QVERIFY(p.findChild<QRadioButton *>("rb3_2"));
            // Type 1 has one pipeline: the others are cleared at the accept.
            p.CBType->setCurrentIndex(1);
            QVERIFY(p.Gb[0]->isEnabled() && !p.Gb[1]->isEnabled() && !p.Gb[2]->isEnabled());
            QVERIFY(!p.Cb[1]->isChecked() && !p.Rb[1][1]->isChecked());
            p.Rb[0][0]->setChecked(true);
            QVERIFY(!p.Rb[0][1]->isChecked());
            p.BitBtnAccept->click();
            QCOMPARE(int(p.Accepted), 1);
            QCOMPARE(int(r.type), 1);
            QCOMPARE(int(r.mask), 0x01);
        }
        {
            // Only line 1 in use: line 2 cannot be chosen, so bits 4..6 stay clear.
            r.type = 0;
            r.mask = 0x22;   // pipeline 2 from line 2
            TFormFlouPar p;
            p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
            p.Chrom_Lines = 1;
            p.show();
            QVERIFY(p.Cb[1]->isChecked());
            QVERIFY(!p.Rb[1][1]->isEnabled() && !p.Rb[1][1]->isChecked());
            QVERIFY(p.Rb[1][0]->isEnabled() && !p.Rb[1][0]->isChecked());
            p.BitBtnAccept->click();
            QCOMPARE(int(p.Accepted), 0);   // ticked without a line
            p.Rb[1][0]->setChecked(true);
            p.BitBtnAccept->click();
            QCOMPARE(int(r.mask), 0x02);
        }
        {
            // No chromatograph line: a ticked pipeline can never be accepted.
            TFormFlouPar p;
            p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
            p.Chrom_Lines = 0;
            p.show();
            QVERIFY(!p.Rb[1][0]->isEnabled() && !p.Rb[1][1]->isEnabled());
            ques.asked.clear();
            p.BitBtnAccept->click();
            QCOMPARE(int(p.Accepted), 0);
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].line1, QString("Введены не все параметры"));
            p.Cb[1]->setChecked(false);
            p.BitBtnAccept->click();
            QCOMPARE(int(r.mask), 0);
        }
    }

    void dialog_refusals_and_the_sou_password()
    {
        Flou_Rec r{};
        std::memset(r.pass, ' ', 16);
        r.type = 9;   // unknown: no choice shown
        uint8_t sou = 0;
        TFormFlouPar p;
        p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        p.Sou_Flag = &sou;
        p.show();
        const Flou_Rec before = r;
        const struct {
            QString adr;
            int type, order;
            QString line1;
        } cases[] = {
            {"", 0, 0, "Введены не все параметры"},
            {"5", -1, 0, "Введены не все параметры"},
            {"5", 0, -1, "Введены не все параметры"},
            {"0", 0, 0, "Адрес вне допускаемого диапазона"},
            {"255", 0, 0, "Адрес вне допускаемого диапазона"},
            {"99999999999", 0, 0, "Адрес вне допускаемого диапазона"},
        };
        for (const auto &c : cases) {
            ques.asked.clear();
            Fill(p, c.adr, c.type, c.order);
            p.BitBtnAccept->click();
            QCOMPARE(int(p.Accepted), 0);
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].line1, c.line1);
            QVERIFY(ques.asked[0].line2.isEmpty());
            QVERIFY(std::memcmp(&r, &before, sizeof r) == 0);
        }

        // "SOU": a 12-character password and a 4-character code in the same 16 bytes.
        Fill(p, "254", 3, 1);
        p.EPass16->setText("abc");
        p.CBSou->setChecked(true);
        QCOMPARE(p.EPass12->text(), QString("abc"));
        QCOMPARE(p.EPass12->maxLength(), 12);
        QCOMPARE(p.ECode->maxLength(), 4);
        p.EPass12->setText("password12");
        p.ECode->setText("42");
        p.BitBtnAccept->click();
        QCOMPARE(int(p.Accepted), 1);
        QCOMPARE(int(p.Pass_Changed), 1);
        QCOMPARE(int(sou), 1);
        QCOMPARE(int(r.adr), 254);
        QCOMPARE(int(r.order), 1);
        QCOMPARE(QByteArray(r.pass, 16), QByteArray("password12  42  "));
    }

    void link_command_raised_count_goes_through_the_list()
    {
        // "С вычислителем расхода газа" with the count raised from 2 to 3 and "Да".
        ques.answer = 1;
        sim.Set_Field(18, 2, QByteArray(1, char(0)));
        int lists = 0;
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *l = qobject_cast<TFormFlouList *>(&d)) {
                ++lists;
                QCOMPARE(l->Rows(), 3);
                l->Grid->selectRow(2);
                l->BtnChange->click();
                l->BitBtnWrite->click();
            } else if (auto *p = qobject_cast<TFormFlouPar *>(&d)) {
                Fill(*p, "3", 2, 0);
                p->BitBtnAccept->click();
            } else if (auto *c = qobject_cast<TFormConVich *>(&d)) {
                auto *count = c->findChild<QComboBox *>("CBCount");
                QVERIFY(count);
                count->setCurrentIndex(count->findText("3"));
                c->BitBtnWrite->click();
            }
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        main->Item("NVrgConn")->trigger();
        Set_Dialog_Runner(old);
        QCOMPARE(lists, 1);
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Количество вычислителей не может быть увеличено"));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 9, 0, 6}, {1, 17, 0, 3}, {1, 18, 0, 3}, {1, 19, 0, 3},
                                              {1, 20, 0, 3}, {2, 9, 0, 1}, {2, 17, 2, 1}, {2, 18, 2, 1}}));
        QCOMPARE(sim.Field(9, 0), QByteArray(1, char(3)));
        QCOMPARE(sim.Field(18, 2), QByteArray(1, char(3)));
    }

    void raised_count_list_cancelled_writes_nothing()
    {
        const QByteArray old9 = sim.Table(9);
        Tab_Dir[9].data[0] = 4;
        Tab_Dir[9].data[2] = 7;
        Run([&] { Vrg_Count_Raised_Write(main.get(), old9); }, [](TFormFlouList &l) {
            QCOMPARE(l.Rows(), 4);
            l.BitBtnCancel->click();
        });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 17, 0, 4}, {1, 18, 0, 4}, {1, 19, 0, 4}, {1, 20, 0, 4}}));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Tab_Dir[9].data), 6), old9);
    }

    void failed_write_ends_the_chain()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.BtnChange->click();
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                p.CBType->setCurrentIndex(2);
                p.Rb[0][0]->setChecked(true);
                p.EPass16->setText("x");
                p.BitBtnAccept->click();
            });
        const QList<Req> w = Writes();
        QVERIFY(!w.isEmpty());
        for (const Req &r : w) QCOMPARE(r.tab, 17);
        QCOMPARE(ques.asked.size(), 1);
    }
};

QTEST_MAIN(Tst_Flou_Forms)
#include "tst_flou_forms.moc"
