#pragma once

#include <functional>

class QAbstractItemView;
class QHeaderView;
class QModelIndex;

// The view's last column fills the space the other columns leave and grows
// to the widest text of the rows on show, so a long text scrolls sideways
// instead of being cut at the edge of a narrow window. The other columns
// grow to their header and the widest text of the rows on show.
// A view of many rows may name its widest row instead (widest): the column
// fits that row, shown or not, measured alone, and again when data change.
void FillLastColumn(QAbstractItemView* view, QHeaderView* header, std::function<QModelIndex()> widest = nullptr);
