#include "archives/Xlsx_Template.h"

#include "core/Suplfunc.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <sstream>
#include <zip.h>

namespace {

constexpr int MAX_ROW = 1048576;
constexpr int MAX_COL = 16384;
constexpr zip_uint64_t MAX_ENTRY = 64u * 1024 * 1024;   // a template is small: refuse zip bombs
constexpr const char *NAN_TEXT = " NAN";

struct Entry {
    std::string name;
    QByteArray data;
};

// Children of a worksheet that come before mergeCells, in schema order.
const char *const kBeforeMerge[] = {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData",
                                    "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter",
                                    "sortState", "dataConsolidate", "customSheetViews"};
// Children of a workbook that come before calcPr.
const char *const kBeforeCalc[] = {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews",
                                   "sheets", "functionGroups", "externalReferences", "definedNames"};

std::string Local(const char *name)
{
    const char *c = std::strchr(name, ':');
    return c ? std::string(c + 1) : std::string(name);
}

pugi::xml_node Child(pugi::xml_node n, const char *local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && Local(c.name()) == local) return c;
    return {};
}

pugi::xml_attribute Attr(pugi::xml_node n, const char *local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (Local(a.name()) == local) return a;
    return {};
}

// Element name with the prefix the document uses for its root ("" or "x:").
std::string Prefix_Of(pugi::xml_node root)
{
    const char *c = std::strchr(root.name(), ':');
    return c ? std::string(root.name(), size_t(c - root.name() + 1)) : std::string();
}

// "AB12" -> row 12, col 28; false when it is no cell reference.
bool Parse_Ref(const char *s, int &row, int &col)
{
    col = 0;
    row = 0;
    const char *p = s;
    while (*p == '$') ++p;
    int letters = 0;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        col = col * 26 + ((*p & ~0x20) - 'A' + 1);
        ++p;
        if (++letters > 3) return false;
    }
    if (*p == '$') ++p;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        row = row * 10 + (*p - '0');
        ++p;
        if (++digits > 7) return false;
    }
    return *p == 0 && letters > 0 && digits > 0 && row >= 1 && row <= MAX_ROW && col >= 1 && col <= MAX_COL;
}

struct Area {
    int r1, c1, r2, c2;
    bool Overlaps(const Area &o) const { return r1 <= o.r2 && o.r1 <= r2 && c1 <= o.c2 && o.c1 <= c2; }
};

bool Parse_Area(const char *s, Area &a)
{
    const char *colon = std::strchr(s, ':');
    if (!colon) {
        if (!Parse_Ref(s, a.r1, a.c1)) return false;
        a.r2 = a.r1;
        a.c2 = a.c1;
        return true;
    }
    const std::string first(s, size_t(colon - s));
    return Parse_Ref(first.c_str(), a.r1, a.c1) && Parse_Ref(colon + 1, a.r2, a.c2);
}

std::string Area_Ref(const Area &a)
{
    return (Xlsx_Template::Cell_Ref(a.r1, a.c1) + QLatin1Char(':') + Xlsx_Template::Cell_Ref(a.r2, a.c2))
        .toStdString();
}

struct Xml_Writer : pugi::xml_writer {
    QByteArray out;
    void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), qsizetype(size)); }
};

