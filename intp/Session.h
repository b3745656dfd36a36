// Frame codec and request engine.
//
// Every exchange with a switch is one request object derived from
// TSessionGeneral<Code>. Start() builds the frame, sends it through the host,
// arms the reply timer and lists the request; DispatchPacket() offers each
// received frame to the listed requests in start order; the request that
// takes it reports its outcome once through TSessionCallback::Notify and is
// deleted by the library.
//
// Bases for command families (all in this header):
//
//   TSessionGet<Code, TRecord>
//       A Get of a fixed-layout feature. Implement
//           uint16_t Decode(TDevice*, TRecord&, TPayloadReader&)
//       returning ssOk or ssBadReply/ssBadValue/ssBadEntry. Status 0: Decode
//       runs and the record becomes valid when it answers ssOk; a rejected
//       decode or an error status calls Invalidate (default: valid = false)
//       and the status is notified under Code. Decoders size every per-port
//       or per-entry array to the count they accept on each reply
//       (vector::assign/resize), never index past an array's size.
//
//   TSessionPagedGet<Code, TRecord>(entrySize, pageEntries, prefixSize = 4)
//       A table read page by page into TRecord::entries (std::vector or
//       std::list). Implement
//           uint16_t DecodeEntry(TDevice*, Entry&, TPayloadReader&)
//       (the reader holds exactly one entry) and, for tables with a prefix
//       of their own, DecodePrefix; override KeepEntry for an entry that is
//       no row but carries a value of the record. BuildPayload resets the
//       record (unless an earlier Get of it is still outstanding); every
//       request resets it when it takes its own first page, so two Gets of
//       one table outstanding on one device never mix, duplicate or lose
//       pages, and values that entries set never outlive a read.
//       A page with pageEntries entries or more restarts the reply timer and
//       waits for the next page; a shorter page makes the table valid and
//       notifies Code. An error status or a rejected entry empties the table
//       and notifies that status.
//
//   TSessionSet<Code, TRefresh, Order>
//       A Set, Add, Del, Edit or Clear: whatever the reply status, starts a
//       fresh TRefresh (the feature's Get) on the device, then notifies Code
//       with the reply status. Order NotifyGetFirst: notifies TRefresh's
//       code with the reply status first, then starts the Get. Override
//       StartRefresh to start something else, BuildPayload to write the
//       held parameters.
//
//   TSessionRecordGet, TSessionRecordSet, TSessionTableGet,
//   TSessionEntrySet (intp/Record.h)
//       Gets and Sets declared from a record's wire fields.
//
//   TSessionVariableSet<Code, TRefresh>
//       A Set whose payload size depends on the device model (the table row
//       gives prefix + entry size x count and the count rule). SetEntries
//       copies the caller's entries (host order); Request refuses a count the
//       row's rule rejects on the device, before anything is built. The
//       default BuildPayload writes a zero prefix and the held bytes as they
//       stand; override it to convert fields to wire order.
//
// A second class on a code that already has one (the trunk generations)
// passes Row = 1 to take the table's second row of that code.
//
// Handlers notify last: a Notify handler may clear the registry or delete
// requests, this one included, so nothing may touch the device or the
// request after Notify (look the device up again with FindTarget if needed).
// The host must accept DestroyTimer from inside the timer's own callback:
// OnTimeout deletes the request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "intp/Codes.h"
#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "intp/Payload.h"
#include "intp/Property.h"

namespace Intp {

inline constexpr size_t HeaderSize = 12;
inline constexpr uint16_t IntpPort = 1638;
inline constexpr unsigned DefaultReplyMs = 60000;
// A paged table that grows beyond this is rejected with ssBadReply.
inline constexpr size_t MaxTableEntries = 65536;

// The 12-byte frame header, in host order.
struct THeader {
    uint16_t code = 0;
    uint16_t status = 0;
    uint16_t length = 0; // received frames: the payload bytes actually present
    TMacAddr mac;
    uint32_t source = 0; // received frames: the sender's IPv4 address, host order

