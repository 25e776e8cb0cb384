// Report bands and the printed message lists as data: how rows divide into pages, what the
// title, tables and footer carry, and where the layout puts each band on each sheet.
#include "messages/Repklass.h"

#include <QtTest>
#include <cstring>

namespace {

Arhiv_Header header()
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, "ALA", 3);
    std::memcpy(h.contr_name, "  Uzel 5            ", 20);
    h.contr_adr = 12;
    h.contr_type = 16;
    h.made = Date6{26, 4, 15, 9, 8, 7};
    h.period_start = Date6{26, 3, 1, 1, 2, 3};
    h.period_end = Date6{26, 4, 2, 23, 59, 58};
    return h;
}

QList<QStringList> rows(int n)
{
    QList<QStringList> r;
    for (int i = 0; i < n; ++i) {
        QStringList row;
        for (int c = 1; c <= 7; ++c) row << QStringLiteral("r%1c%2").arg(i).arg(c);
        r << row;
    }
    return r;
}

QStringList texts(const Rep_Band &b)
{
    QStringList t;
    for (const Rep_Cell &c : b.cells) t << c.lines;
    return t;
}

const Rep_Cell *cell_with(const Rep_Band &b, const QString &text)
{
    for (const Rep_Cell &c : b.cells)
        if (c.lines.contains(text)) return &c;
    return nullptr;
}

// The seven memo cells of a table band: the cells at the memo top, in column order.
QList<const Rep_Cell *> memos(const Rep_Band &b)
{
    QList<const Rep_Cell *> m;
    for (const Rep_Cell &c : b.cells)
        if (c.top == 63 && c.frame == REP_FRAME_NONE) m << &c;
    return m;
}

} // namespace

class tst_Repklass : public QObject {
    Q_OBJECT
private slots:
    void paginate_data();
    void paginate();
    void reportPagesFollowPagination_data();
    void reportPagesFollowPagination();
    void firstAndSecondTable();
    void rowsPrintedAsGiven();
    void titleAndPageBands();
    void operatorTable();
    void layoutPlacesBands();
    void titleBandForOtherReports();
};

void tst_Repklass::paginate_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("ala empty") << 3 << 0 << QList<int>{0};
    QTest::newRow("ala 1") << 3 << 1 << QList<int>{1};
    QTest::newRow("ala 58") << 3 << 58 << QList<int>{58};
    QTest::newRow("ala 59") << 3 << 59 << QList<int>{58, 1};
    QTest::newRow("ala 123") << 3 << 123 << QList<int>{58, 65};
    QTest::newRow("ala 124") << 3 << 124 << QList<int>{58, 65, 1};
    QTest::newRow("aud 57") << 4 << 57 << QList<int>{57};
    QTest::newRow("aud 58") << 4 << 58 << QList<int>{57, 1};
    QTest::newRow("aud 126") << 4 << 126 << QList<int>{57, 69};
    QTest::newRow("aud 127") << 4 << 127 << QList<int>{57, 69, 1};
    QTest::newRow("unknown as ala") << 9 << 59 << QList<int>{58, 1};
}

void tst_Repklass::paginate()
{
    QFETCH(int, kind);
    QFETCH(int, rows);
    QFETCH(QList<int>, pages);
    const Msg_Pages p = Msg_Paginate(uint8_t(kind), rows);
    QCOMPARE(p.lines_per_page, kind == 4 ? 74u : 70u);
    QCOMPARE(QList<int>(p.rows.begin(), p.rows.end()), pages);
    QCOMPARE(p.Page_Count(), uint32_t(pages.size()));
    QCOMPARE(Msg_Paginate(uint8_t(kind), -5).rows, std::vector<int>{0});
}

void tst_Repklass::reportPagesFollowPagination_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rows");
    for (int kind : {3, 4})
        for (int n : {0, 1, 57, 58, 59, 123, 124, 127, 1000})
            QTest::addRow("kind %d, %d rows", kind, n) << kind << n;
}

