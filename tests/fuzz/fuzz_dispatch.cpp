// The packet dispatcher with every decoder, on arbitrary datagrams.
//
// Input: byte 0 chooses the source address; then records of
//   op (1 byte), length (2 bytes, big-endian), bytes
// op bits 0-1: 0 dispatch the bytes as one datagram, 1 fire the timer of the
// byte-chosen outstanding request, 2 clear the registry (a new discovery),
// 3 toggle a host whose Send throws; bits 2-3: 1 the next notification's
// handler clears the registry, 2 it deletes every request; bits 4-5, before
// a datagram is dispatched, for each class of its code on the device its
// MAC names: 0 start a request unless one is outstanding, 1 start one more,
// 2 start none; bits 6-7 pick the request's variant (file size, logout).
//
// Every input starts from three devices of known models and no request, so
// an input costs only what its datagrams reach. WriteFuzzSeeds writes a
// seed per command code of the table, so codes that land are seeded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "intp/CommandTable.h"
#include "intp/Session.h"
#include "tests/fuzz/FuzzIntp.h"

using namespace Intp;
using FuzzIntp::TInput;

namespace {

// A paged table and its Add, so paging is exercised while no built family
// has a paged table.
struct TFuzzTableEntry {
    uint32_t id = 0;
};
struct TFuzzTable {
    static constexpr int32_t Key = PropertyKey(ccSecurityAclGet) | 1;
    bool valid = false;
    std::vector<TFuzzTableEntry> entries;
};

class TFuzzTableGet : public TSessionPagedGet<ccSecurityAclGet, TFuzzTable> {
public:
    TFuzzTableGet() : TSessionPagedGet(28, 32) {}

protected:
    uint16_t DecodeEntry(TDevice*, TFuzzTableEntry& entry, TPayloadReader& in) override {
        entry.id = in.U32();
        if (in.Size() != 28) std::abort();
        return entry.id == 0 ? ssBadEntry : ssOk;
    }
};

class TFuzzTableAdd : public TSessionSet<ccSecurityAclAdd, TFuzzTableGet> {};

bool StartFuzzTable(uint16_t code, TDevice* device)
{
    TSession* s = nullptr;
    if (code == ccSecurityAclGet) s = new TFuzzTableGet;
    if (code == ccSecurityAclAdd) s = new TFuzzTableAdd;
    if (!s) return false;
    if (s->Start(device)) return true;
    delete s;
    return false;
}

// Starts the requests a datagram of header's code may answer.
void StartFor(const std::vector<uint8_t>& datagram, uint8_t op)
{
    const unsigned mode = op >> 4 & 3;
    if (mode == 2 || datagram.size() < HeaderSize) return;
    const THeader header = THeader::Read(datagram.data());
    TDevice* device = FindDevice(header.mac, false);
    if (!device) return;
    if (mode != 1 && CountOutstanding(header.code, header.mac) > 0) return;
    bool started = false;
    for (std::size_t row : FuzzIntp::RowsOf(header.code))
        started |= FuzzIntp::StartRow(row, device, op >> 6) != nullptr;
    if (!started) StartFuzzTable(header.code, device);
}

std::vector<uint8_t> Pattern(std::size_t size, uint8_t fill)
{
    std::vector<uint8_t> bytes(size, fill);
    // A plausible count in the first word: one entry, port or recipient.
    if (size >= 4 && fill == 0) bytes[3] = 1;
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzIntp::THost& host = FuzzIntp::Host();
    FuzzIntp::Reset();
    const uint32_t source = 0x0A000000u | (size ? data[0] : 0);
    FuzzIntp::ForEachRecord(data, size, [&](uint8_t op, const std::vector<uint8_t>& bytes) {
        host.pendingAction = op >> 2 & 3;
        switch (op & 3) {
        case 0:
            StartFor(bytes, op);
            DispatchPacket(source, bytes.size(), bytes.empty() ? nullptr : bytes.data());
            break;
        case 1:
            FuzzIntp::FireTimer(bytes.empty() ? op : bytes[0]);
            break;
        case 2:
            DeleteAllDevices();
            FuzzIntp::MakeDevices();
            break;
        default:
            host.sendThrows = !host.sendThrows;
            break;
        }
        FuzzIntp::CheckTimers();
    });
    FuzzIntp::Finish();
    return 0;
}

// Every class the table makes must start here on some device and variant,
// or replies of its code are never taken.
namespace {

void CheckEveryClassStarts()
{
    FuzzIntp::Reset();
    for (std::size_t row = 0; row < CommandTableSize; ++row) {
        const TCommandInfo& info = g_CommandTable[row];
        TSession* made = CreateSession(info.code, info.requestClass);
        if (!made) continue;
        delete made;
        bool started = false;
        for (unsigned variant = 0; variant < 4 && !started; ++variant)
            for (std::size_t device = 1; device < FuzzIntp::DeviceCount; ++device)
                started |= FuzzIntp::StartRow(row, FindDevice(FuzzIntp::DeviceMac(device), false), variant) != nullptr;
        FuzzIntp::Reset();
        if (!started) {
            std::fprintf(stderr, "fuzz_dispatch starts no %s\n", info.requestClass);
            std::exit(1);
        }
    }
}

} // namespace

// Seeds: for every code of the command table, on the 8-port device, a reply
// of the smallest accepted size (zeros with a count of one, and all ones),
// one byte short, an error status, a long reply, and a request that times
// out; plus paging and a find.
void WriteFuzzSeeds(const std::string& dir)
{
    CheckEveryClassStarts();
    std::vector<uint16_t> codes;
    for (std::size_t row = 0; row < CommandTableSize; ++row)
        if (codes.empty() || codes.back() != g_CommandTable[row].code) codes.push_back(g_CommandTable[row].code);
    for (uint16_t code : codes) {
        const std::size_t minReply = GetCommandInfo(code).minReply;
        const std::string name = std::to_string(code);
        for (std::size_t device = 0; device < FuzzIntp::DeviceCount; ++device) {
            TInput().Record(0, TInput::Frame(code, ssOk, device, Pattern(minReply, 0)))
                .Save(dir, name + "_zero_d" + std::to_string(device));
        }
        TInput().Record(0, TInput::Frame(code, ssOk, 1, Pattern(minReply, 1))).Save(dir, name + "_ones");
        if (minReply > 0)
            TInput().Record(0, TInput::Frame(code, ssOk, 1, Pattern(minReply - 1, 0))).Save(dir, name + "_short");
        TInput().Record(0, TInput::Frame(code, ssNotLoggedIn, 1, Pattern(minReply, 0))).Save(dir, name + "_error");
        TInput().Record(0, TInput::Frame(code, ssOk, 1, Pattern(minReply + 1200, 1))).Save(dir, name + "_long");
        TInput()
            .Record(0x10, TInput::Frame(code, ssOk, 2, Pattern(minReply, 0)))
            .Record(0x10, TInput::Frame(0xFFFF, ssOk, 2, {}))
            .Record(1, {0})
            .Record(0x04, TInput::Frame(code, ssOk, 2, Pattern(minReply, 0)))
            .Save(dir, name + "_timeout");
    }
    // A table of two full pages and a short one, with a second Get between.
    std::vector<uint8_t> page(4 + 32 * 28, 1);
    TInput()
        .Record(0, TInput::Frame(ccSecurityAclGet, ssOk, 1, page))
        .Record(0x10, TInput::Frame(ccSecurityAclGet, ssOk, 1, page))
        .Record(0, TInput::Frame(ccSecurityAclGet, ssOk, 1, Pattern(4 + 28, 1)))
        .Record(0, TInput::Frame(ccSecurityAclAdd, ssOk, 1, Pattern(4, 0)))
        .Save(dir, "paged");
    // Find replies from a known model, a new MAC and a short one.
    std::vector<uint8_t> find = Pattern(8, 0);
    TInput()
        .Record(0, TInput::Frame(ccIntpFind, ssOk, 1, find))
        .Record(0, TInput::Frame(ccIntpFind, ssOk, 1, Pattern(7, 0)))
        .Save(dir, "find");
}
