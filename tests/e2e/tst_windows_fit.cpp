// Windows on small screens. Each window that changes its size while it is shown, put by the
// user into the bottom right corner of a 1024x768 screen and grown there to its most, stands
// wholly inside the screen's free area with every button it shows; so does each window opened
// with all it can hold. On a screen too low for sixteen flow computers their list is cut to
// the free area: its rows scroll, its columns stay whole, its buttons stay in view.
#include "core/Rd_wr_ini.h"
#include "core/forms/Connect.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Window_Place.h"
#include "params/Chr_Par.h"
#include "params/forms/Access.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Config.h"
#include "params/forms/Curr_State.h"
#include "params/forms/Floulist.h"
#include "params/forms/Floupar.h"
#include "params/forms/Syspar.h"
#include "params/forms/Tabinfo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QScreen *Screen(int height)
{
    for (QScreen *s : QGuiApplication::screens())
        if (s->geometry().height() == height) return s;
    return nullptr;
}

// What stands past the free area: the frame, then each button shown.
QString Outside(const QWidget &d)
{
    const QRect avail = d.screen()->availableGeometry();
    QStringList out;
    const QRect f = Frame_Rect(&d);
    if (!avail.contains(f)) out << QStringLiteral("frame %1,%2 %3x%4").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
    for (const QPushButton *b : d.findChildren<QPushButton *>())
        if (b->isVisible() && !avail.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size()))) out << b->text();
    return out.join(QLatin1String(", "));
}

// As the user drags it: the frame into the free area's bottom right corner.
void To_Corner(QWidget &d)
{
    const QRect avail = d.screen()->availableGeometry(), f = Frame_Rect(&d);
    d.move(avail.right() + 1 - f.width(), avail.bottom() + 1 - f.height());
    QTRY_COMPARE(Frame_Rect(&d).bottomRight(), avail.bottomRight());
}

} // namespace

class Tst_Windows_Fit : public QObject {
    Q_OBJECT
    QWidget owner;
    QStringList bad;

    // Looked at as placed; then, with `grow`, in the corner once grown.
    void Look(QDialog &d, const QString &what, const std::function<void()> &grow = {})
    {
        if (!d.isVisible()) d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::qWait(10);
        if (const QString o = Outside(d); !o.isEmpty()) bad << what + ": " + o;
        if (!grow) return;
        To_Corner(d);
        grow();
        QTest::qWait(10);
        if (const QString o = Outside(d); !o.isEmpty()) bad << what + " grown: " + o;
    }

    // The flow-computer list opened by the configuration editor on `count` records, grown to 16.
    // Each added one is taken as the dialog gives it.
    void Flou_List(int count, const std::function<void(TFormFlouList &)> &check)
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        rec.t6[9] = 1;
        rec.t9[0] = uint8_t(count);
        TFormConfig cfg(&owner);
        cfg.Cnf = &rec;
        Look(cfg, QStringLiteral("configuration editor"));
        Scripted_Dialogs run([&](QDialog &d) {
            auto *l = qobject_cast<TFormFlouList *>(&d);
            if (!l) {
                static_cast<TParam_Dialog &>(d).Accepted = 1;
                return d.accept();
            }
            Look(*l, QStringLiteral("flow computers from %1").arg(count), [l] {
                while (l->BtnAdd->isEnabled()) l->BtnAdd->click();
            });
            QCOMPARE(l->Rows(), 16);
            check(*l);
        });
        Set_Dialog_Runner(&run);
        cfg.BtnFlouList->click();
        Set_Dialog_Runner(nullptr);
        QCOMPARE(run.Count, 1 + 16 - count);
    }

private slots:
    void initTestCase()
    {
        Install_Window_Places();
        owner.setGeometry(Screen(768)->availableGeometry().adjusted(100, 100, -100, -100));
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
    }

    void init() { bad.clear(); }

    void grown_windows_stay_inside_the_screen()
    {
        // Every row shown where the screen holds them.
        Flou_List(2, [](TFormFlouList &l) {
            QCOMPARE(l.Grid->verticalScrollBar()->isVisible(), false);
        });

        Conn_Settings.Curr_Par.Conn_Prz = 0;
        TFormConnect c(&owner);
        Look(c, QStringLiteral("connection"), [&c] {
            c.ComboBox3->setCurrentIndex(2);
            emit c.ComboBox3->activated(2);
        });

        Flou_Rec r{};
        TFormFlouPar p(&owner);
        p.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        Look(p, QStringLiteral("flow computer"), [&p] { p.CBSou->click(); });

        uint8_t t6[12] = {};
        TFormSys s(&owner);
        s.Tab_Data = t6;
        Look(s, QStringLiteral("system parameters"), [&s] {
            for (TDst_Group *g : {s.Summer, s.Winter}) {
                g->Month->setCurrentIndex(1);
                g->Method->setCurrentIndex(1);
            }
        });

        // Opened with all they hold.
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        TFormConn_Par cp(&owner, &Conn_Settings, nullptr);
        Look(cp, QStringLiteral("link parameters"));
        Chr_Par_List pars{};
        pars.count = MAX_GAS_PARAMS;
        TFormChrPar_List pl(&owner);
        pl.Tab_Data = reinterpret_cast<uint8_t *>(&pars);
        Look(pl, QStringLiteral("parameter list"));
        TFormAccess a(&owner);
        Look(a, QStringLiteral("user access"));
        Tab_State_Block tabs;
        Fill_Tab_State_Block(tabs, nullptr);
        TFormTableInfo ti(&owner);
        ti.Tab_State = &tabs;
        Look(ti, QStringLiteral("table states"));
        Vich_State_Block vich{};
        TFormVichInf vi(&owner);
        vi.Vich_State = &vich;
        vi.Count = VICH_MAX;
        Look(vi, QStringLiteral("flow computer states"));

        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }

    // Sixteen flow computers are more than a 1024x576 screen holds.
    void low_screen_scrolls_the_flow_computers()
    {
        owner.setGeometry(Screen(576)->availableGeometry().adjusted(100, 100, -100, -100));
        QTRY_COMPARE(owner.screen(), Screen(576));
        for (int count : {2, 16})
            Flou_List(count, [](TFormFlouList &l) {
                QVERIFY(l.Grid->verticalScrollBar()->isVisible());
                QVERIFY(!l.Grid->horizontalScrollBar()->isVisible());
            });
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("screens.json")));
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(R"({"screens": [{"name": "a", "x": 0, "y": 0, "width": 1024, "height": 768},
                                {"name": "b", "x": 1024, "y": 0, "width": 1024, "height": 576}]})") < 0)
        return 1;
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(f.fileName()));
    QApplication app(argc, argv);
    Tst_Windows_Fit t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_windows_fit.moc"
