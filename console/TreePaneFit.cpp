#include "console/TreePaneFit.h"

#include "console/DeviceTree.h"
#include "console/ModuleFrame.h"

#include <QHeaderView>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

TTreePaneFit::TTreePaneFit(QTreeWidget* tree, QSplitter* splitter, TDeviceTree* devices, QObject* parent)
    : QObject(parent), m_Tree(tree), m_Splitter(splitter), m_DeviceTree(devices)
{
    // Long device texts scroll rather than being cut. The column follows
    // its contents at most every 40 ms, however many replies change the
    // tree meanwhile (a header in resize-to-contents mode measures every
    // row on each single change).
    m_Tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_Tree->header()->setStretchLastSection(false);
    m_TreeWidthTimer = new QTimer(this);
    m_TreeWidthTimer->setSingleShot(true);
    connect(m_TreeWidthTimer, &QTimer::timeout, this, [this] {
        if (!m_Tree)
            return;
        m_Tree->resizeColumnToContents(0);
        WidenTreePane();
    });
    // Images are all of one size: only texts change the width.
    connect(m_Tree->model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    FitLater();
            });
    connect(m_Tree->model(), &QAbstractItemModel::rowsInserted, this, &TTreePaneFit::FitLater);
    connect(m_Tree->model(), &QAbstractItemModel::rowsRemoved, this, &TTreePaneFit::FitLater);
    connect(m_Tree->model(), &QAbstractItemModel::layoutChanged, this, &TTreePaneFit::FitLater);
    connect(m_Tree, &QTreeView::expanded, this, &TTreePaneFit::FitLater);
    connect(m_Tree, &QTreeView::collapsed, this, &TTreePaneFit::FitLater);
}

TTreePaneFit::~TTreePaneFit()
{
    // The tree's width follows it no longer.
    QObject::disconnect(m_Tree->model(), nullptr, this, nullptr);
    QObject::disconnect(m_Tree, nullptr, this, nullptr);
}

void TTreePaneFit::FitLater()
{
    // In a burst of new rows the tree is repainted at its own pace and the
    // column is fitted at that pace too, not within the burst.
    if (m_TreeWidthTimer && !m_TreeWidthTimer->isActive())
        m_TreeWidthTimer->start(m_DeviceTree && m_DeviceTree->InBurst() ? TDeviceTree::RepaintMs : TreeWidthMs);
}

void TTreePaneFit::WidenTreePane()
{
    // The tree pane grows until the widest node shows whole, as far as the
    // page area keeps its width; it never shrinks by itself, so a width the
    // user chose stays.
    if (!m_Splitter || m_Splitter->count() < 2)
        return;
    ::WidenTreePane(m_Splitter, m_Tree->columnWidth(0) +
                                    (m_Splitter->widget(0)->width() - m_Tree->viewport()->width()) + 2);
}
