#pragma once

// The console configuration file ("Config.xml"): the discovery filter's
// settings and, for the user's records, the switches of the device tree.
// Only Qt Core, so the reader can be fuzzed on its own.

#include "pages/kit/FilterServer.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One switch of the device tree as the file lists it.
struct TConfigDevice {
    QString MacAddr;            // "00:1A:2B:3C:4D:5E"
    QString Type;               // the model's name; empty (not written) for model 0
    std::uint32_t Address = 0;  // host order; 0 is not written
};

// The whole document, indented, version 1.0 without an encoding.
QByteArray WriteConfigDocument(const Filter::TFilterSettings& settings, const std::vector<TConfigDevice>& devices);

enum TConfigRead {
    crFailed,       // not well-formed XML, nested deeper than 64 levels, a tag of
                    // more than 16 attributes, or more filter entries than a filter holds
    crNoDiscovery,  // no "Discovery": the filter keeps its settings
    crRead,         // settings hold the file's discovery settings
};
// Reads the discovery settings of a document. Missing values keep the
// defaults of a fresh filter, "Filter" entries that aren't valid are
// skipped, and elements the format doesn't have are ignored. Takes time
// linear in the document's size.
TConfigRead ReadConfigDocument(const QByteArray& document, Filter::TFilterSettings& settings);

// Unicast entries, and local subnets, that one file may carry.
inline constexpr std::size_t kMaxConfigEntries = 65536;
// Larger files are not read.
inline constexpr qint64 kMaxConfigFileSize = 16 << 20;

// Writes aside and renames over the target, so a failed save leaves the old
// file as it was; false with the reason in error.
bool SaveConfigFile(const QString& path, const QByteArray& document, QString* error);
// The file's bytes; false when it can't be read or is too large.
bool ReadConfigFile(const QString& path, QByteArray& document);
