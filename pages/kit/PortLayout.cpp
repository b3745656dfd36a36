#include "pages/kit/SwitchText.h"
#include "pages/kit/PortLayout.h"

#include "intp/Device.h"
#include "intp/Ports.h"
#include "pages/kit/ChangeReport.h"
#include "pages/rules/PageRules.h"

#include <QStringList>

#include <algorithm>
#include <numeric>

void TPortLayout::Clear()
{
    m_RowOfIndex.clear();
    m_IndexOfRow.clear();
    m_PortOfIndex.clear();
    m_Names.clear();
    m_Ports = 0;
    m_Hidden = 0;
    m_Cut = 0;
    m_UsesNames = false;
}

void TPortLayout::Build(int ports, const std::vector<std::string>& names, int trunkGroups, TPortSpan span)
{
    ports = ports < 0 ? 0 : ports;
    std::vector<int> portOf(std::size_t(ports + (trunkGroups < 0 ? 0 : trunkGroups)));
    std::iota(portOf.begin(), portOf.end(), 0);
    BuildEntries(ports, names, portOf, span);
}

void TPortLayout::BuildEntries(int ports, const std::vector<std::string>& names, const std::vector<int>& portOf,
                               TPortSpan span)
{
    Clear();
    m_Ports = ports < 0 ? 0 : ports;
    m_Names = names;
    m_PortOfIndex = portOf;
    m_RowOfIndex.assign(portOf.size(), -1);
    for (std::size_t index = 0; index < portOf.size(); ++index) {
        const std::size_t port = std::size_t(portOf[index]);
        if (port < names.size() && IsHiddenPort(names[port])) {
            ++m_Hidden;
        } else if (span == psMask && !InMask(portOf[index])) {
            // The masks name the entry's port, wherever the entry stands.
            ++m_Cut;
        } else {
            m_RowOfIndex[index] = RowCount();
            m_IndexOfRow.push_back(int(index));
        }
    }
}

int TPortLayout::IndexOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? m_IndexOfRow[std::size_t(row)] : -1;
}

int TPortLayout::PortOfIndex(int index) const
{
    return index >= 0 && index < PortCount() ? m_PortOfIndex[std::size_t(index)] : -1;
}

int TPortLayout::RowOfPort(int index) const
{
    return index >= 0 && index < PortCount() ? m_RowOfIndex[std::size_t(index)] : -1;
}

bool TPortLayout::IsHidden(int index) const
{
    return index >= 0 && index < PortCount() && m_RowOfIndex[std::size_t(index)] < 0;
}

QString TPortLayout::RowName(int row) const
{
    const int port = PortOfRow(row);
    if (port < 0)
        return QString();
    if (std::size_t(port) < m_Names.size() && !m_Names[std::size_t(port)].empty())
        return QString::fromLatin1(m_Names[std::size_t(port)]);
    if (IsTrunkGroup(IndexOfRow(row)))
        return SwitchText(TrunkCaption(port - m_Ports + 1));
    return SwitchText(PortCaption(row + 1));
}

QString TPortLayout::MaskText(std::uint32_t mask) const
{
    QStringList numbers;
    for (int index = 0; index < 32; ++index) {
        if (!(mask >> index & 1u))
            continue;
        const int row = RowOfPort(index);
        if (row >= 0)
            numbers << QString::number(row + 1);
    }
    return numbers.join(", ");
}

int TPortLayout::TrunkGroupCount() const
{
    int groups = 0;
    for (int index = 0; index < PortCount(); ++index)
        groups += IsTrunkGroup(index);
    return groups;
}

bool TPortLayout::FitsMask() const { return FitsPortMask(PortCount()); }

std::vector<std::size_t> TPortLayout::Unlisted() const
{
    std::vector<std::size_t> unlisted;
    for (std::size_t index = 0; index < m_RowOfIndex.size(); ++index)
        if (m_RowOfIndex[index] < 0)
            unlisted.push_back(index);
    return unlisted;
}

std::uint32_t TPortLayout::UnlistedMask() const
{
    std::uint32_t mask = 0;
    for (int index = 0; index < PortCount() && InMask(index); ++index)
        if (IsHidden(index))
            mask |= 1u << index;
    return mask;
}

std::vector<int> TPortLayout::ListedPorts() const
{
    std::vector<int> ports;
    for (const int index : m_IndexOfRow)
        if (!IsTrunkGroup(index))
            ports.push_back(PortOfIndex(index));
    std::sort(ports.begin(), ports.end());
    return ports;
}

int TPortLayout::ListedSpan() const { return m_IndexOfRow.empty() ? 0 : m_IndexOfRow.back() + 1; }

namespace {

const std::vector<std::string>& NamesOf(const Intp::TDevice* device)
{
    static const std::vector<std::string> none;
    const auto& names = Intp::Property<Intp::TPropertyPortName>::Get(const_cast<Intp::TDevice*>(device));
    return names.valid ? names.names : none;
}

}  // namespace

void TPortLayout::BuildFor(const Intp::TDevice* device, int trunkGroups, TPortSpan span)
{
    if (!device)
        return Clear();
    Build(int(device->GetPortNum()), NamesOf(device), trunkGroups, span);
    m_UsesNames = true;
}

void TPortLayout::BuildEntriesFor(const Intp::TDevice* device, const std::vector<int>& portOf, TPortSpan span)
{
    if (!device)
        return Clear();
    BuildEntries(int(device->GetPortNum()), NamesOf(device), portOf, span);
    m_UsesNames = true;
}

QString TPortLayout::NumberedCaption(int row) { return QString::asprintf("Port.%02d", row + 1); }

QString TPortMap::IndexOn(const Intp::TDevice* target, int index, int& targetIndex) const
{
    targetIndex = -1;
    const int ports = target ? int(target->GetPortNum()) : 0;
    const int groups = target ? int(target->GetTrunkGroupNum()) : 0;
    if (index < m_Ports) {
        if (index < 0 || index >= ports)
            return QString("its model has %1, this change is for port %2").arg(Counted(ports, "port", "ports")).arg(index + 1);
        targetIndex = index;
    } else {
        const int group = index - m_Ports;
        if (group >= groups)
            return QString("its model has %1, this change is for trunk group %2")
                .arg(Counted(groups, "trunk group", "trunk groups"))
                .arg(group + 1);
        targetIndex = ports + group;
    }
    return QString();
}
