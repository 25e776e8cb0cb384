// Texts of the moisture-meter viewers over known records, and the printed lists built from
// rows: headings by meter type and kind, title lines, pagination.
#include "archives/Arhivhd_Wmt.h"
#include "archives/Arhmeas_Wmt.h"
#include "archives/Prnthdm_Wmt.h"
#include "core/Crc16.h"

#include <QtTest>
#include <cstring>

namespace {
Arhiv_Header header(const char *magic, uint8_t type, uint32_t count)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, magic, 3);
    h.device = 1;
    std::memcpy(h.contr_name, "  GRS-5  ", 9);
    h.contr_adr = 12;
    h.contr_type = 16;
    h.wmt_type = type;
    h.rec_count = count;
    h.made = Date6{26, 5, 7, 8, 9, 10};
    h.period_start = Date6{26, 5, 1, 6, 30, 45};
    h.period_end = Date6{26, 5, 2, 18, 15, 59};
    return h;
}

void put(uint8_t *p, float v) { std::memcpy(p, &v, 4); }

Wmt_Meas_Rec meas(uint8_t status, uint8_t st_lo = 0, uint8_t st_hi = 0)
{
    Wmt_Meas_Rec r;
    std::memset(&r, 0, sizeof r);
    r.dt = Date6{26, 5, 1, 6, 31, 2};
    r.status = status;
    uint8_t *b = reinterpret_cast<uint8_t *>(&r);
    b[9] = st_lo;
    b[10] = st_hi;
    put(r.values, -12.345f);
    put(r.values + 4, 0.5f);
    put(r.values + 8, 45.25f);
    const uint8_t nan[4] = {0, 0, 0xC0, 0x7F};
    std::memcpy(r.values + 12, nan, 4);
    Put_Crc16(b, uint16_t(sizeof r - 2));
    return r;
}

Wmt_HD_Rec hd(uint8_t status, uint8_t end_hour)
{
    Wmt_HD_Rec r;
    std::memset(&r, 0, sizeof r);
    r.date[0] = 26;
    r.date[1] = 5;
    r.date[2] = 1;
    r.start_time[0] = 23;
    r.end_time[0] = end_hour;
    r.end_time[1] = 59;
    r.end_time[2] = 58;
    r.status = status;
    put(r.values, 1.5f);
    put(r.values + 4, 1234.0f);
    put(r.values + 8, 0.0f);
    const uint8_t inf[4] = {0, 0, 0x80, 0x7F};
    std::memcpy(r.values + 12, inf, 4);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
    return r;
}

QList<QStringList> rows(int n)
{
    QList<QStringList> r;
    for (int i = 0; i < n; ++i) {
        QStringList row;
        for (int c = 0; c < WMT_COLS; ++c) row << QStringLiteral("  r%1c%2  ").arg(i).arg(c);
        r << row;
    }
    return r;
}

const Rep_Cell *data_cell(const Rep_Band &b, int col)
{
    // Heading and data cells alternate: the data cell of column col is cell 2*col+1.
    const size_t i = size_t(2 * col + 1);
    return i < b.cells.size() ? &b.cells[i] : nullptr;
}
} // namespace

class Tst_Wmt_View_Logic : public QObject {
    Q_OBJECT
private slots:
    // The meter type decides the pressure and dew-point headings.
    void headings_by_type()
    {
        const Arhiv_Header h2 = header("MSA", 2, 0), h1 = header("MSA", 1, 0);
        QCOMPARE(Wmt_Meas_Heading(h2, 6).first(), QString("Давление"));
        QCOMPARE(Wmt_Meas_Heading(h1, 6).first(), QString("Р изб."));
        QCOMPARE(Wmt_Meas_Heading(h1, 8), (QStringList{"", "", "", ""}));
        QCOMPARE(Wmt_Meas_Heading(h1, -1), (QStringList{"", "", "", ""}));
        QVERIFY(Wmt_HD_Caption(h2, WMT_KIND_HOUR).endsWith("01.05.26  06ч  по  02.05.26  18ч"));
        QVERIFY(Wmt_HD_Caption(h2, WMT_KIND_DAY).endsWith("01.05.26  по  02.05.26"));
        QVERIFY(Wmt_Meas_Caption(h2).endsWith("01.05.26 06:30:45  по  02.05.26 18:15:59"));
    }

