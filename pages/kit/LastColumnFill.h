#pragma once

class QAbstractItemView;
class QHeaderView;

// The view's last column fills the space the other columns leave and grows
// to the widest text of the rows on show, so a long text scrolls sideways
// instead of being cut at the edge of a narrow window.
void FillLastColumn(QAbstractItemView* view, QHeaderView* header);
