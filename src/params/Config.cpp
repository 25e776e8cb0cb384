#include "params/Config.h"

#include "core/Codepage.h"
#include "core/Globals.h"
#include "core/Ques.h"
#include "core/Suplfunc.h"
#include "params/Limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>

QString Cnf_Name;

namespace {

struct Cnf_Place {
    int table;
    int offset;
};
// Tables copied whole between the record and the image, with their place in the record.
constexpr Cnf_Place kPlaces[] = {
    {0, offsetof(Cnf_Rec, t0)},    {1, offsetof(Cnf_Rec, t1)},    {3, offsetof(Cnf_Rec, t3)},
    {4, offsetof(Cnf_Rec, users)}, {5, offsetof(Cnf_Rec, t5)},    {6, offsetof(Cnf_Rec, t6)},
    {9, offsetof(Cnf_Rec, t9)},    {14, offsetof(Cnf_Rec, t14)},  {15, offsetof(Cnf_Rec, t15)},
    {21, offsetof(Cnf_Rec, t21)},  {22, offsetof(Cnf_Rec, t22)},  {23, offsetof(Cnf_Rec, t23)},
    {24, offsetof(Cnf_Rec, t24)},  {25, offsetof(Cnf_Rec, t25)},  {26, offsetof(Cnf_Rec, t26)},
    {28, offsetof(Cnf_Rec, t28)},  {29, offsetof(Cnf_Rec, t29)},  {43, offsetof(Cnf_Rec, t43)},
    {44, offsetof(Cnf_Rec, t44)},
};

struct Default_Par {
    const char *name;
    const char *symbol;
    uint8_t unit;
    uint16_t reg;
    uint8_t type;
};
const Default_Par kDefaultPars[16] = {
    {"Молярная доля азота", "N2", 1, 8250, 0},
    {"Молярная доля метана", "CH4", 1, 8252, 0},
    {"Молярная доля диоксида углерода", "CO2", 1, 8254, 0},
    {"Молярная доля этана", "C2H6", 1, 8256, 0},
    {"Молярная доля пропана", "C3H8", 1, 8258, 0},
    {"Молярная доля i-бутана", "i-C4H10", 1, 8260, 0},
    {"Молярная доля n-бутана", "n-C4H10", 1, 8262, 0},
    {"Молярная доля нео-пентана", "neoC5H12", 1, 8264, 0},
    {"Молярная доля i-пентана", "i-C5H12", 1, 8266, 0},
    {"Молярная доля n-пентана", "n-C5H12", 1, 8268, 0},
    {"Сум. МД гексана и б.т.с.", "C6+", 1, 8270, 0},
    {"Теплота сгорания высшая", "Hs", 4, 7020, 4},
    {"Абсолютная плотность", "De_abs", 7, 7024, 6},
    {"Число Воббе", "Woebbe", 4, 7030, 5},
    {"Фактор сжимаемости", "Zcomp", 0, 7032, 8},
    {"Сумма МД всeх компонентов", "Сумма МД", 1, 7036, 0},
};

// The text's 1251 bytes into a zeroed field, cut to its width.
void Put_Text(char *field, int len, const QString &text)
{
    const QByteArray b = Unicode_To_Cp1251(text);
    std::memcpy(field, b.constData(), size_t(std::min<qsizetype>(b.size(), len)));
}

void Put_Float(uint8_t *p, float v) { std::memcpy(p, &v, 4); }

QString Bare_Name(const QString &path) { return QFileInfo(path).fileName(); }

void Message(uint32_t kind, const QString &l1, const QString &l2 = QString())
{
    Ques_Kind = kind;
    Show_Ques(l1, l2);
}

} // namespace

int Cnf_Table_Offset(int t)
{
    for (const Cnf_Place &p : kPlaces)
        if (p.table == t) return p.offset;
    return -1;
}

