// The scan-reply test on arbitrary frames: the first 6 input bytes are the
// adapter's MAC, the rest is the captured frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "intp/ScanFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    const Intp::TMacAddr adapter(data);
    const std::uint8_t* frame = data + 6;
    const std::size_t captured = size - 6;
    if (!Intp::AcceptScanReply(frame, captured, adapter))
        return 0;
    const Intp::TMacAddr source(frame + 6);
    if (captured < Intp::ScanFrameSize || Intp::TMacAddr(frame) != adapter || source.IsNull() || source.IsBroadcast() ||
        frame[12] != 0xDE || frame[13] != 0xAD || frame[20] | frame[21] | frame[22] | frame[23])
        std::abort();
    Intp::TScanFrame copy;
    std::memcpy(copy.data(), frame, copy.size());
    const Intp::TScanReply reply = Intp::ReadScanReply(copy);
    if (reply.Mac != Intp::TMacAddr(frame + 26) || (reply.Ip >> 24) != frame[36] || (reply.Ip & 0xFF) != frame[39])
        std::abort();
    // Our own scan frame is never a reply, whatever address it carries.
    const Intp::TScanFrame own = Intp::BuildScanFrame(adapter, reply.Ip);
    if (Intp::AcceptScanReply(own.data(), own.size(), adapter))
        std::abort();
    return 0;
}
