#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "syslog/SyslogParser.h"

namespace Syslog {

// One stored message, compact: the text is kept once in the store's arena
// (host, blank and message when the header parsed; the whole text when not).
struct TSyslogRecord {
    TDateTime timestamp = 0;
    TDateTime received = 0;
    const char* text = nullptr;
    std::uint32_t length = 0;
    std::uint32_t hostLength = 0;
    std::int32_t facility = 0;
    std::int32_t severity = 0;
    std::uint32_t eventId = 0;
    std::uint32_t address = 0;
    bool parsed = false;
    bool read = false;

    std::string_view Message() const
    {
        if (!parsed)
            return {text, length};
        return {text + hostLength + 1, length - hostLength - 1};
    }
    // The header's host name; empty when the header did not parse (the node
    // then carries the sender's address instead).
    std::string_view Host() const { return parsed ? std::string_view(text, hostLength) : std::string_view(); }
};

// Every received message for the whole run, in arrival order, with an index
// by sender address (ascending) that keeps each sender's arrival order.
class TSyslogStore {
public:
    TSyslogStore();
    TSyslogStore(const TSyslogStore&) = delete;
    TSyslogStore& operator=(const TSyslogStore&) = delete;

    // Parses, numbers, time-stamps and stores one message; the text is used
    // up to its first NUL byte.
    const TSyslogRecord& Add(std::uint32_t address, std::string_view text);
    const TSyslogRecord& Add(std::uint32_t address, std::string_view text, TDateTime now);

    // Removes every message and restarts the event numbers at 1.
    void Clear();

    // Messages in arrival order.
    std::size_t Size() const { return m_Records.size(); }
    const TSyslogRecord& Record(std::size_t row) const { return m_Records[row]; }
    TSyslogListNode Node(std::size_t row) const { return ToNode(m_Records[row]); }

    int Count(std::uint32_t address) const;
    // Appends copies of the sender's messages (address 0: everyone's, by
    // ascending address, then arrival) to the end of the list; with markRead
    // the stored messages are marked read first.
    void Query(std::uint32_t address, TSyslogList& list, bool markRead);

    const TYearBase& YearBase() const { return m_YearBase; }

    static TSyslogListNode ToNode(const TSyslogRecord& record);

private:
    const char* Keep(std::string_view text);

    static constexpr std::size_t ChunkSize = 64 * 1024;

    std::deque<TSyslogRecord> m_Records;
    std::map<std::uint32_t, std::vector<std::uint32_t>> m_BySender;
    std::vector<std::unique_ptr<char[]>> m_Chunks;
    char* m_Free = nullptr;
    std::size_t m_FreeLeft = 0;
    TYearBase m_YearBase;
};

} // namespace Syslog
