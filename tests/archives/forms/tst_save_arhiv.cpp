#include "archives/forms/Save_Arhiv.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/forms/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
class Quiet_Ques : public Ques_Handler {
public:
    QStringList Lines;
    uint8_t Ask(const Ques_Setup &q) override
    {
        Lines << q.line1;
        return 0;
    }
};
} // namespace

class Tst_Save_Arhiv : public QObject {
    Q_OBJECT
    QTemporaryDir Tmp;
    Quiet_Ques Ques;

private slots:
    void initTestCase()
    {
        QVERIFY(Tmp.isValid());
        Set_Work_Dir(Tmp.path());
        QVERIFY(QDir(Tmp.path()).mkpath("CALIBRARHIV"));
        Set_Ques_Handler(&Ques);
    }
    void cleanupTestCase()
    {
        Set_Ques_Handler(nullptr);
        Set_Dialog_Runner(nullptr);
    }

    void dialog_is_set_up_and_its_name_is_saved()
    {
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        std::memcpy(h.magic, "CLB", 3);
        h.contr_adr = 3;
        h.rec_count = 1;
        const QByteArray recs(90, '\x55');
        const QString dir = Tmp.path() + "/CALIBRARHIV";
        const QString proposed = QString("qzt16-003_%1.clb").arg(QDate::currentDate().toString("yyMMdd"));

        QString title, filter, selected;
        bool overwrite_asked = true;
        Scripted_Dialogs runner([&](QDialog &d) {
            auto &fd = static_cast<QFileDialog &>(d);
            title = fd.windowTitle();
            filter = fd.nameFilters().value(0);
            selected = QFileInfo(fd.selectedFiles().value(0)).fileName();
            overwrite_asked = !fd.testOption(QFileDialog::DontConfirmOverwrite);
            QCOMPARE(fd.acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(QDir(fd.directory()).absolutePath(), QDir(dir).absolutePath());
            fd.selectFile(dir + "/chosen");
            d.accept();   // QFileDialog::accept through its public QDialog face
        });
        Set_Dialog_Runner(&runner);
        QWidget parent;
        QCOMPARE(Save_Archive_File(&parent, Arh_File_Kind::Clb, h, recs), Arh_Save::Saved);
        QCOMPARE(runner.Count, 1);
        QCOMPARE(title, QString("Введите имя файла для сохранения данных"));
        QCOMPARE(filter, QString("DataFiles (*.clb)"));
        QCOMPARE(selected, proposed);
        QVERIFY(!overwrite_asked);
        QFile f(dir + "/chosen.clb");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.size(), qint64(905 + 90));
        QCOMPARE(Ques.Lines.value(0), QString("Данные сохранены в файле chosen.clb."));
        QVERIFY(!QApplication::overrideCursor());
    }

    void closing_the_dialog_cancels()
    {
        Arhiv_Header h;
        std::memset(&h, 0, sizeof h);
        Ques.Lines.clear();
        Scripted_Dialogs runner([](QDialog &d) { d.reject(); });
        Set_Dialog_Runner(&runner);
        QCOMPARE(Save_Archive_File(nullptr, Arh_File_Kind::Clb, h, QByteArray()), Arh_Save::Cancelled);
        QVERIFY(Ques.Lines.isEmpty());
    }
};

QTEST_MAIN(Tst_Save_Arhiv)
#include "tst_save_arhiv.moc"
