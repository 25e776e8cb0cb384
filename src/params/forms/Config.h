#pragma once
// "Параметры конфигурации контроллера": one configuration record edited in place through the
// parameter dialogs of the Parameters menu, each opened with Dev_Write 0 on the record's own
// bytes. The editor never talks to the controller: its caller decides what to do with the
// record (save it, or apply and write it).
#include "params/Config.h"
#include "params/forms/Param_Dialog.h"

#include <cstdint>

class QGroupBox;
class QLabel;
class TFormMain;

class TFormConfig : public TParam_Dialog {
    Q_OBJECT
public:
    explicit TFormConfig(QWidget *owner = nullptr);

    // Set by the caller before showing: the record edited in place. Dev_Write (base) 1 shows
    // "Записать в устройство" instead of "Принять"; both accept.
    Cnf_Rec *Cnf = nullptr;
    // Out: the record differs from what it was when the form was shown (valid once accepted).
    uint8_t Changed = 0;
    // Accepted (base): closed by "Принять" / "Записать в устройство".

    // The background panel, grey while a dialog of the form is open.
    QWidget *Panel1 = nullptr;

    QPushButton *BtnIdent = nullptr;     // "Параметры идентификации"
    QPushButton *BtnNames = nullptr;     // "Наименования"
    // " Параметры связи "
    QLabel *LConVich = nullptr;
    QPushButton *BtnConVich = nullptr;   // "С  вычислителями расхода газа"
    QPushButton *BtnConVU = nullptr;     // "С верхним уровнем"
    QPushButton *BtnConHGC = nullptr;    // "С хроматографом"
    QLabel *LConWMT = nullptr;
    QPushButton *BtnConWMT = nullptr;    // "С влагомером"
    QPushButton *BtnConEth = nullptr;    // "Параметры Ethernet "
    // " Параметры настроек "
    QPushButton *BtnSys = nullptr;       // "Системные параметры"
    QPushButton *BtnSinhr = nullptr;     // "Синхронизация времени"
    // " Параметры работы с вычислителями расхода газа "
    QGroupBox *GBVich = nullptr;
    QPushButton *BtnFlouList = nullptr;  // "Параметры вычислителей"
    QPushButton *BtnPrzDistr = nullptr;  // "Необходимость записи"
    QPushButton *BtnDistr = nullptr;     // "Период записи средних за час"
    // " Уставки параметров газа ": kinds 0..4
    QPushButton *BtnLimits[5] = {};
    // " Доступ пользователей  к записи в контроллер "
    QPushButton *BtnAccess = nullptr;    // "Зарегистрированные пользователи"
    // " Константы параметров газа "
    QPushButton *BtnConst1 = nullptr;    // "Нитка 1"
    QLabel *LConst2 = nullptr;
    QPushButton *BtnConst2 = nullptr;    // "Нитка 2": always disabled

    void Ident_Click();
    void Names_Click();
    void ConVich_Click();
    void ConVU_Click();
    void ConHGC_Click();
    void ConWMT_Click();
    void ConEth_Click();
    void Sys_Click();
    void Sinhr_Click();
    void FlouList_Click();
    void PrzDistr_Click();
    void Distr_Click();
    void Limits_Click(int kind);
    void Access_Click();
    void Const_Click(int line);

    // The caption for the record's controller name.
    static QString Caption_For(const Cnf_Rec &rec);

protected:
    void Load() override;    // caption, snapshot, availability
    bool Store() override;   // Changed against the snapshot

private:
    Cnf_Rec Snapshot{};
    // Opens a parameter dialog on the record (Dev_Write 0) with the panel greyed meanwhile;
    // true when it was accepted.
    bool Open(TParam_Dialog &d);
    void Set_Panel_Grey(int level);
    void Availability();
};

// Makes TFormConfig the editor of the configuration-file commands.
void Install_Config_Editor(TFormMain *m);
