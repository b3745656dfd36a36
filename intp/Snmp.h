// SNMP: the switch's agent version, its community strings, its trap
// receivers and SNMPv3 users, and the SNMPv3 context and view-based access
// tables (groups, access rules, MIB views). Tables are read whole in one
// reply; an Add or Del changes one entry and is followed by a fresh read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

enum TSnmpVersion : uint32_t { svV1V2c = 0, svV3 = 1 };
enum TSnmpAccess : uint32_t { saReadOnly = 0, saReadWrite = 1 };
enum TSnmpTrapVersion : uint32_t { stV1 = 0, stV2c = 1 };
// SNMPv3 codes as the switch keeps them.
enum TSnmpSecurityLevel : uint32_t { slNoAuthNoPriv = 0, slAuthNoPriv = 1, slAuthPriv = 3 };
enum TSnmpContextMatch : uint32_t { cmExact = 1, cmPrefix = 2 };
enum TSnmpViewType : uint32_t { vtExcluded = 0, vtIncluded = 1 };

inline constexpr size_t SnmpTextWidth = 32;
// SNMPv3 table texts: 33 bytes, of which the console writes 32 at most.
inline constexpr size_t SnmpV3TextWidth = 33;
inline constexpr size_t SnmpV3TextLimit = 32;

struct TPropertySnmp {
    static constexpr int32_t Key = PropertyKey(ccSnmpGet);
    bool valid = false;
    uint32_t version = svV1V2c;
    static constexpr auto Fields = Layout(Wire::U8(&TPropertySnmp::version));
};

// One community slot; a model has SnmpCommunityNum of them, always written whole.
struct TPropertySnmpCommunityEntry {
    std::string community;
    uint32_t access = saReadOnly;
};

struct TPropertySnmpCommunity {
    static constexpr int32_t Key = PropertyKey(ccSnmpCommunityGet);
    bool valid = false;
    std::vector<TPropertySnmpCommunityEntry> entries; // one per slot
    static constexpr auto EntryFields = Layout(Wire::Text(&TPropertySnmpCommunityEntry::community, SnmpTextWidth),
                                               Wire::U8(&TPropertySnmpCommunityEntry::access));
};

struct TPropertySnmpTrapEntry {
    uint32_t address = 0; // host order, never 0
    std::string community; // 1 to 32 characters
    uint32_t version = stV1;
};

struct TPropertySnmpTrap {
    static constexpr int32_t Key = PropertyKey(ccSnmpTrapGet);
    bool valid = false;
    std::vector<TPropertySnmpTrapEntry> entries; // in reply order
    static constexpr auto EntryFields = Layout(Wire::Ip(&TPropertySnmpTrapEntry::address),
                                               Wire::Text(&TPropertySnmpTrapEntry::community, SnmpTextWidth),
                                               Wire::U8(&TPropertySnmpTrapEntry::version));
    // A receiver is deleted by its address alone.
    static constexpr auto KeyFields = Layout(Wire::Ip(&TPropertySnmpTrapEntry::address));
    static constexpr size_t PageEntries = 0; // one reply holds the whole table
};

// A user as the switch lists it: whether each password is set, never the
// passwords themselves.
struct TPropertySnmpUserEntry {
    std::string name;
    bool auth = false;
    bool privacy = false;
};

struct TPropertySnmpUser {
    static constexpr int32_t Key = PropertyKey(ccSnmpUserGet);
    bool valid = false;
    std::vector<TPropertySnmpUserEntry> entries; // in reply order
    static constexpr auto EntryFields = Layout(Wire::Text(&TPropertySnmpUserEntry::name, SnmpTextWidth),
                                               Wire::Flag(&TPropertySnmpUserEntry::auth),
                                               Wire::Flag(&TPropertySnmpUserEntry::privacy));
    static constexpr size_t PageEntries = 0;
    static constexpr size_t PrefixSize = 0;
};

// What an Add or Del of a user carries: the name and both passwords, as
// typed. It lives in the request alone and is never stored.
struct TSnmpUserChange {
    std::string name;
    std::string authPassword;
    std::string privacyPassword;
    static constexpr auto Fields = Layout(Wire::Text(&TSnmpUserChange::name, SnmpTextWidth),
                                          Wire::Text(&TSnmpUserChange::authPassword, SnmpTextWidth),
                                          Wire::Text(&TSnmpUserChange::privacyPassword, SnmpTextWidth));
};

