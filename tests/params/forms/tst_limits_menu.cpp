// The set-point and write-flag commands against the controller simulator on a fake link:
// what the forms show, what they refuse, and that only the changed fields are written.
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"
#include "params/forms/Limits.h"

#include "FakePort.h"
#include "Sim.h"
#include "Sim_Requests.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include "Menu_Run.h"
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

QByteArray F32(float v)
{
    return QByteArray(reinterpret_cast<const char *>(&v), 4);
}

float To_F32(const QByteArray &b)
{
    float v = 0;
    if (b.size() == 4) std::memcpy(&v, b.constData(), 4);
    return v;
}

} // namespace

class Tst_Limits_Menu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clk;
    FakePort port{&clk};
    Sim_Core sim{1};
    std::unique_ptr<TFormMain> main;
    Ques_Log ques;

    int Run(const char *item, const std::function<void(QDialog &)> &each) { return Run_Item(main.get(), item, each); }
    void Image_From_Controller()
    {
        const QByteArray img = sim.Image();
        std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);
    }
    static QLineEdit *Ev(QDialog &d, int n) { return d.findChild<QLineEdit *>(QStringLiteral("ev%1").arg(n)); }
    static QComboBox *Cb(QDialog &d, int n) { return d.findChild<QComboBox *>(QStringLiteral("cb%1").arg(n)); }
    // Three parameters whose lower warning set-points fit rows 0..2 of their ranges.
    void Three_Parameters()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(3)));
        sim.Set_Field(23, 0, F32(5.0f));
        sim.Set_Field(23, 1, F32(95.0f));
        sim.Set_Field(23, 2, F32(1.0f));
        Image_From_Controller();
        sim.Clear_Log();
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
        Install_Limit_Commands(main.get());
        for (const char *n : {"NInsens", "NLowAttent", "NUpAttent", "NLowLimit", "NUpperLimit", "NDistr"})
            QVERIFY(main->Item(n));
    }

    void init()
    {
        sim.Set_Image(Sim_Core::Default_Image(1, sim.Password(), sim.Code()));
        sim.Clear_Faults();
        Image_From_Controller();
        sim.Clear_Log();
        ques.asked.clear();
    }

    void form_shows_ranges_values_and_greyed_rows()
    {
        Three_Parameters();
        QString caption, range1, value1, name1, unit1;
        bool ev4_enabled = true;
        Run("NLowAttent", [&](QDialog &d) {
            auto *f = qobject_cast<TFormLimits *>(&d);
            QVERIFY(f);
            QCOMPARE(int(f->Kind), 1);
            QVERIFY(f->BitBtnWrite->isVisible());
            caption = f->windowTitle();
            range1 = f->findChild<QLabel *>("pd1")->text();
            name1 = f->findChild<QLabel *>("pn1")->text();
            unit1 = f->findChild<QLabel *>("l1")->text();
            value1 = Ev(d, 1)->text();
            ev4_enabled = Ev(d, 4)->isEnabled();
            // Rows beyond the count stay in sight, their edits in the panel colour.
            QVERIFY(Ev(d, 4)->isVisibleTo(f));
            QCOMPARE(Ev(d, 4)->palette().color(QPalette::Base), f->palette().color(QPalette::Window));
            // Leaving an edit writes the value back in the row's digits.
            Ev(d, 2)->setText("96");
            emit Ev(d, 2)->editingFinished();
            QCOMPARE(Ev(d, 2)->text(), QString("96.000"));
            f->BitBtnCancel->click();
        });
        QCOMPARE(caption, QString("Нижняя предупредительная уставка параметра газа"));
        QCOMPARE(range1, QString(" 0.000 - 18.000"));
        QCOMPARE(name1, QString(" Метан"));
        QCOMPARE(unit1, QString("%"));
        QCOMPARE(value1, QString("5.000"));
        QVERIFY(!ev4_enabled);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 23, 0, 3}}));
    }

    void unchanged_accept_writes_nothing_changed_fields_fewest_writes()
    {
        Three_Parameters();
        Run("NLowAttent", [&](QDialog &d) { qobject_cast<TFormLimits *>(&d)->BitBtnWrite->click(); });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 23, 0, 3}}));
        QVERIFY(ques.asked.isEmpty());

        Run("NLowAttent", [&](QDialog &d) {
            Ev(d, 2)->setText("96.5");
            qobject_cast<TFormLimits *>(&d)->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 23, 0, 3}, {2, 23, 1, 1}}));
        QCOMPARE(To_F32(sim.Field(23, 1)), 96.5f);

        // Fields 0 and 2: one write of the span costs less than two.
        Run("NLowAttent", [&](QDialog &d) {
            Ev(d, 1)->setText("6");
            Ev(d, 3)->setText("2");
            qobject_cast<TFormLimits *>(&d)->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 23, 0, 3}, {2, 23, 0, 3}}));
        QCOMPARE(To_F32(sim.Field(23, 0)), 6.0f);
        QCOMPARE(To_F32(sim.Field(23, 1)), 96.5f);
        QCOMPARE(To_F32(sim.Field(23, 2)), 2.0f);
        // Fields beyond the count are never written.
        QCOMPARE(sim.Field(23, 3), Sim_Core::Default_Image(1, sim.Password(), sim.Code()).mid(Tab_Offset(23) + 12, 4));
    }

    void each_kind_reads_and_writes_its_table()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(1)));
        Image_From_Controller();
        const struct {
            const char *item;
            int table;
            const char *value;
        } kinds[] = {{"NInsens", 22, "0.5"}, {"NLowAttent", 23, "1"}, {"NUpAttent", 24, "17"},
                     {"NLowLimit", 25, "0.5"}, {"NUpperLimit", 26, "18"}};
        for (const auto &k : kinds) {
            Take_Requests(sim);
            Run(k.item, [&](QDialog &d) {
                auto *f = qobject_cast<TFormLimits *>(&d);
                QCOMPARE(int(f->Kind), k.table - 22);
                QCOMPARE(f->windowTitle(), Limit_Caption(k.table - 22));
                Ev(d, 1)->setText(k.value);
                f->BitBtnWrite->click();
            });
            QCOMPARE(Take_Requests(sim), (QList<Req>{{1, k.table, 0, 1}, {2, k.table, 0, 1}}));
            QCOMPARE(To_F32(sim.Field(k.table, 0)), QByteArray(k.value).toFloat());
        }
    }

    void refusals_keep_the_form_open_and_write_nothing()
    {
        Three_Parameters();
        const QByteArray before = sim.Table(23);
        const struct {
            int row;
            const char *text;
            QString line1, line2;
        } cases[] = {
            {2, "", "Введены не все параметры", ""},
            {1, "18.0001", "Параметр \" Метан \".", "Вводите значения согласно допустимому диапазону"},
            {1, "-0.0001", "Параметр \" Метан \".", "Вводите значения согласно допустимому диапазону"},
            {2, "39.9", "Параметр \" Этан \".", "Вводите значения согласно допустимому диапазону"},
            {3, "1e5", "Параметр \" Пропан \".", "Вводите значения согласно допустимому диапазону"},
            {3, "abc", "\"abc\" не является правильным числом", " Пропан"},
        };
        for (const auto &c : cases) {
            ques.asked.clear();
            bool open_after = false;
            Run("NLowAttent", [&](QDialog &d) {
                auto *f = qobject_cast<TFormLimits *>(&d);
                Ev(d, c.row)->setText(QString::fromUtf8(c.text));
                f->BitBtnWrite->click();
                open_after = f->isVisible();
                QCOMPARE(int(f->Accepted), 0);
            });
            QVERIFY(open_after);
            QCOMPARE(ques.asked.size(), 1);
            QCOMPARE(ques.asked[0].kind, 2u);
            QCOMPARE(ques.asked[0].line1, c.line1);
            QCOMPARE(ques.asked[0].line2, c.line2);
            QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 23, 0, 3}}));
            QCOMPARE(sim.Table(23), before);
        }
        // A stored value beyond the range is refused untouched, though it shows rounded into
        // the range; the bound plus its tolerance is accepted; a refusal typed back is read again.
        sim.Set_Field(23, 0, F32(18.00004f));
        ques.asked.clear();
        Run("NLowAttent", [&](QDialog &d) {
            auto *f = qobject_cast<TFormLimits *>(&d);
            QCOMPARE(Ev(d, 1)->text(), QString("18.000"));
            f->BitBtnWrite->click();
            QCOMPARE(int(f->Accepted), 0);
            QCOMPARE(ques.asked.size(), 1);
            Ev(d, 1)->setText("18.0001");
            f->BitBtnWrite->click();
            Ev(d, 1)->setText("18.00001");
            f->BitBtnWrite->click();
            QCOMPARE(int(f->Accepted), 1);
        });
        QCOMPARE(To_F32(sim.Field(23, 0)), 18.00001f);
    }

    void zero_rows_and_positions_follow_table_one()
    {
        // Position 16 has an all-zero range: only values close to 0 pass.
        sim.Set_Field(14, 14, QByteArray(1, char(17)));
        for (int i = 0; i < 17; ++i) sim.Set_Field(25, i, F32(Limit_Ranges[3][i].min));
        Image_From_Controller();
        Take_Requests(sim);
        Run("NLowLimit", [&](QDialog &d) {
            auto *f = qobject_cast<TFormLimits *>(&d);
            QCOMPARE(f->findChild<QLabel *>("pd17")->text(), QString(" 0 - 0"));
            Ev(d, 17)->setText("0.001");
            f->BitBtnWrite->click();
            QCOMPARE(int(f->Accepted), 0);
            Ev(d, 17)->setText("0.00001");
            f->BitBtnWrite->click();
            QCOMPARE(int(f->Accepted), 1);
        });
        QCOMPARE(ques.asked.size(), 1);
        QVERIFY(ques.asked[0].line1.startsWith("Параметр \" "));
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 25, 0, 17}, {2, 25, 16, 1}}));
    }

    void write_flags_unchanged_changed_and_unknown()
    {
        sim.Set_Field(14, 14, QByteArray(1, char(3)));
        Image_From_Controller();
        Take_Requests(sim);
        QString caption;
        bool list4_visible = true;
        Run("NDistr", [&](QDialog &d) {
            auto *f = qobject_cast<TFormPrzDistr *>(&d);
            QVERIFY(f);
            caption = f->windowTitle();
            QCOMPARE(Cb(d, 1)->currentText(), QString(" Записывать"));
            list4_visible = Cb(d, 4)->isVisible();
            f->BitBtnWrite->click();
        });
        QCOMPARE(caption, QString("Необходимость записи  значений параметров газа в ВРГ "));
        QVERIFY(!list4_visible);
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 21, 0, 3}}));

        Run("NDistr", [&](QDialog &d) {
            Cb(d, 2)->setCurrentIndex(0);
            qobject_cast<TFormPrzDistr *>(&d)->BitBtnWrite->click();
        });
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 21, 0, 3}, {2, 21, 1, 1}}));
        QCOMPARE(sim.Field(21, 1), QByteArray(1, '\0'));

        // A flag the list does not know: no choice shown, the accept is refused by a message box.
        sim.Set_Field(21, 0, QByteArray(1, char(5)));
        Take_Requests(sim);
        QString box_text, box_title;
        int boxes = 0;
        Run("NDistr", [&](QDialog &d) {
            if (auto *box = qobject_cast<QMessageBox *>(&d)) {
                ++boxes;
                box_text = box->text();
                box_title = box->windowTitle();
                return;
            }
            auto *f = qobject_cast<TFormPrzDistr *>(&d);
            QCOMPARE(Cb(d, 1)->currentIndex(), -1);
            f->BitBtnWrite->click();
            QVERIFY(f->isVisible());
            Cb(d, 1)->setCurrentIndex(1);
            f->BitBtnWrite->click();
        });
        QCOMPARE(boxes, 1);
        QCOMPARE(box_text, QString("Введены не все параметры"));
        QCOMPARE(box_title, QString("Ошибка"));
        QVERIFY(ques.asked.isEmpty());
        QCOMPARE(Take_Requests(sim), (QList<Req>{{1, 21, 0, 3}, {2, 21, 0, 1}}));
        QCOMPARE(sim.Field(21, 0), QByteArray(1, char(1)));
    }

    void failed_read_opens_no_form()
    {
        sim.Add_Fault(Sim_Fault::Make(Sim_Fault_Kind::No_Reply).For_Func(1).Times(-1));
        QCOMPARE(Run("NUpAttent", [](QDialog &) {}), 0);
        QCOMPARE(Run("NDistr", [](QDialog &) {}), 0);
        for (const Req &r : Take_Requests(sim)) QCOMPARE(r.func, 1);
    }
};

QTEST_MAIN(Tst_Limits_Menu)
#include "tst_limits_menu.moc"
