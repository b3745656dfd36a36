#pragma once

// The main tree's width: its column follows its texts at most once per
// batch of changes, and the tree pane widens to show the widest node.

#include <QObject>

class QSplitter;
class QTimer;
class QTreeWidget;
class TDeviceTree;

class TTreePaneFit : public QObject {
    Q_OBJECT
public:
    TTreePaneFit(QTreeWidget* tree, QSplitter* splitter, TDeviceTree* devices, QObject* parent);
    ~TTreePaneFit() override;

    // Widens the tree pane to the widest node text, up to half the window,
    // as far as the page area keeps its width.
    void WidenTreePane();

    static constexpr int TreeWidthMs = 40;

private:
    void FitLater();

    QTreeWidget* m_Tree;
    QSplitter* m_Splitter; // tree pane | page area
    TDeviceTree* m_DeviceTree;
    QTimer* m_TreeWidthTimer = nullptr; // fits the tree's column to its texts once per batch
};
