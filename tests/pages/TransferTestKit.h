#pragma once

// The transfers in typed records for page tests: the progress a switch
// reports (the records the pages are notified with) as reply payloads, and
// the TFTP record a page sent, read back.

#include "PageTestHost.h"
#include "intp/Record.h"
#include "intp/Transfer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace TransferWire {

// A built-in transfer's block: its number and 512 bytes of the file.
struct TBlock {
    std::uint16_t block = 0;
    std::array<std::uint8_t, Intp::TransferBlockSize> data{};
    static constexpr auto Fields = Intp::Layout(Intp::Wire::U16(&TBlock::block), Intp::Wire::Bytes(&TBlock::data));
};

inline constexpr auto Upload =
    Intp::Layout(Intp::Wire::U16(&Intp::TUploadProgress::block), Intp::Wire::U16(&Intp::TUploadProgress::state));
inline constexpr auto Tftp = Intp::Layout(Intp::Wire::U32(&Intp::TTftpProgress::state));

// The TFTP record as it travels (the name up to its first NUL).
struct TTftpRequest {
    std::uint32_t server = 0;
    std::uint16_t port = 0;
    std::string name;
    static constexpr auto Fields =
        Intp::Layout(Intp::Wire::U32(&TTftpRequest::server), Intp::Wire::U16(&TTftpRequest::port),
                     Intp::Wire::Text(&TTftpRequest::name, sizeof(Intp::TTftpParam::name)));
};

}  // namespace TransferWire

// A backup block of one repeated byte.
inline std::vector<std::uint8_t> BackupBlock(std::uint16_t block, std::uint8_t fill)
{
    TransferWire::TBlock reply;
    reply.block = block;
    reply.data.fill(fill);
    return Intp::EncodeRecord(reply, Intp::TMessage::Get);
}

// A built-in upload's report: the block and the switch's state word.
inline std::vector<std::uint8_t> UploadState(std::uint16_t block, std::uint16_t state)
{
    return Intp::EncodeRecord(Intp::TUploadProgress{block, state}, Intp::TMessage::Get, Intp::TOrder::Wire,
                              TransferWire::Upload);
}

// A TFTP transfer's report.
inline std::vector<std::uint8_t> TftpState(std::uint32_t state)
{
    return Intp::EncodeRecord(Intp::TTftpProgress{state}, Intp::TMessage::Get, Intp::TOrder::Wire, TransferWire::Tftp);
}

// What was sent with code, in order, as records of type R (TransferWire::TBlock
// or TransferWire::TTftpRequest).
template <class R> std::vector<R> SentAs(const IntpTest::TFakeHost& protocol, std::uint16_t code)
{
    std::vector<R> sent;
    for (const IntpTest::TSent& frame : protocol.SentWith(code))
        sent.push_back(Intp::DecodeRecord<R>(frame.payload));
    return sent;
}
inline std::vector<TransferWire::TTftpRequest> SentTftp(const IntpTest::TFakeHost& protocol, std::uint16_t code)
{
    return SentAs<TransferWire::TTftpRequest>(protocol, code);
}
