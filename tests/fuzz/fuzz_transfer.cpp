// The transfer requests' reply and time-out handlers.
//
// Input: byte 0 picks the transfer (bits 0-2: upgrade, backup and restore
// built in, then the three TFTP forms) and its file (bits 3-7); then records
// of op (1 byte), length (2 bytes, big-endian), bytes. op bits 0-1: 0 a
// reply to the transfer (status from the first two bytes, the rest the
// payload), 1 fire the timer of the byte-chosen request, 2 dispatch the
// bytes as they stand, 3 start the same transfer again on the byte-chosen
// device; bits 2-3: 1 the next notification's handler clears the registry,
// 2 it deletes every request.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "intp/Transfer.h"
#include "tests/fuzz/FuzzIntp.h"

using namespace Intp;
using FuzzIntp::TInput;

namespace {

constexpr uint16_t g_Codes[] = {ccBasicsUpgradeBuildin, ccBasicsBackupBuildin, ccBasicsRestoreBuildin,
                                ccBasicsBackupTftp,     ccBasicsRestoreTftp,   ccBasicsUpgradeTftp};

// Reads every progress record the way the transfer pages do.
class TCheckWizard : public TWizard {
public:
    void OnWizardEvent(TDevice* device, uint16_t code, uint16_t status, const void* context) override {
        if (!device) std::abort();
        if (status != ssOk || !context) return;
        volatile uint32_t sink = 0;
        if (code == ccBasicsBackupBuildin) {
            const auto* p = static_cast<const TBackupProgress*>(context);
            sink = p->progress + p->data[0] + p->data[TransferBlockSize - 1];
        } else if (code == ccBasicsUpgradeBuildin || code == ccBasicsRestoreBuildin) {
            const auto* p = static_cast<const TUploadProgress*>(context);
            sink = p->block + p->state;
        } else {
            const auto* p = static_cast<const TTftpProgress*>(context);
            if (p->state != tftpTransferring && p->state != tftpWritingFlash && p->state != tftpDone &&
                p->state != tftpError)
                std::abort();
            sink = p->state;
        }
        (void)sink;
    }
};

void Start(uint16_t code, std::size_t device, unsigned variant)
{
    static TCheckWizard wizard;
    if (TDevice* d = FindDevice(FuzzIntp::DeviceMac(device), false))
        FuzzIntp::StartRow(FuzzIntp::RowsOf(code).front(), d, variant, &wizard);
}

std::vector<uint8_t> Reply(uint16_t status, std::vector<uint8_t> payload)
{
    payload.insert(payload.begin(), {uint8_t(status >> 8), uint8_t(status)});
    return payload;
}

std::vector<uint8_t> Words(std::initializer_list<uint16_t> words, std::size_t size)
{
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) bytes.insert(bytes.end(), {uint8_t(w >> 8), uint8_t(w)});
    bytes.resize(size, 0x5A);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzIntp::THost& host = FuzzIntp::Host();
    FuzzIntp::Reset();
    if (size == 0) return 0;
    const uint16_t code = g_Codes[(data[0] & 7) % std::size(g_Codes)];
    const unsigned variant = data[0] >> 3;
    Start(code, 1, variant);
    FuzzIntp::ForEachRecord(data, size, [&](uint8_t op, const std::vector<uint8_t>& bytes) {
        host.pendingAction = op >> 2 & 3;
        switch (op & 3) {
        case 0: {
            uint16_t status = bytes.size() >= 2 ? uint16_t(bytes[0] << 8 | bytes[1]) : 0;
            std::vector<uint8_t> payload(bytes.size() > 2 ? bytes.begin() + 2 : bytes.end(), bytes.end());
            std::vector<uint8_t> frame = TInput::Frame(code, status, 1, payload);
            DispatchPacket(0x0A000002u, frame.size(), frame.data());
            break;
        }
        case 1:
            FuzzIntp::FireTimer(bytes.empty() ? op : bytes[0]);
            break;
        case 2:
            DispatchPacket(0x0A000002u, bytes.size(), bytes.empty() ? nullptr : bytes.data());
            break;
        default:
            Start(code, bytes.empty() ? 1 : bytes[0] % FuzzIntp::DeviceCount, variant);
            break;
        }
        FuzzIntp::CheckTimers();
    });
    FuzzIntp::Finish();
    return 0;
}

// Seeds: each transfer's whole run, a resend, an error status and the
// switch's error state.
void WriteFuzzSeeds(const std::string& dir)
{
    const std::size_t block = 2 + TransferBlockSize;
    // Backup: blocks 0 and 1, a wrong block, the last block.
    TInput(1)
        .Record(0, Reply(ssOk, Words({0}, block)))
        .Record(0, Reply(ssOk, Words({7}, block)))
        .Record(1, {0})
        .Record(0, Reply(ssOk, Words({1}, block)))
        .Record(0, Reply(ssOk, Words({TransferLastBlock}, block)))
        .Save(dir, "backup");
    TInput(1).Record(0, Reply(0x0500, {})).Save(dir, "backup_error");
    // Uploads of each file size: acknowledgements, a send-again, flash, done.
    for (uint8_t kind : {0, 2}) {
        for (uint8_t file = 0; file < 5; ++file) {
            const std::string name = std::string(kind ? "restore" : "upgrade") + std::to_string(file);
            TInput input(uint8_t(kind | file << 3));
            for (uint16_t b = 0; b < 6; ++b) input.Record(0, Reply(ssOk, Words({b, usBlockReceived}, 4)));
            input.Record(0, Reply(ssOk, Words({2, usSendAgain}, 4)))
                .Record(1, {0})
                .Record(0, Reply(ssOk, Words({6, usWritingFlash}, 4)))
                .Record(0, Reply(ssOk, Words({6, usDone}, 4)))
                .Save(dir, name);
        }
        TInput(kind).Record(0, Reply(ssOk, Words({0, usError}, 4))).Record(1, {0}).Save(dir, "upload_state_error" + std::to_string(kind));
        TInput(kind).Record(1, {0}).Record(1, {0}).Record(1, {0}).Record(1, {0}).Save(dir, "upload_timeouts" + std::to_string(kind));
    }
    // TFTP: transferring, writing flash, done; an unknown state; a second run.
    for (uint8_t kind = 3; kind < 6; ++kind) {
        TInput(kind)
            .Record(0, Reply(ssOk, Words({0, tftpTransferring}, 4)))
            .Record(0, Reply(ssOk, Words({0, tftpWritingFlash}, 4)))
            .Record(3, {2})
            .Record(0, Reply(ssOk, Words({0, tftpDone}, 4)))
            .Save(dir, "tftp" + std::to_string(kind));
        TInput(kind).Record(0, Reply(ssOk, Words({0, 9}, 4))).Save(dir, "tftp_unknown" + std::to_string(kind));
    }
}
