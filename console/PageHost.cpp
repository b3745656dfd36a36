#include "console/PageHost.h"

#include "console/DeviceTree.h"
#include "console/DeviceTypesFile.h"
#include "console/Icons.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"
#include "console/ModuleTree.h"
#include "console/TreeNode.h"
#include "intp/SystemSettings.h"
#include "intp/DeviceType.h"
#include "pages/kit/MessageBox.h"

#include <QGridLayout>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QTreeWidget>

TPageHost::TPageHost(TMainForm* form, QTreeWidget* tree, QWidget* pageArea)
    : QObject(form), m_Form(form), m_Tree(tree), m_FuncPages(pageArea)
{
    auto* layout = new QGridLayout(m_FuncPages);
    layout->setContentsMargins(0, 0, 0, 0);
}

TPageHost::~TPageHost() = default;

void TPageHost::SetRootNode(QTreeWidgetItem* node) { m_RootNode = AsNode(node); }

void TPageHost::SetDevicesNode(QTreeWidgetItem* node, TModuleFrame* frame)
{
    m_DevicesNode = AsNode(node);
    m_ModuleFrame = frame;
}

void TPageHost::Start()
{
    ShowSelection(m_RootNode, {m_RootNode});
    m_Current = m_RootNode;
    m_Selection = {m_RootNode};
    m_Tree->expandAll();
    connect(m_Tree, &QTreeWidget::currentItemChanged, this, [this] { PostSelectionCheck(); });
    connect(m_Tree, &QTreeWidget::itemSelectionChanged, this, [this] { PostSelectionCheck(); });
}

void TPageHost::ForgetNodes()
{
    m_DevicesNode = m_RootNode = nullptr;
    m_Current = nullptr;
    m_Selection.clear();
    m_ModuleFrame = nullptr;
}

void TPageHost::ReleasePages()
{
    while (!m_OwnedPages.empty())
        m_OwnedPages.pop_back();
}

void TPageHost::SetSelection(TTreeNode* current, const QList<TTreeNode*>& selection)
{
    m_Current = current;
    m_Selection = selection;
    ShowSelection(m_Current, m_Selection);
}

void TPageHost::ForgetDeviceNodes()
{
    if (m_Current && m_Current != m_DevicesNode && IsUnderDevices(m_Current))
        ShowNoDevice();
}

void TPageHost::ShowNoDevice()
{
    m_Current = m_DevicesNode;
    m_Selection = {m_DevicesNode};
    ShowSelection(m_Current, m_Selection);
    if (!m_ModuleFrame)
        return;
    m_ModuleFrame->setEnabled(true);
    // A device page at work (a transfer) stays and is told, as when
    // "Devices" is selected, once the registry change is over.
    if (!m_ModuleFrame->ShowNoDevice())
        PostDeviceGone();
}

void TPageHost::PostDeviceGone()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_Stopped && m_Current == m_DevicesNode && m_DevicesNode)
                EventOnTreeChange();
        },
        Qt::QueuedConnection);
}

void TPageHost::PostSelectionNotice()
{
    // Told once the change of the tree is over (it may come from a reply).
    if (m_SelectionNoticePosted)
        return;
    m_SelectionNoticePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_SelectionNoticePosted = false;
            if (!m_Stopped && IsDeviceNodeSelected())
                EventOnTreeChange();
        },
        Qt::QueuedConnection);
}

QTreeWidgetItem* TPageHost::AddPageNode(TModule* page, QTreeWidgetItem* parent, int image)
{
    if (!page)
        return nullptr;
    PlaceFrame(page);
    auto* node = new TTreeNode(TTreeNode::nkPage);
    node->m_Page = page;
    node->setText(0, page->GetCaption());
    // Tree image numbers are the first icon kinds.
    if (image >= int(ikDevice) && image <= int(ikWizard))
        node->setIcon(0, ConsoleIcon(TIconKind(image)));
    if (parent)
        parent->addChild(node);
    else
        m_Tree->addTopLevelItem(node);
    return node;
}

void TPageHost::PlaceFrame(TModule* page)
{
    // A page not made yet is placed when it is.
    if (DeferUntilBuilt(page, [this](TModule* made) { PlaceFrame(made); }))
        return;
    if (QWidget* frame = page->GetFrame()) {
        frame->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(frame, 0, 0);
        frame->hide();
    }
}

QTreeWidgetItem* TPageHost::AddOwnedPageNode(std::unique_ptr<TModule> page, QTreeWidgetItem* parent, int image)
{
    QTreeWidgetItem* node = AddPageNode(page.get(), parent, image);
    if (node)
        m_OwnedPages.push_back(std::move(page));
    return node;
}

TModule* TPageHost::PageOf(const TTreeNode* node) const
{
    if (!node)
        return nullptr;
    if (IsUnderDevices(node))
        return m_ModuleFrame;
    return RealModule(node->m_Page);
}

