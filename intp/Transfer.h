// Whole-file transfers between the console and a switch.
//
// Built-in forms: the console carries the file itself in 512-byte blocks
// (backup 257: switch to file; upgrade 256 and restore 258: file to switch),
// with a 3000 ms block time-out and up to three resends. TFTP forms
// (265, 266, 267): the console only names the server and the file; the
// switch moves the file and reports its progress.
//
// A transfer notifies its requester several times: progress notifications
// (status 0, the request goes on; name null for the per-block ones) and one
// final notification. With status 0 the context points to a progress record
// below (host order, valid only during the call): TBackupProgress for 257,
// TUploadProgress for 256/258, TTftpProgress for 265-267. After a switch
// error status the context is the raw reply payload; after a time-out it is
// the request; otherwise null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "intp/Session.h"

namespace Intp {

inline constexpr size_t TransferBlockSize = 512;
inline constexpr unsigned TransferBlockMs = 3000;
inline constexpr int TransferMaxResends = 3;
// Block numbers are 16-bit: an upload file may have at most this many blocks.
inline constexpr uint64_t TransferMaxBlocks = 65536;
inline constexpr uint64_t TransferMaxUploadSize = TransferMaxBlocks * TransferBlockSize;
// The backup's last block.
inline constexpr uint16_t TransferLastBlock = 0xFFFF;

// A transfer's open file: a POSIX descriptor, InvalidFileHandle when none.
using TFileHandle = int;
inline constexpr TFileHandle InvalidFileHandle = -1;

// Where a backup to path is written until its last block has arrived.
std::string BackupPartPath(const std::string& path);

// Progress word of the built-in backup.
enum TBackupProgressWord : uint16_t {
    bpBlockStored = 0, // a block was stored or asked again; more follow
    bpDone = 2,        // the file is complete and closed (final)
};

// State word of the built-in upload replies.
enum TUploadState : uint16_t {
    usBlockReceived = 0, // send the next block
    usWritingFlash = 1,
    usDone = 2,          // final
    usSendAgain = 3,     // send this block again
    usError = 4,         // final
};

// Progress word of the TFTP transfers; any other state of the switch is
// reported as tftpError.
enum TTftpState : uint32_t {
    tftpTransferring = 0,
    tftpWritingFlash = 1,
    tftpDone = 2,  // final
    tftpError = 4, // final
};

// Notification contexts with status 0.
struct TBackupProgress {
    uint16_t progress = 0; // TBackupProgressWord, written over the block number
    uint8_t data[TransferBlockSize] = {};
};

struct TUploadProgress {
    uint16_t block = 0;
    uint16_t state = 0; // TUploadState, or whatever the switch sent
};

struct TTftpProgress {
    uint32_t state = 0; // TTftpState
};

// The TFTP request record, packed, host order.
#pragma pack(push, 1)
struct TTftpParam {
    uint32_t server = 0; // IPv4 address, host order
    uint16_t port = 69;
    char name[32] = {}; // NUL-padded; 32 characters have no terminating NUL
};
#pragma pack(pop)
static_assert(sizeof(TTftpParam) == 38, "the TFTP record is 38 bytes");

// Fills a TFTP record; the name is cut to 32 bytes.
TTftpParam MakeTftpParam(uint32_t server, uint16_t port, std::string_view name);

// What the built-in transfers share: the file, the block number, the resend
// count and a block time-out of TransferBlockMs.
template <uint16_t Code>
class TSessionBlockTransfer : public TSessionGeneral<Code> {
public:
    bool IsFileOpen() const { return m_File != InvalidFileHandle; }
    int GetResendCount() const { return m_Resends; }

    void StartTimer() override {
        this->CreateTimer(TransferBlockMs);
        this->EnableTimer(true);
    }

protected:
    // Writes the header (status, payload length, target MAC) into frame and
    // sends it; a failed send is a lost datagram that the block timer resends.
    void SendBlockFrame(TDevice* device, uint16_t status, uint8_t* frame, size_t size) {
        this->WriteHeader(frame, status, size - HeaderSize);
        this->SendFrame(this->GetDestination(device), frame, size);
    }

