#include "core/forms/File_Dialog_Size.h"

#include "core/forms/Window_Place.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <algorithm>

namespace {

// Files a dialog should show on one screen without scrolling.
constexpr int kRows = 20;

// Column order of Qt's file list.
enum { COL_NAME, COL_SIZE, COL_TYPE, COL_DATE, COLS };

QTreeView *Tree_Of(const QFileDialog &d)
{
    return d.findChild<QTreeView *>(QStringLiteral("treeView"));
}

// The patterns of the name filters: "Data Files (*.cnf)" gives "*.cnf".
QStringList Filter_Patterns(const QFileDialog &d)
{
    QStringList out;
    for (const QString &f : d.nameFilters()) {
        const qsizetype open = f.lastIndexOf(u'('), close = f.lastIndexOf(u')');
        const QString list = open >= 0 && close > open ? f.mid(open + 1, close - open - 1) : f;
        out += list.split(u' ', Qt::SkipEmptyParts);
    }
    return out;
}

bool Matches(const QStringList &patterns, const QString &name)
{
    for (const QString &p : patterns)
        if (QRegularExpression::fromWildcard(p, Qt::CaseInsensitive).match(name).hasMatch()) return true;
    return false;
}

// What Qt's list writes in the type column for a file of that name and unknown content.
QString Mime_Text(const QMimeDatabase &db, const QString &name)
{
    const QMimeType m = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return m.comment().isEmpty() ? m.name() : m.comment();
}

QSize Cell_Size(const QTreeView &v, const QString &text, bool icon)
{
    QStyleOptionViewItem o;
    o.initFrom(&v);
    o.font = v.font();
    o.fontMetrics = QFontMetrics(o.font);
    o.text = text;
    o.features = QStyleOptionViewItem::HasDisplay;
    o.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    o.textElideMode = v.textElideMode();
    if (icon) {
        const int pm = v.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &v);
        o.features |= QStyleOptionViewItem::HasDecoration;
        o.decorationSize = v.iconSize().isValid() ? v.iconSize() : QSize(pm, pm);
    }
    return v.style()->sizeFromContents(QStyle::CT_ItemViewItem, &o, QSize(), &v);
}

QRect Room_On_Screen(const QWidget &w)
{
    const QWidget *owner = w.parentWidget() ? w.parentWidget()->window() : nullptr;
    QScreen *scr = owner && owner->isVisible() ? owner->screen() : w.screen();
    if (!scr) scr = QGuiApplication::primaryScreen();
    if (!scr) return QRect(0, 0, 1024, 768);
    return scr->availableGeometry() - Frame_Margins(&w);
}

// The longest names the program proposes, the controller or line name of 20 characters:
// configuration, archive, spreadsheet and message files.
QStringList Typical_File_Names()
{
    const QString name20 = QStringLiteral("ГРС Северная нитка 2");
    return {QStringLiteral("qzt_16-%1-2612070837.cnf").arg(name20),
            QStringLiteral("qzt16_001_%1_261207.mch").arg(name20),
            QStringLiteral("qzt16-001_%1_261207.hch").arg(name20),
            QStringLiteral("qzt16-001_%1_261207_mom.xlsx").arg(name20),
            QStringLiteral("qzt16_001_261207.mwm"),
            QStringLiteral("qzt16_001_261207.ala")};
}

// Typical texts of each column of the dialog's list for its filters.
struct File_Column_Texts {
    QStringList name, size, type, date;
};

