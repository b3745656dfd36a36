#include "console/DeviceTypesFile.h"

#include <limits>
#include <map>
#include <optional>

int g_DeviceTypeCount = 0;
std::vector<int> g_DeviceTypeIndex;
std::vector<int> g_DeviceBanner;
bool g_DevicesLoadFailed = false;

namespace {

using TValues = std::map<std::string, std::string>;

bool ReadValues(std::istream& in, TValues& values)
{
    if (!in)
        return false;
    std::string line;
    std::size_t total = 0;
    bool first = true;
    while (std::getline(in, line)) {
        total += line.size() + 1;
        if (total > kMaxDeviceTypesFileSize)
            return false;
        // Files written on Windows end their lines with CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        first = false;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        // The first line with a name wins.
        values.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    return !in.bad();
}

// A decimal number without sign, blanks around it allowed.
std::optional<std::uint64_t> ParseNumber(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::nullopt;
    std::size_t end = text.find_last_not_of(" \t") + 1;
    std::uint64_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> Number(const TValues& values, const std::string& key, std::uint64_t max)
{
    auto it = values.find(key);
    if (it == values.end())
        return std::nullopt;
    std::optional<std::uint64_t> n = ParseNumber(it->second);
    if (!n || *n > max)
        return std::nullopt;
    return std::uint32_t(*n);
}

std::string Text(const TValues& values, const std::string& key)
{
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

}  // namespace

std::string LowerProductId(const std::string& id)
{
    std::string lower = id;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return lower;
}

TDeviceTypesFile ParseDeviceTypesFile(std::istream& in)
{
    TDeviceTypesFile file;
    TValues values;
    if (!ReadValues(in, values)) {
        file.failed = true;
        return file;
    }
    std::optional<std::uint32_t> count = Number(values, "devicenum", kMaxDeviceTypeCount);
    if (!count) {
        file.failed = true;
        return file;
    }
    file.count = int(*count);
    std::optional<std::uint32_t> threshold =
        Number(values, "devicenum6095", std::uint64_t(std::numeric_limits<int>::max()));
    if (!threshold) {
        file.failed = true;
        return file;
    }
    file.layoutThreshold = int(*threshold);

    for (int i = 0; i < file.count; ++i) {
        const std::string n = std::to_string(i);
        TDeviceTypeFileModel model;
        model.name = Text(values, "Name" + n);
        std::uint32_t* counts[] = {&model.portNum,          &model.trunkGroupNum, &model.trunkMemberNum,
                                   &model.smtpRecipientNum, &model.secureIpNum,   &model.snmpCommunityNum,
                                   &model.tagVidNum};
        const char* keys[] = {"PortNum",     "TrunkGroupNum",    "TrunkMemberNum", "SmtpRecipientNum",
                              "SecureIpNum", "SnmpCommunityNum", "TagVidNum"};
        for (std::size_t k = 0; k < std::size(keys); ++k) {
            std::optional<std::uint32_t> v = Number(values, keys[k] + n, kMaxDeviceTypeValue);
            if (!v) {
                file.failed = true;
                return file;
            }
            *counts[k] = *v;
        }
        std::optional<std::uint32_t> banner = Number(values, "Banner" + n, kMaxDeviceTypeValue);
        if (!banner) {
            file.failed = true;
            return file;
        }
        model.banner = int(*banner);
        model.id = Text(values, "ID" + n);
        file.models.push_back(std::move(model));
    }
    return file;
}

bool LoadDeviceTypes(std::istream& in, const TDeviceTypeRegistrar& registrar)
{
    TDeviceTypesFile file = ParseDeviceTypesFile(in);
    g_DeviceTypeCount = file.count;
    g_LayoutThreshold = file.layoutThreshold;
    // Sized to the models actually read; the banner builder only walks them
    // when the load succeeded.
    g_DeviceTypeIndex.assign(file.models.size(), 0);
    g_DeviceBanner.assign(file.models.size(), 0);
    for (std::size_t i = 0; i < file.models.size(); ++i) {
        const TDeviceTypeFileModel& model = file.models[i];
        g_DeviceBanner[i] = model.banner;
        g_DeviceTypeIndex[i] = registrar ? registrar(model, model.id, LowerProductId(model.id)) : -1;
    }
    g_DevicesLoadFailed = file.failed;
    return !file.failed;
}
