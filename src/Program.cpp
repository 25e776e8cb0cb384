#include "Program.h"

#include "archives/forms/Arh_Install.h"
#include "archives/forms/Excrep_date.h"
#include "archives/forms/Open_Files.h"
#include "core/forms/Connect_Seq.h"
#include "messages/forms/Iniaud_Form.h"
#include "messages/forms/Msg_Menu.h"
#include "params/forms/Config.h"
#include "params/forms/Config_Files.h"
#include "params/forms/Curr_State.h"
#include "params/forms/Limits.h"
#include "params/forms/Links.h"
#include "params/forms/Params_Menu.h"
#include "params/forms/Restore.h"
#include "params/forms/Syspar.h"
#include "core/forms/Main.h"

void Install_Commands(TFormMain *main)
{
    Install_Connect(main);
    Install_Param_Commands(main);
    Install_Syspar_Commands(main);
    Install_Link_Commands(main);
    Install_Limit_Commands(main);
    Install_State_Commands(main);
    Install_Config_Commands(main);
    Install_Config_Editor(main);
    Install_Restore(main);
    Install_Archives(main);
    Install_Passport_Commands(main);
    Install_Message_Commands(main);
    Install_Aud_Viewer(main);
    Install_Open_File_Commands(main);
}
