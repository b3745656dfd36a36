#pragma once

// Reader of the device-model table file "devices.dev": name=value lines.
// Plain C++, so the rules can be tested on a stream.

#include "intp/DeviceType.h"

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

struct TDeviceTypeFileModel {
    std::string name;
    std::uint32_t portNum = 0;
    std::uint32_t trunkGroupNum = 0;
    std::uint32_t trunkMemberNum = 0;
    std::uint32_t smtpRecipientNum = 0;
    std::uint32_t secureIpNum = 0;
    std::uint32_t snmpCommunityNum = 0;
    std::uint32_t tagVidNum = 0;
    int banner = 0;
    std::string id;
};

struct TDeviceTypesFile {
    bool failed = false;      // reading stopped at a missing or bad value
    int count = 0;            // "devicenum"
    int layoutThreshold = 0;  // "devicenum6095"
    // The models read completely before any failure, in file order.
    std::vector<TDeviceTypeFileModel> models;
};

// Largest "devicenum" and largest per-model count accepted; anything above
// is a load failure rather than a huge table or a huge per-port array.
constexpr int kMaxDeviceTypeCount = 1024;
constexpr std::uint32_t kMaxDeviceTypeValue = 65535;
// The file is small; a larger input is refused as a whole.
constexpr std::size_t kMaxDeviceTypesFileSize = 4 * 1024 * 1024;

// Reads the whole stream. A failed stream (absent file) is a failure too.
TDeviceTypesFile ParseDeviceTypesFile(std::istream& in);

// Lower-case copy of a product-id string: only A to Z change.
std::string LowerProductId(const std::string& id);

// Registers one model with the protocol library: record fields and the two
// product-id strings (as written, lower case); answers the model index.
using TDeviceTypeRegistrar =
    std::function<int(const TDeviceTypeFileModel& model, const std::string& id, const std::string& lowerId)>;

// Start-up state kept by the console, read-only after start-up.
extern int g_DeviceTypeCount;
extern std::vector<int> g_DeviceTypeIndex;   // per file model: its model index
extern std::vector<int> g_DeviceBanner;      // per file model: its banner number
using Intp::g_LayoutThreshold;               // a model index above it selects layout 1
extern bool g_DevicesLoadFailed;

// Parses the stream, registers every model read and fills the start-up
// state. Answers false on a load failure (the caller shows the message).
bool LoadDeviceTypes(std::istream& in, const TDeviceTypeRegistrar& registrar);

// The registrar of the program: puts a file model into the protocol
// library's model table with its product-id string in both cases.
int RegisterFileModel(const TDeviceTypeFileModel& model, const std::string& id, const std::string& lowerId);

// The message shown on a load failure.
inline constexpr const char* kLoadDevicesError = "Load devices.dev error!";

// Start-up: loads the file at path with the program's registrar. A file that
// is absent or can't be read is told once (kLoadDevicesError); start-up goes
// on without its models. Answers whether it loaded.
bool LoadDevicesFile(const std::string& path);
