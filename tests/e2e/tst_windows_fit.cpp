// Windows that change their size while shown, on small screens. Each, put by the user into the
// bottom right corner of a 1024x768 screen and grown there to its most, stands wholly inside the
// screen's free area with every button it shows. On a screen too low for sixteen flow computers
// their list is cut to the free area: its rows scroll, its columns stay whole, its buttons stay
// in view.
#include "core/Rd_wr_ini.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Window_Place.h"
#include "params/forms/Config.h"
#include "params/forms/Floulist.h"
#include "params/forms/Floupar.h"
#include "params/forms/Syspar.h"

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

    // The flow-computer list opened by the configuration editor on `count` records, grown to 16
    // (each added one taken as the dialog gives it): its rows scroll only where the screen
    // cannot hold them, its columns never.
    void Flou_List(int count, bool scrolls)
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
            QCOMPARE(l->Grid->verticalScrollBar()->isVisible(), scrolls);
            const QHeaderView *h = l->Grid->horizontalHeader();
            for (int c = 0; c < h->count(); ++c) QVERIFY(h->sectionSize(c) >= h->sectionSizeHint(c));
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
        Flou_List(2, false);

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

        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }

    // Sixteen flow computers are more than a 1024x576 screen holds, opened or added.
    void low_screen_scrolls_the_flow_computers()
    {
        owner.setGeometry(Screen(576)->availableGeometry().adjusted(100, 100, -100, -100));
        QTRY_COMPARE(owner.screen(), Screen(576));
        Flou_List(2, true);
        Flou_List(16, true);
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
