// The configuration files the load benchmarks read: the format's largest
// file (65,535 unicast entries and a local subnet) and a file of empty
// elements among the filter entries, filled to the size cap.
#pragma once

#include "console/ConfigFile.h"
#include "tests/bench/Rounds.h"

#include <QByteArray>

inline QByteArray LargestConfigDocument()
{
    Filter::TFilterSettings settings;
    for (std::uint32_t i = 0; i < kMaxConfigEntries - 1; ++i)
        settings.Unicasts.push_back({0x0A000001u + i, 0xFFFFFFFFu});
    settings.LocalSubnets.push_back({0xC0A80114u, 0xFFFFFF00u});
    return WriteConfigDocument(settings, {});
}

// 16 MiB, 1 MiB in a smoke run: the sanitizers' allocator slows the XML reader.
inline QByteArray FlatConfigDocument()
{
    const QByteArray head = "<Config><Discovery><Filters>", tail = "</Filters></Discovery></Config>";
    const qint64 size = BenchSmokeRun() ? 1 << 20 : kMaxConfigFileSize;
    const qsizetype count = qsizetype(size - head.size() - tail.size()) / 4;
    return head + QByteArray("<a/>").repeated(count) + tail;
}
