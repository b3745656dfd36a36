#include "console/TreePaneFit.h"

#include "console/DeviceTree.h"
#include "console/ModuleFrame.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include <array>
#include <cmath>
#include <vector>

// Text widths from the widths of its characters and of its neighbouring
// pairs, each laid out once: a pair's width less its two characters' is the
// font's kerning between them. A burst of thousands of new rows then costs
// a few table reads per character instead of a text layout per row. Texts
// with other than printable Latin-1 characters are laid out whole.
class TTextWidths {
public:
    explicit TTextWidths(const QFont& font) : m_Font(font), m_Metrics(font)
    {
        m_Char.fill(Unknown);
        m_Pair.assign(256 * 256, Unknown);
    }
    const QFont& Font() const { return m_Font; }
    double Width(const QString& text)
    {
        double width = 0;
        int before = -1;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xAD || u > 0xFF)
                return m_Metrics.horizontalAdvance(text);
            width += Char(u);
            if (before >= 0)
                width += Kerning(char16_t(before), u);
            before = u;
        }
        return width;
    }

private:
    static constexpr float Unknown = -1e9f;
    double Char(char16_t u)
    {
        double& w = m_Char[u];
        if (w == Unknown)
            w = m_Metrics.horizontalAdvance(QString(QChar(u)));
        return w;
    }
    double Kerning(char16_t a, char16_t b)
    {
        float& k = m_Pair[std::size_t(a) * 256 + b];
        if (k == Unknown) {
            const QChar pair[2] = {QChar(a), QChar(b)};
            k = float(m_Metrics.horizontalAdvance(QString(pair, 2)) - Char(a) - Char(b));
        }
        return k;
    }
    QFont m_Font;
    QFontMetricsF m_Metrics;
    std::array<double, 256> m_Char;
    std::vector<float> m_Pair;
};

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
    connect(m_TreeWidthTimer, &QTimer::timeout, this, &TTreePaneFit::Fit);
    // Each new or changed text is measured as it comes (a font metric, not
    // a layout of the item), so a fit sizes the column to the widest alone
    // instead of measuring a tree of tens of thousands of rows.
    // Images are all of one size: only texts change the width.
    connect(m_Tree->model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                    return;
                if (from == to && from.column() == 0) {
                    // A text changed on each new row ("Devices (N)") is
                    // measured once, at the fit, in its last version.
                    if (m_Changed != from) {
                        MeasureChanged();
                        m_Changed = from;
                    }
                } else if (from.column() == 0 && from.parent() == to.parent()) {
                    Measure(from.parent(), from.row(), to.row(), false);
                } else {
                    MeasureAll();
                }
                FitLater();
            });
    connect(m_Tree->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                Measure(parent, first, last);
                FitLater();
            });
    // Rows that went away: only the widest matters.
    connect(m_Tree->model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!m_Widest.isValid())
            MeasureAll();
    });
    connect(m_Tree->model(), &QAbstractItemModel::modelReset, this, &TTreePaneFit::MeasureAll);
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
        m_TreeWidthTimer->start(m_DeviceTree && m_DeviceTree->InBurst() ? m_DeviceTree->RepaintPeriod() : TreeWidthMs);
}

void TTreePaneFit::MeasureAll()
{
    m_Changed = QPersistentModelIndex();
    m_Widest = QPersistentModelIndex();
    m_WidestWidth = -1;
    // Walking a large tree would stall: the view measures what it has on
    // show (up to its header's precision) and the widest is noted from then on.
    if (m_DeviceTree && m_DeviceTree->DeviceCount() > MeasuredRows) {
        m_ViewMeasures = true;
    } else {
        Measure(QModelIndex(), 0, m_Tree->model()->rowCount() - 1);
        m_Exact = true;
    }
    FitLater();
}

void TTreePaneFit::Measure(const QModelIndex& parent, int first, int last, bool children)
{
    int depth = 0;
    for (QModelIndex up = parent; up.isValid(); up = up.parent())
        ++depth;
    const int indent = m_Tree->indentation() * (depth + (m_Tree->rootIsDecorated() ? 1 : 0));
    const QAbstractItemModel* model = m_Tree->model();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        const int width = indent + int(std::ceil(TextWidth(index.data(Qt::DisplayRole).toString())));
        if (width > m_WidestWidth) {
            m_WidestWidth = width;
            m_Widest = index;
        }
        if (children && model->rowCount(index) > 0)
            Measure(index, 0, model->rowCount(index) - 1, true);
    }
}

double TTreePaneFit::TextWidth(const QString& text)
{
    if (!m_Widths || m_Widths->Font() != m_Tree->font())
        m_Widths = std::make_unique<TTextWidths>(m_Tree->font());
    return m_Widths->Width(text);
}

void TTreePaneFit::MeasureChanged()
{
    if (m_Changed.isValid())
        Measure(m_Changed.parent(), m_Changed.row(), m_Changed.row(), false);
    m_Changed = QPersistentModelIndex();
}

void TTreePaneFit::Fit()
{
    MeasureChanged();
    if (m_ViewMeasures) {
        m_ViewMeasures = false;
        m_Tree->resizeColumnToContents(0);
    }
    if (!m_Widest.isValid()) {
        WidenTreePane();
        return;
    }
    int depth = 0;
    for (QModelIndex up = m_Widest.parent(); up.isValid(); up = up.parent())
        ++depth;
    const int width = m_Tree->indentation() * (depth + (m_Tree->rootIsDecorated() ? 1 : 0)) +
                      m_Tree->sizeHintForIndex(m_Widest).width() + PiecesSlackPx;
    // A text that became shorter may leave a wider one behind it: the
    // column narrows only to a width measured over the whole tree.
    if (width > m_Tree->columnWidth(0) || (m_Exact && width != m_Tree->columnWidth(0)))
        m_Tree->setColumnWidth(0, width);
    m_Exact = false;
    WidenTreePane();
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
