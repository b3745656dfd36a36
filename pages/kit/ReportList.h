#pragma once

// A typed report list: read-only rows of the page's own row type, columns
// described once (header, the cell's text, how the column sorts: by its
// text, by a key read from the row, or by a comparison of two rows) and the
// row's look (first-cell icon, background, tool tip). The list keeps one row
// value per line; changing a row rewrites only the cells whose text changed.
//
//   TReportList<TStatusRow> list;
//   list.Column("IP", [](const TStatusRow& r) { return r.ipText; }, &TStatusRow::listedIp);
//   list.Column("Model", [](const TStatusRow& r) { return r.model; });
//   int line = list.Add(row);
//   list.Change(line, [](TStatusRow& r) { r.state = 0; });

#include "pages/kit/PageList.h"
#include "pages/rules/PageRules.h"

#include <functional>
#include <type_traits>
#include <vector>

template <class TRow> class TReportList : public TPageListView {
public:
    using TText = std::function<QString(const TRow&)>;
    using TCompare = std::function<int(const TRow&, const TRow&)>;
    static constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;

    explicit TReportList(QWidget* parent = nullptr) : TPageListView(parent) {}

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
        Model()->SetComparator([this](const TPageRow& a, const TPageRow& b, int c) { return CompareLines(a, b, c); });
        return column;
    }

    // The row's look; each part may stay empty (a null icon: none).
    void SetIcon(std::function<QIcon(const TRow&)> icon) { m_Icon = std::move(icon); }
    void SetBackground(std::function<QBrush(const TRow&)> background) { m_Background = std::move(background); }
    // The tool tip from the row's cell texts, in column order.
    void SetToolTip(std::function<QString(const QStringList& cells)> toolTip) { m_ToolTip = std::move(toolTip); }

    // Appends a row; answers its line.
    int Add(TRow row)
    {
        m_Rows.push_back(std::move(row));
        return Model()->AddRow(Look(m_Rows.back(), (long long)(m_Rows.size() - 1)));
    }
    void Clear()
    {
        TPageListView::Clear();
        m_Rows.clear();
    }
    const TRow& Row(int line) const { return m_Rows.at(std::size_t(Model()->Row(line).tag)); }
    // Changes the row of a line and shows it again.
    template <class F> void Change(int line, F&& change)
    {
        change(m_Rows.at(std::size_t(Model()->Row(line).tag)));
        Show(line);
    }
    // The last line whose row matches; -1 when none.
    template <class M> int FindLast(M&& match) const
    {
        return FindRowFromLast(*Model(), [&](const TPageRow& line) { return match(m_Rows[std::size_t(line.tag)]); });
    }

private:
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
    TPageRow Look(const TRow& row, long long tag) const
    {
        TPageRow line;
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
    void Show(int line)
    {
        TPageListModel* model = Model();
        const TPageRow look = Look(Row(line), model->Row(line).tag);
        for (int column = 0; column < int(m_Columns.size()); ++column) {
            model->SetCell(line, column, look.cells.at(column));
            model->SetNumber(line, column, look.numbers[std::size_t(column)]);
        }
        if (look.hasIcon)
            model->SetIcon(line, look.icon);
        else if (model->Row(line).hasIcon)
            model->ClearIcon(line);
        if (m_Background)
            model->SetBackground(line, look.background);
        if (m_ToolTip)
            model->SetToolTip(line, look.toolTip);
    }
    // Once a column compares rows itself, the list compares every column.
    int CompareLines(const TPageRow& a, const TPageRow& b, int column) const
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
};
