// The program's wiring: every command that exists is attached to its menu item.
#include "Program.h"

#include "core/Globals.h"
#include "core/Tables.h"
#include "core/forms/Main.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

class Tst_Program : public QObject {
    Q_OBJECT
private slots:
    void commands_are_attached()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Set_Work_Dir(dir.path());
        TFormMain m;
        m.TimerStart.stop();
        Install_Commands(&m);
        // Hidden items report themselves disabled: show all, as with a fully fitted controller.
        Tab_Field(6, 8)[0] = 1;
        Tab_Field(6, 9)[0] = 1;
        Connected = true;
        m.Update_Menu();
        Connected = false;
        const QStringList attached = {
            "NExit", "Nident", "NContrName", "NConVU", "NVrgConn", "NConHGC", "NConnWMT", "N_Ethernet", "Nsys",
            "NSinhr", "NCurrVich", "NInsens", "NLowAttent", "NUpAttent", "NLowLimit", "NUpperLimit", "NDistr",
            "Ndistrpar", "NConst", "NPass", "NMac_Adr", "NContrDt", "NAlaInd", "NAlaPer", "NSit", "NChrom_Mom",
            "NChrom_RdMeas", "NChrom_RdHour", "NChrom_RdDay", "NChrom_RdClb", "NWmt_MomData", "NExcDay",
            "NExcMon", "Nconnect", "NUser", "Nabout", "Nrdcnf", "NAudInd", "NAudPer", "NWmt_RdMeas", "NWmt_ReadHour",
            "NWmt_ReadDay", "NNewcnf", "NEditcnf", "NAudPrn", "NAlaPrn", "NChrom_ViewMeas", "NChrom_ViewHour",
            "NChrom_ViewDay", "NChrom_ViewClb", "NWmt_ViewMeas", "NWmt_ViewHour", "NWmt_ViewDay"};
        for (const QString &n : attached) {
            QAction *a = m.Item(n);
            QVERIFY2(a, qPrintable(n));
            QVERIFY2(a->isEnabled(), qPrintable(n + " is not attached"));
        }
    }
};

QTEST_MAIN(Tst_Program)
#include "tst_program.moc"
