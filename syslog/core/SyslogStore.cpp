#include "syslog/core/SyslogStore.h"

#include <algorithm>
#include <cstring>

namespace Syslog {

TSyslogStore::TSyslogStore(std::size_t maxMessages, std::size_t maxTextBytes)
    : m_MaxMessages(maxMessages ? maxMessages : 1)
    , m_MaxTextBytes(maxTextBytes)
    , m_YearBase(TYearBase::Current())
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
    MakeRoom(kept.size());
    record.hostLength = static_cast<std::uint32_t>(header.hostLength);
    record.length = static_cast<std::uint32_t>(kept.size());
    std::uint64_t chunk = 0;
    record.text = Keep(kept, chunk);
    // Numbered from 1 in arrival order; a clear starts again.
    const std::uint64_t row = m_FirstRow + m_Records.size();
    record.eventId = static_cast<std::uint32_t>(row + 1);
    record.received = now;
    record.address = address;

    TSender& sender = m_BySender[address];
    sender.rows.push_back(row);
    ++sender.unread;
    while (!sender.latest.empty() && m_Records[std::size_t(sender.latest.back() - m_FirstRow)].received <= now)
        sender.latest.pop_back();
    sender.latest.push_back(row);
    m_Records.push_back(record);
    m_RecordChunks.push_back(chunk);
    m_TextBytes += kept.size();
    return m_Records.back();
}

void TSyslogStore::MakeRoom(std::size_t length)
{
    if (m_Records.size() < m_MaxMessages && m_TextBytes + length <= m_MaxTextBytes)
        return;
    // A block at a time, so the list view removes rows seldom.
    std::size_t drop = std::max<std::size_t>(1, m_MaxMessages / 64);
    while (!m_Records.empty() && (drop > 0 || m_TextBytes + length > m_MaxTextBytes)) {
        const TSyslogRecord& oldest = m_Records.front();
        auto found = m_BySender.find(oldest.address);
        TSender& sender = found->second;
        sender.rows.pop_front();
        if (!oldest.read)
            --sender.unread;
        if (!sender.latest.empty() && sender.latest.front() == m_FirstRow)
            sender.latest.pop_front();
        if (sender.rows.empty())
            m_BySender.erase(found);
        m_TextBytes -= oldest.length;
        if (oldest.length > 0)
            --m_Chunks[std::size_t(m_RecordChunks.front() - m_FirstChunk)].live;
        m_Records.pop_front();
        m_RecordChunks.pop_front();
        ++m_FirstRow;
        if (drop > 0)
            --drop;
    }
    // Chunks that no stored message uses any more go, except the one being filled.
    while (!m_Chunks.empty() && m_Chunks.front().live == 0 && (m_FirstChunk != m_FillChunk || !m_Free)) {
        m_Chunks.pop_front();
        ++m_FirstChunk;
    }
}

const char* TSyslogStore::Keep(std::string_view text, std::uint64_t& chunk)
{
    if (text.empty())
        return "";
    // Large texts get their own block so a chunk's tail is never wasted on them.
    if (text.size() > ChunkSize / 4) {
        m_Chunks.push_back({std::make_unique_for_overwrite<char[]>(text.size()), 1});
        std::memcpy(m_Chunks.back().bytes.get(), text.data(), text.size());
        chunk = m_FirstChunk + m_Chunks.size() - 1;
        return m_Chunks.back().bytes.get();
    }
    if (text.size() > m_FreeLeft) {
        m_Chunks.push_back({std::make_unique_for_overwrite<char[]>(ChunkSize), 0});
        m_Free = m_Chunks.back().bytes.get();
        m_FreeLeft = ChunkSize;
        m_FillChunk = m_FirstChunk + m_Chunks.size() - 1;
    }
    chunk = m_FillChunk;
    ++m_Chunks[std::size_t(m_FillChunk - m_FirstChunk)].live;
    char* out = m_Free;
    std::memcpy(out, text.data(), text.size());
    m_Free += text.size();
    m_FreeLeft -= text.size();
    return out;
}

void TSyslogStore::Clear()
{
    m_Records = std::deque<TSyslogRecord>();
    m_RecordChunks = std::deque<std::uint64_t>();
    m_BySender.clear();
    m_Chunks = std::deque<TChunk>();
    m_FirstRow = 0;
    ++m_Generation;
    m_FirstChunk = 0;
    m_FillChunk = 0;
    m_TextBytes = 0;
    m_Free = nullptr;
    m_FreeLeft = 0;
}

int TSyslogStore::Count(std::uint32_t address) const
{
    auto it = m_BySender.find(address);
    return it == m_BySender.end() ? 0 : static_cast<int>(it->second.rows.size());
}

void TSyslogStore::AddSummary(TSenderSummary& summary, const TSender& sender) const
{
    summary.count += static_cast<int>(sender.rows.size());
    summary.unread += static_cast<int>(sender.unread);
    if (sender.latest.empty())
        return;
    const TDateTime last = m_Records[std::size_t(sender.latest.front() - m_FirstRow)].received;
    if (!summary.hasLast || last > summary.last) {
        summary.last = last;
        summary.hasLast = true;
    }
}

TSenderSummary TSyslogStore::Summary(std::uint32_t address) const
{
    TSenderSummary summary;
    if (address == 0) {
        for (const auto& [key, sender] : m_BySender)
            AddSummary(summary, sender);
    } else if (auto it = m_BySender.find(address); it != m_BySender.end()) {
        AddSummary(summary, it->second);
    }
    return summary;
}

void TSyslogStore::Query(std::uint32_t address, TSyslogList& list, bool markRead)
{
    auto take = [&](TSender& sender) {
        for (std::uint64_t row : sender.rows) {
            TSyslogRecord& record = m_Records[std::size_t(row - m_FirstRow)];
            if (markRead && !record.read) {
                record.read = true;
                --sender.unread;
            }
            list.push_back(ToNode(record));
        }
    };
    if (address == 0) {
        for (auto& [key, sender] : m_BySender)
            take(sender);
        return;
    }
    auto it = m_BySender.find(address);
    if (it != m_BySender.end())
        take(it->second);
}

TSyslogStore::TCursor TSyslogStore::Walk() const
{
    TCursor cursor;
    cursor.endRow = m_FirstRow + m_Records.size();
    cursor.generation = m_Generation;
    return cursor;
}

const TSyslogRecord* TSyslogStore::Next(TCursor& cursor, bool& cleared) const
{
    cleared = cursor.generation != m_Generation;
    if (cursor.done || cleared)
        return nullptr;
    auto sender = m_BySender.lower_bound(cursor.address);
    // A sender whose messages were all dropped: the next one from its start.
    std::uint64_t from = sender != m_BySender.end() && sender->first == cursor.address ? cursor.nextRow : 0;
    for (; sender != m_BySender.end(); ++sender, from = 0) {
        const auto& rows = sender->second.rows;
        auto row = std::lower_bound(rows.begin(), rows.end(), from);
        if (row != rows.end() && *row < cursor.endRow) {
            cursor.address = sender->first;
            cursor.nextRow = *row + 1;
            return &m_Records[std::size_t(*row - m_FirstRow)];
        }
    }
    cursor.done = true;
    return nullptr;
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
