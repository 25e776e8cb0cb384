// Every box whose text is stored in a code page takes only what that page holds, typed or
// pasted, so that what it shows is what the controller, the file or the printout gets.
#include "archives/forms/Objects_list.h"
#include "core/forms/Abonent.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Userpass.h"
#include "messages/forms/Ques_prn.h"
#include "params/forms/Access.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Floupar.h"
#include "params/forms/Ident.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {
// Outside 1251: Greek, a check mark, Chinese, a character outside the BMP, a control, a format
// character, 1251's one unassigned byte. Then what 1251 holds and 866 lacks.
const QString Outside_1251 = QStringLiteral("Ω✓中") + QString::fromUtf8("😀") + QStringLiteral("\x01\u200B\u0098");
const QString Outside_866 = QStringLiteral("€¦\u00A0©");
const QString Held = QStringLiteral("Юз;=[x]");

void Paste(QLineEdit *e, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
}

// Types, then pastes, what the page holds among what it does not: empty when the box keeps just
// what the page holds (as much as fits), else what it kept.
QString Wrong(QLineEdit *e, bool cp866)
{
    const QString want = (Held.left(2) + (cp866 ? QString() : Outside_866) + Held.mid(2)).left(e->maxLength());
    const QString typed = Held.left(2) + Outside_1251 + Outside_866 + Held.mid(2);
    e->clear();   // one key per character, as a keyboard sends it
    for (qsizetype i = 0, n = 1; i < typed.size(); i += n) {
        n = typed.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, typed.mid(i, n), Qt::NoModifier);
    }
    if (e->text() != want) return "typed: " + e->text();
    e->clear();
    Paste(e, Outside_1251 + Held.left(2) + Outside_866 + Held.mid(2));
    return e->text() == want ? QString() : "pasted: " + e->text();
}
} // namespace

class Tst_Text_Pages : public QObject {
    Q_OBJECT

private slots:
    void boxes_take_only_what_their_page_holds()
    {
        // Each dialog on no record: the boxes are there all the same.
        TFormContrName names;
        names.Names_866 = true;
        TFormAccess access;
        User_Rec users[USER_COUNT] = {};   // not the image's table: its directory entry is packed
        TFormChangeAccess change;
        change.Tab_Data = reinterpret_cast<uint8_t *>(users);
        TFormFlouPar flou, sou;
        uint8_t sou_flag = 1;
        sou.Sou_Flag = &sou_flag;
        TFormShortUsPass login;
        TFormAbonent abonent;
        TFormObject object;
        TFormQues_Prn heading;
        TForm_Chr_Par par;
        Conn_Settings_Rec settings{};
        TFormConn_Par link(nullptr, &settings, nullptr);
        const QList<std::pair<QDialog *, QStringList>> boxes = {
            {&names, {"Edit1", "Edit2"}}, {&access, {"EName1"}}, {&change, {"EName", "EPass2"}},
            {&flou, {"EPass16"}}, {&sou, {"EPass12"}}, {&login, {"Edit1"}}, {&abonent, {"Edit1", "Edit2"}},
            {&object, {"Edit1"}}, {&heading, {"Edit1"}}, {&par, {"Edit_Symbol"}}, {&link, {"Edit5", "ComboBox1"}}};
        for (const auto &[d, list] : boxes) {
            d->show();
            for (const QString &box : list) {
                auto *combo = d->findChild<QComboBox *>(box);
                QLineEdit *e = combo ? combo->lineEdit() : d->findChild<QLineEdit *>(box);
                const QString wrong = e ? Wrong(e, d == &names) : QStringLiteral("no box");
                QVERIFY2(wrong.isEmpty(), qPrintable(QString(d->metaObject()->className()) + "::" + box + " " + wrong));
            }
        }
    }

    // A paste, by key or menu, is filtered before the box cuts it to the room left; text put in
    // by other roads (a drop, an input method) too. The caret stays after what was put in.
    void paste_fills_the_room_with_what_is_held()
    {
        QLineEdit e;
        e.setMaxLength(6);
        Install_Page_Filter(&e, true);
        e.show();
        e.setText(QStringLiteral("abcd"));
        e.setCursorPosition(2);
        Paste(&e, Outside_1251 + QStringLiteral("€ЮЯ"));
        QCOMPARE(e.text(), QStringLiteral("abЮЯcd"));
        QCOMPARE(e.cursorPosition(), 4);

        e.setText(QStringLiteral("ab"));
        e.setCursorPosition(1);
        e.insert(QStringLiteral("€x"));
        QCOMPARE(e.text(), QStringLiteral("axb"));
        QCOMPARE(e.cursorPosition(), 2);

        QGuiApplication::clipboard()->setText(QString::fromUtf8("Ω✓中😀Ж"));
        QContextMenuEvent at(QContextMenuEvent::Mouse, QPoint(2, 2), e.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&e, &at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *paste = nullptr;
        for (QAction *a : menu->actions())
            if (a->text().contains(QStringLiteral("Paste"))) paste = a;
        QVERIFY(paste);
        paste->trigger();
        menu->close();
        QCOMPARE(e.text(), QStringLiteral("axЖb"));
    }
};

QTEST_MAIN(Tst_Text_Pages)
#include "tst_text_pages.moc"
