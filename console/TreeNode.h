#pragma once

// One node of the main tree: a page, a group of devices or a device.

#include "pages/kit/PageInterface.h"

#include <QTreeWidgetItem>

#include <cstdint>

namespace Intp {
class TDevice;
}

// Grouping of the device tree (the "Sort Devices By" combo box).
enum TDeviceGrouping { dgNone = 0, dgModel = 1, dgIpAddress = 2, dgFilterMethod = 3 };

class TTreeNode : public QTreeWidgetItem {
public:
    enum TKind { nkPage, nkGroup, nkDevice };
    static constexpr int kType = QTreeWidgetItem::UserType + 201;

    explicit TTreeNode(TKind kind) : QTreeWidgetItem(kType), m_Kind(kind) {}

    TKind m_Kind;
    TModule* m_Page = nullptr;
    Intp::TDevice* m_Device = nullptr;
    bool m_HasKey = false;
    std::uint32_t m_Key[2] = {0, 0};
    int m_Image = -1;  // icon kind on show (devices)

    // Groups by their key under the grouping set last, devices by address,
    // everything else by text.
    bool operator<(const QTreeWidgetItem& other) const override;
    static void SetGrouping(int grouping);

    // Nodes come from slabs, one after another: a layout of the view reads
    // every row's node, and a burst of rows then reads memory in order
    // instead of nodes scattered among the requests' allocations.
    static void* operator new(std::size_t size);
    static void operator delete(void* node, std::size_t size);
};

inline TTreeNode* AsNode(QTreeWidgetItem* item)
{
    return item && item->type() == TTreeNode::kType ? static_cast<TTreeNode*>(item) : nullptr;
}
