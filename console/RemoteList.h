#pragma once

// The rows of the discovery filter's remote list: one record per address,
// the texts made when a row is shown.

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <vector>

// Data of one row of the remote list.
struct TRemoteEntry {
    std::uint32_t Address = 0;
    std::uint32_t NextHop = 0xFFFFFFFFu;  // 0xFFFFFFFF: no route
    std::uint32_t IfIndex = 0xFFFFFFFFu;
};

class TRemoteListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // A row to append: its route, and its interface's name in the names
    // given with it (-1: no valid route).
    struct TNewRow {
        TRemoteEntry Entry;
        int Name = -1;
    };

    explicit TRemoteListModel(QObject* parent = nullptr);

    int Count() const { return int(m_Rows.size()); }
    const TRemoteEntry& Entry(int row) const { return m_Rows[std::size_t(row)].Entry; }

    void Append(std::vector<TNewRow> rows, const QStringList& names);
    void Clear();
    // Keeps the rows whose flag is false, in their order.
    void Remove(const std::vector<bool>& doomed);
    // Stable sort by a column's row data: address, next hop, interface index.
    void Sort(int column, Qt::SortOrder order);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    using TRow = TNewRow;  // Name: in m_Names

    std::vector<TRow> m_Rows;
    QStringList m_Names;  // interface names, each once
    QStringList m_Headers;
};
