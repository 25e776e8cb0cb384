// What the print heading dialog shows for each report kind and how "title.ini" keeps the
// organisation name: 40 bytes of 1251 text, zero-padded, whole or not at all.
#include "core/Globals.h"
#include "core/Rd_wr_ini.h"
#include "messages/Ques_prn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

Arhiv_Header header()
{
    Arhiv_Header h;
    std::memset(&h, 0, sizeof h);
    h.period_start = Date6{26, 1, 2, 3, 4, 5};
    h.period_end = Date6{26, 12, 31, 22, 58, 59};
    return h;
}

QByteArray file_bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void put(const QString &path, const QByteArray &b)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(b), b.size());
}

} // namespace

class tst_Ques_Prn : public QObject {
    Q_OBJECT
private slots:
    void titleLines_data();
    void titleLines();
    void roundTrip();
    void readOddFiles();
    void headingFromText();
    void writeFailure();
};

void tst_Ques_Prn::titleLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("lines");
    const QString full = QStringLiteral("за период  с  02.01.26  03:04:05  по  31.12.26  22:58:59");
    QTest::newRow("3") << 3
                       << QStringList{QStringLiteral("Перечень диагностических сообщений"),
                                      QStringLiteral("контроллерa QZT_16"), full};
    QTest::newRow("6") << 6
                       << QStringList{QStringLiteral("Часовые измерительные данные влагомера"),
                                      QStringLiteral("контроллерa QZT_16"),
                                      QStringLiteral("за период  с  02.01.26  03ч  по  31.12.26  22ч")};
    QTest::newRow("7") << 7
                       << QStringList{QStringLiteral("Суточные измерительные данные влагомера"),
                                      QStringLiteral("контроллерa QZT_16"),
                                      QStringLiteral("за период  с  02.01.26  по  31.12.26")};
    QTest::newRow("unknown") << 5 << QStringList{QString(), QString(), QString()};
}

void tst_Ques_Prn::titleLines()
{
    QFETCH(int, kind);
    QFETCH(QStringList, lines);
    const Ques_Prn_Lines l = Ques_Prn_Title(uint8_t(kind), header());
    QCOMPARE((QStringList{l.line1, l.line2, l.line3}), lines);
}

void tst_Ques_Prn::roundTrip()
{
    QTemporaryDir dir;
    Set_Work_Dir(dir.path() + u'/');
    QVERIFY(Title_Ini_Path().endsWith(QStringLiteral("INI/title.ini")));
    QVERIFY(QDir().mkpath(Ini_Dir()));
    const QString path = Title_Ini_Path();

    char h[REP_HEADING_SIZE];
    std::memset(h, 0x55, sizeof h);
    QVERIFY(!Read_Title_Ini(path, h));   // no file: empty name
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray(REP_HEADING_SIZE, '\0'));

    Heading_From_Text(QStringLiteral("ООО «Газ» №1"), h);
    QVERIFY(Write_Title_Ini(path, h));
    QByteArray want("\xCE\xCE\xCE \xAB\xC3\xE0\xE7\xBB \xB9" "1");
    want.append(QByteArray(40 - want.size(), '\0'));
    QCOMPARE(file_bytes(path), want);

    char back[REP_HEADING_SIZE];
    QVERIFY(Read_Title_Ini(path, back));
    QCOMPARE(QByteArray(back, REP_HEADING_SIZE), QByteArray(h, REP_HEADING_SIZE));
    QCOMPARE(Rep_Heading_Text(back), QStringLiteral("ООО «Газ» №1"));

    // 40 characters: no terminator in the file, byte 41 of the heading is the zero.
    Heading_From_Text(QString(45, QChar(0x0416)), h);   // Ж, cut to 40
    QVERIFY(Write_Title_Ini(path, h));
    QCOMPARE(file_bytes(path), QByteArray(40, '\xC6'));
    QVERIFY(Read_Title_Ini(path, back));
    QCOMPARE(QByteArray(back, 40), QByteArray(40, '\xC6'));
    QCOMPARE(back[40], '\0');
}

void tst_Ques_Prn::readOddFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("title.ini"));
    char h[REP_HEADING_SIZE];

    put(path, "Abc");   // short: the rest stays zero
    QVERIFY(Read_Title_Ini(path, h));
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray("Abc") + QByteArray(38, '\0'));

    put(path, QByteArray(100, 'q'));   // long: only the first 40 bytes
    QVERIFY(Read_Title_Ini(path, h));
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray(40, 'q') + QByteArray(1, '\0'));

    put(path, QByteArray());
    QVERIFY(!Read_Title_Ini(path, h));
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray(REP_HEADING_SIZE, '\0'));

    // A directory in its place cannot be read: empty name, nothing else.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("d.ini")));
    std::memset(h, 1, sizeof h);
    QVERIFY(!Read_Title_Ini(dir.filePath(QStringLiteral("d.ini")), h));
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray(REP_HEADING_SIZE, '\0'));
}

void tst_Ques_Prn::headingFromText()
{
    char h[REP_HEADING_SIZE];
    std::memset(h, 0x7F, sizeof h);
    Heading_From_Text(QString(), h);
    QCOMPARE(QByteArray(h, REP_HEADING_SIZE), QByteArray(REP_HEADING_SIZE, '\0'));

    // Characters 1251 lacks become '?'; an embedded zero ends the name.
    Heading_From_Text(QStringLiteral("A\u4E2DB"), h);
    QCOMPARE(QByteArray(h), QByteArray("A?B"));
    Heading_From_Text(QStringLiteral("AB") + QChar(0) + QStringLiteral("CD"), h);
    QCOMPARE(QByteArray(h, 5), QByteArray("AB\0\0\0", 5));
}

void tst_Ques_Prn::writeFailure()
{
    QTemporaryDir dir;
    char h[REP_HEADING_SIZE] = {};
    Heading_From_Text(QStringLiteral("Name"), h);
    // No INI directory: nothing is written and nothing is left behind.
    QVERIFY(!Write_Title_Ini(dir.filePath(QStringLiteral("INI/title.ini")), h));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("INI"))));
}

QTEST_GUILESS_MAIN(tst_Ques_Prn)
#include "tst_ques_prn.moc"