    TFileHandle m_File = InvalidFileHandle;
    int32_t m_Resends = 0;
    uint16_t m_Block = 0;
};

// Built-in configuration backup: asks for block 0, then each next block, and
// writes them aside (BackupPartPath). Three time-outs in all are resent; the
// fourth ends the transfer. Only the last block puts the file in place of an
// earlier one of its name; any other end deletes what was written aside and
// leaves the earlier file as it was.
class TSessionBasicsBackupBuildin : public TSessionBlockTransfer<ccBasicsBackupBuildin> {
public:
    TSessionBasicsBackupBuildin() = default;
    ~TSessionBasicsBackupBuildin() override;

    // Closes and deletes a file this request is still writing, then creates
    // the file that path's backup is written to. Answers its handle, or
    // InvalidFileHandle when it can't be created, path names something other
    // than a file, or another transfer is writing to path; the start then
    // fails.
    TFileHandle OpenFile(const std::string& path);

    void OnTimeout() override;

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;

private:
    void SendBlockRequest(TDevice* device);
    void CloseAndDelete();
    // Puts the complete file in place of path; false when that failed.
    bool Finish();

    std::string m_Path;
};

// Built-in upload (upgrade 256, restore 258): sends the file block by block
// as the switch acknowledges them. Only the switch (done, error), a failed
// read or a time-out ends it. Once the switch reports writing flash, replies
// are awaited at the default interval for the rest of the transfer.
template <uint16_t Code>
class TSessionBasicsUpgradeBuildinBase : public TSessionBlockTransfer<Code> {
public:
    TSessionBasicsUpgradeBuildinBase() = default;
    ~TSessionBasicsUpgradeBuildinBase() override;

    // Resolves path to a full path and opens the file for reading. Answers
    // the handle, or InvalidFileHandle when the path can't be resolved
    // (nothing changes then), the file can't be opened, is not a regular
    // file, is empty or is larger than TransferMaxUploadSize; the start then
    // fails and nothing is sent.
    TFileHandle OpenFile(const std::string& path);

    void OnTimeout() override;

protected:
    // Writes the current block number and the file's 512 bytes from block x
    // 512 (zeros past the end). A failed seek or read closes the file.
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;

private:
    // Sends the current block; false when it could not be read (the file is
    // closed then and, with tellFailure, the switch is told with status
    // 0x1100; otherwise nothing is sent).
    bool SendBlock(TDevice* device, bool tellFailure);
    void CloseFile();
};

class TSessionBasicsUpgradeBuildin : public TSessionBasicsUpgradeBuildinBase<ccBasicsUpgradeBuildin> {};
class TSessionBasicsRestoreBuildin : public TSessionBasicsUpgradeBuildinBase<ccBasicsRestoreBuildin> {};

// TFTP transfers: the switch talks to the server and reports progress.
template <uint16_t Code>
class TSessionBasicsUpgradeTftpBase : public TSessionGeneral<Code> {
public:
    void SetPayload(const TTftpParam& param) { m_Param = param; }
    // The 38 bytes of a TTftpParam as the page packed them.
    void SetPayload(const void* param) {
        if (param) std::memcpy(&m_Param, param, sizeof m_Param);
    }
    void SetPayload(uint32_t server, uint16_t port, std::string_view name) {
        m_Param = MakeTftpParam(server, port, name);
    }
    const TTftpParam& GetPayload() const { return m_Param; }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;

private:
    TTftpParam m_Param;
};

class TSessionBasicsBackupTftp : public TSessionBasicsUpgradeTftpBase<ccBasicsBackupTftp> {};
class TSessionBasicsRestoreTftp : public TSessionBasicsUpgradeTftpBase<ccBasicsRestoreTftp> {};
class TSessionBasicsUpgradeTftp : public TSessionBasicsUpgradeTftpBase<ccBasicsUpgradeTftp> {};

extern template class TSessionBasicsUpgradeBuildinBase<ccBasicsUpgradeBuildin>;
extern template class TSessionBasicsUpgradeBuildinBase<ccBasicsRestoreBuildin>;
extern template class TSessionBasicsUpgradeTftpBase<ccBasicsBackupTftp>;
extern template class TSessionBasicsUpgradeTftpBase<ccBasicsRestoreTftp>;
extern template class TSessionBasicsUpgradeTftpBase<ccBasicsUpgradeTftp>;

} // namespace Intp
