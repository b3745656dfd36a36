#include "syslog/SyslogStore.h"

#include <cstring>

namespace Syslog {

TSyslogStore::TSyslogStore()
    : m_YearBase(TYearBase::Current())
{
}

const TSyslogRecord& TSyslogStore::Add(std::uint32_t address, std::string_view text)
{
    return Add(address, text, Now());
}

const TSyslogRecord& TSyslogStore::Add(std::uint32_t address, std::string_view text, TDateTime now)
{
    text = CutAtNul(text);
    const THeader header = ParseHeader(text, m_YearBase);

    TSyslogRecord record;
    record.facility = header.facility;
    record.severity = header.severity;
    record.parsed = header.parsed;
    record.timestamp = header.parsed ? header.timestamp : now;
    // A parsed header needs only host and message; its priority and time are
    // already in the record.
    const std::string_view kept = header.parsed ? text.substr(header.hostBegin) : text;
    record.hostLength = static_cast<std::uint32_t>(header.hostLength);
    record.length = static_cast<std::uint32_t>(kept.size());
    record.text = Keep(kept);
    // Numbered from 1 in arrival order; a clear starts again.
    record.eventId = static_cast<std::uint32_t>(m_Records.size() + 1);
    record.received = now;
    record.address = address;

    m_BySender[address].push_back(static_cast<std::uint32_t>(m_Records.size()));
    m_Records.push_back(record);
    return m_Records.back();
}

const char* TSyslogStore::Keep(std::string_view text)
{
    if (text.empty())
        return "";
    // Large texts get their own block so a chunk's tail is never wasted on them.
    if (text.size() > ChunkSize / 4) {
        m_Chunks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(m_Chunks.back().get(), text.data(), text.size());
        return m_Chunks.back().get();
    }
    if (text.size() > m_FreeLeft) {
        m_Chunks.push_back(std::make_unique_for_overwrite<char[]>(ChunkSize));
        m_Free = m_Chunks.back().get();
        m_FreeLeft = ChunkSize;
    }
    char* out = m_Free;
    std::memcpy(out, text.data(), text.size());
    m_Free += text.size();
    m_FreeLeft -= text.size();
    return out;
}

void TSyslogStore::Clear()
{
    m_Records = std::deque<TSyslogRecord>();
    m_BySender.clear();
    m_Chunks = std::vector<std::unique_ptr<char[]>>();
    m_Free = nullptr;
    m_FreeLeft = 0;
}

int TSyslogStore::Count(std::uint32_t address) const
{
    auto it = m_BySender.find(address);
    return it == m_BySender.end() ? 0 : static_cast<int>(it->second.size());
}

void TSyslogStore::Query(std::uint32_t address, TSyslogList& list, bool markRead)
{
    auto take = [&](const std::vector<std::uint32_t>& rows) {
        for (std::uint32_t row : rows) {
            TSyslogRecord& record = m_Records[row];
            if (markRead)
                record.read = true;
            list.push_back(ToNode(record));
        }
    };
    if (address == 0) {
        for (const auto& [sender, rows] : m_BySender)
            take(rows);
        return;
    }
    auto it = m_BySender.find(address);
    if (it != m_BySender.end())
        take(it->second);
}

TSyslogListNode TSyslogStore::ToNode(const TSyslogRecord& record)
{
    TSyslogListNode node;
    node.facility = record.facility;
    node.severity = record.severity;
    node.timestamp = record.timestamp;
    node.host = record.parsed ? std::string(record.Host()) : AddressText(record.address);
    node.message = std::string(record.Message());
    node.eventId = record.eventId;
    node.received = record.received;
    node.address = record.address;
    node.read = record.read;
    return node;
}

} // namespace Syslog
