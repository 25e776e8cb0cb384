// Windows that change their size while shown, on small screens. A dialog put by the user into
// the bottom right corner of a 1024x768 screen and grown there stands wholly inside the screen's
// free area with every button it shows. On a screen too low for sixteen flow computers their
// list is cut to the free area: its rows scroll, its columns stay whole, its buttons stay in view;
// where its rows all show, it ends at the last of them.
#include "core/Rd_wr_ini.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Window_Place.h"
#include "params/forms/Floulist.h"
#include "params/forms/Floupar.h"
#include "params/forms/Syspar.h"

#include "Offscreen_Screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

namespace {

// What stands past the free area: the frame, then each button shown.
QStringList Outside(const QWidget &d)
{
    const QRect avail = d.screen()->availableGeometry();
    QStringList out;
    if (!avail.contains(Frame_Rect(&d))) out << QStringLiteral("frame");
    for (const QPushButton *b : d.findChildren<QPushButton *>())
        if (b->isVisible() && !avail.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size()))) out << b->text();
    return out;
}

// Shown, moved by the user into the bottom right corner of the free area and grown there by
// `grow`: still inside the area.
void Grow_In_Corner(QDialog &d, const std::function<void()> &grow)
{
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QRect avail = d.screen()->availableGeometry(), f = Frame_Rect(&d);
    d.move(avail.right() + 1 - f.width(), avail.bottom() + 1 - f.height());
    QTRY_COMPARE(Frame_Rect(&d).bottomRight(), avail.bottomRight());
    grow();
    QTest::qWait(10);
    QCOMPARE(Outside(d), QStringList());
}

} // namespace

class Tst_Windows_Fit : public QObject {
    Q_OBJECT
    QWidget owner;

    // The flow-computer list opened on `count` records and grown to 16: its rows scroll only
    // where the screen cannot hold them, its columns never.
    void Flou_List(int count, bool scrolls)
    {
        Flou_Rec flou[MAX_FLOU]{};
        TFormFlouList l(&owner);
        l.Tab_Data = reinterpret_cast<uint8_t *>(flou);
        l.Count = uint8_t(count);
        Scripted_Dialogs add([](QDialog &d) {
            static_cast<TParam_Dialog &>(d).Accepted = 1;   // each added one as the dialog gives it
            d.accept();
        });
        Set_Dialog_Runner(&add);
        Grow_In_Corner(l, [&l] {
            while (l.BtnAdd->isEnabled()) l.BtnAdd->click();
        });
        Set_Dialog_Runner(nullptr);
        QCOMPARE(l.Rows(), 16);
        QCOMPARE(l.Grid->verticalScrollBar()->isVisible(), scrolls);
        if (!scrolls) QCOMPARE(l.Grid->viewport()->height(), l.Grid->rowViewportPosition(15) + l.Grid->rowHeight(15));
        const QHeaderView *h = l.Grid->horizontalHeader();
        for (int c = 0; c < h->count(); ++c) QVERIFY(h->sectionSize(c) >= h->sectionSizeHint(c));
    }

private slots:
    void initTestCase()
    {
        Install_Window_Places();
        owner.setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(100, 100, -100, -100));
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
    }

    void grown_windows_stay_inside_the_screen()
    {
        Flou_List(2, false);
        Conn_Settings.Curr_Par.Conn_Prz = 0;
        TFormConnect c(&owner);
        Grow_In_Corner(c, [&c] {
            c.ComboBox3->setCurrentIndex(2);
            emit c.ComboBox3->activated(2);
        });
    }

    // Rows or panels swapped at the screen's bottom, those coming shown before those going are
    // hidden: the dialog, no taller after, stays where it stands.
    void rows_swapped_in_place()
    {
        const auto stays = [](QDialog &d, const std::function<void()> &swap) {
            QPoint at;
            Grow_In_Corner(d, [&] {
                at = d.pos();
                swap();
            });
            QCOMPARE(d.pos(), at);
        };
        uint8_t t6[12] = {3, 0xC9, 2, 10, 31, 3, 10, 0, 1, 0, 0x11, 0x22};
        TFormSys s(&owner);
        s.Tab_Data = t6;
        stays(s, [&s] { s.Summer->Method->setCurrentIndex(0); });
        Flou_Rec r{};
        uint8_t sou = 1;
        TFormFlouPar f(&owner);
        f.Tab_Data = reinterpret_cast<uint8_t *>(&r);
        f.Sou_Flag = &sou;
        stays(f, [&f] { f.CBSou->setChecked(false); });
    }

    // Sixteen flow computers are more than a 1024x576 screen holds, opened or added.
    void low_screen_scrolls_the_flow_computers()
    {
        QScreen *low = QGuiApplication::screens().at(1);
        owner.setGeometry(low->availableGeometry().adjusted(100, 100, -100, -100));
        QTRY_COMPARE(owner.screen(), low);
        Flou_List(2, true);
        Flou_List(16, true);
    }
};

int main(int argc, char **argv) { return Exec_On_Screens<Tst_Windows_Fit>(argc, argv, {{1024, 768}, {1024, 576}}); }

#include "tst_windows_fit.moc"
