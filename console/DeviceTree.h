#pragma once

// The device part of the main tree: one node per accepted switch under the
// "Devices" node, grouped as the "Sort Devices By" box says, kept in step
// with the device registry.

#include "pages/kit/PageInterface.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <unordered_map>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class TMainForm;
class TPageHost;
class TTreeNode;

class TDeviceTree : public QObject {
    Q_OBJECT
public:
    TDeviceTree(TMainForm* form, TPageHost* host, QTreeWidget* tree, QComboBox* grouping);

    static QString FormatDeviceNodeText(const Intp::TDevice* device);
    QTreeWidgetItem* FindDeviceNode(const Intp::TDevice* device) const;
    QTreeWidgetItem* GetGroupNode(Intp::TDevice* device, bool create);
    // Answers the notification for the pages, or ncNothing.
    std::uint16_t AddDeviceNode(Intp::TDevice* device);
    std::uint16_t RegroupDeviceNode(Intp::TDevice* device, QTreeWidgetItem* node, std::uint16_t code);
    void RemoveDeviceNode(QTreeWidgetItem* node);
    // Removes every device node and group in one go (a new discovery).
    void ClearDeviceNodes();
    // A registry change of the device: add, move or drop its node.
    void UpdateDeviceNode(Intp::TDevice* device, std::uint16_t code);
    void UpdateDeviceText(Intp::TDevice* device);
    void EventOnTreeSortChange(int index);
    int DeviceCount() const { return m_DeviceCount; }
    // Every repaint lays out every row: while nodes keep coming, a tree
    // whose repaint costs FreePaintMs or more is repainted at most once per
    // period, five times its last repaint's cost, from MinRepaintMs to
    // RepaintMs, a cheaper one while more replies wait; once the replies
    // received so far are all delivered, the rows show at once.
    static constexpr double FreePaintMs = 2;
    static constexpr int MinRepaintMs = 16;
    static constexpr int RepaintMs = 100;
    // Nodes came within the last period: more may follow.
    bool InBurst() const { return m_RepaintDue.isActive(); }
    // The current period, in ms.
    int RepaintPeriod() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A device's group under the grouping on show: its key words and text.
    struct TGroupKey {
        std::uint32_t words[2] = {0, 0};
        QString text;
    };
    TGroupKey GroupKey(const Intp::TDevice* device);
    // A group node with the key, in no tree yet.
    static TTreeNode* MakeGroup(const TGroupKey& key);
    bool AcceptDevice(const Intp::TDevice* device);
    void SetDevicesText();
    void SortGroups();
    int Grouping() const;
    // Answers true for the first node of a burst.
    bool HoldRepaint();
    // Lets the held rows paint; true when some were held.
    bool ShowHeldRows();
    void EventOnRepaintDue();

    TMainForm* m_Form;
    TPageHost* m_Host;
    QTreeWidget* m_Tree;
    QComboBox* m_TreeSort;
    int m_DeviceCount = 0;
    std::unordered_map<const Intp::TDevice*, TTreeNode*> m_DeviceNodes;
    QTimer m_RepaintDue;
    bool m_RepaintHeld = false;
    bool m_InPaint = false;
    double m_PaintMs = 0; // the tree's last repaint
};