    // Reads the 12 header bytes (the caller guarantees 12 bytes).
    static THeader Read(const uint8_t* data);
    // Writes the 12 header bytes.
    void Write(uint8_t* data) const;
};

// Results of TSession::OnReceive and HandleResponse.
enum TReceiveResult : int {
    rrFinished = 0, // handled; the dispatcher deletes the request
    rrWaiting = 1,  // taken; more frames expected
    rrNotMine = 2,  // offer the frame to the next request
};

class TDevice;
class TSession;

// A requester's per-device result callback.
class TWizard {
public:
    virtual ~TWizard() = default;
    // context: null for plain replies, the request itself for ssTimeout (it
    // is deleted right after; don't keep it), the reply payload for the
    // transfer commands.
    virtual void OnWizardEvent(TDevice* device, uint16_t code, uint16_t status, const void* context) = 0;
};

// What the library needs from its host.
class TSessionCallback {
public:
    virtual ~TSessionCallback() = default;
    // Creates the request's reply timer unless it has one; 0 ms means 60000.
    // When it fires, the host calls session->OnTimeout().
    virtual void CreateTimer(TSession* session, unsigned ms) = 0;
    virtual void DestroyTimer(TSession* session) = 0;
    // true: (re)start the full interval; false: stop.
    virtual void EnableTimer(TSession* session, bool enable) = 0;
    // One datagram to ip (host order), UDP port 1638. May throw; the library
    // contains the failure.
    virtual void Send(uint32_t ip, const uint8_t* data, size_t size) = 0;
    virtual void Notify(TDevice* device, uint16_t code, uint16_t status, const void* context, TWizard* wizard,
                        const char* name) = 0;
    // 0 ms means 60000.
    virtual void SetTimerInterval(TSession* session, unsigned ms) = 0;
};

void SetSessionCallback(TSessionCallback* callback);
TSessionCallback* GetSessionCallback();

// Handles one received datagram (source address in host order).
void DispatchPacket(uint32_t source, size_t length, const void* data);

// Bounded copy of a fixed-width, NUL-padded text field: at most width
// characters up to the first NUL; a width of 1024 or more yields "".
std::string FixedString(const void* field, size_t width);

// Number of listed requests.
size_t GetSessionCount();
// Number of listed requests waiting for replies of code from mac.
size_t CountOutstanding(uint16_t code, const TMacAddr& mac);
// The oldest listed request waiting for replies of code from mac, or null.
TSession* FindOutstanding(uint16_t code, const TMacAddr& mac);
// Deletes every listed request (tests, and shutdown while the host lives).
void DeleteAllSessions();

// The abstract request.
class TSession {
public:
    TSession() = default;
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // Builds and sends the frame and arms the timer; false: nothing was sent.
    virtual bool Request(TDevice* device) = 0;
    // One received frame; a TReceiveResult.
    virtual int OnReceive(TDevice* device, const THeader& header, TPayloadReader payload) = 0;
    // Stops and destroys the timer and unlists the request.
    virtual ~TSession();
    // The timer fired; the base deletes the request.
    virtual void OnTimeout();
    virtual const char* GetName() const = 0;

    // Request(device); on success stores wizard and lists the request at the
    // end. False: nothing was sent, the caller deletes the request.
    bool Start(TDevice* device, TWizard* wizard = nullptr);
    // Sends a listed request of one reply again, to device's present
    // address, and restarts its reply time; it stays listed where it was,
    // with its wizard. False: not listed, another device's MAC, or nothing
    // was sent (it waits on as before).
    bool Resend(TDevice* device);
    TWizard* GetWizard() const { return m_Wizard; }
    bool IsListed() const { return m_Seq != 0; }

    // The code and MAC that a reply must carry to be offered to this request;
    // false offers it every reply. Read once by Start.
    virtual bool GetMatchKey(uint16_t& code, TMacAddr& mac) const;

    // Room for the host's reply timer of this request, so that a reply
    // reaches it without a lookup or another cold line of memory. Only the
    // host that set owner uses the room.
    struct THostTimer {
        uint64_t owner = 0;
        alignas(8) unsigned char room[48];
    };
    THostTimer& HostTimer() { return m_HostTimer; }

protected:
    // Tells the host; the outcome of a read is also kept on the device.
    void Notify(TDevice* device, uint16_t code, uint16_t status, const void* context = nullptr);
    // The Get code whose record this request reads; 0 for none.
    virtual uint16_t ReadCode() const { return 0; }
    void CreateTimer(unsigned ms);
    void DestroyTimer();
    void EnableTimer(bool enable);
    void SetTimerInterval(unsigned ms);
    // Sends one datagram; false when there is no host or its Send threw.
    bool SendFrame(uint32_t ip, const uint8_t* data, size_t size);
    // Runs handler (exceptions contained); false when the request was
    // deleted meanwhile (a Notify handler cleared the list). For OnTimeout
    // overrides that notify and then delete themselves.
    bool RunGuarded(const std::function<void()>& handler);

    TWizard* m_Wizard = nullptr;

private:
    friend struct TSessionList;
    uint64_t m_Seq = 0; // start order; 0 = not listed
    // Neighbours in start order among the listed requests.
    TSession* m_OrderPrev = nullptr;
    TSession* m_OrderNext = nullptr;
    uint16_t m_ListCode = 0;
    TMacAddr m_ListMac;
    bool m_Indexed = false;
    bool m_HasTimer = false;
    THostTimer m_HostTimer;
};

// The request of one command code; the table row gives its payload size,
// smallest reply and name.
class TSessionGeneralBase : public TSession {
public:
    explicit TSessionGeneralBase(const TCommandInfo& info) : m_Info(info) {}

