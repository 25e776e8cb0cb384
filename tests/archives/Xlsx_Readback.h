#pragma once
// Reads a written workbook back the hard way, without the filler: unzips it and parses the
// active sheet's XML, so the tests see exactly what a spreadsheet program would get.
#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <pugixml.hpp>
#include <zip.h>

namespace readback {

inline QMap<QString, QByteArray> Entries(const QString &path)
{
    QMap<QString, QByteArray> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    const QByteArray bytes = f.readAll();
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t *src = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &err);
    zip_t *za = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &err) : nullptr;
    zip_error_fini(&err);
    if (!za) {
        if (src) zip_source_free(src);
        return out;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), '\0');
        zip_file_t *zf = zip_fopen_index(za, zip_uint64_t(i), 0);
        if (zf) {
            zip_fread(zf, data.data(), st.size);
            zip_fclose(zf);
        }
        out.insert(QString::fromUtf8(st.name), data);
    }
    zip_discard(za);
    return out;
}

struct Cell {
    QString type;    // attribute t ("" for a number)
    QString value;   // <v> text, or the inline string's text
    QString style;   // attribute s
    bool formula = false;
};

struct Sheet {
    bool ok = false;
    QMap<QString, Cell> cells;          // by reference, "B10"
    QStringList merges;                 // in file order
    QStringList children;               // local names of the worksheet's children, in order
    QString dimension;
    QByteArray xml;
};

// The first sheet of a workbook written by the filler or by libxlsxwriter (xl/worksheets/sheet1.xml).
inline Sheet Read_Sheet(const QString &path, const QString &part = QStringLiteral("xl/worksheets/sheet1.xml"))
{
    Sheet s;
    const QMap<QString, QByteArray> e = Entries(path);
    if (!e.contains(part)) return s;
    s.xml = e.value(part);
    QStringList shared;   // texts of cells of type "s"
    pugi::xml_document sdoc;
    const QByteArray sst = e.value(QStringLiteral("xl/sharedStrings.xml"));
    if (!sst.isEmpty() && sdoc.load_buffer(sst.constData(), size_t(sst.size())))
        for (pugi::xml_node si : sdoc.child("sst").children("si")) shared << QString::fromUtf8(si.child("t").text().get());
    pugi::xml_document doc;
    if (!doc.load_buffer(s.xml.constData(), size_t(s.xml.size()))) return s;
    const pugi::xml_node root = doc.document_element();
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) s.children << QString::fromUtf8(c.name());
    s.dimension = QString::fromUtf8(root.child("dimension").attribute("ref").value());
    for (pugi::xml_node row : root.child("sheetData").children("row")) {
        for (pugi::xml_node c : row.children("c")) {
            Cell cell;
            cell.type = QString::fromUtf8(c.attribute("t").value());
            cell.style = QString::fromUtf8(c.attribute("s").value());
            cell.formula = bool(c.child("f"));
            if (cell.type == QLatin1String("inlineStr")) cell.value = QString::fromUtf8(c.child("is").child("t").text().get());
            else cell.value = QString::fromUtf8(c.child("v").text().get());
            if (cell.type == QLatin1String("s")) cell.value = shared.value(cell.value.toInt());
            s.cells.insert(QString::fromUtf8(c.attribute("r").value()), cell);
        }
    }
    for (pugi::xml_node m : root.child("mergeCells").children("mergeCell"))
        s.merges << QString::fromUtf8(m.attribute("ref").value());
    s.ok = true;
    return s;
}

} // namespace readback
