#include "tests/fakeswitch/FakeSwitchTransfer.h"

#include <algorithm>

namespace FakeSwitch {
namespace {

constexpr size_t BlockSize = 512;
constexpr uint16_t LastBlock = 0xFFFF;
constexpr uint16_t StateReceived = 0, StateWritingFlash = 1, StateDone = 2, StateAgain = 3, StateError = 4;

TReply State(uint16_t block, uint16_t state)
{
    return {StatusOk, TWriter().U16(block).U16(state).Take(), {}};
}

TReply Upload(TTransferScript &script, TSwitch &sw, const TRequest &request)
{
    const uint16_t code = request.Header.Code;
    TReader r(request.Payload, request.PayloadSize);
    const uint16_t block = r.U16();
    TBytes data(BlockSize);
    r.Bytes(data.data(), data.size());
    if (r.Overrun())
        return {StatusRefused, {}, {}};

    uint16_t &next = sw.UploadNextBlock[code];
    if (block == 0) {
        // A new upload, or block 0 again: start over.
        sw.Uploads[code].clear();
        next = 0;
    }
    if (auto error = script.ErrorAtBlock.find(sw.Settings.Mac); error != script.ErrorAtBlock.end() &&
                                                                  error->second == block) {
        next = 0;
        return State(block, StateError);
    }
    if (block != next)
        return State(next, StateAgain);
    ++script.BlocksReceived;
    if (script.AskAgainEvery && script.BlocksReceived % script.AskAgainEvery == 0) {
        ++script.BlocksAskedAgain;
        return State(block, StateAgain);
    }
    TBytes &file = sw.Uploads[code];
    file.insert(file.end(), data.begin(), data.end());
    if (uint32_t(block) + 1 < sw.UploadBlocks) {
        ++next;
        return State(block, StateReceived);
    }
    next = 0;
    TReply reply = State(block, StateWritingFlash);
    reply.FollowUps.push_back(TWriter().U16(block).U16(StateDone).Take());
    return reply;
}

TReply Backup(TSwitch &sw, const TRequest &request)
{
    TReader r(request.Payload, request.PayloadSize);
    const uint16_t block = r.U16();
    const size_t blocks = BlocksOf(sw.BackupFile.size());
    if (r.Overrun() || block >= blocks)
        return {StatusRefused, {}, {}};
    TBytes data(BlockSize, 0);
    const size_t offset = size_t(block) * BlockSize;
    if (offset < sw.BackupFile.size())
        std::copy_n(sw.BackupFile.begin() + long(offset), std::min(BlockSize, sw.BackupFile.size() - offset),
                    data.begin());
    return {StatusOk, TWriter().U16(block + 1u == blocks ? LastBlock : block).Bytes(data.data(), data.size()).Take(),
            {}};
}

} // namespace

uint16_t BlocksOf(size_t size)
{
    return uint16_t(std::max<size_t>(1, (size + BlockSize - 1) / BlockSize));
}

THandlerEntry UploadHandler(std::shared_ptr<TTransferScript> script)
{
    return {[script](TSwitch &sw, const TRequest &request) { return Upload(*script, sw, request); }, true, 4,
            2 + BlockSize};
}

THandlerEntry BackupHandler() { return {Backup, true, 2 + BlockSize, 2}; }

void InstallTransferHandlers(TFleet &fleet, std::shared_ptr<TTransferScript> script)
{
    fleet.SetHandler(256, UploadHandler(script));
    fleet.SetHandler(257, BackupHandler());
    fleet.SetHandler(258, UploadHandler(script));
}

} // namespace FakeSwitch
