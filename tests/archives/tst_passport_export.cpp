// The passport sheets: rows and columns of the daily and monthly templates as the generator
// builds them, what an invalid record or a NaN shows, the heat-value units, the moisture
// meter's columns, the report's name; read back from the written workbook's sheet XML.
#include "archives/Xls_report.h"
#include "archives/Xlsx_Template.h"
#include "core/Crc16.h"
#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Stringi.h"
#include "params/Config.h"

#include "Xlsx_Readback.h"
#include "../../tools/make-templates/Passport_Templates.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

void Put(uint8_t *p, int k, float v) { std::memcpy(p + 4 * k, &v, 4); }

// A chromatograph record whose float k is 100 + k (float 8 sound), sealed.
Chr_HD_Rec Chr(int day, int hour, uint8_t status = 0)
{
    Chr_HD_Rec r{};
    r.date[0] = 26;
    r.date[1] = 3;
    r.date[2] = uint8_t(day);
    r.start_time[0] = uint8_t(hour);
    r.status = status;
    for (int k = 0; k < 20; ++k) Put(r.values, k, 100.0f + float(k));
    return r;
}
void Seal(Chr_HD_Rec &r) { Put_Crc16(reinterpret_cast<uint8_t *>(&r), 92); }

Wmt_HD_Rec Wmt(int day, int hour, uint8_t status = 0)
{
    Wmt_HD_Rec r{};
    r.date[0] = 26;
    r.date[1] = 3;
    r.date[2] = uint8_t(day);
    r.start_time[0] = uint8_t(hour);
    r.status = status;
    Put(r.values, 0, -18.5f);
    Put(r.values, 1, -12.25f);
    Put(r.values, 2, 1.0f);    // bar
    Put(r.values, 3, -9.75f);
    Put_Crc16(reinterpret_cast<uint8_t *>(&r), 26);
    return r;
}

template <class R> QByteArray Raw(const R &r) { return QByteArray(reinterpret_cast<const char *>(&r), sizeof r); }

QString Ref(int row, int col) { return Xlsx_Template::Cell_Ref(row, col); }

double Num(const readback::Sheet &s, int row, int col)
{
    const readback::Cell c = s.cells.value(Ref(row, col));
    return c.type.isEmpty() && !c.value.isEmpty() ? c.value.toDouble() : std::nan("");
}
QString Text(const readback::Sheet &s, int row, int col) { return s.cells.value(Ref(row, col)).value; }
bool Close(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); }

} // namespace

