// MAC and port security tables: lists of MAC addresses that a Get reads
// whole, page by page, and an Add or Del changes one entry at a time (each
// followed by a fresh Get of its table).
#pragma once

#include <cstddef>
#include <vector>

#include "intp/Record.h"

namespace Intp {

// The MAC blacklist: addresses the switch refuses.
struct TPropertySecurityMac {
    static constexpr int32_t Key = PropertyKey(ccSecurityMacGet);
    bool valid = false;
    std::vector<TMacAddr> entries; // in reply order
    static constexpr auto EntryFields = Layout(Wire::Mac());
    static constexpr size_t PageEntries = 128;
};

class TSessionSecurityMacGet : public TSessionTableGet<ccSecurityMacGet, TPropertySecurityMac> {};
// SetPayload(address), or the 6 address bytes as the page holds them.
class TSessionSecurityMacAdd : public TSessionEntrySet<ccSecurityMacAdd, TSessionSecurityMacGet> {};
class TSessionSecurityMacDel : public TSessionEntrySet<ccSecurityMacDel, TSessionSecurityMacGet> {};

// Port security: the addresses each port admits. Ports count from 0; the
// trunk groups follow the ports.
struct TPropertySecurityPortEntry {
    uint32_t port = 0;
    TMacAddr mac;
};

struct TPropertySecurityPort {
    static constexpr int32_t Key = PropertyKey(ccSecurityPortGet);
    bool valid = false;
    std::vector<TPropertySecurityPortEntry> entries; // in reply order

    using E = TPropertySecurityPortEntry;
    static constexpr auto EntryFields = Layout(Wire::U8(&E::port), Wire::Mac(&E::mac));
    // Del names the entry by its address alone, whatever its port.
    static constexpr auto KeyFields = Layout(Wire::Mac(&E::mac));
    static constexpr size_t PageEntries = 128;

    // A port past the ports and trunk groups rejects the whole table (and an Add).
    static uint16_t CheckEntry(const TDeviceType& model, const E& e)
    {
        return e.port < model.PortNum + model.TrunkGroupNum ? ssOk : ssBadReply;
    }
};

class TSessionSecurityPortGet : public TSessionTableGet<ccSecurityPortGet, TPropertySecurityPort> {};
class TSessionSecurityPortAdd : public TSessionEntrySet<ccSecurityPortAdd, TSessionSecurityPortGet> {};
class TSessionSecurityPortDel : public TSessionLayoutSet<ccSecurityPortDel, TSessionSecurityPortGet,
                                                         TPropertySecurityPortEntry, TPropertySecurityPort::KeyFields> {};

} // namespace Intp

namespace Intp {

// The MAC filter table: frames of an address in a VLAN are dropped.
struct TPropertySecurityMac2FilterEntry {
    uint32_t vlanId = 0;
    TMacAddr mac;
};

struct TPropertySecurityMac2Filter {
    static constexpr int32_t Key = PropertyKey(ccSecurityMac2FilterGet);
    bool valid = false;
    std::vector<TPropertySecurityMac2FilterEntry> entries; // in reply order
    static constexpr auto EntryFields = Layout(Wire::U16(&TPropertySecurityMac2FilterEntry::vlanId),
                                               Wire::Mac(&TPropertySecurityMac2FilterEntry::mac));
    static constexpr size_t PageEntries = 128;
};

class TSessionSecurityMac2FilterGet : public TSessionTableGet<ccSecurityMac2FilterGet, TPropertySecurityMac2Filter> {};
class TSessionSecurityMac2FilterAdd
    : public TSessionEntrySet<ccSecurityMac2FilterAdd, TSessionSecurityMac2FilterGet> {};
class TSessionSecurityMac2FilterDel
    : public TSessionEntrySet<ccSecurityMac2FilterDel, TSessionSecurityMac2FilterGet> {};

// The static MAC table: an address bound to a port in a VLAN. The VLAN id
// follows the port byte unaligned.
struct TPropertySecurityMac2StaticEntry {
    uint32_t port = 0;
    uint32_t vlanId = 0;
    TMacAddr mac;
};

struct TPropertySecurityMac2Static {
    static constexpr int32_t Key = PropertyKey(ccSecurityMac2StaticGet);
    bool valid = false;
    std::vector<TPropertySecurityMac2StaticEntry> entries; // in reply order
    static constexpr auto EntryFields = Layout(Wire::U8(&TPropertySecurityMac2StaticEntry::port),
                                               Wire::U16(&TPropertySecurityMac2StaticEntry::vlanId),
                                               Wire::Mac(&TPropertySecurityMac2StaticEntry::mac));
    static constexpr size_t PageEntries = 128;
};

class TSessionSecurityMac2StaticGet : public TSessionTableGet<ccSecurityMac2StaticGet, TPropertySecurityMac2Static> {};
class TSessionSecurityMac2StaticAdd
    : public TSessionEntrySet<ccSecurityMac2StaticAdd, TSessionSecurityMac2StaticGet> {};
class TSessionSecurityMac2StaticDel
    : public TSessionEntrySet<ccSecurityMac2StaticDel, TSessionSecurityMac2StaticGet> {};

} // namespace Intp
