#include "console/FilterRules.h"

namespace Filter {

bool AcceptAddress(const TFilterSettings& settings, std::uint32_t address)
{
    if (address == 0)
        return false;
    if (settings.Begin <= address && address <= settings.End)
        return true;
    for (const TIpMask& unicast : settings.Unicasts)
        if (unicast.Address == address)
            return true;
    return false;
}

void CollectTargets(const TFilterSettings& settings, TIpMaskList& targets)
{
    if (settings.Method == fmSubnet || settings.Method == fmGateway)
        targets.push_back({settings.Address, settings.Mask});
    else if (settings.Unicasts.empty())
        targets.insert(targets.end(), settings.LocalSubnets.begin(), settings.LocalSubnets.end());
    targets.insert(targets.end(), settings.Unicasts.begin(), settings.Unicasts.end());
}

std::uint32_t ParseHostIp(const std::string& text)
{
    std::uint32_t address = StringToIp(text);
    return IsValidHostIp(address) ? address : 0;
}

TCustomValues EvaluateCustom(const std::string& address, const std::string& mask, bool range,
                             const std::string& begin, const std::string& end)
{
    TCustomValues v;
    v.Address = ParseHostIp(address);
    v.Mask = StringToIp(mask);
    if (!IsValidNetmask(v.Mask))
        v.Mask = 0;
    const std::uint32_t net = v.Address & v.Mask;

    v.Begin = net;
    if (range) {
        std::uint32_t b = ParseHostIp(begin);
        if ((b & v.Mask) == net)
            v.Begin = b;
    }
    v.End = SubnetEnd(v.Address, v.Mask);
    if (range) {
        std::uint32_t e = ParseHostIp(end);
        if (e != 0 && e >= v.Begin && (e & v.Mask) == net)
            v.End = e;
    }
    return v;
}

std::uint32_t ProposeRangeEnd(std::uint32_t begin)
{
    std::uint32_t end = begin;
    for (std::uint32_t bit = 1; bit != 0 && !(begin & bit); bit <<= 1)
        end |= bit;
    return end;
}

TRangeCheck CheckRange(std::uint32_t begin, std::uint32_t end)
{
    if (begin == 0 || end == 0 || begin > end)
        return rcInvalid;
    std::uint64_t count = std::uint64_t(end) - begin + 1;
    if (count > kRangeMaxAddresses)
        return rcTooMany;
    if (count > kRangeConfirmAddresses)
        return rcConfirm;
    return rcOk;
}

int FindSubnetLine(const TFilterSettings& settings)
{
    for (std::size_t i = 0; i < settings.LocalSubnets.size(); ++i)
        if (settings.LocalSubnets[i] == TIpMask{settings.Address, settings.Mask})
            return int(i);
    return -1;
}

bool RestoreMethod(TFilterSettings& s, int subnetLine)
{
    if (s.Method == fmSubnet && subnetLine >= 0) {
        s.Begin = SubnetBegin(s.Address, s.Mask);
        s.End = SubnetEnd(s.Address, s.Mask);
        return false;
    }
    if ((s.Method == fmSubnet || s.Method == fmGateway) && !s.LocalSubnets.empty()) {
        s.Method = fmGateway;
        s.Address = s.LocalSubnets.front().Address;
        s.Mask = s.LocalSubnets.front().Mask;
        s.Begin = SubnetBegin(s.Address, s.Mask);
        s.End = SubnetEnd(s.Address, s.Mask);
        return false;
    }
    s.Method = fmCustom;
    return !(s.Begin == SubnetBegin(s.Address, s.Mask) && s.End == SubnetEnd(s.Address, s.Mask));
}

}  // namespace Filter
