// Every save on a disk that refuses writes part-way (a file-size limit while the save runs):
// the old file stays byte for byte, no other file is left, and the user is told.
#include "archives/forms/Objects_list.h"
#include "archives/forms/Save_Arhiv.h"
#include "archives/forms/Xls_Export_Form.h"
#include "core/Globals.h"
#include "core/Rd_wr_ini.h"
#include "core/Suplfunc.h"
#include "core/forms/Abonents_List.h"
#include "core/forms/Conn_Par.h"
#include "core/forms/Connect.h"
#include "core/forms/Dialogs.h"
#include "messages/forms/Prnarhiv.h"
#include "messages/forms/Ques_prn.h"
#include "params/Config.h"
#include "params/forms/Config_Files.h"

#include "Arh_Builders.h"
#include "Msg_Support.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {
QString Old_File(const QString &c)
{
    return Work_Dir() + QMap<QString, QString>{{"archive", "MOMDATA/old.mch"}, {"cnf", "CONFIG/old.cnf"},
                                               {"xlsx", "MOMDATA/old.xlsx"}, {"pdf", "REPORT/old.pdf"},
                                               {"title.ini", "INI/title.ini"}}[c];
}

// The files a user has after some work: settings, a subscriber, objects, a file of each save.
bool Prepare()
{
    for (const char *d : {"INI", "MOMDATA", "CONFIG", "REPORT", "tmp"}) QDir().mkpath(Work_Dir() + d);
    Set_Ini_Paths();
    Conn_Settings_Shadow = Conn_Settings = Conn_Settings_Rec{};
    Conn_Settings.Curr_Par.Conn_Prz = 1;
    Fon_Abonents_List &fon = Conn_Settings.Fon_Conn_Par.Fon_Abonents;
    std::strcpy(fon.rec[0].user_name, "Site");
    fon.hdr.users_num = 1;
    Obj_List_Shadow = Obj_List = Obj_List_Rec{};
    Obj_List.obj_num = 2;   // the last one is not deleted
    std::strcpy(Obj_List.obj_name[0], "Объект");
    std::strcpy(Obj_List.obj_name[1], "Другой");
    Save_Settings_Files();
    bool ok = Write_Objects(Obj_Path);
    for (const char *c : {"archive", "cnf", "xlsx", "pdf", "title.ini"})
        ok = ok && Save_Whole_File(Old_File(c), QByteArray(3000, 'o')) == Save_Result::Ok;
    return ok;
}

// One save as the user makes it; true where the program takes the file as written.
bool Save(const QString &c)
{
    const Arhiv_Header h = Arh_Test_Header(Arh_File_Kind::Chr_Meas, 10, 1);
    if (c == "archive")
        return Save_Archive_File(nullptr, Arh_File_Kind::Chr_Meas, h, QByteArray(10 * 94, 'n')) == Arh_Save::Saved;
    if (c == "cnf") return Save_Cnf(nullptr, Cnf_Rec{});
    if (c == "xlsx") {
        const Xls_Grid g{"Caption", 3, 20, [](int, int) { return QStringLiteral("H"); },
                         [](int r, int) { return QString::number(r); }, [](int) { return 2; }, nullptr};
        return Export_Xls(nullptr, Xls_Viewer::Meas, h, g);
    }
    if (c == "pdf") {
        QPrinter pr;
        pr.setOutputFileName(Old_File(c));   // a PDF, by its name
        return Rep_Output(nullptr, Build_Arhiv_Report(REP_KIND_ALA, h, nullptr, {100, QStringList(7, "x")}), &pr);
    }
    if (c == "fon_abonents.ini") {
        TFormConnect().BitBtn6Click();
        const Fon_Abonents_List &kept = Conn_Settings_Shadow.Fon_Conn_Par.Fon_Abonents;   // what the file holds
        return !std::memcmp(&kept, &Conn_Settings.Fon_Conn_Par.Fon_Abonents, sizeof kept);
    }
    if (c == "qzt.ini") {
        Conn_Settings.Curr_Par.Form_Width = 1000;   // the window was resized meanwhile
        TFormConnect().BitBtn3Click();
    } else if (c == "objects.ini") {
        TFormObjects_List f;
        f.BitBtn3->click();   // "Удалить", then "Принять"
        f.BitBtn4->click();
    } else if (c == "title.ini") {
        TFormQues_Prn f;
        f.Edit1->setText(QStringLiteral("Новая организация"));
        f.BitBtn1Click();
    } else if (c == "exit") {   // the settings written at exit
        Rd_Arh_Rec.period_choice = 2;
        Save_Settings_Files();
    }
    return false;
}

