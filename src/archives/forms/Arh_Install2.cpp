#include "archives/forms/Arh_Install2.h"

#include "archives/forms/Arh_Read_Form.h"
#include "archives/forms/Arhiv_Clb_Form.h"
#include "archives/forms/Arhivhdm_Chr_Form.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/forms/Main.h"

void Install_Archive_Viewers2(TFormMain *main)
{
    Set_Archive_Viewer(Arh_Reader::Chr_Hour, [main](const Arh_Read_Result &r) {
        Show_Arhiv_HDM_Chr(main, r.header, r.records, HDM_KIND_HOUR);
    });
    Set_Archive_Viewer(Arh_Reader::Chr_Day, [main](const Arh_Read_Result &r) {
        Show_Arhiv_HDM_Chr(main, r.header, r.records, HDM_KIND_DAY);
    });
    Set_Archive_Viewer(Arh_Reader::Clb,
                       [main](const Arh_Read_Result &r) { Show_Arhiv_Clb(main, r.header, r.records); });
    Set_Meas_Xls_Export(true);
}