#define INTP_SNMPV3_TEXT(C, M) Wire::Text(&C::M, SnmpV3TextWidth, SnmpV3TextLimit)

struct TPropertySnmpContext {
    static constexpr int32_t Key = PropertyKey(ccSnmpContextGet);
    bool valid = false;
    std::string name;
    static constexpr auto Fields = Layout(INTP_SNMPV3_TEXT(TPropertySnmpContext, name));
};

struct TPropertySnmpGroupEntry {
    std::string securityName;
    std::string groupName;
};

struct TPropertySnmpGroup {
    static constexpr int32_t Key = PropertyKey(ccSnmpGroupGet);
    bool valid = false;
    std::vector<TPropertySnmpGroupEntry> entries;
    static constexpr auto EntryFields = Layout(INTP_SNMPV3_TEXT(TPropertySnmpGroupEntry, securityName),
                                               INTP_SNMPV3_TEXT(TPropertySnmpGroupEntry, groupName));
    static constexpr size_t PageEntries = 0;
    static constexpr size_t PrefixSize = 0;
    // The reply's last byte belongs to no entry.
    static constexpr size_t TrailerSize = 1;
};

struct TPropertySnmpAccessEntry {
    std::string groupName;
    std::string contextPrefix;
    uint32_t level = slNoAuthNoPriv;
    uint32_t match = cmExact;
    std::string readView;
    std::string writeView;
    std::string notifyView;
};

struct TPropertySnmpAccess {
    static constexpr int32_t Key = PropertyKey(ccSnmpAccessGet);
    bool valid = false;
    std::vector<TPropertySnmpAccessEntry> entries;
    static constexpr auto EntryFields = Layout(
        INTP_SNMPV3_TEXT(TPropertySnmpAccessEntry, groupName), INTP_SNMPV3_TEXT(TPropertySnmpAccessEntry, contextPrefix),
        Wire::U32Le(&TPropertySnmpAccessEntry::level), Wire::U32Le(&TPropertySnmpAccessEntry::match),
        INTP_SNMPV3_TEXT(TPropertySnmpAccessEntry, readView), INTP_SNMPV3_TEXT(TPropertySnmpAccessEntry, writeView),
        INTP_SNMPV3_TEXT(TPropertySnmpAccessEntry, notifyView));
    static constexpr size_t PageEntries = 0;
    static constexpr size_t PrefixSize = 0;
};

struct TPropertySnmpMibviewEntry {
    std::string viewName;
    std::string subtree; // dotted OID text
    uint32_t type = vtExcluded;
};

struct TPropertySnmpMibview {
    static constexpr int32_t Key = PropertyKey(ccSnmpMibviewGet);
    bool valid = false;
    std::vector<TPropertySnmpMibviewEntry> entries;
    static constexpr auto EntryFields = Layout(INTP_SNMPV3_TEXT(TPropertySnmpMibviewEntry, viewName),
                                               INTP_SNMPV3_TEXT(TPropertySnmpMibviewEntry, subtree),
                                               Wire::U32Le(&TPropertySnmpMibviewEntry::type));
    static constexpr size_t PageEntries = 0;
    static constexpr size_t PrefixSize = 0;
};

#undef INTP_SNMPV3_TEXT

// A version of 2 or more is refused with ssBadReply.
class TSessionSnmpGet : public TSessionRecordGet<ccSnmpGet, TPropertySnmp> {
protected:
    uint16_t Check(TDevice*, const TPropertySnmp& record) override
    {
        return record.version > svV3 ? ssBadReply : ssOk;
    }
};
class TSessionSnmpSet : public TSessionRecordSet<ccSnmpSet, TSessionSnmpGet> {};

