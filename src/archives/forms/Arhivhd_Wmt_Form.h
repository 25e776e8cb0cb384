#pragma once
// Viewer of the moisture meter's hourly and daily lists, and the place where the three
// moisture-meter viewers are plugged into their readers.
#include "archives/forms/Arhmeas_Wmt_Form.h"

class TFormMain;

class TFormArhivHD_Wmt : public TFormArh_Wmt {
    Q_OBJECT
public:
    // kind: WMT_KIND_HOUR (6) or WMT_KIND_DAY (7); any other is shown as daily.
    TFormArhivHD_Wmt(QWidget *owner, const Arhiv_Header &h, const QByteArray &recs, uint8_t kind);
};

// Show an hourly or a daily list modally (through Run_Dialog) over owner.
void Show_Wmt_Hour(QWidget *owner, const Arhiv_Header &h, const QByteArray &records);
void Show_Wmt_Day(QWidget *owner, const Arhiv_Header &h, const QByteArray &records);

// The momentary, hourly and daily viewers as the results of their readers.
void Install_Wmt_Viewers(TFormMain *main);
