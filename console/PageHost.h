#pragma once

// The page host of the main window: the main tree's page nodes, the page
// area their frames live in, the accepted selection and which page is on
// show. The window's TModuleCallback services read the selection here.

#include "pages/kit/PageInterface.h"

#include <QItemSelection>
#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TDeviceTree;
class TMainForm;
class TModuleFrame;
class TTreeNode;

class TPageHost : public QObject {
    Q_OBJECT
public:
    // tree is the main tree, pageArea the panel the page frames fill.
    TPageHost(TMainForm* form, QTreeWidget* tree, QWidget* pageArea);
    ~TPageHost() override;

    void SetDeviceTree(TDeviceTree* devices) { m_Devices = devices; }
    // Adds a main page under parent (the root for null): its frame goes into
    // the page area, hidden (a lazy page's once it is made). The host does
    // not own the page.
    QTreeWidgetItem* AddPageNode(TModule* page, QTreeWidgetItem* parent, int image);
    // The same, and the host owns the page from now on.
    QTreeWidgetItem* AddOwnedPageNode(std::unique_ptr<TModule> page, QTreeWidgetItem* parent, int image);
    void SetRootNode(QTreeWidgetItem* node);
    // The "Devices" node and its page.
    void SetDevicesNode(QTreeWidgetItem* node, TModuleFrame* frame);
    TTreeNode* RootNode() const { return m_RootNode; }
    TTreeNode* DevicesNode() const { return m_DevicesNode; }

    // Selects the root and follows the tree's selection from now on.
    void Start();
    // No more notifications or selection checks (the window shuts down).
    void Stop() { m_Stopped = true; }
    // The window goes: forget nodes and selection once the tree is empty,
    // then delete the owned pages.
    void ForgetNodes();
    void ReleasePages();

    TModule* GetCurrentPage() const;
    void NotifyCurrentPage(Intp::TDevice* device, std::uint16_t code, std::uint16_t status);
    bool IsDeviceNodeSelected() const;
    bool IsUnderDevices(const QTreeWidgetItem* item) const;
    // Selects a node as a user's click would (the page on show may refuse).
    bool SelectNode(QTreeWidgetItem* node);
    // Selects device nodes of one group; the first is the current device.
    bool SelectDeviceNodes(const std::vector<Intp::TDevice*>& devices);
    // Selects a page node by a path of captions.
    bool SelectPage(const QString& path);

    int GetSelectedDevice(Intp::TDevice*& device);
    int GetSelectedDevices(TDeviceList& devices);
    int GetListedDevices(TDeviceList& devices);

    // --- For the device tree, whose changes move or drop selected nodes.
    TTreeNode* Current() const { return m_Current; }
    // Sets the accepted selection without asking the page, and shows it.
    void SetSelection(TTreeNode* current, const QList<TTreeNode*>& selection);
    // Shows the accepted selection again (after nodes changed).
    void ShowSelection() { ShowSelection(m_Current, m_Selection); }
    // Device nodes moved between groups: the switch on show stays current,
    // with the selected switches that are still its siblings.
    void KeepSelectionAfterMove();
    // A node about to go leaves the selection; when it is the switch on
    // show, "Devices" stays on show with no switch.
    void ForgetNode(TTreeNode* node);
    // Every device node is about to go.
    void ForgetDeviceNodes();

private:
    void PlaceFrame(TModule* page);
    // The node's page (made now if it was not yet).
    TModule* PageOf(const TTreeNode* node) const;
    void ShowSelection(TTreeNode* current, const QList<TTreeNode*>& selection);
    QModelIndex IndexOf(QTreeWidgetItem* item) const;
    // The nodes' rows as runs of neighbouring rows.
    QItemSelection RowRuns(const QList<TTreeNode*>& selection) const;
    // The node of the current device (the first selected), else the current node.
    TTreeNode* ShownNode() const { return m_Selection.isEmpty() ? m_Current : m_Selection.front(); }
    // Takes a selection that the tree's changes left; the page learns of
    // new targets.
    void KeepSelection(TTreeNode* current, const QList<TTreeNode*>& selection);
    void PostSelectionNotice();
    // The switch on show is gone: "Devices" with no switch.
    void ShowNoDevice();
    void PostDeviceGone();
    void PostSelectionCheck();
    void EventOnTreeChanging();
    bool ApplySelection(TTreeNode* current, QList<TTreeNode*> selection);
    void EventOnTreeChange();

    TMainForm* m_Form;
    QTreeWidget* m_Tree;
    QWidget* m_FuncPages;
    TDeviceTree* m_Devices = nullptr;
    TTreeNode* m_RootNode = nullptr;
    TTreeNode* m_DevicesNode = nullptr;
    TModuleFrame* m_ModuleFrame = nullptr;
    bool m_Stopped = false;

    // The accepted selection: current node and selected nodes in order.
    TTreeNode* m_Current = nullptr;
    QList<TTreeNode*> m_Selection;
    bool m_SelectionCheckPosted = false;
    bool m_SelectionNoticePosted = false;
    bool m_ApplyingSelection = false;

    std::vector<std::unique_ptr<TModule>> m_OwnedPages;
};
