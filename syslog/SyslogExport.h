#pragma once

// The XML export of syslog messages, written as a stream into a file written
// aside and renamed into place. Entries are pulled one at a time; between
// slices of them the event loop runs (user input waits), so the window keeps
// painting and memory beyond the messages stays small.

#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>

#include "syslog/core/SyslogParser.h"

namespace Syslog {

struct TExportEntry {
    std::uint32_t eventId = 0;
    std::int32_t facility = 0;
    std::int32_t severity = 0;
    std::uint32_t address = 0;
    TDateTime received = 0;
    std::string_view message; // read before the source is asked again
};

enum class TExportPull { Entry, End, Failed };
// Fills the next entry, or tells the end or that the entries were lost.
using TExportSource = std::function<TExportPull(TExportEntry&)>;

// Entries between two runs of the event loop.
constexpr int ExportSliceEntries = 1024;

// False when the file was not written whole (the source failed or the file
// could not be written); a file of that name is then left as it was.
bool WriteExport(const QString& fileName, const TExportSource& next);

} // namespace Syslog