class Tst_Passport_Export : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;

    Passport_Data Day_Data(int hours, bool wmt)
    {
        Passport_Data d;
        d.kind = PASSPORT_DAY;
        d.date[0] = 26;
        d.date[1] = 3;
        d.date[2] = 5;
        d.date[3] = 10;
        d.count = uint32_t(hours);
        d.descr[11].unit = 4;   // MJ/m3
        d.descr[13].unit = 6;   // kWh/m3
        for (int i = 0; i < hours; ++i) {
            Chr_HD_Rec r = Chr(i < 14 ? 5 : 6, (10 + i) % 24);
            Seal(r);
            d.chr_recs += Raw(r);
            if (wmt) d.wmt_recs += Raw(Wmt(i < 14 ? 5 : 6, (10 + i) % 24));
        }
        d.chr_summary = Chr(5, 10);
        Put(d.chr_summary.values, 1, 55.5f);
        Seal(d.chr_summary);
        d.wmt = wmt;
        if (wmt) d.wmt_day = Wmt(5, 10);
        return d;
    }

    readback::Sheet Fill(const Passport_Data &d, const QString &object, int *steps = nullptr)
    {
        Xlsx_Template t;
        if (!t.Open(Passport_Template_Path(d.kind))) return {};
        int n = 0;
        if (d.kind == PASSPORT_MON) Xls_Mon_Sheet(t, d, object, [&n] { ++n; });
        else Xls_Day_Sheet(t, d, object, [&n] { ++n; });
        if (steps) *steps = n;
        const QString out = Tmp.filePath("out.xlsx");
        if (!t.Save(out)) return {};
        return readback::Read_Sheet(out);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        QVERIFY(passport_templates::Make_All(Tmp.path().toStdString()));
    }

    void daily_sheet()
    {
        Passport_Data d = Day_Data(23, true);
        // Hour 3: status bit 1; hour 4: bit 5; hour 5: float 8 below 0.001; hour 6: NaN in float 13;
        // hour 7: a damaged record.
        auto rec = [&d](int i) { return reinterpret_cast<Chr_HD_Rec *>(d.chr_recs.data() + i * 94); };
        rec(3)->status = 0x02;
        rec(4)->status = 0x20;
        Put(rec(5)->values, 8, 0.0009f);
        Put(rec(6)->values, 13, NaN);
        for (int i : {3, 4, 5, 6}) Seal(*rec(i));
        rec(7)->crc ^= 0x1111;
        // Moisture: hour 2 meter off, hour 8 values shown as 0.
        auto wrec = [&d](int i) { return reinterpret_cast<Wmt_HD_Rec *>(d.wmt_recs.data() + i * 28); };
        wrec(2)->status = 0x02;
        wrec(8)->status = 0x04;
        for (int i : {2, 8}) Put_Crc16(reinterpret_cast<uint8_t *>(wrec(i)), 26);

        int steps = 0;
        const readback::Sheet s = Fill(d, QStringLiteral("ГРС \"Южная\""), &steps);
        QVERIFY(s.ok);
        QCOMPARE(steps, 24);
        QCOMPARE(Xls_Progress_Steps(d), steps + 1);   // and the template opened
        QCOMPARE(Text(s, 2, 7), QStringLiteral("ГРС \"Южная\""));
        QCOMPARE(Text(s, 4, 22), QStringLiteral("За період з 05.03.26 10:00  по  06.03.26 08:00"));
        QVERIFY(s.merges.contains("G2:AB2") && s.merges.contains("V4:AB4"));

        // Row 10: the first hour, floats in their columns.
        QCOMPARE(Text(s, 10, 1), QStringLiteral("05.03.26  10:00"));
        const int floats[] = {1, 3, 4, 5, 6, 7, 8, 9, 10};
        for (int k = 0; k < 9; ++k) QCOMPARE(Num(s, 10, 2 + k), 100.0 + floats[k]);
        QCOMPARE(Text(s, 10, 11), QString());
        QCOMPARE(Num(s, 10, 12), 100.0);
        QCOMPARE(Num(s, 10, 13), 102.0);
        QCOMPARE(Num(s, 10, 14), 112.0);
        for (int c = 15; c <= 17; ++c) QCOMPARE(Text(s, 10, c), QString());
        // Float 11 in MJ/m3, float 13 in kWh/m3, each in the three units.
        QVERIFY(Close(Num(s, 10, 18), double(float(111.0L * 239.0800200827L))));
        QCOMPARE(Num(s, 10, 19), 111.0);
        QVERIFY(Close(Num(s, 10, 20), double(float(111.0L * 0.277778L))));
        QVERIFY(Close(Num(s, 10, 21), 113.0 / 0.0011619));
        QVERIFY(Close(Num(s, 10, 22), 113.0 / 0.277778));
        QCOMPARE(Num(s, 10, 23), 113.0);
        // Moisture: floats 0, 3, 1, then the pressure in kgf/cm2.
        QCOMPARE(Num(s, 10, 24), -18.5);
        QCOMPARE(Num(s, 10, 25), -9.75);
        QCOMPARE(Num(s, 10, 26), -12.25);
        QVERIFY(Close(Num(s, 10, 27), 1.019716213));
        QCOMPARE(Text(s, 10, 28), QString());

        // Invalid rows: "--" in every chromatograph column, the empty ones left alone.
        for (int row : {13, 14, 15, 17}) {
            for (int c = 2; c <= 23; ++c) {
                if (c == 11 || (c >= 15 && c <= 17)) QCOMPARE(Text(s, row, c), QString());
                else QCOMPARE(Text(s, row, c), QStringLiteral("--"));
            }
            QVERIFY(!std::isnan(Num(s, row, 24)));
        }
        // NaN in float 13: " NAN" in its three columns, numbers elsewhere.
        for (int c = 21; c <= 23; ++c) QCOMPARE(Text(s, 16, c), QStringLiteral(" NAN"));
        QCOMPARE(Num(s, 16, 19), 111.0);
        // Moisture status bits 1 and 2: "--" in 24..27.
        for (int row : {12, 18})
            for (int c = 24; c <= 27; ++c) QCOMPARE(Text(s, row, c), QStringLiteral("--"));

        // 23 hours fill rows 10..32; row 33 stays as the template has it; the day's row is 34.
        QCOMPARE(Text(s, 32, 1), QStringLiteral("06.03.26  08:00"));
        QCOMPARE(Text(s, 33, 1), QString());
        QCOMPARE(Text(s, 33, 2), QString());
        QCOMPARE(Num(s, 34, 2), 55.5);
        QCOMPARE(Num(s, 34, 24), -18.5);
        // No NaN anywhere as a number.
        QVERIFY(!s.xml.contains("<v>nan") && !s.xml.contains("<v>inf") && !s.xml.contains("<v>-nan"));
    }

    void daily_sheet_without_moisture_meter()
    {
        const readback::Sheet s = Fill(Day_Data(24, false), QStringLiteral("X"));
        QVERIFY(s.ok);
        QCOMPARE(Text(s, 33, 1), QStringLiteral("06.03.26  09:00"));
        for (int row : {10, 33, 34})
            for (int c = 24; c <= 27; ++c) QCOMPARE(Text(s, row, c), QString());
    }

    void heat_units()
    {
        float h[3];
        QVERIFY(Heat_Values(10.0f, 4, h));
        QVERIFY(Close(h[0], 10.0 / 0.0041827));
        QCOMPARE(h[1], 10.0f);
        QVERIFY(Close(h[2], 2.77778));
        QVERIFY(Heat_Values(10.0f, 6, h));
        QVERIFY(Close(h[0], 10.0 / 0.0011619));
        QVERIFY(Close(h[1], 10.0 / 0.277778));
        QCOMPARE(h[2], 10.0f);
        QVERIFY(Heat_Values(1000.0f, 5, h));
        QCOMPARE(h[0], 1000.0f);
        QVERIFY(Close(h[1], 4.1827));
        QVERIFY(Close(h[2], 1.1619));
        QVERIFY(!Heat_Values(10.0f, 3, h));

        // A heat parameter with no heat unit leaves its three cells as the template has them.
        Passport_Data d = Day_Data(1, false);
        d.descr[11].unit = 0;
        const readback::Sheet s = Fill(d, QStringLiteral("X"));
        for (int c = 18; c <= 20; ++c) QCOMPARE(Text(s, 10, c), QString());
        QVERIFY(!std::isnan(Num(s, 10, 21)));
    }

    void monthly_sheet()
    {
        Passport_Data d;
        d.kind = PASSPORT_MON;
        d.date[0] = 26;
        d.date[1] = 3;
        d.descr[11].unit = 4;
        // The archive starts on day 5; day 8 is missing.
        for (int day = 5; day <= 10; ++day) {
            if (day == 8) continue;
            Chr_HD_Rec r = Chr(day, 10);
            Put(r.values, 1, float(day));
            Seal(r);
            d.chr_recs += Raw(r);
        }
        // A damaged record whose day byte reads 7, after day 7's: it does not cover day 7.
        Chr_HD_Rec bad = Chr(7, 10);
        Put(bad.values, 1, 99.0f);
        d.chr_recs.insert(3 * 94, Raw(bad));
        d.count = 6;
        Put(d.chr_summary.values, 11, 10.0f);
        int steps = 0;
        const readback::Sheet s = Fill(d, QStringLiteral("Объект"), &steps);
        QVERIFY(s.ok);
        QCOMPARE(steps, 7);
        QCOMPARE(Xls_Progress_Steps(d), steps + 1);
        QCOMPARE(Text(s, 4, 22), QStringLiteral("За період з 05.03.26 по  10.03.26"));
        // Day 5 in row 14, each day in its own row; no date cell written.
        QCOMPARE(Text(s, 13, 2), QString());
        QCOMPARE(Num(s, 14, 2), 5.0);
        QCOMPARE(Num(s, 14, 1), 5.0);   // the template's day number
        QCOMPARE(Num(s, 16, 2), 7.0);
        QCOMPARE(Text(s, 17, 2), QString());
        QCOMPARE(Num(s, 18, 2), 9.0);
        QCOMPARE(Num(s, 19, 2), 10.0);
        // Row 41: the month's mean of float 11 in kcal, MJ and kWh.
        QVERIFY(Close(Num(s, 41, 18), 10.0 / 0.0041827));
        QCOMPARE(Num(s, 41, 19), 10.0);
        QVERIFY(Close(Num(s, 41, 20), 2.77778));
        QCOMPARE(Text(s, 41, 2), QString());
    }

    void record_counts_are_limited()
    {
        // A count beyond the records held or the rows the sheet has is not followed.
        Passport_Data d = Day_Data(24, true);
        d.count = 200;
        d.chr_recs += d.chr_recs;
        int steps = 0;
        const readback::Sheet s = Fill(d, QStringLiteral("X"), &steps);
        QVERIFY(s.ok);
        QCOMPARE(steps, 25);
        QCOMPARE(Xls_Progress_Steps(d), steps + 1);
        QCOMPARE(Num(s, 34, 2), 55.5);
        d = Day_Data(3, true);
        d.count = 24;   // fewer records than claimed
        const readback::Sheet s2 = Fill(d, QStringLiteral("X"), &steps);
        QCOMPARE(steps, 4);
        QCOMPARE(Text(s2, 13, 2), QString());
    }

    // Each column is headed by the parameter a new configuration puts there, so a printed
    // passport reads as one; the heat values by their units, the moisture columns by their values.
    void template_headings_name_their_parameters()
    {
        Init_Strings();
        Cnf_Rec cnf;
        New_Cnf(cnf);
        for (uint8_t kind : {PASSPORT_DAY, PASSPORT_MON}) {
            const readback::Sheet s = readback::Read_Sheet(Passport_Template_Path(kind));
            QVERIFY(s.ok);
            // Rows 6 and 7 of a column (a group's text stands in its first column).
            auto heading = [&s](int col) { return Text(s, 6, col) + u' ' + Text(s, 7, col); };
            const int heat_units[3] = {5, 4, 6};   // kcal/m3, MJ/m3, kWh/m3
            int col = 2;
            for (uint8_t f : Xls_Chr_Cols) {
                if (f == 255) {
                    col += col == 15 ? 3 : 1;
                    continue;
                }
                const Chr_Par &p = cnf.t1[f];
                const bool heat = f == 11 || f == 13;
                QVERIFY2(heading(col).contains(Cp1251_To_Unicode(p.symbol, int(strnlen(p.symbol, sizeof p.symbol)))),
                         qPrintable(heading(col)));
                for (int k = 0; k < (heat ? 3 : 1); ++k, ++col)
                    QVERIFY2(heading(col).contains(Gas_Units(heat ? heat_units[k] : p.unit)), qPrintable(heading(col)));
            }
            // The moisture meter's floats 0, 3, 1 and 2 (the pressure in kgf/cm2).
            QVERIFY(heading(24).contains("воде") && heading(24).contains("рабоч"));
            QVERIFY(heading(25).contains("воде") && heading(25).contains("абс"));
            QVERIFY(heading(26).contains("углеводород"));
            QVERIFY(heading(27).contains("кгс/см2"));
        }
    }

    void report_names()
    {
        const uint8_t date[4] = {26, 3, 5, 10};
        QCOMPARE(Passport_Report_Path(PASSPORT_DAY, date, QStringLiteral("ГРС-1")),
                 Work_Dir() + QStringLiteral("REPORT/ГРС-1_day_260305.xlsx"));
        QCOMPARE(Passport_Report_Path(PASSPORT_MON, date, QStringLiteral("ГРС-1")),
                 Work_Dir() + QStringLiteral("REPORT/ГРС-1_mon_2603.xlsx"));
        // A name cannot lead the report out of its directory.
        QCOMPARE(Passport_Report_Path(PASSPORT_DAY, date, QStringLiteral("../a/b:c*")),
                 Work_Dir() + QStringLiteral("REPORT/.._a_b_c__day_260305.xlsx"));
        QCOMPARE(Passport_Report_Path(PASSPORT_MON, date, QString()), Work_Dir() + QStringLiteral("REPORT/__mon_2603.xlsx"));
    }
};

QTEST_GUILESS_MAIN(Tst_Passport_Export)
#include "tst_passport_export.moc"
