// Access control lists: rules in numbered groups that permit or deny frames
// by port, VLAN, EtherType and, for IPv4, addresses, fragments and the L4
// protocol and port. The table is read whole, page by page, and changed one
// rule at a time (the switch finds the rule a Del names from the whole entry).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

constexpr uint32_t EtherTypeIpv4 = 0x0800;
constexpr uint32_t IpProtocolTcp = 6;
constexpr uint32_t IpProtocolUdp = 17;

// One rule; 0 in a match field means any. The IPv4 fields count only for
// EtherType 0x0800, the L4 port only for TCP and UDP.
struct TPropertySecurityAclEntry {
    uint32_t groupId = 0;
    bool permit = false;
    uint32_t port = 0;
    uint32_t vlanId = 0;
    uint32_t etherType = 0;
    bool fragmentCheck = false;
    uint32_t srcIp = 0; // host order, as the masks
    uint32_t srcMask = 0;
    uint32_t dstIp = 0;
    uint32_t dstMask = 0;
    uint32_t l4Protocol = 0;
    uint32_t l4Port = 0;
};

struct TPropertySecurityAcl {
    static constexpr int32_t Key = PropertyKey(ccSecurityAclGet);
    bool valid = false;
    std::vector<TPropertySecurityAclEntry> entries; // in reply order

    using E = TPropertySecurityAclEntry;
    // Byte 24 is reserved: skipped when read.
    static constexpr auto EntryFields =
        Layout(Wire::U8(&E::groupId), Wire::Flag(&E::permit), Wire::U8(&E::port), Wire::Flag(&E::fragmentCheck),
               Wire::U16(&E::vlanId), Wire::U16(&E::etherType), Wire::Ip(&E::srcIp), Wire::Ip(&E::srcMask),
               Wire::Ip(&E::dstIp), Wire::Ip(&E::dstMask), Wire::Skip(1), Wire::U8(&E::l4Protocol),
               Wire::U16(&E::l4Port));
    static constexpr size_t PageEntries = 32;
};

class TSessionSecurityAclGet : public TSessionTableGet<ccSecurityAclGet, TPropertySecurityAcl> {};

// An Add or Del of one rule: SetPayload(rule), or the 28 bytes of the rule
// as the page holds them (the reserved byte goes out as 0).
class TSessionSecurityAclAdd : public TSessionEntrySet<ccSecurityAclAdd, TSessionSecurityAclGet> {};
class TSessionSecurityAclDel : public TSessionEntrySet<ccSecurityAclDel, TSessionSecurityAclGet> {};

} // namespace Intp
