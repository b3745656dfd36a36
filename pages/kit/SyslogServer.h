#pragma once

// The message types come from the plain parser library (syslogcore), which
// sits beside intp at the bottom of the build.
#include "syslog/core/SyslogParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

class QWidget;

namespace Syslog {

// A received message: sender (host order) and its NUL-terminated text.
struct TReceivedMessage {
    std::uint32_t address = 0;
    const char* text = nullptr;
};

// The syslog store's service, implemented by the "Syslog Events" page and
// handed out by the page host. GUI thread only.
class TSyslogServer {
public:
    virtual ~TSyslogServer() = default;

    // Removes every message; the next one gets event id 1.
    virtual void Clear() = 0;
    // Fills facility, severity, timestamp, host and message from a
    // NUL-terminated text; true when the whole header parsed.
    virtual bool Parse(const char* text, TSyslogListNode& node) = 0;
    virtual void AddMessage(std::uint32_t address, const char* text) = 0;
    // Adds the messages in order, as AddMessage one by one would; a store
    // may show the batch at once.
    virtual void AddMessages(const TReceivedMessage* messages, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            AddMessage(messages[i].address, messages[i].text);
    }
    virtual int Count(std::uint32_t address) = 0;
    virtual const char* GetFacilityName(int facility) = 0;
    // Null for a severity without a name.
    virtual const char* GetSeverityName(int severity) = 0;
    // Appends copies of the sender's messages (0: every sender) to the list.
    virtual void Query(std::uint32_t address, TSyslogList* list, bool markRead) = 0;
    // Number, unread number and latest reception of the sender's messages
    // (0: every sender's), as a Query would count them, without copying any.
    virtual TSenderSummary Summary(std::uint32_t address) = 0;
    // Writes the list as the XML export; false when the file was not written.
    virtual bool SaveToFile(const TSyslogList* list, const std::string& fileName) = 0;
    // Opens the messages of one sender in a dialog over owner: pages show a
    // switch's log this way without knowing the syslog windows.
    virtual void ShowSender(std::uint32_t address, QWidget* owner) = 0;
};

} // namespace Syslog
