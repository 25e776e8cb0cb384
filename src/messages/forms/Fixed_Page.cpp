#include "messages/forms/Fixed_Page.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QToolBar>

namespace {

// The text Qt gives its preview's action, in the language loaded, or the untranslated one.
bool Is_Preview_Action(const QAction *a, const char *source)
{
    QString text = a->text();
    text.remove(QLatin1Char('&'));
    return text == QCoreApplication::translate("QPrintPreviewDialog", source) || text == QLatin1String(source);
}

// Of the separators left with nothing between them, or at an end, only the needed ones show.
void Tidy_Separators(QToolBar *bar)
{
    QAction *pending = nullptr;   // a separator after something shown, not yet followed by more
    bool after_item = false;
    for (QAction *a : bar->actions()) {
        if (a->isSeparator()) {
            if (!after_item || pending) a->setVisible(false);
            else pending = a;
            continue;
        }
        if (!a->isVisible()) continue;
        after_item = true;
        pending = nullptr;
    }
    if (pending) pending->setVisible(false);
}

// The page setup's controls of paper, orientation and margins, by the names Qt's form gives them.
const char *const kPageControls[] = {"pageSizeCombo", "pageWidth",        "pageHeight",      "paperSource",
                                     "unitCombo",     "portrait",         "landscape",       "reverseLandscape",
                                     "reversePortrait", "topMargin",      "bottomMargin",    "leftMargin",
                                     "rightMargin"};

} // namespace

int Hide_Page_Controls(QPrintPreviewDialog &preview)
{
    int found = 0;
    for (QAction *a : preview.findChildren<QAction *>()) {
        const bool orientation = Is_Preview_Action(a, "Portrait") || Is_Preview_Action(a, "Landscape");
        if (!orientation && !Is_Preview_Action(a, "Page setup")) continue;
        ++found;
        a->setEnabled(false);
        a->setVisible(false);
    }
    if (auto *bar = preview.findChild<QToolBar *>()) Tidy_Separators(bar);
    return found;
}

bool Lock_Page_Setup(QWidget *dialog)
{
    if (!dialog) return false;
    QWidget *setup = nullptr;
    for (QWidget *w : dialog->findChildren<QWidget *>())
        if (w->inherits("QPageSetupWidget")) setup = w;
    if (!setup && !qobject_cast<QPageSetupDialog *>(dialog)) return false;
    QWidget *within = setup ? setup : dialog;
    for (const char *name : kPageControls)
        if (auto *w = within->findChild<QWidget *>(QLatin1String(name))) w->setEnabled(false);
    // Built otherwise than known here: none of the page setup is offered (its dialog's buttons
    // stay, to close it).
    for (const char *name : {"pageSizeCombo", "portrait", "landscape", "topMargin"}) {
        if (within->findChild<QWidget *>(QLatin1String(name))) continue;
        if (setup) setup->setEnabled(false);
        else
            for (QWidget *w : dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (!qobject_cast<QDialogButtonBox *>(w)) w->setEnabled(false);
        break;
    }
    return true;
}
