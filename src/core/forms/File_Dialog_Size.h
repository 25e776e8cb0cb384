#pragma once
// The size of every open and save dialog of the program. Qt opens its file dialog at a size
// made for short English texts: the Russian type, size and date columns and the long names
// the program proposes come out cut with "...". Here the dialog is shown in its detail view,
// each column as wide as the longest typical text it holds (measured in the dialog's font, by
// the same locale and mime types Qt uses for the list) and its title, and the dialog as wide
// as those columns need, within the screen.
class QFileDialog;

// Call after the dialog's filters and proposed name are set, before it is run; the columns
// and the size are fitted when the dialog is first shown.
void Size_File_Dialog(QFileDialog &d);
