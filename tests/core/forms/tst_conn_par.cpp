// The link parameters dialog: what it shows for each link type, what it refuses (and that a
// refusal changes nothing), what it stores, and the address search on the direct line.
#include "FakePort.h"
#include "core/Comportfunctions.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Suplfunc.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Connect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QtTest>
#include <cstring>
#include <pty.h>
#include <unistd.h>

namespace {

struct Recorder : Ques_Handler {
    QList<Ques_Setup> seen;
    uint8_t Ask(const Ques_Setup &q) override
    {
        seen << q;
        return 0;
    }
};

Conn_Settings_Rec Sample()
{
    Conn_Settings_Rec s;
    std::memset(&s, 0, sizeof s);
    s.Curr_Par.Free_Port_Wait = 4;
    s.Curr_Par.Do_Close_Port = 0;
    s.Dir_Conn_Par = Link_Par {3, 1, 38400, 5, 1, 100, 2};
    s.Fon_Conn_Par.Link = Link_Par {2, 1, 9600, 0, 2, 200, 6};
    std::strcpy(s.Fon_Conn_Par.Command, "ATZ");
    s.Fon_Conn_Par.ConnectWaitTime = 50;
    s.Fon_Conn_Par.Conn_Repeat = 1;
    s.Ethernet_Conn_Par.Link = Link_Par {1, 1, 38400, 5, 1, 300, 5};
    s.Ethernet_Conn_Par.ConnectWaitTime = 10;
    s.Ethernet_Conn_Par.Conn_Repeat = 1;
    return s;
}

bool Same(const Conn_Settings_Rec &a, const Conn_Settings_Rec &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class tst_Conn_Par : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ranges_data();
    void ranges();
    void releaseBoxAndFreeWait();
    void portChoice();
    void storedDeviceListedEvenWhenBusy();
    void firstStartNamesOneDevice();
    void telephone();
    void telephoneFieldsLineUp_data();
    void telephoneFieldsLineUp();
    void addressSearchFindsController();
    void addressSearchFailures();

private:
    Recorder rec;
    Ques_Handler *old = nullptr;
};

void tst_Conn_Par::init()
{
    rec.seen.clear();
    old = Set_Ques_Handler(&rec);
    Link_Port_Name[0].clear();
    Link_Port_Name[1].clear();
}

void tst_Conn_Par::cleanup()
{
    Set_Ques_Handler(old);
}

void tst_Conn_Par::ranges_data()
{
    QTest::addColumn<int>("link");   // 0 direct, 1 telephone, 2 Ethernet
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");   // empty: accepted
    const QString first = QStringLiteral("Время ожидания первого байта ответа");
    const QString next = QStringLiteral("Время ожидания следующих байтов ответа");
    const QString pre = QStringLiteral("Количество преамбул в запросе");
    const QString none = QStringLiteral("Введены не все параметры");
    const QString wait = QStringLiteral("Ожидание соединения");
    const QString rep = QStringLiteral("Количество попыток соединения");
    QTest::newRow("gap 54") << 0 << "Edit2" << "54" << next;
    QTest::newRow("gap 55") << 0 << "Edit2" << "55" << QString();
    QTest::newRow("gap 5001") << 0 << "Edit2" << "5001" << next;
    QTest::newRow("wait 0") << 0 << "Edit1" << "0" << first;
    QTest::newRow("wait 120") << 0 << "Edit1" << "120" << QString();
    QTest::newRow("wait 121") << 0 << "Edit1" << "121" << first;
    QTest::newRow("wait huge") << 0 << "Edit1" << "4294967297" << first;   // no wrap to 1
    QTest::newRow("preambles 255") << 0 << "Edit3" << "255" << QString();
    QTest::newRow("preambles 256") << 0 << "Edit3" << "256" << pre;
    QTest::newRow("wait empty") << 0 << "Edit1" << "" << none;
    QTest::newRow("telephone gap 5000") << 1 << "Edit2" << "5000" << QString();
    QTest::newRow("telephone connect wait 0") << 1 << "Edit6" << "0" << wait;
    QTest::newRow("telephone connect wait 360") << 1 << "Edit6" << "360" << QString();
    QTest::newRow("telephone connect wait 361") << 1 << "Edit6" << "361" << wait;
    QTest::newRow("telephone connect wait empty") << 1 << "Edit6" << "" << wait;
    QTest::newRow("telephone attempts 0") << 1 << "Edit10" << "0" << rep;
    QTest::newRow("telephone attempts 10") << 1 << "Edit10" << "10" << QString();
    QTest::newRow("telephone attempts 11") << 1 << "Edit10" << "11" << rep;
    for (const char *e : {"Edit4", "Edit12", "Edit7", "Edit9", "Edit8"})
        QTest::newRow(qPrintable(QStringLiteral("Ethernet %1 empty").arg(e))) << 2 << e << "" << none;
    QTest::newRow("Ethernet preambles 256") << 2 << "Edit8" << "256" << pre;
    QTest::newRow("Ethernet wait 121") << 2 << "Edit7" << "121" << first;
    QTest::newRow("Ethernet gap 54") << 2 << "Edit9" << "54" << next;
    QTest::newRow("Ethernet gap 5000") << 2 << "Edit9" << "5000" << QString();
    QTest::newRow("Ethernet connect wait 0") << 2 << "Edit4" << "0" << wait;
    QTest::newRow("Ethernet connect wait 360") << 2 << "Edit4" << "360" << QString();
    QTest::newRow("Ethernet connect wait 361") << 2 << "Edit4" << "361" << wait;
    QTest::newRow("Ethernet attempts 11") << 2 << "Edit12" << "11" << rep;
}

void tst_Conn_Par::ranges()
{
    QFETCH(int, link);
    QFETCH(QString, edit);
    QFETCH(QString, value);
    QFETCH(QString, error);
    Conn_Settings_Rec s = Sample();
    s.Curr_Par.Conn_Prz = uint8_t(link);
    const Conn_Settings_Rec before = s;
    TFormConn_Par f(nullptr, &s, nullptr);
    f.show();
    // The first box opens with its value selected, so that typing replaces it.
    const QLineEdit *first = link < 2 ? f.ComboBox1->lineEdit() : f.Edit4;
    QVERIFY(!first->text().isEmpty() && first->selectedText() == first->text());
    if (link < 2) f.ComboBox1->setEditText(QStringLiteral("COM3"));
    f.findChild<QLineEdit *>(edit)->setText(value);
    f.BitBtn1->click();
    if (error.isEmpty()) {
        QVERIFY(rec.seen.isEmpty());
        QCOMPARE(int(f.Accepted), 1);
        QVERIFY(!f.isVisible());
        const Link_Par &lp = link == 0 ? s.Dir_Conn_Par : link == 1 ? s.Fon_Conn_Par.Link : s.Ethernet_Conn_Par.Link;
        const QMap<QString, int64_t> stored = {
            // Copied out: the settings record is packed, its fields can't be bound by reference.
            {"Edit1", int64_t(lp.WaitTime)}, {"Edit7", int64_t(lp.WaitTime)}, {"Edit2", int64_t(lp.TimeOut)},
            {"Edit9", int64_t(lp.TimeOut)}, {"Edit3", int64_t(lp.Preambles)},
            {"Edit6", int64_t(s.Fon_Conn_Par.ConnectWaitTime)}, {"Edit10", int64_t(s.Fon_Conn_Par.Conn_Repeat)},
            {"Edit4", int64_t(s.Ethernet_Conn_Par.ConnectWaitTime)}};
        QCOMPARE(stored.value(edit), value.toLongLong());
        // Port and rate mean nothing for Ethernet and are left as they were.
        if (link == 2)
            QVERIFY(lp.COMPort == before.Ethernet_Conn_Par.Link.COMPort && lp.Rate == before.Ethernet_Conn_Par.Link.Rate);
    } else {
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].kind, 2u);
        QCOMPARE(rec.seen[0].line1, error);
        if (error != QStringLiteral("Введены не все параметры"))
            QCOMPARE(rec.seen[0].line2, QStringLiteral("Параметр вне допустимого диапазона"));
        QVERIFY(Same(s, before));   // nothing stored
        QCOMPARE(int(f.Accepted), 0);
        QVERIFY(f.isVisible());     // the dialog stays open
    }
}