void New_Cnf(Cnf_Rec &rec)
{
    std::memset(&rec, 0, sizeof rec);
    rec.t0[1] = CNF_TYPE_CODE;
    rec.t0[3] = CNF_VERSION;

    char *names = reinterpret_cast<char *>(rec.t5);
    Put_Text(names, 20, QString::asprintf("Контроллер QZT_%02d", 16));
    Put_Text(names + 20, 20, QStringLiteral("Нитка 1"));
    Put_Text(names + 40, 20, QStringLiteral("Нитка 2"));

    const uint8_t t3[4] = {1, 11, 3, 0};
    std::memcpy(rec.t3, t3, sizeof t3);
    const uint8_t t6[12] = {3, 201, 3, 10, 201, 4, 9, 1, 0, 1, 0, 1};
    std::memcpy(rec.t6, t6, sizeof t6);
    const uint8_t t14[16] = {1, 11, 1, 0, 150, 5, 8, 1, 0, 0, 0, 1, 0, 0, 16, 30};
    std::memcpy(rec.t14, t14, sizeof t14);

    for (int i = 0; i < 16; ++i) {
        Chr_Par &p = rec.t1[i];
        const Default_Par &d = kDefaultPars[i];
        Put_Text(p.name, CHR_PAR_NAME_LEN, QString::fromUtf8(d.name));
        Put_Text(p.symbol, CHR_PAR_SYMBOL_LEN, QString::fromUtf8(d.symbol));
        p.unit = d.unit;
        p.min = 0.0f;
        p.max = 100.0f;
        p.reg = d.reg;
        p.decimals = 2;
        p.type = d.type;
    }

    rec.t21[7] = rec.t21[9] = rec.t21[12] = 1;
    uint8_t *limits[LIMIT_KINDS] = {rec.t22, rec.t23, rec.t24, rec.t25, rec.t26};
    for (int k = 0; k < LIMIT_KINDS; ++k)
        for (int i = 0; i < MAX_GAS_PARAMS; ++i) Put_Float(limits[k] + 4 * i, Limit_Ranges[k][i].def);

    const uint8_t t15[8] = {1, 11, 0, 0, 150, 5, 1, 0};
    std::memcpy(rec.t15, t15, sizeof t15);
    const uint8_t t9[6] = {1, 11, 5, 20, 3, 2};
    std::memcpy(rec.t9, t9, sizeof t9);

    for (int i = 0; i < CNF_FLOU_COUNT; ++i) {
        rec.flou[i].adr = uint8_t(i + 1);
        std::memset(rec.flou[i].pass, ' ', FLOU_PASS_LEN);
    }
    rec.flou[0].type = 2;
    rec.flou[0].mask = 163;
    rec.flou[0].order = 1;

    for (User_Rec &u : rec.users) {
        std::memset(u.name, ' ', USER_NAME_LEN);
        std::memset(u.pass, ' ', USER_PASS_LEN);
        std::memset(u.code, ' ', USER_CODE_LEN);
    }
    rec.t28[0] = 1;
}

void Scramble_Cnf(Cnf_Rec &rec)
{
    for (Flou_Rec &f : rec.flou)
        for (char &c : f.pass) c = char(uint8_t(uint8_t(~uint8_t(c)) + 5));
}

void Unscramble_Cnf(Cnf_Rec &rec)
{
    for (Flou_Rec &f : rec.flou)
        for (char &c : f.pass) c = char(uint8_t(~uint8_t(uint8_t(c) - 5)));
}

QString Cnf_Contr_Name(const Cnf_Rec &rec)
{
    // Blanks and the zero bytes of a short name are trimmed at both ends.
    QString s = Cp1251_To_Unicode(reinterpret_cast<const char *>(rec.t5), 20);
    qsizetype a = 0, b = s.size();
    while (a < b && s[a].unicode() <= ' ') ++a;
    while (b > a && s[b - 1].unicode() <= ' ') --b;
    return s.mid(a, b - a);
}

Cnf_Load Load_Cnf_File(const QString &path, Cnf_Rec &rec, uint8_t *version)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Cnf_Load::Open_Failed;
    if (f.size() != CNF_REC_SIZE) return Cnf_Load::Bad_Size;
    const QByteArray b = f.read(CNF_REC_SIZE + 1);
    f.close();
    // The file may have changed between the size check and the read.
    if (b.size() != CNF_REC_SIZE) return Cnf_Load::Bad_Size;
    Cnf_Rec r;
    std::memcpy(&r, b.constData(), sizeof r);
    if (r.t0[1] != CNF_TYPE_CODE) return Cnf_Load::Bad_Type;
    if (r.t0[3] != CNF_VERSION) {
        if (version) *version = r.t0[3];
        return Cnf_Load::Bad_Version;
    }
    Unscramble_Cnf(r);
    rec = r;
    return Cnf_Load::Ok;
}

