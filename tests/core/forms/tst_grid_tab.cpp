// Every viewer, list and grid of the program: Tab and Shift+Tab leave the grid for the form's
// other controls instead of walking from cell to cell; the grid shows whether it has the focus,
// and a list keeps it when the button that acted on it is disabled by its action. A list opens
// with its current row in sight, and shows a row made current by a refill.
#include "archives/Objects_list.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "archives/forms/Objects_list.h"
#include "core/Abonents.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/View_Focus.h"
#include "messages/forms/Iniala_Form.h"
#include "messages/forms/Iniaud_Form.h"
#include "params/forms/Access.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Floulist.h"

#include "Arh_Builders.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// A form with a grid of a few rows; the grid is its StringGrid1 or Grid.
using Make_Form = std::function<QWidget *()>;

QAbstractItemView *Grid_Of(QWidget *f)
{
    for (const char *name : {"StringGrid1", "Grid"})
        if (auto *g = f->findChild<QAbstractItemView *>(QLatin1String(name))) return g;
    return f->findChild<QAbstractItemView *>();
}

template <class Viewer> Make_Form Viewer_Of(Arh_File_Kind kind)
{
    return [kind] { return new Viewer(nullptr, Arh_Test_Header(kind, 3), Arh_Records(kind, 3, true)); };
}

template <class Viewer> Make_Form Viewer_Of(Arh_File_Kind kind, uint8_t viewer_kind)
{
    return [kind, viewer_kind] {
        return new Viewer(nullptr, Arh_Test_Header(kind, 3), Arh_Records(kind, 3, true), viewer_kind);
    };
}

Make_Form Msg_List_Of(Arh_File_Kind kind)
{
    return [kind]() -> QWidget * {
        const Arhiv_Header h = Arh_Test_Header(kind, 3);
        const QByteArray rows = Arh_Records(kind, 3, true);
        if (kind == Arh_File_Kind::Ala) return new TFormAla(nullptr, h, MSG_MODE_FILE, rows);
        return new TFormAud(nullptr, h, MSG_MODE_FILE, rows);
    };
}

// `n` telephone subscribers, or objects, sorted; the current one the last.
Make_Form Subscribers(int n)
{
    return [n]() -> QWidget * {
        Conn_Settings.Curr_Par.Conn_Prz = 1;
        Fon_Abonents_List &l = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
        for (int k = 0; k < n; ++k) {
            Set_Abonent_Text(l.rec[k].user_name, ABONENT_NAME_LEN, QStringLiteral("Узел %1").arg(k, 3, 10, QLatin1Char('0')));
            Set_Abonent_Text(l.rec[k].phone_code, PHONE_CODE_LEN, QStringLiteral("123"));
        }
        l.hdr = Abonent_Hdr{uint8_t(n), uint8_t(n - 1), 0};
        return new TFormAbonents_List;
    };
}

Make_Form Objects(int n)
{
    return [n]() -> QWidget * {
        std::memset(&Obj_List, 0, sizeof Obj_List);
        Obj_List.obj_num = uint8_t(n);
        Obj_List.obj_index = uint8_t(n - 1);
        for (int i = 0; i < n; ++i)
            Set_Object_Name(Obj_List.obj_name[i], QStringLiteral("Объект %1").arg(i, 2, 10, QLatin1Char('0')));
        return new TFormObjects_List;
    };
}

// A list filled as its window is shown, as the program's forms fill theirs.
struct Late_List : QWidget {
    QTableWidget *Grid = new QTableWidget(0, 1, this);
    Late_List() { (new QVBoxLayout(this))->addWidget(Grid); }
    void showEvent(QShowEvent *) override { Grid->setRowCount(100); Grid->setCurrentCell(99, 0); }
};

bool In_Sight(const QAbstractItemView *g) { return g->viewport()->rect().contains(g->visualRect(g->currentIndex())); }

Chr_Par_List Par_List{};
Flou_Rec Flou[MAX_FLOU]{};
User_Rec Users[USER_COUNT]{};

