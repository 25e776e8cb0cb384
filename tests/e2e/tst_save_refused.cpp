// Every save of the program on a disk that refuses a write part-way (as a full one does): the
// test runs itself as a child that writes the old files, then as a child whose writes past a
// few bytes fail (a file-size limit) and that saves over them the way the user does. The old
// files stay byte for byte, no other file is left, and the failure is told; the settings
// written at exit stay as they were without a word, their shadow not taken as written.
#include "archives/Arhiv_File.h"
#include "archives/forms/Objects_list.h"
#include "archives/forms/Save_Arhiv.h"
#include "archives/forms/Xls_Export_Form.h"
#include "archives/forms/Xls_report.h"
#include "core/Globals.h"
#include "core/Hgcbox.h"
#include "core/Ques.h"
#include "core/Rd_wr_ini.h"
#include "core/Suplfunc.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "messages/Ques_prn.h"
#include "messages/forms/Prnarhiv.h"
#include "messages/forms/Ques_prn.h"
#include "params/Config.h"
#include "params/forms/Config_Files.h"

#include "Arh_Builders.h"
#include "../../tools/make-templates/Passport_Templates.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {
constexpr rlim_t kWriteLimit = 16;   // bytes: every file the saves write is longer
const uint8_t kDay[4] = {26, 4, 1, 0};