    void momentary_cells()
    {
        const Wmt_Meas_Rec ok = meas(0);
        QVERIFY(Rec_Valid(ok));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 0), QString("  01.05.26"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 1), QString("  06:31:02"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 2), QString("  Норма"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 3), QString("  Норма"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 4), QString("  -12.35"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 5), QString("  0.500"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 6), QString("  45.25"));
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 7), QString("  NAN"));    // NaN
        QCOMPARE(Wmt_Meas_Cell_Text(ok, 8), QString());

        // Bit 1 wins over bit 2.
        const Wmt_Meas_Rec off = meas(0x06);
        QCOMPARE(Wmt_Meas_Cell_Text(off, 2), QString("  0x06"));
        QCOMPARE(Wmt_Meas_Cell_Text(off, 3), QString());
        for (int c = 4; c < 8; ++c) QCOMPARE(Wmt_Meas_Cell_Text(off, c), QString("  Выкл."));

        const Wmt_Meas_Rec nolink = meas(0x04);
        QCOMPARE(Wmt_Meas_Cell_Text(nolink, 2), QString("  0x04"));
        QCOMPARE(Wmt_Meas_Cell_Text(nolink, 3), QString(" Нет связи"));
        for (int c = 4; c < 8; ++c) QCOMPARE(Wmt_Meas_Cell_Text(nolink, c), QString("       0"));

        // State word: byte 10 printed first.
        const Wmt_Meas_Rec state = meas(0, 0x0A, 0x01);
        QCOMPARE(Wmt_Meas_Cell_Text(state, 2), QString("  Норма"));
        QCOMPARE(Wmt_Meas_Cell_Text(state, 3), QString("  0x010A"));
        // Another status bit shows its byte and still the state and the values.
        const Wmt_Meas_Rec other = meas(0x81);
        QCOMPARE(Wmt_Meas_Cell_Text(other, 2), QString("  0x81"));
        QCOMPARE(Wmt_Meas_Cell_Text(other, 3), QString("  Норма"));
        QCOMPARE(Wmt_Meas_Cell_Text(other, 6), QString("  45.25"));

        Wmt_Meas_Rec bad = meas(0x04);
        reinterpret_cast<uint8_t *>(&bad)[12] ^= 0x40;
        QVERIFY(!Rec_Valid(bad));
        QCOMPARE(Wmt_Meas_Cell_Text(bad, 0), QString("     Данные"));
        QCOMPARE(Wmt_Meas_Cell_Text(bad, 1), QString(" недостов."));
        for (int c = 2; c < 8; ++c) QCOMPARE(Wmt_Meas_Cell_Text(bad, c), QString());
    }

    void hourly_daily_cells()
    {
        const Wmt_HD_Rec day = hd(0, 0x17), flagged = hd(0, 0x97);
        QCOMPARE(Wmt_HD_Cell_Text(day, 0, WMT_KIND_DAY), QString("  01.05.26"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 1, WMT_KIND_DAY), QString("  23:00:00"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 2, WMT_KIND_DAY), QString("   23:59:58*"));
        QCOMPARE(Wmt_HD_Cell_Text(flagged, 2, WMT_KIND_DAY), QString("   23:59:58"));
        // Hourly: the end hour byte as stored.
        QCOMPARE(Wmt_HD_Cell_Text(flagged, 2, WMT_KIND_HOUR), QString("   151:59:58"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 2, WMT_KIND_HOUR), QString("   23:59:58"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 3, WMT_KIND_DAY), QString("  Норма"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 4, WMT_KIND_DAY), QString("  1.50"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 5, WMT_KIND_DAY), QString("  1234"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 6, WMT_KIND_DAY), QString("  0"));
        QCOMPARE(Wmt_HD_Cell_Text(day, 7, WMT_KIND_DAY), QString("  NAN"));   // infinity

        const Wmt_HD_Rec off = hd(0x06, 0x17), zero = hd(0x04, 0x17);
        QCOMPARE(Wmt_HD_Cell_Text(off, 3, WMT_KIND_HOUR), QString("  0x06"));
        QCOMPARE(Wmt_HD_Cell_Text(zero, 3, WMT_KIND_HOUR), QString("  0x04"));
        for (int c = 4; c < 8; ++c) {
            QCOMPARE(Wmt_HD_Cell_Text(off, c, WMT_KIND_HOUR), QString("  Выкл."));
            QCOMPARE(Wmt_HD_Cell_Text(zero, c, WMT_KIND_HOUR), QString("       0"));
        }

        Wmt_HD_Rec bad = hd(0, 0x17);
        bad.crc ^= 1;
        QCOMPARE(Wmt_HD_Cell_Text(bad, 0, WMT_KIND_HOUR), QString("     Данные"));
        QCOMPARE(Wmt_HD_Cell_Text(bad, 1, WMT_KIND_HOUR), QString(" недостов."));
        QCOMPARE(Wmt_HD_Cell_Text(bad, 2, WMT_KIND_HOUR), QString());
        QCOMPARE(Wmt_HD_Cell_Text(bad, 4, WMT_KIND_HOUR), QString());
    }

    void row_counts_bounded()
    {
        QByteArray two(2 * WMT_MEAS_REC_SIZE + 5, '\0');
        QCOMPARE(Wmt_Meas_Row_Count(header("MSA", 1, 7), two), 2u);
        QCOMPARE(Wmt_Meas_Row_Count(header("MSA", 1, 1), two), 1u);
        QCOMPARE(Wmt_HD_Row_Count(header("HOU", 1, 0xFFFFFFFF), QByteArray(3 * WMT_HD_REC_SIZE, '\0')), 3u);
    }

    void report_title_and_headings()
    {
        char heading[REP_HEADING_SIZE] = {};
        std::memcpy(heading, "Org", 3);
        Arhiv_Header h = header("MSA", 2, 0);
        Rep_Report r;
        QVERIFY(!Build_Wmt_Report(5, h, heading, rows(1), r));
        QVERIFY(r.bands.empty());
        QVERIFY(Build_Wmt_Report(WMT_KIND_MOM, h, heading, rows(3), r));
        QCOMPARE(r.page.left_mm, 25.0);
        QCOMPARE(r.page.right_mm, 22.0);
        QCOMPARE(r.page.units_per_inch, 120.0);
        QVERIFY(r.page.Width_Units() >= 768);   // the table fits between the margins
        QCOMPARE(r.page_header.cells.at(0).lines, QStringList{"GRS-5"});
        // The shared page bands scaled to this page: still within it, still right-aligned.
        const int w = r.page.Width_Units();
        for (const Rep_Band *b : {&r.page_header, &r.page_footer})
            for (const Rep_Cell &c : b->cells) QVERIFY(c.left >= 0 && c.left + c.width <= w);
        QCOMPARE(r.page_header.cells.at(0).left + r.page_header.cells.at(0).width, w);
        const Rep_Cell &count = r.page_footer.cells.at(size_t(r.footer_count_cell));
        QCOMPARE(count.left + count.width, w);
        QVERIFY(r.page_footer.cells.at(0).width > 34);   // "Лист" is not cut
        QCOMPARE(r.bands.size(), size_t(2));
        const Rep_Band &t = *r.bands[0];
        QCOMPARE(t.kind, Rep_Band_Kind::Title);
        QCOMPARE(t.cells[0].lines, QStringList{"Org"});
        QCOMPARE(t.cells[1].lines, QStringList{"Контроллер \"GRS-5\"  (адрес 12)"});
        // Seconds printed as zeros whatever the header holds.
        QCOMPARE(t.cells[3].lines, QStringList{"за период  с  01.05.26 06:30:00  по  02.05.26 18:15:00"});
        QCOMPARE(t.cells[4].lines, QStringList{"Составлен программой qzt_16  07.05.26  08:09:10"});

        const Rep_Band &tab = *r.bands[1];
        QCOMPARE(tab.frame, uint8_t(REP_FRAME_ALL));
        QVERIFY(!tab.new_page);
        QCOMPARE(tab.cells.size(), size_t(16));
        QCOMPARE(tab.cells[12].lines.first(), QString("Давление"));
        QCOMPARE(tab.cells[14].left, 1 + 96 * 7);
        QCOMPARE(tab.cells[14].left + tab.cells[14].width, 768);
        QCOMPARE(data_cell(tab, 0)->lines, (QStringList{"r0c0", "r1c0", "r2c0"}));   // trimmed
        QCOMPARE(data_cell(tab, 7)->top, 73);
        QCOMPARE(data_cell(tab, 7)->height, 19 * 4);
        QCOMPARE(tab.height, 94 + 3 * 19);

        h.wmt_type = 1;
        QVERIFY(Build_Wmt_Report(WMT_KIND_HOUR, h, nullptr, rows(1), r));
        QCOMPARE(r.bands[0]->cells[0].lines, QStringList{""});
        QCOMPARE(r.bands[1]->cells[12].lines.first(), QString("Р изб."));
    }

    void pagination()
    {
        QCOMPARE(Wmt_Paginate(0), std::vector<int>{0});
        QCOMPARE(Wmt_Paginate(52), std::vector<int>{52});
        QCOMPARE(Wmt_Paginate(53), (std::vector<int>{52, 1}));
        QCOMPARE(Wmt_Paginate(111), (std::vector<int>{52, 59}));
        QCOMPARE(Wmt_Paginate(112), (std::vector<int>{52, 59, 1}));
        // Far past 200 pages: every row still printed.
        const std::vector<int> big = Wmt_Paginate(52 + 59 * 250);
        QCOMPARE(big.size(), size_t(251));

        const Arhiv_Header h = header("DAY", 1, 0);
        for (const int n : {0, 1, 52, 53, 111, 112, 300}) {
            Rep_Report r;
            QVERIFY(Build_Wmt_Report(WMT_KIND_DAY, h, nullptr, rows(n), r));
            const uint32_t pages = uint32_t(Wmt_Paginate(n).size());
            QCOMPARE(r.page_count, pages);
            QCOMPARE(r.page_footer.cells.at(size_t(r.footer_count_cell)).lines, QStringList{QString("из %1").arg(pages)});
            // The layout agrees: every table fits its sheet, one sheet per table.
            QCOMPARE(uint32_t(Rep_Layout(r).size()), pages);
            QCOMPARE(r.bands.size(), size_t(1 + pages));
            int printed = 0;
            for (size_t b = 1; b < r.bands.size(); ++b) {
                QCOMPARE(r.bands[b]->new_page, b > 1);
                printed += int(data_cell(*r.bands[b], 0)->lines.size());
            }
            QCOMPARE(printed, n);
            if (n == 53) QCOMPARE(data_cell(*r.bands[2], 3)->lines, QStringList{"r52c3"});
        }
    }
};

QTEST_GUILESS_MAIN(Tst_Wmt_View_Logic)
#include "tst_wmt_view_logic.moc"
