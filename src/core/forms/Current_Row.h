#pragma once
// Lists and grids show their current row. Qt's item views scroll to a new current row only
// while they are shown, so a row made current while a window is built or filled stays out of
// sight. Here a view scrolls to its current row once it is shown and sized, and a view that
// shows its current row keeps it in sight when it is resized (its window placed, grown or
// shrunk). A view the user scrolled away from its current row is left where the user put it.
class QAbstractItemView;

// Makes the view behave as above. The application's style does it for every item view of the
// program. The list of a drop-down is scrolled by its combo box; that of a combo box one types
// into is dropped down on the item whose text the box shows.
void Keep_Current_Row(QAbstractItemView *view);

// After a refill (sort, add, delete) made a row current: that row shown whole, now when the
// view is shown, else when it is.
void Show_Current_Row(QAbstractItemView *view);
