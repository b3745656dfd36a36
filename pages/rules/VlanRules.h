#pragma once

// Rules of the VLAN pages without widgets: the tagged-VLAN text, the words
// of the 802.1Q port Set, one port's view of the 802.1Q table and the port
// text of a VLAN mask.

#include "intp/Ports.h"
#include "intp/Vlan.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The tagged VLAN ids typed for a port. The text is cut at every comma,
// blank and tab, empty pieces skipped; each piece reads as a decimal number
// from its start (an optional sign, then digits up to the first other
// character, so "12abc" is 12 and "abc" is 0). Every number must be 1 to
// 4094, else the whole text is invalid. Order and duplicates are kept; a text
// of separators only is valid and gives no ids. vids is written only on success.
bool ParseTaggedVids(std::string_view text, std::vector<std::uint16_t>& vids);

// One row of the 802.1Q port page.
struct TVlanPortRow {
    int port = 0;      // port index, below 32
    int type = Intp::vlAccess;
    int untagged = 1;
    std::string tagged; // the tagged VLAN ids as text
};

// One port's row from the switch's table: the untagged VLAN is the last
// entry whose untagged mask has the port (1 when none), the tagged ones are
// every entry whose tagged mask has it, in table order; no tagged VLAN makes
// the port Access, else it is Hybrid when the hybrid mask has it, else
// 802.1Q. A port of index 32 or more has no bit in the masks and reads as an
// Access port of VLAN 1.
TVlanPortRow VlanPortRowOf(const Intp::TPropertyVlan8021qPort& table, int port);

// An 802.1Q or hybrid port whose tagged text names no VLAN; a text that
// breaks the grammar is not counted here (Apply tells it).
bool LacksTaggedVlan(const TVlanPortRow& row);

// Word lists of the 802.1Q port Set, one list per request.
using TUVecList = std::vector<std::vector<std::uint16_t>>;
// A run of words under this many takes the next row; a row that brings it to
// this many or more starts the next request.
inline constexpr std::size_t MaxVlanWords = 700;

// The rows in order as word lists: per row (port << 8 | type), the untagged
// VLAN id, the tagged ids of its text, 0. A row is never split and no list
// is empty; every list ends with 0. False when a row's tagged text is
// invalid (lists is then left as it was).
bool BuildPortWords(const std::vector<TVlanPortRow>& rows, TUVecList& lists);

// The names of the ports in a 32-bit mask, joined by ", ": bit i names the
// port at position i of the port configuration, by its name in names (one
// per port number). A hidden port ("Port.XX") is never named; bits beyond
// the positions, or without a read configuration, are ignored.
std::string PortMaskText(std::uint32_t mask, const Intp::TPropertyPortConfig& config,
                         const std::vector<std::string>& names);
