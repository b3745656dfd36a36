#include "console/RemoteList.h"

#include "pages/kit/AddressText.h"

#include <algorithm>
#include <numeric>

TRemoteListModel::TRemoteListModel(QObject* parent)
    : QAbstractTableModel(parent), m_Headers{tr("Destination"), tr("Next Hop"), tr("Interface")}
{}

void TRemoteListModel::Append(std::vector<TNewRow> rows, const QStringList& names)
{
    if (rows.empty())
        return;
    // The given names' places among ours.
    std::vector<int> ours;
    for (const QString& name : names) {
        const qsizetype at = m_Names.indexOf(name);
        ours.push_back(at >= 0 ? int(at) : int(m_Names.size()));
        if (at < 0)
            m_Names.push_back(name);
    }
    for (TNewRow& row : rows)
        row.Name = row.Name < 0 ? -1 : ours[std::size_t(row.Name)];
    beginInsertRows(QModelIndex(), Count(), Count() + int(rows.size()) - 1);
    if (m_Rows.empty())
        m_Rows = std::move(rows);
    else
        m_Rows.insert(m_Rows.end(), rows.begin(), rows.end());
    endInsertRows();
}

void TRemoteListModel::Clear()
{
    beginResetModel();
    m_Rows.clear();
    m_Rows.shrink_to_fit();
    m_Names.clear();
    endResetModel();
}

void TRemoteListModel::Remove(const std::vector<bool>& doomed)
{
    beginResetModel();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_Rows.size(); ++i)
        if (i >= doomed.size() || !doomed[i])
            m_Rows[kept++] = m_Rows[i];
    m_Rows.resize(kept);
    endResetModel();
}

void TRemoteListModel::Sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    auto key = [&](const TRow& row) {
        return column == 1 ? row.Entry.NextHop : column == 2 ? row.Entry.IfIndex : row.Entry.Address;
    };
    std::vector<int> sorted(m_Rows.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const TRow &left = m_Rows[std::size_t(a)], &right = m_Rows[std::size_t(b)];
        return order == Qt::AscendingOrder ? key(left) < key(right) : key(right) < key(left);
    });
    std::vector<TRow> rows;
    rows.reserve(m_Rows.size());
    std::vector<int> newRow(m_Rows.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        rows.push_back(m_Rows[std::size_t(sorted[i])]);
        newRow[std::size_t(sorted[i])] = int(i);
    }
    m_Rows = std::move(rows);
    // The selection and the current row follow their rows.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.push_back(index.isValid() ? this->index(newRow[std::size_t(index.row())], index.column()) : index);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TRemoteListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int TRemoteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Headers.size());
}

QVariant TRemoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const TRow& row = m_Rows[std::size_t(index.row())];
    switch (index.column()) {
    case 0:
        return IpText(row.Entry.Address);
    case 1:
        return row.Name < 0 ? tr("(Invalid)") : IpText(row.Entry.NextHop);
    case 2:
        return row.Name < 0 ? tr("(Invalid)") : m_Names[row.Name];
    default:
        return {};
    }
}

QVariant TRemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_Headers.size())
        return m_Headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}
