#pragma once

// The "IP Configuration" page's tree model: address groups sorted by address,
// each with its switch nodes sorted by planned address as an unsigned number
// (stable: equal addresses keep their order). Nodes are plain structs; their
// texts and icons are made only for the rows a view asks for.

#include "pages/system/Modulebasics_ipconf.h"
#include "pages/rules/PageRules.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QIcon>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QFontMetrics;

class TIpConfModel : public QAbstractItemModel {
public:
    struct TNode {
        Intp::TMacAddr Mac;
        TIpPlan Plan;
        bool RecordValid = false;
        int Image = TModuleBasicsIPConf::niCurrent;
        int Group = 0;
    };
    // The data role of a node's image number.
    static constexpr int ImageRole = Qt::UserRole;
    static TIpPlan DhcpPlan();

    explicit TIpConfModel(QObject* parent);

    // The selected switches with a known address, grouped by it, in the
    // order selected; each listed once, nothing planned.
    void Rebuild(const TDeviceList& selected);
    void Clear() { Rebuild({}); }

    // Back to the device's current settings, nothing planned.
    static void Reset(TNode& node, Intp::TDevice* device);

    TNode& Node(int node) { return m_Nodes[std::size_t(node)]; }
    const std::vector<TNode>& Nodes() const { return m_Nodes; }
    // Switch node numbers in the order shown.
    const std::vector<int>& Order() const { return m_Order; }
    // The node of a MAC, -1 for none.
    int Find(const Intp::TMacAddr& mac) const
    {
        const auto it = m_Index.find(MacKey(mac));
        return it == m_Index.end() ? -1 : it->second;
    }
    // The switch node of an index, -1 for a group or none.
    int NodeAt(const QModelIndex& index) const
    {
        if (!index.isValid() || index.internalId() == 0)
            return -1;
        return m_Order[std::size_t(m_Groups[index.internalId() - 1].First + index.row())];
    }
    QModelIndex IndexOf(int node) const
    {
        const int group = m_Nodes[std::size_t(node)].Group;
        return createIndex(m_Pos[std::size_t(node)] - m_Groups[std::size_t(group)].First, 0, quintptr(group) + 1);
    }

    // Plans changed (of group's nodes, or of all for -1): the groups whose
    // order changed are sorted again in one layout change, then the rows are
    // told to show the plans.
    void PlansChanged(int group = -1);

    // The switch node with the widest text in font, found from the widths
    // of the text's pieces without making the texts.
    QModelIndex Widest(const QFont& font) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct TGroup {
        uint32_t Address = 0;
        int First = 0; // of its nodes in m_Order
        int Count = 0;
    };
    static constexpr int ImageCount = 5;

    static std::string Text(const TNode& node);
    int FindWidest(const QFontMetrics& metrics) const;

    std::vector<TNode> m_Nodes;
    std::vector<TGroup> m_Groups;
    std::vector<int> m_Order; // node numbers, group after group
    std::vector<int> m_Pos;   // of each node in m_Order
    std::unordered_map<long long, int> m_Index; // MAC key -> node
    QIcon m_Icons[ImageCount];
    mutable std::optional<QFont> m_WidestFont; // of m_Widest, none when out of date
    mutable int m_Widest = -1;
};