bool TPageHost::IsUnderDevices(const QTreeWidgetItem* item) const
{
    for (const QTreeWidgetItem* i = item; i; i = i->parent()) {
        if (i == m_DevicesNode)
            return true;
    }
    return false;
}

TModule* TPageHost::GetCurrentPage() const { return PageOf(m_Current); }

void TPageHost::NotifyCurrentPage(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (m_Stopped)
        return;
    if (TModule* page = GetCurrentPage())
        page->OnNotify(device, code, status);
}

void TPageHost::KeepSelection(TTreeNode* current, const QList<TTreeNode*>& selection)
{
    const bool targetsChanged = selection != m_Selection;
    m_Current = current;
    m_Selection = selection;
    ShowSelection(m_Current, m_Selection);
    if (targetsChanged)
        PostSelectionNotice();
}

void TPageHost::KeepSelectionAfterMove()
{
    TTreeNode* shown = ShownNode();
    if (!shown || shown->m_Kind != TTreeNode::nkDevice) {
        ShowSelection();
        return;
    }
    // Selection is limited to siblings.
    QList<TTreeNode*> kept;
    for (TTreeNode* node : m_Selection) {
        if (node->parent() == shown->parent())
            kept.push_back(node);
    }
    KeepSelection(kept.contains(m_Current) ? m_Current : shown, kept);
}

void TPageHost::ForgetNode(TTreeNode* node)
{
    TTreeNode* shown = ShownNode();
    if (node == shown || (shown && shown->parent() == node) || (m_Current && m_Current->parent() == node)) {
        ShowNoDevice();
        return;
    }
    if (node != m_Current && !m_Selection.contains(node))
        return;
    QList<TTreeNode*> kept = m_Selection;
    kept.removeAll(node);
    KeepSelection(node == m_Current ? shown : m_Current, kept);
}

void TPageHost::ShowSelection(TTreeNode* current, const QList<TTreeNode*>& selection)
{
    if (!m_Tree)
        return;
    const bool multi = current && current->m_Kind == TTreeNode::nkDevice;
    QSignalBlocker blocker(m_Tree);
    m_Tree->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_Tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    m_Tree->clearSelection();
    for (TTreeNode* node : selection)
        node->setSelected(true);
}

void TPageHost::PostSelectionCheck()
{
    if (m_ApplyingSelection || m_SelectionCheckPosted || m_Stopped)
        return;
    // Qt reports the current item and the selection separately; look once
    // both have settled.
    m_SelectionCheckPosted = true;
    QMetaObject::invokeMethod(this, &TPageHost::EventOnTreeChanging, Qt::QueuedConnection);
}

void TPageHost::EventOnTreeChanging()
{
    m_SelectionCheckPosted = false;
    if (m_Stopped || !m_Tree)
        return;
    TTreeNode* current = AsNode(m_Tree->currentItem());
    QList<TTreeNode*> selection;
    if (current && current->m_Kind == TTreeNode::nkDevice) {
        // Selection is limited to siblings: adding a device of another group
        // to the selection (Ctrl or Shift) is refused.
        if (current != m_Current && m_Current && m_Current->m_Kind == TTreeNode::nkDevice &&
            current->parent() != m_Current->parent()) {
            for (TTreeNode* node : m_Selection) {
                if (node->isSelected()) {
                    ShowSelection(m_Current, m_Selection);
                    return;
                }
            }
        }
        // A move to a node that is already selected (a Ctrl+click on it)
        // switches multiple selection off: that node alone stays selected.
        if (m_Selection.size() > 1 && m_Selection.contains(current) &&
            (current != m_Current || !current->isSelected())) {
            ApplySelection(current, {current});
            return;
        }
        // Keep the order in which the siblings were selected.
        QList<TTreeNode*> selected;
        for (QTreeWidgetItem* item : m_Tree->selectedItems()) {
            TTreeNode* node = AsNode(item);
            if (node && node->m_Kind == TTreeNode::nkDevice && node->parent() == current->parent())
                selected.push_back(node);
        }
        for (TTreeNode* node : m_Selection) {
            if (selected.contains(node))
                selection.push_back(node);
        }
        for (TTreeNode* node : selected) {
            if (!selection.contains(node))
                selection.push_back(node);
        }
        if (!selection.contains(current))
            selection.push_back(current);
    } else if (current) {
        selection = {current};
    }
    ApplySelection(current, selection);
}

