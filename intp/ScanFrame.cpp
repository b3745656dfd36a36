#include "intp/ScanFrame.h"

#include "intp/Payload.h"
#include "intp/Session.h"

namespace Intp {

namespace {

constexpr size_t HeaderAt = 20;  // the protocol header: command, status, length, MAC
constexpr size_t ReplyIpAt = 36;
constexpr uint16_t ScanPayloadLength = 8;

}  // namespace

TScanFrame BuildScanFrame(const TMacAddr& adapterMac, uint32_t adapterIp)
{
    TScanFrame frame{};
    TPayloadWriter out(frame.data(), frame.size());
    const TMacAddr broadcast(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF);
    out.Bytes(broadcast.Bytes().data(), 6);
    out.Bytes(adapterMac.Bytes().data(), 6);
    out.U16(ScanEtherType);
    out.U32(adapterIp);
    out.U16(IntpPort);
    // A find request: command 0, status 0, a zero MAC and an 8-byte zero payload.
    THeader find;
    find.length = ScanPayloadLength;
    find.Write(&frame[HeaderAt]);
    return frame;
}

bool AcceptScanReply(const uint8_t* data, size_t captured, const TMacAddr& adapterMac)
{
    if (!data || captured < ScanFrameSize)
        return false;
    const TMacAddr destination(data);
    const TMacAddr source(data + 6);
    const uint16_t etherType = uint16_t(data[12] << 8 | data[13]);
    const THeader header = THeader::Read(data + HeaderAt);
    return destination == adapterMac && !source.IsNull() && !source.IsBroadcast() && etherType == ScanEtherType &&
           header.code == 0 && header.status == 0;
}

TScanReply ReadScanReply(const TScanFrame& frame)
{
    TScanReply reply;
    reply.Mac = THeader::Read(&frame[HeaderAt]).mac;
    reply.Ip = TPayloadReader(&frame[ReplyIpAt], 4).U32();
    return reply;
}

}  // namespace Intp