void tst_Conn_Par::releaseBoxAndFreeWait()
{
    Conn_Settings_Rec s = Sample();
    TFormConn_Par f(nullptr, &s, nullptr);
    f.show();
    f.ComboBox1->setEditText(QStringLiteral("COM3"));

    // Ticking fills the free-port wait; the settings change only on acceptance.
    f.CheckBox1->click();
    QVERIFY(f.Edit13->isEnabled());
    QCOMPARE(f.Edit13->text(), QStringLiteral("4"));
    QCOMPARE(int(s.Curr_Par.Do_Close_Port), 0);

    for (const char *bad : {"0", "21"}) {
        rec.seen.clear();
        f.Edit13->setText(QLatin1String(bad));
        f.BitBtn1->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].line1, QStringLiteral("Время ожидания освобождения СОМ порта"));
        QCOMPARE(rec.seen[0].line2, QStringLiteral("Параметр вне допустимого диапазона"));
    }
    rec.seen.clear();
    f.Edit13->setText(QString());
    f.BitBtn1->click();
    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].line1, QStringLiteral("Введены не все параметры"));
    QCOMPARE(int(s.Curr_Par.Do_Close_Port), 0);
    QCOMPARE(s.Curr_Par.Free_Port_Wait, 4u);

    rec.seen.clear();
    f.Edit13->setText(QStringLiteral("20"));
    f.BitBtn1->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(s.Curr_Par.Do_Close_Port), 1);
    QCOMPARE(s.Curr_Par.Free_Port_Wait, 20u);

    // Cleared box: the free-port wait is not checked and keeps its value.
    TFormConn_Par g(nullptr, &s, nullptr);
    g.show();
    QVERIFY(g.CheckBox1->isChecked());
    QCOMPARE(g.Edit13->text(), QStringLiteral("20"));
    g.CheckBox1->click();
    QVERIFY(!g.Edit13->isEnabled());
    QVERIFY(g.Edit13->text().isEmpty());
    g.ComboBox1->setEditText(QStringLiteral("COM3"));
    g.BitBtn1->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(s.Curr_Par.Do_Close_Port), 0);
    QCOMPARE(s.Curr_Par.Free_Port_Wait, 20u);

    // "Выход" after ticking leaves the settings as they were.
    TFormConn_Par h(nullptr, &s, nullptr);
    h.show();
    h.CheckBox1->click();
    h.BitBtn2->click();
    QCOMPARE(int(h.Accepted), 0);
    QCOMPARE(int(s.Curr_Par.Do_Close_Port), 0);
}

