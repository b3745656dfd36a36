#pragma once

// The main tree's width: its column follows its texts at most once per
// batch of changes, and the tree pane widens to show the widest node.

#include <QObject>
#include <QPersistentModelIndex>

#include <memory>

class QModelIndex;
class QSplitter;
class QTimer;
class QTreeWidget;
class TDeviceTree;
class TTextWidths;

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
    void Fit();
    // Notes the widest of rows first..last of parent (and of their children).
    void Measure(const QModelIndex& parent, int first, int last, bool children = true);
    // Measures every node again (the widest went away).
    void MeasureAll();
    // Measures the node whose text changed last, if not done yet.
    void MeasureChanged();

    // The width of a node's text as the view lays it out.
    double TextWidth(const QString& text);

    QTreeWidget* m_Tree;
    QSplitter* m_Splitter; // tree pane | page area
    TDeviceTree* m_DeviceTree;
    QTimer* m_TreeWidthTimer = nullptr; // fits the tree's column to its texts once per batch
    // The widest node, folded ones included, by its text and indentation;
    // a fit sizes the column to it alone.
    QPersistentModelIndex m_Widest;
    QPersistentModelIndex m_Changed; // a changed text not measured yet
    int m_WidestWidth = -1;
    std::unique_ptr<TTextWidths> m_Widths; // in the tree's font
    bool m_Exact = false;        // measured whole since the last fit
    bool m_ViewMeasures = false; // the next fit asks the view
    static constexpr int MeasuredRows = 2000;
    // Texts measured from their pieces may differ from the view's layout by
    // a fraction of a pixel: the column keeps this much beyond the widest.
    static constexpr int PiecesSlackPx = 2;
};
