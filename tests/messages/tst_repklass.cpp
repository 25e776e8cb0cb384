// The printed message lists as data: how rows divide into pages and sheets, what the title and
// rows carry, and where the layout breaks sheets.
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
    void rowsPrintedAsGiven();
    void titleAndPageBands();
    void layoutPlacesBands();
};

void tst_Repklass::paginate_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("ala empty") << 3 << 0 << QList<int>{0};
    QTest::newRow("ala 58") << 3 << 58 << QList<int>{58};
    QTest::newRow("ala 59") << 3 << 59 << QList<int>{58, 1};
    QTest::newRow("ala 124") << 3 << 124 << QList<int>{58, 65, 1};
    QTest::newRow("aud 58") << 4 << 58 << QList<int>{57, 1};
    QTest::newRow("aud 127") << 4 << 127 << QList<int>{57, 69, 1};
    QTest::newRow("unknown as ala") << 9 << 59 << QList<int>{58, 1};
}

void tst_Repklass::paginate()
{
    QFETCH(int, kind);
    QFETCH(int, rows);
    QFETCH(QList<int>, pages);
    const Msg_Pages p = Msg_Paginate(uint8_t(kind), rows);
    QCOMPARE(QList<int>(p.rows.begin(), p.rows.end()), pages);
    QCOMPARE(p.Page_Count(), uint32_t(pages.size()));
    QCOMPARE(Msg_Paginate(uint8_t(kind), -5).rows, std::vector<int>{0});
}

void tst_Repklass::reportPagesFollowPagination_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rows");
    for (int kind : {3, 4})
        for (int n : {0, 58, 59, 124, 127, 1000})
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
    // A table grows by a line a row, but the last line of a full page is inside its first height.
    const auto height = [&h](int n) { return Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, ::rows(n)).bands[1]->height; };
    QCOMPARE(height(3) - height(2), 13);
    QCOMPARE(height(58), height(57));
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
    // Trailing and leading blanks of the stored name are not printed.
    QCOMPARE(texts(r.page_header), QStringList{QStringLiteral("Uzel 5")});
    QCOMPARE(texts(*r.bands[0]), (QStringList{QStringLiteral("ООО \"Газ\""), QStringLiteral("Контроллер \"Uzel 5\"  (адрес 12)"),
                                           QStringLiteral("Перечень диагностических сообщений"),
                                           QStringLiteral("контроллерa QZT_16"),
                                           QStringLiteral("За период  с  01.03.26 01:02:03  по 02.04.26 23:59:58"),
                                           QStringLiteral("Составлен программой qzt_16  15.04.26 09:08:07")}));
    int numbers = 0;
    for (const Rep_Cell &c : r.page_footer.cells) numbers += c.page_number;
    QCOMPARE(numbers, 1);
    // A heading of 40 characters has no terminator before byte 41.
    std::memset(heading, 'X', 40);
    QCOMPARE(Rep_Heading_Text(heading), QString(40, QLatin1Char('X')));
    QCOMPARE(Rep_Heading_Text(nullptr), QString());
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
    QCOMPARE(p.Height_Units(), 1046);  // 277 mm at 96 units to the inch
    p.units_per_inch = 0;              // no scale: the usual one
    QCOMPARE(p.Height_Units(), 1046);
}

QTEST_GUILESS_MAIN(tst_Repklass)
#include "tst_repklass.moc"
