#include "archives/forms/Arh_Install.h"

#include "archives/forms/Arh_Install2.h"
#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhivhd_Wmt_Form.h"
#include "archives/forms/Arhmeas_Chr_Form.h"
#include "core/forms/Main.h"

void Install_Archives(TFormMain *main)
{
    Set_Archive_Viewer(Arh_Reader::Chr_Meas,
                       [main](const Arh_Read_Result &r) { Show_Arh_Meas_Chr(main, r.header, r.records); });
    Install_Archive_Viewers2(main);
    Install_Wmt_Viewers(main);
    Install_Archive_Commands(main);
}
