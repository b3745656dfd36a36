#include "console/ModuleFrame.h"

#include "intp/Device.h"
#include "pages/kit/MessageBox.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStyle>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TModuleFrame* g_ModuleFrame = nullptr;
int g_ModuleLayout = 0;

namespace {

class TModuleItem : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 101;
    explicit TModuleItem(TModule* module) : QTreeWidgetItem(kType), m_Module(module) {}
    TModule* m_Module;
};

}  // namespace

namespace {

constexpr int kTreePaneMinWidth = 200;
constexpr const char* kPageWidth = "pageWidth";
// The tree pane's width as last chosen (by the user or to show the widest
// node): a pane that gave way to the page takes it back when there is room.
constexpr const char* kTreeWidth = "treeWidth";

// Gives the right of a splitter its page width back from the tree, whenever
// the splitter is resized.
class TPageWidthKeeper : public QObject {
public:
    explicit TPageWidthKeeper(QSplitter* splitter) : QObject(splitter)
    {
        splitter->installEventFilter(this);
        connect(splitter, &QSplitter::splitterMoved, this,
                [splitter] { splitter->setProperty(kTreeWidth, splitter->sizes().value(0)); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The splitter spreads its new size once the event is through.
        if (event->type() == QEvent::Resize)
            QMetaObject::invokeMethod(this, [splitter = static_cast<QSplitter*>(watched)] { Keep(splitter); },
                                      Qt::QueuedConnection);
        return false;
    }

    static void Keep(QSplitter* splitter)
    {
        QList<int> sizes = splitter->sizes();
        const int page = splitter->property(kPageWidth).toInt();
        if (sizes.size() < 2)
            return;
        const int total = sizes[0] + sizes[1];
        if (sizes[1] < page && sizes[0] > kTreePaneMinWidth) {
            const int left = std::max(kTreePaneMinWidth, total - page);
            splitter->setSizes({left, total - left});
            return;
        }
        const int left = std::min({splitter->property(kTreeWidth).toInt(), total / 2, total - page});
        if (left > sizes[0])
            splitter->setSizes({left, total - left});
    }
};

}  // namespace

void WidenTreePane(QSplitter* splitter, int wanted)
{
    if (!splitter || splitter->count() < 2)
        return;
    const QList<int> sizes = splitter->sizes();
    const int total = sizes[0] + sizes[1];
    splitter->setProperty(kTreeWidth, std::max(wanted, splitter->property(kTreeWidth).toInt()));
    wanted = std::min({wanted, total / 2, total - splitter->property(kPageWidth).toInt()});
    if (total <= 0 || wanted <= sizes[0])
        return;
    splitter->setSizes({wanted, total - wanted});
}

void SetTreePaneWidth(QSplitter* splitter, int width, int total)
{
    splitter->setSizes({width, total - width});
    splitter->setProperty(kTreeWidth, width);
}

TTreePane BuildTreePane(QWidget* owner, const QString& label, int pageWidth, QWidget* control)
{
    auto* outer = new QHBoxLayout(owner);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, owner);
    outer->addWidget(splitter);

    auto* left = new QWidget(splitter);
    left->setMinimumWidth(kTreePaneMinWidth);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(label, left);
    auto* tree = new QTreeWidget(left);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    caption->setBuddy(control ? control : tree);
    leftLayout->addWidget(caption);
    if (control)
        leftLayout->addWidget(control);
    leftLayout->addWidget(tree, 1);

    auto* right = new QWidget(splitter);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setProperty(kPageWidth, pageWidth);
    new TPageWidthKeeper(splitter);
    return {splitter, tree, right};
}

QStringList RunningWorkBelow(const QObject* root)
{
    QStringList running;
    QStringList leaves;
    if (!root)
        return running;
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(const_cast<QObject*>(root));
    for (QObject* object : objects) {
        if (auto* work = dynamic_cast<TRunningWork*>(object)) {
            if (const QString text = work->RunningWork(); !text.isEmpty()) {
                running << text;
                leaves << work->ClosingLeaves();
            }
        }
    }
    leaves.removeDuplicates();
    return running + leaves;
}

TModuleFrame::TModuleFrame(QWidget* parent) : QWidget(parent)
{
    // At 1000 pixels wide a page keeps about half the window.
    const TTreePane pane = BuildTreePane(this, tr("All &Functions:"), 500);
    m_Tree = pane.tree;
    QWidget* right = pane.right;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(4);
    // The banner area scrolls sideways where the window is narrower than the
    // widest front panel, instead of widening the page or cutting the panel.
    auto* banners = new QScrollArea(right);
    banners->setFrameShape(QFrame::NoFrame);
    banners->setWidgetResizable(true);
    banners->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    banners->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    banners->setFixedHeight(138 + banners->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, banners));
    m_TPanel = banners;
    m_LinkPanel = new QWidget(banners);
    auto* linkLayout = new QGridLayout(m_LinkPanel);
    linkLayout->setContentsMargins(0, 0, 0, 0);
    banners->setWidget(m_LinkPanel);
    // The page scrolls where the window is smaller than the page, so that
    // no page makes the window larger or cuts off its buttons.
    auto* pages = new QScrollArea(right);
    pages->setFrameShape(QFrame::NoFrame);
    pages->setWidgetResizable(true);
    m_MPanel = new QWidget(pages);
    auto* mLayout = new QGridLayout(m_MPanel);
    mLayout->setContentsMargins(0, 0, 0, 0);
    m_Wait = new QLabel(tr("Retrieving devices info ..."), m_MPanel);
    m_Wait->setAlignment(Qt::AlignCenter);
    m_Wait->hide();
    mLayout->addWidget(m_Wait, 0, 0);
    rightLayout->addWidget(m_TPanel);
    pages->setWidget(m_MPanel);
    rightLayout->addWidget(pages, 1);

