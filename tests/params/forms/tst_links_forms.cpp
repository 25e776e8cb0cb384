// The link forms on a configuration record (Dev_Write 0): what they show, store and keep,
// without a controller.
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "params/Chr_Par.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Links.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstring>

namespace {

struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

QComboBox *Cb(const TFormField_List *f, const char *name)
{
    return f->List(f->Row_Of(name));
}

} // namespace

class Tst_Links_Forms : public QObject {
    Q_OBJECT
    Ques_Log ques;

private slots:
    void initTestCase() { Set_Ques_Handler(&ques); }
    void init() { ques.asked.clear(); }

    void upper_level_in_a_configuration()
    {
        uint8_t t3[4] = {5, 11, 2, 9};
        TFormConVU f;
        f.Tab_Data = t3;
        f.Dev_Write = 0;
        f.Conn_Prz = 2;   // the program's link does not matter to a configuration
        f.show();
        QVERIFY(f.BitBtnAccept->isVisible());
        QVERIFY(!f.BitBtnWrite->isVisible());
        QVERIFY(Cb(&f, "CBRate")->isEnabled());
        QCOMPARE(Cb(&f, "CBAdr")->currentText(), QString("5"));
        Cb(&f, "CBRate")->setCurrentIndex(20);
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(t3), 4), QByteArray("\x05\x14\x02\x00", 4));
    }

    void upper_level_rate_on_the_controller()
    {
        uint8_t t3[4] = {5, 11, 2, 0};
        for (const auto &c : {std::pair<int, int>{0, 0}, {1, 1}}) {
            TFormConVU f;
            f.Tab_Data = t3;
            f.Dev_Write = 1;
            f.Conn_Prz = uint8_t(c.first);
            f.Multi_Rate = uint8_t(c.second);
            f.show();
            QVERIFY(!Cb(&f, "CBRate")->isEnabled());
            Cb(&f, "CBRate")->setCurrentIndex(3);   // not taken while disabled
            f.BitBtnWrite->click();
            QCOMPARE(f.Accepted, uint8_t(1));
            QCOMPARE(int(t3[1]), 11);
        }
    }

    void chromatograph_list_changes_stay_in_a_configuration()
    {
        uint8_t t14[16] = {1, 11, 1, 0, 20, 3, 8, 1, 1, 1, 0, 1, 0, 0, 2, 30};
        Chr_Par t1[MAX_GAS_PARAMS];
        std::memset(t1, 0, sizeof t1);
        t1[0].reg = 10;
        t1[1].reg = 20;
        const uint8_t adrs[2] = {3, 4};
        TFormConHGC f;
        f.Tab_Data = t14;
        f.Dev_Write = 0;
        f.Chr_Tab = reinterpret_cast<uint8_t *>(t1);
        f.Vich_Count = 2;
        f.Vich_Adr = adrs;
        f.show();
        QCOMPARE(Cb(&f, "CBVrg")->count(), 2);
        QCOMPARE(Cb(&f, "CBVrg")->itemText(1), QString("1 (адр. 4)"));
        Scripted_Dialogs run([](QDialog &d) {
            auto *l = qobject_cast<TFormChrPar_List *>(&d);
            QVERIFY(l);
            QCOMPARE(l->Count(), 2);
            l->Work.par[1].reg = 21;
            l->BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtnParList->click();
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 1);
        f.BitBtnCancel->click();
        QCOMPARE(f.Accepted, uint8_t(0));
        QCOMPARE(uint16_t(t1[1].reg), uint16_t(21));
        QCOMPARE(int(t14[8]), 1);
    }

    // The fields above, inside and below the " Для чтения Т газа " group start and end at one
    // place, the list button under them; radio buttons without a caption keep their place.
    void fields_line_up_across_groups()
    {
        uint8_t t14[16] = {1, 11, 1, 0, 20, 3, 8, 1, 1, 1, 0, 1, 0, 0, 2, 30};
        const uint8_t adrs[2] = {3, 4};
        TFormConHGC f;
        f.Tab_Data = t14;
        f.Vich_Count = 2;
        f.Vich_Adr = adrs;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QList<QWidget *> fields;
        for (int i = 0; i < f.Row_Count(); ++i)
            fields << (f.List(i) ? static_cast<QWidget *>(f.List(i)) : static_cast<QWidget *>(f.Edit(i)));
        const QRect first(fields[0]->mapTo(&f, QPoint(0, 0)), fields[0]->size());
        for (QWidget *w : fields) {
            const QRect r(w->mapTo(&f, QPoint(0, 0)), w->size());
            QVERIFY2(r.left() == first.left() && r.right() == first.right(), qPrintable(w->objectName()));
        }
        QCOMPARE(f.BitBtnParList->mapTo(&f, QPoint(0, 0)).x(), first.left());

        TFormConVich v;
        uint8_t t9[8] = {2, 1, 3, 10, 0, 1, 0, 0};
        v.Tab_Data = t9;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QRadioButton *b = v.Radio(v.Row_Of("rb"), 0);
        QVERIFY(b);
        const QWidget *box = b->parentWidget()->parentWidget();
        QVERIFY(b->mapTo(box, QPoint(0, 0)).x() < v.List(0)->mapTo(&v, QPoint(0, 0)).x() / 2);
    }

    void chromatograph_count_beyond_twenty_copies_twenty()
    {
        uint8_t t14[16] = {1, 11, 1, 0, 20, 3, 8, 1, 0, 0, 0, 1, 0, 0, 200, 30};
        Chr_Par t1[MAX_GAS_PARAMS];
        std::memset(t1, 0, sizeof t1);
        TFormConHGC f;
        f.Tab_Data = t14;
        f.Chr_Tab = reinterpret_cast<uint8_t *>(t1);
        f.show();
        QCOMPARE(Cb(&f, "CBCount")->currentIndex(), -1);
        int count = -1;
        Scripted_Dialogs run([&](QDialog &d) {
            auto *l = qobject_cast<TFormChrPar_List *>(&d);
            count = l->Work.count;
            l->Work.par[19].reg = 1;
            l->BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtnParList->click();
        Set_Dialog_Runner(old);
        QCOMPARE(count, 20);
        QCOMPARE(int(t14[14]), 20);
        QCOMPARE(Cb(&f, "CBCount")->currentText(), QString("20"));
    }

    void ethernet_octets_and_ports()
    {
        uint8_t t29[ETH_LEN] = {};
        TFormConEth f;
        f.Tab_Data = t29;
        f.show();
        // Most significant octet on the left.
        QVERIFY(f.Edit("ip4")->x() < f.Edit("ip3")->x());
        QVERIFY(f.Edit("ip2")->x() < f.Edit("ip1")->x());
        const char *vals[] = {"ip4", "10", "ip3", "0", "ip2", "1", "ip1", "2", "im4", "255", "im3", "255",
                              "im2", "255", "im1", "0", "is4", "10", "is3", "0", "is2", "1", "is1", "1",
                              "e1", "502", "e2", "65536", "e3", "7001", "e4", "0"};
        for (int k = 0; k < 32; k += 2) f.Edit(vals[k])->setText(vals[k + 1]);
        f.Edit("ip1")->setText("300");
        f.BitBtnWrite->click();
        QCOMPARE(f.Accepted, uint8_t(0));
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("IP-адрес контроллера"));
        QVERIFY(std::all_of(t29, t29 + ETH_LEN, [](uint8_t b) { return b == 0; }));
        f.Edit("ip1")->setText("2");
        f.BitBtnWrite->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(t29), 12), QByteArray("\x02\x01\x00\x0A\x00\xFF\xFF\xFF\x01\x01\x00\x0A", 12));
        uint32_t port;
        std::memcpy(&port, t29 + 16, 4);
        QCOMPARE(port, 65536u);
    }
};

QTEST_MAIN(Tst_Links_Forms)
#include "tst_links_forms.moc"
