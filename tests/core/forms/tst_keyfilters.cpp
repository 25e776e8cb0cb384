#include "core/forms/Keyfilters.h"

#include "archives/forms/Arhiv_Clb_Form.h"
#include "core/forms/Abonent.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Connect.h"
#include "messages/forms/Period.h"
#include "params/forms/Floupar.h"
#include "params/forms/Links.h"
#include "params/forms/Param_Dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

using Make_Dialog = std::function<QDialog *()>;
Q_DECLARE_METATYPE(Make_Dialog)

class Tst_Keyfilters : public QObject {
    Q_OBJECT
    static inline Conn_Settings_Rec Settings{};
private slots:
    void initTestCase() { Install_Enter_Presses_Button(); }

    // Enter presses the focused button, not the dialog's first or default one.
    void enter_presses_the_focused_button_data()
    {
        QTest::addColumn<Make_Dialog>("make");
        QTest::addColumn<QString>("button");
        QTest::newRow("parameter dialog") << Make_Dialog([] { return new TParam_Dialog(nullptr); })
                                          << "BitBtnCancel";
        QTest::newRow("subscriber") << Make_Dialog([] { return new TFormAbonent; }) << "BitBtn5";
        QTest::newRow("period") << Make_Dialog([] { return new TFormPeriod; }) << "Btn_Exit";
        QTest::newRow("viewer") << Make_Dialog([] { return new TFormArhiv_Clb(nullptr, Arhiv_Header{}, {}); })
                                << "BitBtn2";
    }
    void enter_presses_the_focused_button()
    {
        QFETCH(Make_Dialog, make);
        QFETCH(QString, button);
        std::unique_ptr<QDialog> d(make());
        // A button whose press opens no window of its own stays quiet: count the presses only.
        auto *target = d->findChild<QPushButton *>(button);
        QVERIFY(target);
        int pressed = 0, others = 0;
        for (QPushButton *b : d->findChildren<QPushButton *>()) {
            QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
            connect(b, &QPushButton::clicked, this, [&, b] { ++(b == target ? pressed : others); });
        }
        d->show();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed, 2);
        QCOMPARE(others, 0);
    }

    void integer_edit_takes_digits_only()
    {
        QLineEdit e;
        Install_Int_Filter(&e);
        QTest::keyClicks(&e, "12a%'-3.4");
        QCOMPARE(e.text(), QString("1234"));
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(e.text(), QString("123"));
        // Arrow keys still move the caret.
        QTest::keyClick(&e, Qt::Key_Left);
        QTest::keyClick(&e, Qt::Key_Left);
        QTest::keyClicks(&e, "9");
        QCOMPARE(e.text(), QString("1923"));
        // Pasted or inserted text is held to the same rule.
        e.insert("5x");
        QCOMPARE(e.text(), QString("1923"));
        e.insert("56");
        QCOMPARE(e.text(), QString("195623"));
        QVERIFY(e.hasAcceptableInput());
        e.clear();
        QVERIFY(e.hasAcceptableInput());   // empty fields are reported by the dialogs
    }

    void integer_combo()
    {
        QComboBox c;
        c.setEditable(true);
        c.addItems({"1", "2"});
        Install_Int_Filter(&c);
        c.lineEdit()->clear();
        QTest::keyClicks(c.lineEdit(), "2x5'%");
        QCOMPARE(c.currentText(), QString("25"));

        QComboBox fixed;   // a drop-down list has no text to filter
        Install_Int_Filter(&fixed);
        QVERIFY(fixed.validator() == nullptr);
        Install_Int_Filter(static_cast<QComboBox *>(nullptr));
        Install_Int_Filter(static_cast<QLineEdit *>(nullptr));
    }

    // Every editable list of the program keeps what was typed: with "40" listed before "4",
    // typing "4" still gives "4".
    void typed_lists_keep_the_typed_text_data()
    {
        QTest::addColumn<Make_Dialog>("make");
        QTest::addColumn<int>("lists");
        QTest::newRow("subscriber") << Make_Dialog([] { return new TFormAbonent; }) << 1;
        QTest::newRow("period") << Make_Dialog([] { return new TFormPeriod; }) << 6;
        QTest::newRow("connect") << Make_Dialog([] { return new TFormConnect; }) << 1;
        QTest::newRow("link settings") << Make_Dialog([] { return new TFormConn_Par(nullptr, &Settings, nullptr); })
                                       << 1;
        QTest::newRow("flow computer") << Make_Dialog([] { return new TFormFlouPar; }) << 1;
        QTest::newRow("moisture meter link") << Make_Dialog([] { return new TFormConWMT; }) << 2;
    }
    void typed_lists_keep_the_typed_text()
    {
        QFETCH(Make_Dialog, make);
        QFETCH(int, lists);
        std::unique_ptr<QDialog> d(make());
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        int seen = 0;
        for (QComboBox *c : d->findChildren<QComboBox *>()) {
            if (!c->isEditable()) continue;
            ++seen;
            for (QWidget *w = c; w && w != d.get(); w = w->parentWidget()) w->setEnabled(true);
            c->insertItem(0, QStringLiteral("40"));
            const int items = c->count();
            c->lineEdit()->clear();
            c->lineEdit()->setFocus();
            QTest::keyClicks(c->lineEdit(), "4");
            QCOMPARE(c->currentText(), QString("4"));
            QCOMPARE(c->count(), items);
        }
        QCOMPARE(seen, lists);
    }

    void float_edit_with_selection()
    {
        QLineEdit e;
        Install_Float_Filter(&e);
        e.setText("1.5");
        // Typing over a selection is judged without the selected text.
        e.selectAll();
        QTest::keyClicks(&e, ".");
        QCOMPARE(e.text(), QString("."));
        e.setText("2.75");
        e.setSelection(1, 2);   // ".7"
        QTest::keyClicks(&e, ",");
        QCOMPARE(e.text(), QString("2.5"));
        // Shortcuts pass: select all with Ctrl+A, then replace.
        QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(e.hasSelectedText());
        QTest::keyClicks(&e, "7");
        QCOMPARE(e.text(), QString("7"));
    }
};

QTEST_MAIN(Tst_Keyfilters)
#include "tst_keyfilters.moc"
