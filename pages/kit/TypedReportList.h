#pragma once

// A typed report list: read-only rows of the page's own row type, columns
// described once (header, the cell's text, how the column sorts: by its
// text, by a key read from the row, or by a comparison of two rows) and the
// row's look (first-cell icon, background, tool tip). The list keeps one row
// value per line; changing a row rewrites only the cells whose text changed,
// and makes the texts of a row out of sight only when they are read.
//
//   TTypedReportList<TStatusRow> list;
//   list.Column("IP", [](const TStatusRow& r) { return r.ipText; }, &TStatusRow::listedIp);
//   list.Column("Model", [](const TStatusRow& r) { return r.model; });
//   int line = list.Add(row);
//   list.Change(line, [](TStatusRow& r) { r.state = 0; });
//
// A list may key its rows (a MAC, an address): Find then answers a row's line
// without walking the list, however large it grows and however it is sorted.

#include "pages/kit/UntypedReportList.h"
#include "pages/rules/PageRules.h"

#include <functional>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

template <class TRow> class TTypedReportList : public TUntypedReportList {
public:
    using TText = std::function<QString(const TRow&)>;
    using TCompare = std::function<int(const TRow&, const TRow&)>;
    static constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;

    explicit TTypedReportList(QWidget* parent = nullptr) : TUntypedReportList(parent)
    {
        // A sort or a reset moves lines: where each row shows is found again when next asked.
        const auto moved = [this] { m_LineOfRow.clear(); };
        connect(Model(), &QAbstractItemModel::layoutChanged, this, moved);
        connect(Model(), &QAbstractItemModel::modelReset, this, moved);
        Model()->SetRowCatchUp([this](int line) { ShowDeferred(line); });
    }

    // A column sorted by its text: ckText (a..z folded) or ckExactText.
    int Column(const QString& header, TText text, TColumnKind kind = ckText, Qt::Alignment alignment = Left)
    {
        return Declare(AddColumn(header, kind, alignment), std::move(text), nullptr);
    }
    // A column sorted by a number member of the row.
    template <class N>
        requires std::is_arithmetic_v<N>
    int Column(const QString& header, TText text, N TRow::*key, Qt::Alignment alignment = Left)
    {
        return Declare(AddColumn(header, ckNumber, alignment), std::move(text),
                       [key](const TRow& row) { return (long long)(row.*key); });
    }
    // A column sorted by a number the row gives.
    int Column(const QString& header, TText text, std::function<long long(const TRow&)> key,
               Qt::Alignment alignment = Left)
    {
        return Declare(AddColumn(header, ckNumber, alignment), std::move(text), std::move(key));
    }
    // A column sorted by a three-way comparison of two rows.
    int Column(const QString& header, TText text, TCompare compare, Qt::Alignment alignment = Left)
    {
        const int column = Declare(AddColumn(header, ckText, alignment), std::move(text), nullptr);
        m_Columns.back().compare = std::move(compare);
        Model()->SetComparator([this](const TListRow& a, const TListRow& b, int c) { return CompareLines(a, b, c); });
        return column;
    }

    // The row's look; each part may stay empty (a null icon: none).
    void SetIcon(std::function<QIcon(const TRow&)> icon) { m_Icon = std::move(icon); }
    void SetBackground(std::function<QBrush(const TRow&)> background) { m_Background = std::move(background); }
    // The tool tip from the row's cell texts, in column order.
    void SetToolTip(std::function<QString(const QStringList& cells)> toolTip) { m_ToolTip = std::move(toolTip); }

    // Keys the rows (call before adding any); a key names one row, the one
    // added last with it, and a change never changes a row's key.
    void SetKey(std::function<long long(const TRow&)> key) { m_Key = std::move(key); }
    // The line of the row with the key; -1 when none.
    int Find(long long key) const
    {
        const auto found = m_RowOfKey.find(key);
        return found == m_RowOfKey.end() ? -1 : LineOfRow(found->second);
    }

    // Appends a row; answers its line.
    int Add(TRow row)
    {
        const std::size_t index = m_Rows.size();
        m_Rows.push_back(std::move(row));
        if (m_Key)
            m_RowOfKey[m_Key(m_Rows.back())] = index;
        const bool placed = m_LineOfRow.size() == index;
        // A hidden list makes the row's texts when they are read or shown.
        const bool hidden = !isVisible();
        TListRow look;
        if (hidden)
            look.tag = (long long)index;
        else
            look = Look(m_Rows.back(), (long long)index);
        const int line = Model()->AddRow(std::move(look));
        if (placed)
            m_LineOfRow.push_back(line);
        if (hidden)
            Defer(index);
        return line;
    }
    void Clear()
    {
        Model()->SetCatchUp(nullptr);
        TUntypedReportList::Clear();
        m_Rows.clear();
        m_RowOfKey.clear();
        m_LineOfRow.clear();
        m_Deferred.clear();
        m_IsDeferred.clear();
    }
    // Shows rows in the order given. When the list holds as many, each row
    // changes in place (a poll of the same ports): the sort, the selection
    // and the scroll position stay; otherwise the list is filled anew.
    void Update(std::vector<TRow> rows)
    {
        if (RowCount() != int(rows.size()) || m_Rows.size() != rows.size()) {
            Clear();
            for (TRow& row : rows)
                Add(std::move(row));
            return;
        }
        for (int line = 0; line < RowCount(); ++line) {
            const std::size_t index = std::size_t(Model()->Row(line).tag);
            Change(line, [&](TRow& r) { r = std::move(rows[index]); });
        }
    }
    const TRow& Row(int line) const { return m_Rows.at(std::size_t(Model()->Row(line).tag)); }
    // The text a cell shows for the row as it is now (also while hidden).
    QString Text(int line, int column) const { return m_Columns.at(std::size_t(column)).text(Row(line)); }
    // Changes the row of a line and shows it again. A row out of sight (the
    // list hidden, or the line scrolled away) is only noted and shown when it
    // is read or painted (a sort shows them all): a poll of thousands of rows,
    // and showing the list after it, cost the texts of the few on screen.
    template <class F> void Change(int line, F&& change)
    {
        const std::size_t row = std::size_t(Model()->Row(line).tag);
        change(m_Rows.at(row));
        if (isVisible() && OnShow(line)) {
            if (row < m_IsDeferred.size())
                m_IsDeferred[row] = false;
            Show(line);
            return;
        }
        Defer(row);
    }

private:
    // Notes a row to show when it is read, painted or sorted.
    void Defer(std::size_t row)
    {
        m_IsDeferred.resize(m_Rows.size());
        if (m_IsDeferred[row])
            return;
        m_IsDeferred[row] = true;
        if (m_Deferred.size() > 2 * m_Rows.size()) {
            // Rows shown one by one since stay listed: list each noted row once.
            m_Deferred.clear();
            for (std::size_t r = 0; r < m_IsDeferred.size(); ++r) {
                if (m_IsDeferred[r])
                    m_Deferred.push_back(r);
            }
        } else {
            m_Deferred.push_back(row);
        }
        Model()->SetCatchUp([this] { ShowHidden(); });
    }
    // Whether a line is on screen (or may be: nothing laid out yet).
    bool OnShow(int line) const
    {
        const QModelIndex top = indexAt(QPoint(0, 0));
        if (!top.isValid())
            return true;
        if (line < top.row())
            return false;
        const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
        return !bottom.isValid() || line <= bottom.row();
    }
    // Shows every row changed out of sight.
    void ShowHidden()
    {
        Model()->SetCatchUp(nullptr);
        const std::vector<std::size_t> rows = std::exchange(m_Deferred, {});
        for (std::size_t row : rows) {
            if (row >= m_IsDeferred.size() || !m_IsDeferred[row])
                continue;
            m_IsDeferred[row] = false;
            if (const int line = LineOfRow(row); line >= 0)
                Show(line);
        }
    }
    // Shows the row of a line if it changed out of sight.
    void ShowDeferred(int line)
    {
        if (m_Deferred.empty())
            return;
        const std::size_t row = std::size_t(Model()->Row(line).tag);
        if (row >= m_IsDeferred.size() || !m_IsDeferred[row])
            return;
        m_IsDeferred[row] = false;
        Show(line);
    }
    int LineOfRow(std::size_t row) const
    {
        if (m_LineOfRow.size() != m_Rows.size()) {
            m_LineOfRow.assign(m_Rows.size(), -1);
            for (int line = 0; line < RowCount(); ++line)
                m_LineOfRow[std::size_t(Model()->Row(line).tag)] = line;
        }
        return m_LineOfRow[row];
    }
    struct TColumn {
        TText text;
        std::function<long long(const TRow&)> key;
        TCompare compare;
    };
    int Declare(int column, TText text, std::function<long long(const TRow&)> key)
    {
        m_Columns.push_back({std::move(text), std::move(key), nullptr});
        return column;
    }
    TListRow Look(const TRow& row, long long tag) const
    {
        TListRow line;
        line.tag = tag;
        for (const TColumn& c : m_Columns) {
            line.cells.append(c.text(row));
            line.numbers.push_back(c.key ? c.key(row) : 0);
        }
        if (m_Icon) {
            line.icon = m_Icon(row);
            line.hasIcon = !line.icon.isNull();
        }
        if (m_Background)
            line.background = m_Background(row);
        if (m_ToolTip)
            line.toolTip = m_ToolTip(line.cells);
        return line;
    }
    // Rewrites the cells whose text changed; the tool tip only when a cell
    // did or the row has none yet.
    void Show(int line)
    {
        TListModel* model = Model();
        const TRow& row = Row(line);
        bool changed = false;
        for (int column = 0; column < int(m_Columns.size()); ++column) {
            const TColumn& c = m_Columns[std::size_t(column)];
            changed |= model->SetCell(line, column, c.text(row));
            model->SetNumber(line, column, c.key ? c.key(row) : 0);
        }
        const QIcon icon = m_Icon ? m_Icon(row) : QIcon();
        if (!icon.isNull())
            model->SetIcon(line, icon);
        else if (model->Row(line).hasIcon)
            model->ClearIcon(line);
        if (m_Background)
            model->SetBackground(line, m_Background(row));
        if (m_ToolTip && (changed || model->Row(line).toolTip.isNull()))
            model->SetToolTip(line, m_ToolTip(model->Row(line).cells));
    }
    // Once a column compares rows itself, the list compares every column.
    int CompareLines(const TListRow& a, const TListRow& b, int column) const
    {
        const TColumn& c = m_Columns.at(std::size_t(column));
        const TRow& x = m_Rows[std::size_t(a.tag)];
        const TRow& y = m_Rows[std::size_t(b.tag)];
        if (c.compare)
            return c.compare(x, y);
        if (c.key)
            return Compare3(c.key(x), c.key(y));
        return CompareCells(a.cells.at(column), b.cells.at(column), Model()->ColumnKind(column));
    }

    std::vector<TColumn> m_Columns;
    std::vector<TRow> m_Rows;
    std::function<QIcon(const TRow&)> m_Icon;
    std::function<QBrush(const TRow&)> m_Background;
    std::function<QString(const QStringList&)> m_ToolTip;
    std::function<long long(const TRow&)> m_Key;
    std::unordered_map<long long, std::size_t> m_RowOfKey;
    // The line of each row; shorter than the rows once lines moved.
    mutable std::vector<int> m_LineOfRow;
    // Rows changed out of sight, not shown since (m_Deferred may also list
    // rows shown one by one since: the flags hold).
    std::vector<std::size_t> m_Deferred;
    std::vector<bool> m_IsDeferred;
};
