// Archive figures:
//  1. the chromatograph measurement viewer's model over 100,000 records: time to build it
//     (CRC of every record, the means, the texts of one screen of cells), the memory it holds
//     beyond the records themselves, and that the grid makes no item per cell;
//  2. reading the measurement archive from the simulator over loopback TCP with every fixed
//     pause at 0: the time the reader adds per block beyond the bare function-8 exchanges.
// Prints each figure with its target and a verdict; the exit code is 0 whatever the verdicts.
#include "Bench_Clock.h"
#include "Sim.h"
#include "SimArchive.h"
#include "Sim_Transport.h"

#include "archives/Arh_Readers.h"
#include "archives/Arhmeas_Chr.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "core/Clock.h"
#include "core/Crc16.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Tables.h"
#include "core/Tcp_fun.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

// Bytes the allocator has handed out (heap and mmapped blocks alike).
size_t Heap_In_Use()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

const char *Verdict(bool ok) { return ok ? "PASS" : "FAIL"; }

// ---- 1. the measurement viewer's model ----------------------------------------------------

constexpr int kPars = 20;
constexpr int kRecords = 100000;
constexpr int kScreenRows = 40;   // a maximised grid on a large screen

Arhiv_Header Make_Header(uint32_t count)
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.magic, "MSA", 3);
    std::memcpy(h.line_name, "Line", 4);
    h.contr_adr = 7;
    h.contr_type = ARH_CONTR_TYPE;
    h.chrom_code = ARH_CHROM_CODE;
    h.par_count = kPars;
    h.rec_count = count;
    h.period_start = Date6{26, 1, 1, 0, 0, 0};
    h.period_end = Date6{26, 7, 1, 0, 0, 0};
    for (int i = 0; i < kPars; ++i) {
        const QByteArray s = "C" + QByteArray::number(i + 1);
        std::memcpy(h.pars[i].symbol, s.constData(), size_t(s.size()));
        h.pars[i].unit = 1;
        h.pars[i].decimals = uint8_t(i % 5 + 1);
    }
    return h;
}

// Record k: a 3-minute analysis, values varying with k, a zone mark now and then, a few
// records of a controller that was off, each sealed with its CRC.
QByteArray Make_Records(int count)
{
    QByteArray b(qsizetype(count) * CHR_MEAS_REC_SIZE, Qt::Uninitialized);
    for (int k = 0; k < count; ++k) {
        Chr_Meas_Rec r;
        std::memset(&r, 0, sizeof r);
        const int minutes = k * 3;
        r.dt = Date6{26, uint8_t(1 + minutes / (60 * 24 * 28) % 12), uint8_t(1 + minutes / (60 * 24) % 28),
                     uint8_t(minutes / 60 % 24), uint8_t(minutes % 60), 0};
        r.ctrl_status = k % 997 == 0 ? 0x02 : 0;
        for (int i = 0; i < kPars; ++i) {
            const float v = 90.0f - float(i) * 4.3f + float(k % 113) / 100.0f;
            std::memcpy(r.values + 4 * i, &v, 4);
            r.values[4 * i] &= 0xFC;
        }
        if (k % 50 == 0) r.values[0] |= 0x01;
        if (k % 333 == 0) r.values[4] |= 0x02;
        Put_Crc16(reinterpret_cast<uint8_t *>(&r), uint16_t(sizeof r - 2));
        std::memcpy(b.data() + qsizetype(k) * CHR_MEAS_REC_SIZE, &r, sizeof r);
    }
    return b;
}

// The work of opening the viewer: the model (CRC of every record and the means) and the
// texts of one screen of cells with the headings.
qsizetype Open_Screen(const Meas_Chr_Model &m, int first_row)
{
    qsizetype chars = 0;
    for (float a : m.Summary().avg) chars += a != 0;
    for (int c = 0; c < m.columnCount(); ++c) chars += m.headerData(c, Qt::Horizontal).toString().size();
    for (int r = first_row; r < std::min(m.rowCount(), first_row + kScreenRows); ++r)
        for (int c = 0; c < m.columnCount(); ++c) chars += m.data(m.index(r, c)).toString().size();
    return chars;
}

