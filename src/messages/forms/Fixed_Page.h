#pragma once
// The program's reports are printed on a fixed page: A4 portrait with the report's margins,
// set again at every render (Rep_Setup_Page). Qt's print dialogs offer the page's orientation,
// paper and margins, and nothing chosen there would take effect: they are not offered.
// Qt's controls are found by what Qt calls them (texts through Qt's own translation, object
// names of its dialogs); where Qt builds them otherwise than these know, the preview keeps
// its buttons, and a page setup opened from it is taken whole out of use.
class QPrintPreviewDialog;
class QWidget;

// Hides the preview's orientation buttons and its page setup (with the separators they leave
// doubled). Returns how many of the three it found and hid.
int Hide_Page_Controls(QPrintPreviewDialog &preview);

// Disables the paper, orientation and margin controls of a dialog that shows Qt's page setup
// (the page setup dialog, the print dialog's printer properties); a dialog without it is left
// alone. What else such a dialog offers (pages per sheet, the print jobs' options) takes effect
// and stays. Returns true when the dialog showed a page setup.
bool Lock_Page_Setup(QWidget *dialog);
