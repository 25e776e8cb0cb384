#pragma once
// Momentary data of the chromatograph (table 30 with the zones of table 32) and of the moisture
// meter (table 37), re-read every 10 s while the form is open and the refreshing is on. Both
// are one shape: a time panel and rows of a name panel, a value panel and (chromatograph) a
// zone panel, described by Mom_Desc.
#include "params/forms/Curr_State.h"

#include <QList>

class QLabel;
class TFormMain;

struct Mom_Desc {
    QString time_label;   // caption beside the time panel
    int rows = 0;         // rows the form has
    bool zones = false;   // a zone panel per row
};

class TFormMom_Rows : public TRefresh_Form {
    Q_OBJECT
public:
    struct Row {
        QLabel *pn = nullptr;   // name
        QLabel *v = nullptr;    // value
        QLabel *z = nullptr;    // zone (chromatograph)
    };
    QList<Row> Rows;            // controls pn1.., v1.., z1..
    QLabel *pnTime = nullptr;   // time of the data
    int Row_Count = 0;          // rows in use

    void TimerTimer() override;
    // One refresh: the tables read without messages and shown.
    virtual void Refresh_Data() = 0;

protected:
    TFormMom_Rows(const Mom_Desc &desc, QWidget *owner);
    // Time panel cleared, the timer started and one refresh at once.
    void Start_Mom();
};

// "Мгновенные данные хроматографа (сер. № %u), зоны параметров газа".
class TFormMom : public TFormMom_Rows {
    Q_OBJECT
public:
    explicit TFormMom(QWidget *owner = nullptr);

    uint8_t Tab_Data = 30;    // momentary values
    uint8_t Tab_Zone = 32;    // their zones
    uint8_t Last_Reply[88] = {};   // table 30 as last read

    void Refresh_Data() override;

protected:
    void Form_Show() override;
};

// " Мгновенные данные влагомера".
class TFormMomWmt : public TFormMom_Rows {
    Q_OBJECT
public:
    explicit TFormMomWmt(QWidget *owner = nullptr);

    uint8_t Last_Reply[28] = {};   // table 37 as last read

    void Refresh_Data() override;

protected:
    void Form_Show() override;
};

// Handlers of the two momentary-data commands.
void NChrom_MomDataClick(TFormMain *m);
void NWmt_MomDataClick(TFormMain *m);