    bool Request(TDevice* device) override;
    int OnReceive(TDevice* device, const THeader& header, TPayloadReader payload) override;
    void OnTimeout() override;
    const char* GetName() const override { return m_Info.name; }

    // CreateTimer(0) then EnableTimer(true).
    virtual void StartTimer();
    // Writes the request payload (pre-filled with zeros). False cancels the
    // request before anything is sent.
    virtual bool BuildPayload(TDevice* device, TPayloadWriter& payload);
    // A reply that passed the common checks; default: notify its status.
    virtual int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload);
    // Where the frame goes; default the device's address.
    virtual uint32_t GetDestination(TDevice* device) const;

    bool GetMatchKey(uint16_t& code, TMacAddr& mac) const override;
    uint16_t ReadCode() const override;
    uint16_t GetCode() const { return m_Info.code; }
    const TCommandInfo& GetInfo() const { return m_Info; }
    const TMacAddr& GetTarget() const { return m_Target; }
    // The target device if it still exists.
    TDevice* FindTarget() const { return FindDevice(m_Target, false); }

protected:
    // Builds a frame of 12 + payloadSize bytes, fills it through
    // BuildPayload, sends it and starts the timer.
    bool SendRequest(TDevice* device, size_t payloadSize);
    // Writes this request's header (its code, status, payloadSize, target).
    void WriteHeader(uint8_t* frame, uint16_t status, size_t payloadSize) const;

    const TCommandInfo& m_Info;
    TMacAddr m_Target;
};

template <uint16_t Code, int Row = 0>
class TSessionGeneral : public TSessionGeneralBase {
public:
    static constexpr uint16_t CommandCode = Code;
    static constexpr const TCommandInfo& Info = GetCommandInfo(Code, Row);
    TSessionGeneral() : TSessionGeneralBase(Info) {}
};

// Starts session on device; the library owns it from a successful start,
// and one that does not start is deleted here. Null sessions do not start.
bool StartOrDelete(TSession* session, TDevice* device, TWizard* wizard);

// Starts a new T on device with no wizard; deletes it when it can't start.
template <class T, class... A>
bool StartNew(TDevice* device, A&&... args) {
    return StartOrDelete(new T(std::forward<A>(args)...), device, nullptr);
}

template <uint16_t Code, class TRecord, int Row = 0>
class TSessionGet : public TSessionGeneral<Code, Row> {
public:
    using Record = TRecord;

protected:
    virtual uint16_t Decode(TDevice* device, TRecord& record, TPayloadReader& payload) = 0;
    virtual void Invalidate(TDevice*, TRecord& record) { record.valid = false; }

    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override {
        TRecord& record = Property<TRecord>::Get(device);
        uint16_t status = header.status;
        if (status == ssOk) status = Decode(device, record, payload);
        if (status == ssOk) record.valid = true;
        else Invalidate(device, record);
        this->Notify(device, Code, status);
        return rrFinished;
    }
};

template <uint16_t Code, class TRecord, int Row = 0>
class TSessionPagedGet : public TSessionGeneral<Code, Row> {
public:
    using Record = TRecord;
    using Entry = typename decltype(TRecord::entries)::value_type;

    TSessionPagedGet(size_t entrySize, size_t pageEntries, size_t prefixSize = 4)
        : m_EntrySize(entrySize ? entrySize : 1), m_PageEntries(pageEntries), m_PrefixSize(prefixSize) {}

protected:
    // in holds exactly one entry of entrySize bytes.
    virtual uint16_t DecodeEntry(TDevice* device, Entry& entry, TPayloadReader& in) = 0;
    // Whether an accepted entry joins the list; an entry that is no row of
    // the table (one that carries a value of the record's own) returns false
    // after taking what it carries into the record.
    virtual bool KeepEntry(TDevice*, TRecord&, const Entry&) { return true; }
    // in holds the page's prefix; called for every page.
    virtual uint16_t DecodePrefix(TDevice*, TRecord&, TPayloadReader&) { return ssOk; }
    // Empties the table and everything its entries set.
    virtual void Invalidate(TDevice*, TRecord& record) { record = TRecord{}; }