QByteArray Save_Xml(const pugi::xml_document &doc)
{
    Xml_Writer w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

bool Load_Xml(pugi::xml_document &doc, const QByteArray &data)
{
    return doc.load_buffer(data.constData(), size_t(data.size()), pugi::parse_default | pugi::parse_declaration,
                           pugi::encoding_utf8);
}

// Folder part of a zip path ("xl/workbook.xml" -> "xl/").
std::string Dir_Of(const std::string &p)
{
    const size_t s = p.rfind('/');
    return s == std::string::npos ? std::string() : p.substr(0, s + 1);
}

// Target of a relationship, taken relative to the folder of its source part.
std::string Resolve(const std::string &base_dir, std::string target)
{
    if (!target.empty() && target[0] == '/') return target.substr(1);
    std::string path = base_dir + target;
    // Fold "dir/../".
    std::vector<std::string> parts;
    std::stringstream ss(path);
    std::string item;
    while (std::getline(ss, item, '/')) {
        if (item == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!item.empty() && item != ".") {
            parts.push_back(item);
        }
    }
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
    return out;
}

std::string Rels_Of(const std::string &part)
{
    return Dir_Of(part) + "_rels/" + part.substr(Dir_Of(part).size()) + ".rels";
}

bool Ends_With(const std::string &s, const char *tail)
{
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

struct Xlsx_Template::Impl {
    std::vector<Entry> entries;
    std::string sheet_part;
    std::string workbook_part;
    pugi::xml_document sheet;
    std::string px;   // element prefix of the sheet
    pugi::xml_node sheet_data;
    std::map<int, pugi::xml_node> rows;   // row number -> <row>
    int max_row = 0, max_col = 0;

    Entry *Find(const std::string &name)
    {
        for (Entry &e : entries)
            if (e.name == name) return &e;
        return nullptr;
    }

    std::string El(const char *local) const { return px + local; }

    // Rows and cells without a reference get the one their place implies, so that new ones
    // can be put in order.
    void Index_Rows()
    {
        int last_row = 0;
        for (pugi::xml_node r = sheet_data.first_child(); r; r = r.next_sibling()) {
            if (r.type() != pugi::node_element || Local(r.name()) != "row") continue;
            pugi::xml_attribute ra = r.attribute("r");
            int rn = ra ? ra.as_int() : last_row + 1;
            if (rn < 1 || rn > MAX_ROW) rn = last_row + 1;
            if (!ra) r.append_attribute("r") = rn;
            last_row = rn;
            rows[rn] = r;
            max_row = std::max(max_row, rn);
            int last_col = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || Local(c.name()) != "c") continue;
                int rr = 0, cc = 0;
                pugi::xml_attribute ca = c.attribute("r");
                if (!ca || !Parse_Ref(ca.value(), rr, cc)) {
                    cc = last_col + 1;
                    const std::string ref = Cell_Ref(rn, cc).toStdString();
                    if (ca) ca.set_value(ref.c_str());
                    else c.prepend_attribute("r") = ref.c_str();
                }
                last_col = cc;
                max_col = std::max(max_col, cc);
            }
        }
    }

    // Style of a new cell: its row's when the row carries one, else its column's.
    std::string Default_Style(pugi::xml_node row, int col)
    {
        if (row.attribute("customFormat").as_bool() && row.attribute("s")) return row.attribute("s").value();
        pugi::xml_node cols = Child(sheet.document_element(), "cols");
        for (pugi::xml_node c = cols.first_child(); c; c = c.next_sibling()) {
            if (Local(c.name()) != "col") continue;
            if (col >= c.attribute("min").as_int() && col <= c.attribute("max").as_int() && c.attribute("style"))
                return c.attribute("style").value();
        }
        return {};
    }

    pugi::xml_node Row(int rn)
    {
        auto it = rows.find(rn);
        if (it != rows.end()) return it->second;
        pugi::xml_node r;
        auto next = rows.upper_bound(rn);
        if (next != rows.end()) r = sheet_data.insert_child_before(El("row").c_str(), next->second);
        else r = sheet_data.append_child(El("row").c_str());
        r.append_attribute("r") = rn;
        rows[rn] = r;
        max_row = std::max(max_row, rn);
        return r;
    }

    pugi::xml_node Cell(int rn, int cn)
    {
        pugi::xml_node row = Row(rn);
        // The spans hint would no longer tell the truth.
        row.remove_attribute("spans");
        pugi::xml_node before;
        for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element || Local(c.name()) != "c") continue;
            int rr = 0, cc = 0;
            Parse_Ref(c.attribute("r").value(), rr, cc);
            if (cc == cn) return c;
            if (cc > cn) {
                before = c;
                break;
            }
        }
        pugi::xml_node c = before ? row.insert_child_before(El("c").c_str(), before) : row.append_child(El("c").c_str());
        c.append_attribute("r") = Cell_Ref(rn, cn).toStdString().c_str();
        const std::string s = Default_Style(row, cn);
        if (!s.empty()) c.append_attribute("s") = s.c_str();
        max_col = std::max(max_col, cn);
        return c;
    }

    // Takes the value away, keeps the reference and the style.
    static void Clear_Value(pugi::xml_node c)
    {
        c.remove_attribute("t");
        c.remove_attribute("cm");
        c.remove_attribute("vm");
        while (pugi::xml_node k = c.first_child()) c.remove_child(k);
    }

    void Number(int rn, int cn, const char *text)
    {
        pugi::xml_node c = Cell(rn, cn);
        Clear_Value(c);
        c.append_child(El("v").c_str()).text().set(text);
    }

    void Text(int rn, int cn, const QString &s)
    {
        pugi::xml_node c = Cell(rn, cn);
        Clear_Value(c);
        c.append_attribute("t") = "inlineStr";
        pugi::xml_node t = c.append_child(El("is").c_str()).append_child(El("t").c_str());
        t.append_attribute("xml:space") = "preserve";
        t.text().set(s.toStdString().c_str());
    }

    void Merge(Area a)
    {
        pugi::xml_node root = sheet.document_element();
        pugi::xml_node mc = Child(root, "mergeCells");
        if (!mc) {
            pugi::xml_node after;
            for (const char *n : kBeforeMerge)
                if (pugi::xml_node f = Child(root, n)) after = f;
            mc = after ? root.insert_child_after(El("mergeCells").c_str(), after)
                       : root.prepend_child(El("mergeCells").c_str());
        }
        for (pugi::xml_node m = mc.first_child(); m;) {
            pugi::xml_node next = m.next_sibling();
            Area o{};
            if (m.type() == pugi::node_element && Parse_Area(m.attribute("ref").value(), o) && o.Overlaps(a))
                mc.remove_child(m);
            m = next;
        }
        mc.append_child(El("mergeCell").c_str()).append_attribute("ref") = Area_Ref(a).c_str();
        int n = 0;
        for (pugi::xml_node m = mc.first_child(); m; m = m.next_sibling())
            if (m.type() == pugi::node_element) ++n;
        if (pugi::xml_attribute cnt = mc.attribute("count")) cnt = n;
        else mc.append_attribute("count") = n;
        // Only the top-left cell of a merged area keeps a value.
        for (auto it = rows.lower_bound(a.r1); it != rows.end() && it->first <= a.r2; ++it) {
            for (pugi::xml_node c = it->second.first_child(); c; c = c.next_sibling()) {
                int rr = 0, cc = 0;
                if (Local(c.name()) != "c" || !Parse_Ref(c.attribute("r").value(), rr, cc)) continue;
                if (cc >= a.c1 && cc <= a.c2 && !(rr == a.r1 && cc == a.c1)) Clear_Value(c);
            }
        }
        max_row = std::max(max_row, a.r2);
        max_col = std::max(max_col, a.c2);
    }
};

