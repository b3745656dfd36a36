// What the protocol fuzz targets share: a host that checks the library's
// promises, three devices of known models, and requests started the way
// their requesters start them (transfers with a file, TFTP with a server).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "intp/Device.h"
#include "intp/Session.h"

namespace FuzzIntp {

class THost : public Intp::TSessionCallback, public Intp::TDeviceCallback {
public:
    void CreateTimer(Intp::TSession* s, unsigned) override;
    void DestroyTimer(Intp::TSession* s) override;
    void EnableTimer(Intp::TSession*, bool) override {}
    void Send(std::uint32_t, const std::uint8_t* data, std::size_t size) override;
    void Notify(Intp::TDevice* device, std::uint16_t, std::uint16_t, const void*, Intp::TWizard*,
                const char* name) override;
    void SetTimerInterval(Intp::TSession*, unsigned) override {}

    void DeviceAdded(Intp::TDevice*) override {}
    void DeviceRemoved(Intp::TDevice*) override {}
    void DeviceFlagsChanged(Intp::TDevice*, std::uint32_t changed) override;
    void DeviceIpChanged(Intp::TDevice*) override {}
    void DeviceTypeChanged(Intp::TDevice*) override {}
    void DeviceNameChanged(Intp::TDevice*) override {}

    std::vector<Intp::TSession*> timers;  // in creation order, so inputs replay alike
    bool sendThrows = false;
    // What the next notification's handler does: 1 runs a discovery (clears
    // the registry), 2 deletes every request.
    int pendingAction = 0;
};

// Installs the host and registers two models (8 and 26 ports) once.
THost& Host();

// The devices: model 0, 1 (8 ports) and 2 (26 ports).
inline constexpr std::size_t DeviceCount = 3;
const Intp::TMacAddr& DeviceMac(std::size_t index);
// Index of mac among the devices, or DeviceCount.
std::size_t DeviceIndex(const Intp::TMacAddr& mac);

// Registers the three devices (again, after a discovery cleared them).
void MakeDevices();
// Drops every request and device and makes the three devices again.
void Reset();
// Drops everything and checks that no timer is left.
void Finish();

// Creates and starts the request of the command table's row on device:
// uploads open a file of one of a few sizes (variant picks it), backups
// a fresh file, TFTP transfers name a server, code 2 logs in (variant even)
// or out, variable-size Sets take entries for the model. Null when the row has no built class or the request didn't start.
Intp::TSession* StartRow(std::size_t row, Intp::TDevice* device, unsigned variant,
                         Intp::TWizard* wizard = nullptr);

// Fires the reply timer of the pick-th request holding one, if any.
void FireTimer(std::size_t pick);

// Aborts unless every listed request holds exactly one timer.
void CheckTimers();

// Rows of code in the command table.
std::vector<std::size_t> RowsOf(std::uint16_t code);

}  // namespace FuzzIntp

namespace FuzzIntp {

// Builds fuzz inputs: records of op (1 byte), length (2 bytes, big-endian)
// and bytes, after a first byte that picks the source address.
class TInput {
public:
    explicit TInput(std::uint8_t source = 2) { m_Bytes.push_back(source); }
    TInput& Record(std::uint8_t op, const std::vector<std::uint8_t>& bytes = {});
    // A datagram of code from device index with status and a payload.
    static std::vector<std::uint8_t> Frame(std::uint16_t code, std::uint16_t status, std::size_t device,
                                           const std::vector<std::uint8_t>& payload);
    void Save(const std::string& dir, const std::string& name) const;

private:
    std::vector<std::uint8_t> m_Bytes;
};

// Calls record(op, bytes) for each record of a fuzz input; answers the
// first byte (0 for an empty input).
template <class F>
std::uint8_t ForEachRecord(const std::uint8_t* data, std::size_t size, F record)
{
    if (size == 0) return 0;
    std::size_t pos = 1;
    while (pos + 3 <= size) {
        std::uint8_t op = data[pos];
        std::size_t length = std::size_t(data[pos + 1]) << 8 | data[pos + 2];
        pos += 3;
        if (length > size - pos) length = size - pos;
        // An exactly sized copy, so any read past the record is caught.
        std::vector<std::uint8_t> bytes(data + pos, data + pos + length);
        pos += length;
        record(op, bytes);
    }
    return data[0];
}

}  // namespace FuzzIntp