    connect(m_Tree, &QTreeWidget::currentItemChanged, this, &TModuleFrame::EventOnTreeChanging);
    m_Tree->viewport()->installEventFilter(this);
}

TModuleFrame::~TModuleFrame()
{
    if (g_ModuleFrame == this)
        g_ModuleFrame = nullptr;
    {
        QSignalBlocker blocker(m_Tree);
        m_Tree->clear();
    }
    m_Selected = nullptr;
    m_Banners.clear();
    m_Banner = nullptr;
    m_DefaultBanner = nullptr;
    while (!m_Owned.empty())
        m_Owned.pop_back();
}

TModule* TModuleFrame::ModuleOf(const QTreeWidgetItem* item)
{
    if (!item || item->type() != TModuleItem::kType)
        return nullptr;
    return RealModule(static_cast<const TModuleItem*>(item)->m_Module);
}

QString TModuleFrame::GetCaption() const { return tr("Devices"); }

QWidget* TModuleFrame::GetFrame() { return this; }

void TModuleFrame::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    show();
    if (code == ncSelectionChanged) {
        ShowBannerOf(device);
        RedirectToLogin(device);
    }
    if (m_Banner)
        m_Banner->OnNotify(device, code, status);
    ShowModule(device, code, status);
}

void TModuleFrame::ShowBannerOf(Intp::TDevice* device)
{
    int key = device ? int(device->GetType()) : 0;
    auto it = m_Banners.find(key);
    if (!m_Banner) {
        m_Banner = it != m_Banners.end() ? it->second : m_DefaultBanner;
    } else if (it == m_Banners.end()) {
        // A model without a banner of its own: the banner on show leaves
        // even when it is the default that takes over.
        m_Banner->Leave(true);
        m_Banner = m_DefaultBanner;
    } else if (it->second != m_Banner) {
        // The same banner stays without a Leave.
        m_Banner->Leave(true);
        m_Banner = it->second;
    }
    if (m_Banner)
        m_Banner->Refresh(false);
}

bool TModuleFrame::Leave(bool force)
{
    TModule* page = GetSelectedModule();
    if (page && !page->Leave(force))
        return false;
    if (m_Banner)
        m_Banner->Leave(force);
    hide();
    return true;
}

int TModuleFrame::Refresh(bool current)
{
    if (current) {
        TModule* page = GetSelectedModule();
        return page ? page->Refresh(true) : 0;
    }
    int sum = 0;
    for (int i = 0; i < m_Tree->topLevelItemCount(); ++i)
        sum += RefreshBelow(m_Tree->topLevelItem(i));
    return sum;
}

int TModuleFrame::RefreshBelow(QTreeWidgetItem* item)
{
    int sum = 0;
    if (TModule* page = ModuleOf(item))
        sum += page->Refresh(false);
    for (int i = 0; i < item->childCount(); ++i)
        sum += RefreshBelow(item->child(i));
    return sum;
}

void TModuleFrame::PlaceFrame(TModule* page, QWidget* area)
{
    // A page not made yet is placed when it is.
    if (DeferUntilBuilt(page, [this, area](TModule* made) { PlaceFrame(made, area); }))
        return;
    QWidget* frame = page->GetFrame();
    if (!frame)
        return;
    auto* grid = static_cast<QGridLayout*>(area->layout());
    if (frame->parentWidget() != area || grid->indexOf(frame) < 0) {
        frame->setParent(area);
        grid->addWidget(frame, 0, 0);
        if (area == m_MPanel)
            frame->installEventFilter(this);
    }
    frame->hide();
}

bool TModuleFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Tree->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_Pressed = true;
            m_HoldPress = false;
            break;
        case QEvent::MouseButtonRelease:
            m_Pressed = m_HoldPress = false;
            break;
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                m_Pressed = m_HoldPress = false;
                return false;
            }
            // Dragging over the node clicked would select it again and again.
            return m_HoldPress;
        default:
            break;
        }
        return false;
    }
    // A page that shows itself covers the wait label.
    if (event->type() == QEvent::Show && watched != m_Wait)
        m_Wait->hide();
    return QWidget::eventFilter(watched, event);
}

