#pragma once
// Typing into a date box shown as "dd.MM.yyyy" (or into a year alone), kept as the keys typed
// since the typing began and shown as their replay: at every key the box shows a whole date,
// the one that leaving it or Enter reads; Backspace takes back one key, also across the moves
// the box made by itself; two separators typed in one run mean a whole date typed from its day.
//
// A section takes its digits as a user types them: a day or month is full at two digits or at
// a first digit that no second could follow, and the box then moves to the next section; a
// separator ends a section early, or is the one meant for a move the box has just made. A
// year typed with one digit keeps the rest of the shown year when a year of the range begins
// so ("2" over 2026 is 2026), else it is 200d; two digits are 20yy; three must begin a year of
// the range and keep the shown year's last digit; four are the year.
#include <QDate>
#include <QString>

class Date_Typing {
public:
    enum Section { DAY = 0, MONTH = 1, YEAR = 2 };

    // What the box shows after the keys.
    struct View {
        QDate date;
        int section = DAY;   // where the next digit goes
        QString typed;       // the digits typed into it so far
        bool selected = true;   // the section shown selected whole; else the cursor after `typed`
        bool moved = false;     // the box has just moved to this section by itself
        bool operator==(const View &) const = default;
    };

    // `first`..`last`: the dates the box can show. `year_only`: a box holding a year alone.
    Date_Typing(QDate first = QDate(2000, 1, 1), QDate last = QDate(2099, 12, 31), bool year_only = false);

    bool Typing() const { return Running; }
    // Typing begins anew at the next key (a click, the focus, an arrow, the calendar).
    void Stop() { Running = false; }
    // Typing begins at `section` of `date`, shown selected whole, or open with the cursor at
    // its start (nothing of it typed yet).
    void Start(QDate date, int section, bool selected);
    // Typing begins in `section` of `date` as if its first `digits` shown digits had just been
    // typed (the cursor stood inside it).
    void Start_Inside(QDate date, int section, int digits);

    // Each returns whether the box shows anything else after the key.
    bool Key(QChar c);   // a digit, or '.' or ',' as a separator; anything else is refused
    // Takes back the last key that showed anything. With none left, a section shown selected
    // is opened to be typed anew, and an open one goes to the section before, reopened with its
    // shown digits less the last.
    bool Back();
    // A section shown selected is opened to be typed anew; otherwise nothing.
    bool Delete();

    View Shown() const;

    // Where each section stands in "dd.MM.yyyy" and how wide it is.
    static int Pos(int section);
    static int Width(int section);
    // The section of a cursor position in "dd.MM.yyyy" (a position between two sections is
    // the one before's when it touches it).
    static int Section_At(int pos);
    // The year that `typed` (1..4 digits) gives over the shown year `shown`, in `lo`..`hi`;
    // 0 when no year of the range can be typed so.
    static int Typed_Year(const QString &typed, int shown, int lo, int hi);

private:
    struct Replay;
    View Run(QList<bool> *effective) const;
    QString Shown_Digits(QDate date, int section) const;

    QDate First, Last;
    bool Year_Only;
    bool Running = false;
    // Where the typing began.
    QDate Base;
    int Base_Section = DAY;
    bool Base_Selected = true;
    QString Keys;   // every digit and separator since; refused ones too until a whole date is seen
    int Shown_Keys = 0;   // how many of the first keys are a reopened section's shown digits
    bool Whole = false;   // two separators seen: the keys are a whole date from its day
};