void Bench_Viewer_Model()
{
    std::printf("1. Measurement viewer model, %d records of %d bytes, %d parameters\n", kRecords,
                CHR_MEAS_REC_SIZE, kPars);
    const Arhiv_Header h = Make_Header(kRecords);
    const QByteArray recs = Make_Records(kRecords);
    const double rec_bytes = double(recs.size());

    std::vector<double> times;
    size_t held = 0;
    qsizetype chars = 0;
    for (int run = 0; run < 7; ++run) {
        const size_t before = Heap_In_Use();
        const double t0 = Wall_S();
        auto m = std::make_unique<Meas_Chr_Model>(h, recs);
        chars = Open_Screen(*m, run == 0 ? 0 : kRecords / 2);
        const double t1 = Wall_S();
        const size_t after = Heap_In_Use();
        times.push_back(t1 - t0);
        if (run == 0) held = after > before ? after - before : 0;
        if (m->rowCount() != kRecords || !m->Row_Valid(kRecords - 1)) {
            std::printf("   the model does not show the records as built\n");
            return;
        }
    }
    const double cold = times.front(), median = Median(times);
    std::printf("   build + CRC of every record + means + one screen (%d x 22 cells, %lld chars):\n",
                kScreenRows, static_cast<long long>(chars));
    std::printf("     first %.4f s, median of %zu runs %.4f s; target <= 0.3 s  %s\n", cold, times.size(),
                median, Verdict(std::max(cold, median) <= 0.3));
    std::printf("   memory held beyond the records' own %.0f bytes: %zu bytes = %.3f x records;"
                " target <= 3 x  %s\n",
                rec_bytes, held, double(held) / rec_bytes, Verdict(double(held) <= 3 * rec_bytes));

    // The viewer itself: the model is a table model answering per cell on demand; the grid
    // holds no item and no widget per cell, and its child widgets do not grow with the rows.
    const size_t before_form = Heap_In_Use();
    TFormArhMeas_Chr form(nullptr, h, recs);
    form.resize(1200, 900);
    form.show();
    QCoreApplication::processEvents();
    const size_t after_form = Heap_In_Use();
    const size_t form_held = after_form > before_form ? after_form - before_form : 0;
    QAbstractItemModel *model = form.StringGrid1->model();
    const bool table_model = qobject_cast<QAbstractTableModel *>(model) != nullptr &&
                             qobject_cast<QStandardItemModel *>(model) == nullptr;
    int index_widgets = 0;
    for (int r = 0; r < kScreenRows; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            if (form.StringGrid1->indexWidget(model->index(r, c))) ++index_widgets;
    const qsizetype big_children = form.StringGrid1->findChildren<QObject *>().size();
    TFormArhMeas_Chr small(nullptr, Make_Header(10), recs.left(10 * CHR_MEAS_REC_SIZE));
    small.resize(1200, 900);
    small.show();
    QCoreApplication::processEvents();
    const qsizetype small_children = small.StringGrid1->findChildren<QObject *>().size();
    const bool no_items = table_model && index_widgets == 0 && big_children == small_children;
    std::printf("   grid model: %s (QAbstractTableModel, no QStandardItemModel: %s); index widgets on"
                " screen: %d;\n     child objects of the grid: %lld with %d rows, %lld with 10 rows"
                "  -> no item per cell  %s\n",
                model->metaObject()->className(), table_model ? "yes" : "no", index_widgets,
                static_cast<long long>(big_children), kRecords, static_cast<long long>(small_children),
                Verdict(no_items));
    std::printf("   (for information: the whole shown viewer form holds %zu bytes = %.3f x records)\n",
                form_held, double(form_held) / rec_bytes);
}

// ---- 2. the measurement reader against the simulator ----------------------------------------

struct Silent_Ques final : Ques_Handler {
    QStringList asked;
    uint8_t Ask(const Ques_Setup &q) override
    {
        asked << q.line1 + QLatin1Char(' ') + q.line2;
        return 0;
    }
};

// The least window side a reader needs: it answers the period and serves events between
// blocks as the main window would.
struct Bench_Ui final : Arh_Read_Ui {
    Date6 from{}, to{};
    bool Ask_Period(Date6 &s, Date6 &e) override
    {
        s = from;
        e = to;
        return true;
    }
    bool Ask_Short_Period(const Arh_Range &, uint8_t, Date6 &, Date6 &) override { return false; }
    void Process_Events() override { QCoreApplication::processEvents(); }
};

Date6 To_Date6(const QDateTime &t)
{
    return Date6{uint8_t(t.date().year() - 2000), uint8_t(t.date().month()), uint8_t(t.date().day()),
                 uint8_t(t.time().hour()), uint8_t(t.time().minute()), uint8_t(t.time().second())};
}

int Count_Func(const Sim_Core &core, int func)
{
    int n = 0;
    for (const Sim_Request_Log &l : core.Log()) n += l.func == func;
    return n;
}

void Bench_Reader(int meas_hours)
{
    std::printf("2. Measurement archive read over loopback TCP, fixed pauses 0\n");
    QTemporaryDir work;
    Set_Work_Dir(work.path());

    Sim_Core core(1);
    Sim_Archive arh(core);
    Sim_Archive_Span span;
    span.meas_hours = meas_hours;
    arh.Generate(span);
    arh.Install();
    Sim_Tcp server(core);
    if (!server.Start(0)) {
        std::printf("   simulator did not start: %s\n", qPrintable(server.Error()));
        return;
    }
    const QByteArray img = core.Image();
    std::memcpy(Contr_Tables, img.constData(), CONTR_TABLES_SIZE);

    hgcbox box(1);
    box.Conn_Prz = 2;
    box.Do_Close_Port = 0;
    box.Pause_Tcp_Ms = 0;
    box.Pause_Rts_Us = 0;
    box.Pause_Close_Ms = 0;
    box.Pause_Dtr_Ms = 0;
    box.Repeat = 1;
    box.WaitTime = 5000;
    box.TimeOut = 1000;
    box.Pump = [] { QCoreApplication::processEvents(); };
    auto sock = std::make_unique<Tcp_Port>(Sock_Addr{0x7F000001u, server.Port()}, 5000, System_Clock());
    if (!sock->Open()) {
        std::printf("   cannot connect to the simulator\n");
        return;
    }
    box.Sock = std::move(sock);
    Exch_Box = &box;
    Silent_Ques ques;
    Ques_Handler *old_ques = Set_Ques_Handler(&ques);

    Bench_Ui ui;
    const int last = arh.Count(Sim_Arh::Chr_Meas) - 1;
    ui.from = To_Date6(arh.Date_Of(Sim_Arh::Chr_Meas, 0));
    ui.to = To_Date6(arh.Date_Of(Sim_Arh::Chr_Meas, last));

    // The bare link: the clock read and the function-8 series the reader sends, nothing else.
    auto bare = [&](int &blocks) {
        blocks = 0;
        const uint8_t clock_req[3] = {2, 0, 8};
        if (!box.Exchange(1, clock_req, 3)) return false;
        uint8_t req[15] = {0, ARH_KIND_MEAS, 0};
        std::memcpy(req + 3, ui.from.bytes(), 6);
        std::memcpy(req + 9, ui.to.bytes(), 6);
        uint8_t block = 0;
        for (;;) {
            req[2] = block;
            if (!box.Exchange(8, req, int(sizeof req))) return false;
            ++blocks;
            if (box.Resp_Buf[7] == 0) return true;
            block = block == 255 ? 1 : uint8_t(block + 1);
        }
    };

    // Warm-up of both, then alternate so that drift of the machine touches both alike.
    int blocks = 0;
    if (!bare(blocks) || !Read_Archive(Arh_Reader::Chr_Meas, ui)) {
        std::printf("   warm-up failed: %s %s\n", qPrintable(box.Err_Text()), qPrintable(ques.asked.join("; ")));
        Set_Ques_Handler(old_ques);
        Exch_Box = nullptr;
        return;
    }
    std::vector<double> reader_s, bare_s;
    int reader_f8 = 0, reader_f1 = 0, bare_f8 = 0, bare_f1 = 0;
    uint32_t records = 0;
    bool ok = true;
    for (int round = 0; round < 5 && ok; ++round) {
        core.Clear_Log();
        double t0 = Wall_S();
        const std::optional<Arh_Read_Result> res = Read_Archive(Arh_Reader::Chr_Meas, ui);
        reader_s.push_back(Wall_S() - t0);
        ok = res && !res->partial && !res->aborted && ques.asked.isEmpty();
        if (res) records = res->header.rec_count;
        reader_f8 = Count_Func(core, 8);
        reader_f1 = Count_Func(core, 1);

        core.Clear_Log();
        t0 = Wall_S();
        ok = bare(blocks) && ok;
        bare_s.push_back(Wall_S() - t0);
        bare_f8 = Count_Func(core, 8);
        bare_f1 = Count_Func(core, 1);
    }
    Set_Ques_Handler(old_ques);
    Exch_Box = nullptr;
    server.Stop();
    if (!ok) {
        std::printf("   a read failed: %s %s\n", qPrintable(box.Err_Text()), qPrintable(ques.asked.join("; ")));
        return;
    }

    const double r = Median(reader_s), b = Median(bare_s);
    const double per_block_ms = (r - b) / blocks * 1000.0;
    std::printf("   %u records in %d blocks; requests per read: reader %d x f8 + %d x f1, bare %d x f8 + %d x f1\n",
                records, blocks, reader_f8, reader_f1, bare_f8, bare_f1);
    std::printf("   median of %zu: reader %.4f s (%.3f ms/block), bare exchanges %.4f s (%.3f ms/block)\n",
                reader_s.size(), r, r / blocks * 1000.0, b, b / blocks * 1000.0);
    std::printf("   added by the program per block: %.4f ms; target <= 1 ms  %s%s\n", per_block_ms,
                Verdict(per_block_ms <= 1.0), per_block_ms < 0 ? " (below 0: within the link's own spread)" : "");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int meas_hours = argc > 1 ? std::max(1, atoi(argv[1])) : 100;   // 100 hours: 1000 blocks
    Bench_Viewer_Model();
    std::printf("\n");
    Bench_Reader(meas_hours);
    return 0;
}
