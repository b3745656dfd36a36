#include "pages/kit/LastColumnFill.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QObject>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace {

class TLastColumnFill : public QObject {
public:
    TLastColumnFill(QAbstractItemView* view, QHeaderView* header, std::function<QModelIndex()> widest)
        : QObject(view), m_View(view), m_Header(header), m_Widest(std::move(widest))
    {
        header->setStretchLastSection(false);
        // Only the rows on show are measured (by default up to a thousand
        // around them, on every burst of new rows).
        if (auto* table = qobject_cast<QTableView*>(view))
            table->verticalHeader()->setResizeContentsPrecision(0);
        header->setResizeContentsPrecision(0);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->viewport()->installEventFilter(this);
        auto later = [this] { Later(); };
        connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int) {
            if (logical != LastColumn())
                Later();
        });
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, later);
        if (QAbstractItemModel* model = view->model()) {
            // Rows appended below the ones on show leave the widths as they are.
            connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first) {
                if (!BelowTheRowsOnShow(parent, first))
                    Later();
            });
            connect(model, &QAbstractItemModel::rowsRemoved, this, later);
            connect(model, &QAbstractItemModel::modelReset, this, later);
            connect(model, &QAbstractItemModel::layoutChanged, this, later);
            if (m_Widest)
                connect(model, &QAbstractItemModel::dataChanged, this, later);
        }
        Later();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            Later();
        return QObject::eventFilter(watched, event);
    }

private:
    int LastColumn() const { return m_Header->logicalIndex(m_Header->count() - 1); }

    bool BelowTheRowsOnShow(const QModelIndex& parent, int row) const
    {
        const QModelIndex bottom = m_View->indexAt(QPoint(0, m_View->viewport()->height() - 1));
        return bottom.isValid() && bottom.parent() == parent && row > bottom.row();
    }

    // Bursts of rows are measured once per turn of the event loop.
    void Later()
    {
        if (m_Pending)
            return;
        m_Pending = true;
        QTimer::singleShot(0, this, [this] {
            m_Pending = false;
            Fit();
        });
    }

    void Fit()
    {
        // A hidden view measures up to a thousand rows; it fits on show.
        const int last = LastColumn();
        if (last < 0 || !m_View->isVisible())
            return;
        // The others are never narrower than their header and the rows on show.
        for (int column = 0; column < m_Header->count(); ++column) {
            if (column == last || m_Header->isSectionHidden(column))
                continue;
            const int content = std::max(m_View->sizeHintForColumn(column), m_Header->sectionSizeHint(column));
            if (content > m_Header->sectionSize(column))
                m_Header->resizeSection(column, content);
        }
        const int others = m_Header->length() - m_Header->sectionSize(last);
        const int room = m_View->viewport()->width() - others;
        const int width = std::max({room, ContentWidth(last), m_Header->sectionSizeHint(last)});
        if (width != m_Header->sectionSize(last))
            m_Header->resizeSection(last, width);
    }

    int ContentWidth(int column) const
    {
        if (!m_Widest)
            return m_View->sizeHintForColumn(column);
        const QModelIndex index = m_Widest();
        if (!index.isValid())
            return 0;
        int indent = 0;
        if (auto* tree = qobject_cast<QTreeView*>(m_View); tree && index.column() == 0) {
            int level = tree->rootIsDecorated() ? 1 : 0;
            for (QModelIndex up = index.parent(); up.isValid() && up != tree->rootIndex(); up = up.parent())
                ++level;
            indent = level * tree->indentation();
        }
        return m_View->sizeHintForIndex(index).width() + indent;
    }

    QAbstractItemView* m_View;
    QHeaderView* m_Header;
    std::function<QModelIndex()> m_Widest;
    bool m_Pending = false;
};

} // namespace

void FillLastColumn(QAbstractItemView* view, QHeaderView* header, std::function<QModelIndex()> widest)
{
    new TLastColumnFill(view, header, std::move(widest));
}