void Say(const QString &s)
{
    std::fputs((s + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// Messages go to the parent; every question is answered "Да".
class Told : public Ques_Handler {
    uint8_t Ask(const Ques_Setup &q) override
    {
        Say(QStringLiteral("ques\t%1|%2").arg(q.line1, q.line2));
        return q.yes_no ? 1 : 0;
    }
};

QString Old_File(const QString &c)
{
    if (c == "archive") return Work_Dir() + "MOMDATA/old.mch";
    if (c == "messages") return Work_Dir() + "ALAFILES/old.ala";
    if (c == "cnf") return Work_Dir() + "CONFIG/old.cnf";
    if (c == "xlsx") return Work_Dir() + "MOMDATA/old.xlsx";
    if (c == "pdf") return Work_Dir() + "REPORT/old.pdf";
    return Passport_Report_Path(PASSPORT_DAY, kDay, QStringLiteral("Объект"));
}

// The files a user has after some work: settings, lists, heading, a file of each save.
int Prepare()
{
    for (const char *d : {"INI", "MOMDATA", "ALAFILES", "CONFIG", "REPORT", "tmp"}) QDir().mkpath(Work_Dir() + d);
    Set_Ini_Paths();
    Conn_Settings_Shadow = Conn_Settings_Rec{};
    Conn_Settings = Conn_Settings_Rec{};
    Conn_Settings.Curr_Par.Conn_Prz = 1;
    Conn_Settings.Curr_Par.Form_Width = 900;
    Fon_Abonents_List &fon = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    Ethr_Abonents_List &ethr = Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents;
    for (int k = 0; k < 2; ++k) {
        std::snprintf(fon.rec[k].user_name, ABONENT_NAME_LEN, "Site %d", k);
        std::snprintf(fon.rec[k].phone_code, PHONE_CODE_LEN, "55%d", k);
        std::snprintf(ethr.rec[k].user_name, ABONENT_NAME_LEN, "Host %d", k);
        fon.rec[k].contr_adr = ethr.rec[k].contr_adr = uint8_t(k + 1);
        ethr.rec[k].ip_adr = 0x7F000001;
        ethr.rec[k].port = 5000;
    }
    fon.hdr.users_num = ethr.hdr.users_num = 2;
    Rd_Arh_Rec.index_choice = 1;
    Obj_List = Obj_List_Rec{};
    Obj_List.obj_num = 2;
    std::strcpy(Obj_List.obj_name[0], "Объект");
    std::strcpy(Obj_List.obj_name[1], "Другой");
    char heading[REP_HEADING_SIZE] = "Old organisation";
    Save_Settings_Files();
    const Arhiv_Header h = Arh_Test_Header(Arh_File_Kind::Chr_Meas, 2, 1);
    Cnf_Rec cnf{};
    const bool ok = Write_Objects(Obj_Path) && Write_Title_Ini(Title_Ini_Path(), heading) &&
                    Write_Arhiv_File(Old_File("archive"), Arh_File_Kind::Chr_Meas, h, QByteArray(2 * 94, 'm')) == Arh_Write::Ok &&
                    Write_Arhiv_File(Old_File("messages"), Arh_File_Kind::Ala, Arh_Test_Header(Arh_File_Kind::Ala, 2, 0),
                                     QByteArray(2 * 300, 'a')) == Arh_Write::Ok &&
                    Write_Cnf_File(Old_File("cnf"), cnf) == Cnf_Write::Ok &&
                    Save_Whole_File(Old_File("xlsx"), QByteArray(3000, 'x')) == Save_Result::Ok &&
                    Save_Whole_File(Old_File("passport"), QByteArray(3000, 'p')) == Save_Result::Ok &&
                    Save_Whole_File(Old_File("pdf"), QByteArray(3000, 'f')) == Save_Result::Ok &&
                    passport_templates::Make_All(Work_Dir().toStdString());
    return ok ? 0 : 1;
}

// One save as the user makes it, on the refusing disk. Prints "result\t<x>" where the program
// keeps what it believes of the outcome (true: taken as written).
int Refused(const QString &c)
{
    Load_Settings_Files(1024, 768);
    const Conn_Settings_Rec loaded = Conn_Settings;
    Told told;
    Set_Ques_Handler(&told);
    const QString old = Old_File(c);
    Scripted_Dialogs run([&](QDialog &d) {
        if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
            fd->selectFile(old);
            d.accept();
        } else if (auto *l = qobject_cast<TFormAbonents_List *>(&d)) {
            l->BitBtn3->click();   // "Удалить", then "Принять"
            l->BitBtn4->click();
        } else if (auto *p = qobject_cast<TFormConn_Par *>(&d)) {
            p->BitBtn1Click();
        }
    });
    Set_Dialog_Runner(&run);
    Exch_Box = new hgcbox(0);
    std::signal(SIGXFSZ, SIG_IGN);
    static const rlimit lim{kWriteLimit, kWriteLimit};
    // The workbook is made in a scratch file first: that one lies on a disk with room, and
    // the save folder's disk refuses the copy.
    if (c == "xlsx") Before_Commit = [] { setrlimit(RLIMIT_FSIZE, &lim); };
    else if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return 2;

    const auto result = [](bool b) { Say(QStringLiteral("result\t") + (b ? "true" : "false")); };
    const Arhiv_Header h = Arh_Test_Header(Arh_File_Kind::Chr_Meas, 10, 1);
    if (c == "archive") {
        result(Save_Archive_File(nullptr, Arh_File_Kind::Chr_Meas, h, QByteArray(10 * 94, 'n')) == Arh_Save::Saved);
    } else if (c == "messages") {
        const Arhiv_Header a = Arh_Test_Header(Arh_File_Kind::Ala, 10, 0);
        result(Save_Archive_File(nullptr, Arh_File_Kind::Ala, a, QByteArray(10 * 300, 'n')) == Arh_Save::Saved);
    } else if (c == "cnf") {
        Cnf_Rec rec{};
        New_Cnf(rec);
        result(Save_Cnf(nullptr, rec));
    } else if (c == "xlsx") {
        Xls_Grid g;
        g.caption = "Caption";
        g.cols = 3;
        g.rows = 20;
        g.heading = [](int, int) { return QStringLiteral("H"); };
        g.cell = [](int r, int) { return QString::number(r); };
        g.decimals = [](int) { return 2; };
        result(Export_Xls(nullptr, Xls_Viewer::Meas, h, g));
    } else if (c == "pdf") {
        QPrinter pr(QPrinter::HighResolution);
        pr.setOutputFormat(QPrinter::PdfFormat);
        pr.setOutputFileName(old);
        QList<QStringList> rows(100, QStringList(7, QStringLiteral("x")));
        result(Rep_Output(nullptr, Build_Arhiv_Report(REP_KIND_ALA, Arh_Test_Header(Arh_File_Kind::Ala, 1, 0), nullptr, rows), &pr));
    } else if (c == "passport") {
        Passport_Data d;
        std::memcpy(d.date, kDay, 4);
        TFormXls_Report f;
        f.Data = &d;
        f.Timer1Timer();
        result(!f.Saved.isEmpty());
    } else if (c == "fon_abonents.ini" || c == "ethr_abonents.ini") {
        const bool fon = c == "fon_abonents.ini";
        Conn_Settings.Curr_Par.Conn_Prz = fon ? 1 : 2;
        TFormConnect f;
        f.BitBtn6Click();
        result(fon ? !std::memcmp(&Conn_Settings_Shadow.Fon_Conn_Par.Fon_Abonents,
                                  &Conn_Settings.Fon_Conn_Par.Fon_Abonents, sizeof(Fon_Abonents_List))
                   : !std::memcmp(&Conn_Settings_Shadow.Ethernet_Conn_Par.Ethr_Abonents,
                                  &Conn_Settings.Ethernet_Conn_Par.Ethr_Abonents, sizeof(Ethr_Abonents_List)));
    } else if (c == "qzt.ini") {
        Conn_Settings.Curr_Par.Form_Width = 1000;   // the window was resized meanwhile
        TFormConnect f;
        f.BitBtn3Click();
        result(Conn_Settings_Shadow.Curr_Par.Form_Width == 1000);
    } else if (c == "objects.ini") {
        TFormObjects_List f;
        f.show();
        f.BitBtn3->click();   // "Удалить", then "Принять"
        f.BitBtn4->click();
    } else if (c == "title.ini") {
        TFormQues_Prn f;
        f.Header = &h;
        f.Report_Kind = 3;
        f.show();
        f.Edit1->setText(QStringLiteral("Новая организация"));
        f.BitBtn1Click();
        Say(QStringLiteral("printed\t%1").arg(f.Ok));
    } else if (c == "exit") {
        Conn_Settings.Curr_Par.Form_Width = 1000;
        std::strcpy(Conn_Settings.Fon_Conn_Par.Fon_Abonents.rec[0].user_name, "Renamed");
        Rd_Arh_Rec.period_choice = 2;
        Save_Settings_Files();
        result(std::memcmp(&Conn_Settings_Shadow, &loaded, sizeof loaded) != 0);
    }
    delete Exch_Box;
    Set_Dialog_Runner(nullptr);
    Set_Ques_Handler(nullptr);
    return 0;
}

// Every file under dir with its bytes.
QMap<QString, QByteArray> Files(const QString &dir)
{
    QMap<QString, QByteArray> m;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        m[f.fileName()] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    return m;
}
} // namespace

class Tst_Save_Refused : public QObject {
    Q_OBJECT

    QByteArray Child(const QString &mode, const QString &c, const QString &dir, const QString &home)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", dir + "/tmp");   // the workbook's scratch copy counts as left behind
        env.insert("XDG_CONFIG_HOME", home);  // the file dialog's own settings
        env.insert("XDG_CACHE_HOME", home);
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {mode, c, dir});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            qWarning() << mode << c << p.exitCode() << p.readAllStandardError();
        return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray("child failed");
    }

