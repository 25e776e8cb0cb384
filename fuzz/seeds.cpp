// Makes the seed corpora of the fuzz targets, one directory per target under the given one:
// replies of the simulator, and files written by the program's own writers from the
// simulator's records; the passport templates named after the directory. Each seed starts with the selector byte its target reads first.
#include "Fuzz.h"
#include "FakePort.h"
#include "Sim.h"
#include "SimArchive.h"
#include "SimMessages.h"
#include "archives/Arhiv_File.h"
#include "archives/Objects_list.h"
#include "core/Cnf_Exchange.h"
#include "core/Hgcbox.h"
#include "core/Rd_wr_ini.h"
#include "messages/Iniala.h"
#include "messages/Iniaud.h"
#include "messages/Ques_prn.h"
#include "params/Config.h"

#include <cstring>

namespace {

QString Out;
int Seq = 0;

void Put(const char *target, int sel, const QByteArray &bytes)
{
    QDir().mkpath(Out + target);
    QFile f(QString("%1%2/seed-%3").arg(Out, target).arg(++Seq));
    if (f.open(QIODevice::WriteOnly)) f.write(char(sel) + bytes);
}

QByteArray Slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put_File(const char *target, int sel, const std::function<void(const QString &)> &write)
{
    const QString path = fuzz::Dir() + "seed";
    QFile::remove(path);
    write(path);
    Put(target, sel, Slurp(path));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    Out = QString::fromLocal8Bit(argv[1]) + "/";
    Sim_Core sim(5);
    sim.Set_Image(Sim_Core::Default_Image(5, sim.Password(), sim.Code()));
    Sim_Archive arh(sim);
    arh.Generate({});
    arh.Install();
    Sim_Messages msg(sim, arh);
    msg.Generate(QDateTime::currentDateTime(), 90, 40);
    msg.Install();

    FakeClock clk;
    FakePort port(&clk);
    hgcbox box(5);
    box.Clk = &clk, box.Do_Close_Port = 0, box.Rate = 1000000, box.Repeat = 1, box.Port_Handle = port.Borrow();
    std::memcpy(box.Write_Pass, sim.Password().constData(), 12);
    std::memcpy(box.User_Code, sim.Code().constData(), 4);
    QByteArray got;
    port.On_Write = [&](FakePort &p, const QByteArray &w) {
        for (const Sim_Chunk &c : sim.Receive(w, clk.Now_Us() / 1000)) got += c.bytes, p.Queue(c.bytes, 1000);
    };
    for (int sel = 0; sel < 8; ++sel) {
        got.clear();
        box.Exchange(fuzz::Reply_Funcs[sel], fuzz::Reply_Args, fuzz::Reply_Funcs[sel] == 25 ? 0 : 16);
        Put("reply", sel, got);
        Put("reply", sel | 0x08, got);
    }

    // Archive files of each kind and their records; the selectors follow the targets' order.
    const struct { Sim_Arh a; Arh_File_Kind kind; int rec_sel; } arhs[] = {
        {Sim_Arh::Chr_Meas, Arh_File_Kind::Chr_Meas, 0}, {Sim_Arh::Chr_Hour, Arh_File_Kind::Chr_Hour, 1},
        {Sim_Arh::Chr_Day, Arh_File_Kind::Chr_Day, 0x11}, {Sim_Arh::Clb, Arh_File_Kind::Clb, 2},
        {Sim_Arh::Wmt_Meas, Arh_File_Kind::Wmt_Meas, 3}, {Sim_Arh::Wmt_Hour, Arh_File_Kind::Wmt_Hour, 4},
        {Sim_Arh::Wmt_Day, Arh_File_Kind::Wmt_Day, 0x14}};
    const auto header = [](Arh_File_Kind kind, uint32_t count) {
        Arhiv_Header h{};
        std::memcpy(h.magic, Arh_Info(kind).magic, 3);
        h.device = Arh_Info(kind).device, h.contr_type = ARH_CONTR_TYPE, h.chrom_code = ARH_CHROM_CODE;
        h.par_count = 12, h.rec_count = count;
        for (int i = 0; i < h.par_count; ++i) h.pars[i].unit = uint8_t(i), h.pars[i].decimals = uint8_t(i % 5);
        return h;
    };
    for (const auto &x : arhs) {
        QByteArray recs;
        for (int i = 0; i < 12 && i < arh.Count(x.a); ++i) recs += arh.Record(x.a, i);
        Put("records", x.rec_sel | 0x80, arh.Record(x.a, 0));
        Put_File("arh_file", int(x.kind), [&](const QString &p) { Write_Arhiv_File(p, x.kind, header(x.kind, uint32_t(recs.size() / Sim_Archive::Record_Size(x.a))), recs); });
    }
    for (int kind = 0; kind < 2; ++kind) {
        QByteArray raw;
        for (int i = 0; i < msg.Count(kind); ++i) {
            raw += msg.Record(kind, i);
            Put("records", (kind ? 6 : 5) | 0x80, msg.Record(kind, i));
        }
        const Arh_File_Kind k = kind ? Arh_File_Kind::Aud : Arh_File_Kind::Ala;
        const Arhiv_Header h = header(k, uint32_t(msg.Count(kind)));
        const QByteArray rows = kind ? Decode_Aud_Records(h, raw) : Decode_Ala_Records(h, raw);
        Put_File("arh_file", int(k), [&](const QString &p) { Write_Arhiv_File(p, k, h, rows); });
    }

    // Configuration files: a new one and one from the table image.
    static Cnf_Rec rec;
    New_Cnf(rec);
    Put_File("cnf", 1, [](const QString &p) { Write_Cnf_File(p, rec); });
    Fill_Config(rec);
    Put_File("cnf", 0, [](const QString &p) { Write_Cnf_File(p, rec); });

    // The settings files, each with some entries, and title.ini.
    Read_Ini(fuzz::Dir() + "none", 1920, 1080);
    Put_File("ini", 0, [](const QString &p) { Write_Ini(p); });
    auto &fon = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    auto &eth = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
    fon.hdr = eth.hdr = {2, 1, 0};
    for (int i = 0; i < 2; ++i) {
        std::snprintf(fon.rec[i].user_name, ABONENT_NAME_LEN, "Abonent %d", i);
        std::snprintf(fon.rec[i].phone_code, PHONE_CODE_LEN, "8123456%d", i);
        std::snprintf(eth.rec[i].user_name, ABONENT_NAME_LEN, "Host %d", i);
        fon.rec[i].contr_adr = eth.rec[i].contr_adr = uint8_t(i + 1);
        eth.rec[i].ip_adr = 0xC0A80001 + uint32_t(i), eth.rec[i].port = 5000;
        Set_Object_Name(Obj_List.obj_name[i], QString("Объект %1").arg(i));
    }
    Obj_List.obj_num = 2;
    Put_File("ini", 1, [](const QString &p) { Write_Fon_Abonents(p); });
    Put_File("ini", 2, [](const QString &p) { Write_Ethr_Abonents(p); });
    Put_File("ini", 3, [](const QString &p) { Write_Objects(p); });
    Read_Rd_Arh(fuzz::Dir() + "none", 46000.5);
    Put_File("ini", 4, [](const QString &p) { Write_Rd_Arh(p); });
    char heading[REP_HEADING_SIZE];
    Heading_From_Text("ООО \"Газ\"", heading);
    Put_File("ini", 5, [&](const QString &p) { Write_Title_Ini(p, heading); });
    for (int i = 2; i < argc; ++i) Put("template", i, Slurp(QString::fromLocal8Bit(argv[i])));
    return 0;
}
