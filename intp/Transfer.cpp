#include "intp/Transfer.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Intp {

namespace {

constexpr size_t MaxPathLength = 4096;

// Progress notifications of single blocks carry no name.
void NotifyProgress(const TSession* session, TDevice* device, uint16_t code, const void* context)
{
    if (TSessionCallback* callback = GetSessionCallback())
        callback->Notify(device, code, ssOk, context, session->GetWizard(), nullptr);
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads up to size bytes from offset; fewer only at the end of the file.
bool ReadUpTo(int fd, uint8_t* data, size_t size, off_t offset)
{
    while (size > 0) {
        ssize_t n = ::pread(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        data += n;
        size -= size_t(n);
        offset += n;
    }
    return true;
}

void CloseFd(int& fd)
{
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

TTftpParam MakeTftpParam(uint32_t server, uint16_t port, std::string_view name)
{
    TTftpParam param;
    param.server = server;
    param.port = port;
    TPayloadWriter out(param.name, sizeof(param.name));
    out.Text(name, sizeof(param.name));
    return param;
}

// ---- Built-in backup

std::string BackupPartPath(const std::string& path)
{
    return path + ".part";
}

TSessionBasicsBackupBuildin::~TSessionBasicsBackupBuildin()
{
    // An unfinished backup leaves no partial file behind.
    CloseAndDelete();
}

void TSessionBasicsBackupBuildin::CloseAndDelete()
{
    if (m_File == InvalidFileHandle) return;
    CloseFd(m_File);
    ::unlink(BackupPartPath(m_Path).c_str());
}

TFileHandle TSessionBasicsBackupBuildin::OpenFile(const std::string& path)
{
    CloseAndDelete();
    m_Path = path;
    if (path.empty()) return InvalidFileHandle;
    // Only a file is replaced, and only when the backup is complete.
    struct stat earlier {};
    const bool exists = ::stat(path.c_str(), &earlier) == 0;
    if (exists && !S_ISREG(earlier.st_mode)) return InvalidFileHandle;
    int fd = ::open(BackupPartPath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) return InvalidFileHandle;
    // Not shared: a second transfer to the same file must fail rather than
    // interleave its blocks, and never truncate the first one's blocks.
    struct stat st {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return InvalidFileHandle;
    }
    // The new file keeps the earlier one's permissions (a backup may hold
    // passwords).
    if (exists) (void)::fchmod(fd, earlier.st_mode & 07777);
    m_File = fd;
    return fd;
}

bool TSessionBasicsBackupBuildin::Finish()
{
    const std::string part = BackupPartPath(m_Path);
    // On disk before it replaces the earlier file, renamed while still locked.
    const bool ok = ::fsync(m_File) == 0 && ::rename(part.c_str(), m_Path.c_str()) == 0;
    CloseFd(m_File);
    if (!ok) ::unlink(part.c_str());
    return ok;
}

bool TSessionBasicsBackupBuildin::BuildPayload(TDevice*, TPayloadWriter& payload)
{
    if (m_File == InvalidFileHandle) return false;
    m_Block = 0;
    payload.U16(m_Block);
    return payload.Ok();
}

void TSessionBasicsBackupBuildin::SendBlockRequest(TDevice* device)
{
    std::array<uint8_t, HeaderSize + 2> frame{};
    TPayloadWriter(frame.data() + HeaderSize, 2).U16(m_Block);
    SendBlockFrame(device, ssOk, frame.data(), frame.size());
}

int TSessionBasicsBackupBuildin::HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload)
{
    const uint16_t code = GetCode();
    // The block word in host order, also for the switch's error.
    TBackupProgress progress;
    const uint16_t block = payload.U16();
    progress.progress = block;
    payload.Bytes(progress.data, sizeof(progress.data));
    if (header.status != ssOk) {
        CloseAndDelete();
        Notify(device, code, header.status, &progress);
        return rrFinished;
    }

    if (block != TransferLastBlock && block != m_Block) {
        // Not the block we asked for: ask again, without counting a resend.
        progress.progress = bpBlockStored;
        SendBlockRequest(device);
        EnableTimer(true);
        NotifyProgress(this, device, code, &progress);
        return rrWaiting;
    }

    if (!WriteAll(m_File, progress.data, sizeof(progress.data))) {
        CloseAndDelete();
        progress.progress = bpBlockStored;
        Notify(device, code, ssBadReply, &progress);
        return rrFinished;
    }

    if (block == TransferLastBlock) {
        if (!Finish()) {
            Notify(device, code, ssBadReply, &progress);
            return rrFinished;
        }
        progress.progress = bpDone;
        Notify(device, code, ssOk, &progress);
        return rrFinished;
    }

    ++m_Block;
    progress.progress = bpBlockStored;
    SendBlockRequest(device);
    EnableTimer(true);
    NotifyProgress(this, device, code, &progress);
    return rrWaiting;
}

void TSessionBasicsBackupBuildin::OnTimeout()
{
    // Three resends for the whole transfer, not per block.
    if (m_Resends < TransferMaxResends) {
        ++m_Resends;
        if (TDevice* device = FindTarget()) SendBlockRequest(device);
        EnableTimer(true);
        return;
    }
    CloseAndDelete();
    TSessionGeneralBase::OnTimeout();
}

// ---- Built-in upload

template <uint16_t Code>
TSessionBasicsUpgradeBuildinBase<Code>::~TSessionBasicsUpgradeBuildinBase()
{
    CloseFile();
}

template <uint16_t Code>
void TSessionBasicsUpgradeBuildinBase<Code>::CloseFile()
{
    CloseFd(this->m_File);
}

template <uint16_t Code>
TFileHandle TSessionBasicsUpgradeBuildinBase<Code>::OpenFile(const std::string& path)
{
    if (path.empty() || path.size() >= MaxPathLength) return InvalidFileHandle;
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error || full.native().size() >= MaxPathLength) return InvalidFileHandle;

    CloseFile();
    int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return InvalidFileHandle;
    struct stat st {};
    // An empty image is no image; block numbers are 16-bit: a larger file
    // would wrap to block 0.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        uint64_t(st.st_size) > TransferMaxUploadSize) {
        ::close(fd);
        return InvalidFileHandle;
    }
    this->m_File = fd;
    return fd;
}

template <uint16_t Code>
bool TSessionBasicsUpgradeBuildinBase<Code>::BuildPayload(TDevice*, TPayloadWriter& payload)
{
    if (this->m_File == InvalidFileHandle) return false;
    payload.U16(this->m_Block);
    std::array<uint8_t, TransferBlockSize> data{};
    const off_t offset = off_t(this->m_Block) * off_t(TransferBlockSize);
    if (!ReadUpTo(this->m_File, data.data(), data.size(), offset)) {
        CloseFile();
        return false;
    }
    payload.Bytes(data.data(), data.size());
    return payload.Ok();
}

template <uint16_t Code>
bool TSessionBasicsUpgradeBuildinBase<Code>::SendBlock(TDevice* device, bool tellFailure)
{
    std::array<uint8_t, HeaderSize + 2 + TransferBlockSize> frame{};
    TPayloadWriter payload(frame.data() + HeaderSize, frame.size() - HeaderSize);
    const bool built = BuildPayload(device, payload);
    if (!built) {
        if (!tellFailure) return false;
        // Status 0x1100 tells the switch that the image can't be read.
        std::fill(frame.begin() + HeaderSize, frame.end(), uint8_t(0));
        TPayloadWriter(frame.data() + HeaderSize, 2).U16(this->m_Block);
    }
    this->SendBlockFrame(device, built ? ssOk : ssBadReply, frame.data(), frame.size());
    return built;
}

template <uint16_t Code>
int TSessionBasicsUpgradeBuildinBase<Code>::HandleResponse(TDevice* device, const THeader& header,
                                                           TPayloadReader payload)
{
    if (header.status != ssOk) {
        this->Notify(device, Code, header.status, payload.Data());
        return rrFinished;
    }

    TUploadProgress progress;
    progress.block = payload.U16();
    progress.state = payload.U16();

    if (progress.state != usBlockReceived && progress.state != usSendAgain) {
        // The switch's error state is final, like done: a later time-out
        // must not overwrite it.
        if (progress.state == usDone || progress.state == usError) {
            this->Notify(device, Code, ssOk, &progress);
            return rrFinished;
        }
        // Writing flash (or a state we don't know): no more resends, wait
        // for the next report at the default interval, which stays.
        this->m_Resends = TransferMaxResends;
        this->SetTimerInterval(0);
        this->EnableTimer(true);
        this->Notify(device, Code, ssOk, &progress);
        return rrWaiting;
    }

    const uint32_t next = progress.state == usBlockReceived ? uint32_t(progress.block) + 1 : progress.block;
    this->m_Resends = 0;
    // Past block 0xFFFF there is nothing a 16-bit block number can address.
    bool readOk = false;
    if (next < TransferMaxBlocks) {
        this->m_Block = uint16_t(next);
        readOk = SendBlock(device, true);
    } else {
        CloseFile();
        SendBlock(device, true);
    }
    if (!readOk) {
        this->Notify(device, Code, ssBadReply, &progress);
        return rrFinished;
    }
    this->EnableTimer(true);
    NotifyProgress(this, device, Code, &progress);
    return rrWaiting;
}

template <uint16_t Code>
void TSessionBasicsUpgradeBuildinBase<Code>::OnTimeout()
{
    if (this->m_Resends < TransferMaxResends) {
        ++this->m_Resends;
        // The device is created again when a discovery removed it. A block
        // that can't be read again sends nothing and only counts: the file
        // is closed then, and the time-outs run down to the notification.
        TDevice* device = nullptr;
        if (!this->RunGuarded([&] { device = FindDevice(this->GetTarget(), true); })) return;
        if (device) SendBlock(device, false);
        this->EnableTimer(true);
        return;
    }
    TSessionGeneralBase::OnTimeout();
}

// ---- TFTP

template <uint16_t Code>
bool TSessionBasicsUpgradeTftpBase<Code>::BuildPayload(TDevice*, TPayloadWriter& payload)
{
    payload.U32(m_Param.server);
    payload.U16(m_Param.port);
    payload.Bytes(m_Param.name, sizeof(m_Param.name));
    return payload.Ok();
}

template <uint16_t Code>
int TSessionBasicsUpgradeTftpBase<Code>::HandleResponse(TDevice* device, const THeader& header,
                                                        TPayloadReader payload)
{
    if (header.status != ssOk) {
        this->Notify(device, Code, header.status, payload.Data());
        return rrFinished;
    }
    TTftpProgress progress;
    progress.state = payload.U32();
    if (progress.state == tftpTransferring || progress.state == tftpWritingFlash) {
        this->EnableTimer(true);
        NotifyProgress(this, device, Code, &progress);
        return rrWaiting;
    }
    if (progress.state != tftpDone) progress.state = tftpError;
    this->Notify(device, Code, ssOk, &progress);
    return rrFinished;
}

template class TSessionBasicsUpgradeBuildinBase<ccBasicsUpgradeBuildin>;
template class TSessionBasicsUpgradeBuildinBase<ccBasicsRestoreBuildin>;
template class TSessionBasicsUpgradeTftpBase<ccBasicsBackupTftp>;
template class TSessionBasicsUpgradeTftpBase<ccBasicsRestoreTftp>;
template class TSessionBasicsUpgradeTftpBase<ccBasicsUpgradeTftp>;

} // namespace Intp
