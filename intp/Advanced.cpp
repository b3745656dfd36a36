#include "intp/Advanced.h"

namespace Intp {

uint16_t TSessionAdvConBSFGet::Decode(TDevice*, TPropertyAdvConBSF& record, TPayloadReader& payload) {
    WireFields(payload, record.filterFlooded, record.filterControl, record.filterIpMulticast, record.filterBroadcast);
    record.rateLimit = payload.U8();
    return ssOk;
}

uint16_t TSessionAgingTimeGet::Decode(TDevice*, TPropertyAgingTime& record, TPayloadReader& payload) {
    record.agingTime = payload.U8();
    record.autoFlush = payload.Bool();
    return ssOk;
}

uint16_t TSessionJumboFrameGet::Decode(TDevice*, TPropertyJumboFrame& record, TPayloadReader& payload) {
    record.enabled = payload.Bool();
    return ssOk;
}

} // namespace Intp