// The widget as it stands on the screen, repainted or not.
QImage Look(QWidget *w)
{
    QCoreApplication::processEvents();
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    return w->screen()->grabWindow(w->window()->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
}

bool Seen(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 60;
}

// The row's cells in sight, in the grid's coordinates (the fixed columns of an archive grid
// lie over their own).
QList<QRect> Cells(const QAbstractItemView *g, int row)
{
    QList<QRect> cells;
    const QRect port = g->viewport()->geometry();
    for (int c = 0; c < g->model()->columnCount(); ++c) {
        const QRect r = g->visualRect(g->model()->index(row, c)).translated(port.topLeft()) & port;
        if (r.width() > 6 && r.height() == g->visualRect(g->model()->index(row, c)).height()) cells << r;
    }
    return cells;
}

// A line runs along the top and bottom of every cell of the row and up its left end.
bool Framed(const QImage &img, const QList<QRect> &cells)
{
    int lined = 0, points = 0;
    for (const QRect &r : cells)
        for (int x = r.left() + 2; x < r.right() - 1; ++x, points += 2)
            lined += Seen(img.pixel(x, r.top()), img.pixel(x, r.top() + 2)) +
                     Seen(img.pixel(x, r.bottom()), img.pixel(x, r.bottom() - 2));
    const QRect &f = cells.value(0);
    for (int y = f.top() + 2; y < f.bottom() - 1; ++y, ++points)
        lined += Seen(img.pixel(f.left(), y), img.pixel(f.left() + 2, y));
    return points > 0 && lined > points * 0.85;
}

// With the focus (on) the current row is framed and no other; without it (off) none is, and
// the selection looks different in most of every cell of the row.
void Check_Looks(QAbstractItemView *g, const QImage &on, const QImage &off)
{
    const int current = g->currentIndex().row();
    for (int row = 0; row < g->model()->rowCount(); ++row)
        if (!Cells(g, row).isEmpty())
            QVERIFY2(Framed(on, Cells(g, row)) == (row == current), qPrintable(QStringLiteral("row %1").arg(row)));
    QVERIFY(!Framed(off, Cells(g, current)));
    for (const QRect &r : Cells(g, current)) {
        int seen = 0;
        for (int y = r.top() + 3; y < r.bottom() - 2; ++y)
            for (int x = r.left() + 3; x < r.right() - 2; ++x) seen += Seen(on.pixel(x, y), off.pixel(x, y));
        QVERIFY2(seen * 2 > (r.width() - 6) * (r.height() - 6),
                 qPrintable(QStringLiteral("cell at x %1 alike with and without the focus").arg(r.left())));
    }
}

} // namespace

Q_DECLARE_METATYPE(Make_Form)

namespace {

// The lists whose "Удалить" and "Добавить" act on them, three entries each.
void Lists_With_Delete()
{
    QTest::newRow("subscribers") << Subscribers(3);
    QTest::newRow("objects") << Objects(3);
    QTest::newRow("flow computers") << Make_Form([]() -> QWidget * {
        auto *f = new TFormFlouList;
        f->Tab_Data = reinterpret_cast<uint8_t *>(Flou);
        f->Count = 3;
        return f;
    });
}

} // namespace