void Report_Cnf_Load(Cnf_Load r, const QString &path, uint8_t version)
{
    const QString not_cnf = QStringLiteral("Файл %1 не является файлом конфигурации").arg(Bare_Name(path));
    switch (r) {
    case Cnf_Load::Ok: return;
    case Cnf_Load::Open_Failed: Message(1, QStringLiteral("Ошибка открытия файла")); return;
    case Cnf_Load::Bad_Size: Message(6, not_cnf, QStringLiteral("контроллера QZT_15")); return;
    case Cnf_Load::Bad_Type: Message(6, not_cnf, QStringLiteral("контроллера QZT")); return;
    case Cnf_Load::Bad_Version:
        Message(6, QStringLiteral("Файл параметров конфигурации %1 подготовлен").arg(Bare_Name(path)),
                QStringLiteral("для контроллера QZT с версией ПО %1").arg(version));
        return;
    }
}

Cnf_Write Write_Cnf_File(const QString &path, const Cnf_Rec &rec)
{
    Cnf_Rec r = rec;
    Scramble_Cnf(r);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return Cnf_Write::Open_Failed;
    if (f.write(reinterpret_cast<const char *>(&r), sizeof r) != qint64(sizeof r)) {
        f.cancelWriting();
        return Cnf_Write::Write_Failed;
    }
    return Commit_Save(f) ? Cnf_Write::Ok : Cnf_Write::Write_Failed;
}

QString Cnf_Dir() { return Work_Dir() + QStringLiteral("CONFIG"); }

QString Cnf_Filter() { return File_Dialog_Filters().constFirst(); }

QString Cnf_Proposed_Name(const Cnf_Rec &rec, const QDateTime &now)
{
    // Characters no file name may hold would turn the name into a path elsewhere (or one
    // that cannot be made): they become '_'.
    QString name = Cnf_Contr_Name(rec);
    for (QChar &c : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    const QDate d = now.date();
    const QTime t = now.time();
    const QString file = QString::asprintf("qzt_%02d-", rec.t0[3]) + name +
                         QString::asprintf("-%02d%02d%02d%02d%02d.cnf", d.year() - 2000, d.month(), d.day(),
                                           t.hour(), t.minute());
    return QDir(Cnf_Dir()).filePath(file);
}

bool Save_Cnf_Run(const Cnf_Rec &rec, const QDateTime &now, const Cnf_Chooser &choose)
{
    Cnf_Name = Cnf_Proposed_Name(rec, now);
    QString path;
    for (;;) {
        const std::optional<QString> chosen = choose(Cnf_Name);
        if (!chosen || chosen->isEmpty()) return false;
        // The name the dialog was opened with is taken without a question: the proposed
        // name, or one the user was just asked about and chose again.
        if (*chosen == Cnf_Name) {
            path = Cnf_Name;
            break;
        }
        Cnf_Name = *chosen;
        if (!QFileInfo::exists(Cnf_Name)) {
            if (QFileInfo(Cnf_Name).suffix().isEmpty()) Cnf_Name += QStringLiteral(".cnf");
            // The name with its extension may be taken already: that is asked about as well,
            // or "abc" would overwrite an existing "abc.cnf" unasked.
            if (!QFileInfo::exists(Cnf_Name)) {
                path = Cnf_Name;
                break;
            }
        }
        Ques_Kind = 3;
        Show_Ques(QStringLiteral("Файл %1 уже есть.").arg(Bare_Name(Cnf_Name)),
                  QStringLiteral("Вы хотите заменить существующий файл?"));
        if (Ques_Answer == 1) {
            path = Cnf_Name;
            break;
        }
    }
    switch (Write_Cnf_File(path, rec)) {
    case Cnf_Write::Ok:
        Message(6, QStringLiteral("Параметры конфигурации"),
                QStringLiteral("сохранены в файле %1").arg(Bare_Name(path)));
        return true;
    case Cnf_Write::Open_Failed: Message(1, QStringLiteral("Ошибка открытия файла")); return false;
    // Opened but not written whole (a full disk): no file was saved, and the user is told.
    case Cnf_Write::Write_Failed: Show_Not_Saved(path); return false;
    }
    return false;
}
