// Advanced switch settings: the broadcast storm filter, the MAC table's aging
// time and jumbo frames. Values are one byte each and stored as received;
// the Sets send the page's bytes unchanged.
#pragma once

#include <cstdint>

#include "intp/Record.h"

namespace Intp {

struct TPropertyAdvConBSF {
    static constexpr int32_t Key = PropertyKey(ccAdvConBSFGet);
    bool valid = false;
    bool filterFlooded = false; // flooded unicast and multicast packets
    bool filterControl = false;
    bool filterIpMulticast = false;
    bool filterBroadcast = false;
    uint32_t rateLimit = 0; // 0 to 3: 1/2, 1/4, 1/8, 1/16 of the ingress rate
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyAdvConBSF::filterFlooded), Wire::Flag(&TPropertyAdvConBSF::filterControl),
               Wire::Flag(&TPropertyAdvConBSF::filterIpMulticast), Wire::Flag(&TPropertyAdvConBSF::filterBroadcast),
               Wire::U8(&TPropertyAdvConBSF::rateLimit));
};

struct TPropertyAgingTime {
    static constexpr int32_t Key = PropertyKey(ccAgingTimeGet);
    bool valid = false;
    uint8_t agingTime = 0; // 0 off, 1 150 s, 2 300 s, 3 600 s
    bool autoFlush = false; // flush the MAC table when a link goes down
    static constexpr auto Fields =
        Layout(Wire::U8(&TPropertyAgingTime::agingTime), Wire::Flag(&TPropertyAgingTime::autoFlush));
};

struct TPropertyJumboFrame {
    static constexpr int32_t Key = PropertyKey(ccJumboFrameGet);
    bool valid = false;
    bool enabled = false;
    static constexpr auto Fields = Layout(Wire::Flag(&TPropertyJumboFrame::enabled));
};

class TSessionAdvConBSFGet : public TSessionRecordGet<ccAdvConBSFGet, TPropertyAdvConBSF> {};
class TSessionAdvConBSFSet : public TSessionRecordSet<ccAdvConBSFSet, TSessionAdvConBSFGet> {};

class TSessionAgingTimeGet : public TSessionRecordGet<ccAgingTimeGet, TPropertyAgingTime> {};
class TSessionAgingTimeSet : public TSessionRecordSet<ccAgingTimeSet, TSessionAgingTimeGet> {};

class TSessionJumboFrameGet : public TSessionRecordGet<ccJumboFrameGet, TPropertyJumboFrame> {};
class TSessionJumboFrameSet : public TSessionRecordSet<ccJumboFrameSet, TSessionJumboFrameGet> {};

} // namespace Intp