// The band heights must let every table fit its sheet: the sheets the layout makes are the
// pages the footer counts.
void tst_Repklass::reportPagesFollowPagination()
{
    QFETCH(int, kind);
    QFETCH(int, rows);
    const Arhiv_Header h = header();
    const Rep_Report r = Build_Arhiv_Report(uint8_t(kind), h, nullptr, ::rows(rows));
    const Msg_Pages p = Msg_Paginate(uint8_t(kind), rows);
    QCOMPARE(r.page_count, p.Page_Count());
    QCOMPARE(r.bands.size(), size_t(1 + p.Page_Count()));
    const std::vector<Rep_Sheet> sheets = Rep_Layout(r);
    QCOMPARE(sheets.size(), size_t(p.Page_Count()));
    const int bottom = r.page.Height_Units() - r.page_footer.height;
    for (size_t s = 0; s < sheets.size(); ++s) {
        const Rep_Sheet &sh = sheets[s];
        QCOMPARE(sh.bands.front().band, &r.page_header);
        QCOMPARE(sh.bands.back().band, &r.page_footer);
        // Title + table on the first sheet, one table on each further one, none cut.
        QCOMPARE(sh.bands.size(), size_t(s == 0 ? 4 : 3));
        const Rep_Placed &table = sh.bands[sh.bands.size() - 2];
        QVERIFY(table.top + table.band->height <= bottom);
        QCOMPARE(int(memos(*table.band).front()->lines.size()), p.rows[s]);
    }
    QCOMPARE(cell_with(r.page_footer, QStringLiteral("из %1").arg(p.Page_Count())) != nullptr, true);
}

void tst_Repklass::firstAndSecondTable()
{
    const Arhiv_Header h = header();
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, rows(59));
    QCOMPARE(r.bands.size(), size_t(3));
    const Rep_Band &t1 = *r.bands[1];
    const Rep_Band &t2 = *r.bands[2];
    QCOMPARE(t1.kind, Rep_Band_Kind::Detail);
    QVERIFY(!t1.new_page);
    QVERIFY(t2.new_page);
    QCOMPARE(t1.frame, uint8_t(REP_FRAME_ALL));
    // A full page grows by one line for each row but its last.
    QCOMPARE(t1.height, 92 + 57 * 13);
    QCOMPARE(t2.height, 92 + 13);
    // The second page has its own heading and the one row left.
    for (const QString &cap : {QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Сообщение"),
                               QStringLiteral("Событие"), QStringLiteral("Объект / Причина"),
                               QStringLiteral("Текущее"), QStringLiteral("параметра"), QStringLiteral("уставки"),
                               QStringLiteral("Единица"), QStringLiteral("измер.")}) {
        const Rep_Cell *c = cell_with(t2, cap);
        QVERIFY2(c, qPrintable(cap));
        QVERIFY(c->align & Qt::AlignHCenter);
        QVERIFY(c->top + c->height <= 63);
    }
    const QList<const Rep_Cell *> m2 = memos(t2);
    QCOMPARE(m2.size(), 7);
    for (int i = 0; i < 7; ++i) QCOMPARE(m2[i]->lines, QStringList{QStringLiteral("r58c%1").arg(i + 1)});

    // Cells by column: left, width and alignment.
    const int left[7] = {0, 58, 115, 321, 531, 597, 661};
    const int width[7] = {52, 52, 200, 205, 60, 60, 58};
    const QList<const Rep_Cell *> m1 = memos(t1);
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(m1[i]->left, left[i]);
        QCOMPARE(m1[i]->width, width[i]);
        QCOMPARE(bool(m1[i]->align & Qt::AlignLeft), i == 2 || i == 3);
        QCOMPARE(m1[i]->lines.size(), 58);
        QCOMPARE(m1[i]->font.size, 8);
    }
    // "Сообщение" spans the event and object columns.
    const Rep_Cell *span = cell_with(t1, QStringLiteral("Сообщение"));
    QCOMPARE(span->left, 115);
    QCOMPARE(span->width, 409);
    // Rules: narrow empty labels drawing one line each, one between every two headings.
    int vertical = 0, horizontal = 0;
    for (const Rep_Cell &c : t1.cells) {
        if (c.frame == REP_FRAME_LEFT && c.width == 3 && c.lines.isEmpty()) ++vertical;
        if (c.frame == REP_FRAME_TOP && c.height == 3 && c.lines.isEmpty()) ++horizontal;
    }
    QCOMPARE(vertical, 6);
    QCOMPARE(horizontal, 2);
}

