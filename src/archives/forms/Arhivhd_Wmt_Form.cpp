#include "archives/forms/Arhivhd_Wmt_Form.h"

#include "archives/forms/Arh_Read_Form.h"
#include "core/forms/Dialogs.h"
#include "core/forms/Main.h"

TFormArhivHD_Wmt::TFormArhivHD_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs, uint8_t kind)
    : TFormArh_Wmt(owner, h, recs, kind == WMT_KIND_HOUR ? WMT_KIND_HOUR : WMT_KIND_DAY)
{
    setObjectName(QStringLiteral("FormArhivHD_Wmt"));
}

void Show_Wmt_Hour(QWidget *owner, const Arhiv_Header &h, const QByteArray &records)
{
    TFormArhivHD_Wmt f(owner, h, records, WMT_KIND_HOUR);
    Run_Dialog(f);
}

void Show_Wmt_Day(QWidget *owner, const Arhiv_Header &h, const QByteArray &records)
{
    TFormArhivHD_Wmt f(owner, h, records, WMT_KIND_DAY);
    Run_Dialog(f);
}

void Install_Wmt_Viewers(TFormMain *main)
{
    Set_Archive_Viewer(Arh_Reader::Wmt_Meas, [main](const Arh_Read_Result &r) { Show_Wmt_Meas(main, r.header, r.records); });
    Set_Archive_Viewer(Arh_Reader::Wmt_Hour, [main](const Arh_Read_Result &r) { Show_Wmt_Hour(main, r.header, r.records); });
    Set_Archive_Viewer(Arh_Reader::Wmt_Day, [main](const Arh_Read_Result &r) { Show_Wmt_Day(main, r.header, r.records); });
}