void tst_Conn_Par::portChoice()
{
    Conn_Settings_Rec s = Sample();
    {
        TFormConn_Par f(nullptr, &s, nullptr);
        f.show();
        f.ComboBox1->setEditText(QStringLiteral("COM7"));
        f.ComboBox2->setCurrentIndex(12);
        f.ComboBox3->setCurrentIndex(4);
        f.BitBtn1->click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(int(s.Dir_Conn_Par.COMPort), 7);
        QCOMPARE(s.Dir_Conn_Par.Rate, 11520u);
        QCOMPARE(int(s.Dir_Conn_Par.Repeat), 5);
        QVERIFY(Link_Port_Name[0].isEmpty());
        QCOMPARE(Link_Device(0, s.Dir_Conn_Par.COMPort), Com_Port_Name(7));
    }
    {
        // A typed device path is kept beside the COM number, which stays for the ini.
        TFormConn_Par f(nullptr, &s, nullptr);
        f.show();
        f.ComboBox1->setEditText(QStringLiteral("/dev/ttyQZT0"));
        f.BitBtn1->click();
        QCOMPARE(int(f.Accepted), 1);
        QCOMPARE(int(s.Dir_Conn_Par.COMPort), 7);
        QCOMPARE(Link_Port_Name[0], QStringLiteral("/dev/ttyQZT0"));
        QCOMPARE(Link_Device(0, s.Dir_Conn_Par.COMPort), QStringLiteral("/dev/ttyQZT0"));
        QVERIFY(Link_Port_Name[1].isEmpty());
    }
    {
        TFormConn_Par f(nullptr, &s, nullptr);
        f.show();
        f.ComboBox1->setEditText(QString());
        f.BitBtn1->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].line1, QStringLiteral("Введены не все параметры"));
        QCOMPARE(Link_Port_Name[0], QStringLiteral("/dev/ttyQZT0"));
    }
}

