#include "archives/Arhiv_File.h"

#include "core/Ques.h"
#include "core/Suplfunc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
qint64 records_bytes(Arh_File_Kind kind, uint32_t count)
{
    return qint64(count) * qint64(Arh_Info(kind).rec_size);
}

QString bare_name(const QString &path) { return QFileInfo(path).fileName(); }

void message(uint32_t kind, const QString &line1, const QString &line2 = QString())
{
    Ques_Kind = kind;
    Show_Ques(line1, line2);
}
} // namespace

Arh_Write Write_Arhiv_File(const QString &path, Arh_File_Kind kind, const Arhiv_Header &h,
                           const QByteArray &recs)
{
    const qint64 body = records_bytes(kind, h.rec_count);
    if (body > recs.size()) return Arh_Write::Short_Records;

    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return Arh_Write::Open_Failed;
    bool ok = f.write(reinterpret_cast<const char *>(&h), sizeof h) == qint64(sizeof h);
    if (ok && body > 0) ok = f.write(recs.constData(), body) == body;
    if (!ok) {
        f.cancelWriting();
        return Arh_Write::Write_Failed;
    }
    return Commit_Save(f) ? Arh_Write::Ok : Arh_Write::Write_Failed;
}

Arh_File_Data Read_Arhiv_File(const QString &path, Arh_File_Kind kind)
{
    Arh_File_Data d;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return d;

    const qint64 size = f.size();
    if (size < ARHIV_HEADER_SIZE) {
        d.status = Arh_Read::Refused;
        d.check = Arh_Check::Too_Short;
        return d;
    }
    Arhiv_Header h;
    if (f.read(reinterpret_cast<char *>(&h), sizeof h) != qint64(sizeof h)) {
        d.status = Arh_Read::Refused;
        d.check = Arh_Check::Too_Short;
        return d;
    }
    d.check = Check_Arhiv_Header(kind, h);
    if (d.check != Arh_Check::Ok) {
        d.status = Arh_Read::Refused;
        return d;
    }

    d.header = h;
    const qint64 want = records_bytes(kind, h.rec_count);
    if (want > ARH_OPEN_MAX_BYTES) {
        d.status = Arh_Read::Refused;
        d.check = Arh_Check::Too_Many;
        return d;
    }
    // What the file lacks stays zero and fails the record check in the viewer.
    d.records = QByteArray(want, '\0');
    const qint64 got = want ? f.read(d.records.data(), want) : 0;
    d.short_file = got < want;
    d.status = Arh_Read::Ok;
    return d;
}

QString Arh_Refusal_Line1(const QString &path, const Arh_File_Data &d)
{
    if (d.check == Arh_Check::Too_Many)
        return QStringLiteral("Файл %1 не может быть открыт:").arg(bare_name(path));
    return QStringLiteral("Файл %1 не является файлом, содержащим").arg(bare_name(path));
}

QString Arh_Refusal_Line2(Arh_File_Kind kind, const Arh_File_Data &d)
{
    if (d.check == Arh_Check::Too_Many)
        return QStringLiteral("число записей в заголовке (%1) слишком велико").arg(uint32_t(d.header.rec_count));
    return QString::fromUtf8(Arh_Info(kind).refusal);
}

QString Arh_Apply_Ext(const QString &chosen, Arh_File_Kind kind)
{
    // Any dot in the name itself starts an extension, a bare "." included: such a name
    // is taken as typed.
    if (QFileInfo(chosen).fileName().contains(u'.')) return chosen;
    return chosen + QLatin1String(Arh_Info(kind).ext);
}

QString Arh_Replace_Line1(const QString &path)
{
    return QStringLiteral("Файл %1 уже есть.").arg(bare_name(path));
}

QString Arh_Replace_Line2() { return QStringLiteral("Вы хотите заменить существующий файл?"); }

std::optional<QString> Choose_Save_Path(Save_Dialog_Setup s, Save_Ui &ui,
                                        const std::function<QString(const QString &)> &with_ext)
{
    for (;;) {
        const std::optional<QString> chosen = ui.Choose_Name(s);
        if (!chosen || chosen->isEmpty()) return std::nullopt;
        const QString path = with_ext(*chosen);
        if (!QFileInfo::exists(path)) return path;
        Ques_Kind = 3;
        Show_Ques(Arh_Replace_Line1(path), Arh_Replace_Line2());
        if (Ques_Answer == 1) return path;
        s.proposed = path;
    }
}

Arh_Save Save_Archive_File(Arh_File_Kind kind, const Arhiv_Header &h, const QByteArray &recs,
                           const QDate &today, Save_Ui &ui)
{
    Save_Dialog_Setup s;
    s.title = QStringLiteral("Введите имя файла для сохранения данных");
    s.dir = Arh_Dir(kind);
    s.filter = Arh_Filter(kind);
    s.ext = QLatin1String(Arh_Info(kind).ext);
    s.proposed = Arh_Default_Name(kind, s.dir, h, today);

    const std::optional<QString> chosen =
        Choose_Save_Path(s, ui, [kind](const QString &name) { return Arh_Apply_Ext(name, kind); });
    if (!chosen) return Arh_Save::Cancelled;
    const QString path = *chosen;

    ui.Busy(true);
    const Arh_Write w = Write_Arhiv_File(path, kind, h, recs);
    ui.Busy(false);
    switch (w) {
    case Arh_Write::Ok:
        message(6, QStringLiteral("Данные сохранены в файле %1.").arg(bare_name(path)));
        return Arh_Save::Saved;
    case Arh_Write::Open_Failed:
        message(1, QStringLiteral("Ошибка открытия файла"));
        return Arh_Save::Failed;
    case Arh_Write::Write_Failed:
    case Arh_Write::Short_Records:
        break;
    }
    Show_Not_Saved(path);
    return Arh_Save::Failed;
}
