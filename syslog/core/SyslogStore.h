#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "syslog/core/SyslogParser.h"

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

// Every received message in arrival order, with an index by sender address
// (ascending) that keeps each sender's arrival order. The store is bounded
// far above what a LAN of switches sends in a day: past maxMessages
// messages or maxTextBytes bytes of text, the oldest messages are dropped,
// a block at a time, and counted.
class TSyslogStore {
public:
    static constexpr std::size_t DefaultMaxMessages = 2'000'000;
    static constexpr std::size_t DefaultMaxTextBytes = std::size_t(512) << 20;

    explicit TSyslogStore(std::size_t maxMessages = DefaultMaxMessages,
                          std::size_t maxTextBytes = DefaultMaxTextBytes);
    TSyslogStore(const TSyslogStore&) = delete;
    TSyslogStore& operator=(const TSyslogStore&) = delete;

    // Parses, numbers, time-stamps and stores one message; the text is used
    // up to its first NUL byte.
    const TSyslogRecord& Add(std::uint32_t address, std::string_view text);
    const TSyslogRecord& Add(std::uint32_t address, std::string_view text, TDateTime now);

    // Removes every message and restarts the event numbers and the count of
    // dropped messages.
    void Clear();
    // Oldest messages dropped at the bound since the last Clear.
    std::uint64_t Dropped() const { return m_FirstRow; }

    // Messages in arrival order.
    std::size_t Size() const { return m_Records.size(); }
    const TSyslogRecord& Record(std::size_t row) const { return m_Records[row]; }
    TSyslogListNode Node(std::size_t row) const { return ToNode(m_Records[row]); }

    int Count(std::uint32_t address) const;
    // The sender's number of messages, unread ones and latest reception
    // (address 0: everyone's), as a Query of them would count them; kept
    // up to date, so no message is walked.
    TSenderSummary Summary(std::uint32_t address) const;
    // Appends copies of the sender's messages (address 0: everyone's, by
    // ascending address, then arrival) to the end of the list; with markRead
    // the stored messages are marked read first.
    void Query(std::uint32_t address, TSyslogList& list, bool markRead);

    // A walk over the messages stored when it began, in Query order
    // (ascending sender, then arrival), that stays valid while messages are
    // added (they are not walked) or dropped at the bound (they are skipped).
    struct TCursor {
        std::uint32_t address = 0;
        std::uint64_t nextRow = 0;
        std::uint64_t endRow = 0;
        std::uint64_t generation = 0;
        bool done = false;
    };
    TCursor Walk() const;
    // The next message of the walk, or null at its end; `cleared` is set
    // when a Clear ended the walk early.
    const TSyslogRecord* Next(TCursor& cursor, bool& cleared) const;

    const TYearBase& YearBase() const { return m_YearBase; }

    static TSyslogListNode ToNode(const TSyslogRecord& record);

private:
    struct TChunk {
        std::unique_ptr<char[]> bytes;
        std::size_t live = 0; // stored messages whose text is in it
    };

    // Copies text into the arena; chunk is set to the number of its chunk.
    const char* Keep(std::string_view text, std::uint64_t& chunk);
    // Drops the oldest messages until one more of length bytes fits.
    void MakeRoom(std::size_t length);

    static constexpr std::size_t ChunkSize = 64 * 1024;

    std::size_t m_MaxMessages;
    std::size_t m_MaxTextBytes;
    std::deque<TSyslogRecord> m_Records;
    std::deque<std::uint64_t> m_RecordChunks; // per record, its chunk's number
    // Number of m_Records.front() since the last Clear: the messages dropped.
    std::uint64_t m_FirstRow = 0;
    std::uint64_t m_Generation = 0; // counts Clears
    std::size_t m_TextBytes = 0;
    struct TSender {
        // Row numbers (as m_FirstRow counts them), in arrival order.
        std::deque<std::uint64_t> rows;
        std::size_t unread = 0;
        // The rows received later than every later row of the sender, in
        // arrival order: the front is the latest reception, also when the
        // clock went back, and stays so as the oldest rows are dropped.
        std::deque<std::uint64_t> latest;
    };
    void AddSummary(TSenderSummary& summary, const TSender& sender) const;

    std::map<std::uint32_t, TSender> m_BySender;
    std::deque<TChunk> m_Chunks;
    std::uint64_t m_FirstChunk = 0; // number of m_Chunks.front()
    std::uint64_t m_FillChunk = 0;  // number of the chunk m_Free points into
    char* m_Free = nullptr;
    std::size_t m_FreeLeft = 0;
    TYearBase m_YearBase;
};

} // namespace Syslog
