#include "core/Codepage.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Text_Fit.h"
#include "params/Chr_Par.h"
#include "params/Config.h"
#include "params/Ident_Tab.h"
#include "params/forms/Chr_Par_Form.h"
#include "params/forms/Const_Par.h"
#include "params/forms/Ident.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>
#include <cstring>

namespace {

// Records every message and answers "Нет".
struct Ques_Log : Ques_Handler {
    QList<Ques_Setup> asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q;
        return 0;
    }
};

Chr_Par Make_Par(const char *name_1251, int type, int unit, float lo, float hi, int dec)
{
    Chr_Par p{};
    std::memcpy(p.name, name_1251, std::strlen(name_1251));
    std::memcpy(p.symbol, "N2", 2);
    p.type = uint8_t(type);
    p.unit = uint8_t(unit);
    p.min = lo;
    p.max = hi;
    p.reg = 7001;
    p.decimals = uint8_t(dec);
    p.reserved = 0x5A;
    return p;
}

QByteArray Raw(const void *p, int n)
{
    return QByteArray(static_cast<const char *>(p), n);
}

QByteArray Padded(const char *s)
{
    return QByteArray(s) + QByteArray(20 - int(std::strlen(s)), '\0');
}

float Float_At(const uint8_t *p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

class Tst_Param_Dialogs : public QObject {
    Q_OBJECT
    Ques_Log ques;

private slots:
    void initTestCase()
    {
        Set_Ques_Handler(&ques);
        // As in the program: every dialog at least as wide as its caption.
        Install_Caption_Fit();
    }
    void init() { ques.asked.clear(); }

    void names_refused_then_stored_clearing_line_2()
    {
        uint8_t t5[NAMES_LEN];
        std::memset(t5, 0, sizeof t5);
        Set_Name(reinterpret_cast<char *>(t5), QStringLiteral("  ГРС Северная "));
        Set_Name(reinterpret_cast<char *>(t5 + 20), QStringLiteral("Нитка 1"));
        const QByteArray line2 = QByteArray("Line two\0\x01\x02\x03zzzzzzz", 20);
        std::memcpy(t5 + 40, line2.constData(), 20);
        const QByteArray before = Raw(t5, NAMES_LEN);

        TFormContrName f;
        f.Tab_Data = t5;
        f.Dev_Write = 1;
        f.show();
        f.Edit2->setText(QString());
        f.BitBtnWrite->click();
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Введены не все параметры"));
        QVERIFY(f.isVisible());
        QCOMPARE(f.Accepted, uint8_t(0));
        QCOMPARE(Raw(t5, NAMES_LEN), before);

        const QString twenty = QStringLiteral("Контроллер ГРС-12345");
        f.Edit1->setText(twenty);
        f.Edit2->setText(QStringLiteral("Нитка Юг"));
        f.BitBtnWrite->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        // Twenty characters: no terminator; line 1 zero-padded; line 2, which has no edit, empty.
        QCOMPARE(Raw(t5, 20), Unicode_To_Cp1251(twenty));
        QCOMPARE(Raw(t5 + 20, 20), Unicode_To_Cp1251(QStringLiteral("Нитка Юг")) + QByteArray(12, '\0'));
        QCOMPARE(Raw(t5 + 40, 20), QByteArray(20, '\0'));
    }

    void names_accepted_unchanged_keep_their_bytes()
    {
        // Names padded with blanks, as some controllers keep them: accepting without a change
        // must not turn the padding into zeros (that would be a write of unchanged names).
        // The name of line 2 has no edit and is cleared.
        uint8_t t5[NAMES_LEN];
        std::memset(t5, ' ', sizeof t5);
        std::memcpy(t5, "Station", 7);
        std::memcpy(t5 + 20, "Line 1", 6);
        const QByteArray before = Raw(t5, NAMES_LEN);
        TFormContrName f;
        f.Tab_Data = t5;
        f.Dev_Write = 0;
        f.show();
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(Raw(t5, 40), before.left(40));
        QCOMPARE(Raw(t5 + 40, 20), QByteArray(20, '\0'));

        // One name changed: that field is rewritten zero-padded, the other keeps its bytes.
        TFormContrName g;
        g.Tab_Data = t5;
        g.show();
        g.Edit2->setText("Line 2");
        g.BitBtnAccept->click();
        QCOMPARE(Raw(t5, 20), before.left(20));
        QCOMPARE(Raw(t5 + 20, 20), Padded("Line 2"));
        QCOMPARE(Raw(t5 + 40, 20), QByteArray(20, '\0'));
    }

    void chr_par_refusals_keep_the_record_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("unit");
        QTest::addColumn<float>("lo");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("line1");
        const QString all = "Введены не все параметры", range = "Неверно задан диапазон измерений",
                      reg = "Адрес регистра вне допустимого диапазона";
        QTest::newRow("unit not of the type") << 0 << 8 << 0.f << "" << "" << all;
        QTest::newRow("codes beyond the lists") << 9 << 200 << 0.f << "" << "" << all;
        QTest::newRow("empty range") << 0 << 1 << 100.f << "" << "" << range;
        QTest::newRow("maximum no number") << 0 << 1 << 0.f << "1e" << "" << "";
        QTest::newRow("infinity") << 0 << 1 << 0.f << "inf" << "" << "";
        QTest::newRow("beyond a float") << 0 << 1 << 0.f << "1e39" << "" << "";
        QTest::newRow("not a number") << 0 << 1 << 0.f << "nan" << "" << "";
        QTest::newRow("register above 16 bits") << 0 << 1 << 0.f << "" << "70000" << reg;
        QTest::newRow("register 65536") << 0 << 1 << 0.f << "" << "65536" << reg;
        QTest::newRow("register no number") << 0 << 1 << 0.f << "" << "12a" << reg;
    }
    void chr_par_refusals_keep_the_record()
    {
        QFETCH(int, type);
        QFETCH(int, unit);
        QFETCH(float, lo);
        QFETCH(QString, max);
        QFETCH(QString, reg);
        QFETCH(QString, line1);
        Chr_Par p = Make_Par("X", type, unit, lo, 100, 2);
        const QByteArray before = Raw(&p, 64);
        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        if (!max.isEmpty()) {
            f.Edit_Max->setText(max);
            emit f.Edit_Max->editingFinished();
        }
        if (!reg.isEmpty()) f.Edit_Reg->setText(reg);
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(0));
        QVERIFY(f.isVisible());
        QCOMPARE(ques.asked.size(), 1);
        if (!line1.isEmpty()) QCOMPARE(ques.asked[0].line1, line1);
        QCOMPARE(Raw(&p, 64), before);
    }

    void chr_par_stores_what_was_typed()
    {
        Chr_Par p = Make_Par("Метан", 0, 8, 5, 50, 2);
        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        f.CB_Unit->setCurrentIndex(0);
        f.Edit_Max->setText("100");
        f.Edit_Symbol->setText("CH4");
        f.Edit_Reg->setText("65535");
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(int(p.unit), 1);
        QCOMPARE(uint16_t(p.reg), uint16_t(65535));
        QCOMPARE(float(p.max), 100.0f);
        QCOMPARE(float(p.min), 5.0f);
        QCOMPARE(Raw(p.symbol, 10), QByteArray("CH4", 3) + QByteArray(7, '\0'));
        QCOMPARE(int(p.reserved), 0x5A);
    }

    // The range group's fields start and end where the fields above them do.
    void chr_par_range_fields_line_up()
    {
        Chr_Par p = Make_Par("Метан", 3, 4, 5, 50, 2);
        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        QCoreApplication::processEvents();
        const auto span = [&f](const QWidget *c) { return std::pair(c->mapTo(&f, QPoint(0, 0)).x(), c->width()); };
        for (const QWidget *c : std::initializer_list<const QWidget *>{f.Edit_Name, f.CB_Type, f.CB_Unit, f.Edit_Reg,
                                                                        f.CB_Dec, f.Edit_Min, f.Edit_Max})
            QCOMPARE(span(c), span(f.Edit_Symbol));
    }

    // Every name a new configuration holds, and a name of 25 wide capitals, shows whole from
    // its first letter (an edit too narrow scrolls to the end of its text).
    void chr_par_name_shown_whole()
    {
        Cnf_Rec rec;
        New_Cnf(rec);
        QList<Chr_Par> pars(rec.t1, rec.t1 + 16);
        pars << Make_Par("", 0, 1, 0, 100, 2);
        const QByteArray wide = Unicode_To_Cp1251(QString(CHR_PAR_NAME_SHOWN, QChar(0x0416)));   // Ж
        std::memcpy(pars.last().name, wide.constData(), size_t(wide.size()));
        for (Chr_Par p : pars) {
            TForm_Chr_Par f;
            f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
            f.show();
            QLineEdit *e = f.Edit_Name;
            const QString name = e->text();
            QVERIFY(!name.isEmpty());
            QVERIFY(e->mapTo(&f, QPoint(e->width(), 0)).x() < f.width());
            // The cursor at the text's start, then at its end, where the dialog leaves it.
            e->setCursorPosition(0);
            e->grab();
            const int start = e->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
            e->setCursorPosition(int(name.size()));
            e->grab();
            const int end = e->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
            QVERIFY2(end - start >= e->fontMetrics().horizontalAdvance(name) - 1, qPrintable(name));
        }
    }

    void chr_par_keeps_what_was_not_typed()
    {
        // A 30-character name is shown cut to 25 but reaches the record whole.
        const char *name30 = "Молярная доля метана в газе ЮЮ";
        QCOMPARE(int(std::strlen(name30)), 30 + 25);   // UTF-8 source; stored below in 1251
        Chr_Par p = Make_Par("", 0, 1, 0.123456f, 99.98765f, 2);
        const QByteArray n1251 = Unicode_To_Cp1251(QString::fromUtf8(name30));
        QCOMPARE(n1251.size(), 30);
        std::memcpy(p.name, n1251.constData(), 30);
        p.name[35] = 'Z';   // stale byte after the terminator stays too
        const QByteArray name_before = Raw(p.name, 40);

        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        QCOMPARE(f.Edit_Name->text(), QString::fromUtf8(name30).left(25));
        QVERIFY(!f.Edit_Name->isEnabled());
        QCOMPARE(f.Edit_Min->text(), QString("0.12"));
        QCOMPARE(f.Edit_Max->text(), QString("99.99"));
        f.Edit_Reg->setText("7003");
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(Raw(p.name, 40), name_before);
        // Range texts left as shown keep the stored values, not their rounded texts.
        QCOMPARE(float(p.min), 0.123456f);
        QCOMPARE(float(p.max), 99.98765f);
        QCOMPARE(uint16_t(p.reg), uint16_t(7003));
    }

    void chr_par_range_refused_then_put_back()
    {
        // A typed maximum refused by the range check and then typed back as it was shown is
        // read from its text again, not from the refused value.
        Chr_Par p = Make_Par("Этан", 0, 1, 0.123456f, 99.98765f, 2);
        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        f.Edit_Max->setText("-1");
        f.BitBtnAccept->click();
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].line1, QString("Неверно задан диапазон измерений"));
        f.Edit_Max->setText("99.99");
        f.BitBtnAccept->click();
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(float(p.max), 99.99f);
        QCOMPARE(float(p.min), 0.123456f);
    }

    void chr_par_long_range_texts_kept()
    {
        // A range text longer than the ten typed characters is shown whole; accepting it
        // untouched keeps the value (a cut text would read as another number).
        Chr_Par p = Make_Par("Давление", 2, 9, -2.5f, 2199023255552.0f, 7);   // 2^41: exact in a float
        TForm_Chr_Par f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&p);
        f.show();
        QCOMPARE(f.Edit_Min->text(), QString("-2.5000000"));
        QCOMPARE(f.Edit_Max->text(), QString("2.19902325555E+12"));
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(float(p.max), 2199023255552.0f);
        QCOMPARE(float(p.min), -2.5f);
        QVERIFY(ques.asked.isEmpty());
    }

    void list_edits_a_record()
    {
        Chr_Par_List l{};
        l.count = 3;
        for (int i = 0; i < 3; ++i) l.par[i] = Make_Par("Азот", 2, 9, 0, 10, 1);
        TFormChrPar_List f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&l);
        f.show();
        f.Grid->setCurrentCell(1, 1);
        QCOMPARE(f.Sel_Row, 1);

        Scripted_Dialogs run([](QDialog &d) {
            auto *p = qobject_cast<TForm_Chr_Par *>(&d);
            QVERIFY(p);
            p->CB_Unit->setCurrentIndex(2);
            p->BitBtnAccept->click();
        });
        Dialog_Runner *old = Set_Dialog_Runner(&run);
        f.BitBtnEdit->click();
        Set_Dialog_Runner(old);
        QCOMPARE(run.Count, 1);
        QCOMPARE(f.Grid->item(1, 3)->text(), QString(" МПа"));
        QCOMPARE(int(l.par[1].unit), 9);   // the caller's block waits for "Принять"
        f.BitBtnAccept->click();
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(int(l.par[1].unit), 11);
        QCOMPARE(int(l.par[0].unit), 9);
    }

    // The headings sit above the rows, whole, and stay there however far the rows scroll.
    void list_headings_stay_above_the_rows()
    {
        Chr_Par_List l{};
        l.count = 20;
        for (int i = 0; i < 20; ++i) l.par[i] = Make_Par("Азот", 2, 9, 0, 10, 1);
        TFormChrPar_List f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&l);
        f.resize(900, 300);
        f.show();
        QCOMPARE(f.Grid->rowCount(), 20);
        QCOMPARE(f.Grid->item(0, 0)->text(), QString("  1"));
        f.Grid->scrollToBottom();
        QVERIFY(f.Grid->rowAt(0) > 0);
        const QHeaderView *h = f.Grid->horizontalHeader();
        QVERIFY(h->isVisible());
        QCOMPARE(h->model()->headerData(2, Qt::Horizontal).toString(), QString("Условное\nобознач."));
        const QFontMetrics fm(h->font());
        for (int c = 0; c < h->count(); ++c)
            for (const QString &line : h->model()->headerData(c, Qt::Horizontal).toString().split('\n'))
                QVERIFY2(fm.horizontalAdvance(line) < h->sectionSize(c), qPrintable(line));
    }

    // The list ends just after its last column: all of it shown, no empty band beside it.
    void list_ends_after_its_last_column_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("few rows") << 3;
        QTest::newRow("rows to scroll") << 20;
    }
    void list_ends_after_its_last_column()
    {
        QFETCH(int, count);
        Chr_Par_List l{};
        l.count = uint8_t(count);
        for (int i = 0; i < count; ++i) l.par[i] = Make_Par("\xC0\xE7\xEE\xF2", 2, 9, -1000, 100000, 3);
        TFormChrPar_List f;
        f.Tab_Data = reinterpret_cast<uint8_t *>(&l);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QHeaderView *h = f.Grid->horizontalHeader();
        QCOMPARE(f.Grid->horizontalScrollBar()->maximum(), 0);
        const int right = f.Grid->viewport()->mapTo(&f, QPoint(h->length(), 0)).x();
        const QScrollBar *bar = f.Grid->verticalScrollBar();
        QCOMPARE(bar->isVisible(), count == 20);
        const int room = f.layout()->contentsMargins().right() + f.Grid->frameWidth() + (bar->isVisible() ? bar->width() : 0);
        QVERIFY2(f.width() - right <= room + 1, qPrintable(QString("%1 px beside the last column").arg(f.width() - right)));
    }

    void constants_rows_and_checks()
    {
        Chr_Par t1[MAX_GAS_PARAMS] = {};
        t1[0] = Make_Par("\xC0\xE7\xEE\xF2", 0, 1, 0, 10, 3);   // "Азот" in 1251
        t1[1] = Make_Par("Methane  ", 0, 1, 0, 100, 3);   // blanks are part of the name
        t1[2] = Make_Par("CO2", 0, 1, 0, 10, 3);
        uint8_t block[CONST_BLOCK_LEN] = {};
        const float vals[3] = {1.23456789f, 2.5f, 7.0f};
        std::memcpy(block + 20, vals, sizeof vals);
        block[2] = 1;
        block[5] = 0x77;   // beyond the count: never touched
        const QByteArray before = Raw(block, CONST_BLOCK_LEN);

        TFormConst_Par f;
        f.Tab_Data = block;
        f.Par_Count = 3;
        f.Chr_Tab = reinterpret_cast<const uint8_t *>(t1);
        f.Dev_Write = 1;
        f.show();
        auto *ev1 = f.findChild<QLineEdit *>("ev1");
        auto *ev2 = f.findChild<QLineEdit *>("ev2");
        auto *cb2 = f.findChild<QCheckBox *>("cb2");
        auto *cb3 = f.findChild<QCheckBox *>("cb3");
        QVERIFY(ev1 && ev2 && cb2 && cb3);
        QCOMPARE(ev1->text(), QString("1.2346"));
        QVERIFY(cb3->isChecked());
        QVERIFY(!cb2->isChecked());
        // A row put on a constant without a value is refused with its name.
        cb2->setChecked(true);
        ev2->setText(QString());
        f.BitBtnWrite->click();
        QCOMPARE(ques.asked.size(), 1);
        QCOMPARE(ques.asked[0].kind, 2u);
        QCOMPARE(ques.asked[0].line1, QString("Methane  "));
        QCOMPARE(ques.asked[0].line2, QString("Не введено значение константы."));
        QVERIFY(f.isVisible());
        QCOMPARE(Raw(block, CONST_BLOCK_LEN), before);

        // A text that is no number; "1,500" pasted with a comma is no thousand and a half.
        ev2->setText("-");
        f.BitBtnWrite->click();
        QCOMPARE(ques.asked.size(), 2);
        QCOMPARE(Raw(block, CONST_BLOCK_LEN), before);
        ev2->setText("1,500");
        f.BitBtnWrite->click();
        QCOMPARE(ques.asked.size(), 3);
        QCOMPARE(ques.asked.last().line1, QString("\"1,500\" не является правильным числом"));
        QCOMPARE(ques.asked.last().line2, QString("Methane  "));
        QCOMPARE(Raw(block, CONST_BLOCK_LEN), before);

        // Unticked with an empty edit keeps the old constant; an untouched edit keeps the
        // exact value; a typed one is stored.
        cb2->setChecked(false);
        ev2->setText(QString());
        f.findChild<QLineEdit *>("ev3")->setText("-12.75");
        f.BitBtnWrite->click();
        QCOMPARE(ques.asked.size(), 3);
        QCOMPARE(f.Accepted, uint8_t(1));
        QCOMPARE(Float_At(block + 20), 1.23456789f);
        QCOMPARE(Float_At(block + 24), 2.5f);
        QCOMPARE(Float_At(block + 28), -12.75f);
        QCOMPARE(int(block[1]), 0);
        QCOMPARE(int(block[2]), 1);
        QCOMPARE(int(block[5]), 0x77);
    }
};

QTEST_MAIN(Tst_Param_Dialogs)
#include "tst_param_dialogs.moc"