void tst_Repklass::rowsPrintedAsGiven()
{
    const Arhiv_Header h = header();
    QList<QStringList> in;
    in << QStringList{QStringLiteral("   ***"), QString(), QString(), QString(), QString(), QString(), QString()};
    in << QStringList{QStringLiteral("01.02.26")};   // short row: the other cells stay empty
    const QString long_text(300, QLatin1Char('W'));
    in << QStringList{QStringLiteral("a"), QStringLiteral("b"), long_text, QStringLiteral("d"),
                      QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g"), QStringLiteral("extra")};
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, in);
    const QList<const Rep_Cell *> m = memos(*r.bands[1]);
    // Leading blanks that align the grid are dropped on paper, the rest is kept as given.
    QCOMPARE(m[0]->lines, (QStringList{QStringLiteral("***"), QStringLiteral("01.02.26"), QStringLiteral("a")}));
    QCOMPARE(m[1]->lines, (QStringList{QString(), QString(), QStringLiteral("b")}));
    QCOMPARE(m[2]->lines.last(), long_text);   // cut only when drawn
    QCOMPARE(m[6]->lines.last(), QStringLiteral("g"));
}

void tst_Repklass::titleAndPageBands()
{
    const Arhiv_Header h = header();
    char heading[REP_HEADING_SIZE] = {};
    const QByteArray org = "\xCE\xCE\xCE \"\xC3\xE0\xE7\"";   // ООО "Газ" in 1251
    std::memcpy(heading, org.constData(), size_t(org.size()));
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_ALA, h, heading, rows(3));

    QCOMPARE(r.page.left_mm, 10.0);
    QCOMPARE(r.page.right_mm, 9.0);
    QCOMPARE(r.page.top_mm, 10.0);
    QCOMPARE(r.page.bottom_mm, 10.0);
    // Trailing and leading blanks of the stored name are not printed.
    QCOMPARE(texts(r.page_header), QStringList{QStringLiteral("Uzel 5")});
    QVERIFY(r.page_header.cells[0].align & Qt::AlignRight);
    QCOMPARE(r.page_header.cells[0].font.size, 10);

    const Rep_Band &t = *r.bands[0];
    QCOMPARE(t.kind, Rep_Band_Kind::Title);
    QCOMPARE(texts(t), (QStringList{QStringLiteral("ООО \"Газ\""), QStringLiteral("Контроллер \"Uzel 5\"  (адрес 12)"),
                                    QStringLiteral("Перечень диагностических сообщений"),
                                    QStringLiteral("контроллерa QZT_16"),
                                    QStringLiteral("За период  с  01.03.26 01:02:03  по 02.04.26 23:59:58"),
                                    QStringLiteral("Составлен программой qzt_16  15.04.26 09:08:07")}));
    QCOMPARE(t.cells[0].font.size, 12);
    QVERIFY(t.cells[0].font.bold);
    QVERIFY(t.cells[1].align & Qt::AlignLeft);
    QVERIFY(t.cells[2].font.bold);
    QVERIFY(!t.cells[4].font.bold);

    // Footer: "Лист", the page number of its sheet, "из %d".
    QVERIFY(cell_with(r.page_footer, QStringLiteral("Лист")));
    QVERIFY(cell_with(r.page_footer, QStringLiteral("из 1")));
    int numbers = 0;
    for (const Rep_Cell &c : r.page_footer.cells) numbers += c.page_number;
    QCOMPARE(numbers, 1);

    // A heading of 40 characters has no terminator before byte 41.
    std::memset(heading, 'X', 40);
    QCOMPARE(Rep_Heading_Text(heading), QString(40, QLatin1Char('X')));
    QCOMPARE(Rep_Heading_Text(nullptr), QString());
}

void tst_Repklass::operatorTable()
{
    const Arhiv_Header h = header();
    const Rep_Report r = Build_Arhiv_Report(REP_KIND_AUD, h, nullptr, rows(58));
    QCOMPARE(r.page.right_mm, 10.0);
    QCOMPARE(r.page_count, 2u);
    QCOMPARE(texts(*r.bands[0]).mid(2, 2), (QStringList{QStringLiteral("Перечень сообщений о вмешательствах оператора"),
                                                        QStringLiteral("в работу контроллерa QZT_16")}));
    const Rep_Band &t = *r.bands[1];
    QVERIFY(!cell_with(t, QStringLiteral("Сообщение")));
    for (const QString &cap : {QStringLiteral("Наименование  параметра"), QStringLiteral("Старое"),
                               QStringLiteral("Новое"), QStringLiteral("значение"), QStringLiteral("Имя"),
                               QStringLiteral("оператора")})
        QVERIFY2(cell_with(t, cap), qPrintable(cap));
    const int left[7] = {0, 58, 115, 395, 488, 580, 646};
    const int width[7] = {52, 52, 272, 87, 87, 60, 71};
    const QList<const Rep_Cell *> m = memos(t);
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(m[i]->left, left[i]);
        QCOMPARE(m[i]->width, width[i]);
        QCOMPARE(bool(m[i]->align & Qt::AlignLeft), i == 2);
    }
    QCOMPARE(m[0]->lines.size(), 57);
    QCOMPARE(memos(*r.bands[2])[0]->lines, QStringList{QStringLiteral("r57c1")});
}

