// The raw Ethernet scan: the 40-byte broadcast frame of EtherType 0xDEAD that
// asks every switch on the segment to answer, and the test a captured reply
// must pass. Pure functions over bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "intp/Device.h"

namespace Intp {

inline constexpr size_t ScanFrameSize = 40;
inline constexpr uint16_t ScanEtherType = 0xDEAD;

using TScanFrame = std::array<uint8_t, ScanFrameSize>;

// The scan frame of an adapter: broadcast destination, the adapter's MAC as
// source, its IPv4 address (host order) and the protocol port, then a find
// request header with a zero MAC and an 8-byte zero payload.
TScanFrame BuildScanFrame(const TMacAddr& adapterMac, uint32_t adapterIp);

// A captured frame is a reply to our scan when at least 40 bytes were
// captured, it is addressed to the adapter, its source is neither null nor
// broadcast, and it carries EtherType 0xDEAD with command 0 and status 0.
bool AcceptScanReply(const uint8_t* data, size_t captured, const TMacAddr& adapterMac);

// What an accepted reply lists: the switch's MAC (bytes 26 to 31) and IPv4
// address (bytes 36 to 39, returned in host order).
struct TScanReply {
    TMacAddr Mac;
    uint32_t Ip = 0;
};
TScanReply ReadScanReply(const TScanFrame& frame);

}  // namespace Intp
