// The set-point and write-flag commands against the controller simulator: what the forms
// refuse, and that only the changed fields are written.
#include "params/forms/Limits.h"

#include "Sim_Menu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {
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
QLineEdit *Ev(QDialog &d, int n)
{
    return d.findChild<QLineEdit *>(QStringLiteral("ev%1").arg(n));
}
QComboBox *Cb(QDialog &d, int n)
{
    return d.findChild<QComboBox *>(QStringLiteral("cb%1").arg(n));
}
} // namespace

class Tst_Limits_Menu : public QObject {
    Q_OBJECT
    Sim_Menu m;

    // Three parameters whose lower warning set-points fit rows 0..2 of their ranges.
    void Three_Parameters()
    {
        m.sim.Set_Field(14, 14, QByteArray(1, char(3)));
        m.sim.Set_Field(23, 0, F32(5.0f));
        m.sim.Set_Field(23, 1, F32(95.0f));
        m.sim.Set_Field(23, 2, F32(1.0f));
        m.Sync();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m.Start());
        Install_Limit_Commands(m.main.get());
    }
    void init() { m.Reset(); }

    void only_changed_fields_fewest_writes()
    {
        Three_Parameters();
        const QByteArray beyond = m.sim.Field(23, 3);
        m.Run("NLowAttent", [&](QDialog &d) {
            // Rows beyond the count stay in sight, disabled, their edits in the panel colour.
            QVERIFY(Ev(d, 4)->isVisibleTo(&d) && !Ev(d, 4)->isEnabled());
            QCOMPARE(Ev(d, 4)->palette().color(QPalette::Active, QPalette::Base),
                     d.palette().color(QPalette::Active, QPalette::Window));
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 23, 0, 3}}));

        m.Run("NLowAttent", [&](QDialog &d) {
            Ev(d, 2)->setText("96.5");
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 23, 0, 3}, {2, 23, 1, 1}}));
        QCOMPARE(To_F32(m.sim.Field(23, 1)), 96.5f);

        // Fields 0 and 2: one write of the span costs less than two.
        m.Run("NLowAttent", [&](QDialog &d) {
            Ev(d, 1)->setText("6");
            Ev(d, 3)->setText("2");
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 23, 0, 3}, {2, 23, 0, 3}}));
        QCOMPARE(To_F32(m.sim.Field(23, 0)), 6.0f);
        QCOMPARE(To_F32(m.sim.Field(23, 1)), 96.5f);
        QCOMPARE(To_F32(m.sim.Field(23, 2)), 2.0f);
        QCOMPARE(m.sim.Field(23, 3), beyond);
    }

    void each_kind_writes_its_table_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("table");
        QTest::newRow("insensitivity") << "NInsens" << 22;
        QTest::newRow("upper warning") << "NUpAttent" << 24;
        QTest::newRow("upper limit") << "NUpperLimit" << 26;
    }
    void each_kind_writes_its_table()
    {
        QFETCH(QString, item);
        QFETCH(int, table);
        m.sim.Set_Field(14, 14, QByteArray(1, char(1)));
        m.Sync();
        m.Run(item.toLatin1().constData(), [&](QDialog &d) {
            Ev(d, 1)->setText("0.5");
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, table, 0, 1}, {2, table, 0, 1}}));
        QCOMPARE(To_F32(m.sim.Field(table, 0)), 0.5f);
    }

    void refusals_write_nothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line1");
        QTest::newRow("empty") << 2 << "" << "Введены не все параметры";
        QTest::newRow("above") << 1 << "18.0001" << "Параметр \" Метан \".";
        QTest::newRow("below") << 1 << "-0.0001" << "Параметр \" Метан \".";
        QTest::newRow("exponent") << 3 << "1e5" << "Параметр \" Пропан \".";
        QTest::newRow("not a number") << 3 << "abc" << "\"abc\" не является правильным числом";
    }
    void refusals_write_nothing()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, line1);
        Three_Parameters();
        const QByteArray before = m.sim.Table(23);
        bool open_after = false;
        m.Run("NLowAttent", [&](QDialog &d) {
            auto &f = m.As<TFormLimits>(d);
            Ev(d, row)->setText(text);
            f.BitBtnWrite->click();
            open_after = f.isVisible() && !f.Accepted;
        });
        QVERIFY(open_after);
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line1, line1);
        QCOMPARE(m.Requests(), (QList<Req>{{1, 23, 0, 3}}));
        QCOMPARE(m.sim.Table(23), before);
    }

    void retyped_value_is_the_users_data()
    {
        QTest::addColumn<QString>("typed");   // empty: left as shown
        QTest::addColumn<float>("stored");
        QTest::newRow("left as shown") << QString() << 0.2004f;
        QTest::newRow("typed as it is shown") << "0.2" << 0.2f;
    }
    void retyped_value_is_the_users()
    {
        QFETCH(QString, typed);
        QFETCH(float, stored);
        Three_Parameters();
        m.sim.Set_Field(23, 0, F32(0.2004f));
        m.Run("NLowAttent", [&](QDialog &d) {
            QLineEdit *e = Ev(d, 1);
            QCOMPARE(e->text(), QString("0.200"));
            if (!typed.isEmpty()) {
                QVERIFY(QTest::qWaitForWindowActive(&d));
                e->setFocus();
                e->selectAll();
                QTest::keyClicks(e, typed);
                QTest::keyClick(e, Qt::Key_Tab);
                QCOMPARE(e->text(), QString("0.200"));   // shown rounded again on leaving
            }
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QCOMPARE(To_F32(m.sim.Field(23, 0)), stored);
    }

    void bound_plus_tolerance_accepted()
    {
        Three_Parameters();
        m.Run("NLowAttent", [&](QDialog &d) {
            Ev(d, 1)->setText("18.00001");
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QVERIFY(m.ques.asked.isEmpty());
        QCOMPARE(To_F32(m.sim.Field(23, 0)), 18.00001f);
    }

    // An untouched row is judged by what it shows. Its stored value stays only while that
    // value is itself in the range; otherwise the value shown is the one written.
    void untouched_row_judged_by_its_text_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<float>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<float>("written");
        QTest::newRow("beyond the bound") << 0 << 18.00004f << "18.000" << 18.0f;
        QTest::newRow("zero row") << 16 << 0.001f << "0" << 0.0f;
        QTest::newRow("in by the tolerance") << 0 << 18.00001f << "18.000" << 18.00001f;
    }
    void untouched_row_judged_by_its_text()
    {
        QFETCH(int, field);
        QFETCH(float, stored);
        QFETCH(QString, shown);
        QFETCH(float, written);
        m.sim.Set_Field(14, 14, QByteArray(1, char(field + 1)));
        for (int i = 0; i < field; ++i) m.sim.Set_Field(23, i, F32(Limit_Ranges[1][i].def));
        m.sim.Set_Field(23, field, F32(stored));
        m.Sync();
        const int n = field + 1;
        m.Run("NLowAttent", [&](QDialog &d) {
            QCOMPARE(Ev(d, n)->text(), shown);
            m.As<TFormLimits>(d).BitBtnWrite->click();
        });
        QVERIFY(m.ques.asked.isEmpty());
        QCOMPARE(m.sim.Field(23, field), F32(written));
        QCOMPARE(m.Writes(), (stored == written ? QList<Req>{} : QList<Req>{{2, 23, field, 1}}));
    }

    // The same row typed out of its range is still refused.
    void typed_out_of_range_refused()
    {
        Three_Parameters();
        m.sim.Set_Field(23, 0, F32(18.00004f));
        const QByteArray before = m.sim.Table(23);
        m.Sync();
        m.Run("NLowAttent", [&](QDialog &d) {
            QLineEdit *e = Ev(d, 1);
            e->selectAll();
            QTest::keyClicks(e, "18.1");
            m.As<TFormLimits>(d).BitBtnWrite->click();
            QVERIFY(d.isVisible());
        });
        QCOMPARE(m.ques.asked.size(), 1);
        QCOMPARE(m.ques.asked[0].line2, QString("Вводите значения согласно допустимому диапазону"));
        QCOMPARE(m.sim.Table(23), before);
    }

    void write_flags_changed_and_unknown()
    {
        m.sim.Set_Field(14, 14, QByteArray(1, char(3)));
        m.Sync();
        m.Run("NDistr", [&](QDialog &d) {
            Cb(d, 2)->setCurrentIndex(0);
            m.As<TFormPrzDistr>(d).BitBtnWrite->click();
        });
        QCOMPARE(m.Requests(), (QList<Req>{{1, 21, 0, 3}, {2, 21, 1, 1}}));
        QCOMPARE(m.sim.Field(21, 1), QByteArray(1, '\0'));

        // A flag the list does not know: no choice shown, the accept is refused by a message box.
        m.sim.Set_Field(21, 0, QByteArray(1, char(5)));
        m.sim.Clear_Log();
        int boxes = 0;
        m.Run("NDistr", [&](QDialog &d) {
            if (auto *box = qobject_cast<QMessageBox *>(&d)) {
                ++boxes;
                QCOMPARE(box->text(), QString("Введены не все параметры"));
                return;
            }
            auto &f = m.As<TFormPrzDistr>(d);
            QCOMPARE(Cb(d, 1)->currentIndex(), -1);
            f.BitBtnWrite->click();
            QVERIFY(f.isVisible());
            Cb(d, 1)->setCurrentIndex(1);
            f.BitBtnWrite->click();
        });
        QCOMPARE(boxes, 1);
        QCOMPARE(m.Requests(), (QList<Req>{{1, 21, 0, 3}, {2, 21, 0, 1}}));
        QCOMPARE(m.sim.Field(21, 0), QByteArray(1, char(1)));
    }
};

QTEST_MAIN(Tst_Limits_Menu)
#include "tst_limits_menu.moc"
