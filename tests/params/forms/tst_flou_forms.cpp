// The flow-computer list and dialog, and the commands that read the flow computers and write
// back what the list changed, against the controller simulator.
#include "params/forms/Floulist.h"
#include "params/forms/Floupar.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"

#include "Sim_Menu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

namespace {

QByteArray Pad(const char *s, int len)
{
    QByteArray b(s);
    return b + QByteArray(len - int(b.size()), ' ');
}
QByteArray One(int v)
{
    return QByteArray(1, char(uint8_t(v)));
}
void Fill(TFormFlouPar &p, const QString &adr, int type, int order)
{
    p.CBAdr->setEditText(adr);
    p.CBType->setCurrentIndex(type);
    p.CBOrder->setCurrentIndex(order);
}

} // namespace

class Tst_Flou_Forms : public QObject {
    Q_OBJECT
    Sim_Menu m;

    // "Текущие вычислители": the list goes to `list`, each flow-computer dialog to `par`.
    void Curr_Vich(const std::function<void(TFormFlouList &)> &list, const std::function<void(TFormFlouPar &)> &par = {})
    {
        m.Run("NCurrVich", [&](QDialog &d) {
            if (auto *l = qobject_cast<TFormFlouList *>(&d)) list(*l);
            else if (auto *p = qobject_cast<TFormFlouPar *>(&d); p && par) par(*p);
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Install_Link_Commands(m.main.get());
        Install_Limit_Commands(m.main.get());
    }
    void init() { m.Reset(); }

    // The list opens wide enough for all four columns with their headings, no scroll bar.
    void list_shows_every_column_whole()
    {
        Flou_Rec recs[MAX_FLOU] = {};
        recs[0].adr = 5;
        recs[1].adr = 6;
        TFormFlouList f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(recs);
        f.Count = 2;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QHeaderView *h = f.Grid->horizontalHeader();
        const QFontMetrics fm(h->font());
        for (int c = 0; c < 4; ++c) {
            const QString head = f.Grid->horizontalHeaderItem(c)->text();
            QVERIFY2(fm.horizontalAdvance(head) < h->sectionSize(c), qPrintable(head));
        }
        QVERIFY(h->length() <= f.Grid->viewport()->width());
        QVERIFY(f.Grid->geometry().right() < f.width());
    }

    void change_writes_the_changed_field_and_a_changed_password()
    {
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.Grid->selectRow(1);
                l.BtnChange->click();
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                p.CBAdr->setEditText("7");
                p.BitBtnAccept->click();
            });
        QCOMPARE(m.Writes(), (QList<Req>{{2, 18, 1, 1}}));
        QCOMPARE(m.sim.Field(18, 1), One(7));

        // A password typed: table 13 written for that record only.
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.BtnChange->click();
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                p.EPass16->setText("secret");
                p.BitBtnAccept->click();
            });
        QCOMPARE(m.Writes(), (QList<Req>{{2, 13, 0, 1}}));
        QCOMPARE(m.sim.Field(13, 0), Pad("secret", 16));
        QCOMPARE(m.sim.Field(13, 1), QByteArray(16, ' '));
    }

    void add_writes_count_new_fields_even_zero_and_password()
    {
        // The controller holds old values in the fields beyond the count, the image erased
        // bytes.
        m.sim.Set_Field(17, 2, One(3));
        m.sim.Set_Field(20, 2, One(1));
        m.sim.Set_Field(19, 2, One(0x77));
        *Tab_Field(17, 2) = 0xFF;
        *Tab_Field(20, 2) = 0xFF;
        Curr_Vich(
            [&](TFormFlouList &l) {
                l.BtnAdd->click();
                l.BitBtnWrite->click();
            },
            [&](TFormFlouPar &p) {
                Fill(p, "9", 0, 0);
                p.Cb[0]->setChecked(true);
                p.BitBtnAccept->click();
            });
        QCOMPARE(m.Writes(), (QList<Req>{{2, 9, 0, 1}, {2, 17, 2, 1}, {2, 18, 2, 1}, {2, 19, 2, 1}, {2, 20, 2, 1},
                                          {2, 13, 2, 1}}));
        QCOMPARE(m.sim.Field(9, 0), One(3));
        QCOMPARE(m.sim.Field(17, 2), One(0));
        QCOMPARE(m.sim.Field(18, 2), One(9));
        QCOMPARE(m.sim.Field(19, 2), One(0x01));
        QCOMPARE(m.sim.Field(20, 2), One(0));
        QCOMPARE(m.sim.Field(13, 2), QByteArray(16, ' '));
    }

    void delete_asks_moves_records_up_and_writes_their_passwords()
    {
        Curr_Vich([&](TFormFlouList &l) {
            l.BtnDelete->click();   // "Нет"
            QCOMPARE(l.Rows(), 2);
            l.BitBtnCancel->click();
        });
        QCOMPARE(m.ques.asked.size(), 1);
        QVERIFY(m.Writes().isEmpty());

        m.ques.answers = {1};
        Curr_Vich([&](TFormFlouList &l) {
            l.BtnDelete->click();
            QCOMPARE(int(l.Record(0).adr), 2);
            l.BitBtnWrite->click();
        });
        QCOMPARE(m.Writes(), (QList<Req>{{2, 9, 0, 1}, {2, 18, 0, 1}, {2, 13, 0, 1}}));
        QCOMPARE(m.sim.Field(9, 0), One(1));
        QCOMPARE(m.sim.Field(18, 0), One(2));
    }

    void list_refusals_write_nothing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("adr");
        QTest::addColumn<QString>("line1");
        QTest::newRow("repeated address") << 0 << 1 << "Повтор адреса 1";
        QTest::newRow("unknown type") << 7 << 2 << "Вычислитель № 2";
    }
    void list_refusals_write_nothing()
    {
        QFETCH(int, type);
        QFETCH(int, adr);
        QFETCH(QString, line1);
        m.sim.Set_Field(17, 1, One(type));
        m.sim.Set_Field(18, 1, One(adr));
        Curr_Vich([&](TFormFlouList &l) {
            l.BitBtnWrite->click();
            QVERIFY(l.isVisible());
        });
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, line1);
        QVERIFY(m.Writes().isEmpty());
    }

    void dialog_refusals_data()
    {
        QTest::addColumn<QString>("adr");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("line1");
        QTest::newRow("no address") << "" << 0 << 0 << "Введены не все параметры";
        QTest::newRow("no type") << "5" << -1 << 0 << "Введены не все параметры";
        QTest::newRow("no order") << "5" << 0 << -1 << "Введены не все параметры";
        QTest::newRow("address 0") << "0" << 0 << 0 << "Адрес вне допускаемого диапазона";
        QTest::newRow("address 255") << "255" << 0 << 0 << "Адрес вне допускаемого диапазона";
        QTest::newRow("address too long") << "99999999999" << 0 << 0 << "Адрес вне допускаемого диапазона";
    }
    void dialog_refusals()
    {
        QFETCH(QString, adr);
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(QString, line1);
        Flou_Rec r{};
        std::memset(r.pass, ' ', 16);
        r.type = 9;   // unknown: no choice shown
        const Flou_Rec before = r;
        TFormFlouPar p;
        p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        p.show();
        Fill(p, adr, type, order);
        p.BitBtnAccept->click();
        QCOMPARE(int(p.Accepted), 0);
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, line1);
        QVERIFY(std::memcmp(&r, &before, sizeof r) == 0);
    }

    void dialog_pipelines_and_the_sou_password()
    {
        Flou_Rec r{};
        r.type = 0;
        r.mask = 0x77;   // all three pipelines, all from line 2
        std::memset(r.pass, ' ', 16);
        uint8_t sou = 0;
        TFormFlouPar p;
        p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        p.Sou_Flag = &sou;
        p.Chrom_Lines = 3;
        p.show();
        // Type 1 has one pipeline: the others are cleared at the accept.
        Fill(p, "254", 1, 1);
        p.Rb[0][0]->setChecked(true);
        // "SOU": a 12-character password and a 4-character code in the same 16 bytes.
        p.CBSou->setChecked(true);
        p.EPass12->setText("password12");
        p.ECode->setText("42");
        p.BitBtnAccept->click();
        QCOMPARE(int(p.Accepted), 1);
        QCOMPARE(int(sou), 1);
        QCOMPARE(int(r.adr), 254);
        QCOMPARE(int(r.type), 1);
        QCOMPARE(int(r.mask), 0x01);
        QCOMPARE(QByteArray(r.pass, 16), QByteArray("password12  42  "));
    }

    void dialog_radio_pair_stays_on_when_clicked()
    {
        Flou_Rec r{};
        r.type = 0;
        r.mask = 0x11;   // pipeline 1 from line 2
        std::memset(r.pass, ' ', 16);
        TFormFlouPar p;
        p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        p.Chrom_Lines = 3;
        p.show();
        Fill(p, "7", 0, 0);
        auto on = [&](int n) { return int(p.Rb[n][0]->isChecked()) | int(p.Rb[n][1]->isChecked()) << 1; };
        QCOMPARE(on(0), 2);
        QTest::mouseClick(p.Rb[0][1], Qt::LeftButton);   // the button that is on
        QCOMPARE(on(0), 2);
        QTest::mouseClick(p.Rb[0][0], Qt::LeftButton);
        QCOMPARE(on(0), 1);
        QTest::mouseClick(p.Rb[0][0], Qt::LeftButton);
        QCOMPARE(on(0), 1);
        // Only the program turns both off: the box cleared, then ticked again from the mask.
        p.Cb[0]->setChecked(false);
        QCOMPARE(on(0), 0);
        p.Cb[0]->setChecked(true);
        QCOMPARE(on(0), 2);
        QTest::mouseClick(p.Rb[0][0], Qt::LeftButton);
        p.BitBtnAccept->click();
        QCOMPARE(m.ques.asked.size(), 0);
        QCOMPARE(int(p.Accepted), 1);
        QCOMPARE(int(r.mask), 0x01);
    }

    void link_command_raised_count_goes_through_the_list()
    {
        // "С вычислителем расхода газа" with the count raised from 2 to 3 and "Да".
        m.ques.answers = {1};
        m.sim.Set_Field(18, 2, One(0));
        m.Run("NVrgConn", [&](QDialog &d) {
            if (auto *l = qobject_cast<TFormFlouList *>(&d)) {
                l->Grid->selectRow(2);
                l->BtnChange->click();
                l->BitBtnWrite->click();
            } else if (auto *p = qobject_cast<TFormFlouPar *>(&d)) {
                Fill(*p, "3", 2, 0);
                p->BitBtnAccept->click();
            } else if (auto *c = qobject_cast<TFormConVich *>(&d)) {
                auto *count = c->findChild<QComboBox *>("CBCount");
                count->setCurrentIndex(count->findText("3"));
                c->BitBtnWrite->click();
            }
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 9, 0, 6}, {1, 17, 0, 3}, {1, 18, 0, 3}, {1, 19, 0, 3},
                                            {1, 20, 0, 3}, {2, 9, 0, 1}, {2, 17, 2, 1}, {2, 18, 2, 1}}));
        QCOMPARE(m.sim.Field(9, 0), One(3));
        QCOMPARE(m.sim.Field(18, 2), One(3));
    }

    void failed_write_ends_the_chain()
    {
        m.sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(2).Times(-1));
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
        const QList<Req> w = m.Writes();
        QVERIFY(!w.isEmpty());
        for (const Req &r : w) QCOMPARE(r.tab, 17);
        QCOMPARE(m.ques.asked.size(), 1);
    }
};

QTEST_MAIN(Tst_Flou_Forms)
#include "tst_flou_forms.moc"
