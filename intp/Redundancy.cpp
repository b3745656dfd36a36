#include "intp/Redundancy.h"

namespace Intp {

uint16_t TSessionRedundancyGet::Decode(TDevice*, TPropertyRedundancy& record, TPayloadReader& payload) {
    record.enabled = payload.Bool();
    record.mode = payload.U8();
    return ssOk;
}

} // namespace Intp