void tst_Conn_Par::storedDeviceListedEvenWhenBusy()
{
    // A stored device the system does not list (a pseudo-terminal) is offered, also while
    // another program holds it, and also when it is gone: the dialog names the device the
    // status bar names.
    int master = -1, slave = -1;
    char name[256] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    const QString path = QString::fromLocal8Bit(name);
    Serial_Port holder(path, 9600);
    QVERIFY(holder.Open());
    QVERIFY(Com_Port_Exists(path));

    Conn_Settings_Rec s = Sample();
    Link_Port_Name[0] = path;
    {
        TFormConn_Par f(nullptr, &s, nullptr);
        f.show();
        QCOMPARE(f.ComboBox1->currentText(), path);
        QCOMPARE(f.ComboBox1->findText(path), f.ComboBox1->currentIndex());
    }
    holder.Close();
    ::close(master);
    ::close(slave);

    Link_Port_Name[0] = QStringLiteral("/dev/qzt-no-such-port");
    TFormConn_Par g(nullptr, &s, nullptr);
    g.show();
    QCOMPARE(g.ComboBox1->currentText(), Link_Port_Name[0]);
}

void tst_Conn_Par::firstStartNamesOneDevice()
{
    // No settings file: the status bar, the link dialog and the port opened name one device.
    QVERIFY(!Read_Ini(QStringLiteral("/nonexistent/qzt.ini")));
    Link_Port_Name[0].clear();
    TFormConn_Par f(nullptr, &Conn_Settings, nullptr);
    f.show();
    const QString dev = f.ComboBox1->currentText();
    QVERIFY(!dev.isEmpty());
    QCOMPARE(Conn_Status_Text(Current_Conn_Status()).panel0, QStringLiteral(" %1,   38400 бит/с").arg(dev));
    hgcbox box(1);
    box.COMPort = Conn_Settings.Dir_Conn_Par.COMPort;
    box.Port_Name = Link_Device(0, box.COMPort);
    const std::unique_ptr<Port> port = Make_Serial_Port(box);
    QCOMPARE(static_cast<const Serial_Port *>(port.get())->Device(), dev);
}

