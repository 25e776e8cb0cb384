#include "core/Abonents.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Abonent.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/Dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

// Records every message and answers questions with a preset answer.
class Record_Ques : public Ques_Handler {
public:
    uint8_t Ask(const Ques_Setup &q) override
    {
        Asked.append(q);
        return Answer;
    }
    QList<Ques_Setup> Asked;
    uint8_t Answer = 0;
};

struct Fill {
    QString name, adr, phone, ip4, ip3, ip2, ip1, port;
};

void set_boxes(TFormAbonent &f, const Fill &v)
{
    f.Edit1->setText(v.name);
    f.ComboBox1->setEditText(v.adr);
    f.Edit2->setText(v.phone);
    f.ip4->setText(v.ip4);
    f.ip3->setText(v.ip3);
    f.ip2->setText(v.ip2);
    f.ip1->setText(v.ip1);
    f.Edit11->setText(v.port);
}

void fon(Fon_Abonents_List &l, int k, const QString &name, const char *phone, int adr)
{
    Set_Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN, name);
    l.rec[k].contr_adr = uint8_t(adr);
    std::memset(l.rec[k].phone_code, 0, PHONE_CODE_LEN);
    std::strncpy(l.rec[k].phone_code, phone, PHONE_CODE_LEN - 1);
}

QString cell(const TFormAbonents_List &f, int r, int c)
{
    const QTableWidgetItem *it = f.StringGrid1->item(r, c);
    return it ? it->text() : QString();
}

} // namespace

class Tst_Abonent_Forms : public QObject {
    Q_OBJECT
    Record_Ques Ques;

    void expect_refusal(TFormAbonent &f, const QString &line1, const QString &line2)
    {
        Ques.Asked.clear();
        f.BitBtn4Click();
        QCOMPARE(int(f.Accepted), 0);
        QCOMPARE(Ques.Asked.size(), 1);
        QCOMPARE(Ques.Asked[0].kind, 2u);
        QCOMPARE(Ques.Asked[0].line1, line1);
        QCOMPARE(Ques.Asked[0].line2, line2);
    }

private slots:
    void initTestCase() { Set_Ques_Handler(&Ques); }
    void init()
    {
        std::memset(&Conn_Settings, 0, sizeof Conn_Settings);
        Ques.Asked.clear();
        Ques.Answer = 0;
    }

    void telephone_subscriber_checks()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon_Abonent rec{};
        std::memset(&rec, 0x11, sizeof rec);
        const Fon_Abonent before = rec;
        TFormAbonent f;
        f.Mode = 0;
        f.Fon_Rec = &rec;
        f.Form_Show();
        QVERIFY(!f.Ethernet());
        QCOMPARE(f.ComboBox1->count(), 255);
        QVERIFY(f.Edit1->text().isEmpty() && f.ComboBox1->currentText().isEmpty());

        const QString all = QString::fromUtf8("Введены не все параметры");
        set_boxes(f, {"", "5", "123", {}, {}, {}, {}, {}});
        expect_refusal(f, all, QString());
        set_boxes(f, {"A", "", "123", {}, {}, {}, {}, {}});
        expect_refusal(f, all, QString());
        for (const char *bad : {"0", "256", "999"}) {
            set_boxes(f, {"A", bad, "123", {}, {}, {}, {}, {}});
            expect_refusal(f, QString::fromUtf8("Адрес вне допустимого диапазона"), "(1...255)");
        }
        set_boxes(f, {"A", "5", "", {}, {}, {}, {}, {}});
        expect_refusal(f, all, QString());
        QVERIFY(std::memcmp(&rec, &before, sizeof rec) == 0);

        // Cancel after a refusal: the record is as it was.
        f.BitBtn5->click();
        QVERIFY(std::memcmp(&rec, &before, sizeof rec) == 0);

        // Accepted: Cyrillic name in 1251, cut to the field, zero-terminated.
        const QString name = QString::fromUtf8("Газораспределительная станция Ёлкино, узел учёта №1 и ещё");
        set_boxes(f, {name, "17", "8(495)1234567", {}, {}, {}, {}, {}});
        f.BitBtn4Click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(int(rec.contr_adr), 17);
        QCOMPARE(int(qstrlen(rec.user_name)), 49);
        QCOMPARE(Abonent_Text(rec.user_name, ABONENT_NAME_LEN), name.left(49));
        QCOMPARE(uint8_t(rec.user_name[0]), uint8_t(0xC3));   // "Г"
        QCOMPARE(QByteArray(rec.phone_code), QByteArray("8(495)1234567"));
        QCOMPARE(int(rec.adr_modbus), 0x11);   // not edited

