#include "pages/kit/PortCheckList.h"

TPortCheckList::TPortCheckList(QWidget* parent) : QListWidget(parent)
{
    // Two or more columns of lines, as many as the width takes.
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    // Each column as wide as its widest name: one size for every line fits
    // a single line's name ("Trunk2" cuts "Port.01").
    setUniformItemSizes(false);
}

void TPortCheckList::SetPorts(const TPortLayout& layout, bool named)
{
    clear();
    m_IndexOfLine.clear();
    m_Indexes = layout.PortCount();
    for (int row = 0; row < layout.RowCount(); ++row) {
        // A mask holds no line beyond its 32 bits.
        if (!TPortLayout::InMask(layout.IndexOfRow(row)))
            break;
        AddLine(named ? layout.RowName(row) : TPortLayout::NumberedCaption(row), layout.IndexOfRow(row));
    }
}

void TPortCheckList::AddLine(const QString& text, int index)
{
    // Listeners of itemChanged may read the mask while the line is added.
    m_IndexOfLine.push_back(index);
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    addItem(item);
}

void TPortCheckList::SetLines(const QStringList& lines)
{
    clear();
    m_IndexOfLine.clear();
    m_Indexes = int(lines.size());
    for (int line = 0; line < lines.size(); ++line)
        AddLine(lines.at(line), line);
}

void TPortCheckList::SetShortLines(const QStringList& lines)
{
    setWrapping(false);
    setUniformItemSizes(false);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    setSizePolicy(sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    SetLines(lines);
}

void TPortCheckList::SetTicks(const std::vector<bool>& ticks)
{
    for (int line = 0; line < count(); ++line) {
        const std::size_t index = std::size_t(m_IndexOfLine[std::size_t(line)]);
        item(line)->setCheckState(index < ticks.size() && ticks[index] ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<bool> TPortCheckList::Ticks() const
{
    std::vector<bool> ticks(std::size_t(m_Indexes), false);
    for (int line = 0; line < count(); ++line) {
        const std::size_t index = std::size_t(m_IndexOfLine[std::size_t(line)]);
        if (index < ticks.size())
            ticks[index] = item(line)->checkState() == Qt::Checked;
    }
    return ticks;
}

void TPortCheckList::SetMask(std::uint32_t mask)
{
    std::vector<bool> ticks(std::size_t(m_Indexes), false);
    for (int index = 0; index < m_Indexes && TPortLayout::InMask(index); ++index)
        ticks[std::size_t(index)] = (mask >> index) & 1u;
    SetTicks(ticks);
}

std::uint32_t TPortCheckList::Mask() const
{
    std::uint32_t mask = 0;
    const std::vector<bool> ticks = Ticks();
    for (std::size_t index = 0; index < ticks.size() && TPortLayout::InMask(int(index)); ++index) {
        if (ticks[index])
            mask |= 1u << index;
    }
    return mask;
}

std::uint32_t TPortCheckList::LineMask() const
{
    std::uint32_t mask = 0;
    for (int index : m_IndexOfLine) {
        if (TPortLayout::InMask(index))
            mask |= 1u << index;
    }
    return mask;
}

void TPortCheckList::ClearTicks() { SetTicks({}); }