void tst_Conn_Par::telephone()
{
    Conn_Settings_Rec s = Sample();
    s.Curr_Par.Conn_Prz = 1;
    TFormConn_Par f(nullptr, &s, nullptr);
    f.show();
    f.ComboBox1->setEditText(QStringLiteral("COM2"));
    const Conn_Settings_Rec before = s;
    rec.seen.clear();
    f.Edit5->setText(QStringLiteral("AT&F E0 ; инициализация"));
    f.Edit6->setText(QStringLiteral("360"));
    f.Edit10->setText(QStringLiteral("10"));
    f.Edit2->setText(QStringLiteral("5000"));
    f.BitBtn1->click();
    QVERIFY(rec.seen.isEmpty());
    QCOMPARE(int(f.Accepted), 1);
    QCOMPARE(s.Fon_Conn_Par.ConnectWaitTime, 360u);
    QCOMPARE(s.Fon_Conn_Par.Conn_Repeat, 10u);
    QCOMPARE(s.Fon_Conn_Par.Link.TimeOut, 5000u);
    QCOMPARE(int(s.Fon_Conn_Par.Link.COMPort), 2);
    QCOMPARE(QByteArray(s.Fon_Conn_Par.Command), QByteArray("AT&F E0 ; \xE8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF"));
    // The direct line's parameters are untouched.
    QVERIFY(std::memcmp(&s.Dir_Conn_Par, &before.Dir_Conn_Par, sizeof(Link_Par)) == 0);

    // An empty command line is stored empty; a long one is cut to what the field holds.
    TFormConn_Par g(nullptr, &s, nullptr);
    g.show();
    g.ComboBox1->setEditText(QStringLiteral("COM2"));
    g.Edit5->setText(QString(300, QLatin1Char('A')));
    QCOMPARE(g.Edit5->text().size(), MODEM_COMMAND_LEN - 1);
    g.Edit5->setText(QString());
    g.BitBtn1->click();
    QCOMPARE(s.Fon_Conn_Par.Command[0], '\0');
}

void tst_Conn_Par::telephoneFieldsLineUp_data()
{
    QTest::addColumn<QString>("field");
    for (const char *f : {"Edit5", "Edit6", "Edit10"}) QTest::newRow(f) << QString(f);
}

// The modem's fields and units stand under the line's fields and units above them.
void tst_Conn_Par::telephoneFieldsLineUp()
{
    QFETCH(QString, field);
    Conn_Settings_Rec s = Sample();
    s.Curr_Par.Conn_Prz = 1;
    TFormConn_Par f(nullptr, &s, nullptr);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const auto x = [&f](const QWidget *w) { return w->mapTo(&f, QPoint(0, 0)).x(); };
    for (const QWidget *upper : std::initializer_list<QWidget *>{f.ComboBox1, f.ComboBox2, f.Edit2, f.Edit3, f.ComboBox3, f.Edit13})
        QCOMPARE(x(upper), x(f.Edit1));
    QCOMPARE(x(f.findChild<QWidget *>(field)), x(f.Edit1));
    QList<int> units;
    for (const QLabel *l : f.findChildren<QLabel *>())
        if (l->text() == "c" && l->isVisible()) units << x(l);
    QCOMPARE(units.size(), 3);
    QCOMPARE(units.count(units.first()), 3);
}