Xlsx_Template::Xlsx_Template() = default;
Xlsx_Template::~Xlsx_Template() = default;

QString Xlsx_Template::Cell_Ref(int row, int col)
{
    QString letters;
    for (int c = col; c > 0; c = (c - 1) / 26) letters.prepend(QChar('A' + (c - 1) % 26));
    return letters + QString::number(row);
}

bool Xlsx_Template::Is_Open() const { return D != nullptr; }

bool Xlsx_Template::Open(const QString &path)
{
    D.reset();
    Err.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Err = QStringLiteral("Файл %1 не открывается").arg(path);
        return false;
    }
    const QByteArray bytes = f.readAll();
    f.close();

    auto d = std::make_unique<Impl>();
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t *src = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zerr);
    zip_t *za = src ? zip_open_from_source(src, ZIP_RDONLY, &zerr) : nullptr;
    if (!za) {
        if (src) zip_source_free(src);
        zip_error_fini(&zerr);
        Err = QStringLiteral("Файл %1 не является книгой .xlsx").arg(path);
        return false;
    }
    zip_error_fini(&zerr);
    bool ok = true;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n && ok; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || !st.name ||
            st.size > MAX_ENTRY) {
            ok = false;
            break;
        }
        Entry e;
        e.name = st.name;
        e.data.resize(qsizetype(st.size));
        zip_file_t *zf = zip_fopen_index(za, zip_uint64_t(i), 0);
        if (!zf) {
            ok = false;
            break;
        }
        const zip_int64_t got = st.size ? zip_fread(zf, e.data.data(), st.size) : 0;
        zip_fclose(zf);
        if (got != zip_int64_t(st.size)) ok = false;
        d->entries.push_back(std::move(e));
    }
    zip_discard(za);
    if (!ok) {
        Err = QStringLiteral("Файл %1 повреждён").arg(path);
        return false;
    }

    // The workbook part from the package relationships, then its active sheet.
    auto refuse = [this, &path] {
        Err = QStringLiteral("Файл %1 не является книгой .xlsx").arg(path);
        return false;
    };
    d->workbook_part = "xl/workbook.xml";
    if (Entry *rels = d->Find("_rels/.rels")) {
        pugi::xml_document doc;
        if (Load_Xml(doc, rels->data))
            for (pugi::xml_node r = doc.document_element().first_child(); r; r = r.next_sibling())
                if (Ends_With(r.attribute("Type").value(), "/officeDocument"))
                    d->workbook_part = Resolve("", r.attribute("Target").value());
    }
    Entry *wb = d->Find(d->workbook_part);
    Entry *wb_rels = d->Find(Rels_Of(d->workbook_part));
    if (!wb || !wb_rels) return refuse();
    pugi::xml_document wdoc, rdoc;
    if (!Load_Xml(wdoc, wb->data) || !Load_Xml(rdoc, wb_rels->data)) return refuse();
    const pugi::xml_node wroot = wdoc.document_element();
    int active = 0;
    if (pugi::xml_node views = Child(wroot, "bookViews"))
        if (pugi::xml_node v = Child(views, "workbookView")) active = std::max(0, v.attribute("activeTab").as_int());
    std::vector<std::string> ids;
    for (pugi::xml_node s = Child(wroot, "sheets").first_child(); s; s = s.next_sibling())
        if (s.type() == pugi::node_element && Local(s.name()) == "sheet") ids.push_back(Attr(s, "id").value());
    if (ids.empty()) return refuse();
    if (size_t(active) >= ids.size()) active = 0;
    for (pugi::xml_node r = rdoc.document_element().first_child(); r; r = r.next_sibling())
        if (ids[size_t(active)] == r.attribute("Id").value())
            d->sheet_part = Resolve(Dir_Of(d->workbook_part), r.attribute("Target").value());
    Entry *sheet = d->Find(d->sheet_part);
    if (!sheet || !Load_Xml(d->sheet, sheet->data)) return refuse();
    const pugi::xml_node root = d->sheet.document_element();
    if (Local(root.name()) != "worksheet") return refuse();
    d->px = Prefix_Of(root);
    d->sheet_data = Child(root, "sheetData");
    if (!d->sheet_data) return refuse();
    d->Index_Rows();
    D = std::move(d);
    return true;
}

