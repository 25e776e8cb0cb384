#include "core/forms/Number_Search.h"

#include "core/Number_Typing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QSet>
#include <QStringList>

namespace {

// An item's number is the one it begins with: "7", " 7", "7:00"; -1 for none.
int Item_Number(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    while (end < t.size() && t[end].isDigit()) ++end;
    bool ok = false;
    const int n = end > 0 && end <= 9 ? t.left(end).toInt(&ok) : -1;
    return ok ? n : -1;
}

class Number_Search : public QObject {
public:
    explicit Number_Search(QComboBox *combo) : QObject(combo), Combo(combo) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || Combo->isEditable()) return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        const int digit = Digit(k);
        if (digit < 0) {
            // A modifier pressed on its own (the Ctrl of Ctrl+A) ends nothing; any other key does.
            if (!Is_Modifier(k->key())) Typed = -1;
            return false;
        }
        if (!Last.isValid() || Last.elapsed() > QApplication::keyboardInputInterval()) Typed = -1;
        Last.start();
        const int n = Number_Typed(Typed, digit, [this](int v) { return Index_Of(v) >= 0; });
        if (n >= 0) Select(watched, Index_Of(n));
        return true;   // a digit is never Qt's to search with
    }

private:
    static bool Is_Modifier(int key)
    {
        return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta ||
               key == Qt::Key_AltGr;
    }

    // The digit a key types, or -1: with Ctrl, Alt or Meta held a key is a command, not a digit.
    static int Digit(const QKeyEvent *k)
    {
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return -1;
        const QString t = k->text();
        if (t.size() != 1 || t[0] < QLatin1Char('0') || t[0] > QLatin1Char('9')) return -1;
        return t[0].unicode() - '0';
    }

    int Index_Of(int n) const
    {
        for (int i = 0; i < Combo->count(); ++i)
            if (Item_Number(Combo->itemText(i)) == n) return i;
        return -1;
    }

    void Select(QObject *watched, int i)
    {
        QAbstractItemView *view = Combo->view();
        if (watched == view) {
            // The open list highlights it; Enter or a click takes it.
            view->setCurrentIndex(Combo->model()->index(i, Combo->modelColumn(), Combo->rootModelIndex()));
            return;
        }
        if (i == Combo->currentIndex()) return;
        Combo->setCurrentIndex(i);
        emit Combo->activated(i);
        emit Combo->textActivated(Combo->itemText(i));
    }

    QComboBox *Combo;
    int Typed = -1;
    QElapsedTimer Last;
};

} // namespace

void Install_Number_Search(QComboBox *combo)
{
    if (!combo) return;
    auto *search = new Number_Search(combo);
    combo->installEventFilter(search);
    // The list's view, made now, has Qt's pop-up filter on it already: this one comes first.
    combo->view()->installEventFilter(search);
}

bool Numbers_Typed_Reach(const QStringList &items)
{
    QSet<int> numbers;
    for (const QString &t : items) {
        const int n = Item_Number(t);
        if (n < 0) return false;
        numbers.insert(n);
    }
    for (int n : std::as_const(numbers))
        if (n >= 10 && !numbers.contains(n / 10)) return false;
    return !numbers.isEmpty();
}
