// Syslog header parser and store on arbitrary datagrams. Each input gets its
// own small store, so every allocation of a run is given back by its end and
// libFuzzer's leak check stays on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "syslog/core/SyslogStore.h"

namespace {

void Check(Syslog::TSyslogStore& store, std::uint32_t address, std::string_view text)
{
    const Syslog::TSyslogRecord& record = store.Add(address, text, 0);
    const std::string_view kept = Syslog::CutAtNul(text);
    if (record.length > kept.size() || (record.parsed && record.hostLength >= record.length))
        std::abort();
    if (record.severity < 0 || record.severity > 7 || record.facility < 0)
        std::abort();
    if (!record.parsed && record.Message() != kept)
        std::abort();

    Syslog::TSyslogListNode node;
    const bool parsed = Syslog::ParseInto(text, node, store.YearBase(), 0);
    if (parsed != record.parsed || node.message != record.Message() || node.facility != record.facility)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exactly sized heap copy, so any read past the datagram is caught.
    std::string bytes(size ? reinterpret_cast<const char*>(data) : "", size);
    const std::string_view text(bytes.data(), bytes.size());

    // Bounded low, so the lines of one input also drop older messages.
    Syslog::TSyslogStore store(4, 256);
    Check(store, 0x7F000001u + std::uint32_t(size % 3), text);
    // Each line as a datagram of its own, from a few senders.
    std::size_t begin = 0;
    for (std::uint32_t line = 0; begin < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        Check(store, 0x7F000001u + line % 3, text.substr(begin, end - begin));
        begin = end + 1;
    }
    Syslog::TSyslogList all;
    store.Query(0, all, false);
    if (all.size() != store.Size())
        std::abort();
    return 0;
}
