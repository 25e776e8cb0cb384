// Every box whose text is stored in a code page takes only what that page holds, typed or
// pasted, so that what it shows is what the controller, the file or the printout gets.
#include "archives/forms/Objects_list.h"
#include "core/Abonents.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/forms/Abonent.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Keyfilters.h"
#include "core/forms/Userpass.h"
#include "messages/Ques_prn.h"
#include "messages/forms/Ques_prn.h"
#include "params/forms/Access.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Floupar.h"
#include "params/forms/Ident.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using Make_Dialog = std::function<QDialog *()>;
// Accepts the dialog and gives back the text as it was stored (record, file, bytes to send).
using Store = std::function<QString(QDialog &)>;
Q_DECLARE_METATYPE(Make_Dialog)
Q_DECLARE_METATYPE(Store)

namespace {
// Outside 1251 (so outside 866 too): Greek, a check mark, Chinese, a character outside the BMP,
// a control, a format character (zero-width space), 1251's one unassigned byte.
const QString Outside_1251 = QStringLiteral("Ω✓中") + QString::fromUtf8("😀") + QStringLiteral("\x01\u200B\u0098");
// In 1251 but not in 866 (Win_To_Dos gives a look-alike or "_").
const QString Outside_866 = QStringLiteral("€¦\u00A0©");
const QString Held = QStringLiteral("Юз;=[x]");

// One key per character, as a keyboard (or xdotool) sends it.
void Type(QWidget *w, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

void Paste(QLineEdit *e, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
}

QLineEdit *Box(QDialog &d, const QString &name)
{
    if (auto *c = d.findChild<QComboBox *>(name)) return c->lineEdit();
    return d.findChild<QLineEdit *>(name);
}

template <class F> Make_Dialog Make(const std::function<void(F &)> &set = {})
{
    return [set] {
        auto *f = new F;
        if (set) set(*f);
        return static_cast<QDialog *>(f);
    };
}

uint8_t Names[60];
User_Rec Users[16];
Flou_Rec Flou;
uint8_t Sou = 1;
Fon_Abonent Fon;
char Obj[51];
Arhiv_Header Header;
Chr_Par Par;
Conn_Settings_Rec Settings;
} // namespace

class Tst_Text_Pages : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        QVERIFY(QDir(dir.path()).mkpath("INI"));
        Settings.Curr_Par.Conn_Prz = 1;
        Users[0].level = 1;   // a maker with a code: the user table accepts
        std::memcpy(Users[0].code, "1   ", 4);
    }

    void boxes_take_only_what_their_page_holds_data()
    {
        QTest::addColumn<Make_Dialog>("make");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("cp866");
        QTest::addColumn<Store>("store");
        const auto names = [](bool cp866) {
            return Make<TFormContrName>([cp866](TFormContrName &f) {
                f.Tab_Data = Names;
                f.Names_866 = cp866;
            });
        };
        QTest::newRow("controller name, 866") << names(true) << "Edit1" << true << Store();
        QTest::newRow("line name, 1251") << names(false) << "Edit2" << false << Store([](QDialog &d) {
            auto &f = static_cast<TFormContrName &>(d);
            f.Edit1->setText("A");
            f.BitBtnAccept->click();
            return Field_To_Unicode(reinterpret_cast<char *>(Names) + 20, 20);
        });
        const auto access = Make<TFormAccess>([](TFormAccess &f) { f.Users = Users; });
        QTest::newRow("user names") << access << "EName1" << false << Store([](QDialog &d) {
            static_cast<TFormAccess &>(d).BitBtnAccept->click();
            return Field_To_Unicode(Users[0].name, 4);
        });
        const auto change = Make<TFormChangeAccess>([](TFormChangeAccess &f) { f.Tab_Data = reinterpret_cast<uint8_t *>(Users); });
        QTest::newRow("user name") << change << "EName" << false << Store();
        QTest::newRow("user password") << change << "EPass2" << false << Store();
        QTest::newRow("user password, all users") << Make<TFormUsPass>([](TFormUsPass &f) { f.Clear = 1; }) << "EPass1" << false << Store();
        const auto flou = [](uint8_t *sou) {
            return Make<TFormFlouPar>([sou](TFormFlouPar &f) {
                f.Tab_Data = reinterpret_cast<uint8_t *>(&Flou);
                f.Sou_Flag = sou;
            });
        };
        QTest::newRow("flow computer password") << flou(nullptr) << "EPass16" << false << Store();
        QTest::newRow("flow computer password, SOU") << flou(&Sou) << "EPass12" << false << Store();
        QTest::newRow("login password") << Make<TFormShortUsPass>() << "Edit1" << false << Store([](QDialog &d) {
            auto &f = static_cast<TFormShortUsPass &>(d);
            f.Edit4->setText("1");
            f.BitBtn1->click();
            return Field_To_Unicode(f.Password, 12);
        });
        const auto abonent = Make<TFormAbonent>([](TFormAbonent &f) { f.Fon_Rec = &Fon; });
        const auto subscriber = [](char *field) {
            return Store([field](QDialog &d) {
                auto &f = static_cast<TFormAbonent &>(d);
                f.ComboBox1->setEditText("1");
                for (QLineEdit *e : {f.Edit1, f.Edit2})
                    if (e->text().isEmpty()) e->setText("1");
                f.BitBtn4->click();
                return Abonent_Text(field, field == Fon.user_name ? 50 : 30);
            });
        };
        QTest::newRow("subscriber name") << abonent << "Edit1" << false << subscriber(Fon.user_name);
        QTest::newRow("subscriber number") << abonent << "Edit2" << false << subscriber(Fon.phone_code);
        QTest::newRow("object name") << Make<TFormObject>([](TFormObject &f) { f.Obj_Name = Obj; }) << "Edit1" << false
                                       << Store([](QDialog &d) {
                                              static_cast<TFormObject &>(d).BitBtn4->click();
                                              return Field_To_Unicode(Obj, 51);
                                          });
        const auto heading = Make<TFormQues_Prn>([](TFormQues_Prn &f) {
            f.Header = &Header;
            f.Report_Kind = 3;
        });
        QTest::newRow("print heading") << heading << "Edit1" << false << Store([](QDialog &d) {
            static_cast<TFormQues_Prn &>(d).BitBtn1->click();
            QFile f(Title_Ini_Path());
            return f.open(QIODevice::ReadOnly) ? Field_To_Unicode(f.readAll().constData(), TITLE_INI_SIZE) : QString("?");
        });
        const auto par = Make<TForm_Chr_Par>([](TForm_Chr_Par &f) { f.Tab_Data = reinterpret_cast<uint8_t *>(&Par); });
        QTest::newRow("parameter symbol") << par << "Edit_Symbol" << false << Store();
        const auto link = [] { return static_cast<QDialog *>(new TFormConn_Par(nullptr, &Settings, nullptr)); };
        QTest::newRow("modem command") << Make_Dialog(link) << "Edit5" << false << Store();
        QTest::newRow("port") << Make_Dialog(link) << "ComboBox1" << false << Store();
    }
    void boxes_take_only_what_their_page_holds()
    {
        QFETCH(Make_Dialog, make);
        QFETCH(QString, box);
        QFETCH(bool, cp866);
        QFETCH(Store, store);
        std::unique_ptr<QDialog> d(make());
        d->show();
        QLineEdit *e = Box(*d, box);
        QVERIFY(e);
        const int room = e->maxLength();
        // What a 1251 box takes and an 866 box refuses.
        const QString page = cp866 ? QString() : Outside_866;

        e->clear();
        Type(e, Held.left(2) + Outside_1251 + Outside_866 + Held.mid(2));
        const QString want = (Held.left(2) + page + Held.mid(2)).left(room);
        QCOMPARE(e->text(), want);

        e->clear();
        Paste(e, Outside_1251 + Held.left(2) + Outside_866 + Held.mid(2));
        QCOMPARE(e->text(), want);
        // What the box shows is what its dialog stores.
        if (store) QCOMPARE(store(*d), e->text());
    }

    // A paste is filtered before the box cuts it to the room left, by the key and by the menu,
    // and the caret stays after what was pasted.
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
        e.setCursorPosition(2);
        QGuiApplication::clipboard()->setText(QStringLiteral("Ω✓中😀Ж"));
        QContextMenuEvent menu_at(QContextMenuEvent::Mouse, QPoint(2, 2), e.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&e, &menu_at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *paste = nullptr;
        for (QAction *a : menu->actions())
            if (a->text().contains(QStringLiteral("Paste"))) paste = a;
        QVERIFY(paste);
        paste->trigger();
        menu->close();
        QCOMPARE(e.text(), QStringLiteral("abЖ"));

        // Text put in by other roads (a drop, an input method) is held to the page too, the
        // caret kept after what stays.
        e.setText(QStringLiteral("ab"));
        e.setCursorPosition(1);
        e.insert(QStringLiteral("€x"));
        QCOMPARE(e.text(), QStringLiteral("axb"));
        QCOMPARE(e.cursorPosition(), 2);
    }
};

QTEST_MAIN(Tst_Text_Pages)
#include "tst_text_pages.moc"
