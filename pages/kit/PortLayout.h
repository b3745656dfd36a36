#pragma once

// Which ports a port page lists: a port named exactly "Port.XX" is one the
// switch does not offer; it gets no row, and the listed ports are numbered
// consecutively. Requests that need one entry per port still carry one for
// a hidden port.

#include <QString>

#include <string>
#include <vector>

namespace Intp {
class TDevice;
}

class TPortLayout {
public:
    // ports: the model's PortNum; trunkGroups: the trunk groups that follow
    // the ports in the same index range, when the page lists them; names:
    // the port-name record's names when it is valid, else empty (every index
    // is then listed).
    void Build(int ports, const std::vector<std::string>& names, int trunkGroups = 0);
    // The same for a device: its model's port count and its port-name
    // record when valid (none: every port listed).
    void BuildFor(const Intp::TDevice* device, int trunkGroups = 0);
    void Clear();

    // Indexes covered: ports, then trunk groups.
    int PortCount() const { return int(m_RowOfPort.size()); }
    bool IsTrunkGroup(int index) const { return index >= m_Ports && index < PortCount(); }
    int RowCount() const { return int(m_PortOfRow.size()); }
    int HiddenCount() const { return PortCount() - RowCount(); }
    // -1 when out of range.
    int PortOfRow(int row) const;
    // -1 for a hidden port or one out of range.
    int RowOfPort(int port) const;
    bool IsHidden(int port) const;
    // Row caption: the name from the record, else "Port.%02d" of the row
    // counted from 1, or "Trunk.%02d" of the trunk group counted from 1.
    QString RowName(int row) const;
    // The ports fit a 32-bit mask.
    bool FitsMask() const;
    // "Port.%02d" of the row counted from 1 (pages that number their rows).
    static QString NumberedCaption(int row);
    // Ports of a 32-bit port mask (bit n = port n): only the first 32 take part.
    static bool InMask(int port) { return port >= 0 && port < 32; }

private:
    std::vector<int> m_RowOfPort;
    std::vector<int> m_PortOfRow;
    std::vector<std::string> m_Names;
    int m_Ports = 0;
};