void tst_Repklass::layoutPlacesBands()
{
    Rep_Report r;
    Rep_Std_Page_Bands(r, QStringLiteral("X"));
    const int body = r.page.Height_Units() - r.page_header.height - r.page_footer.height;
    r.Add_Band(Rep_Band_Kind::Title, 100);
    r.Add_Band(Rep_Band_Kind::Detail, body - 100);       // fills the first sheet exactly
    r.Add_Band(Rep_Band_Kind::Detail, 10);               // does not fit: next sheet
    r.Add_Band(Rep_Band_Kind::Detail, 10)->new_page = true;
    r.Add_Band(Rep_Band_Kind::Detail, body * 3);         // taller than a sheet: begins one, cut
    r.Add_Band(Rep_Band_Kind::Detail, 5);
    const std::vector<Rep_Sheet> s = Rep_Layout(r);
    QCOMPARE(s.size(), size_t(5));
    QCOMPARE(s[0].bands.size(), size_t(4));
    QCOMPARE(s[0].bands[1].top, r.page_header.height);
    QCOMPARE(s[0].bands[2].top, r.page_header.height + 100);
    QCOMPARE(s[0].bands[3].top, r.page.Height_Units() - r.page_footer.height);
    QCOMPARE(s[1].bands[1].band, r.bands[2].get());
    QCOMPARE(s[1].bands[1].top, r.page_header.height);
    QCOMPARE(s[2].bands[1].band, r.bands[3].get());
    QCOMPARE(s[3].bands[1].band, r.bands[4].get());
    QCOMPARE(s[4].bands[1].band, r.bands[5].get());

    // A new-page band at the head of the body does not leave an empty sheet behind.
    Rep_Report e;
    e.Add_Band(Rep_Band_Kind::Detail, 10)->new_page = true;
    QCOMPARE(Rep_Layout(e).size(), size_t(1));
    QCOMPARE(Rep_Layout(Rep_Report{}).size(), size_t(1));

    r.Set_Page_Count(7);
    QVERIFY(cell_with(r.page_footer, QStringLiteral("из 7")));

    // Printable size in units: A4 less the margins, at the page's scale.
    Rep_Page_Setup p;
    QCOMPARE(p.Width_Units(), 718);    // 190 mm at 96 units to the inch
    QCOMPARE(p.Height_Units(), 1046);  // 277 mm
    p.left_mm = 25;
    p.right_mm = 22;
    p.units_per_inch = 120;
    QCOMPARE(p.Width_Units(), 770);    // 163 mm
    p.units_per_inch = 0;              // no scale: the usual one
    QCOMPARE(p.Width_Units(), 616);
}

void tst_Repklass::titleBandForOtherReports()
{
    Rep_Report r;
    TrepTitle t(r);
    QCOMPARE(r.bands.size(), size_t(1));
    QCOMPARE(t.Band, r.bands[0].get());
    QCOMPARE(t.Band->height, 112);
    const int top[5] = {3, 22, 46, 69, 88}, left[5] = {2, 4, 2, 2, 2}, height[5] = {20, 17, 20, 17, 17},
              size[5] = {12, 10, 12, 10, 10};
    for (int i = 1; i <= 5; ++i) {
        const Rep_Cell &c = t.Line(i);
        QCOMPARE(c.top, top[i - 1]);
        QCOMPARE(c.left, left[i - 1]);
        QCOMPARE(c.height, height[i - 1]);
        QCOMPARE(c.width, 740);
        QCOMPARE(c.font.size, size[i - 1]);
        QCOMPARE(c.font.bold, i == 1 || i == 3);
        QCOMPARE(bool(c.align & Qt::AlignLeft), i == 2);
    }
    t.Line(3).lines = QStringList{QStringLiteral("Суточные")};
    QCOMPARE(r.bands[0]->cells[2].lines, QStringList{QStringLiteral("Суточные")});
    QCOMPARE(&t.Line(0), &t.Line(1));
    QCOMPARE(&t.Line(6), &t.Line(1));
}

QTEST_GUILESS_MAIN(tst_Repklass)
#include "tst_repklass.moc"