bool TPageHost::ApplySelection(TTreeNode* current, QList<TTreeNode*> selection)
{
    if (!current) {
        // A move to no node is refused.
        ShowSelection(m_Current, m_Selection);
        return false;
    }
    if (current == m_Current && selection == m_Selection) {
        ShowSelection(m_Current, m_Selection);
        return true;
    }
    m_ApplyingSelection = true;
    TModule* page = GetCurrentPage();
    const bool allowed = !page || page->Leave(false);
    if (!allowed) {
        ShowSelection(m_Current, m_Selection);
        m_ApplyingSelection = false;
        return false;
    }
    TModule* next = PageOf(current);
    if (page && page != next) {
        if (QWidget* frame = page->GetFrame())
            frame->hide();
    }
    m_Current = current;
    m_Selection = selection;
    ShowSelection(m_Current, m_Selection);
    m_ApplyingSelection = false;
    EventOnTreeChange();
    return true;
}

bool TPageHost::SelectNode(QTreeWidgetItem* item)
{
    TTreeNode* node = AsNode(item);
    if (!node)
        return false;
    return ApplySelection(node, {node}) && m_Current == node;
}

bool TPageHost::SelectDeviceNodes(const std::vector<Intp::TDevice*>& devices)
{
    QList<TTreeNode*> selection;
    for (Intp::TDevice* device : devices) {
        TTreeNode* node = m_Devices ? AsNode(m_Devices->FindDeviceNode(device)) : nullptr;
        if (!node || (!selection.isEmpty() && node->parent() != selection.front()->parent()))
            return false;
        if (!selection.contains(node))
            selection.push_back(node);
    }
    if (selection.isEmpty())
        return false;
    return ApplySelection(selection.front(), selection);
}

void TPageHost::EventOnTreeChange()
{
    if (m_ModuleFrame)
        m_ModuleFrame->setEnabled(true);
    Intp::TDevice* device = nullptr;
    if (IsDeviceNodeSelected()) {
        m_Form->GetCurrentDevice(device);
        bool supported = true;
        if (device) {
            const Intp::TPropertyBasicsSettings& settings = Intp::Property<Intp::TPropertyBasicsSettings>::Get(device);
            supported = !settings.valid || settings.ObjectId.find(g_SupportedOid) != std::string::npos;
        }
        if (!supported) {
            ShowWarning(tr("The program can't support the device"));
            if (m_ModuleFrame)
                m_ModuleFrame->setEnabled(false);
        }
        const int layout = DeviceLayout(device);
        if (layout != g_ModuleLayout && m_ModuleFrame) {
            m_ModuleFrame->ClearModuleTree();
            BuildModuleTree(m_Form, m_ModuleFrame, layout);
            g_ModuleLayout = layout;
        }
    }
    NotifyCurrentPage(device, ncSelectionChanged, 0);
    // Main pages other than "Devices" show their frame when selected.
    TModule* page = GetCurrentPage();
    if (page && page != m_ModuleFrame) {
        if (QWidget* frame = page->GetFrame())
            frame->show();
    }
}

bool TPageHost::IsDeviceNodeSelected() const
{
    return m_Current && m_ModuleFrame && GetCurrentPage() == m_ModuleFrame && m_Current->m_Kind == TTreeNode::nkDevice;
}

int TPageHost::GetSelectedDevice(Intp::TDevice*& device)
{
    device = nullptr;
    if (!IsDeviceNodeSelected() || m_Selection.isEmpty())
        return 0;
    device = m_Selection.front()->m_Device;
    return int(m_Selection.size());
}

int TPageHost::GetSelectedDevices(TDeviceList& devices)
{
    if (!IsDeviceNodeSelected())
        return 0;
    int n = 0;
    for (TTreeNode* node : m_Selection) {
        if (node->m_Device) {
            devices.push_back(node->m_Device);
            ++n;
        }
    }
    return n;
}

int TPageHost::GetListedDevices(TDeviceList& devices)
{
    if (!m_DevicesNode)
        return 0;
    int n = 0;
    for (int g = 0; g < m_DevicesNode->childCount(); ++g) {
        QTreeWidgetItem* group = m_DevicesNode->child(g);
        for (int i = 0; i < group->childCount(); ++i) {
            TTreeNode* node = AsNode(group->child(i));
            if (node && node->m_Device) {
                devices.push_back(node->m_Device);
                ++n;
            }
        }
    }
    return n;
}

bool TPageHost::SelectPage(const QString& path)
{
    QTreeWidgetItem* node = m_RootNode;
    if (!node)
        return false;
    QString rest = path;
    while (!rest.isEmpty()) {
        const qsizetype slash = rest.indexOf('/');
        const QString part = slash < 0 ? rest : rest.left(slash);
        rest = slash < 0 ? QString() : rest.mid(slash + 1);
        QTreeWidgetItem* match = nullptr;
        for (int i = 0; i < node->childCount() && !match; ++i) {
            const TTreeNode* child = AsNode(node->child(i));
            if (child && child->m_Page && child->m_Page->GetCaption() == part)
                match = node->child(i);
        }
        if (!match)
            break;
        node = match;
    }
    return SelectNode(node);
}
