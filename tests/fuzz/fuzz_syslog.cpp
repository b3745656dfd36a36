// Syslog header parser and store on arbitrary datagrams.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "syslog/core/SyslogStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exactly sized heap copy, so any read past the datagram is caught.
    std::string bytes(size ? reinterpret_cast<const char*>(data) : "", size);
    const std::string_view text(bytes.data(), bytes.size());

    // A store of its own, so each run gives back all it took (libFuzzer's
    // leak check stays on), bounded low so that a few adds drop the oldest.
    Syslog::TSyslogStore store(4, 256);
    for (std::uint32_t i = 0; i < 5; ++i)
        store.Add(0x7F000001u + i % 3, text, 0);
    const Syslog::TSyslogRecord& record = store.Add(0x7F000001u + std::uint32_t(size % 3), text, 0);
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
    return 0;
}