private slots:
    void refused_save_keeps_the_old_file_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("told");    // the last message; empty: none at all
        QTest::addColumn<QString>("result");  // what the program keeps of the outcome
        const QString not_written = QStringLiteral("Ошибка записи файла|");
        const QString file_error = QStringLiteral("Ошибка работы с файлом!|");
        QTest::newRow("archive") << "archive" << not_written + "old.mch" << "false";
        QTest::newRow("messages") << "messages" << not_written + "old.ala" << "false";
        QTest::newRow("cnf") << "cnf" << not_written + "old.cnf" << "false";
        QTest::newRow("xlsx") << "xlsx" << file_error << "false";
        QTest::newRow("passport") << "passport" << file_error << "false";
        QTest::newRow("pdf") << "pdf" << "" << "false";   // the caller says "Ошибка печати данных"
        for (const char *ini : {"fon_abonents.ini", "ethr_abonents.ini", "qzt.ini"})
            QTest::newRow(ini) << ini << not_written + ini << "false";
        QTest::newRow("objects.ini") << "objects.ini" << not_written + "objects.ini" << "";
        QTest::newRow("title.ini") << "title.ini" << not_written + "title.ini" << "";
        QTest::newRow("exit") << "exit" << "" << "false";
    }
    void refused_save_keeps_the_old_file()
    {
        QFETCH(QString, save);
        QFETCH(QString, told);
        QFETCH(QString, result);
        QTemporaryDir work, home;
        QVERIFY(work.isValid() && home.isValid());
        QCOMPARE(Child("--prepare", save, work.path(), home.path()), QByteArray());
        const QMap<QString, QByteArray> before = Files(work.path());
        QVERIFY(before.size() >= 13);

        const QStringList out = QString::fromUtf8(Child("--refused", save, work.path(), home.path())).split(u'\n');
        QCOMPARE(Files(work.path()), before);
        const QStringList shown = out.filter(QRegularExpression("^ques\t")).replaceInStrings("ques\t", "");
        QCOMPARE(shown.isEmpty() ? QString() : shown.last(), told);
        QVERIFY2(shown.filter(QStringLiteral("сохранен")).isEmpty(), qPrintable(shown.join('\n')));
        if (!result.isEmpty()) QVERIFY2(out.contains("result\t" + result), qPrintable(out.join('\n')));
        // The report still gets the name typed for it.
        if (save == "title.ini") QVERIFY(out.contains("printed\t1"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && (QByteArray(argv[1]) == "--prepare" || QByteArray(argv[1]) == "--refused")) {
        QApplication app(argc, argv);
        Set_Work_Dir(QString::fromLocal8Bit(argv[3]));
        Set_Ini_Paths();
        return QByteArray(argv[1]) == "--prepare" ? Prepare() : Refused(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    Tst_Save_Refused t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_save_refused.moc"
