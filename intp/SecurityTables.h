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

} // namespace Intp
