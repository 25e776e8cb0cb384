// The keyboard in the parameter dialogs: where the focus starts and where Tab takes it.
#include "core/Ques.h"
#include "params/Ident_Tab.h"
#include "params/forms/Access.h"
#include "params/forms/Floulist.h"
#include "params/forms/Ident.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"
#include "params/forms/Syspar.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>
#include <cstring>
#include <functional>
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

using Maker = std::function<std::unique_ptr<TParam_Dialog>()>;

// Bytes the dialogs are shown on; they live as long as the test.
uint8_t Sys[12] = {3, 201, 3, 10, 201, 4, 9, 1, 0, 1, 0, 1};
uint8_t Vich[6] = {2, 11, 5, 20, 3, 2};
uint8_t Ident[IDENT_LEN];
User_Rec Users[USER_COUNT];
Flou_Rec Flou[MAX_FLOU];

QString Focus_Name()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("<none>");
}

} // namespace

Q_DECLARE_METATYPE(Maker)

class Tst_Param_Keyboard : public QObject {
    Q_OBJECT
    Ques_Log ques;

private slots:
    void initTestCase()
    {
        Set_Ques_Handler(&ques);
        for (User_Rec &u : Users) std::memset(&u, ' ', sizeof u), u.level = 0, u.flag = 0;
        Users[0].level = 1;
        std::memcpy(Users[0].name, "ADM ", 4);
        std::memcpy(Users[0].code, "1234", 4);
    }
    void init() { ques.asked.clear(); }

    void focus_starts_in_the_first_field_and_tab_follows_the_layout_data()
    {
        QTest::addColumn<Maker>("make");
        QTest::addColumn<QStringList>("order");   // from the first focus on, Tab after Tab
        QTest::newRow("user password") << Maker([] {
            auto f = std::make_unique<TFormUsPass>();
            std::memcpy(f->Pass, "secret      ", 12);
            std::memcpy(f->Code, "12  ", 4);
            return f;
        }) << QStringList{"EPass1", "EPass2", "ECode1", "ECode2", "BitBtnAccept", "BitBtnCancel", "EPass1"};
        QTest::newRow("one user") << Maker([] {
            auto f = std::make_unique<TFormChangeAccess>();
            f->Tab_Data = reinterpret_cast<uint8_t *>(Users);
            f->Dev_Write = 1;
            return f;
        }) << QStringList{"LBUsers", "EName", "CBLevel", "EPass1", "EPass2", "ECode1", "ECode2", "BitBtnWrite",
                          "BitBtnCancel", "LBUsers"};
        // The two change rules stand above the contract hour; hidden and disabled controls
        // are passed over.
        QTest::newRow("system parameters") << Maker([] {
            auto f = std::make_unique<TFormSys>();
            f->Tab_Data = Sys;
            return f;
        }) << QStringList{"ComboBox8",  "ComboBox7",  "ComboBox6", "ComboBox10", "ComboBox11",
                          "ComboBox14", "ComboBox13", "ComboBox12", "ComboBox16", "ComboBox17",
                          "ComboBox1",  "CheckBox2",  "CheckBox3", "BitBtnAccept", "BitBtnCancel", "ComboBox8"};
        // In a radio group Tab stops on the checked button.
        QTest::newRow("radio group") << Maker([] {
            auto f = std::make_unique<TFormConVich>();
            f->Tab_Data = Vich;
            return f;
        }) << QStringList{"CBCount", "CBRate", "CBFails", "CBTimeout", "EPream", "rb3", "BitBtnAccept", "BitBtnCancel"};
        // A grid lets Tab go on to the buttons under it.
        QTest::newRow("grid") << Maker([] {
            auto f = std::make_unique<TFormFlouList>();
            f->Tab_Data = reinterpret_cast<uint8_t *>(Flou);
            f->Count = 2;
            return f;
        }) << QStringList{"StringGrid1", "BtnChange", "BtnAdd", "BtnDelete", "BitBtnAccept", "BitBtnCancel"};
        QTest::newRow("nothing to edit") << Maker([] {
            auto f = std::make_unique<TFormIdent>();
            f->Tab_Data = Ident;
            return f;
        }) << QStringList{"BitBtnCancel"};
    }
    void focus_starts_in_the_first_field_and_tab_follows_the_layout()
    {
        QFETCH(Maker, make);
        QFETCH(QStringList, order);
        const std::unique_ptr<TParam_Dialog> d = make();
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        // The focus frame shows from the start, as after a Tab.
        QVERIFY(d->testAttribute(Qt::WA_KeyboardFocusChange));
        QStringList seen{Focus_Name()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << Focus_Name();
        }
        QCOMPARE(seen, order);
    }

    void typed_text_goes_into_the_first_box()
    {
        // The password form opens on its own values: typing replaces the password, Enter
        // moves on, and nothing is refused on the way.
        TFormUsPass f;
        std::memcpy(f.Pass, "secret      ", 12);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClicks(QApplication::focusWidget(), "new");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.EPass1->text(), QString("new"));
        QCOMPARE(Focus_Name(), QString("EPass2"));
        QVERIFY(ques.asked.isEmpty());
        QVERIFY(f.isVisible());
    }

    // Enter in a set-point box keeps its text as typed; leaving the box writes it in its row's form.
    void set_point_enter_keeps_the_text()
    {
        float lows[MAX_GAS_PARAMS] = {3.438f, 95.0f};
        TFormLimits f;
        f.Kind = 1;   // 3 decimals on rows 1 and 2
        f.Par_Count = 2;
        f.Tab_Data = reinterpret_cast<uint8_t *>(lows);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QLineEdit *e = f.Rows[0].ev;
        e->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(e, "3.5");
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(e->text(), QStringLiteral("3.5"));
        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(e->text(), QStringLiteral("3.500"));
    }
};

QTEST_MAIN(Tst_Param_Keyboard)
#include "tst_param_keyboard.moc"
