// The settings files of the INI directory and title.ini: the first input byte picks the file,
// the rest is its content. Whatever a reader takes in must be within the dialogs' ranges.
#include "Fuzz.h"
#include "archives/Objects_list.h"
#include "core/Rd_wr_ini.h"
#include "messages/Ques_prn.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    const QString path = fuzz::File("ini", fuzz::Bytes(data + 1, size - 1));
    const Abonent_Hdr &fon = Conn_Settings.Fon_Conn_Par.Fon_Abonents.hdr;
    const Abonent_Hdr &eth = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents.hdr;
    bool ok = true;
    switch (data[0] % 6) {
    case 0:
        Read_Ini(path, 1920, 1080);
        // Values are taken as read; an attempt count of 0 alone would make an exchange send nothing.
        ok = Conn_Settings.Dir_Conn_Par.Repeat >= 1 && Conn_Settings.Fon_Conn_Par.Link.Repeat >= 1 &&
             Conn_Settings.Ethernet_Conn_Par.Link.Repeat >= 1;
        break;
    case 1: Read_Fon_Abonents(path), ok = fon.users_num <= ABONENTS_MAX && (!fon.users_num || fon.user_index < fon.users_num); break;
    case 2: Read_Ethr_Abonents(path), ok = eth.users_num <= ABONENTS_MAX && (!eth.users_num || eth.user_index < eth.users_num); break;
    case 3:
        Read_Objects(path);
        ok = Obj_List.obj_num <= OBJECTS_MAX && (!Obj_List.obj_num || Obj_List.obj_index < Obj_List.obj_num);
        Sort_Objects(Obj_List), Current_Object_Name(Obj_List);
        break;
    case 4: Read_Rd_Arh(path, 45000), ok = Rd_Arh_Rec.period_choice <= RD_ARH_PERIOD_MAX && Rd_Arh_Rec.index_choice <= RD_ARH_INDEX_MAX; break;
    case 5: {
        char heading[REP_HEADING_SIZE];
        Read_Title_Ini(path, heading);
        ok = heading[REP_HEADING_SIZE - 1] == 0;
        break;
    }
    }
    if (!ok) __builtin_trap();
    return 0;
}