void tst_Conn_Par::addressSearchFindsController()
{
    FakeClock clk;
    FakePort fp(&clk);
    hgcbox box(0);
    box.Clk = &clk;
    box.Pause_Rts_Us = 0;
    box.Make_Serial_Port = [&](hgcbox &) { return fp.Borrow(); };
    QString asked_device;
    box.Make_Serial_Port = [&](hgcbox &b) {
        asked_device = b.Port_Name;
        return fp.Borrow();
    };
    fp.On_Write = [](FakePort &p, const QByteArray &) {
        p.Queue(Reply_Frame(9, 0x81, QByteArray("\x00\x00\x00\x01\x00", 5)), 1000);
    };

    Conn_Settings_Rec s = Sample();
    TFormConn_Par f(nullptr, &s, &box);
    f.show();
    f.ComboBox1->setEditText(QStringLiteral("COM3"));
    f.Edit1->setText(QStringLiteral("3"));
    f.BitBtn4->click();

    QCOMPARE(rec.seen.size(), 1);
    QCOMPARE(rec.seen[0].kind, 5u);
    QCOMPARE(rec.seen[0].line1, QStringLiteral("Адрес устройства установлен"));
    QCOMPARE(rec.seen[0].line2, QStringLiteral("(адрес = 9)."));
    QCOMPARE(int(f.Accepted), 1);
    QVERIFY(!f.isVisible());
    QCOMPARE(int(s.Dir_Conn_Par.Adr), 9);
    QCOMPARE(s.Dir_Conn_Par.WaitTime, 3u);   // the checked values were stored first
    QCOMPARE(asked_device, Com_Port_Name(3));
    // Asked any controller, table 0 field 0, one field; port released afterwards.
    const QByteArray req = Find_Request(fp.Written);
    QVERIFY(req.size() >= 8);
    QCOMPARE(int(uint8_t(req[1])), 0xFF);
    QCOMPARE(int(uint8_t(req[3])), 1);
    QCOMPARE(req.mid(5, 3), QByteArray("\x00\x00\x01", 3));
    QCOMPARE(box.WaitTime, 3000u);
    QCOMPARE(int(box.Do_Close_Port), 0);
    QVERIFY(!box.Port_Handle);
    QVERIFY(!fp.Is_Open());
    QVERIFY(f.BitBtn1->isEnabled() && f.BitBtn2->isEnabled() && f.BitBtn4->isEnabled());
}

void tst_Conn_Par::addressSearchFailures()
{
    FakeClock clk;
    FakePort fp(&clk);
    hgcbox box(0);
    box.Clk = &clk;
    box.Pause_Rts_Us = 0;
    box.Make_Serial_Port = [&](hgcbox &) { return fp.Borrow(); };

    Conn_Settings_Rec s = Sample();
    {
        // Nobody answers; the search button, disabled meanwhile, has the focus back.
        TFormConn_Par f(nullptr, &s, &box);
        f.show();
        f.ComboBox1->setEditText(QStringLiteral("COM3"));
        f.BitBtn4->setFocus(Qt::TabFocusReason);
        f.BitBtn4->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].kind, 5u);
        QCOMPARE(rec.seen[0].line1, QStringLiteral("Устройство не обнаружено"));
        QVERIFY(rec.seen[0].line2.isEmpty());
        QCOMPARE(int(f.Accepted), 0);
        QVERIFY(f.isVisible());
        QCOMPARE(int(s.Dir_Conn_Par.Adr), 1);
        QVERIFY(!box.Port_Handle);
        QVERIFY(f.BitBtn1->isEnabled());
        QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.BitBtn4));
    }
    {
        // The port cannot be opened (held elsewhere for longer than the free-port wait).
        rec.seen.clear();
        fp.Fail_Opens = 1 << 30;
        TFormConn_Par f(nullptr, &s, &box);
        f.show();
        f.ComboBox1->setEditText(QStringLiteral("COM3"));
        const int writes = int(fp.Writes.size());
        f.BitBtn4->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].kind, 6u);
        QCOMPARE(rec.seen[0].line1, Port_Unavailable_Text(Com_Port_Name(3)));
        QVERIFY(rec.seen[0].line2.isEmpty());
        QCOMPARE(int(fp.Writes.size()), writes);
        QCOMPARE(int(f.Accepted), 0);
        fp.Fail_Opens = 0;
    }
    {
        // A refused value stops the search before the port is touched.
        rec.seen.clear();
        const int opens = fp.Opens;
        TFormConn_Par f(nullptr, &s, &box);
        f.show();
        f.ComboBox1->setEditText(QStringLiteral("COM3"));
        f.Edit2->setText(QStringLiteral("54"));
        f.BitBtn4->click();
        QCOMPARE(rec.seen.size(), 1);
        QCOMPARE(rec.seen[0].line1, QStringLiteral("Время ожидания следующих байтов ответа"));
        QCOMPARE(fp.Opens, opens);
    }
}

QTEST_MAIN(tst_Conn_Par)
#include "tst_conn_par.moc"
