#include "core/Date_Typing.h"

#include <QtGlobal>

namespace {

constexpr int kPos[3] = {0, 3, 6};
constexpr int kLen[3] = {2, 2, 4};

bool Is_Separator(QChar c) { return c == u'.' || c == u','; }
bool Is_Digit(QChar c) { return c >= u'0' && c <= u'9'; }

// The first year of lo..hi whose digits begin with `typed`, or 0.
int First_Year_Beginning(const QString &typed, int lo, int hi)
{
    for (int y = lo; y <= hi; ++y)
        if (QString::number(y).startsWith(typed)) return y;
    return 0;
}

} // namespace

int Date_Typing::Pos(int section) { return kPos[qBound(0, section, 2)]; }
int Date_Typing::Width(int section) { return kLen[qBound(0, section, 2)]; }

int Date_Typing::Section_At(int pos)
{
    if (pos <= kPos[MONTH] - 1) return DAY;
    if (pos <= kPos[YEAR] - 1) return MONTH;
    return YEAR;
}

int Date_Typing::Typed_Year(const QString &typed, int shown, int lo, int hi)
{
    const int n = typed.toInt();
    const QString old = QString::number(shown);
    const auto in_range = [&](int y) { return y >= lo && y <= hi ? y : 0; };
    const auto keeping_rest = [&] {
        // The typed digits over the shown year's; else the first year they begin.
        const int y = in_range((typed + old.mid(typed.size())).toInt());
        return y ? y : First_Year_Beginning(typed, lo, hi);
    };
    switch (typed.size()) {
    case 1:
        return First_Year_Beginning(typed, lo, hi) ? keeping_rest() : in_range(2000 + n);
    case 2: return in_range(2000 + n);   // as the program writes years in its titles
    case 3: return keeping_rest();
    case 4: return in_range(n);
    default: return 0;
    }
}

Date_Typing::Date_Typing(QDate first, QDate last, bool year_only)
    : First(first), Last(last), Year_Only(year_only)
{
}

QString Date_Typing::Shown_Digits(QDate date, int section) const
{
    if (section == YEAR) return QString::number(date.year());
    return QString::asprintf("%02d", section == DAY ? date.day() : date.month());
}

void Date_Typing::Start(QDate date, int section, bool selected)
{
    Running = true;
    Base = qBound(First, date, Last);
    Base_Section = Year_Only ? int(YEAR) : qBound(int(DAY), section, int(YEAR));
    Base_Selected = selected;
    Keys.clear();
    Shown_Keys = 0;
    Whole = false;
}

void Date_Typing::Start_Inside(QDate date, int section, int digits)
{
    Start(date, section, false);
    Keys = Shown_Digits(Base, Base_Section).left(qMax(0, digits));
    Shown_Keys = int(Keys.size());
}

// The keys played from where the typing began, section by section.
struct Date_Typing::Replay {
    const Date_Typing &t;
    View v;
    QDate before;          // the date when the section's typing began
    int want = 1;          // the day asked for, kept through a shorter month
    int before_want = 1;

    void Begin_Section(int s)
    {
        v.section = s;
        v.typed.clear();
        before = v.date;
        before_want = want;
    }

    bool Could_Be(const QString &s) const
    {
        const int n = s.toInt();
        if (v.section == DAY) return s.size() == 1 || (n >= 1 && n <= 31);
        if (v.section == MONTH) return s.size() == 1 || (n >= 1 && n <= 12);
        return Typed_Year(s, before.year(), t.First.year(), t.Last.year()) != 0;
    }

    // Full at its width, or when no further digit could follow.
    bool Full() const
    {
        if (v.typed.size() >= kLen[v.section]) return true;
        for (QChar c = u'0'; c <= u'9'; c = QChar(c.unicode() + 1))
            if (Could_Be(v.typed + c)) return false;
        return true;
    }

    // The whole date the section's digits give: a day or month of "0" is none yet and leaves it
    // as it was; a day past the month's end shows as its last day until the month is typed.
    void Show()
    {
        int y = before.year(), m = before.month();
        want = before_want;
        const int n = v.typed.toInt();
        if (v.section == DAY && n > 0) want = n;
        if (v.section == MONTH && n > 0) m = n;
        if (v.section == YEAR && !v.typed.isEmpty()) y = Typed_Year(v.typed, y, t.First.year(), t.Last.year());
        y = qBound(t.First.year(), y, t.Last.year());
        v.date = qBound(t.First, QDate(y, m, qMin(want, QDate(y, m, 1).daysInMonth())), t.Last);
    }

    void Next(bool by_itself)
    {
        const int to = t.Year_Only ? int(YEAR) : qMin(v.section + 1, int(YEAR));
        v.moved = by_itself && to != v.section;
        v.selected = true;
        Begin_Section(to);
    }

    void Key(QChar c)
    {
        if (Is_Digit(c)) {
            const QString s = v.typed + c;
            if (!Could_Be(s)) return;
            v.typed = s;
            v.moved = false;
            v.selected = false;
            Show();
            if (Full()) Next(true);
        } else if (Is_Separator(c) && !t.Year_Only) {
            // The one meant for the move just made, or the end of the section as typed so far.
            if (v.moved) v.moved = false;
            else Next(false);
        }
    }
};

Date_Typing::View Date_Typing::Run(QList<bool> *effective) const
{
    Replay r{*this, {}, {}, Base.day(), Base.day()};
    r.v.date = Base;
    r.Begin_Section(Base_Section);
    r.v.selected = Base_Selected;
    if (effective) effective->clear();
    for (const QChar c : Keys) {
        const View was = r.v;
        r.Key(c);
        if (effective) effective->append(!(r.v == was));
    }
    return r.v;
}

Date_Typing::View Date_Typing::Shown() const { return Run(nullptr); }

bool Date_Typing::Key(QChar c)
{
    if (!Running || !(Is_Digit(c) || Is_Separator(c))) return false;
    const View was = Shown();
    Keys += c;
    if (!Whole && !Year_Only && (Keys.count(u'.') + Keys.count(u',')) >= 2) {
        // The second separator of a run: a whole date in its shown form, from its day, made of
        // the keys typed; the digits the box showed in a section it reopened are no part of it.
        Whole = true;
        Base_Section = DAY;
        Base_Selected = true;
        Keys.remove(0, Shown_Keys);
        Shown_Keys = 0;
    }
    const bool changed = !(Shown() == was);
    // Once the keys are read as a whole date (or there is a year alone), a key that shows
    // nothing never will.
    if (!changed && (Whole || Year_Only)) Keys.chop(1);
    return changed;
}

bool Date_Typing::Back()
{
    if (!Running) return false;
    QList<bool> effective;
    Run(&effective);
    // Keys that showed nothing go with the one before them.
    while (!Keys.isEmpty()) {
        const bool shown = effective.takeLast();
        Keys.chop(1);
        Shown_Keys = qMin(Shown_Keys, int(Keys.size()));
        if (shown) return true;
    }
    if (Base_Selected) {
        Base_Selected = false;
        return true;
    }
    if (Base_Section == DAY || Year_Only) return false;
    const int before = Base_Section - 1;
    Start_Inside(Base, before, Width(before) - 1);
    return true;
}

bool Date_Typing::Delete()
{
    if (!Running) return false;
    const View v = Shown();
    if (!v.selected) return false;
    Start(v.date, v.section, false);
    return true;
}