    bool BuildPayload(TDevice* device, TPayloadWriter&) override {
        TRecord& record = Property<TRecord>::Get(device);
        // An earlier Get of this table may be between its pages: leave its
        // entries; every Get empties the table when it takes its first page.
        if (CountOutstanding(Code, device->GetMac()) == 0) Invalidate(device, record);
        else record.valid = false;
        return true;
    }

    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override {
        TRecord& record = Property<TRecord>::Get(device);
        if (header.status != ssOk) return Fail(device, record, header.status);
        if (m_FirstPage) {
            // Another Get of this table may have filled it since we were built.
            m_FirstPage = false;
            record = TRecord{};
        }
        TPayloadReader prefix = payload.Sub(m_PrefixSize);
        uint16_t status = DecodePrefix(device, record, prefix);
        if (status != ssOk) return Fail(device, record, status);
        size_t n = payload.Remaining() / m_EntrySize;
        if (record.entries.size() + n > MaxTableEntries) return Fail(device, record, ssBadReply);
        for (size_t i = 0; i < n; ++i) {
            Entry entry{};
            TPayloadReader in = payload.Sub(m_EntrySize);
            status = DecodeEntry(device, entry, in);
            if (status != ssOk) return Fail(device, record, status);
            if (KeepEntry(device, record, entry)) record.entries.push_back(std::move(entry));
        }
        if (m_PageEntries && n >= m_PageEntries) {
            this->EnableTimer(true);
            return rrWaiting;
        }
        record.valid = true;
        this->Notify(device, Code, ssOk);
        return rrFinished;
    }

    size_t m_EntrySize;
    size_t m_PageEntries;
    size_t m_PrefixSize;
    bool m_FirstPage = true;

private:
    int Fail(TDevice* device, TRecord& record, uint16_t status) {
        Invalidate(device, record);
        this->Notify(device, Code, status);
        return rrFinished;
    }
};

// When a Set, Add, Del, Edit or Clear tells its outcome.
enum class TSetNotify : uint8_t {
    OwnCodeLast,  // starts the refresh, then notifies its own code
    GetCodeFirst, // notifies the refresh's Get code, then starts the refresh
};
// The order of the table entry commands that tell their outcome as a change
// of the table first.
inline constexpr TSetNotify NotifyGetFirst = TSetNotify::GetCodeFirst;

template <uint16_t Code, class TRefresh, TSetNotify Order = TSetNotify::OwnCodeLast, int Row = 0>
class TSessionSet : public TSessionGeneral<Code, Row> {
protected:
    // Re-reads the feature after the reply.
    virtual void StartRefresh(TDevice* device) { StartNew<TRefresh>(device); }

    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader) override {
        if constexpr (Order == TSetNotify::GetCodeFirst) {
            // The handler may delete this request: the read then starts without it.
            const TMacAddr target = this->GetTarget();
            if (!this->RunGuarded([&] { this->Notify(device, TRefresh::CommandCode, header.status); })) {
                if (TDevice* again = FindDevice(target, false)) StartNew<TRefresh>(again);
            } else if (TDevice* again = this->FindTarget()) {
                StartRefresh(again);
            }
        } else {
            StartRefresh(device);
            if (TDevice* target = this->FindTarget()) this->Notify(target, Code, header.status);
        }
        return rrFinished;
    }
};

// The entries a variable-size Set holds, as its caller built them (host
// order), whatever its code: callers that hold only a TSession reach them
// through this base.
class TVariableEntries {
public:
    virtual ~TVariableEntries() = default;

    // Copies HeldSize(count) bytes; a count of 0 or less, or entries the
    // Set does not accept, change nothing.
    void SetEntries(const void* data, int count) {
        if (count <= 0 || !data) return;
        const auto* bytes = static_cast<const uint8_t*>(data);
        if (!AcceptEntries(bytes, count)) return;
        m_Entries.assign(bytes, bytes + HeldSize(count));
        m_Count = count;
    }
    int GetCount() const { return m_Count; }
    // Bytes SetEntries takes for count entries.
    virtual size_t HeldSize(int count) const = 0;
    // Whether the Set takes these count entries (HeldSize(count) bytes, host
    // order) as a whole.
    virtual bool AcceptEntries(const uint8_t*, int) const { return true; }

protected:
    int m_Count = 0;
    std::vector<uint8_t> m_Entries;
};

template <uint16_t Code, class TRefresh, int Row = 0>
class TSessionVariableSet : public TSessionSet<Code, TRefresh, TSetNotify::OwnCodeLast, Row>, public TVariableEntries {
public:
    bool Request(TDevice* device) override {
        if (!device || !CheckCount(this->m_Info, device, m_Count)) return false;
        return this->SendRequest(device, RequestPayloadSize(this->m_Info, m_Count));
    }
    // Default: count x the row's entry size.
    size_t HeldSize(int count) const override { return size_t(count) * this->m_Info.entrySize; }

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& payload) override {
        payload.Zero(this->m_Info.prefixSize);
        payload.Bytes(m_Entries.data(), m_Entries.size() < payload.Remaining() ? m_Entries.size() : payload.Remaining());
        return true;
    }
};

} // namespace Intp