class Tst_Grid_Tab : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Install_View_Focus(); }

    void tab_leaves_the_grid_data()
    {
        QTest::addColumn<Make_Form>("make");
        QTest::newRow("diagnostic messages") << Msg_List_Of(Arh_File_Kind::Ala);
        QTest::newRow("operator messages") << Msg_List_Of(Arh_File_Kind::Aud);
        QTest::newRow("measurements") << Viewer_Of<TFormArhMeas_Chr>(Arh_File_Kind::Chr_Meas);
        QTest::newRow("hourly") << Viewer_Of<TFormArhivHDM_Chr>(Arh_File_Kind::Chr_Hour, HDM_KIND_HOUR);
        QTest::newRow("daily") << Viewer_Of<TFormArhivHDM_Chr>(Arh_File_Kind::Chr_Day, HDM_KIND_DAY);
        QTest::newRow("calibrations") << Viewer_Of<TFormArhiv_Clb>(Arh_File_Kind::Clb);
        QTest::newRow("moisture momentary") << Viewer_Of<TFormArhMeas_Wmt>(Arh_File_Kind::Wmt_Meas);
        QTest::newRow("moisture hourly") << Viewer_Of<TFormArhivHD_Wmt>(Arh_File_Kind::Wmt_Hour, WMT_KIND_HOUR);
        QTest::newRow("moisture daily") << Viewer_Of<TFormArhivHD_Wmt>(Arh_File_Kind::Wmt_Day, WMT_KIND_DAY);
        Lists_With_Delete();
        QTest::newRow("parameter list") << Make_Form([]() -> QWidget * {
            Par_List.count = 3;
            auto *f = new TFormChrPar_List;
            f->Tab_Data = reinterpret_cast<uint8_t *>(&Par_List);
            return f;
        });
        QTest::newRow("user access") << Make_Form([]() -> QWidget * {
            std::memset(Users, ' ', sizeof Users);
            for (User_Rec &u : Users) u.level = 0;
            auto *f = new TFormChangeAccess;
            f->Tab_Data = reinterpret_cast<uint8_t *>(Users);
            return f;
        });
    }
    // The form made, shown and active, and its grid (null when it has none).
    static QAbstractItemView *Shown_Grid(const Make_Form &make, std::unique_ptr<QWidget> &f)
    {
        f.reset(make());
        f->show();
        f->activateWindow();
        return QTest::qWaitForWindowActive(f.get()) ? Grid_Of(f.get()) : nullptr;
    }

    void tab_leaves_the_grid()
    {
        QFETCH(Make_Form, make);
        std::unique_ptr<QWidget> f;
        QAbstractItemView *g = Shown_Grid(make, f);
        QVERIFY(g);
        QVERIFY(g->model()->rowCount() >= 2);
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            // From the last cell Tab would wrap to the first, from the first Shift+Tab to the last.
            const int row = key == Qt::Key_Tab ? g->model()->rowCount() - 1 : 0;
            const int col = key == Qt::Key_Tab ? g->model()->columnCount() - 1 : 0;
            g->setCurrentIndex(g->model()->index(row, col));
            g->setFocus();
            QCOMPARE(QApplication::focusWidget(), g);
            QTest::keyClick(g, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            QWidget *now = QApplication::focusWidget();
            QVERIFY2(now && now != g && !g->isAncestorOf(now) && f->isAncestorOf(now),
                     now ? qPrintable(now->metaObject()->className() + QLatin1Char(' ') + now->objectName())
                         : "no focus");
        }
    }

    void focus_shown_on_the_current_row_data() { tab_leaves_the_grid_data(); }
    void focus_shown_on_the_current_row()
    {
        QFETCH(Make_Form, make);
        std::unique_ptr<QWidget> f;
        QAbstractItemView *g = Shown_Grid(make, f);
        QVERIFY(g && g->model()->rowCount() >= 3);
        g->selectionModel()->setCurrentIndex(g->model()->index(1, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        g->setFocus(Qt::TabFocusReason);
        const QImage on = Look(g);
        for (QPushButton *b : f->findChildren<QPushButton *>())
            if (b->isVisible() && b->isEnabled()) {
                b->setFocus(Qt::TabFocusReason);
                break;
            }
        QVERIFY(!g->hasFocus());
        Check_Looks(g, on, Look(g));
        g->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(Look(g), on);
        // The frame goes with the current row, also where the selection stays.
        g->selectionModel()->setCurrentIndex(g->model()->index(2, 0), QItemSelectionModel::NoUpdate);
        QVERIFY(Framed(Look(g), Cells(g, 2)) && !Framed(Look(g), Cells(g, 1)));
    }

    // "Удалить" pressed until its own action disables it: the focus is left in the list, not
    // passed on to the next button, which may be "Принять".
    void focus_left_in_the_list_when_its_button_goes()
    {
        struct Yes final : Ques_Handler {
            uint8_t Ask(const Ques_Setup &) override { return 1; }
        } yes;
        Set_Ques_Handler(&yes);
        QFETCH(Make_Form, make);
        std::unique_ptr<QWidget> f;
        QAbstractItemView *g = Shown_Grid(make, f);
        QVERIFY(g);
        QPushButton *del = nullptr;
        for (QPushButton *b : f->findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("Удалить")) del = b;
        QVERIFY(del);
        for (int n = 0; del->isEnabled() && n < 5; ++n) {
            del->setFocus(Qt::TabFocusReason);
            del->click();
        }
        Set_Ques_Handler(nullptr);
        QVERIFY(!del->isEnabled());
        QCOMPARE(QApplication::focusWidget(), g);
    }
    void focus_left_in_the_list_when_its_button_goes_data()
    {
        QTest::addColumn<Make_Form>("make");
        Lists_With_Delete();
    }

    // More rows than fit, the current one last: selected, in sight and focused once shown; a
    // resize keeps it in sight, unless the user scrolled away from it.
    void current_row_in_sight_data()
    {
        QTest::addColumn<Make_Form>("make");
        QTest::newRow("subscribers") << Subscribers(ABONENTS_MAX);
        QTest::newRow("any list") << Make_Form([] { return new Late_List; });
    }
    void current_row_in_sight()
    {
        QFETCH(Make_Form, make);
        std::unique_ptr<QWidget> f;
        QAbstractItemView *g = Shown_Grid(make, f);
        QVERIFY(g);
        const int last = g->model()->rowCount() - 1;
        QVERIFY(g->currentIndex().row() == last && g->selectionModel()->isRowSelected(last, {}));
        QVERIFY(g->visualRect(g->currentIndex()).height() * (last + 1) > g->viewport()->height());
        QTRY_VERIFY(In_Sight(g));
        QCOMPARE(QApplication::focusWidget(), g);
        f->resize(f->width(), f->height() - 40);
        QTRY_VERIFY(In_Sight(g));
        g->scrollToTop();
        f->resize(f->width(), f->height() + 20);
        QTest::qWait(20);
        QVERIFY(!In_Sight(g));
    }

    // A row added at the end of a list longer than its view, current after the refill.
    void added_row_shown()
    {
        std::unique_ptr<QWidget> f;
        QAbstractItemView *g = Shown_Grid(Objects(OBJECTS_MAX - 1), f);
        Set_Object_Name(Obj_List.obj_name[Obj_List.obj_num], QStringLiteral("Яблоневый"));
        Obj_List.obj_index = Obj_List.obj_num++;
        static_cast<TFormObjects_List *>(f.get())->Fill_Objects_Grid();
        QVERIFY(g->currentIndex().row() == OBJECTS_MAX - 1 && In_Sight(g));
    }

    // An empty list has no row to frame: its own frame shows the focus.
    void empty_list_shows_the_focus()
    {
        std::memset(&Obj_List, 0, sizeof Obj_List);
        TFormObjects_List f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.StringGrid1->setFocus(Qt::TabFocusReason);
        const QImage on = Look(f.StringGrid1);
        f.BitBtn2->setFocus(Qt::TabFocusReason);
        const QImage off = Look(f.StringGrid1);
        int seen = 0;
        for (int x = 4; x < on.width() - 4; ++x) seen += Seen(on.pixel(x, on.height() - 1), off.pixel(x, off.height() - 1));
        QVERIFY2(seen > (on.width() - 8) * 0.9, qPrintable(QString::number(seen)));
    }

    // The hourly viewer opens with the focus in its grid, on the first record.
    void grid_focused_at_opening_shows_it()
    {
        const Arhiv_Header h = Arh_Test_Header(Arh_File_Kind::Chr_Hour, 3);
        TFormArhivHDM_Chr f(nullptr, h, Arh_Records(Arh_File_Kind::Chr_Hour, 3, true), HDM_KIND_HOUR);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTRY_COMPARE(QApplication::focusWidget(), f.StringGrid1);
        QCOMPARE(f.StringGrid1->currentIndex().row(), 0);
        const QImage on = Look(f.StringGrid1);
        f.BitBtn1->setFocus(Qt::TabFocusReason);
        Check_Looks(f.StringGrid1, on, Look(f.StringGrid1));
    }
};

QTEST_MAIN(Tst_Grid_Tab)
#include "tst_grid_tab.moc"
