#include "core/forms/Edit_Left.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace {

class Edit_Left_Watch : public QObject {
public:
    Edit_Left_Watch(QLineEdit *edit, std::function<void()> left) : QObject(edit), Left(std::move(left)) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::FocusOut) return false;
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        // A box in a window going away (or being taken apart) is not left for another control.
        const auto *edit = static_cast<QWidget *>(watched);
        if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason && edit->window()->isVisible() && Left)
            Left();
        return false;
    }

private:
    std::function<void()> Left;
};

} // namespace

void On_Edit_Left(QLineEdit *edit, std::function<void()> left)
{
    if (edit) edit->installEventFilter(new Edit_Left_Watch(edit, std::move(left)));
}