// The reply holds one 33-byte entry per community slot of the model; another
// count is refused with ssBadReply, an access of 2 or more with ssBadValue.
class TSessionSnmpCommunityGet : public TSessionGet<ccSnmpCommunityGet, TPropertySnmpCommunity> {
public:
    using Entry = TPropertySnmpCommunityEntry;

protected:
    uint16_t Decode(TDevice* device, TPropertySnmpCommunity& record, TPayloadReader& payload) override
    {
        constexpr size_t size = TPropertySnmpCommunity::EntryFields.FixedSize(TMessage::Get);
        const size_t n = payload.Size() / size;
        if (n == 0 || n != device->GetSnmpCommunityNum()) return ssBadReply;
        auto entries = DecodeEntries<Entry>(TPropertySnmpCommunity::EntryFields, payload.Data(), n * size);
        for (const Entry& entry : entries)
            if (entry.access > saReadWrite) return ssBadValue;
        record.entries = std::move(entries);
        return ssOk;
    }
};
// SetEntries: exactly the model's SnmpCommunityNum entries, else nothing is sent.
class TSessionSnmpCommunitySet : public TSessionEntriesSet<ccSnmpCommunitySet, TSessionSnmpCommunityGet,
                                                           TPropertySnmpCommunityEntry, TPropertySnmpCommunity::EntryFields> {};

// Receivers with address 0, an empty community or a version of 2 or more are
// left out of the table.
class TSessionSnmpTrapGet : public TSessionTableGet<ccSnmpTrapGet, TPropertySnmpTrap> {
protected:
    bool KeepEntry(TDevice*, TPropertySnmpTrap&, const TPropertySnmpTrapEntry& entry) override
    {
        return entry.address != 0 && !entry.community.empty() && entry.version <= stV2c;
    }
};
class TSessionSnmpTrapAdd : public TSessionEntrySet<ccSnmpTrapAdd, TSessionSnmpTrapGet> {};
class TSessionSnmpTrapDel
    : public TSessionLayoutSet<ccSnmpTrapDel, TSessionSnmpTrapGet, TPropertySnmpTrapEntry, TPropertySnmpTrap::KeyFields> {};

class TSessionSnmpUserGet : public TSessionTableGet<ccSnmpUserGet, TPropertySnmpUser> {};
class TSessionSnmpUserAdd
    : public TSessionLayoutSet<ccSnmpUserAdd, TSessionSnmpUserGet, TSnmpUserChange, TSnmpUserChange::Fields> {};
class TSessionSnmpUserDel
    : public TSessionLayoutSet<ccSnmpUserDel, TSessionSnmpUserGet, TSnmpUserChange, TSnmpUserChange::Fields> {};

class TSessionSnmpContextGet : public TSessionRecordGet<ccSnmpContextGet, TPropertySnmpContext> {};
class TSessionSnmpContextSet : public TSessionRecordSet<ccSnmpContextSet, TSessionSnmpContextGet> {};

class TSessionSnmpGroupGet : public TSessionTableGet<ccSnmpGroupGet, TPropertySnmpGroup> {
protected:
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override
    {
        const size_t size = payload.Size();
        const size_t trailer = size < TPropertySnmpGroup::TrailerSize ? size : TPropertySnmpGroup::TrailerSize;
        return TSessionTableGet::HandleResponse(device, header, payload.Sub(size - trailer));
    }
};
class TSessionSnmpGroupAdd : public TSessionEntrySet<ccSnmpGroupAdd, TSessionSnmpGroupGet> {};
class TSessionSnmpGroupDel : public TSessionEntrySet<ccSnmpGroupDel, TSessionSnmpGroupGet> {};

class TSessionSnmpAccessGet : public TSessionTableGet<ccSnmpAccessGet, TPropertySnmpAccess> {};
class TSessionSnmpAccessAdd : public TSessionEntrySet<ccSnmpAccessAdd, TSessionSnmpAccessGet> {};
class TSessionSnmpAccessDel : public TSessionEntrySet<ccSnmpAccessDel, TSessionSnmpAccessGet> {};

class TSessionSnmpMibviewGet : public TSessionTableGet<ccSnmpMibviewGet, TPropertySnmpMibview> {};
class TSessionSnmpMibviewAdd : public TSessionEntrySet<ccSnmpMibviewAdd, TSessionSnmpMibviewGet> {};
class TSessionSnmpMibviewDel : public TSessionEntrySet<ccSnmpMibviewDel, TSessionSnmpMibviewGet> {};

} // namespace Intp