File_Column_Texts Typical_Column_Texts(const QFileDialog &d)
{
    File_Column_Texts t;
    const QStringList patterns = Filter_Patterns(d);
    for (const QString &n : Typical_File_Names())
        if (patterns.isEmpty() || Matches(patterns, n)) t.name << n;
    // The proposed name of a save dialog, whatever it is.
    if (d.acceptMode() == QFileDialog::AcceptSave)
        for (const QString &f : d.selectedFiles()) {
            const QString n = QFileInfo(f).fileName();
            if (!n.isEmpty() && !t.name.contains(n)) t.name << n;
        }
    if (t.name.isEmpty()) t.name = Typical_File_Names();

    // Sizes and dates as Qt's list writes them: by the system locale.
    const QLocale sys = QLocale::system();
    for (qint64 bytes : {qint64(1023), qint64(1048566), qint64(268425216)}) t.size << sys.formattedDataSize(bytes);
    for (int month = 1; month <= 12; ++month)
        t.date << sys.toString(QDateTime(QDate(2026, month, 28), QTime(20, 58, 58)), QLocale::ShortFormat);

    // Types: the program's files are of no known kind; a known extension has its own name,
    // and folders are listed too.
    const QMimeDatabase db;
    t.type << Mime_Text(db, QStringLiteral("x"));
    for (const QString &n : std::as_const(t.name)) t.type << Mime_Text(db, n);
    for (const QString &p : patterns)
        if (p.startsWith(QLatin1String("*.")) && !p.mid(2).contains(QRegularExpression(QStringLiteral("[*?\\[]"))))
            t.type << Mime_Text(db, QStringLiteral("x") + p.mid(1));
    QString dir = d.directory().absolutePath();
    if (!QFileInfo(dir).isDir() || QDir(dir).isRoot()) dir = QDir::homePath();
    const auto *model = d.findChild<QFileSystemModel *>();
    const QAbstractFileIconProvider *icons = model ? model->iconProvider() : nullptr;
    const QFileIconProvider plain;
    t.type << (icons ? icons : &plain)->type(QFileInfo(dir));
    t.type.removeDuplicates();
    return t;
}

int Widest(const QTreeView &v, const QStringList &texts, bool icon)
{
    int w = 0;
    for (const QString &t : texts) w = std::max(w, Cell_Size(v, t, icon).width());
    return w;
}

// The places on the left ("Компьютер", the home folder) whole: the list beside them gets
// the room it had, and the dialog grows for it below.
void Fit_Places(QFileDialog &d)
{
    auto *places = d.findChild<QListView *>(QStringLiteral("sidebar"));
    auto *split = d.findChild<QSplitter *>(QStringLiteral("splitter"));
    if (!places || !split || split->count() < 2 || split->indexOf(places) != 0) return;
    const int need = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 2 * places->spacing() +
                     places->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, places);
    QList<int> sizes = split->sizes();
    if (sizes.size() < 2 || sizes[0] >= need) return;
    sizes[0] = need;
    split->setSizes(sizes);
}

void Fit(QFileDialog &d)
{
    QTreeView *v = Tree_Of(d);
    if (!v) return;   // a native dialog sizes itself
    Fit_Places(d);
    QHeaderView *h = v->header();
    const File_Column_Texts t = Typical_Column_Texts(d);
    const QStringList *texts[COLS] = {&t.name, &t.size, &t.type, &t.date};
    int want[COLS] = {};
    int sum = 0;
    for (int c = 0; c < COLS && c < h->count(); ++c) {
        if (h->isSectionHidden(c)) continue;   // the user's choice, kept
        want[c] = std::max(h->sectionSizeHint(c), Widest(*v, *texts[c], c == COL_NAME));
        sum += want[c];
    }

    // The list's own room besides its columns: frame and a vertical scroll bar.
    const int bar = v->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, v);
    const int row = Cell_Size(*v, t.name.value(0), true).height();
    const QSize need(sum + 2 * v->frameWidth() + bar, kRows * row + h->sizeHint().height() + 2 * v->frameWidth());
    const QRect room = Room_On_Screen(d);
    // The layout shares a change of the dialog's size with the places bar: a few rounds.
    for (int round = 0; round < 3; ++round) {
        const QSize lack = need - v->size();
        QSize to = d.size() + QSize(std::max(lack.width(), 0), std::max(lack.height(), 0));
        to = to.boundedTo(room.size()).expandedTo(d.minimumSize());
        if (to == d.size()) break;
        d.resize(to);
    }
    // On a screen too narrow the name gives way: it is cut on the right, the rest stay whole.
    const int spare = v->viewport()->width() - sum;
    if (spare < 0 && !h->isSectionHidden(COL_NAME))
        want[COL_NAME] = std::max(h->sectionSizeHint(COL_NAME), want[COL_NAME] + spare);
    for (int c = 0; c < COLS && c < h->count(); ++c)
        if (!h->isSectionHidden(c)) h->resizeSection(c, want[c]);
}

class File_Dialog_Sizer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The Show comes before the dialog centres itself over its owner: it is placed at
        // its final size. Once: afterwards the size and the columns are the user's.
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            if (auto *d = qobject_cast<QFileDialog *>(watched)) Fit(*d);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void Size_File_Dialog(QFileDialog &d)
{
    // Only the detail view shows size, type and date; a list view left from another session
    // does not.
    d.setViewMode(QFileDialog::Detail);
    d.installEventFilter(new File_Dialog_Sizer(&d));
}