        // Editing fills the boxes from the record.
        TFormAbonent g;
        g.Mode = 1;
        g.Fon_Rec = &rec;
        g.Form_Show();
        QCOMPARE(g.Edit1->text(), name.left(49));
        QCOMPARE(g.Edit1->selectedText(), g.Edit1->text());   // typing replaces it
        QCOMPARE(g.ComboBox1->currentIndex(), 16);
        QCOMPARE(g.Edit2->text(), QString("8(495)1234567"));
        // A damaged address leaves the box empty instead of indexing past the list.
        rec.contr_adr = 0;
        g.Form_Show();
        QVERIFY(g.ComboBox1->currentText().isEmpty());
    }

    void ethernet_subscriber_checks()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Ethr_Abonent rec{};
        rec.contr_adr = 200;
        rec.ip_adr = 0xC0A8010A;   // 192.168.1.10, negative as a signed number
        rec.port = 502;
        Set_Abonent_Text(rec.user_name, ABONENT_NAME_LEN, QString::fromUtf8("Узел"));
        const Ethr_Abonent before = rec;
        TFormAbonent f;
        f.Mode = 1;
        f.Ethr_Rec = &rec;
        f.Form_Show();
        QVERIFY(f.Ethernet());
        QCOMPARE(f.ip4->text(), QString("192"));
        QCOMPARE(f.ip3->text(), QString("168"));
        QCOMPARE(f.ip2->text(), QString("1"));
        QCOMPARE(f.ip1->text(), QString("10"));
        QCOMPARE(f.Edit11->text(), QString("502"));
        QCOMPARE(f.ComboBox1->currentText(), QString("200"));

        const QString all = QString::fromUtf8("Введены не все параметры");
        const QString ipr = QString::fromUtf8("Поле IP-адреса вне допустимого диапазона");
        set_boxes(f, {"N", "1", {}, "10", "0", "0", "1", ""});
        expect_refusal(f, all, QString());
        set_boxes(f, {"N", "1", {}, "10", "", "0", "1", "502"});
        expect_refusal(f, all, QString());
        set_boxes(f, {"N", "1", {}, "10", "0", "256", "1", "502"});
        expect_refusal(f, ipr, "(0...255)");
        set_boxes(f, {"N", "1", {}, "999", "0", "0", "1", "502"});
        expect_refusal(f, ipr, "(0...255)");
        for (const char *port : {"0", "65536", "99999"}) {
            set_boxes(f, {"N", "1", {}, "10", "0", "0", "1", port});
            expect_refusal(f, QString::fromUtf8("Порт вне допустимого диапазона"), "(1...65535)");
        }
        set_boxes(f, {"N", "1", {}, "0", "0", "0", "0", "502"});
        expect_refusal(f, QString::fromUtf8("Недопустимый IP-адрес"), "(0.0.0.0)");
        QVERIFY(std::memcmp(&rec, &before, sizeof rec) == 0);

        set_boxes(f, {"N", "3", {}, "255", "0", "0", "1", "65535"});
        f.BitBtn4Click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(uint32_t(rec.ip_adr), 0xFF000001u);
        QCOMPARE(uint32_t(rec.port), 65535u);
        QCOMPARE(int(rec.contr_adr), 3);
        QCOMPARE(Ethr_Address_Text(rec), QString("255.0.0.1:65535"));
    }

    // The telephone number and the IP address start where the fields above them start.
    void subscriber_fields_line_up_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("telephone") << 1;
        QTest::newRow("Ethernet") << 2;
    }
    void subscriber_fields_line_up()
    {
        QFETCH(int, link);
        Conn_Settings.Curr_Par.Conn_Prz = uint8_t(link);
        Fon_Abonent fon_rec{};
        Ethr_Abonent ethr_rec{};
        TFormAbonent f;
        f.Fon_Rec = &fon_rec;
        f.Ethr_Rec = &ethr_rec;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QWidget *lower = link == 1 ? static_cast<QWidget *>(f.Edit2) : f.ip4;
        QVERIFY(lower->isVisible());
        const int x = f.Edit1->mapTo(&f, QPoint(0, 0)).x();
        QCOMPARE(f.ComboBox1->mapTo(&f, QPoint(0, 0)).x(), x);
        QCOMPARE(lower->mapTo(&f, QPoint(0, 0)).x(), x);
        // Its caption stays whole.
        const QLabel *caption = lower->parentWidget()->findChildren<QLabel *>().first();
        QVERIFY(caption->width() >= caption->sizeHint().width());
    }

    void add_edit_delete_and_accept()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
        fon(l, 0, "Same", "111", 1);
        l.hdr.users_num = 1;
        TFormAbonents_List f;
        f.Form_Show();

        // Add a namesake: the selection goes to the new entry itself.
        Fill next{"same", "9", "222", {}, {}, {}, {}, {}};
        Scripted_Dialogs runner([&](QDialog &d) {
            auto &a = static_cast<TFormAbonent &>(d);
            set_boxes(a, next);
            a.BitBtn4Click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&runner);
        f.BitBtn2->click();
        QCOMPARE(int(f.Fon_Copy.hdr.users_num), 2);
        QCOMPARE(QByteArray(f.Fon_Copy.rec[f.Fon_Copy.hdr.user_index].phone_code), QByteArray("222"));
        QCOMPARE(f.StringGrid1->rowCount(), 2);

        // A refused addition adds nothing.
        next = {"X", "0", "333", {}, {}, {}, {}, {}};
        f.BitBtn2->click();
        QCOMPARE(int(f.Fon_Copy.hdr.users_num), 2);

        // Edit the selected entry (double click on row 0 selects it first).
        next = {"Edited", "44", "444", {}, {}, {}, {}, {}};
        f.Row_Double_Click(0);
        QCOMPARE(runner.Count, 3);
        QCOMPARE(cell(f, 0, 1), QString(" Edited"));
        QCOMPARE(cell(f, 0, 2), QString(" 44"));
        Set_Dialog_Runner(old);

        // Delete: "Нет" keeps the entry, "Да" removes it.
        Ques.Answer = 0;
        f.BitBtn3->click();
        QCOMPARE(Ques.Asked.last().kind, 3u);
        QCOMPARE(Ques.Asked.last().line1, QString::fromUtf8("Вы действительно хотите"));
        QCOMPARE(Ques.Asked.last().line2, QString::fromUtf8("удалить этот абонент?"));
        QCOMPARE(int(f.Fon_Copy.hdr.users_num), 2);
        Ques.Answer = 1;
        f.Row_Click(0);
        f.BitBtn3->click();
        QCOMPARE(int(f.Fon_Copy.hdr.users_num), 1);
        QCOMPARE(int(f.Fon_Copy.hdr.user_index), 0);
        QCOMPARE(cell(f, 0, 3), QString(" 222"));

        f.BitBtn4->click();
        QCOMPARE(int(f.Changed), 1);
        QCOMPARE(int(l.hdr.users_num), 1);
        QCOMPARE(QByteArray(l.rec[0].phone_code), QByteArray("222"));

        // Deleting the only subscriber: empty grid, only "Добавить" left.
        TFormAbonents_List g;
        g.Form_Show();
        g.BitBtn3->click();
        QCOMPARE(int(g.Fon_Copy.hdr.users_num), 0);
        QCOMPARE(g.StringGrid1->rowCount(), 0);
        QVERIFY(!g.BitBtn1->isEnabled());
        QVERIFY(!g.BitBtn3->isEnabled());
        QVERIFY(g.BitBtn2->isEnabled());
        g.BitBtn1Click();   // nothing to edit: no dialog, no crash
    }

    void full_list_and_ethernet_grid()
    {
        Conn_Settings.Curr_Par.Conn_Prz = 2;
        Ethr_Abonents_List &l = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
        for (int k = 0; k < ABONENTS_MAX; ++k) {
            Set_Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN, QString("E%1").arg(k, 3, 10, QChar('0')));
            l.rec[k].contr_adr = 1;
            l.rec[k].ip_adr = 0xFFFFFF00u - uint32_t(k);
            l.rec[k].port = 502;
        }
        l.hdr.users_num = ABONENTS_MAX;
        l.hdr.sort_prz = 1;
        TFormAbonents_List f;
        f.Form_Show();
        QCOMPARE(f.SpeedButton2->text(), QString::fromUtf8("IP-адрес:порт"));
        QCOMPARE(f.StringGrid1->rowCount(), 200);
        QVERIFY(!f.BitBtn2->isEnabled());
        QCOMPARE(cell(f, 0, 3), QString("255.255.254.57:502"));   // smallest unsigned first
        QCOMPARE(cell(f, 199, 3), QString("255.255.255.0:502"));
        QCOMPARE(cell(f, 0, 1), QString(" E199"));
        int before = f.Ethr_Copy.hdr.users_num;
        f.BitBtn2Click();   // refused without a dialog
        QCOMPARE(int(f.Ethr_Copy.hdr.users_num), before);
    }
};

QTEST_MAIN(Tst_Abonent_Forms)
#include "tst_abonent_forms.moc"