// Every file under dir with its bytes.
QMap<QString, QByteArray> Files(const QString &dir)
{
    QMap<QString, QByteArray> m;
    for (QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();) {
        QFile f(it.next());
        m[f.fileName()] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    return m;
}
} // namespace

class Tst_Save_Refused : public QObject {
    Q_OBJECT

private slots:
    void refused_save_keeps_the_old_file_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("told");   // the last message; empty: none at all
        const QString not_written = QStringLiteral("Ошибка записи файла|");
        QTest::newRow("archive") << "archive" << not_written + "old.mch";
        QTest::newRow("cnf") << "cnf" << not_written + "old.cnf";
        QTest::newRow("xlsx") << "xlsx" << "Ошибка работы с файлом!|";
        QTest::newRow("pdf") << "pdf" << "";   // the caller says "Ошибка печати данных"
        for (const char *ini : {"fon_abonents.ini", "qzt.ini", "objects.ini", "title.ini"})
            QTest::newRow(ini) << ini << not_written + ini;
        QTest::newRow("exit") << "exit" << "";
    }
    void refused_save_keeps_the_old_file()
    {
        QFETCH(QString, save);
        QFETCH(QString, told);
        QTemporaryDir work;
        Set_Work_Dir(work.path());
        qputenv("TMPDIR", QFile::encodeName(work.path() + "/tmp"));   // the workbook's scratch file counts as left
        QVERIFY(Prepare());
        const QMap<QString, QByteArray> before = Files(work.path());
        Load_Settings_Files(1024, 768);
        Ques_Log asked;
        asked.answer = 1;   // "Да"
        Set_Ques_Handler(&asked);
        Scripted_Dialogs run([&](QDialog &d) {
            if (auto *fd = qobject_cast<QFileDialog *>(&d)) {
                fd->selectFile(Old_File(save));
                d.accept();
            } else if (auto *l = qobject_cast<TFormAbonents_List *>(&d)) {
                l->BitBtn3->click();   // "Удалить", then "Принять"
                l->BitBtn4->click();
            } else if (auto *p = qobject_cast<TFormConn_Par *>(&d)) {
                p->BitBtn1Click();
            }
        });
        Set_Dialog_Runner(&run);
        // The workbook is made in a scratch file first, on a disk with room; the limit comes at its copy.
        rlimit was;
        getrlimit(RLIMIT_FSIZE, &was);
        const rlimit lim{16, was.rlim_max};   // writes past 16 bytes fail
        Before_Commit = [lim] { setrlimit(RLIMIT_FSIZE, &lim); };
        if (save != "xlsx") Before_Commit();
        const bool saved = Save(save);
        setrlimit(RLIMIT_FSIZE, &was);
        Before_Commit = nullptr;
        Set_Dialog_Runner(nullptr);
        Set_Ques_Handler(nullptr);
        QCOMPARE(Files(work.path()), before);
        QCOMPARE(asked.Lines().value(asked.asked.size() - 1), told);
        QVERIFY(!saved);
    }
};

int main(int argc, char **argv)
{
    // The file dialog writes its own settings (and fonts their cache) while the disk refuses.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    Tst_Save_Refused t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_save_refused.moc"