QTreeWidgetItem* TModuleFrame::AddModule(TModule* page, QTreeWidgetItem* parent)
{
    if (!page)
        return nullptr;
    return AddModuleAs(page, parent, page->GetCaption());
}

QTreeWidgetItem* TModuleFrame::AddModuleAs(TModule* page, QTreeWidgetItem* parent, const QString& caption)
{
    if (!page)
        return nullptr;
    PlaceFrame(page, m_MPanel);
    auto* item = new TModuleItem(page);
    item->setText(0, caption);
    if (parent)
        parent->addChild(item);
    else
        m_Tree->addTopLevelItem(item);
    return item;
}

bool TModuleFrame::RegisterBanner(int modelIndex, TModule* page)
{
    if (!page)
        return false;
    if (modelIndex == 0 && m_DefaultBanner)
        return false;
    if (m_Banners.find(modelIndex) == m_Banners.end()) {
        PlaceFrame(page, m_LinkPanel);
        m_Banners.emplace(modelIndex, page);
    }
    if (modelIndex == 0)
        m_DefaultBanner = page;
    return true;
}

TModule* TModuleFrame::GetSelectedModule() const { return ModuleOf(m_Selected); }

void TModuleFrame::ShowModule(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (code == ncSelectionChanged)
        m_NoDevice = false;
    TModule* page = GetSelectedModule();
    if (!page || m_NoDevice)
        return;
    QWidget* frame = page->GetFrame();
    if (code == ncSelectionChanged && page->Refresh(true) != 0) {
        // Shown when its own reply arrives.
        m_Wait->setVisible(frame != nullptr);
        if (frame)
            frame->hide();
        return;
    }
    page->OnNotify(device, code, status);
    // The label shows while the page's frame waits hidden. Set once: showing
    // and hiding it around every notification lays out and repaints the
    // whole window at each block of a transfer.
    m_Wait->setVisible(frame && frame->isHidden());
}

bool TModuleFrame::ShowNoDevice()
{
    if (TModule* page = GetSelectedModule(); page && !page->Leave(false))
        return false;
    m_Wait->hide();
    m_NoDevice = true;
    ShowBannerOf(nullptr);
    if (m_Banner)
        m_Banner->OnNotify(nullptr, ncSelectionChanged, 0);
    return true;
}

void TModuleFrame::ClearModuleTree()
{
    if (TModule* page = GetSelectedModule())
        page->Leave(true);
    m_Selected = nullptr;
    {
        QSignalBlocker blocker(m_Tree);
        m_Tree->clear();
    }
    m_Wait->hide();
}

TModule* TModuleFrame::Adopt(std::unique_ptr<TModule> page)
{
    TModule* raw = page.get();
    if (raw)
        m_Owned.push_back(std::move(page));
    return raw;
}

void TModuleFrame::SelectItemQuietly(QTreeWidgetItem* item)
{
    QSignalBlocker blocker(m_Tree);
    m_Tree->setCurrentItem(item);
    m_Tree->clearSelection();
    if (item)
        item->setSelected(true);
    m_Selected = item;
}

void TModuleFrame::RedirectToLogin(Intp::TDevice* device)
{
    // A device that is not logged in always lands on the login page, the
    // first node of both layouts; with no page selected (after a rebuild of
    // the tree) a device gets the first node too, so that the page area is
    // never empty while a device is selected.
    if (!device || m_Tree->topLevelItemCount() == 0 || (device->IsLoggedIn() && m_Selected))
        return;
    QTreeWidgetItem* first = m_Tree->topLevelItem(0);
    if (m_Selected == first)
        return;
    // The page on show is asked first: a busy transfer page keeps the page
    // and the selection.
    if (TModule* page = GetSelectedModule(); page && !page->Leave(false))
        return;
    SelectItemQuietly(first);
}

void TModuleFrame::EventOnTreeChanging(QTreeWidgetItem* current, QTreeWidgetItem*)
{
    if (!current) {
        if (m_Selected)
            SelectItemQuietly(m_Selected);
        return;
    }
    if (current == m_Selected)
        return;
    TModule* page = GetSelectedModule();
    if (page && !page->Leave(false)) {
        KeepSelectedThroughClick();
        return;
    }
    m_Selected = current;
    EventOnTreeChange();
    // A switch not logged in sent the move on to the login page.
    if (m_Selected != current)
        KeepSelectedThroughClick();
}

void TModuleFrame::KeepSelectedThroughClick()
{
    // The click that made the move is not over yet: once this returns it
    // selects the node clicked, which would stay highlighted over another
    // node's page. The node of the page on show gets the selection back then.
    m_HoldPress = m_Pressed;
    SelectItemQuietly(m_Selected);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_Selected)
                SelectItemQuietly(m_Selected);
        },
        Qt::QueuedConnection);
}

void TModuleFrame::EventOnTreeChange()
{
    Intp::TDevice* device = nullptr;
    if (g_ModuleCallback)
        g_ModuleCallback->GetCurrentDevice(device);
    RedirectToLogin(device);
    ShowModule(device, ncSelectionChanged, 0);
}