void Xlsx_Template::Set_Number(int row, int col, double v)
{
    if (!D || row < 1 || row > MAX_ROW || col < 1 || col > MAX_COL) return;
    if (!std::isfinite(v)) {
        D->Text(row, col, QString::fromLatin1(NAN_TEXT));
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf - 1, v);
    *r.ptr = 0;
    D->Number(row, col, buf);
}

void Xlsx_Template::Set_Float(int row, int col, float v)
{
    if (!D || row < 1 || row > MAX_ROW || col < 1 || col > MAX_COL) return;
    if (!std::isfinite(v)) {
        D->Text(row, col, QString::fromLatin1(NAN_TEXT));
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf - 1, v);
    *r.ptr = 0;
    D->Number(row, col, buf);
}

void Xlsx_Template::Set_Text(int row, int col, const QString &text)
{
    if (!D || row < 1 || row > MAX_ROW || col < 1 || col > MAX_COL) return;
    // Characters XML 1.0 cannot carry would make the sheet unreadable.
    QString clean;
    clean.reserve(text.size());
    for (QChar ch : text) {
        const ushort u = ch.unicode();
        clean += (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF ? QChar(' ') : ch;
    }
    D->Text(row, col, clean);
}

void Xlsx_Template::Merge(int row1, int col1, int row2, int col2)
{
    if (!D) return;
    Area a{std::min(row1, row2), std::min(col1, col2), std::max(row1, row2), std::max(col1, col2)};
    if (a.r1 < 1 || a.r2 > MAX_ROW || a.c1 < 1 || a.c2 > MAX_COL) return;
    if (a.r1 == a.r2 && a.c1 == a.c2) return;
    D->Merge(a);
}

bool Xlsx_Template::Save(const QString &path)
{
    Err.clear();
    if (!D) {
        Err = QStringLiteral("Шаблон не открыт");
        return false;
    }
    // The sheet with its dimension brought up to date.
    pugi::xml_node root = D->sheet.document_element();
    if (pugi::xml_node dim = Child(root, "dimension"); dim && D->max_row > 0 && D->max_col > 0) {
        const std::string ref = Area_Ref(Area{1, 1, D->max_row, D->max_col});
        if (pugi::xml_attribute a = dim.attribute("ref")) a.set_value(ref.c_str());
        else dim.append_attribute("ref") = ref.c_str();
    }
    std::vector<Entry> out;
    out.reserve(D->entries.size());
    for (const Entry &e : D->entries) {
        if (Ends_With(e.name, "calcChain.xml")) continue;
        Entry c{e.name, e.data};
        if (e.name == D->sheet_part) {
            c.data = Save_Xml(D->sheet);
        } else if (e.name == "[Content_Types].xml") {
            pugi::xml_document doc;
            if (Load_Xml(doc, e.data)) {
                pugi::xml_node r = doc.document_element();
                for (pugi::xml_node o = r.first_child(); o;) {
                    pugi::xml_node next = o.next_sibling();
                    if (Ends_With(o.attribute("PartName").value(), "calcChain.xml")) r.remove_child(o);
                    o = next;
                }
                c.data = Save_Xml(doc);
            }
        } else if (e.name == Rels_Of(D->workbook_part)) {
            pugi::xml_document doc;
            if (Load_Xml(doc, e.data)) {
                pugi::xml_node r = doc.document_element();
                for (pugi::xml_node o = r.first_child(); o;) {
                    pugi::xml_node next = o.next_sibling();
                    if (Ends_With(o.attribute("Type").value(), "/calcChain")) r.remove_child(o);
                    o = next;
                }
                c.data = Save_Xml(doc);
            }
        } else if (e.name == D->workbook_part) {
            pugi::xml_document doc;
            if (Load_Xml(doc, e.data)) {
                pugi::xml_node r = doc.document_element();
                pugi::xml_node calc = Child(r, "calcPr");
                if (!calc) {
                    pugi::xml_node after;
                    for (const char *n : kBeforeCalc)
                        if (pugi::xml_node f = Child(r, n)) after = f;
                    const std::string name = Prefix_Of(r) + "calcPr";
                    calc = after ? r.insert_child_after(name.c_str(), after) : r.append_child(name.c_str());
                }
                if (pugi::xml_attribute a = calc.attribute("fullCalcOnLoad")) a = "1";
                else calc.append_attribute("fullCalcOnLoad") = "1";
                c.data = Save_Xml(doc);
            }
        }
        out.push_back(std::move(c));
    }

    // The new package in memory, then to the file in one piece.
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t *src = zip_source_buffer_create(nullptr, 0, 0, &zerr);
    if (!src) {
        zip_error_fini(&zerr);
        Err = QStringLiteral("Нет памяти");
        return false;
    }
    zip_source_keep(src);
    zip_t *za = zip_open_from_source(src, ZIP_TRUNCATE, &zerr);
    zip_error_fini(&zerr);
    bool ok = za != nullptr;
    for (const Entry &e : out) {
        if (!ok) break;
        zip_source_t *s = zip_source_buffer(za, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        if (!s) {
            ok = false;
            break;
        }
        const zip_int64_t idx = zip_file_add(za, e.name.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(s);
            ok = false;
            break;
        }
        zip_set_file_compression(za, zip_uint64_t(idx), ZIP_CM_DEFLATE, 0);
    }
    if (za) {
        if (ok) ok = zip_close(za) == 0;
        if (!ok) zip_discard(za);
    }
    QByteArray bytes;
    if (ok && zip_source_open(src) == 0) {
        zip_source_seek(src, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(src);
        zip_source_seek(src, 0, SEEK_SET);
        if (size > 0) {
            bytes.resize(qsizetype(size));
            ok = zip_source_read(src, bytes.data(), zip_uint64_t(size)) == size;
        } else {
            ok = false;
        }
        zip_source_close(src);
    } else {
        ok = false;
    }
    zip_source_free(src);
    if (!ok) {
        Err = QStringLiteral("Книга не собрана");
        return false;
    }
    if (Save_Whole_File(path, bytes) != Save_Result::Ok) {
        Err = QStringLiteral("Файл %1 не записан").arg(path);
        return false;
    }
    return true;
}
