#include "pages/kit/PortLayout.h"

#include "intp/Device.h"
#include "intp/Ports.h"
#include "pages/rules/PageRules.h"

void TPortLayout::Clear()
{
    m_RowOfPort.clear();
    m_PortOfRow.clear();
    m_Names.clear();
    m_Ports = 0;
}

void TPortLayout::Build(int ports, const std::vector<std::string>& names, int trunkGroups)
{
    Clear();
    ports = ports < 0 ? 0 : ports;
    trunkGroups = trunkGroups < 0 ? 0 : trunkGroups;
    m_Ports = ports;
    int count = ports + trunkGroups;
    m_RowOfPort.assign(std::size_t(count), -1);
    m_Names.assign(std::size_t(count), std::string());
    for (int port = 0; port < count; ++port) {
        const std::string* name = std::size_t(port) < names.size() ? &names[std::size_t(port)] : nullptr;
        if (name && IsHiddenPort(*name))
            continue;
        if (name)
            m_Names[std::size_t(port)] = *name;
        m_RowOfPort[std::size_t(port)] = RowCount();
        m_PortOfRow.push_back(port);
    }
}

int TPortLayout::PortOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? m_PortOfRow[std::size_t(row)] : -1;
}

int TPortLayout::RowOfPort(int port) const
{
    return port >= 0 && port < PortCount() ? m_RowOfPort[std::size_t(port)] : -1;
}

bool TPortLayout::IsHidden(int port) const
{
    return port >= 0 && port < PortCount() && m_RowOfPort[std::size_t(port)] < 0;
}

QString TPortLayout::RowName(int row) const
{
    int port = PortOfRow(row);
    if (port < 0)
        return QString();
    const std::string& name = m_Names[std::size_t(port)];
    if (!name.empty())
        return QString::fromStdString(name);
    if (IsTrunkGroup(port))
        return QString::fromStdString(TrunkCaption(port - m_Ports + 1));
    return QString::fromStdString(PortCaption(row + 1));
}

bool TPortLayout::FitsMask() const { return FitsPortMask(PortCount()); }

void TPortLayout::BuildFor(const Intp::TDevice* device, int trunkGroups)
{
    if (!device) {
        Clear();
        return;
    }
    const auto& names = Intp::Property<Intp::TPropertyPortName>::Get(const_cast<Intp::TDevice*>(device));
    Build(int(device->GetPortNum()), names.valid ? names.names : std::vector<std::string>(), trunkGroups);
}

QString TPortLayout::NumberedCaption(int row) { return QString::asprintf("Port.%02d", row + 1); }
