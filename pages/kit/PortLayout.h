#pragma once

// Which ports a port page lists: a port named exactly "Port.XX" is one the
// switch does not offer; it gets no row, and the listed ports are numbered
// consecutively. Requests that need one entry per port still carry one for
// a hidden port.
//
// A layout has indexes: the port indexes themselves (ports, then trunk
// groups), or the positions of a per-port record whose entries name their
// port. A page whose ports go into 32-bit masks (bit n = port n) lists only
// the ports a mask holds; the others are cut and counted.

#include <QString>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Intp {
class TDevice;
}

// Which indexes may get a row.
enum TPortSpan {
    psAll,   // every index
    psMask,  // the first 32: the page keeps its ports in 32-bit masks
};

class TPortLayout {
public:
    // ports: the model's PortNum; trunkGroups: the trunk groups that follow
    // the ports in the same index range, when the page lists them; names:
    // the port-name record's names when it is valid, else empty (every index
    // is then listed).
    void Build(int ports, const std::vector<std::string>& names, int trunkGroups = 0, TPortSpan span = psAll);
    // Index i is the entry of a per-port record that names port portOf[i].
    void BuildEntries(int ports, const std::vector<std::string>& names, const std::vector<int>& portOf,
                      TPortSpan span = psAll);
    // The same for a device: its model's port count and its port-name
    // record when valid (none: every port listed).
    void BuildFor(const Intp::TDevice* device, int trunkGroups = 0, TPortSpan span = psAll);
    void BuildEntriesFor(const Intp::TDevice* device, const std::vector<int>& portOf, TPortSpan span = psAll);
    void Clear();

    // Indexes covered: ports, then trunk groups (or the record's entries).
    int PortCount() const { return int(m_RowOfIndex.size()); }
    bool IsTrunkGroup(int index) const { return PortOfIndex(index) >= m_Ports; }
    // Indexes that are trunk groups.
    int TrunkGroupCount() const;
    int RowCount() const { return int(m_IndexOfRow.size()); }
    // Indexes left out for their "Port.XX" name, and for lying beyond a mask.
    int HiddenCount() const { return m_Hidden; }
    int CutCount() const { return m_Cut; }
    // The index of a row, and the port it shows; -1 when out of range.
    int IndexOfRow(int row) const;
    int PortOfRow(int row) const { return PortOfIndex(IndexOfRow(row)); }
    // -1 for a hidden or cut index, or one out of range.
    int RowOfPort(int index) const;
    bool IsHidden(int index) const;
    // Row caption: the name from the record, else "Port.%02d" of the row
    // counted from 1, or "Trunk.%02d" of the trunk group counted from 1.
    QString RowName(int row) const;
    // "1, 2, 5": the listed numbers (from 1) of a 32-bit mask's ports; a
    // hidden port, and a bit beyond the layout's indexes, has none.
    QString MaskText(std::uint32_t mask) const;
    // The ports fit a 32-bit mask.
    bool FitsMask() const;
    // The indexes that get no row (hidden or cut), in order; those below 32
    // as a 32-bit mask; one past the last index that gets a row (0: none).
    std::vector<std::size_t> Unlisted() const;
    std::uint32_t UnlistedMask() const;
    int ListedSpan() const;
    // The port indexes (not trunk groups) that get a row, in index order.
    std::vector<int> ListedPorts() const;
    // Built from a device's port names (BuildFor, BuildEntriesFor): the
    // page hides the ports named "Port.XX", on another switch by its names.
    bool UsesNames() const { return m_UsesNames; }
    // "Port.%02d" of the row counted from 1 (pages that number their rows).
    static QString NumberedCaption(int row);
    // Indexes of a 32-bit port mask (bit n = index n): only the first 32 take part.
    static bool InMask(int index) { return index >= 0 && index < 32; }

private:
    int PortOfIndex(int index) const;

    std::vector<int> m_RowOfIndex;
    std::vector<int> m_IndexOfRow;
    std::vector<int> m_PortOfIndex;
    std::vector<std::string> m_Names;  // by port
    int m_Ports = 0;
    int m_Hidden = 0;
    int m_Cut = 0;
    bool m_UsesNames = false;
};

// Per-port and per-trunk-group data made for one switch goes to another by
// number: its port n to the other's port n, its trunk group n to the
// other's trunk group n. Trunk groups are indexed after the ports, so their
// indexes move with the port count.
class TPortMap {
public:
    // Data made for a switch of ports ports (its trunk groups follow them).
    explicit TPortMap(int ports) : m_Ports(ports) {}
    // Data whose every index is a port.
    static TPortMap PortsOnly() { return TPortMap(INT_MAX); }

    // The index on target of index: an empty text and targetIndex set, or
    // why target has no port or trunk group of that number.
    QString IndexOn(const Intp::TDevice* target, int index, int& targetIndex) const;
    // Moves the member port (an index) of every entry to its index on
    // target; why the first that can't move can't, or an empty text.
    template <class E, class M>
    QString Move(const Intp::TDevice* target, std::vector<E>& entries, M E::*port) const
    {
        for (E& entry : entries) {
            int index = -1;
            if (QString why = IndexOn(target, int(entry.*port), index); !why.isEmpty())
                return why;
            entry.*port = static_cast<M>(index);
        }
        return QString();
    }

private:
    int m_Ports;
};
