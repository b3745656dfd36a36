#include "pages/rules/VlanRules.h"

#include "pages/rules/PageRules.h"

#include <algorithm>

namespace {

bool IsSeparator(char c) { return c == ',' || c == ' ' || c == '\t'; }

// A piece's leading number as strtol reads it; anything above the largest
// VLAN id reads as that limit plus one, so no piece overflows.
long long LeadingNumber(std::string_view piece)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-'))
        negative = piece[i++] == '-';
    long long value = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (piece[i] - '0'), Intp::VlanMaxVid + 1);
    return negative ? -value : value;
}

}  // namespace

bool ParseTaggedVids(std::string_view text, std::vector<std::uint16_t>& vids)
{
    std::vector<std::uint16_t> found;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsSeparator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        const long long vid = LeadingNumber(text.substr(i, end - i));
        if (vid < 1 || vid > Intp::VlanMaxVid)
            return false;
        found.push_back(std::uint16_t(vid));
        i = end;
    }
    vids = std::move(found);
    return true;
}

TVlanPortRow VlanPortRowOf(const Intp::TPropertyVlan8021qPort& table, int port)
{
    TVlanPortRow row;
    row.port = port;
    for (const Intp::TPropertyVlan8021qPortEntry& entry : table.entries) {
        if (MaskHasPort(entry.untaggedPorts, port))
            row.untagged = int(entry.vid);
        if (MaskHasPort(entry.taggedPorts, port))
            row.tagged += (row.tagged.empty() ? "" : ",") + std::to_string(entry.vid);
    }
    if (!row.tagged.empty())
        row.type = MaskHasPort(table.hybridPorts, port) ? Intp::vlHybrid : Intp::vl8021q;
    return row;
}

bool LacksTaggedVlan(const TVlanPortRow& row)
{
    std::vector<std::uint16_t> vids;
    return row.type != Intp::vlAccess && ParseTaggedVids(row.tagged, vids) && vids.empty();
}

bool BuildPortWords(const std::vector<TVlanPortRow>& rows, TUVecList& lists)
{
    TUVecList built;
    std::vector<std::uint16_t> current;
    for (const TVlanPortRow& row : rows) {
        std::vector<std::uint16_t> tagged;
        if (!ParseTaggedVids(row.tagged, tagged))
            return false;
        std::vector<std::uint16_t> words{std::uint16_t(row.port << 8 | (row.type & 0xFF)),
                                         std::uint16_t(row.untagged)};
        words.insert(words.end(), tagged.begin(), tagged.end());
        words.push_back(0);
        if (!current.empty() && current.size() + words.size() >= MaxVlanWords) {
            built.push_back(std::move(current));
            current.clear();
        }
        current.insert(current.end(), words.begin(), words.end());
    }
    if (!current.empty())
        built.push_back(std::move(current));
    lists = std::move(built);
    return true;
}

std::string PortMaskText(std::uint32_t mask, const Intp::TPropertyPortConfig& config,
                         const std::vector<std::string>& names)
{
    std::string text;
    const std::size_t positions = config.valid ? std::min<std::size_t>(config.count, config.entries.size()) : 0;
    for (std::size_t i = 0; i < positions && i < std::size_t(MaxMaskPorts); ++i) {
        const std::size_t port = config.entries[i].port;
        if (!MaskHasPort(mask, int(i)) || port >= names.size() || IsHiddenPort(names[port]))
            continue;
        text += (text.empty() ? "" : ", ") + names[port];
    }
    return text;
}
